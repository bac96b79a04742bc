#pragma once

// The time the shader is given, from the clock's seconds since start.
//
// A 32-bit float of the seconds since start holds quarter seconds after a
// month and two seconds after a year: the scene would move in steps and then
// stand still. Every motion of the scene is a sine of the time at one of
// four rates (1/2, 1, 1/4 and 0.1567 per second) or a hash of it, and after
// 903 turns of the slowest whole one (8 pi s) all of them are back where they
// were: the first three exactly, the camera's height within 0.0025 rad of
// its phase, less than it moves in one frame at 60 Hz; the flicker's hash
// is new every frame anyway. So past the first hour (the fade-in from black
// is in its first two seconds) the time is taken modulo that period, in
// double precision, and the float the shader gets stays below 26,300 s,
// where it keeps steps of 2 ms.
constexpr double kSceneTimeKeptSeconds = 3600.0;
constexpr double kSceneTimePeriodSeconds = 903 * 8 * 3.14159265358979323846;

// `seconds` itself for the first kSceneTimeKeptSeconds + kSceneTimePeriodSeconds,
// then kSceneTimeKeptSeconds plus the time since it modulo the period.
float SceneTime(double seconds);
