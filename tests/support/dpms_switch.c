// Preloaded by the end-to-end tests: a display power level the test sets,
// where the test's X servers have no DPMS extension at all. The level is the
// first word of the file named by GLOAMERY_DPMS_FILE: "off", "standby" or
// "suspend" darken the display, anything else (or no file) leaves it on.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

Bool DPMSQueryExtension(Display* display, int* eventBase, int* errorBase) {
  (void)display;
  *eventBase = 0;
  *errorBase = 0;
  return True;
}

Bool DPMSCapable(Display* display) {
  (void)display;
  return True;
}

Status DPMSInfo(Display* display, CARD16* level, BOOL* enabled) {
  (void)display;
  char word[16] = "on";
  const char* path = getenv("GLOAMERY_DPMS_FILE");
  FILE* file = path != NULL ? fopen(path, "r") : NULL;
  if (file != NULL) {
    if (fscanf(file, "%15s", word) != 1) strcpy(word, "on");
    fclose(file);
  }
  *enabled = True;
  *level = strcmp(word, "off") == 0       ? DPMSModeOff
           : strcmp(word, "standby") == 0 ? DPMSModeStandby
           : strcmp(word, "suspend") == 0 ? DPMSModeSuspend
                                          : DPMSModeOn;
  return True;
}
