#pragma once

#include "platform/PreferenceValue.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

struct Notification {
    std::string name;
    const void* sender = nullptr;
    ValueDictionary userInfo;

    // The user-info entry under the key when it holds a value of this type; none otherwise.
    template <typename Value> [[nodiscard]] const Value* userInfoValue(std::string_view key) const {
        const auto entry = userInfo.find(key);
        return entry == userInfo.end() ? nullptr : std::get_if<Value>(&entry->second);
    }
};

// Synchronous publish-subscribe: a post runs every matching observer on the posting thread
// before it returns. Main thread only.
class NotificationCenter {
public:
    using Block = std::function<void(const Notification&)>;
    using Token = std::uint64_t;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    void post(const std::string& name, ValueDictionary userInfo = {}, const void* sender = nullptr);
    // With a sender, the block only sees that sender's posts.
    Token addObserver(std::string name, Block block, const void* sender = nullptr);
    void removeObserver(Token token);

private:
    struct Observer {
        Token token;
        std::string name;
        const void* sender;
        Block block;
    };

    [[nodiscard]] bool isRegistered(Token token) const;

    std::vector<Observer> observers_;
    Token nextToken_ = 1;
};

} // namespace platform
