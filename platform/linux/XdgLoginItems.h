#pragma once

#include "platform/LoginItems.h"

#include <string>

namespace platform::linux_desktop {

// The XDG autostart entry `<autostart dir>/<program>.desktop`, which desktops start at login,
// named after the program's file and, inside, after the application.
class XdgLoginItems final : public LoginItems {
public:
    // `$XDG_CONFIG_HOME/autostart`, or `~/.config/autostart`.
    static std::string defaultAutostartDirectory();

    XdgLoginItems(std::string autostartDirectory, std::string executablePath);

    std::optional<std::string> registerApplication() override;
    std::optional<std::string> unregisterApplication() override;
    [[nodiscard]] Status status() override;

    [[nodiscard]] const std::string& entryPath() const { return entryPath_; }

private:
    std::string autostartDirectory_;
    std::string entryPath_;
    std::string executablePath_;
};

// The Exec value that runs a program at this path with no arguments, quoted and escaped
// as desktop entries require.
std::string desktopEntryExec(const std::string& executablePath);

} // namespace platform::linux_desktop
