#pragma once

#include <string>
#include <string_view>

namespace platform {

// Upper case of Windows-1252 text as a Western system gives it: a to z, the accented letters
// of the code page (à to þ but ÷, š, œ, ž, ÿ) become their capitals; ß and µ stay as they are.
std::string UCase(std::string_view text);

// 1-based position of the first occurrence of what in text, 0 when there is none. An empty
// what is found at position 1.
std::size_t InStr(std::string_view text, std::string_view what);

} // namespace platform
