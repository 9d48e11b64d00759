#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/FileSystem.h"
#include "platform/core/Wipe.h"
#include "store/DiaryKeys.h"
#include "store/MemberFileForm.h"
#include "store/ProtectedPasswordFile.h"
#include "store/SealedRecord.h"

// The lines of a captions or page file as they are kept, in whichever form the file is: each
// line empty, a text in the classic storable form (Windows-1252 with "&#N;" references, what a
// classic line holds before the shift by the classic key), or a line that cannot be read, kept
// as it stood so that a conversion gives it back unchanged.
struct StoredLine {
    enum class Kind { Empty, Text, Unreadable };
    Kind kind = Kind::Empty;
    std::string bytes; // Text: the storable text; Unreadable: the line as the file holds it

    bool operator==(const StoredLine&) const = default;
};

// A protected member's file as the reader meets it: which file it is and the diary's keys and
// state.
struct ProtectedFileContext {
    const DiaryKeys& keys;
    ConversionState state;
    ProtectedFileKind kind;    // Captions or Page
    std::string_view fileName; // the file's eight-character name
};

// Calls f(lineNumber, kind, bytes) for each line of the file data of a protected member,
// lineNumber counting from 1 as the numbered places of a page do (the header is not a line):
// a record that does not open, a classic line while no conversion is under way (a file put in
// the folder by somebody else) and a classic line that cannot be deciphered all come as
// Unreadable. bytes is valid during the call only. Throws ProtectedFileError for a protected
// file whose header is damaged or of a newer format.
template <typename F>
void forEachProtectedMemberLine(std::string_view data, const ProtectedFileContext& context, F&& f);

// The storable text of a classic line under key into out (the shift taken away); false when a
// byte lies below the key.
bool classicStorable(std::string_view line, int key, std::string& out);

// The lines of a protected member's file, as forEachProtectedMemberLine gives them.
std::vector<StoredLine> protectedMemberLines(std::string_view data, const ProtectedFileContext& context);

// The lines of a classic file under key: a line below the key is Unreadable.
std::vector<StoredLine> classicLines(std::string_view data, int key);

// The bytes of a file of these lines in the protected form (header, then one record or empty
// line each, CR LF after every line), each record sealed for its place; an Unreadable line is
// kept as it stood. Nothing at all for no lines, as an empty file is empty in either form.
std::string protectedContent(const std::vector<StoredLine>& lines, const ProtectedFileContext& context);

// The one record line of line at place lineNumber.
std::string protectedLine(const StoredLine& line, const ProtectedFileContext& context, std::uint64_t lineNumber);

// What a commit appends to a protected member's page file, whose bytes are now data, for an entry
// of this storable text followed by the empty line every commit writes. The entry goes in the
// file's own form: after a new header in an empty file (in the classic form while the diary is
// being unprotected), sealed for the next place in a protected one, under the classic key in a
// classic one while a conversion is under way. Throws ProtectedFileError for a file whose header
// is refused, and for a classic file when no conversion is under way, which is no page of the
// member's.
std::string entryAppendedTo(std::string_view data, const ProtectedFileContext& context, std::string_view storable);

// The page file data of a protected member as the classic form would hold it under the classic
// key, for a search of every entry: each record opened, a line that cannot be read kept in its
// place as one byte no key deciphers, so that it keeps its number and is never found. out's
// storage is reused; the caller wipes it. Throws ProtectedFileError as the reader does.
void searchableClassicBytes(std::string_view data, const ProtectedFileContext& context, std::string& out);

// The bytes of a file of these lines in the classic form under key, CR LF after every line.
std::string classicContent(const std::vector<StoredLine>& lines, int key);

// Wipes the texts of lines and empties it.
void wipeLines(std::vector<StoredLine>& lines);

template <typename F>
void forEachProtectedMemberLine(std::string_view data, const ProtectedFileContext& context, F&& f) {
    std::uint64_t lineNumber = 0;
    std::string content;
    std::string work;
    switch (memberFileForm(data)) {
    case MemberFileForm::Empty:
        return;
    case MemberFileForm::Classic: {
        const bool converting = context.state != ConversionState::Protected;
        platform::forEachLine(data, [&](std::string_view line) {
            ++lineNumber;
            if (line.empty()) {
                f(lineNumber, StoredLine::Kind::Empty, line);
            } else if (converting && classicStorable(line, context.keys.classicKey, content)) {
                f(lineNumber, StoredLine::Kind::Text, std::string_view(content));
            } else {
                f(lineNumber, StoredLine::Kind::Unreadable, line);
            }
        });
        break;
    }
    case MemberFileForm::Protected: {
        const std::size_t start = checkProtectedHeader(data, context.kind);
        RecordKind kind = RecordKind::Text;
        platform::forEachLine(data.substr(start), [&](std::string_view line) {
            ++lineNumber;
            if (line.empty()) {
                f(lineNumber, StoredLine::Kind::Empty, line);
            } else if (!openRecord(context.keys.dataKey,
                                   RecordPlace{context.keys.diaryId, context.fileName, lineNumber}, line, kind, content,
                                   work)) {
                f(lineNumber, StoredLine::Kind::Unreadable, line);
            } else if (kind == RecordKind::ClassicLine) {
                f(lineNumber, StoredLine::Kind::Unreadable, std::string_view(content));
            } else {
                f(lineNumber, StoredLine::Kind::Text, std::string_view(content));
            }
        });
        break;
    }
    }
    platform::wipeKeepingRoom(content);
}
