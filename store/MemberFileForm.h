#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Which form a member file is in, told by its first bytes alone, so that a folder half-way
// through a conversion is read file by file as each is. A classic key line is all bytes of 128
// or more and every byte of a classic page or captions line is at least the member key (100 or
// more); a protected file starts with an ASCII header whose every byte is below 100.
enum class MemberFileForm {
    Empty,     // no bytes: a cleared page is empty in either form
    Classic,   // the character shift
    Protected, // starts with "JOTTEREL-": a header line, then sealed records
};

MemberFileForm memberFileForm(std::string_view data);

enum class ProtectedFileKind { Password, Captions, Page };

// The protected format version this program reads and writes.
constexpr unsigned kProtectedFormatVersion = 1;

// The header line of a protected file of this kind, without its line end:
// "JOTTEREL-PASSWORD 1", "JOTTEREL-CAPTIONS 1" or "JOTTEREL-PAGE 1".
std::string protectedHeader(ProtectedFileKind kind);

// Checks the header line of data, a file in the protected form, for this kind of file and
// returns where the line after it starts. Throws ProtectedFileError: NewerVersion for the right
// magic with a version this program does not know, Damaged for anything else.
std::size_t checkProtectedHeader(std::string_view data, ProtectedFileKind kind);
