#pragma once

#include <string>

namespace platform {

// File attribute bits with the values the desktop runtime gives them.
enum FileAttribute : unsigned {
    kAttrNormal = 0,
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrDirectory = 16,
    kAttrArchive = 32,
};

// The attributes of a file or folder. Where the file system has no hidden attribute it is kept
// as Wine and Samba keep it: the extended attribute user.DOSATTRIB holding hexadecimal text
// ("0x2"). A name that starts with "." is hidden too. A link is looked at itself, never the
// file it points to. Throws FileError when the path does not exist.
unsigned getAttr(const std::string& path);

// Sets the hidden, system, read-only and archive bits of a file (kAttrNormal clears them).
// Throws FileError when the path does not exist, or is a link or anything else that is neither
// an ordinary file nor a folder: what a link points to is never marked. A file system that
// cannot store extended attributes keeps the file as it is: the program still works, the file
// simply is not hidden.
void setAttr(const std::string& path, unsigned attributes);

} // namespace platform
