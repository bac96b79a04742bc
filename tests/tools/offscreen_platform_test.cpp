#include "tools/offscreen/offscreen_platform.h"

#include <gtest/gtest.h>

#include "platform/extension_list.h"

namespace {

// Client extension lists as real drivers report them, shortened.
const char kMesa[] =
    "EGL_EXT_device_base EGL_EXT_device_enumeration EGL_EXT_device_query EGL_EXT_platform_base "
    "EGL_KHR_client_get_all_proc_addresses EGL_EXT_client_extensions EGL_KHR_debug EGL_EXT_platform_device "
    "EGL_EXT_platform_x11 EGL_MESA_platform_gbm EGL_MESA_platform_surfaceless";
const char kNvidia[] =
    "EGL_EXT_platform_base EGL_EXT_device_base EGL_EXT_device_enumeration EGL_EXT_device_query "
    "EGL_KHR_client_get_all_proc_addresses EGL_EXT_client_extensions EGL_KHR_debug EGL_KHR_platform_x11 "
    "EGL_EXT_platform_x11 EGL_EXT_platform_device EGL_KHR_platform_wayland EGL_EXT_platform_wayland";

TEST(OffscreenPlatform, SurfacelessWhereOfferedElseTheFirstDevice) {
  EXPECT_EQ(ChooseOffscreenPlatform(kMesa), OffscreenPlatform::Surfaceless);
  EXPECT_EQ(ChooseOffscreenPlatform(kNvidia), OffscreenPlatform::Device);
  // Enumeration under its older combined name is enough.
  EXPECT_EQ(ChooseOffscreenPlatform("EGL_EXT_platform_base EGL_EXT_device_base EGL_EXT_platform_device"),
            OffscreenPlatform::Device);
}

TEST(OffscreenPlatform, NoneWithoutTheExtensionsEachPathNeeds) {
  EXPECT_EQ(ChooseOffscreenPlatform(""), OffscreenPlatform::None);
  // Neither platform can be reached without eglGetPlatformDisplayEXT.
  EXPECT_EQ(ChooseOffscreenPlatform("EGL_MESA_platform_surfaceless EGL_EXT_device_enumeration EGL_EXT_platform_device"),
            OffscreenPlatform::None);
  // Devices that cannot be listed, or listed but not opened as displays.
  EXPECT_EQ(ChooseOffscreenPlatform("EGL_EXT_platform_base EGL_EXT_platform_device"), OffscreenPlatform::None);
  EXPECT_EQ(ChooseOffscreenPlatform("EGL_EXT_platform_base EGL_EXT_device_enumeration EGL_EXT_device_query"),
            OffscreenPlatform::None);
}

TEST(OffscreenPlatform, ExtensionNamesMatchWholeWordsOnly) {
  EXPECT_TRUE(ListsExtension("EGL_A  EGL_B\tEGL_C", "EGL_B"));
  EXPECT_TRUE(ListsExtension("EGL_A EGL_B", "EGL_A"));
  EXPECT_FALSE(ListsExtension("EGL_EXT_platform_device_x", "EGL_EXT_platform_device"));
  EXPECT_FALSE(ListsExtension("EGL_EXT_platform_devic", "EGL_EXT_platform_device"));
  EXPECT_FALSE(ListsExtension("", "EGL_A"));
  EXPECT_EQ(ChooseOffscreenPlatform("EGL_EXT_platform_base EGL_MESA_platform_surfaceless_not"),
            OffscreenPlatform::None);
}

}  // namespace
