#include "platform/linux/JsonPreferencesStore.h"

#include "platform/linux/FileDescriptor.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <set>
#include <sys/stat.h>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using platform::PreferenceValue;
using platform::linux_desktop::FileDescriptor;
using platform::linux_desktop::JsonPreferencesStore;
using testing::HasSubstr;
using namespace std::string_literals;

QByteArray readFile(const fs::path& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const fs::path& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

class StoreTest : public ::testing::Test {
protected:
    [[nodiscard]] fs::path path(const QString& name = "preferences.json") const {
        return directory_.filePath(name).toStdString();
    }
    // The file as JSON; empty when there is no file or no JSON object in it.
    [[nodiscard]] QJsonObject saved() const {
        return QJsonDocument::fromJson(readFile(path())).object();
    }
    [[nodiscard]] QStringList asideNames() const {
        return QDir(directory_.path()).entryList({"preferences.json.corrupt-*"}, QDir::Files);
    }

    // Starts store_test_writer and waits for its "ready".
    void startWriter(const QString& mode, const QString& value = {}) {
        writer_.start(PINLET_STORE_TEST_WRITER, {mode, QString::fromStdString(path()), value});
        ASSERT_TRUE(QTest::qWaitFor([this] { return writer_.canReadLine(); }, 10000))
            << writer_.readAllStandardError().toStdString();
    }

    QTemporaryDir directory_;
    QProcess writer_;
};

// Each value after a restart, a leading U+FEFF included, and how string(), doubleValue() and
// boolValue() read it.
TEST_F(StoreTest, ValuesComeBackWithTheirTypesAndBitsAfterARestart) {
    const std::string text = "tab\t \"quoted\" back\\slash nul\0 caf\xC3\xA9 \xF0\x9F\x98\x80"s;
    const std::tuple<PreferenceValue, std::string, double, bool> values[] = {
        {text, text, 0, false},      {"\uFEFF20"s, "\uFEFF20", 0, false},
        {"true"s, "true", 0, false}, {0.1, "0.1", 0.1, false},
        {13.0, "13", 13, false},     {5e-324, "5e-324", 5e-324, false},
        {true, "1", 0, true},        {false, "0", 0, false},
    };
    {
        JsonPreferencesStore store(path());
        for (std::size_t key = 0; key < std::size(values); ++key) {
            store.set(std::to_string(key), std::get<0>(values[key]));
        }
    }
    const JsonPreferencesStore reloaded(path());
    for (std::size_t key = 0; key < std::size(values); ++key) {
        const auto& [value, string, number, flag] = values[key];
        SCOPED_TRACE(string);
        EXPECT_EQ(reloaded.object(std::to_string(key)), value);
        EXPECT_EQ(reloaded.string(std::to_string(key)), string);
        EXPECT_EQ(reloaded.doubleValue(std::to_string(key)), number);
        EXPECT_EQ(reloaded.boolValue(std::to_string(key)), flag);
    }
    EXPECT_EQ(reloaded.string("absent"), std::nullopt);
}

TEST_F(StoreTest, ChangesThatGoOnAreWrittenADelayAfterTheFirstAndNotMoreOften) {
    JsonPreferencesStore store(path());
    std::set<fs::file_time_type> writes;
    for (int change = 0; change < 30; ++change) {
        store.set("n", static_cast<double>(change));
        EXPECT_TRUE(change > 0 || !fs::exists(path())) << "set() wrote the file";
        QTest::qWait(20);
        if (fs::exists(path())) {
            writes.insert(fs::last_write_time(path()));
        }
    }
    // A delay restarted by every change would have written nothing yet.
    EXPECT_THAT(writes.size(), testing::AllOf(testing::Ge(1U), testing::Le(5U)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !store.hasUnsavedChanges(); }));
    EXPECT_EQ(saved(), (QJsonObject{{"n", 29}}));
}

// What the store cannot hold is left as it was: members of other kinds read as absent and are
// kept; a non-finite number is refused, with one line, and the old value stays.
TEST_F(StoreTest, MembersOfOtherKindsAndNonFiniteNumbersLeaveTheFileAsItWas) {
    writeFile(path(), R"({"null": null, "list": [1, {"x": "y"}], "object": {"a": []},
                         "fontSize": "13", "replaced": [2], "removed": {}})");
    JsonPreferencesStore store(path());
    for (const char* key : {"null", "list", "object", "replaced", "removed"}) {
        EXPECT_EQ(store.object(key), std::nullopt) << key;
    }
    store.set("replaced", true);
    store.removeObject("removed");
    store.set("noteText", "new"s);
    for (const double nonFinite : {NAN, INFINITY, -INFINITY}) {
        testing::internal::CaptureStderr();
        store.set("fontSize", nonFinite);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::ranges::count(printed, '\n'), 1) << printed;
        EXPECT_THAT(printed, HasSubstr("\"fontSize\""));
    }
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(saved(), QJsonDocument::fromJson(R"({"null": null, "list": [1, {"x": "y"}],
        "object": {"a": []}, "fontSize": "13", "replaced": true, "noteText": "new"})")
                           .object());
}

