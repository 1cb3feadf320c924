#include "KeyboardShortcuts/LocalEventMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace {

using KeyboardShortcuts::eventMask;
using platform::EventType;

// Notes the input events that get through to it: "press:<text>", "release:<text>", "left-up",
// "right-up".
class RecordingWindow final : public QWindow {
public:
    std::vector<std::string> seen;

    void sendKey(QEvent::Type type, std::uint32_t evdevCode, const QString& text) {
        QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, evdevCode + 8, 0, 0, text);
        QCoreApplication::sendEvent(this, &event);
    }
    void sendMouseUp(Qt::MouseButton button) {
        QMouseEvent event(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), button,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(this, &event);
    }

protected:
    bool event(QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            seen.push_back((event->type() == QEvent::KeyPress ? "press:" : "release:") +
                           key->text().toStdString());
            return true;
        }
        case QEvent::MouseButtonRelease:
            seen.emplace_back(static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
                                  ? "left-up"
                                  : "right-up");
            return true;
        default:
            return QWindow::event(event);
        }
    }
};

std::optional<platform::Event> swallow(const platform::Event& /*event*/) {
    return std::nullopt;
}

TEST(LocalEventMonitor, SwallowsItsTypesUntilDestroyedAndLetsOthersThrough) {
    RecordingWindow window;
    {
        KeyboardShortcuts::LocalEventMonitor monitor(eventMask(EventType::leftMouseUp), swallow);
        window.sendMouseUp(Qt::LeftButton);
        monitor.start();
        window.sendMouseUp(Qt::LeftButton);
        window.sendMouseUp(Qt::RightButton);
    }
    window.sendMouseUp(Qt::LeftButton);
    EXPECT_EQ(window.seen, (std::vector<std::string>{"left-up", "right-up", "left-up"}));
}

TEST(RunLoopLocalEventMonitor, FiltersKeysInOrderOnlyWhileStarted) {
    RecordingWindow window;
    std::vector<std::uint16_t> keyCodesSeen;
    KeyboardShortcuts::RunLoopLocalEventMonitor monitor(
        eventMask(EventType::keyDown) | eventMask(EventType::keyUp),
        [&](const platform::Event& event) -> std::optional<platform::Event> {
            keyCodesSeen.push_back(event.keyCode);
            if (event.keyCode == 45 && event.type == EventType::keyDown) {
                return std::nullopt;
            }
            return event;
        });
    monitor.start();
    monitor.start();
    window.sendMouseUp(Qt::RightButton);
    window.sendKey(QEvent::KeyPress, KEY_N, QStringLiteral("n"));
    window.sendKey(QEvent::KeyRelease, KEY_N, QStringLiteral("n"));
    window.sendMouseUp(Qt::LeftButton);
    monitor.stop();
    monitor.stop();
    window.sendKey(QEvent::KeyPress, KEY_N, QStringLiteral("n"));

    EXPECT_EQ(keyCodesSeen, (std::vector<std::uint16_t>{45, 45}));
    EXPECT_EQ(window.seen,
              (std::vector<std::string>{"right-up", "release:n", "left-up", "press:n"}));
}

TEST(RunLoopLocalEventMonitor, DeliversTheEventItsCallbackAnswersInstead) {
    RecordingWindow window;
    KeyboardShortcuts::RunLoopLocalEventMonitor monitor(eventMask(EventType::keyDown),
                                                        [](const platform::Event& event) {
                                                            platform::Event replacement = event;
                                                            replacement.characters = "x";
                                                            return std::optional(replacement);
                                                        });
    monitor.start();
    window.sendKey(QEvent::KeyPress, KEY_N, QStringLiteral("n"));
    EXPECT_EQ(window.seen, std::vector<std::string>{"press:x"});
}

} // namespace
