#include "store/EntryMask.h"

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/MemberFolder.h"
#include "store/MemberSession.h"
#include "store/PageFile.h"
#include "store/ProtectedFileError.h"
#include "store/StoredLines.h"
#include "store/TextCodec.h"

std::vector<std::string> readDecipheredLines(int key, const std::string& path) {
    std::string data;
    PageFile::readBytes(path, data);
    std::vector<std::string> lines;
    platform::forEachLine(data, [&](std::string_view line) {
        try {
            lines.push_back(Cipher::decryptWithKey(line, key));
        } catch (const CipherError&) {
            throw platform::FileError(path, "Line " + std::to_string(lines.size() + 1) +
                                                " cannot be deciphered under this member's key.");
        }
    });
    return lines;
}

bool maskLine(std::vector<std::string>& lines, double target, const std::string& stamp) {
    for (std::size_t i = 1; i <= lines.size(); ++i) {
        if (static_cast<double>(i) == target) {
            // One mark for each character the member sees, whatever it takes to store.
            const std::string& line = lines[i - 1];
            std::string masked;
            masked.reserve(line.size() + stamp.size());
            for (std::size_t at = 0; at < line.size();) {
                masked += platform::nextCodePoint(line, at) == U' ' ? ' ' : 'X';
            }
            lines[i - 1] = masked + stamp;
            return true;
        }
    }
    return false;
}

std::string encipheredLines(int key, const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            content += Cipher::encryptWithKey(line, key);
        }
        content += "\r\n";
    }
    return content;
}

std::vector<std::string> readPageLines(const MemberSession& session, int page) {
    const std::string path = session.pageFilePath(page);
    if (!session.isProtected()) {
        return readDecipheredLines(session.cipherKey(), path);
    }
    std::string data;
    PageFile::readBytes(path, data);
    std::vector<std::string> lines;
    try {
        forEachProtectedMemberLine(
            data, session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)),
            [&](std::uint64_t lineNumber, StoredLine::Kind kind, std::string_view bytes) {
                if (kind == StoredLine::Kind::Unreadable) {
                    throw platform::FileError(path, "Line " + std::to_string(lineNumber) + " cannot be read.");
                }
                lines.push_back(textFromStorable(bytes, session.cipherKey()));
            });
    } catch (const ProtectedFileError& e) {
        throw platform::FileError(path, std::string("The file cannot be read: ") + e.what() + ".");
    }
    platform::wipeKeepingRoom(data);
    return lines;
}

std::string pageContent(const MemberSession& session, int page, const std::vector<std::string>& lines) {
    if (!session.isProtected() || session.conversionState() == ConversionState::BeingUnprotected) {
        return encipheredLines(session.cipherKey(), lines);
    }
    std::vector<StoredLine> stored;
    for (const std::string& line : lines) {
        stored.push_back(line.empty() ? StoredLine{}
                                      : StoredLine{StoredLine::Kind::Text, storableText(line, session.cipherKey())});
    }
    std::string content =
        protectedContent(stored, session.protectedContext(ProtectedFileKind::Page, MemberFolder::pageFileName(page)));
    wipeLines(stored);
    return content;
}
