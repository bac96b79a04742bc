// Frames of the real scene (the program's scene set-up and frame, drawn
// offscreen through the snapshot path), checked pixel by pixel: against
// values worked out here from the scene's description, and against each
// other where a rule relates two frames.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include "tests/scene/reference_scene.h"
#include "tools/offscreen/png_io.h"
#include "tools/offscreen/texture_probe.h"
#include "tools/snapshot/scene_snapshot.h"

namespace {

using reference::Vec3;

// The grey level the ground texture is set to where a frame is compared with
// the reference, which knows materials only for a uniform texture.
constexpr unsigned char kGrey = 128;
constexpr double kGreyValue = kGrey / 255.0;

// How far a drawn byte may be from the reference's colour. The GL works in
// single precision with its own approximations of sin, exp2 and pow, and both
// sides round to a byte: a pixel may be off by one level. Nothing in the
// scene's description is finer than that except the flicker, which the
// reference works out as the GL does.
constexpr int kTolerance = 1;

int ToByte(double channel) { return static_cast<int>(std::lround(std::clamp(channel, 0.0, 1.0) * 255)); }

// Largest difference over the three colour channels.
int ChannelError(const unsigned char* pixel, Vec3 expected) {
  return std::max({std::abs(pixel[0] - ToByte(expected.x)), std::abs(pixel[1] - ToByte(expected.y)),
                   std::abs(pixel[2] - ToByte(expected.z))});
}

std::string Describe(const unsigned char* pixel, Vec3 expected) {
  return "drawn (" + std::to_string(pixel[0]) + ", " + std::to_string(pixel[1]) + ", " + std::to_string(pixel[2]) +
         "), expected (" + std::to_string(expected.x * 255) + ", " + std::to_string(expected.y * 255) + ", " +
         std::to_string(expected.z * 255) + ")";
}

// The displayed colour of a linear colour without the vignetting step.
Vec3 PostEffectsWithoutVignette(Vec3 colour, double time) {
  return reference::BlackLevel(reference::Gamma(reference::Tonemap(colour, time)));
}

// The light's flicker comes from a hash whose last step takes the fraction of
// a number in the tens of thousands. The reference works it out in single
// precision as the GL does, but one unit in the last place of that number is
// already about 0.004: a time whose hash lies that close to a wrap could
// flicker at the other end of the range on the GL, so the comparisons use
// times well clear of one.
bool HashIsStable(double time) {
  double h = reference::HashInSinglePrecision(static_cast<float>(time));
  return h > 0.02 && h < 0.98;
}

// The reference itself against values worked out by hand from the scene's
// description, so that a slip in it cannot hide the same slip in the shader.
TEST(SceneReference, AgreesWithTheValuesWorkedOutForTimeZero) {
  EXPECT_EQ(reference::Hash(0), 0.0);
  EXPECT_EQ(reference::HashInSinglePrecision(0), 0.0);
  // At small arguments single precision is still close to the exact hash.
  EXPECT_NEAR(reference::HashInSinglePrecision(1), reference::Hash(1), 0.01);

  reference::Scene scene(0, kGreyValue);
  // (1, 0.4, 0.2) at the unflickered full swing, times 0.8 since the hash is 0.
  EXPECT_NEAR(scene.lightColour().x, 0.8, 1e-12);
  EXPECT_NEAR(scene.lightColour().y, 0.32, 1e-12);
  EXPECT_NEAR(scene.lightColour().z, 0.16, 1e-12);
  // D = 14, A = 190 degrees, H = 2: ((0.4 + sin A)·D, H, cos A·D).
  EXPECT_NEAR(scene.camera().x, (0.4 - 0.173648) * 14, 1e-5);
  EXPECT_NEAR(scene.camera().y, 2.0, 1e-12);
  EXPECT_NEAR(scene.camera().z, -0.984808 * 14, 1e-5);

  // Vignetting spares the centre; full exposure maps 1 to 1/0.9 - 0.1.
  EXPECT_NEAR(reference::Vignette({1, 1, 1}, 0.5, 0.5).x, 1.0, 1e-12);
  EXPECT_NEAR(reference::BlackLevel(reference::Gamma({1, 1, 1})).x, 1.0111111, 1e-6);
  EXPECT_NEAR(reference::Tonemap({1, 1, 1}, 1.0).x, 1 - std::sqrt(0.5), 1e-12) << "exposure 0.5 at 1 s";
}

// At time 0 sin t = 0, so the sun travels along (0.45, -0.35, -0.5) / 0.758288
// and the way toward it is (-0.593442, 0.461566, 0.659380). The sky gradient
// is fogged at 300 units, keeping exp(-7.5) = 0.000553084 of it:
//   sky = (0.1 + flare·(1, 1, 0.5))·(1 - 0.000553084) + gradient·0.000553084.
TEST(SceneReference, SkyIsFogGreyAndTheSunFlareWithATraceOfTheGradient) {
  reference::Scene scene(0, kGreyValue);
  struct Case {
    Vec3 direction;
    Vec3 sky;
  };
  const Case cases[] = {
      // Straight up: flare 0.461566^4 = 0.0453875, gradient (0.2, 0.5, 0.8).
      {{0, 1, 0}, {0.1454177, 0.1455837, 0.1230684}},
      // Toward the sun: flare 1, gradient at |y| = 0.461566 is (0.2, 0.252320, 0.401559).
      {{-0.5934424, 0.4615663, 0.6593805}, {1.0995022, 1.0995312, 0.5998902}},
      // Straight down: no flare, gradient (0.2, 0.5, 0.8) again.
      {{0, -1, 0}, {0.1000553, 0.1002212, 0.1003872}},
  };
  for (const Case& c : cases) {
    Vec3 sky = scene.SkyColour(c.direction);
    EXPECT_NEAR(sky.x, c.sky.x, 2e-7) << c.direction.y;
    EXPECT_NEAR(sky.y, c.sky.y, 2e-7) << c.direction.y;
    EXPECT_NEAR(sky.z, c.sky.z, 2e-7) << c.direction.y;
  }
}

// Each test builds the scene afresh, since some of them rewrite its textures.
class ScenePixels : public testing::Test {
 protected:
  void SetUp() override {
    snapshot_ = new SceneSnapshot;
    std::string error;
    ASSERT_TRUE(snapshot_->Open(&error)) << "no offscreen context: " << error;
  }
  void TearDown() override {
    delete snapshot_;
    snapshot_ = nullptr;
  }

