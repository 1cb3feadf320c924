#pragma once

#include "Pinlet/CommandLine.h"

#include <filesystem>
#include <optional>

namespace pinlet {

// What the command line and the lock hand to the application. The application lives in a module
// of its own, which `pinlet` loads only to run it: a request handed to the running instance
// (`pinlet --toggle`, run on each press of a desktop's shortcut) starts with Qt's core alone.
struct ApplicationStart {
    std::filesystem::path preferencesPath;
    std::filesystem::path lockPath;
    std::optional<RequestAction> action;
};

// The module's entry point, exported under runApplicationSymbol: runs Pinlet to its end, while
// the caller holds the lock; the exit status.
using RunApplication = int(int& argc, char** argv, const ApplicationStart& start);
inline constexpr const char* runApplicationSymbol = "pinletRunApplication";

} // namespace pinlet
