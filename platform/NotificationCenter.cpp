#include "platform/NotificationCenter.h"

#include <algorithm>

namespace platform {

void NotificationCenter::post(const std::string& name, ValueDictionary userInfo,
                              const void* sender) {
    const Notification notification{name, sender, std::move(userInfo)};
    // Observers may add or remove observers while they run: walk a snapshot and skip the
    // ones removed meanwhile.
    const auto snapshot = observers_;
    for (const auto& observer : snapshot) {
        const bool matches =
            observer.name == name && (observer.sender == nullptr || observer.sender == sender);
        if (matches && isRegistered(observer.token)) {
            observer.block(notification);
        }
    }
}

NotificationCenter::Token NotificationCenter::addObserver(std::string name, Block block,
                                                          const void* sender) {
    const Token token = nextToken_++;
    observers_.push_back({token, std::move(name), sender, std::move(block)});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::erase_if(observers_, [token](const Observer& o) { return o.token == token; });
}

bool NotificationCenter::isRegistered(Token token) const {
    return std::ranges::any_of(observers_, [token](const Observer& o) { return o.token == token; });
}

} // namespace platform