  static RgbaImage Frame(float time, int width, int height) {
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(snapshot_->Render(time, width, height, &image, &error)) << error;
    return image;
  }

  // A GL row counts from the bottom, a picture row from the top.
  static const unsigned char* GlPixel(const RgbaImage& image, int x, int glRow) {
    return image.At(x, image.height - 1 - glRow);
  }

  // The frame binds its textures itself; the objects it binds are found from
  // the units once it has drawn.
  static unsigned GroundTexture() {
    Frame(6, 4, 4);
    return TextureBoundOnUnit(0);
  }
  static unsigned SecondTexture() {
    Frame(6, 4, 4);
    return TextureBoundOnUnit(1);
  }
  static void MakeGroundTextureUniformGrey(unsigned char grey = kGrey) {
    ASSERT_GT(FillTextureLevels(GroundTexture(), grey, grey, grey), 0);
  }

  static SceneSnapshot* snapshot_;
};

SceneSnapshot* ScenePixels::snapshot_ = nullptr;

TEST_F(ScenePixels, AtTimeZeroEveryPixelIsBlack) {
  RgbaImage image = Frame(0, 160, 90);
  ASSERT_EQ(image.pixels.size(), 160u * 90u * 4u);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const unsigned char* p = image.At(x, y);
      ASSERT_EQ(p[0] + p[1] + p[2], 0) << "pixel " << x << ", " << y;
      ASSERT_EQ(p[3], 255) << "the shader writes alpha 1";
    }
}

// A whole frame against the CPU rendition, at times inside the fade-in, near
// the red end of the light's swing, half way and at the orange end. A darker
// grey leaves the ground some smoothness (at 128 its clamp gives 0) and
// changes the body's colour and smoothness. Silhouettes and shadow edges may fall on the other side of a pixel centre
// in single precision, so a few pixels of each kind may differ by more than
// the tolerance. A wrong formula moves most pixels of some kind of surface,
// and a shift of a single level over the whole frame shows in the mean error.
struct TimeAndGrey {
  double time;
  unsigned char grey;
};

