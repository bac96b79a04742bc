#pragma once

// A stand-in for the scene's texture use, for timing how the filter settings
// cost on a given renderer: a marched ground plane and ribbed sphere seen by
// the scene's camera, the ground sampled five times a pixel (colour and four
// bump taps), the body once with the body's wrapped coordinates.
constexpr char kSamplingVertexShader[] =
    "#version 110\n"
    "attribute vec4 position;\n"
    "void main() { gl_Position = position; }\n"
    "//~\n";

constexpr char kSamplingFragmentShader[] = R"(#version 110
uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

float Scene(vec3 p, out float id) {
  float ground = p.y + 2.0;
  float body = length(p) - 3.0;
  id = ground < body ? 1.0 : 3.0;
  return min(ground, body);
}

void main() {
  vec2 u = gl_FragCoord.xy / iResolution;
  vec2 w = 2.0 * u - 1.0;
  w.x *= iResolution.x / iResolution.y;
  float d = 14.0 + sin(iTime);
  float a = 3.31613 + 0.2 * sin(0.25 * iTime);
  vec3 eye = vec3((0.4 + sin(a)) * d, 2.0 + 1.5 * sin(0.1567 * iTime), cos(a) * d);
  vec3 f = normalize(vec3(0.0, -0.5, 0.0) - eye);
  vec3 r = normalize(cross(vec3(0.0, 1.0, 0.0), f));
  vec3 up = normalize(cross(f, r));
  vec3 dir = normalize(w.x * r + w.y * up + 1.5 * f);
  float t = 0.01;
  float id = 0.0;
  vec3 p = eye;
  for (int i = 0; i < 64; i++) {
    p = eye + dir * t;
    float s = Scene(p, id);
    t += s;
    if (abs(s) < 0.001) break;
    if (t > 300.0) { id = 0.0; break; }
  }
  vec3 colour = vec3(0.1);
  if (id == 1.0) {
    vec2 c = 0.1 * p.xz;
    vec3 albedo = texture2D(iChannel0, c).rgb;
    float west = texture2D(iChannel0, c - vec2(1.0 / 256.0, 0.0)).r;
    float east = texture2D(iChannel0, c + vec2(1.0 / 256.0, 0.0)).r;
    float north = texture2D(iChannel0, c - vec2(0.0, 1.0 / 256.0)).r;
    float south = texture2D(iChannel0, c + vec2(0.0, 1.0 / 256.0)).r;
    colour = albedo * (0.5 + 2.0 * abs(west - east + north - south));
  } else if (id == 3.0) {
    vec3 n = normalize(p);
    float v = texture2D(iChannel0, vec2(8.0 * atan(n.x, n.z), 1.6 * n.y)).r;
    colour = mix(vec3(1.0, 0.5, 0.0), vec3(0.5, 0.06, 0.0), 0.5 * v);
  }
  gl_FragColor = vec4(colour, 1.0);
}
//~
)";
