#include "store/MemberFolder.h"

#include <array>

#include "platform/core/Paths.h"

namespace {

constexpr std::array<const char*, MemberFolder::kPageCount> kPageFiles = {
    "FGZISKL4", "OTBKJI3W", "Q583IZCH", "UT4PC5G7", "WXSTYE7K", "UBYRTRDY", "JSNGUBN3", "GIKJSNB8",
    "CYTYRBF3", "UBFUSOSJ", "RYTIORE3", "FBJNSTJT", "HRKIEGI0", "GRKKIET5", "7RUIYUBE",
};

} // namespace

const char* MemberFolder::pageFileName(int page) {
    return kPageFiles.at(static_cast<std::size_t>(page - 1));
}

std::vector<std::string> MemberFolder::memberFileNames() {
    std::vector<std::string> names(kPageFiles.begin(), kPageFiles.end());
    names.emplace_back(kCaptionsFile);
    names.emplace_back(kPasswordFile);
    return names;
}

std::string MemberFolder::path(std::string_view appPath, std::string_view member) {
    return platform::joinPath(appPath, member);
}

std::string MemberFolder::file(std::string_view appPath, std::string_view member, std::string_view fileName) {
    return platform::joinPath(path(appPath, member), fileName);
}
