// The program `pinlet`. A request that an instance already listening can carry out goes to it
// from here, with nothing of Qt loaded: a desktop may run `pinlet --toggle` on every press of its
// shortcut. Everything else is the application module's, loaded from lib/pinlet.
#include "Pinlet/ProgramEntry.h"
#include "platform/linux/InstanceRequests.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

namespace desktop = platform::linux_desktop;
using Action = desktop::InstanceRequest::Action;

// The running instance carries a request out at once; this is for one that hangs.
constexpr std::chrono::seconds answerPatience(10);

// The request of a command line that is one request option alone.
std::optional<Action> soleRequest(int argc, char** argv) {
    constexpr std::array<std::pair<std::string_view, Action>, 4> options{{
        {"--toggle", Action::toggle},
        {"--show", Action::show},
        {"--hide", Action::hide},
        {"--settings", Action::settings},
    }};
    for (const auto& [option, action] : options) {
        if (argc == 2 && argv[1] == option) {
            return action;
        }
    }
    return std::nullopt;
}

// The application's module, found beside this program (through /proc, as the loader does not
// say where the program lies).
pinlet::ProgramMain* applicationModule() {
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    const std::string path = (program.parent_path() / PINLET_APPLICATION_MODULE).string();
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? ::dlsym(module, pinlet::programMainSymbol) : nullptr;
    if (entry == nullptr) {
        std::fprintf(stderr, "Pinlet: %s\n", ::dlerror());
    }
    return reinterpret_cast<pinlet::ProgramMain*>(entry);
}

} // namespace

int main(int argc, char* argv[]) {
    // Only an instance that listens already: one that is starting, and none, are the module's.
    if (const std::optional<Action> action = soleRequest(argc, argv)) {
        const auto socket = desktop::requestSocketPathFor(pinlet::lockPath());
        const desktop::Delivery delivery =
            desktop::deliverRequest(socket, desktop::InstanceRequest::fromEnvironment(*action),
                                    std::chrono::milliseconds(0), answerPatience);
        if (delivery == desktop::Delivery::carriedOut) {
            return 0;
        }
        if (delivery == desktop::Delivery::noAnswer) { // asking again might carry it out twice
            std::fprintf(stderr, "Pinlet is running, but %s.\n",
                         desktop::describe(delivery, socket).c_str());
            return 1;
        }
    }
    pinlet::ProgramMain* programMain = applicationModule();
    return programMain != nullptr ? programMain(argc, argv) : 1;
}
