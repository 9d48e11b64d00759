#include "platform/core/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <utility>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"

namespace platform {

namespace {

std::optional<std::uint64_t>& budgetLeft() {
    static std::optional<std::uint64_t> budget;
    return budget;
}

std::optional<std::uint64_t>& faultCountdown() {
    static std::optional<std::uint64_t> steps;
    return steps;
}

DiskStepRecorder& diskStepRecorder() {
    static DiskStepRecorder recorder;
    return recorder;
}

void record(std::string_view step, const std::string& path) {
    if (diskStepRecorder()) {
        diskStepRecorder()(step, path);
    }
}

[[noreturn]] void fail(const std::string& path, int err) {
    throw FileError(path, errorText(err));
}

// A failed open, explained: what is at the path says more than the error number of an open
// that refuses links and will not wait.
[[noreturn]] void failOpen(const std::string& path, const std::string& osPath, int err) {
    const PathKind kind = native::kindOf(osPath);
    if (kind == PathKind::Link || kind == PathKind::Folder || kind == PathKind::Other) {
        throw FileError(path, refusalReason(kind));
    }
    fail(path, err);
}

// Closes a file when it goes out of scope.
class OpenFile {
public:
    explicit OpenFile(native::Handle handle) : m_handle(handle) {}
    ~OpenFile() {
        if (m_handle != native::kNoHandle) {
            native::closeFile(m_handle);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    native::Handle get() const { return m_handle; }
    // Closes now and reports the error a delayed write may bring.
    bool close(const std::string& osPath) {
        const bool fault = detail::stepFails("close", osPath);
        const bool closed = native::closeFile(m_handle);
        m_handle = native::kNoHandle;
        if (fault) {
            native::setFaultError();
            return false;
        }
        return closed;
    }

private:
    native::Handle m_handle;
};

// Opens a file for the program's reading or writing: never through a link, and only an
// ordinary file. A named pipe is refused at once instead of hanging the program until somebody
// opens its other end. With create, a missing file is made, for its owner only; created tells
// whether it was.
native::Handle openOrdinary(const std::string& path, const std::string& osPath, native::Access access,
                            bool create = false, bool* created = nullptr) {
    const native::Handle handle = native::openFile(osPath, access, create, created);
    if (handle == native::kNoHandle) {
        failOpen(path, osPath, native::lastError());
    }
    bool isFolder = false;
    if (!native::isOrdinaryFile(handle, isFolder)) {
        native::closeFile(handle);
        throw FileError(path, refusalReason(isFolder ? PathKind::Folder : PathKind::Other));
    }
    return handle;
}

// Writes everything or returns the error of the failure.
int writeAll(native::Handle handle, std::string_view data, const std::string& osPath) {
    record("write", osPath);
    while (!data.empty()) {
        std::size_t chunk = data.size();
        if (budgetLeft()) {
            if (*budgetLeft() == 0) {
                return native::fullDiskError();
            }
            chunk = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, *budgetLeft()));
        }
        const std::int64_t n = native::writeSome(handle, data.data(), chunk);
        if (n < 0) {
            return native::lastError();
        }
        if (budgetLeft()) {
            *budgetLeft() -= static_cast<std::uint64_t>(n);
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Makes a new name in folder durable. Returns 0 or the error of the failure.
int syncFolder(const std::string& osFolder) {
    if (detail::stepFails("sync folder", osFolder)) {
        return native::lastError();
    }
    return native::syncFolder(osFolder);
}

// Cuts an appended file back to its old length through its path, once its handle is gone.
void cutBack(const std::string& osPath, std::uint64_t length) {
    try {
        OpenFile file(openOrdinary(osPath, osPath, native::Access::Write));
        if (!detail::stepFails("truncate", osPath) && native::truncateFile(file.get(), length)) {
            native::syncFile(file.get());
        }
    } catch (const FileError&) {
        // gone, or no longer the file that was appended to: nothing to cut back
    }
}

// A safe rewrite of "NAME" writes ".NAME.new-" and six random characters first.
constexpr char kTemporarySuffix[] = "XXXXXX";
constexpr std::size_t kTemporarySuffixLength = sizeof kTemporarySuffix - 1;

std::string temporaryPrefix(const std::string& osPath) {
    return "." + fileNameOf(osPath) + ".new-";
}

bool isHiddenOrSystem(const std::string& path) {
    try {
        return (getAttr(path) & (kAttrHidden | kAttrSystem)) != 0;
    } catch (const FileError&) {
        return true; // gone or unreadable: not something to offer
    }
}

} // namespace

std::string readFileBytes(const std::string& path) {
    std::string data;
    readFileBytes(path, data);
    return data;
}

void readFileBytes(const std::string& path, std::string& data) {
    readFileBytes(path, data, std::numeric_limits<std::uint64_t>::max());
}

void readFileBytes(const std::string& path, std::string& data, std::uint64_t limit) {
    FileIdentity identity;
    readFileBytes(path, data, limit, identity);
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    FileIdentity identity;
    if (!native::identityOf(osPath(path), identity)) {
        return std::nullopt;
    }
    return identity;
}

void readFileBytes(const std::string& path, std::string& data, std::uint64_t limit, FileIdentity& identity) {
    OpenFile file(openOrdinary(path, osPath(path), native::Access::Read));
    if (!native::identityOf(file.get(), identity)) {
        fail(path, native::lastError());
    }
    std::uint64_t size = 0;
    if (!native::fileSize(file.get(), size)) {
        fail(path, native::lastError());
    }
    if (size > limit) {
        throw FileTooLarge(path, size, limit);
    }
    data.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            // The file may have grown since its size was taken. The end is looked for in a small
            // buffer first, so that a file of the size it said never doubles the string's room.
            char more[4096];
            const std::int64_t n = native::readSome(file.get(), more, sizeof more);
            if (n < 0) {
                fail(path, native::lastError());
            }
            if (n == 0) {
                break;
            }
            if (got + static_cast<std::uint64_t>(n) > limit) {
                throw FileTooLarge(path, got + static_cast<std::uint64_t>(n), limit);
            }
            data.append(more, static_cast<std::size_t>(n));
            got = data.size();
            data.resize(got + 65536);
            continue;
        }
        const std::int64_t n = native::readSome(file.get(), data.data() + got, data.size() - got);
        if (n < 0) {
            fail(path, native::lastError());
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
}

PathKind kindOfPath(const std::string& path) {
    return native::kindOf(osPath(path));
}

std::string refusalReason(PathKind kind) {
    switch (kind) {
    case PathKind::Link:
        return "It is a link to another place, which Jotterel never follows.";
    case PathKind::Folder:
        return errorText(native::folderError());
    case PathKind::Missing:
        return errorText(native::missingError());
    case PathKind::File:
    case PathKind::Other:
        break;
    }
    return "It is not an ordinary file.";
}

void checkOrdinaryFile(const std::string& path) {
    const PathKind kind = kindOfPath(path);
    if (kind == PathKind::Missing) {
        fail(path, native::lastError()); // as the look at the path left it: missing, or out of reach
    }
    if (kind != PathKind::File) {
        throw FileError(path, refusalReason(kind));
    }
}

void writeFileSafely(const std::string& path, std::string_view content, unsigned attributes) {
    const std::string os = osPath(path);
    // What is at the path is looked at, not followed: the rename would put the file in place of
    // a link, which the member never asked for.
    if (const PathKind kind = native::kindOf(os); kind != PathKind::Missing && kind != PathKind::File) {
        throw FileError(path, refusalReason(kind));
    }
    const std::string folder = folderOf(os);
    const std::string prefix = temporaryPrefix(os);
    std::string temp = joinPath(folder, prefix + kTemporarySuffix);
    if (detail::stepFails("create", temp)) {
        fail(path, native::lastError());
    }
    OpenFile file(native::createTemporaryFile(folder, prefix, temp));
    if (file.get() == native::kNoHandle) {
        fail(path, native::lastError());
    }
    auto discard = [&](int err) {
        if (!detail::stepFails("delete", temp)) {
            native::deleteFile(temp);
        }
        fail(path, err);
    };
    // The new file keeps the permissions of the one it replaces; a new one is its owner's alone.
    native::keepPermissions(file.get(), os);
    if (const int err = writeAll(file.get(), content, temp); err != 0) {
        discard(err);
    }
    if (detail::stepFails("sync file", temp) || !native::syncFile(file.get())) {
        discard(native::lastError());
    }
    // The attribute goes on the new file before it takes its place, so the file is never seen
    // under its name without it.
    if ((attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive)) != 0) {
        if (detail::stepFails("set attribute", temp) || !native::writeAttributes(file.get(), attributes)) {
            discard(native::lastError());
        }
    }
    if (!file.close(temp)) {
        discard(native::lastError());
    }
    if (detail::stepFails("rename", os) || !native::replaceFile(temp, os)) {
        discard(native::lastError());
    }
    // The file already holds its new content, so a failure here changes nothing the program
    // could report.
    syncFolder(folder);
}

namespace {

// Deletes the ordinary files of folder (a path the system takes) whose names the predicate
// picks; folderForErrors names it in a failure.
template <typename Picks>
std::size_t deleteLeftovers(const std::string& folder, const std::string& folderForErrors, Picks picks) {
    std::vector<std::string> names;
    if (!native::listNames(folder, names)) {
        fail(folderForErrors, native::lastError());
    }
    std::size_t deleted = 0;
    for (const std::string& name : names) {
        if (!picks(std::string_view(name))) {
            continue;
        }
        const std::string full = joinPath(folder, name);
        if (native::kindOf(full) == PathKind::File && !detail::stepFails("delete", full) && native::deleteFile(full)) {
            ++deleted;
        }
    }
    return deleted;
}

// The name of a temporary file a safe rewrite makes: ".", the name, ".new-" and six letters or
// digits.
bool isTemporaryName(std::string_view name) {
    constexpr std::string_view kNew = ".new-";
    if (name.size() < 1 + 1 + kNew.size() + kTemporarySuffixLength || name.front() != '.') {
        return false;
    }
    const std::string_view suffix = name.substr(name.size() - kTemporarySuffixLength);
    return name.substr(name.size() - kTemporarySuffixLength - kNew.size(), kNew.size()) == kNew &&
           std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

} // namespace

std::size_t deleteSafeWriteLeftovers(const std::string& path) {
    const std::string os = osPath(path);
    const std::string prefix = temporaryPrefix(os);
    return deleteLeftovers(folderOf(os), folderOf(path), [&](std::string_view name) {
        return name.size() == prefix.size() + kTemporarySuffixLength && name.starts_with(prefix);
    });
}

std::size_t deleteAllSafeWriteLeftovers(const std::string& folder) {
    return deleteLeftovers(osPath(folder), folder, isTemporaryName);
}

std::uint64_t appendToFile(const std::string& path, std::string_view content) {
    const std::string os = osPath(path);
    if (detail::stepFails("open", os)) {
        fail(path, native::lastError());
    }
    bool created = false;
    OpenFile file(openOrdinary(path, os, native::Access::Append, true, &created));
    std::uint64_t oldLength = 0;
    if (!native::fileSize(file.get(), oldLength)) {
        fail(path, native::lastError());
    }
    int err = writeAll(file.get(), content, os);
    if (err == 0 && (detail::stepFails("sync file", os) || !native::syncFile(file.get()))) {
        err = native::lastError();
    }
    if (err != 0) {
        // Never leave half an entry behind.
        if (!detail::stepFails("truncate", os) && native::truncateFile(file.get(), oldLength)) {
            native::syncFile(file.get());
        }
        fail(path, err);
    }
    if (!file.close(os)) {
        // Whatever reached the disk, the caller hears that the append failed: take it back, so
        // that an entry is never saved twice when the member tries again.
        err = native::lastError();
        cutBack(os, oldLength);
        fail(path, err);
    }
    if (created) {
        syncFolder(folderOf(os)); // the content is on the disk; its name follows as it can
    }
    return oldLength;
}

void truncateFile(const std::string& path, std::uint64_t length) {
    const std::string os = osPath(path);
    OpenFile file(openOrdinary(path, os, native::Access::Write));
    if (detail::stepFails("truncate", os) || !native::truncateFile(file.get(), length)) {
        fail(path, native::lastError());
    }
    if (detail::stepFails("sync file", os) || !native::syncFile(file.get())) {
        fail(path, native::lastError());
    }
}

void createEmptyFile(const std::string& path) {
    const std::string os = osPath(path);
    if (detail::stepFails("create", os)) {
        fail(path, native::lastError());
    }
    bool created = false;
    OpenFile file(openOrdinary(path, os, native::Access::Write, true, &created));
    if (!created && (detail::stepFails("truncate", os) || !native::truncateFile(file.get(), 0))) {
        fail(path, native::lastError());
    }
    if (detail::stepFails("sync file", os) || !native::syncFile(file.get())) {
        fail(path, native::lastError());
    }
    if (!file.close(os)) {
        fail(path, native::lastError());
    }
    // A new member's files must be there after a power cut, not only their folder.
    if (const int err = syncFolder(folderOf(os)); err != 0) {
        fail(path, err);
    }
}

bool fileExists(const std::string& path) {
    return kindOfPath(path) == PathKind::File && !isHiddenOrSystem(path);
}

bool pathExists(const std::string& path) {
    return kindOfPath(path) != PathKind::Missing;
}

void deleteFile(const std::string& path) {
    const std::string os = osPath(path);
    if (native::kindOf(os) == PathKind::Folder) {
        fail(path, native::folderError());
    }
    if (detail::stepFails("delete", os) || !native::deleteFile(os)) {
        fail(path, native::lastError());
    }
}

void makeFolder(const std::string& path) {
    const std::string os = osPath(path);
    if (detail::stepFails("mkdir", os) || !native::makeFolder(os)) {
        fail(path, native::lastError());
    }
    // Adding a member must survive a power cut: the folder's name reaches the disk. A folder
    // that may not be on the disk is no folder to build a member in.
    if (const int err = syncFolder(folderOf(os)); err != 0) {
        native::removeFolder(os);
        fail(path, err);
    }
}

void removeFolder(const std::string& path) {
    const std::string os = osPath(path);
    if (detail::stepFails("remove folder", os) || !native::removeFolder(os)) {
        fail(path, native::lastError());
    }
}

std::vector<FolderEntry> listFolder(const std::string& folder, const std::string& pattern, bool includeFolders) {
    std::vector<std::string> names;
    if (!native::listNames(osPath(folder), names)) {
        fail(folder, native::lastError());
    }
    std::vector<FolderEntry> entries;
    // Every name is listed by its real name, in whatever language it is written.
    for (const std::string& name : names) {
        if (name == "." || name == ".." || !matchesPattern(name, pattern)) {
            continue;
        }
        const std::string full = joinPath(folder, name);
        const PathKind kind = kindOfPath(full);
        const bool isFolder = kind == PathKind::Folder;
        if ((isFolder && !includeFolders) || kind == PathKind::Other || kind == PathKind::Missing ||
            isHiddenOrSystem(full)) {
            continue;
        }
        entries.push_back({name, isFolder});
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const std::string fa = foldCase(a.name);
        const std::string fb = foldCase(b.name);
        return fa != fb ? fa < fb : a.name < b.name;
    });
    return entries;
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    // Character by character, letter case ignored: "?" stands for one character, whatever it
    // takes to write.
    auto folded = [](std::string_view text) {
        std::u32string out;
        for (std::size_t i = 0; i < text.size();) {
            out += foldCase(nextCodePoint(text, i));
        }
        return out;
    };
    const std::u32string n = folded(name);
    const std::u32string p = folded(pattern);
    // Iterative wildcard match with one level of backtracking to the last "*".
    std::size_t ni = 0, pi = 0, starP = std::u32string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

void setWriteBudget(std::optional<std::uint64_t> bytes) {
    budgetLeft() = bytes;
}

std::optional<std::uint64_t> writeBudget() {
    return budgetLeft();
}

void setDiskStepRecorder(DiskStepRecorder recorder) {
    diskStepRecorder() = std::move(recorder);
}

void setFaultAfterSteps(std::optional<std::uint64_t> steps) {
    faultCountdown() = steps;
}

std::optional<std::uint64_t> stepsBeforeFault() {
    return faultCountdown();
}

namespace detail {

bool stepFails(std::string_view step, const std::string& path) {
    record(step, path);
    std::optional<std::uint64_t>& steps = faultCountdown();
    if (!steps) {
        return false;
    }
    if (*steps > 0) {
        --*steps;
        return false;
    }
    steps.reset(); // one fault: the disk works again for whatever the program does next
    native::setFaultError();
    return true;
}

} // namespace detail

} // namespace platform
