#include "tests/scene/reference_scene.h"

#include <algorithm>
#include <cmath>

namespace reference {
namespace {

constexpr double kPi = 3.14159265358979323846;

Vec3 V(double x, double y, double z) { return Vec3{x, y, z}; }
Vec3 Splat(double s) { return Vec3{s, s, s}; }
Vec3 operator+(Vec3 a, Vec3 b) { return V(a.x + b.x, a.y + b.y, a.z + b.z); }
Vec3 operator-(Vec3 a, Vec3 b) { return V(a.x - b.x, a.y - b.y, a.z - b.z); }
Vec3 operator-(Vec3 a) { return V(-a.x, -a.y, -a.z); }
Vec3 operator*(Vec3 a, Vec3 b) { return V(a.x * b.x, a.y * b.y, a.z * b.z); }
Vec3 operator*(Vec3 a, double s) { return V(a.x * s, a.y * s, a.z * s); }
Vec3 operator*(double s, Vec3 a) { return a * s; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) { return a * (1.0 / Length(a)); }
Vec3 Cross(Vec3 a, Vec3 b) { return V(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x); }
Vec3 Reflect(Vec3 d, Vec3 n) { return d - 2.0 * Dot(n, d) * n; }
Vec3 Mix(Vec3 a, Vec3 b, Vec3 f) { return a * (Splat(1) - f) + b * f; }
Vec3 Mix(Vec3 a, Vec3 b, double f) { return Mix(a, b, Splat(f)); }
double Clamp(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }
double Fract(double v) { return v - std::floor(v); }
Vec3 Map(Vec3 a, double (*f)(double)) { return V(f(a.x), f(a.y), f(a.z)); }

const Vec3 kLightPosition = V(0, -0.5, 0);
const Vec3 kTarget = V(0, -0.5, 0);
const Vec3 kSunColour = V(1.0, 1.0, 0.5);

// The volume cut out of the shell: hollow, face openings, lid slit.
double CarvingDistance(Vec3 p) {
  double hollow = (Length(V(p.x, 1.4 * p.y, p.z)) - 2.7) / 1.5;
  double face = std::max(FaceDistance2d(p.x, p.y), p.z);
  double cut = std::min(hollow, face);
  double r = std::hypot(p.x, p.z);
  double lid = std::fabs(0.554700 * r - 0.832050 * p.y) - 0.03;
  return std::min(cut, lid);
}

double BodyDistance(Vec3 p) {
  Vec3 o = p;
  if (Length(o) > 3.5) return Length(o) - 3.0;
  double angle = std::atan2(o.x, o.z);
  double s = 1.0 - std::sqrt(std::fabs(std::sin(10.0 * angle)));
  o.x *= 1.0 + 0.05 * s;
  o.y *= 1.0 + 0.025 * s;
  o.z *= 1.0 + 0.05 * s;
  o.y *= 1.0 + 0.5 * (3.0 - std::hypot(o.x, o.z)) / 3.0;
  return Length(o) - 3.0;
}

double StalkDistance(Vec3 p) {
  double qx = p.x - 0.1 * (p.y - 3.0);
  double k = std::hypot(qx, p.z) - 0.2;
  k = std::max(k, p.y - 2.5 + 0.25 * p.x);
  return std::max(k, -p.y);
}

// GGX with the Schlick-style visibility, as one light adds it.
void AddLighting(Vec3 d, Vec3 l, Vec3 n, double smoothness, Vec3 colour, Vec3* diffuse, Vec3* specular) {
  Vec3 h = Normalize(l - d);
  double nl = Clamp(Dot(l, n), 0, 1);
  double nv = Clamp(Dot(-d, n), 0, 1);
  double nh = Clamp(Dot(n, h), 0, 1);
  double alpha = (1 - smoothness) * (1 - smoothness);
  double alpha2 = alpha * alpha;
  double q = nh * nh * (alpha2 - 1) + 1;
  double distribution = alpha2 / (3.14159 * q * q);
  double k = alpha / 2;
  auto giv = [k](double x) { return 1.0 / ((x + 0.0001) * (1 - k) + k); };
  double visibility = giv(nl) * giv(nv);
  *specular = *specular + colour * (distribution * visibility * nl);
  *diffuse = *diffuse + colour * nl;
}

struct Material {
  Vec3 albedo;
  double smoothness;
  Vec3 r0;
};

}  // namespace

double Hash(double p) {
  double a = Fract(5.3983 * p);
  double b = Fract(5.4427 * p);
  double s = b * (a + 21.5351) + a * (b + 14.3137);
  a += s;
  b += s;
  return Fract(a * b * 95.4337);
}

double FaceDistance2d(double x, double y) {
  double mouth = std::max(std::hypot(x, y - 0.5) - 1.5, -(std::hypot(x, y - 1.6) - 2.1));
  double nx = std::fabs(x), ny = y - 0.6;
  double nose = std::max(0.894427 * nx + 0.447214 * ny, -(ny + 0.5));
  double ex = std::fabs(x) - 1, ey = y - 1;
  double eye = std::max({-0.554700 * ex + 0.832050 * ey, 0.894427 * ex + 0.447214 * ey, -0.5 - ey});
  return std::min({mouth, nose, eye});
}

Vec3 Vignette(Vec3 colour, double u, double v) {
  double kx = (u - 0.5) * std::sqrt(2.0), ky = (v - 0.5) * std::sqrt(2.0);
  double r = kx * kx + ky * ky;
  return colour * (0.05 + 0.95 * std::pow(1 - r, 1.5));
}

Vec3 Tonemap(Vec3 colour, double time) {
  double exposure = time < 2 ? time / 2 : 1;
  return V(1 - std::exp2(-exposure * colour.x), 1 - std::exp2(-exposure * colour.y),
           1 - std::exp2(-exposure * colour.z));
}

Vec3 Gamma(Vec3 colour) {
  return Map(colour, [](double c) { return std::pow(c, 1 / 2.2); });
}

Vec3 BlackLevel(Vec3 colour) {
  return Map(colour, [](double c) { return c / 0.9 - 0.1; });
}

Vec3 PostEffects(Vec3 colour, double u, double v, double time) {
  return BlackLevel(Gamma(Tonemap(Vignette(colour, u, v), time)));
}

Scene::Scene(double time, double grey) : time_(time), grey_(grey) {
  double swing = std::sin(0.5 * time);
  lightColour_ = V(1.0, 0.4 - 0.4 * swing, 0.2 - 0.2 * swing) * (0.8 + 0.2 * Hash(time));
  sunDirection_ = Normalize(V(0.45 + 0.05 * std::sin(time), -0.35 - 0.05 * std::sin(time), -0.5));
  double distance = 14 + std::sin(time);
  double angle = 190.0 * kPi / 180.0 + 0.2 * std::sin(0.25 * time);
  double height = 2 + 1.5 * std::sin(0.1567 * time);
  camera_ = V((0.4 + std::sin(angle)) * distance, height, std::cos(angle) * distance);
}

Vec3 Scene::RayDirection(int x, int y, int width, int height) const {
  double u = (x + 0.5) / width, v = (y + 0.5) / height;
  double wx = (2 * u - 1) * width / height, wy = 2 * v - 1;
  Vec3 forward = Normalize(kTarget - camera_);
  Vec3 right = Normalize(Cross(V(0, 1, 0), forward));
  Vec3 up = Normalize(Cross(forward, right));
  return Normalize(wx * right + wy * up + 1.5 * forward);
}

Scene::Sample Scene::SceneDistance(Vec3 p) const {
  Sample ground{p.y + 2, kGround, V(p.x, p.z, 0)};
  double body = BodyDistance(p);
  double stalk = StalkDistance(p);
  Sample gourd = stalk < body ? Sample{stalk, kStalk, Normalize(p)} : Sample{body, kBody, Normalize(p)};
  double carving = CarvingDistance(p);
  if (-carving > gourd.distance) gourd = Sample{-carving, kCarved, Splat(4)};
  return gourd.distance < ground.distance ? gourd : ground;
}

Vec3 Scene::Normal(Vec3 p) const {
  const Vec3 k[4] = {V(1, -1, -1), V(-1, -1, 1), V(-1, 1, -1), V(1, 1, 1)};
  Vec3 sum;
  for (const Vec3& ki : k) sum = sum + ki * SceneDistance(p + 0.001 * ki).distance;
  return Normalize(sum);
}

Scene::Hit Scene::March(Vec3 origin, Vec3 direction) const {
  double t = 0.01;
  Vec3 position = origin;
  ObjectId id = kNothing;
  Vec3 uvw;
  for (int step = 0; step < 64; ++step) {
    position = origin + direction * t;
    Sample s = SceneDistance(position);
    id = s.id;
    uvw = s.uvw;
    t += s.distance;
    if (std::fabs(s.distance) < 0.001) break;
    if (t > 300) {
      t = 300;
      position = origin + direction * 300.0;
      id = kNothing;
      uvw = Vec3{};
      break;
    }
  }
  return Hit{position, t, Normal(position), uvw, id};
}

double Scene::Shadow(Vec3 origin, Vec3 direction, double limit) const {
  return March(origin, direction).distance < limit ? 0.0 : 1.0;
}

Vec3 Scene::Fog(Vec3 colour, double distance, Vec3 direction) const {
  double flare = std::pow(Clamp(Dot(-sunDirection_, direction), 0, 1), 4);
  Vec3 fogColour = Splat(0.1) + kSunColour * flare;
  return Mix(fogColour, colour, std::exp(-0.025 * distance));
}

Vec3 Scene::SkyColour(Vec3 direction) const {
  return Fog(Mix(V(0.2, 0.04, 0.06), V(0.2, 0.5, 0.8), std::fabs(direction.y)), 300, direction);
}

Vec3 Scene::FaceGlow(Vec3 o, Vec3 d) const {
  double s = -(o.z + 2.8) / d.z;
  if (!(s > 0)) return Vec3{};
  Vec3 q = o + s * d;
  double e = std::fabs(FaceDistance2d(q.x, q.y));
  double facing = std::max(0.0, d.z);
  return lightColour_ * (std::exp2(-10 * e) * facing * facing * 0.25);
}

Vec3 Scene::RayColour(Vec3 origin, Vec3 direction) const {
  Vec3 colour;
  Vec3 remaining = Splat(1);
  double lastShadow = 1;
  Vec3 d = direction;
  Hit hit = March(origin, d);
  if (hit.id != kNothing) {
    Material m;
    Vec3 n = hit.normal;
    const double g = grey_;
    switch (hit.id) {
      case kGround: {
        // A uniform texture: no height differences, so no bump.
        Vec3 albedo = Splat(g * g);
        m = Material{albedo, Clamp(0.8 - 4 * albedo.x, 0, 1), Splat(0.01 * albedo.y)};
        n = Normalize(n);
        break;
      }
      case kStalk: m = Material{V(0.5, 0.5, 0.2), 0.4, Splat(0.05)}; break;
      case kBody:
        m = Material{Mix(V(1.0, 0.5, 0.0), V(0.5, 0.06, 0.0), 0.5 * g), Clamp(1 - 2 * g * g, 0, 1), Splat(0.05)};
        break;
      default: m = Material{V(1.0, 0.824, 0.301), 0.4, Splat(0.05)}; break;
    }
    Vec3 diffuse, specular;

    Vec3 toSun = -sunDirection_;
    lastShadow = Shadow(hit.position + 0.01 * toSun, toSun, 10);
    AddLighting(d, toSun, n, m.smoothness, kSunColour * lastShadow, &diffuse, &specular);

    Vec3 toLight = kLightPosition - hit.position;
    double attenuation = 100 / Dot(toLight, toLight);
    Vec3 l = Normalize(toLight);
    double pointShadow = Shadow(hit.position + 0.01 * l, l, Length(toLight));
    AddLighting(d, l, n, m.smoothness, lightColour_ * (pointShadow * attenuation), &diffuse, &specular);

    if (hit.id >= kBody) {
      Vec3 fromLight = hit.position - kLightPosition;
      double depth = std::max(0.00001, Length(fromLight) - March(kLightPosition, Normalize(fromLight)).distance);
      diffuse = diffuse + lightColour_ * std::exp2(-8 * depth);
    } else {
      double wrap = std::max(0.0, 1 - Length(toLight) / 5);
      diffuse = diffuse + lightColour_ * (wrap * (0.5 * Dot(l, n) + 0.5));
    }

    double facing = Clamp(Dot(n, -d), 0.25, 1);
    Vec3 fresnel = m.r0 + (Splat(1) - m.r0) * (std::pow(1 - facing, 5) * (0.2 * m.smoothness + 0.1));
    colour = colour + Fog(Mix(m.albedo * diffuse, specular, fresnel), hit.distance, d);
    remaining = fresnel;
    d = Normalize(Reflect(d, n));
  }
  colour = colour + SkyColour(d) * lastShadow * remaining;
  return colour + FaceGlow(origin, direction);
}

ObjectId Scene::PrimaryObject(int x, int y, int width, int height) const {
  return March(camera_, RayDirection(x, y, width, height)).id;
}

Vec3 Scene::LinearColour(int x, int y, int width, int height) const {
  return RayColour(camera_, RayDirection(x, y, width, height));
}

Vec3 Scene::PixelColour(int x, int y, int width, int height) const {
  Vec3 c = PostEffects(LinearColour(x, y, width, height), (x + 0.5) / width, (y + 0.5) / height, time_);
  return V(Clamp(c.x, 0, 1), Clamp(c.y, 0, 1), Clamp(c.z, 0, 1));
}

}  // namespace reference
