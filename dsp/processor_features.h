// What the processor offers beyond the x86-64 baseline, asked once at run
// time: the kernels that have a wider form take it only where it runs.
#pragma once

inline bool processorHasAvx() {
#if defined(__x86_64__) || defined(_M_X64)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
#else
  return false;
#endif
}
