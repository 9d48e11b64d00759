#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>

#include "login/LoginWindow.h"
#include "platform/core/Clock.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/Label.h"
#include "platform/qt/TextBox.h"
#include "store/Cipher.h"
#include "store/DiaryConversion.h"
#include "store/MemberFileForm.h"
#include "store/MemberLock.h"
#include "store/PasswordFile.h"
#include "store/ProtectedPasswordFile.h"
#include "store/StoredLines.h"
#include "support/core/OrdinaryUser.h"
#include "support/core/QuickKdf.h"
#include "support/gui/DiaryFixture.h"

// Every command that writes a file, run through the windows again and again with a write
// failure injected at each byte it writes and at each other step it takes on the disk
// (creating, syncing, setting the attribute, closing, renaming, truncating, deleting). After
// each run the files must be as before, byte for byte, or exactly as a run without the fault
// leaves them; and the member is told of a failure exactly when the change did not happen.
namespace {

constexpr int kKey = 110;
constexpr std::uint64_t kUnlimited = 1'000'000'000;
// The password of Ann's diary once it is protected, and the one a writer gives it.
const std::string kProtectedPassword = "Lantern bay 7";
const std::string kNewProtectedPassword = "New Secret 22";

// Answers every box of a run whose outcome the injected fault decides: Yes to each question,
// the given text to each input box. Keeps the messages shown.
class AnsweringDialogs : public platform::Dialogs {
public:
    explicit AnsweringDialogs(std::map<std::string, std::string> inputs)
        : m_inputs(std::move(inputs)), m_previous(&platform::ui()) {
        platform::setUi(this);
    }
    ~AnsweringDialogs() override { platform::setUi(m_previous); }
    AnsweringDialogs(const AnsweringDialogs&) = delete;
    AnsweringDialogs& operator=(const AnsweringDialogs&) = delete;

    int msgBox(const std::string& text, int flags, const std::string& title) override {
        EXPECT_EQ(title, "Jotterel") << text;
        switch (flags) {
        case platform::vbExclamation:
            failures.push_back(text);
            return platform::vbOK;
        case platform::vbInformation:
            news.push_back(text);
            return platform::vbOK;
        case platform::vbYesNo:
        case platform::vbYesNo + platform::vbExclamation:
        case platform::vbYesNoCancel + platform::vbExclamation:
            return platform::vbYes;
        default:
            ADD_FAILURE() << "unexpected box " << flags << ": " << text;
            return platform::vbOK;
        }
    }
    std::string inputBox(const std::string& prompt, const std::string&, const std::string&) override {
        const auto answer = m_inputs.find(prompt);
        if (answer == m_inputs.end()) {
            ADD_FAILURE() << "unexpected input box: " << prompt;
            return {};
        }
        return answer->second;
    }
    std::string maskedInputBox(const std::string& prompt, const std::string& title) override {
        return inputBox(prompt, title, {});
    }
    void beep() override { ADD_FAILURE() << "beep"; }

    std::vector<std::string> failures; // exclamation messages: something failed
    std::vector<std::string> news;     // information messages: something was done

private:
    std::map<std::string, std::string> m_inputs;
    platform::Dialogs* m_previous;
};

// Every file and folder under a folder: its bytes and whether it is hidden. A password file is
// kept as what it holds, so that a new member's file compares equal whatever key was drawn.
struct Snapshot {
    std::map<std::string, std::string> raw;      // to put the folder back as it was
    std::map<std::string, std::string> compared; // to compare

