#include "Pinlet/MenuBarContent.h"

#include "KeyboardShortcuts/RecorderCocoa.h"
#include "Pinlet/MenuBarExtra.h"
#include "Pinlet/Translations.h"
#include "platform/Services.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "tests/support/FakeLibraryServices.h"
#include "tests/widget/PanelFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTranslator>

namespace {

class MenuBarContentTest : public test_support::PanelFixture {
protected:
    void SetUp() override {
        launch();
        content.emplace(controller(), loginItems, systemLog, Qt::Tool);
    }

    QPushButton* button(const QString& text) {
        const auto buttons = content->findChildren<QPushButton*>();
        const auto found = std::ranges::find(buttons, text, &QPushButton::text);
        return found == buttons.end() ? nullptr : *found;
    }

    QCheckBox& launchSwitch() { return *content->findChild<QCheckBox*>(); }

    platform::linux_desktop::XkbKeyboardLayout layout{
        platform::linux_desktop::XkbKeymap::fromNames("us").value()};
    platform::KeyEventTranslator& keyEvents = platform::linux_desktop::displayKeyEventTranslator();
    test_support::FakeLibraryServices library{layout, keyEvents};
    platform::Services services{
        preferences, library.notifications, mainQueue, workspace, pasteboard,           loginItems,
        systemLog,   library.hotKeys,       layout,    keyEvents, library.systemHotKeys};

    std::optional<pinlet::MenuBarContent> content;
};

// Tab walks the rows from the top, through the recorder while it records. Escape on the recorder
// ends recording, and a second one closes the window.
TEST_F(MenuBarContentTest, TheKeyboardWalksTheRowsAndEscapeClosesTheWindow) {
    content->show();
    content->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&*content));
    library.mainQueue.runPending(); // the recorder takes the focus from the next turn on
    button("Show Note")->setFocus();
    QStringList walked;
    for (int control = 0; control < 6; ++control) {
        walked << QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                      ->text(QAccessible::Name);
        QTest::keyClick(content->windowHandle(), Qt::Key_Tab);
    }
    EXPECT_EQ(walked, QStringList({"Show Note", "Shortcut:", "Clear shortcut", "Launch at login",
                                   "Quit Pinlet", "Show Note"}));
    ASSERT_TRUE(dynamic_cast<KeyboardShortcuts::RecorderCocoa*>(QApplication::focusWidget()));
    for (int escapes = 0; escapes < 2; ++escapes) { // known by its place on the keyboard
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, {}, 9, 0xff1b, 0, "\x1b");
        QApplication::sendEvent(content->windowHandle(), &press);
        EXPECT_EQ(content->isVisible(), escapes == 0);
    }
}

// At any desktop font, in English and in German, no control is narrower than it asks to be: the
// window grows instead.
TEST_F(MenuBarContentTest, AtEveryFontAndLanguageTheWindowFitsItsRows) {
    const QFont original = QApplication::font();
    for (const QLocale::Language language : {QLocale::English, QLocale::German}) {
        QLocale::setDefault(QLocale(language));
        pinlet::installTranslations();
        for (const int points : {9, 12, 16}) {
            QFont font = original;
            font.setPointSize(points);
            QApplication::setFont(font);
            content.emplace(controller(), loginItems, systemLog, Qt::Tool);
            content->show();
            for (const QWidget* control : content->findChildren<QWidget*>()) {
                if (control->isVisible() && !qobject_cast<QLineEdit*>(control->parentWidget())) {
                    EXPECT_GE(control->width(), control->sizeHint().width())
                        << control->metaObject()->className() << " at " << points << " pt in "
                        << QLocale::languageToCode(language).toStdString();
                }
            }
        }
        qDeleteAll(qApp->findChildren<QTranslator*>());
    }
    QLocale::setDefault(QLocale(QLocale::English));
    QApplication::setFont(original);
}

TEST_F(MenuBarContentTest, LaunchAtLoginFollowsTheEntryAndSpringsBackOnFailure) {
    using Status = platform::LoginItems::Status;
    content->show();
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    EXPECT_EQ(loginItems.status(), Status::enabled);
    QFile entry(QString::fromStdString(loginItems.entryPath()));
    ASSERT_TRUE(entry.open(QIODevice::ReadWrite));
    EXPECT_TRUE(entry.readAll().split('\n').contains("Exec=\"/usr/bin/pinlet\""));
    // The desktop switches the entry off, and so does the switch once the window opens again.
    entry.write("Hidden=true\n");
    entry.close();
    content->hide();
    content->show();
    EXPECT_FALSE(launchSwitch().isChecked());
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    EXPECT_EQ(loginItems.status(), Status::notRegistered);
    EXPECT_TRUE(systemLog.lines.empty());

    // A file where the autostart directory should be.
    const QString autostart = home.filePath("autostart");
    ASSERT_TRUE(QDir(autostart).removeRecursively() && QFile(autostart).open(QIODevice::WriteOnly));
    QTest::mouseClick(&launchSwitch(), Qt::LeftButton);
    EXPECT_FALSE(launchSwitch().isChecked());
    ASSERT_EQ(systemLog.lines.size(), 1U);
    EXPECT_TRUE(systemLog.lines[0].starts_with("Pinlet: launch at login change failed: "));
    EXPECT_TRUE(systemLog.lines[0].find(autostart.toStdString()) != std::string::npos);
}

TEST_F(MenuBarContentTest, WhereTheTrayGivesNoIconGeometryItsWindowOpensAtThePointerFocused) {
    pinlet::MenuBarExtra extra(controller(), services);
    const QPoint pointer = QGuiApplication::primaryScreen()->availableGeometry().center();
    QCursor::setPos(pointer);
    emit extra.trayIcon()->activated(QSystemTrayIcon::Trigger);
    // Just above it, as above an icon in the lower half of the screen.
    EXPECT_EQ(extra.content().geometry().bottom() + 1, pointer.y());
    EXPECT_EQ(workspace.keyWindows, std::vector{platform::WindowId(extra.content().winId())});
}

} // namespace
