#include "Pinlet/MenuBarContent.h"

#include "Pinlet/MenuBarExtra.h"
#include "platform/Services.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "tests/support/FakeLibraryServices.h"
#include "tests/widget/PanelFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <set>

namespace {

class MenuBarContentTest : public test_support::PanelFixture {
protected:
    void SetUp() override {
        launch();
        content.emplace(controller(), loginItems, systemLog, Qt::Window);
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

// The rows, each named by its button's or its label's text, stand in order; Tab walks them from
// the top, passing through the recorder while it records.
TEST_F(MenuBarContentTest, TabFollowsTheRowsAndTheToggleButtonFollowsThePanel) {
    const auto textOf = [](const QWidget* row) {
        const auto* label = row->findChild<QLabel*>();
        const auto* button = qobject_cast<const QAbstractButton*>(row);
        return button != nullptr ? button->text() : label != nullptr ? label->text() : "—";
    };
    content->show();
    content->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&*content));
    auto rows = content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    rows.removeIf([](const QWidget* row) { return !row->isVisible(); });
    std::ranges::sort(rows, {}, &QWidget::y);
    QStringList shown;
    std::ranges::transform(rows, std::back_inserter(shown), textOf);
    EXPECT_EQ(shown.join('|'), "Show Note|Shortcut:|Launch at login|—|Quit Pinlet");
    library.mainQueue.runPending(); // the recorder takes the focus from the next turn on
    button("Show Note")->setFocus();
    QStringList walked;
    for (int tab = 0; tab < 4; ++tab) {
        const QWidget* focus = QApplication::focusWidget();
        walked.append(textOf(focus->parentWidget() == &*content ? focus : focus->parentWidget()));
        QTest::keyClick(content->windowHandle(), Qt::Key_Tab);
    }
    EXPECT_EQ(walked.join('|'), "Show Note|Shortcut:|Launch at login|Quit Pinlet");

    QTest::mouseClick(button("Show Note"), Qt::LeftButton);
    EXPECT_TRUE(panel().isVisible());
    ASSERT_NE(button("Hide Note"), nullptr);
    controller().hide();
    EXPECT_NE(button("Show Note"), nullptr);
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

    // A change made elsewhere shows when the window opens again.
    content->hide();
    ASSERT_TRUE(QFile::remove(autostart));
    ASSERT_EQ(loginItems.registerApplication(), std::nullopt);
    content->show();
    EXPECT_TRUE(launchSwitch().isChecked());
}

TEST_F(MenuBarContentTest, WithoutAThemeSymbolTheTrayIconTakesThePalettesTextColour) {
    QIcon::setThemeSearchPaths({}); // no theme at all
    const pinlet::MenuBarExtra extra(controller(), services);
    const QPalette original = QApplication::palette();
    QPalette palette = original;
    palette.setColor(QPalette::WindowText, QColor(0x12, 0x80, 0xc0));
    QApplication::setPalette(palette);
    const QImage image = extra.trayIcon()->icon().pixmap(32).toImage();
    QApplication::setPalette(original);

    std::set<QRgb> opaqueColours;
    for (int pixel = 0; pixel < image.width() * image.height(); ++pixel) {
        const QRgb colour = image.pixel(pixel % image.width(), pixel / image.width());
        if (qAlpha(colour) == 255) {
            opaqueColours.insert(colour);
        }
    }
    EXPECT_EQ(opaqueColours, std::set{qRgb(0x12, 0x80, 0xc0)});
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
