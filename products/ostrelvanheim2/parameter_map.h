// The meanings of the Ostrelvanheim parameters and the map from a product's
// parameter indices to them. The shared parameter model, the tests and the
// tools speak of a parameter by its meaning; each product numbers its
// parameters (and so its programs, records and control tags) its own way.
// A meaning is the second generation's index of that parameter.
#pragma once

#include <cstdint>
#include <span>

#include "host/vst_abi.h"

struct Meaning {
  enum Value : VstInt32 {
    kNone = -1,  // an index that means nothing: only the common steps run
    kProcess = 0,
    kMode = 1,
    kMonoStereo = 2,
    kLink = 3,
    kDrive = 4,
    kKnee = 5,
    kSpeed = 6,
    kRelease = 7,
    kHighAdjust = 8,
    kLowAdjust = 9,
    kHighFreq = 10,
    kLowFreq = 11,
    kMix = 12,
    kCeiling = 13,
    kOutput = 14,
    kLowSat = 15,
    kMidSat = 16,
    kHighSat = 17,
    kLowRel = 18,
    kMidRel = 19,
    kHighRel = 20,
    kMeters = 21,
    kMeterType = 22,
    kMeterDelay = 23,
    kFineTune = 24,
    kMeterScale = 25,
    kFat = 26,
    kLong = 27,
    kAuto = 28,
    kBrickwall = 29,
    kLR = 30,
    kSpare = 31,  // an unnamed host parameter, kept in the current program only
    kVuIntegr = 43,
    kVuRefer = 44,
    kPpmIntegr = 45,
    kPpmReturn = 46,
    kOverIndic = 47,
    kKnobMode = 48,
    kChannelMode = 57,  // the editor's four-way channel button
  };
};

// Product index -> meaning, for the indices 0..size-1; every other index means nothing.
class ParameterMap {
 public:
  constexpr explicit ParameterMap(std::span<const std::int8_t> meanings) : meanings_(meanings) {}

  constexpr VstInt32 meaningOf(VstInt32 index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= meanings_.size()) return Meaning::kNone;
    return meanings_[static_cast<std::size_t>(index)];
  }
  // The first index with the meaning; -1 when the product has none.
  constexpr VstInt32 indexOf(VstInt32 meaning) const {
    for (std::size_t i = 0; i < meanings_.size(); ++i)
      if (meanings_[i] == meaning) return static_cast<VstInt32>(i);
    return -1;
  }
  constexpr VstInt32 size() const { return static_cast<VstInt32>(meanings_.size()); }

 private:
  std::span<const std::int8_t> meanings_;
};

namespace ostrelvanheim2 {

// Indices 0-30, 43-48 and 57 are their own meanings, 31-41 spare.
inline constexpr std::int8_t kMeanings[] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,  //
    20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 31, 31, 31, 31, 31, 31, 31, 31,  //
    31, 31, -1, 43, 44, 45, 46, 47, 48, -1, -1, -1, -1, -1, -1, -1, -1, 57,
};
inline constexpr ParameterMap kParameterMap{kMeanings};

}  // namespace ostrelvanheim2
