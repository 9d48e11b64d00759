#include <QAction>
#include <QComboBox>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sys/stat.h>

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Native.h"
#include "platform/core/Paths.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "support/gui/DiaryFixture.h"

namespace {

constexpr int kKey = 110;
constexpr const char* kPageQuestion = "Do you want to export this page as a text file?";
constexpr const char* kAllQuestion = "Do you want to export all pages of your diary as a text file?";
constexpr const char* kNamePrompt = "Enter a name for the output file";
constexpr const char* kPrintedOn = "Printed on 7 Dec 2026  9:05 PM\r\n";

class Export : public DiaryFixture {
protected:
    Export() {
        platform::setClock([] { return platform::LocalTime{2026, 12, 7, 21, 5, 0}; });
        makeMember("Ann", kKey, "pw");
    }
    ~Export() override {
        platform::setClock(nullptr);
        platform::setWriteBudget(std::nullopt);
    }

    DiaryWindow& open(int page) {
        openDiary("Ann", "pw");
        form->pageSelector->setCurrentIndex(page - 1);
        return *form;
    }

    std::string folder() const { return app / "Ann"; }
    std::string exportPath(const std::string& name) const { return platform::joinPath(folder(), name); }

    // Every name in a folder, hidden ones too.
    static std::set<std::string> names(const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // The confirmation answered Yes and the name prompt answered with name.
    void expectChoice(const std::string& question, const std::string& defaultName, const std::string& name) {
        ui.expectMsgBox(question, 52, "Jotterel", platform::vbYes);
        ui.expectInputBox(kNamePrompt, "Jotterel", defaultName, name);
    }
};

TEST_F(Export, PageFileHoldsHeaderRuleAndThePageShown) {
    struct Case {
        int page;
        std::vector<std::string> lines;
        std::string defaultName;
        std::string pageText;
    };
    const Case cases[] = {
        {3,
         // The export holds the text in the desktop's encoding (textFileBytes), whatever its language.
         {"first, with a comma (01Dec26, 08:00AM)", "",
          "costs \xE2\x82\xAC 5, \xE2\x80\x98quoted\xE2\x80\x99 (02Dec26, 12:30PM)", "",
          "Gr\xC3\xBC\xC3\x9F"
          "e aus K\xC3\xB6ln; \xE6\x97\xA5\xE8\xA8\x98 \xE2\x98\x95",
          ""},
         "Page 3.txt",
         "[1] \tfirst, with a comma (01Dec26, 08:00AM)\r\n\r\n[2] \tcosts \xE2\x82\xAC 5, "
         "\xE2\x80\x98quoted\xE2\x80\x99 "
         "(02Dec26, 12:30PM)\r\n\r\n[3] \tGr\xC3\xBC\xC3\x9F"
         "e aus K\xC3\xB6ln; \xE6\x97\xA5\xE8\xA8\x98 \xE2\x98\x95\r\n\r\n"},
        {12, {}, "Page 12.txt", ""},
    };
    for (const Case& c : cases) {
        writePage("Ann", c.page, kKey, c.lines);
    }
    openDiary("Ann", "pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        form->pageSelector->setCurrentIndex(c.page - 1);
        const std::string path = exportPath(c.defaultName);
        const std::string number = std::to_string(c.page);
        expectChoice(kPageQuestion, c.defaultName, c.defaultName);
        ui.expectMsgBox("Page  " + number + " printed to " + path, 64, "Jotterel");
        const std::size_t started = programs.started().size();
        form->exportThisPageAction->trigger();

        EXPECT_EQ(fixture::readBytes(path),
                  platform::textFileBytes("Page  " + number + " of Ann's diary\r\n" + kPrintedOn + "\r\n" + "Page  " +
                                          number + "\r\n------------\r\n" + c.pageText + "\r\n"));
        EXPECT_EQ(platform::getAttr(path), platform::kAttrNormal);
        ASSERT_EQ(programs.started().size(), started + 1);
        EXPECT_EQ(programs.started().back().commandLine, "Notepad " + path);
        EXPECT_EQ(programs.started().back().windowStyle, 3);
    }
    EXPECT_TRUE(ui.done());
}

TEST_F(Export, AllPagesFileHoldsEveryPageAndTheWindowKeepsItsPage) {
    writePage("Ann", 1, kKey, {"on page one", ""});
    writePage("Ann", 7, kKey, {"seventh", "", "again", ""});
    writePage("Ann", 15, kKey, {"last"});
    open(7);
    const std::string path = exportPath("All Pages.txt");
    expectChoice(kAllQuestion, "All Pages.txt", "All Pages.txt");
    ui.expectMsgBox("All pages of Ann's diary printed to " + path, 64, "Jotterel");
    // The pages are read from the store: the diary window keeps its page, and shows the busy
    // pointer while the file is made.
    std::vector<int> walked;
    QObject::connect(form->pageSelector, &QComboBox::currentIndexChanged, form.get(),
                     [&](int index) { walked.push_back(index + 1); });
    std::optional<Qt::CursorShape> pointerWhileWriting;
    platform::setDiskStepRecorder([&](std::string_view step, const std::string&) {
        if (step == "create" && !pointerWhileWriting) {
            pointerWhileWriting = form->cursor().shape();
        }
    });
    form->exportAllPagesAction->trigger();
    platform::setDiskStepRecorder({});

    EXPECT_TRUE(walked.empty());
    EXPECT_EQ(pointerWhileWriting, Qt::WaitCursor);
    std::string expected = std::string("All pages of Ann's diary\r\n") + kPrintedOn + "\r\n";
    for (int page = 1; page <= 15; ++page) {
        std::string text;
        if (page == 1) {
            text = "[1] \ton page one\r\n\r\n";
        } else if (page == 7) {
            text = "[1] \tseventh\r\n\r\n[2] \tagain\r\n\r\n";
        } else if (page == 15) {
            text = "[1] \tlast\r\n";
        }
        expected += "Page  " + std::to_string(page) + " \r\n------------\r\n" + text + "\r\n\r\n";
    }
    EXPECT_EQ(fixture::readBytes(path), expected);
    EXPECT_EQ(form->currentPage(), 7);
    EXPECT_EQ(form->pageView->text(), "[1] \tseventh\r\n\r\n[2] \tagain\r\n\r\n");
    EXPECT_TRUE(form->updatesEnabled());
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(programs.started().size(), 1u);
    EXPECT_EQ(programs.started()[0].commandLine, "Notepad " + path);
    EXPECT_EQ(programs.started()[0].windowStyle, 3);
}

TEST_F(Export, DamagedPagesGiveWhatCanBeReadAndSaySo) {
    // Page 2 has a line edited by hand between two good entries; page 9's file is gone.
    fixture::writeBytes(pageFile("Ann", 2), fixture::pageContent(kKey, {"before", ""}) + "plain text\r\n\r\n" +
                                                fixture::pageContent(kKey, {"after", ""}));
    platform::deleteFile(pageFile("Ann", 9));
    const std::string page2 = "[1] \tbefore\r\n\r\n[2] \t(line 3 of the page file cannot be read)\r\n\r\n"
                              "[3] \tafter\r\n\r\n";
    const std::string page9 = "(the page file cannot be read: " + platform::errorText(ENOENT) + ")\r\n";

    // All pages: no box for each damaged page on the way, one message at the end.
    open(1);
    expectChoice(kAllQuestion, "All Pages.txt", "All Pages.txt");
    ui.expectMsgBox("All pages of Ann's diary printed to " + exportPath("All Pages.txt") +
                        "\r\rPages 2 and 9 could not be read whole: the file says where a line is missing.",
                    48, "Jotterel");
    form->exportAllPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    std::string expected = std::string("All pages of Ann's diary\r\n") + kPrintedOn + "\r\n";
    for (int page = 1; page <= 15; ++page) {
        expected += "Page  " + std::to_string(page) + " \r\n------------\r\n" +
                    (page == 2   ? page2
                     : page == 9 ? page9
                                 : "") +
                    "\r\n\r\n";
    }
    EXPECT_EQ(fixture::readBytes(exportPath("All Pages.txt")), expected);
    EXPECT_EQ(programs.started().size(), 1u);

    // This page: the page view said it cannot be shown; the export gives what can be read.
    ui.expectMsgBox("Page 2 cannot be shown.\r\rLine 3 of the page file cannot be deciphered under this member's key.",
                    48, "Jotterel");
    form->pageSelector->setCurrentIndex(1);
    expectChoice(kPageQuestion, "Page 2.txt", "Page 2.txt");
    ui.expectMsgBox("Page  2 printed to " + exportPath("Page 2.txt") +
                        "\r\rThe page could not be read whole: the file says where a line is missing.",
                    48, "Jotterel");
    form->exportThisPageAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(fixture::readBytes(exportPath("Page 2.txt")), "Page  2 of Ann's diary\r\n" + std::string(kPrintedOn) +
                                                                "\r\nPage  2\r\n------------\r\n" + page2 + "\r\n");
}

TEST_F(Export, EndingTheCommandEarlyWritesNothing) {
    struct Case {
        const char* what;
        std::function<void(DiaryWindow&)> command;
        const char* question;
        const char* defaultName;
        std::function<void(ScriptedDialogs&, const char*, const char*)> answers;
    };
    auto noAtConfirmation = [](ScriptedDialogs& ui, const char* question, const char*) {
        ui.expectMsgBox(question, 52, "Jotterel", platform::vbNo);
    };
    auto cancelAtName = [](ScriptedDialogs& ui, const char* question, const char* defaultName) {
        ui.expectMsgBox(question, 52, "Jotterel", platform::vbYes);
        ui.expectInputBox(kNamePrompt, "Jotterel", defaultName, "");
    };
    auto page = [](DiaryWindow& w) { w.exportThisPageAction->trigger(); };
    auto all = [](DiaryWindow& w) { w.exportAllPagesAction->trigger(); };
    const Case cases[] = {
        {"page, No", page, kPageQuestion, "Page 5.txt", noAtConfirmation},
        {"page, Cancel", page, kPageQuestion, "Page 5.txt", cancelAtName},
        {"all, No", all, kAllQuestion, "All Pages.txt", noAtConfirmation},
        {"all, Cancel", all, kAllQuestion, "All Pages.txt", cancelAtName},
    };
    writePage("Ann", 5, kKey, {"five"});
    open(5);
    const auto before = names(folder());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.answers(ui, c.question, c.defaultName);
        c.command(*form);
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(names(folder()), before);
        EXPECT_EQ(form->currentPage(), 5);
    }
    EXPECT_TRUE(programs.started().empty());
}

TEST_F(Export, NoAtTheOverwriteQuestionAsksAgainWithTheDefaultAndCancelWritesNothing) {
    fixture::writeBytes(exportPath("Notes.txt"), "old notes");
    fixture::writeBytes(exportPath("Page 1.txt"), "old page");
    open(1);
    expectChoice(kPageQuestion, "Page 1.txt", "Notes.txt");
    ui.expectMsgBox("File Notes.txt already exists. Do you want to overwrite?", 51, "Jotterel", platform::vbNo);
    ui.expectInputBox(kNamePrompt, "Jotterel", "Page 1.txt", "Page 1.txt");
    ui.expectMsgBox("File Page 1.txt already exists. Do you want to overwrite?", 51, "Jotterel", platform::vbCancel);
    form->exportThisPageAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(fixture::readBytes(exportPath("Notes.txt")), "old notes");
    EXPECT_EQ(fixture::readBytes(exportPath("Page 1.txt")), "old page");
    EXPECT_TRUE(programs.started().empty());
}

TEST_F(Export, NameWithoutExtensionIsUsedAsTypedAndYesReplacesTheFile) {
    fixture::writeBytes(exportPath("Notes"), "old notes");
    open(2);
    expectChoice(kPageQuestion, "Page 2.txt", "Notes");
    ui.expectMsgBox("File Notes already exists. Do you want to overwrite?", 51, "Jotterel", platform::vbYes);
    ui.expectMsgBox("Page  2 printed to " + exportPath("Notes"), 64, "Jotterel");
    form->exportThisPageAction->trigger();
    EXPECT_EQ(fixture::readBytes(exportPath("Notes")),
              std::string("Page  2 of Ann's diary\r\n") + kPrintedOn + "\r\nPage  2\r\n------------\r\n\r\n");
    EXPECT_FALSE(platform::pathExists(exportPath("Notes.txt")));
    ASSERT_EQ(programs.started().size(), 1u);
    EXPECT_EQ(programs.started()[0].commandLine, "Notepad " + exportPath("Notes"));
}

TEST_F(Export, ALinkOrSpecialFileInTheMemberFolderIsRefusedNeverWrittenThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "Not on Windows: it plants symbolic links and a named pipe in the member folder, which a Windows "
                    "account without the right to make links cannot, and Wine shows as the files they point to.";
#else
    // Somebody with access to the folder has put there a link to a file elsewhere, a link to
    // nothing yet, or a named pipe, which would stop the program until something read it.
    const std::string outside = app / "outside.txt";
    const std::string kLink =
        "Your diary folder holds a link of that name to another place, which an export never follows or replaces.";
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string reason;
    };
    const Case cases[] = {
        {"Linked.txt", [&](const std::string& p) { std::filesystem::create_symlink(outside, p); }, kLink},
        {"Dangling.txt", [&](const std::string& p) { std::filesystem::create_symlink(app / "nowhere.txt", p); }, kLink},
        {"Pipe.txt", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "Your diary folder holds something of that name that is not an ordinary file, which an export never "
         "replaces."},
    };
    open(1);
    for (const Case& c : cases) {
        fixture::writeBytes(outside, "not the diary's");
        c.make(exportPath(c.name));
        expectChoice(kPageQuestion, "Page 1.txt", c.name);
        ui.expectMsgBox(std::string("The output file cannot be named \"") + c.name + "\".\r" + c.reason, 48,
                        "Jotterel");
        ui.expectInputBox(kNamePrompt, "Jotterel", "Page 1.txt", "");
        form->exportThisPageAction->trigger();
        EXPECT_TRUE(ui.done()) << c.name;
        EXPECT_EQ(fixture::readBytes(outside), "not the diary's") << c.name;
        EXPECT_FALSE(platform::pathExists(app / "nowhere.txt")) << c.name;
        EXPECT_FALSE(platform::fileExists(exportPath(c.name))) << c.name;
    }
    EXPECT_TRUE(programs.started().empty());
#endif
}

