#include "store/MemberLock.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"

namespace {

// The longest name a folder entry may have on the file systems the program runs on.
constexpr std::size_t kLongestFileName = 255;

std::uint64_t nameHash(std::string_view name) {
    std::uint64_t h = 14695981039346656037ULL; // FNV-1a
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return h;
}

} // namespace

MemberLock::MemberLock(MemberLock&& other) noexcept : m_handle(std::exchange(other.m_handle, -1)) {
}

MemberLock& MemberLock::operator=(MemberLock&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = std::exchange(other.m_handle, -1);
    }
    return *this;
}

std::string MemberLock::lockFilePath(const std::string& memberFolder) {
    const std::string member = platform::fileNameOf(memberFolder);
    // Member names never start with a dot, so no lock file is ever taken for a member folder,
    // and each ends in ".lock", so no member's lock file is another's.
    const std::string name = "." + member + ".lock";
    if (platform::osPath(name).size() <= kLongestFileName) {
        return platform::joinPath(platform::folderOf(memberFolder), name);
    }
    // A name too long to carry a dot and ".lock" gets a lock file named for its hash, which no
    // short name's lock file can be (none ends in ".lck"). Two long names sharing a hash would
    // share a lock: neither could log in while the other is, and nothing worse.
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(nameHash(member)));
    return platform::joinPath(platform::folderOf(memberFolder), std::string(".long-name-") + hash + ".lck");
}

bool MemberLock::acquire(const std::string& memberFolder) {
    release();
    // The member's files are opened through the folder's path: a link in its place would lead
    // them elsewhere.
    if (const platform::PathKind kind = platform::kindOfPath(memberFolder); kind != platform::PathKind::Folder) {
        if (kind == platform::PathKind::Missing) {
            throw platform::FileError(memberFolder, platform::errorText(platform::native::missingError()));
        }
        throw platform::FileError(memberFolder, platform::refusalReason(kind));
    }
    namespace native = platform::native;
    const std::string path = lockFilePath(memberFolder);
    const std::string os = platform::osPath(path);
    const native::Handle handle = native::openFile(os, native::Access::Write, true);
    if (handle == native::kNoHandle) {
        const int err = native::lastError();
        const platform::PathKind kind = platform::kindOfPath(path);
        if (kind == platform::PathKind::Missing && native::writeRefused(err)) {
            return true; // an application folder nobody may add to: no lock to be had, as above
        }
        throw platform::FileError(path, kind == platform::PathKind::File || kind == platform::PathKind::Missing
                                            ? platform::errorText(err)
                                            : platform::refusalReason(kind));
    }
    bool isFolder = false;
    if (!native::isOrdinaryFile(handle, isFolder)) {
        native::closeFile(handle);
        throw platform::FileError(path, platform::refusalReason(platform::PathKind::Other));
    }
    switch (native::lockWhole(handle)) {
    case native::LockResult::Taken:
        m_handle = handle;
        return true;
    case native::LockResult::Busy:
        native::closeFile(handle);
        return false;
    case native::LockResult::NoLocks:
        native::closeFile(handle);
        return true; // the member logs in as on a disk of a single user
    case native::LockResult::Failed:
        break;
    }
    const int err = native::lastError();
    native::closeFile(handle);
    throw platform::FileError(path, platform::errorText(err));
}

void MemberLock::release() {
    if (m_handle != -1) {
        // Closing the last handle of the open file drops the lock.
        platform::native::closeFile(std::exchange(m_handle, -1));
    }
}
