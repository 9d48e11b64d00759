#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/CaptionsFile.h"
#include "store/Cipher.h"
#include "store/DiaryConversion.h"
#include "store/MemberFileForm.h"
#include "store/MemberFolder.h"
#include "store/PageSearch.h"
#include "store/PasswordFile.h"
#include "store/ProtectedFileError.h"
#include "store/ProtectedPasswordFile.h"
#include "store/StoredLines.h"
#include "store/TextCodec.h"
#include "support/core/MemberFixture.h"
#include "support/core/QuickKdf.h"
#include "support/core/TempFolder.h"

namespace {

constexpr int kKey = 113;
const std::string kPassword = "Garden gate 42";
const std::string kNewPassword = "Wisteria Ölbaum";

using Kind = StoredLine::Kind;

// A classic diary as the program leaves it: entries each followed by an empty line, a page with
// a line somebody damaged, characters the key stores and those it cannot, fifteen captions.
const std::vector<std::string> kPage1 = {"Went to the market for pears (07Dec26, 09:05PM)",        "",
                                         "Rain all day in Köln, €5 umbrella (07Dec26, 09:06PM)",   "",
                                         "Letter from aunt Wilhelmina in 日本 (08Dec26, 10:00AM)", ""};
const std::vector<std::string> kPage3 = {"Phoned the bank about the mortgage (09Dec26, 08:15AM)", ""};

std::string captionText(int page) {
    return page == 2 ? "Holidays in Portugal" : page == 9 ? "Σοφία's birthday" : CaptionsFile::kNoCaption;
}

class ProtectedDiary : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fixture::makeMember(app.path(), "Vera", kKey, kPassword);
        fixture::writePage(app.path(), "Vera", 1, kKey, kPage1);
        fixture::writePage(app.path(), "Vera", 3, kKey, kPage3);
        // A line holding bytes below the key, between two entries.
        fixture::writeBytes(page(5), fixture::pageContent(kKey, {"Before the damage (01Dec26, 01:00PM)", ""}) +
                                         "abc\x01\r\n\r\n" +
                                         fixture::pageContent(kKey, {"After the damage (01Dec26, 01:05PM)", ""}));
        std::string captions;
        for (int p = 1; p <= MemberFolder::kPageCount; ++p) {
            captions += Cipher::encryptWithKey(captionText(p), kKey) + "\r\n";
        }
        fixture::writeBytes(file(MemberFolder::kCaptionsFile), captions);
        classic = snapshot();
    }

    std::string file(const std::string& name) const { return platform::joinPath(folder, name); }
    std::string page(int p) const { return file(MemberFolder::pageFileName(p)); }

    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const std::string& name : MemberFolder::memberFileNames()) {
            files[name] = fixture::readBytes(file(name));
        }
        return files;
    }

    // The member's files as the login would read them: the keys from the password file, then
    // each page and the captions as far as they can be read.
    std::optional<DiaryKeys> logIn(const std::string& password, ConversionState* state = nullptr) const {
        const auto parsed = ProtectedPasswordFile::parse(fixture::readBytes(file(MemberFolder::kPasswordFile)));
        if (state) {
            *state = parsed.state();
        }
        return parsed.open(password);
    }

    std::vector<StoredLine> linesOf(const std::string& name, const DiaryKeys& keys,
                                    ConversionState state = ConversionState::Protected) const {
        const bool captions = name == MemberFolder::kCaptionsFile;
        return protectedMemberLines(
            fixture::readBytes(file(name)),
            ProtectedFileContext{keys, state, captions ? ProtectedFileKind::Captions : ProtectedFileKind::Page, name});
    }

    // The lines the classic files held, as a protected reader must give them back.
    std::vector<StoredLine> classicLinesOf(const std::string& name) const {
        return classicLines(classic.at(name), kKey);
    }

    DiaryKeys protect() {
        DiaryKeys keys = DiaryKeys::create(kKey, kNewPassword, quickKdf());
        protectDiary(folder, keys);
        return keys;
    }

    TempFolder app;
    std::string folder;
    std::map<std::string, std::string> classic;
};

std::string textOf(const StoredLine& line) {
    return line.kind == Kind::Text ? textFromStorable(line.bytes, kKey) : std::string();
}

