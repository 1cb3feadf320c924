#pragma once

#include "platform/HotKeyService.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace test_support {

// A hot-key service that holds its registrations in memory. Tests make chosen combinations fail
// to register, deliver presses, releases and raw keys to the installed handler (only of the kinds
// added to it, as the real service does) and look at what is registered.
class FakeHotKeyService final : public platform::HotKeyService {
public:
    struct HotKey {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        platform::HotKeyId id;
        platform::HotKeyRef reference;
    };

    Registration registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                platform::HotKeyId id) override;
    void unregisterHotKey(std::optional<platform::HotKeyRef> reference) override;
    std::optional<platform::HotKeyRef> installEventHandler(Handler handler) override;
    void addEventTypes(platform::HotKeyRef handler,
                       std::span<const platform::EventTypeSpec> types) override;
    void removeEventTypes(platform::HotKeyRef handler,
                          std::span<const platform::EventTypeSpec> types) override;

    // Registering a combination that is already registered answers hotKeyExists, as a
    // combination held elsewhere does. From now on, registering this combination answers the
    // status and registers nothing; with noError it answers success without a reference.
    void failRegistration(std::uint32_t keyCode, std::uint32_t modifiers, std::int32_t status);
    void clearRegistrationFailures() { failures_.clear(); }
    // From now on, installing the handler answers none.
    void failHandlerInstallation(bool fail) { failHandlerInstallation_ = fail; }

    // Delivers the event to the handler if one is installed and the event's kind is added to it.
    // Answers the handler's status, or none when nothing was delivered. Events without a
    // timestamp get one later than every earlier event's.
    std::optional<std::int32_t> deliver(platform::KeyboardEvent event);
    // A press or release of a registered combination, carrying its id; none for a combination
    // that is not registered or not delivered.
    std::optional<std::int32_t> press(std::uint32_t keyCode, std::uint32_t modifiers);
    std::optional<std::int32_t> release(std::uint32_t keyCode, std::uint32_t modifiers);
    // A raw key down or up, as seen while a menu holds the keyboard.
    std::optional<std::int32_t> rawKeyDown(std::uint32_t keyCode, std::uint32_t modifiers);
    std::optional<std::int32_t> rawKeyUp(std::uint32_t keyCode, std::uint32_t modifiers);

    [[nodiscard]] const std::vector<HotKey>& registered() const { return registered_; }
    [[nodiscard]] bool isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const;
    [[nodiscard]] std::optional<platform::HotKeyId> idOf(std::uint32_t keyCode,
                                                         std::uint32_t modifiers) const;
    [[nodiscard]] bool isHandlerInstalled() const { return handlerReference_.has_value(); }
    [[nodiscard]] bool hasEventType(std::uint32_t kind) const;
    [[nodiscard]] int handlerInstallations() const { return handlerInstallations_; }
    // Every call of registerHotKey, successful or not, in order.
    [[nodiscard]] const std::vector<platform::HotKeyId>& registrationAttempts() const {
        return registrationAttempts_;
    }

private:
    using Combination = std::pair<std::uint32_t, std::uint32_t>;

    [[nodiscard]] const HotKey* find(std::uint32_t keyCode, std::uint32_t modifiers) const;
    std::optional<std::int32_t> deliverHotKey(std::uint32_t kind, std::uint32_t keyCode,
                                              std::uint32_t modifiers);
    [[nodiscard]] bool isHandler(platform::HotKeyRef reference) const;

    std::vector<HotKey> registered_;
    std::map<Combination, std::int32_t> failures_;
    std::vector<platform::HotKeyId> registrationAttempts_;
    Handler handler_;
    std::optional<platform::HotKeyRef> handlerReference_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> eventTypes_; // class, kind
    bool failHandlerInstallation_ = false;
    int handlerInstallations_ = 0;
    platform::HotKeyRef nextReference_ = 1;
    std::uint32_t lastTimestamp_ = 0;
};

} // namespace test_support
