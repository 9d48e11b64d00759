#pragma once

#include <string>

#include "store/Cipher.h"
#include "store/MemberSession.h"

// The bytes of a page file holding n committed entries under key, as commits write them: an
// entry line, then an empty line.
inline std::string pageBytes(int entries, int key) {
    std::string out;
    for (int i = 0; i < entries; ++i) {
        const std::string entry =
            "Entry " + std::to_string(i) + ": went to the market; bought apples and pears (07Dec26, 09:05PM)";
        out += Cipher::encryptWithKey(entry, key);
        out += "\r\n\r\n";
    }
    return out;
}