void PrintTo(const TimeAndGrey& param, std::ostream* out) {
  *out << "time " << param.time << " s, grey " << static_cast<int>(param.grey);
}

class SceneMatchesReference : public ScenePixels, public testing::WithParamInterface<TimeAndGrey> {};

TEST_P(SceneMatchesReference, NearlyEveryPixel) {
  const double time = GetParam().time;
  const unsigned char grey = GetParam().grey;
  ASSERT_TRUE(HashIsStable(time)) << "pick a time whose flicker is well-defined";
  MakeGroundTextureUniformGrey(grey);
  constexpr int kWidth = 160, kHeight = 90;
  RgbaImage image = Frame(static_cast<float>(time), kWidth, kHeight);
  reference::Scene scene(time, grey / 255.0);

  int seen[5] = {0}, close[5] = {0};
  double errorSum = 0;
  int worst = 0;
  std::string worstPixel;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const reference::ObjectId id = scene.PrimaryObject(x, y, kWidth, kHeight);
      Vec3 expected = scene.PixelColour(x, y, kWidth, kHeight);
      const unsigned char* drawn = GlPixel(image, x, y);
      const int error = ChannelError(drawn, expected);
      errorSum += error;
      ++seen[id];
      if (error <= kTolerance) ++close[id];
      if (error > worst) {
        worst = error;
        worstPixel =
            "at " + std::to_string(x) + ", " + std::to_string(y) + " from the bottom: " + Describe(drawn, expected);
      }
    }
  // Every kind of surface takes part, so every material and light path is
  // compared, and each kind on its own: the small ones would vanish in a
  // count over the whole frame.
  const int least[5] = {1000, 4000, 3, 300, 30};
  const char* names[5] = {"sky", "ground", "stalk", "body", "carved"};
  for (int id = 0; id < 5; ++id) {
    EXPECT_GE(seen[id], least[id]) << names[id];
    const int mayDiffer = std::max(1, seen[id] / 50);
    EXPECT_GE(close[id], seen[id] - mayDiffer)
        << names[id] << ": " << close[id] << " of " << seen[id] << " close; worst " << worst << " " << worstPixel;
  }
  // Nearly all pixels agree to the byte; a small shift of all of them is a fault too.
  EXPECT_LT(errorSum / (kWidth * kHeight), 0.1) << "mean error in levels";
}

INSTANTIATE_TEST_SUITE_P(Times, SceneMatchesReference,
                         testing::Values(TimeAndGrey{1.0, kGrey}, TimeAndGrey{2.5, kGrey}, TimeAndGrey{6.0, kGrey},
                                         TimeAndGrey{9.5, kGrey}, TimeAndGrey{6.0, 64}),
                         [](const testing::TestParamInfo<TimeAndGrey>& info) {
                           const int tenths = static_cast<int>(std::lround(info.param.time * 10));
                           return "At" + std::to_string(tenths / 10) + "s" + std::to_string(tenths % 10) + "Grey" +
                                  std::to_string(info.param.grey);
                         });

// A ray that leaves through the far clip: fog grey and the sun's flare, a
// trace of the sky, the face glow (negligible this far from the face), then
// the post effects. The top-left corner looks almost into the sun, the middle
// of the top row and the pixel at (20, 70) catch part of its flare; the
// top-right corner and the pixel at (140, 75) see nearly bare fog grey, which
// vignetting and the black level take down to black and to about 28.
TEST_F(ScenePixels, RayThatMissesEverythingShowsFogAndTheSunFlare) {
  constexpr double kTime = 6.0;
  constexpr int kWidth = 160, kHeight = 90;
  RgbaImage image = Frame(static_cast<float>(kTime), kWidth, kHeight);
  reference::Scene scene(kTime, kGreyValue);
  const int pixels[][2] = {{0, kHeight - 1}, {80, kHeight - 1}, {159, kHeight - 1}, {20, 70}, {140, 75}};
  for (const auto& xy : pixels) {
    const int x = xy[0], y = xy[1];
    ASSERT_EQ(scene.PrimaryObject(x, y, kWidth, kHeight), reference::kNothing) << x << ", " << y;
    Vec3 expected = scene.PixelColour(x, y, kWidth, kHeight);
    const unsigned char* drawn = GlPixel(image, x, y);
    EXPECT_LE(ChannelError(drawn, expected), kTolerance)
        << "pixel " << x << ", " << y << ": " << Describe(drawn, expected);
  }
}

