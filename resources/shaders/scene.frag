#version 110

// The whole picture, per pixel: a ray-marched gourd lantern on a gravel
// ground, lit from inside through its carved face, one reflection bounce,
// fog and a few camera-like post effects. Everything follows from the time,
// the window size and the pixel position.
//
// World units; y is up, the gourd's centre is the origin, its face looks
// toward -z and the ground is the plane y = -2.

uniform float iTime;
uniform vec2 iResolution;
uniform float windowHeight;
uniform sampler2D iChannel0;  // ground colour and height
uniform sampler2D iChannel1;  // body pattern

varying vec2 fs_tex;

const int kRaymarchMaxIter = 64;
const int kBounceCount = 1;
const float kFarClip = 300.0;
const float kHitEpsilon = 0.001;
const float kNormalDelta = 0.001;

const vec3 vLightPos = vec3(0.0, -0.5, 0.0);
const vec3 vBodyCentre = vec3(0.0, 0.0, 0.0);
const float kBodyRadius = 3.0;
const float kRibbedZone = 3.5;
const float kGroundHeight = -2.0;
const vec3 vCameraTarget = vec3(0.0, -0.5, 0.0);
const float kFocalLength = 1.5;

const vec3 vSunLightColor = vec3(1.0, 1.0, 0.5);
const vec3 vFogColor = vec3(0.1, 0.1, 0.1);
const float kFogDensity = 0.025;

const float kObjectNone = 0.0;
const float kObjectGround = 1.0;
const float kObjectStalk = 2.0;
const float kObjectBody = 3.0;
const float kObjectCarved = 4.0;

// Time-dependent, set once per fragment before anything else.
vec3 vLightColor;
vec3 vSunLightDir;

struct C_Intersection {
  vec3 vPos;
  float fDist;
  vec3 vNormal;
  vec3 vUVW;
  float fObjectId;
};

struct C_Surface {
  vec3 vAlbedo;
  vec3 vR0;
  float fSmoothness;
  vec3 vBumpNormal;
};

float hash(float p) {
  float a = fract(5.3983 * p);
  float b = fract(5.4427 * p);
  float s = b * (a + 21.5351) + a * (b + 14.3137);
  a += s;
  b += s;
  return fract(a * b * 95.4337);
}

// ---- Camera -----------------------------------------------------------------

vec3 GetCameraPos(float t) {
  float fDistance = 14.0 + sin(t);
  float fAngle = 3.3161256 + 0.2 * sin(0.25 * t);  // 190 degrees, swaying
  float fHeight = 2.0 + 1.5 * sin(0.1567 * t);
  return vec3((0.4 + sin(fAngle)) * fDistance, fHeight, cos(fAngle) * fDistance);
}

// From [0,1] across the window to [-1,1] vertically, wider horizontally.
vec2 GetWindowCoord(vec2 vUV) {
  vec2 vWindow = vUV * 2.0 - 1.0;
  vWindow.x *= iResolution.x / iResolution.y;
  return vWindow;
}

vec3 GetCameraRayDir(vec2 vWindow, vec3 vCameraPos, vec3 vTarget) {
  vec3 vForward = normalize(vTarget - vCameraPos);
  vec3 vRight = normalize(cross(vec3(0.0, 1.0, 0.0), vForward));
  vec3 vUp = normalize(cross(vForward, vRight));
  return normalize(vWindow.x * vRight + vWindow.y * vUp + kFocalLength * vForward);
}

// ---- Shapes -----------------------------------------------------------------

// The face openings in the face plane: a crescent mouth, a nose and two eyes,
// all triangles but the mouth. Negative inside an opening.
float GetCarving2dDistance(vec2 p) {
  float fMouth = max(length(p - vec2(0.0, 0.5)) - 1.5, -(length(p - vec2(0.0, 1.6)) - 2.1));

  vec2 vNose = vec2(abs(p.x), p.y - 0.6);
  float fNose = max(0.894427 * vNose.x + 0.447214 * vNose.y, -(vNose.y + 0.5));

  vec2 vEye = vec2(abs(p.x) - 1.0, p.y - 1.0);
  float fEye = max(max(-0.554700 * vEye.x + 0.832050 * vEye.y, 0.894427 * vEye.x + 0.447214 * vEye.y),
                   -0.5 - vEye.y);

  return min(min(fMouth, fNose), fEye);
}

// What is removed from the shell: the hollow inside, the face openings through
// the front half, and the thin conical slit that frees the lid. fRadius is
// the distance from the vertical axis, which the body needs as well.
//
// The scene only takes the negated distance -c where it beats the gourd's
// distance g. It is bounded: -c = max(-hollow, -face, -lid) exactly (negation
// turns min into max, in floating point too), with -hollow <= 2.7 / 1.5 = 1.8,
// -face = min(-face2d, -z) <= -face2d <= 1.5 (the mouth's first disc; the nose
// and eyes give at most their inner radii, under 0.25) and -lid <= 0.03. So
// the cut can only win where g < 1.8 (up to rounding), and its face term only
// where -z > g; skipping either elsewhere would leave every pixel as it is.
// Both are evaluated everywhere all the same: a software renderer runs both
// sides of a branch under a lane mask, and there each test cost more than it
// saved (2 to 3% more instructions per frame on llvmpipe, 5% for both).
float GetCarvingDistance(vec3 p, float fRadius) {
  float fHollow = (length(vec3(p.x, 1.4 * p.y, p.z)) - 2.7) / 1.5;
  float fFace = max(GetCarving2dDistance(p.xy), p.z);
  float fCut = min(fHollow, fFace);
  float fLid = abs(0.554700 * fRadius - 0.832050 * p.y) - 0.03;
  return min(fCut, fLid);
}

