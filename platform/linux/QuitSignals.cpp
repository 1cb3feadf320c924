#include "platform/linux/QuitSignals.h"

#include "platform/linux/JsonPreferencesStore.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <system_error>

namespace platform::linux_desktop {
namespace {

constexpr std::array quitSignalNumbers{SIGTERM, SIGINT, SIGHUP};

// Read by the signal handler, hence a plain int.
int quitSignalWriteEnd = -1;
JsonPreferencesStore* storeToFlushAtExit = nullptr;

// Async-signal-safe: one write(), errno left as it was.
void onQuitSignal(int /*signal*/) {
    const int savedErrno = errno;
    const char byte = 0;
    // A full socket already holds a pending quit, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(quitSignalWriteEnd, &byte, 1);
    errno = savedErrno;
}

void setQuitSignalHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : quitSignalNumbers) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

void flushRegisteredStore() {
    if (storeToFlushAtExit != nullptr) {
        storeToFlushAtExit->flush();
    }
}

} // namespace

QuitSignals::QuitSignals() {
    std::array<int, 2> ends{};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends.data()) != 0) {
        std::fprintf(stderr,
                     "%s: cannot watch for quit signals (%s); they would lose unsaved changes.\n",
                     qPrintable(QCoreApplication::applicationName()),
                     std::generic_category().message(errno).c_str());
        return;
    }
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    quitSignalWriteEnd = writeEnd_.get();
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        drain();
        QCoreApplication::exit(0);
    });
    setQuitSignalHandler(onQuitSignal);
}

QuitSignals::~QuitSignals() {
    if (notifier_) {
        setQuitSignalHandler(SIG_DFL);
        quitSignalWriteEnd = -1;
    }
}

void QuitSignals::drain() const {
    std::array<char, 64> bytes{};
    while (::read(readEnd_.get(), bytes.data(), bytes.size()) > 0) {
    }
}

FlushAtExit::FlushAtExit(JsonPreferencesStore& store) {
    // std::atexit has no way back, so the hook stays and finds no store once this is gone.
    static const bool hookInstalled = std::atexit(flushRegisteredStore) == 0;
    if (!hookInstalled) {
        std::fprintf(stderr, "%s: cannot save the preferences at exit.\n",
                     qPrintable(QCoreApplication::applicationName()));
    }
    storeToFlushAtExit = &store;
}

FlushAtExit::~FlushAtExit() {
    storeToFlushAtExit = nullptr;
}

} // namespace platform::linux_desktop
