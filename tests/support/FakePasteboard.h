#pragma once

#include "platform/Pasteboard.h"

#include <optional>

namespace test_support {

class FakePasteboard final : public platform::Pasteboard {
public:
    void setString(const std::string& utf8) override { contents = utf8; }

    std::optional<std::string> contents;
};

} // namespace test_support