// Exposure is t/2 before 2 s: a sky pixel at 1 s shows the tone curve at
// exposure 0.5, clearly darker than at full exposure.
TEST_F(ScenePixels, FadesInAtHalfExposureAfterOneSecond) {
  constexpr double kTime = 1.0;
  ASSERT_TRUE(HashIsStable(kTime));
  constexpr int kWidth = 160, kHeight = 90;
  RgbaImage image = Frame(static_cast<float>(kTime), kWidth, kHeight);
  reference::Scene scene(kTime, kGreyValue);
  const int x = 80, y = kHeight - 1;
  ASSERT_EQ(scene.PrimaryObject(x, y, kWidth, kHeight), reference::kNothing);
  Vec3 vignetted =
      reference::Vignette(scene.LinearColour(x, y, kWidth, kHeight), (x + 0.5) / kWidth, (y + 0.5) / kHeight);
  Vec3 half = PostEffectsWithoutVignette(vignetted, kTime);
  Vec3 full = PostEffectsWithoutVignette(vignetted, 2.0);
  ASSERT_GT(ToByte(full.x) - ToByte(half.x), 20) << "the two exposures must be told apart";
  const unsigned char* drawn = GlPixel(image, x, y);
  EXPECT_LE(ChannelError(drawn, half), kTolerance) << Describe(drawn, half);
}

// Vignetting: factor 1 at the exact centre of the frame (odd sizes have a
// centre pixel), falling toward 0.05 at the corners.
TEST_F(ScenePixels, VignettingDarkensTheCornersAndSparesTheCentre) {
  constexpr double kTime = 6.0;
  constexpr int kWidth = 161, kHeight = 91;
  MakeGroundTextureUniformGrey();
  RgbaImage image = Frame(static_cast<float>(kTime), kWidth, kHeight);
  reference::Scene scene(kTime, kGreyValue);

  const int cx = kWidth / 2, cy = kHeight / 2;
  Vec3 centre = PostEffectsWithoutVignette(scene.LinearColour(cx, cy, kWidth, kHeight), kTime);
  EXPECT_LE(ChannelError(GlPixel(image, cx, cy), centre), kTolerance) << Describe(GlPixel(image, cx, cy), centre);

  const int corners[][2] = {{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}};
  for (const auto& c : corners) {
    const int x = c[0], y = c[1];
    Vec3 linear = scene.LinearColour(x, y, kWidth, kHeight);
    Vec3 plain = PostEffectsWithoutVignette(linear, kTime);
    Vec3 vignetted = reference::PostEffects(linear, (x + 0.5) / kWidth, (y + 0.5) / kHeight, kTime);
    const unsigned char* drawn = GlPixel(image, x, y);
    EXPECT_GT(ToByte(plain.x) - ToByte(vignetted.x), 15) << "corner " << x << ", " << y;
    EXPECT_LE(ChannelError(drawn, vignetted), kTolerance)
        << "corner " << x << ", " << y << ": " << Describe(drawn, vignetted);
  }
}

// Orange: the lit shell and its openings. Fog, flare and gravel are grey to
// yellowish, with green close to red.
bool IsLantern(const unsigned char* p) { return p[0] > 40 && p[1] < 0.85 * p[0] && p[2] < 0.6 * p[0]; }

