/* The least an X client does to toggle a 380x280 window: shown and activated on the release of
 * Ctrl+Alt+M, or when `toggle-floor --toggle` touches a property of the root window; hidden on
 * the next. What Pinlet's toggle is measured against. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <string.h>

static void activate(Display* display, Window window, Time time) {
    XEvent message = {0};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = 2; /* on the user's behalf */
    message.xclient.data.l[1] = (long)time;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
}

static void toggle(Display* display, Window window, Time time) {
    static int shown = 0;
    shown = !shown;
    if (shown) {
        XMapRaised(display, window);
        activate(display, window, time);
    } else {
        XUnmapWindow(display, window);
    }
    XFlush(display);
}

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        return 1;
    }
    Window root = DefaultRootWindow(display);
    Atom request = XInternAtom(display, "_TOGGLE_FLOOR_REQUEST", False);
    if (argc > 1 && strcmp(argv[1], "--toggle") == 0) {
        XChangeProperty(display, root, request, XA_STRING, 8, PropModeReplace, NULL, 0);
        XCloseDisplay(display);
        return 0;
    }
    Window window = XCreateSimpleWindow(display, root, 450, 260, 380, 280, 0, 0,
                                        WhitePixel(display, DefaultScreen(display)));
    KeyCode m = XKeysymToKeycode(display, XK_m);
    XGrabKey(display, m, ControlMask | Mod1Mask, root, False, GrabModeAsync, GrabModeAsync);
    XSelectInput(display, root, PropertyChangeMask);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == KeyRelease && event.xkey.keycode == m) {
            toggle(display, window, event.xkey.time);
        } else if (event.type == PropertyNotify && event.xproperty.atom == request) {
            toggle(display, window, event.xproperty.time);
        }
    }
}
