// Another application, as far as a test is concerned: one titled top-level window carrying
// this process's pid, shown until the process is stopped.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply); // NOLINT(cppcoreguidelines-no-malloc): xcb allocates replies with malloc
    return atom;
}

template <typename Value>
void setProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                 xcb_atom_t type, const Value* values, std::size_t count) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type,
                        sizeof(Value) * 8, static_cast<std::uint32_t>(count), values);
}

void describe(xcb_connection_t* connection, xcb_window_t window, const std::string& title) {
    setProperty(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title.data(), title.size());
    setProperty(connection, window, internAtom(connection, "_NET_WM_NAME"),
                internAtom(connection, "UTF8_STRING"), title.data(), title.size());
    const std::string windowClass("pinlet-foreign\0PinletForeign\0", 29);
    setProperty(connection, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, windowClass.data(),
                windowClass.size());
    const auto pid = static_cast<std::uint32_t>(::getpid());
    setProperty(connection, window, internAtom(connection, "_NET_WM_PID"), XCB_ATOM_CARDINAL, &pid,
                1);
    // WM_HINTS with the input hint set: the window takes keyboard focus when activated.
    const std::array<std::uint32_t, 9> hints{1, 1, 0, 0, 0, 0, 0, 0, 0};
    setProperty(connection, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, hints.data(),
                hints.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TITLE\n", argv[0]);
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "cannot connect to the X display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    const xcb_screen_t* screen = screens.data;
    const xcb_window_t window = xcb_generate_id(connection);
    const std::array<std::uint32_t, 2> attributes{screen->white_pixel,
                                                  XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 100, 100, 320, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, attributes.data());
    describe(connection, window, argv[1]);
    xcb_map_window(connection, window);
    xcb_flush(connection);
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        std::free(event); // NOLINT(cppcoreguidelines-no-malloc): xcb allocates events
    }
    xcb_disconnect(connection);
    return 0;
}
