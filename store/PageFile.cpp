#include "store/PageFile.h"

#include <charconv>
#include <new>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Wipe.h"
#include "store/Cipher.h"
#include "store/CipherError.h"

void PageFile::readBytes(const std::string& path, std::string& data) {
    try {
        platform::readFileBytes(path, data, kMaxBytes);
    } catch (const std::bad_alloc&) {
        data = std::string();
        throw platform::FileError(path, "there is not enough memory to read the file");
    }
}

ReadablePage PageFile::read(const std::string& path, int key, Unreadable policy) {
    std::string data;
    try {
        readBytes(path, data);
    } catch (const platform::FileError& e) {
        if (policy == Unreadable::Fail) {
            throw;
        }
        ReadablePage page;
        page.display = "(the page file cannot be read: " + e.reason() + ")\r\n";
        page.fileUnreadable = true;
        return page;
    }
    // The bytes are the page under no more than a shift: they go from memory with the page read.
    try {
        ReadablePage page = parse(data, key, policy);
        platform::wipe(data);
        return page;
    } catch (const std::bad_alloc&) {
        platform::wipe(data);
        throw platform::FileError(path, "there is not enough memory to show the page");
    } catch (...) {
        platform::wipe(data);
        throw;
    }
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
            if (!Cipher::appendDeciphered(display, line, key)) {
                if (policy == Unreadable::Fail) {
                    throw CipherError("Line " + std::to_string(lineNumber) +
                                      " of the page file cannot be deciphered under this member's key.");
                }
                display += "(line " + std::to_string(lineNumber) + " of the page file cannot be read)";
                page.unreadableLines.push_back(lineNumber);
            }
        }
        display += "\r\n";
    });
    return page;
}
