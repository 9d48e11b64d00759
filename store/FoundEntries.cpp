#include "store/FoundEntries.h"

#include <exception>

#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/PageSearch.h"

std::vector<FoundEntry> findEntries(const MemberSession& session, std::string_view searchText) {
    std::vector<FoundEntry> found;
    const PageSearch search(searchText, session.cipherKey());
    std::string content;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        try {
            platform::readFileBytes(session.pageFilePath(page), content);
        } catch (const std::exception&) {
            continue;
        }
        search.scan(content, [&](std::size_t entry, std::string_view text) {
            const auto match = platform::findIgnoringCase(text, searchText);
            found.push_back(
                FoundEntry{page, entry, std::string(text), match ? match->offset : 0, match ? match->length : 0});
        });
    }
    return found;
}
