// The kernels of the track engine: bypass, and one single-band kernel whose
// channel policy is mono, stereo linked or stereo unlinked. The mono and
// linked kernels share the L side of the unlinked kernel's state, so a change
// of Link or Stereo-Mono continues from the L detector.
//
// The single-band kernel works through its call in passes, as the second
// generation's kernels do: the shelving of every sample with its signal ring,
// the look-ahead maximum of the whole call at once, then the detector, the
// output ring and the outputs, and the meters while an editor is open. Every
// ring is written and read within one pass in the order of the samples.
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "dsp/detector.h"
#include "dsp/lanes.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"
#include "dsp/sliding_maximum.h"
#include "dsp/track_engine.h"

namespace {

constexpr int kMaxCallFrames = TrackEngine::kChunkFrames;

}  // namespace

struct TrackEngine::Scratch {
  LookaheadMaximum<double> maximum;
  LookaheadMaximum<Pair> maximumPair;
  PpmBallisticsCache ppm;
  KneeShapeCache knee;

  // Per sample of a call: the offset, the inputs plus the offset, the
  // shaped signal read back from its ring, the gains and the outputs.
  double offset[kMaxCallFrames];
  Pair input[kMaxCallFrames];
  Pair delayed[kMaxCallFrames];
  Pair gain[kMaxCallFrames];
  Pair output[kMaxCallFrames];
  // The detector values and their look-ahead maxima, of one detector (the
  // mono and linked kernels) or two (unlinked).
  double level[kMaxCallFrames + 2], peak[kMaxCallFrames + 2];
  Pair levelPair[kMaxCallFrames + 2], peakPair[kMaxCallFrames + 2];
};

template class ScratchStore<TrackEngine::Scratch>;

namespace {

// What the metering step reads for one kernel call.
struct MeterCall {
  bool on, ppm;
  int source;     // 0 Pre, 1 GainRed, 2 Post
  double vuGain;  // peak level to VU reading, over the reference level
  PpmBallistics ballistics;
  double overThreshold;
};

// The ballistics only while the meters are shown.
MeterCall meterCall(const TrackEngine& s, TrackEngine::Scratch& w, const TrackEngine::ChunkRings& rings) {
  MeterCall m{};
  m.on = s.editorIsOpen != 0;
  m.ppm = s.meterScaleValue >= 0.5f;
  m.source = s.meterSource;
  m.vuGain = kVuScale * s.vuReferenceInverse;
  if (m.on) m.ballistics = w.ppm.at(rings.rate, s.ppmIntegrationMs, s.ppmReturnMs, s.ppmTimeRatio);
  m.overThreshold = s.overThreshold;
  return m;
}

// One meter's step. gainReading is the gain-reduction reading: the gain over
// the small-signal gain, or 1 while bypassed. The gain-reduction PPM moves at
// the attack rate when the reading falls (more reduction) and at the release
// rate when it rises; the level PPMs the other way round. The input PPM
// carries no offset.
void meterStep(TrackEngine& s, const MeterCall& m, int c, double input, double output, double gainReading,
               double p) {
  const PpmBallistics& b = m.ballistics;
  double level = s.meterLevels[c];
  double counted;
  if (m.source == 1) {
    counted = std::fabs(output);
    if (!m.ppm) {
      level = s.vuFilters[c].tick(gainReading);
    } else {
      const double t = gainReading;
      level += (t - level) * (level > t ? b.attack : b.release) + p;
    }
  } else {
    // The level meters: the input (Pre) or the output (Post).
    const double magnitude = std::fabs(m.source == 0 ? input : output);
    counted = magnitude;
    if (!m.ppm) {
      level = s.vuFilters[c].tick(magnitude * m.vuGain);
    } else {
      const double t = magnitude * b.gain;
      const double step = (t - level) * (t > level ? b.attack : b.release);
      level += m.source == 0 ? step : step + p;
    }
  }
  publishMeterLevel(s.meterLevels[c], level);
  advanceOverCount(s.overCounts[c], m.overThreshold, counted);
}

// What the detector stage reads for one call.
struct DetectorCall {
  KneeShape knee;
  double drive, attack, release, outputGain, smallSignalGain;
};

DetectorCall detectorCall(const TrackEngine& s, TrackEngine::Scratch& w) {
  return {w.knee.of(s.kneeAmount, s.kneeMode),
          s.driveGain,
          s.attackCoeff,
          s.singleBandReleaseCoeff,
          s.outputGain,
          s.smallSignalGainValue};
}

// The envelope's step towards a detector reading, in both lanes of a register
// for one detector or in its own lanes for two.
inline Pair envelopeStep(const DetectorCall& k, Pair e, Pair reading) {
  e = e + (reading - e) * whereGreater(reading, e, broadcast(k.attack), broadcast(k.release));
  return maxOf(e, broadcast(kEnvelopeFloor));
}

// The gain an envelope gives: the static curve at the drive point, relative
// to the envelope.
inline Pair envelopeGain(const DetectorCall& k, Pair e) { return k.knee.at(e * broadcast(k.drive)) / e; }

}  // namespace

