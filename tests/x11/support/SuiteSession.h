#pragma once

#include "tests/x11/support/XSession.h"

namespace test_support::x11 {

// The session that the x11 suite's main starts before the application, whose Qt then runs on
// it through the xcb platform. Tests that need a display of their own start an XSession.
XSession& suiteSession();

} // namespace test_support::x11
