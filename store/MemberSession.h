#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileError.h"
#include "store/MemberLock.h"

// The member session: everything that belongs to the member logged in (name, key, the password
// typed, captions, the last search text, the lock of the member folder), with the ways into and
// out of a member (log in, log off, add a member, delete the member), and the character-shift
// codec and the member folder's files. Only these operations change the member state, so a
// change of member always starts from nothing of the member before. One instance lives for the
// whole run; tests make their own over a temporary folder.
class MemberSession {
public:
    explicit MemberSession(std::string appPath);

    // The folder that holds the member folders (the program's own folder).
    const std::string& appPath() const { return m_appPath; }

    // Files of a member folder.
    static constexpr const char* kPasswordFile = "QRBNSTJ4";
    static constexpr const char* kCaptionsFile = "UBF8USBS";
    static constexpr const char* kMarkerText = "usngubnrys";
    static constexpr const char* kNoCaption = "No caption set";
    static constexpr int kPageCount = 15;
    static constexpr int kMinKey = 100;
    static constexpr int kMaxKey = 130;
    static constexpr int kFixedShift = 128;

    // File name of page 1 to 15.
    static const char* pageFileName(int page);
    // The names of all the member's own files: pages 1 to 15, the captions file, and last the
    // password file, whose presence makes a folder a member.
    static std::vector<std::string> memberFileNames();

    // ---- The member logged in ----

    // Somebody is logged in exactly while the password typed at the login is kept.
    bool loggedIn() const { return !m_enteredPassword.empty(); }
    const std::string& currentMember() const { return m_member; } // empty when nobody is logged in
    const std::string& enteredPassword() const { return m_enteredPassword; }
    int cipherKey() const { return m_key; } // the member key, 100 to 130; 0 when nobody is logged in

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
    // the lock of the member folder, clears away the scraps of saves cut short and loads the
    // captions. A wrong or unreadable password leaves the session as it was; once the password
    // matches, the session before it ends, whether or not the lock can be taken.
    LoginResult logIn(const std::string& member, const std::string& typedPassword);

    // Ends the session: the member, key, password, captions and search text are forgotten and
    // the lock is let go, so that nothing of this member reaches the next.
    void logOff();

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
    void setSearchText(std::string text) { m_searchText = std::move(text); }

    // ---- Paths ----

    // Application folder, member name, file name, joined.
    std::string memberFolder(const std::string& member) const;
    std::string memberFile(const std::string& member, std::string_view fileName) const;
    // The same for the member logged in.
    std::string memberFolder() const { return memberFolder(m_member); }
    std::string pageFilePath(int page) const; // page 1 to 15
    std::string captionsPath() const { return memberFile(m_member, kCaptionsFile); }
    std::string passwordPath() const { return memberFile(m_member, kPasswordFile); }

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

    // ---- The codec ----

    // The shifts. The keyed ones use the member key and take and give Unicode text; the fixed
    // one is for the key line's digits. Deciphering a byte below the shift, or fixed-enciphering
    // a byte of 128 or more, throws CipherError and returns nothing.
    std::string encryptKeyed(std::string_view text) const { return encryptWithKey(text, m_key); }
    std::string decryptKeyed(std::string_view text) const { return decryptWithKey(text, m_key); }
    static std::string encryptFixed(std::string_view text);
    static std::string decryptFixed(std::string_view text);

    // The keyed shift under an explicit key, between the member's text (Unicode) and the bytes
    // of a file. A character the key cannot store is stored as a reference of characters it can
    // (see TextCodec), so nothing is lost and every stored byte stays at or above the key.
    static std::string encryptWithKey(std::string_view text, int key);
    static std::string decryptWithKey(std::string_view text, int key);

    // text with every occurrence of find replaced by replacement.
    static std::string replaceChar(std::string_view text, std::string_view find, std::string_view replacement);

    // ---- Pages and captions files ----

    // The numbered display text of a page file of the member logged in: "[n] " and a tab before
    // each non-empty line, CR LF after every line. Throws platform::FileError or CipherError.
    std::string readPage(const std::string& path) const;
    // The same for the bytes of a page file under key.
    static std::string displayText(std::string_view pageData, int key);

    // What can be read of page 1 to 15 of the member logged in, for a copy of the page outside
    // the diary: the display text, where a line that cannot be deciphered keeps its number and
    // says so instead of its text. A page file that cannot be read at all gives one line that
    // says why.
    struct ReadablePage {
        std::string display;
        bool whole = true; // every line could be read
    };
    ReadablePage readWhatCanBeRead(int page) const;

    // The fifteen captions of the bytes of a captions file under key, in slots 1 to 15 (slot 0
    // unused): "No caption set" for a missing line or one that cannot be deciphered.
    static std::array<std::string, 16> parseCaptions(std::string_view captionsData, int key);

private:
    std::string m_appPath;
    std::string m_member;
    std::string m_enteredPassword;
    int m_key = 0;
    std::array<std::string, 16> m_captions; // slots 1 to 15
    std::optional<platform::FileError> m_captionsUnreadable;
    std::string m_searchText;
    // Held from the login until the session ends or the program does: no second copy of the
    // program can log in as the same member meanwhile.
    MemberLock m_lock;
};
