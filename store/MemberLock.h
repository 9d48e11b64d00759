#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/core/FileError.h"

// While a member is logged in, this copy of the program holds the member's lock, so that a
// second copy on the same application folder cannot log in as the same member and the two can
// never write the same page, captions or password file. The lock is the operating system's: it
// goes with the process, so a program that was killed leaves no stale lock.
//
// The lock is taken on a file of its own inside the member folder, ".lock". The member folder
// is its owner's alone, so no other account can make, hold or replace the lock file and so
// keep the member out; in a shared application folder any account of the group could plant a
// file beside it. Its name starts with a dot and it carries the hidden mark, so no listing of
// the member's files shows it and no copy of the program on either system offers it for
// deletion. It is opened for writing because a network folder (NFS, CIFS) grants an exclusive
// lock only on such a file, and the lock belongs to the open file, not the process, so two
// windows of one process exclude each other as two programs do. The Windows build locks the
// same file the same way, so a copy running under Wine and one running on Linux exclude each
// other too.
class MemberLock {
public:
    MemberLock() = default;
    ~MemberLock() { release(); }
    MemberLock(const MemberLock&) = delete;
    MemberLock& operator=(const MemberLock&) = delete;
    // The lock goes with the object that holds it.
    MemberLock(MemberLock&& other) noexcept;
    MemberLock& operator=(MemberLock&& other) noexcept;

    // Takes the lock of memberFolder, giving up any lock held before. Returns false when another
    // copy of the program holds it. Where the file system offers no locks at all, or the lock
    // file can neither be made nor opened for writing (a member folder or a disk that refuses
    // writing), returns true without holding one: the member logs in as on a disk of a single
    // user rather than never, and on a diary nobody can write nothing can be written twice.
    // Throws platform::FileError when memberFolder is not a folder (a link to one is refused:
    // the member's files are never reached through it) or the lock file cannot be opened for
    // any other reason (a link, a folder or a named pipe in its place).
    bool acquire(const std::string& memberFolder);
    void release();
    bool held() const { return m_handle != -1; }
    // Why the member folder taken last cannot be written, when that is why no lock is held:
    // nothing that makes a new file there (a rewrite, an export) can succeed.
    const std::optional<platform::FileError>& unwritable() const { return m_unwritable; }

    // Lets go of the lock and deletes the lock file of memberFolder, once deleting the member
    // has left nothing by which it could log in. The file is never deleted while held: a copy
    // that opened it meanwhile finds its name gone once it has the lock, and tries again.
    void releaseAndDelete(const std::string& memberFolder);

    // The lock file of memberFolder.
    static std::string lockFilePath(const std::string& memberFolder);

private:
    std::intptr_t m_handle = -1; // the open lock file
    std::optional<platform::FileError> m_unwritable;
};
