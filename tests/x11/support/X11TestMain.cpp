#include "tests/x11/support/XSession.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <optional>

static std::optional<test_support::x11::XSession> session;

test_support::x11::XSession& test_support::x11::suiteSession() {
    return *session;
}

// The suite's tests drive real X windows of this process, so its Qt runs on the suite's own
// display; merely listing the tests needs none.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!GTEST_FLAG_GET(list_tests)) {
        qputenv("DISPLAY",
                session.emplace(test_support::x11::XSession::Options{}).display().c_str());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    const QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
