// A product's factory presets as data: the values every program shares, the
// indices whose values differ from program to program, and per program its
// name and those values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>

#include "presets/preset_effect.h"

struct PresetValue {
  int index;
  float value;
};

template <std::size_t Varying>
struct FactoryProgram {
  const char* name;
  float values[Varying];
};

// Every program starts from zeros and the shared values, then takes its name
// (by the name rule) and its own values. Does nothing without a store.
template <std::size_t Varying>
void fillFactoryBank(ProgramStore& store, std::span<const FactoryProgram<Varying>> programs,
                     const int (&varyingIndices)[Varying], std::span<const PresetValue> shared) {
  if (!store.data()) return;
  const int count = std::min(static_cast<int>(programs.size()), store.layout().numPrograms);
  for (int k = 0; k < count; ++k) {
    store.setName(k, programs[static_cast<std::size_t>(k)].name);
    for (int i = 0; i < store.layout().numParams; ++i) store.setValue(k, i, 0.0f);
    for (const PresetValue& s : shared) store.setValue(k, s.index, s.value);
    for (std::size_t c = 0; c < Varying; ++c)
      store.setValue(k, varyingIndices[c], programs[static_cast<std::size_t>(k)].values[c]);
  }
}