// fAxisDist is the distance from the vertical axis through the body's centre.
float GetBodyDistance(vec3 p, float fAxisDist) {
  vec3 o = p - vBodyCentre;
  float fCentreDist = length(o);
  if (fCentreDist > kRibbedZone) return fCentreDist - kBodyRadius;

  // Twenty ribs with sharp creases where sin(10 a) crosses zero, a being
  // the angle atan(x, z) around the vertical axis. With (cos a, sin a) as the
  // unit complex number c, sin(10 a) = 2 Re(c^5) Im(c^5): the same value for a
  // quarter less time per frame than the arctangent and the sine. On the axis
  // itself the angle is taken as 0.
  vec2 c = fAxisDist > 0.0 ? o.zx / fAxisDist : vec2(1.0, 0.0);
  vec2 c2 = vec2(c.x * c.x - c.y * c.y, 2.0 * c.x * c.y);
  vec2 c4 = vec2(c2.x * c2.x - c2.y * c2.y, 2.0 * c2.x * c2.y);
  vec2 c5 = vec2(c4.x * c.x - c4.y * c.y, c4.x * c.y + c4.y * c.x);
  float fRib = 1.0 - sqrt(abs(2.0 * c5.x * c5.y));
  o *= vec3(1.0 + 0.05 * fRib, 1.0 + 0.025 * fRib, 1.0 + 0.05 * fRib);

  // Pressed in at the top and bottom, most near the vertical axis.
  o.y *= 1.0 + 0.5 * (kBodyRadius - length(o.xz)) / kBodyRadius;
  return length(o) - kBodyRadius;
}

float GetStalkDistance(vec3 p) {
  // An axis through x = 0 at y = 3, leaning toward +x with height.
  vec2 vAxisOffset = vec2(p.x - 0.1 * (p.y - 3.0), p.z);
  float fStalk = length(vAxisOffset) - 0.2;
  fStalk = max(fStalk, p.y - 2.5 + 0.25 * p.x);  // slanted top
  fStalk = max(fStalk, -p.y);                     // rooted inside the body
  return fStalk;
}

float GetGourdDistance(vec3 p, float fAxisDist, out float fObjectId) {
  float fBody = GetBodyDistance(p, fAxisDist);
  float fStalk = GetStalkDistance(p);
  if (fStalk < fBody) {
    fObjectId = kObjectStalk;
    return fStalk;
  }
  fObjectId = kObjectBody;
  return fBody;
}

float GetSceneDistance(vec3 p, out float fObjectId) {
  float fGround = p.y - kGroundHeight;

  // The distance from the vertical axis (the body's centre is the origin),
  // shared by the body and the cut.
  float fAxisDist = length(p.xz);

  float fGourdId;
  float fGourd = GetGourdDistance(p, fAxisDist, fGourdId);
  // Cutting the carved volume out of the shell.
  float fCarved = -GetCarvingDistance(p, fAxisDist);
  if (fCarved > fGourd) {
    fGourd = fCarved;
    fGourdId = kObjectCarved;
  }

  if (fGourd < fGround) {
    fObjectId = fGourdId;
    return fGourd;
  }
  fObjectId = kObjectGround;
  return fGround;
}

float GetSceneDistance(vec3 p) {
  float fObjectId;
  return GetSceneDistance(p, fObjectId);
}

// The surface coordinates of an object, which follow from its id and the
// position alone.
vec3 GetSurfaceCoords(vec3 p, float fObjectId) {
  if (fObjectId == kObjectGround) return vec3(p.x, p.z, 0.0);
  if (fObjectId == kObjectCarved) return vec3(4.0, 4.0, 4.0);
  if (fObjectId == kObjectNone) return vec3(0.0);
  return normalize(p - vBodyCentre);
}

vec3 GetSceneNormal(vec3 p) {
  const vec3 k1 = vec3(1.0, -1.0, -1.0);
  const vec3 k2 = vec3(-1.0, -1.0, 1.0);
  const vec3 k3 = vec3(-1.0, 1.0, -1.0);
  const vec3 k4 = vec3(1.0, 1.0, 1.0);
  return normalize(k1 * GetSceneDistance(p + kNormalDelta * k1) + k2 * GetSceneDistance(p + kNormalDelta * k2) +
                   k3 * GetSceneDistance(p + kNormalDelta * k3) + k4 * GetSceneDistance(p + kNormalDelta * k4));
}

// ---- Marching ---------------------------------------------------------------