    bool operator==(const Snapshot& other) const { return compared == other.compared; }
};

std::string meaningOfPasswordFile(const std::string& bytes) {
    try {
        const PasswordFile file = PasswordFile::parse(bytes);
        const std::string password = Cipher::decryptWithKey(file.passwordLine, file.key);
        if (bytes == PasswordFile::content(file.key, password)) {
            return "password file of " + password + " under a key from 100 to 130";
        }
    } catch (const std::exception&) {
    }
    return bytes;
}

// A protected member's folder, opened as the login opens it: by one of the passwords its diary
// has in these runs.
struct OpenedFolder {
    std::string password;
    ProtectedPasswordFile file;
    DiaryKeys keys;
};

std::optional<OpenedFolder> openFolder(const std::string& folder) {
    try {
        const std::string data = fixture::readBytes(platform::joinPath(folder, MemberFolder::kPasswordFile));
        if (memberFileForm(data) != MemberFileForm::Protected) {
            return std::nullopt;
        }
        ProtectedPasswordFile file = ProtectedPasswordFile::parse(data);
        for (const std::string& password : {kProtectedPassword, kNewProtectedPassword}) {
            if (std::optional<DiaryKeys> keys = file.open(password)) {
                return OpenedFolder{password, std::move(file), std::move(*keys)};
            }
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// What a member file of a protected diary holds, compared where its bytes cannot be: every
// record is sealed with a nonce of its own, the password file with a salt of its own.
std::string meaningOfProtectedFile(const std::string& name, const std::string& bytes, const OpenedFolder& folder) {
    if (name == MemberFolder::kPasswordFile) {
        return "password file opened by " + folder.password + " in state " +
               std::to_string(static_cast<int>(folder.file.state()));
    }
    const bool captions = name == MemberFolder::kCaptionsFile;
    std::string meaning = memberFileForm(bytes) == MemberFileForm::Protected ? "protected:" : "classic:";
    for (const StoredLine& line : protectedMemberLines(
             bytes, ProtectedFileContext{folder.keys, folder.file.state(),
                                         captions ? ProtectedFileKind::Captions : ProtectedFileKind::Page, name})) {
        meaning += "\n" + std::to_string(static_cast<int>(line.kind)) + " " + line.bytes;
    }
    return meaning;
}

Snapshot takeSnapshot(const std::string& root) {
    Snapshot s;
    std::map<std::string, std::optional<OpenedFolder>> opened; // by folder
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = std::filesystem::relative(e.path(), root).string();
        if (e.is_directory()) {
            s.raw[name] = s.compared[name] = "<folder>";
            continue;
        }
        if (e.path().filename() == platform::fileNameOf(MemberLock::lockFilePath(root))) {
            continue; // made by the first login, empty, and no part of what a command writes
        }
        const std::string bytes = fixture::readBytes(e.path().string());
        const std::string hidden = fixture::isHidden(e.path().string()) ? " <hidden>" : "";
        s.raw[name] = bytes + hidden;
        const std::string folder = e.path().parent_path().string();
        if (!opened.contains(folder)) {
            opened[folder] = openFolder(folder);
        }
        const std::string fileName = e.path().filename().string();
        const auto names = MemberFolder::memberFileNames();
        if (opened[folder] && std::find(names.begin(), names.end(), fileName) != names.end()) {
            s.compared[name] = meaningOfProtectedFile(fileName, bytes, *opened[folder]) + hidden;
            continue;
        }
        s.compared[name] = (fileName == MemberFolder::kPasswordFile ? meaningOfPasswordFile(bytes) : bytes) + hidden;
    }
    return s;
}

void putBack(const std::string& root, const Snapshot& s) {
    for (const auto& e : std::filesystem::directory_iterator(root)) {
        std::filesystem::remove_all(e.path());
    }
    for (const auto& [name, value] : s.raw) { // a folder comes before what it holds
        const std::string path = root + "/" + name;
        if (value == "<folder>") {
            std::filesystem::create_directory(path);
            continue;
        }
        const bool hidden = value.ends_with(" <hidden>");
        fixture::writeBytes(path, hidden ? value.substr(0, value.size() - 9) : value);
        if (hidden) {
            platform::setAttr(path, platform::kAttrHidden);
        }
    }
}

// A command that writes, as the member runs it.
struct Writer {
    std::string root;                          // the folder it writes in
    std::map<std::string, std::string> inputs; // prompt and answer of each input box
    std::function<void()> run;
    std::vector<std::string> failureMessages; // how its failure message may begin
    bool silent = false;                      // its failures are skipped without a message
    bool pageByPage = false;                  // may stop part-way between files, and say so
    bool announces = false;                   // tells the member when it is done
    // A conversion that may be left under its mark when what it converted cannot be put back,
    // and how it then tells the member so.
    std::string leftUnderWay = {};
};

struct Tally {
    std::uint64_t faults = 0;
    std::uint64_t lost = 0;         // a file neither as before nor as written
    std::uint64_t misreported = 0;  // told of a failure that did not happen, or not told of one
    std::uint64_t leftUnderWay = 0; // a conversion the next login finished
};

class WriteFault : public DiaryFixture, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
        module.setKdfForNewDiaries(quickKdf());
        makeMember("Ann", kKey, "pw");
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            writePage("Ann", page, kKey, {"Entry one of page " + std::to_string(page), "", "Entry two", ""});
        }
    }
    void TearDown() override {
        platform::setClock(nullptr);
        platform::setWriteBudget(std::nullopt);
        platform::setFaultAfterSteps(std::nullopt);
    }

