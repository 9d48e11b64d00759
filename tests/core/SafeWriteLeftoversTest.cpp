#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/core/FileSystem.h"
#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

namespace {

TEST(SafeWriteLeftovers, OnlyTheTemporaryFilesOfThatFileGo) {
    TempFolder dir;
    const char* leftovers[] = {".PAGE.new-Ab12Cd", ".PAGE.new-XXXXXX"};
    std::vector<std::string> kept = {"PAGE",
                                     ".PAGE.new-Ab12C",    // not a name the rewrite makes
                                     ".PAGE.new-Ab12Cde",  // nor this
                                     "PAGE.new-Ab12Cd",    // a visible file of that shape is somebody else's
                                     ".OTHER.new-Ab12Cd"}; // another file's rewrite
#ifndef _WIN32
    kept.push_back(".page.new-Ab12Cd"); // Windows would take it for the same name as a leftover
#endif
    for (const char* name : leftovers) {
        fixture::writeBytes(dir / name, "half written");
    }
    for (const std::string& name : kept) {
        fixture::writeBytes(dir / name, "keep");
    }
    platform::makeFolder(dir / ".PAGE.new-folder");

    EXPECT_EQ(platform::deleteSafeWriteLeftovers(dir / "PAGE"), 2u);
    for (const char* name : leftovers) {
        EXPECT_FALSE(platform::pathExists(dir / name)) << name;
    }
    for (const std::string& name : kept) {
        EXPECT_EQ(fixture::readBytes(dir / name), "keep") << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / ".PAGE.new-folder"));
    EXPECT_EQ(platform::deleteSafeWriteLeftovers(dir / "PAGE"), 0u);
    // A file whose own rewrite finished normally leaves nothing to find.
    platform::writeFileSafely(dir / "PAGE", "new\r\n", 0);
    EXPECT_EQ(platform::deleteSafeWriteLeftovers(dir / "PAGE"), 0u);
    EXPECT_EQ(fixture::readBytes(dir / "PAGE"), "new\r\n");
}

} // namespace