class UnusableFileTest : public StoreTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(UnusableFileTest, IsMovedAsideNeverOverwrittenAndTheStoreStartsEmpty) {
    for (int round = 1; round <= 2; ++round) { // within a second: alike timestamps
        writeFile(path(), QByteArray::fromStdString(GetParam()));
        testing::internal::CaptureStderr();
        JsonPreferencesStore store(path());
        const std::string printed = testing::internal::GetCapturedStderr();
        ASSERT_EQ(asideNames().size(), round);
        EXPECT_EQ(std::ranges::count(printed, '\n'), 1) << printed;
        EXPECT_THAT(printed, HasSubstr(path().string() + " "));
        EXPECT_THAT(printed, HasSubstr(path(asideNames().last()).string()));
        store.set("fontSize", 14.0);
    }
    for (const QString& name : asideNames()) {
        EXPECT_EQ(readFile(path(name)).toStdString(), GetParam());
    }
    EXPECT_EQ(saved(), (QJsonObject{{"fontSize", 14}}));
}

INSTANTIATE_TEST_SUITE_P(Contents, UnusableFileTest,
                         ::testing::Values("\x89PNG\r\n\x1A\n\0\xFF"s, "", R"(["noteText"])",
                                           R"({"fontSize": 13,})"));

TEST_F(StoreTest, AnUnusableFileThatCannotBeMovedAsideIsNeverWrittenOver) {
    const fs::path unmovable = path(QString(240, 'p')); // no room for the timestamped name
    writeFile(unmovable, "not json");
    testing::internal::CaptureStderr();
    {
        JsonPreferencesStore store(unmovable);
        store.set("fontSize", 14.0);
        EXPECT_FALSE(store.flush());
    }
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("could not be moved"));
    EXPECT_EQ(readFile(unmovable), "not json");
}

TEST_F(StoreTest, AFailedWriteKeepsTheChangesUntilAWriteSucceeds) {
    const fs::path blocked = path("blocked");
    writeFile(blocked, ""); // a file where the store's directory should be
    JsonPreferencesStore store(blocked / "preferences.json");
    store.set("a", 1.0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.flush());
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(blocked.string()));
    fs::remove(blocked);
    EXPECT_TRUE(store.flush());
    EXPECT_EQ(JsonPreferencesStore(blocked / "preferences.json").doubleValue("a"), 1.0);
}

// Its temporary file a pipe that nobody drains, the first write cannot end: typing goes on.
TEST_F(StoreTest, AWriteThatCannotEndDoesNotHoldUpTyping) {
    const fs::path temporary = fs::path(path()).concat(".tmp");
    ASSERT_EQ(::mkfifo(temporary.c_str(), 0600), 0);
    const FileDescriptor undrained(::open(temporary.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    startWriter("type");
    pollfd writing{undrained.get(), POLLIN, 0};
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::poll(&writing, 1, 0) == 1; }, 10000));
    writer_.readAll();
    int typed = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (typed += static_cast<int>(writer_.readAll().count('\n'))) >= 5; }, 10000));
    writer_.kill();
    ASSERT_TRUE(writer_.waitForFinished());
}

class EndingTest : public StoreTest, public ::testing::WithParamInterface<int> {};

// A quit signal, or 0 for exit() from inside the event loop.
TEST_P(EndingTest, SavesTheLastChange) {
    startWriter("hold", "set just before");
    if (GetParam() != 0) {
        ::kill(static_cast<pid_t>(writer_.processId()), GetParam());
    } else {
        writer_.write("exit\n");
    }
    ASSERT_TRUE(writer_.waitForFinished());
    EXPECT_EQ(writer_.exitCode(), GetParam() != 0 ? 0 : 3);
    EXPECT_EQ(saved().value("value"), "set just before");
}

INSTANTIATE_TEST_SUITE_P(Endings, EndingTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP, 0),
                         [](const auto& info) {
                             return info.param != 0 ? std::string(sigabbrev_np(info.param))
                                                    : "exit";
                         });

} // namespace
