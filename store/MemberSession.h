#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileError.h"
#include "store/DiaryKeys.h"
#include "store/GuardedBuffer.h"
#include "store/KdfParameters.h"
#include "store/MemberFolder.h"
#include "store/MemberLock.h"
#include "store/OpenedPageCache.h"
#include "store/ProtectedPasswordFile.h"
#include "store/StoredLines.h"

// The member session: everything that belongs to the member logged in (name, key, the password
// typed, captions, the last search text, the lock of the member folder), with the ways into and
// out of a member (log in, log off, add a member, delete the member). Only these operations
// change the member state, so a change of member always starts from nothing of the member
// before. One instance lives for the whole run; tests make their own over a temporary folder.
class MemberSession {
public:
    explicit MemberSession(std::string appPath);

    // The folder that holds the member folders (the program's own folder).
    const std::string& appPath() const { return m_appPath; }

    // ---- The member logged in ----

    // Somebody is logged in exactly while the password typed at the login is kept.
    bool loggedIn() const { return !m_enteredPassword.empty(); }
    const std::string& currentMember() const { return m_member; } // empty when nobody is logged in
    std::string_view enteredPassword() const { return m_enteredPassword.view(); }
    // The member key, 100 to 130 (for a protected diary the classic key its records' texts are
    // stored for); 0 when nobody is logged in.
    int cipherKey() const { return m_key; }

    enum class LoginOutcome {
        LoggedIn,
        WrongPassword,          // nothing changes
        PasswordFileUnreadable, // missing or damaged; error says which and why
        FolderUnopenable,       // the member folder cannot be opened to take its lock
        LoggedInElsewhere,      // another copy of the program has the member logged in
    };
    struct LoginResult {
        LoginOutcome outcome;
        std::optional<platform::FileError> error;
    };
    // Checks the password typed (letter case ignored) against the member's password file, takes
    // the lock of the member folder, clears away the scraps of saves cut short, finishes a
    // conversion of the folder that a crash stopped, and loads the captions. For a protected
    // diary the password opens its keys, which the session keeps until it ends. A wrong or unreadable password leaves
    // the session as it was; once the password matches, the session before it ends, whether or not the lock can be
    // taken.
    LoginResult logIn(const std::string& member, const std::string& typedPassword);

    // Ends the session: the member, key, password, the keys of a protected diary, the pages Find
    // opened, captions and search text are forgotten (the secrets wiped) and the lock is let go, so that nothing of
    // this member reaches the next.
    void logOff();

    // ---- A protected diary ----

    bool isProtected() const { return m_diaryKeys.has_value(); }
    // The keys of the member's protected diary, in guarded memory; null for a classic diary.
    const DiaryKeys* diaryKeys() const { return m_diaryKeys ? &*m_diaryKeys : nullptr; }
    // Protected, or the conversion a crash stopped when the login could not finish it.
    ConversionState conversionState() const { return m_conversion; }
    // Where a protected member's file of this kind and name is read and written.
    ProtectedFileContext protectedContext(ProtectedFileKind kind, std::string_view fileName) const;
    // After the member's diary was protected, given a new password (keys) or unprotected
    // (nothing).
    void setDiaryKeys(std::optional<DiaryKeys> keys, ConversionState state);
    // After a conversion that failed half-way and could not be put back.
    void setConversionState(ConversionState state);
    // The pages of the protected diary as Find opened them. It lives and goes with the session:
    // emptied at log off, at the next login, when the member is deleted, and whenever the keys or
    // the form of the diary change. Find fills it from a const session, as a cache.
    OpenedPageCache& openedPages() const { return m_openedPages; }
    // Every write the program makes to page 1 to 15 tells the session first, so that Find opens
    // the page again.
    void pageWritten(int page) const { m_openedPages.drop(page); }
    // How hard the key of a diary protected in this session is to derive: the program's own
    // cost, which tests lower to libsodium's least.
    const KdfParameters& kdfForNewDiaries() const { return m_kdfForNewDiaries; }
    void setKdfForNewDiaries(const KdfParameters& kdf) { m_kdfForNewDiaries = kdf; }

    // ---- Captions of the member's pages ----

