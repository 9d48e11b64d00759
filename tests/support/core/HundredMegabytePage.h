#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fixture {

// The entry a page of a hundred megabytes is made of, over and over.
inline constexpr const char* kHundredMegabyteEntry = "Went to the market; bought apples and pears (07Dec26, 09:05PM)";

// Writes a page file of at least 100 MB at path: the entry above, enciphered under key, each
// followed by an empty line, as commits write them. Returns how many entries it holds. While
// one is made and used (from this call until release) no other test may make one: two would
// take more memory than a test machine has, so the holder waits for the other to release.
class HundredMegabytePage {
public:
    HundredMegabytePage(const std::string& path, int key);
    ~HundredMegabytePage();
    HundredMegabytePage(const HundredMegabytePage&) = delete;
    HundredMegabytePage& operator=(const HundredMegabytePage&) = delete;

    std::size_t entries() const { return m_entries; }

private:
    std::intptr_t m_lock = -1; // the open lock file
    std::size_t m_entries = 0;
};

} // namespace fixture
