// The seven kernels of the engine: three multiband, three single-band and the
// bypass kernel, each ending every sample with the metering step. The mono
// and linked kernels share the L side of the unlinked kernel's state, so a
// change of Link or Mono Stereo continues from the L detector.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "dsp/compressor_engine.h"
#include "dsp/detector.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"

namespace {

// What a kernel reads for one call: the metering constants and knee shape it
// computes, and a snapshot of the coefficients, gains and switches. A chunk
// thus runs on one consistent set of values even when another thread changes
// parameters meanwhile; a host that changes them between blocks sees the same
// result as reading them sample by sample.
struct CallConstants {
  double ppmAttack, ppmRelease, ppmGain;
  KneeShape knee;
  int laMask, latMask;
  double attack, bandRelease[3], brickwallAttack, brickwallRelease, singleRelease, longScale;
  bool autoOn, brickwallOn, editorIsOpen;
  double drive, curveScale, satLevel[3], satInverse[3], lowAdjust, highAdjust;
  double ceilingLevel, mix, outputGain;
  // The gain of the unprocessed channel in the one-channel L and R routings.
  double otherGain;
  FilterCoeffs highPass[2], lowCrossover[2], highCrossover[2];
};

// The filter states and envelopes a kernel carries from sample to sample,
// held in locals for the call and written back after it.
struct KernelState {
  HighPassState highPass[2];
  CrossoverState lowCrossover[2], highCrossover[2];
  double envelopes[8];
  double offset;

