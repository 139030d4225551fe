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

  // The converters run four neighbouring outputs side by side in AVX
  // registers where the processor has them, else two in SSE2 registers; each
  // output is formed by the same operations in the same order either way, so
  // the samples are the same. wide(false) keeps to SSE2 (for the tests that
  // show it); wide(true) takes AVX again where there is AVX.
  void wide(bool on);
  bool isWide() const { return wide_; }

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

  // The filtered phase for count neighbouring outputs: y[j] plus
  // h[k] x (x[j - 65 - i] + x[j - 64 + i]) for k = 2i + 1, i = 0..63 in order.
  void addOddPairs(double* y, const double* x, const std::array<double, 4 * 64>& taps, int count) const;

  int flags;
  int latencyCount;
  bool wide_;
  std::array<double, kTapCount> downTaps;
  std::array<double, kTapCount> upTaps;
  // The 64 non-zero odd taps of each converter, each four times over, so
  // that one load gives a register full of it.
  alignas(32) std::array<double, 4 * 64> upOddTaps;
  alignas(32) std::array<double, 4 * 64> downOddTaps;
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
