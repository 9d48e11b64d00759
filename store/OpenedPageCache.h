#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/core/FileSystem.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFolder.h"

// The pages of the logged-in member's protected diary as Find last opened them: for each page the
// bytes the classic form would hold, in guarded memory, with the identity of the file they were
// opened from. Opening every record takes far longer than searching what they hold, so a Find
// opens again only the pages whose files changed. Every write the program makes to a page drops
// it, and the session empties the cache whenever the member, the keys or the form of the diary
// change; the identity catches a page changed behind the program's back. What is dropped is
// wiped.
class OpenedPageCache {
public:
    // The most bytes kept at once: pages past it are opened anew at each Find, so that a diary
    // of huge pages does not hold its whole opened text for the session.
    static constexpr std::size_t kDefaultRoom = std::size_t{1} << 30;

    OpenedPageCache() = default;
    // What other kept goes with it; what was kept here is wiped.
    OpenedPageCache(OpenedPageCache&& other) noexcept;
    OpenedPageCache& operator=(OpenedPageCache&& other) noexcept;

    // The bytes of page 1 to 15 when they were opened from a file of this identity.
    std::optional<std::string_view> find(int page, const platform::FileIdentity& identity) const;

    // A page is kept only when its file was last written at least this long before it was
    // opened: a later write within the same step of the file system's clock could leave the
    // file's identity as it was.
    static constexpr std::chrono::seconds kSettled{2};

    // Keeps a copy of the bytes of page 1 to 15, opened at openedAt (taken before the file was
    // opened) from the file of this identity, in place of what was kept for it. False, with
    // nothing kept for the page, for a file written too lately to be trusted, when there is no
    // room left, or no guarded memory to be had: the caller then searches its own copy.
    bool keep(int page, const platform::FileIdentity& identity, std::chrono::system_clock::time_point openedAt,
              std::string_view bytes);

    void drop(int page);
    void clear();

    std::size_t pagesKept() const;
    std::size_t bytesKept() const { return m_bytesKept; }

    // The most bytes kept at once from now on; what is kept already stays.
    void setRoom(std::size_t bytes) { m_room = bytes; }

private:
    struct Page {
        platform::FileIdentity identity;
        GuardedBuffer bytes;
    };
    std::optional<Page>& slot(int page);
    const std::optional<Page>& slot(int page) const;

    std::array<std::optional<Page>, MemberFolder::kPageCount> m_pages;
    std::size_t m_bytesKept = 0;
    std::size_t m_room = kDefaultRoom;
};
