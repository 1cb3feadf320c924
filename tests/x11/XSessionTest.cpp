#include "tests/x11/support/XSession.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using test_support::x11::ChildProcess;
using test_support::x11::LaunchOptions;
using test_support::x11::runCommand;
using test_support::x11::XSession;

// A zombie still answers kill(); ps tells it apart.
bool processExists(pid_t pid) {
    const auto state = runCommand({"ps", "-o", "stat=", "-p", std::to_string(pid)}, {});
    return state.succeeded() && state.output.find('Z') == std::string::npos;
}

TEST(XSession, SessionsSideBySideGetTheirOwnDisplaysAndLeaveNothingBehind) {
    std::filesystem::path firstDirectory;
    std::string firstDisplay;
    {
        const XSession first;
        const XSession second;
        EXPECT_NE(first.display(), second.display());
        EXPECT_TRUE(second.run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).succeeded());
        firstDirectory = first.directory();
        firstDisplay = first.display();
        EXPECT_TRUE(std::filesystem::is_directory(firstDirectory));
    }
    EXPECT_FALSE(std::filesystem::exists(firstDirectory));
    EXPECT_FALSE(runCommand({"xprop", "-display", firstDisplay, "-root"}, {}).succeeded());
}

TEST(XSession, CommandsRunAgainstTheSessionDisplayWithInputAndOutput) {
    XSession session;
    const auto echoed = session.run({"sh", "-c", "cat; echo \"$DISPLAY\" >&2"}, "some input");
    EXPECT_TRUE(echoed.succeeded());
    EXPECT_EQ(echoed.output, "some input");
    EXPECT_EQ(echoed.errors, session.display() + "\n");

    session.run({"xclip", "-selection", "clipboard", "-in"}, "clipboard text");
    EXPECT_EQ(session.run({"xclip", "-selection", "clipboard", "-out"}).output, "clipboard text");
}

TEST(XSession, ForeignWindowsAreShownTitledAndCarryTheirPid) {
    XSession session;
    const auto foreign = session.startForeignWindow("Foreign one");
    EXPECT_TRUE(session.isViewable(foreign.window));
    EXPECT_EQ(session.propertyValue(foreign.window, "_NET_WM_PID"),
              std::to_string(foreign.process.pid()));
    EXPECT_TRUE(
        test_support::x11::waitUntil([&] { return session.activeWindow() == foreign.window; }));
    EXPECT_EQ(session.findWindow("Foreign"), std::nullopt);
}

TEST(XSession, TrayHostOwnsTheTraySelection) {
    const XSession session({.trayHost = true});
    EXPECT_NE(session.run({"xdotool", "search", "--class", "trayer"}).output, "");
}

TEST(ChildProcess, ExitStatusOutputAndStop) {
    const auto logFile = std::filesystem::temp_directory_path() /
                         ("pinlet-child-" + std::to_string(::getpid()) + ".log");
    {
        ChildProcess finished(
            LaunchOptions{{"sh", "-c", "echo out; echo err >&2; exit 3"}, {}, logFile});
        EXPECT_EQ(finished.waitForExit(10s), 3);
        EXPECT_EQ(finished.output(), "out\nerr\n");
    }
    std::filesystem::remove(logFile);

    ChildProcess sleeper(LaunchOptions{.arguments = {"sleep", "60"}});
    EXPECT_TRUE(sleeper.isRunning());
    EXPECT_EQ(sleeper.waitForExit(50ms), std::nullopt);
    const pid_t pid = sleeper.pid();
    sleeper.stop();
    EXPECT_FALSE(processExists(pid));
}

TEST(ChildProcess, AProgramThatCannotRunIsNamed) {
    try {
        const ChildProcess missing(LaunchOptions{.arguments = {"pinlet-no-such-program"}});
        FAIL() << "started a program that does not exist";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("pinlet-no-such-program"), std::string::npos);
    }
}

TEST(RunCommand, ABackgroundChildDoesNotHoldTheCallAndATimeoutKills) {
    const auto detached = runCommand({"sh", "-c", "sleep 5 & echo started"}, {}, {}, 10s);
    EXPECT_TRUE(detached.succeeded());
    EXPECT_EQ(detached.output, "started\n");

    const auto timedOut = runCommand({"sleep", "30"}, {}, {}, 100ms);
    EXPECT_EQ(timedOut.exitCode, -1);
    EXPECT_NE(timedOut.errors.find("killed"), std::string::npos);
}

} // namespace
