#include "KeyboardShortcuts/ConflictChecks.h"
#include "KeyboardShortcuts/RecorderCocoa.h"
#include "KeyboardShortcuts/internal/DispatchState.h"
#include "tests/unit/KeyboardShortcutsFixture.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using namespace KeyboardShortcuts;
using platform::PreferenceValue;
using platform::SpecialKey;
namespace Flags = platform::ModifierFlags;

platform::Event keyDown(Key key, std::uint64_t flags = 0, std::optional<SpecialKey> special = {}) {
    platform::Event event;
    event.keyCode = static_cast<std::uint16_t>(key.rawValue);
    event.modifierFlags = flags;
    event.specialKey = special;
    return event;
}

// A recorder for a name with a default, in an active window beside a button.
class RecorderTest : public test_support::KeyboardShortcutsFixture {
protected:
    void SetUp() override {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        library.mainQueue.runPending();
        recorder->setFocus();
        ASSERT_TRUE(recorder->isRecording());
    }
    void TearDown() override { setMainMenu(nullptr); }

    // Answers the next message box with the button of that title, or by Escape, keeping its
    // texts.
    void answerNextAlert(const QString& button = {}) {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            alert = box->text() + '|' + box->informativeText();
            const auto buttons = box->buttons();
            const auto chosen = std::ranges::find(buttons, button, &QAbstractButton::text);
            (chosen == buttons.end() ? box->escapeButton() : *chosen)->click();
        });
    }
    [[nodiscard]] std::optional<PreferenceValue> stored() const {
        return preferences.object("KeyboardShortcuts_toggle");
    }

    const Name toggle{"toggle", controlOptionShortcut(Key::n)};
    std::vector<bool> activity; // "isActive" as announced
    const platform::NotificationCenter::Token observer = library.notifications.addObserver(
        "KeyboardShortcuts_recorderActiveStatusDidChange", [this](const platform::Notification& n) {
            activity.push_back(std::get<bool>(n.userInfo.at("isActive")));
        });
    std::vector<std::optional<Shortcut>> changes;
    QWidget window;
    QPushButton* button = new QPushButton("other", &window);
    RecorderCocoa* recorder = new RecorderCocoa(
        toggle, [this](const std::optional<Shortcut>& s) { changes.push_back(s); }, &window);
    QString alert;
};

TEST_F(RecorderTest, RecordingPausesDispatchUntilEscapeWhichChangesNothing) {
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+N");
    EXPECT_TRUE(internal::isPaused());
    recorder->insert("x"); // as a paste or an input method would, in the field now editable
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+N");
    EXPECT_EQ(recorder->handleEvent(keyDown(Key::escape, Flags::capsLock)), std::nullopt);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_FALSE(internal::isPaused());
    EXPECT_EQ(activity, (std::vector{true, false}));
    EXPECT_EQ(recorder->placeholderText(), "Record Shortcut");
    EXPECT_TRUE(changes.empty());
    const RecorderCocoa unset(Name("unset"));
    EXPECT_EQ(unset.placeholderText(), "Record Shortcut");
}

TEST_F(RecorderTest, WithoutControlOptionOrCommandOnlyFunctionKeysAreTaken) {
    for (const auto& unusable : {keyDown(Key::a), keyDown(Key::a, Flags::shift | Flags::capsLock),
                                 keyDown(Key::space, Flags::shift)}) {
        recorder->handleEvent(unusable);
        EXPECT_TRUE(recorder->isRecording());
    }
    EXPECT_EQ(stored(), PreferenceValue(R"({"carbonKeyCode":45,"carbonModifiers":6144})"));
    recorder->handleEvent(keyDown(Key::f5, Flags::shift, SpecialKey::f5));
    EXPECT_EQ(recorder->text(), "Shift+F5");
}

