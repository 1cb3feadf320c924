// The whole application on a private X server with a window manager and a tray host.
#include "tests/x11/support/DesktopPortal.h"
#include "tests/x11/support/XSession.h"

#include <cmath>
#include <csignal>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <map>
#include <sstream>

namespace {

using test_support::x11::DesktopPortal;
using test_support::x11::waitUntil;
using test_support::x11::WindowId;
using test_support::x11::XSession;

class PinletApplicationTest : public testing::Test {
protected:
    explicit PinletApplicationTest(XSession::Options options = {.trayHost = true})
        : session(options) {}

    QProcess& startPinlet(const QString& argument = {}) {
        QProcessEnvironment environment;
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(configHome.string()));
        std::filesystem::create_directories(runtimeDirectory);
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtimeDirectory.string()));
        // The suite itself runs Qt offscreen; the application must not inherit that.
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert(desktop);
        return session.start(argument.isEmpty() ? QStringList{PINLET_BINARY}
                                                : QStringList{PINLET_BINARY, argument},
                             environment);
    }

    // `pinlet --toggle` and the like, run to its end: its exit status and what it said.
    std::pair<int, std::string> request(const QString& argument) {
        QProcess& process = startPinlet(argument);
        process.waitForFinished(30000);
        return {process.exitCode(), process.readAll().toStdString()};
    }

    [[nodiscard]] std::string activeWindowName() const {
        return session.run({"xdotool", "getactivewindow", "getwindowname"}).value_or("");
    }
    [[nodiscard]] bool panelIsActive() const { return activeWindowName() == "Pinlet\n"; }
    [[nodiscard]] bool trayWindowIsActive() const { return activeWindowName() == "Pinlet menu\n"; }
    [[nodiscard]] bool trayWindowShows() const {
        return session.run({"xdotool", "search", "--onlyvisible", "--name", "^Pinlet menu$"})
            .has_value();
    }

    [[nodiscard]] std::string stored() const {
        std::ifstream file(store);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    // Once it has set up its hot keys, where there are none.
    static bool saysToBindTheCommand(QProcess& pinlet) {
        std::string said;
        return waitUntil([&] {
            said += pinlet.readAll().toStdString();
            return said.find("bind \"pinlet --toggle\"") != std::string::npos;
        });
    }

    // The icon in the tray: the small one of Pinlet's windows shown.
    [[nodiscard]] std::optional<WindowId> trayIcon() const {
        std::istringstream windows(
            session.run({"xdotool", "search", "--onlyvisible", "--classname", "pinlet"})
                .value_or(""));
        for (WindowId window = 0; windows >> window;) {
            if (session.frame(window).width() < 64) {
                return window;
            }
        }
        return std::nullopt;
    }

    bool waitForTrayIcon() {
        return waitUntil([&] { return trayIcon().has_value(); });
    }

    // Clicks the tray icon; true once the window it opens is the active one.
    bool openTrayWindow() {
        return waitForTrayIcon() &&
               session.run({"xdotool", "mousemove", "--window", std::to_string(*trayIcon()).c_str(),
                            "4", "4", "click", "1"}) &&
               waitUntil([&] { return trayWindowIsActive(); });
    }

    XSession session;
    std::filesystem::path configHome = session.directory() / "config";
    std::filesystem::path runtimeDirectory = session.directory() / "runtime";
    std::filesystem::path store = configHome / "pinlet" / "preferences.json";
    // What the desktop adds to Pinlet's environment.
    QProcessEnvironment desktop;
};

// Started at login before the tray host.
class PinletBeforeTheTrayTest : public PinletApplicationTest {
protected:
    PinletBeforeTheTrayTest() : PinletApplicationTest({}) {}
};

