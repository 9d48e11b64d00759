#include "search/PageSearch.h"

#include "platform/core/AnsiText.h"
#include "platform/core/FileSystem.h"
#include "store/CipherError.h"
#include "store/Module1.h"

PageSearch::PageSearch(std::string_view searchText, int key) : m_upper(platform::UCase(searchText)), m_key(key) {
}

void PageSearch::Scan(std::string_view pageFile, const Hit& onHit) const {
    std::size_t entry = 0;
    platform::ForEachLine(pageFile, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        ++entry;
        std::string text;
        try {
            text = Module1::DecryptWithKey(line, m_key);
        } catch (const CipherError&) {
            return;
        }
        if (platform::InStr(platform::UCase(text), m_upper) > 0) {
            onHit(entry, text);
        }
    });
}
