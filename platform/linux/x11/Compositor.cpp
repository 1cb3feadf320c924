#include "platform/linux/x11/Compositor.h"

#include "platform/linux/x11/XcbConnection.h"

#include <memory>
#include <string>
#include <xcb/xcb.h>

namespace platform::linux_desktop {
namespace {

int defaultScreenNumber() {
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    const bool parsed = xcb_parse_display(nullptr, &host, &display, &screen) != 0;
    free(host); // NOLINT(cppcoreguidelines-no-malloc): xcb allocates it with malloc
    return parsed ? screen : 0;
}

bool hasCompositingManager(xcb_connection_t* connection) {
    const std::string selection = "_NET_WM_CM_S" + std::to_string(defaultScreenNumber());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0,
                                              static_cast<std::uint16_t>(selection.size()),
                                              selection.c_str()),
                              nullptr),
        &free);
    if (!atom) {
        return false;
    }
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &free);
    return owner && owner->owner != XCB_NONE;
}

} // namespace

bool isCompositing() {
    xcb_connection_t* connection = applicationConnection();
    return connection == nullptr || hasCompositingManager(connection);
}

} // namespace platform::linux_desktop
