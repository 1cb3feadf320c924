#pragma once

#include "KeyboardShortcuts/internal/InstalledServices.h"
#include "platform/NotificationCenter.h"

#include <string_view>

namespace KeyboardShortcuts::internal {

// An observer of the installed notification centre for as long as this object lives.
class NotificationSubscription {
public:
    NotificationSubscription(std::string_view name, platform::NotificationCenter::Block block)
        : token_(
              installedServices().notifications.addObserver(std::string(name), std::move(block))) {}
    NotificationSubscription(const NotificationSubscription&) = delete;
    NotificationSubscription& operator=(const NotificationSubscription&) = delete;
    ~NotificationSubscription() { installedServices().notifications.removeObserver(token_); }

private:
    platform::NotificationCenter::Token token_;
};

} // namespace KeyboardShortcuts::internal
