#include "Pinlet/NoteStore.h"

#include "tests/support/FakePreferencesStore.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using pinlet::NoteStore;
using test_support::FakePreferencesStore;

TEST(NoteStoreLoading, EmptyPreferencesGiveTheDefaults) {
    FakePreferencesStore preferences;
    const NoteStore store(preferences);
    EXPECT_EQ(store.text(), QString());
    EXPECT_EQ(store.fontSize(), 13);
    EXPECT_FALSE(store.isPanelVisible());
    EXPECT_TRUE(preferences.writes.empty());
}

TEST(NoteStoreLoading, FontSizeIsClampedOrReplacedByTheDefault) {
    const std::vector<std::pair<platform::PreferenceValue, double>> cases = {
        {0.0, 13},
        {-4.0, 13},
        {std::string("20"), 13},
        {true, 13},
        {5.0, 9},
        {100.0, 36},
        {20.5, 20.5},
        {9.0, 9},
        {36.0, 36},
        {std::numeric_limits<double>::quiet_NaN(), 13},
    };
    for (const auto& [stored, expected] : cases) {
        FakePreferencesStore preferences;
        preferences.set("fontSize", stored);
        EXPECT_EQ(NoteStore(preferences).fontSize(), expected);
    }
}

TEST(NoteStoreLoading, AnOutOfRangeSizeStaysStoredUntilTheNextChange) {
    FakePreferencesStore preferences;
    preferences.set("fontSize", 100.0);
    NoteStore store(preferences);
    EXPECT_EQ(preferences.doubleValue("fontSize"), 100);
    store.setFontSize(store.fontSize());
    EXPECT_EQ(preferences.doubleValue("fontSize"), 36);
}

TEST(NoteStoreLoading, ReadsTheNoteAndVisibility) {
    FakePreferencesStore preferences;
    preferences.set("noteText", std::string("h\u00e9llo\nworld"));
    preferences.set("isPanelVisible", true);
    const NoteStore store(preferences);
    EXPECT_EQ(store.text(), QStringLiteral("h\u00e9llo\nworld"));
    EXPECT_TRUE(store.isPanelVisible());
}

TEST(NoteStoreAssignment, EveryAssignmentIsWrittenWithItsType) {
    FakePreferencesStore preferences;
    NoteStore store(preferences);
    store.setText(QStringLiteral("a"));
    store.setText(QStringLiteral("a"));
    store.setFontSize(14);
    store.setPanelVisible(true);
    ASSERT_EQ(preferences.writes.size(), 4U);
    EXPECT_EQ(preferences.writes[1],
              (std::pair<std::string, platform::PreferenceValue>("noteText", std::string("a"))));
    EXPECT_EQ(preferences.writes[2].second, platform::PreferenceValue(14.0));
    EXPECT_EQ(preferences.writes[3].second, platform::PreferenceValue(true));
}

TEST(NoteStoreAssignment, ObserversHearOnlyRealChanges) {
    FakePreferencesStore preferences;
    NoteStore store(preferences);
    QSignalSpy text(&store, &NoteStore::textChanged);
    QSignalSpy font(&store, &NoteStore::fontSizeChanged);
    QSignalSpy visible(&store, &NoteStore::panelVisibleChanged);

    store.setText(QString());
    store.setFontSize(13);
    store.setPanelVisible(false);
    EXPECT_EQ(text.count() + font.count() + visible.count(), 0);

    store.setText(QStringLiteral("x"));
    store.setFontSize(13.5);
    store.setPanelVisible(true);
    EXPECT_EQ(text.count(), 1);
    EXPECT_EQ(font.count(), 1);
    EXPECT_EQ(visible.count(), 1);
}

TEST(NoteStoreAssignment, CanonicallyEquivalentTextIsKeptButNotAnnounced) {
    FakePreferencesStore preferences;
    NoteStore store(preferences);
    store.setText(QStringLiteral("caf\u00e9"));
    QSignalSpy text(&store, &NoteStore::textChanged);
    store.setText(QStringLiteral("cafe\u0301"));
    EXPECT_EQ(text.count(), 0);
    // The store holds exactly what was assigned last.
    EXPECT_EQ(store.text(), QStringLiteral("cafe\u0301"));
    EXPECT_EQ(preferences.string("noteText"), "cafe\u0301");
}

} // namespace