// WCAG's contrast ratio of two colours 0xRRGGBB.
double contrast(std::uint32_t one, std::uint32_t other) {
    const auto luminance = [](std::uint32_t rgb) {
        double sum = 0.05;
        for (const auto& [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double value = ((rgb >> shift) & 0xFFU) / 255.0;
            sum += weight *
                   (value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    return std::max(luminance(one), luminance(other)) / std::min(luminance(one), luminance(other));
}

// Until then the window is Pinlet's home: closing it leaves Pinlet running, with its shortcut,
// and the application menu's command brings it back. Then grey trays come one after another, dark
// and light, some saying the colour of their icons: the icon stands out at least 3:1 from each, in
// the colour the tray says where it says one.
TEST_F(PinletBeforeTheTrayTest, TraysThatAppearLaterTakeTheIconAndTheWindowAndShowTheIconClearly) {
    QProcess& pinlet = startPinlet();
    ASSERT_TRUE(waitUntil([&] { return trayWindowIsActive(); })) << pinlet.readAll().toStdString();
    ASSERT_TRUE(session.run({"xdotool", "key", "alt+F4"}));
    ASSERT_TRUE(waitUntil([&] { return !trayWindowShows(); }));
    EXPECT_EQ(request("--show").first, 0);
    EXPECT_TRUE(waitUntil([&] { return trayWindowShows(); }));

    struct Tray {
        const char* tint;
        std::optional<std::uint32_t> foreground;
    };
    for (const Tray& host : {Tray{"0x292929", {}}, Tray{"0xdcdad5", {}}, Tray{"0x292929", 0xe0e0e0},
                             Tray{"0xdcdad5", 0x303030}}) {
        QProcess& tray =
            session.startTrayHost({"--transparent", "true", "--alpha", "0", "--tint", host.tint});
        EXPECT_TRUE(waitUntil([&] { return !trayWindowShows(); }));
        if (host.foreground) {
            const QString grey = QString::number((*host.foreground & 0xFFU) * 257); // 16 bits
            ASSERT_TRUE(session.run(
                {"xprop", "-id", QString::number(session.owner("_NET_SYSTEM_TRAY_S0")), "-f",
                 "_NET_SYSTEM_TRAY_COLORS", "32c", "-set", "_NET_SYSTEM_TRAY_COLORS",
                 QStringList(3, grey).join(',') + QStringLiteral(",0").repeated(9)}));
        }
        const auto standsOut = [&] {
            const QRect icon = trayIcon() ? session.frame(*trayIcon()) : QRect();
            const std::uint32_t behind = session.pixel(icon.topLeft());
            std::uint32_t strongest = behind;
            for (int pixel = 0; pixel < icon.width() * icon.height(); ++pixel) {
                const std::uint32_t colour = session.pixel(
                    icon.topLeft() + QPoint(pixel % icon.width(), pixel / icon.width()));
                strongest =
                    contrast(colour, behind) > contrast(strongest, behind) ? colour : strongest;
            }
            return contrast(strongest, behind) >= 3 &&
                   host.foreground.value_or(strongest) == strongest;
        };
        EXPECT_TRUE(waitUntil(standsOut)) << "tray " << host.tint;
        tray.terminate();
        tray.waitForFinished();
    }
    EXPECT_EQ(pinlet.state(), QProcess::Running);
}

// With and without a compositor: the panel's corners are translucent or cut out.
class PinletOnEitherDesktopTest : public PinletApplicationTest,
                                  public testing::WithParamInterface<bool> {
protected:
    PinletOnEitherDesktopTest()
        : PinletApplicationTest({.trayHost = true, .compositor = GetParam()}) {}
};
INSTANTIATE_TEST_SUITE_P(Compositing, PinletOnEitherDesktopTest, testing::Bool());

TEST_P(PinletOnEitherDesktopTest, TheShortcutTogglesThePanelOnAllDesktopsAndFocusGoesBack) {
    ASSERT_TRUE(session.run({"xsetroot", "-solid", "#3080c0"}));
    const WindowId other = session.createWindow();
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));
    QProcess& pinlet = startPinlet();
    // Its tray icon shows once it has set everything up, the shortcut included.
    ASSERT_TRUE(waitForTrayIcon()) << pinlet.readAll().toStdString();

    // Three times: the panel is on every desktop again when it shows again, and shows again after
    // the window manager closed it.
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(session.run({"xdotool", "key", "ctrl+alt+n"}));
        ASSERT_TRUE(waitUntil([&] { return panelIsActive(); })) << pinlet.readAll().toStdString();
        const WindowId panel = *session.activeWindow();
        EXPECT_TRUE(waitUntil(
            [&] { return session.values(panel, "_NET_WM_DESKTOP") == std::vector{0xFFFFFFFFU}; }));
        // Its rounded corners show what lies beside it.
        const QPoint corner = session.frame(panel).topLeft();
        EXPECT_EQ(session.pixel(corner), session.pixel(corner - QPoint(1, 1)));

        // The second time the window manager closes it (openbox's Alt+F4), which hides it too.
        ASSERT_TRUE(session.run({"xdotool", "key", round == 1 ? "alt+F4" : "ctrl+alt+n"}));
        EXPECT_TRUE(waitUntil([&] { return !session.isViewable(panel); }));
        EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));
    }
}

