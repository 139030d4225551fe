// The parameter settings that select each kernel of JYX Tindravelle (Process,
// Stereo-Mono, Link) with both inputs in use, for the programs that drive
// every kernel: the tests, the benchmark and the memcheck session.
#pragma once

#include "products/common/kernel_mode.h"

namespace tindravelle {

inline constexpr KernelMode kKernelModes[] = {
    {"bypass", {{0, 0}}, 1, true},
    {"stereo linked", {{0, 1}, {2, 1}, {3, 1}}, 3, true},
    {"stereo unlinked", {{0, 1}, {2, 1}, {3, 0}}, 3, true},
    {"mono", {{0, 1}, {2, 0}}, 2, true},
};

}  // namespace tindravelle
