#include "scene/scene_time.h"

#include <cmath>

float SceneTime(double seconds) {
  if (seconds < kSceneTimeKeptSeconds + kSceneTimePeriodSeconds) return static_cast<float>(seconds);
  return static_cast<float>(kSceneTimeKeptSeconds +
                            std::fmod(seconds - kSceneTimeKeptSeconds, kSceneTimePeriodSeconds));
}
