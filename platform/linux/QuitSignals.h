#pragma once

#include "platform/linux/FileDescriptor.h"

#include <memory>

class QSocketNotifier;

namespace platform::linux_desktop {

class JsonPreferencesStore;

// Ends the Qt event loop on SIGTERM, SIGINT and SIGHUP (exec() returns 0), so that main() saves
// after exec() instead of the process dying with unsaved changes. Create one, after the
// QCoreApplication; the default dispositions come back when it is destroyed.
class QuitSignals {
public:
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    void drain() const;

    // The signal handler writes a byte into one end; the event loop watches the other.
    FileDescriptor readEnd_;
    FileDescriptor writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Writes the store's unsaved changes when the process calls exit() without returning from main(),
// as Qt's xcb plugin does when the X connection breaks at the end of a session. One at a time;
// declare it after the store, so that it is gone before the store is.
class FlushAtExit {
public:
    explicit FlushAtExit(JsonPreferencesStore& store);
    ~FlushAtExit();
    FlushAtExit(const FlushAtExit&) = delete;
    FlushAtExit& operator=(const FlushAtExit&) = delete;
};

} // namespace platform::linux_desktop