// Where the body is a plain sphere (past kRibbedZone from its centre) the
// scene's distance needs neither the ribs nor the cut whenever the gourd
// without its cut, g0 = min(body, stalk), is at least the ground's distance
// (the cut only ever raises the gourd's distance, and the ground wins ties)
// or over 0.3: so far out the cut's negated distance is at most 0.25, so it
// cannot beat g0 there. Of its terms, -hollow is negative beyond 2.7 from the
// centre, -lid at most 0.03, and -face at most the deepest point inside an
// opening of the face: 0.25, at the bottom of the mouth's crescent (where its
// two circles' terms meet; the nose and eyes are shallower, and a fine
// search of the face plane finds nothing deeper). Then the scene's distance
// is min(g0, ground), computed below in the very order GetSceneDistance
// takes, so that the march takes the very same steps.
const float kCutReach = 0.3;

// Returns false where the full distance is needed.
bool GetPlainSceneDistance(vec3 p, out float fDist, out float fObjectId) {
  float fCentreDist = length(p - vBodyCentre);
  float fGround = p.y - kGroundHeight;
  float fGourd = fCentreDist - kBodyRadius;
  float fGourdId = kObjectBody;
  float fStalk = GetStalkDistance(p);
  if (fStalk < fGourd) {
    fGourd = fStalk;
    fGourdId = kObjectStalk;
  }
  if (fGourd < fGround) {
    fObjectId = fGourdId;
    fDist = fGourd;
  } else {
    fObjectId = kObjectGround;
    fDist = fGround;
  }
  return fCentreDist > kRibbedZone && (fGourd >= fGround || fGourd > kCutReach);
}

// The plain tier's steps where its ground term is known to be the least,
// up to tUntil: the very sum it makes, p.y - kGroundHeight of p = o + d t,
// so the same steps to the bit, for a fraction of the work.
void MarchGround(vec3 o, vec3 d, float tUntil, inout float t, inout float tLast, inout int iStep,
                 inout bool bPlainLast, inout bool bDone, inout bool bClipped) {
  for (int iGround = 0; iGround < kRaymarchMaxIter; iGround++) {
    if (bDone || bClipped || iStep >= kRaymarchMaxIter || !(t < tUntil)) break;
    float s = (o + d * t).y - kGroundHeight;
    tLast = t;
    t += s;
    iStep++;
    bPlainLast = true;
    if (abs(s) < kHitEpsilon) {
      bDone = true;
    } else if (t > kFarClip) {
      bClipped = true;
    }
  }
}

// Where o + d t (d of unit length) meets the sphere of radius r about the
// centre, if it does: from tNear to tFar.
bool MeetSphere(vec3 o, vec3 d, float r, out float tNear, out float tFar) {
  float fAlong = dot(o, d);
  float fDisc = fAlong * fAlong - dot(o, o) + r * r;
  float fRoot = sqrt(max(fDisc, 0.0));
  tNear = -fAlong - fRoot;
  tFar = -fAlong + fRoot;
  return fDisc >= 0.0;
}

// Where along o + d t the plain tier holds and takes the ground's distance:
// everywhere before tIn and after tOut. The body's plain distance |p| - 3
// beats the ground's only inside the paraboloid x^2 + z^2 <= 10 y + 25, and
// the plain tier fails only within kRibbedZone of the centre; the stalk's
// distance, at least |(x - 0.1 (y - 3), z)| - 0.2, beats the ground's only
// inside the cone where that length is under y + 2.2. Each of the three is
// convex (of the double cone only the upper nappe counts), so a ray meets
// each in one stretch; each is widened a little against rounding.
void GetGroundOnlySpan(vec3 o, vec3 d, out float tIn, out float tOut) {
  tIn = 2.0 * kFarClip;
  tOut = -1.0;

  float a = dot(d.xz, d.xz);
  float b = 2.0 * dot(o.xz, d.xz) - 10.0 * d.y;
  float c = dot(o.xz, o.xz) - 10.0 * o.y - 25.5;
  float fDisc = b * b - 4.0 * a * c;
  if (fDisc >= 0.0) {
    float q = -0.5 * (b + (b < 0.0 ? -1.0 : 1.0) * sqrt(fDisc));
    float t1 = q / a;
    float t2 = c / q;
    tIn = min(tIn, min(t1, t2));
    tOut = max(tOut, max(t1, t2));
  }

  float tNear;
  float tFar;
  if (MeetSphere(o, d, kRibbedZone + 0.05, tNear, tFar)) {
    tIn = min(tIn, tNear);
    tOut = max(tOut, tFar);
  }

  // The stalk's cone, |(x - 0.1 (y - 3), z)| < y + 2.3 with y + 2.3 > 0.
  vec3 vAxis = vec3(o.x - 0.1 * o.y + 0.3, o.z, o.y + 2.3);
  vec3 vAxisDir = vec3(d.x - 0.1 * d.y, d.z, d.y);
  vec3 k = vec3(1.0, 1.0, -1.0);
  float A = dot(k * vAxisDir, vAxisDir);
  float B = 2.0 * dot(k * vAxis, vAxisDir);
  float C = dot(k * vAxis, vAxis);
  float fConeDisc = B * B - 4.0 * A * C;
  float fConeIn = 2.0 * kFarClip;
  float fConeOut = -1.0;
  if (fConeDisc >= 0.0) {
    float q = -0.5 * (B + (B < 0.0 ? -1.0 : 1.0) * sqrt(fConeDisc));
    float r1 = min(q / A, C / q);
    float r2 = max(q / A, C / q);
    if (A > 0.0) {
      // One stretch, within one nappe: the upper one if its middle is.
      if (vAxis.z + vAxisDir.z * 0.5 * (r1 + r2) > 0.0) {
        fConeIn = r1;
        fConeOut = r2;
      }
    } else if (A < 0.0 && d.y > 0.0) {
      // Steeper than the cone: in the upper nappe from r2 on, or up to r1.
      fConeIn = r2;
      fConeOut = 2.0 * kFarClip;
    } else if (A < 0.0) {
      fConeIn = -1.0;
      fConeOut = r1;
    } else {
      fConeIn = -1.0;
      fConeOut = 2.0 * kFarClip;
    }
  } else if (A <= 0.0) {
    fConeIn = -1.0;
    fConeOut = 2.0 * kFarClip;
  }
  tIn = min(tIn, fConeIn);
  tOut = max(tOut, fConeOut);
}

