#include "platform/linux/QtMainQueue.h"

#include <QMetaObject>
#include <QTimer>

namespace platform::linux_desktop {

void QtMainQueue::post(Work work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

void QtMainQueue::postAfter(std::chrono::milliseconds delay, Work work) {
    QTimer::singleShot(delay, Qt::PreciseTimer, &context_, std::move(work));
}

} // namespace platform::linux_desktop
