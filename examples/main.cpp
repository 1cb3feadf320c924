// A window with one global shortcut: a field to change it, a menu action and a button that show
// it, and a greeting each time it is let go, wherever the keyboard focus is.
#include "KeyboardShortcuts/Dispatch.h"
#include "KeyboardShortcuts/MenuItemBinding.h"
#include "KeyboardShortcuts/PlatformServices.h"
#include "KeyboardShortcuts/Recorder.h"
#include "KeyboardShortcuts/ViewModifiers.h"
#include "platform/NotificationCenter.h"
#include "platform/linux/DisplayKeyboardLayout.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/QtEventTranslation.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/X11HotKeyService.h"
#include "platform/linux/X11SystemHotKeys.h"
#include "platform/linux/X11UserTime.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace desktop = platform::linux_desktop;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("shortcut-example"));
    // $XDG_CONFIG_HOME/shortcut-example/preferences.json
    const auto preferencesPath =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString() +
        "/preferences.json";
    QMainWindow window;
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* greeting = new QLabel(QStringLiteral("Press the shortcut anywhere and let it go."));
    int greetings = 0;
    const auto greet = [&] { greeting->setText(QStringLiteral("Hello #%1").arg(++greetings)); };

    // README sample: begin
    // The services the library reaches the desktop through; they outlive its use.
    desktop::JsonPreferencesStore preferences(preferencesPath);
    desktop::X11UserTime userTime;
    userTime.watchApplicationInput();
    platform::NotificationCenter notifications;
    desktop::QtMainQueue mainQueue(application);
    desktop::X11HotKeyService hotKeys(userTime);
    desktop::X11SystemHotKeys systemHotKeys(hotKeys, desktop::displayKeyboardLayout());
    KeyboardShortcuts::installPlatformServices(
        {preferences, notifications, mainQueue, hotKeys, desktop::displayKeyboardLayout(),
         desktop::displayKeyEventTranslator(), systemHotKeys});

    // A name, with the shortcut it has until the user changes it: Ctrl+Alt+G.
    const KeyboardShortcuts::Name greetName(
        "greet", KeyboardShortcuts::Shortcut(KeyboardShortcuts::Key::g,
                                             platform::ModifierFlags::control |
                                                 platform::ModifierFlags::option));

    // The field in which the user records another shortcut for the name.
    layout->addWidget(new KeyboardShortcuts::Recorder(QStringLiteral("Greet:"), greetName));

    // Runs when the shortcut is let go, in any application.
    KeyboardShortcuts::onKeyUp(greetName, greet);

    // A menu action and a button that show the name's keys as their own shortcut.
    QAction* action =
        window.menuBar()->addMenu(QStringLiteral("&Greeting"))->addAction(QStringLiteral("Greet"));
    KeyboardShortcuts::setShortcutFor(*action, greetName);
    auto* button = new QPushButton(QStringLiteral("Greet"));
    KeyboardShortcuts::globalKeyboardShortcut(*button, greetName);
    // README sample: end

    QObject::connect(action, &QAction::triggered, greet);
    QObject::connect(button, &QPushButton::clicked, greet);
    layout->addWidget(button);
    layout->addWidget(greeting);
    window.setCentralWidget(content);
    window.show();
    return QApplication::exec();
}
