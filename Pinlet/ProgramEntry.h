#pragma once

#include "platform/linux/SingleInstanceLock.h"
#include "platform/linux/XdgConfigHome.h"

#include <filesystem>

// How the program `pinlet` starts the application, which lives in a module of its own: a request
// to the running instance (`pinlet --toggle`, run on each press of a desktop's shortcut) goes out
// from the program alone, with nothing of Qt loaded.
namespace pinlet {

// Where Pinlet keeps its preferences, and the lock beside them that the running instance holds.
inline std::filesystem::path preferencesPath() {
    return platform::linux_desktop::xdgConfigHome() / "pinlet" / "preferences.json";
}
inline std::filesystem::path lockPath() {
    return platform::linux_desktop::SingleInstanceLock::pathFor(preferencesPath(), "pinlet");
}

// The module's entry point, exported under programMainSymbol: everything the program does besides
// handing a request to an instance that listens already (the command line, the lock, the
// application); the exit status.
using ProgramMain = int(int& argc, char** argv);
inline constexpr const char* programMainSymbol = "pinletMain";

} // namespace pinlet
