#include <QApplication>
#include <gtest/gtest.h>

#include "support/core/EnglishRegionalSettings.h"
#include "support/core/ExtendedAttributesCheck.h"

// Window tests run inside one application object; listing the tests needs no display.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    ::testing::AddGlobalTestEnvironment(new ExtendedAttributesCheck);
    ::testing::AddGlobalTestEnvironment(new EnglishRegionalSettings);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
