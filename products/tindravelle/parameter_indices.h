// The parameter indices of JYX Tindravelle: 0-21 are the host's (1, 16 and
// 17 unnamed stored values, 7, 8, 10 and 18-21 spare slots of the programs),
// 23-28 the editor's own.
#pragma once

namespace tindravelle {

enum Parameter : int {
  kProcess = 0,
  kUnnamedSwitch = 1,
  kStereoMono = 2,
  kLink = 3,
  kSpeed = 4,
  kReleaseMul = 5,
  kDrive = 6,
  kLowAdjust = 9,
  kHighAdjust = 11,
  kKnee = 12,
  kOutput = 13,
  kMeters = 14,
  kMeterScale = 15,
  kMeterDelay = 16,
  kMeterClick = 17,
  kNoParameter = 22,
  kVuIntegr = 23,
  kVuRefer = 24,
  kPpmIntegr = 25,
  kPpmReturn = 26,
  kOverIndic = 27,
  kKnobMode = 28,
};

// Meters values: Pre, GainRed, Post; MeterScale values: VU, PPM.
inline constexpr float kMetersPre = 0.0f, kMetersGainRed = 0.5f, kMetersPost = 1.0f;
inline constexpr float kScaleVu = 0.0f, kScalePpm = 1.0f;

}  // namespace tindravelle
