#include "tests/support/FakeHotKeyService.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace platform;

constexpr std::uint32_t keyN = 45;
constexpr std::uint32_t controlOption = 4096 | 2048;
constexpr HotKeyId idOne{0x5150484B, 1};
constexpr std::array hotKeyTypes{
    EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyPressed},
    EventTypeSpec{keyboardEventClass, KeyboardEventKind::hotKeyReleased}};

struct FakeHotKeyServiceTest : testing::Test {
    test_support::FakeHotKeyService service;
    std::vector<KeyboardEvent> seen;

    HotKeyRef installRecordingHandler() {
        return *service.installEventHandler([this](const KeyboardEvent& event) {
            seen.push_back(event);
            return HotKeyStatus::noError;
        });
    }
};

TEST_F(FakeHotKeyServiceTest, RegistersOnceAndFailsWhereTold) {
    const auto first = service.registerHotKey(keyN, controlOption, idOne);
    EXPECT_EQ(first.status, HotKeyStatus::noError);
    ASSERT_TRUE(first.reference);
    EXPECT_EQ(service.registerHotKey(keyN, controlOption, {0x5150484B, 2}).status,
              HotKeyStatus::hotKeyExists);

    service.failRegistration(keyN, 4096, HotKeyStatus::hotKeyInvalid);
    const auto failed = service.registerHotKey(keyN, 4096, {0x5150484B, 3});
    EXPECT_EQ(failed.status, HotKeyStatus::hotKeyInvalid);
    EXPECT_FALSE(failed.reference);
    service.failRegistration(keyN, 256, HotKeyStatus::noError);
    const auto withoutReference = service.registerHotKey(keyN, 256, {0x5150484B, 4});
    EXPECT_EQ(withoutReference.status, HotKeyStatus::noError);
    EXPECT_FALSE(withoutReference.reference);

    EXPECT_EQ(service.registered().size(), 1U);
    EXPECT_EQ(service.registrationAttempts().size(), 4U);
    service.unregisterHotKey(std::nullopt);
    service.unregisterHotKey(first.reference);
    EXPECT_FALSE(service.isRegistered(keyN, controlOption));
}

TEST_F(FakeHotKeyServiceTest, DeliversOnlyTheAddedKindsOfRegisteredCombinations) {
    ASSERT_TRUE(service.registerHotKey(keyN, controlOption, idOne).reference);
    const HotKeyRef handler = installRecordingHandler();
    EXPECT_FALSE(service.press(keyN, controlOption));

    service.addEventTypes(handler, hotKeyTypes);
    EXPECT_EQ(service.press(keyN, controlOption), HotKeyStatus::noError);
    EXPECT_FALSE(service.press(keyN, 4096));
    EXPECT_FALSE(service.rawKeyDown(keyN, controlOption));
    EXPECT_EQ(service.release(keyN, controlOption), HotKeyStatus::noError);
    service.removeEventTypes(handler, std::span(hotKeyTypes).first(1));
    EXPECT_FALSE(service.press(keyN, controlOption));

    ASSERT_EQ(seen.size(), 2U);
    EXPECT_EQ(seen[0].kind, KeyboardEventKind::hotKeyPressed);
    EXPECT_EQ(seen[0].hotKeyId, idOne);
    EXPECT_EQ(seen[1].kind, KeyboardEventKind::hotKeyReleased);
    EXPECT_LT(seen[0].timestamp, seen[1].timestamp);
}

TEST_F(FakeHotKeyServiceTest, IgnoresTypesForAnotherHandlerAndCanRefuseInstallation) {
    service.failHandlerInstallation(true);
    EXPECT_FALSE(service.installEventHandler([](const KeyboardEvent&) { return 0; }));
    service.failHandlerInstallation(false);
    const HotKeyRef handler = installRecordingHandler();
    service.addEventTypes(handler + 1, hotKeyTypes);
    EXPECT_FALSE(service.hasEventType(KeyboardEventKind::hotKeyPressed));
    EXPECT_EQ(service.handlerInstallations(), 1);
}

} // namespace
