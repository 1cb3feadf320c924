#include "platform/linux/JsonPreferencesStore.h"

#include "tests/store/StoreTestFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using platform::PreferenceValue;
using platform::ValueDictionary;
using platform::linux_desktop::JsonPreferencesStore;
using test_support::namesIn;
using test_support::readBytes;
using test_support::waitUntil;
using test_support::writeBytes;
using namespace std::string_literals;
using namespace std::chrono_literals;

class JsonPreferencesStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        // Others may pass, for the tests that drop root's powers.
        fs::permissions(root_.path().toStdString(), fs::perms::all & ~fs::perms::others_write);
    }

    [[nodiscard]] fs::path directory() const {
        return fs::path(root_.path().toStdString()) / "pinlet";
    }
    [[nodiscard]] fs::path path() const { return directory() / "preferences.json"; }

    // Every name in the store's directory except the file itself.
    [[nodiscard]] std::vector<std::string> namesBeside() const {
        auto names = namesIn(directory());
        std::erase(names, "preferences.json");
        return names;
    }

    // Changes with every write, which puts a new file in place; 0 while there is none.
    [[nodiscard]] ino_t fileIdentity() const {
        struct stat status {};
        return ::stat(path().c_str(), &status) == 0 ? status.st_ino : 0;
    }

private:
    QTemporaryDir root_;
};

// Equality that tells 0.0 from -0.0 and holds for NaN.
bool sameBits(const PreferenceValue& a, const PreferenceValue& b) {
    if (std::holds_alternative<double>(a) && std::holds_alternative<double>(b)) {
        return std::bit_cast<std::uint64_t>(std::get<double>(a)) ==
               std::bit_cast<std::uint64_t>(std::get<double>(b));
    }
    return a == b;
}

TEST_F(JsonPreferencesStoreTest, EveryValueComesBackWithItsTypeAndBitsFromANewStore) {
    const ValueDictionary written{
        {"plain", "note"s},
        {"empty", ""s},
        {"escapes", "quote \" backslash \\ slash / tab\t newline\n cr\r"s},
        {"controls", "\x01\x02\x1f\x7f"s},
        {"nul", "before\0after"s},
        {"unicode", "caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80"s},
        {"notUtf8", "\xFF\xFE\xC3"s},
        {"numberText", "20"s},
        {"booleanText", "true"s},
        {"key with \"quotes\" and \n", "x"s},
        {"tenth", 0.1},
        {"huge", 1e308},
        {"negativeZero", -0.0},
        {"fontSize", 20.5},
        {"integral", 13.0},
        {"smallest", 5e-324},
        {"largest", 1.7976931348623157e308},
        {"notANumber", std::nan("")},
        {"infinity", HUGE_VAL},
        {"negativeInfinity", -HUGE_VAL},
        {"yes", true},
        {"no", false},
    };
    {
        JsonPreferencesStore store(path());
        for (const auto& [key, value] : written) {
            store.set(key, value);
        }
        ASSERT_TRUE(store.flush());
    }
    const JsonPreferencesStore reloaded(path());
    const ValueDictionary read = reloaded.dictionaryRepresentation();
    ASSERT_EQ(read.size(), written.size());
    for (const auto& [key, value] : written) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(read.contains(key));
        EXPECT_EQ(read.at(key).index(), value.index());
        EXPECT_TRUE(sameBits(read.at(key), value));
    }
}

TEST_F(JsonPreferencesStoreTest, ChangesAreReadAtOnceAndRemovalsReachTheFile) {
    JsonPreferencesStore store(path());
    store.set("a", 1.0);
    store.set("a", "now a string"s);
    store.set("b", true);
    EXPECT_EQ(store.string("a"), "now a string");
    store.removeObject("b");
    EXPECT_EQ(store.object("b"), std::nullopt);
    ASSERT_TRUE(store.flush());
    const JsonPreferencesStore reloaded(path());
    EXPECT_EQ(reloaded.dictionaryRepresentation(), (ValueDictionary{{"a", "now a string"s}}));
}

TEST_F(JsonPreferencesStoreTest, ABurstOfChangesIsWrittenOnceAfterTheDelay) {
    JsonPreferencesStore store(path());
    for (int i = 1; i <= 100; ++i) {
        store.set("noteText", std::string(i, 'x'));
    }
    EXPECT_FALSE(fs::exists(path())) << "set() wrote the file";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(path()); }));
    EXPECT_FALSE(store.hasUnsavedChanges());
    const auto written = fileIdentity();
    QTest::qWait(3 * JsonPreferencesStore::defaultWriteDelay.count());
    EXPECT_EQ(fileIdentity(), written) << "written more than once";
    EXPECT_EQ(JsonPreferencesStore(path()).string("noteText"), std::string(100, 'x'));
}

