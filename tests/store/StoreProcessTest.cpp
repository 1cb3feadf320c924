#include "platform/linux/SingleInstanceLock.h"
#include "tests/store/ChurnPayload.h"
#include "tests/store/StoreTestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <random>

namespace {

namespace fs = std::filesystem;
using platform::linux_desktop::LockFailure;
using platform::linux_desktop::SingleInstanceLock;
using test_support::readBytes;

class StoreProcessTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(directory_.isValid()); }
    void TearDown() override {
        if (writer_.state() != QProcess::NotRunning) {
            writer_.kill();
            writer_.waitForFinished();
        }
    }

    [[nodiscard]] fs::path path(const char* name = "preferences.json") const {
        return fs::path(directory_.path().toStdString()) / name;
    }

    // Starts store_test_writer and waits for its "ready".
    void startWriter(const QStringList& arguments) {
        writer_.start(PINLET_STORE_TEST_WRITER, arguments);
        ASSERT_TRUE(writer_.waitForStarted());
        ASSERT_TRUE(waitForOutput("ready")) << writer_.readAllStandardError().toStdString();
    }

    bool waitForOutput(const QByteArray& line) {
        while (!output_.contains(line)) {
            if (!writer_.waitForReadyRead(10000)) {
                return false;
            }
            output_ += writer_.readAllStandardOutput();
        }
        return true;
    }

    void signalWriter(int signalNumber) {
        ::kill(static_cast<pid_t>(writer_.processId()), signalNumber);
    }

    QProcess writer_;

private:
    QTemporaryDir directory_;
    QByteArray output_;
};

QString text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

TEST_F(StoreProcessTest, KilledWhileWritingLeavesOneWholeStateOfTheFile) {
    std::random_device seeds;
    const unsigned seed = seeds();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> milliseconds(0, 120);
    for (int round = 0; round < 6; ++round) {
        startWriter({"churn", text(path())});
        QTest::qWait(milliseconds(random));
        signalWriter(SIGKILL);
        ASSERT_TRUE(writer_.waitForFinished());

        QJsonParseError error{};
        const QJsonObject state =
            QJsonDocument::fromJson(QByteArray::fromStdString(readBytes(path())), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << "round " << round;
        const double counter = state.value("counter").toDouble();
        ASSERT_GE(counter, 1.0);
        ASSERT_EQ(state.value("payload").toString().toStdString(),
                  test_support::churnPayload(counter))
            << "round " << round << ", counter " << counter;
    }
}

class QuitSignalTest : public StoreProcessTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuitSignalTest, EndsTheLoopCleanlyAndSavesTheLastChange) {
    startWriter({"quit", text(path()), "set just before"});
    signalWriter(GetParam());
    ASSERT_TRUE(writer_.waitForFinished());
    EXPECT_EQ(writer_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(writer_.exitCode(), 0);
    EXPECT_NE(readBytes(path()).find(R"("value": "set just before")"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Signals, QuitSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

TEST_F(StoreProcessTest, ExitFromInsideTheLoopSavesTheLastChange) {
    writer_.start(PINLET_STORE_TEST_WRITER, {"exit", text(path()), "set before exiting"});
    ASSERT_TRUE(writer_.waitForFinished());
    EXPECT_EQ(writer_.exitCode(), 3);
    EXPECT_NE(readBytes(path()).find(R"("value": "set before exiting")"), std::string::npos);
}

TEST_F(StoreProcessTest, TheLockHasOneHolderAndIsFreedWhenItsProcessDies) {
    const fs::path lockPath = SingleInstanceLock::pathFor(path());
    EXPECT_EQ(lockPath, path("pinlet.lock"));
    startWriter({"lock", text(lockPath)});

    auto refused = SingleInstanceLock::acquire(lockPath);
    ASSERT_TRUE(std::holds_alternative<LockFailure>(refused));
    EXPECT_EQ(std::get<LockFailure>(refused).kind, LockFailure::Kind::alreadyRunning);
    EXPECT_EQ(std::get<LockFailure>(refused).message(),
              "Pinlet is already running (lock held on " + lockPath.string() + ").");

    signalWriter(SIGKILL);
    ASSERT_TRUE(writer_.waitForFinished());
    auto taken = SingleInstanceLock::acquire(lockPath);
    ASSERT_TRUE(std::holds_alternative<SingleInstanceLock>(taken));

    writer_.start(PINLET_STORE_TEST_WRITER, {"lock", text(lockPath)});
    ASSERT_TRUE(writer_.waitForFinished());
    EXPECT_EQ(writer_.exitCode(), 1);
    EXPECT_TRUE(writer_.readAllStandardError().startsWith("Pinlet is already running"));
}

TEST_F(StoreProcessTest, TheLockIsHeldPerOpeningAndReleasedWithTheObject) {
    const fs::path lockPath = path("nested/pinlet.lock");
    {
        const auto first = SingleInstanceLock::acquire(lockPath);
        ASSERT_TRUE(std::holds_alternative<SingleInstanceLock>(first));
        EXPECT_TRUE(std::holds_alternative<LockFailure>(SingleInstanceLock::acquire(lockPath)));
    }
    EXPECT_TRUE(std::holds_alternative<SingleInstanceLock>(SingleInstanceLock::acquire(lockPath)));
}

TEST_F(StoreProcessTest, ALockThatCannotBeMadeSaysWhy) {
    test_support::writeBytes(path("file"), "");
    const auto failed = SingleInstanceLock::acquire(path("file") / "pinlet.lock");
    ASSERT_TRUE(std::holds_alternative<LockFailure>(failed));
    const auto& failure = std::get<LockFailure>(failed);
    EXPECT_EQ(failure.kind, LockFailure::Kind::error);
    EXPECT_EQ(failure.message(), "Pinlet could not take its lock " +
                                     (path("file") / "pinlet.lock").string() +
                                     ": Not a directory.");
}

} // namespace
