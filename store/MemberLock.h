#pragma once

#include <cstdint>
#include <string>

// While a member is logged in, this copy of the program holds the member's lock, so that a
// second copy on the same application folder cannot log in as the same member and the two can
// never write the same page, captions or password file. The lock is the operating system's: it
// goes with the process, so a program that was killed leaves no stale lock.
//
// The lock is taken on a file of its own beside the member folder, in the application folder,
// with a name starting with a dot so that no listing ever shows it: the member folder holds
// nothing but the member's files. It is opened for writing because a network folder grants an
// exclusive lock only on such a file, and the lock belongs to the open file, not the process,
// so two windows of one process exclude each other as two programs do. The Windows build locks
// the same file the same way, so a copy running under Wine and one running on Linux exclude
// each other too.
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
    // copy of the program holds it. Where the file system offers no locks at all, or the
    // application folder cannot take the lock file (read-only), returns true without holding
    // one: the member logs in as on a disk of a single user rather than never. Throws
    // platform::FileError when memberFolder is not a folder (a link to one is refused: the
    // member's files are never reached through it) or the lock file cannot be opened.
    bool acquire(const std::string& memberFolder);
    void release();
    bool held() const { return m_handle != -1; }

    // The lock file of memberFolder, which deleting the member removes with the folder.
    static std::string lockFilePath(const std::string& memberFolder);

private:
    std::intptr_t m_handle = -1; // the open lock file
};
