// The seven kernels of the engine: three multiband, three single-band and the
// bypass kernel, each ending every sample with the metering step. The mono
// and linked kernels share the L side of the unlinked kernel's state, so a
// change of Link or Mono Stereo continues from the L detector.
#include <algorithm>
#include <cmath>

#include "dsp/compressor_engine.h"

namespace {

constexpr double kDetectorFloor = 0.0009766;
constexpr double kEnvelopeFloor = 1e-6;
constexpr double kPlusTenthDb = 1.0115795;
constexpr double kVuScale = 1.4142136 * 1.096;

// Everything a kernel computes once per call.
struct CallConstants {
  double ppmAttack, ppmRelease, ppmGain;
  double k, oneMinusK, m, mMinus1;
  int laMask, latMask;
};

inline double curve(double z) { return z < 1.0 ? 2.0 * z - z * z : 1.0; }

inline double highPass(double x, const FilterCoeffs& c, HighPassState& s, double p) {
  const double u = c.b0 * x + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2 + p;
  s.x2 = s.x1;
  s.x1 = x;
  s.y2 = s.y1;
  s.y1 = u;
  return u;
}

// Direct form II; b2 equals b0 for both crossovers.
inline double crossover(double u, const FilterCoeffs& c, CrossoverState& s, double p) {
  const double t = u - c.a1 * s.s1 - c.a2 * s.s2 + p;
  const double y = (t + s.s2) * c.b0 + s.s1 * c.b1;
  s.s2 = s.s1;
  s.s1 = t;
  s.last = y;
  return y;
}

// The look-ahead maximum: the new value replaces every smaller entry walking
// back from the write slot, so the entry at the reader holds the largest of
// the values written from the reader to the writer.
inline void slideMaximum(double* ring, int w, int r, int mask, double v) {
  ring[w] = v;
  int j = (w + mask) & mask;
  while (v > ring[j] && j != r) {
    ring[j] = v;
    j = (j + mask) & mask;
  }
  if (v > ring[r]) ring[r] = v;
}

inline double takeMaximum(double* ring, int r, double p) {
  const double x = ring[r] + kDetectorFloor + p;
  ring[r] = 0.0;
  return x;
}

// Band detector envelope; autoOffset is 0.1, or 0.15 for the linked high band.
inline double bandEnvelope(double e, double x, double fast, double slow, double attack,
                           double release, bool autoRelease, double autoOffset) {
  if (x > e) {
    e = e + (x - e) * attack;
  } else if (autoRelease) {
    const double rho = fast * 0.15 / (slow + 1e-6);
    e = e + (x - e) * release * (2 * rho / (rho + 1) + autoOffset) * 1.5;
  } else {
    e = e + (x - e) * release;
  }
  return e < kEnvelopeFloor ? kEnvelopeFloor : e;
}

inline double brickwallEnvelope(double e, double x, double fast, double slow, double attack,
                                double release, bool autoRelease) {
  if (x > e) return e + (x - e) * attack;
  if (autoRelease) {
    const double rho = fast * 0.2 / (slow + 1e-6);
    return e + (x - e) * release * (4 * rho / (rho + 1) + 0.1) * 1.3;
  }
  return e + (x - e) * release;
}

// Single-band envelope before its floor; `weight` is 3 or 4, `scale` the long
// release scale of the linked kernel or 1 where none applies.
inline double singleEnvelope(double e, double x, double fast, double slow, double attack,
                             double release, bool autoRelease, double weight, const double* scale) {
  if (x > e) return e + (x - e) * attack;
  if (autoRelease) {
    const double rho = fast * 0.18 / (slow + 1e-6);
    const double step = (x - e) * release * (weight * rho / (rho + 1) + 0.1) * 1.4;
    return e + (scale ? step * *scale : step);
  }
  return e + (x - e) * release;
}

}  // namespace