template <TrackEngine::Channels C>
inline __attribute__((always_inline)) void TrackEngine::singleBandKernel(int n, const ChunkRings& rings,
                                                                         bool stereoInput) {
  constexpr bool kMono = C == Channels::Mono;
  constexpr int kChannels = kMono ? 1 : 2;
  using TC = std::conditional_t<kMono, double, Pair>;
  using TD = std::conditional_t<C == Channels::Unlinked, Pair, double>;
  // Every value a chunk reads is taken once, so a chunk runs on one
  // consistent set even when another thread changes parameters meanwhile.
  Scratch& s = *scratch_;
  const DetectorCall k = detectorCall(*this, s);
  const MeterCall m = meterCall(*this, s, rings);
  const int mask = rings.mask;
  const int w0 = ringWritePos & mask;
  const int r0 = ringReadPos & mask;
  if (n <= 0) return;
  double offset = antiDenormal;
  for (int i = 0; i < n; ++i) s.offset[i] = offset = -offset;
  antiDenormal = offset;

  // The shelving of every sample, its signal ring and the detector value.
  {
    FixedFilterLanes<TC> filters(*this);
    const TC lowAdjustMinus1 = splat<TC>(lowAdjustGain - 1.0),
             highAdjustMinus1 = splat<TC>(highAdjustGain - 1.0);
    TD* levels;
    if constexpr (std::is_same_v<TD, double>)
      levels = s.level;
    else
      levels = s.levelPair;
    for (int i = 0; i < n; ++i) {
      const double p = s.offset[i];
      Pair x = Pair{workIn[0][i], workIn[1][i]} + broadcast(p);
      // The mono kernel takes the left input, or both inputs' mean when the
      // second one is in use.
      if constexpr (kMono) {
        if (stereoInput) x[0] = (x[0] + workIn[1][i]) * 0.5;
      }
      s.input[i] = x;
      const int wi = (w0 + i) & mask, ri = (r0 + i) & mask;
      TC u, h, l;
      if constexpr (kMono) {
        filters.run(x[0], p, u, h, l);
        const double shaped = shelved(u, h, l, lowAdjustMinus1, highAdjustMinus1);
        signalRings[0][wi] = shaped;
        s.delayed[i][0] = signalRings[0][ri];
        levels[i] = magnitude(shaped * kPlusTenthDb);
      } else {
        filters.run(x, broadcast(p), u, h, l);
        const Pair shaped = shelved(u, h, l, lowAdjustMinus1, highAdjustMinus1);
        signalRings[0][wi] = shaped[0];
        signalRings[1][wi] = shaped[1];
        s.delayed[i] = Pair{signalRings[0][ri], signalRings[1][ri]};
        const Pair level = magnitude(shaped * broadcast(kPlusTenthDb));
        if constexpr (C == Channels::Unlinked)
          levels[i] = level;
        else
          levels[i] = largerLane(level);
      }
    }
    filters.store(*this);
  }

  // The look-ahead maximum of the whole call.
  TD* peaks;
  if constexpr (std::is_same_v<TD, double>) {
    double* rings1[1] = {peakRings[0]};
    s.maximum.run(rings1, mask, r0, w0, s.level, s.peak, n);
    peaks = s.peak;
  } else {
    double* rings2[2] = {peakRings[0], peakRings[1]};
    s.maximumPair.run(rings2, mask, r0, w0, s.levelPair, s.peakPair, n);
    peaks = s.peakPair;
  }

  // The detector's envelope and its gain, the clip to full scale, the output
  // ring and the output gain, sample by sample: the envelope's recursion and
  // the rest overlap.
  Pair e;
  for (int c = 0; c < kLaneCount<TD>; ++c) setLane(e, c, envelopes[c]);
  if constexpr (kLaneCount<TD> == 1) e = broadcast(e[0]);
  const Pair floor = broadcast(kDetectorFloor);
  int w = w0, r = r0;
  for (int i = 0; i < n; ++i) {
    e = envelopeStep(k, e, inRegister(peaks[i]) + floor + broadcast(s.offset[i]));
    const Pair gain = envelopeGain(k, e);
    s.gain[i] = gain;
    const Pair clipped = clipToFullScale(s.delayed[i] * gain);
    for (int c = 0; c < kChannels; ++c) outputRings[c][r] = clipped[c];
    // The mono kernel keeps the right input as it came in: after a switch to
    // a stereo kernel the right output plays it until processed samples arrive.
    if constexpr (kMono) outputRings[1][w] = workIn[1][i];
    r = (r + 1) & mask;
    w = (w + 1) & mask;
    Pair y;
    if constexpr (kMono) {
      y = broadcast(outputRings[0][w] * k.outputGain);
    } else {
      y = Pair{outputRings[0][w], outputRings[1][w]} * broadcast(k.outputGain);
    }
    s.output[i] = y;
    workOut[0][i] = y[0];
    workOut[1][i] = y[1];
  }
  for (int c = 0; c < kLaneCount<TD>; ++c) envelopes[c] = e[c];
  ringWritePos = w;
  ringReadPos = r;

  if (m.on) {
    for (int i = 0; i < n; ++i) {
      for (int c = 0; c < 2; ++c) {
        const int own = kMono ? 0 : c;  // the mono kernel shows its one channel on both meters
        meterStep(*this, m, c, s.input[i][own], s.output[i][c], std::fabs(s.gain[i][c]) / k.smallSignalGain,
                  s.offset[i]);
      }
    }
  }
}

