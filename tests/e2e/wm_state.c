/* Minimises or restores a window the way a window manager does: the window
 * is unmapped or mapped, and its WM_STATE property says Iconic or Normal
 * (clients learn of minimising from that property).
 * Usage: wm_state WINDOW_ID iconic|normal */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3 || (strcmp(argv[2], "iconic") != 0 && strcmp(argv[2], "normal") != 0)) {
        fprintf(stderr, "usage: wm_state WINDOW_ID iconic|normal\n");
        return 2;
    }
    char* end = NULL;
    const Window window = (Window)strtoul(argv[1], &end, 0);
    if (*end != '\0' || window == 0) {
        fprintf(stderr, "wm_state: bad window id '%s'\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "wm_state: cannot open display\n");
        return 1;
    }
    const int iconic = strcmp(argv[2], "iconic") == 0;
    const long state[2] = {iconic ? IconicState : NormalState, None};
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    if (iconic) XUnmapWindow(display, window);
    XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                    (const unsigned char*)state, 2);
    if (!iconic) XMapWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
