#pragma once

#include "platform/LoginItems.h"

#include <utility>

namespace test_support {

class FakeLoginItems final : public platform::LoginItems {
public:
    std::optional<std::string> registerApplication() override;
    std::optional<std::string> unregisterApplication() override;
    [[nodiscard]] Status status() override { return currentStatus; }

    Status currentStatus = Status::notRegistered;
    // When set, the next change fails with this text and leaves the status alone.
    std::optional<std::string> failure;

private:
    std::optional<std::string> change(Status wanted);
};

} // namespace test_support
