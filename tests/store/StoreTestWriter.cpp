// A process for the store's process-level tests, started by them as
//   store_test_writer churn <preferences>    rewrites the file without pause until killed
//   store_test_writer quit <preferences> <v> sets "value" unsaved, then runs until a quit signal
//   store_test_writer exit <preferences> <v> sets "value" unsaved, then calls exit(3) from the loop
//   store_test_writer lock <lock file>       holds the lock until killed, or exits 1 with the
//   reason
// It says "ready" on standard output once the tests may act.
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/QuitSignals.h"
#include "platform/linux/SingleInstanceLock.h"
#include "tests/store/ChurnPayload.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

namespace {

using namespace platform::linux_desktop;
using namespace std::chrono_literals;

void sayReady() {
    std::cout << "ready" << std::endl;
}

int churn(const std::filesystem::path& path) {
    JsonPreferencesStore store(path);
    double counter = 0;
    QTimer rewrite;
    QObject::connect(&rewrite, &QTimer::timeout, [&] {
        ++counter;
        store.set("counter", counter);
        store.set("payload", test_support::churnPayload(counter));
        store.flush();
        if (counter == 1) {
            sayReady();
        }
    });
    rewrite.start(0);
    return QCoreApplication::exec();
}

int quitOnSignal(const std::filesystem::path& path, std::string_view value) {
    const QuitSignals quitSignals;
    JsonPreferencesStore store(path, 24h);
    store.set("value", std::string(value));
    sayReady();
    const int status = QCoreApplication::exec();
    store.flush();
    return status;
}

int exitFromTheLoop(const std::filesystem::path& path, std::string_view value) {
    JsonPreferencesStore store(path, 24h);
    const FlushAtExit flushAtExit(store);
    store.set("value", std::string(value));
    QTimer exitSoon;
    QObject::connect(&exitSoon, &QTimer::timeout, [] { std::exit(3); });
    exitSoon.start(0);
    return QCoreApplication::exec();
}

int holdLock(const std::filesystem::path& lockPath) {
    auto lock = SingleInstanceLock::acquire(lockPath);
    if (const auto* failure = std::get_if<LockFailure>(&lock)) {
        std::cerr << failure->message() << std::endl;
        return 1;
    }
    sayReady();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.size() >= 2 && arguments[0] == "churn") {
        return churn(arguments[1]);
    }
    if (arguments.size() >= 3 && arguments[0] == "quit") {
        return quitOnSignal(arguments[1], arguments[2]);
    }
    if (arguments.size() >= 3 && arguments[0] == "exit") {
        return exitFromTheLoop(arguments[1], arguments[2]);
    }
    if (arguments.size() >= 2 && arguments[0] == "lock") {
        return holdLock(arguments[1]);
    }
    std::cerr << "usage: store_test_writer churn|quit|exit|lock <path> [value]" << std::endl;
    return 2;
}
