#include "store/EntryMask.h"

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberSession.h"

std::vector<std::string> readDecipheredLines(int key, const std::string& path) {
    const std::string data = platform::readFileBytes(path);
    std::vector<std::string> lines;
    platform::forEachLine(data, [&](std::string_view line) {
        try {
            lines.push_back(Cipher::decryptWithKey(line, key));
        } catch (const CipherError&) {
            throw platform::FileError(path, "Line " + std::to_string(lines.size() + 1) +
                                                " cannot be deciphered under this member's key.");
        }
    });
    return lines;
}

bool maskLine(std::vector<std::string>& lines, double target, const std::string& stamp) {
    for (std::size_t i = 1; i <= lines.size(); ++i) {
        if (static_cast<double>(i) == target) {
            // One mark for each character the member sees, whatever it takes to store.
            const std::string& line = lines[i - 1];
            std::string masked;
            masked.reserve(line.size() + stamp.size());
            for (std::size_t at = 0; at < line.size();) {
                masked += platform::nextCodePoint(line, at) == U' ' ? ' ' : 'X';
            }
            lines[i - 1] = masked + stamp;
            return true;
        }
    }
    return false;
}

std::string encipheredLines(int key, const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            content += Cipher::encryptWithKey(line, key);
        }
        content += "\r\n";
    }
    return content;
}
