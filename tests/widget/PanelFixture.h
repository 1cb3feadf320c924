#pragma once

#include "Pinlet/NotePanel.h"
#include "Pinlet/NoteStore.h"
#include "Pinlet/PanelController.h"
#include "platform/linux/QtPasteboard.h"
#include "platform/linux/XdgLoginItems.h"
#include "tests/support/FakeMainQueue.h"
#include "tests/support/FakePreferencesStore.h"
#include "tests/support/FakeSystemLog.h"
#include "tests/support/FakeWorkspace.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace test_support {

// A note application's panel on the offscreen platform, with the desktop faked where the
// offscreen platform has none of its own.
class PanelFixture : public ::testing::Test {
protected:
    static constexpr platform::RunningApplication otherApp{77, 1234};
    static constexpr platform::RunningApplication thisApp{78, FakeWorkspace::ownProcessId};

    // A new controller set up as at launch: the note starts from the stored values.
    void launch() {
        controller_.reset();
        store_.emplace(preferences);
        controller_.emplace(*store_, pinlet::PanelController::Services{workspace, pasteboard,
                                                                       mainQueue, preferences});
        controller_->setUp();
    }

    pinlet::NoteStore& store() { return *store_; }
    pinlet::PanelController& controller() { return *controller_; }
    pinlet::NotePanel& panel() { return *controller_->panel(); }
    pinlet::PlainTextView& textView() { return *controller_->textView(); }

    // A key press as the X server delivers it to the panel's focus: keycodes of the evdev keymap,
    // X11 state bits. Whether a widget took it: one that none takes goes on to the desktop.
    bool press(int qtKey, Qt::KeyboardModifiers modifiers, std::uint32_t evdevCode,
               const QString& text) {
        std::uint32_t state = 0;
        state |= modifiers.testFlag(Qt::ShiftModifier) ? 0x1U : 0U;
        state |= modifiers.testFlag(Qt::ControlModifier) ? 0x4U : 0U;
        QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, evdevCode + 8, 0, state, text);
        QWidget* receiver = panel().focusWidget();
        QApplication::sendEvent(receiver != nullptr ? receiver : &panel(), &event);
        return event.isAccepted();
    }

    FakePreferencesStore preferences;
    FakeMainQueue mainQueue;
    FakeWorkspace workspace;
    platform::linux_desktop::QtPasteboard pasteboard;
    QTemporaryDir home;
    platform::linux_desktop::XdgLoginItems loginItems{home.filePath("autostart").toStdString(),
                                                      "/usr/bin/pinlet"};
    FakeSystemLog systemLog;

private:
    std::optional<pinlet::NoteStore> store_;
    std::optional<pinlet::PanelController> controller_;
};

} // namespace test_support
