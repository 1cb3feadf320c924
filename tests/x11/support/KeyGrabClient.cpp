// Another application holding a global shortcut: grabs one key with one modifier state on the
// root window and keeps it until the process is stopped.
//
//     x11_key_grab_client <keycode> <modifier mask>
//
// Prints "grabbed" once it holds the combination; prints "refused" and exits with status 1 when
// another client holds it already.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <xcb/xcb.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: x11_key_grab_client <keycode> <modifier mask>\n", stderr);
        return 2;
    }
    const auto keycode = static_cast<xcb_keycode_t>(std::stoul(argv[1]));
    const auto modifiers = static_cast<std::uint16_t>(std::stoul(argv[2], nullptr, 0));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("cannot connect to the X display\n", stderr);
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_grab_key_checked(connection, 1, root, modifiers, keycode,
                                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const bool refused = error != nullptr;
    std::free(error); // NOLINT(cppcoreguidelines-no-malloc): xcb allocates errors with malloc
    std::puts(refused ? "refused" : "grabbed");
    std::fflush(stdout);
    if (refused) {
        xcb_disconnect(connection);
        return 1;
    }
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        std::free(event); // NOLINT(cppcoreguidelines-no-malloc)
    }
    xcb_disconnect(connection);
    return 0;
}
