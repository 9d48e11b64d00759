#include "platform/core/FileAttributes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"

namespace platform {
namespace {

constexpr const char* kAttrName = "user.DOSATTRIB";
constexpr unsigned kStoredBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

bool unsupported(int err) {
    return err == ENOTSUP || err == EOPNOTSUPP || err == EPERM;
}

unsigned parseStored(const char* value, ssize_t length) {
    if (length < 3 || length > 16 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) {
        return 0; // some other tool's binary form: nothing we can read
    }
    const std::string text(value + 2, static_cast<std::size_t>(length) - 2);
    char* end = nullptr;
    const unsigned long bits = std::strtoul(text.c_str(), &end, 16);
    return static_cast<unsigned>(bits) & kStoredBits;
}

std::string storedText(unsigned attributes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", attributes & kStoredBits);
    return buf;
}

} // namespace

unsigned getAttr(const std::string& path) {
    const std::string os = osPath(path);
    struct stat st {};
    if (::lstat(os.c_str(), &st) != 0) {
        throw FileError(path, errorText(errno));
    }
    unsigned attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrNormal;
    char value[32];
    const ssize_t n = ::lgetxattr(os.c_str(), kAttrName, value, sizeof value);
    if (n > 0) {
        attributes |= parseStored(value, n);
    }
    const std::string name = fileNameOf(path);
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
        attributes |= kAttrHidden;
    }
    return attributes;
}

void setAttr(const std::string& path, unsigned attributes) {
    const std::string os = osPath(path);
    struct stat st {};
    if (::lstat(os.c_str(), &st) != 0) {
        throw FileError(path, errorText(errno));
    }
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        throw FileError(path, refusalReason(kindOfPath(path)));
    }
    if (detail::stepFails("set attribute", os)) {
        throw FileError(path, errorText(errno));
    }
    // The l-calls act on the path itself even if it has become a link since the look above.
    int rc = 0;
    if ((attributes & kStoredBits) == 0) {
        rc = ::lremovexattr(os.c_str(), kAttrName);
        if (rc != 0 && errno == ENODATA) {
            rc = 0;
        }
    } else {
        const std::string text = storedText(attributes);
        rc = ::lsetxattr(os.c_str(), kAttrName, text.data(), text.size(), 0);
    }
    if (rc != 0 && !unsupported(errno)) {
        throw FileError(path, errorText(errno));
    }
}

namespace detail {

void setAttrOnDescriptor(int fd, unsigned attributes, const std::string& pathForErrors, const std::string& osPath) {
    if ((attributes & kStoredBits) == 0) {
        return; // a new file carries no attribute
    }
    if (stepFails("set attribute", osPath)) {
        throw FileError(pathForErrors, errorText(errno));
    }
    const std::string text = storedText(attributes);
    if (::fsetxattr(fd, kAttrName, text.data(), text.size(), 0) != 0 && !unsupported(errno)) {
        throw FileError(pathForErrors, errorText(errno));
    }
}

} // namespace detail
} // namespace platform
