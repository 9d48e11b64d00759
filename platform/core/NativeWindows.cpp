#ifdef _WIN32

#include "platform/core/Native.h"

#include <windows.h>

#include <algorithm>
#include <random>

#include "platform/core/FileAttributes.h"
#include "platform/core/Paths.h"

namespace platform {
namespace {

// The program's text is UTF-8; the system's calls take UTF-16, so any member name works.
std::wstring wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// False for a name no UTF-8 text can stand for (a lone surrogate).
bool narrow(const wchar_t* text, std::size_t length, std::string& out) {
    out.clear();
    if (length == 0) {
        return true;
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, static_cast<int>(length), nullptr, 0,
                                        nullptr, nullptr);
    if (n <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(n));
    ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, static_cast<int>(length), out.data(), n, nullptr,
                          nullptr);
    return true;
}

HANDLE win(native::Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

native::Handle own(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? native::kNoHandle : reinterpret_cast<native::Handle>(handle);
}

// Every reader and writer lets the others in, and lets a rename replace the file under them:
// a rewrite must never fail because somebody is reading the old file.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

constexpr DWORD kStoredBits = kAttrReadOnly | kAttrHidden | kAttrSystem;

// "An operation is not supported on a directory", which MinGW's headers do not name.
constexpr int kNotOnAFolder = 336;

// 1 January 1970 in the system's file times: 100-nanosecond steps since 1601.
constexpr LONGLONG kUnixEpochAsFileTime = 116444736000000000LL;

// The largest piece one ReadFile or WriteFile takes.
constexpr std::size_t kLargestPiece = 1u << 30;

} // namespace

std::string errorText(int err) {
    wchar_t* buffer = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(err), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (n > 0 && buffer) {
        std::size_t length = n;
        // The system's texts end with a line break, which a message box does not want.
        while (length > 0 &&
               (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' || buffer[length - 1] == L' ')) {
            --length;
        }
        narrow(buffer, length, text);
    }
    if (buffer) {
        ::LocalFree(buffer);
    }
    if (text.empty() && err == kNotOnAFolder) {
        text = "An operation is not supported on a directory."; // a system without the text for it
    }
    return text.empty() ? "System error " + std::to_string(err) + "." : text;
}

namespace native {

int lastError() {
    return static_cast<int>(::GetLastError());
}

void setFaultError() {
    ::SetLastError(ERROR_IO_DEVICE);
}

int fullDiskError() {
    return ERROR_DISK_FULL;
}

int missingError() {
    return ERROR_FILE_NOT_FOUND;
}

int folderError() {
    return kNotOnAFolder;
}

bool writeRefused(int err) {
    return err == ERROR_ACCESS_DENIED || err == ERROR_WRITE_PROTECT;
}

PathKind kindOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return PathKind::Link;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return PathKind::Folder;
    }
    return (attributes & FILE_ATTRIBUTE_DEVICE) ? PathKind::Other : PathKind::File;
}

Handle openFile(const std::string& path, Access access, bool create, bool* created) {
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    // A link is opened as itself, and then refused as no ordinary file.
    HANDLE handle = ::CreateFileW(wide(path).c_str(), rights, kShareAll, nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return kNoHandle;
    }
    if (create && created) {
        *created = ::GetLastError() != ERROR_ALREADY_EXISTS;
    }
    if (access == Access::Append) {
        // One member writes a member's files at a time (the member lock), so the end found here
        // stays the end.
        ::SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_END);
    }
    return own(handle);
}

bool isOrdinaryFile(Handle handle, bool& isFolder) {
    BY_HANDLE_FILE_INFORMATION info{};
    isFolder = false;
    if (!::GetFileInformationByHandle(win(handle), &info)) {
        return false;
    }
    isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return !isFolder && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
           ::GetFileType(win(handle)) == FILE_TYPE_DISK;
}

bool fileSize(Handle handle, std::uint64_t& size) {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(win(handle), &value)) {
        return false;
    }
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool identityOf(Handle handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(win(handle), &info) ||
        !::GetFileInformationByHandleEx(win(handle), FileBasicInfo, &times, sizeof times)) {
        return false;
    }
    identity.volume = info.dwVolumeSerialNumber;
    identity.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity.modified = (times.LastWriteTime.QuadPart - kUnixEpochAsFileTime) * 100;
    identity.changed = times.ChangeTime.QuadPart;
    return true;
}

