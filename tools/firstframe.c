/* Times a program's window from the X server's side.
 *   firstframe start PROGRAM ARGS...  ms from exec to the first non-black pixel in its window;
 *                                     prints it, then ends the program.
 *   firstframe hold PROGRAM ARGS...   the same, but stops the program there, its first picture
 *                                     still on show, and prints "MS WINDOW PID".
 *   firstframe resize WINDOW W H      ms from asking the window for a new size until it has
 *                                     redrawn at least 90% of itself at that size.
 * Damage events say what was drawn; only the damaged part is read back, the newest first (see
 * read_some), and a lit pixel is timed by the damage that drew it (drawn_at). New windows are
 * followed as the server announces them, never by walking the window tree, so the watcher costs
 * the server next to nothing while the program starts. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "x_watch.h"

/* True when the rows of the area read back hold a pixel that is not black; its place in the
 * area goes to *at_x, *at_y. */
static int lit_rows(Display* d, Window w, int x, int y, int width, int rows, int* at_x, int* at_y) {
    int found = 0;
    /* The window may be gone already: errors are ignored (see quiet). */
    XImage* img = XGetImage(d, w, x, y, (unsigned)width, (unsigned)rows, AllPlanes, ZPixmap);
    if (!img) return 0;
    if (img->bits_per_pixel == 32) {  /* the usual case: read the rows directly */
        for (int j = 0; j < rows && !found; ++j) {
            const unsigned int* row = (const unsigned int*)(img->data + (long)j * img->bytes_per_line);
            for (int i = 0; i < width && !found; ++i)
                if ((row[i] & 0xFFFFFF) != 0) found = 1, *at_x = x + i, *at_y = y + j;
        }
    } else {
        for (int j = 0; j < rows && !found; ++j)
            for (int i = 0; i < width && !found; ++i)
                if ((XGetPixel(img, i, j) & 0xFFFFFF) != 0) found = 1, *at_x = x + i, *at_y = y + j;
    }
    XDestroyImage(img);
    return found;
}

/* Every damage reported in the program's windows, with when it came. A lit pixel read back was
 * lit by the last damage that covers it, so that is when it was first shown, however long the
 * reading took and in whatever order the areas were read. */
enum { kMaxDamage = 4096 };
static struct Damage {
    Window w;
    int x, y, width, height;
    double ms;
} damage[kMaxDamage];
static int ndamage = 0;

static void add_damage(Window w, int x, int y, int width, int height, double ms) {
    if (ndamage < kMaxDamage) damage[ndamage++] = (struct Damage){w, x, y, width, height, ms};
}

/* When the pixel (x, y) of w was last drawn: the time of the last damage that covers it. */
static double drawn_at(Window w, int x, int y, double fallback) {
    for (int k = ndamage - 1; k >= 0; --k) {
        const struct Damage* g = &damage[k];
        if (g->w == w && x >= g->x && x < g->x + g->width && y >= g->y && y < g->y + g->height) return g->ms;
    }
    return fallback;
}

/* Damaged areas of the program's windows not yet read back, newest last. An area is read a few
 * rows at a time from the top, and the newest first: a window that was painted black as it was
 * mapped would otherwise be read whole, megabytes at 4K, while the picture drawn into it just
 * after waits behind. Read now, an area shows what it holds now, so no lit pixel is missed. */
enum { kMaxAreas = 256, kRows = 16 };
static struct Area { Window w; int x, y, width, height; } areas[kMaxAreas];
static int nareas = 0;

static void add_area(Window w, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    if (nareas == kMaxAreas) { /* keep the newest: drop the oldest */
        memmove(areas, areas + 1, sizeof areas[0] * (kMaxAreas - 1));
        --nareas;
    }
    areas[nareas++] = (struct Area){w, x, y, width, height};
}

/* Reads back the newest area's next rows; true once a lit pixel is found, and then *when is
 * the time it was drawn. */
static int read_some(Display* d, Window* where, double* when) {
    struct Area* a = &areas[nareas - 1];
    const int rows = a->height < kRows ? a->height : kRows;
    int x = 0, y = 0;
    const int found = lit_rows(d, a->w, a->x, a->y, a->width, rows, &x, &y);
    if (found) *when = drawn_at(a->w, x, y, now_ms());
    *where = a->w;
    a->y += rows;
    a->height -= rows;
    if (a->height <= 0) --nareas;
    return found;
}