  explicit KernelState(const CompressorEngine& s) {
    for (int c = 0; c < 2; ++c) {
      highPass[c] = s.highPassState[c];
      lowCrossover[c] = s.lowCrossoverState[c];
      highCrossover[c] = s.highCrossoverState[c];
    }
    std::copy(std::begin(s.envelopes), std::end(s.envelopes), envelopes);
    offset = s.antiDenormal;
  }
  void store(CompressorEngine& s) const {
    for (int c = 0; c < 2; ++c) {
      s.highPassState[c] = highPass[c];
      s.lowCrossoverState[c] = lowCrossover[c];
      s.highCrossoverState[c] = highCrossover[c];
    }
    std::copy(std::begin(envelopes), std::end(envelopes), s.envelopes);
    s.antiDenormal = offset;
  }
};

// The brickwall gain: 1 below full scale, the inverse of the envelope above.
inline double brickwallGain(double e) { return e < 1.0 ? 1.0 : 1.0 / e; }

// Band detector envelope; autoOffset is 0.1, or 0.15 for the linked high band.
inline double bandEnvelope(double e, double x, double fast, double slow, double attack, double release,
                           bool autoRelease, double autoOffset) {
  if (autoRelease) {
    if (x > e) {
      e = e + (x - e) * attack;
    } else {
      const double rho = fast * 0.15 / (slow + 1e-6);
      e = e + (x - e) * release * (2 * rho / (rho + 1) + autoOffset) * 1.5;
    }
  } else {
    e = e + (x - e) * whenGreater(x, e, attack, release);
  }
  return std::max(e, kEnvelopeFloor);
}

inline double brickwallEnvelope(double e, double x, double fast, double slow, double attack, double release,
                                bool autoRelease) {
  if (!autoRelease) return e + (x - e) * whenGreater(x, e, attack, release);
  if (x > e) return e + (x - e) * attack;
  const double rho = fast * 0.2 / (slow + 1e-6);
  return e + (x - e) * release * (4 * rho / (rho + 1) + 0.1) * 1.3;
}

// Single-band envelope before its floor; `weight` is 3 or 4, `scale` the long
// release scale of the linked kernel or 1 where none applies.
inline double singleEnvelope(double e, double x, double fast, double slow, double attack, double release,
                             bool autoRelease, double weight, const double* scale) {
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
inline double saturationGain(const CallConstants& k, double e, double satInverse, double satLevel,
                             bool perBand) {
  const double I = perBand ? e * k.drive * satInverse * k.curveScale : e * k.drive * k.curveScale;
  const double g = k.knee(I);
  return perBand ? g * satLevel / e : g / e;
}

CallConstants callConstants(const CompressorEngine& s, const CompressorEngine::ChunkRings& rings,
                            bool otherWithoutGain = false) {
  CallConstants c{};
  const double fs = rings.fat ? 2.0 * static_cast<double>(rings.rate) : static_cast<double>(rings.rate);
  const PpmBallistics ppm = PpmBallistics::at(fs, s.ppmIntegrationMs, s.ppmReturnMs, s.ppmTimeRatio);
  c.ppmAttack = ppm.attack;
  c.ppmRelease = ppm.release;
  c.ppmGain = ppm.gain;
  c.knee = KneeShape::of(s.kneeAmount, s.kneeMode);
  c.laMask = rings.lookaheadMask;
  c.latMask = rings.latencyMask;
  c.attack = s.attackCoeff;
  for (int b = 0; b < 3; ++b) {
    c.bandRelease[b] = s.bandReleaseCoeffs[b];
    c.satLevel[b] = s.satLevels[b];
    c.satInverse[b] = s.satInverses[b];
  }
  c.brickwallAttack = s.brickwallAttackCoeff;
  c.brickwallRelease = s.brickwallReleaseCoeff;
  c.singleRelease = s.singleBandReleaseCoeff;
  c.longScale = s.longReleaseScale;
  c.autoOn = s.autoOn != 0;
  c.brickwallOn = s.brickwallOn != 0;
  c.editorIsOpen = s.editorIsOpen.load(std::memory_order_relaxed) != 0;
  c.drive = s.driveGain;
  c.curveScale = s.curveScale;
  c.lowAdjust = s.lowAdjustGain;
  c.highAdjust = s.highAdjustGain;
  c.ceilingLevel = s.ceilingLevel;
  c.mix = s.mix;
  c.outputGain = s.outputGain;
  c.otherGain = otherWithoutGain ? 1.0 : c.outputGain;
  for (int ch = 0; ch < 2; ++ch) {
    c.highPass[ch] = s.inputHighPassCoeffs[ch];
    c.lowCrossover[ch] = s.lowCrossoverCoeffs[ch];
    c.highCrossover[ch] = s.highCrossoverCoeffs[ch];
  }
  return c;
}

void countOver(CompressorEngine& s, int c, double x) {
  advanceOverCount(s.overCounts[c], s.overThreshold, x);
}

// One channel's metering step: Pre, GainRed and Post values as the kernel hands them.
void meterChannel(CompressorEngine& s, const CallConstants& k, int c, double pre, double gainRed, double post,
                  double p) {
  const bool ppm = s.meterTypeValue >= 0.5f;
  double m = s.meterLevels[c];
  double counted;
  if (s.meterSource == 1) {
    counted = std::fabs(post);
    if (!ppm) {
      const double v = std::fabs(gainRed) * s.ceilingGain;
      m = v < 0.01 ? 1.0 : s.vuFilters[c].tick(v / s.smallSignalGainValue);
    } else {
      const double t = std::fabs(gainRed) * s.ceilingGain / s.smallSignalGainValue;
      m = m + (t - m) * (m > t ? k.ppmAttack : k.ppmRelease) + p;
    }
  } else {
    // Level meters: the input (Pre) or the output (Post).
    const double level = std::fabs(s.meterSource == 0 ? pre : post);
    counted = level;
    if (!ppm) {
      m = s.vuFilters[c].tick(level * kVuScale * s.vuReferenceInverse);
    } else {
      const double t = level * k.ppmGain;
      m = m + (t - m) * (t > m ? k.ppmAttack : k.ppmRelease) + p;
    }
  }
  publishMeterLevel(s.meterLevels[c], m);
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
      if (k.editorIsOpen) {
        meterChannel(s, k, 0, xp, gainRed, processed, p);
        meterChannel(s, k, 1, xp, gainRed, processed, p);
      }
      break;
    case MonoRouting::Left:
      s.workOut[0][i] = processed;
      s.workOut[1][i] = other;
      if (k.editorIsOpen) {
        meterChannel(s, k, 0, xp, gainRed, processed, p);
        meterChannel(s, k, 1, xo, s.smallSignalGainValue, other, p);
      }
      break;
    case MonoRouting::Right:
      s.workOut[0][i] = other;
      s.workOut[1][i] = processed;
      if (k.editorIsOpen) {
        meterChannel(s, k, 0, xo, s.smallSignalGainValue, other, p);
        meterChannel(s, k, 1, xp, gainRed, processed, p);
      }
      break;
  }
}

// The five ring positions of a kernel call. Every kernel moves all of them on
// by one per sample and sets none, so a switch of kernel keeps the latency.
struct Cursor {
  int w, r, rb, o, q;

