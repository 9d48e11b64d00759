#pragma once

#include <string>

#include "store/DiaryKeys.h"
#include "store/ProtectedPasswordFile.h"

// Turning a member folder from the classic form into the protected one and back. Every file is
// read before anything is written, and each is replaced whole, the password file first (marked
// as being converted) and last (the mark gone, or the classic file written). A failure puts back
// what was already converted and throws platform::FileError naming the file that failed (as
// ConversionLeftUnderWay when that cannot all be put back); a crash leaves the mark, under which
// both forms read and finishConversion completes the work.
// The member's lock must be held.

// Protects the classic diary in folder under keys (made by DiaryKeys::create with the folder's
// classic key).
void protectDiary(const std::string& folder, const DiaryKeys& keys);

// Gives the protected diary in folder back its classic form: exactly the classic bytes each
// captions and page file was protected from, and a classic password file with the classic key
// and keys.password.
void unprotectDiary(const std::string& folder, const DiaryKeys& keys);

// Completes the conversion that state says was under way when the program stopped. Throws
// platform::FileError, leaving the mark, when a file cannot be converted.
void finishConversion(const std::string& folder, const DiaryKeys& keys, ConversionState state);
