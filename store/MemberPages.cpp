#include "store/MemberPages.h"

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Wipe.h"
#include "store/Cipher.h"
#include "store/GuardedBuffer.h"
#include "store/MemberFileWriter.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/ProtectedFileError.h"
#include "store/StoredLines.h"
#include "store/TextCodec.h"

ReadablePage readMemberPage(const MemberSession& session, int page, PageFile::Unreadable policy) {
    if (session.isProtected()) {
        return PageFile::readProtected(
            session.pageFilePath(page),
            session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)), policy);
    }
    return PageFile::read(session.pageFilePath(page), session.cipherKey(), policy);
}

void appendMemberEntry(const MemberSession& session, int page, std::string_view text) {
    const std::string path = session.pageFilePath(page);
    std::string bytes;
    if (session.isProtected()) {
        // The record is sealed for its place in the file, so the page is read first.
        const std::string data = platform::readFileBytes(path);
        std::string storable = storableText(text, session.cipherKey());
        try {
            bytes = entryAppendedTo(
                data, session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)), storable);
        } catch (const ProtectedFileError& e) {
            platform::wipeKeepingRoom(storable);
            throw platform::FileError(path, std::string("The file cannot be written: ") + e.what() + ".");
        }
        platform::wipeKeepingRoom(storable);
    } else {
        bytes = Cipher::encryptWithKey(text, session.cipherKey()) + "\r\n\r\n";
    }
    // The entry line and its empty line go in one append, so a failure leaves no half of it.
    session.pageWritten(page);
    try {
        appendToMemberFile(path, bytes);
    } catch (...) {
        platform::wipeKeepingRoom(bytes);
        throw;
    }
    platform::wipeKeepingRoom(bytes);
}

void rewriteMemberPage(const MemberSession& session, int page, std::string_view content) {
    session.pageWritten(page);
    rewriteMemberFile(session.pageFilePath(page), content);
}

std::vector<ReadablePage> readAllMemberPages(const MemberSession& session) {
    std::vector<ReadablePage> pages;
    pages.reserve(MemberFolder::kPageCount);
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        pages.push_back(readMemberPage(session, page, PageFile::Unreadable::Mark));
    }
    return pages;
}