  // Every position masked with the chunk's masks before any use.
  Cursor(const CompressorEngine& s, const CompressorEngine::ChunkRings& rings)
      : w(s.lookaheadWritePos & rings.lookaheadMask),
        r(s.bandPeakReadPos & rings.lookaheadMask),
        rb(s.brickwallPeakReadPos & rings.lookaheadMask),
        o(s.latencyWritePos & rings.latencyMask),
        q(s.latencyReadPos & rings.latencyMask) {}
  void advanceLatency(int mask) {
    q = (q + 1) & mask;
    o = (o + 1) & mask;
  }
  void advanceLookahead(int mask) {
    w = (w + 1) & mask;
    r = (r + 1) & mask;
    rb = (rb + 1) & mask;
  }
  void store(CompressorEngine& s) const {
    s.lookaheadWritePos = w;
    s.bandPeakReadPos = r;
    s.brickwallPeakReadPos = rb;
    s.latencyWritePos = o;
    s.latencyReadPos = q;
  }
};

// The end of every processed sample: the wet signal through the output
// latency ring with the ceiling gain, the dry mix with the aligned input, the
// output gain, the outputs and the meters. o and q advance by one.
template <bool kStereo>
inline __attribute__((always_inline)) void finishSample(CompressorEngine& s, const CallConstants& k,
                                                        MonoRouting routing, int i, const double (&wet)[2],
                                                        const double (&x)[2], const double (&gainRed)[2],
                                                        double p, Cursor& pos) {
  constexpr int kChannels = kStereo ? 2 : 1;
  static constexpr int kOut[2] = {CompressorEngine::kOutL, CompressorEngine::kOutR};
  double* const ring = s.delayRings;
  double y[2] = {0.0, 0.0};
  for (int c = 0; c < kChannels; ++c) ring[kOut[c] + pos.o] = wet[c] * k.ceilingLevel;
  for (int c = 0; c < kChannels; ++c) y[c] = ring[kOut[c] + pos.q];
  pos.advanceLatency(k.latMask);
  const double dryA = ring[CompressorEngine::kDryA + pos.o];
  const double dryB = ring[CompressorEngine::kDryB + pos.o];

  if constexpr (kStereo) {
    const double outL = ((y[0] - dryA) * k.mix + dryA) * k.outputGain;
    const double outR = ((y[1] - dryB) * k.mix + dryB) * k.outputGain;
    s.workOut[0][i] = outL;
    s.workOut[1][i] = outR;
    if (k.editorIsOpen) {
      meterChannel(s, k, 0, x[0], gainRed[0], outL, p);
      meterChannel(s, k, 1, x[1], gainRed[1], outR, p);
    }
  } else {
    const double processed = ((y[0] - dryA) * k.mix + dryA) * k.outputGain;
    const double other = dryB * k.otherGain;
    writeOneChannel(s, k, routing, i, processed, other, x[0], x[1], gainRed[0], p);
  }
}

}  // namespace

