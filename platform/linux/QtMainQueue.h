#pragma once

#include "platform/MainQueue.h"

class QObject;

namespace platform::linux_desktop {

// Runs work on the thread of the Qt event loop that owns the given context object.
class QtMainQueue final : public MainQueue {
public:
    explicit QtMainQueue(QObject& context) : context_(context) {}

    void post(Work work) override;
    void postAfter(std::chrono::milliseconds delay, Work work) override;

private:
    QObject& context_;
};

} // namespace platform::linux_desktop