namespace {

// The saturation gain for an envelope e: the static curve at the drive point,
// relative to the envelope. satInverse and satLevel are 1 in single-band mode.
inline double saturationGain(const CompressorEngine& s, const CallConstants& k, double e,
                                    double satInverse, double satLevel, bool perBand) {
  const double I = perBand ? e * s.driveGain * satInverse * s.curveScale : e * s.driveGain * s.curveScale;
  double g;
  if (s.kneeMode == 0) {
    g = k.oneMinusK * std::min(I, 1.0) + k.k * curve(I);
  } else {
    const double ip = I * k.m / (I + k.mMinus1);
    g = curve(ip);
  }
  return perBand ? g * satLevel / e : g / e;
}

CallConstants callConstants(const CompressorEngine& s, bool fat, int nla, int nlat) {
  CallConstants c{};
  const double fs = fat ? 2.0 * static_cast<double>(s.sampleRate) : static_cast<double>(s.sampleRate);
  c.ppmAttack = s.ppmIntegrationMs > 0.05 ? 1.0 - std::pow(0.01, 1.0 / (fs * s.ppmIntegrationMs * 0.001)) : 1.0;
  c.ppmRelease = 1.0 - std::pow(0.01, 1.0 / (fs * s.ppmReturnMs * 0.001));
  c.ppmGain = std::pow(10.0, 0.19 * std::pow(static_cast<double>(s.ppmTimeRatio), 0.6));
  c.k = s.kneeAmount;
  const double k8 = std::sqrt(std::sqrt(std::sqrt(c.k)));
  c.m = 1.4 * std::pow(30.0, 1.0 - k8);
  c.mMinus1 = c.m - 1.0;
  c.oneMinusK = 1.0 - c.k;
  c.laMask = nla - 1;
  c.latMask = nlat - 1;
  return c;
}

void countOver(CompressorEngine& s, int c, double x) {
  if (x >= 1.0)
    s.overCounts[c] = s.overCounts[c] + 1.0f;
  else if (s.overCounts[c] < s.overThreshold)
    s.overCounts[c] = 0.0f;
}

// One channel's metering step: Pre, GainRed and Post values as the kernel hands them.
void meterChannel(CompressorEngine& s, const CallConstants& k, int c, double pre, double gainRed,
                  double post, double p) {
  const bool ppm = s.meterTypeValue >= 0.5f;
  double m = s.meterLevels[c];
  double counted;
  switch (s.meterSource) {
    case 0: {
      counted = std::fabs(pre);
      if (!ppm) {
        m = s.vuFilters[c].tick(std::fabs(pre) * kVuScale * s.vuReferenceInverse);
      } else {
        const double t = std::fabs(pre) * k.ppmGain;
        m = m + (t - m) * (t > m ? k.ppmAttack : k.ppmRelease) + p;
      }
      break;
    }
    case 1: {
      counted = std::fabs(post);
      if (!ppm) {
        const double v = std::fabs(gainRed) * s.ceilingGain;
        m = v < 0.01 ? 1.0 : s.vuFilters[c].tick(v / s.smallSignalGainValue);
      } else {
        const double t = std::fabs(gainRed) * s.ceilingGain / s.smallSignalGainValue;
        m = m + (t - m) * (m > t ? k.ppmAttack : k.ppmRelease) + p;
      }
      break;
    }
    default: {
      counted = std::fabs(post);
      if (!ppm) {
        m = s.vuFilters[c].tick(std::fabs(post) * kVuScale * s.vuReferenceInverse);
      } else {
        const double t = std::fabs(post) * k.ppmGain;
        m = m + (t - m) * (t > m ? k.ppmAttack : k.ppmRelease) + p;
      }
      break;
    }
  }
  s.meterLevels[c] = static_cast<float>(m);
  countOver(s, c, counted);
}

enum class MonoRouting { Both, Left, Right };

MonoRouting monoRouting(float lrValue) {
  const double lr = lrValue;
  if (lr < 0.333) return MonoRouting::Both;
  if (lr < 0.66) return MonoRouting::Left;
  return MonoRouting::Right;
}

// Outputs and meters of the one-channel kernels. xp and xo are the processed
// and the other input plus the offset; the unprocessed channel's gain
// reduction reads the small-signal gain, so its meter shows the ceiling gain.
void writeOneChannel(CompressorEngine& s, const CallConstants& k, MonoRouting routing, int i,
                     double processed, double other, double xp, double xo, double gainRed, double p) {
  switch (routing) {
    case MonoRouting::Both:
      s.workOut[0][i] = processed;
      s.workOut[1][i] = processed;
      if (s.editorIsOpen != 0) {
        meterChannel(s, k, 0, xp, gainRed, processed, p);
        meterChannel(s, k, 1, xp, gainRed, processed, p);
      }
      break;
    case MonoRouting::Left:
      s.workOut[0][i] = processed;
      s.workOut[1][i] = other;
      if (s.editorIsOpen != 0) {
        meterChannel(s, k, 0, xp, gainRed, processed, p);
        meterChannel(s, k, 1, xo, s.smallSignalGainValue, other, p);
      }
      break;
    case MonoRouting::Right:
      s.workOut[0][i] = other;
      s.workOut[1][i] = processed;
      if (s.editorIsOpen != 0) {
        meterChannel(s, k, 0, xo, s.smallSignalGainValue, other, p);
        meterChannel(s, k, 1, xp, gainRed, processed, p);
      }
      break;
  }
}

// The end of every processed sample: the wet signal through the output
// latency ring with the ceiling gain, the dry mix with the aligned input, the
// output gain, the outputs and the meters. o and q advance by one.
template <bool kStereo>
void finishSample(CompressorEngine& s, const CallConstants& k, MonoRouting routing, int i,
                  const double (&wet)[2], const double (&x)[2], const double (&gainRed)[2], double p,
                  int& o, int& q) {
  constexpr int kChannels = kStereo ? 2 : 1;
  static constexpr int kOut[2] = {CompressorEngine::kOutL, CompressorEngine::kOutR};
  double* const ring = s.delayRings;
  double y[2] = {0.0, 0.0};
  for (int c = 0; c < kChannels; ++c) ring[kOut[c] + o] = wet[c] * s.ceilingLevel;
  for (int c = 0; c < kChannels; ++c) y[c] = ring[kOut[c] + q];
  q = (q + 1) & k.latMask;
  o = (o + 1) & k.latMask;
  const double dryA = ring[CompressorEngine::kDryA + o];
  const double dryB = ring[CompressorEngine::kDryB + o];

  if constexpr (kStereo) {
    const double outL = ((y[0] - dryA) * s.mix + dryA) * s.outputGain;
    const double outR = ((y[1] - dryB) * s.mix + dryB) * s.outputGain;
    s.workOut[0][i] = outL;
    s.workOut[1][i] = outR;
    if (s.editorIsOpen != 0) {
      meterChannel(s, k, 0, x[0], gainRed[0], outL, p);
      meterChannel(s, k, 1, x[1], gainRed[1], outR, p);
    }
  } else {
    const double processed = ((y[0] - dryA) * s.mix + dryA) * s.outputGain;
    const double other = dryB * s.outputGain;
    writeOneChannel(s, k, routing, i, processed, other, x[0], x[1], gainRed[0], p);
  }
}

}  // namespace