template <CompressorEngine::Detection D>
void CompressorEngine::processMultiBand(int n, const ChunkRings& rings) {
  const CallConstants k = callConstants(*this, rings, traits_.multiBandOtherWithoutGain);
  KernelState st(*this);
  constexpr bool kStereo = D != Detection::OneChannel;
  const MonoRouting routing = kStereo ? MonoRouting::Both : monoRouting(lrValue);
  const double* in[2] = {workIn[0], workIn[1]};
  if (!kStereo && routing == MonoRouting::Right) std::swap(in[0], in[1]);  // processed, other

  Cursor pos(*this, rings);
  auto& [w, r, rb, o, q] = pos;
  double* const ring = delayRings;
  static constexpr int kBandRing[3][2] = {{kLowL, kLowR}, {kMidL, kMidR}, {kHighL, kHighR}};
  static constexpr int kMaxRing[3][2] = {{kLowMaxL, kLowMaxR}, {kMidMaxL, kMidMaxR}, {kHighMaxL, kHighMaxR}};
  static constexpr int kBandEnv[3][2] = {{kEnvLowL, kEnvLowR}, {kEnvMidL, kEnvMidR}, {kEnvHighL, kEnvHighR}};
  static constexpr int kBrickwallMax[2] = {kBrickwallMaxL, kBrickwallMaxR};
  constexpr int kChannels = kStereo ? 2 : 1;
  constexpr int kDetectors = D == Detection::Unlinked ? 2 : 1;
  DetectorMaximum bandMax[3][2], brickwallMax[2];
  for (int c = 0; c < kDetectors; ++c) {
    for (int b = 0; b < 3; ++b)
      bandMax[b][c].begin(maximumQueues_[2 * b + c], ring + kMaxRing[b][c], k.laMask, r, w);
    brickwallMax[c].begin(maximumQueues_[6 + c], ring + kBrickwallMax[c], k.laMask, rb, w);
  }

  for (int i = 0; i < n; ++i) {
    const double p = -st.offset;
    st.offset = p;

    double x[2] = {in[0][i] + p, in[1][i] + p};
    ring[kDryA + o] = x[0];
    ring[kDryB + o] = x[1];

    // Complementary three-band split per processed channel.
    double band[3][2] = {};
    for (int c = 0; c < kChannels; ++c) {
      const double u = highPass(x[c], k.highPass[c], st.highPass[c], p);
      const double h = crossover(u, k.lowCrossover[c], st.lowCrossover[c], p);
      const double l = crossover(u, k.highCrossover[c], st.highCrossover[c], p);
      band[kLow][c] = (u - h) * k.lowAdjust;
      band[kHigh][c] = (u - l) * k.highAdjust;
      band[kMid][c] = h - (u - l);
      for (int b = 0; b < 3; ++b) ring[kBandRing[b][c] + w] = band[b][c];
    }

    // Look-ahead maximum of each band: one detector for both channels unless unlinked.
    for (int b = 0; b < 3; ++b) {
      if constexpr (D == Detection::Unlinked) {
        bandMax[b][0].push(std::fabs(band[b][0]));
        bandMax[b][1].push(std::fabs(band[b][1]));
      } else {
        double v = std::fabs(band[b][0]);
        if constexpr (D == Detection::Linked) {
          if (std::fabs(band[b][1]) > v) v = std::fabs(band[b][1]);
        }
        bandMax[b][0].push(v);
      }
    }

    // Envelopes and gains, band by band; GR is the smallest band gain.
    double sum[2] = {0.0, 0.0};
    double gainRed[2] = {1.0, 1.0};
    double gained[3][2] = {};
    for (int b = 0; b < 3; ++b) {
      double gain[2] = {1.0, 1.0};
      for (int c = 0; c < kDetectors; ++c) {
        const double xd = bandMax[b][c].take(r, p);
        const double fast = autoFastFilters[c][b].tick(xd);
        const double slow = autoSlowFilters[c][b].tick(xd);
        const double autoOffset = (D == Detection::Linked && b == kHigh) ? 0.15 : 0.1;
        double& e = st.envelopes[kBandEnv[b][c]];
        e = bandEnvelope(e, xd, fast, slow, k.attack, k.bandRelease[b], k.autoOn, autoOffset);
        gain[c] = saturationGain(k, e, k.satInverse[b], k.satLevel[b], true);
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
        brickwallMax[c].push(std::fabs(sum[c] * kPlusTenthDb));
        xb[c] = brickwallMax[c].take(rb, p);
        wet[c] = ring[(c == 0 ? kSumL : kSumR) + rb];
      }
      if (k.brickwallOn) {
        for (int c = 0; c < 2; ++c) {
          const double fast = autoFastFilters[c][kFull].tick(xb[c]);
          const double slow = autoSlowFilters[c][kFull].tick(xb[c]);
          double& e = st.envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR];
          e = brickwallEnvelope(e, xb[c], fast, slow, k.brickwallAttack, k.brickwallRelease, k.autoOn);
          const double g = brickwallGain(e);
          wet[c] = clipToFullScale(wet[c] * g);
          gainRed[c] = gainRed[c] * g;
        }
      }
    } else {
      double v = std::fabs(sum[0] * kPlusTenthDb);
      if constexpr (D == Detection::Linked) {
        if (std::fabs(sum[1] * kPlusTenthDb) > v) v = std::fabs(sum[1] * kPlusTenthDb);
      }
      brickwallMax[0].push(v);
      const double xb = brickwallMax[0].take(rb, p);
      for (int c = 0; c < kChannels; ++c) wet[c] = ring[(c == 0 ? kSumL : kSumR) + rb];
      if (k.brickwallOn) {
        const double fast = autoFastFilters[0][kFull].tick(xb);
        const double slow = autoSlowFilters[0][kFull].tick(xb);
        double& e = st.envelopes[kEnvBrickwallL];
        e = brickwallEnvelope(e, xb, fast, slow, k.brickwallAttack, k.brickwallRelease, k.autoOn);
        const double g = brickwallGain(e);
        for (int c = 0; c < kChannels; ++c) {
          wet[c] = clipToFullScale(wet[c] * g);
          gainRed[c] = gainRed[c] * g;
        }
      }
    }

    finishSample<kStereo>(*this, k, routing, i, wet, x, gainRed, p, pos);

    pos.advanceLookahead(k.laMask);
  }
  for (int c = 0; c < kDetectors; ++c) {
    for (int b = 0; b < 3; ++b) bandMax[b][c].end(r);
    brickwallMax[c].end(rb);
  }
  st.store(*this);
  pos.store(*this);
}

