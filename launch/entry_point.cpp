#include "launch/entry_point.h"

#include "about/about_window.h"
#include "launch/launch_options.h"
#include "launch/single_instance.h"
#include "render/render_app.h"
#include "scene/main_loop.h"

bool LaunchOptions::IsFirstInstance() { return ClaimSingleInstance("K_OPENGL_SCREENSAVER"); }

namespace {

bool IsGuarded(LaunchMode mode) { return mode == LaunchMode::Preview || mode == LaunchMode::Default; }

}  // namespace

int RunScreensaver(const char* commandLine) {
  launchOptions = new LaunchOptions(commandLine);
  if (IsGuarded(launchOptions->mode) && !launchOptions->IsFirstInstance()) return 0;

  if (launchOptions->mode == LaunchMode::Config) {
    delete new AboutWindow();
  } else {
    renderApp = new RenderApp(launchOptions);
    RunMainLoop();
    delete renderApp;
    renderApp = nullptr;
  }

  delete launchOptions;
  launchOptions = nullptr;
  return 0;
}
