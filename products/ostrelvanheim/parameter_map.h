// The parameter indices of JYX Ostrelvanheim and what each one means: 0-22
// as in the second generation, then its meter-display delay (27), FineTune
// (28), the oversampling index (31, stored but without an oversampled path),
// Long, Auto, Brickwall, MeterScale, L R (32-36), the spare indices 23-26,
// 29, 30 and 37-47, the meter and knob preferences 49-54 and the channel-mode
// selector 65.
#pragma once

#include "products/ostrelvanheim2/parameter_map.h"

namespace ostrelvanheim {

inline constexpr std::int8_t kMeanings[] = {
    Meaning::kProcess,    Meaning::kMode,        Meaning::kMonoStereo, Meaning::kLink,        // 0
    Meaning::kDrive,      Meaning::kKnee,        Meaning::kSpeed,      Meaning::kRelease,     // 4
    Meaning::kHighAdjust, Meaning::kLowAdjust,   Meaning::kHighFreq,   Meaning::kLowFreq,     // 8
    Meaning::kMix,        Meaning::kCeiling,     Meaning::kOutput,     Meaning::kLowSat,      // 12
    Meaning::kMidSat,     Meaning::kHighSat,     Meaning::kLowRel,     Meaning::kMidRel,      // 16
    Meaning::kHighRel,    Meaning::kMeters,      Meaning::kMeterType,  Meaning::kSpare,       // 20
    Meaning::kSpare,      Meaning::kSpare,       Meaning::kSpare,      Meaning::kMeterDelay,  // 24
    Meaning::kFineTune,   Meaning::kSpare,       Meaning::kSpare,      Meaning::kFat,         // 28
    Meaning::kLong,       Meaning::kAuto,        Meaning::kBrickwall,  Meaning::kMeterScale,  // 32
    Meaning::kLR,         Meaning::kSpare,       Meaning::kSpare,      Meaning::kSpare,       // 36
    Meaning::kSpare,      Meaning::kSpare,       Meaning::kSpare,      Meaning::kSpare,       // 40
    Meaning::kSpare,      Meaning::kSpare,       Meaning::kSpare,      Meaning::kSpare,       // 44
    Meaning::kNone,       Meaning::kVuIntegr,    Meaning::kVuRefer,    Meaning::kPpmIntegr,   // 48
    Meaning::kPpmReturn,  Meaning::kOverIndic,   Meaning::kKnobMode,   Meaning::kNone,        // 52
    Meaning::kNone,       Meaning::kNone,        Meaning::kNone,       Meaning::kNone,        // 56
    Meaning::kNone,       Meaning::kNone,        Meaning::kNone,       Meaning::kNone,        // 60
    Meaning::kNone,       Meaning::kChannelMode,                                              // 64
};
inline constexpr ParameterMap kParameterMap{kMeanings};

static_assert(sizeof kMeanings == 66);
static_assert(kParameterMap.indexOf(Meaning::kMeterDelay) == 27 &&
              kParameterMap.indexOf(Meaning::kFat) == 31);
static_assert(kParameterMap.indexOf(Meaning::kLR) == 36 && kParameterMap.indexOf(Meaning::kVuIntegr) == 49);

}  // namespace ostrelvanheim