TEST_F(ProtectedDiary, ProtectThenUnprotectGivesBackTheClassicBytes) {
    const DiaryKeys keys = protect();
    for (const std::string& name : MemberFolder::memberFileNames()) {
        const std::string data = fixture::readBytes(file(name));
        if (classic.at(name).empty()) {
            EXPECT_EQ(data, "") << name << ": an empty file stays empty";
        } else {
            EXPECT_EQ(memberFileForm(data), MemberFileForm::Protected) << name;
        }
        EXPECT_TRUE(fixture::isHidden(file(name))) << name;
    }
    ConversionState state{};
    const auto opened = logIn("WISTERIA ÖLBAUM", &state);
    ASSERT_TRUE(opened);
    EXPECT_EQ(state, ConversionState::Protected);
    EXPECT_FALSE(logIn(kPassword)) << "the classic password no longer opens the diary";

    const auto page1 = linesOf(MemberFolder::pageFileName(1), *opened);
    ASSERT_EQ(page1.size(), kPage1.size());
    for (std::size_t i = 0; i < kPage1.size(); ++i) {
        EXPECT_EQ(textOf(page1[i]), kPage1[i]);
    }
    const auto page5 = linesOf(MemberFolder::pageFileName(5), *opened);
    ASSERT_EQ(page5.size(), 6U);
    EXPECT_EQ(page5[2], (StoredLine{Kind::Unreadable, "abc\x01"}));
    EXPECT_EQ(textOf(page5[4]), "After the damage (01Dec26, 01:05PM)");
    const auto captions = linesOf(MemberFolder::kCaptionsFile, *opened);
    ASSERT_EQ(captions.size(), 15U);
    EXPECT_EQ(textOf(captions[8]), "Σοφία's birthday");

    unprotectDiary(folder, *opened);
    for (const std::string& name : MemberFolder::memberFileNames()) {
        if (name != MemberFolder::kPasswordFile) {
            EXPECT_EQ(fixture::readBytes(file(name)), classic.at(name)) << name;
        }
        EXPECT_TRUE(fixture::isHidden(file(name))) << name;
    }
    // The password stays the one the member logs in with now, under the classic key.
    const PasswordFile password = PasswordFile::read(file(MemberFolder::kPasswordFile));
    EXPECT_EQ(password.key, kKey);
    EXPECT_EQ(Cipher::decryptWithKey(password.passwordLine, kKey), kNewPassword);
}

// Each text the member wrote (entries, captions, password) as the files could hold it: as typed,
// in Windows-1252 and in the storable form under the key.
std::vector<std::string> secretsOf(const std::vector<std::string>& texts) {
    std::vector<std::string> forms;
    for (const std::string& text : texts) {
        for (const std::string& word : {text, storableText(text, kKey)}) {
            // Twelve bytes from the middle: long enough never to turn up by chance.
            forms.push_back(word.substr(word.size() / 2 - 6, 12));
        }
    }
    return forms;
}

TEST_F(ProtectedDiary, NoFileHoldsAnEntryCaptionOrPasswordUnderAnyShift) {
    protect();
    const auto secrets = secretsOf({kPage1[0], kPage1[2], kPage1[4], kPage3[0], "Before the damage (01Dec26",
                                    "Holidays in Portugal", "Σοφία's birthday", kNewPassword, kPassword});
    for (const std::string& name : MemberFolder::memberFileNames()) {
        const std::string data = fixture::readBytes(file(name));
        for (const std::string& secret : secrets) {
            for (int shift = 0; shift < 256; ++shift) {
                std::string shifted = secret;
                for (char& c : shifted) {
                    c = static_cast<char>(static_cast<unsigned char>(c) + shift);
                }
                ASSERT_EQ(data.find(shifted), std::string::npos)
                    << name << " holds \"" << secret << "\" shifted by " << shift;
            }
        }
    }
}

