#include <glib.h>

#include "about/open_address.h"

bool OpenAddressInBrowser(const char* address) {
  gchar* argv[] = {const_cast<gchar*>("xdg-open"), const_cast<gchar*>(address), nullptr};
  GError* error = nullptr;
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib starts the handler through an
  // intermediate child that it waits for, so the handler never lingers as
  // our zombie while the window stays open.
  const gboolean started =
      g_spawn_async(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  return started != FALSE;
}
