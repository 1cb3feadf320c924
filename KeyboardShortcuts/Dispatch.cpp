#include "KeyboardShortcuts/Dispatch.h"

#include "KeyboardShortcuts/CarbonKeyboardShortcuts.h"
#include "KeyboardShortcuts/internal/DispatchState.h"
#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "KeyboardShortcuts/internal/StreamBuffer.h"
#include "KeyboardShortcuts/internal/Testing.h"
#include "platform/MainQueue.h"
#include "platform/MenuTracking.h"
#include "platform/NotificationCenter.h"

#include <QUuid>
#include <map>
#include <unordered_map>

namespace KeyboardShortcuts {
namespace {

using HandlerTable = std::unordered_map<Name, std::vector<Action>>;
using StreamTable = std::unordered_map<Name, std::map<QUuid, Action>>;

struct State {
    std::unordered_set<Shortcut> registeredShortcuts;
    HandlerTable legacyKeyDownHandlers;
    HandlerTable legacyKeyUpHandlers;
    StreamTable streamKeyDownHandlers;
    StreamTable streamKeyUpHandlers;
    bool isEnabled = true;
    bool isMenuOpen = false;
    bool isPaused = false;
    bool isInitialized = false;
};

State& state() {
    static State instance;
    return instance;
}

template <typename Table>
void addShortcutsOf(const Table& table, std::unordered_set<Shortcut>& shortcuts) {
    for (const auto& [name, handlers] : table) {
        if (const auto shortcut = getShortcut(name)) {
            shortcuts.insert(*shortcut);
        }
    }
}

std::unordered_set<Shortcut> shortcutsForLegacyHandlers() {
    std::unordered_set<Shortcut> shortcuts;
    addShortcutsOf(state().legacyKeyDownHandlers, shortcuts);
    addShortcutsOf(state().legacyKeyUpHandlers, shortcuts);
    return shortcuts;
}

// A stream's name leaves the stream tables with its last stream, so every name there counts.
std::unordered_set<Shortcut> shortcutsForStreamHandlers() {
    std::unordered_set<Shortcut> shortcuts;
    addShortcutsOf(state().streamKeyDownHandlers, shortcuts);
    addShortcutsOf(state().streamKeyUpHandlers, shortcuts);
    return shortcuts;
}

void addHandler(HandlerTable& table, const Name& name, Action action) {
    table[name].push_back(std::move(action));
    if (const auto shortcut = getShortcut(name)) {
        internal::registerShortcut(*shortcut, name);
    }
}

// Handlers may add or remove handlers, or change shortcuts, while they run: the ones to call
// are chosen before the first runs.
void dispatch(const Shortcut& shortcut, const HandlerTable& legacy, const StreamTable& streams) {
    if (state().isPaused) {
        return;
    }
    std::vector<Action> actions;
    for (const auto& [name, handlers] : legacy) {
        if (getShortcut(name) == shortcut) {
            actions.insert(actions.end(), handlers.begin(), handlers.end());
        }
    }
    for (const auto& [name, handlers] : streams) {
        if (getShortcut(name) == shortcut) {
            for (const auto& [id, handler] : handlers) {
                actions.push_back(handler);
            }
        }
    }
    for (const Action& action : actions) {
        action();
    }
}

void setMenuOpen(bool isOpen) {
    if (state().isMenuOpen == isOpen) {
        return;
    }
    state().isMenuOpen = isOpen;
    CarbonKeyboardShortcuts::updateEventHandler();
}

void addStream(const Name& name, const QUuid& id,
               const std::shared_ptr<internal::StreamBuffer>& buffer) {
    state().streamKeyDownHandlers[name][id] = [buffer] { buffer->yield(EventType::keyDown); };
    state().streamKeyUpHandlers[name][id] = [buffer] { buffer->yield(EventType::keyUp); };
    if (const auto shortcut = getShortcut(name)) {
        internal::registerShortcut(*shortcut, name);
    }
}

void removeStreamHandler(StreamTable& table, const Name& name, const QUuid& id) {
    const auto found = table.find(name);
    if (found == table.end()) {
        return;
    }
    found->second.erase(id);
    if (found->second.empty()) {
        table.erase(found);
    }
}

void removeStream(const Name& name, const QUuid& id) {
    removeStreamHandler(state().streamKeyDownHandlers, name, id);
    removeStreamHandler(state().streamKeyUpHandlers, name, id);
    const auto shortcut = getShortcut(name);
    if (shortcut && !shortcutsForLegacyHandlers().contains(*shortcut) &&
        !shortcutsForStreamHandlers().contains(*shortcut)) {
        internal::unregisterShortcut(*shortcut);
    }
}

EventStream makeStream(const Name& name, std::optional<EventType> filter) {
    platform::MainQueue& mainQueue = internal::installedServices().mainQueue;
    auto buffer = std::make_shared<internal::StreamBuffer>(mainQueue, filter);
    const QUuid id = QUuid::createUuid();
    mainQueue.post([name, id, buffer] { addStream(name, id, buffer); });
    buffer->setTermination([name, id] { removeStream(name, id); });
    return EventStream(buffer);
}

} // namespace

bool isEnabled() {
    return state().isEnabled;
}

void setEnabled(bool enabled) {
    if (state().isEnabled == enabled) {
        return;
    }
    state().isEnabled = enabled;
    CarbonKeyboardShortcuts::updateEventHandler();
}

void onKeyDown(const Name& name, Action action) {
    addHandler(state().legacyKeyDownHandlers, name, std::move(action));
}

void onKeyUp(const Name& name, Action action) {
    addHandler(state().legacyKeyUpHandlers, name, std::move(action));
}

void removeHandler(const Name& name) {
    state().legacyKeyDownHandlers.erase(name);
    state().legacyKeyUpHandlers.erase(name);
    const auto shortcut = getShortcut(name);
    if (shortcut && !shortcutsForStreamHandlers().contains(*shortcut)) {
        internal::unregisterShortcut(*shortcut);
    }
}

void removeAllHandlers() {
    const auto streamShortcuts = shortcutsForStreamHandlers();
    for (const Shortcut& shortcut : shortcutsForLegacyHandlers()) {
        if (!streamShortcuts.contains(shortcut)) {
            internal::unregisterShortcut(shortcut);
        }
    }
    state().legacyKeyDownHandlers.clear();
    state().legacyKeyUpHandlers.clear();
}

bool isEnabled(const Name& name) {
    if (!state().isEnabled) {
        return false;
    }
    const auto shortcut = getShortcut(name);
    return shortcut && state().registeredShortcuts.contains(*shortcut);
}

void enable(const std::vector<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name)) {
            internal::registerShortcut(*shortcut, name);
        }
    }
}