TEST_F(ProtectedDiary, AnAlteredFileShowsOnlyWhatWasAlteredAsUnreadable) {
    const DiaryKeys keys = protect();
    // Another protected member whose page 1 holds records at the same places.
    const std::string other = fixture::makeMember(app.path(), "Otto", kKey, "otto");
    fixture::writePage(app.path(), "Otto", 1, kKey, kPage1);
    protectDiary(other, DiaryKeys::create(kKey, "otto's own", quickKdf()));

    const std::string page1 = MemberFolder::pageFileName(1);
    const std::string page3 = MemberFolder::pageFileName(3);
    using Lines = std::vector<std::string>;
    auto linesIn = [&](const std::string& path) { return fixture::readLines(path); };
    auto write = [&](const std::string& path, const Lines& lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            bytes += line + "\r\n";
        }
        fixture::writeBytes(path, bytes);
    };
    // Line indexes count the header as 0, so that index n is the place n.
    struct Case {
        const char* what;
        std::string name; // the file altered and read
        std::function<void()> alter;
        std::vector<std::size_t> unreadable; // places that no longer open; all others as before
        std::optional<ProtectedFileError::Problem> problem = std::nullopt;
        ConversionState state = ConversionState::Protected;
        bool noneReadable = false; // every line is refused, however the lines now fall
    };
    const std::vector<Case> cases = {
        {"one bit flipped in a record",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             l[3][20] = static_cast<char>(l[3][20] ^ 0x01);
             write(page(1), l);
         },
         {3}},
        {"two records swapped",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             std::swap(l[1], l[5]);
             write(page(1), l);
         },
         {1, 5}},
        {"a record moved to another page",
         page3,
         [&] {
             Lines l = linesIn(page(3));
             l[1] = linesIn(page(1))[1];
             write(page(3), l);
         },
         {1}},
        {"a record moved to the captions",
         MemberFolder::kCaptionsFile,
         [&] {
             Lines l = linesIn(file(MemberFolder::kCaptionsFile));
             l[3] = linesIn(page(1))[3];
             write(file(MemberFolder::kCaptionsFile), l);
         },
         {3}},
        {"a record from another member's folder",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             l[3] = linesIn(fixture::pageFile(app.path(), "Otto", 1))[3];
             write(page(1), l);
         },
         {3}},
        {"a record cut short",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             l[5].resize(l[5].size() - 4);
             write(page(1), l);
         },
         {5}},
        {"the version in the header",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             l[0] = "JOTTEREL-PAGE 2";
             write(page(1), l);
         },
         {},
         ProtectedFileError::Problem::NewerVersion},
        {"a letter of the header",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             l[0][11] = 'X';
             write(page(1), l);
         },
         {},
         ProtectedFileError::Problem::Damaged},
        // The first byte changed no longer says "protected": the file is taken for a classic one,
        // which a protected member's folder does not hold, and every line is refused.
        {"the first byte of the header",
         page1,
         [&] {
             Lines l = linesIn(page(1));
             l[0][0] = 'K';
             write(page(1), l);
         },
         {},
         std::nullopt,
         ConversionState::Protected,
         true},
        {"the file replaced by the classic one",
         page1,
         [&] { fixture::writeBytes(page(1), classic.at(page1)); },
         {1, 3, 5}},
        {"the classic file while Protect is under way",
         page1,
         [&] { fixture::writeBytes(page(1), classic.at(page1)); },
         {},
         std::nullopt,
         ConversionState::BeingProtected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = fixture::readBytes(file(c.name));
        c.alter();
        try {
            const auto lines = linesOf(c.name, keys, c.state);
            EXPECT_FALSE(c.problem);
            if (c.noneReadable) {
                EXPECT_EQ(
                    std::count_if(lines.begin(), lines.end(), [](const StoredLine& l) { return l.kind == Kind::Text; }),
                    0);
                EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                        [](const StoredLine& l) { return l.kind == Kind::Unreadable; }),
                          4);
                fixture::writeBytes(file(c.name), before);
                continue;
            }
            const auto expected = classicLinesOf(c.name);
            ASSERT_GE(lines.size(), expected.size());
            for (std::size_t place = 1; place <= lines.size(); ++place) {
                const StoredLine& line = lines[place - 1];
                const bool refused = std::find(c.unreadable.begin(), c.unreadable.end(), place) != c.unreadable.end();
                if (refused) {
                    EXPECT_EQ(line.kind, Kind::Unreadable) << "place " << place;
                } else {
                    EXPECT_EQ(line, expected[place - 1]) << "place " << place;
                }
            }
        } catch (const ProtectedFileError& e) {
            ASSERT_TRUE(c.problem) << e.what();
            EXPECT_EQ(e.problem(), *c.problem);
        }
        // Every other file reads as before.
        for (int p : {1, 3, 5}) {
            if (MemberFolder::pageFileName(p) != c.name) {
                EXPECT_EQ(linesOf(MemberFolder::pageFileName(p), keys), classicLinesOf(MemberFolder::pageFileName(p)));
            }
        }
        fixture::writeBytes(file(c.name), before);
    }
}