TEST_F(PinletApplicationTest, TheCommandLineTogglesShowsAndHidesTheRunningPanel) {
    const WindowId other = session.createWindow();
    QProcess& pinlet = startPinlet();
    ASSERT_TRUE(waitForTrayIcon()) << pinlet.readAll().toStdString();
    for (const char* showing : {"--toggle", "--show"}) {
        EXPECT_EQ(request(showing).first, 0);
        EXPECT_TRUE(waitUntil([&] { return panelIsActive(); })) << showing;
    }
    // Pressed where no control is, the panel moves with the pointer; pressed at its edge, it grows.
    const WindowId panel = *session.activeWindow();
    const auto drag = [&](QPoint from) {
        const QRect before = session.frame(panel);
        const bool changed =
            session.run({"xdotool", "mousemove", "--window", QString::number(panel),
                         QString::number(from.x()), QString::number(from.y()), "mousedown", "1"}) &&
            waitUntil([&] {
                return session.run({"xdotool", "mousemove_relative", "3", "2"}) &&
                       session.frame(panel) != before;
            });
        return session.run({"xdotool", "mouseup", "1"}) && changed;
    };
    const QSize size = session.frame(panel).size();
    ASSERT_TRUE(drag({100, 12}));
    const QRect moved = session.frame(panel);
    EXPECT_EQ(moved.size(), size);
    ASSERT_TRUE(drag({moved.width() - 2, moved.height() / 2}));
    EXPECT_EQ(session.frame(panel).topLeft(), moved.topLeft());
    EXPECT_EQ(request("--hide").first, 0);
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));

    // Hiding a hidden panel takes the focus from nobody.
    const WindowId another = session.createWindow();
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow() == another; }));
    EXPECT_EQ(request("--hide").first, 0);
    EXPECT_FALSE(waitUntil([&] { return session.activeWindow() != another; }, 500));
    EXPECT_EQ(request("--toggle").first, 0);
    EXPECT_TRUE(waitUntil([&] { return panelIsActive(); }));
    EXPECT_EQ(request("--toggle").first, 0);
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == another; }));
}

TEST_F(PinletApplicationTest, WithNoneRunningARequestStartsPinletPastAKilledOnesSocket) {
    EXPECT_THAT(request("--hide"), testing::Pair(1, testing::HasSubstr("not running")));
    QProcess& killed = startPinlet();
    ASSERT_TRUE(waitUntil([&] { return !std::filesystem::is_empty(runtimeDirectory); }))
        << killed.readAll().toStdString();
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished());

    QProcess& pinlet = startPinlet("--toggle");
    EXPECT_TRUE(waitUntil([&] { return panelIsActive(); })) << pinlet.readAll().toStdString();
    EXPECT_EQ(request("--hide").first, 0);
    EXPECT_EQ(pinlet.state(), QProcess::Running);
}

TEST_F(PinletApplicationTest, ASecondInstanceExitsWithoutTouchingTheStore) {
    QProcess& first = startPinlet();
    // Once it has saved the shortcut, it writes no more.
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(store); }))
        << first.readAll().toStdString();
    // A store that the second one would move aside, were it to open it.
    std::ofstream(store) << "{ not json";

    QProcess& second = startPinlet();
    ASSERT_TRUE(second.waitForFinished());
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_THAT(second.readAll().toStdString(), testing::HasSubstr("already running"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.parent_path()), {}), 2)
        << "the lock and the store, and nothing else";
    EXPECT_EQ(stored(), "{ not json");
    EXPECT_EQ(first.state(), QProcess::Running);
}

