// Any bytes as a page file: showing it either gives the numbered text or reports that a line
// cannot be deciphered, and never reads or writes out of bounds; every non-empty line is one
// numbered entry. Masking an entry of a page
// that can be shown keeps its lines: as many, in the same places, all of them readable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileSystem.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/EntryMask.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int key = Cipher::kMinKey + data[0] % (Cipher::kMaxKey - Cipher::kMinKey + 1);
    const int item = data[1]; // the item number a member might type
    const std::string_view page(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string display;
    try {
        display = PageFile::parse(page, key, PageFile::Unreadable::Fail).display;
    } catch (const CipherError&) {
        return 0;
    }
    // Every line of the page gives one line of the display, and every non-empty line one
    // numbered entry: "[n] ", a tab and the line's text, numbered from 1 without a gap.
    std::size_t at = 0;
    std::size_t entries = 0;
    std::size_t nonEmpty = 0;
    platform::forEachLine(page, [&](std::string_view line) {
        if (!line.empty()) {
            ++nonEmpty;
            const std::string shown = "[" + std::to_string(++entries) + "] \t" + Cipher::decryptWithKey(line, key);
            if (display.compare(at, shown.size(), shown) != 0) {
                __builtin_trap();
            }
            at += shown.size();
        }
        if (display.compare(at, 2, "\r\n") != 0) {
            __builtin_trap();
        }
        at += 2;
    });
    if (at != display.size() || entries != nonEmpty) {
        __builtin_trap();
    }
    std::vector<std::string> lines;
    platform::forEachLine(page, [&](std::string_view line) { lines.push_back(Cipher::decryptWithKey(line, key)); });
    const std::size_t count = lines.size();
    maskLine(lines, 2.0 * item - 1, " (07Dec26, 09:05PM)");
    const std::string written = encipheredLines(key, lines);
    std::size_t reread = 0;
    platform::forEachLine(written, [&](std::string_view line) {
        Cipher::decryptWithKey(line, key); // throws, and so fails the run, if a line cannot be read back
        ++reread;
    });
    if (reread != count) {
        __builtin_trap();
    }
    return 0;
}