TEST_F(ProtectedDiary, AFaultAtAnyDiskStepLeavesTheOldFormWhole) {
    for (const bool protecting : {true, false}) {
        SCOPED_TRACE(protecting ? "Protect" : "Unprotect");
        std::optional<DiaryKeys> keys;
        if (!protecting) {
            keys = protect();
        }
        const auto before = snapshot();
        for (std::uint64_t steps = 0;; ++steps) {
            for (const auto& [name, bytes] : before) {
                fixture::writeBytes(file(name), bytes);
            }
            const DiaryKeys made = DiaryKeys::create(kKey, kNewPassword, quickKdf());
            platform::setFaultAfterSteps(steps);
            bool failed = false;
            try {
                if (protecting) {
                    protectDiary(folder, made);
                } else {
                    unprotectDiary(folder, *keys);
                }
            } catch (const platform::FileError& e) {
                failed = true;
                EXPECT_FALSE(e.path().empty());
            }
            const bool faultCame = !platform::stepsBeforeFault();
            platform::setFaultAfterSteps(std::nullopt);
            platform::deleteAllSafeWriteLeftovers(folder);
            if (!faultCame) {
                EXPECT_GT(steps, 30U) << "every file is written";
                break;
            }
            SCOPED_TRACE("fault after " + std::to_string(steps) + " steps");
            for (const std::string& name : MemberFolder::memberFileNames()) {
                ASSERT_TRUE(fixture::isHidden(file(name))) << name;
            }
            if (failed) {
                ASSERT_EQ(snapshot(), before);
            } else {
                // A fault after the last file took its place changes nothing the member could be told.
                ASSERT_EQ(memberFileForm(fixture::readBytes(file(MemberFolder::kPasswordFile))) ==
                              MemberFileForm::Protected,
                          protecting);
            }
        }
        if (protecting) {
            unprotectDiary(folder, *logIn(kNewPassword));
        }
        for (const std::string& name : MemberFolder::memberFileNames()) {
            if (name != MemberFolder::kPasswordFile) {
                EXPECT_EQ(fixture::readBytes(file(name)), classic.at(name)) << name;
            }
        }
    }
}

struct Stopped {};

// The program stopped at any moment of a conversion, as by a crash or a power cut: the files are
// as the steps taken so far left them, nothing is put back.
TEST_F(ProtectedDiary, AConversionStoppedAtAnyStepReadsWholeAndIsFinishedAtTheNextLogin) {
    for (const bool protecting : {true, false}) {
        SCOPED_TRACE(protecting ? "Protect" : "Unprotect");
        for (std::uint64_t stopAt = 0;; ++stopAt) {
            for (const auto& [name, bytes] : classic) {
                fixture::writeBytes(file(name), bytes);
            }
            std::optional<DiaryKeys> keys;
            if (!protecting) {
                keys = protect();
            }
            std::uint64_t steps = 0;
            platform::setDiskStepRecorder([&](std::string_view, const std::string&) {
                if (steps++ == stopAt) {
                    throw Stopped{};
                }
            });
            bool stopped = false;
            try {
                if (protecting) {
                    protectDiary(folder, DiaryKeys::create(kKey, kNewPassword, quickKdf()));
                } else {
                    unprotectDiary(folder, *keys);
                }
            } catch (const Stopped&) {
                stopped = true;
            }
            platform::setDiskStepRecorder({});
            SCOPED_TRACE("stopped at step " + std::to_string(stopAt));

            // Whatever form the password file is in, every entry and caption reads.
            const std::string passwordData = fixture::readBytes(file(MemberFolder::kPasswordFile));
            if (memberFileForm(passwordData) == MemberFileForm::Classic) {
                EXPECT_EQ(PasswordFile::parse(passwordData).key, kKey);
                for (const auto& [name, bytes] : classic) {
                    if (name != MemberFolder::kPasswordFile) {
                        ASSERT_EQ(fixture::readBytes(file(name)), bytes) << name;
                    }
                }
            } else {
                ConversionState state{};
                const auto opened = logIn(kNewPassword, &state);
                ASSERT_TRUE(opened);
                for (const auto& [name, bytes] : classic) {
                    if (name != MemberFolder::kPasswordFile) {
                        ASSERT_EQ(linesOf(name, *opened, state), classicLinesOf(name)) << name;
                    }
                }
                finishConversion(folder, *opened, state);
                if (state == ConversionState::BeingProtected) {
                    ASSERT_TRUE(logIn(kNewPassword, &state));
                    EXPECT_EQ(state, ConversionState::Protected);
                }
                if (memberFileForm(fixture::readBytes(file(MemberFolder::kPasswordFile))) == MemberFileForm::Classic) {
                    for (const auto& [name, bytes] : classic) {
                        if (name != MemberFolder::kPasswordFile) {
                            ASSERT_EQ(fixture::readBytes(file(name)), bytes) << name;
                        }
                    }
                }
            }
            platform::deleteAllSafeWriteLeftovers(folder);
            if (!stopped) {
                break;
            }
        }
    }
}

