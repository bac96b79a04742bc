#include <gtk/gtk.h>

#include "platform/display_loss.h"
#include "platform/message_box.h"

namespace {

GtkMessageType GtkTypeFor(MessageIcon icon) {
  return icon == MessageIcon::Warning ? GTK_MESSAGE_WARNING : GTK_MESSAGE_INFO;
}

// Lets the dialog's unmap reach the server before the caller goes on (often
// to exit), so a closed dialog never lingers on screen.
void DrainPendingEvents() {
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace

void ShowNativeMessageBox(const char* text, const char* caption, MessageIcon icon) {
  if (!gtk_init_check(nullptr, nullptr)) {
    WriteMessageToStandardError(text, caption, icon);
    return;
  }
  EndQuietlyWhenTheDisplayIsLost();
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GtkTypeFor(icon), GTK_BUTTONS_OK, "%s", text);
  gtk_window_set_title(GTK_WINDOW(dialog), caption);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  DrainPendingEvents();
}
