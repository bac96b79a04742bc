#pragma once

// A second rendition of the lantern scene on the CPU, in double precision,
// worked out from the scene's written description alone and never from the
// shader, for checking the pictures the GL draws. It assumes a unit-0 texture
// of one uniform grey level, so that every material is known in closed form
// and the ground's bump is flat.

namespace reference {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

enum ObjectId { kNothing = 0, kGround = 1, kStalk = 2, kBody = 3, kCarved = 4 };

double Hash(double p);
// The same worked out in single precision, as the GL does for the light's
// flicker. The last step takes the fraction of a number in the tens of
// thousands, where the rounding of the earlier steps already moves the result
// by tenths at times of a few seconds: the flicker only matches when it is
// worked out the same way. (x86-64 without FMA contraction rounds each step.)
double HashInSinglePrecision(float p);
double FaceDistance2d(double x, double y);

// Post effects on a linear colour at pixel coordinate (u, v) in [0,1]; each
// step on its own, and all of them in order.
Vec3 Vignette(Vec3 colour, double u, double v);
Vec3 Tonemap(Vec3 colour, double time);
Vec3 Gamma(Vec3 colour);
Vec3 BlackLevel(Vec3 colour);
Vec3 PostEffects(Vec3 colour, double u, double v, double time);

class Scene {
 public:
  // grey: the texture's value in [0,1] on all three channels.
  Scene(double time, double grey);

  Vec3 camera() const { return camera_; }
  Vec3 lightColour() const { return lightColour_; }
  Vec3 sunDirection() const { return sunDirection_; }

  // For the pixel in column x and row y counted from the bottom, as the GL
  // counts them, of a width by height frame.
  Vec3 RayDirection(int x, int y, int width, int height) const;
  ObjectId PrimaryObject(int x, int y, int width, int height) const;
  Vec3 LinearColour(int x, int y, int width, int height) const;  // before post effects
  Vec3 PixelColour(int x, int y, int width, int height) const;   // displayed, 0 to 1 per channel

  // The pieces of a primary ray's colour that do not depend on a hit.
  Vec3 SkyColour(Vec3 direction) const;
  Vec3 FaceGlow(Vec3 origin, Vec3 direction) const;

 private:
  struct Sample {
    double distance;
    ObjectId id;
    Vec3 uvw;
  };
  struct Hit {
    Vec3 position;
    double distance;
    Vec3 normal;
    Vec3 uvw;
    ObjectId id;
  };
  struct Material {
    Vec3 albedo;
    double smoothness;
    Vec3 r0;
    Vec3 normal;
  };
  struct Light {
    Vec3 diffuse;
    Vec3 specular;
  };

  Sample SceneDistance(Vec3 p) const;
  Vec3 Normal(Vec3 p) const;
  Hit March(Vec3 origin, Vec3 direction) const;
  double Shadow(Vec3 origin, Vec3 direction, double limit) const;
  Material Surface(const Hit& hit) const;
  double AddSun(const Hit& hit, const Material& material, Vec3 view, Light* light) const;
  void AddLamp(const Hit& hit, const Material& material, Vec3 view, Light* light) const;
  Vec3 Transmission(Vec3 position) const;
  Vec3 WrapGlow(Vec3 position, Vec3 normal) const;
  Vec3 Fog(Vec3 colour, double distance, Vec3 direction) const;
  Vec3 RayColour(Vec3 origin, Vec3 direction) const;

  double time_;
  double grey_;
  Vec3 lightColour_;
  Vec3 sunDirection_;
  Vec3 camera_;
};

}  // namespace reference
