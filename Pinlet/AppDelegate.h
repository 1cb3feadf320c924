#pragma once

#include "Pinlet/NoteStore.h"
#include "Pinlet/PanelController.h"

#include <memory>

namespace platform {
struct Services;
}

namespace pinlet {

// Owns the note model and the panel controller for the life of the process.
class AppDelegate {
public:
    explicit AppDelegate(const platform::Services& services);

    // Shows the panel when it was shown at the end of the previous run, and lets the toggle
    // shortcut show and hide it from then on.
    void applicationDidFinishLaunching();

    [[nodiscard]] NoteStore& store() { return store_; }
    [[nodiscard]] PanelController& panel() { return panel_; }

private:
    NoteStore store_;
    PanelController panel_;
    // Lets callbacks hold the delegate weakly; it owns nothing.
    const std::shared_ptr<AppDelegate> weakAnchor_{this, [](AppDelegate* /*unused*/) {}};
};

} // namespace pinlet
