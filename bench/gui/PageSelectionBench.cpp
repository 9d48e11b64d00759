#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/qt/WindowFont.h"

#include "bench/support/PageBytes.h"
#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/qt/PageView.h"
#include "platform/qt/TextBox.h"
#include "store/MemberPages.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "store/PasswordFile.h"

// Showing a large page in the real main window on the offscreen platform: the page selection
// reads and deciphers the page file, puts the display text into the page view and reloads the
// captions; the page view is then painted.

namespace {

// A memory figure of the process in MiB, as the kernel counts it: "VmHWM" the peak resident
// memory since the last resetPeakMemory(), "VmRSS" the resident memory now.
double memoryMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
        }
    }
    return 0;
}

void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

constexpr int kKey = 113;

// A member "Bench" whose page 1 holds n entries and page 2 one, in a folder of its own.
class BenchMember {
public:
    explicit BenchMember(int entries)
        : m_folder(std::filesystem::temp_directory_path() / ("jotterel-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_folder / "Bench");
        auto write = [&](const std::string& name, const std::string& bytes) {
            const std::string path = (m_folder / "Bench" / name).string();
            std::ofstream(path, std::ios::binary) << bytes;
            platform::setAttr(path, platform::kAttrHidden);
        };
        write(MemberFolder::kPasswordFile, PasswordFile::content(kKey, "Benc"));
        write(MemberFolder::kCaptionsFile, "");
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            write(MemberFolder::pageFileName(page), page == 1 ? pageBytes(entries, kKey) : pageBytes(1, kKey));
        }
    }
    ~BenchMember() { std::filesystem::remove_all(m_folder); }
    std::string folder() const { return m_folder.string(); }

private:
    std::filesystem::path m_folder;
};

// The main window logged in as the bench member and shown.
struct LoggedInWindow {
    explicit LoggedInWindow(const std::string& appPath) : module(appPath), form(module) {
        if (module.logIn("Bench", "Benc").outcome != MemberSession::LoginOutcome::LoggedIn) {
            throw std::runtime_error("the bench member cannot log in");
        }
        form.pageSelector->setCurrentIndex(1);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            throw std::runtime_error("the main window was not shown");
        }
    }
    MemberSession module;
    DiaryWindow form;
};

void BM_SelectLargePage(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    BenchMember member(entries);
    LoggedInWindow w(member.folder());
    for (auto _ : state) {
        state.PauseTiming();
        w.form.pageSelector->setCurrentIndex(1); // a small page, so that the next selection reloads
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w.form.pageSelector->setCurrentIndex(0);
        w.form.pageView->viewport()->repaint();
    }
    if (w.form.pageView->text().size() < static_cast<std::size_t>(entries) * 60) {
        state.SkipWithError("the page view does not hold the page");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * entries);
    state.counters["entries"] = entries;
}
BENCHMARK(BM_SelectLargePage)->Arg(250)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A page of about 100 MB (1.5 million entries), with the peak memory of the whole program while
// it is selected and painted, and what it holds once the page is shown.
void BM_SelectHundredMegabytePage(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    BenchMember member(entries);
    LoggedInWindow w(member.folder());
    double peak = 0;
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.form.pageSelector->setCurrentIndex(1);
        QCoreApplication::processEvents();
        resetPeakMemory();
        state.ResumeTiming();
        w.form.pageSelector->setCurrentIndex(0);
        w.form.pageView->viewport()->repaint();
        state.PauseTiming();
        peak = std::max(peak, memoryMiB("VmHWM"));
        held = std::max(held, memoryMiB("VmRSS"));
        state.ResumeTiming();
    }
    if (w.form.pageView->text().size() < static_cast<std::size_t>(entries) * 60) {
        state.SkipWithError("the page view does not hold the page");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * w.form.pageView->text().size());
    state.counters["entries"] = entries;
    state.counters["peak_MiB"] = peak;
    state.counters["held_MiB"] = held; // while the page is shown
}
BENCHMARK(BM_SelectHundredMegabytePage)->Arg(1500000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of a page selection, for the profile: reading the page, and filling the view.
void BM_ReadLargePage(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    BenchMember member(entries);
    MemberSession module(member.folder());
    if (module.logIn("Bench", "Benc").outcome != MemberSession::LoginOutcome::LoggedIn) {
        state.SkipWithError("the bench member cannot log in");
        return;
    }
    const std::string path = module.pageFilePath(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PageFile::read(path, module.cipherKey(), PageFile::Unreadable::Fail));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * entries);
}
BENCHMARK(BM_ReadLargePage)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FillPageView(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    BenchMember member(entries);
    LoggedInWindow w(member.folder());
    const std::string display =
        PageFile::read(w.module.pageFilePath(1), w.module.cipherKey(), PageFile::Unreadable::Fail).display;
    for (auto _ : state) {
        state.PauseTiming();
        w.form.pageView->setText({});
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w.form.pageView->setText(display);
        w.form.pageView->viewport()->repaint();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * entries);
}
BENCHMARK(BM_FillPageView)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same text in the multi-line text box the page view used to be, sized and set up as it was.
void BM_FillTextBox(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    BenchMember member(entries);
    LoggedInWindow w(member.folder());
    const std::string display = readMemberPage(w.module, 1, PageFile::Unreadable::Fail).display;
    platform::TextBox box;
    box.setFont(platform::namedFont("Courier New", 9));
    box.setLocked(true);
    box.setGeometry(w.form.pageView->geometry());
    box.show();
    if (!QTest::qWaitForWindowExposed(&box)) {
        state.SkipWithError("the text box was not shown");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        box.setText({});
        QCoreApplication::processEvents();
        state.ResumeTiming();
        box.setText(display);
        box.viewport()->repaint();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * entries);
}
BENCHMARK(BM_FillTextBox)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

