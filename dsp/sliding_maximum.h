// The look-ahead maximum of the detectors. The ring of a detector holds, at
// every slot from the reader to the writer, the largest value written since
// that slot was written: each new value replaces every smaller entry walking
// back from the writer until an entry at least as large (ties stop it) or the
// reader, and the reader's entry takes the new value when it is larger. The
// reader's entry is then taken and emptied, and both positions move on.
//
// Walking entry by entry costs the window length per sample on rising input,
// and its data-dependent branches cost more still. LookaheadMaximum gives
// the same readings and leaves the ring in the same state for a whole kernel
// call at once, in a fixed number of steps per sample and per window slot,
// without a branch on the values:
//
// - The window the call starts with holds what earlier calls (or a clear, or
//   another kernel with another window) left: old entries c[0..K), reader
//   first. A new value v reaches old entry k exactly when it is the largest
//   value of the call so far and larger than every old entry after k, so at
//   sample i the reader, still on old entry i, reads
//       G > C[i+1] ? max(c[i], G) : max(c[i], v)
//   with G the largest value of the call up to i and C[j] the largest old
//   entry from j on.
// - Once the reader is past the old entries it reads the largest of the last
//   K + 1 values of the call, taken blockwise (van Herk, Gil-Werman): the
//   values cut into blocks of K + 1, a running maximum forward from each
//   block's start and one backward from its end; the window always spans at
//   most two blocks, so one of each gives its maximum.
// - At the end, old entries still in the window hold max(c[k], G) where the
//   walk reached them, the entries read are empty, and the new entries still
//   in the window hold the largest value from theirs to the newest.
//
// Values are magnitudes: never negative. The work is bounded by the ring's
// length whatever the positions hold: both are masked, and the window is
// counted, not searched for.
#pragma once

#include <algorithm>

#include "dsp/lanes.h"

// One or two detectors (T = double or Pair, a ring per lane) that share their
// positions, as the two channels of an unlinked kernel do.
template <typename T>
class LookaheadMaximum {
 public:
  static constexpr int kLanes = kLaneCount<T>;
  // The largest ring, and the most values one call takes.
  static constexpr int kMaxRing = 1024;

  // The n values v of one call (n at most the ring's length, mask + 1)
  // against the rings at reader r and writer w: peaks[i] is what the reader
  // holds at sample i before it is emptied. The rings are left as the walk
  // leaves them.
  void run(double* const (&rings)[kLanes], int mask, int r, int w, const T* v, T* peaks, int n) {
    mask &= kMaxRing - 1;
    r &= mask;
    w &= mask;
    if (n <= 0) return;
    const int K = (w - r) & mask;
    if (K == 0 || n > mask + 1) {
      // A window of no slots, where reader and writer meet, never comes from
      // the kernels: the walk then goes round the whole ring.
      walkEachSample(rings, mask, r, w, v, peaks, n);
      return;
    }

    // The old window and the largest old entry from each slot on.
    for (int k = 0; k < K; ++k) {
      const int j = (r + k) & mask;
      for (int c = 0; c < kLanes; ++c) setLane(old_[k], c, rings[c][j]);
    }
    T after = splat<T>(kMinusInfinity);
    largestFrom_[K] = after;
    for (int k = K - 1; k >= 0; --k) {
      after = maxOf(old_[k], after);
      largestFrom_[k] = after;
    }

    // Readings while the reader is on old entries.
    const int oldReads = std::min(n, K);
    T largest = splat<T>(kMinusInfinity);
    for (int i = 0; i < oldReads; ++i) {
      largest = maxOf(largest, v[i]);
      peaks[i] = whereGreater(largest, largestFrom_[i + 1], maxOf(old_[i], largest), maxOf(old_[i], v[i]));
    }
    // Readings once it is past them: the largest of v[i - K .. i].
    if (n > K) {
      const int block = K + 1;
      for (int start = 0; start < n; start += block) {
        const int end = std::min(start + block, n);
        T run = v[start];
        forward_[start] = run;
        for (int i = start + 1; i < end; ++i) forward_[i] = run = maxOf(run, v[i]);
        run = v[end - 1];
        backward_[end - 1] = run;
        for (int i = end - 2; i >= start; --i) backward_[i] = run = maxOf(run, v[i]);
      }
      for (int i = K; i < n; ++i) peaks[i] = maxOf(backward_[i - K], forward_[i]);
      for (int i = oldReads; i < n; ++i) largest = maxOf(largest, v[i]);
    }

    // The rings as the walk leaves them: the entries read are empty, the old
    // entries still in the window took the largest value where it reached
    // them, and every new entry holds the largest value from it on.
    for (int k = 0; k < oldReads; ++k) store(rings, (r + k) & mask, splat<T>(0.0));
    for (int k = n; k < K; ++k)
      store(rings, (r + k) & mask,
            whereGreater(largest, largestFrom_[k + 1], maxOf(old_[k], largest), old_[k]));
    const int firstKept = std::max(n - K, 0);
    for (int m = 0; m < firstKept; ++m) store(rings, (w + m) & mask, splat<T>(0.0));
    T fromHere = v[n - 1];
    for (int m = n - 1; m >= firstKept; --m) {
      fromHere = maxOf(fromHere, v[m]);
      store(rings, (w + m) & mask, fromHere);
    }
  }

  // The walk itself, one sample: v goes in at w, and the reader's entry is
  // returned and emptied. It never takes more steps than the ring has slots.
  static double walk(double* ring, int mask, int r, int w, double v) {
    ring[w] = v;
    int j = (w + mask) & mask;
    while (v > ring[j] && j != r) {
      ring[j] = v;
      j = (j + mask) & mask;
    }
    if (v > ring[r]) ring[r] = v;
    const double peak = ring[r];
    ring[r] = 0.0;
    return peak;
  }

 private:
  static void store(double* const (&rings)[kLanes], int j, T x) {
    for (int c = 0; c < kLanes; ++c) rings[c][j] = lane(x, c);
  }

  static void walkEachSample(double* const (&rings)[kLanes], int mask, int r, int w, const T* v, T* peaks,
                             int n) {
    for (int i = 0; i < n; ++i) {
      for (int c = 0; c < kLanes; ++c) setLane(peaks[i], c, walk(rings[c], mask, r, w, lane(v[i], c)));
      r = (r + 1) & mask;
      w = (w + 1) & mask;
    }
  }

  T old_[kMaxRing];
  T largestFrom_[kMaxRing + 1];
  T forward_[kMaxRing];
  T backward_[kMaxRing];
};