// The same kernel built for AVX: the same operations in the same order, in
// the three-operand forms, each rounded on its own as before.
template <TrackEngine::Channels C>
__attribute__((target("avx"))) void TrackEngine::singleBandKernelWide(int n, const ChunkRings& rings,
                                                                      bool stereoInput) {
  singleBandKernel<C>(n, rings, stereoInput);
}

template <TrackEngine::Channels C>
void TrackEngine::processSingleBand(int n, const ChunkRings& rings, bool stereoInput) {
  if (wideKernels_)
    singleBandKernelWide<C>(n, rings, stereoInput);
  else
    singleBandKernel<C>(n, rings, stereoInput);
}

void TrackEngine::processBypassed(int n, const ChunkRings& rings) {
  Scratch& s = *scratch_;
  const MeterCall m = meterCall(*this, s, rings);
  const int mask = rings.mask;
  int w = ringWritePos & mask;
  int r = ringReadPos & mask;
  // The offset's sign alternates in a register: kept in the engine, every
  // frame would wait for the previous frame's store of it.
  double p = antiDenormal;
  for (int i = 0; i < n; ++i) {
    p = -p;
    const double d[2] = {workIn[0][i] + p, workIn[1][i] + p};
    dryRings[0][w] = d[0];
    dryRings[1][w] = d[1];
    r = (r + 1) & mask;
    w = (w + 1) & mask;
    const double y[2] = {dryRings[0][w], dryRings[1][w]};
    workOut[0][i] = y[0];
    workOut[1][i] = y[1];
    if (m.on) {
      for (int c = 0; c < 2; ++c) meterStep(*this, m, c, d[c], y[c], 1.0, p);
    }
  }
  antiDenormal = p;
  ringWritePos = w;
  ringReadPos = r;
}

template void TrackEngine::processSingleBand<TrackEngine::Channels::Mono>(int, const ChunkRings&, bool);
template void TrackEngine::processSingleBand<TrackEngine::Channels::Linked>(int, const ChunkRings&, bool);
template void TrackEngine::processSingleBand<TrackEngine::Channels::Unlinked>(int, const ChunkRings&, bool);
