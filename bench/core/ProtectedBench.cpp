// The protected form: a login (the key derivation at the program's own parameters), opening every
// record of a full diary, and Protect and Unprotect of a diary of 15 pages of 2,000 entries (the
// key derivation left out: it is the login's cost, measured on its own).
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

#include "bench/support/PageBytes.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/CaptionsFile.h"
#include "store/Cipher.h"
#include "store/DiaryConversion.h"
#include "store/MemberFolder.h"
#include "store/PageSearch.h"
#include "store/PasswordFile.h"
#include "store/ProtectedPasswordFile.h"
#include "store/StoredLines.h"
#include <sodium.h>

namespace {

constexpr int kKey = 113;

void BM_ProtectedLogin(benchmark::State& state) {
    const DiaryKeys keys = DiaryKeys::create(kKey, "Correct Horse", KdfParameters::forNewDiary());
    const std::string file = ProtectedPasswordFile::content(keys, ConversionState::Protected);
    for (auto _ : state) {
        const auto opened = ProtectedPasswordFile::parse(file).open("correct horse");
        if (!opened) {
            state.SkipWithError("the password did not open the file");
        }
    }
    state.counters["MiB"] = static_cast<double>(keys.kdf.memory()) / (1024 * 1024);
    state.counters["passes"] = static_cast<double>(keys.kdf.passes());
}
BENCHMARK(BM_ProtectedLogin)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A member folder of fifteen full pages in a temporary folder.
class BenchFolder {
public:
    explicit BenchFolder(int entries)
        : m_path((std::filesystem::temp_directory_path() / ("jotterel-protected-bench-" + std::to_string(::getpid())))
                     .string()) {
        std::filesystem::create_directories(m_path);
        write(MemberFolder::kPasswordFile, PasswordFile::content(kKey, "Correct Horse"));
        write(MemberFolder::kCaptionsFile, "");
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            write(MemberFolder::pageFileName(page), pageBytes(entries, kKey));
        }
    }
    ~BenchFolder() { std::filesystem::remove_all(m_path); }
    const std::string& path() const { return m_path; }

private:
    void write(const std::string& name, const std::string& bytes) {
        platform::writeFileSafely(platform::joinPath(m_path, name), bytes, platform::kAttrHidden);
    }
    std::string m_path;
};

void BM_ProtectAndUnprotect(benchmark::State& state) {
    BenchFolder folder(static_cast<int>(state.range(0)));
    // The cheapest derivation libsodium allows: its time is the login's, measured above.
    const DiaryKeys keys = DiaryKeys::create(
        kKey, "Correct Horse",
        *KdfParameters::fromStored(KdfParameters::kArgon2id13, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN));
    for (auto _ : state) {
        protectDiary(folder.path(), keys);
        unprotectDiary(folder.path(), keys);
    }
    state.counters["entries"] = static_cast<double>(state.range(0) * MemberFolder::kPageCount);
}
BENCHMARK(BM_ProtectAndUnprotect)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenEveryRecord(benchmark::State& state) {
    BenchFolder folder(static_cast<int>(state.range(0)));
    const DiaryKeys keys = DiaryKeys::create(
        kKey, "Correct Horse",
        *KdfParameters::fromStored(KdfParameters::kArgon2id13, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN));
    protectDiary(folder.path(), keys);
    std::string data;
    std::size_t texts = 0;
    for (auto _ : state) {
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            const char* name = MemberFolder::pageFileName(page);
            platform::readFileBytes(platform::joinPath(folder.path(), name), data);
            forEachProtectedMemberLine(
                data, ProtectedFileContext{keys, ConversionState::Protected, ProtectedFileKind::Page, name},
                [&](std::uint64_t, StoredLine::Kind kind, std::string_view) {
                    texts += kind == StoredLine::Kind::Text;
                });
        }
    }
    benchmark::DoNotOptimize(texts);
    state.counters["entries"] = static_cast<double>(state.range(0) * MemberFolder::kPageCount);
}
BENCHMARK(BM_OpenEveryRecord)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Find's work on protected pages without the windows: every record opened into the classic
// bytes, then the scan of the classic pages.
void BM_SearchProtectedPages(benchmark::State& state) {
    BenchFolder folder(static_cast<int>(state.range(0)));
    const DiaryKeys keys = DiaryKeys::create(
        kKey, "Correct Horse",
        *KdfParameters::fromStored(KdfParameters::kArgon2id13, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN));
    protectDiary(folder.path(), keys);
    const PageSearch search("aPPles", kKey);
    std::string data;
    std::string classic;
    std::size_t hits = 0;
    for (auto _ : state) {
        for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
            const char* name = MemberFolder::pageFileName(page);
            platform::readFileBytes(platform::joinPath(folder.path(), name), data);
            searchableClassicBytes(
                data, ProtectedFileContext{keys, ConversionState::Protected, ProtectedFileKind::Page, name}, classic);
            search.scan(classic, [&](std::size_t, std::string_view, std::size_t) { ++hits; });
        }
    }
    benchmark::DoNotOptimize(hits);
    state.counters["entries"] = static_cast<double>(state.range(0) * MemberFolder::kPageCount);
}
BENCHMARK(BM_SearchProtectedPages)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
