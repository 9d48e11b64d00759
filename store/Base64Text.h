#pragma once

#include <string>
#include <string_view>

// The text form of sealed bytes in a member file: standard base64 with "=" padding and no line
// breaks (libsodium's sodium_base64_VARIANT_ORIGINAL), so that a record never holds CR or LF.

std::string base64Text(const unsigned char* bytes, std::size_t size);

// The bytes of base64 text into out (its storage reused). False, out then undefined, unless the
// text is exactly what base64Text writes for some bytes: no other character, no missing or extra
// padding, no stray bits in the last character. So one text stands for one set of bytes, and a
// changed character never reads as the same record. A search opens every record of a diary:
// this decodes without libsodium's constant-time care, which the public ciphertext does not need.
bool bytesOfBase64(std::string_view text, std::string& out);