template <CompressorEngine::Detection D>
void CompressorEngine::processMultiBand(int n, bool fat) {
  const int nla = lookaheadRingSize();
  const int nlat = latencyRingSize();
  const CallConstants k = callConstants(*this, fat, nla, nlat);
  constexpr bool kStereo = D != Detection::OneChannel;
  const MonoRouting routing = kStereo ? MonoRouting::Both : monoRouting(lrValue);
  const double* in[2] = {workIn[0], workIn[1]};
  if (!kStereo && routing == MonoRouting::Right) std::swap(in[0], in[1]);  // processed, other

  int w = lookaheadWritePos, r = bandPeakReadPos, rb = brickwallPeakReadPos;
  int o = latencyWritePos, q = latencyReadPos;
  double* const ring = delayRings;
  static constexpr int kBandRing[3][2] = {{kLowL, kLowR}, {kMidL, kMidR}, {kHighL, kHighR}};
  static constexpr int kMaxRing[3][2] = {{kLowMaxL, kLowMaxR}, {kMidMaxL, kMidMaxR}, {kHighMaxL, kHighMaxR}};
  static constexpr int kBandEnv[3][2] = {{kEnvLowL, kEnvLowR}, {kEnvMidL, kEnvMidR}, {kEnvHighL, kEnvHighR}};
  constexpr int kChannels = kStereo ? 2 : 1;

  for (int i = 0; i < n; ++i) {
    const double p = -antiDenormal;
    antiDenormal = p;

    double x[2] = {in[0][i] + p, in[1][i] + p};
    ring[kDryA + o] = x[0];
    ring[kDryB + o] = x[1];

    // Complementary three-band split per processed channel.
    double band[3][2] = {};
    for (int c = 0; c < kChannels; ++c) {
      const double u = highPass(x[c], inputHighPassCoeffs[c], highPassState[c], p);
      const double h = crossover(u, lowCrossoverCoeffs[c], lowCrossoverState[c], p);
      const double l = crossover(u, highCrossoverCoeffs[c], highCrossoverState[c], p);
      band[kLow][c] = (u - h) * lowAdjustGain;
      band[kHigh][c] = (u - l) * highAdjustGain;
      band[kMid][c] = h - (u - l);
      for (int b = 0; b < 3; ++b) ring[kBandRing[b][c] + w] = band[b][c];
    }

    // Look-ahead maximum of each band: one detector for both channels unless unlinked.
    for (int b = 0; b < 3; ++b) {
      if constexpr (D == Detection::Unlinked) {
        slideMaximum(ring + kMaxRing[b][0], w, r, k.laMask, std::fabs(band[b][0]));
        slideMaximum(ring + kMaxRing[b][1], w, r, k.laMask, std::fabs(band[b][1]));
      } else {
        double v = std::fabs(band[b][0]);
        if constexpr (D == Detection::Linked) {
          if (std::fabs(band[b][1]) > v) v = std::fabs(band[b][1]);
        }
        slideMaximum(ring + kMaxRing[b][0], w, r, k.laMask, v);
      }
    }

    // Envelopes and gains, band by band; GR is the smallest band gain.
    double sum[2] = {0.0, 0.0};
    double gainRed[2] = {1.0, 1.0};
    double gained[3][2] = {};
    for (int b = 0; b < 3; ++b) {
      constexpr int kDetectors = D == Detection::Unlinked ? 2 : 1;
      double gain[2] = {1.0, 1.0};
      for (int c = 0; c < kDetectors; ++c) {
        const double xd = takeMaximum(ring + kMaxRing[b][c], r, p);
        const double fast = autoFastFilters[c][b].tick(xd);
        const double slow = autoSlowFilters[c][b].tick(xd);
        const double autoOffset = (D == Detection::Linked && b == kHigh) ? 0.15 : 0.1;
        double& e = envelopes[kBandEnv[b][c]];
        e = bandEnvelope(e, xd, fast, slow, attackCoeff, bandReleaseCoeffs[b], autoOn != 0, autoOffset);
        gain[c] = saturationGain(*this, k, e, satInverses[b], satLevels[b], true);
      }
      if constexpr (D != Detection::Unlinked) gain[1] = gain[0];
      for (int c = 0; c < kChannels; ++c) {
        gained[b][c] = ring[kBandRing[b][c] + r] * gain[c];
        gainRed[c] = b == kLow ? gain[c] : std::min(gainRed[c], gain[c]);
      }
    }
    for (int c = 0; c < kChannels; ++c) {
      sum[c] = (gained[kMid][c] + gained[kLow][c]) + gained[kHigh][c];
      ring[(c == 0 ? kSumL : kSumR) + w] = sum[c];
    }

    // Brickwall: its own look-ahead maximum of the band sum.
    double wet[2] = {0.0, 0.0};
    if constexpr (D == Detection::Unlinked) {
      double xb[2];
      for (int c = 0; c < 2; ++c) {
        const int maxRing = c == 0 ? kBrickwallMaxL : kBrickwallMaxR;
        slideMaximum(ring + maxRing, w, rb, k.laMask, std::fabs(sum[c] * kPlusTenthDb));
        xb[c] = takeMaximum(ring + maxRing, rb, p);
        wet[c] = ring[(c == 0 ? kSumL : kSumR) + rb];
      }
      if (brickwallOn != 0) {
        for (int c = 0; c < 2; ++c) {
          const double fast = autoFastFilters[c][kFull].tick(xb[c]);
          const double slow = autoSlowFilters[c][kFull].tick(xb[c]);
          double& e = envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR];
          e = brickwallEnvelope(e, xb[c], fast, slow, brickwallAttackCoeff, brickwallReleaseCoeff, autoOn != 0);
          const double g = e < 1.0 ? 1.0 : 1.0 / e;
          wet[c] = std::clamp(wet[c] * g, -1.0, 1.0);
          gainRed[c] = gainRed[c] * g;
        }
      }
    } else {
      double v = std::fabs(sum[0] * kPlusTenthDb);
      if constexpr (D == Detection::Linked) {
        if (std::fabs(sum[1] * kPlusTenthDb) > v) v = std::fabs(sum[1] * kPlusTenthDb);
      }
      slideMaximum(ring + kBrickwallMaxL, w, rb, k.laMask, v);
      const double xb = takeMaximum(ring + kBrickwallMaxL, rb, p);
      for (int c = 0; c < kChannels; ++c) wet[c] = ring[(c == 0 ? kSumL : kSumR) + rb];
      if (brickwallOn != 0) {
        const double fast = autoFastFilters[0][kFull].tick(xb);
        const double slow = autoSlowFilters[0][kFull].tick(xb);
        double& e = envelopes[kEnvBrickwallL];
        e = brickwallEnvelope(e, xb, fast, slow, brickwallAttackCoeff, brickwallReleaseCoeff, autoOn != 0);
        const double g = e < 1.0 ? 1.0 : 1.0 / e;
        for (int c = 0; c < kChannels; ++c) {
          wet[c] = std::clamp(wet[c] * g, -1.0, 1.0);
          gainRed[c] = gainRed[c] * g;
        }
      }
    }

    finishSample<kStereo>(*this, k, routing, i, wet, x, gainRed, p, o, q);

    w = (w + 1) & k.laMask;
    r = (r + 1) & k.laMask;
    rb = (rb + 1) & k.laMask;
  }
  lookaheadWritePos = w;
  bandPeakReadPos = r;
  brickwallPeakReadPos = rb;
  latencyWritePos = o;
  latencyReadPos = q;
}

