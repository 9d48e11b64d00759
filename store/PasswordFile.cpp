#include "store/PasswordFile.h"

#include "platform/core/FileSystem.h"
#include "platform/core/NumberText.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberSession.h"

PasswordFile PasswordFile::read(const std::string& path) {
    return parse(platform::readFileBytes(path));
}

PasswordFile PasswordFile::parse(std::string_view data) {
    std::vector<std::string_view> lines;
    platform::forEachLine(data, [&](std::string_view line) {
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
        key = platform::val(Cipher::decryptFixed(lines[0]));
    } catch (const CipherError&) {
        throw noKey;
    }
    if (!(key >= Cipher::kMinKey && key <= Cipher::kMaxKey) || key != static_cast<int>(key)) {
        throw noKey;
    }
    // Nobody can type an empty password, and an empty one would let anybody in.
    if (lines[1].empty()) {
        throw CipherError("the password line is empty");
    }
    return PasswordFile{static_cast<int>(key), std::string(lines[1])};
}

std::string PasswordFile::content(int key, std::string_view password) {
    return Cipher::encryptFixed(platform::str(key)) + "\r\n" + Cipher::encryptWithKey(password, key) + "\r\n" +
           Cipher::encryptWithKey(PasswordFile::kMarkerText, key) + "\r\n";
}