namespace {

// Takes the message the main window shows and answers it at once, keeping the last one.
class MessageKeeper : public platform::Dialogs {
public:
    std::string last;
    int msgBox(const std::string& text, int, const std::string&) override {
        last = text;
        return platform::vbOK;
    }
    std::string inputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    void beep() override {}
};

long peakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Selecting a page whose file is far larger than a page may be (a sparse file of 1 GB): it is
// refused by its size with a message naming the page and its size, taking no memory for it.
void BM_SelectGigabytePage(benchmark::State& state) {
    BenchMember member(1);
    LoggedInWindow w(member.folder());
    std::filesystem::resize_file(w.module.pageFilePath(1), std::uintmax_t{1} << 30);
    MessageKeeper dialogs;
    platform::setUi(&dialogs);
    const long before = peakKilobytes();
    for (auto _ : state) {
        state.PauseTiming();
        w.form.pageSelector->setCurrentIndex(1);
        QCoreApplication::processEvents();
        dialogs.last.clear();
        state.ResumeTiming();
        w.form.pageSelector->setCurrentIndex(0);
    }
    platform::setUi(nullptr);
    if (dialogs.last.find("Page 1 cannot be shown.") != 0 || dialogs.last.find("1.0 GB") == std::string::npos) {
        state.SkipWithError("the page was not refused with its size");
    }
    state.counters["peak_growth_MB"] = static_cast<double>(peakKilobytes() - before) / 1024;
}
BENCHMARK(BM_SelectGigabytePage)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading a page of about 100 MB (1.4 million entries) into its display text, as selecting it
// does before the page view takes the text: time, and how far the peak of memory in use grows.
void BM_ReadHundredMegabytePage(benchmark::State& state) {
    BenchMember member(1);
    MemberSession module(member.folder());
    if (module.logIn("Bench", "Benc").outcome != MemberSession::LoginOutcome::LoggedIn) {
        state.SkipWithError("the bench member cannot log in");
        return;
    }
    const std::string path = module.pageFilePath(1);
    {
        // Written a part at a time, so that making it leaves no peak of its own.
        std::ofstream page(path, std::ios::binary);
        const std::string part = pageBytes(10000, kKey);
        for (int i = 0; i < 140; ++i) {
            page << part;
        }
    }
    const double fileMegabytes = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    const long before = peakKilobytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PageFile::read(path, module.cipherKey(), PageFile::Unreadable::Fail));
    }
    state.counters["file_MB"] = fileMegabytes;
    state.counters["peak_growth_MB"] = static_cast<double>(peakKilobytes() - before) / 1024;
}
BENCHMARK(BM_ReadHundredMegabytePage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
