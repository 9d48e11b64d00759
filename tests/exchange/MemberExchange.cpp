// One member folder, written in turn by the Linux and the Windows build of the core:
//
//   member_exchange start APPFOLDER     adds a member, writes entries and captions; adds a second
//                                       member, writes entries and protects the diary
//   member_exchange continue APPFOLDER  checks what start wrote, byte for byte and hidden marks,
//                                       then adds an entry, changes the password, masks an entry;
//                                       opens the protected diary, adds an entry to it and
//                                       changes its password
//   member_exchange check APPFOLDER     checks what continue left, byte for byte and hidden marks,
//                                       and the protected diary with its new password
//   member_exchange hold APPFOLDER      logs the member in, writes APPFOLDER/held, and logs off
//                                       once APPFOLDER/release appears
//   member_exchange refused APPFOLDER   fails unless the member is logged in elsewhere
//   member_exchange typed APPFOLDER     checks what the keyboard session left (KeyboardSession.cpp):
//                                       the new member, the committed entry and the export, byte
//                                       for byte and hidden marks, and nothing else written
//
// Each step knows what the folder must hold from the store's own routines, so a file written
// differently on one system, a lost hidden mark or a scrap of a rewrite left behind fails the
// step that finds it. Exit status 0 when the step did what it should.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sodium.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "TypedDiary.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/Unicode.h"
#include "store/CaptionsFile.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/EntryMask.h"
#include "store/KdfParameters.h"
#include "store/MemberFileForm.h"
#include "store/MemberFileWriter.h"
#include "store/MemberLock.h"
#include "store/MemberPages.h"
#include "store/MemberProtection.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "store/PasswordFile.h"

namespace {

// A name in two scripts and with a letter outside Windows-1252, so the folder name must go
// through UTF-16 on Windows and UTF-8 on Linux and come out the same.
const std::string kMember = "Zo\xC3\xAB \xE6\x97\xA5\xE8\xA8\x98";
const std::string kFirstEntry = "Started the diary on Linux (07Dec26, 09:05PM)";
const std::string kSecondEntry = "Tea with \xC5\x81ucja, \xE2\x82\xAC"
                                 "3 (08Dec26, 10:00AM)";
const std::string kWindowsEntry =
    "Written on Windows: \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 (09Dec26, 07:30PM)";
const std::string kLastPageEntry = "On the last page (07Dec26, 09:10PM)";
const std::string kNewPassword = "n\xC3\xA9w pass";
const std::string kMaskStamp = " (09Dec26, 07:31PM)";
const std::string kFirstCaption = "Caf\xC3\xA9 notes";
const std::string kLastCaption = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1";

// The protected member: a diary protected on Linux, continued on Windows.
const std::string kProtectedMember = "Vera";
const std::string kProtectedEntry = "Gesch\xC3\xBCtzt auf Linux (07Dec26, 09:20PM)";
const std::string kProtectedWindowsEntry = "Gesch\xC3\xBCtzt auf Windows (09Dec26, 07:40PM)";
const std::string kProtectPassword = "Fr\xC3\xBChling im Garten";
const std::string kProtectNewPassword = "Herbst am See";

class StepFailed : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

void require(bool condition, const std::string& what) {
    if (!condition) {
        throw StepFailed(what);
    }
}

std::filesystem::path systemPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string entryBytes(int key, const std::string& entry) {
    return Cipher::encryptWithKey(entry, key) + "\r\n\r\n";
}

// The first four characters of the name, as a new member's password is made.
std::string initialPassword() {
    std::string password;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < kMember.size() && characters < 4; ++characters) {
        const unsigned char lead = static_cast<unsigned char>(kMember[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        password += kMember.substr(i, length);
        i += length;
    }
    return password;
}

// What the member folder holds after start ("start") or after continue ("continue"), file by
// file: every member file and the lock file, and nothing else.
std::map<std::string, std::string> expectedFiles(const std::string& step, int key) {
    std::map<std::string, std::string> files;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        files[MemberFolder::pageFileName(page)] = "";
    }
    std::string firstPage = entryBytes(key, kFirstEntry) + entryBytes(key, kSecondEntry);
    std::string password = initialPassword();
    if (step == "continue") {
        std::vector<std::string> lines = {kFirstEntry, "", kSecondEntry, "", kWindowsEntry, ""};
        maskLine(lines, 1, kMaskStamp);
        firstPage = encipheredLines(key, lines);
        password = kNewPassword;
    }
    files[MemberFolder::pageFileName(1)] = firstPage;
    files[MemberFolder::pageFileName(15)] = entryBytes(key, kLastPageEntry);
    std::string captions;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        const std::string caption = page == 1    ? kFirstCaption
                                    : page == 15 ? kLastCaption
                                                 : std::string(CaptionsFile::kNoCaption);
        captions += Cipher::encryptWithKey(caption, key) + "\r\n";
    }
    files[MemberFolder::kCaptionsFile] = captions;
    files[MemberFolder::kPasswordFile] = PasswordFile::content(key, password);
    // Each step has logged the member in, and so made the member's lock file.
    files[platform::fileNameOf(MemberLock::lockFilePath(kMember))] = "";
    return files;
}

