#include "store/MemberList.h"

#include "platform/core/FileSystem.h"
#include "store/MemberFolder.h"

std::vector<ListedFolder> listMemberFolders(const std::string& appPath) {
    std::vector<ListedFolder> folders;
    for (const platform::FolderEntry& entry : platform::listFolder(appPath, "*.*", true)) {
        if (entry.isFolder && !entry.name.empty()) {
            const bool member =
                platform::pathExists(MemberFolder::file(appPath, entry.name, MemberFolder::kPasswordFile));
            folders.push_back(ListedFolder{entry.name, member});
        }
    }
    return folders;
}
