#pragma once

#include <string>
#include <string_view>

// The one place where the member's text meets what the member files hold. Inside the program
// text is Unicode (UTF-8); the files hold Windows-1252 bytes under the member key's shift, and
// the shift can store only the codes up to 255 minus the key. A character the key cannot store
// (outside Windows-1252, or above that limit) is written as the reference "&#N;", N its code
// point in decimal, made of characters every key stores: nothing a member types is lost, and
// text the key can store is written byte for byte as before.

// True when Windows-1252 text read from a file is not its text as it stands: it holds a byte
// above ASCII or may hold a reference. Most entries are plain ASCII and need no decoding.
bool storableNeedsDecoding(std::string_view storable);

// True when key stores c as a character of its own.
bool keyStores(char32_t c, int key);

// The reference "&#N;" that stands for c.
std::string referenceText(char32_t c);

// The Windows-1252 text that stands for text under key, before the shift.
std::string storableText(std::string_view text, int key);

// The text back from Windows-1252 text read under key (the shift already taken away). Only a
// reference to a character the key could not have stored is turned back; any other "&#N;"
// was typed as it stands.
std::string textFromStorable(std::string_view storable, int key);