// The vertical field of view is fixed; a wider frame adds rays to the sides.
// With both heights equal, the 91-pixel-wide frame's column x shoots the same
// ray as the 183-pixel-wide frame's column x + 46. The shift is even so that
// the renderer pairs the same neighbours for its texture derivatives.
TEST_F(ScenePixels, WiderFrameKeepsTheVerticalViewAndSeesMoreToTheSides) {
  constexpr float kTime = 6.0f;
  constexpr int kHeight = 91, kNarrow = 91, kWide = 183, kShift = (kWide - kNarrow) / 2;
  RgbaImage narrow = Frame(kTime, kNarrow, kHeight);
  RgbaImage wide = Frame(kTime, kWide, kHeight);

  // The centre columns: the same rays, the same vignetting, the same bytes.
  for (int y = 0; y < kHeight; ++y)
    for (int c = 0; c < 3; ++c)
      ASSERT_EQ(narrow.At(kNarrow / 2, y)[c], wide.At(kWide / 2, y)[c]) << "row " << y << " channel " << c;

  // Elsewhere only the vignetting differs, so the lantern covers the same
  // pixels, shifted; outside the narrow frame's rays there is no lantern.
  int lantern = 0, agree = 0, compared = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kNarrow; ++x) {
      bool inNarrow = IsLantern(narrow.At(x, y));
      lantern += inNarrow;
      agree += inNarrow == IsLantern(wide.At(x + kShift, y));
      ++compared;
    }
    for (int x = 0; x < kShift; ++x) {
      EXPECT_FALSE(IsLantern(wide.At(x, y))) << x << ", " << y;
      EXPECT_FALSE(IsLantern(wide.At(kWide - 1 - x, y))) << kWide - 1 - x << ", " << y;
    }
  }
  EXPECT_GT(lantern, 300) << "the lantern is in view";
  EXPECT_GE(agree, compared * 98 / 100);
}

// Both samplers read unit 0: the texture on unit 1 is bound every frame and
// never sampled, while the one on unit 0 patterns the ground and the body.
TEST_F(ScenePixels, OnlyTheTextureOnUnitZeroShowsInThePicture) {
  constexpr float kTime = 6.0f;
  constexpr int kWidth = 160, kHeight = 90;
  const unsigned second = SecondTexture();
  const unsigned ground = GroundTexture();
  ASSERT_NE(second, 0u);
  ASSERT_NE(second, ground);
  RgbaImage before = Frame(kTime, kWidth, kHeight);

  ASSERT_GT(SpeckleTextureLevels(second, 1), 0);
  RgbaImage unitOneChanged = Frame(kTime, kWidth, kHeight);
  EXPECT_EQ(unitOneChanged.pixels, before.pixels);

  ASSERT_GT(SpeckleTextureLevels(ground, 2), 0);
  RgbaImage unitZeroChanged = Frame(kTime, kWidth, kHeight);
  reference::Scene scene(kTime, kGreyValue);
  int groundChanged = 0, bodyChanged = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const unsigned char* a = GlPixel(before, x, y);
      const unsigned char* b = GlPixel(unitZeroChanged, x, y);
      bool changed = a[0] != b[0] || a[1] != b[1] || a[2] != b[2];
      reference::ObjectId id = scene.PrimaryObject(x, y, kWidth, kHeight);
      if (id == reference::kGround) groundChanged += changed;
      if (id == reference::kBody) bodyChanged += changed;
    }
  EXPECT_GT(groundChanged, 1000);
  EXPECT_GT(bodyChanged, 100);
}

// A file of its own for each run, so that runs side by side do not share it,
// removed however the test ends.
class ScratchFile {
 public:
  ScratchFile() {
    std::string pattern = testing::TempDir() + "gloamery-snapshot-XXXXXX";
    const int fd = mkstemp(&pattern[0]);
    if (fd >= 0) {
      close(fd);
      path_ = pattern;
    }
  }
  ~ScratchFile() {
    if (!path_.empty()) std::remove(path_.c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The command-line tool writes the very frame this path renders, top row first.
TEST_F(ScenePixels, SnapshotToolWritesTheSameFrameAsAPng) {
  ScratchFile file;
  ASSERT_FALSE(file.path().empty()) << "no scratch file in " << testing::TempDir();
  const std::string command =
      std::string(GLOAMERY_SNAPSHOT_TOOL) + " --time 6 --size 96x54 --out '" + file.path() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  RgbaImage written;
  std::string error;
  ASSERT_TRUE(ReadPng(file.path(), &written, &error)) << error;
  RgbaImage rendered = Frame(6.0f, 96, 54);
  EXPECT_EQ(written.width, 96);
  EXPECT_EQ(written.height, 54);
  EXPECT_EQ(written.pixels, rendered.pixels);
}

}  // namespace