    std::string memberFile(const std::string& name) const { return app / ("Ann/" + name); }

    std::string m_password = "pw"; // Ann's, as the diary is when the command runs

    DiaryWindow& diary() {
        DiaryWindow& w = openDiary("Ann", m_password);
        EXPECT_EQ(module.currentMember(), "Ann");
        return w;
    }

    // The diary logged in to again, as its files are now.
    DiaryWindow& diaryAnew() {
        loginWindow.reset(); // a child of the main window
        form.reset();
        module.logOff();
        return diary();
    }

    // The command a writer runs on a protected diary: "ProtectedCommit" commits to one.
    static bool onProtectedDiary(const std::string& name) {
        return name.starts_with("Protected") || name == "Unprotect";
    }
    static std::string commandOf(const std::string& name) {
        return name.starts_with("Protected") ? name.substr(std::string_view("Protected").size()) : name;
    }

    // What the member folder holds before the command runs, where the command needs more than
    // the member's pages.
    void prepareFiles(const std::string& name) {
        if (commandOf(name) == "CaptionEdit") {
            fixture::writeBytes(memberFile(MemberFolder::kCaptionsFile),
                                fixture::pageContent(kKey, {"Old one", "Old two"}));
        }
        if (name == "ExportPage") {
            fixture::writeBytes(memberFile("Page 1.txt"), "An export made before\r\n");
        }
        if (name == "Protect" || name == "Unprotect") {
            // A converted file is written whole: two pages of entries show what a page more would.
            for (int page = 3; page <= MemberFolder::kPageCount; ++page) {
                writePage("Ann", page, kKey, {});
            }
        }
        if (onProtectedDiary(name) &&
            memberFileForm(fixture::readBytes(memberFile(MemberFolder::kPasswordFile))) == MemberFileForm::Classic) {
            protectDiary(app / "Ann", DiaryKeys::create(kKey, kProtectedPassword, quickKdf()));
            m_password = kProtectedPassword;
        }
    }

    // The command, in a window opened for it; with prepare, the files it needs are made first.
    Writer writer(const std::string& name, bool prepare = true) {
        if (prepare) {
            prepareFiles(name);
        }
        if (name == "ProtectedChangePassword") {
            DiaryWindow& w = diary();
            return {app / "Ann",
                    {{"Please enter new password for user 'Ann'", kNewProtectedPassword},
                     {"Type the same password again:", kNewProtectedPassword}},
                    [&w] { w.changePasswordAction->trigger(); },
                    {"Your password has not been changed: the password file cannot be written."}};
        }
        if (name == "Protect") {
            // A protected diary is not protected again, so each run logs in to the diary as it
            // was put back.
            return {app / "Ann",
                    {{"Choose the password that protects your diary (at least 8 characters):", kProtectedPassword},
                     {"Type the same password again:", kProtectedPassword}},
                    [this] { diaryAnew().protectAction->trigger(); },
                    {"Your diary has not been protected: it is as it was."},
                    false,
                    false,
                    true,
                    "Your diary could not be protected whole. Jotterel finishes protecting it when you next log in"};
        }
        if (name == "Unprotect") {
            return {
                app / "Ann",
                {},
                [this] { diaryAnew().unprotectAction->trigger(); },
                {"Your diary is still protected: it is as it was."},
                false,
                false,
                true,
                "Your diary could not be unprotected whole. Jotterel finishes unprotecting it when you next log in"};
        }
        return commandWriter(commandOf(name));
    }

