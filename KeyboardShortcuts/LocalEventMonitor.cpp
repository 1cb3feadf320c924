#include "KeyboardShortcuts/LocalEventMonitor.h"

#include "KeyboardShortcuts/Presentation.h"
#include "KeyboardShortcuts/internal/ApplicationEventFilter.h"
#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "platform/KeyEventTranslator.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace KeyboardShortcuts {
namespace {

bool isSameEvent(const platform::Event& a, const platform::Event& b) {
    return a.type == b.type && a.keyCode == b.keyCode && a.modifierFlags == b.modifierFlags &&
           a.characters == b.characters &&
           a.charactersIgnoringModifiers == b.charactersIgnoringModifiers &&
           a.specialKey == b.specialKey && a.isARepeat == b.isARepeat;
}

bool isKeyEvent(const QEvent& event) {
    return event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease;
}

std::optional<platform::EventType> mouseUpType(const QMouseEvent& event) {
    switch (event.button()) {
    case Qt::LeftButton:
        return platform::EventType::leftMouseUp;
    case Qt::RightButton:
        return platform::EventType::rightMouseUp;
    default:
        return std::nullopt;
    }
}

// The replacement keeps the physical key fields of the original: the toolkit needs them and
// the event value does not carry them.
QKeyEvent replacementKeyEvent(const QKeyEvent& original, const platform::Event& replacement) {
    const auto type =
        replacement.type == platform::EventType::keyUp ? QEvent::KeyRelease : QEvent::KeyPress;
    return {type,
            original.key(),
            toEventModifiers(replacement.modifierFlags),
            original.nativeScanCode(),
            original.nativeVirtualKey(),
            original.nativeModifiers(),
            QString::fromStdString(replacement.characters),
            replacement.isARepeat,
            static_cast<quint16>(original.count())};
}

} // namespace

namespace internal {

ApplicationEventFilter::ApplicationEventFilter(std::uint64_t events, EventFilter callback)
    : events_(events), callback_(std::move(callback)) {}

void ApplicationEventFilter::install() {
    auto* application = QCoreApplication::instance();
    if (installed_ || application == nullptr) {
        return;
    }
    application->installEventFilter(this);
    installed_ = true;
}

void ApplicationEventFilter::remove() {
    auto* application = QCoreApplication::instance();
    if (!installed_ || application == nullptr) {
        return;
    }
    application->removeEventFilter(this);
    installed_ = false;
}

bool ApplicationEventFilter::eventFilter(QObject* receiver, QEvent* event) {
    // Every input event reaches a window first and its widgets afterwards: looking at windows
    // only sees each event once.
    if (deliveringReplacement_ || !receiver->isWindowType()) {
        return false;
    }
    const auto seen = translate(*event);
    if (!seen || (events_ & eventMask(seen->type)) == 0) {
        return false;
    }
    // The callback may end the monitor, and so destroy this filter and its callback: it runs
    // from a copy, and a filter that is gone lets its answer stand as it is.
    const EventFilter callback = callback_;
    const QPointer<ApplicationEventFilter> self(this);
    const auto answer = callback(*seen);
    if (self.isNull()) {
        return !answer.has_value();
    }
    return deliverAnswer(receiver, *event, *seen, answer);
}

std::optional<platform::Event> ApplicationEventFilter::translate(const QEvent& event) const {
    if (isKeyEvent(event)) {
        return internal::installedServices().keyEvents.translate(
            static_cast<const QKeyEvent&>(event));
    }
    if (event.type() == QEvent::MouseButtonRelease) {
        const auto& mouseEvent = static_cast<const QMouseEvent&>(event);
        if (const auto type = mouseUpType(mouseEvent)) {
            // Events reach the filter at their window, so the position is the window's own.
            const QPointF position = mouseEvent.position();
            platform::Event mouseUp;
            mouseUp.type = *type;
            mouseUp.locationInWindow = {.x = position.x(), .y = position.y()};
            return mouseUp;
        }
    }
    return std::nullopt;
}

bool ApplicationEventFilter::deliverAnswer(QObject* receiver, const QEvent& original,
                                           const platform::Event& seen,
                                           const std::optional<platform::Event>& answer) {
    if (!answer) {
        return true;
    }
    // A mouse event's value holds too little of it to build another, so only key events can be
    // replaced.
    if (isSameEvent(*answer, seen) || !isKeyEvent(original)) {
        return false;
    }
    QKeyEvent replacement = replacementKeyEvent(static_cast<const QKeyEvent&>(original), *answer);
    deliveringReplacement_ = true;
    QCoreApplication::sendEvent(receiver, &replacement);
    deliveringReplacement_ = false;
    return true;
}

} // namespace internal

LocalEventMonitor::LocalEventMonitor(std::uint64_t events, EventFilter callback)
    : filter_(std::make_unique<internal::ApplicationEventFilter>(events, std::move(callback))) {}

LocalEventMonitor::~LocalEventMonitor() {
    filter_->remove();
}

LocalEventMonitor& LocalEventMonitor::start() {
    filter_->install();
    return *this;
}

RunLoopLocalEventMonitor::RunLoopLocalEventMonitor(std::uint64_t events, EventFilter callback)
    : filter_(std::make_unique<internal::ApplicationEventFilter>(events, std::move(callback))) {}

RunLoopLocalEventMonitor::~RunLoopLocalEventMonitor() {
    stop();
}

void RunLoopLocalEventMonitor::start() {
    filter_->install();
}

void RunLoopLocalEventMonitor::stop() {
    filter_->remove();
}

} // namespace KeyboardShortcuts
