#include "tests/x11/support/XSession.h"

#include "platform/linux/XcbPointer.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace test_support::x11 {

namespace {

using platform::linux_desktop::xcbOwned;
using platform::linux_desktop::XcbPointer;
using Clock = std::chrono::steady_clock;
constexpr auto pollInterval = std::chrono::milliseconds(20);

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name) {
    const auto reply = xcbOwned(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

XcbPointer<xcb_get_property_reply_t> getProperty(xcb_connection_t* connection, WindowId window,
                                                 const std::string& name) {
    const xcb_atom_t atom = internAtom(connection, name);
    return xcbOwned(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
}

WindowId rootOf(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

std::string textProperty(xcb_connection_t* connection, WindowId window, const std::string& name) {
    const auto reply = getProperty(connection, window, name);
    if (!reply || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

std::vector<std::uint32_t> numbersProperty(xcb_connection_t* connection, WindowId window,
                                           const std::string& name) {
    const auto reply = getProperty(connection, window, name);
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

bool isManaged(xcb_connection_t* connection, WindowId window) {
    return std::ranges::count(numbersProperty(connection, rootOf(connection), "_NET_CLIENT_LIST"),
                              window) > 0;
}

std::string titleOf(xcb_connection_t* connection, WindowId window) {
    std::string title = textProperty(connection, window, "_NET_WM_NAME");
    return title.empty() ? textProperty(connection, window, "WM_NAME") : title;
}

std::vector<WindowId> childrenOf(xcb_connection_t* connection, WindowId window) {
    const auto reply =
        xcbOwned(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!reply) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(reply.get());
    return {children, children + xcb_query_tree_children_length(reply.get())};
}

std::optional<WindowId> parseWindowId(const std::string& text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (end == text.c_str() || value == 0) {
        return std::nullopt;
    }
    return static_cast<WindowId>(value);
}

std::string hex(WindowId window) {
    std::ostringstream text;
    text << "0x" << std::hex << window;
    return text.str();
}

// Xvfb writes the display number it found free, then a newline, once it accepts clients.
std::optional<std::string> readDisplayNumber(int fd, std::chrono::milliseconds timeout) {
    std::string number;
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(pollInterval.count())) <= 0) {
            continue;
        }
        char next = 0;
        if (::read(fd, &next, 1) != 1) {
            break;
        }
        if (next == '\n') {
            return number;
        }
        number += next;
    }
    return std::nullopt;
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        if (QCoreApplication::instance() != nullptr) {
            QTest::qWait(static_cast<int>(pollInterval.count()));
        } else {
            std::this_thread::sleep_for(pollInterval);
        }
    }
    return true;
}

void XSession::ConnectionRelease::operator()(xcb_connection_t* connection) const {
    xcb_disconnect(connection);
}

XSession::Directory::Directory() {
    const char* base = std::getenv("TMPDIR"); // NOLINT(concurrency-mt-unsafe): main thread
    std::string pattern =
        (std::filesystem::path(base != nullptr ? base : "/tmp") / "pinlet-x11-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a session directory from " + pattern + ": " +
                                 std::strerror(errno));
    }
    path_ = pattern;
}

XSession::Directory::~Directory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

XSession::XSession(const SessionOptions& options) {
    startXServer(options.screen);
    if (options.windowManager) {
        startWindowManager();
    }
    if (options.trayHost) {
        startTrayHost();
    }
}

XSession::~XSession() = default;

void XSession::startXServer(const std::string& screen) {
    auto [readEnd, writeEnd] = makeChildPipe();
    xServer_.emplace(LaunchOptions{
        {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
        {},
        nextLogFile("Xvfb"),
        writeEnd.get()});
    // Ours closed, the pipe ends when Xvfb does: a server that fails is noticed at once.
    writeEnd.reset();
    const auto number = readDisplayNumber(readEnd.get(), defaultTimeout);
    if (!number) {
        throw std::runtime_error("Xvfb did not report a display number:\n" + xServer_->output());
    }
    display_ = ":" + *number;
    connection_.reset(xcb_connect(display_.c_str(), nullptr));
    if (xcb_connection_has_error(connection_.get()) != 0) {
        throw std::runtime_error("cannot connect to the test display " + display_);
    }
}

void XSession::startWindowManager() {
    // Private configuration and cache homes: openbox runs with its system configuration
    // whatever the user running the tests has set up.
    const std::filesystem::path home = directory() / "openbox";
    windowManager_.emplace(
        start({"openbox", "--sm-disable"}, {{"XDG_CONFIG_HOME", (home / "config").string()},
                                            {"XDG_CACHE_HOME", (home / "cache").string()}}));
    const WindowId root = rootOf(connection_.get());
    if (!waitUntil([&] {
            return !numbersProperty(connection_.get(), root, "_NET_SUPPORTING_WM_CHECK").empty();
        }) ||
        !windowManagerTakesWindows()) {
        throw std::runtime_error("openbox did not start on " + display_ + ":\n" +
                                 windowManager_->output());
    }
}

// Shows a window and waits until the window manager has taken it, then takes it away again.
// Openbox announces itself before it handles windows, and can leave events that arrived
// during its start-up unhandled until the next one comes: a property change on the root window
// that it watches is that next one.
bool XSession::windowManagerTakesWindows() {
    xcb_connection_t* connection = connection_.get();
    const WindowId root = rootOf(connection);
    const WindowId probe = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    // A user time of zero asks not to be focused: the probe leaves no active window behind.
    const std::uint32_t neverFocus = 0;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, probe,
                        internAtom(connection, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1,
                        &neverFocus);
    xcb_map_window(connection, probe);
    const xcb_atom_t nudge = internAtom(connection, "_PINLET_TEST_NUDGE");
    const bool taken = waitUntil([&] {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, nudge, XCB_ATOM_STRING, 8, 0,
                            nullptr);
        xcb_flush(connection);
        return isManaged(connection, probe);
    });
    xcb_destroy_window(connection, probe);
    xcb_flush(connection);
    return taken && waitUntil([&] { return !isManaged(connection, probe); });
}

void XSession::startTrayHost() {
    trayHost_.emplace(
        start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
               "24", "--SetDockType", "true", "--transparent", "false"}));
    const xcb_atom_t selection = internAtom(connection_.get(), "_NET_SYSTEM_TRAY_S0");
    if (!waitUntil([&] {
            const auto reply = xcbOwned(xcb_get_selection_owner_reply(
                connection_.get(), xcb_get_selection_owner(connection_.get(), selection), nullptr));
            return reply && reply->owner != XCB_WINDOW_NONE;
        })) {
        throw std::runtime_error("trayer did not take the tray selection on " + display_ + ":\n" +
                                 trayHost_->output());
    }
}

