#include "tests/x11/support/SuiteSession.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <iostream>

namespace test_support::x11 {

namespace {
XSession* runningSession = nullptr;
} // namespace

XSession& suiteSession() {
    return *runningSession;
}

} // namespace test_support::x11

// The suite's tests drive real X windows of this process, so Qt runs on the suite's own
// display; merely listing the tests needs no display.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QApplication application(argc, argv);
        return RUN_ALL_TESTS();
    }
    try {
        test_support::x11::XSession session;
        test_support::x11::runningSession = &session;
        qputenv("DISPLAY", session.display().c_str());
        qputenv("QT_QPA_PLATFORM", "xcb");
        const QApplication application(argc, argv);
        return RUN_ALL_TESTS();
    } catch (const std::exception& error) {
        std::cerr << "cannot set up the X display for the suite: " << error.what() << '\n';
        return 1;
    }
}
