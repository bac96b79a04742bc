// The attach layer against windows of another client on an Xvfb of the
// test's own. Ids are handed over as the command line hands them: numbers,
// not checked by anyone before the attach layer sees them.

// gtest before Xlib, whose macros (None, Bool) would rewrite gtest's names.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
// clang-format on

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "render/attach/host_window.h"

extern char** environ;

namespace {

// An Xvfb that picks its own display number, for one test process.
class VirtualServer {
 public:
  // Empty on success, else why not.
  std::string Start() {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen",  "0",
                          "320x200x24", "-nolisten",  "tcp",      "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
      pid_ = 0;
      close(fds[0]);
      return "no Xvfb to start";
    }
    std::string number = ReadLine(fds[0]);
    close(fds[0]);
    if (number.empty()) return "Xvfb announced no display";
    display_ = ":" + number;
    return "";
  }

  ~VirtualServer() {
    if (pid_ == 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }

  const std::string& display() const { return display_; }

 private:
  // One line, waited for no more than a minute: only a broken Xvfb takes that long.
  static std::string ReadLine(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready = {fd, POLLIN, 0};
      if (poll(&ready, 1, 1000) <= 0) continue;
      char c = 0;
      if (read(fd, &c, 1) != 1) break;
      if (c == '\n') return line;
      line += c;
    }
    return "";
  }

  pid_t pid_ = 0;
  std::string display_;
};

VirtualServer* server = nullptr;
std::string serverProblem;

class AttachX11 : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new VirtualServer;
    serverProblem = server->Start();
    if (serverProblem.empty()) setenv("DISPLAY", server->display().c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    ASSERT_EQ(serverProblem, "");
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  // A mapped window of this connection, the test's stand-in for a host's.
  Window MakeWindow(unsigned windowClass) {
    XSetWindowAttributes attributes{};
    Window window =
        XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 64, 48, 0,
                      windowClass == InputOnly ? 0 : CopyFromParent, windowClass, CopyFromParent, 0, &attributes);
    XSelectInput(display_, window, StructureNotifyMask);
    XMapWindow(display_, window);
    XSync(display_, False);
    return window;
  }

  // What every client together has selected on the window, and how many
  // children it has: what an attach changes and a refusal must not.
  std::pair<long, unsigned> Footprint(Window window) {
    XWindowAttributes attributes{};
    EXPECT_NE(XGetWindowAttributes(display_, window, &attributes), 0);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display_, window, &root, &parent, &children, &count);
    if (children != nullptr) XFree(children);
    return {attributes.all_event_masks, count};
  }

  Display* display_ = nullptr;
};

TEST_F(AttachX11, AttachesToAnInputOutputWindowOfAnotherClient) {
  const Window host = MakeWindow(InputOutput);
  const auto before = Footprint(host);
  std::unique_ptr<RenderWindow> attached = AttachNativeWindow(host, AttachedContextHints{});
  ASSERT_NE(attached, nullptr);
  EXPECT_NE(Footprint(host), before) << "our structure events are selected";
  attached.reset();
  EXPECT_EQ(Footprint(host), before);
}

// GLX would refuse to draw there as well; either way nothing of ours may be
// left selected on it.
TEST_F(AttachX11, RefusesAnInputOnlyWindowAndLeavesItAsItWas) {
  const Window host = MakeWindow(InputOnly);
  const auto before = Footprint(host);
  EXPECT_EQ(AttachNativeWindow(host, AttachedContextHints{}), nullptr);
  EXPECT_EQ(Footprint(host), before);
}

// On the wire an id has 32 bits, so Xlib would cut a wider one down to the
// window in its low bits; ids with any of bits 29 to 31 set name nothing.
TEST_F(AttachX11, RefusesIdsWiderThanTwentyNineBitsWhateverTheirLowBitsName) {
  const Window host = MakeWindow(InputOutput);
  const auto before = Footprint(host);
  for (NativeWindowHandle wide :
       {NativeWindowHandle{host} | NativeWindowHandle{1} << 32, NativeWindowHandle{host} | NativeWindowHandle{1} << 29,
        NativeWindowHandle{host} | NativeWindowHandle{1} << 31}) {
    SCOPED_TRACE(wide);
    EXPECT_EQ(AttachNativeWindow(wide, AttachedContextHints{}), nullptr);
    int width = -1, height = -1;
    EXPECT_FALSE(QueryNativeWindowSize(wide, &width, &height));
    EXPECT_EQ(width, -1);
  }
  EXPECT_EQ(Footprint(host), before);
  int width = 0, height = 0;
  ASSERT_TRUE(QueryNativeWindowSize(host, &width, &height)) << "the plain id does name it";
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
}

}  // namespace
