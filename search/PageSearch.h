#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Looks for a text in the stored entries of one page file, letter case ignored: each entry is
// deciphered under the member key, and both texts are upper-cased before they are compared.
// Entries are numbered as the page view numbers them: an empty line is no entry.
//
// An entry that cannot be deciphered under the key (a damaged or hand-edited line) keeps its
// number, so that the numbers of the entries after it stay those of the page view, but it is
// never tested or listed: its text is not known.
class PageSearch {
public:
    // Called for each entry that holds the text: its number on the page and its stored text.
    using Hit = std::function<void(std::size_t entry, std::string_view text)>;

    // searchText must not be empty.
    PageSearch(std::string_view searchText, int key);

    // Calls onHit for each entry of the page file content that holds the text, in page order.
    void Scan(std::string_view pageFile, const Hit& onHit) const;

private:
    std::string m_upper;
    int m_key;
};