void disable(const std::vector<Name>& names) {
    for (const Name& name : names) {
        if (const auto shortcut = getShortcut(name)) {
            internal::unregisterShortcut(*shortcut);
        }
    }
}

EventStream events(const Name& name) {
    return makeStream(name, std::nullopt);
}

EventStream events(EventType type, const Name& name) {
    return makeStream(name, type);
}

namespace internal {

bool isMenuOpen() {
    return state().isMenuOpen;
}

bool isPaused() {
    return state().isPaused;
}

void setPaused(bool paused) {
    state().isPaused = paused;
}

const std::unordered_set<Shortcut>& registeredShortcuts() {
    return state().registeredShortcuts;
}

// A shortcut the desktop refused still counts as registered, so it is not tried again until it
// is taken back.
void registerShortcut(const Shortcut& shortcut, const Name& name) {
    if (state().registeredShortcuts.contains(shortcut)) {
        return;
    }
    CarbonKeyboardShortcuts::register_(shortcut, handleOnKeyDown, handleOnKeyUp,
                                       {.name = name.rawValue(), .description = description(name)});
    state().registeredShortcuts.insert(shortcut);
}

void unregisterShortcut(const Shortcut& shortcut) {
    CarbonKeyboardShortcuts::unregister(shortcut);
    state().registeredShortcuts.erase(shortcut);
}

void handleOnKeyDown(const Shortcut& shortcut) {
    dispatch(shortcut, state().legacyKeyDownHandlers, state().streamKeyDownHandlers);
}

void handleOnKeyUp(const Shortcut& shortcut) {
    dispatch(shortcut, state().legacyKeyUpHandlers, state().streamKeyUpHandlers);
}

// The observers live as long as the process.
void initialize() {
    if (state().isInitialized) {
        return;
    }
    platform::NotificationCenter& notifications = installedServices().notifications;
    notifications.addObserver(platform::menuDidBeginTrackingNotification,
                              [](const platform::Notification&) { setMenuOpen(true); });
    notifications.addObserver(platform::menuDidEndTrackingNotification,
                              [](const platform::Notification&) { setMenuOpen(false); });
    state().isInitialized = true;
}

void resetDispatch() {
    state() = {};
}

} // namespace internal
} // namespace KeyboardShortcuts