template <CompressorEngine::Detection D>
void CompressorEngine::processSingleBand(int n, const ChunkRings& rings) {
  const CallConstants k = callConstants(*this, rings, traits_.singleBandOtherWithoutGain);
  KernelState st(*this);
  const double lowAdjustMinus1 = k.lowAdjust - 1.0;
  const double highAdjustMinus1 = k.highAdjust - 1.0;
  constexpr bool kStereo = D != Detection::OneChannel;
  constexpr int kChannels = kStereo ? 2 : 1;
  const MonoRouting routing = kStereo ? MonoRouting::Both : monoRouting(lrValue);
  const double* in[2] = {workIn[0], workIn[1]};
  if (!kStereo && routing == MonoRouting::Right) std::swap(in[0], in[1]);  // processed, other

  Cursor pos(*this, rings);
  auto& [w, r, rb, o, q] = pos;
  double* const ring = delayRings;
  static constexpr int kSignal[2] = {kSumL, kSumR};
  static constexpr int kMaximum[2] = {kBrickwallMaxL, kBrickwallMaxR};
  constexpr int kDetectors = D == Detection::Unlinked ? 2 : 1;
  DetectorMaximum maximum[2];
  for (int c = 0; c < kDetectors; ++c)
    maximum[c].begin(maximumQueues_[c], ring + kMaximum[c], k.laMask, r, w);

  for (int i = 0; i < n; ++i) {
    const double p = -st.offset;
    st.offset = p;

    const double x[2] = {in[0][i] + p, in[1][i] + p};
    ring[kDryA + o] = x[0];
    ring[kDryB + o] = x[1];

    // Tone shaping around the two crossover frequencies, no band split.
    double shaped[2] = {0.0, 0.0};
    for (int c = 0; c < kChannels; ++c) {
      const double u = highPass(x[c], k.highPass[c], st.highPass[c], p);
      // The one-channel kernel blends its wet signal with the high-passed input.
      if constexpr (!kStereo) ring[kDryA + o] = u;
      const double h = crossover(u, k.lowCrossover[c], st.lowCrossover[c], p);
      const double l = crossover(u, k.highCrossover[c], st.highCrossover[c], p);
      shaped[c] = u + (u - h) * lowAdjustMinus1 + (u - l) * highAdjustMinus1;
      ring[kSignal[c] + w] = shaped[c];
    }

    double gain[2] = {1.0, 1.0};
    if constexpr (D == Detection::Unlinked) {
      double xd[2];
      for (int c = 0; c < 2; ++c) {
        maximum[c].push(std::fabs(shaped[c] * kPlusTenthDb));
        xd[c] = maximum[c].take(r, p);
      }
      // The L detector releases with weight 4, the R detector with 3.
      static constexpr double kWeight[2] = {4.0, 3.0};
      for (int c = 0; c < 2; ++c) {
        const double fast = autoFastFilters[c][kFull].tick(xd[c]);
        const double slow = autoSlowFilters[c][kFull].tick(xd[c]);
        double& e = st.envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR];
        e = singleEnvelope(e, xd[c], fast, slow, k.attack, k.singleRelease, k.autoOn, kWeight[c], nullptr);
      }
      for (int c = 0; c < 2; ++c) {
        double& e = st.envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR];
        if (e < kEnvelopeFloor) e = kEnvelopeFloor;
      }
      for (int c = 0; c < 2; ++c)
        gain[c] = saturationGain(k, st.envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR], 1.0, 1.0, false);
    } else {
      double v = std::fabs(shaped[0] * kPlusTenthDb);
      if constexpr (D == Detection::Linked) {
        if (std::fabs(shaped[1] * kPlusTenthDb) > v) v = std::fabs(shaped[1] * kPlusTenthDb);
      }
      maximum[0].push(v);
      const double xd = maximum[0].take(r, p);
      const double fast = autoFastFilters[0][kFull].tick(xd);
      const double slow = autoSlowFilters[0][kFull].tick(xd);
      double& e = st.envelopes[kEnvBrickwallL];
      e = singleEnvelope(e, xd, fast, slow, k.attack, k.singleRelease, k.autoOn, 3.0,
                         D == Detection::Linked ? &k.longScale : nullptr);
      if (e < kEnvelopeFloor) e = kEnvelopeFloor;
      gain[0] = gain[1] = saturationGain(k, e, 1.0, 1.0, false);
    }

    double wet[2] = {0.0, 0.0};
    for (int c = 0; c < kChannels; ++c) {
      wet[c] = ring[kSignal[c] + r] * gain[c];
      if (k.brickwallOn) wet[c] = clipToFullScale(wet[c]);
    }
    finishSample<kStereo>(*this, k, routing, i, wet, x, gain, p, pos);

    pos.advanceLookahead(k.laMask);
  }
  for (int c = 0; c < kDetectors; ++c) maximum[c].end(r);
  st.store(*this);
  pos.store(*this);
}

