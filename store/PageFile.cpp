#include "store/PageFile.h"

#include <charconv>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/TextCodec.h"

ReadablePage PageFile::read(const std::string& path, int key, Unreadable policy) {
    std::string data;
    try {
        data = platform::readFileBytes(path);
    } catch (const platform::FileError& e) {
        if (policy == Unreadable::Fail) {
            throw;
        }
        ReadablePage page;
        page.display = "(the page file cannot be read: " + e.reason() + ")\r\n";
        page.fileUnreadable = true;
        return page;
    }
    return parse(data, key, policy);
}

ReadablePage PageFile::parse(std::string_view data, int key, Unreadable policy) {
    ReadablePage page;
    std::string& display = page.display;
    // Each line grows by at most "[", the number, "] ", a tab and CR LF.
    display.reserve(data.size() + data.size() / 4 + 64);
    std::size_t count = 0;
    std::size_t lineNumber = 0;
    platform::forEachLine(data, [&](std::string_view line) {
        ++lineNumber;
        if (!line.empty()) {
            ++count;
            char number[24];
            const auto [end, ec] = std::to_chars(number, number + sizeof number, count);
            (void)ec;
            display += '[';
            display.append(number, end);
            display += "] \t";
            const std::size_t at = display.size();
            display.resize(at + line.size());
            char* plain = display.data() + at;
            if (!Cipher::lowerInto(plain, line.data(), line.size(), key)) {
                if (policy == Unreadable::Fail) {
                    throw CipherError("Line " + std::to_string(lineNumber) +
                                      " of the page file cannot be deciphered under this member's key.");
                }
                display.resize(at);
                display += "(line " + std::to_string(lineNumber) + " of the page file cannot be read)";
                page.unreadableLines.push_back(lineNumber);
            } else if (storableNeedsDecoding(std::string_view(plain, line.size()))) {
                // Most entries are plain ASCII and already are their text; the rest are turned
                // back into Unicode, references included.
                const std::string text = textFromStorable(std::string_view(plain, line.size()), key);
                display.resize(at);
                display += text;
            }
        }
        display += "\r\n";
    });
    return page;
}
