#pragma once

#include "platform/Workspace.h"

#include <set>
#include <vector>

namespace test_support {

class FakeWorkspace final : public platform::Workspace {
public:
    static constexpr std::int64_t ownProcessId = 4242;

    [[nodiscard]] std::optional<platform::RunningApplication> frontmostApplication() override;
    [[nodiscard]] bool isCurrentApplication(const platform::RunningApplication& app) override;
    [[nodiscard]] bool isTerminated(const platform::RunningApplication& app) override;
    void activate(const platform::RunningApplication& app) override;
    void keepOnAllDesktops(platform::WindowId window) override;
    void makeKeyWindow(platform::WindowId window) override;

    void terminate(const platform::RunningApplication& app) { terminated_.insert(app.window); }

    std::optional<platform::RunningApplication> frontmost;
    std::vector<platform::RunningApplication> activations;
    std::vector<platform::WindowId> keyWindows;
    std::vector<platform::WindowId> windowsOnAllDesktops;

private:
    std::set<platform::WindowId> terminated_;
};

} // namespace test_support