    // A command that works on either form of diary.
    Writer commandWriter(const std::string& name) {
        const std::string folder = app / "Ann";
        if (name == "AddMember") {
            LoginWindow& login = openLoginWindow();
            return {app.path(),
                    {{"Enter user name", "Cat"}},
                    [&login] { login.addMemberButton->click(); },
                    {"The member 'Cat' cannot be added", "The folder of the new member 'Cat' cannot be created."},
                    false,
                    false,
                    true};
        }
        if (name == "ChangePassword") {
            DiaryWindow& w = diary();
            return {folder,
                    {{"Please enter new password for user 'Ann'", "New Secret"}},
                    [&w] { w.changePasswordAction->trigger(); },
                    {"Your password has not been changed: the password file cannot be written."}};
        }
        if (name == "Commit") {
            DiaryWindow& w = diary();
            return {folder,
                    {},
                    [&w] {
                        w.entryBox->setText("Bought apples and pears");
                        w.commitButton->click();
                    },
                    {"The entry cannot be saved to page 1. The page is as it was, and the text stays in the entry "
                     "box."}};
        }
        if (name == "CaptionEdit") {
            DiaryWindow& w = diary();
            return {folder,
                    {{"Enter a caption for this page (upto 32 characters long)", "Garden plans"}},
                    [&w] { w.editCaption(); },
                    // a failed save is skipped; a diary that cannot be written is said to be so
                    {"The captions of your pages cannot be saved here, so no caption can be changed."},
                    true};
        }
        if (name == "ExitSavesCaptions") {
            // The window ends with the command, so each run opens the diary anew.
            return {folder,
                    {},
                    [this] { diary().exitButton->click(); },
                    {"The page captions cannot be saved. Jotterel closes without saving them."}};
        }
        if (name == "MaskEntry") {
            DiaryWindow& w = diary();
            return {folder,
                    {{"Specify the item number to be deleted on the current page", "2"}},
                    [&w] { w.deleteAnItemAction->trigger(); },
                    {"No item was deleted: page 1 cannot be written. It keeps its entries as they were."}};
        }
        if (name == "ClearPage") {
            DiaryWindow& w = diary();
            return {folder,
                    {},
                    [&w] { w.deleteThisPageAction->trigger(); },
                    {"Page 1 cannot be cleared; its file is left"}};
        }
        if (name == "ClearAllPages") {
            DiaryWindow& w = diary();
            return {folder,
                    {},
                    [&w] { w.deleteAllPagesAction->trigger(); },
                    {"Page 1 cannot be cleared, so no page has been cleared.", "Clearing stopped at page "},
                    false,
                    true};
        }
        if (name == "ExportPage") {
            DiaryWindow& w = diary();
            return {folder,
                    {{"Enter a name for the output file", "Page 1.txt"}},
                    [&w] { w.exportThisPageAction->trigger(); },
                    {"Page 1 could not be exported."},
                    false,
                    false,
                    true};
        }
        if (name == "ExportAllPages") {
            DiaryWindow& w = diary();
            return {folder,
                    {{"Enter a name for the output file", "All Pages.txt"}},
                    [&w] { w.exportAllPagesAction->trigger(); },
                    {"All pages of your diary could not be exported."},
                    false,
                    false,
                    true};
        }
        ADD_FAILURE() << "no writer " << name;
        return {};
    }

    // True when the member folder is left under a conversion mark, as a crash leaves it, and the
    // next login makes it what the command would have made it.
    bool finishedByTheNextLogin(const Writer& w, const Snapshot& written) {
        const std::string passwordFile = memberFile(MemberFolder::kPasswordFile);
        if (memberFileForm(fixture::readBytes(passwordFile)) != MemberFileForm::Protected ||
            ProtectedPasswordFile::parse(fixture::readBytes(passwordFile)).state() == ConversionState::Protected) {
            return false;
        }
        loginWindow.reset(); // a child of the main window
        form.reset();
        module.logOff();
        const bool loggedIn = module.logIn("Ann", kProtectedPassword).outcome == MemberSession::LoginOutcome::LoggedIn;
        module.logOff();
        return loggedIn && takeSnapshot(w.root) == written;
    }

    // One run with whatever fault is set; counts a file left damaged or a wrong report.
    void judge(const Writer& w, const Snapshot& before, const Snapshot& written, const AnsweringDialogs& boxes,
               Tally& tally, const std::string& fault) {
        const Snapshot now = takeSnapshot(w.root);
        const bool old = now.raw == before.raw;
        const bool done = now == written;
        bool between = false; // some files written, the others as before
        if (!old && !done && w.pageByPage) {
            between = true;
            for (const auto& [name, value] : now.compared) {
                const auto b = before.compared.find(name);
                const auto n = written.compared.find(name);
                between = between && ((b != before.compared.end() && b->second == value) ||
                                      (n != written.compared.end() && n->second == value));
            }
            between = between && now.compared.size() == before.compared.size();
        }
        const bool leftUnderWay =
            !old && !done && !between && !w.leftUnderWay.empty() && finishedByTheNextLogin(w, written);
        tally.leftUnderWay += leftUnderWay ? 1 : 0;
        if (!old && !done && !between && !leftUnderWay) {
            ++tally.lost;
            ADD_FAILURE() << GetParam() << ", " << fault << ": the files are neither as before nor as written";
            return;
        }
        bool honest = true;
        if (leftUnderWay) {
            honest = boxes.failures.size() == 1 && boxes.news.empty() && boxes.failures[0].starts_with(w.leftUnderWay);
        } else if (w.silent) {
            honest = boxes.failures.empty();
        } else if (done) {
            honest = boxes.failures.empty() && (!w.announces || !boxes.news.empty());
        } else {
            honest = boxes.failures.size() == 1 && boxes.news.empty() &&
                     std::any_of(w.failureMessages.begin(), w.failureMessages.end(),
                                 [&](const std::string& m) { return boxes.failures[0].starts_with(m); });
        }
        if (!honest) {
            ++tally.misreported;
            ADD_FAILURE() << GetParam() << ", " << fault << ": " << (done ? "written" : "not written") << ", told "
                          << (boxes.failures.empty() ? std::string("nothing") : boxes.failures[0]);
        }
    }
};

