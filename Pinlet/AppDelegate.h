#pragma once

#include "Pinlet/NoteStore.h"
#include "Pinlet/PanelController.h"

namespace platform {
struct Services;
}

namespace pinlet {

// Owns the note model and the panel controller for the life of the process.
class AppDelegate {
public:
    explicit AppDelegate(const platform::Services& services);

    // Builds the panel, and shows it when it was shown at the end of the previous run.
    void applicationDidFinishLaunching();

    [[nodiscard]] NoteStore& store() { return store_; }
    [[nodiscard]] PanelController& panel() { return panel_; }

private:
    NoteStore store_;
    PanelController panel_;
};

} // namespace pinlet
