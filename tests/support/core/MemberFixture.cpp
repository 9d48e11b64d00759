#include "support/core/MemberFixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "store/Module1.h"
#include "store/PasswordFile.h"

namespace fixture {

std::string MemberFile(const std::string& appPath, const std::string& member, const std::string& fileName) {
    return appPath + "/" + member + "/" + fileName;
}

std::string PageFile(const std::string& appPath, const std::string& member, int page) {
    return MemberFile(appPath, member, Module1::PageFileName(page));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    out << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsHidden(const std::string& path) {
    return (platform::GetAttr(path) & platform::kAttrHidden) != 0;
}

DiskFullAfter::DiskFullAfter(std::uint64_t bytes) {
    platform::SetWriteBudget(bytes);
}

DiskFullAfter::~DiskFullAfter() {
    platform::SetWriteBudget(std::nullopt);
}

std::string MakeMember(const std::string& appPath, const std::string& name, int key, const std::string& password) {
    const std::string folder = appPath + "/" + name;
    platform::MakeFolder(folder);
    const std::string passwordPath = folder + "/" + Module1::kPasswordFile;
    WriteBytes(passwordPath, PasswordFile::Content(key, password));
    platform::SetAttr(passwordPath, platform::kAttrHidden);
    for (int page = 1; page <= Module1::kPageCount; ++page) {
        const std::string path = folder + "/" + Module1::PageFileName(page);
        WriteBytes(path, "");
        platform::SetAttr(path, platform::kAttrHidden);
    }
    const std::string captions = folder + "/" + Module1::kCaptionsFile;
    WriteBytes(captions, "");
    platform::SetAttr(captions, platform::kAttrHidden);
    return folder;
}

std::string PageContent(int key, const std::vector<std::string>& plainLines) {
    std::string out;
    for (const std::string& line : plainLines) {
        out += Module1::EncryptWithKey(line, key);
        out += "\r\n";
    }
    return out;
}

void WritePage(const std::string& appPath, const std::string& member, int page, int key,
               const std::vector<std::string>& plainLines) {
    const std::string path = PageFile(appPath, member, page);
    WriteBytes(path, PageContent(key, plainLines));
    platform::SetAttr(path, platform::kAttrHidden);
}

} // namespace fixture
