#include "tests/x11/support/XSession.h"

#include "platform/linux/x11/XcbPointer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <csignal>
#include <linux/input-event-codes.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>
#include <xcb/composite.h>

namespace test_support::x11 {

namespace {

using platform::linux_desktop::xcbOwned;

constexpr int startTimeout = 20000;

} // namespace

XSession::XSession(Options options) {
    if (options.wayland) {
        startMutter(options.gnomeShell);
    } else {
        startXServer();
    }
    connection_ = platform::linux_desktop::connectToDisplay(display_);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())).data->root;
    screenImage_ = root_;
    if (options.windowManager) {
        startWindowManager();
    }
    if (options.compositor) {
        startCompositor();
    }
    if (options.trayHost) {
        startTrayHost();
    }
}

// Gently, the X server last: Xvfb removes its lock file, the others let go of the display.
XSession::~XSession() {
    QDBusConnection::disconnectFromBus(desktopBus_);
    std::for_each(processes_.rbegin(), processes_.rend(), [](const auto& process) {
        process->terminate();
        process->waitForFinished(startTimeout);
    });
}

void XSession::endDisplay() {
    processes_.front()->terminate();
    processes_.front()->waitForFinished(startTimeout);
}

std::filesystem::path XSession::directory() const {
    return directory_.path().toStdString();
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display_));
    environment.insert(desktopEnvironment_);
    return environment;
}

std::optional<std::string> XSession::run(const QStringList& command) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(command.first(), command.mid(1));
    const bool succeeded = process.waitForFinished(startTimeout) &&
                           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return succeeded ? std::optional(process.readAllStandardOutput().toStdString()) : std::nullopt;
}

QProcess& XSession::start(const QStringList& command, const QProcessEnvironment& extra,
                          QProcess::ProcessChannelMode channels) {
    QProcess& process = *processes_.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment environment = this->environment();
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(channels);
    // Nothing outlives a test process that crashes.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process.start(command.first(), command.mid(1));
    return process;
}

// Xvfb writes the number of the display it took to its standard output once it accepts clients.
void XSession::startXServer() {
    QProcess& server = start({"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset"}, {},
                             QProcess::ForwardedErrorChannel);
    while (!server.canReadLine()) {
        if (!server.waitForReadyRead(startTimeout)) {
            throw std::runtime_error("Xvfb did not start: " + server.errorString().toStdString());
        }
    }
    display_ = ":" + server.readLine().trimmed().toStdString();
}

// mutter names the X display it keeps for XWayland in its log, and XWayland lets in only the
// clients that show the key in the file it names in its runtime directory. The folders come before
// the buses: dconf, which the session bus starts, takes the bus's environment.
void XSession::startMutter(bool gnomeShell) {
    const std::filesystem::path runtime = directory() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    desktopEnvironment_.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
    for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                           {"XDG_CONFIG_HOME", "config"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"XDG_CACHE_HOME", "cache"}}) {
        desktopEnvironment_.insert(variable, directory_.filePath(folder));
    }
    desktopEnvironment_.insert("DBUS_SESSION_BUS_ADDRESS", startSessionBus());
    // The shell would start the accessibility bus, whose daemons slow its start.
    desktopEnvironment_.insert("NO_AT_BRIDGE", "1");
    QProcessEnvironment systemBus;
    if (gnomeShell) { // without one the shell stops at the login manager
        systemBus.insert("DBUS_SYSTEM_BUS_ADDRESS", startSessionBus());
    }
    QProcess& mutter = start({gnomeShell ? "gnome-shell" : "mutter", "--headless", "--wayland",
                              "--virtual-monitor", "1024x768", "--wayland-display=wayland-0"},
                             systemBus);
    static const QRegularExpression announcement(QStringLiteral("public X11 display (:\\d+)"));
    const QRegularExpressionMatch match = announcement.match(lineWith(mutter, "X11 display"));
    if (!match.hasMatch()) {
        throw std::runtime_error("mutter did not start: " + mutter.readAll().toStdString());
    }
    display_ = match.captured(1).toStdString();
    waylandDisplay_ = (runtime / "wayland-0").string();
    for (const auto& file : std::filesystem::directory_iterator(runtime)) {
        if (file.path().filename().string().starts_with(".mutter-Xwaylandauth")) {
            qputenv("XAUTHORITY", file.path().c_str());
        }
    }
    if (gnomeShell) {
        desktopEnvironment_.insert("WAYLAND_DISPLAY", QString::fromStdString(waylandDisplay_));
        desktopEnvironment_.insert("XDG_CURRENT_DESKTOP", "GNOME");
        desktopEnvironment_.insert("XDG_SESSION_TYPE", "wayland");
        startGnomeServices();
    }
}