    // The caption of page 1 to 15 as last loaded or set; empty while nobody is logged in.
    const std::string& caption(int page) const;
    // Reads the captions file again (every page shown does). A missing file, a missing line or
    // one that cannot be deciphered gives "No caption set". A file that is there but cannot be
    // read gives "No caption set" too, and CaptionsUnreadable then says why.
    void loadCaptions();
    // Why the captions file could not be read at the last load; nothing when it could. While it
    // cannot be read, the captions are never saved over it.
    const std::optional<platform::FileError>& captionsUnreadable() const { return m_captionsUnreadable; }
    // Changes the caption of page 1 to 15 in memory; SaveCaptions stores it.
    void setCaption(int page, std::string caption);
    // Writes the fifteen captions to the captions file ("No caption set" for an empty one, also
    // in memory). Throws platform::FileError, leaving the file as it was, also when the file
    // could not be read at the last load.
    void saveCaptions();

    // Why the member folder cannot be written, where it could not be at the login: the diary is
    // open for reading, and nothing can be saved.
    const std::optional<platform::FileError>& folderUnwritable() const { return m_lock.unwritable(); }

    // The last text searched for, offered by the next Find.
    const std::string& searchText() const { return m_searchText; }
    void setSearchText(std::string text);

    // ---- Paths ----

    // Application folder, member name, file name, joined.
    std::string memberFolder(const std::string& member) const;
    std::string memberFile(const std::string& member, std::string_view fileName) const;
    // The same for the member logged in.
    std::string memberFolder() const { return memberFolder(m_member); }
    std::string pageFilePath(int page) const; // page 1 to 15
    std::string captionsPath() const { return memberFile(m_member, MemberFolder::kCaptionsFile); }
    std::string passwordPath() const { return memberFile(m_member, MemberFolder::kPasswordFile); }

    // ---- Adding and deleting members ----

    struct NewMember {
        enum Status {
            Added,
            Taken,        // a member or a folder of that name exists; nothing was changed
            FolderFailed, // the folder cannot be made; nothing was made
            FilesFailed,  // a file cannot be made; what was made has been taken away again
            FilesLeft,    // a file cannot be made, and what was made cannot all be taken away
        };
        Status status = Added;
        int key = 0;          // the new member's key
        std::string password; // the initial password
        std::optional<platform::FileError> error;
    };
    // Makes the folder of a new member with its password file (a random key, the first four
    // characters of the name as the password) and its empty, hidden captions and page files.
    // Nobody is logged in by it. The name must have passed MemberNameProblem.
    NewMember addMember(const std::string& name) const;

    // The ordinary files in the logged-in member's folder that are not the program's own, by
    // name: exports and whatever else the member put there. Throws platform::FileError.
    std::vector<std::string> otherFiles() const;

    struct Deletion {
        std::vector<std::string> left;            // names of the files that could not be deleted
        std::optional<platform::FileError> error; // why the first of them could not
        bool folderRemoved = false;
        std::optional<platform::FileError> folderError; // why the folder is left
        bool passwordFileLeft = false;                  // the member is still listed at login
    };
    // Deletes the logged-in member's files: otherFiles (those the member was shown), the
    // program's own files and the scraps of saves cut short, then the member folder when it is
    // empty. A file that cannot be deleted stays as it was, hidden mark included, and is named
    // in the result. The session itself goes on until LogOff.
    Deletion deleteMember(const std::vector<std::string>& otherFiles);

private:
    std::string m_appPath;
    std::string m_member;
    GuardedBuffer m_enteredPassword;
    int m_key = 0;
    std::optional<DiaryKeys> m_diaryKeys;
    ConversionState m_conversion = ConversionState::Protected;
    KdfParameters m_kdfForNewDiaries = KdfParameters::forNewDiary();
    mutable OpenedPageCache m_openedPages;
    std::array<std::string, 16> m_captions; // slots 1 to 15
    std::optional<platform::FileError> m_captionsUnreadable;
    std::string m_searchText;
    // Held from the login until the session ends or the program does: no second copy of the
    // program can log in as the same member meanwhile.
    MemberLock m_lock;
};
