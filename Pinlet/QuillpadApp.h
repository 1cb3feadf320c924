#pragma once

#include "Pinlet/AppDelegate.h"
#include "Pinlet/MenuBarExtra.h"

namespace pinlet {

// The application: its delegate first, then the tray scene, then the launch-finished step.
class QuillpadApp {
public:
    explicit QuillpadApp(const platform::Services& services);

    [[nodiscard]] AppDelegate& appDelegate() { return appDelegate_; }
    [[nodiscard]] MenuBarExtra& scene() { return scene_; }

private:
    AppDelegate appDelegate_;
    MenuBarExtra scene_;
};

} // namespace pinlet
