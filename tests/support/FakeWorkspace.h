#pragma once

#include "platform/Workspace.h"

#include <set>
#include <vector>

namespace test_support {

// A desktop whose front application the test sets, recording what Pinlet asks of it.
class FakeWorkspace final : public platform::Workspace {
public:
    static constexpr std::int64_t ownProcessId = 4242;

    [[nodiscard]] std::optional<platform::RunningApplication> frontmostApplication() override {
        return frontmost;
    }
    [[nodiscard]] bool isCurrentApplication(const platform::RunningApplication& app) override {
        return app.processId == ownProcessId;
    }
    [[nodiscard]] bool isTerminated(const platform::RunningApplication& app) override {
        return terminated_.contains(app.window);
    }
    void activate(const platform::RunningApplication& app) override {
        activations.push_back(app);
        frontmost = app;
    }
    // The application test reads the panel's desktops and sees activations from the window manager.
    void observeActivations(std::function<void()> /*onActivation*/) override {}
    void keepOnAllDesktops(platform::WindowId /*window*/) override {}
    void makeKeyWindow(platform::WindowId window) override { keyWindows.push_back(window); }
    // A tray that asks no colour.
    void
    observeTrayForeground(std::function<void(std::optional<platform::Rgb>)> onChange) override {
        if (onChange) {
            onChange(std::nullopt);
        }
    }

    void terminate(const platform::RunningApplication& app) { terminated_.insert(app.window); }

    std::optional<platform::RunningApplication> frontmost;
    std::vector<platform::RunningApplication> activations;
    std::vector<platform::WindowId> keyWindows;

private:
    std::set<platform::WindowId> terminated_;
};

} // namespace test_support
