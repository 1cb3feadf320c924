// The whole application on a private X server with a window manager and a tray host.
#include "tests/x11/support/XSession.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace x11 = test_support::x11;
using testing::HasSubstr;

class PinletApplicationTest : public ::testing::Test {
protected:
    explicit PinletApplicationTest(bool withTray = true)
        : session_(x11::SessionOptions{.trayHost = withTray}),
          configHome_(session_.directory() / "config") {}

    x11::ChildProcess startPinlet() {
        // The suite itself runs Qt offscreen; the application must not inherit that.
        return session_.start({PINLET_BINARY}, {{"XDG_CONFIG_HOME", configHome_.string()},
                                                {"QT_QPA_PLATFORM", "xcb"}});
    }

    void writePreferences(const std::string& json) {
        std::filesystem::create_directories(configHome_ / "pinlet");
        std::ofstream(configHome_ / "pinlet" / "preferences.json") << json;
    }

    [[nodiscard]] QJsonObject savedPreferences() const {
        std::ifstream file(configHome_ / "pinlet" / "preferences.json");
        std::stringstream text;
        text << file.rdbuf();
        return QJsonDocument::fromJson(QByteArray::fromStdString(text.str())).object();
    }

    [[nodiscard]] std::vector<x11::WindowId> visiblePinletWindows() const {
        const auto listed =
            session_.run({"xdotool", "search", "--onlyvisible", "--classname", "pinlet"});
        std::istringstream windows(listed.output);
        std::vector<x11::WindowId> found;
        for (x11::WindowId window = 0; windows >> window;) {
            found.push_back(window);
        }
        return found;
    }

    [[nodiscard]] int width(x11::WindowId window) const {
        const auto geometry =
            session_.run({"xdotool", "getwindowgeometry", "--shell", std::to_string(window)});
        const auto at = geometry.output.find("WIDTH=");
        return at == std::string::npos ? 0 : std::stoi(geometry.output.substr(at + 6));
    }

    // The panel is the window on every desktop; the tray icon is the small one in the tray.
    [[nodiscard]] std::optional<x11::WindowId> visiblePanel() const {
        for (const auto window : visiblePinletWindows()) {
            if (session_.propertyValue(window, "_NET_WM_DESKTOP").find("4294967295") !=
                std::string::npos) {
                return window;
            }
        }
        return std::nullopt;
    }

    [[nodiscard]] std::optional<x11::WindowId> trayIcon() const {
        for (const auto window : visiblePinletWindows()) {
            if (const int w = width(window); w > 0 && w <= 64) {
                return window;
            }
        }
        return std::nullopt;
    }

    void key(const std::string& keys) const {
        session_.run({"xdotool", "key", "--delay", "40", keys});
    }

    x11::XSession session_;
    std::filesystem::path configHome_;
};

TEST_F(PinletApplicationTest, PanelShowsOverTheFrontWindowAndEscapeHandsFocusBack) {
    const auto other = session_.startForeignWindow("Other application");
    ASSERT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == other.window; }));
    writePreferences(R"({"isPanelVisible": true, "noteText": "kept", "fontSize": 20.5})");
    auto pinlet = startPinlet();

    std::optional<x11::WindowId> panel;
    ASSERT_TRUE(x11::waitUntil([&] { return (panel = visiblePanel()).has_value(); }))
        << pinlet.output();
    EXPECT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == panel; }));
    const std::string states = session_.propertyValue(*panel, "_NET_WM_STATE");
    EXPECT_THAT(states, HasSubstr("_NET_WM_STATE_ABOVE"));
    EXPECT_THAT(states, HasSubstr("_NET_WM_STATE_SKIP_TASKBAR"));

    session_.run({"xdotool", "type", "--delay", "20", " and typed"});
    key("Escape");
    EXPECT_TRUE(x11::waitUntil([&] { return !session_.isViewable(*panel); }));
    EXPECT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == other.window; }));

    pinlet.signal(SIGTERM);
    EXPECT_EQ(pinlet.waitForExit(std::chrono::seconds(10)), 0);
    const QJsonObject saved = savedPreferences();
    EXPECT_EQ(saved.value("noteText").toString(), "kept and typed");
    EXPECT_EQ(saved.value("isPanelVisible"), QJsonValue(false));
    EXPECT_EQ(saved.value("fontSize"), QJsonValue(20.5));
}

TEST_F(PinletApplicationTest, TheShortcutTogglesThePanelOnReleaseAndHandsFocusBack) {
    const auto other = session_.startForeignWindow("Other application");
    ASSERT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == other.window; }));
    auto pinlet = startPinlet();
    ASSERT_TRUE(x11::waitUntil([&] { return trayIcon().has_value(); })) << pinlet.output();

    session_.run({"xdotool", "keydown", "ctrl+alt+n"});
    session_.run({"sleep", "0.5"}); // auto-repeat runs meanwhile
    EXPECT_EQ(visiblePanel(), std::nullopt);
    session_.run({"xdotool", "keyup", "n", "alt", "ctrl"});
    std::optional<x11::WindowId> panel;
    ASSERT_TRUE(x11::waitUntil([&] { return (panel = visiblePanel()).has_value(); }));
    EXPECT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == panel; }));

    key("ctrl+alt+n");
    EXPECT_TRUE(x11::waitUntil([&] { return !session_.isViewable(*panel); }));
    EXPECT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == other.window; }));

    pinlet.signal(SIGTERM);
    EXPECT_EQ(pinlet.waitForExit(std::chrono::seconds(10)), 0);
    EXPECT_EQ(savedPreferences().value("KeyboardShortcuts_togglePanel").toString(),
              R"({"carbonKeyCode":45,"carbonModifiers":6144})");
}

