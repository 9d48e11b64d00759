#include "store/FoundEntries.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <exception>
#include <iterator>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/core/FileSystem.h"
#include "platform/core/Wipe.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/OpenedPageCache.h"
#include "store/PageFile.h"
#include "store/PageSearch.h"
#include "store/StoredLines.h"

FoundEntries& FoundEntries::operator=(FoundEntries&& other) noexcept {
    if (this != &other) {
        wipe();
        m_entries = std::move(other.m_entries);
        m_pieces = std::move(other.m_pieces);
    }
    return *this;
}

FoundEntries::~FoundEntries() {
    wipe();
}

void FoundEntries::wipe() {
    for (Piece& piece : m_pieces) {
        platform::wipeBytes(piece.bytes.get(), piece.used);
    }
    m_pieces.clear();
    m_entries.clear();
}

void FoundEntries::add(int page, std::size_t entry, std::string_view text, std::size_t offset, std::size_t length) {
    // Pieces of 64 kB hold a thousand entries of the usual length.
    constexpr std::size_t kPiece = 64 * 1024;
    if (m_pieces.empty() || m_pieces.back().size - m_pieces.back().used < text.size()) {
        const std::size_t size = std::max(kPiece, text.size());
        m_pieces.push_back(Piece{std::make_unique_for_overwrite<char[]>(size), size, 0});
    }
    Piece& piece = m_pieces.back();
    char* at = piece.bytes.get() + piece.used;
    std::copy(text.begin(), text.end(), at);
    piece.used += text.size();
    m_entries.push_back(FoundEntry{page, entry, std::string_view(at, text.size()), offset, length});
}

void FoundEntries::append(FoundEntries&& more) {
    if (m_entries.empty()) {
        *this = std::move(more);
        return;
    }
    m_entries.insert(m_entries.end(), more.m_entries.begin(), more.m_entries.end());
    m_pieces.insert(m_pieces.end(), std::make_move_iterator(more.m_pieces.begin()),
                    std::make_move_iterator(more.m_pieces.end()));
    more.m_entries.clear();
    more.m_pieces.clear();
}

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
            platform::wipeKeepingRoom(bytes);
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
                platform::wipeKeepingRoom(opened.unkept[slot]); // a page that cannot be read has nothing to list
            }
        }
        platform::wipeKeepingRoom(data);
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
            platform::wipeKeepingRoom(opened.unkept[slot]);
            opened.pages[slot] = cache.find(page, identities[slot]);
        } else {
            opened.pages[slot] = opened.unkept[slot];
        }
    }
}

} // namespace

FoundEntries findEntries(const MemberSession& session, std::string_view searchText) {
    FoundEntries found;
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
        search.scan(pageBytes, [&](std::size_t entry, std::string_view text, std::size_t offset) {
            found.add(page, entry, text, offset, search.matchLength());
        });
    }
    platform::wipeKeepingRoom(content);
    return found;
}
