#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/FileSystem.h"

// The operating system's side of the file routines, the only part of the core that differs
// between Linux and Windows (NativePosix.cpp, NativeWindows.cpp). Paths here are UTF-8 as the
// program holds them; each system's side converts them at the call. A call that fails returns
// false (or kNoHandle) and leaves its reason in lastError(), a number errorText explains.
namespace platform::native {

// An open file or folder: a descriptor on Linux, a HANDLE on Windows.
using Handle = std::intptr_t;
inline constexpr Handle kNoHandle = -1;

int lastError();
// The error an injected disk fault reports: an input/output error.
void setFaultError();
int fullDiskError();
int missingError();
int folderError();
// True for an error that says the file system will not let this account write there (access
// denied, a read-only disk).
bool writeRefused(int err);

// What is at a path, without following a link.
PathKind kindOf(const std::string& path);

enum class Access { Read, Write, Append };

// Opens an ordinary file without following a link or waiting on a named pipe. With create, a
// missing file is made, for its owner only, and created tells whether it was. Other readers and
// writers, and a rename over the file, are never shut out. Append writes at the end.
Handle openFile(const std::string& path, Access access, bool create, bool* created = nullptr);
// True when the open handle is an ordinary file; isFolder tells why it is not.
bool isOrdinaryFile(Handle handle, bool& isFolder);
bool fileSize(Handle handle, std::uint64_t& size);
// The identity of an open file, and of the ordinary file at path without following a link
// (false when something else or nothing is there).
bool identityOf(Handle handle, FileIdentity& identity);
bool identityOf(const std::string& path, FileIdentity& identity);
// Bytes read (0 at the end) or -1.
std::int64_t readSome(Handle handle, char* data, std::size_t size);
// Bytes written or -1.
std::int64_t writeSome(Handle handle, const char* data, std::size_t size);
bool syncFile(Handle handle);
bool truncateFile(Handle handle, std::uint64_t length);
bool closeFile(Handle handle);

// Makes a new file in folder named prefix and six random letters or digits, for its owner
// only; path receives its path.
Handle createTemporaryFile(const std::string& folder, const std::string& prefix, std::string& path);
// Gives a new file the permissions of the file at replaced, where the system keeps them.
void keepPermissions(Handle handle, const std::string& replaced);
// Renames from over to in one step, the new name written through to the disk.
bool replaceFile(const std::string& from, const std::string& to);
// Makes the names in a folder durable. Returns 0 or the error.
int syncFolder(const std::string& folder);

bool deleteFile(const std::string& path);
// A folder for its owner only, whatever the umask says; removed again when it cannot be made so.
bool makeFolder(const std::string& path);
bool removeFolder(const std::string& path);
// Every name in a folder, "." and ".." too.
bool listNames(const std::string& folder, std::vector<std::string>& names);

// The hidden, system, read-only and archive bits the file system keeps for a path (not the
// dot rule, which is the same everywhere), without following a link.
bool readAttributes(const std::string& path, unsigned& bits);
// Sets those bits; a file system that cannot store them keeps the file as it is.
bool writeAttributes(const std::string& path, unsigned bits);
bool writeAttributes(Handle handle, unsigned bits);

// The member lock on an open lock file (see store/MemberLock.h): taken, taken by another open
// file, or no locks on this file system.
enum class LockResult { Taken, Busy, NoLocks, Failed };
LockResult lockWhole(Handle handle);
// True while path still names the open file: a lock taken on a file that has been deleted (or
// replaced) since it was opened keeps nobody out.
bool stillNamed(Handle handle, const std::string& path);

// Keeps this process's memory, with the deciphered diary in it, out of any crash dump: on Linux
// no core file (a core size of 0) and no dump by any other route (not dumpable, which also keeps
// other processes of the account from reading its memory). Windows writes no core file; there
// a crash ends the process at once, before the error reporting can take a dump, and shows no
// error box.
void turnOffCrashDumps();

} // namespace platform::native