void CompressorEngine::processBypassed(int n, const ChunkRings& rings) {
  const CallConstants k = callConstants(*this, rings);
  const double fs = rings.fat ? 2.0 * static_cast<double>(rings.rate) : static_cast<double>(rings.rate);
  const double a50 = 1.0 - std::pow(0.01, 1.0 / (fs * 50 * 0.001));
  const float gainAsFloat = static_cast<float>(k.ppmGain);

  Cursor pos(*this, rings);
  auto& [w, r, rb, o, q] = pos;
  double* const ring = delayRings;

  for (int i = 0; i < n; ++i) {
    const double p = -antiDenormal;
    antiDenormal = p;
    const double x[2] = {workIn[0][i] + p, workIn[1][i] + p};
    ring[kDryA + o] = x[0];
    ring[kDryB + o] = x[1];
    pos.advanceLatency(k.latMask);
    const double out[2] = {ring[kDryA + o], ring[kDryB + o]};
    workOut[0][i] = out[0];
    workOut[1][i] = out[1];

    if (k.editorIsOpen) {
      for (int c = 0; c < 2; ++c) {
        if (meterSource != 1) {
          meterChannel(*this, k, c, x[c], 1.0, out[c], p);
          continue;
        }
        // Gain reduction while bypassed: VU settles at 1, PPM follows the
        // ratio of the smoothed input to the smoothed meter gain.
        if (meterTypeValue < 0.5f) {
          publishMeterLevel(meterLevels[c], vuFilters[c].tick(1.0));
        } else {
          float& sIn = bypassMeterSmoothers[2 * c];
          float& sG = bypassMeterSmoothers[2 * c + 1];
          const float towardsGain = gainAsFloat - sG;
          sG = static_cast<float>(sG + towardsGain * a50 + p);
          sIn = static_cast<float>(sIn + (std::fabs(x[c]) - sIn) * a50 + p);
          const double t = static_cast<float>((sIn + 0.001) / (sG * smallSignalGainValue + 0.001));
          const double m = meterLevels[c];
          publishMeterLevel(meterLevels[c], m + (t - m) * (m > t ? k.ppmAttack : k.ppmRelease) + p);
        }
        countOver(*this, c, std::fabs(out[c]));
      }
    }

    pos.advanceLookahead(k.laMask);
  }
  pos.store(*this);
}

template void CompressorEngine::processMultiBand<CompressorEngine::Detection::Linked>(int, const ChunkRings&);
template void CompressorEngine::processMultiBand<CompressorEngine::Detection::Unlinked>(int,
                                                                                        const ChunkRings&);
template void CompressorEngine::processMultiBand<CompressorEngine::Detection::OneChannel>(int,
                                                                                          const ChunkRings&);
template void CompressorEngine::processSingleBand<CompressorEngine::Detection::Linked>(int,
                                                                                       const ChunkRings&);
template void CompressorEngine::processSingleBand<CompressorEngine::Detection::Unlinked>(int,
                                                                                         const ChunkRings&);
template void CompressorEngine::processSingleBand<CompressorEngine::Detection::OneChannel>(int,
                                                                                           const ChunkRings&);
