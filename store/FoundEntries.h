#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class MemberSession;

// An entry that holds the text searched for.
struct FoundEntry {
    int page = 0;           // 1 to 15
    std::size_t entry = 0;  // its number on the page, as the page view numbers it
    std::string_view text;  // the entry as the member wrote it, held by the FoundEntries it is in
    std::size_t offset = 0; // where the text searched for first stands in it, and its length,
    std::size_t length = 0; // counted as the page view counts (UTF-16 units)
};

// Entries found, in the order they were found. Their texts are kept together in a few large
// pieces of memory rather than one piece each, since a search can find tens of thousands; being
// the member's text, they are overwritten when they go.
class FoundEntries {
public:
    FoundEntries() = default;
    FoundEntries(FoundEntries&& other) noexcept = default;
    FoundEntries& operator=(FoundEntries&& other) noexcept;
    ~FoundEntries();

    std::size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const FoundEntry& operator[](std::size_t i) const { return m_entries[i]; }
    const FoundEntry& at(std::size_t i) const { return m_entries.at(i); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

    // Adds an entry after the others, with a copy of its text.
    void add(int page, std::size_t entry, std::string_view text, std::size_t offset, std::size_t length);
    // Adds the entries of more after these; their texts come with them and more is left empty.
    void append(FoundEntries&& more);

private:
    struct Piece {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    void wipe();

    std::vector<FoundEntry> m_entries;
    std::vector<Piece> m_pieces; // filled in order; a text never moves once it is in one
};

// Every entry of the logged-in member's pages that holds searchText, letter case ignored, in
// page order. A page that cannot be read has nothing to list. searchText must not be empty.
FoundEntries findEntries(const MemberSession& session, std::string_view searchText);