TEST_F(PinletApplicationTest, AShortcutHeldByAnotherProgramIsReportedAndTheButtonStillWorks) {
    // Ctrl+Alt+N on the server's evdev keymap: keycode 57, Control and Mod1.
    auto holder = session_.start({PINLET_X11_KEY_GRAB_CLIENT, "57", "12"});
    ASSERT_TRUE(x11::waitUntil([&] {
        return holder.output().find("grabbed") != std::string::npos;
    })) << holder.output();
    auto pinlet = startPinlet();
    ASSERT_TRUE(x11::waitUntil([&] {
        return pinlet.output().find("Error registering hotkey \u2303\u2325N: -9878") !=
               std::string::npos;
    })) << pinlet.output();

    std::optional<x11::WindowId> icon;
    ASSERT_TRUE(x11::waitUntil([&] { return (icon = trayIcon()).has_value(); }));
    session_.run(
        {"xdotool", "mousemove", "--window", std::to_string(*icon), "5", "5", "click", "1"});
    const auto menu = session_.waitForWindow("Pinlet menu");
    ASSERT_TRUE(menu.has_value());
    session_.run(
        {"xdotool", "mousemove", "--window", std::to_string(*menu), "30", "24", "click", "1"});
    EXPECT_TRUE(x11::waitUntil([&] { return visiblePanel().has_value(); }));
    EXPECT_TRUE(pinlet.isRunning());
}

TEST_F(PinletApplicationTest, TheTrayIconOpensTheMenuWindowWhoseButtonShowsTheNote) {
    auto pinlet = startPinlet();
    std::optional<x11::WindowId> icon;
    ASSERT_TRUE(x11::waitUntil([&] { return (icon = trayIcon()).has_value(); })) << pinlet.output();
    session_.run(
        {"xdotool", "mousemove", "--window", std::to_string(*icon), "5", "5", "click", "1"});
    const auto menu = session_.waitForWindow("Pinlet menu");
    ASSERT_TRUE(menu.has_value()) << pinlet.output();
    EXPECT_EQ(visiblePanel(), std::nullopt);

    // The show button is the first item, at the window's top left.
    session_.run(
        {"xdotool", "mousemove", "--window", std::to_string(*menu), "30", "24", "click", "1"});
    std::optional<x11::WindowId> panel;
    ASSERT_TRUE(x11::waitUntil([&] { return (panel = visiblePanel()).has_value(); }));
    EXPECT_TRUE(x11::waitUntil([&] { return session_.activeWindow() == panel; }));
    EXPECT_TRUE(session_.isViewable(*menu));
}

TEST_F(PinletApplicationTest, ASecondInstanceLeavesAtOnceWithoutTouchingTheStore) {
    auto first = startPinlet();
    ASSERT_TRUE(x11::waitUntil(
        [&] { return std::filesystem::exists(configHome_ / "pinlet" / "pinlet.lock"); }));
    auto second = startPinlet();
    EXPECT_EQ(second.waitForExit(std::chrono::seconds(10)), 1);
    EXPECT_THAT(second.output(), HasSubstr("already running"));
    EXPECT_TRUE(first.isRunning());
}

TEST_F(PinletApplicationTest, ACorruptPreferencesFileIsMovedAsideAndPinletStarts) {
    writePreferences("{ not json");
    auto pinlet = startPinlet();
    ASSERT_TRUE(x11::waitUntil([&] {
        return pinlet.output().find("moved it to") != std::string::npos;
    })) << pinlet.output();
    EXPECT_TRUE(pinlet.isRunning());
    bool asideKept = false;
    for (const auto& entry : std::filesystem::directory_iterator(configHome_ / "pinlet")) {
        std::ifstream file(entry.path());
        std::string content((std::istreambuf_iterator<char>(file)), {});
        asideKept =
            asideKept || (entry.path().filename() != "preferences.json" && content == "{ not json");
    }
    EXPECT_TRUE(asideKept);
}

class PinletWithoutTrayTest : public PinletApplicationTest {
protected:
    PinletWithoutTrayTest() : PinletApplicationTest(false) {}
};

TEST_F(PinletWithoutTrayTest, TheMenuWindowOpensAtOnceSaysWhyAndClosingItQuits) {
    auto pinlet = startPinlet();
    const auto menu = session_.waitForWindow("Pinlet menu");
    ASSERT_TRUE(menu.has_value()) << pinlet.output();
    EXPECT_THAT(pinlet.output(), HasSubstr("no system tray"));
    // Alt+F4 makes the window manager ask the window to close.
    session_.run({"xdotool", "windowactivate", "--sync", std::to_string(*menu), "key", "alt+F4"});
    EXPECT_EQ(pinlet.waitForExit(std::chrono::seconds(10)), 0);
}

} // namespace
