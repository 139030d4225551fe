// The look-ahead maximum of the detectors. The ring of a detector holds, at
// every slot from the reader to the writer, the largest value written since
// that slot was written: each new value replaces every smaller entry walking
// back from the writer until an entry at least as large (ties stop it) or the
// reader, and the reader's entry takes the new value when it is larger.
//
// Walking entry by entry costs the window length per sample on rising input.
// RunQueue keeps the same entries as runs of equal values while a kernel call
// runs: a new value removes the smaller runs at the writer's end in one step
// each. It loads the ring's window at the start of a call and writes it back
// at the end, so between calls the ring holds exactly what the walk would
// have left there, also outside the window, and window changes, ring clears
// and kernels sharing a ring behave as with the walk.
#pragma once

#include <cstdint>
#include <limits>

class RunQueue {
 public:
  // Room for a window of the whole ring plus one call of splits and pushes.
  static constexpr int kMaxWindow = 1024;
  static constexpr int kMaxCallSamples = 256;
  static constexpr int kCapacity = kMaxWindow + 2 * kMaxCallSamples + 2;
  // Slots below the stop value that a push may look at (and not use).
  static constexpr int kLookBelow = 3;

  // Takes the entries from the reader r up to the slot before the writer w.
  // Whatever the positions hold, the walk stays inside the ring and covers at
  // most its length: both are masked first, and the window is counted, not
  // searched for. The ring is at most kMaxWindow long (mask + 1).
  void load(const double* ring, int mask, int r, int w) {
    mask &= kMaxWindow - 1;
    r &= mask;
    w &= mask;
    int head = kMaxCallSamples + 1;
    int tail = head - 1;
    values_[tail] = kStop;
    const int length = (w - r) & mask;
    for (int k = 0, j = r; k < length; ++k, j = (j + 1) & mask) {
      const double v = ring[j];
      if (tail >= head && values_[tail] == v) {
        ++counts_[tail];
      } else {
        ++tail;
        values_[tail] = v;
        counts_[tail] = 1;
      }
    }
    head_ = head;
    tail_ = tail;
  }

  // The writer's new value, as the walk would place it.
  void push(double v) {
    int tail = tail_;
    int head = head_;
    // The top runs are decided together, without a branch per run: how many
    // runs a value removes changes with the signal from sample to sample.
    // The stop value before the reader's run ends every removal there.
    const bool p0 = values_[tail] < v;
    const bool p1 = p0 & (values_[tail - 1] < v);
    const bool p2 = p1 & (values_[tail - 2] < v);
    const bool p3 = p2 & (values_[tail - 3] < v);
    int merged = 1 + (counts_[tail] & -static_cast<int>(p0)) + (counts_[tail - 1] & -static_cast<int>(p1)) +
                 (counts_[tail - 2] & -static_cast<int>(p2)) + (counts_[tail - 3] & -static_cast<int>(p3));
    tail -= static_cast<int>(p0) + static_cast<int>(p1) + static_cast<int>(p2) + static_cast<int>(p3);
    if (p3) {
      while (values_[tail] < v) merged += counts_[tail--];
    }
    if (tail >= head && values_[tail] == v) {
      counts_[tail] += merged;
    } else {
      ++tail;
      values_[tail] = v;
      counts_[tail] = merged;
    }
    // The reader's entry takes the new value even where the walk stopped
    // before reaching it.
    if (values_[head] < v) {
      if (counts_[head] == 1) {
        values_[head] = v;
      } else {
        --counts_[head];
        --head;
        values_[head] = v;
        counts_[head] = 1;
        values_[head - 1] = kStop;
      }
    }
    head_ = head;
    tail_ = tail;
  }

  // The entry at the reader.
  double front() const { return values_[head_]; }

  // The reader moves on; its slot leaves the window.
  void popFront() {
    if (--counts_[head_] == 0) {
      values_[head_] = kStop;
      ++head_;
    }
  }

  // Writes the window back, starting at the reader r; never more than the
  // ring's length of entries.
  void store(double* ring, int mask, int r) const {
    mask &= kMaxWindow - 1;
    int j = r & mask;
    int room = mask + 1;
    for (int k = head_; k <= tail_; ++k) {
      const double v = values_[k];
      for (int c = counts_[k]; c > 0 && room > 0; --c, --room) {
        ring[j] = v;
        j = (j + 1) & mask;
      }
    }
  }

 private:
  // Larger than any detector value: no push walks past it.
  static constexpr double kStop = std::numeric_limits<double>::infinity();

  int head_ = 0;
  int tail_ = -1;
  double values_[kCapacity] = {};
  std::int32_t counts_[kCapacity] = {};
};
