#include "tests/x11/support/DesktopPortal.h"

#include <stdexcept>

namespace test_support::x11 {

namespace {

// The first line of the program's output that holds the text; empty when it ends first. Reads
// without an event loop, which benchmarks lack.
QByteArray lineWith(QProcess& process, const QByteArray& text) {
    while (process.canReadLine() || process.waitForReadyRead(20000)) {
        const QByteArray line = process.canReadLine() ? process.readLine() : QByteArray();
        if (line.contains(text)) {
            return line.trimmed();
        }
    }
    return {};
}

} // namespace

// The bus first, then the backend, so that the portal finds it when it starts.
DesktopPortal::DesktopPortal(XSession& session, Backend backend) {
    QProcess& bus = session.start({"dbus-daemon", "--session", "--nofork", "--print-address=1"}, {},
                                  QProcess::SeparateChannels);
    busAddress_ = QString::fromUtf8(lineWith(bus, "unix:"));
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

void DesktopPortal::send(const std::string& signalAndShortcut) {
    backend_->write(QByteArray::fromStdString(signalAndShortcut + "\n"));
    backend_->waitForBytesWritten();
}

std::string DesktopPortal::output() {
    output_ += backend_->readAllStandardOutput().toStdString();
    return output_;
}

} // namespace test_support::x11
