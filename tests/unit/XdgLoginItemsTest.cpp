#include "platform/linux/XdgLoginItems.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::LoginItems;
using platform::linux_desktop::XdgLoginItems;

QByteArray contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(XdgLoginItems, RegisteringWritesAnAutostartEntryThatTheDesktopMaySwitchOff) {
    const QTemporaryDir home;
    XdgLoginItems items(home.path().toStdString() + "/config/autostart", "/opt/pinlet/bin/pinlet");
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);

    EXPECT_EQ(items.registerApplication(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItems::Status::enabled);
    const QList<QByteArray> lines = contents(items.entryPath()).split('\n');
    EXPECT_EQ(lines.first(), "[Desktop Entry]");
    EXPECT_TRUE(lines.contains("Exec=\"/opt/pinlet/bin/pinlet\""));
    EXPECT_TRUE(lines.contains("Type=Application"));

    QFile entry(QString::fromStdString(items.entryPath()));
    ASSERT_TRUE(entry.open(QIODevice::Append));
    entry.write("Hidden=true\n");
    entry.close();
    EXPECT_EQ(items.status(), LoginItems::Status::notRegistered);

    EXPECT_EQ(items.unregisterApplication(), std::nullopt);
    EXPECT_FALSE(entry.exists());
    EXPECT_EQ(items.unregisterApplication(), std::nullopt);
}

TEST(XdgLoginItems, TheProgramPathIsQuotedAndEscapedForTheExecKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/a b/pinlet", R"("/home/a b/pinlet")"},
        {"/x/100%/p", R"("/x/100%%/p")"},
        {"/x/$HOME/\"q\"/`c`", R"("/x/\\$HOME/\\"q\\"/\\`c\\`")"},
        {R"(/x\y)", R"("/x\\\\y")"},
    };
    for (const auto& [path, exec] : cases) {
        EXPECT_EQ(platform::linux_desktop::desktopEntryExec(path), exec);
    }
}

} // namespace
