#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class MemberSession;

// An entry that holds the text searched for.
struct FoundEntry {
    int page = 0;           // 1 to 15
    std::size_t entry = 0;  // its number on the page, as the page view numbers it
    std::string text;       // the entry as the member wrote it
    std::size_t offset = 0; // where the text searched for first stands in it, and its length,
    std::size_t length = 0; // counted as the page view counts (UTF-16 units)
};

// Every entry of the logged-in member's pages that holds searchText, letter case ignored, in
// page order. A page that cannot be read has nothing to list. searchText must not be empty.
std::vector<FoundEntry> findEntries(const MemberSession& session, std::string_view searchText);
