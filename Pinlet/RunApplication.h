#pragma once

#include "Pinlet/CommandLine.h"

#include <filesystem>
#include <optional>

namespace pinlet {

// What the command line and the lock hand to the application.
struct ApplicationStart {
    std::filesystem::path preferencesPath;
    std::filesystem::path lockPath;
    std::optional<RequestAction> action;
};

// Runs Pinlet to its end, while the caller holds the lock; the exit status.
int runApplication(int& argc, char** argv, const ApplicationStart& start);

} // namespace pinlet
