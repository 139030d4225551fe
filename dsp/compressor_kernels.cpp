// The seven kernels of the engine: three multiband, three single-band and the
// bypass kernel, each ending every sample with the metering step. The mono
// and linked kernels share the L side of the unlinked kernel's state, so a
// change of Link or Mono Stereo continues from the L detector.
//
// A kernel works through its call in passes: the filters and band split of
// every sample, the look-ahead maxima of the whole call at once, the
// detectors and gains, the brickwall stage, the output rings and the mix,
// and, while an editor is open, the meters. Nothing a sample computes feeds
// back into an earlier pass, and every ring is written and read within one
// pass in the order of the samples, so each sample sees exactly what it
// would see one after the other. Where both channels run the same
// operations (the filters, the unlinked detectors, the gains, the mix) they
// run in the two lanes of one register, each lane exactly as one channel.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "dsp/channel_routing.h"
#include "dsp/compressor_engine.h"
#include "dsp/detector.h"
#include "dsp/lanes.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"
#include "dsp/sliding_maximum.h"

namespace {

constexpr int kMaxCallFrames = 2 * CompressorEngine::kChunkFrames;
// Room for one value past the last sample, which the passes that take two
// samples at a time compute and leave unused after an odd count.
constexpr int kCallRoom = kMaxCallFrames + 2;

// One detector's values through a kernel call (T = double), or two
// detectors' that share their positions (T = Pair): the detector values, the
// look-ahead maxima read for them, the readings (maximum plus floor and
// offset), the fast and slow smoothers and the Auto release factor, the
// envelopes and the gains.
template <typename T>
struct DetectorArrays {
  T level[kCallRoom], peak[kCallRoom], reading[kCallRoom], fast[kCallRoom], slow[kCallRoom];
  T factor[kCallRoom], envelope[kCallRoom], gain[kCallRoom];
};

// The 50 ms smoother of the bypass kernel's gain-reduction reading.
class BypassSmootherMemo {
 public:
  double at(double rate) {
    if (!valid_ || rate != rate_) {
      coefficient_ = 1.0 - std::pow(0.01, 1.0 / (rate * 50 * 0.001));
      rate_ = rate;
      valid_ = true;
    }
    return coefficient_;
  }

 private:
  bool valid_ = false;
  double rate_ = 0, coefficient_ = 0;
};

}  // namespace

struct CompressorEngine::Scratch {
  LookaheadMaximum<double> maximum;
  LookaheadMaximum<Pair> maximumPair;
  PpmBallisticsCache ppm;
  KneeShapeCache knee;
  BypassSmootherMemo bypassSmoother;

  // Per sample of a call: the offset, the inputs plus the offset (mono: the
  // processed and the other channel), what the one-channel kernels' dry
  // regions take (the stereo kernels' take the inputs), the band samples read
  // back from their rings, the band sum read back for the brickwall, the
  // gain-reduction values and the outputs, L and R.
  double offset[kMaxCallFrames];
  Pair input[kMaxCallFrames];
  Pair dry[kMaxCallFrames];
  Pair delayed[3][kMaxCallFrames];
  Pair wet[kMaxCallFrames];
  Pair gainRed[kMaxCallFrames];
  Pair output[kMaxCallFrames];
  // What the detectors work through: the three bands and the brickwall (or
  // the single-band detector), one detector or two (unlinked).
  DetectorArrays<double> detectors[4];
  DetectorArrays<Pair> detectorPairs[4];

  template <typename T>
  DetectorArrays<T>& detector(int d) {
    if constexpr (std::is_same_v<T, double>)
      return detectors[d];
    else
      return detectorPairs[d];
  }
  template <typename T>
  LookaheadMaximum<T>& lookaheadMaximum() {
    if constexpr (std::is_same_v<T, double>)
      return maximum;
    else
      return maximumPair;
  }
};

template class ScratchStore<CompressorEngine::Scratch>;

