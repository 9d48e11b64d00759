// Find over a large diary against GNU grep over the same entries in a plain file. Each round
// runs both, one after the other, so that both meet the same machine: Find reads, deciphers and
// searches every page file and lists the hits in the results window; grep counts the matching
// lines of the deciphered text. The time reported is Find's; the counters give both and their
// ratio, and the two counts of lines found must agree.

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sodium.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "search/FindCommand.h"
#include "search/FindResultsWindow.h"
#include "search/ResultLines.h"
#include "store/Cipher.h"
#include "store/DiaryConversion.h"
#include "store/KdfParameters.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

namespace {

constexpr int kKey = 113;
constexpr int kEntriesPerPage = 20000;
const char* const kMember = "Bench";

// Answers the Find prompt with the text searched for, and the prompt after "Text not found."
// with nothing, so that a Find never loops.
class AnsweringDialogs : public platform::Dialogs {
public:
    std::string answer;
    int msgBox(const std::string&, int, const std::string&) override { return platform::vbOK; }
    std::string inputBox(const std::string&, const std::string&, const std::string& defaultText) override {
        return defaultText == answer ? std::string() : answer;
    }
    void beep() override {}
};

unsigned pick(std::mt19937& random, unsigned n) {
    return static_cast<unsigned>(random() % n);
}

enum class Language { English, German };

// Entries as members write them: a few words, sometimes a name, and the time stamp. An English
// diary is plain ASCII; in a German one most entries hold letters that no member key stores as
// themselves.
std::string entryText(std::mt19937& random, Language language) {
    static const char* const english[] = {
        "went",  "to",     "the",    "market", "bought", "apples", "and",    "pears",   "rain",  "all",
        "day",   "called", "walked", "with",   "dog",    "park",   "dinner", "at",      "home",  "tea",
        "read",  "a",      "book",   "about",  "ships",  "garden", "needs",  "weeding", "train", "late",
        "again", "work",   "was",    "busy",   "phoned", "bank",   "letter", "from",    "aunt",  "birthday"};
    static const char* const german[] = {"ging",
                                         "zum",
                                         "Markt",
                                         "kaufte",
                                         "\xC3\x84pfel",
                                         "und",
                                         "Birnen",
                                         "Regen",
                                         "den",
                                         "ganzen",
                                         "Tag",
                                         "rief",
                                         "an",
                                         "mit",
                                         "dem",
                                         "Hund",
                                         "im",
                                         "Park",
                                         "zu",
                                         "Hause",
                                         "Tee",
                                         "las",
                                         "ein",
                                         "Buch",
                                         "\xC3\xBC"
                                         "ber",
                                         "Schiffe",
                                         "Garten",
                                         "Zug",
                                         "sp\xC3\xA4t",
                                         "wieder",
                                         "Arbeit",
                                         "m\xC3\xBC"
                                         "de",
                                         "fr\xC3\xBCh",
                                         "Stra\xC3\x9F"
                                         "e",
                                         "Gr\xC3\xBC\xC3\x9F"
                                         "e",
                                         "sch\xC3\xB6n",
                                         "B\xC3\xA4"
                                         "cker",
                                         "Br\xC3\xB6tchen",
                                         "Tante"};
    static const char* const names[] = {"Tom", "Mary", "Peter", "Lucy", "George", "Ruth", "Sam", "Jane"};
    const auto words = [&]() -> std::pair<const char* const*, std::size_t> {
        switch (language) {
        case Language::German:
            return {german, std::size(german)};
        default:
            return {english, std::size(english)};
        }
    }();
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string text;
    const unsigned count = 5 + pick(random, 11);
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        if (i == 2) {
            // About one entry in a hundred mentions Anna, and in a German diary Köln.
            const char* rare = language == Language::German ? "K\xC3\xB6ln" : "Anna";
            text += pick(random, 100) == 0 ? rare : names[pick(random, std::size(names))];
        } else {
            text += words.first[pick(random, static_cast<unsigned>(words.second))];
        }
    }
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, " (%02u%s%02u, %02u:%02u%s)", 1 + pick(random, 28), months[pick(random, 12)],
                  pick(random, 100), 1 + pick(random, 12), pick(random, 60), pick(random, 2) ? "AM" : "PM");
    return text + stamp;
}

