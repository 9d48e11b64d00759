#include "store/FoundEntries.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/OpenedPageCache.h"
#include "store/PageFile.h"
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

namespace {

// Pages 1 to 15 of a protected diary as the classic form would hold them, for a search; nothing
// for a page that cannot be read. Each points into the session's cache, or into unkept for a page
// the cache does not keep (written too lately, no room), which goes wiped with them.
struct OpenedPages {
    std::array<std::optional<std::string_view>, MemberFolder::kPageCount> pages;
    std::array<std::string, MemberFolder::kPageCount> unkept;

    OpenedPages() = default;
    OpenedPages(const OpenedPages&) = delete;
    OpenedPages& operator=(const OpenedPages&) = delete;
    ~OpenedPages() {
        for (std::string& bytes : unkept) {
            wipeText(bytes);
        }
    }
};

// A page whose file is still the one the cache opened it from is taken from there; the others are
// opened and kept. The records of a whole diary take far longer to open than to search, so both
// cores open pages, one taking every other page.
void openPages(const MemberSession& session, OpenedPages& opened) {
    OpenedPageCache& cache = session.openedPages();
    std::vector<int> toOpen;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        if (const auto identity = platform::fileIdentity(session.pageFilePath(page))) {
            if (const auto kept = cache.find(page, *identity)) {
                opened.pages[static_cast<std::size_t>(page - 1)] = kept;
                continue;
            }
        }
        // Changed, gone or never opened: what was kept of it is not what the file holds now.
        cache.drop(page);
        toOpen.push_back(page);
    }
    std::array<platform::FileIdentity, MemberFolder::kPageCount> identities{};
    std::array<std::chrono::system_clock::time_point, MemberFolder::kPageCount> openedAt{};
    std::array<bool, MemberFolder::kPageCount> read{};
    auto open = [&](std::size_t first) {
        std::string data;
        for (std::size_t i = first; i < toOpen.size(); i += 2) {
            const int page = toOpen[i];
            const auto slot = static_cast<std::size_t>(page - 1);
            try {
                openedAt[slot] = std::chrono::system_clock::now();
                PageFile::readBytes(session.pageFilePath(page), data, identities[slot]);
                searchableClassicBytes(
                    data, session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)),
                    opened.unkept[slot]);
                read[slot] = true;
            } catch (const std::exception&) {
                wipeText(opened.unkept[slot]); // a page that cannot be read has nothing to list
            }
        }
        wipeText(data);
    };
    std::thread second;
    if (toOpen.size() > 1) {
        try {
            second = std::thread(open, 1);
        } catch (const std::system_error&) {
            open(1); // no second thread to be had: one does all
        }
    }
    open(0);
    if (second.joinable()) {
        second.join();
    }
    for (const int page : toOpen) {
        const auto slot = static_cast<std::size_t>(page - 1);
        if (!read[slot]) {
            continue;
        }
        if (cache.keep(page, identities[slot], openedAt[slot], opened.unkept[slot])) {
            wipeText(opened.unkept[slot]);
            opened.pages[slot] = cache.find(page, identities[slot]);
        } else {
            opened.pages[slot] = opened.unkept[slot];
        }
    }
}

} // namespace

std::vector<FoundEntry> findEntries(const MemberSession& session, std::string_view searchText) {
    std::vector<FoundEntry> found;
    const PageSearch search(searchText, session.cipherKey());
    OpenedPages opened;
    if (session.isProtected()) {
        // What the records hold is searched: the records themselves tell nothing of their text.
        openPages(session, opened);
    }
    std::string content;
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        std::string_view pageBytes;
        if (session.isProtected()) {
            const std::optional<std::string_view>& kept = opened.pages[static_cast<std::size_t>(page - 1)];
            if (!kept) {
                continue;
            }
            pageBytes = *kept;
        } else {
            try {
                PageFile::readBytes(session.pageFilePath(page), content);
            } catch (const std::exception&) {
                continue;
            }
            pageBytes = content;
        }
        search.scan(pageBytes, [&](std::size_t entry, std::string_view text) {
            const auto match = whereFound(text, searchText);
            found.push_back(
                FoundEntry{page, entry, std::string(text), match ? match->offset : 0, match ? match->length : 0});
        });
    }
    wipeText(content);
    return found;
}