TEST_P(WriteFault, EveryFaultLeavesTheOldFilesOrTheNewOnesAndSaysWhich) {
    const Writer w = writer(GetParam());
    const Snapshot before = takeSnapshot(w.root);

    // A run without a fault gives the files as written and counts the bytes and the steps.
    platform::setWriteBudget(kUnlimited);
    platform::setFaultAfterSteps(kUnlimited);
    {
        AnsweringDialogs boxes(w.inputs);
        w.run();
        EXPECT_TRUE(boxes.failures.empty()) << boxes.failures[0];
    }
    const std::uint64_t bytes = kUnlimited - platform::writeBudget().value();
    const std::uint64_t steps = kUnlimited - platform::stepsBeforeFault().value();
    platform::setWriteBudget(std::nullopt);
    platform::setFaultAfterSteps(std::nullopt);
    const Snapshot written = takeSnapshot(w.root);
    ASSERT_FALSE(written == before);

    Tally tally;
    for (std::uint64_t b = 0; b < bytes; ++b) {
        putBack(w.root, before);
        AnsweringDialogs boxes(w.inputs);
        platform::setWriteBudget(b);
        w.run();
        platform::setWriteBudget(std::nullopt);
        ++tally.faults;
        judge(w, before, written, boxes, tally, "disk full after " + std::to_string(b) + " bytes");
    }
    for (std::uint64_t s = 0; s < steps; ++s) {
        putBack(w.root, before);
        AnsweringDialogs boxes(w.inputs);
        platform::setFaultAfterSteps(s);
        w.run();
        EXPECT_FALSE(platform::stepsBeforeFault().has_value()) << "step " << s << " was never reached";
        platform::setFaultAfterSteps(std::nullopt);
        ++tally.faults;
        judge(w, before, written, boxes, tally, "failure at step " + std::to_string(s));
    }

    std::cout << GetParam() << ": " << bytes << " bytes and " << steps << " steps written; " << tally.faults
              << " faults injected, " << tally.lost << " runs lost data, " << tally.misreported
              << " runs told the member wrong";
    if (tally.leftUnderWay > 0) {
        std::cout << "; " << tally.leftUnderWay << " runs left the conversion to the next login";
    }
    std::cout << std::endl;
    RecordProperty("faults", std::to_string(tally.faults));
    RecordProperty("lost", std::to_string(tally.lost));
    RecordProperty("misreported", std::to_string(tally.misreported));
}

