#include "Pinlet/NoteStore.h"

#include "tests/support/FakePreferencesStore.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using pinlet::NoteStore;
using test_support::FakePreferencesStore;

// Loading writes nothing: a clamped font size stays stored until it changes, and a leading U+FEFF
// stays in the text.
TEST(NoteStore, AStoredFontSizeIsClampedOrReplacedAndLoadingWritesNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<platform::PreferenceValue, double> cases[] = {
        {0.0, 13},   {-4.0, 13},   {"20", 13}, {true, 13}, {5.0, 9},
        {100.0, 36}, {20.5, 20.5}, {9.0, 9},   {36.0, 36}, {nan, 13}};
    for (const auto& [stored, expected] : cases) {
        FakePreferencesStore preferences;
        preferences.set("fontSize", stored);
        EXPECT_EQ(NoteStore(preferences).fontSize(), expected);
    }
    FakePreferencesStore preferences;
    preferences.set("fontSize", 100.0);
    preferences.set("noteText", std::string("\ufeffh\u00e9llo\nworld"));
    NoteStore store(preferences);
    EXPECT_EQ(store.text(), QStringLiteral("\ufeffh\u00e9llo\nworld"));
    EXPECT_EQ(preferences.writes.size(), 2U); // the test's own
    store.setFontSize(store.fontSize());
    EXPECT_EQ(preferences.doubleValue("fontSize"), 36);
}

TEST(NoteStore, WritesEveryAssignmentButAnnouncesOnlyRealChanges) {
    FakePreferencesStore preferences;
    NoteStore store(preferences);
    QSignalSpy text(&store, &NoteStore::textChanged);
    QSignalSpy font(&store, &NoteStore::fontSizeChanged);
    QSignalSpy visible(&store, &NoteStore::panelVisibleChanged);

    store.setText(QString());
    store.setFontSize(13);
    store.setPanelVisible(false);
    EXPECT_EQ(text.count() + font.count() + visible.count(), 0);
    EXPECT_EQ(preferences.object("isPanelVisible"), platform::PreferenceValue(false));

    store.setText(QStringLiteral("caf\u00e9"));
    store.setFontSize(13.5);
    store.setPanelVisible(true);
    EXPECT_EQ(text.count() + font.count() + visible.count(), 3);

    // A canonically equivalent text is kept exactly as assigned, without an announcement.
    store.setText(QStringLiteral("cafe\u0301"));
    EXPECT_EQ(text.count(), 1);
    EXPECT_EQ(store.text(), QStringLiteral("cafe\u0301"));
    EXPECT_EQ(preferences.string("noteText"), "cafe\u0301");
}

} // namespace