template <CompressorEngine::Detection D>
void CompressorEngine::processSingleBand(int n, bool fat) {
  const int nla = lookaheadRingSize();
  const int nlat = latencyRingSize();
  const CallConstants k = callConstants(*this, fat, nla, nlat);
  const double lowAdjustMinus1 = lowAdjustGain - 1.0;
  const double highAdjustMinus1 = highAdjustGain - 1.0;
  constexpr bool kStereo = D != Detection::OneChannel;
  constexpr int kChannels = kStereo ? 2 : 1;
  const MonoRouting routing = kStereo ? MonoRouting::Both : monoRouting(lrValue);
  const double* in[2] = {workIn[0], workIn[1]};
  if (!kStereo && routing == MonoRouting::Right) std::swap(in[0], in[1]);  // processed, other

  int w = lookaheadWritePos, r = bandPeakReadPos, rb = brickwallPeakReadPos;
  int o = latencyWritePos, q = latencyReadPos;
  double* const ring = delayRings;
  static constexpr int kSignal[2] = {kSumL, kSumR};
  static constexpr int kMaximum[2] = {kBrickwallMaxL, kBrickwallMaxR};

  for (int i = 0; i < n; ++i) {
    const double p = -antiDenormal;
    antiDenormal = p;

    const double x[2] = {in[0][i] + p, in[1][i] + p};
    ring[kDryA + o] = x[0];
    ring[kDryB + o] = x[1];

    // Tone shaping around the two crossover frequencies, no band split.
    double shaped[2] = {0.0, 0.0};
    for (int c = 0; c < kChannels; ++c) {
      const double u = highPass(x[c], inputHighPassCoeffs[c], highPassState[c], p);
      // The one-channel kernel blends its wet signal with the high-passed input.
      if constexpr (!kStereo) ring[kDryA + o] = u;
      const double h = crossover(u, lowCrossoverCoeffs[c], lowCrossoverState[c], p);
      const double l = crossover(u, highCrossoverCoeffs[c], highCrossoverState[c], p);
      shaped[c] = u + (u - h) * lowAdjustMinus1 + (u - l) * highAdjustMinus1;
      ring[kSignal[c] + w] = shaped[c];
    }

    double gain[2] = {1.0, 1.0};
    if constexpr (D == Detection::Unlinked) {
      double xd[2];
      for (int c = 0; c < 2; ++c) {
        slideMaximum(ring + kMaximum[c], w, r, k.laMask, std::fabs(shaped[c] * kPlusTenthDb));
        xd[c] = takeMaximum(ring + kMaximum[c], r, p);
      }
      // The L detector releases with weight 4, the R detector with 3.
      static constexpr double kWeight[2] = {4.0, 3.0};
      for (int c = 0; c < 2; ++c) {
        const double fast = autoFastFilters[c][kFull].tick(xd[c]);
        const double slow = autoSlowFilters[c][kFull].tick(xd[c]);
        double& e = envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR];
        e = singleEnvelope(e, xd[c], fast, slow, attackCoeff, singleBandReleaseCoeff, autoOn != 0,
                           kWeight[c], nullptr);
      }
      for (int c = 0; c < 2; ++c) {
        double& e = envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR];
        if (e < kEnvelopeFloor) e = kEnvelopeFloor;
      }
      for (int c = 0; c < 2; ++c)
        gain[c] = saturationGain(*this, k, envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR], 1.0, 1.0, false);
    } else {
      double v = std::fabs(shaped[0] * kPlusTenthDb);
      if constexpr (D == Detection::Linked) {
        if (std::fabs(shaped[1] * kPlusTenthDb) > v) v = std::fabs(shaped[1] * kPlusTenthDb);
      }
      slideMaximum(ring + kBrickwallMaxL, w, r, k.laMask, v);
      const double xd = takeMaximum(ring + kBrickwallMaxL, r, p);
      const double fast = autoFastFilters[0][kFull].tick(xd);
      const double slow = autoSlowFilters[0][kFull].tick(xd);
      double& e = envelopes[kEnvBrickwallL];
      e = singleEnvelope(e, xd, fast, slow, attackCoeff, singleBandReleaseCoeff, autoOn != 0, 3.0,
                         D == Detection::Linked ? &longReleaseScale : nullptr);
      if (e < kEnvelopeFloor) e = kEnvelopeFloor;
      gain[0] = gain[1] = saturationGain(*this, k, e, 1.0, 1.0, false);
    }

    double wet[2] = {0.0, 0.0};
    for (int c = 0; c < kChannels; ++c) {
      wet[c] = ring[kSignal[c] + r] * gain[c];
      if (brickwallOn != 0) wet[c] = std::clamp(wet[c], -1.0, 1.0);
    }
    finishSample<kStereo>(*this, k, routing, i, wet, x, gain, p, o, q);

    w = (w + 1) & k.laMask;
    r = (r + 1) & k.laMask;
    rb = (rb + 1) & k.laMask;
  }
  lookaheadWritePos = w;
  bandPeakReadPos = r;
  brickwallPeakReadPos = rb;
  latencyWritePos = o;
  latencyReadPos = q;
}

