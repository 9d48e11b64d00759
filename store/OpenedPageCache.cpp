#include "store/OpenedPageCache.h"

#include <new>
#include <utility>

OpenedPageCache::OpenedPageCache(OpenedPageCache&& other) noexcept
    : m_pages(std::move(other.m_pages)), m_bytesKept(std::exchange(other.m_bytesKept, 0)), m_room(other.m_room) {
    other.m_pages = {};
}

OpenedPageCache& OpenedPageCache::operator=(OpenedPageCache&& other) noexcept {
    if (this != &other) {
        m_pages = std::move(other.m_pages);
        other.m_pages = {};
        m_bytesKept = std::exchange(other.m_bytesKept, 0);
        m_room = other.m_room;
    }
    return *this;
}

std::optional<std::string_view> OpenedPageCache::find(int page, const platform::FileIdentity& identity) const {
    const std::optional<Page>& kept = slot(page);
    if (!kept || !(kept->identity == identity)) {
        return std::nullopt;
    }
    return kept->bytes.view();
}

bool OpenedPageCache::keep(int page, const platform::FileIdentity& identity,
                           std::chrono::system_clock::time_point openedAt, std::string_view bytes) {
    drop(page);
    using std::chrono::nanoseconds;
    const auto settledBefore =
        std::chrono::duration_cast<nanoseconds>((openedAt - kSettled).time_since_epoch()).count();
    if (identity.modified > settledBefore) {
        return false;
    }
    if (m_bytesKept > m_room || bytes.size() > m_room - m_bytesKept) {
        return false;
    }
    try {
        slot(page) = Page{identity, GuardedBuffer::copyOf(bytes)};
    } catch (const std::bad_alloc&) {
        return false; // no guarded memory left: the page is opened at each Find, as without the cache
    }
    m_bytesKept += bytes.size();
    return true;
}

void OpenedPageCache::drop(int page) {
    std::optional<Page>& kept = slot(page);
    if (kept) {
        m_bytesKept -= kept->bytes.size();
        kept.reset(); // the guarded memory is wiped as it goes
    }
}

void OpenedPageCache::clear() {
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        drop(page);
    }
}

std::size_t OpenedPageCache::pagesKept() const {
    std::size_t n = 0;
    for (const std::optional<Page>& kept : m_pages) {
        n += kept ? 1 : 0;
    }
    return n;
}

std::optional<OpenedPageCache::Page>& OpenedPageCache::slot(int page) {
    return m_pages.at(static_cast<std::size_t>(page - 1));
}

const std::optional<OpenedPageCache::Page>& OpenedPageCache::slot(int page) const {
    return m_pages.at(static_cast<std::size_t>(page - 1));
}
