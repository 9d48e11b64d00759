#include "support/core/ExtendedAttributesCheck.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#ifndef _WIN32
#include <sys/xattr.h>
#endif

#include "support/core/MemberFixture.h"
#include "support/core/TempFolder.h"

void ExtendedAttributesCheck::SetUp() {
#ifdef _WIN32
    return; // the hidden mark is the file system's own attribute there
#else
    TempFolder dir;
    const std::string probe = dir / "probe";
    fixture::writeBytes(probe, "");
    if (::setxattr(probe.c_str(), "user.DOSATTRIB", "0x2", 3, 0) == 0) {
        return;
    }
    const std::string why = "The temporary folder (" + dir.path() +
                            ") cannot store the user extended attribute that marks a file hidden (" +
                            std::strerror(errno) + "). Run the tests with TMPDIR on a file system that can.";
    std::cout << why << std::endl;
    GTEST_SKIP() << why;
#endif
}
