// A stand-in for a screensaver host in the end-to-end tests: owns one window,
// says its id, and does to it what a host does, one stdin line at a time:
//   resize W H   size the window; answers "resized"
//   destroy      destroy it; answers "destroyed"
//   state        answers "state W H OWN_MASK ALL_MASKS CHILDREN" or "state gone"
//   cursor       answers "cursor VISIBLE DIGEST" for the pointer's current
//                image, wherever the pointer is: VISIBLE is 1 when any of its
//                pixels shows, DIGEST tells one image from another
// Options: --size WxH, --at X,Y, --take-buttons (select ButtonPress first, as a host
// that wants the clicks does), --foreign-visual (a visual no GL configuration
// uses; exits 3 when the server has none), --input-only (a window that takes
// input but shows nothing, which nobody can draw into), --hand (a cursor of its own).
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int lastError;

static int NoteError(Display* display, XErrorEvent* event) {
  (void)display;
  lastError = event->error_code;
  return 0;
}

// Any configuration a double-buffered RGBA window could be drawn with.
static int VisualHasConfig(Display* display, int screen, VisualID visual) {
  static const int wanted[] = {
      GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True, None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(display, screen, wanted, &count);
  int found = 0;
  for (int i = 0; i < count && !found; ++i) {
    int id = 0;
    glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &id);
    found = (VisualID)id == visual;
  }
  if (configs != NULL) XFree(configs);
  return found;
}

static XVisualInfo* ForeignVisual(Display* display, int screen) {
  XVisualInfo pattern;
  pattern.screen = screen;
  int count = 0;
  XVisualInfo* visuals = XGetVisualInfo(display, VisualScreenMask, &pattern, &count);
  for (int i = 0; i < count; ++i) {
    if (!VisualHasConfig(display, screen, visuals[i].visualid)) {
      XVisualInfo* chosen = malloc(sizeof *chosen);
      *chosen = visuals[i];
      XFree(visuals);
      return chosen;
    }
  }
  if (visuals != NULL) XFree(visuals);
  return NULL;
}

static void ReportState(Display* display, Window window) {
  XWindowAttributes attributes;
  lastError = 0;
  Status found = XGetWindowAttributes(display, window, &attributes);
  XSync(display, False);
  if (!found || lastError != 0) {
    printf("state gone\n");
    return;
  }
  Window root, parent, *children = NULL;
  unsigned count = 0;
  XQueryTree(display, window, &root, &parent, &children, &count);
  if (children != NULL) XFree(children);
  printf("state %d %d %ld %ld %u\n", attributes.width, attributes.height, attributes.your_event_mask,
         attributes.all_event_masks, count);
}

static void ReportCursor(Display* display) {
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image == NULL) {
    printf("cursor unknown\n");
    return;
  }
  int visible = 0;
  unsigned long digest = 5381;
  for (int i = 0; i < image->width * image->height; ++i) {
    unsigned long pixel = image->pixels[i] & 0xFFFFFFFFul;
    if ((pixel >> 24) != 0) visible = 1;
    digest = (digest * 33) ^ pixel;
  }
  printf("cursor %d %lu\n", visible, digest ^ ((unsigned long)image->width << 8) ^ image->height);
  XFree(image);
}

static void Command(Display* display, Window window, const char* line) {
  unsigned width, height;
  if (sscanf(line, "resize %u %u", &width, &height) == 2) {
    XResizeWindow(display, window, width, height);
    XSync(display, False);
    printf("resized\n");
  } else if (strncmp(line, "destroy", 7) == 0) {
    XDestroyWindow(display, window);
    XSync(display, False);
    printf("destroyed\n");
  } else if (strncmp(line, "state", 5) == 0) {
    ReportState(display, window);
  } else if (strncmp(line, "cursor", 6) == 0) {
    ReportCursor(display);
  } else {
    printf("unknown %s", line);
  }
  fflush(stdout);
}

int main(int argc, char** argv) {
  unsigned width = 160, height = 90;
  int x = 0, y = 0;
  int takeButtons = 0, foreign = 0, inputOnly = 0, hand = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      sscanf(argv[++i], "%ux%u", &width, &height);
    } else if (strcmp(argv[i], "--at") == 0 && i + 1 < argc) {
      sscanf(argv[++i], "%d,%d", &x, &y);
    } else if (strcmp(argv[i], "--take-buttons") == 0) {
      takeButtons = 1;
    } else if (strcmp(argv[i], "--foreign-visual") == 0) {
      foreign = 1;
    } else if (strcmp(argv[i], "--input-only") == 0) {
      inputOnly = 1;
    } else if (strcmp(argv[i], "--hand") == 0) {
      hand = 1;
    } else {
      fprintf(stderr, "unknown option %s\n", argv[i]);
      return 2;
    }
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return 2;
  XSetErrorHandler(NoteError);
  int screen = DefaultScreen(display);

  XSetWindowAttributes attributes;
  memset(&attributes, 0, sizeof attributes);
  unsigned long valueMask = CWBackPixel | CWBorderPixel;
  Visual* visual = CopyFromParent;
  int depth = CopyFromParent;
  if (foreign) {
    XVisualInfo* info = ForeignVisual(display, screen);
    if (info == NULL) {
      printf("no foreign visual\n");
      return 3;
    }
    visual = info->visual;
    depth = info->depth;
    attributes.colormap = XCreateColormap(display, RootWindow(display, screen), visual, AllocNone);
    valueMask |= CWColormap;
    free(info);
  }
  // An input-only window has neither a background nor a border to set.
  Window window = inputOnly ? XCreateWindow(display, RootWindow(display, screen), x, y, width, height, 0, 0, InputOnly,
                                            CopyFromParent, 0, &attributes)
                            : XCreateWindow(display, RootWindow(display, screen), x, y, width, height, 0, depth,
                                            InputOutput, visual, valueMask, &attributes);
  long mask = StructureNotifyMask | ExposureMask;
  if (takeButtons) mask |= ButtonPressMask;
  XSelectInput(display, window, mask);
  if (hand) XDefineCursor(display, window, XCreateFontCursor(display, XC_hand2));
  XStoreName(display, window, "gloamery test host");
  XMapWindow(display, window);
  XSync(display, False);
  printf("window 0x%lx\n", window);
  fflush(stdout);

  char line[256];
  struct pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}};
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
    }
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[0].revents & (POLLIN | POLLHUP)) {
      if (fgets(line, sizeof line, stdin) == NULL) break;
      Command(display, window, line);
    }
  }
  XCloseDisplay(display);
  return 0;
}
