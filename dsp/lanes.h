// Two doubles in one SSE2 register, for the places where the kernels run the
// same operations on two signals (L and R, or a detector's fast and slow
// smoother). Every lane is computed exactly as the scalar code computes its
// one signal: the same operations in the same order, each rounded on its own,
// never contracted or reassociated. SSE2 is the x86-64 baseline, so nothing
// here needs a newer processor.
//
// The helpers come in a double and a Pair form with the same meaning, so that
// one template serves a single signal and two at once. max and min follow the
// standard library's std::max and std::min exactly (the first argument wins
// ties and a NaN in it passes), so a kernel written with them gives the same
// bits as one written with std::max and std::min.
#pragma once

#include <emmintrin.h>

#include <limits>

using Pair = double __attribute__((vector_size(16)));

inline constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

inline Pair pairOf(double l, double r) { return Pair{l, r}; }
inline Pair broadcast(double x) { return Pair{x, x}; }

template <typename T>
inline T splat(double x) {
  if constexpr (sizeof(T) == sizeof(double))
    return x;
  else
    return broadcast(x);
}

// std::max(a, b): b when a < b, else a. Always the SSE2 instruction, never
// a branch.
inline double maxOf(double a, double b) { return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(b), _mm_set_sd(a))); }
inline Pair maxOf(Pair a, Pair b) { return _mm_max_pd(b, a); }
// std::min(a, b): b when b < a, else a.
inline double minOf(double a, double b) { return _mm_cvtsd_f64(_mm_min_sd(_mm_set_sd(b), _mm_set_sd(a))); }
inline Pair minOf(Pair a, Pair b) { return _mm_min_pd(b, a); }

inline double magnitude(double x) { return __builtin_fabs(x); }
inline Pair magnitude(Pair x) { return _mm_andnot_pd(_mm_set1_pd(-0.0), x); }

// a where x > y, else b: the choices of attack or release, or of a curve's
// two pieces, that change with the signal from sample to sample.
inline double whereGreater(double x, double y, double a, double b) {
  const __m128d greater = _mm_cmpgt_sd(_mm_set_sd(x), _mm_set_sd(y));
  return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(greater, _mm_set_sd(a)), _mm_andnot_pd(greater, _mm_set_sd(b))));
}
inline Pair whereGreater(Pair x, Pair y, Pair a, Pair b) {
  const __m128d greater = _mm_cmpgt_pd(x, y);
  return _mm_or_pd(_mm_and_pd(greater, a), _mm_andnot_pd(greater, b));
}

// std::max(v[0], v[1]): the larger of a register's two lanes.
inline double largerLane(Pair v) { return _mm_cvtsd_f64(_mm_max_sd(_mm_unpackhi_pd(v, v), v)); }

// Lane c of a value: the value itself for one signal.
inline double lane(double v, int) { return v; }
inline double lane(Pair v, int c) { return v[c]; }
inline void setLane(double& v, int, double x) { v = x; }
inline void setLane(Pair& v, int c, double x) { v[c] = x; }

template <typename T>
inline constexpr int kLaneCount = sizeof(T) / sizeof(double);

// Arrays of one signal's values (T = double) or of two signals' (T = Pair)
// taken two values at a time: two neighbouring samples of the one signal, or
// one sample of the two. A pass over an odd count of one signal's samples
// also forms the value after the last one, which nothing may use, so such
// arrays have room for it.
template <typename T>
struct TwoAtATime;

template <>
struct TwoAtATime<double> {
  static constexpr int kSamples = 2;
  static Pair load(const double* a, int i) { return _mm_loadu_pd(a + i); }
  static void store(double* a, int i, Pair v) { _mm_storeu_pd(a + i, v); }
};

template <>
struct TwoAtATime<Pair> {
  static constexpr int kSamples = 1;
  static Pair load(const Pair* a, int i) { return a[i]; }
  static void store(Pair* a, int i, Pair v) { a[i] = v; }
};

// One signal's value carried in both lanes of a register, so that its
// recursion needs no moves between scalar and register forms; two signals'
// values in their own lanes.
template <typename T>
inline Pair inRegister(T x) {
  if constexpr (kLaneCount<T> == 1)
    return broadcast(x);
  else
    return x;
}

template <typename T>
inline void fromRegister(T& to, Pair x) {
  if constexpr (kLaneCount<T> == 1)
    to = x[0];
  else
    to = x;
}
