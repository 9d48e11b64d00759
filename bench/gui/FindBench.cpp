// Find over a large diary, and GNU grep over the same entries in a plain file, in one run, so
// that the two can be compared. Find reads, deciphers and searches every page file and lists
// the hits in the results window; grep counts the matching lines of the deciphered text.

#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "diary/Form1.h"
#include "platform/core/Dialogs.h"
#include "search/FindCommand.h"
#include "search/Form3.h"
#include "search/ResultLines.h"
#include "store/Module1.h"

extern char** environ;

namespace {

constexpr int kKey = 113;
constexpr int kEntriesPerPage = 20000;
const char* const kMember = "Bench";

// Answers the Find prompt with the text searched for, and the prompt after "Text not found."
// with nothing, so that a Find never loops.
class AnsweringDialogs : public platform::Dialogs {
public:
    std::string answer;
    int MsgBox(const std::string&, int, const std::string&) override { return platform::vbOK; }
    std::string InputBox(const std::string&, const std::string&, const std::string& defaultText) override {
        return defaultText == answer ? std::string() : answer;
    }
    void Beep() override {}
};

unsigned pick(std::mt19937& random, unsigned n) {
    return static_cast<unsigned>(random() % n);
}

// Entries as members write them: a few words, sometimes a name, and the time stamp.
std::string entryText(std::mt19937& random) {
    static const char* const words[] = {
        "went",  "to",     "the",    "market", "bought", "apples", "and",    "pears",   "rain",  "all",
        "day",   "called", "walked", "with",   "dog",    "park",   "dinner", "at",      "home",  "tea",
        "read",  "a",      "book",   "about",  "ships",  "garden", "needs",  "weeding", "train", "late",
        "again", "work",   "was",    "busy",   "phoned", "bank",   "letter", "from",    "aunt",  "birthday"};
    static const char* const names[] = {"Tom", "Mary", "Peter", "Lucy", "George", "Ruth", "Sam", "Jane"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string text;
    const unsigned count = 5 + pick(random, 11);
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        if (i == 2) {
            // About one entry in a hundred mentions Anna.
            text += pick(random, 100) == 0 ? "Anna" : names[pick(random, std::size(names))];
        } else {
            text += words[pick(random, std::size(words))];
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
    Diary() : m_folder(std::filesystem::temp_directory_path() / ("jotterel-find-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_folder / kMember);
        std::mt19937 random(20261207);
        std::ofstream plain(PlainFile(), std::ios::binary);
        for (int page = 1; page <= Module1::kPageCount; ++page) {
            std::string bytes;
            for (int i = 0; i < kEntriesPerPage; ++i) {
                const std::string entry = entryText(random);
                bytes += Module1::EncryptWithKey(entry, kKey);
                bytes += "\r\n\r\n";
                plain << entry << '\n';
                m_plainBytes += entry.size() + 1;
            }
            std::ofstream(m_folder / kMember / Module1::PageFileName(page), std::ios::binary) << bytes;
            m_pageBytes += bytes.size();
        }
    }
    ~Diary() { std::filesystem::remove_all(m_folder); }

    std::string AppPath() const { return m_folder.string(); }
    std::string PlainFile() const { return (m_folder / "plain.txt").string(); }
    std::size_t PageBytes() const { return m_pageBytes; }
    std::size_t PlainBytes() const { return m_plainBytes; }

private:
    std::filesystem::path m_folder;
    std::size_t m_pageBytes = 0;
    std::size_t m_plainBytes = 0;
};

Diary& diary() {
    static Diary d;
    return d;
}

void BM_Find(benchmark::State& state, const std::string& text) {
    AnsweringDialogs dialogs;
    dialogs.answer = text;
    platform::SetUi(&dialogs);
    Module1 module(diary().AppPath());
    module.CurrentUser = kMember;
    module.EnteredPassword = "-";
    module.CipherKey = kKey;
    Form1 form(module);
    auto* find = new FindCommand(form);
    int lines = 0;
    for (auto _ : state) {
        module.SearchText.clear();
        find->mnuFind_Click();
        state.PauseTiming();
        if (Form3* results = find->ResultsWindow()) {
            lines = results->Lines().Count();
            results->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["lines"] = lines;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(diary().PageBytes()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * Module1::kPageCount * kEntriesPerPage);
    platform::SetUi(nullptr);
}

// Runs grep -F -i -c on the plain file and returns its count of matching lines.
long runGrep(const std::string& text, const std::string& file) {
    int out[2];
    if (::pipe(out) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // The plain file is single-byte text, as the diary keeps it.
    char locale[] = "LC_ALL=C";
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

void BM_Grep(benchmark::State& state, const std::string& text) {
    const std::string file = diary().PlainFile();
    long count = 0;
    for (auto _ : state) {
        count = runGrep(text, file);
    }
    if (count < 0) {
        state.SkipWithError("grep could not be run");
    }
    state.counters["lines"] = static_cast<double>(count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(diary().PlainBytes()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * Module1::kPageCount * kEntriesPerPage);
}

// Prints, after the usual table, how long Find takes against grep for each text searched: the
// median of the repetitions when the run has several, else the one measurement.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const std::string name = run.run_name.function_name; // "Find/aNNa", "grep/aNNa"
            const double ms = run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_median[name] = ms;
            } else if (run.run_type == Run::RT_Iteration) {
                m_single[name] = ms;
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto timeOf = [&](const std::string& name) {
            const auto median = m_median.find(name);
            if (median != m_median.end()) {
                return median->second;
            }
            const auto single = m_single.find(name);
            return single != m_single.end() ? single->second : -1.0;
        };
        for (const auto& [name, ms] : m_single) {
            if (name.rfind("Find/", 0) != 0) {
                continue;
            }
            const std::string text = name.substr(5);
            const double find = timeOf(name);
            const double grep = timeOf("grep/" + text);
            if (find > 0 && grep > 0) {
                std::printf("\"%s\": Find %.2f ms, grep %.2f ms, Find / grep %.2f\n", text.c_str(), find, grep,
                            find / grep);
            }
        }
    }

private:
    std::map<std::string, double> m_median;
    std::map<std::string, double> m_single;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);

    // A name in one entry of a hundred, typed in mixed case; and a month, in the time stamp
    // of one entry of twelve.
    for (const std::string text : {"aNNa", "dec"}) {
        benchmark::RegisterBenchmark(("Find/" + text).c_str(), BM_Find, text)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("grep/" + text).c_str(), BM_Grep, text)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    diary();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
