#include "store/MemberFileWriter.h"

#include "platform/core/FileAttributes.h"
#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/MemberFolder.h"

namespace {

void hideAgain(const std::string& path) {
    try {
        platform::setAttr(path, platform::kAttrHidden);
    } catch (...) {
    }
}

} // namespace

void rewriteMemberFile(const std::string& path, std::string_view content) {
    platform::checkOrdinaryFile(path); // a missing file is not created, nor a link replaced
    platform::writeFileSafely(path, content, platform::kAttrHidden);
}

void appendToMemberFile(const std::string& path, std::string_view content) {
    // Refused before its attribute is touched: a folder of that name keeps its own.
    platform::checkOrdinaryFile(path);
    platform::setAttr(path, platform::kAttrNormal);
    std::uint64_t oldLength = 0;
    try {
        oldLength = platform::appendToFile(path, content);
    } catch (...) {
        hideAgain(path);
        throw;
    }
    try {
        platform::setAttr(path, platform::kAttrHidden);
    } catch (...) {
        // The caller hears of a failure, so the file must be as it was: an entry the member is
        // told was not saved, and saves again, must not be in the page twice.
        try {
            platform::truncateFile(path, oldLength);
        } catch (...) {
        }
        hideAgain(path);
        throw;
    }
}

void clearAwayCutShortWrites(const std::string& memberFolder) {
    try {
        platform::deleteAllSafeWriteLeftovers(memberFolder);
    } catch (const platform::FileError&) {
        // a folder that cannot be listed keeps its scraps
    }
    for (const std::string& name : MemberFolder::memberFileNames()) {
        const std::string path = platform::joinPath(memberFolder, name);
        try {
            if (platform::kindOfPath(path) == platform::PathKind::File &&
                (platform::getAttr(path) & platform::kAttrHidden) == 0) {
                platform::setAttr(path, platform::kAttrHidden);
            }
        } catch (const platform::FileError&) {
            // left as it is
        }
    }
}
