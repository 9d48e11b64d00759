#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "wm/WindowManagerDisplay.h"

// The windows on a real X server with a window manager, which the tests start themselves. The
// resolution is QT_FONT_DPI's (96 without it); the X server is given the same. Without the X
// server or the window manager every test is skipped, saying which is missing.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    const char* dpiText = std::getenv("QT_FONT_DPI");
    const int dpi = dpiText && std::atoi(dpiText) > 0 ? std::atoi(dpiText) : 96;
    WindowManagerDisplay display(dpi);
    if (!display.failure().empty()) {
        WindowManagerDisplay::skipReason() = display.failure();
        return RUN_ALL_TESTS();
    }
    ::setenv("DISPLAY", display.name().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // As the program scales (see app/main.cpp).
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::RoundPreferFloor);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
