#include "platform/linux/x11/X11Workspace.h"

#include "platform/linux/x11/X11UserTime.h"
#include "platform/linux/x11/XcbPointer.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <string_view>
#include <unistd.h>
#include <xcb/xcb.h>

namespace platform::linux_desktop {

namespace {

constexpr std::array<std::string_view, 16> atomNames{"_NET_ACTIVE_WINDOW",
                                                     "_NET_WM_PID",
                                                     "_NET_SUPPORTED",
                                                     "_NET_WM_DESKTOP",
                                                     "_NET_WM_STATE",
                                                     "_NET_WM_STATE_STICKY",
                                                     "_NET_WM_STATE_SKIP_TASKBAR",
                                                     "_NET_WM_STATE_SKIP_PAGER",
                                                     "_NET_WM_STATE_ABOVE",
                                                     "_NET_WM_USER_TIME",
                                                     "_NET_WM_USER_TIME_WINDOW",
                                                     "_KEYBOARD_SHORTCUTS_SERVER_TIME",
                                                     "_NET_CLIENT_LIST_STACKING",
                                                     "_NET_SYSTEM_TRAY_S0",
                                                     "_NET_SYSTEM_TRAY_COLORS",
                                                     "MANAGER"};

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
// EWMH source indication of a request made on the user's behalf: the window manager obeys it
// rather than weighing it as an application's own wish.
constexpr std::uint32_t sourceIndicationUser = 2;
constexpr std::uint32_t addState = 1;
constexpr std::uint32_t longPropertyLength = 4096;

} // namespace

X11Workspace::X11Workspace(const X11UserTime& userTime, const std::string& displayName)
    : userTime_(userTime), connection_(connectToDisplay(displayName)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_.get())).data->root;
    internAtoms();
    createTimeProbeWindow();
    // Structure events bring the MANAGER message of a tray that starts.
    const std::uint32_t rootEvents =
        XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_.get(), root_, XCB_CW_EVENT_MASK, &rootEvents);
    followTrayManager();
    events_ = std::make_unique<XcbEventWatch>(
        connection_.get(), [this](const xcb_generic_event_t& event) { handleEvent(event); });
}

X11Workspace::~X11Workspace() = default;

void X11Workspace::internAtoms() {
    xcb_connection_t* connection = connection_.get();
    std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
    std::ranges::transform(atomNames, cookies.begin(), [connection](std::string_view name) {
        return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    });
    std::ranges::transform(cookies, atoms_.begin(), [connection](xcb_intern_atom_cookie_t cookie) {
        const auto reply = xcbOwned(xcb_intern_atom_reply(connection, cookie, nullptr));
        return reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    });
}

// A window that is never shown: appending nothing to one of its properties makes the server
// report its current time.
void X11Workspace::createTimeProbeWindow() {
    timeProbe_ = xcb_generate_id(connection_.get());
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_.get(), XCB_COPY_FROM_PARENT, timeProbe_, root_, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    xcb_flush(connection_.get());
}

void X11Workspace::handleEvent(const xcb_generic_event_t& event) {
    switch (eventType(event)) {
    case XCB_MAP_NOTIFY: {
        const WindowId window = reinterpret_cast<const xcb_map_notify_event_t&>(event).window;
        if (keptOnAllDesktops_.contains(window)) {
            askForAllDesktops(window);
            xcb_flush(connection_.get());
        }
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const WindowId window = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
        keptOnAllDesktops_.erase(window);
        userTimeWindows_.erase(window);
        if (window == trayManager_) {
            followTrayManager();
        }
        break;
    }
    case XCB_CLIENT_MESSAGE: {
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        if (message.type == atoms_[Manager] && message.data.data32[1] == atoms_[TraySelection]) {
            followTrayManager();
        }
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window == root_ && notify.atom == atoms_[ActiveWindow]) {
            noteActiveWindow();
        } else if (notify.window == trayManager_ && notify.atom == atoms_[TrayColours]) {
            noteTrayForeground();
        } else if (notify.window == root_ && notify.atom == atoms_[Supported]) {
            supported_.reset();
        } else if (notify.atom == atoms_[WmUserTimeWindow]) {
            userTimeWindows_.erase(notify.window);
        }
        break;
    }
    default:
        // An error of a request about a window that went away meanwhile, with nothing left to
        // do about it, or an event of no interest.
        break;
    }
}

std::optional<std::vector<std::uint32_t>>
X11Workspace::readWindowProperty(WindowId window, Atom property, std::uint32_t type) {
    xcb_generic_error_t* error = nullptr;
    const auto reply = xcbOwned(
        xcb_get_property_reply(connection_.get(),
                               xcb_get_property(connection_.get(), 0, window, atoms_[property],
                                                type, 0, longPropertyLength),
                               &error));
    if (const auto windowIsGone = xcbOwned(error)) {
        return std::nullopt;
    }
    if (!reply || reply->format != 32 || reply->type != type) {
        return std::vector<std::uint32_t>{};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values,
                                      values + xcb_get_property_value_length(reply.get()) / 4);
}

