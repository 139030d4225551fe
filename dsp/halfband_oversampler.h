#pragma once

#include <array>

// 2x sample-rate converter: a half-band windowed-sinc interpolator and
// decimator, plus two plain 64-sample delays that stand in for them when the
// signal is not oversampled, so that the total latency is the same either way.
// The conversions and delays run on the audio thread, one object per channel;
// reset must not overlap them (the owner calls it while processing is stopped
// or from the processing thread itself). The converters and the stand-in
// delays keep their samples apart, so a switch between them goes with a reset,
// as it does in the effects. Nothing allocates after construction.
class HalfbandOversampler {
 public:
  static constexpr int kTapCount = 255;
  static constexpr int kCentreTap = kTapCount / 2;
  // Largest host-rate count that one upsample call accepts.
  static constexpr int kMaxUpsampleCount = 512;

  // The flag word names an interpolator and a decimator variant. Only 0x808
  // (255-tap Blackman interpolator, 255-tap Hann decimator) exists; every
  // other word is kept as given and builds that same pair.
  explicit HalfbandOversampler(int flags);

  // Clears every history: the converters' and the stand-in delays'.
  void reset();

  // In place: count host-rate samples in, 2 x count doubled-rate samples out;
  // the buffer holds 2 x count values. count is at most kMaxUpsampleCount: a
  // larger count stops a debug build and is cut to that limit otherwise.
  void upsample(double* buffer, int count);
  // In place: count doubled-rate samples in, count / 2 host-rate samples out
  // at the start of the buffer; an odd last sample is ignored. Any count.
  void downsample(double* buffer, int count);
  // In place: a delay of 64 host-rate samples, in place of the interpolator.
  void delayInsteadOfUpsample(double* buffer, int count);
  // In place: a delay of 64 host-rate samples, in place of the decimator.
  void delayInsteadOfDownsample(double* buffer, int count);

  // The delay this object adds to the effect's reported delay.
  int getLatency() const { return latencyCount; }
  int getFlags() const { return flags; }
  // Taps by index 0..254, symmetric around kCentreTap.
  const std::array<double, kTapCount>& getUpTaps() const { return upTaps; }
  const std::array<double, kTapCount>& getDownTaps() const { return downTaps; }

 private:
  // The interpolator looks 128 host-rate samples back, the decimator 128
  // pairs of doubled-rate samples; each keeps them in a line in time order,
  // followed by the samples of the call, so that every output reads its taps
  // side by side and two neighbouring outputs read neighbouring samples.
  static constexpr int kHistory = 128;
  static constexpr int kLine = kHistory + kMaxUpsampleCount;
  // The stand-in delays keep their last 64 samples.
  static constexpr int kStandInDelay = 64;

  int flags;
  int latencyCount;
  std::array<double, kTapCount> downTaps;
  std::array<double, kTapCount> upTaps;
  // Host-rate inputs of the interpolator.
  std::array<double, kLine> upLine;
  // Doubled-rate inputs of the decimator, the even-numbered and the
  // odd-numbered samples apart: the centre tap meets only odd ones, the
  // other taps only even ones.
  std::array<double, kLine> downEvenLine;
  std::array<double, kLine> downOddLine;
  std::array<double, kStandInDelay> upStandIn;
  std::array<double, kStandInDelay> downStandIn;
};
