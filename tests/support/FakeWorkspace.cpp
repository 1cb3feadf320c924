#include "tests/support/FakeWorkspace.h"

namespace test_support {

std::optional<platform::RunningApplication> FakeWorkspace::frontmostApplication() {
    return frontmost;
}

bool FakeWorkspace::isCurrentApplication(const platform::RunningApplication& app) {
    return app.processId == ownProcessId;
}

bool FakeWorkspace::isTerminated(const platform::RunningApplication& app) {
    return terminated_.contains(app.window);
}

void FakeWorkspace::activate(const platform::RunningApplication& app) {
    activations.push_back(app);
    frontmost = app;
}

void FakeWorkspace::keepOnAllDesktops(platform::WindowId window) {
    windowsOnAllDesktops.push_back(window);
}

void FakeWorkspace::makeKeyWindow(platform::WindowId window) { keyWindows.push_back(window); }

} // namespace test_support
