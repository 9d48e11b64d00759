#include "store/Module1.h"

#include <charconv>
#include <utility>

#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "store/CipherError.h"
#include "store/MemberFileWriter.h"

namespace {

constexpr std::array<const char*, 15> kPageFiles = {
    "FGZISKL4", "OTBKJI3W", "Q583IZCH", "UT4PC5G7", "WXSTYE7K", "UBYRTRDY", "JSNGUBN3", "GIKJSNB8",
    "CYTYRBF3", "UBFUSOSJ", "RYTIORE3", "FBJNSTJT", "HRKIEGI0", "GRKKIET5", "7RUIYUBE",
};

// Lowers every byte of in by shift into out. Returns false, leaving out undefined, when a
// byte lies below the shift. Written without early exit so the compiler can vectorise it.
bool lowerInto(char* out, const char* in, std::size_t n, unsigned shift) {
    unsigned char below = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        out[i] = static_cast<char>(c - shift);
        below |= static_cast<unsigned char>(c < shift);
    }
    return below == 0;
}

std::string lowered(std::string_view text, int shift) {
    std::string out(text.size(), '\0');
    if (!lowerInto(out.data(), text.data(), text.size(), static_cast<unsigned>(shift))) {
        throw CipherError("the text holds a byte below the key");
    }
    return out;
}

} // namespace

Module1::Module1(std::string appPath) : AppPath(std::move(appPath)) {
}

const char* Module1::PageFileName(int page) {
    return kPageFiles.at(static_cast<std::size_t>(page - 1));
}

std::vector<std::string> Module1::MemberFileNames() {
    std::vector<std::string> names(kPageFiles.begin(), kPageFiles.end());
    names.emplace_back(kPasswordFile);
    names.emplace_back(kCaptionsFile);
    return names;
}

std::string Module1::EncryptWithKey(std::string_view text, int key) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        int code = static_cast<unsigned char>(text[i]) + key;
        if (code > 255) {
            code = '?' + key;
        }
        out[i] = static_cast<char>(code);
    }
    return out;
}

std::string Module1::DecryptWithKey(std::string_view text, int key) {
    return lowered(text, key);
}

bool Module1::FitsKey(std::string_view text, int key) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) + key > 255) {
            return false;
        }
    }
    return true;
}

std::string Module1::EncryptFixed(std::string_view text) {
    if (!FitsKey(text, kFixedShift)) {
        throw CipherError("the text holds a byte of 128 or more");
    }
    return EncryptWithKey(text, kFixedShift);
}

std::string Module1::DecryptFixed(std::string_view text) {
    return lowered(text, kFixedShift);
}

std::string Module1::ReplaceChar(std::string_view text, std::string_view find, std::string_view replacement) {
    std::string out;
    if (find.empty()) {
        return std::string(text);
    }
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(find, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
        pos = hit + find.size();
    }
}

std::string Module1::MemberFolder(const std::string& member) const {
    return platform::JoinPath(AppPath, member);
}

std::string Module1::MemberFile(const std::string& member, std::string_view fileName) const {
    return platform::JoinPath(MemberFolder(member), fileName);
}

std::string Module1::PageFilePath(int page) const {
    return MemberFile(CurrentUser, PageFileName(page));
}

std::string Module1::ReadPage(const std::string& path) const {
    return DisplayText(platform::ReadFileBytes(path));
}

std::string Module1::DisplayText(std::string_view data) const {
    std::string display;
    // Each line grows by at most "[", the number, "] ", a tab and CR LF.
    display.reserve(data.size() + data.size() / 4 + 64);
    std::size_t count = 0;
    std::size_t lineNumber = 0;
    const auto shift = static_cast<unsigned>(CipherKey);
    platform::ForEachLine(data, [&](std::string_view line) {
        ++lineNumber;
        if (!line.empty()) {
            ++count;
            char number[24];
            const auto [end, ec] = std::to_chars(number, number + sizeof number, count);
            (void)ec;
            display += '[';
            display.append(number, end);
            display += "] \t";
            const std::size_t at = display.size();
            display.resize(at + line.size());
            if (!lowerInto(display.data() + at, line.data(), line.size(), shift)) {
                throw CipherError("Line " + std::to_string(lineNumber) +
                                  " of the page file cannot be deciphered under this member's key.");
            }
        }
        display += "\r\n";
    });
    return display;
}

void Module1::LoadCaptions() {
    std::string data;
    try {
        data = platform::ReadFileBytes(CaptionsPath);
    } catch (const std::exception&) {
        // A missing or unreadable file leaves every page without a caption.
    }
    CaptionsFromText(data);
}

void Module1::CaptionsFromText(std::string_view data) {
    std::vector<std::string_view> lines;
    platform::ForEachLine(data, [&](std::string_view line) {
        if (lines.size() < kPageCount) {
            lines.push_back(line);
        }
    });
    for (int i = 1; i <= kPageCount; ++i) {
        std::string caption;
        if (static_cast<std::size_t>(i) <= lines.size()) {
            try {
                caption = DecryptKeyed(lines[static_cast<std::size_t>(i - 1)]);
            } catch (const CipherError&) {
                caption.clear();
            }
        }
        PageCaptions[static_cast<std::size_t>(i)] = caption.empty() ? kNoCaption : caption;
    }
}

void Module1::SaveCaptions() {
    std::string content;
    for (int i = 1; i <= kPageCount; ++i) {
        std::string& caption = PageCaptions[static_cast<std::size_t>(i)];
        if (caption.empty()) {
            caption = kNoCaption;
        }
        content += EncryptKeyed(caption);
        content += "\r\n";
    }
    RewriteMemberFile(CaptionsPath, content);
}
