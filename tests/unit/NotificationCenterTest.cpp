#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

namespace {

using platform::Notification;
using platform::NotificationCenter;

TEST(NotificationCenter, DeliversSynchronouslyToObserversOfTheNameAndSender) {
    NotificationCenter center;
    const int sender = 0;
    const int otherSender = 0;
    std::vector<std::string> seen;
    center.addObserver("a", [&](const Notification& n) { seen.push_back("any:" + n.name); });
    center.addObserver("a", [&](const Notification&) { seen.emplace_back("sender"); }, &sender);
    center.addObserver("b", [&](const Notification&) { seen.emplace_back("b"); });

    center.post("a", {{"isActive", true}}, &otherSender);
    EXPECT_EQ(seen, (std::vector<std::string>{"any:a"}));
    center.post("a", {}, &sender);
    EXPECT_EQ(seen, (std::vector<std::string>{"any:a", "any:a", "sender"}));
}

TEST(NotificationCenter, CarriesTypedUserInfo) {
    NotificationCenter center;
    platform::ValueDictionary received;
    center.addObserver("n", [&](const Notification& n) { received = n.userInfo; });
    center.post("n", {{"name", std::string("togglePanel")}, {"isActive", false}});
    EXPECT_EQ(std::get<std::string>(received.at("name")), "togglePanel");
    EXPECT_FALSE(std::get<bool>(received.at("isActive")));
}

TEST(NotificationCenter, ObserverRemovedDuringAPostIsNotCalledAgain) {
    NotificationCenter center;
    int secondCalls = 0;
    NotificationCenter::Token second = 0;
    center.addObserver("n", [&](const Notification&) { center.removeObserver(second); });
    second = center.addObserver("n", [&](const Notification&) { ++secondCalls; });
    center.post("n");
    center.post("n");
    EXPECT_EQ(secondCalls, 0);
}

TEST(NotificationCenter, ObserverAddedDuringAPostSeesOnlyLaterPosts) {
    NotificationCenter center;
    int lateCalls = 0;
    center.addObserver("n", [&](const Notification&) {
        center.addObserver("n", [&](const Notification&) { ++lateCalls; });
    });
    center.post("n");
    EXPECT_EQ(lateCalls, 0);
    center.post("n");
    EXPECT_EQ(lateCalls, 1);
}

} // namespace
