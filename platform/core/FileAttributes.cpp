#include "platform/core/FileAttributes.h"

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"

namespace platform {

unsigned getAttr(const std::string& path) {
    const std::string os = osPath(path);
    const PathKind kind = native::kindOf(os);
    unsigned stored = 0;
    if (kind == PathKind::Missing || !native::readAttributes(os, stored)) {
        throw FileError(path, errorText(native::lastError()));
    }
    unsigned attributes = (kind == PathKind::Folder ? kAttrDirectory : kAttrNormal) | stored;
    const std::string name = fileNameOf(path);
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
        attributes |= kAttrHidden;
    }
    return attributes;
}

void setAttr(const std::string& path, unsigned attributes) {
    const std::string os = osPath(path);
    const PathKind kind = native::kindOf(os);
    if (kind == PathKind::Missing) {
        throw FileError(path, errorText(native::lastError()));
    }
    if (kind != PathKind::File && kind != PathKind::Folder) {
        throw FileError(path, refusalReason(kind));
    }
    if (detail::stepFails("set attribute", os) || !native::writeAttributes(os, attributes)) {
        throw FileError(path, errorText(native::lastError()));
    }
}

} // namespace platform