TEST_F(Export, HiddenFileOfTheNameIsNotSeenYetNeverReplaced) {
    const std::string secret = exportPath("Secret.txt");
    fixture::writeBytes(secret, "keep me");
    platform::setAttr(secret, platform::kAttrHidden);
    ASSERT_FALSE(platform::fileExists(secret));
    open(1);
    expectChoice(kAllQuestion, "All Pages.txt", "Secret.txt");
    ui.expectMsgBox("The output file cannot be named \"Secret.txt\".\rYour diary folder holds a hidden file of that "
                    "name, which an export never replaces.",
                    48, "Jotterel");
    ui.expectInputBox(kNamePrompt, "Jotterel", "All Pages.txt", "Other.txt");
    ui.expectMsgBox("All pages of Ann's diary printed to " + exportPath("Other.txt"), 64, "Jotterel");
    form->exportAllPagesAction->trigger();
    EXPECT_TRUE(ui.done());
    EXPECT_EQ(fixture::readBytes(secret), "keep me");
    EXPECT_TRUE(fixture::isHidden(secret));
    EXPECT_TRUE(platform::fileExists(exportPath("Other.txt")));
}

TEST_F(Export, UnusableNamesAreExplainedAndAskedForAgain) {
    const std::string badCharacters =
        "A file name cannot contain any of the characters \\ / : * ? \" < > | or a control character.";
    const std::string ownFile = "That is the name of one of your diary's own files, which an export never replaces.";
    struct Case {
        std::string name;
        std::string reason;
    };
    const Case cases[] = {
        {"../outside.txt", badCharacters},
        {"..\\outside.txt", badCharacters},
        {app.path() + "/outside.txt", badCharacters},
        {"C:\\outside.txt", badCharacters},
        {"Sub/inner.txt", badCharacters},
        {"a:b", badCharacters},
        {"what?.txt", badCharacters},
        {"star*", badCharacters},
        {"say \"hi\"", badCharacters},
        {"<a>", badCharacters},
        {"a|b", badCharacters},
        {"tab\there", badCharacters},
        {std::string("nul\0byte", 8), badCharacters},
        {"..", "That name stands for a folder, not a file."},
        {".", "That name stands for a folder, not a file."},
        {".profile", "A name that starts with a dot would make a hidden file."},
        {"notes.", "A file name cannot end with a space or a dot."},
        {"notes ", "A file name cannot end with a space or a dot."},
        {"CON", "That name is reserved for a device on Windows."},
        {"nul.txt", "That name is reserved for a device on Windows."},
        {"Com1.log", "That name is reserved for a device on Windows."},
        {"lpt9", "That name is reserved for a device on Windows."},
        {std::string(241, 'a'), "The name is too long."},
        {"QRBNSTJ4", ownFile},
        {"ubf8usbs", ownFile},
        {"FGZISKL4", ownFile},
        {"7ruiYUBE", ownFile},
        {"Sub", "Your diary folder holds a folder of that name."},
    };
    platform::makeFolder(exportPath("Sub"));
    open(1);
    const auto memberFiles = names(folder());
    const auto appFiles = names(app.path());
    const std::string pageOne = fixture::readBytes(pageFile("Ann", 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectChoice(kPageQuestion, "Page 1.txt", c.name);
        ui.expectMsgBox("The output file cannot be named \"" + c.name + "\".\r" + c.reason, 48, "Jotterel");
        ui.expectInputBox(kNamePrompt, "Jotterel", "Page 1.txt", "");
        form->exportThisPageAction->trigger();
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(names(folder()), memberFiles);
        EXPECT_EQ(names(app.path()), appFiles);
    }
    EXPECT_EQ(fixture::readBytes(pageFile("Ann", 1)), pageOne);
    EXPECT_TRUE(fixture::isHidden(pageFile("Ann", 1)));
    EXPECT_TRUE(names(exportPath("Sub")).empty());
    EXPECT_TRUE(programs.started().empty());
}

TEST_F(Export, FileThatCannotBeWrittenIsReportedAndTheOldOneKept) {
    struct Case {
        const char* what;
        std::function<void(DiaryWindow&)> command;
        const char* question;
        const char* defaultName;
        const char* failure;
    };
    const Case cases[] = {
        {"page", [](DiaryWindow& w) { w.exportThisPageAction->trigger(); }, kPageQuestion, "Page 7.txt",
         "Page 7 could not be exported."},
        {"all", [](DiaryWindow& w) { w.exportAllPagesAction->trigger(); }, kAllQuestion, "All Pages.txt",
         "All pages of your diary could not be exported."},
    };
    writePage("Ann", 7, kKey, {"seventh"});
    open(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = exportPath(c.defaultName);
        fixture::writeBytes(path, "earlier export");
        expectChoice(c.question, c.defaultName, c.defaultName);
        ui.expectMsgBox(std::string("File ") + c.defaultName + " already exists. Do you want to overwrite?", 51,
                        "Jotterel", platform::vbYes);
        ui.expectMsgBox(std::string(c.failure) + "\r\r" + path + "\r" +
                            platform::errorText(platform::native::fullDiskError()),
                        48, "Jotterel");
        const auto before = names(folder());
        platform::setWriteBudget(0);
        c.command(*form);
        platform::setWriteBudget(std::nullopt);
        EXPECT_TRUE(ui.done());
        EXPECT_EQ(fixture::readBytes(path), "earlier export");
        EXPECT_EQ(names(folder()), before);
        EXPECT_EQ(form->currentPage(), 7);
        EXPECT_EQ(form->pageView->text(), "[1] \tseventh\r\n");
        EXPECT_TRUE(form->updatesEnabled());
    }
    EXPECT_TRUE(programs.started().empty());
}

TEST_F(Export, NothingHappensWithoutAMemberLoggedIn) {
    makeWindow();
    form->exportThisPageAction->trigger();
    form->exportAllPagesAction->trigger();
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(names(app.path()), std::set<std::string>{"Ann"});
}

} // namespace
