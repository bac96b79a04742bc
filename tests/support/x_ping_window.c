// Asks the client that owns a window whether its event loop still runs, the
// way a window manager does: sends it a _NET_WM_PING and waits for the answer
// that the client sends back to the root window.
//   x_ping_window WINDOW [SECONDS]
// Exits 0 once answered, 1 when no answer came in time (10 s unless given),
// 2 on bad arguments or without a display.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double Now(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

static int IsAnswer(const XEvent* event, Atom protocols, Atom ping, long stamp, Window window) {
  if (event->type != ClientMessage || event->xclient.message_type != protocols) return 0;
  const long* data = event->xclient.data.l;
  return (Atom)data[0] == ping && data[1] == stamp && (Window)data[2] == window;
}

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    fprintf(stderr, "usage: x_ping_window WINDOW [SECONDS]\n");
    return 2;
  }
  Window window = strtoul(argv[1], NULL, 0);
  double seconds = argc == 3 ? atof(argv[2]) : 10.0;
  Display* display = XOpenDisplay(NULL);
  if (display == NULL || window == 0) return 2;
  Window root = DefaultRootWindow(display);
  Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  Atom ping = XInternAtom(display, "_NET_WM_PING", False);

  // The answer goes to the root window with the substructure masks, so any
  // client that selected one of them hears it.
  XSelectInput(display, root, SubstructureNotifyMask);
  // A stamp of our own, so that an answer to the window manager's pings is
  // not taken for ours.
  long stamp = (long)(Now() * 1000) & 0x7FFFFFFF;
  XEvent request = {0};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = protocols;
  request.xclient.format = 32;
  request.xclient.data.l[0] = (long)ping;
  request.xclient.data.l[1] = stamp;
  request.xclient.data.l[2] = (long)window;
  XSendEvent(display, window, False, NoEventMask, &request);
  XFlush(display);

  double deadline = Now() + seconds;
  struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (IsAnswer(&event, protocols, ping, stamp, window)) return 0;
    }
    double left = deadline - Now();
    if (left <= 0) break;
    poll(&fd, 1, (int)(left * 1000) + 1);
  }
  fprintf(stderr, "x_ping_window: no answer from 0x%lx within %g s\n", window, seconds);
  return 1;
}
