#pragma once

#include <string>

// While a member is logged in, this copy of the program holds the lock of the member's folder,
// so that a second copy on the same application folder cannot log in as the same member and
// the two can never write the same page, captions or password file. The lock is the operating
// system's: it goes with the process, so a program that was killed leaves no stale lock, and
// nothing is added to the member folder.
class MemberLock {
public:
    MemberLock() = default;
    ~MemberLock() { Release(); }
    MemberLock(const MemberLock&) = delete;
    MemberLock& operator=(const MemberLock&) = delete;
    // The lock goes with the object that holds it.
    MemberLock(MemberLock&& other) noexcept;
    MemberLock& operator=(MemberLock&& other) noexcept;

    // Takes the lock of memberFolder, giving up any lock held before. Returns false when another
    // copy of the program holds it. Throws platform::FileError when the folder cannot be opened.
    bool Acquire(const std::string& memberFolder);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
