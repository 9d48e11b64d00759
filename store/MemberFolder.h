#pragma once

#include <string>
#include <string_view>
#include <vector>

// How a member folder is laid out: a folder named after the member in the application folder,
// holding the password file, the captions file and fifteen page files with fixed names.
class MemberFolder {
public:
    static constexpr const char* kPasswordFile = "QRBNSTJ4";
    static constexpr const char* kCaptionsFile = "UBF8USBS";
    static constexpr int kPageCount = 15;

    // File name of page 1 to 15.
    static const char* pageFileName(int page);
    // The names of all the member's own files: pages 1 to 15, the captions file, and last the
    // password file, whose presence makes a folder a member.
    static std::vector<std::string> memberFileNames();

    // Application folder and member name joined; and a file in that folder.
    static std::string path(std::string_view appPath, std::string_view member);
    static std::string file(std::string_view appPath, std::string_view member, std::string_view fileName);
};
