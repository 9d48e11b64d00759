#include "store/PasswordFile.h"

#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "store/CipherError.h"
#include "store/Module1.h"

PasswordFile PasswordFile::Read(const std::string& path) {
    return Parse(platform::ReadFileBytes(path));
}

PasswordFile PasswordFile::Parse(std::string_view data) {
    std::vector<std::string_view> lines;
    platform::ForEachLine(data, [&](std::string_view line) {
        if (lines.size() < 3) {
            lines.push_back(line);
        }
    });
    if (lines.size() < 3) {
        throw CipherError("the password file has fewer than three lines");
    }
    const CipherError noKey("the password file holds no member key");
    double key = 0;
    try {
        key = platform::Val(Module1::DecryptFixed(lines[0]));
    } catch (const CipherError&) {
        throw noKey;
    }
    if (!(key >= Module1::kMinKey && key <= Module1::kMaxKey) || key != static_cast<int>(key)) {
        throw noKey;
    }
    // Nobody can type an empty password, and an empty one would let anybody in.
    if (lines[1].empty()) {
        throw CipherError("the password line is empty");
    }
    return PasswordFile{static_cast<int>(key), std::string(lines[1])};
}

std::string PasswordFile::Content(int key, std::string_view password) {
    return Module1::EncryptFixed(platform::Str(key)) + "\r\n" + Module1::EncryptWithKey(password, key) + "\r\n" +
           Module1::EncryptWithKey(Module1::kMarkerText, key) + "\r\n";
}