// Sphere-traces from o along d, from t = 0.01; returns the distance
// travelled. vPos is the last sampled position and fObjectId the object
// found there by the last evaluation, none for a ray that left through the
// far clip. A ray that runs out of steps counts as a hit where it stands.
//
// The steps before tIn and after tOut (see GetGroundOnlySpan) take the
// ground's distance alone: the rays toward the horizon take most of their
// steps there. Steps where the plain distance holds take it in an inner
// loop, so a group of pixels pays for the full distance only as often as its
// neediest ray takes a step near the lantern's surface (a software renderer
// runs a loop until every lane has left it, and both sides of any branch).
// The full steps take a loop of their own until the ray stands past
// kRibbedZone again: nearer, the plain tier never holds, and trying it first
// cost a plain evaluation per full step.
float MarchScene(vec3 o, vec3 d, out vec3 vPos, out float fObjectId) {
  float tIn;
  float tOut;
  GetGroundOnlySpan(o, d, tIn, tOut);
  float t = 0.01;
  int iStep = 0;
  vPos = o + d * t;
  fObjectId = kObjectNone;
  float tLast = t;
  // Whether the last sample was a plain one, whose position and object are
  // taken again at the end; a full step sets vPos and fObjectId itself.
  bool bPlainLast = false;
  bool bDone = false;
  bool bClipped = false;
  bool bBeyond = false;
  MarchGround(o, d, tIn, t, tLast, iStep, bPlainLast, bDone, bClipped);
  for (int iNear = 0; iNear < kRaymarchMaxIter; iNear++) {
    if (bDone || bClipped || iStep >= kRaymarchMaxIter) break;
    for (int iPlain = 0; iPlain < kRaymarchMaxIter; iPlain++) {
      if (iStep >= kRaymarchMaxIter) break;
      if (t > tOut) {
        bBeyond = true;
        break;
      }
      float s;
      float fPlainId;
      if (!GetPlainSceneDistance(o + d * t, s, fPlainId)) break;
      tLast = t;
      t += s;
      iStep++;
      bPlainLast = true;
      if (abs(s) < kHitEpsilon) {
        bDone = true;
        break;
      }
      if (t > kFarClip) {
        bClipped = true;
        break;
      }
    }
    if (bDone || bClipped || bBeyond || iStep >= kRaymarchMaxIter) break;

    for (int iFull = 0; iFull < kRaymarchMaxIter; iFull++) {
      if (iStep >= kRaymarchMaxIter) break;
      vPos = o + d * t;
      float s = GetSceneDistance(vPos, fObjectId);
      t += s;
      iStep++;
      bPlainLast = false;
      if (abs(s) < kHitEpsilon) {
        bDone = true;
        break;
      }
      if (t > kFarClip) {
        bClipped = true;
        break;
      }
      if (length(o + d * t) > kRibbedZone) break;
    }
    if (bDone || bClipped) break;
  }
  if (bBeyond) MarchGround(o, d, 2.0 * kFarClip, t, tLast, iStep, bPlainLast, bDone, bClipped);
  if (bClipped) {
    t = kFarClip;
    vPos = o + d * kFarClip;
    fObjectId = kObjectNone;
  } else if (bPlainLast) {
    float s;
    vPos = o + d * tLast;
    GetPlainSceneDistance(vPos, s, fObjectId);
  }
  return t;
}

