#include "Pinlet/ToggleHotKeys.h"

#include "KeyboardShortcuts/Name.h"
#include "Pinlet/ToggleShortcut.h"
#include "platform/linux/FallbackHotKeyService.h"
#include "platform/linux/gnome/GnomeKeybindingHotKeyService.h"
#include "platform/linux/portal/PortalHotKeyService.h"
#include "platform/linux/x11/X11HotKeyService.h"

#include <QCoreApplication>
#include <cstdio>

namespace pinlet {
namespace {

using platform::linux_desktop::GnomeKeybindingHotKeyService;

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

bool isGnomeFamily() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .split(QLatin1Char(':'))
        .contains(QStringLiteral("GNOME"), Qt::CaseInsensitive);
}

GnomeKeybindingHotKeyService::Entry gnomeEntry(const QString& name) {
    return {.path = ToggleHotKeys::gnomeCommandPath,
            .name = name.toStdString(),
            .command = {QCoreApplication::applicationFilePath().toStdString(), "--toggle"}};
}

// The user changed the keys in GNOME's settings: they are the toggle's now.
void takeUsersChoice(const std::optional<platform::linux_desktop::KeyCombination>& combination) {
    KeyboardShortcuts::setShortcut(combination ? std::optional(KeyboardShortcuts::Shortcut(
                                                     combination->keyCode, combination->modifiers))
                                               : std::nullopt,
                                   togglePanel());
}

} // namespace

ToggleHotKeys::ToggleHotKeys(platform::linux_desktop::X11HotKeyService& keyGrabs,
                             const platform::linux_desktop::XkbKeymap& keymap, bool waylandSession)
    : keymap_(keymap), keyGrabs_(keyGrabs), home_(waylandSession ? Home::portal : Home::keyGrabs) {
    if (!waylandSession) {
        return;
    }
    portal_ = std::make_unique<platform::linux_desktop::PortalHotKeyService>(
        keymap, tr("Show or hide the Pinlet note").toStdString(), [this] { leavePortal(); });
    wayland_ = std::make_unique<platform::linux_desktop::FallbackHotKeyService>(*portal_);
}

ToggleHotKeys::~ToggleHotKeys() = default;

platform::HotKeyService& ToggleHotKeys::service() const {
    return wayland_ ? static_cast<platform::HotKeyService&>(*wayland_) : keyGrabs_;
}

QString ToggleHotKeys::whereKept() const {
    return home_ == Home::gnomeSettings
               ? tr("This shortcut is kept in GNOME's Settings › Keyboard › Custom Shortcuts.")
               : QString();
}

// The portal is missing or refused: GNOME's own settings, where they can keep the keys.
void ToggleHotKeys::leavePortal() {
    const auto entry = gnomeEntry(tr("Pinlet: show or hide the note"));
    const auto problem = isGnomeFamily() ? GnomeKeybindingHotKeyService::problemWith(entry)
                                         : std::optional<std::string>();
    if (isGnomeFamily() && !problem) {
        gnome_ = std::make_unique<GnomeKeybindingHotKeyService>(keymap_, entry, takeUsersChoice);
        wayland_->fallBackTo(*gnome_);
        moveTo(Home::gnomeSettings);
        return;
    }
    if (problem) {
        say(tr("Pinlet cannot keep its shortcut in GNOME's settings: %1.")
                .arg(QString::fromStdString(*problem)));
    }
    say(tr("This desktop offers no global shortcuts to applications: bind \"pinlet --toggle\" in "
           "its keyboard settings to show and hide the note."));
    moveTo(Home::nowhere);
}

void ToggleHotKeys::moveTo(Home home) {
    home_ = home;
    emit homeChanged();
}

} // namespace pinlet
