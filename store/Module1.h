#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/MemberLock.h"

// The shared state of the logged-in member, the character-shift codec and the member folder's
// files. One instance lives for the whole run; tests make their own over a temporary folder.
class Module1 {
public:
    explicit Module1(std::string appPath);

    // The folder that holds the member folders (the program's own folder).
    std::string AppPath;

    std::string CurrentUser;                  // member name; empty when nobody is logged in
    std::string EnteredPassword;              // password typed at the successful login; empty when logged out
    std::string StoredPassword;               // stored password of the last login attempt, upper-cased
    int CipherKey = 0;                        // the member key, 100 to 130
    std::string PagePath;                     // full path of the page file shown
    std::string CaptionsPath;                 // full path of the member's captions file
    std::array<std::string, 16> PageCaptions; // captions of pages 1 to 15; slot 0 unused
    std::string SearchText;                   // last text searched for
    // Held from the login until the member logs off, is deleted or the program ends: no second
    // copy of the program can log in as the same member meanwhile.
    MemberLock Lock;

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
    static const char* PageFileName(int page);
    // The names of all the member's own files: pages 1 to 15, the password file, the captions file.
    static std::vector<std::string> MemberFileNames();

    // The shifts. The keyed ones use CipherKey. Deciphering a byte below the shift, or
    // fixed-enciphering a byte of 128 or more, throws CipherError and returns nothing.
    std::string EncryptKeyed(std::string_view text) const { return EncryptWithKey(text, CipherKey); }
    std::string DecryptKeyed(std::string_view text) const { return DecryptWithKey(text, CipherKey); }
    static std::string EncryptFixed(std::string_view text);
    static std::string DecryptFixed(std::string_view text);

    // The keyed shift under an explicit key. A character whose code plus the key would pass 255
    // cannot be stored; a question mark is stored in its place, so the line still deciphers and
    // the reader sees "?" rather than a wrong letter.
    static std::string EncryptWithKey(std::string_view text, int key);
    static std::string DecryptWithKey(std::string_view text, int key);
    // True when every character of text can be stored under key unchanged.
    static bool FitsKey(std::string_view text, int key);

    // text with every occurrence of find replaced by replacement.
    static std::string ReplaceChar(std::string_view text, std::string_view find, std::string_view replacement);

    // Paths: application folder, member name, file name, joined.
    std::string MemberFolder(const std::string& member) const;
    std::string MemberFolder() const { return MemberFolder(CurrentUser); }
    std::string MemberFile(const std::string& member, std::string_view fileName) const;
    std::string PageFilePath(int page) const; // page 1 to 15 of CurrentUser

    // The numbered display text of a page file: "[n] " and a tab before each non-empty line,
    // CR LF after every line. Throws platform::FileError or CipherError.
    std::string ReadPage(const std::string& path) const;
    // The same for the bytes of a page file.
    std::string DisplayText(std::string_view pageData) const;

    // Fills PageCaptions 1 to 15 from CaptionsPath. Never fails: a missing line, or one that
    // cannot be deciphered, gives "No caption set".
    void LoadCaptions();
    // The same for the bytes of a captions file.
    void CaptionsFromText(std::string_view captionsData);

    // Writes PageCaptions 1 to 15 to CaptionsPath ("No caption set" for an empty one, also in
    // memory). Throws platform::FileError; the old file then stays as it was.
    void SaveCaptions();
};
