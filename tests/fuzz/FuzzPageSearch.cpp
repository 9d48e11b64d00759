// Any bytes as a page file and any text to find: the page scan of Find lists exactly the
// entries that a plain search lists, one entry after the other (decipher, look for the text
// with letter case ignored), with the same numbers, texts and places of the text, in the same
// order, whatever the width of the loops over the stored bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberSession.h"
#include "store/PageSearch.h"

namespace {

using Hits = std::vector<std::tuple<std::size_t, std::string, std::size_t>>;

Hits plainSearch(std::string_view page, std::string_view text, int key) {
    Hits hits;
    std::size_t entry = 0;
    platform::forEachLine(page, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        ++entry;
        std::string plain;
        try {
            plain = Cipher::decryptWithKey(line, key);
        } catch (const CipherError&) {
            return;
        }
        if (const auto at = platform::findIgnoringCase(plain, text)) {
            hits.emplace_back(entry, plain, at->offset);
        }
    });
    return hits;
}

} // namespace

// The first byte chooses the key, the second the length of the text to find, which follows;
// the rest is the page.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const int key = Cipher::kMinKey + data[0] % (Cipher::kMaxKey - Cipher::kMinKey + 1);
    const std::size_t length = 1 + data[1] % 16;
    if (size < 2 + length) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 2), length);
    const std::string_view page(reinterpret_cast<const char*>(data + 2 + length), size - 2 - length);

    const Hits expected = plainSearch(page, text, key);
    for (const byteScan::Width width : {byteScan::Width::Widest, byteScan::Width::Sixteen, byteScan::Width::One}) {
        Hits scanned;
        PageSearch(text, key, width).scan(page, [&](std::size_t entry, std::string_view found, std::size_t offset) {
            scanned.emplace_back(entry, std::string(found), offset);
        });
        if (scanned != expected) {
            __builtin_trap();
        }
    }
    return 0;
}
