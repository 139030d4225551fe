// Which kernels the channel settings select. The block loops choose by these
// rules, and the parameter texts and the editors' controls read them here
// too, so that what they show is what runs.
#pragma once

// The stereo kernels run while the stereo-mode value is above 0.5, the
// one-channel kernels otherwise (0.5 itself included).
inline bool stereoKernelsRun(float monoStereoValue) { return monoStereoValue > 0.5f; }

// What the one-channel kernels process by the left/right value: both
// channels alike, only the left one or only the right one.
enum class MonoRouting { Both, Left, Right };

inline MonoRouting monoRouting(float lrValue) {
  const double lr = lrValue;
  if (lr < 0.333) return MonoRouting::Both;
  if (lr < 0.66) return MonoRouting::Left;
  return MonoRouting::Right;
}