void CompressorEngine::processBypassed(int n, bool fat) {
  const int nla = lookaheadRingSize();
  const int nlat = latencyRingSize();
  const CallConstants k = callConstants(*this, fat, nla, nlat);
  const double fs = fat ? 2.0 * static_cast<double>(sampleRate) : static_cast<double>(sampleRate);
  const double a50 = 1.0 - std::pow(0.01, 1.0 / (fs * 50 * 0.001));
  const float gainAsFloat = static_cast<float>(k.ppmGain);

  int w = lookaheadWritePos, r = bandPeakReadPos, rb = brickwallPeakReadPos;
  int o = latencyWritePos, q = latencyReadPos;
  double* const ring = delayRings;

  for (int i = 0; i < n; ++i) {
    const double p = -antiDenormal;
    antiDenormal = p;
    const double x[2] = {workIn[0][i] + p, workIn[1][i] + p};
    ring[kDryA + o] = x[0];
    ring[kDryB + o] = x[1];
    q = (q + 1) & k.latMask;
    o = (o + 1) & k.latMask;
    const double out[2] = {ring[kDryA + o], ring[kDryB + o]};
    workOut[0][i] = out[0];
    workOut[1][i] = out[1];

    if (editorIsOpen != 0) {
      for (int c = 0; c < 2; ++c) {
        if (meterSource != 1) {
          meterChannel(*this, k, c, x[c], 1.0, out[c], p);
          continue;
        }
        // Gain reduction while bypassed: VU settles at 1, PPM follows the
        // ratio of the smoothed input to the smoothed meter gain.
        if (meterTypeValue < 0.5f) {
          meterLevels[c] = static_cast<float>(vuFilters[c].tick(1.0));
        } else {
          float& sIn = bypassMeterSmoothers[2 * c];
          float& sG = bypassMeterSmoothers[2 * c + 1];
          const float towardsGain = gainAsFloat - sG;
          sG = static_cast<float>(sG + towardsGain * a50 + p);
          sIn = static_cast<float>(sIn + (std::fabs(x[c]) - sIn) * a50 + p);
          const double t = static_cast<float>((sIn + 0.001) / (sG * smallSignalGainValue + 0.001));
          const double m = meterLevels[c];
          meterLevels[c] = static_cast<float>(m + (t - m) * (m > t ? k.ppmAttack : k.ppmRelease) + p);
        }
        countOver(*this, c, std::fabs(out[c]));
      }
    }

    w = (w + 1) & k.laMask;
    r = (r + 1) & k.laMask;
    rb = (rb + 1) & k.laMask;
  }
  lookaheadWritePos = w;
  bandPeakReadPos = r;
  brickwallPeakReadPos = rb;
  latencyWritePos = o;
  latencyReadPos = q;
}

template void CompressorEngine::processMultiBand<CompressorEngine::Detection::Linked>(int, bool);
template void CompressorEngine::processMultiBand<CompressorEngine::Detection::Unlinked>(int, bool);
template void CompressorEngine::processMultiBand<CompressorEngine::Detection::OneChannel>(int, bool);
template void CompressorEngine::processSingleBand<CompressorEngine::Detection::Linked>(int, bool);
template void CompressorEngine::processSingleBand<CompressorEngine::Detection::Unlinked>(int, bool);
template void CompressorEngine::processSingleBand<CompressorEngine::Detection::OneChannel>(int, bool);
