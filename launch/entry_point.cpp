#include "launch/entry_point.h"

#include "about/about_window.h"
#include "launch/launch_options.h"
#include "launch/single_instance.h"
#include "launch/xscreensaver_args.h"
#include "render/attach/attached_window.h"
#include "render/message_box.h"
#include "render/render_app.h"
#include "scene/main_loop.h"

bool LaunchOptions::IsFirstInstance() { return ClaimSingleInstance("K_OPENGL_SCREENSAVER"); }

namespace {

bool IsGuarded(LaunchMode mode) { return mode == LaunchMode::Preview || mode == LaunchMode::Default; }

void RunRenderer() {
  renderApp = new RenderApp(launchOptions);
  RunMainLoop();
  delete renderApp;
  renderApp = nullptr;
}

}  // namespace

int RunScreensaver(const char* commandLine) {
  launchOptions = new LaunchOptions(commandLine);
  if (IsGuarded(launchOptions->mode) && !launchOptions->IsFirstInstance()) return 0;

  if (launchOptions->mode == LaunchMode::Config) {
    delete new AboutWindow();
  } else {
    RunRenderer();
  }

  delete launchOptions;
  launchOptions = nullptr;
  return 0;
}

int RunForDaemon(const DaemonRun& run) {
  launchOptions = new LaunchOptions("");
  launchOptions->mode = LaunchMode::Preview;
  launchOptions->fromDaemon = true;
  launchOptions->parentWindow = run.target == DaemonRun::Target::RootWindow ? DefaultRootWindowHandle() : run.window;
  SetMessageSink(WriteMessageToStandardError);
  RunRenderer();
  delete launchOptions;
  launchOptions = nullptr;
  return 0;
}
