#pragma once

#include <stdexcept>
#include <string>

// Text that cannot be deciphered: a byte lies below the shift, so the text was not written by
// the program under this key (a damaged or hand-edited file, or another member's key).
class CipherError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};