// Compares the member folder with what it must hold after step: the same names, the same
// bytes, every file hidden. Returns the member key.
int checkFolder(const MemberSession& session, const std::string& step) {
    const std::string folder = session.memberFolder(kMember);
    const int key = PasswordFile::read(session.memberFile(kMember, MemberFolder::kPasswordFile)).key;
    const std::map<std::string, std::string> expected = expectedFiles(step, key);
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(systemPath(folder))) {
        const std::u8string name = entry.path().filename().u8string();
        present.emplace(name.begin(), name.end());
    }
    std::set<std::string> names;
    for (const auto& [name, bytes] : expected) {
        names.insert(name);
    }
    for (const std::string& name : present) {
        require(names.count(name) == 1, "an unexpected file in the member folder: " + name);
    }
    for (const auto& [name, bytes] : expected) {
        const std::string path = platform::joinPath(folder, name);
        require(present.count(name) == 1, "missing member file " + name);
        require(platform::readFileBytes(path) == bytes,
                "member file " + name + " differs from what " + step + " writes");
        require((platform::getAttr(path) & platform::kAttrHidden) != 0, "member file " + name + " is not hidden");
    }
    return key;
}

void logIn(MemberSession& session, const std::string& password, const std::string& member = kMember) {
    const MemberSession::LoginResult result = session.logIn(member, password);
    require(result.outcome == MemberSession::LoginOutcome::LoggedIn,
            "cannot log in" + (result.error ? ": " + std::string(result.error->what()) : std::string()));
}

// The protected member's page 1 as a login reads it, with the password typed in other letter
// case.
std::string protectedPage(MemberSession& session, const std::string& password) {
    const MemberSession::LoginResult result = session.logIn(kProtectedMember, platform::foldCase(password));
    require(result.outcome == MemberSession::LoginOutcome::LoggedIn,
            "the protected member cannot log in" + (result.error ? ": " + std::string(result.error->what()) : ""));
    require(session.isProtected(), "the diary is no longer protected");
    for (const std::string& name : MemberFolder::memberFileNames()) {
        const std::string path = session.memberFile(kProtectedMember, name);
        const std::string data = platform::readFileBytes(path);
        require(memberFileForm(data) != MemberFileForm::Classic, "member file " + name + " is not protected");
        require((platform::getAttr(path) & platform::kAttrHidden) != 0, "member file " + name + " is not hidden");
    }
    return readMemberPage(session, 1, PageFile::Unreadable::Fail).display;
}

void startProtected(MemberSession& session) {
    const MemberSession::NewMember added = session.addMember(kProtectedMember);
    require(added.status == MemberSession::NewMember::Added, "cannot add the protected member");
    const MemberSession::LoginResult in = session.logIn(kProtectedMember, added.password);
    require(in.outcome == MemberSession::LoginOutcome::LoggedIn, "cannot log the protected member in");
    appendMemberEntry(session, 1, kProtectedEntry);
    session.setCaption(1, kFirstCaption);
    session.saveCaptions();
    // The cheapest key derivation: the exchange is about the format, not the cost of a guess.
    session.setKdfForNewDiaries(
        *KdfParameters::fromStored(KdfParameters::kArgon2id13, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN));
    protectMember(session, kProtectPassword);
    session.logOff();
    require(protectedPage(session, kProtectPassword) == "[1] \t" + kProtectedEntry + "\r\n\r\n",
            "the protected page reads differently");
    session.logOff();
}

