#pragma once

#include <string>
#include <string_view>

// The program keeps all text as single bytes of the Windows-1252 code page, so that member
// files are the same bytes on every system. These helpers convert at the edges only.
namespace platform {

// Unicode code point of a Windows-1252 byte. The five bytes the code page leaves undefined map
// to the C1 controls of the same value, as Windows does, so every byte survives a round trip.
char32_t Cp1252ToUnicode(unsigned char byte);

// Windows-1252 byte of a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1252(char32_t codePoint);

// UTF-8 text of Windows-1252 bytes (the form file names take on the disk here).
std::string Cp1252ToUtf8(std::string_view text);

// Windows-1252 bytes of UTF-8 text; a character the code page cannot hold, or a byte that is
// not valid UTF-8, becomes "?". Sets *lossless to false when that happened.
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

} // namespace platform
