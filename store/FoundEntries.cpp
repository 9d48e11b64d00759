#include "store/FoundEntries.h"

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/core/FileSystem.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "store/PageSearch.h"
#include "store/StoredLines.h"

namespace {

// Page 1 to 15 of a protected diary opened into the bytes the classic form would hold; nothing
// for a page that cannot be read. The records of a whole diary take far longer to open than to
// search, so both cores open pages, one taking every other page.
std::vector<std::optional<std::string>> openedPages(const MemberSession& session) {
    std::vector<std::optional<std::string>> pages(MemberFolder::kPageCount);
    auto open = [&](int first) {
        std::string data;
        for (int page = first; page <= MemberFolder::kPageCount; page += 2) {
            try {
                platform::readFileBytes(session.pageFilePath(page), data);
                std::string opened;
                searchableClassicBytes(
                    data, session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)), opened);
                pages[static_cast<std::size_t>(page - 1)] = std::move(opened);
            } catch (const std::exception&) {
                // a page that cannot be read has nothing to list
            }
        }
        wipeText(data);
    };
    std::thread second;
    try {
        second = std::thread(open, 2);
    } catch (const std::system_error&) {
        open(2); // no second thread to be had: one does all
    }
    open(1);
    if (second.joinable()) {
        second.join();
    }
    return pages;
}

} // namespace

std::vector<FoundEntry> findEntries(const MemberSession& session, std::string_view searchText) {
    std::vector<FoundEntry> found;
    const PageSearch search(searchText, session.cipherKey());
    std::vector<std::optional<std::string>> opened;
    if (session.isProtected()) {
        // Every record is opened and the text it holds searched: the records themselves tell
        // nothing of their text.
        opened = openedPages(session);
    }
    std::string content;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        if (session.isProtected()) {
            std::optional<std::string>& pageBytes = opened[static_cast<std::size_t>(page - 1)];
            if (!pageBytes) {
                continue;
            }
            content.swap(*pageBytes);
            wipeText(*pageBytes);
        } else {
            try {
                PageFile::readBytes(session.pageFilePath(page), content);
            } catch (const std::exception&) {
                continue;
            }
        }
        search.scan(content, [&](std::size_t entry, std::string_view text, std::size_t offset) {
            found.push_back(FoundEntry{page, entry, std::string(text), offset, search.matchLength()});
        });
        if (session.isProtected()) {
            wipeText(content);
        }
    }
    wipeText(content);
    return found;
}