// The march from the light, for the light through the shell: it starts in the
// hollow, where the plain distance never holds, and only its length is read.
// So it has no plain tier to try at each step; where the plain distance would
// hold it equals the full one to the bit, so the steps are the same. Only how
// far short of fReach it stops matters, so it stops from a sample at or past
// fReach with a positive distance, as a shadow ray does past its light.
float MarchFromLight(vec3 d, float fReach) {
  float t = 0.01;
  for (int iStep = 0; iStep < kRaymarchMaxIter; iStep++) {
    float s = GetSceneDistance(vLightPos + d * t);
    if (t >= fReach && s > 0.0) break;
    t += s;
    if (abs(s) < kHitEpsilon) break;
    if (t > kFarClip) {
      t = kFarClip;
      break;
    }
  }
  return t;
}

C_Intersection TraceScene(vec3 o, vec3 d) {
  C_Intersection hit;
  hit.fDist = MarchScene(o, d, hit.vPos, hit.fObjectId);
  hit.vUVW = GetSurfaceCoords(hit.vPos, hit.fObjectId);
  // A miss's normal is never read, but leaving it out behind a branch cost
  // more than it saved on llvmpipe.
  hit.vNormal = GetSceneNormal(hit.vPos);
  return hit;
}

// Whether o + d t, 0 < t < fLimit, passes through a point that is surely
// solid: on the sphere of radius 2.78, the shell's wall lies all round
// between the hollow (at most 2.7 from the centre) and the body (at least
// 3 / 1.05 at the ribs' creases, and for -1.5 < y < 1.3 still 0.02 inside
// where the body is pressed in toward its top and bottom), away from the
// lid's slit (at y = 1.54 there) and from the face's openings, which run
// through the front half only (z < 0). A march cannot step past such a
// point without stopping at the wall first.
bool CrossesSolidWall(vec3 o, vec3 d, float fLimit) {
  float tNear;
  float tFar;
  bool bMeets = MeetSphere(o, d, 2.78, tNear, tFar);
  float t = tNear > 0.0 ? tNear : tFar;
  vec3 q = o + d * t;
  return bMeets && t > 0.0 && t < fLimit && q.y > -1.5 && q.y < 1.3 &&
         (q.z > 0.05 || GetCarving2dDistance(q.xy) > 0.05);
}

// Where the sun's shadow ray starts its march: t after iStep steps, and
// whether its answer is known. A ray that leaves the ground upward first
// takes steps that only the ground bounds, each leaving it 1 + d.y times as
// high as before: the body's distance can beat the ground's only inside the
// paraboloid x^2 + z^2 <= 10 y + 25 (from |q| - 3 <= y + 2) or within
// kRibbedZone of the centre, the stalk's only inside a cone that the
// paraboloid holds below y = 6. So the steps that end before the ray can
// reach any of these are skipped in closed form, leaving it where the march
// would stand but for rounding, which only a ray grazing an edge could tell.
void StartSunRay(vec3 o, vec3 d, float fLimit, out bool bAnswered, out float t, out int iStep) {
  bAnswered = CrossesSolidWall(o, d, fLimit);
  vec3 p0 = o + d * 0.01;
  float h0 = p0.y - kGroundHeight;
  float a = dot(d.xz, d.xz);
  float b = 2.0 * dot(p0.xz, d.xz) - 10.0 * d.y;
  float c = dot(p0.xz, p0.xz) - 10.0 * p0.y - 25.5;
  float fDisc = b * b - 4.0 * a * c;
  float fParaboloid = b < 0.0 && fDisc >= 0.0 ? 2.0 * c / (sqrt(max(fDisc, 0.0)) - b) : kFarClip;
  float fReach = min(min(fParaboloid, length(p0) - kRibbedZone - 0.05),
                     min((6.0 - p0.y) / d.y, kFarClip - 50.0));
  float fLogRatio = log2(1.0 + d.y);
  float fSteps = floor(log2(1.0 + fReach * d.y / h0) / fLogRatio);
  t = 0.01;
  iStep = 0;
  if (d.y > 0.0 && h0 > 2.0 * kHitEpsilon && c > 0.0 && fReach > 0.0) {
    fSteps = min(fSteps, float(kRaymarchMaxIter - 1));
    t += h0 * (exp2(fSteps * fLogRatio) - 1.0) / d.y;
    iStep = int(fSteps);
    // Gone past the limit, upward and away from the lantern, the ray only
    // finds positive distances from here on: its distance can only grow.
    vec3 p = o + d * t;
    if (t >= fLimit && dot(p, d) >= 0.0 && dot(p, p) > 16.0) iStep = kRaymarchMaxIter;
  }
  if (bAnswered) iStep = kRaymarchMaxIter;
}

// One step of a shadow ray, with the plain distance or (bFull) the full one.
// A shadow ray only asks whether it stops short of its light, so it leaves at
// fStop as if clipped: from a sample at or past fStop with a positive
// distance, t never comes back under it. That holds as long as a step back
// out of a surface undoes less than the step that went in, i.e. no distance
// here overstates by twice or more.
void StepShadowRay(vec3 o, vec3 d, float fStop, bool bFull, inout float t, inout int iStep, inout bool bEnded) {
  float s;
  float fObjectId;
  if (bFull) {
    s = GetSceneDistance(o + d * t);
  } else {
    GetPlainSceneDistance(o + d * t, s, fObjectId);
  }
  float tLast = t;
  t += s;
  iStep++;
  if (abs(s) < kHitEpsilon) {
    bEnded = true;
  } else if (t > kFarClip || (tLast >= fStop && s > 0.0)) {
    t = kFarClip;
    bEnded = true;
  }
}