namespace {

using Detection = CompressorEngine::Detection;
using Scratch = CompressorEngine::Scratch;

// What a kernel reads for one call: the metering constants and knee shape,
// and a snapshot of the coefficients, gains and switches. A chunk thus runs on
// one consistent set of values even when another thread changes parameters
// meanwhile; a host that changes them between blocks sees the same result as
// reading them sample by sample.
struct CallConstants {
  PpmBallistics ppm;
  KneeShape knee;
  int laMask, latMask;
  double attack, bandRelease[3], brickwallAttack, brickwallRelease, singleRelease, longScale;
  bool autoOn, brickwallOn, editorIsOpen;
  double drive, curveScale, satLevel[3], satInverse[3], lowAdjust, highAdjust;
  double ceilingLevel, mix, outputGain;
  // The gain of the unprocessed channel in the one-channel L and R routings.
  double otherGain;
  // The metering step's own switches and gains.
  bool ppmMeters;
  int meterSource;
  double ceilingGain, smallSignalGain, vuReferenceInverse, overThreshold;
};

double processingRate(const CompressorEngine::ChunkRings& rings) {
  return rings.fat ? 2.0 * static_cast<double>(rings.rate) : static_cast<double>(rings.rate);
}

// The kernels' shared snapshot; the PPM ballistics only while they are shown.
CallConstants callConstants(const CompressorEngine& s, CompressorEngine::Scratch& scratch,
                            const CompressorEngine::ChunkRings& rings, bool otherWithoutGain = false) {
  CallConstants c{};
  c.editorIsOpen = s.editorIsOpen.load(std::memory_order_relaxed) != 0;
  if (c.editorIsOpen)
    c.ppm = scratch.ppm.at(processingRate(rings), s.ppmIntegrationMs, s.ppmReturnMs, s.ppmTimeRatio);
  c.knee = scratch.knee.of(s.kneeAmount, s.kneeMode);
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
  c.drive = s.driveGain;
  c.curveScale = s.curveScale;
  c.lowAdjust = s.lowAdjustGain;
  c.highAdjust = s.highAdjustGain;
  c.ceilingLevel = s.ceilingLevel;
  c.mix = s.mix;
  c.outputGain = s.outputGain;
  c.otherGain = otherWithoutGain ? 1.0 : c.outputGain;
  c.ppmMeters = s.meterTypeValue >= 0.5f;
  c.meterSource = s.meterSource;
  c.ceilingGain = s.ceilingGain;
  c.smallSignalGain = s.smallSignalGainValue;
  c.vuReferenceInverse = s.vuReferenceInverse;
  c.overThreshold = s.overThreshold;
  return c;
}

// The offset of every sample of the call: its sign flips from sample to sample.
double fillOffsets(double* offset, double last, int n) {
  for (int i = 0; i < n; ++i) offset[i] = last = -last;
  return last;
}

// One channel's metering step: Pre, GainRed and Post values as the kernel hands them.
void meterChannel(CompressorEngine& s, const CallConstants& k, int c, double pre, double gainRed, double post,
                  double p) {
  double m = s.meterLevels[c];
  double counted;
  if (k.meterSource == 1) {
    counted = std::fabs(post);
    if (!k.ppmMeters) {
      const double v = std::fabs(gainRed) * k.ceilingGain;
      m = v < 0.01 ? 1.0 : s.vuFilters[c].tick(v / k.smallSignalGain);
    } else {
      const double t = std::fabs(gainRed) * k.ceilingGain / k.smallSignalGain;
      m = m + (t - m) * (m > t ? k.ppm.attack : k.ppm.release) + p;
    }
  } else {
    // Level meters: the input (Pre) or the output (Post).
    const double level = std::fabs(k.meterSource == 0 ? pre : post);
    counted = level;
    if (!k.ppmMeters) {
      m = s.vuFilters[c].tick(level * kVuScale * k.vuReferenceInverse);
    } else {
      const double t = level * k.ppm.gain;
      m = m + (t - m) * (t > m ? k.ppm.attack : k.ppm.release) + p;
    }
  }
  publishMeterLevel(s.meterLevels[c], m);
  advanceOverCount(s.overCounts[c], k.overThreshold, counted);
}

// The meters of a call, after its outputs: the stereo kernels meter each
// channel's input, gain reduction and output; the one-channel kernels meter
// the processed and the other channel by routing, the other channel's gain
// reduction reading the small-signal gain, so its meter shows the ceiling gain.
template <bool kStereo>
inline __attribute__((always_inline)) void meterCall(CompressorEngine& s, const CallConstants& k,
                                                     const Scratch& w, MonoRouting routing, int n) {
  for (int i = 0; i < n; ++i) {
    const double p = w.offset[i];
    const Pair x = w.input[i], gr = w.gainRed[i], out = w.output[i];
    if constexpr (kStereo) {
      meterChannel(s, k, 0, x[0], gr[0], out[0], p);
      meterChannel(s, k, 1, x[1], gr[1], out[1], p);
    } else {
      // x holds the processed and the other input, out the processed and the other output.
      switch (routing) {
        case MonoRouting::Both:
          meterChannel(s, k, 0, x[0], gr[0], out[0], p);
          meterChannel(s, k, 1, x[0], gr[0], out[0], p);
          break;
        case MonoRouting::Left:
          meterChannel(s, k, 0, x[0], gr[0], out[0], p);
          meterChannel(s, k, 1, x[1], k.smallSignalGain, out[1], p);
          break;
        case MonoRouting::Right:
          meterChannel(s, k, 0, x[1], k.smallSignalGain, out[1], p);
          meterChannel(s, k, 1, x[0], gr[0], out[0], p);
          break;
      }
    }
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
  // All five after n samples.
  void advance(int n, int laMask, int latMask) {
    w = (w + n) & laMask;
    r = (r + n) & laMask;
    rb = (rb + n) & laMask;
    o = (o + n) & latMask;
    q = (q + n) & latMask;
  }
  void store(CompressorEngine& s) const {
    s.lookaheadWritePos = w;
    s.bandPeakReadPos = r;
    s.brickwallPeakReadPos = rb;
    s.latencyWritePos = o;
    s.latencyReadPos = q;
  }
};

// Two values of a ring pair (an L and an R region) at one slot, and back.
inline Pair readPair(const double* ring, int left, int right, int j) {
  return Pair{ring[left + j], ring[right + j]};
}
inline void writePair(double* ring, int left, int right, int j, Pair v) {
  ring[left + j] = v[0];
  ring[right + j] = v[1];
}

// The fast and slow smoother of one detector (T = double: one register holds
// both), or of the L and R detectors (T = Pair: one register per speed).
template <typename T>
class Smoothers;

template <>
class Smoothers<double> {
 public:
  Smoothers(const CompressorEngine& s, int band)
      : pair_(s.autoFastFilters[0][band], s.autoSlowFilters[0][band]) {}
  bool anyPassing() const { return pair_.anyPassing(); }
  // x holds the reading in both lanes; the result holds fast and slow.
  template <bool kPassing>
  Pair tick(Pair x) {
    return pair_.tick<kPassing>(x);
  }
  void storeTo(CompressorEngine& s, int band) const {
    pair_.storeTo(s.autoFastFilters[0][band], s.autoSlowFilters[0][band]);
  }

 private:
  BiquadPair pair_;
};

template <>
class Smoothers<Pair> {
 public:
  Smoothers(const CompressorEngine& s, int band)
      : fast_(s.autoFastFilters[0][band], s.autoFastFilters[1][band]),
        slow_(s.autoSlowFilters[0][band], s.autoSlowFilters[1][band]) {}
  bool anyPassing() const { return fast_.anyPassing() || slow_.anyPassing(); }
  template <bool kPassing>
  void tick(Pair x, Pair& fast, Pair& slow) {
    fast = fast_.tick<kPassing>(x);
    slow = slow_.tick<kPassing>(x);
  }
  template <bool kPassing>
  void tick(Pair x) {
    fast_.tick<kPassing>(x);
    slow_.tick<kPassing>(x);
  }
  void storeTo(CompressorEngine& s, int band) const {
    fast_.storeTo(s.autoFastFilters[0][band], s.autoFastFilters[1][band]);
    slow_.storeTo(s.autoSlowFilters[0][band], s.autoSlowFilters[1][band]);
  }

 private:
  BiquadPair fast_, slow_;
};

// Calls f(std::integral_constant<int, 0>), ..., f(<N - 1>): the detectors of
// a kernel side by side, each with its own registers.
template <int N, typename F>
inline __attribute__((always_inline)) void forEach(F&& f) {
  [&]<int... I>(std::integer_sequence<int, I...>) { (f(std::integral_constant<int, I>{}), ...); }
  (std::make_integer_sequence<int, N>{});
}

// The Auto release's factor from the fast and slow smoother:
// weight x rho / (rho + 1) + offset with rho = fast x ratio / (slow + 1e-6).
// weight holds one value per lane of the values it meets.
struct AutoRelease {
  double ratio;
  Pair weight;
  double offset;
};

template <typename T>
inline __attribute__((always_inline)) void autoReleaseFactors(DetectorArrays<T>& d, const AutoRelease& a,
                                                              int n) {
  using V = TwoAtATime<T>;
  const Pair ratio = broadcast(a.ratio), tiny = broadcast(1e-6), one = broadcast(1.0),
             offset = broadcast(a.offset);
  for (int i = 0; i < n; i += V::kSamples) {
    const Pair rho = V::load(d.fast, i) * ratio / (V::load(d.slow, i) + tiny);
    V::store(d.factor, i, a.weight * rho / (rho + one) + offset);
  }
}

// One detector envelope's step towards a reading x: attack where x is above
// the envelope, release where it is not; with Auto the release step also
// takes the factor and the scale (and, in the linked single-band kernel, the
// long release scale). Both steps are formed and the one that applies is
// kept, so the choice costs no branch. The band and single-band envelopes
// never fall below the envelope floor; the brickwall's has none.
enum class EnvelopeKind { Band, Brickwall, SingleBand, LinkedSingleBand };

struct DetectorEnvelope {
  double attack, release, longScale;

  template <EnvelopeKind kKind, bool kAuto, typename T>
  T step(T e, T x, T factor) const {
    constexpr double kAutoScale =
        kKind == EnvelopeKind::Band ? 1.5 : (kKind == EnvelopeKind::Brickwall ? 1.3 : 1.4);
    const T d = x - e;
    T released;
    if constexpr (!kAuto) {
      released = e + d * splat<T>(release);
    } else {
      const T step = d * splat<T>(release) * factor * splat<T>(kAutoScale);
      if constexpr (kKind == EnvelopeKind::LinkedSingleBand)
        released = e + step * splat<T>(longScale);
      else
        released = e + step;
    }
    e = whereGreater(x, e, e + d * splat<T>(attack), released);
    if constexpr (kKind == EnvelopeKind::Brickwall)
      return e;
    else
      return maxOf(e, splat<T>(kEnvelopeFloor));
  }
};

template <EnvelopeKind kKind, bool kAuto, bool kPassing, int N, typename T>
inline __attribute__((always_inline)) void runEnvelopeLoops(std::array<Smoothers<T>, N>& smoothers,
                                                            T* envState, DetectorArrays<T>* const* d,
                                                            const DetectorEnvelope* envelope,
                                                            const AutoRelease* autoRelease,
                                                            const double* offset, int n) {
  Pair env[N];
  for (int b = 0; b < N; ++b) env[b] = inRegister(envState[b]);
  const Pair floor = broadcast(kDetectorFloor);
  if constexpr (!kAuto) {
    for (int i = 0; i < n; ++i) {
      const Pair p = broadcast(offset[i]);
      forEach<N>([&](auto b) {
        const Pair x = inRegister(d[b]->peak[i]) + floor + p;
        smoothers[b].template tick<kPassing>(x);
        env[b] = envelope[b].template step<kKind, false>(env[b], x, x);
        fromRegister(d[b]->envelope[i], env[b]);
      });
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const Pair p = broadcast(offset[i]);
      forEach<N>([&](auto b) {
        const Pair x = inRegister(d[b]->peak[i]) + floor + p;
        fromRegister(d[b]->reading[i], x);
        if constexpr (kLaneCount<T> == 1) {
          const Pair y = smoothers[b].template tick<kPassing>(x);
          d[b]->fast[i] = y[0];
          d[b]->slow[i] = y[1];
        } else {
          smoothers[b].template tick<kPassing>(x, d[b]->fast[i], d[b]->slow[i]);
        }
      });
    }
    forEach<N>([&](auto b) { autoReleaseFactors(*d[b], autoRelease[b], n); });
    for (int i = 0; i < n; ++i) {
      forEach<N>([&](auto b) {
        env[b] = envelope[b].template step<kKind, true>(env[b], inRegister(d[b]->reading[i]),
                                                        inRegister(d[b]->factor[i]));
        fromRegister(d[b]->envelope[i], env[b]);
      });
    }
  }
  for (int b = 0; b < N; ++b) fromRegister(envState[b], env[b]);
}

// A group of at most two detectors: more would not fit the registers.
template <EnvelopeKind kKind, int N, typename T>
inline __attribute__((always_inline)) void runEnvelopeGroup(CompressorEngine& engine,
                                                            const int* smootherBands, T* env,
                                                            DetectorArrays<T>* const* d,
                                                            const DetectorEnvelope* envelope,
                                                            const AutoRelease* autoRelease, bool autoOn,
                                                            const double* offset, int n) {
  // The recursions run on locals that nothing else can reach, so that they
  // stay in registers from sample to sample.
  auto smoothers = [&]<int... I>(std::integer_sequence<int, I...>) {
    return std::array<Smoothers<T>, N>{Smoothers<T>(engine, smootherBands[I])...};
  }
  (std::make_integer_sequence<int, N>{});
  bool passing = false;
  for (const Smoothers<T>& s : smoothers) passing = passing || s.anyPassing();
  if (autoOn) {
    if (passing)
      runEnvelopeLoops<kKind, true, true, N, T>(smoothers, env, d, envelope, autoRelease, offset, n);
    else
      runEnvelopeLoops<kKind, true, false, N, T>(smoothers, env, d, envelope, autoRelease, offset, n);
  } else {
    if (passing)
      runEnvelopeLoops<kKind, false, true, N, T>(smoothers, env, d, envelope, autoRelease, offset, n);
    else
      runEnvelopeLoops<kKind, false, false, N, T>(smoothers, env, d, envelope, autoRelease, offset, n);
  }
  for (int b = 0; b < N; ++b) smoothers[b].storeTo(engine, smootherBands[b]);
}

// The envelopes of N detectors through a call: the readings (the look-ahead
// maximum plus the floor and the offset) through their fast and slow
// smoothers and their envelopes, two detectors side by side. Without Auto
// the smoothers still run, since a later Auto continues from them.
template <EnvelopeKind kKind, int N, typename T>
inline __attribute__((always_inline)) void runEnvelopes(CompressorEngine& engine,
                                                        const int (&smootherBands)[N], T (&env)[N],
                                                        DetectorArrays<T>* (&d)[N],
                                                        const DetectorEnvelope (&envelope)[N],
                                                        const AutoRelease (&autoRelease)[N], bool autoOn,
                                                        const double* offset, int n) {
  for (int first = 0; first < N; first += 2) {
    if (N - first >= 2)
      runEnvelopeGroup<kKind, 2, T>(engine, smootherBands + first, env + first, d + first, envelope + first,
                                    autoRelease + first, autoOn, offset, n);
    else
      runEnvelopeGroup<kKind, 1, T>(engine, smootherBands + first, env + first, d + first, envelope + first,
                                    autoRelease + first, autoOn, offset, n);
  }
}

// The gains from the envelopes, two at a time: gain(e) for every sample.
template <typename T, typename Gain>
inline __attribute__((always_inline)) void gainsFromEnvelopes(DetectorArrays<T>& d, int n, Gain gain) {
  using V = TwoAtATime<T>;
  for (int i = 0; i < n; i += V::kSamples) V::store(d.gain, i, gain(V::load(d.envelope, i)));
}

// The brickwall gain: 1 below full scale, the inverse of the envelope above.
inline Pair brickwallGain(Pair e) {
  const Pair one = broadcast(1.0);
  return whereGreater(one, e, one, one / e);
}

// The saturation gain for an envelope e: the static curve at the drive point,
// relative to the envelope; per band with its inverse and level.
inline Pair bandGain(const CallConstants& k, Pair e, int band) {
  const Pair I = e * broadcast(k.drive) * broadcast(k.satInverse[band]) * broadcast(k.curveScale);
  return k.knee.at(I) * broadcast(k.satLevel[band]) / e;
}

inline Pair singleBandGain(const CallConstants& k, Pair e) {
  const Pair I = e * broadcast(k.drive) * broadcast(k.curveScale);
  return k.knee.at(I) / e;
}

// A detector's gain for both channels: the linked and one-channel kernels
// give both the one gain.
inline Pair forChannels(double g) { return broadcast(g); }
inline Pair forChannels(Pair g) { return g; }

// The look-ahead maximum of the n levels of detector d into its peaks.
template <typename T>
inline __attribute__((always_inline)) void lookahead(Scratch& w, double* ring, const int (&regions)[2], int d,
                                                     int mask, int r, int writer, int n) {
  double* rings[kLaneCount<T>];
  for (int c = 0; c < kLaneCount<T>; ++c) rings[c] = ring + regions[c];
  DetectorArrays<T>& arrays = w.template detector<T>(d);
  w.template lookaheadMaximum<T>().run(rings, mask, r, writer, arrays.level, arrays.peak, n);
}

// The end of every processed sample, for the whole call: wetOf(i, gainRed)
// gives the sample's wet signal and its gain-reduction value; the dry regions
// take what the kernel gave them, the wet signal passes the output latency
// ring with the ceiling gain, the dry mix with the aligned input, the output
// gain, the outputs by routing; then, with an editor open, the meters.
template <bool kStereo, typename WetOf>
inline __attribute__((always_inline)) void finishCall(CompressorEngine& s, CompressorEngine::Scratch& w,
                                                      const CallConstants& k, MonoRouting routing, int n,
                                                      const Cursor& pos, WetOf wetOf) {
  using E = CompressorEngine;
  double* const ring = s.delayRings.get();
  const int dryA = s.regionStart(E::kDryA), dryB = s.regionStart(E::kDryB);
  const int outL = s.regionStart(E::kOutL), outR = s.regionStart(E::kOutR);
  const int mask = k.latMask;
  int o = pos.o, q = pos.q;
  const Pair ceiling = broadcast(k.ceilingLevel), mix = broadcast(k.mix), gain = broadcast(k.outputGain);
  // The one-channel kernels hold the processed and the other output.
  const int first = !kStereo && routing == MonoRouting::Right ? 1 : 0;
  const int second = kStereo || routing == MonoRouting::Left ? 1 : 0;
  for (int i = 0; i < n; ++i) {
    const Pair wet = wetOf(i, w.gainRed[i]);
    writePair(ring, dryA, dryB, o, kStereo ? w.input[i] : w.dry[i]);
    Pair out;
    if constexpr (kStereo) {
      writePair(ring, outL, outR, o, wet * ceiling);
      const Pair y = readPair(ring, outL, outR, q);
      q = (q + 1) & mask;
      o = (o + 1) & mask;
      const Pair dry = readPair(ring, dryA, dryB, o);
      out = ((y - dry) * mix + dry) * gain;
    } else {
      ring[outL + o] = wet[0] * k.ceilingLevel;
      const double y = ring[outL + q];
      q = (q + 1) & mask;
      o = (o + 1) & mask;
      const double a = ring[dryA + o], b = ring[dryB + o];
      out = Pair{((y - a) * k.mix + a) * k.outputGain, b * k.otherGain};
    }
    w.output[i] = out;
    s.workOut[0][i] = out[first];
    s.workOut[1][i] = out[second];
  }
  if (k.editorIsOpen) meterCall<kStereo>(s, k, w, routing, n);
}

}  // namespace

template <CompressorEngine::Detection D>
void CompressorEngine::processMultiBand(int n, const ChunkRings& rings) {
  constexpr bool kStereo = D != Detection::OneChannel;
  // TC: the processed channels; TD: the detectors (two only when unlinked).
  using TC = std::conditional_t<kStereo, Pair, double>;
  using TD = std::conditional_t<D == Detection::Unlinked, Pair, double>;
  Scratch& w = *scratch_;
  const CallConstants k = callConstants(*this, w, rings, traits_.multiBandOtherWithoutGain);
  const MonoRouting routing = kStereo ? MonoRouting::Both : monoRouting(lrValue);
  const double* in[2] = {workIn[0], workIn[1]};
  if (!kStereo && routing == MonoRouting::Right) std::swap(in[0], in[1]);  // processed, other
  const Cursor pos(*this, rings);
  const int laMask = k.laMask;
  double* const ring = delayRings.get();
  const int bandRing[3][2] = {{regionStart(kLowL), regionStart(kLowR)},
                              {regionStart(kMidL), regionStart(kMidR)},
                              {regionStart(kHighL), regionStart(kHighR)}};
  const int maxRing[3][2] = {{regionStart(kLowMaxL), regionStart(kLowMaxR)},
                             {regionStart(kMidMaxL), regionStart(kMidMaxR)},
                             {regionStart(kHighMaxL), regionStart(kHighMaxR)}};
  static constexpr int kBandEnv[3][2] = {{kEnvLowL, kEnvLowR}, {kEnvMidL, kEnvMidR}, {kEnvHighL, kEnvHighR}};
  const int brickwallMax[2] = {regionStart(kBrickwallMaxL), regionStart(kBrickwallMaxR)};
  const int sumL = regionStart(kSumL), sumR = regionStart(kSumR);
  constexpr int kBrickwall = 3;
  if (n <= 0) return;
  antiDenormal = fillOffsets(w.offset, antiDenormal, n);

  // The complementary three-band split of every sample, its band rings, and
  // each band's detector value: one detector for both channels unless unlinked.
  {
    FixedFilterLanes<TC> filters(*this);
    double* bandLevels[3] = {w.detector<double>(0).level, w.detector<double>(1).level,
                             w.detector<double>(2).level};
    Pair* bandLevelPairs[3] = {w.detector<Pair>(0).level, w.detector<Pair>(1).level,
                               w.detector<Pair>(2).level};
    const TC lowAdjust = splat<TC>(k.lowAdjust), highAdjust = splat<TC>(k.highAdjust);
    for (int i = 0; i < n; ++i) {
      const double p = w.offset[i];
      const Pair x = Pair{in[0][i], in[1][i]} + broadcast(p);
      w.input[i] = x;
      if constexpr (!kStereo) w.dry[i] = x;
      TC xc;
      if constexpr (kStereo)
        xc = x;
      else
        xc = x[0];
      TC u, h, l;
      filters.run(xc, splat<TC>(p), u, h, l);
      const TC band[3] = {(u - h) * lowAdjust, h - (u - l), (u - l) * highAdjust};
      const int wi = (pos.w + i) & laMask, ri = (pos.r + i) & laMask;
      for (int b = 0; b < 3; ++b) {
        if constexpr (kStereo) {
          writePair(ring, bandRing[b][0], bandRing[b][1], wi, band[b]);
          w.delayed[b][i] = readPair(ring, bandRing[b][0], bandRing[b][1], ri);
          if constexpr (D == Detection::Unlinked)
            bandLevelPairs[b][i] = magnitude(band[b]);
          else
            bandLevels[b][i] = largerLane(magnitude(band[b]));
        } else {
          ring[bandRing[b][0] + wi] = band[b];
          w.delayed[b][i][0] = ring[bandRing[b][0] + ri];
          bandLevels[b][i] = magnitude(band[b]);
        }
      }
    }
    filters.store(*this);
  }

  // The look-ahead maximum of each band over the whole call, the three at once.
  {
    double* rings[3][kLaneCount<TD>];
    const TD* levels[3];
    TD* peaks[3];
    for (int b = 0; b < 3; ++b) {
      for (int c = 0; c < kLaneCount<TD>; ++c) rings[b][c] = ring + maxRing[b][c];
      levels[b] = w.detector<TD>(b).level;
      peaks[b] = w.detector<TD>(b).peak;
    }
    w.lookaheadMaximum<TD>().template run<3>(rings, laMask, pos.r, pos.w, levels, peaks, n);
  }

  // Envelopes and gains, band by band; GR is the smallest band gain. The
  // band sum goes into its ring, the brickwall reads it B + 1 samples later
  // and takes its own detector value from it.
  {
    static constexpr int kSmoothers[3] = {kLow, kMid, kHigh};
    TD env[3];
    DetectorArrays<TD>* bands[3];
    DetectorEnvelope envelope[3];
    AutoRelease autoRelease[3];
    for (int b = 0; b < 3; ++b) {
      for (int c = 0; c < kLaneCount<TD>; ++c) setLane(env[b], c, envelopes[kBandEnv[b][c]]);
      bands[b] = &w.detector<TD>(b);
      envelope[b] = {k.attack, k.bandRelease[b], 0.0};
      // The linked kernel's high band releases a little faster under Auto.
      autoRelease[b] = {0.15, broadcast(2.0), (D == Detection::Linked && b == kHigh) ? 0.15 : 0.1};
    }
    runEnvelopes<EnvelopeKind::Band>(*this, kSmoothers, env, bands, envelope, autoRelease, k.autoOn, w.offset,
                                     n);
    for (int b = 0; b < 3; ++b) {
      for (int c = 0; c < kLaneCount<TD>; ++c) envelopes[kBandEnv[b][c]] = lane(env[b], c);
      gainsFromEnvelopes(*bands[b], n, [&](Pair e) { return bandGain(k, e, b); });
    }

    TD* brickwallLevels = w.detector<TD>(kBrickwall).level;
    const Pair plusTenthDb = broadcast(kPlusTenthDb);
    for (int i = 0; i < n; ++i) {
      Pair gainRed = broadcast(1.0), gained[3];
      for (int b = 0; b < 3; ++b) {
        const Pair gain = forChannels(bands[b]->gain[i]);
        gained[b] = w.delayed[b][i] * gain;
        gainRed = b == kLow ? gain : minOf(gainRed, gain);
      }
      const Pair sum = (gained[kMid] + gained[kLow]) + gained[kHigh];
      const int wi = (pos.w + i) & laMask, rbi = (pos.rb + i) & laMask;
      w.gainRed[i] = gainRed;
      if constexpr (kStereo) {
        writePair(ring, sumL, sumR, wi, sum);
        w.wet[i] = readPair(ring, sumL, sumR, rbi);
        const Pair level = magnitude(sum * plusTenthDb);
        if constexpr (D == Detection::Unlinked)
          brickwallLevels[i] = level;
        else
          brickwallLevels[i] = largerLane(level);
      } else {
        ring[sumL + wi] = sum[0];
        w.wet[i][0] = ring[sumL + rbi];
        brickwallLevels[i] = magnitude(sum[0] * kPlusTenthDb);
      }
    }
  }

  // Brickwall: its own look-ahead maximum of the band sum; with the brickwall
  // off its smoothers rest, its envelope keeps its value and the wet signal
  // passes unchanged and unclipped.
  lookahead<TD>(w, ring, brickwallMax, kBrickwall, laMask, pos.rb, pos.w, n);
  if (k.brickwallOn) {
    static constexpr int kSmoothers[1] = {kFull};
    TD env[1];
    for (int c = 0; c < kLaneCount<TD>; ++c)
      setLane(env[0], c, envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR]);
    DetectorArrays<TD>* brickwall[1] = {&w.detector<TD>(kBrickwall)};
    const DetectorEnvelope envelope[1] = {{k.brickwallAttack, k.brickwallRelease, 0.0}};
    const AutoRelease autoRelease[1] = {{0.2, broadcast(4.0), 0.1}};
    runEnvelopes<EnvelopeKind::Brickwall>(*this, kSmoothers, env, brickwall, envelope, autoRelease, k.autoOn,
                                          w.offset, n);
    for (int c = 0; c < kLaneCount<TD>; ++c)
      envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR] = lane(env[0], c);
    gainsFromEnvelopes(*brickwall[0], n, [](Pair e) { return brickwallGain(e); });
    const TD* gains = brickwall[0]->gain;
    finishCall<kStereo>(*this, w, k, routing, n, pos, [&](int i, Pair& gainRed) {
      const Pair g = forChannels(gains[i]);
      gainRed = gainRed * g;
      return clipToFullScale(w.wet[i] * g);
    });
  } else {
    finishCall<kStereo>(*this, w, k, routing, n, pos, [&](int i, Pair&) { return w.wet[i]; });
  }

  Cursor end = pos;
  end.advance(n, laMask, k.latMask);
  end.store(*this);
}

