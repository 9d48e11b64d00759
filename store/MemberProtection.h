#pragma once

#include <string_view>

class MemberSession;

// Protecting and unprotecting the diary of the member logged in, and changing the password of a
// protected one. Each throws platform::FileError naming the file that failed, the member's
// files and the session then as they were; std::bad_alloc when the key derivation cannot have
// its memory. A conversion whose failure cannot all be put back throws ConversionLeftUnderWay
// instead, the session then keeping the diary's keys under the conversion under way, as the
// next login, which finishes it, will.

// Converts the member's classic diary into the protected form under password (the key derived
// with the session's parameters for new diaries) and keeps the diary's keys in the session.
void protectMember(MemberSession& session, std::string_view password);

// Gives the member's protected diary back its classic form; the session keeps only the key.
void unprotectMember(MemberSession& session);

// Seals the protected diary's keys under password in a new password file; the captions and
// pages are not touched.
void changeProtectedPassword(MemberSession& session, std::string_view password);
