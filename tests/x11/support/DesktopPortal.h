#pragma once

#include "tests/x11/support/XSession.h"

#include <QProcess>
#include <string>

namespace test_support::x11 {

// A private session bus on which the desktop's portal runs with a GlobalShortcuts backend that
// the test drives: what it binds shows in its output, and the test has it activate and deactivate
// shortcuts. Everything runs in the X session and stops with it.
class DesktopPortal {
public:
    enum class Backend { binding, refusing };

    // Throws std::runtime_error when a part does not start.
    DesktopPortal(XSession& session, Backend backend);

    // What a program on a Wayland desktop that has this portal finds in its environment.
    [[nodiscard]] QProcessEnvironment environment() const;
    // "Activated ID" or "Deactivated ID".
    void send(const std::string& signalAndShortcut);
    // What the backend has said so far: a line "bound ID TRIGGER" for each shortcut bound.
    [[nodiscard]] std::string output();

private:
    QString busAddress_;
    QProcess* backend_ = nullptr;
    std::string output_;
};

} // namespace test_support::x11
