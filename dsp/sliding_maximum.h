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
// positions, as the two channels of an unlinked kernel do; one call takes up
// to three such groups at once (the bands of a multiband kernel), so that
// their running maxima, each a chain of its own, overlap.
template <typename T>
class LookaheadMaximum {
 public:
  static constexpr int kLanes = kLaneCount<T>;
  // The largest ring, and the most values one call takes.
  static constexpr int kMaxRing = 1024;
  static constexpr int kMaxGroups = 3;

  // The n values v[g] of one call for each of N groups (n at most the ring's
  // length, mask + 1) against their rings at reader r and writer w:
  // peaks[g][i] is what the reader holds at sample i before it is emptied.
  // The rings are left as the walk leaves them. v and peaks have room for
  // one value past the last.
  // Always inlined, so that a kernel built for a wider instruction set
  // takes it in that form.
  template <int N>
  __attribute__((always_inline)) void run(double* const (&rings)[N][kLanes], int mask, int r, int w,
                                          const T* const (&v)[N], T* const (&peaks)[N], int n) {
    static_assert(N >= 1 && N <= kMaxGroups);
    mask &= kMaxRing - 1;
    r &= mask;
    w &= mask;
    if (n <= 0) return;
    const int K = (w - r) & mask;
    if (K == 0 || n > mask + 1) {
      // A window of no slots, where reader and writer meet, never comes from
      // the kernels: the walk then goes round the whole ring.
      for (int g = 0; g < N; ++g) walkEachSample(rings[g], mask, r, w, v[g], peaks[g], n);
      return;
    }
    for (int g = 0; g < N; ++g) copyFromRings(rings[g], mask, r, K, old_[g]);

    // The values in blocks of K + 1: the running maximum forward from each
    // block's start and backward from its end; the first block's forward
    // maximum is the largest value of the call so far. Alongside the first
    // block, the largest old entry from each slot of the old window on.
    const int block = K + 1;
    T after[N], ahead[N], behind[N];
    for (int g = 0; g < N; ++g) {
      after[g] = splat<T>(kMinusInfinity);
      largestFrom_[g][K] = after[g];
    }
    int lastStart = 0;
    for (int start = 0; start < n; start += block) {
      const int length = std::min(block, n - start);
      const int last = start + length - 1;
      for (int g = 0; g < N; ++g) {
        forward_[g][start] = ahead[g] = v[g][start];
        backward_[g][last] = behind[g] = v[g][last];
      }
      int t = 1;
      if (start == 0) {
        const int together = std::min(length, K);
        for (; t < together; ++t) {
          for (int g = 0; g < N; ++g) {
            forward_[g][t] = ahead[g] = scanMax(ahead[g], v[g][t]);
            backward_[g][last - t] = behind[g] = scanMax(behind[g], v[g][last - t]);
            largestFrom_[g][K - t] = after[g] = scanMax(after[g], old_[g][K - t]);
          }
        }
      }
      for (; t < length; ++t) {
        for (int g = 0; g < N; ++g) {
          forward_[g][start + t] = ahead[g] = scanMax(ahead[g], v[g][start + t]);
          backward_[g][last - t] = behind[g] = scanMax(behind[g], v[g][last - t]);
        }
      }
      lastStart = start;
    }
    // The first block took old slots K - 1 down to K - min(n, K) + 1.
    for (int k = K - std::min(n, K); k >= 0; --k) {
      for (int g = 0; g < N; ++g) largestFrom_[g][k] = after[g] = scanMax(after[g], old_[g][k]);
    }

    const int oldReads = std::min(n, K);
    const int firstKept = std::max(n - K, 0);
    const int firstInLast = std::max(firstKept, lastStart);
    for (int g = 0; g < N; ++g) {
      T largest = backward_[g][0];
      for (int start = block; start < n; start += block) largest = scanMax(largest, backward_[g][start]);
      const T* f = forward_[g];
      const T* b = backward_[g];
      const T* o = old_[g];
      const T* from = largestFrom_[g];
      const T* x = v[g];
      T* peak = peaks[g];

      // Readings while the reader is on old entries, then once it is past them.
      for (int i = 0; i < oldReads; i += kStep) {
        const V top = load(f, i), c = load(o, i);
        store(peak, i, whereGreater(top, load(from, i + 1), maxOf(c, top), maxOf(c, load(x, i))));
      }
      for (int i = K; i < n; i += kStep) store(peak, i, maxOf(load(b, i - K), load(f, i)));

      // The rings as the walk leaves them, from the reader on: the entries
      // read are empty, the old entries still in the window took the largest
      // value where it reached them, and every new entry holds the largest
      // value from it on (at most two blocks). New entries that come round
      // onto old ones are written last.
      emptyRings(rings[g], mask, r, oldReads);
      if (n < K) {
        const V top = broadcastLanes(largest);
        for (int k = n; k < K; k += kStep) {
          const V c = load(o, k);
          store(image_, k, whereGreater(top, load(from, k + 1), maxOf(c, top), c));
        }
        copyIntoRings(rings[g], mask, (r + n) & mask, image_ + n, K - n);
      }
      const V lastBlock = broadcastLanes(b[lastStart]);
      for (int m = firstKept; m < firstInLast; m += kStep) store(image_, m, maxOf(load(b, m), lastBlock));
      std::copy(b + firstInLast, b + n, image_ + firstInLast);
      emptyRings(rings[g], mask, w, firstKept);
      copyIntoRings(rings[g], mask, (w + firstKept) & mask, image_ + firstKept, n - firstKept);
    }
  }