bool identityOf(const std::string& path, FileIdentity& identity) {
    // Opened for its attributes only, as itself if it is a link: nothing is read, and nobody
    // reading, writing or replacing the file is kept out.
    HANDLE handle = ::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool isFolder = false;
    const bool known = isOrdinaryFile(own(handle), isFolder) && identityOf(own(handle), identity);
    const DWORD err = ::GetLastError();
    ::CloseHandle(handle);
    ::SetLastError(err);
    return known;
}

std::int64_t readSome(Handle handle, char* data, std::size_t size) {
    DWORD got = 0;
    if (!::ReadFile(win(handle), data, static_cast<DWORD>(std::min(size, kLargestPiece)), &got, nullptr)) {
        return -1;
    }
    return got;
}

std::int64_t writeSome(Handle handle, const char* data, std::size_t size) {
    DWORD put = 0;
    if (!::WriteFile(win(handle), data, static_cast<DWORD>(std::min(size, kLargestPiece)), &put, nullptr)) {
        return -1;
    }
    return put;
}

bool syncFile(Handle handle) {
    return ::FlushFileBuffers(win(handle)) != 0;
}

bool truncateFile(Handle handle, std::uint64_t length) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFilePointerEx(win(handle), at, nullptr, FILE_BEGIN) && ::SetEndOfFile(win(handle));
}

bool closeFile(Handle handle) {
    return ::CloseHandle(win(handle)) != 0;
}

Handle createTemporaryFile(const std::string& folder, const std::string& prefix, std::string& path) {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) {
            name += kLetters[pick(random)];
        }
        path = joinPath(folder, name);
        HANDLE handle = ::CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return own(handle);
        }
    }
    return kNoHandle;
}

void keepPermissions(Handle, const std::string&) {
    // A new file takes the permissions its folder gives; a member folder's are its owner's.
}

bool replaceFile(const std::string& from, const std::string& to) {
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

int syncFolder(const std::string& folder) {
    HANDLE handle = ::CreateFileW(wide(folder).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    int err = 0;
    if (!::FlushFileBuffers(handle)) {
        err = lastError();
        // A file system that cannot flush a folder writes its names through already.
        if (err == ERROR_INVALID_FUNCTION || err == ERROR_NOT_SUPPORTED) {
            err = 0;
        }
    }
    ::CloseHandle(handle);
    return err;
}

bool deleteFile(const std::string& path) {
    return ::DeleteFileW(wide(path).c_str()) != 0;
}

bool makeFolder(const std::string& path) {
    return ::CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool removeFolder(const std::string& path) {
    return ::RemoveDirectoryW(wide(path).c_str()) != 0;
}

bool listNames(const std::string& folder, std::vector<std::string>& names) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileExW(wide(joinPath(folder, "*")).c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND; // nothing at all in the folder
    }
    std::string name;
    do {
        if (narrow(found.cFileName, std::wcslen(found.cFileName), name)) {
            names.push_back(name);
        }
    } while (::FindNextFileW(search, &found));
    const DWORD err = ::GetLastError();
    ::FindClose(search);
    ::SetLastError(err);
    return err == ERROR_NO_MORE_FILES;
}

bool readAttributes(const std::string& path, unsigned& bits) {
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // The archive bit the system sets on every written file means nothing to the program.
    bits = attributes & kStoredBits;
    return true;
}

bool writeAttributes(const std::string& path, unsigned bits) {
    const DWORD stored = bits & kStoredBits;
    return ::SetFileAttributesW(wide(path).c_str(), stored != 0 ? stored : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool writeAttributes(Handle handle, unsigned bits) {
    FILE_BASIC_INFO info{}; // times of zero stay as they are
    const DWORD stored = bits & kStoredBits;
    info.FileAttributes = stored != 0 ? stored : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(win(handle), FileBasicInfo, &info, sizeof info) != 0;
}

LockResult lockWhole(Handle handle) {
    OVERLAPPED from{};
    if (::LockFileEx(win(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &from)) {
        return LockResult::Taken;
    }
    switch (::GetLastError()) {
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING:
        return LockResult::Busy;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return LockResult::NoLocks;
    default:
        return LockResult::Failed;
    }
}

bool stillNamed(Handle handle, const std::string&) {
    // A file open here cannot lose its name: deleting it only marks it, and the name stays
    // taken until the last handle is closed.
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(win(handle), &info) != 0;
}

namespace {

LONG WINAPI endAtOnce(EXCEPTION_POINTERS* crash) {
    ::TerminateProcess(::GetCurrentProcess(), crash->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

void turnOffCrashDumps() {
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(endAtOnce);
}

} // namespace native
} // namespace platform

#endif
