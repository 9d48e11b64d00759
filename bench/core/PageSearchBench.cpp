#include <benchmark/benchmark.h>
#include <string>

#include "store/Cipher.h"
#include "store/PageSearch.h"

// Find's scan of one stored page, without reading the file or listing the hits: a page of 20,000
// entries whose time stamps name a month each, one entry in twelve holding "Dec", and one in a
// hundred the name Anna.

namespace {

constexpr int kKey = 113;
constexpr int kEntries = 20000;

std::string storedPage() {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string out;
    for (int i = 0; i < kEntries; ++i) {
        const std::string entry = std::string("walked with the dog in the park, ") + (i % 100 == 7 ? "Anna" : "Tom") +
                                  " called about dinner (" + std::to_string(1 + i % 28) + months[i % 12] +
                                  "26, 09:05PM)";
        out += Cipher::encryptWithKey(entry, kKey);
        out += "\r\n\r\n";
    }
    return out;
}

void BM_ScanPage(benchmark::State& state, const std::string& text) {
    const std::string page = storedPage();
    const PageSearch search(text, kKey);
    std::size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        search.scan(page, [&](std::size_t, std::string_view found, std::size_t) {
            benchmark::DoNotOptimize(found.data());
            ++hits;
        });
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_ScanPage, month, std::string("dec"));
BENCHMARK_CAPTURE(BM_ScanPage, name, std::string("aNNa"));

} // namespace