Environment XSession::environment(const Environment& extra) const {
    Environment variables = extra;
    variables.insert_or_assign("DISPLAY", display_);
    return variables;
}

const std::filesystem::path& XSession::directory() const {
    return directory_.path();
}

std::filesystem::path XSession::nextLogFile(const std::string& program) {
    ++launches_;
    return directory() / (std::to_string(launches_) + "-" +
                          std::filesystem::path(program).filename().string() + ".log");
}

CommandResult XSession::run(const std::vector<std::string>& arguments,
                            const std::string& input) const {
    return runCommand(arguments, environment(), input);
}

ChildProcess XSession::start(const std::vector<std::string>& arguments, const Environment& extra) {
    return ChildProcess(LaunchOptions{arguments, environment(extra),
                                      arguments.empty() ? "" : nextLogFile(arguments.front())});
}

ForeignWindow XSession::startForeignWindow(const std::string& title) {
    ChildProcess process = start({PINLET_X11_FOREIGN_WINDOW, title});
    const auto window = waitForWindow(title);
    if (!window) {
        throw std::runtime_error("the foreign window \"" + title + "\" was not shown:\n" +
                                 process.output());
    }
    return {std::move(process), *window};
}

std::optional<WindowId> XSession::findWindow(const std::string& title) const {
    std::deque<WindowId> pending{rootOf(connection_.get())};
    while (!pending.empty()) {
        const WindowId window = pending.front();
        pending.pop_front();
        if (isViewable(window) && titleOf(connection_.get(), window) == title) {
            return window;
        }
        for (const WindowId child : childrenOf(connection_.get(), window)) {
            pending.push_back(child);
        }
    }
    return std::nullopt;
}

std::optional<WindowId> XSession::waitForWindow(const std::string& title,
                                                std::chrono::milliseconds timeout) const {
    std::optional<WindowId> found;
    waitUntil([&] { return (found = findWindow(title)).has_value(); }, timeout);
    return found;
}

bool XSession::exists(WindowId window) const {
    const auto reply = xcbOwned(xcb_get_window_attributes_reply(
        connection_.get(), xcb_get_window_attributes(connection_.get(), window), nullptr));
    return reply != nullptr;
}

bool XSession::isViewable(WindowId window) const {
    const auto reply = xcbOwned(xcb_get_window_attributes_reply(
        connection_.get(), xcb_get_window_attributes(connection_.get(), window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::optional<WindowId> XSession::windowFromCommand(const std::string& query) const {
    const CommandResult result = run({"xdotool", query});
    return result.succeeded() ? parseWindowId(result.output) : std::nullopt;
}

std::optional<WindowId> XSession::activeWindow() const {
    return windowFromCommand("getactivewindow");
}

std::optional<WindowId> XSession::focusedWindow() const {
    return windowFromCommand("getwindowfocus");
}

std::string XSession::propertyValue(WindowId window, const std::string& property) const {
    const CommandResult result = run({"xprop", "-id", hex(window), property});
    const auto equals = result.output.find(" = ");
    if (!result.succeeded() || equals == std::string::npos) {
        return {};
    }
    std::string value = result.output.substr(equals + 3);
    while (!value.empty() && value.back() == '\n') {
        value.pop_back();
    }
    return value;
}

} // namespace test_support::x11
