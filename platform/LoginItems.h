#pragma once

#include <optional>
#include <string>

namespace platform {

// Whether this application starts when the user logs in.
class LoginItems {
public:
    enum class Status { notRegistered, enabled };

    LoginItems() = default;
    LoginItems(const LoginItems&) = delete;
    LoginItems& operator=(const LoginItems&) = delete;
    virtual ~LoginItems() = default;

    // Each answers the error text, or none on success.
    virtual std::optional<std::string> registerApplication() = 0;
    virtual std::optional<std::string> unregisterApplication() = 0;
    [[nodiscard]] virtual Status status() = 0;
};

} // namespace platform
