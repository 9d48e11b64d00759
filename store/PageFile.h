#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileSystem.h"
#include "store/StoredLines.h"

// A page as far as it can be read: its display text, as the page view shows it ("[n] " and a
// tab before each entry, an empty line for each empty line of the file, CR LF after every
// line), and where it could not be read.
struct ReadablePage {
    std::string display;
    std::vector<std::size_t> unreadableLines; // file lines, counted from 1, that cannot be deciphered
    bool fileUnreadable = false;              // the page file itself cannot be read
    bool whole() const { return unreadableLines.empty() && !fileUnreadable; }
};

// The one place where a page file becomes text: reading it, numbering its entries (an empty
// line is no entry) and deciphering them under the member key.
class PageFile {
public:
    // What becomes of what cannot be read.
    enum class Unreadable {
        Fail, // the page cannot be shown: throws platform::FileError or CipherError
        Mark, // a copy of the page outside the diary: a line that cannot be deciphered keeps its
              // number and says so instead of its text; a file that cannot be read at all gives
              // one line that says why
    };

    // The largest page file that is read. A page is shown whole, and its text of record is
    // held in memory (and again in what export writes); 256 MB is about four million entries,
    // more than a member writes in a lifetime, while a page of it still fits in the memory of an
    // ordinary desktop with room to spare.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{256} << 20;

    // The bytes of the page file at path, into data: a larger file than kMaxBytes is refused by
    // its size before any of it is read (platform::FileTooLarge), and a file the memory cannot
    // hold is refused with a platform::FileError that says so.
    static void readBytes(const std::string& path, std::string& data);
    // The same, with the identity of the file the bytes were read from.
    static void readBytes(const std::string& path, std::string& data, platform::FileIdentity& identity);

    static ReadablePage read(const std::string& path, int key, Unreadable policy);
    // The same for the bytes of a page file.
    static ReadablePage parse(std::string_view data, int key, Unreadable policy);

    // The same for a page of a protected diary. A record that does not open is marked in its
    // place under either policy; a file whose header is refused is an unreadable file.
    static ReadablePage readProtected(const std::string& path, const ProtectedFileContext& context, Unreadable policy);
    static ReadablePage parseProtected(std::string_view data, const ProtectedFileContext& context);
};