static int quiet(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

static long pid_of(Display* d, Window w) {
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    long pid = -1;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type, &format,
                           &n, &after, &data) == Success && data && n == 1)
        pid = (long)*(unsigned long*)data;
    if (data) XFree(data);
    return pid;
}

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(NULL);
    int damage_event, damage_error;
    if (!d || !XDamageQueryExtension(d, &damage_event, &damage_error)) { fprintf(stderr, "no display or no damage\n"); return 2; }
    XSetErrorHandler(quiet);
    Window root = DefaultRootWindow(d);
    if (argc >= 3 && (strcmp(argv[1], "start") == 0 || strcmp(argv[1], "hold") == 0)) {
        const int hold = strcmp(argv[1], "hold") == 0;
        XSelectInput(d, root, SubstructureNotifyMask);
        XSync(d, False);
        double t0 = now_ms();
        pid_t child = fork();
        if (child == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        watch_first("firstframe");
        /* Every new top-level window is watched from its creation, so whatever is drawn into it is
         * reported as damage (drawing into a window not yet mapped shows nothing). The first damage
         * that lights a pixel of a window carrying the program's process id, which SDL sets as it
         * creates the window, is the first frame. Nothing is read back until then. */
        Window ours[64], others[256];
        int nours = 0, nothers = 0;
        XEvent e;
        while (now_ms() - t0 < 10000) {
            /* Events first, then a little reading back, so new damage is always seen soon. */
            if (nareas > 0 && !XPending(d)) {
                Window w;
                double when = 0;
                if (!read_some(d, &w, &when)) continue;
                if (hold) {
                    kill(child, SIGSTOP);
                    printf("%.1f 0x%lx %d\n", when - t0, (unsigned long)w, (int)child);
                    return 0;
                }
                printf("%.1f\n", when - t0);
                kill(child, SIGTERM);
                return 0;
            }
            if (!next_event(d, &e, now_ms() + 50)) continue;
            if (e.type == CreateNotify && e.xcreatewindow.parent == root) {
                XDamageCreate(d, e.xcreatewindow.window, XDamageReportRawRectangles);
                continue;
            }
            if (e.type != damage_event + XDamageNotify) continue;
            const XDamageNotifyEvent* de = (const XDamageNotifyEvent*)&e;
            const Window w = de->drawable;
            int mine = 0, other = 0;
            for (int k = 0; k < nours; ++k) mine |= ours[k] == w;
            for (int k = 0; k < nothers; ++k) other |= others[k] == w;
            if (other) continue;
            if (!mine) {
                mine = pid_of(d, w) == child;
                if (mine && nours < 64) ours[nours++] = w;
                if (!mine && nothers < 256) others[nothers++] = w;
                if (!mine) continue;
            }
            add_area(w, de->area.x, de->area.y, de->area.width, de->area.height);
            add_damage(w, de->area.x, de->area.y, de->area.width, de->area.height, now_ms());
        }
        kill(child, SIGTERM);
        fprintf(stderr, "no content within 10 s\n");
        return 1;
    }
    if (argc == 5 && strcmp(argv[1], "resize") == 0) {
        Window w = (Window)strtoul(argv[2], NULL, 0);
        int width = atoi(argv[3]), height = atoi(argv[4]);
        XSelectInput(d, w, StructureNotifyMask);
        XDamageCreate(d, w, XDamageReportRawRectangles);
        XSync(d, False);
        XEvent e;
        while (XPending(d)) XNextEvent(d, &e);
        double t0 = now_ms();
        XResizeWindow(d, w, (unsigned)width, (unsigned)height);
        XFlush(d);
        long area = 0;
        int sized = 0;
        while (now_ms() - t0 < 5000) {
            if (!next_event(d, &e, now_ms() + 50)) continue;
            if (e.type == ConfigureNotify && e.xconfigure.width == width && e.xconfigure.height == height) sized = 1;
            if (sized && e.type == damage_event + XDamageNotify) {
                XDamageNotifyEvent* de = (XDamageNotifyEvent*)&e;
                area += (long)de->area.width * de->area.height;
                if (area >= 0.9 * width * height) {
                    printf("%.1f\n", now_ms() - t0);
                    return 0;
                }
            }
        }
        fprintf(stderr, "no redraw within 5 s\n");
        return 1;
    }
    fprintf(stderr, "usage: firstframe start|hold PROGRAM ARGS... | firstframe resize WINDOW W H\n");
    return 2;
}
