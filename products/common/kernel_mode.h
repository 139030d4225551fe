// The parameter settings that select one kernel and routing of a product, for
// the programs that drive every kernel: the tests, the benchmark and the
// memcheck session.
#pragma once

#include <cstddef>
#include <span>

#include "host/vst_abi.h"

struct ParameterSetting {
  VstInt32 index;
  float value;
};

struct KernelMode {
  const char* name;
  ParameterSetting settings[4];
  int count;
  bool bothChannelsProcessed;  // false where one channel passes unprocessed

  std::span<const ParameterSetting> parameters() const { return {settings, static_cast<std::size_t>(count)}; }
};