TEST_F(JsonPreferencesStoreTest, ChangesThatNeverPauseAreStillWritten) {
    JsonPreferencesStore store(path());
    for (int i = 0; i < 60; ++i) {
        store.set("n", static_cast<double>(i));
        QTest::qWait(20);
    }
    // Every pause was shorter than the delay: a delay restarted by each change writes nothing.
    EXPECT_TRUE(fs::exists(path()));
}

TEST_F(JsonPreferencesStoreTest, FlushWritesAtOnceAndOnlyWhatIsUnsaved) {
    JsonPreferencesStore store(path());
    EXPECT_TRUE(store.flush());
    EXPECT_FALSE(fs::exists(path())) << "nothing to save, nothing written";
    store.set("n", 1.0);
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(JsonPreferencesStore(path()).doubleValue("n"), 1.0);
    const auto written = fileIdentity();
    EXPECT_TRUE(store.flush());
    QTest::qWait(2 * JsonPreferencesStore::defaultWriteDelay.count());
    EXPECT_EQ(fileIdentity(), written);
}

TEST_F(JsonPreferencesStoreTest, DestroyingTheStoreSavesWhatIsUnsaved) {
    JsonPreferencesStore(path(), 24h).set("isPanelVisible", true);
    EXPECT_TRUE(JsonPreferencesStore(path()).boolValue("isPanelVisible"));
}

TEST_F(JsonPreferencesStoreTest, MembersOfOtherKindsReadAsAbsentAndStayAsTheyWere) {
    const std::string foreign = R"("null": null,
  "list": [1, 2.50, {"x": "y"}, "\u00e9"],
  "object": {"nested": [ ]},
  "beyondDouble": 1e400,)";
    writeBytes(path(), "{\n  " + foreign + R"(
  "fontSize": "13",
  "removed": true
})");
    JsonPreferencesStore store(path());
    for (const char* key : {"null", "list", "object", "beyondDouble"}) {
        EXPECT_EQ(store.object(key), std::nullopt) << key;
    }
    EXPECT_EQ(store.doubleValue("fontSize"), 0.0) << "a string is no number";
    EXPECT_EQ(store.string("fontSize"), "13");
    EXPECT_EQ(store.dictionaryRepresentation(),
              (ValueDictionary{{"fontSize", "13"s}, {"removed", true}}));

    store.set("noteText", "new"s);
    store.removeObject("removed");
    ASSERT_TRUE(store.flush());
    std::string file = readBytes(path());
    for (const char* member : {R"("null": null)", R"("list": [1, 2.50, {"x": "y"}, "\u00e9"])",
                               R"("object": {"nested": [ ]})", R"("beyondDouble": 1e400)"}) {
        EXPECT_NE(file.find(member), std::string::npos) << member << " missing from\n" << file;
    }
    EXPECT_EQ(file.find("removed"), std::string::npos);

    store.set("list", 2.0);
    store.removeObject("null");
    ASSERT_TRUE(store.flush());
    file = readBytes(path());
    EXPECT_EQ(file.find("null"), std::string::npos);
    EXPECT_EQ(JsonPreferencesStore(path()).object("list"), PreferenceValue(2.0));
}

struct UnusableFile {
    const char* name;
    std::string bytes;
};

class UnusableFileTest : public JsonPreferencesStoreTest,
                         public ::testing::WithParamInterface<UnusableFile> {};

TEST_P(UnusableFileTest, IsMovedAsideWithOneLineAndTheStoreStartsEmpty) {
    const std::string original = GetParam().bytes;
    writeBytes(path(), original);
    testing::internal::CaptureStderr();
    JsonPreferencesStore store(path());
    const std::string printed = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(store.dictionaryRepresentation().empty());
    EXPECT_FALSE(fs::exists(path()));
    const auto beside = namesBeside();
    ASSERT_EQ(beside.size(), 1U);
    const fs::path aside = directory() / beside.front();
    EXPECT_TRUE(beside.front().starts_with("preferences.json.corrupt-")) << beside.front();
    EXPECT_EQ(readBytes(aside), original);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find(path().string() + " "), std::string::npos) << printed;
    EXPECT_NE(printed.find(aside.string()), std::string::npos) << printed;

    store.set("fontSize", 14.0);
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(JsonPreferencesStore(path()).dictionaryRepresentation(),
              (ValueDictionary{{"fontSize", 14.0}}));
    EXPECT_EQ(readBytes(aside), original);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, UnusableFileTest,
    ::testing::Values(UnusableFile{"Garbage", "\x89PNG\r\n\x1A\n\0\xFF"s},
                      UnusableFile{"Empty", ""}, UnusableFile{"Blank", " \n\t"},
                      UnusableFile{"Array", R"(["noteText"])"},
                      UnusableFile{"String", R"("noteText")"},
                      UnusableFile{"Truncated", R"({"noteText": "half a no)"},
                      UnusableFile{"TrailingComma", R"({"fontSize": 13,})"},
                      UnusableFile{"TrailingText", R"({"fontSize": 13} {})"},
                      UnusableFile{"RawNewlineInString", "{\"noteText\": \"a\nb\"}"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JsonPreferencesStoreTest, AFileMovedAsideTwiceInOneSecondKeepsBothCopies) {
    writeBytes(path(), "first");
    testing::internal::CaptureStderr();
    { const JsonPreferencesStore store(path()); }
    writeBytes(path(), "second");
    { const JsonPreferencesStore store(path()); }
    testing::internal::GetCapturedStderr();
    const auto beside = namesBeside();
    ASSERT_EQ(beside.size(), 2U);
    std::vector<std::string> contents{readBytes(directory() / beside[0]),
                                      readBytes(directory() / beside[1])};
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"first", "second"}));
}