template <CompressorEngine::Detection D>
inline __attribute__((always_inline)) void CompressorEngine::singleBandKernel(int n,
                                                                              const ChunkRings& rings) {
  constexpr bool kStereo = D != Detection::OneChannel;
  using TC = std::conditional_t<kStereo, Pair, double>;
  using TD = std::conditional_t<D == Detection::Unlinked, Pair, double>;
  Scratch& w = *scratch_;
  const CallConstants k = callConstants(*this, w, rings, traits_.singleBandOtherWithoutGain);
  const MonoRouting routing = kStereo ? MonoRouting::Both : monoRouting(lrValue);
  const double* in[2] = {workIn[0], workIn[1]};
  if (!kStereo && routing == MonoRouting::Right) std::swap(in[0], in[1]);  // processed, other
  const Cursor pos(*this, rings);
  const int laMask = k.laMask;
  double* const ring = delayRings.get();
  const int maximum[2] = {regionStart(kBrickwallMaxL), regionStart(kBrickwallMaxR)};
  const int sumL = regionStart(kSumL), sumR = regionStart(kSumR);
  if (n <= 0) return;
  antiDenormal = fillOffsets(w.offset, antiDenormal, n);

  // Tone shaping around the two crossover frequencies, no band split; the
  // shaped signal goes into its ring and comes back A + 1 samples later.
  {
    FixedFilterLanes<TC> filters(*this);
    const TC lowAdjustMinus1 = splat<TC>(k.lowAdjust - 1.0), highAdjustMinus1 = splat<TC>(k.highAdjust - 1.0);
    TD* levels = w.detector<TD>(0).level;
    const Pair plusTenthDb = broadcast(kPlusTenthDb);
    for (int i = 0; i < n; ++i) {
      const double p = w.offset[i];
      const Pair x = Pair{in[0][i], in[1][i]} + broadcast(p);
      w.input[i] = x;
      const int wi = (pos.w + i) & laMask, ri = (pos.r + i) & laMask;
      TC u, h, l;
      if constexpr (kStereo) {
        filters.run(x, broadcast(p), u, h, l);
        const Pair shaped = shelved(u, h, l, lowAdjustMinus1, highAdjustMinus1);
        writePair(ring, sumL, sumR, wi, shaped);
        w.delayed[0][i] = readPair(ring, sumL, sumR, ri);
        const Pair level = magnitude(shaped * plusTenthDb);
        if constexpr (D == Detection::Unlinked)
          levels[i] = level;
        else
          levels[i] = largerLane(level);
      } else {
        filters.run(x[0], p, u, h, l);
        // The one-channel kernel blends its wet signal with the high-passed input.
        w.dry[i] = Pair{u, x[1]};
        const double shaped = shelved(u, h, l, lowAdjustMinus1, highAdjustMinus1);
        ring[sumL + wi] = shaped;
        w.delayed[0][i][0] = ring[sumL + ri];
        levels[i] = magnitude(shaped * kPlusTenthDb);
      }
    }
    filters.store(*this);
  }

  lookahead<TD>(w, ring, maximum, 0, laMask, pos.r, pos.w, n);

  // The detector, its envelope and the gain; the gain is also the
  // gain-reduction value. With Brickwall on the wet signal is clipped.
  {
    static constexpr int kSmoothers[1] = {kFull};
    TD env[1];
    for (int c = 0; c < kLaneCount<TD>; ++c)
      setLane(env[0], c, envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR]);
    DetectorArrays<TD>* detector[1] = {&w.detector<TD>(0)};
    const DetectorEnvelope envelope[1] = {{k.attack, k.singleRelease, k.longScale}};
    // The unlinked kernel's L detector releases with weight 4, its R detector with 3.
    const AutoRelease autoRelease[1] = {
        {0.18, D == Detection::Unlinked ? Pair{4.0, 3.0} : broadcast(3.0), 0.1}};
    constexpr EnvelopeKind kKind =
        D == Detection::Linked ? EnvelopeKind::LinkedSingleBand : EnvelopeKind::SingleBand;
    runEnvelopes<kKind>(*this, kSmoothers, env, detector, envelope, autoRelease, k.autoOn, w.offset, n);
    for (int c = 0; c < kLaneCount<TD>; ++c)
      envelopes[c == 0 ? kEnvBrickwallL : kEnvBrickwallR] = lane(env[0], c);
    gainsFromEnvelopes(*detector[0], n, [&](Pair e) { return singleBandGain(k, e); });
  }
  const TD* gains = w.detector<TD>(0).gain;
  auto wetOf = [&](int i, Pair& gainRed) {
    gainRed = forChannels(gains[i]);
    return w.delayed[0][i] * gainRed;
  };
  if (k.brickwallOn)
    finishCall<kStereo>(*this, w, k, routing, n, pos,
                        [&](int i, Pair& gainRed) { return clipToFullScale(wetOf(i, gainRed)); });
  else
    finishCall<kStereo>(*this, w, k, routing, n, pos, wetOf);

  Cursor end = pos;
  end.advance(n, laMask, k.latMask);
  end.store(*this);
}

