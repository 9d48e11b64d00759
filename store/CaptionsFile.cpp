#include "store/CaptionsFile.h"

#include <vector>

#include "platform/core/FileSystem.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberFolder.h"
#include "store/TextCodec.h"

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

std::array<std::string, 16> CaptionsFile::parseProtected(std::string_view data, const ProtectedFileContext& context) {
    std::array<std::string, 16> captions;
    forEachProtectedMemberLine(data, context, [&](std::uint64_t line, StoredLine::Kind kind, std::string_view bytes) {
        if (line <= MemberFolder::kPageCount && kind == StoredLine::Kind::Text) {
            captions[static_cast<std::size_t>(line)] = textFromStorable(bytes, context.keys.classicKey);
        }
    });
    for (int i = 1; i <= MemberFolder::kPageCount; ++i) {
        std::string& caption = captions[static_cast<std::size_t>(i)];
        if (caption.empty()) {
            caption = kNoCaption;
        }
    }
    return captions;
}

std::string CaptionsFile::protectedContent(std::array<std::string, 16>& captions, const ProtectedFileContext& context) {
    std::vector<StoredLine> lines;
    for (int i = 1; i <= MemberFolder::kPageCount; ++i) {
        std::string& caption = captions[static_cast<std::size_t>(i)];
        if (caption.empty()) {
            caption = kNoCaption;
        }
        lines.push_back(StoredLine{StoredLine::Kind::Text, storableText(caption, context.keys.classicKey)});
    }
    std::string content = ::protectedContent(lines, context);
    wipeLines(lines);
    return content;
}
