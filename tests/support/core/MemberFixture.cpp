#include "support/core/MemberFixture.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/Cipher.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

namespace fixture {

std::string memberFile(const std::string& appPath, const std::string& member, const std::string& fileName) {
    return platform::joinPath(platform::joinPath(appPath, member), fileName);
}

std::string pageFile(const std::string& appPath, const std::string& member, int page) {
    return memberFile(appPath, member, MemberFolder::pageFileName(page));
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(std::u8string(path.begin(), path.end())),
                      std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    out << bytes;
}

void writtenAnHourAgo(const std::string& folder) {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(std::u8string(folder.begin(), folder.end())))) {
        if (entry.is_regular_file() && !entry.is_symlink()) {
            std::filesystem::last_write_time(entry.path(),
                                             std::filesystem::last_write_time(entry.path()) - std::chrono::hours(1));
        }
    }
}

std::string readBytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = readBytes(path);
    platform::forEachLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

bool isHidden(const std::string& path) {
    return (platform::getAttr(path) & platform::kAttrHidden) != 0;
}

DiskFullAfter::DiskFullAfter(std::uint64_t bytes) {
    platform::setWriteBudget(bytes);
}

DiskFullAfter::~DiskFullAfter() {
    platform::setWriteBudget(std::nullopt);
}

std::string makeMember(const std::string& appPath, const std::string& name, int key, const std::string& password) {
    const std::string folder = platform::joinPath(appPath, name);
    platform::makeFolder(folder);
    const std::string passwordPath = platform::joinPath(folder, MemberFolder::kPasswordFile);
    writeBytes(passwordPath, PasswordFile::content(key, password));
    platform::setAttr(passwordPath, platform::kAttrHidden);
    for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
        const std::string path = platform::joinPath(folder, MemberFolder::pageFileName(page));
        writeBytes(path, "");
        platform::setAttr(path, platform::kAttrHidden);
    }
    const std::string captions = platform::joinPath(folder, MemberFolder::kCaptionsFile);
    writeBytes(captions, "");
    platform::setAttr(captions, platform::kAttrHidden);
    return folder;
}

std::string pageContent(int key, const std::vector<std::string>& plainLines) {
    std::string out;
    for (const std::string& line : plainLines) {
        out += Cipher::encryptWithKey(line, key);
        out += "\r\n";
    }
    return out;
}

void writePage(const std::string& appPath, const std::string& member, int page, int key,
               const std::vector<std::string>& plainLines) {
    const std::string path = pageFile(appPath, member, page);
    writeBytes(path, pageContent(key, plainLines));
    platform::setAttr(path, platform::kAttrHidden);
}

} // namespace fixture
