#pragma once

#include <string>
#include <string_view>

// The member's password file: the key line (fixed shift), the password line and the marker
// line (both under the member key).
struct PasswordFile {
    static constexpr const char* kMarkerText = "usngubnrys";

    int key = 0;              // the member key, 100 to 130
    std::string passwordLine; // the password, still enciphered under key

    // Reads the file at path. Throws platform::FileError when it cannot be read, and
    // CipherError when it is shorter than three lines, its key line is not a key or its password
    // line is empty.
    static PasswordFile read(const std::string& path);
    // The same for the bytes of a password file.
    static PasswordFile parse(std::string_view data);

    // The three lines of a password file for key and password, each ended by CR LF.
    static std::string content(int key, std::string_view password);
};