// Its button shows and hides the note while the window stays open; the keyboard goes back to the
// application the shortcut found in front, not to the window. Another application taking over
// closes it.
TEST_F(PinletApplicationTest, TheTrayWindowStaysOpenThroughItsOwnToggles) {
    const WindowId other = session.createWindow();
    QProcess& pinlet = startPinlet();
    ASSERT_TRUE(waitForTrayIcon()) << pinlet.readAll().toStdString();
    ASSERT_TRUE(session.run({"xdotool", "key", "ctrl+alt+n"}));
    ASSERT_TRUE(waitUntil([&] { return panelIsActive(); }));
    ASSERT_TRUE(openTrayWindow());
    const WindowId window = *session.activeWindow();
    // The icon is at the right edge of the screen.
    EXPECT_TRUE(session.frame(session.root()).contains(session.frame(window)));

    const auto pressToggleButton = [&] {
        return session.run({"xdotool", "mousemove", "--window", std::to_string(window).c_str(),
                            "20", "20", "click", "1"});
    };
    ASSERT_TRUE(pressToggleButton());
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));
    ASSERT_TRUE(pressToggleButton());
    EXPECT_TRUE(waitUntil([&] { return panelIsActive(); }));
    ASSERT_TRUE(session.run({"xdotool", "key", "Escape"}));
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));
    EXPECT_TRUE(session.isViewable(window));

    session.createWindow();
    EXPECT_TRUE(waitUntil([&] { return !session.isViewable(window); }));
}

enum class Quit { terminate, interrupt, hangUp, quitButton, controlQ, endOfSession };

class PinletQuitTest : public PinletApplicationTest, public testing::WithParamInterface<Quit> {};
INSTANTIATE_TEST_SUITE_P(EveryWay, PinletQuitTest,
                         testing::Values(Quit::terminate, Quit::interrupt, Quit::hangUp,
                                         Quit::quitButton, Quit::controlQ, Quit::endOfSession));

// However it ends, with its tray window open after it was opened, closed and opened again, Pinlet
// leaves cleanly (the sanitizers find nothing) and the note typed just before is saved.
TEST_P(PinletQuitTest, SavesTheNoteAndLeavesCleanly) {
    QProcess& pinlet = startPinlet();
    ASSERT_TRUE(waitForTrayIcon()) << pinlet.readAll().toStdString();
    ASSERT_TRUE(session.run({"xdotool", "key", "ctrl+alt+n"}));
    ASSERT_TRUE(waitUntil([&] { return panelIsActive(); }));
    ASSERT_TRUE(session.run({"xdotool", "type", "kept"}));
    ASSERT_TRUE(openTrayWindow());
    ASSERT_TRUE(session.run({"xdotool", "click", "1"})); // the icon again
    ASSERT_TRUE(waitUntil([&] { return !trayWindowShows(); }));
    ASSERT_TRUE(openTrayWindow());
    // Into the recorder and out, to "Launch at login".
    ASSERT_TRUE(session.run({"xdotool", "key", "Tab", "Tab"}));

    const std::map<Quit, std::function<bool()>> quitting{
        {Quit::terminate, [&] { return ::kill(pid_t(pinlet.processId()), SIGTERM) == 0; }},
        {Quit::interrupt, [&] { return ::kill(pid_t(pinlet.processId()), SIGINT) == 0; }},
        {Quit::hangUp, [&] { return ::kill(pid_t(pinlet.processId()), SIGHUP) == 0; }},
        {Quit::quitButton,
         [&] { // the last row
             const QRect window = session.frame(*session.activeWindow());
             return session
                 .run({"xdotool", "mousemove", QString::number(window.left() + 20),
                       QString::number(window.bottom() - 20), "click", "1"})
                 .has_value();
         }},
        {Quit::controlQ,
         [&] {
             return session.run({"xdotool", "key", "ctrl+q"}).has_value();
         }},
        {Quit::endOfSession, [&] { return (session.endDisplay(), true); }},
    };
    ASSERT_TRUE(quitting.at(GetParam())());
    ASSERT_TRUE(pinlet.waitForFinished());
    const std::string said = pinlet.readAll().toStdString();
    EXPECT_EQ(pinlet.exitStatus(), QProcess::NormalExit) << said;
    EXPECT_THAT(said, testing::Not(testing::HasSubstr("Sanitizer")));
    EXPECT_THAT(stored(), testing::HasSubstr(R"("noteText": "kept")"));
}