// The sun's and the light's shadow rays of one point, marched one after the
// other in one loop: a group of pixels steps as long as its neediest pixel's
// two rays together, not the neediest of each in turn, and pays a loop's
// first, often idle, pass once. Past kRibbedZone the plain distance always
// holds (the gourd is over 0.5 away there, the stalk over 0.7), nearer never.
// bLampAnswered: the light's ray cannot matter or is known to be shadowed.
// Returns the two shadows, 1 lit and 0 shadowed.
vec2 TraceShadows(vec3 oSun, vec3 dSun, float fSunLimit, vec3 oLamp, vec3 dLamp, float fLampLimit,
                  bool bLampAnswered) {
  bool bSunAnswered;
  float tSun;
  int iSunStep;
  StartSunRay(oSun, dSun, fSunLimit, bSunAnswered, tSun, iSunStep);
  // The light's ray skips no ground steps: nearly all of them are answered,
  // and the skip's reckoning for every pixel cost more than it saved.
  bLampAnswered = bLampAnswered || CrossesSolidWall(oLamp, dLamp, fLampLimit);
  float tLamp = 0.01;
  int iLampStep = bLampAnswered ? kRaymarchMaxIter : 0;

  vec3 o = oSun;
  vec3 d = dSun;
  float fStop = fSunLimit;
  float t = tSun;
  int iStep = iSunStep;
  bool bOnLamp = false;
  bool bEnded = false;
  for (int iRound = 0; iRound < 2 * kRaymarchMaxIter + 2; iRound++) {
    if (bEnded || iStep >= kRaymarchMaxIter) {
      if (bOnLamp) break;
      tSun = t;
      o = oLamp;
      d = dLamp;
      fStop = fLampLimit;
      t = tLamp;
      iStep = iLampStep;
      bOnLamp = true;
      bEnded = false;
      if (iStep >= kRaymarchMaxIter) break;
    }
    for (int iPlain = 0; iPlain < kRaymarchMaxIter; iPlain++) {
      if (bEnded || iStep >= kRaymarchMaxIter || !(length(o + d * t) > kRibbedZone)) break;
      StepShadowRay(o, d, fStop, false, t, iStep, bEnded);
    }
    for (int iFull = 0; iFull < kRaymarchMaxIter; iFull++) {
      if (bEnded || iStep >= kRaymarchMaxIter || length(o + d * t) > kRibbedZone) break;
      StepShadowRay(o, d, fStop, true, t, iStep, bEnded);
    }
  }
  tLamp = t;
  return vec2(tSun < fSunLimit || bSunAnswered ? 0.0 : 1.0, tLamp < fLampLimit || bLampAnswered ? 0.0 : 1.0);
}

// ---- Materials --------------------------------------------------------------

C_Surface GetSurfaceInfo(C_Intersection hit) {
  C_Surface surf;
  surf.vBumpNormal = hit.vNormal;

  if (hit.fObjectId == kObjectGround) {
    const float kTexel = 1.0 / 256.0;
    vec2 vCoord = hit.vUVW.xy * 0.1;
    surf.vAlbedo = texture2D(iChannel0, vCoord).rgb;

    // The gravel's red channel is its height.
    float fWest = texture2D(iChannel0, vCoord - vec2(kTexel, 0.0)).r;
    float fEast = texture2D(iChannel0, vCoord + vec2(kTexel, 0.0)).r;
    float fNorth = texture2D(iChannel0, vCoord - vec2(0.0, kTexel)).r;
    float fSouth = texture2D(iChannel0, vCoord + vec2(0.0, kTexel)).r;
    surf.vBumpNormal = normalize(hit.vNormal + vec3(10.0 * (fWest * fWest - fEast * fEast), 0.0,
                                                    10.0 * (fNorth * fNorth - fSouth * fSouth)));

    surf.vAlbedo = surf.vAlbedo * surf.vAlbedo;
    surf.fSmoothness = clamp(0.8 - 4.0 * surf.vAlbedo.r, 0.0, 1.0);
    surf.vR0 = vec3(0.01 * surf.vAlbedo.g);
  } else if (hit.fObjectId == kObjectStalk) {
    surf.vAlbedo = vec3(0.5, 0.5, 0.2);
    surf.fSmoothness = 0.4;
    surf.vR0 = vec3(0.05);
  } else if (hit.fObjectId == kObjectBody) {
    vec3 n = hit.vUVW;
    vec2 vCoord = vec2(8.0 * atan(n.x, n.z), 1.6 * n.y);
    float v = texture2D(iChannel1, vCoord).r;
    surf.vAlbedo = mix(vec3(1.0, 0.5, 0.0), vec3(0.5, 0.06, 0.0), 0.5 * v);
    surf.fSmoothness = clamp(1.0 - 2.0 * v * v, 0.0, 1.0);
    surf.vR0 = vec3(0.05);
  } else {
    surf.vAlbedo = vec3(1.0, 0.824, 0.301);
    surf.fSmoothness = 0.4;
    surf.vR0 = vec3(0.05);
  }
  return surf;
}

