#include "store/MemberFileWriter.h"

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"

namespace {

void hideAgain(const std::string& path) {
    try {
        platform::SetAttr(path, platform::kAttrHidden);
    } catch (...) {
    }
}

} // namespace

void RewriteMemberFile(const std::string& path, std::string_view content) {
    platform::CheckOrdinaryFile(path); // a missing file is not created, nor a link replaced
    platform::WriteFileSafely(path, content, platform::kAttrHidden);
}

void AppendToMemberFile(const std::string& path, std::string_view content) {
    // Refused before its attribute is touched: a folder of that name keeps its own.
    platform::CheckOrdinaryFile(path);
    platform::SetAttr(path, platform::kAttrNormal);
    std::uint64_t oldLength = 0;
    try {
        oldLength = platform::AppendToFile(path, content);
    } catch (...) {
        hideAgain(path);
        throw;
    }
    try {
        platform::SetAttr(path, platform::kAttrHidden);
    } catch (...) {
        // The caller hears of a failure, so the file must be as it was: an entry the member is
        // told was not saved, and saves again, must not be in the page twice.
        try {
            platform::TruncateFile(path, oldLength);
        } catch (...) {
        }
        hideAgain(path);
        throw;
    }
}
