#pragma once

#include "KeyboardShortcuts/Presentation.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <memory>
#include <string>

namespace test_support {

// A real layout, built offline by xkbcommon from xkeyboard-config names such as "fr" or
// "ru,us" (variants likewise, e.g. "dvorak").
inline std::unique_ptr<platform::linux_desktop::XkbKeyboardLayout>
namedKeyboardLayout(const std::string& layouts, const std::string& variants = {},
                    std::uint32_t currentGroup = 0) {
    using platform::linux_desktop::XkbKeymap;
    return std::make_unique<platform::linux_desktop::XkbKeyboardLayout>(
        XkbKeymap::fromNames(layouts, variants).value(), currentGroup);
}

// Shows keys through a layout built from names while it exists.
class InstalledKeyboardLayout {
public:
    explicit InstalledKeyboardLayout(const std::string& layouts, const std::string& variants = {},
                                     std::uint32_t currentGroup = 0)
        : layout_(namedKeyboardLayout(layouts, variants, currentGroup)) {
        KeyboardShortcuts::installKeyboardLayout(layout_.get());
    }
    InstalledKeyboardLayout(const InstalledKeyboardLayout&) = delete;
    InstalledKeyboardLayout& operator=(const InstalledKeyboardLayout&) = delete;
    ~InstalledKeyboardLayout() { KeyboardShortcuts::installKeyboardLayout(nullptr); }

    [[nodiscard]] platform::linux_desktop::XkbKeyboardLayout& layout() { return *layout_; }

private:
    std::unique_ptr<platform::linux_desktop::XkbKeyboardLayout> layout_;
};

} // namespace test_support