// ---- Lighting ---------------------------------------------------------------

float GIV(float fDot, float k) { return 1.0 / ((fDot + 0.0001) * (1.0 - k) + k); }

// GGX distribution with a Schlick-style visibility term; Fresnel is left to
// the blend of diffuse and specular.
void AddLighting(inout vec3 vDiffuse, inout vec3 vSpecular, vec3 vViewDir, vec3 vLightDir, vec3 vNormal,
                 float fSmoothness, vec3 vLightColour) {
  vec3 vHalf = normalize(vLightDir - vViewDir);
  float fNdotL = clamp(dot(vLightDir, vNormal), 0.0, 1.0);
  float fNdotV = clamp(dot(-vViewDir, vNormal), 0.0, 1.0);
  float fNdotH = clamp(dot(vNormal, vHalf), 0.0, 1.0);

  float fAlpha = (1.0 - fSmoothness) * (1.0 - fSmoothness);
  float fAlpha2 = fAlpha * fAlpha;
  float q = fNdotH * fNdotH * (fAlpha2 - 1.0) + 1.0;
  float fDistribution = fAlpha2 / (3.14159 * q * q);

  float k = fAlpha * 0.5;
  float fVisibility = GIV(fNdotL, k) * GIV(fNdotV, k);

  vSpecular += vLightColour * fDistribution * fVisibility * fNdotL;
  vDiffuse += vLightColour * fNdotL;
}

void AddDirectionalLight(inout vec3 vDiffuse, inout vec3 vSpecular, vec3 vViewDir, C_Surface surf, float fShadow) {
  AddLighting(vDiffuse, vSpecular, vViewDir, -vSunLightDir, surf.vBumpNormal, surf.fSmoothness,
              vSunLightColor * fShadow);
}

void AddPointLight(inout vec3 vDiffuse, inout vec3 vSpecular, vec3 vViewDir, vec3 vPos, C_Surface surf,
                   float fShadow) {
  vec3 vToLight = vLightPos - vPos;
  float fAttenuation = 100.0 / dot(vToLight, vToLight);
  vec3 vLightDir = normalize(vToLight);
  AddLighting(vDiffuse, vSpecular, vViewDir, vLightDir, surf.vBumpNormal, surf.fSmoothness,
              vLightColor * fShadow * fAttenuation);
}

// Light that reaches a point of the shell through the shell itself: the
// thicker the material between the light and the point, the less.
vec3 GetSSS(vec3 vPos) {
  vec3 vFromLight = vPos - vLightPos;
  float fLength = length(vFromLight);
  float fReached = MarchFromLight(normalize(vFromLight), fLength);
  float fDepth = max(0.00001, fLength - fReached);
  return exp2(-8.0 * fDepth) * vLightColor;
}

// The cheap stand-in for transmission on the ground and the stalk.
vec3 GetWrapGlow(vec3 vPos, vec3 vNormal) {
  vec3 vToLight = vLightPos - vPos;
  return max(0.0, 1.0 - length(vToLight) / 5.0) * vLightColor * (0.5 * dot(normalize(vToLight), vNormal) + 0.5);
}

// ---- Atmosphere -------------------------------------------------------------

vec3 AddDirectionalLightFlareToFog(vec3 vFog, vec3 vRayDir) {
  float fSun = clamp(dot(-vSunLightDir, vRayDir), 0.0, 1.0);
  float fSun2 = fSun * fSun;
  return vFog + vSunLightColor * (fSun2 * fSun2);
}

float GetFogFactor(float fDist) { return exp(-kFogDensity * fDist); }

vec3 GetFogColor(vec3 vRayDir) { return AddDirectionalLightFlareToFog(vFogColor, vRayDir); }

vec3 ApplyAtmosphere(vec3 vColour, float fDist, vec3 vRayDir) {
  return mix(GetFogColor(vRayDir), vColour, GetFogFactor(fDist));
}

vec3 GetSkyColor(vec3 vRayDir) { return mix(vec3(0.2, 0.04, 0.06), vec3(0.2, 0.5, 0.8), abs(vRayDir.y)); }

// ---- One primary ray --------------------------------------------------------

// Outlines of the openings, seen on the face plane, as a glow that nothing hides.
vec3 GetFaceGlow(vec3 o, vec3 d) {
  float s = -(o.z + 2.8) / d.z;
  if (s <= 0.0) return vec3(0.0);
  vec3 q = o + s * d;
  float e = abs(GetCarving2dDistance(q.xy));
  float fFacing = max(0.0, d.z);
  return exp2(-10.0 * e) * fFacing * fFacing * vLightColor * 0.25;
}

