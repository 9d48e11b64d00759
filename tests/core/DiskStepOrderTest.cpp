#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/core/FileAttributes.h"
#include "platform/core/FileSystem.h"
#include "store/MemberFileWriter.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

// Each writer takes its steps in the order that makes it survive a power cut: data written,
// then synced, then renamed or closed, then the folder that holds the new name synced. Leaving
// out a sync, or moving it after the step it protects, changes the recorded order.
namespace {

// "step name" for the folder itself, "step name" and the file's name for a file; a temporary
// file of a rewrite is "(temporary)".
std::vector<std::string> recordSteps(const TempFolder& dir, const std::function<void()>& writer) {
    std::vector<std::string> steps;
    platform::setDiskStepRecorder([&](std::string_view step, const std::string& path) {
        std::string where = path == dir.path() ? "folder" : path.substr(dir.path().size() + 1);
        if (where.starts_with(".PAGE.new-")) {
            where = "(temporary)";
        }
        steps.push_back(std::string(step) + " " + where);
    });
    writer();
    platform::setDiskStepRecorder({});
    return steps;
}

TEST(DiskStepOrder, EveryWriterSyncsWhatItWroteBeforeItCounts) {
    struct Case {
        const char* writer;
        bool existing; // PAGE is there, hidden, before the writer runs
        std::function<void(const std::string& page)> run;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"WriteFileSafely, new file",
         false,
         [](const std::string& page) { platform::writeFileSafely(page, "new\r\n", platform::kAttrHidden); },
         {"create (temporary)", "write (temporary)", "sync file (temporary)", "set attribute (temporary)",
          "close (temporary)", "rename PAGE", "sync folder folder"}},
        {"WriteFileSafely, existing file",
         true,
         [](const std::string& page) { platform::writeFileSafely(page, "new\r\n", platform::kAttrNormal); },
         {"create (temporary)", "write (temporary)", "sync file (temporary)", "close (temporary)", "rename PAGE",
          "sync folder folder"}},
        {"AppendToFile, new file",
         false,
         [](const std::string& page) { platform::appendToFile(page, "entry\r\n"); },
         {"open PAGE", "write PAGE", "sync file PAGE", "close PAGE", "sync folder folder"}},
        {"AppendToFile, existing file",
         true,
         [](const std::string& page) { platform::appendToFile(page, "entry\r\n"); },
         {"open PAGE", "write PAGE", "sync file PAGE", "close PAGE"}},
        {"TruncateFile",
         true,
         [](const std::string& page) { platform::truncateFile(page, 2); },
         {"truncate PAGE", "sync file PAGE"}},
        {"CreateEmptyFile, new file",
         false,
         [](const std::string& page) { platform::createEmptyFile(page); },
         {"create PAGE", "sync file PAGE", "close PAGE", "sync folder folder"}},
        {"CreateEmptyFile, existing file",
         true,
         [](const std::string& page) { platform::createEmptyFile(page); },
         {"create PAGE", "truncate PAGE", "sync file PAGE", "close PAGE", "sync folder folder"}},
        {"MakeFolder",
         false,
         [](const std::string& page) { platform::makeFolder(page); },
         {"mkdir PAGE", "sync folder folder"}},
        {"RewriteMemberFile",
         true,
         [](const std::string& page) { rewriteMemberFile(page, "new\r\n"); },
         {"create (temporary)", "write (temporary)", "sync file (temporary)", "set attribute (temporary)",
          "close (temporary)", "rename PAGE", "sync folder folder"}},
        {"AppendToMemberFile",
         true,
         [](const std::string& page) { appendToMemberFile(page, "entry\r\n"); },
         {"set attribute PAGE", "open PAGE", "write PAGE", "sync file PAGE", "close PAGE", "set attribute PAGE"}},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const std::string page = dir / "PAGE";
        if (c.existing) {
            fixture::writeBytes(page, "old\r\n");
            platform::setAttr(page, platform::kAttrHidden);
        }
        EXPECT_EQ(recordSteps(dir, [&] { c.run(page); }), c.steps) << c.writer;
    }
}

} // namespace
