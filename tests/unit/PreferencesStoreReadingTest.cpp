#include "tests/support/FakePreferencesStore.h"

#include <gtest/gtest.h>

namespace {

TEST(PreferencesStoreReading, StringReadsNumbersAndBooleansAsDecimalText) {
    test_support::FakePreferencesStore store;
    store.set("s", std::string("text"));
    store.set("d", 20.5);
    store.set("whole", 13.0);
    store.set("yes", true);
    store.set("no", false);
    EXPECT_EQ(store.string("s"), "text");
    EXPECT_EQ(store.string("d"), "20.5");
    EXPECT_EQ(store.string("whole"), "13");
    EXPECT_EQ(store.string("yes"), "1");
    EXPECT_EQ(store.string("no"), "0");
    EXPECT_EQ(store.string("absent"), std::nullopt);
}

TEST(PreferencesStoreReading, NumbersAndBooleansOfAnotherTypeReadAsAbsent) {
    test_support::FakePreferencesStore store;
    store.set("s", std::string("20"));
    store.set("b", true);
    store.set("d", 1.0);
    EXPECT_EQ(store.doubleValue("s"), 0.0);
    EXPECT_EQ(store.doubleValue("b"), 0.0);
    EXPECT_FALSE(store.boolValue("d"));
    EXPECT_FALSE(store.boolValue("s"));
    EXPECT_EQ(store.doubleValue("absent"), 0.0);
    EXPECT_FALSE(store.boolValue("absent"));
    EXPECT_TRUE(store.boolValue("b"));
}

} // namespace
