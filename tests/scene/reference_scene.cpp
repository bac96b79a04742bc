#include "tests/scene/reference_scene.h"

#include <algorithm>
#include <cmath>

namespace reference {

namespace {

constexpr int kMarchSteps = 64;
constexpr double kMarchStart = 0.01;
constexpr double kHitDistance = 0.001;
constexpr double kFarClip = 300.0;
constexpr double kNormalStep = 0.001;
constexpr double kShadowOffset = 0.01;
constexpr double kSunShadowReach = 10.0;
constexpr double kFogDensity = 0.025;
constexpr double kFaceGlowPlane = -2.8;

const Vec3 kLightPosition{0, -0.5, 0};
const Vec3 kCameraTarget{0, -0.5, 0};
const Vec3 kSunColour{1.0, 1.0, 0.5};
const Vec3 kFogGrey{0.1, 0.1, 0.1};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
Vec3 operator*(double s, Vec3 a) { return a * s; }
Vec3 operator*(Vec3 a, Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
Vec3& operator+=(Vec3& a, Vec3 b) { return a = a + b; }

Vec3 Uniform(double v) { return {v, v, v}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) { return a * (1.0 / Length(a)); }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 Reflect(Vec3 d, Vec3 n) { return d - 2.0 * Dot(n, d) * n; }
double Clamp(double v, double low, double high) { return std::min(std::max(v, low), high); }
double Fract(double v) { return v - std::floor(v); }
double Mix(double a, double b, double f) { return a * (1 - f) + b * f; }
Vec3 Mix(Vec3 a, Vec3 b, double f) { return a * (1 - f) + b * f; }
Vec3 Mix(Vec3 a, Vec3 b, Vec3 f) { return {Mix(a.x, b.x, f.x), Mix(a.y, b.y, f.y), Mix(a.z, b.z, f.z)}; }
Vec3 PerChannel(Vec3 c, double (*f)(double)) { return {f(c.x), f(c.y), f(c.z)}; }

double Radians(double degrees) { return degrees * 3.14159265358979323846 / 180.0; }

// The cut-away volume: the hollow inside, the face openings through the front
// half, and the conical slit of the lid. Negative inside what is removed.
double CarvedAwayDistance(Vec3 p) {
  const double hollow = (Length({p.x, 1.4 * p.y, p.z}) - 2.7) / 1.5;
  const double openings = std::max(FaceDistance2d(p.x, p.y), p.z);
  const double lidSlit = std::abs(0.554700 * std::hypot(p.x, p.z) - 0.832050 * p.y) - 0.03;
  return std::min({hollow, openings, lidSlit});
}

// The ribbed, flattened body; a plain sphere away from it, where the ribs
// cannot matter.
double BodyDistance(Vec3 p) {
  if (Length(p) > 3.5) return Length(p) - 3.0;
  const double ridge = 1.0 - std::sqrt(std::abs(std::sin(10.0 * std::atan2(p.x, p.z))));
  Vec3 o{p.x * (1 + 0.05 * ridge), p.y * (1 + 0.025 * ridge), p.z * (1 + 0.05 * ridge)};
  o.y *= 1 + 0.5 * (3.0 - std::hypot(o.x, o.z)) / 3.0;
  return Length(o) - 3.0;
}

// A leaning cylinder of radius 0.2 from the centre plane up to a slanted top.
double StalkDistance(Vec3 p) {
  const double axisOffset = p.x - 0.1 * (p.y - 3.0);
  double d = std::hypot(axisOffset, p.z) - 0.2;
  d = std::max(d, p.y - 2.5 + 0.25 * p.x);
  return std::max(d, -p.y);
}

}  // namespace

double Hash(double p) {
  double a = Fract(5.3983 * p);
  double b = Fract(5.4427 * p);
  const double s = b * (a + 21.5351) + a * (b + 14.3137);
  a += s;
  b += s;
  return Fract(a * b * 95.4337);
}

double HashInSinglePrecision(float p) {
  float a = 5.3983f * p;
  a -= std::floor(a);
  float b = 5.4427f * p;
  b -= std::floor(b);
  const float s = b * (a + 21.5351f) + a * (b + 14.3137f);
  a += s;
  b += s;
  const float scaled = a * b * 95.4337f;
  return scaled - std::floor(scaled);
}

double FaceDistance2d(double x, double y) {
  const double mouth = std::max(std::hypot(x, y - 0.5) - 1.5, -(std::hypot(x, y - 1.6) - 2.1));
  const double nx = std::abs(x), ny = y - 0.6;
  const double nose = std::max(0.894427 * nx + 0.447214 * ny, -(ny + 0.5));
  const double ex = std::abs(x) - 1.0, ey = y - 1.0;
  const double eye = std::max({-0.554700 * ex + 0.832050 * ey, 0.894427 * ex + 0.447214 * ey, -0.5 - ey});
  return std::min({mouth, nose, eye});
}

Vec3 Vignette(Vec3 colour, double u, double v) {
  const double ku = (u - 0.5) * std::sqrt(2.0), kv = (v - 0.5) * std::sqrt(2.0);
  const double r = ku * ku + kv * kv;
  return colour * (0.05 + 0.95 * std::pow(1.0 - r, 1.5));
}

Vec3 Tonemap(Vec3 colour, double time) {
  const double exposure = time < 2.0 ? time / 2.0 : 1.0;
  return {1 - std::exp2(-exposure * colour.x), 1 - std::exp2(-exposure * colour.y),
          1 - std::exp2(-exposure * colour.z)};
}

Vec3 Gamma(Vec3 colour) {
  return PerChannel(colour, [](double c) { return std::pow(c, 1.0 / 2.2); });
}

Vec3 BlackLevel(Vec3 colour) {
  return PerChannel(colour, [](double c) { return c / 0.9 - 0.1; });
}

Vec3 PostEffects(Vec3 colour, double u, double v, double time) {
  return BlackLevel(Gamma(Tonemap(Vignette(colour, u, v), time)));
}

Scene::Scene(double time, double grey) : time_(time), grey_(grey) {
  const double swing = std::sin(0.5 * time);
  const Vec3 light{1.0, 0.8 - (0.4 + 0.4 * swing), 0.4 - (0.2 + 0.2 * swing)};
  lightColour_ = light * (0.8 + 0.2 * HashInSinglePrecision(static_cast<float>(time)));

  const double s = std::sin(time);
  sunDirection_ = Normalize({0.45 + 0.05 * s, -0.35 - 0.05 * s, -0.5});

  const double distance = 14.0 + std::sin(time);
  const double angle = Radians(190.0) + 0.2 * std::sin(0.25 * time);
  const double height = 2.0 + 1.5 * std::sin(0.1567 * time);
  camera_ = {(0.4 + std::sin(angle)) * distance, height, std::cos(angle) * distance};
}

Vec3 Scene::RayDirection(int x, int y, int width, int height) const {
  const double u = (x + 0.5) / width, v = (y + 0.5) / height;
  const double wx = (2 * u - 1) * width / height, wy = 2 * v - 1;
  const Vec3 forward = Normalize(kCameraTarget - camera_);
  const Vec3 right = Normalize(Cross({0, 1, 0}, forward));
  const Vec3 up = Normalize(Cross(forward, right));
  return Normalize(wx * right + wy * up + 1.5 * forward);
}

Scene::Sample Scene::SceneDistance(Vec3 p) const {
  const Sample ground{p.y + 2.0, kGround, {p.x, p.z, 0}};
  const Vec3 fromCentre = Normalize(p);
  Sample gourd{BodyDistance(p), kBody, fromCentre};
  const double stalk = StalkDistance(p);
  if (stalk < gourd.distance) gourd = {stalk, kStalk, fromCentre};
  const double carved = CarvedAwayDistance(p);
  if (-carved > gourd.distance) gourd = {-carved, kCarved, {4, 4, 4}};
  return gourd.distance < ground.distance ? gourd : ground;
}

Vec3 Scene::Normal(Vec3 p) const {
  const Vec3 corners[4] = {{1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {1, 1, 1}};
  Vec3 sum;
  for (const Vec3& k : corners) sum += k * SceneDistance(p + kNormalStep * k).distance;
  return Normalize(sum);
}

Scene::Hit Scene::March(Vec3 origin, Vec3 direction) const {
  double t = kMarchStart;
  Vec3 position;
  Sample sample{0, kNothing, {}};
  for (int step = 0; step < kMarchSteps; ++step) {
    position = origin + t * direction;
    sample = SceneDistance(position);
    t += sample.distance;
    if (std::abs(sample.distance) < kHitDistance) break;
    if (t > kFarClip) {
      t = kFarClip;
      position = origin + kFarClip * direction;
      sample.id = kNothing;
      sample.uvw = {};
      break;
    }
  }
  return {position, t, Normal(position), sample.uvw, sample.id};
}

double Scene::Shadow(Vec3 origin, Vec3 direction, double limit) const {
  return March(origin, direction).distance < limit ? 0.0 : 1.0;
}

Scene::Material Scene::Surface(const Hit& hit) const {
  switch (hit.id) {
    case kGround: {
      // The bump compares neighbouring texels, all equal here: no tilt.
      const Vec3 albedo = Uniform(grey_ * grey_);
      return {albedo, Clamp(0.8 - 4.0 * albedo.x, 0, 1), Uniform(0.01 * albedo.y), hit.normal};
    }
    case kStalk: return {{0.5, 0.5, 0.2}, 0.4, Uniform(0.05), hit.normal};
    case kBody:
      return {Mix(Vec3{1.0, 0.5, 0.0}, Vec3{0.5, 0.06, 0.0}, 0.5 * grey_), Clamp(1 - 2 * grey_ * grey_, 0, 1),
              Uniform(0.05), hit.normal};
    case kCarved: return {{1.0, 0.824, 0.301}, 0.4, Uniform(0.05), hit.normal};
    case kNothing: break;
  }
  return {{}, 0, {}, hit.normal};
}

namespace {

// GGX distribution with a Schlick-style visibility; Fresnel comes later.
void AddLighting(Vec3 view, Vec3 toLight, Vec3 normal, double smoothness, Vec3 colour, Vec3* diffuse, Vec3* specular) {
  const Vec3 halfway = Normalize(toLight - view);
  const double nl = Clamp(Dot(toLight, normal), 0, 1);
  const double nv = Clamp(Dot(-view, normal), 0, 1);
  const double nh = Clamp(Dot(normal, halfway), 0, 1);
  const double alpha = (1 - smoothness) * (1 - smoothness);
  const double alpha2 = alpha * alpha;
  const double q = nh * nh * (alpha2 - 1) + 1;
  const double distribution = alpha2 / (3.14159 * q * q);
  const double k = alpha / 2;
  auto visibilityTerm = [k](double x) { return 1.0 / ((x + 0.0001) * (1 - k) + k); };
  const double visibility = visibilityTerm(nl) * visibilityTerm(nv);
  *specular += colour * (distribution * visibility * nl);
  *diffuse += colour * nl;
}

}  // namespace

double Scene::AddSun(const Hit& hit, const Material& material, Vec3 view, Light* light) const {
  const Vec3 toSun = -sunDirection_;
  const double shadow = Shadow(hit.position + kShadowOffset * toSun, toSun, kSunShadowReach);
  AddLighting(view, toSun, material.normal, material.smoothness, kSunColour * shadow, &light->diffuse,
              &light->specular);
  return shadow;
}

void Scene::AddLamp(const Hit& hit, const Material& material, Vec3 view, Light* light) const {
  const Vec3 toLamp = kLightPosition - hit.position;
  const double attenuation = 100.0 / Dot(toLamp, toLamp);
  const Vec3 direction = Normalize(toLamp);
  const double shadow = Shadow(hit.position + kShadowOffset * direction, direction, Length(toLamp));
  AddLighting(view, direction, material.normal, material.smoothness, lightColour_ * (shadow * attenuation),
              &light->diffuse, &light->specular);
}

// Light through the shell: the thickness of material between the lamp and
// the point, found by marching out from the lamp.
Vec3 Scene::Transmission(Vec3 position) const {
  const Vec3 outward = position - kLightPosition;
  const double reached = March(kLightPosition, Normalize(outward)).distance;
  const double depth = std::max(0.00001, Length(outward) - reached);
  return lightColour_ * std::exp2(-8.0 * depth);
}

Vec3 Scene::WrapGlow(Vec3 position, Vec3 normal) const {
  const Vec3 toLamp = kLightPosition - position;
  const double falloff = std::max(0.0, 1.0 - Length(toLamp) / 5.0);
  return lightColour_ * (falloff * (0.5 * Dot(Normalize(toLamp), normal) + 0.5));
}

Vec3 Scene::Fog(Vec3 colour, double distance, Vec3 direction) const {
  const double factor = std::exp(-kFogDensity * distance);
  const double flare = std::pow(Clamp(Dot(-sunDirection_, direction), 0, 1), 4);
  return Mix(kFogGrey + kSunColour * flare, colour, factor);
}

Vec3 Scene::SkyColour(Vec3 direction) const {
  const Vec3 gradient = Mix(Vec3{0.2, 0.04, 0.06}, Vec3{0.2, 0.5, 0.8}, std::abs(direction.y));
  return Fog(gradient, kFarClip, direction);
}

Vec3 Scene::FaceGlow(Vec3 origin, Vec3 direction) const {
  const double s = -(origin.z - kFaceGlowPlane) / direction.z;
  if (!(s > 0)) return {};
  const Vec3 q = origin + s * direction;
  const double e = std::abs(FaceDistance2d(q.x, q.y));
  const double facing = std::max(0.0, direction.z);
  return lightColour_ * (std::exp2(-10.0 * e) * facing * facing * 0.25);
}

Vec3 Scene::RayColour(Vec3 origin, Vec3 direction) const {
  Vec3 colour;
  Vec3 remaining = Uniform(1);
  double lastShadow = 1;
  Vec3 onward = direction;
  const Hit hit = March(origin, direction);
  if (hit.id != kNothing) {
    const Material material = Surface(hit);
    Light light;
    lastShadow = AddSun(hit, material, direction, &light);
    AddLamp(hit, material, direction, &light);
    light.diffuse += hit.id >= kBody ? Transmission(hit.position) : WrapGlow(hit.position, material.normal);

    const double g = Clamp(Dot(material.normal, -direction), 0.25, 1);
    const double grazing = std::pow(1 - g, 5) * (0.2 * material.smoothness + 0.1);
    const Vec3 fresnel = material.r0 + (Uniform(1) - material.r0) * grazing;
    colour += Fog(Mix(material.albedo * light.diffuse, light.specular, fresnel), hit.distance, direction);
    remaining = fresnel;
    onward = Normalize(Reflect(direction, material.normal));
  }
  colour += SkyColour(onward) * lastShadow * remaining;
  colour += FaceGlow(origin, direction);
  return colour;
}

ObjectId Scene::PrimaryObject(int x, int y, int width, int height) const {
  return March(camera_, RayDirection(x, y, width, height)).id;
}

Vec3 Scene::LinearColour(int x, int y, int width, int height) const {
  return RayColour(camera_, RayDirection(x, y, width, height));
}

Vec3 Scene::PixelColour(int x, int y, int width, int height) const {
  const Vec3 shown = PostEffects(LinearColour(x, y, width, height), (x + 0.5) / width, (y + 0.5) / height, time_);
  return PerChannel(shown, [](double c) { return Clamp(c, 0, 1); });
}

}  // namespace reference
