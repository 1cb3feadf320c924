#include "KeyboardShortcuts/PlatformServices.h"

#include "KeyboardShortcuts/internal/InstalledServices.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace KeyboardShortcuts {
namespace {

std::optional<PlatformServices>& services() {
    static std::optional<PlatformServices> installed;
    return installed;
}

} // namespace

const PlatformServices& installPlatformServices(const PlatformServices& newServices) {
    return services().emplace(newServices);
}

const PlatformServices& internal::installedServices() {
    if (!services()) {
        std::fputs("KeyboardShortcuts: used before installPlatformServices()\n", stderr);
        std::abort();
    }
    return *services();
}

} // namespace KeyboardShortcuts