// On a diary that cannot be written (the member folder and the application folder), before and
// after the member's first login, every command that writes says so once, claims nothing done,
// and changes nothing.
TEST_P(WriteFault, ADiaryThatCannotBeWrittenSaysSoAndChangesNothing) {
    for (const bool loggedInBefore : {false, true}) {
        SCOPED_TRACE(loggedInBefore ? "after the first login" : "before the first login");
        const std::string lockFile = MemberLock::lockFilePath(app / "Ann");
        if (loggedInBefore) {
            diary();
        } else {
            std::filesystem::remove(lockFile);
        }
        loginWindow.reset(); // a child of the main window
        form.reset();
        module.logOff();
        prepareFiles(GetParam());
        const fixture::ReadOnlyFolder readOnly(app.path());
        if (!readOnly.whyNot.empty()) {
            GTEST_SKIP() << readOnly.whyNot;
        }
        const Writer w = writer(GetParam(), false);
        const Snapshot before = takeSnapshot(w.root);
        AnsweringDialogs boxes(w.inputs);
        w.run();
        EXPECT_TRUE(takeSnapshot(w.root) == before);
        EXPECT_TRUE(boxes.news.empty()) << boxes.news[0];
        ASSERT_EQ(boxes.failures.size(), 1u);
        EXPECT_TRUE(std::any_of(w.failureMessages.begin(), w.failureMessages.end(), [&](const std::string& m) {
            return boxes.failures[0].starts_with(m);
        })) << boxes.failures[0];
        EXPECT_EQ(platform::pathExists(lockFile), loggedInBefore);
        loginWindow.reset(); // a child of the main window
        form.reset();
        module.logOff();
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, WriteFault,
                         ::testing::Values("AddMember", "ChangePassword", "Commit", "CaptionEdit", "ExitSavesCaptions",
                                           "MaskEntry", "ClearPage", "ClearAllPages", "ExportPage", "ExportAllPages",
                                           "ProtectedCommit", "ProtectedMaskEntry", "ProtectedCaptionEdit",
                                           "ProtectedExitSavesCaptions", "ProtectedChangePassword", "Protect",
                                           "Unprotect"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// Deleting a member cannot be one step: a fault leaves some files deleted and others not. The
// member must then be told exactly which files are left, those files must be as they were, and
// nothing may be called deleted that is not.
class DeleteUserFault : public DiaryFixture {
protected:
    void TearDown() override { platform::setFaultAfterSteps(std::nullopt); }
};

TEST_F(DeleteUserFault, EveryFaultIsToldExactly) {
    const std::string folder = app / "Ann";
    makeMember("Ann", kKey, "pw");
    writePage("Ann", 3, kKey, {"Entry", ""});
    fixture::writeBytes(folder + "/notes.txt", "mine");
    const Snapshot before = takeSnapshot(folder);
    auto run = [&](std::uint64_t fault) {
        std::filesystem::create_directories(folder);
        putBack(folder, before);
        openDiary("Ann", "pw");
        AnsweringDialogs boxes({});
        platform::setFaultAfterSteps(fault);
        form->deleteUserAction->trigger();
        return std::make_pair(boxes.failures, boxes.news);
    };

    const auto clean = run(kUnlimited);
    const std::uint64_t steps = kUnlimited - platform::stepsBeforeFault().value();
    platform::setFaultAfterSteps(std::nullopt);
    ASSERT_EQ(clean.second, std::vector<std::string>{"User 'Ann' deleted."});
    ASSERT_FALSE(std::filesystem::exists(folder));

    for (std::uint64_t s = 0; s < steps; ++s) {
        SCOPED_TRACE("failure at step " + std::to_string(s));
        const auto [failures, news] = run(s);
        platform::setFaultAfterSteps(std::nullopt);
        std::set<std::string> left;
        if (std::filesystem::exists(folder)) {
            for (const auto& e : std::filesystem::directory_iterator(folder)) {
                // The lock file of the member is the program's alone, never the member's to act on.
                if (e.path().string() != MemberLock::lockFilePath(folder)) {
                    left.insert(e.path().filename().string());
                }
            }
        }
        for (const std::string& name : left) {
            // What is left is as it was, hidden mark included.
            EXPECT_EQ(takeSnapshot(folder).compared.at(name), before.compared.at(name)) << name;
        }
        if (left.empty()) {
            EXPECT_TRUE(failures.empty());
            ASSERT_EQ(news.size(), 1u);
            EXPECT_TRUE(news[0].starts_with("User 'Ann' deleted."));
            EXPECT_EQ(news[0] != "User 'Ann' deleted.", std::filesystem::exists(folder)) << news[0];
            continue;
        }
        EXPECT_TRUE(news.empty());
        ASSERT_EQ(failures.size(), 1u);
        const std::string head =
            "User 'Ann' could not be deleted completely. These files are left in the folder\r" + folder + "\r";
        ASSERT_TRUE(failures[0].starts_with(head)) << failures[0];
        std::set<std::string> told;
        std::size_t at = head.size();
        while (at < failures[0].size() && failures[0][at] == '\t') {
            const std::size_t end = failures[0].find('\r', at);
            told.insert(failures[0].substr(at + 1, end - at - 1));
            at = end + 1;
        }
        EXPECT_EQ(told, left);
        const bool listed = left.count(MemberFolder::kPasswordFile) > 0;
        EXPECT_NE(failures[0].find(listed ? "'Ann' can still log in" : "'Ann' can no longer log in."),
                  std::string::npos);
    }
    std::cout << "Delete user: " << steps << " faults, each told exactly" << std::endl;
}

} // namespace