// Backspace removes the shortcut and recording goes on; a combination recorded then is stored,
// shown everywhere and ends recording; the field's clear button removes it again.
TEST_F(RecorderTest, ARecordedCombinationReplacesTheShortcutThatBackspaceOrTheClearButtonRemoves) {
    const RecorderCocoa twin(toggle);
    recorder->handleEvent(keyDown(Key::delete_, 0, SpecialKey::delete_));
    EXPECT_EQ(stored(), PreferenceValue(false));
    EXPECT_TRUE(hotKeys.registered().empty());
    EXPECT_EQ(twin.text(), "");
    EXPECT_TRUE(recorder->isRecording());
    recorder->handleEvent(keyDown(Key::delete_, 0, SpecialKey::delete_)); // nothing left

    recorder->handleEvent(keyDown(Key::k, Flags::control | Flags::shift));
    EXPECT_EQ(twin.text(), "Ctrl+Shift+K");
    QTest::mouseClick(recorder->findChild<QToolButton*>(), Qt::LeftButton);
    EXPECT_EQ(stored(), PreferenceValue(false));
    EXPECT_EQ(changes, (std::vector<std::optional<Shortcut>>{
                           std::nullopt, Shortcut(Key::k, 0x60000), std::nullopt}));
}

TEST_F(RecorderTest, TheApplicationsOwnKeysWaitWhileRecording) {
    QAction quit("Quit Pinlet");
    quit.setShortcut(QKeySequence("Ctrl+Q"));
    window.addAction(&quit);
    int quits = 0;
    QObject::connect(&quit, &QAction::triggered, [&] { ++quits; });
    QTest::keyClick(recorder, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 0);
    recorder->clearFocus();
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits, 1);
}

// Found in submenus too, by any of a command's keys, with exactly the same modifiers.
TEST_F(RecorderTest, AMenuCommandsKeyIsNamedAndNothingIsStored) {
    QMenu menu;
    menu.addMenu("Edit")->addAction("Copy")->setShortcut(QKeySequence("Ctrl+C"));
    menu.addAction("Quit Pinlet")->setShortcut(QKeySequence("Ctrl+Q"));
    menu.addMenu("File")->addAction("&Close")->setShortcuts(
        {QKeySequence("Ctrl+W"), QKeySequence("Ctrl+Shift+Q")});
    setMainMenu(&menu);
    answerNextAlert();
    recorder->handleEvent(keyDown(Key::q, Flags::control));
    EXPECT_EQ(alert, "The menu item “Quit Pinlet” already uses this shortcut. Please choose "
                     "another one.|");
    answerNextAlert();
    recorder->handleEvent(keyDown(Key::q, Flags::control | Flags::shift));
    EXPECT_TRUE(alert.startsWith("The menu item “Close” "));
    EXPECT_TRUE(changes.empty());
    recorder->handleEvent(keyDown(Key::q, Flags::control | Flags::option));
    EXPECT_EQ(changes.size(), 1U);
}

TEST_F(RecorderTest, TheDesktopsCombinationIsTakenOnlyWithTheSecondButton) {
    library.systemHotKeys.hotKeys = {{true, Key::t.rawValue, 0x1800 | 0x10000},
                                     {false, Key::y.rawValue, 0x1800}};
    recorder->handleEvent(keyDown(Key::y, Flags::control | Flags::option));
    EXPECT_EQ(changes.size(), 1U); // a switched-off hot key is no conflict
    recorder->setFocus();
    answerNextAlert();
    recorder->handleEvent(keyDown(Key::t, Flags::control | Flags::option));
    EXPECT_TRUE(alert.startsWith("Your desktop already uses this shortcut.|Desktop shortcuts"));
    EXPECT_EQ(changes.size(), 1U);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder->isRecording(); }));
    answerNextAlert("Use It Anyway");
    recorder->handleEvent(keyDown(Key::t, Flags::control | Flags::option));
    EXPECT_EQ(recorder->text(), "Ctrl+Alt+T");
    EXPECT_FALSE(recorder->isRecording());
}

TEST_F(RecorderTest, ClicksJustAroundTheFieldAreSwallowedFartherOnesEndRecording) {
    const QPoint corner = recorder->mapTo(&window, QPoint(recorder->width(), 0));
    platform::Event click;
    click.type = platform::EventType::leftMouseUp;
    click.locationInWindow = {corner.x() + 1.0, corner.y() - 2.0};
    EXPECT_EQ(recorder->handleEvent(click), std::nullopt);
    EXPECT_TRUE(recorder->isRecording());
    click.locationInWindow.y = corner.y() - 4.0;
    EXPECT_NE(recorder->handleEvent(click), std::nullopt);
    EXPECT_FALSE(recorder->isRecording());
}

TEST_F(RecorderTest, TheWindowLosingFocusEndsRecordingForGood) {
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(recorder->isRecording());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_FALSE(recorder->isRecording());
}

} // namespace
