// The store's other process in the store tests:
//   store_test_writer hold <file> <value>  sets "value" and leaves it unsaved
//   store_test_writer type <file>          sets one new state after another, written at once by
//                                          the store's own timer, and prints a line for each
// It says "ready" once the test may act, then runs until a quit signal, or until a line on
// standard input makes it call exit(3).
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace platform::linux_desktop;
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool typing = arguments.at(1) == "type";
    JsonPreferencesStore store(arguments.at(2).toStdString(),
                               typing ? std::chrono::hours(0) : std::chrono::hours(24));
    const FlushAtExit flushAtExit(store);
    const QuitSignals quitSignals;
    const QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] { std::exit(3); });

    int states = 0;
    QTimer keystroke;
    // Another mebibyte each time, more than a pipe holds.
    QObject::connect(&keystroke, &QTimer::timeout, [&] {
        store.set("payload", std::string(1U << 20U, static_cast<char>('a' + states++ % 26)));
        std::cout << "typed" << std::endl;
    });
    if (typing) {
        keystroke.start(10);
    } else {
        store.set("value", arguments.at(3).toStdString());
    }
    std::cout << "ready" << std::endl;
    return QCoreApplication::exec();
}