void continueProtected(MemberSession& session) {
    require(protectedPage(session, kProtectPassword) == "[1] \t" + kProtectedEntry + "\r\n\r\n",
            "the page protected on Linux reads differently");
    require(session.caption(1) == kFirstCaption, "the protected caption reads differently");
    appendMemberEntry(session, 1, kProtectedWindowsEntry);
    session.setKdfForNewDiaries(session.diaryKeys()->kdf);
    changeProtectedPassword(session, kProtectNewPassword);
    session.logOff();
}

void checkProtected(MemberSession& session) {
    require(session.logIn(kProtectedMember, kProtectPassword).outcome == MemberSession::LoginOutcome::WrongPassword,
            "the protected diary's old password still lets the member in");
    require(protectedPage(session, kProtectNewPassword) ==
                "[1] \t" + kProtectedEntry + "\r\n\r\n[2] \t" + kProtectedWindowsEntry + "\r\n\r\n",
            "the protected page does not hold the entry written on Windows");
    require(session.caption(1) == kFirstCaption, "the protected caption reads differently");
    session.logOff();
}

void start(MemberSession& session) {
    const MemberSession::NewMember added = session.addMember(kMember);
    require(added.status == MemberSession::NewMember::Added, "cannot add the member");
    require(added.password == initialPassword(), "the initial password is not the name's first four characters");
    logIn(session, added.password);
    appendToMemberFile(session.pageFilePath(1), entryBytes(session.cipherKey(), kFirstEntry));
    appendToMemberFile(session.pageFilePath(1), entryBytes(session.cipherKey(), kSecondEntry));
    appendToMemberFile(session.pageFilePath(15), entryBytes(session.cipherKey(), kLastPageEntry));
    session.setCaption(1, kFirstCaption);
    session.setCaption(15, kLastCaption);
    session.saveCaptions();
    session.logOff();
    checkFolder(session, "start");
    startProtected(session);
}

void continueOn(MemberSession& session) {
    const int key = checkFolder(session, "start");
    logIn(session, initialPassword());
    require(session.caption(1) == kFirstCaption && session.caption(15) == kLastCaption, "the captions read differ");
    appendToMemberFile(session.pageFilePath(1), entryBytes(key, kWindowsEntry));
    rewriteMemberFile(session.passwordPath(), PasswordFile::content(key, kNewPassword));
    std::vector<std::string> lines = readDecipheredLines(key, session.pageFilePath(1));
    require(maskLine(lines, 1, kMaskStamp), "the first entry cannot be masked");
    rewriteMemberFile(session.pageFilePath(1), encipheredLines(key, lines));
    session.logOff();
    checkFolder(session, "continue");
    continueProtected(session);
}

void check(MemberSession& session) {
    checkFolder(session, "continue");
    require(session.logIn(kMember, initialPassword()).outcome == MemberSession::LoginOutcome::WrongPassword,
            "the old password still lets the member in");
    logIn(session, kNewPassword);
    const std::string page =
        PageFile::read(session.pageFilePath(1), session.cipherKey(), PageFile::Unreadable::Fail).display;
    require(page.find(kWindowsEntry) != std::string::npos, "the entry written on Windows is not on the page");
    require(page.find(kFirstEntry) == std::string::npos, "the masked entry can still be read");
    session.logOff();
    checkProtected(session);
}

// The member lock of one system keeps the other out: Linux holds it while Windows tries.
void hold(MemberSession& session) {
    logIn(session, initialPassword());
    std::ofstream(systemPath(platform::joinPath(session.appPath(), "held"))) << "held\n";
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(systemPath(platform::joinPath(session.appPath(), "release")))) {
        require(std::chrono::steady_clock::now() < giveUp, "nobody asked for the lock back");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    session.logOff();
}

void refused(MemberSession& session) {
    require(session.logIn(kMember, initialPassword()).outcome == MemberSession::LoginOutcome::LoggedInElsewhere,
            "the member could log in while logged in elsewhere");
}

// The names in a folder.
std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(systemPath(folder))) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace(name.begin(), name.end());
    }
    return names;
}

