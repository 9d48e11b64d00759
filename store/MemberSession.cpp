#include "store/MemberSession.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"
#include "store/CaptionsFile.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/DiaryConversion.h"
#include "store/MemberFileForm.h"
#include "store/MemberFileWriter.h"
#include "store/NewMember.h"
#include "store/PasswordFile.h"
#include "store/ProtectedFileError.h"

namespace {

void wipeCaptions(std::array<std::string, 16>& captions) {
    for (std::string& caption : captions) {
        platform::wipe(caption);
    }
}

} // namespace

MemberSession::MemberSession(std::string appPath) : m_appPath(std::move(appPath)) {
}

MemberSession::LoginResult MemberSession::logIn(const std::string& member, const std::string& typedPassword) {
    const std::string path = memberFile(member, MemberFolder::kPasswordFile);
    auto damaged = [&](const std::string& what) {
        return LoginResult{LoginOutcome::PasswordFileUnreadable,
                           platform::FileError(path, "The file is damaged: " + what + ".")};
    };
    int key = 0;
    std::optional<DiaryKeys> diaryKeys;
    ConversionState conversion = ConversionState::Protected;
    try {
        const std::string data = platform::readFileBytes(path);
        if (memberFileForm(data) == MemberFileForm::Protected) {
            const ProtectedPasswordFile file = ProtectedPasswordFile::parse(data);
            // The slow derivation of the key is what makes guessing the password slow.
            diaryKeys = file.open(typedPassword);
            if (!diaryKeys) {
                return LoginResult{LoginOutcome::WrongPassword, std::nullopt};
            }
            key = diaryKeys->classicKey;
            conversion = file.state();
        } else {
            const PasswordFile file = PasswordFile::parse(data);
            key = file.key;
            std::string stored;
            try {
                stored = Cipher::decryptWithKey(file.passwordLine, key);
            } catch (const CipherError&) {
                return damaged("its password line cannot be deciphered under the member key");
            }
            std::string storedFolded = platform::foldCase(stored);
            std::string typedFolded = platform::foldCase(typedPassword);
            const bool same = storedFolded == typedFolded;
            for (std::string* secret : {&stored, &storedFolded, &typedFolded}) {
                platform::wipe(*secret);
            }
            if (!same) {
                return LoginResult{LoginOutcome::WrongPassword, std::nullopt};
            }
        }
    } catch (const ProtectedFileError& e) {
        if (e.problem() == ProtectedFileError::Problem::NewerVersion) {
            std::string reason = e.what();
            reason[0] = 'I';
            return LoginResult{LoginOutcome::PasswordFileUnreadable, platform::FileError(path, reason + ".")};
        }
        return damaged(e.what());
    } catch (const CipherError& e) {
        return damaged(e.what());
    } catch (const platform::FileError& e) {
        return LoginResult{LoginOutcome::PasswordFileUnreadable, e};
    } catch (const std::bad_alloc&) {
        return LoginResult{LoginOutcome::PasswordFileUnreadable,
                           platform::FileError(path, "There is not enough memory to check the password.")};
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
    // Scraps of a rewrite, an append or an export that a crash or a power cut stopped half-way;
    // the files themselves are whole. Nobody else can be writing them now.
    clearAwayCutShortWrites(memberFolder(member));
    if (diaryKeys && conversion != ConversionState::Protected) {
        // Protect or Unprotect was stopped half-way; both forms read meanwhile.
        try {
            finishConversion(memberFolder(member), *diaryKeys, conversion);
            if (conversion == ConversionState::BeingUnprotected) {
                diaryKeys.reset();
            }
            conversion = ConversionState::Protected;
        } catch (const platform::FileError&) {
            // the mark stays, and the next login tries again
        }
    }
    m_member = member;
    m_key = key;
    m_enteredPassword = GuardedBuffer::copyOf(typedPassword);
    m_diaryKeys = std::move(diaryKeys);
    m_conversion = conversion;
    loadCaptions();
    return LoginResult{LoginOutcome::LoggedIn, std::nullopt};
}

void MemberSession::logOff() {
    m_member.clear();
    // Overwritten, not only freed: nothing of the member is left in memory for the next.
    m_enteredPassword.clear(); // guarded memory, wiped as it goes
    m_key = 0;
    wipeCaptions(m_captions);
    m_diaryKeys.reset();
    m_openedPages.clear();
    m_conversion = ConversionState::Protected;
    m_captionsUnreadable.reset();
    platform::wipe(m_searchText);
    m_lock.release(); // another copy may log the member in at once
}

void MemberSession::setSearchText(std::string text) {
    platform::wipe(m_searchText);
    m_searchText = std::move(text);
}

ProtectedFileContext MemberSession::protectedContext(ProtectedFileKind kind, std::string_view fileName) const {
    if (!m_diaryKeys) {
        throw std::logic_error("a classic diary has no protected files");
    }
    return ProtectedFileContext{*m_diaryKeys, m_conversion, kind, fileName};
}

void MemberSession::setDiaryKeys(std::optional<DiaryKeys> keys, ConversionState state) {
    // Pages opened under other keys or another form are no longer what the files hold.
    m_openedPages.clear();
    m_diaryKeys = std::move(keys);
    m_conversion = m_diaryKeys ? state : ConversionState::Protected;
}

void MemberSession::setConversionState(ConversionState state) {
    m_openedPages.clear();
    if (m_diaryKeys) {
        m_conversion = state;
    }
}

const std::string& MemberSession::caption(int page) const {
    return m_captions.at(static_cast<std::size_t>(page));
}

void MemberSession::loadCaptions() {
    m_captionsUnreadable.reset();
    wipeCaptions(m_captions);
    if (!loggedIn()) {
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
    if (!m_diaryKeys) {
        m_captions = CaptionsFile::parse(data, m_key);
        platform::wipe(data);
        return;
    }
    try {
        m_captions = CaptionsFile::parseProtected(
            data, protectedContext(ProtectedFileKind::Captions, MemberFolder::kCaptionsFile));
    } catch (const ProtectedFileError& e) {
        m_captionsUnreadable = platform::FileError(path, std::string("The file cannot be read: ") + e.what() + ".");
        m_captions = CaptionsFile::parse({}, m_key);
    }
    platform::wipe(data);
}

void MemberSession::setCaption(int page, std::string caption) {
    std::string& kept = m_captions.at(static_cast<std::size_t>(page));
    platform::wipe(kept);
    kept = std::move(caption);
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
    std::string content =
        m_diaryKeys && m_conversion != ConversionState::BeingUnprotected
            ? CaptionsFile::protectedContent(m_captions,
                                             protectedContext(ProtectedFileKind::Captions, MemberFolder::kCaptionsFile))
            : CaptionsFile::content(m_captions, m_key);
    try {
        rewriteMemberFile(captionsPath(), content);
    } catch (...) {
        platform::wipe(content);
        throw;
    }
    platform::wipe(content);
}

std::string MemberSession::memberFolder(const std::string& member) const {
    return MemberFolder::path(m_appPath, member);
}

std::string MemberSession::memberFile(const std::string& member, std::string_view fileName) const {
    return MemberFolder::file(m_appPath, member, fileName);
}

std::string MemberSession::pageFilePath(int page) const {
    return memberFile(m_member, MemberFolder::pageFileName(page));
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
        made.push_back(memberFile(name, MemberFolder::kPasswordFile));
        platform::writeFileSafely(made.back(), PasswordFile::content(result.key, password), platform::kAttrHidden);
        for (int i = 1; i <= MemberFolder::kPageCount + 1; ++i) {
            made.push_back(memberFile(name, i <= MemberFolder::kPageCount ? MemberFolder::pageFileName(i)
                                                                          : MemberFolder::kCaptionsFile));
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
    m_openedPages.clear();
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
    for (const std::string& name : MemberFolder::memberFileNames()) {
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