std::vector<std::uint32_t> X11Workspace::readProperty(WindowId window, Atom property,
                                                      std::uint32_t type) {
    return readWindowProperty(window, property, type).value_or(std::vector<std::uint32_t>{});
}

// Some window managers leave a destroyed window as the active one until another takes the
// focus: nothing receives key events then.
std::optional<RunningApplication> X11Workspace::frontmostApplication() {
    const WindowId active = activeWindow();
    if (active == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    const auto pid = readWindowProperty(active, WmPid, XCB_ATOM_CARDINAL);
    if (!pid) {
        return std::nullopt;
    }
    return RunningApplication{active, pid->empty() ? 0 : std::int64_t{pid->front()}};
}

bool X11Workspace::isCurrentApplication(const RunningApplication& app) {
    return app.processId == ::getpid();
}

// An application whose remembered window closed still counts while another of its windows is
// there (a dialog that closed, one of several browser windows).
bool X11Workspace::isTerminated(const RunningApplication& app) {
    const bool processGone =
        app.processId > 0 && ::kill(static_cast<pid_t>(app.processId), 0) != 0 && errno == ESRCH;
    return processGone || !windowToActivate(app);
}

void X11Workspace::activate(const RunningApplication& app) {
    if (const auto window = windowToActivate(app)) {
        requestActivation(*window, triggeringTime());
    }
}

void X11Workspace::observeActivations(std::function<void()> onActivation) {
    onActivation_ = std::move(onActivation);
    activeWindow_ = activeWindow();
}

// Window managers write the property again with the value it has.
void X11Workspace::noteActiveWindow() {
    const WindowId active = activeWindow();
    if (active != activeWindow_) {
        activeWindow_ = active;
        if (onActivation_) {
            onActivation_();
        }
    }
}

void X11Workspace::observeTrayForeground(std::function<void(std::optional<Rgb>)> onChange) {
    onTrayForeground_ = std::move(onChange);
    if (onTrayForeground_) {
        onTrayForeground_(trayForeground_);
    }
}

// The tray's manager window is watched for its colours and for its end; a tray that starts
// announces its own.
void X11Workspace::followTrayManager() {
    const auto owner = xcbOwned(xcb_get_selection_owner_reply(
        connection_.get(), xcb_get_selection_owner(connection_.get(), atoms_[TraySelection]),
        nullptr));
    trayManager_ = owner ? owner->owner : WindowId{XCB_WINDOW_NONE};
    if (trayManager_ != XCB_WINDOW_NONE) {
        watch(trayManager_);
        xcb_flush(connection_.get());
    }
    noteTrayForeground();
}

// The colours are foreground, error, warning and success, each as 16-bit red, green, blue.
void X11Workspace::noteTrayForeground() {
    const auto colours = readProperty(trayManager_, TrayColours, XCB_ATOM_CARDINAL);
    std::optional<Rgb> foreground;
    if (colours.size() >= 3) {
        foreground = (colours[0] >> 8 & 0xFFU) << 16 | (colours[1] >> 8 & 0xFFU) << 8 |
                     (colours[2] >> 8 & 0xFFU);
    }
    if (foreground != trayForeground_) {
        trayForeground_ = foreground;
        if (onTrayForeground_) {
            onTrayForeground_(trayForeground_);
        }
    }
}

WindowId X11Workspace::activeWindow() {
    const auto active = readProperty(root_, ActiveWindow, XCB_ATOM_WINDOW);
    lastReadActiveWindow_ = active.empty() ? WindowId{XCB_WINDOW_NONE} : active.front();
    return lastReadActiveWindow_;
}

bool X11Workspace::supportsActivation() {
    if (!supported_) {
        supported_ = readProperty(root_, Supported, XCB_ATOM_ATOM);
    }
    return std::ranges::find(*supported_, atoms_[ActiveWindow]) != supported_->end();
}

std::optional<WindowId> X11Workspace::windowToActivate(const RunningApplication& app) {
    if (readWindowProperty(app.window, WmPid, XCB_ATOM_CARDINAL)) {
        return app.window;
    }
    if (app.processId <= 0) {
        return std::nullopt;
    }
    // Bottom to top: the last of the application's windows is its topmost.
    const auto stacking = readProperty(root_, ClientListStacking, XCB_ATOM_WINDOW);
    const auto topmost = std::find_if(stacking.rbegin(), stacking.rend(), [&](WindowId window) {
        const auto pid = readProperty(window, WmPid, XCB_ATOM_CARDINAL);
        return !pid.empty() && pid.front() == app.processId;
    });
    return topmost == stacking.rend() ? std::nullopt : std::optional(*topmost);
}

void X11Workspace::makeKeyWindow(WindowId window) {
    const std::uint32_t time = triggeringTime();
    setUserTime(window, time);
    requestActivation(window, time);
}

void X11Workspace::keepOnAllDesktops(WindowId window) {
    if (keptOnAllDesktops_.insert(window).second) {
        watch(window);
    }
    const auto attributes = xcbOwned(xcb_get_window_attributes_reply(
        connection_.get(), xcb_get_window_attributes(connection_.get(), window), nullptr));
    if (!attributes) {
        keptOnAllDesktops_.erase(window);
        return;
    }
    // A window manager reads the properties of a window when it starts managing it, and
    // afterwards takes changes as requests only; an unmapped window may be managed already
    // (minimised), so it gets both.
    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        setAllDesktopsProperties(window);
    }
    askForAllDesktops(window);
    xcb_flush(connection_.get());
}

