/* What the X measuring tools (firstframe, keylatency) share: a clock, a wait for the next event,
 * and going first for the processor. Header only: each tool is built by one gcc line. */
#ifndef X_WATCH_H
#define X_WATCH_H
#include <X11/Xlib.h>
#include <errno.h>
#include <sched.h>
#include <stdio.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* Waits for the next event until the time `until` (now_ms); 0 when none came. */
static int next_event(Display* d, XEvent* e, double until) {
    while (!XPending(d)) {
        double left = until - now_ms();
        if (left <= 0) return 0;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(d), &fds);
        struct timeval tv = {(long)(left / 1000), (long)((left - (long)(left / 1000) * 1000) * 1000)};
        select(ConnectionNumber(d) + 1, &fds, NULL, NULL, &tv);
    }
    XNextEvent(d, e);
    return 1;
}

/* The watcher goes before every other process for the processor, a program it started excepted
 * (that forked before this): otherwise, on a machine with fewer cores than busy processes, the
 * X server and the window manager keep busy, an event can wait milliseconds for the watcher to
 * be given a core, and the time taken would be that wait's, not the picture's. */
static void watch_first(const char* tool) {
    const struct sched_param first = {.sched_priority = 10};
    if (sched_setscheduler(0, SCHED_FIFO, &first) != 0)
        fprintf(stderr, "%s: no real-time priority (%s): a time may include waiting for a core\n", tool,
                strerror(errno));
}
#endif
