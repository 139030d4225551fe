#pragma once

#include <array>

// 2x sample-rate converter: a half-band windowed-sinc interpolator and
// decimator, plus two plain 64-sample delays that stand in for them when the
// signal is not oversampled, so that the total latency is the same either way.
// The conversions and delays run on the audio thread, one object per channel;
// reset must not overlap them (the owner calls it while processing is stopped
// or from the processing thread itself). Nothing allocates after construction.
class HalfbandOversampler {
 public:
  static constexpr int kTapCount = 255;
  static constexpr int kCentreTap = kTapCount / 2;
  // Largest host-rate count that one upsample call accepts: upOutput holds
  // the 2 x 512 values of one call.
  static constexpr int kMaxUpsampleCount = 512;

  // The flag word names an interpolator and a decimator variant. Only 0x808
  // (255-tap Blackman interpolator, 255-tap Hann decimator) exists; every
  // other word is kept as given and builds that same pair.
  explicit HalfbandOversampler(int flags);

  // Clears both histories and the scratch output and restarts both positions.
  void reset();

  // In place: count host-rate samples in, 2 x count doubled-rate samples out;
  // the buffer holds 2 x count values. count is at most kMaxUpsampleCount: a
  // larger count stops a debug build and is cut to that limit otherwise.
  void upsample(double* buffer, int count);
  // In place: count doubled-rate samples in, count / 2 host-rate samples out
  // at the start of the buffer; an odd last sample is ignored. Any count.
  void downsample(double* buffer, int count);
  // In place: a delay of 64 host-rate samples through the interpolator's history.
  void delayInsteadOfUpsample(double* buffer, int count);
  // In place: a delay of 64 host-rate samples through the decimator's history.
  void delayInsteadOfDownsample(double* buffer, int count);

  // The delay this object adds to the effect's reported delay.
  int getLatency() const { return latencyCount; }
  int getFlags() const { return flags; }
  // Taps by index 0..254, symmetric around kCentreTap.
  const std::array<double, kTapCount>& getUpTaps() const { return upTaps; }
  const std::array<double, kTapCount>& getDownTaps() const { return downTaps; }

 private:
  // The outermost tap pair reaches 256 samples behind the newest one; a ring
  // of 512 keeps them all, and positions wrap with a mask. Every sample is
  // stored twice, at its position and 512 slots further, so that the 257
  // samples behind any position lie side by side without a wrap.
  static constexpr int kHistorySize = 512;
  static constexpr int kHistoryMask = kHistorySize - 1;
  static constexpr int kStartPos = 255;

  static void write(std::array<double, 2 * kHistorySize>& history, int pos, double x);

  int flags;
  int latencyCount;
  std::array<double, 2 * kHistorySize> downHistory;
  std::array<double, kTapCount> downTaps;
  int downPos;
  std::array<double, 2 * kHistorySize> upHistory;
  std::array<double, kTapCount> upTaps;
  std::array<double, 2 * kMaxUpsampleCount> upOutput;
  int upPos;
};