TEST_F(PinletApplicationTest, AShortcutRecordedInTheTrayWindowTogglesThePanelAndFreesTheOldOne) {
    const WindowId other = session.createWindow();
    QProcess& pinlet = startPinlet();
    ASSERT_TRUE(openTrayWindow()) << pinlet.readAll().toStdString();
    // Tab leads from the show button into the recorder, which then takes the next combination.
    ASSERT_TRUE(session.run({"xdotool", "key", "Tab", "ctrl+shift+k"}));
    EXPECT_TRUE(waitUntil([&] {
        return stored().find(R"({\"carbonKeyCode\":40,\"carbonModifiers\":4608})") !=
               std::string::npos;
    }));
    // Ctrl+Alt+N is free for others now.
    EXPECT_TRUE(session.grabKey(57, 0x4 | 0x8));

    ASSERT_TRUE(
        session.run({"xdotool", "windowactivate", "--sync", std::to_string(other).c_str()}));
    ASSERT_TRUE(session.run({"xdotool", "key", "ctrl+shift+k"}));
    ASSERT_TRUE(waitUntil([&] { return panelIsActive(); })) << pinlet.readAll().toStdString();
    const WindowId panel = *session.activeWindow();

    // Held while the note's context menu holds the keyboard, with the server's own fast
    // auto-repeat, it hides the panel once, when let go.
    const auto pinletWindowsShown = [&] {
        return std::ranges::count(
            session.run({"xdotool", "search", "--onlyvisible", "--classname", "pinlet"})
                .value_or(""),
            '\n');
    };
    const auto withoutMenu = pinletWindowsShown();
    ASSERT_TRUE(session.run({"xdotool", "mousemove", "--window", std::to_string(panel).c_str(),
                             "100", "100", "click", "3"}));
    ASSERT_TRUE(waitUntil([&] { return pinletWindowsShown() > withoutMenu; }));
    ASSERT_TRUE(session.run({"xset", "r", "rate", "200", "30"}));
    ASSERT_TRUE(session.run({"xdotool", "keydown", "ctrl+shift+k"}));
    EXPECT_FALSE(waitUntil([&] { return !session.isViewable(panel); }, 1500));
    ASSERT_TRUE(session.run({"xdotool", "keyup", "k", "shift", "ctrl"}));
    EXPECT_TRUE(waitUntil([&] { return !session.isViewable(panel); }));
    EXPECT_FALSE(waitUntil([&] { return session.isViewable(panel); }, 500));
}

// On a Wayland desktop, Pinlet running through XWayland (here the session's X server).
class PinletOnAWaylandDesktopTest : public PinletApplicationTest {
protected:
    explicit PinletOnAWaylandDesktopTest(
        DesktopPortal::Backend backend = DesktopPortal::Backend::binding)
        : portal(session, backend) {
        desktop = portal.environment();
    }

    bool portalSaid(const std::string& text) {
        return waitUntil([&] { return portal.output().find(text) != std::string::npos; });
    }

    DesktopPortal portal;
};

TEST_F(PinletOnAWaylandDesktopTest, ThePortalsShortcutTogglesOnReleaseAndARecordedOneIsOffered) {
    const WindowId other = session.createWindow();
    QProcess& pinlet = startPinlet();
    ASSERT_TRUE(portalSaid("bound togglePanel CTRL+ALT+n\n")) << pinlet.readAll().toStdString();
    for (int round = 0; round < 2; ++round) {
        portal.send("Activated togglePanel");
        EXPECT_FALSE(waitUntil([&] { return panelIsActive() != (round == 1); }, 500));
        portal.send("Deactivated togglePanel");
        EXPECT_TRUE(waitUntil([&] { return panelIsActive() == (round == 0); }));
    }
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));

    ASSERT_TRUE(openTrayWindow());
    ASSERT_TRUE(session.run({"xdotool", "key", "Tab", "ctrl+shift+k"}));
    EXPECT_TRUE(portalSaid(" CTRL+SHIFT+k\n"));
}

// On GNOME's compositor, a Wayland desktop without the portal: Pinlet runs through its XWayland and
// says how to bind the command, and the panel the command shows takes the keyboard from the
// Wayland window in front and gives it back. X sees no active window while a Wayland one has it.
class PinletOnMutterTest : public PinletApplicationTest {
protected:
    PinletOnMutterTest() : PinletApplicationTest({.windowManager = false, .wayland = true}) {
        desktop.insert("WAYLAND_DISPLAY", QString::fromStdString(session.waylandDisplay()));
        desktop.insert("XDG_SESSION_TYPE", "wayland");
        desktop.insert("QT_QPA_PLATFORM", ""); // Pinlet's own choice
        desktop.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    }
};

