#include "tests/x11/support/DesktopPortal.h"

#include <stdexcept>

namespace test_support::x11 {

// The bus first, then the backend, so that the portal finds it when it starts.
DesktopPortal::DesktopPortal(XSession& session, Backend backend) {
    busAddress_ = session.startSessionBus();
    backend_ = &session.start({PINLET_PORTAL_TEST_DIR "/test_backend.py",
                               backend == Backend::refusing ? "refuse" : "bind"},
                              environment(), QProcess::SeparateChannels);
    QProcessEnvironment portal = environment();
    portal.insert("XDG_DESKTOP_PORTAL_DIR", PINLET_PORTAL_TEST_DIR);
    portal.insert("XDG_CURRENT_DESKTOP", "pinlet-test");
    QProcess& frontend = session.start({"/usr/libexec/xdg-desktop-portal", "--verbose"}, portal);
    const bool started = !lineWith(*backend_, "ready").isEmpty() &&
                         !lineWith(frontend, "org.freedesktop.portal.Desktop acquired").isEmpty();
    if (busAddress_.isEmpty() || !started) {
        throw std::runtime_error("the desktop portal did not start on a bus of its own");
    }
}

QProcessEnvironment DesktopPortal::environment() const {
    QProcessEnvironment environment;
    environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    environment.insert("XDG_SESSION_TYPE", "wayland");
    // Nothing may start the accessibility bus, whose daemons would outlive the test.
    environment.insert("NO_AT_BRIDGE", "1");
    return environment;
}

// The standard clock on Linux is the backend's monotonic clock.
std::chrono::steady_clock::time_point DesktopPortal::send(const std::string& signalAndShortcut) {
    backend_->write(QByteArray::fromStdString(signalAndShortcut + "\n"));
    const QByteArray sent = lineWith(*backend_, "sent ");
    return std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(sent.mid(sent.indexOf(' ') + 1).toLongLong()));
}

std::string DesktopPortal::output() {
    output_ += backend_->readAllStandardOutput().toStdString();
    return output_;
}

} // namespace test_support::x11
