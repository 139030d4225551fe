// The parameter settings that select each kernel and routing of JYX
// Ostrelvanheim2 (Process, Mode, Mono Stereo, Link, L R), for the programs
// that drive every kernel: the tests, the benchmark and the memcheck session.
// Its indices are also the meanings the first generation's table translates.
#pragma once

#include "products/common/kernel_mode.h"

namespace ostrelvanheim2 {

using ::KernelMode;
using ::ParameterSetting;

inline constexpr KernelMode kKernelModes[] = {
    {"bypass", {{0, 0}}, 1, true},
    {"stereo linked multiband", {{0, 1}, {1, 1}, {2, 1}, {3, 1}}, 4, true},
    {"stereo unlinked multiband", {{0, 1}, {1, 1}, {2, 1}, {3, 0}}, 4, true},
    {"stereo linked single band", {{0, 1}, {1, 0}, {2, 1}, {3, 1}}, 4, true},
    {"stereo unlinked single band", {{0, 1}, {1, 0}, {2, 1}, {3, 0}}, 4, true},
    {"mono multiband OO-O", {{0, 1}, {1, 1}, {2, 0}, {30, 0}}, 4, true},
    {"mono multiband L", {{0, 1}, {1, 1}, {2, 0}, {30, 0.5f}}, 4, false},
    {"mono multiband R", {{0, 1}, {1, 1}, {2, 0}, {30, 1}}, 4, false},
    {"mono single band OO-O", {{0, 1}, {1, 0}, {2, 0}, {30, 0}}, 4, true},
    {"mono single band L", {{0, 1}, {1, 0}, {2, 0}, {30, 0.5f}}, 4, false},
    {"mono single band R", {{0, 1}, {1, 0}, {2, 0}, {30, 1}}, 4, false},
};

}  // namespace ostrelvanheim2