// The diary on disk: fifteen page files as commits write them, and the same entries deciphered
// into one plain file for grep.
class Diary {
public:
    Diary(Language language, bool isProtected)
        : m_folder(std::filesystem::temp_directory_path() /
                   ("jotterel-find-bench-" + std::to_string(::getpid()) + "-" +
                    std::to_string(static_cast<int>(language)) + (isProtected ? "-protected" : ""))) {
        std::filesystem::create_directories(m_folder / kMember);
        std::mt19937 random(20261207);
        std::ofstream plain(plainFile(), std::ios::binary);
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            std::string bytes;
            for (int i = 0; i < kEntriesPerPage; ++i) {
                const std::string entry = entryText(random, language);
                bytes += Cipher::encryptWithKey(entry, kKey);
                bytes += "\r\n\r\n";
                plain << entry << '\n';
                m_plainBytes += entry.size() + 1;
            }
            std::ofstream(m_folder / kMember / MemberFolder::pageFileName(page), std::ios::binary) << bytes;
            m_pageBytes += bytes.size();
        }
        std::ofstream(m_folder / kMember / MemberFolder::kPasswordFile, std::ios::binary)
            << PasswordFile::content(kKey, kMember);
        if (isProtected) {
            // The cheapest key derivation: the login is not what is measured.
            std::ofstream(m_folder / kMember / MemberFolder::kCaptionsFile, std::ios::binary);
            protectDiary(
                (m_folder / kMember).string(),
                DiaryKeys::create(kKey, kMember,
                                  *KdfParameters::fromStored(KdfParameters::kArgon2id13, crypto_pwhash_OPSLIMIT_MIN,
                                                             crypto_pwhash_MEMLIMIT_MIN)));
        }
        // Written in an earlier session, as a member's pages are: Find keeps only pages whose
        // files were not written in the last moments.
        for (const auto& entry : std::filesystem::directory_iterator(m_folder / kMember)) {
            std::filesystem::last_write_time(entry.path(),
                                             std::filesystem::last_write_time(entry.path()) - std::chrono::hours(1));
        }
    }
    ~Diary() { std::filesystem::remove_all(m_folder); }

    std::string appPath() const { return m_folder.string(); }
    std::string plainFile() const { return (m_folder / "plain.txt").string(); }
    std::size_t pageBytes() const { return m_pageBytes; }
    std::size_t plainBytes() const { return m_plainBytes; }

private:
    std::filesystem::path m_folder;
    std::size_t m_pageBytes = 0;
    std::size_t m_plainBytes = 0;
};

// Fifteen pages of the same entries in each language, in the classic and in the protected form.
Diary& diary(Language language, bool isProtected) {
    static Diary english(Language::English, false);
    static Diary german(Language::German, false);
    if (isProtected) {
        static Diary protectedEnglish(Language::English, true);
        static Diary protectedGerman(Language::German, true);
        return language == Language::German ? protectedGerman : protectedEnglish;
    }
    return language == Language::German ? german : english;
}

