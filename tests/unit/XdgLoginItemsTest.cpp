#include "platform/linux/XdgLoginItems.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::LoginItems;
using platform::linux_desktop::desktopEntryExec;
using platform::linux_desktop::XdgLoginItems;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

TEST(XdgLoginItems, RegisteringWritesAnAutostartEntryAndUnregisteringRemovesIt) {
    const QTemporaryDir home;
    const std::string autostart = home.path().toStdString() + "/config/autostart";
    XdgLoginItems items(autostart, "/opt/pinlet/bin/pinlet");
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);

    EXPECT_EQ(items.registerApplication(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::Status::enabled);
    QFile entry(qt(items.entryPath()));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = entry.readAll().split('\n');
    EXPECT_EQ(lines.first(), "[Desktop Entry]");
    EXPECT_TRUE(lines.contains("Exec=\"/opt/pinlet/bin/pinlet\""));
    EXPECT_TRUE(lines.contains("Type=Application"));

    EXPECT_EQ(items.unregisterApplication(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);
    EXPECT_FALSE(QFile::exists(qt(items.entryPath())));
    EXPECT_EQ(items.unregisterApplication(), std::nullopt);
}

TEST(XdgLoginItems, AnEntrySwitchedOffByTheDesktopIsNotEnabled) {
    const QTemporaryDir home;
    XdgLoginItems items(home.path().toStdString(), "/usr/bin/pinlet");
    ASSERT_EQ(items.registerApplication(), std::nullopt);
    QFile file(qt(items.entryPath()));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("Hidden=true\n");
    file.close();
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);
}

TEST(XdgLoginItems, AFailureIsReportedWithItsReasonAndChangesNothing) {
    const QTemporaryDir home;
    // A file where the autostart directory should be: no entry can be written below it.
    const QString blocker = home.path() + "/autostart";
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    XdgLoginItems items(blocker.toStdString(), "/usr/bin/pinlet");
    const auto error = items.registerApplication();
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(blocker.toStdString()), std::string::npos) << *error;
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);
}

TEST(DesktopEntryExec, QuotesAndEscapesReservedCharacters) {
    EXPECT_EQ(desktopEntryExec("/usr/bin/pinlet"), "\"/usr/bin/pinlet\"");
    EXPECT_EQ(desktopEntryExec("/home/a b/pinlet"), "\"/home/a b/pinlet\"");
    EXPECT_EQ(desktopEntryExec("/x/100%/p"), "\"/x/100%%/p\"");
    EXPECT_EQ(desktopEntryExec("/x/$HOME/\"q\"/`c`"), R"("/x/\\$HOME/\\"q\\"/\\`c\\`")");
    EXPECT_EQ(desktopEntryExec(R"(/x\y)"), R"("/x\\\\y")");
}

} // namespace
