#include <QAction>
#include <QComboBox>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

#include "app/Wiring.h"
#include "diary/DiaryWindow.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Launcher.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

namespace {

constexpr int kKey = 113;

// Says Yes to every question and takes the offered name.
class AgreeingDialogs : public platform::Dialogs {
public:
    int msgBox(const std::string&, int, const std::string&) override { return platform::vbYes; }
    std::string inputBox(const std::string&, const std::string&, const std::string& defaultText) override {
        return defaultText;
    }
    void beep() override {}
};

class NoPrograms : public platform::Launcher {
public:
    bool shell(const std::string&, int) override { return true; }
};

// A page of n committed entries as a commit writes them: an entry line, then an empty line.
std::string pageBytes(int page, int entries) {
    std::string out;
    for (int i = 0; i < entries; ++i) {
        const std::string entry = "Page " + std::to_string(page) + ", entry " + std::to_string(i) +
                                  ": went to the market; bought apples and pears (07Dec26, 09:05PM)";
        out += Cipher::encryptWithKey(entry, kKey);
        out += "\r\n\r\n";
    }
    return out;
}

// Export all pages of a member whose 15 pages hold range(0) entries each, through the main
// window and its menu item, as the member would.
void BM_ExportAllPages(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const std::filesystem::path app =
        std::filesystem::temp_directory_path() / ("jotterel-export-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(app / "Bench");
    MemberSession module(app.string());
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        const std::string path = module.memberFile("Bench", MemberFolder::pageFileName(page));
        platform::writeFileSafely(path, pageBytes(page, entries), platform::kAttrHidden);
    }
    platform::writeFileSafely(module.memberFile("Bench", MemberFolder::kCaptionsFile), "", platform::kAttrHidden);
    platform::writeFileSafely(module.memberFile("Bench", MemberFolder::kPasswordFile),
                              PasswordFile::content(kKey, "pw"), platform::kAttrHidden);
    if (module.logIn("Bench", "pw").outcome != MemberSession::LoginOutcome::LoggedIn) {
        state.SkipWithError("the bench member cannot log in");
        return;
    }

    AgreeingDialogs dialogs;
    platform::setUi(&dialogs);
    NoPrograms programs;
    platform::setPrograms(&programs);
    {
        DiaryWindow form(module);
        connectCommands(form);
        form.pageSelector->setCurrentIndex(6);
        form.show();
        for (auto _ : state) {
            form.exportAllPagesAction->trigger();
        }
        const auto bytes = std::filesystem::file_size(app / "Bench" / "All Pages.txt");
        state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * MemberFolder::kPageCount * entries);
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    }
    platform::setUi(nullptr);
    platform::setPrograms(nullptr);
    std::filesystem::remove_all(app);
}
BENCHMARK(BM_ExportAllPages)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