TEST_F(PinletOnMutterTest, ThePanelTakesTheKeyboardFromAWaylandWindowAndGivesItBack) {
    ASSERT_TRUE(saysToBindTheCommand(startPinlet()));
    // Without a tray, Pinlet opens its menu window, which has the keyboard until the terminal
    // comes.
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow().has_value(); }));
    session.start({"weston-terminal"}, desktop);
    ASSERT_TRUE(waitUntil([&] { return !session.activeWindow(); }));
    for (const bool byEscape : {true, false}) {
        EXPECT_EQ(request("--toggle").first, 0);
        EXPECT_TRUE(waitUntil([&] { return panelIsActive(); }));
        if (byEscape) {
            ASSERT_TRUE(session.run({"xdotool", "key", "Escape"}));
        } else {
            EXPECT_EQ(request("--hide").first, 0);
        }
        EXPECT_TRUE(waitUntil([&] { return !session.activeWindow(); })) << byEscape;
    }
}

// On GNOME Shell with no portal: the toggle is a custom shortcut in GNOME's settings, run by
// gsd-media-keys; keys come as a user's, through the shell.
class PinletOnGnomeShellTest : public PinletApplicationTest {
protected:
    PinletOnGnomeShellTest()
        : PinletApplicationTest({.windowManager = false, .wayland = true, .gnomeShell = true}) {
        desktop.insert("QT_QPA_PLATFORM", ""); // Pinlet's own choice
    }

    // Presses the combination until it shows the panel, as gsd-media-keys takes a new binding
    // from the settings a little later.
    bool showsThePanel(const std::vector<std::uint32_t>& keys) {
        return waitUntil([&] {
            return (session.pressKeys(keys), waitUntil([&] { return panelIsActive(); }, 2000));
        });
    }
};

// The key shows the panel with the keyboard, in front of a Wayland window; a combination recorded
// in Pinlet's window replaces it there. (Its entry beside the user's own is the settings tests'.)
TEST_F(PinletOnGnomeShellTest, TheKeysShowThePanelAndARecordedCombinationReplacesThem) {
    QProcess& pinlet = startPinlet();
    // Its window, without a tray, has the keyboard until the terminal comes.
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow().has_value(); }));
    session.start({"weston-terminal"}, desktop);
    ASSERT_TRUE(waitUntil([&] { return !session.activeWindow(); }));

    const std::vector<std::uint32_t> controlAltN{KEY_LEFTCTRL, KEY_LEFTALT, KEY_N};
    ASSERT_TRUE(showsThePanel(controlAltN)) << pinlet.readAll().toStdString();
    session.pressKeys({KEY_K});
    EXPECT_TRUE(
        waitUntil([&] { return stored().find(R"("noteText": "k")") != std::string::npos; }));
    session.pressKeys(controlAltN);
    EXPECT_TRUE(waitUntil([&] { return !session.activeWindow(); }));

    // Tab leads from the window's button into the recorder.
    EXPECT_EQ(request("--settings").first, 0);
    ASSERT_TRUE(waitUntil([&] { return trayWindowIsActive(); }));
    session.pressKeys({KEY_TAB});
    const std::vector<std::uint32_t> controlShiftK{KEY_LEFTCTRL, KEY_LEFTSHIFT, KEY_K};
    session.pressKeys(controlShiftK);
    EXPECT_TRUE(showsThePanel(controlShiftK));
    session.pressKeys(controlShiftK);
    EXPECT_TRUE(waitUntil([&] { return !panelIsActive(); }));
    session.pressKeys(controlAltN);
    EXPECT_FALSE(waitUntil([&] { return panelIsActive(); }, 1500));
}

class PinletWhereThePortalRefusesTest : public PinletOnAWaylandDesktopTest {
protected:
    PinletWhereThePortalRefusesTest()
        : PinletOnAWaylandDesktopTest(DesktopPortal::Backend::refusing) {}
};

// Where the portal is missing, mutter's test checks the same line.
TEST_F(PinletWhereThePortalRefusesTest, OneLineNamesTheCommandToBindInstead) {
    EXPECT_TRUE(saysToBindTheCommand(startPinlet()));
}

} // namespace
