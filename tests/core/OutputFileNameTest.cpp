#include <filesystem>
#include <gtest/gtest.h>

#include "platform/core/FileAttributes.h"
#include "store/OutputFileName.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

namespace {

// What an export may be named: a file of the member folder that Windows could hold too, never a
// folder, a link, a hidden file or one of the member's own files.
TEST(OutputFileName, RulesForTheNameOfAnExport) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "Photos");
    fixture::writeBytes(folder / ".hidden.txt", "x");
    fixture::writeBytes(folder / "Marked.txt", "x");
    platform::setAttr(folder / "Marked.txt", platform::kAttrHidden);
#ifndef _WIN32
    // Windows accounts may not make links; the case is left out there.
    std::filesystem::create_symlink("/etc/hostname", folder / "Link.txt");
#endif
    fixture::writeBytes(folder / "Old.txt", "an earlier export");
    struct Case {
        std::string name;
        std::string reason; // empty: the name can be used
    };
    const std::string characters =
        "A file name cannot contain any of the characters \\ / : * ? \" < > | or a control character.";
    const Case cases[] = {
        {"Page 1.txt", ""},
        {"Old.txt", ""}, // an ordinary file: replaced once the member agrees
        {"\xE6\x97\xA5\xE8\xA8\x98 K\xC3\xB6ln.txt", ""},
        {"noextension", ""},
        {"../outside.txt", characters},
        {"a:b.txt", characters},
        {"tab\there", characters},
        {"..", "That name stands for a folder, not a file."},
        {".profile", "A name that starts with a dot would make a hidden file."},
        {"name.", "A file name cannot end with a space or a dot."},
        {"name ", "A file name cannot end with a space or a dot."},
        {"con.txt", "That name is reserved for a device on Windows."},
        {"LPT1", "That name is reserved for a device on Windows."},
        {std::string(241, 'n'), "The name is too long."},
        {"qrbnstj4", "That is the name of one of your diary's own files, which an export never replaces."},
        {"7ruiyube", "That is the name of one of your diary's own files, which an export never replaces."},
        {"Photos", "Your diary folder holds a folder of that name."},
        {"Link.txt", "Your diary folder holds a link of that name to another place, which an export never follows "
                     "or replaces."},
        {"Marked.txt", "Your diary folder holds a hidden file of that name, which an export never replaces."},
    };
    for (const Case& c : cases) {
#ifdef _WIN32
        if (c.name == "Link.txt") {
            continue; // no link was made
        }
#endif
        EXPECT_EQ(unusableOutputName(folder.path(), c.name), c.reason) << c.name;
    }
}

} // namespace
