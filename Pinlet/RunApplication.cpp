#include "Pinlet/RunApplication.h"

#include "Pinlet/Contrast.h"
#include "Pinlet/QuillpadApp.h"
#include "Pinlet/ToggleHotKeys.h"
#include "Pinlet/Translations.h"
#include "platform/Services.h"
#include "platform/linux/DefaultPlatformServices.h"
#include "platform/linux/InstanceRequestServer.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LargeBufferAllocation.h"
#include "platform/linux/QtPasteboard.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/XdgLoginItems.h"
#include "platform/linux/x11/DisplayKeyboardLayout.h"
#include "platform/linux/x11/X11HotKeyService.h"
#include "platform/linux/x11/X11SystemHotKeys.h"
#include "platform/linux/x11/X11UserTime.h"
#include "platform/linux/x11/X11Workspace.h"

#include <QApplication>
#include <QIcon>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

namespace desktop = platform::linux_desktop;

namespace {

using pinlet::RequestAction;

// By then the tray has taken the icon and Pinlet has drawn it: start-up is over, and what it freed
// goes back to the system, so that Pinlet idles in what it keeps.
constexpr int startUpSettledMilliseconds = 2000;

// The texts of this file, translated in the context "main".
struct Main {
    Q_DECLARE_TR_FUNCTIONS(main)
};

// A Wayland compositor keeps the keyboard to itself: X key grabs see keys only while one of
// Pinlet's own windows has focus, and the toggle is kept by the desktop instead.
bool isWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// What a request does in the running instance: exactly what the toggle shortcut and the tray
// window's button do, or what a click on the tray icon does. Where there is no tray, showing the
// note brings the Pinlet window too, as it is the application's home there.
void carryOut(pinlet::QuillpadApp& app, RequestAction action) {
    pinlet::PanelController& panel = app.appDelegate().panel();
    pinlet::MenuBarExtra& scene = app.scene();
    if (action == RequestAction::toggle) {
        panel.toggle();
    } else if (action == RequestAction::settings) {
        scene.openContent();
    } else if (action == RequestAction::show) {
        if (!scene.hasTray()) {
            scene.openContent();
        }
        panel.show();
    } else if (panel.isShown()) {
        panel.hide();
    }
}

int runWithStore(desktop::JsonPreferencesStore& preferences, const std::filesystem::path& lockPath,
                 std::optional<RequestAction> action) {
    desktop::X11UserTime userTime;
    userTime.watchApplicationInput();
    desktop::X11Workspace workspace(userTime);
    desktop::QtPasteboard pasteboard;
    desktop::XdgLoginItems loginItems(desktop::XdgLoginItems::defaultAutostartDirectory(),
                                      QCoreApplication::applicationFilePath().toStdString());
    desktop::SyslogSystemLog systemLog;
    desktop::X11HotKeyService keyGrabs(userTime);
    desktop::X11SystemHotKeys systemHotKeys(keyGrabs, desktop::displayKeyboardLayout(),
                                            pinlet::ToggleHotKeys::gnomeCommandPath);
    const pinlet::ToggleHotKeys hotKeys(keyGrabs, desktop::displayKeyboardLayout().keymap(),
                                        isWaylandSession());
    // The library's set-up, as any application's, with Pinlet's own store and hot keys.
    const auto& library =
        KeyboardShortcuts::installDefaultPlatformServices({.preferences = &preferences,
                                                           .hotKeys = &hotKeys.service(),
                                                           .systemHotKeys = &systemHotKeys});
    pinlet::QuillpadApp app(platform::Services{
        preferences, library.notifications, library.mainQueue, workspace, pasteboard, loginItems,
        systemLog, library.hotKeys, library.keyboardLayout, library.keyEvents, systemHotKeys});
    const auto showShortcutHome = [&app, &hotKeys] {
        app.scene().setShortcutHome(hotKeys.whereKept(),
                                    hotKeys.home() != pinlet::ToggleHotKeys::Home::nowhere);
    };
    showShortcutHome();
    QObject::connect(&hotKeys, &pinlet::ToggleHotKeys::homeChanged, showShortcutHome);
    if (action) {
        carryOut(app, *action);
    }
    const desktop::InstanceRequestServer requests(
        desktop::requestSocketPathFor(lockPath),
        [&userTime, &app](const desktop::InstanceRequest& request) {
            userTime.recordLaunch(request.startupId);
            carryOut(app, request.action);
        });
    if (const std::string error = requests.error(); !error.empty()) {
        pinlet::complain(Main::tr("Pinlet takes no requests from the command line: %1")
                             .arg(QString::fromStdString(error)));
    }
    QTimer::singleShot(startUpSettledMilliseconds, &desktop::giveBackFreedHeap);
    return QApplication::exec();
}

} // namespace

int pinlet::runApplication(int& argc, char** argv, const ApplicationStart& start) {
    desktop::keepLargeBuffersInHeap();
    // Through XWayland on a Wayland session: only an X client may place its panel where it was,
    // keep it above the others and give it the keyboard when it shows.
    if (isWaylandSession() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    pinlet::installTranslations();
    pinlet::outlineCheckBoxes();
    QApplication::setDesktopFileName(QStringLiteral("pinlet"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pinlet")));
    QApplication::setQuitOnLastWindowClosed(false);

    desktop::JsonPreferencesStore preferences(start.preferencesPath);
    const desktop::FlushAtExit flushAtExit(preferences);
    const desktop::QuitSignals quitSignals;
    QObject::connect(&application, &QGuiApplication::commitDataRequest,
                     [&preferences](QSessionManager&) { preferences.flush(); });
    try {
        const int status = runWithStore(preferences, start.lockPath, start.action);
        preferences.flush();
        return status;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "Pinlet: %s\n", error.what());
        return 1;
    }
}
