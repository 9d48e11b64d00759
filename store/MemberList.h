#pragma once

#include <string>
#include <vector>

// A visible subfolder of the application folder, as the login window lists it.
struct ListedFolder {
    std::string name;
    bool member = false; // it holds a password file, so the member can log in
};

// The visible subfolders of the application folder, in the order the folder lists them. A link
// is never among them: a member's files would be reached through a path somebody else controls.
// Throws platform::FileError when the folder cannot be listed.
std::vector<ListedFolder> listMemberFolders(const std::string& appPath);
