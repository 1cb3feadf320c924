#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

namespace {

using platform::Notification;
using platform::NotificationCenter;

TEST(NotificationCenter, ObserversChangedDuringAPostTakeEffectFromTheNextOne) {
    NotificationCenter center;
    int removedCalls = 0;
    int addedCalls = 0;
    NotificationCenter::Token removed = 0;
    center.addObserver("n", [&](const Notification&) {
        center.removeObserver(removed);
        center.addObserver("n", [&](const Notification&) { ++addedCalls; });
    });
    removed = center.addObserver("n", [&](const Notification&) { ++removedCalls; });
    center.post("n");
    EXPECT_EQ(removedCalls + addedCalls, 0);
    center.post("n");
    EXPECT_EQ(removedCalls, 0);
    EXPECT_EQ(addedCalls, 1);
}

} // namespace
