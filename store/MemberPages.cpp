#include "store/MemberPages.h"

#include "store/MemberFolder.h"
#include "store/MemberSession.h"

ReadablePage readMemberPage(const MemberSession& session, int page, PageFile::Unreadable policy) {
    return PageFile::read(session.pageFilePath(page), session.cipherKey(), policy);
}

std::vector<ReadablePage> readAllMemberPages(const MemberSession& session) {
    std::vector<ReadablePage> pages;
    pages.reserve(MemberFolder::kPageCount);
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        pages.push_back(readMemberPage(session, page, PageFile::Unreadable::Mark));
    }
    return pages;
}
