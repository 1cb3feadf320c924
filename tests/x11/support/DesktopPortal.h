#pragma once

#include "tests/x11/support/XSession.h"

#include <QProcess>
#include <chrono>
#include <string>

namespace test_support::x11 {

// A private session bus with the desktop's portal on it, whose GlobalShortcuts backend the test
// drives and reads; everything runs in the X session and stops with it.
class DesktopPortal {
public:
    enum class Backend { binding, refusing };

    // Throws std::runtime_error when a part does not start.
    DesktopPortal(XSession& session, Backend backend);

    // What a program on a Wayland desktop that has this portal finds in its environment.
    [[nodiscard]] QProcessEnvironment environment() const;
    // "Activated ID" or "Deactivated ID"; when the backend sent the signal.
    std::chrono::steady_clock::time_point send(const std::string& signalAndShortcut);
    // What the backend has said so far: a line "bound ID TRIGGER" for each shortcut bound.
    [[nodiscard]] std::string output();

private:
    QString busAddress_;
    QProcess* backend_ = nullptr;
    std::string output_;
};

} // namespace test_support::x11