  // One group alone.
  __attribute__((always_inline)) void run(double* const (&rings)[kLanes], int mask, int r, int w, const T* v,
                                          T* peaks, int n) {
    const T* const values[1] = {v};
    T* const out[1] = {peaks};
    if constexpr (kLanes == 1) {
      double* const grouped[1][1] = {{rings[0]}};
      run<1>(grouped, mask, r, w, values, out, n);
    } else {
      double* const grouped[1][2] = {{rings[0], rings[1]}};
      run<1>(grouped, mask, r, w, values, out, n);
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
  // The element-wise steps take two values at a time: two neighbouring
  // samples of one detector, or one sample of two. A step past the end
  // forms a value that nothing uses; the arrays have room for it.
  using V = Pair;
  static constexpr int kStep = kLanes == 1 ? 2 : 1;
  static V load(const T* a, int i) {
    if constexpr (kLanes == 1)
      return _mm_loadu_pd(a + i);
    else
      return a[i];
  }
  static void store(T* a, int i, V x) {
    if constexpr (kLanes == 1)
      _mm_storeu_pd(a + i, x);
    else
      a[i] = x;
  }
  // One detector's value in both lanes; two detectors' values as they are.
  static V broadcastLanes(T x) {
    if constexpr (kLanes == 1)
      return broadcast(x);
    else
      return x;
  }
  // The running maxima: the same as maxOf, in the form the compiler keeps in
  // one instruction for a single value.
  static double scanMax(double a, double b) { return a < b ? b : a; }
  static Pair scanMax(Pair a, Pair b) { return maxOf(a, b); }

  // The contiguous stretches of count slots from `from` on, wrapping at the
  // ring's end: f(first slot, first index into the array, length).
  template <typename F>
  static void inStretches(int mask, int from, int count, F f) {
    for (int done = 0; done < count;) {
      const int length = std::min(count - done, mask + 1 - from);
      f(from, done, length);
      done += length;
      from = 0;
    }
  }
  static void copyFromRings(double* const (&rings)[kLanes], int mask, int from, int count, T* out) {
    inStretches(mask, from, count, [&](int slot, int index, int length) {
      if constexpr (kLanes == 1) {
        std::copy_n(rings[0] + slot, length, out + index);
      } else {
        for (int k = 0; k < length; ++k) out[index + k] = Pair{rings[0][slot + k], rings[1][slot + k]};
      }
    });
  }
  static void copyIntoRings(double* const (&rings)[kLanes], int mask, int to, const T* in, int count) {
    inStretches(mask, to, count, [&](int slot, int index, int length) {
      if constexpr (kLanes == 1) {
        std::copy_n(in + index, length, rings[0] + slot);
      } else {
        for (int k = 0; k < length; ++k) {
          rings[0][slot + k] = in[index + k][0];
          rings[1][slot + k] = in[index + k][1];
        }
      }
    });
  }
  static void emptyRings(double* const (&rings)[kLanes], int mask, int from, int count) {
    inStretches(mask, from, count, [&](int slot, int, int length) {
      for (int c = 0; c < kLanes; ++c) std::fill_n(rings[c] + slot, length, 0.0);
    });
  }

  static void walkEachSample(double* const (&rings)[kLanes], int mask, int r, int w, const T* v, T* peaks,
                             int n) {
    for (int i = 0; i < n; ++i) {
      for (int c = 0; c < kLanes; ++c) setLane(peaks[i], c, walk(rings[c], mask, r, w, lane(v[i], c)));
      r = (r + 1) & mask;
      w = (w + 1) & mask;
    }
  }

  static constexpr int kRoom = kMaxRing + 2;
  T old_[kMaxGroups][kRoom];
  T largestFrom_[kMaxGroups][kRoom];
  T forward_[kMaxGroups][kRoom];
  T backward_[kMaxGroups][kRoom];
  T image_[kRoom];
};