void XSession::startGnomeServices() {
    desktopBus_ = desktopEnvironment_.value("DBUS_SESSION_BUS_ADDRESS");
    QDBusConnection::connectToBus(desktopBus_, desktopBus_);
    const QString shell = "org.gnome.Shell";
    const QString properties = "org.freedesktop.DBus.Properties.";
    // Once started, the shell opens the overview; closed, keys reach the windows.
    const bool shellAnswers = waitUntil([&] {
        return callDesktop(shell, "/org/gnome/Shell", properties + "Get", {shell, "OverviewActive"})
                   .value<QDBusVariant>()
                   .variant() == QVariant(true);
    });
    callDesktop(shell, "/org/gnome/Shell", properties + "Set",
                {shell, "OverviewActive", QVariant::fromValue(QDBusVariant(false))});
    start({"/usr/libexec/gsd-media-keys"});
    const bool mediaKeysRun = waitUntil([&] {
        return QDBusConnection(desktopBus_)
            .interface()
            ->isServiceRegistered("org.gnome.SettingsDaemon.MediaKeys")
            .value();
    });
    if (!shellAnswers || !mediaKeysRun) {
        throw std::runtime_error("GNOME Shell or gsd-media-keys did not start on " + display_);
    }
}

QVariant XSession::callDesktop(const QString& service, const QString& path, const QString& method,
                               const QVariantList& arguments) const {
    const qsizetype dot = method.lastIndexOf('.');
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, method.left(dot), method.mid(dot + 1));
    call.setArguments(arguments);
    return QDBusConnection(desktopBus_).call(call).arguments().value(0);
}

void XSession::pressKeys(const std::vector<std::uint32_t>& keys) {
    const QString service = "org.gnome.Mutter.RemoteDesktop";
    const auto send = [&](std::uint32_t key, bool down) {
        callDesktop(service, remoteDesktop_, service + ".Session.NotifyKeyboardKeycode",
                    {key, down});
    };
    if (remoteDesktop_.isEmpty()) {
        remoteDesktop_ =
            callDesktop(service, "/org/gnome/Mutter/RemoteDesktop", service + ".CreateSession", {})
                .value<QDBusObjectPath>()
                .path();
        callDesktop(service, remoteDesktop_, service + ".Session.Start", {});
        // The first key after the start can be lost.
        send(KEY_LEFTSHIFT, true);
        send(KEY_LEFTSHIFT, false);
    }
    std::ranges::for_each(keys, [&](std::uint32_t key) { send(key, true); });
    std::for_each(keys.rbegin(), keys.rend(), [&](std::uint32_t key) { send(key, false); });
}

QString XSession::startSessionBus() {
    QProcess& bus = start({"dbus-daemon", "--session", "--nofork", "--print-address=1"}, {},
                          QProcess::SeparateChannels);
    return QString::fromUtf8(lineWith(bus, "unix:"));
}

// Openbox announces itself before it takes windows, and can leave a window shown meanwhile
// unhandled until its next event: a probe window waits until it is managed, changes of a root
// property giving openbox that next event.
void XSession::startWindowManager() {
    QProcessEnvironment systemConfiguration;
    systemConfiguration.insert("XDG_CONFIG_HOME", directory_.filePath("openbox"));
    start({"openbox", "--sm-disable"}, systemConfiguration, QProcess::ForwardedChannels);
    const WindowId probe = createWindow();
    const bool managed = waitUntil([&] {
        xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, root_,
                            atom("_PINLET_TEST_NUDGE"), XCB_ATOM_STRING, 8, 0, nullptr);
        return std::ranges::count(values(root_, "_NET_CLIENT_LIST"), probe) > 0;
    });
    xcb_destroy_window(connection_.get(), probe);
    xcb_flush(connection_.get());
    if (!managed) {
        throw std::runtime_error("openbox did not manage windows on " + display_);
    }
}

