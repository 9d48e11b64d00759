#include "store/MemberFileForm.h"

#include "store/ProtectedFileError.h"

namespace {

constexpr std::string_view kMagicStart = "JOTTEREL-";

std::string_view magic(ProtectedFileKind kind) {
    switch (kind) {
    case ProtectedFileKind::Password:
        return "JOTTEREL-PASSWORD";
    case ProtectedFileKind::Captions:
        return "JOTTEREL-CAPTIONS";
    case ProtectedFileKind::Page:
        return "JOTTEREL-PAGE";
    }
    return {};
}

} // namespace

MemberFileForm memberFileForm(std::string_view data) {
    if (data.empty()) {
        return MemberFileForm::Empty;
    }
    return data.starts_with(kMagicStart) ? MemberFileForm::Protected : MemberFileForm::Classic;
}

std::string protectedHeader(ProtectedFileKind kind) {
    return std::string(magic(kind)) + " " + std::to_string(kProtectedFormatVersion);
}

std::size_t checkProtectedHeader(std::string_view data, ProtectedFileKind kind) {
    const std::size_t end = data.find_first_of("\r\n");
    const std::string_view line = data.substr(0, end);
    const std::string_view expected = magic(kind);
    const auto damaged = [] {
        return ProtectedFileError(ProtectedFileError::Problem::Damaged,
                                  "its first line is not the header of a protected Jotterel file");
    };
    if (!line.starts_with(expected) || line.size() < expected.size() + 2 || line[expected.size()] != ' ') {
        throw damaged();
    }
    const std::string_view version = line.substr(expected.size() + 1);
    if (version.size() > 9 || version[0] == '0') {
        throw damaged();
    }
    unsigned number = 0;
    for (char c : version) {
        if (c < '0' || c > '9') {
            throw damaged();
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number != kProtectedFormatVersion) {
        throw ProtectedFileError(ProtectedFileError::Problem::NewerVersion,
                                 "it was written by a newer copy of Jotterel (protected format " +
                                     std::string(version) + "), which this copy cannot read");
    }
    if (end == std::string_view::npos) {
        return data.size();
    }
    // The line end as forEachLine takes it: CR LF, or a lone CR or LF.
    return data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n' ? end + 2 : end + 1;
}