// The same kernel built for AVX: the same operations in the same order, in
// the three-operand forms, each rounded on its own as before. (The multiband
// kernels gain nothing from it and keep to SSE2.)
template <CompressorEngine::Detection D>
__attribute__((target("avx"))) void CompressorEngine::singleBandKernelWide(int n, const ChunkRings& rings) {
  singleBandKernel<D>(n, rings);
}

template <CompressorEngine::Detection D>
void CompressorEngine::processSingleBand(int n, const ChunkRings& rings) {
  if (wideKernels_)
    singleBandKernelWide<D>(n, rings);
  else
    singleBandKernel<D>(n, rings);
}

void CompressorEngine::processBypassed(int n, const ChunkRings& rings) {
  Scratch& w = *scratch_;
  const CallConstants k = callConstants(*this, w, rings);
  Cursor pos(*this, rings);
  if (n <= 0) return;
  double* const ring = delayRings.get();
  const int dryA = regionStart(kDryA), dryB = regionStart(kDryB);
  const int mask = k.latMask;
  antiDenormal = fillOffsets(w.offset, antiDenormal, n);

  // Both channels through the dry regions: Nlat - 1 samples late, unchanged.
  // The meters' copies of input and output are kept only while they are shown.
  const auto delayBoth = [&](auto forMeters) {
    int o = pos.o;
    for (int i = 0; i < n; ++i) {
      const Pair x = Pair{workIn[0][i], workIn[1][i]} + broadcast(w.offset[i]);
      writePair(ring, dryA, dryB, o, x);
      o = (o + 1) & mask;
      const Pair out = readPair(ring, dryA, dryB, o);
      if constexpr (forMeters) {
        w.input[i] = x;
        w.output[i] = out;
      }
      workOut[0][i] = out[0];
      workOut[1][i] = out[1];
    }
  };
  if (k.editorIsOpen)
    delayBoth(std::true_type{});
  else
    delayBoth(std::false_type{});

  if (k.editorIsOpen) {
    const double a50 = w.bypassSmoother.at(processingRate(rings));
    const float gainAsFloat = static_cast<float>(k.ppm.gain);
    for (int i = 0; i < n; ++i) {
      const double p = w.offset[i];
      for (int c = 0; c < 2; ++c) {
        const double x = w.input[i][c], out = w.output[i][c];
        if (k.meterSource != 1) {
          meterChannel(*this, k, c, x, 1.0, out, p);
          continue;
        }
        // Gain reduction while bypassed: VU settles at 1, PPM follows the
        // ratio of the smoothed input to the smoothed meter gain.
        if (!k.ppmMeters) {
          publishMeterLevel(meterLevels[c], vuFilters[c].tick(1.0));
        } else {
          float& sIn = bypassMeterSmoothers[2 * c];
          float& sG = bypassMeterSmoothers[2 * c + 1];
          const float towardsGain = gainAsFloat - sG;
          sG = static_cast<float>(sG + towardsGain * a50 + p);
          sIn = static_cast<float>(sIn + (std::fabs(x) - sIn) * a50 + p);
          const double t = static_cast<float>((sIn + 0.001) / (sG * k.smallSignalGain + 0.001));
          const double m = meterLevels[c];
          publishMeterLevel(meterLevels[c], m + (t - m) * (m > t ? k.ppm.attack : k.ppm.release) + p);
        }
        advanceOverCount(overCounts[c], k.overThreshold, std::fabs(out));
      }
    }
  }

  pos.advance(n, k.laMask, mask);
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
