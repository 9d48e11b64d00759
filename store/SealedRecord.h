#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/GuardedBuffer.h"

// One line of a protected captions or page file: its content sealed under the diary's data key
// (XChaCha20-Poly1305 with a random nonce) together with where it belongs, so that a record
// opens only in its own place of its own file of its own diary, and only as written.

constexpr std::size_t kDiaryIdBytes = 16;
using DiaryId = std::array<unsigned char, kDiaryIdBytes>;
constexpr std::size_t kDataKeyBytes = 32;

struct RecordPlace {
    const DiaryId& diaryId;
    std::string_view fileName; // the file's own eight-character name
    std::uint64_t line;        // counting the line after the header as 1
};

enum class RecordKind : unsigned char {
    Text = 1,        // the storable text of an entry or caption (before the classic shift)
    ClassicLine = 2, // a classic line that could not be deciphered, kept as it stood
};

// The record line (base64, no line end) for content of this kind at place.
std::string sealRecord(const GuardedBuffer& dataKey, const RecordPlace& place, RecordKind kind,
                       std::string_view content);

// Opens the record line at place into kind and content (content's storage is reused; the caller
// wipes it when done). False when it does not open: damaged, altered, cut short, or written for
// another place, file or diary. work is scratch space the caller may keep between calls.
bool openRecord(const GuardedBuffer& dataKey, const RecordPlace& place, std::string_view line, RecordKind& kind,
                std::string& content, std::string& work);
