#include "store/FoundEntries.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/PageSearch.h"
#include "store/StoredLines.h"

namespace {

bool isAscii(std::string_view text) {
    unsigned char any = 0;
    for (const char c : text) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where needle first stands in text. Most entries and search texts are plain ASCII, whose letter
// case folds as Unicode folds it and whose bytes each count one, as the page view counts.
std::optional<platform::Occurrence> whereFound(std::string_view text, std::string_view needle) {
    if (!isAscii(text) || !isAscii(needle)) {
        return platform::findIgnoringCase(text, needle);
    }
    const auto at = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                [](char a, char b) { return asciiLower(a) == asciiLower(b); });
    if (at == text.end() && !needle.empty()) {
        return std::nullopt;
    }
    return platform::Occurrence{static_cast<std::size_t>(at - text.begin()), needle.size()};
}

} // namespace

std::vector<FoundEntry> findEntries(const MemberSession& session, std::string_view searchText) {
    std::vector<FoundEntry> found;
    const PageSearch search(searchText, session.cipherKey());
    std::string content;
    std::string opened;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        try {
            platform::readFileBytes(session.pageFilePath(page), content);
            if (session.isProtected()) {
                // Every record is opened into the bytes the classic form would hold, and those
                // are searched: the records themselves tell nothing of their text.
                searchableClassicBytes(
                    content, session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)),
                    opened);
                content.swap(opened);
            }
        } catch (const std::exception&) {
            continue;
        }
        search.scan(content, [&](std::size_t entry, std::string_view text) {
            const auto match = whereFound(text, searchText);
            found.push_back(
                FoundEntry{page, entry, std::string(text), match ? match->offset : 0, match ? match->length : 0});
        });
    }
    wipeText(content);
    wipeText(opened);
    return found;
}
