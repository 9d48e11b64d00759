#include "store/CaptionsFile.h"

#include <vector>

#include "platform/core/FileSystem.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberFolder.h"

std::array<std::string, 16> CaptionsFile::parse(std::string_view data, int key) {
    std::vector<std::string_view> lines;
    platform::forEachLine(data, [&](std::string_view line) {
        if (lines.size() < MemberFolder::kPageCount) {
            lines.push_back(line);
        }
    });
    std::array<std::string, 16> captions;
    for (int i = 1; i <= MemberFolder::kPageCount; ++i) {
        std::string caption;
        if (static_cast<std::size_t>(i) <= lines.size()) {
            try {
                caption = Cipher::decryptWithKey(lines[static_cast<std::size_t>(i - 1)], key);
            } catch (const CipherError&) {
                caption.clear();
            }
        }
        captions[static_cast<std::size_t>(i)] = caption.empty() ? kNoCaption : caption;
    }
    return captions;
}

std::string CaptionsFile::content(std::array<std::string, 16>& captions, int key) {
    std::string content;
    for (int i = 1; i <= MemberFolder::kPageCount; ++i) {
        std::string& caption = captions[static_cast<std::size_t>(i)];
        if (caption.empty()) {
            caption = kNoCaption;
        }
        content += Cipher::encryptWithKey(caption, key);
        content += "\r\n";
    }
    return content;
}
