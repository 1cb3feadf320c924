#pragma once

#include "platform/Pasteboard.h"

namespace platform::linux_desktop {

// The CLIPBOARD selection.
class QtPasteboard final : public Pasteboard {
public:
    void setString(const std::string& utf8) override;
};

} // namespace platform::linux_desktop
