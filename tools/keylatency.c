/* Measures how long a keystroke takes to show in a program's window: sends a key with XTest
 * and polls the window's pixels until the band where the typed character appears changes.
 * Usage: keylatency WINDOW_ID CANVAS_W CANVAS_H X1 Y1 X2 Y2 COUNT
 * (X1..Y2: the band on the program's canvas). Prints one line per key and a summary. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void tap(Display* d, KeySym sym) {
    KeyCode code = XKeysymToKeycode(d, sym);
    XTestFakeKeyEvent(d, code, True, 0);
    XTestFakeKeyEvent(d, code, False, 0);
    XFlush(d);
}

int main(int argc, char** argv) {
    if (argc != 9) { fprintf(stderr, "usage: keylatency WIN CW CH X1 Y1 X2 Y2 COUNT\n"); return 2; }
    Window win = (Window)strtoul(argv[1], NULL, 0);
    double cw = atof(argv[2]), ch = atof(argv[3]);
    int count = atoi(argv[8]);
    Display* d = XOpenDisplay(NULL);
    if (!d) { fprintf(stderr, "no display\n"); return 2; }
    XWindowAttributes a;
    XGetWindowAttributes(d, win, &a);
    double s = a.width / cw < a.height / ch ? a.width / cw : a.height / ch;
    double ox = (a.width - cw * s) / 2, oy = (a.height - ch * s) / 2;
    int x = (int)(ox + atof(argv[4]) * s), y = (int)(oy + atof(argv[5]) * s);
    int w = (int)((atof(argv[6]) - atof(argv[4])) * s), h = (int)((atof(argv[7]) - atof(argv[5])) * s);
    double worst = 0, total = 0;
    for (int i = 0; i < count; ++i) {
        XImage* before = XGetImage(d, win, x, y, w, h, AllPlanes, ZPixmap);
        size_t n = (size_t)before->bytes_per_line * h;
        double t0 = now_ms(), t1 = -1;
        tap(d, i % 2 == 0 ? XK_2 : XK_BackSpace);
        while (now_ms() - t0 < 1000) {
            XImage* img = XGetImage(d, win, x, y, w, h, AllPlanes, ZPixmap);
            int changed = memcmp(img->data, before->data, n) != 0;
            XDestroyImage(img);
            if (changed) { t1 = now_ms(); break; }
            usleep(250); /* leave the X server time to serve the program being measured */
        }
        XDestroyImage(before);
        if (t1 < 0) { printf("key %d: no change within 1 s\n", i + 1); return 1; }
        printf("key %d: visible after %.1f ms\n", i + 1, t1 - t0);
        if (t1 - t0 > worst) worst = t1 - t0;
        total += t1 - t0;
        usleep(200000);
    }
    printf("keystroke to screen: mean %.1f ms, worst %.1f ms over %d keys\n", total / count, worst, count);
    return 0;
}
