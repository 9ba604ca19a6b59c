/* Destroys a window of another client, as a window manager or a session ending may:
 *   destroy_window WINDOW_ID */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: destroy_window WINDOW_ID\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) return 1;
    XDestroyWindow(display, (Window)strtoul(argv[1], NULL, 0));
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
