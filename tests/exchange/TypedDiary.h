#pragma once

// What the keyboard session types into jotterel.exe under Windows, and what the Linux build
// then expects to find in the member folder.
namespace typed {

// A blank, a letter of Windows-1252 and two outside it: the folder name goes through UTF-16 on
// Windows, the name through the Windows input of Unicode text, and the export (in the ANSI code
// page) keeps what it can of it.
inline constexpr const char* kMember = "Zo\xC3\xAB \xE6\x97\xA5\xE8\xA8\x98";
// Four characters, as a new member's password is made: the blank is the fourth.
inline constexpr const char* kInitialPassword = "Zo\xC3\xAB ";
// The comma is stored as a semicolon, as every committed entry's is.
inline constexpr const char* kEntry = "Typed under Wine, Gr\xC3\xBC\xC3\x9F"
                                      "e \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
inline constexpr const char* kStoredEntry = "Typed under Wine; Gr\xC3\xBC\xC3\x9F"
                                            "e \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
inline constexpr const char* kSearch = "gr\xC3\xBC\xC3\x9F"
                                       "e";
inline constexpr const char* kExportName = "Page 1.txt";

} // namespace typed
