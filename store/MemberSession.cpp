#include "store/MemberSession.h"

#include <charconv>
#include <utility>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"
#include "store/CipherError.h"
#include "store/MemberFileWriter.h"
#include "store/NewMember.h"
#include "store/PasswordFile.h"
#include "store/TextCodec.h"

namespace {

constexpr std::array<const char*, 15> kPageFiles = {
    "FGZISKL4", "OTBKJI3W", "Q583IZCH", "UT4PC5G7", "WXSTYE7K", "UBYRTRDY", "JSNGUBN3", "GIKJSNB8",
    "CYTYRBF3", "UBFUSOSJ", "RYTIORE3", "FBJNSTJT", "HRKIEGI0", "GRKKIET5", "7RUIYUBE",
};

// Lowers every byte of in by shift into out. Returns false, leaving out undefined, when a
// byte lies below the shift. Written without early exit so the compiler can vectorise it.
bool lowerInto(char* out, const char* in, std::size_t n, unsigned shift) {
    unsigned char below = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        out[i] = static_cast<char>(c - shift);
        below |= static_cast<unsigned char>(c < shift);
    }
    return below == 0;
}

std::string lowered(std::string_view text, int shift) {
    std::string out(text.size(), '\0');
    if (!lowerInto(out.data(), text.data(), text.size(), static_cast<unsigned>(shift))) {
        throw CipherError("the text holds a byte below the key");
    }
    return out;
}

} // namespace

MemberSession::MemberSession(std::string appPath) : m_appPath(std::move(appPath)) {
}

const char* MemberSession::pageFileName(int page) {
    return kPageFiles.at(static_cast<std::size_t>(page - 1));
}

std::vector<std::string> MemberSession::memberFileNames() {
    std::vector<std::string> names(kPageFiles.begin(), kPageFiles.end());
    names.emplace_back(kCaptionsFile);
    names.emplace_back(kPasswordFile);
    return names;
}

MemberSession::LoginResult MemberSession::logIn(const std::string& member, const std::string& typedPassword) {
    const std::string path = memberFile(member, kPasswordFile);
    auto damaged = [&](const std::string& what) {
        return LoginResult{LoginOutcome::PasswordFileUnreadable,
                           platform::FileError(path, "The file is damaged: " + what + ".")};
    };
    int key = 0;
    std::string stored;
    try {
        const PasswordFile file = PasswordFile::read(path);
        key = file.key;
        try {
            stored = decryptWithKey(file.passwordLine, key);
        } catch (const CipherError&) {
            return damaged("its password line cannot be deciphered under the member key");
        }
    } catch (const CipherError& e) {
        return damaged(e.what());
    } catch (const platform::FileError& e) {
        return LoginResult{LoginOutcome::PasswordFileUnreadable, e};
    }
    if (platform::foldCase(stored) != platform::foldCase(typedPassword)) {
        return LoginResult{LoginOutcome::WrongPassword, std::nullopt};
    }
    // A login ends the session before it, whatever comes of taking the lock.
    logOff();
    // Two copies of the program writing the same member's files could lose entries, so only one
    // may have the member logged in.
    try {
        if (!m_lock.acquire(memberFolder(member))) {
            return LoginResult{LoginOutcome::LoggedInElsewhere, std::nullopt};
        }
    } catch (const platform::FileError& e) {
        return LoginResult{LoginOutcome::FolderUnopenable, e};
    }
    // Scraps of a rewrite or an export that a crash or a power cut stopped half-way; the files
    // themselves are whole. Nobody else can be writing them now.
    try {
        platform::deleteAllSafeWriteLeftovers(memberFolder(member));
    } catch (const platform::FileError&) {
        // a folder that cannot be listed keeps its scraps; they harm nothing
    }
    m_member = member;
    m_key = key;
    m_enteredPassword = typedPassword;
    loadCaptions();
    return LoginResult{LoginOutcome::LoggedIn, std::nullopt};
}

void MemberSession::logOff() {
    m_member.clear();
    m_enteredPassword.clear();
    m_key = 0;
    m_captions = {};
    m_captionsUnreadable.reset();
    m_searchText.clear();
    m_lock.release(); // another copy may log the member in at once
}

const std::string& MemberSession::caption(int page) const {
    return m_captions.at(static_cast<std::size_t>(page));
}