vec3 GetSceneColor(vec3 vRayOrigin, vec3 vRayDir) {
  vec3 vColour = vec3(0.0);
  vec3 vRemaining = vec3(1.0);
  float fLastShadow = 1.0;
  vec3 o = vRayOrigin;
  vec3 d = vRayDir;

  // The bounce loop tests at its bottom: a software renderer runs a loop
  // until none of a group's pixels is left in it, and a test at the top
  // costs one more pass, all masked, to find that out: for this loop that
  // was every pixel's whole shading a second time. So it always takes one
  // bounce: kBounceCount is at least 1.
  int iBounce = 0;
  do {
    C_Intersection hit = TraceScene(o, d);
    if (hit.fObjectId != kObjectNone) {
      C_Surface surf = GetSurfaceInfo(hit);
      vec3 vDiffuse = vec3(0.0);
      vec3 vSpecular = vec3(0.0);
      // The light sits in the hollow and lights the outside only through the
      // openings: the face's run through the front half (z < 0), the lid's
      // slit lies above y = -0.04. So the ground behind the face plane and
      // below the light sees it through neither: the line to it stays at
      // z >= 0 and under the slit, and the wall is in the way. Where the
      // surface faces away from the light, its shadow cannot matter.
      vec3 vToLamp = vLightPos - hit.vPos;
      vec3 vLampDir = normalize(vToLamp);
      bool bBehind = hit.fObjectId == kObjectGround && hit.vPos.z >= 0.0 && hit.vPos.y < vLightPos.y;
      bool bLampAnswered = bBehind || dot(vLampDir, surf.vBumpNormal) <= 0.0;
      vec2 vShadows = TraceShadows(hit.vPos - 0.01 * vSunLightDir, -vSunLightDir, 10.0, hit.vPos + 0.01 * vLampDir,
                                   vLampDir, length(vToLamp), bLampAnswered);
      fLastShadow = vShadows.x;
      AddDirectionalLight(vDiffuse, vSpecular, d, surf, vShadows.x);
      AddPointLight(vDiffuse, vSpecular, d, hit.vPos, surf, vShadows.y);
      if (hit.fObjectId >= kObjectBody) {
        vDiffuse += GetSSS(hit.vPos);
      } else {
        vDiffuse += GetWrapGlow(hit.vPos, surf.vBumpNormal);
      }

      float fFacing = clamp(dot(surf.vBumpNormal, -d), 0.25, 1.0);
      float fGrazing = 1.0 - fFacing;
      float fGrazing2 = fGrazing * fGrazing;
      vec3 vFresnel =
          surf.vR0 + (1.0 - surf.vR0) * (fGrazing2 * fGrazing2 * fGrazing) * (0.2 * surf.fSmoothness + 0.1);

      vec3 vSurfaceColour = mix(surf.vAlbedo * vDiffuse, vSpecular, vFresnel);
      vColour += ApplyAtmosphere(vSurfaceColour, hit.fDist, d) * vRemaining;

      vRemaining *= vFresnel;
      d = normalize(reflect(d, surf.vBumpNormal));
      o = hit.vPos;
    }
    iBounce++;
  } while (iBounce < kBounceCount);

  vec3 vSky = ApplyAtmosphere(GetSkyColor(d), kFarClip, d) * fLastShadow;
  vColour += vSky * vRemaining;

  vColour += GetFaceGlow(vRayOrigin, vRayDir);
  return vColour;
}

// ---- Post effects -----------------------------------------------------------

vec3 ApplyVignetting(vec3 vColour, vec2 vUV) {
  vec2 k = (vUV - 0.5) * 1.4142136;
  float r = dot(k, k);
  return vColour * (0.05 + 0.95 * pow(1.0 - r, 1.5));
}

// Exposure fades in from black over the first two seconds.
vec3 ApplyTonemap(vec3 vColour) {
  float fExposure = iTime < 2.0 ? iTime * 0.5 : 1.0;
  return 1.0 - exp2(-fExposure * vColour);
}

vec3 ApplyGamma(vec3 vColour) { return pow(vColour, vec3(1.0 / 2.2)); }

vec3 ApplyBlackLevel(vec3 vColour) { return vColour / 0.9 - 0.1; }

vec3 ApplyPostFX(vec3 vColour, vec2 vUV) {
  vColour = ApplyVignetting(vColour, vUV);
  vColour = ApplyTonemap(vColour);
  vColour = ApplyGamma(vColour);
  return ApplyBlackLevel(vColour);
}

void main() {
  float t = iTime;
  float fSwing = sin(0.5 * t);
  vLightColor = vec3(1.0, 0.8 - (0.4 + 0.4 * fSwing), 0.4 - (0.2 + 0.2 * fSwing));
  vLightColor *= 0.8 + 0.2 * hash(t);
  vSunLightDir = normalize(vec3(0.45 + 0.05 * sin(t), -0.35 - 0.05 * sin(t), -0.5));

  vec3 vCameraPos = GetCameraPos(t);
  vec2 vUV = gl_FragCoord.xy / iResolution;
  vec3 vRayDir = GetCameraRayDir(GetWindowCoord(vUV), vCameraPos, vCameraTarget);

  vec3 vColour = GetSceneColor(vCameraPos, vRayDir);
  gl_FragColor = vec4(ApplyPostFX(vColour, vUV), 1.0);
}
//~
