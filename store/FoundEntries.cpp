#include "store/FoundEntries.h"

#include <algorithm>
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

FoundEntries findEntries(const MemberSession& session, std::string_view searchText) {
    FoundEntries found;
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
            found.add(page, entry, text, offset, search.matchLength());
        });
        if (session.isProtected()) {
            wipeText(content);
        }
    }
    wipeText(content);
    return found;
}