TEST_F(JsonPreferencesStoreTest, AFileThatCannotBeReadIsMovedAside) {
    fs::create_directories(path());
    testing::internal::CaptureStderr();
    const JsonPreferencesStore store(path());
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("Is a directory"), std::string::npos) << printed;
    EXPECT_FALSE(fs::exists(path()));
    EXPECT_EQ(namesBeside().size(), 1U);
}

TEST_F(JsonPreferencesStoreTest, AnUnusableFileThatCannotBeMovedIsNeverWrittenOver) {
    writeBytes(path(), "not json");
    testing::internal::CaptureStderr();
    std::optional<JsonPreferencesStore> store;
    {
        const test_support::WriteProtectedDirectory readOnly(directory());
        store.emplace(path());
    }
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find("could not be moved"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Permission denied"), std::string::npos) << printed;

    store->set("fontSize", 14.0);
    EXPECT_EQ(store->doubleValue("fontSize"), 14.0);
    EXPECT_FALSE(store->flush());
    store.reset();
    EXPECT_EQ(readBytes(path()), "not json");
    EXPECT_TRUE(namesBeside().empty());
}

TEST_F(JsonPreferencesStoreTest, AFailedWriteIsReportedOnceKeptAndRetriedAtTheNextChange) {
    JsonPreferencesStore store(path());
    store.set("a", 1.0);
    ASSERT_TRUE(store.flush());
    std::string printed;
    {
        const test_support::WriteProtectedDirectory readOnly(directory());
        testing::internal::CaptureStderr();
        store.set("b", 2.0);
        EXPECT_FALSE(store.flush());
        store.set("c", 3.0);
        EXPECT_FALSE(store.flush());
        printed = testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find(path().string()), std::string::npos) << printed;
    EXPECT_NE(printed.find("Permission denied"), std::string::npos) << printed;
    EXPECT_TRUE(store.hasUnsavedChanges());
    EXPECT_EQ(store.doubleValue("b"), 2.0);

    store.set("d", 4.0);
    ASSERT_TRUE(waitUntil([&] { return !store.hasUnsavedChanges(); }));
    EXPECT_EQ(JsonPreferencesStore(path()).dictionaryRepresentation().size(), 4U);
}

TEST_F(JsonPreferencesStoreTest, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    JsonPreferencesStore store(path());
    store.set("noteText", "old"s);
    ASSERT_TRUE(store.flush());
    const std::string before = readBytes(path());

    rlimit original{};
    ::getrlimit(RLIMIT_FSIZE, &original);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    testing::internal::CaptureStderr();
    store.set("noteText", std::string(1 << 16, 'n'));
    const bool flushed = store.flush();
    const std::string printed = testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(flushed);
    EXPECT_NE(printed.find("File too large"), std::string::npos) << printed;
    EXPECT_EQ(readBytes(path()), before);
    EXPECT_TRUE(namesBeside().empty()) << "the temporary file was left behind";
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(JsonPreferencesStore(path()).string("noteText"), std::string(1 << 16, 'n'));
}

TEST(DefaultPath, FollowsXdgConfigHomeOrFallsBackToDotConfig) {
    const QByteArray home = qgetenv("HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", "/home/someone");
    qputenv("XDG_CONFIG_HOME", "/xdg/config");
    EXPECT_EQ(JsonPreferencesStore::defaultPath(), "/xdg/config/pinlet/preferences.json");
    for (const char* unusable : {"", "relative/config"}) {
        qputenv("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(JsonPreferencesStore::defaultPath(),
                  "/home/someone/.config/pinlet/preferences.json");
    }
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(JsonPreferencesStore::defaultPath(), "/home/someone/.config/pinlet/preferences.json");
    qputenv("HOME", home);
    if (!configHome.isNull()) {
        qputenv("XDG_CONFIG_HOME", configHome);
    }
}

} // namespace
