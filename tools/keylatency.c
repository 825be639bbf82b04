/* Measures how long a keystroke takes to show in a program's window: sends a key with XTest and
 * waits for the X server to report drawing (damage) in the band where the typed character
 * appears; the band is read back only then, and the key has shown once it differs from before.
 * Reading the band only when something was drawn keeps the measuring from loading the server it
 * measures: polling a band of a 4K window reads megabytes a millisecond.
 * Usage: keylatency WINDOW_ID CANVAS_W CANVAS_H X1 Y1 X2 Y2 COUNT
 * (X1..Y2: the band on the program's canvas). Prints one line per key and a summary. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "x_watch.h"

static void tap(Display* d, KeySym sym) {
    KeyCode code = XKeysymToKeycode(d, sym);
    XTestFakeKeyEvent(d, code, True, 0);
    XTestFakeKeyEvent(d, code, False, 0);
    XFlush(d);
}

static int by_value(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv) {
    if (argc != 9) { fprintf(stderr, "usage: keylatency WIN CW CH X1 Y1 X2 Y2 COUNT\n"); return 2; }
    Window win = (Window)strtoul(argv[1], NULL, 0);
    double cw = atof(argv[2]), ch = atof(argv[3]);
    int count = atoi(argv[8]);
    Display* d = XOpenDisplay(NULL);
    int damage_event, damage_error;
    if (!d || !XDamageQueryExtension(d, &damage_event, &damage_error)) {
        fprintf(stderr, "no display or no damage\n");
        return 2;
    }
    if (count < 1 || count > 1000) { fprintf(stderr, "COUNT must be 1 to 1000\n"); return 2; }
    watch_first("keylatency");
    XWindowAttributes a;
    XGetWindowAttributes(d, win, &a);
    double s = a.width / cw < a.height / ch ? a.width / cw : a.height / ch;
    double ox = (a.width - cw * s) / 2, oy = (a.height - ch * s) / 2;
    int x = (int)(ox + atof(argv[4]) * s), y = (int)(oy + atof(argv[5]) * s);
    int w = (int)((atof(argv[6]) - atof(argv[4])) * s), h = (int)((atof(argv[7]) - atof(argv[5])) * s);
    XDamageCreate(d, win, XDamageReportRawRectangles);
    double* times = malloc(sizeof *times * (size_t)count);
    double total = 0;
    for (int i = 0; i < count; ++i) {
        XImage* before = XGetImage(d, win, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
        size_t n = (size_t)before->bytes_per_line * (size_t)h;
        XEvent e;
        XSync(d, False);
        while (XPending(d)) XNextEvent(d, &e); /* damage from before the key is not its */
        double t0 = now_ms(), t1 = -1;
        tap(d, i % 2 == 0 ? XK_2 : XK_BackSpace);
        while (t1 < 0 && next_event(d, &e, t0 + 1000)) {
            if (e.type != damage_event + XDamageNotify) continue;
            const XRectangle r = ((const XDamageNotifyEvent*)&e)->area;
            if (r.x >= x + w || r.x + r.width <= x || r.y >= y + h || r.y + r.height <= y) continue;
            const double at = now_ms();
            XImage* img = XGetImage(d, win, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
            if (memcmp(img->data, before->data, n) != 0) t1 = at;
            XDestroyImage(img);
        }
        XDestroyImage(before);
        if (t1 < 0) { printf("key %d: no change within 1 s\n", i + 1); return 1; }
        printf("key %d: visible after %.1f ms\n", i + 1, t1 - t0);
        times[i] = t1 - t0;
        total += t1 - t0;
        usleep(200000);
    }
    qsort(times, (size_t)count, sizeof *times, by_value);
    const double median = count % 2 ? times[count / 2] : (times[count / 2 - 1] + times[count / 2]) / 2;
    printf("keystroke to screen: median %.1f ms, mean %.1f ms, worst %.1f ms over %d keys\n", median,
           total / count, times[count - 1], count);
    free(times);
    return 0;
}
