#include "store/PageFile.h"

#include <charconv>
#include <new>

#include "platform/core/FileError.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Wipe.h"
#include "store/Cipher.h"
#include "store/CipherError.h"
#include "store/GuardedBuffer.h"
#include "store/ProtectedFileError.h"
#include "store/TextCodec.h"

void PageFile::readBytes(const std::string& path, std::string& data) {
    platform::FileIdentity identity;
    readBytes(path, data, identity);
}

void PageFile::readBytes(const std::string& path, std::string& data, platform::FileIdentity& identity) {
    try {
        platform::readFileBytes(path, data, kMaxBytes, identity);
    } catch (const std::bad_alloc&) {
        data = std::string();
        throw platform::FileError(path, "there is not enough memory to read the file");
    }
}

namespace {

// The numbered display text of a page, line by line, as both forms of a page file give their
// lines: "[n] " and a tab before each entry, CR LF after every line, and a line that cannot be
// read in its numbered place as saying so (or, where the page must be whole, an error).
class PageDisplay {
public:
    PageDisplay(ReadablePage& page, std::size_t bytes, PageFile::Unreadable policy) : m_page(page), m_policy(policy) {
        // Each line grows by at most "[", the number, "] ", a tab and CR LF.
        m_page.display.reserve(bytes + bytes / 4 + 64);
    }

    void emptyLine() { m_page.display += "\r\n"; }

    // Starts the next entry; its text follows at the returned offset of the display.
    std::size_t startEntry() {
        std::string& display = m_page.display;
        char number[24];
        const auto [end, ec] = std::to_chars(number, number + sizeof number, ++m_count);
        (void)ec;
        display += '[';
        display.append(number, end);
        display += "] \t";
        return display.size();
    }

    // The entry whose stored bytes are line lineNumber of a classic page file, deciphered in one
    // pass.
    void entry(std::string_view stored, int key, std::size_t lineNumber) {
        const std::size_t at = startEntry();
        if (Cipher::appendDeciphered(m_page.display, stored, key)) {
            m_page.display += "\r\n";
        } else {
            unreadableAt(at, lineNumber);
        }
    }

    // The entry started at offset at holds the storable text now in the display from there.
    void storableAt(std::size_t at, int key) {
        std::string& display = m_page.display;
        const std::string_view plain(display.data() + at, display.size() - at);
        // Most entries are plain ASCII and already are their text; the rest are turned back into
        // Unicode, references included.
        if (storableNeedsDecoding(plain)) {
            const std::string text = textFromStorable(plain, key);
            display.resize(at);
            display += text;
        }
        m_page.display += "\r\n";
    }

    // The entry started at offset at, line lineNumber of the file, cannot be read.
    void unreadableAt(std::size_t at, std::size_t lineNumber) {
        if (m_policy == PageFile::Unreadable::Fail) {
            throw CipherError("Line " + std::to_string(lineNumber) +
                              " of the page file cannot be deciphered under this member's key.");
        }
        std::string& display = m_page.display;
        display.resize(at);
        display += "(line " + std::to_string(lineNumber) + " of the page file cannot be read)\r\n";
        m_page.unreadableLines.push_back(lineNumber);
    }

private:
    ReadablePage& m_page;
    PageFile::Unreadable m_policy;
    std::size_t m_count = 0;
};

ReadablePage unreadableFile(const std::string& reason) {
    ReadablePage page;
    page.display = "(the page file cannot be read: " + reason + ")\r\n";
    page.fileUnreadable = true;
    return page;
}

} // namespace

ReadablePage PageFile::read(const std::string& path, int key, Unreadable policy) {
    std::string data;
    try {
        readBytes(path, data);
    } catch (const platform::FileError& e) {
        if (policy == Unreadable::Fail) {
            throw;
        }
        return unreadableFile(e.reason());
    }
    // The bytes are the page under no more than a shift: they go from memory with the page read.
    try {
        ReadablePage page = parse(data, key, policy);
        platform::wipe(data);
        return page;
    } catch (const std::bad_alloc&) {
        platform::wipe(data);
        throw platform::FileError(path, "there is not enough memory to show the page");
    } catch (...) {
        platform::wipe(data);
        throw;
    }
}

ReadablePage PageFile::parse(std::string_view data, int key, Unreadable policy) {
    ReadablePage page;
    PageDisplay display(page, data.size(), policy);
    std::size_t lineNumber = 0;
    platform::forEachLine(data, [&](std::string_view line) {
        ++lineNumber;
        if (line.empty()) {
            display.emptyLine();
            return;
        }
        display.entry(line, key, lineNumber);
    });
    return page;
}

ReadablePage PageFile::readProtected(const std::string& path, const ProtectedFileContext& context, Unreadable policy) {
    std::string data;
    try {
        readBytes(path, data);
    } catch (const platform::FileError& e) {
        if (policy == Unreadable::Fail) {
            throw;
        }
        return unreadableFile(e.reason());
    }
    try {
        ReadablePage page = parseProtected(data, context);
        platform::wipeKeepingRoom(data);
        return page;
    } catch (const ProtectedFileError& e) {
        if (policy == Unreadable::Fail) {
            throw platform::FileError(path, std::string("The file cannot be read: ") + e.what() + ".");
        }
        return unreadableFile(e.what());
    }
}

ReadablePage PageFile::parseProtected(std::string_view data, const ProtectedFileContext& context) {
    ReadablePage page;
    // A record that does not open is shown in its place whatever the policy: it is one entry
    // damaged or altered, and every other entry of the page still reads.
    PageDisplay display(page, data.size(), Unreadable::Mark);
    forEachProtectedMemberLine(data, context,
                               [&](std::uint64_t lineNumber, StoredLine::Kind kind, std::string_view bytes) {
                                   if (kind == StoredLine::Kind::Empty) {
                                       display.emptyLine();
                                       return;
                                   }
                                   const std::size_t at = display.startEntry();
                                   if (kind == StoredLine::Kind::Text) {
                                       page.display += bytes;
                                       display.storableAt(at, context.keys.classicKey);
                                   } else {
                                       display.unreadableAt(at, static_cast<std::size_t>(lineNumber));
                                   }
                               });
    return page;
}