void MemberSession::loadCaptions() {
    m_captionsUnreadable.reset();
    if (!loggedIn()) {
        m_captions = {};
        return;
    }
    const std::string path = captionsPath();
    std::string data;
    try {
        data = platform::readFileBytes(path);
    } catch (const platform::FileError& e) {
        // A missing file leaves every page without a caption, as a new member's empty one does.
        // One that is there but cannot be read holds captions nobody may write over.
        if (platform::pathExists(path)) {
            m_captionsUnreadable = e;
        }
    }
    m_captions = parseCaptions(data, m_key);
}

void MemberSession::setCaption(int page, std::string caption) {
    m_captions.at(static_cast<std::size_t>(page)) = std::move(caption);
}

void MemberSession::saveCaptions() {
    if (!loggedIn()) {
        return; // no member, no captions
    }
    if (m_captionsUnreadable) {
        throw platform::FileError(
            m_captionsUnreadable->path(),
            "It could not be read (" + m_captionsUnreadable->reason() +
                "), so Jotterel leaves it as it is rather than write over the captions it holds.");
    }
    std::string content;
    for (int i = 1; i <= kPageCount; ++i) {
        std::string& caption = m_captions[static_cast<std::size_t>(i)];
        if (caption.empty()) {
            caption = kNoCaption;
        }
        content += encryptKeyed(caption);
        content += "\r\n";
    }
    rewriteMemberFile(captionsPath(), content);
}

std::string MemberSession::memberFolder(const std::string& member) const {
    return platform::joinPath(m_appPath, member);
}

std::string MemberSession::memberFile(const std::string& member, std::string_view fileName) const {
    return platform::joinPath(memberFolder(member), fileName);
}

std::string MemberSession::pageFilePath(int page) const {
    return memberFile(m_member, pageFileName(page));
}

MemberSession::NewMember MemberSession::addMember(const std::string& name) const {
    NewMember result;
    const std::string folder = memberFolder(name);
    try {
        platform::makeFolder(folder);
    } catch (const platform::FileError& e) {
        result.status = platform::pathExists(folder) ? NewMember::Taken : NewMember::FolderFailed;
        result.error = e;
        return result;
    }
    const std::string password = initialPassword(name);
    result.key = chooseMemberKey();
    result.password = password;
    // What has been put into the folder, so that a failure can take it away again.
    std::vector<std::string> made;
    try {
        made.push_back(memberFile(name, kPasswordFile));
        platform::writeFileSafely(made.back(), PasswordFile::content(result.key, password), platform::kAttrHidden);
        for (int i = 1; i <= kPageCount + 1; ++i) {
            made.push_back(memberFile(name, i <= kPageCount ? pageFileName(i) : kCaptionsFile));
            platform::createEmptyFile(made.back());
            platform::setAttr(made.back(), platform::kAttrHidden);
        }
        return result;
    } catch (const platform::FileError& e) {
        result.error = e;
    }
    // A folder without all its files would be a member who cannot log in or whose pages cannot
    // be read, and its name would stay taken: it goes again, so the member can be added once the
    // cause is mended.
    for (const std::string& path : made) {
        try {
            platform::deleteFile(path);
        } catch (const platform::FileError&) {
            // never made, or already gone
        }
        try {
            platform::deleteSafeWriteLeftovers(path);
        } catch (const platform::FileError&) {
        }
    }
    try {
        platform::removeFolder(folder);
    } catch (const platform::FileError&) {
    }
    result.status = platform::pathExists(folder) ? NewMember::FilesLeft : NewMember::FilesFailed;
    return result;
}

std::vector<std::string> MemberSession::otherFiles() const {
    std::vector<std::string> names;
    for (const platform::FolderEntry& entry : platform::listFolder(memberFolder(), "*.*", false)) {
        names.push_back(entry.name);
    }
    return names;
}

MemberSession::Deletion MemberSession::deleteMember(const std::vector<std::string>& otherFiles) {
    Deletion result;
    const std::string folder = memberFolder();
    // The hidden mark is not cleared first: deleting needs no clearing, and a file that cannot
    // be deleted stays the program's hidden file.
    auto remove = [&](const std::string& name) {
        try {
            platform::deleteFile(platform::joinPath(folder, name));
        } catch (const platform::FileError& e) {
            if (platform::pathExists(platform::joinPath(folder, name))) {
                result.left.push_back(name);
                if (!result.error) {
                    result.error = e;
                }
            }
        }
    };
    for (const std::string& name : otherFiles) {
        remove(name);
    }
    // The password file goes last: while any other file is left, the member can still log in
    // and delete it again.
    for (const std::string& name : memberFileNames()) {
        remove(name);
    }
    try {
        // A rewrite or an export cut short by the program being stopped is the program's own.
        platform::deleteAllSafeWriteLeftovers(folder);
    } catch (const platform::FileError&) {
    }
    result.passwordFileLeft = platform::pathExists(passwordPath());
    if (!result.passwordFileLeft) {
        // Nobody can log in as the member any more: the lock file goes too, and the session
        // holds the member no longer.
        m_lock.releaseAndDelete(folder);
    }
    try {
        // Anything else still in the folder keeps it: it stays, and what it holds is not lost.
        platform::removeFolder(folder);
    } catch (const platform::FileError& e) {
        result.folderError = e;
    }
    result.folderRemoved = !platform::pathExists(folder);
    return result;
}