// Runs grep -F -i -c on the plain file and returns its count of matching lines: under the C
// locale for a plain ASCII diary, under a UTF-8 one where letters outside ASCII must match in
// either case.
long runGrep(const std::string& text, const std::string& file, bool utf8) {
    int out[2];
    if (::pipe(out) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char plainLocale[] = "LC_ALL=C";
    char utf8Locale[] = "LC_ALL=C.UTF-8";
    char* locale = utf8 ? utf8Locale : plainLocale;
    char* env[] = {locale, nullptr};
    std::vector<std::string> args = {"grep", "-F", "-i", "-c", "--", text, file};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "grep", &actions, nullptr, argv.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string output;
    char buffer[64];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return std::strtol(output.c_str(), nullptr, 10);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_FindAgainstGrep(benchmark::State& state, const std::string& text, Language language, bool isProtected = false) {
    AnsweringDialogs dialogs;
    dialogs.answer = text;
    platform::setUi(&dialogs);
    MemberSession module(diary(language, isProtected).appPath());
    if (module.logIn(kMember, kMember).outcome != MemberSession::LoginOutcome::LoggedIn) {
        state.SkipWithError("the bench member cannot log in");
        return;
    }
    DiaryWindow form(module);
    auto* find = new FindCommand(form);
    const std::string plainFile = diary(language, isProtected).plainFile();

    int lines = 0;
    long grepLines = 0;
    double findSeconds = 0;
    double grepSeconds = 0;
    if (isProtected) {
        // The first Find of a session opens every record and keeps the pages for the next;
        // BM_FirstFindOfASession measures that one.
        module.setSearchText({});
        find->find();
        if (FindResultsWindow* results = find->resultsWindow()) {
            results->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    for (auto _ : state) {
        module.setSearchText({});
        const auto start = std::chrono::steady_clock::now();
        find->find();
        const double findRound = secondsSince(start);
        if (FindResultsWindow* results = find->resultsWindow()) {
            lines = results->lines().count();
            results->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const auto grepStart = std::chrono::steady_clock::now();
        grepLines = runGrep(text, plainFile, language != Language::English);
        grepSeconds += secondsSince(grepStart);
        findSeconds += findRound;
        state.SetIterationTime(findRound);
    }
    platform::setUi(nullptr);
    if (grepLines < 0) {
        state.SkipWithError("grep could not be run");
        return;
    }
    if (grepLines != lines) {
        state.SkipWithError("Find and grep found different numbers of lines");
        return;
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["lines"] = lines;
    state.counters["find_ms"] = findSeconds * 1e3 / rounds;
    state.counters["grep_ms"] = grepSeconds * 1e3 / rounds;
    state.counters["find/grep"] = findSeconds / grepSeconds;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * MemberFolder::kPageCount * kEntriesPerPage);
}

// The first Find after a protected login, which opens every record of every page, against grep
// over the same entries. Each round logs in afresh; only the Find is timed.
void BM_FirstFindOfASession(benchmark::State& state, const std::string& text, Language language) {
    AnsweringDialogs dialogs;
    dialogs.answer = text;
    platform::setUi(&dialogs);
    MemberSession module(diary(language, true).appPath());
    DiaryWindow form(module);
    auto* find = new FindCommand(form);
    const std::string plainFile = diary(language, true).plainFile();

    int lines = 0;
    long grepLines = 0;
    double findSeconds = 0;
    double grepSeconds = 0;
    std::size_t keptBytes = 0;
    for (auto _ : state) {
        if (module.logIn(kMember, kMember).outcome != MemberSession::LoginOutcome::LoggedIn) {
            state.SkipWithError("the bench member cannot log in");
            break;
        }
        module.setSearchText({});
        const auto start = std::chrono::steady_clock::now();
        find->find();
        const double findRound = secondsSince(start);
        if (FindResultsWindow* results = find->resultsWindow()) {
            lines = results->lines().count();
            results->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        keptBytes = module.openedPages().bytesKept();
        module.logOff();

        const auto grepStart = std::chrono::steady_clock::now();
        grepLines = runGrep(text, plainFile, language != Language::English);
        grepSeconds += secondsSince(grepStart);
        findSeconds += findRound;
        state.SetIterationTime(findRound);
    }
    platform::setUi(nullptr);
    if (grepLines != lines) {
        state.SkipWithError("Find and grep found different numbers of lines");
        return;
    }
    const auto rounds = static_cast<double>(state.iterations());
    state.counters["lines"] = lines;
    state.counters["find_ms"] = findSeconds * 1e3 / rounds;
    state.counters["grep_ms"] = grepSeconds * 1e3 / rounds;
    state.counters["find/grep"] = findSeconds / grepSeconds;
    // The guarded memory the pages kept for the session take.
    state.counters["kept_MB"] = static_cast<double>(keptBytes) / 1e6;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * MemberFolder::kPageCount * kEntriesPerPage);
}

// A name in about one entry of a hundred, typed in mixed case; and a month, which the time stamp
// of one entry in twelve holds.
BENCHMARK_CAPTURE(BM_FindAgainstGrep, name, std::string("aNNa"), Language::English)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAgainstGrep, month, std::string("dec"), Language::English)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// A German diary, nearly every entry of which holds letters stored as references, searched in
// capitals for a town in about one entry of a hundred.
BENCHMARK_CAPTURE(BM_FindAgainstGrep, german, std::string("K\xC3\x96LN"), Language::German)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// The same diaries protected, searched again in the same session: Find opens only the pages that
// changed since the first Find.
BENCHMARK_CAPTURE(BM_FindAgainstGrep, protected_name, std::string("aNNa"), Language::English, true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAgainstGrep, protected_month, std::string("dec"), Language::English, true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindAgainstGrep, protected_german, std::string("K\xC3\x96LN"), Language::German, true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_FirstFindOfASession, protected_name, std::string("aNNa"), Language::English)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
