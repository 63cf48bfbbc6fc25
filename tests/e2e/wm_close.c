/* Sends WM_DELETE_WINDOW to a window, as a window manager's close box does.
 * Usage: wm_close WINDOW_ID   (decimal or 0x-hexadecimal) */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: wm_close WINDOW_ID\n");
        return 2;
    }
    char* end = NULL;
    const unsigned long id = strtoul(argv[1], &end, 0);
    if (*end != '\0' || id == 0) {
        fprintf(stderr, "wm_close: bad window id '%s'\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "wm_close: cannot open display\n");
        return 1;
    }
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window)id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, (Window)id, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
