#include "Pinlet/QuillpadApp.h"
#include "platform/Services.h"
#include "platform/linux/DisplayKeyboardLayout.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/LargeBufferAllocation.h"
#include "platform/linux/QtEventTranslation.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtMenuTracking.h"
#include "platform/linux/QtPasteboard.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SingleInstanceLock.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/X11HotKeyService.h"
#include "platform/linux/X11SystemHotKeys.h"
#include "platform/linux/X11UserTime.h"
#include "platform/linux/X11Workspace.h"
#include "platform/linux/XdgLoginItems.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSessionManager>
#include <cstdio>
#include <stdexcept>

namespace desktop = platform::linux_desktop;

namespace {

// Answers --help and --version, and refuses options it does not know. It runs before the lock and
// the display, so that both answer while Pinlet runs and where there is no display.
void readCommandLine(int& argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A scratch note in a floating panel that a keyboard shortcut shows from anywhere."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(application);
}

int runApplication(desktop::JsonPreferencesStore& preferences) {
    desktop::X11UserTime userTime;
    userTime.watchApplicationInput();
    desktop::X11Workspace workspace(userTime);
    platform::NotificationCenter notifications;
    desktop::QtMainQueue mainQueue(*qApp);
    desktop::QtPasteboard pasteboard;
    desktop::XdgLoginItems loginItems(desktop::XdgLoginItems::defaultAutostartDirectory(),
                                      QCoreApplication::applicationFilePath().toStdString());
    desktop::SyslogSystemLog systemLog;
    desktop::X11HotKeyService hotKeys(userTime);
    desktop::X11SystemHotKeys systemHotKeys(hotKeys, desktop::displayKeyboardLayout());
    const desktop::QtMenuTracking menuTracking(notifications);
    const pinlet::QuillpadApp app(
        platform::Services{preferences, notifications, mainQueue, workspace, pasteboard, loginItems,
                           systemLog, hotKeys, desktop::displayKeyboardLayout(),
                           desktop::displayKeyEventTranslator(), systemHotKeys});
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("Pinlet"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PINLET_VERSION));
    readCommandLine(argc, argv);

    // The lock comes first: a second instance leaves before it can touch the store.
    const auto preferencesPath = desktop::JsonPreferencesStore::defaultPath();
    const auto lock =
        desktop::SingleInstanceLock::acquire(desktop::SingleInstanceLock::pathFor(preferencesPath));
    if (const auto* failure = std::get_if<desktop::LockFailure>(&lock)) {
        std::fprintf(stderr, "%s\n", failure->message().c_str());
        return 1;
    }

    desktop::keepLargeBuffersInHeap();
    QApplication application(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("pinlet"));
    QApplication::setQuitOnLastWindowClosed(false);

    desktop::JsonPreferencesStore preferences(preferencesPath);
    const desktop::FlushAtExit flushAtExit(preferences);
    const desktop::QuitSignals quitSignals;
    QObject::connect(&application, &QGuiApplication::commitDataRequest,
                     [&preferences](QSessionManager&) { preferences.flush(); });
    try {
        const int status = runApplication(preferences);
        preferences.flush();
        return status;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "Pinlet: %s\n", error.what());
        return 1;
    }
}
