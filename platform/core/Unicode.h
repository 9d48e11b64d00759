#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text inside the program is Unicode, held as UTF-8. These are the few things the program needs
// to do with it character by character.
namespace platform {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character that starts at text[i], moving i past it. A byte that starts no valid UTF-8
// sequence gives U+FFFD and moves i by one, so any bytes can be walked.
char32_t nextCodePoint(std::string_view text, std::size_t& i);

// Appends the UTF-8 form of c.
void appendUtf8(std::string& out, char32_t c);

// How many characters text holds (what a member counts: an accented letter or a character
// outside the basic plane is one).
std::size_t characterCount(std::string_view text);

// The first n characters of text, or the whole text when it is shorter.
std::string firstCharacters(std::string_view text, std::size_t n);

// Unicode's simple case folding of one character: "K" and "k", "Ö" and "ö", "Σ", "σ" and "ς" all
// fold to the same character, in every language and whatever the system's locale.
char32_t foldCase(char32_t c);

// The same for every character of a text.
std::string foldCase(std::string_view text);

// Where needle first occurs in text, letter case ignored as FoldCase ignores it: its offset and
// length counted in UTF-16 units, as text boxes count them. An empty needle occurs at 0.
struct Occurrence {
    std::size_t offset = 0;
    std::size_t length = 0;
};
std::optional<Occurrence> findIgnoringCase(std::string_view text, std::string_view needle);

} // namespace platform
