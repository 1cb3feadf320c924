#include "tests/support/FakeLoginItems.h"

namespace test_support {

std::optional<std::string> FakeLoginItems::registerApplication() {
    return change(Status::enabled);
}

std::optional<std::string> FakeLoginItems::unregisterApplication() {
    return change(Status::notRegistered);
}

std::optional<std::string> FakeLoginItems::change(Status wanted) {
    if (failure) {
        return std::exchange(failure, std::nullopt);
    }
    currentStatus = wanted;
    return std::nullopt;
}

} // namespace test_support
