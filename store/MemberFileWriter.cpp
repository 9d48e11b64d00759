#include "store/MemberFileWriter.h"

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"

void RewriteMemberFile(const std::string& path, std::string_view content) {
    platform::GetAttr(path); // fails for a missing file, as clearing its attribute would
    platform::WriteFileSafely(path, content, platform::kAttrHidden);
}

void AppendToMemberFile(const std::string& path, std::string_view content) {
    platform::SetAttr(path, platform::kAttrNormal);
    try {
        platform::AppendToFile(path, content);
    } catch (...) {
        try {
            platform::SetAttr(path, platform::kAttrHidden);
        } catch (...) {
        }
        throw;
    }
    platform::SetAttr(path, platform::kAttrHidden);
}
