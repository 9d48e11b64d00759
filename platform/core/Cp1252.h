#pragma once

#include <string>
#include <string_view>

// Member files hold Windows-1252 bytes, the same on every system; inside, the program's text is
// Unicode (UTF-8). These convert between the two.
namespace platform {

// Unicode code point of a Windows-1252 byte. The five bytes the code page leaves undefined map
// to the C1 controls of the same value, as Windows does, so every byte survives a round trip.
char32_t cp1252ToUnicode(unsigned char byte);

// Windows-1252 byte of a code point, or -1 when the code page cannot hold it.
int unicodeToCp1252(char32_t codePoint);

// UTF-8 text of Windows-1252 bytes (the form file names take on the disk here).
std::string cp1252ToUtf8(std::string_view text);

// Windows-1252 bytes of UTF-8 text; a character the code page cannot hold, or a byte that is
// not valid UTF-8, becomes "?". Sets *lossless to false when that happened.
std::string utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

// The bytes of a plain text file that the desktop's text editors read: UTF-8 here, the text as
// it is; on Windows the ANSI code page (Windows-1252), as exports have always been there.
std::string textFileBytes(std::string_view text);

} // namespace platform
