#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "bench/support/PageBytes.h"
#include "platform/core/FileSystem.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"

namespace {

constexpr int kKey = 113;

void BM_Decipher(benchmark::State& state) {
    // The entry lines of the page without their line ends, deciphered as one text.
    std::string text = pageBytes(static_cast<int>(state.range(0)), kKey);
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    for (auto _ : state) {
        std::string plain = Cipher::decryptWithKey(text, kKey);
        benchmark::DoNotOptimize(plain.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Decipher)->Arg(250)->Arg(20000)->Arg(200000);

void BM_ReadPage(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / ("jotterel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "FGZISKL4").string();
    const std::string bytes = pageBytes(static_cast<int>(state.range(0)), kKey);
    std::ofstream(path, std::ios::binary) << bytes;
    for (auto _ : state) {
        std::string display = PageFile::parse(platform::readFileBytes(path), kKey, PageFile::Unreadable::Fail).display;
        benchmark::DoNotOptimize(display.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["entries"] = static_cast<double>(state.range(0));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadPage)->Arg(250)->Arg(20000)->Arg(200000)->Unit(benchmark::kMicrosecond);

} // namespace
