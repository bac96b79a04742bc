#include "launch/entry_point.h"

#include <memory>

#include "about/about_window.h"
#include "launch/launch_options.h"
#include "launch/single_instance.h"
#include "launch/xscreensaver_args.h"
#include "platform/message_box.h"
#include "platform/owned_global.h"
#include "platform/priority.h"
#include "render/attach/host_window.h"
#include "render/render_app.h"
#include "scene/main_loop.h"

bool LaunchOptions::IsFirstInstance() { return ClaimSingleInstance("K_OPENGL_SCREENSAVER"); }

namespace {

bool IsGuarded(LaunchMode mode) { return mode == LaunchMode::Preview || mode == LaunchMode::Default; }

// The priority goes down first, while this is the only thread: the GL
// library's own threads inherit it when the window's context starts them.
// The About window keeps the priority it was started with.
void RunRenderer() {
  LowerRenderingPriority();
  renderApp = new RenderApp(launchOptions);
  RunMainLoop();
  DeleteGlobal(renderApp);
}

// The About window shows itself as it is made and returns once closed.
void RunAboutWindow() { std::make_unique<AboutWindow>(); }

void RunMode() {
  if (IsGuarded(launchOptions->mode) && !launchOptions->IsFirstInstance()) return;
  if (launchOptions->mode == LaunchMode::Config) {
    RunAboutWindow();
  } else {
    RunRenderer();
  }
}

}  // namespace

// The options are made first and released last, on every path.
int RunScreensaver(const char* commandLine) {
  launchOptions = new LaunchOptions(commandLine);
  RunMode();
  DeleteGlobal(launchOptions);
  return 0;
}

int RunForDaemon(const DaemonRun& run) {
  launchOptions = new LaunchOptions("");
  launchOptions->mode = LaunchMode::Preview;
  launchOptions->fromDaemon = true;
  launchOptions->parentWindow = run.target == DaemonRun::Target::RootWindow ? DefaultRootWindowHandle() : run.window;
  SetMessageSink(WriteMessageToStandardError);
  RunRenderer();
  DeleteGlobal(launchOptions);
  return 0;
}
