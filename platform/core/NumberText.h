#pragma once

#include <string>
#include <string_view>

namespace platform {

// A whole number as the user sees it: one leading space in the sign position for a number that
// is not negative (3 gives " 3", -3 gives "-3").
std::string str(long long number);

// A whole number as it is written straight into a text file: the sign position before the
// digits and one space after them (3 gives " 3 ").
std::string numberForFile(long long number);

// The leading number of a text. Blanks, tabs and line feeds are skipped wherever they occur;
// then an optional sign, digits with an optional decimal point and an optional exponent (E or D)
// are taken; "&H" and "&O" read hexadecimal and octal digits. Reading stops at the first other
// character, and text without a leading number gives 0. Never fails: an exponent beyond the
// range of a double gives an infinity.
double val(std::string_view text);

} // namespace platform
