#include "export/OutputFile.h"

#include "platform/core/DateFormat.h"
#include "platform/core/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"
#include "platform/core/PortableNames.h"
#include "platform/core/Unicode.h"
#include "store/Module1.h"

namespace {

// Long enough for any sensible name, short enough that the file and the temporary file it is
// written through fit the file system's limit of 255 bytes.
constexpr std::size_t kLongestName = 240;

bool refusedCharacter(char32_t c) {
    return c < 32 || (c >= 127 && c <= 0x9F) ||
           std::u32string_view(U"\\/:*?\"<>|").find(c) != std::u32string_view::npos;
}

bool memberFileName(const std::string& name) {
    const std::string folded = platform::FoldCase(name);
    for (const std::string& file : Module1::MemberFileNames()) {
        if (folded == platform::FoldCase(file)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string UnusableOutputName(const std::string& folder, const std::string& name) {
    for (std::size_t i = 0; i < name.size();) {
        if (refusedCharacter(platform::NextCodePoint(name, i))) {
            return "A file name cannot contain any of the characters \\ / : * ? \" < > | or a control character.";
        }
    }
    if (name == "." || name == "..") {
        return "That name stands for a folder, not a file.";
    }
    if (name.front() == '.') {
        return "A name that starts with a dot would make a hidden file.";
    }
    if (name.back() == ' ' || name.back() == '.') {
        return "A file name cannot end with a space or a dot.";
    }
    if (platform::IsDeviceName(name)) {
        return "That name is reserved for a device on Windows.";
    }
    if (name.size() > kLongestName) {
        return "The name is too long.";
    }
    if (memberFileName(name)) {
        return "That is the name of one of your diary's own files, which an export never replaces.";
    }
    const std::string path = platform::JoinPath(folder, name);
    switch (platform::KindOfPath(path)) {
    case platform::PathKind::Folder:
        return "Your diary folder holds a folder of that name.";
    case platform::PathKind::Link:
        return "Your diary folder holds a link of that name to another place, which an export never follows or "
               "replaces.";
    case platform::PathKind::Other:
        return "Your diary folder holds something of that name that is not an ordinary file, which an export never "
               "replaces.";
    case platform::PathKind::Missing:
    case platform::PathKind::File:
        break;
    }
    if (platform::PathExists(path) && !platform::FileExists(path)) {
        return "Your diary folder holds a hidden file of that name, which an export never replaces.";
    }
    return {};
}

std::optional<std::string> ChooseOutputFile(const Module1& module, const std::string& question,
                                            const std::string& defaultName) {
    if (platform::Ui().MsgBox(question, platform::vbYesNo + platform::vbExclamation, platform::kAppTitle) ==
        platform::vbNo) {
        return std::nullopt;
    }
    const std::string folder = module.MemberFolder();
    for (;;) {
        const std::string name =
            platform::Ui().InputBox("Enter a name for the output file", platform::kAppTitle, defaultName);
        if (name.empty()) {
            return std::nullopt;
        }
        if (const std::string reason = UnusableOutputName(folder, name); !reason.empty()) {
            platform::Ui().MsgBox("The output file cannot be named \"" + name + "\".\r" + reason,
                                  platform::vbExclamation, platform::kAppTitle);
            continue;
        }
        const std::string path = platform::JoinPath(folder, name);
        if (platform::FileExists(path)) {
            const int answer =
                platform::Ui().MsgBox("File " + name + " already exists. Do you want to overwrite?",
                                      platform::vbYesNoCancel + platform::vbExclamation, platform::kAppTitle);
            if (answer == platform::vbCancel) {
                return std::nullopt;
            }
            if (answer == platform::vbNo) {
                continue;
            }
        }
        return path;
    }
}

std::string PrintedOnLine(const platform::LocalTime& t) {
    return "Printed on " + platform::FormatDMmmYyyy(t) + "  " + platform::FormatHMmAmPm(t);
}
