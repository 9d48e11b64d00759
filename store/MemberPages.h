#pragma once

#include <vector>

#include "store/PageFile.h"

class MemberSession;

// The pages of the member logged in, read from disk.

// Page 1 to 15.
ReadablePage readMemberPage(const MemberSession& session, int page, PageFile::Unreadable policy);
// Every page, 1 to 15 in slots 0 to 14, each as far as it can be read (for export).
std::vector<ReadablePage> readAllMemberPages(const MemberSession& session);
