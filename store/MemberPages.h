#pragma once

#include <string_view>
#include <vector>

#include "store/PageFile.h"

class MemberSession;

// The pages of the member logged in, read from disk.

// Page 1 to 15.
ReadablePage readMemberPage(const MemberSession& session, int page, PageFile::Unreadable policy);
// Commits an entry (its text with its stamp) to page 1 to 15: the entry and the empty line after
// it are appended in one write, in the form of the member's diary. Throws platform::FileError,
// the page then as it was.
void appendMemberEntry(const MemberSession& session, int page, std::string_view text);
// Replaces page 1 to 15 whole with content (a masked entry, a page cleared). Throws
// platform::FileError, the page then as it was.
void rewriteMemberPage(const MemberSession& session, int page, std::string_view content);
// Every page, 1 to 15 in slots 0 to 14, each as far as it can be read (for export).
std::vector<ReadablePage> readAllMemberPages(const MemberSession& session);