void XSession::startCompositor() {
    start({"picom", "--config", "/dev/null", "--backend", "xrender"}, {},
          QProcess::ForwardedChannels);
    const auto overlay = xcbOwned(xcb_composite_get_overlay_window_reply(
        connection_.get(), xcb_composite_get_overlay_window(connection_.get(), root_), nullptr));
    if (!overlay || !waitForOwner("_NET_WM_CM_S0")) {
        throw std::runtime_error("picom did not take compositing on " + display_);
    }
    screenImage_ = overlay->overlay_win;
}

QProcess& XSession::startTrayHost(const QStringList& look) {
    QProcess& trayer = start(QStringList{"trayer", "--edge", "top", "--align", "right"} + look, {},
                             QProcess::ForwardedChannels);
    if (!waitForOwner("_NET_SYSTEM_TRAY_S0")) {
        throw std::runtime_error("trayer did not take the system tray on " + display_);
    }
    return trayer;
}

bool XSession::waitForOwner(const std::string& selection) const {
    return waitUntil([&] { return owner(selection) != XCB_WINDOW_NONE; });
}

WindowId XSession::owner(const std::string& selection) const {
    const auto reply = xcbOwned(xcb_get_selection_owner_reply(
        connection_.get(), xcb_get_selection_owner(connection_.get(), atom(selection)), nullptr));
    return reply ? reply->owner : WindowId{XCB_WINDOW_NONE};
}

WindowId XSession::createWindow(std::optional<std::uint32_t> processId) {
    xcb_connection_t* connection = connection_.get();
    const WindowId window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root_, 100, 100, 320, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    // WM_HINTS with the input hint set: the window takes the keyboard focus when activated.
    const std::array<std::uint32_t, 9> hints{1, 1};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS, 32, hints.size(), hints.data());
    const auto pid = processId.value_or(static_cast<std::uint32_t>(::getpid()));
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_map_window(connection, window);
    xcb_flush(connection);
    return window;
}

void XSession::destroyWindow(WindowId window) {
    xcb_destroy_window(connection_.get(), window);
    xcb_flush(connection_.get());
}

bool XSession::grabKey(std::uint8_t keycode, std::uint16_t modifiers) {
    return !xcbOwned(xcb_request_check(
        connection_.get(), xcb_grab_key_checked(connection_.get(), 1, root_, modifiers, keycode,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
}

std::optional<WindowId> XSession::activeWindow() const {
    const auto active = values(root_, "_NET_ACTIVE_WINDOW");
    return active.empty() || active.front() == XCB_WINDOW_NONE ? std::nullopt
                                                               : std::optional(active.front());
}

bool XSession::isViewable(WindowId window) const {
    const auto reply = xcbOwned(xcb_get_window_attributes_reply(
        connection_.get(), xcb_get_window_attributes(connection_.get(), window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

QRect XSession::frame(WindowId window) const {
    xcb_connection_t* connection = connection_.get();
    const auto geometry =
        xcbOwned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    const auto onRoot = xcbOwned(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root_, 0, 0), nullptr));
    return geometry && onRoot
               ? QRect(onRoot->dst_x, onRoot->dst_y, geometry->width, geometry->height)
               : QRect();
}

std::uint32_t XSession::pixel(QPoint point) const {
    xcb_connection_t* connection = connection_.get();
    const auto image = xcbOwned(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screenImage_,
                                          static_cast<std::int16_t>(point.x()),
                                          static_cast<std::int16_t>(point.y()), 1, 1, ~0U),
                            nullptr));
    return image ? *reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get())) &
                       0xFFFFFFU
                 : 0;
}

std::vector<std::uint32_t> XSession::values(WindowId window, const std::string& property) const {
    const auto reply = xcbOwned(
        xcb_get_property_reply(connection_.get(),
                               xcb_get_property(connection_.get(), 0, window, atom(property),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                               nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

std::uint32_t XSession::atom(const std::string& name) const {
    const auto reply = xcbOwned(xcb_intern_atom_reply(
        connection_.get(),
        xcb_intern_atom(connection_.get(), 0, static_cast<std::uint16_t>(name.size()),
                        name.c_str()),
        nullptr));
    return reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
}

QByteArray lineWith(QProcess& process, const QByteArray& text) {
    while (process.canReadLine() || process.waitForReadyRead(startTimeout)) {
        const QByteArray line = process.canReadLine() ? process.readLine() : QByteArray();
        if (line.contains(text)) {
            return line.trimmed();
        }
    }
    return {};
}

} // namespace test_support::x11