// What jotterel.exe wrote as the keyboard session typed: a member with the initial password,
// one entry on page 1 stamped when it was committed, no captions, page 1 exported; the member
// files hidden, the export not; nothing outside the member folder.
void checkTyped(MemberSession& session) {
    const std::string member = typed::kMember;
    const std::string folder = session.memberFolder(member);
    // Beside the program only the member folder; in it, besides the member's files and the
    // export, the member's lock file.
    const std::string lockName = platform::fileNameOf(MemberLock::lockFilePath(folder));
    for (const std::string& name : namesIn(session.appPath())) {
        require(name == "jotterel.exe" || name == member,
                "something beside the program and the member folder: " + name);
    }

    const int key = PasswordFile::read(session.memberFile(member, MemberFolder::kPasswordFile)).key;
    const std::vector<std::string> lines =
        readDecipheredLines(key, session.memberFile(member, MemberFolder::pageFileName(1)));
    require(lines.size() == 2 && lines[1].empty(), "page 1 does not hold one entry and its empty line");
    const std::string stamped = lines[0];
    const std::string stored = typed::kStoredEntry;
    static const std::regex kStamp(R"( \(\d\d[A-Z][a-z][a-z]\d\d, \d\d:\d\d[AP]M\))");
    require(stamped.starts_with(stored) &&
                std::regex_match(stamped.substr(std::min(stamped.size(), stored.size())), kStamp),
            "the entry on page 1 is not the one typed with its stamp: " + stamped);

    std::map<std::string, std::string> expected;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        expected[MemberFolder::pageFileName(page)] = "";
    }
    expected[MemberFolder::pageFileName(1)] = entryBytes(key, stamped);
    std::string captions;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        captions += Cipher::encryptWithKey(CaptionsFile::kNoCaption, key) + "\r\n";
    }
    expected[MemberFolder::kCaptionsFile] = captions;
    expected[MemberFolder::kPasswordFile] = PasswordFile::content(key, typed::kInitialPassword);

    std::set<std::string> names = {typed::kExportName, lockName};
    for (const auto& [name, bytes] : expected) {
        names.insert(name);
    }
    const std::set<std::string> present = namesIn(folder);
    for (const std::string& name : present) {
        require(names.count(name) == 1, "an unexpected file in the member folder: " + name);
    }
    for (const auto& [name, bytes] : expected) {
        const std::string path = platform::joinPath(folder, name);
        require(present.count(name) == 1, "missing member file " + name);
        require(platform::readFileBytes(path) == bytes, "member file " + name + " differs from what was typed");
        require((platform::getAttr(path) & platform::kAttrHidden) != 0, "member file " + name + " is not hidden");
    }

    // The export, in the ANSI code page as on Windows: what the page showed, under a line that
    // says when it was printed.
    const std::string exportPath = platform::joinPath(folder, typed::kExportName);
    require(present.count(typed::kExportName) == 1, std::string("the export ") + typed::kExportName + " is missing");
    require((platform::getAttr(exportPath) & platform::kAttrHidden) == 0, "the export is hidden");
    logIn(session, typed::kInitialPassword, member);
    const std::string exported = platform::readFileBytes(exportPath);
    const std::string heading = "Page  1 of " + member + "'s diary\r\n";
    const std::size_t printedAt = platform::utf8ToCp1252(heading).size();
    const std::size_t printedEnd = exported.find("\r\n", printedAt);
    require(printedEnd != std::string::npos, "the export ends after its heading");
    const std::string printed = exported.substr(printedAt, printedEnd - printedAt);
    static const std::regex kPrinted(R"(Printed on \d{1,2} [A-Z][a-z]+ \d{4}  \d{1,2}:\d\d [AP]M)");
    require(std::regex_match(printed, kPrinted), "the export's second line is not when it was printed: " + printed);
    const std::string content = heading + printed + "\r\n\r\nPage  1\r\n------------\r\n" +
                                readMemberPage(session, 1, PageFile::Unreadable::Mark).display + "\r\n";
    require(exported == platform::utf8ToCp1252(content), "the export differs from the page");
    session.logOff();
}

} // namespace

int main(int argc, char** argv) {
    const std::string step = argc == 3 ? argv[1] : "";
    if (step != "start" && step != "continue" && step != "check" && step != "hold" && step != "refused" &&
        step != "typed") {
        std::cerr << "usage: member_exchange start|continue|check|hold|refused|typed APPFOLDER\n";
        return 2;
    }
    try {
        MemberSession session(argv[2]);
        if (step == "start") {
            start(session);
        } else if (step == "continue") {
            continueOn(session);
        } else if (step == "hold") {
            hold(session);
        } else if (step == "refused") {
            refused(session);
        } else if (step == "typed") {
            checkTyped(session);
        } else {
            check(session);
        }
    } catch (const std::exception& e) {
        std::cerr << step << ": " << e.what() << "\n";
        return 1;
    }
    std::cout << step << ": done\n";
    return 0;
}