std::string MemberSession::encryptWithKey(std::string_view text, int key) {
    std::string out = storableText(text, key);
    for (char& c : out) {
        c = static_cast<char>(static_cast<unsigned char>(c) + key);
    }
    return out;
}

std::string MemberSession::decryptWithKey(std::string_view text, int key) {
    return textFromStorable(lowered(text, key), key);
}

std::string MemberSession::encryptFixed(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= kFixedShift) {
            throw CipherError("the text holds a byte of 128 or more");
        }
        c = static_cast<char>(static_cast<unsigned char>(c) + kFixedShift);
    }
    return out;
}

std::string MemberSession::decryptFixed(std::string_view text) {
    return lowered(text, kFixedShift);
}

std::string MemberSession::replaceChar(std::string_view text, std::string_view find, std::string_view replacement) {
    std::string out;
    if (find.empty()) {
        return std::string(text);
    }
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(find, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
        pos = hit + find.size();
    }
}

std::string MemberSession::readPage(const std::string& path) const {
    return displayText(platform::readFileBytes(path), m_key);
}

std::string MemberSession::displayText(std::string_view data, int key) {
    std::string display;
    // Each line grows by at most "[", the number, "] ", a tab and CR LF.
    display.reserve(data.size() + data.size() / 4 + 64);
    std::size_t count = 0;
    std::size_t lineNumber = 0;
    const auto shift = static_cast<unsigned>(key);
    platform::forEachLine(data, [&](std::string_view line) {
        ++lineNumber;
        if (!line.empty()) {
            ++count;
            char number[24];
            const auto [end, ec] = std::to_chars(number, number + sizeof number, count);
            (void)ec;
            display += '[';
            display.append(number, end);
            display += "] \t";
            const std::size_t at = display.size();
            display.resize(at + line.size());
            char* plain = display.data() + at;
            if (!lowerInto(plain, line.data(), line.size(), shift)) {
                throw CipherError("Line " + std::to_string(lineNumber) +
                                  " of the page file cannot be deciphered under this member's key.");
            }
            // Most entries are plain ASCII and already are their text; the rest are turned back
            // into Unicode, references included.
            if (storableNeedsDecoding(std::string_view(plain, line.size()))) {
                const std::string text = textFromStorable(std::string_view(plain, line.size()), key);
                display.resize(at);
                display += text;
            }
        }
        display += "\r\n";
    });
    return display;
}

MemberSession::ReadablePage MemberSession::readWhatCanBeRead(int page) const {
    ReadablePage result;
    std::string data;
    try {
        data = platform::readFileBytes(pageFilePath(page));
    } catch (const platform::FileError& e) {
        result.display = "(the page file cannot be read: " + e.reason() + ")\r\n";
        result.whole = false;
        return result;
    }
    std::size_t count = 0;
    std::size_t lineNumber = 0;
    platform::forEachLine(data, [&](std::string_view line) {
        ++lineNumber;
        if (!line.empty()) {
            result.display += "[" + std::to_string(++count) + "] \t";
            try {
                result.display += decryptKeyed(line);
            } catch (const CipherError&) {
                result.display += "(line " + std::to_string(lineNumber) + " of the page file cannot be read)";
                result.whole = false;
            }
        }
        result.display += "\r\n";
    });
    return result;
}

std::array<std::string, 16> MemberSession::parseCaptions(std::string_view data, int key) {
    std::vector<std::string_view> lines;
    platform::forEachLine(data, [&](std::string_view line) {
        if (lines.size() < kPageCount) {
            lines.push_back(line);
        }
    });
    std::array<std::string, 16> captions;
    for (int i = 1; i <= kPageCount; ++i) {
        std::string caption;
        if (static_cast<std::size_t>(i) <= lines.size()) {
            try {
                caption = decryptWithKey(lines[static_cast<std::size_t>(i - 1)], key);
            } catch (const CipherError&) {
                caption.clear();
            }
        }
        captions[static_cast<std::size_t>(i)] = caption.empty() ? kNoCaption : caption;
    }
    return captions;
}
