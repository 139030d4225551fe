// The kernels of the track engine: bypass, and one single-band kernel whose
// channel policy is mono, stereo linked or stereo unlinked. The mono and
// linked kernels share the L side of the unlinked kernel's state, so a change
// of Link or Stereo-Mono continues from the L detector.
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "dsp/detector.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"
#include "dsp/track_engine.h"

namespace {

// What the metering step reads for one kernel call.
struct MeterCall {
  bool on, ppm;
  int source;     // 0 Pre, 1 GainRed, 2 Post
  double vuGain;  // peak level to VU reading, over the reference level
  PpmBallistics ballistics;
  double overThreshold;
};

MeterCall meterCall(const TrackEngine& s, const TrackEngine::ChunkRings& rings) {
  MeterCall m{};
  m.on = s.editorIsOpen != 0;
  m.ppm = s.meterScaleValue >= 0.5f;
  m.source = s.meterSource;
  m.vuGain = kVuScale * s.vuReferenceInverse;
  m.ballistics = PpmBallistics::at(rings.rate, s.ppmIntegrationMs, s.ppmReturnMs, s.ppmTimeRatio);
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

// Two doubles computed lane by lane, each lane exactly as one channel: the
// stereo kernels run both channels' shelving at once.
using Pair = double __attribute__((vector_size(16)));

template <typename T>
T pack(double l, double r) {
  if constexpr (std::is_same_v<T, double>)
    return l;
  else
    return T{l, r};
}

template <typename T>
double lane(const T& v, int c) {
  if constexpr (std::is_same_v<T, double>)
    return v;
  else
    return v[c];
}

template <typename T>
FilterCoeffsOf<T> packed(const FilterCoeffs (&c)[2]) {
  return {pack<T>(c[0].b0, c[1].b0), pack<T>(c[0].b1, c[1].b1), pack<T>(c[0].b2, c[1].b2),
          pack<T>(c[0].a1, c[1].a1), pack<T>(c[0].a2, c[1].a2)};
}

// The fixed shelving of one channel (T = double) or both (T = Pair) for one
// kernel call: the part below 80 Hz scaled by the low adjust gain, the part
// above 12 kHz by the high adjust gain. The states are taken from the engine
// at the start of the call and written back after it.
template <typename T>
class Shelving {
 public:
  explicit Shelving(const TrackEngine& s)
      : highPass_(packed<T>(s.inputHighPassCoeffs)),
        lowCrossover_(packed<T>(s.lowCrossoverCoeffs)),
        highCrossover_(packed<T>(s.highCrossoverCoeffs)),
        lowAdjustMinus1_(pack<T>(s.lowAdjustGain - 1.0, s.lowAdjustGain - 1.0)),
        highAdjustMinus1_(pack<T>(s.highAdjustGain - 1.0, s.highAdjustGain - 1.0)) {
    const HighPassState(&h)[2] = s.highPassState;
    const CrossoverState(&lo)[2] = s.lowCrossoverState;
    const CrossoverState(&hi)[2] = s.highCrossoverState;
    highPassState_ = {pack<T>(h[0].x1, h[1].x1), pack<T>(h[0].x2, h[1].x2), pack<T>(h[0].y1, h[1].y1),
                      pack<T>(h[0].y2, h[1].y2)};
    lowState_ = {pack<T>(lo[0].s1, lo[1].s1), pack<T>(lo[0].s2, lo[1].s2), pack<T>(lo[0].last, lo[1].last)};
    highState_ = {pack<T>(hi[0].s1, hi[1].s1), pack<T>(hi[0].s2, hi[1].s2), pack<T>(hi[0].last, hi[1].last)};
  }

  T operator()(T x, T p) {
    const T u = highPass(x, highPass_, highPassState_, p);
    const T hp = crossover(u, lowCrossover_, lowState_, p);
    const T lp = crossover(u, highCrossover_, highState_, p);
    return u + (u - hp) * lowAdjustMinus1_ + (u - lp) * highAdjustMinus1_;
  }

  void store(TrackEngine& s) const {
    constexpr int kChannels = std::is_same_v<T, double> ? 1 : 2;
    for (int c = 0; c < kChannels; ++c) {
      s.highPassState[c] = {lane(highPassState_.x1, c), lane(highPassState_.x2, c),
                            lane(highPassState_.y1, c), lane(highPassState_.y2, c)};
      s.lowCrossoverState[c] = {lane(lowState_.s1, c), lane(lowState_.s2, c), lane(lowState_.last, c)};
      s.highCrossoverState[c] = {lane(highState_.s1, c), lane(highState_.s2, c), lane(highState_.last, c)};
    }
  }

 private:
  FilterCoeffsOf<T> highPass_, lowCrossover_, highCrossover_;
  HighPassStateOf<T> highPassState_;
  CrossoverStateOf<T> lowState_, highState_;
  T lowAdjustMinus1_, highAdjustMinus1_;
};

// What the detector stage reads for one call.
struct DetectorCall {
  KneeShape knee;
  double drive, attack, release, outputGain, smallSignalGain;
};

DetectorCall detectorCall(const TrackEngine& s) {
  return {KneeShape::of(s.kneeAmount, s.kneeMode),
          s.driveGain,
          s.attackCoeff,
          s.singleBandReleaseCoeff,
          s.outputGain,
          s.smallSignalGainValue};
}

// The envelope's step towards a detector reading, and the gain it gives: the
// static curve at the drive point, relative to the envelope.
inline double envelopeGain(const DetectorCall& k, double& e, double reading) {
  e = e + (reading - e) * whenGreater(reading, e, k.attack, k.release);
  if (e < kEnvelopeFloor) e = kEnvelopeFloor;
  return k.knee(e * k.drive) / e;
}

}  // namespace

template <TrackEngine::Channels C>
void TrackEngine::processSingleBand(int n, const ChunkRings& rings, bool stereoInput) {
  constexpr bool kMono = C == Channels::Mono;
  constexpr int kChannels = kMono ? 1 : 2;
  constexpr int kDetectors = C == Channels::Unlinked ? 2 : 1;
  using Lanes = std::conditional_t<kMono, double, Pair>;
  // Every value a chunk reads is taken once, so a chunk runs on one
  // consistent set even when another thread changes parameters meanwhile.
  const DetectorCall k = detectorCall(*this);
  const MeterCall m = meterCall(*this, rings);
  Shelving<Lanes> shelving(*this);
  const int mask = rings.mask;
  double offset = antiDenormal;
  double envelope[2] = {envelopes[0], envelopes[1]};
  int w = ringWritePos & mask;
  int r = ringReadPos & mask;
  DetectorMaximum maximum[2];
  for (int c = 0; c < kDetectors; ++c) maximum[c].begin(maximumQueues_[c], peakRings[c], mask, r, w);

  for (int i = 0; i < n; ++i) {
    const double p = -offset;
    offset = p;

    // The mono kernel takes the left input, or both inputs' mean when the
    // second one is in use.
    double x[2] = {workIn[0][i] + p, workIn[1][i] + p};
    if constexpr (kMono) {
      if (stereoInput) x[0] = (x[0] + workIn[1][i]) * 0.5;
    }
    const Lanes shaped = shelving(pack<Lanes>(x[0], x[1]), pack<Lanes>(p, p));
    double s[2];
    for (int c = 0; c < kChannels; ++c) {
      s[c] = lane(shaped, c);
      signalRings[c][w] = s[c];
    }

    double gain[2];
    if constexpr (C == Channels::Unlinked) {
      for (int c = 0; c < 2; ++c) {
        maximum[c].push(std::fabs(s[c] * kPlusTenthDb));
        gain[c] = envelopeGain(k, envelope[c], maximum[c].take(r, p));
      }
    } else {
      double v = std::fabs(s[0] * kPlusTenthDb);
      if constexpr (C == Channels::Linked) v = std::max(v, std::fabs(s[1] * kPlusTenthDb));
      maximum[0].push(v);
      gain[0] = gain[1] = envelopeGain(k, envelope[0], maximum[0].take(r, p));
    }

    for (int c = 0; c < kChannels; ++c) outputRings[c][r] = clipToFullScale(signalRings[c][r] * gain[c]);
    // The mono kernel keeps the right input as it came in: after a switch to
    // a stereo kernel the right output plays it until processed samples arrive.
    if constexpr (kMono) outputRings[1][w] = workIn[1][i];
    r = (r + 1) & mask;
    w = (w + 1) & mask;

    double y[2];
    for (int c = 0; c < kChannels; ++c) y[c] = outputRings[c][w] * k.outputGain;
    if constexpr (kMono) y[1] = y[0];
    workOut[0][i] = y[0];
    workOut[1][i] = y[1];

    if (m.on) {
      for (int c = 0; c < 2; ++c) {
        const int own = kMono ? 0 : c;  // the mono kernel shows its one channel on both meters
        meterStep(*this, m, c, x[own], y[c], std::fabs(gain[c]) / k.smallSignalGain, p);
      }
    }
  }
  for (int c = 0; c < kDetectors; ++c) maximum[c].end(r);
  shelving.store(*this);
  envelopes[0] = envelope[0];
  envelopes[1] = envelope[1];
  antiDenormal = offset;
  ringWritePos = w;
  ringReadPos = r;
}

void TrackEngine::processBypassed(int n, const ChunkRings& rings) {
  const MeterCall m = meterCall(*this, rings);
  const int mask = rings.mask;
  int w = ringWritePos & mask;
  int r = ringReadPos & mask;
  for (int i = 0; i < n; ++i) {
    const double p = -antiDenormal;
    antiDenormal = p;
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
  ringWritePos = w;
  ringReadPos = r;
}

template void TrackEngine::processSingleBand<TrackEngine::Channels::Mono>(int, const ChunkRings&, bool);
template void TrackEngine::processSingleBand<TrackEngine::Channels::Linked>(int, const ChunkRings&, bool);
template void TrackEngine::processSingleBand<TrackEngine::Channels::Unlinked>(int, const ChunkRings&, bool);
