#include "render/window_events.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What reached the program's callbacks, in order.
struct Heard {
  const char* what;
  GLFWwindow* window;
  double a;
  double b;
};
std::vector<Heard> heard;

void OnSize(GLFWwindow* w, int width, int height) { heard.push_back({"size", w, double(width), double(height)}); }
void OnKey(GLFWwindow* w, int key, int scancode, int, int) {
  heard.push_back({"key", w, double(key), double(scancode)});
}
void OnButton(GLFWwindow* w, int button, int action, int) {
  heard.push_back({"button", w, double(button), double(action)});
}
void OnCursor(GLFWwindow* w, double x, double y) { heard.push_back({"cursor", w, x, y}); }
void OnScroll(GLFWwindow* w, double x, double y) { heard.push_back({"scroll", w, x, y}); }

WindowCallbacks All() {
  WindowCallbacks callbacks;
  callbacks.size = OnSize;
  callbacks.key = OnKey;
  callbacks.button = OnButton;
  callbacks.cursorPos = OnCursor;
  callbacks.scroll = OnScroll;
  return callbacks;
}

void ReportOneOfEach(WindowEvents& events) {
  events.InputWindowSize(640, 360);
  events.InputKey(GLFW_KEY_UNKNOWN, 38, GLFW_PRESS, 0);
  events.InputMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
  events.InputCursorPos(1.5, 2.5);
  events.InputScroll(0.0, -1.0);
}

class WindowEventsTest : public testing::Test {
 protected:
  void SetUp() override { heard.clear(); }
};

TEST_F(WindowEventsTest, EachReportReachesItsCallbackWithTheWindowItCameFrom) {
  auto* ours = reinterpret_cast<GLFWwindow*>(0x1234);
  WindowEvents events(ours);
  events.SetCallbacks(All());
  ReportOneOfEach(events);
  ASSERT_EQ(heard.size(), 5u);
  const char* order[] = {"size", "key", "button", "cursor", "scroll"};
  for (size_t i = 0; i < heard.size(); ++i) {
    EXPECT_STREQ(heard[i].what, order[i]);
    EXPECT_EQ(heard[i].window, ours);
  }
  EXPECT_EQ(heard[0].a, 640);
  EXPECT_EQ(heard[0].b, 360);
  EXPECT_EQ(heard[1].b, 38) << "the platform's scan code";
  EXPECT_EQ(heard[2].a, GLFW_MOUSE_BUTTON_RIGHT);
  EXPECT_EQ(heard[2].b, GLFW_RELEASE);
  EXPECT_EQ(heard[4].b, -1.0);
}

// A host's window is no GLFW window: its callbacks get null.
TEST_F(WindowEventsTest, AHostsWindowReportsANullWindow) {
  WindowEvents events;
  events.SetCallbacks(All());
  ReportOneOfEach(events);
  ASSERT_EQ(heard.size(), 5u);
  for (const Heard& h : heard) EXPECT_EQ(h.window, nullptr) << h.what;
}

// Where the program asks for nothing, reports go nowhere and nothing fails;
// input is wanted only where a key or button callback is set.
TEST_F(WindowEventsTest, NullCallbacksAskForNothing) {
  WindowEvents events;
  EXPECT_FALSE(events.WantsInput());
  ReportOneOfEach(events);
  EXPECT_TRUE(heard.empty());

  WindowCallbacks sizeAndMotion;
  sizeAndMotion.size = OnSize;
  sizeAndMotion.cursorPos = OnCursor;
  events.SetCallbacks(sizeAndMotion);
  EXPECT_FALSE(events.WantsInput()) << "a host keeps its keys and buttons";
  ReportOneOfEach(events);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_STREQ(heard[0].what, "size");
  EXPECT_STREQ(heard[1].what, "cursor");

  WindowCallbacks buttonOnly;
  buttonOnly.button = OnButton;
  events.SetCallbacks(buttonOnly);
  EXPECT_TRUE(events.WantsInput());
}

}  // namespace
