#include "store/StoredLines.h"

#include "platform/core/Wipe.h"
#include "store/ProtectedFileError.h"

bool classicStorable(std::string_view line, int key, std::string& out) {
    out.resize(line.size());
    const auto shift = static_cast<unsigned>(key);
    unsigned char below = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        out[i] = static_cast<char>(c - shift);
        below |= static_cast<unsigned char>(c < shift);
    }
    return below == 0;
}

std::vector<StoredLine> protectedMemberLines(std::string_view data, const ProtectedFileContext& context) {
    std::vector<StoredLine> lines;
    forEachProtectedMemberLine(data, context, [&](std::uint64_t, StoredLine::Kind kind, std::string_view bytes) {
        lines.push_back(StoredLine{kind, std::string(bytes)});
    });
    return lines;
}

std::vector<StoredLine> classicLines(std::string_view data, int key) {
    std::vector<StoredLine> lines;
    std::string storable;
    platform::forEachLine(data, [&](std::string_view line) {
        if (line.empty()) {
            lines.push_back(StoredLine{});
        } else if (classicStorable(line, key, storable)) {
            lines.push_back(StoredLine{StoredLine::Kind::Text, storable});
        } else {
            lines.push_back(StoredLine{StoredLine::Kind::Unreadable, std::string(line)});
        }
    });
    platform::wipeKeepingRoom(storable);
    return lines;
}

std::string protectedLine(const StoredLine& line, const ProtectedFileContext& context, std::uint64_t lineNumber) {
    if (line.kind == StoredLine::Kind::Empty) {
        return {};
    }
    return sealRecord(context.keys.dataKey, RecordPlace{context.keys.diaryId, context.fileName, lineNumber},
                      line.kind == StoredLine::Kind::Text ? RecordKind::Text : RecordKind::ClassicLine, line.bytes);
}

std::string protectedContent(const std::vector<StoredLine>& lines, const ProtectedFileContext& context) {
    if (lines.empty()) {
        return {};
    }
    std::string content = protectedHeader(context.kind) + "\r\n";
    std::uint64_t lineNumber = 0;
    for (const StoredLine& line : lines) {
        content += protectedLine(line, context, ++lineNumber);
        content += "\r\n";
    }
    return content;
}

std::string classicContent(const std::vector<StoredLine>& lines, int key) {
    std::string content;
    for (const StoredLine& line : lines) {
        if (line.kind == StoredLine::Kind::Text) {
            const std::size_t at = content.size();
            content += line.bytes;
            for (std::size_t i = at; i < content.size(); ++i) {
                content[i] = static_cast<char>(static_cast<unsigned char>(content[i]) + key);
            }
        } else {
            content += line.bytes;
        }
        content += "\r\n";
    }
    return content;
}

void wipeLines(std::vector<StoredLine>& lines) {
    for (StoredLine& line : lines) {
        platform::wipeKeepingRoom(line.bytes);
    }
    lines.clear();
}

std::string entryAppendedTo(std::string_view data, const ProtectedFileContext& context, std::string_view storable) {
    const StoredLine entry{StoredLine::Kind::Text, std::string(storable)};
    std::string appended;
    switch (memberFileForm(data)) {
    case MemberFileForm::Empty:
        if (context.state == ConversionState::BeingUnprotected) {
            appended = classicContent({entry, StoredLine{}}, context.keys.classicKey);
        } else {
            appended = protectedContent({entry, StoredLine{}}, context);
        }
        break;
    case MemberFileForm::Classic:
        if (context.state == ConversionState::Protected) {
            throw ProtectedFileError(ProtectedFileError::Problem::Damaged,
                                     "it is not in the protected form of this member's diary");
        }
        appended = classicContent({entry, StoredLine{}}, context.keys.classicKey);
        break;
    case MemberFileForm::Protected: {
        std::uint64_t lines = 0;
        platform::forEachLine(data.substr(checkProtectedHeader(data, context.kind)),
                              [&](std::string_view) { ++lines; });
        // A last line without its line end gets one, or the entry would run on from it.
        if (data.back() != '\n' && data.back() != '\r') {
            appended = "\r\n";
        }
        appended += protectedLine(entry, context, lines + 1) + "\r\n\r\n";
        break;
    }
    }
    if (!appended.empty() && memberFileForm(data) == MemberFileForm::Classic && data.back() != '\n' &&
        data.back() != '\r') {
        appended.insert(0, "\r\n");
    }
    return appended;
}

void searchableClassicBytes(std::string_view data, const ProtectedFileContext& context, std::string& out) {
    out.clear();
    const auto key = static_cast<unsigned char>(context.keys.classicKey);
    forEachProtectedMemberLine(data, context, [&](std::uint64_t, StoredLine::Kind kind, std::string_view bytes) {
        if (kind == StoredLine::Kind::Text) {
            const std::size_t at = out.size();
            out += bytes;
            for (std::size_t i = at; i < out.size(); ++i) {
                out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + key);
            }
        } else if (kind == StoredLine::Kind::Unreadable) {
            out += '\x01';
        }
        out += "\r\n";
    });
}