TEST_F(ProtectedDiary, ACommitAppendsInTheFormOfThePage) {
    const DiaryKeys keys = protect();
    const std::string entry = storableText("Bought a bicycle, grün (10Dec26, 01:00PM)", kKey);
    auto commit = [&](int p, ConversionState state) {
        const std::string name = MemberFolder::pageFileName(p);
        const ProtectedFileContext context{keys, state, ProtectedFileKind::Page, name};
        const std::string data = fixture::readBytes(page(p));
        fixture::writeBytes(page(p), data + entryAppendedTo(data, context, entry));
        return protectedMemberLines(fixture::readBytes(page(p)), context);
    };
    const StoredLine committed{Kind::Text, entry};

    auto lines = commit(1, ConversionState::Protected);
    ASSERT_EQ(lines.size(), 8U);
    EXPECT_EQ(lines[6], committed);
    EXPECT_EQ(lines[7], StoredLine{});
    lines.resize(6);
    EXPECT_EQ(lines, classicLinesOf(MemberFolder::pageFileName(1)));

    // An empty page starts with its header; a page whose last line lost its line end gets one.
    EXPECT_EQ(commit(2, ConversionState::Protected), (std::vector<StoredLine>{committed, {}}));
    EXPECT_TRUE(fixture::readBytes(page(2)).starts_with("JOTTEREL-PAGE 1\r\n"));
    std::string page3 = fixture::readBytes(page(3));
    fixture::writeBytes(page(3), page3.substr(0, page3.size() - 4));
    lines = commit(3, ConversionState::Protected);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], classicLinesOf(MemberFolder::pageFileName(3))[0]);
    EXPECT_EQ(lines[1], committed);

    // A classic page is written in its own form while a conversion is under way, and refused once
    // none is.
    fixture::writeBytes(page(4), fixture::pageContent(kKey, {"Classic still", ""}));
    lines = commit(4, ConversionState::BeingProtected);
    EXPECT_EQ(lines[2], committed);
    EXPECT_EQ(memberFileForm(fixture::readBytes(page(4))), MemberFileForm::Classic);
    const std::string page4 = fixture::readBytes(page(4));
    EXPECT_THROW(entryAppendedTo(page4,
                                 ProtectedFileContext{keys, ConversionState::Protected, ProtectedFileKind::Page,
                                                      MemberFolder::pageFileName(4)},
                                 entry),
                 ProtectedFileError);
    // An empty page while the diary is being unprotected takes the classic form.
    EXPECT_EQ(entryAppendedTo("",
                              ProtectedFileContext{keys, ConversionState::BeingUnprotected, ProtectedFileKind::Page,
                                                   MemberFolder::pageFileName(6)},
                              entry),
              fixture::pageContent(kKey, {"Bought a bicycle, grün (10Dec26, 01:00PM)", ""}));
}

TEST_F(ProtectedDiary, ASearchOpensEveryRecordAndPassesOverADamagedOne) {
    const DiaryKeys keys = protect();
    std::vector<std::string> lines = fixture::readLines(page(1));
    lines[1][30] = static_cast<char>(lines[1][30] ^ 0x04); // the first entry
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    const ProtectedFileContext context{keys, ConversionState::Protected, ProtectedFileKind::Page,
                                       MemberFolder::pageFileName(1)};
    std::string classicBytes;
    searchableClassicBytes(bytes, context, classicBytes);
    struct Case {
        const char* text;
        std::vector<std::size_t> entries;
    };
    const Case cases[] = {{"KÖLN", {2}}, {"in", {2, 3}}, {"market", {}}, {"日本", {3}}, {"(0", {2, 3}}};
    for (const Case& c : cases) {
        std::vector<std::size_t> found;
        PageSearch(c.text, kKey).scan(classicBytes, [&](std::size_t entry, std::string_view, std::size_t) {
            found.push_back(entry);
        });
        EXPECT_EQ(found, c.entries) << c.text;
    }
}

TEST_F(ProtectedDiary, ANewerPageStopsUnprotectBeforeAnythingChanges) {
    const DiaryKeys keys = protect();
    std::string data = fixture::readBytes(page(3));
    data[14] = '2';
    fixture::writeBytes(page(3), data);
    const auto before = snapshot();
    try {
        unprotectDiary(folder, keys);
        FAIL() << "a page of a newer format was converted";
    } catch (const platform::FileError& e) {
        EXPECT_EQ(e.path(), page(3));
        EXPECT_NE(e.reason().find("newer copy of Jotterel"), std::string::npos) << e.reason();
    }
    EXPECT_EQ(snapshot(), before);
}

} // namespace
