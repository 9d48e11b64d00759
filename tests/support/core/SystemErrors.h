#pragma once

#include <cerrno>

// Error numbers the tests provoke on the disk for real, as this system reports them (errno, or
// the Windows error code), for platform::errorText.
namespace fixture {

// Removing a folder that still holds names.
inline int folderNotEmptyError() {
#ifdef _WIN32
    return 145; // ERROR_DIR_NOT_EMPTY
#else
    return ENOTEMPTY;
#endif
}

// Making a name in a folder that does not exist.
inline int missingFolderError() {
#ifdef _WIN32
    return 3; // ERROR_PATH_NOT_FOUND
#else
    return ENOENT;
#endif
}

} // namespace fixture