void X11Workspace::setAllDesktopsProperties(WindowId window) {
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, window, atoms_[WmDesktop],
                        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    std::vector<std::uint32_t> states = readProperty(window, WmState, XCB_ATOM_ATOM);
    for (const Atom state : {StateSticky, StateSkipTaskbar, StateSkipPager, StateAbove}) {
        if (std::ranges::find(states, atoms_[state]) == states.end()) {
            states.push_back(atoms_[state]);
        }
    }
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, window, atoms_[WmState],
                        XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(states.size()),
                        states.data());
}

void X11Workspace::askForAllDesktops(WindowId window) {
    sendToRoot(window, WmDesktop, {allDesktops, sourceIndicationUser, 0, 0, 0});
    sendToRoot(window, WmState,
               {addState, atoms_[StateSticky], atoms_[StateSkipTaskbar], sourceIndicationUser, 0});
    sendToRoot(window, WmState,
               {addState, atoms_[StateSkipPager], atoms_[StateAbove], sourceIndicationUser, 0});
}

void X11Workspace::requestActivation(WindowId window, std::uint32_t time) {
    if (supportsActivation()) {
        sendToRoot(window, ActiveWindow, {sourceIndicationUser, time, lastReadActiveWindow_, 0, 0});
    } else {
        xcb_set_input_focus(connection_.get(), XCB_INPUT_FOCUS_PARENT, window, time);
        const std::uint32_t stackMode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection_.get(), window, XCB_CONFIG_WINDOW_STACK_MODE, &stackMode);
    }
    xcb_flush(connection_.get());
}

// Where the toolkit keeps the user time on a window of its own (_NET_WM_USER_TIME_WINDOW),
// the window manager reads it from there.
void X11Workspace::setUserTime(WindowId window, std::uint32_t time) {
    xcb_change_property(connection_.get(), XCB_PROP_MODE_REPLACE, userTimeWindow(window),
                        atoms_[WmUserTime], XCB_ATOM_CARDINAL, 32, 1, &time);
}

WindowId X11Workspace::userTimeWindow(WindowId window) {
    if (const auto known = userTimeWindows_.find(window); known != userTimeWindows_.end()) {
        return known->second;
    }
    watch(window);
    const auto timeWindow = readProperty(window, WmUserTimeWindow, XCB_ATOM_WINDOW);
    return userTimeWindows_.emplace(window, timeWindow.empty() ? window : timeWindow.front())
        .first->second;
}

// Its destruction and its properties: the toolkit may give it a user time window later, a tray
// its colours.
void X11Workspace::watch(WindowId window) {
    const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_.get(), window, XCB_CW_EVENT_MASK, &events);
}

void X11Workspace::sendToRoot(WindowId window, Atom type,
                              const std::array<std::uint32_t, 5>& data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atoms_[type];
    std::ranges::copy(data, std::begin(message.data.data32));
    xcb_send_event(connection_.get(), 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

std::uint32_t X11Workspace::triggeringTime() {
    const auto latest = userTime_.latest();
    return latest ? *latest : serverTime();
}

std::uint32_t X11Workspace::serverTime() {
    xcb_change_property(connection_.get(), XCB_PROP_MODE_APPEND, timeProbe_,
                        atoms_[ServerTimeProbe], XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection_.get());
    while (const auto event = xcbOwned(xcb_wait_for_event(connection_.get()))) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(*event);
        if (eventType(*event) == XCB_PROPERTY_NOTIFY && notify.window == timeProbe_) {
            return notify.time;
        }
        handleEvent(*event);
    }
    // The connection broke: no time at all, which window managers treat as "now".
    return XCB_CURRENT_TIME;
}

} // namespace platform::linux_desktop
