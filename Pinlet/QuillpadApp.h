#pragma once

#include "Pinlet/AppDelegate.h"
#include "Pinlet/MenuBarExtra.h"

#include <QMenu>
#include <memory>

namespace pinlet {

// The application: its commands, its delegate, then the tray scene, then the launch-finished step.
class QuillpadApp {
public:
    explicit QuillpadApp(const platform::Services& services);

    [[nodiscard]] AppDelegate& appDelegate() { return appDelegate_; }
    [[nodiscard]] MenuBarExtra& scene() { return scene_; }

private:
    // Handed to the shortcut library before any recorder can check against it.
    std::unique_ptr<QMenu> mainMenu_;
    AppDelegate appDelegate_;
    MenuBarExtra scene_;
};

} // namespace pinlet
