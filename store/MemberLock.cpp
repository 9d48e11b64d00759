#include "store/MemberLock.h"

#include <utility>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"

namespace {

constexpr const char* kLockFile = ".lock";

// How often a lock file that was deleted under a copy taking it is opened again; a member
// deleted that often in a row by other copies is gone.
constexpr int kAttempts = 8;

} // namespace

MemberLock::MemberLock(MemberLock&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_unwritable(std::exchange(other.m_unwritable, std::nullopt)) {
}

MemberLock& MemberLock::operator=(MemberLock&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = std::exchange(other.m_handle, -1);
        m_unwritable = std::exchange(other.m_unwritable, std::nullopt);
    }
    return *this;
}

std::string MemberLock::lockFilePath(const std::string& memberFolder) {
    return platform::joinPath(memberFolder, kLockFile);
}

bool MemberLock::acquire(const std::string& memberFolder) {
    release();
    namespace native = platform::native;
    const std::string path = lockFilePath(memberFolder);
    const std::string os = platform::osPath(path);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // The member's files are opened through the folder's path: a link in its place would lead
        // them elsewhere.
        if (const platform::PathKind kind = platform::kindOfPath(memberFolder); kind != platform::PathKind::Folder) {
            if (kind == platform::PathKind::Missing) {
                throw platform::FileError(memberFolder, platform::errorText(native::missingError()));
            }
            throw platform::FileError(memberFolder, platform::refusalReason(kind));
        }
        bool created = false;
        const native::Handle handle = native::openFile(os, native::Access::Write, true, &created);
        if (handle == native::kNoHandle) {
            const int err = native::lastError();
            const platform::PathKind kind = platform::kindOfPath(path);
            const bool fileOrNone = kind == platform::PathKind::File || kind == platform::PathKind::Missing;
            if (fileOrNone && native::writeRefused(err)) {
                // A diary nobody may write here: no lock to be had, as above.
                m_unwritable = platform::FileError(memberFolder, platform::errorText(err));
                return true;
            }
            throw platform::FileError(path, fileOrNone ? platform::errorText(err) : platform::refusalReason(kind));
        }
        bool isFolder = false;
        if (!native::isOrdinaryFile(handle, isFolder)) {
            native::closeFile(handle);
            throw platform::FileError(path, platform::refusalReason(platform::PathKind::Other));
        }
        if (created) {
            // The dot hides it from the program; the mark hides it from the desktop's file
            // managers on both systems. A file system without marks keeps it unmarked.
            native::writeAttributes(handle, platform::kAttrHidden);
        }
        switch (native::lockWhole(handle)) {
        case native::LockResult::Taken:
            if (!native::stillNamed(handle, os)) {
                native::closeFile(handle); // deleted with its member meanwhile
                continue;
            }
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
    throw platform::FileError(path, platform::errorText(native::missingError()));
}

void MemberLock::release() {
    m_unwritable.reset();
    if (m_handle != -1) {
        // Closing the last handle of the open file drops the lock.
        platform::native::closeFile(std::exchange(m_handle, -1));
    }
}

void MemberLock::releaseAndDelete(const std::string& memberFolder) {
    release();
    try {
        platform::deleteFile(lockFilePath(memberFolder));
    } catch (const platform::FileError&) {
        // never made (a diary that could not be written), or already gone
    }
}
