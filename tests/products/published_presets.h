// Checks a product's factory programs against its published preset list,
// written out as text: one row per program, "name|value value ...", the
// values those of the listed columns; every other index takes the value the
// list gives once for all programs. Where two products' lists share their
// rows, the values in which one product's list differs come on top.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "presets/preset_effect.h"

struct OwnProgramValue {
  int program, index;
  float value;
};

inline void expectPublishedPrograms(const ProgramStore& store, std::span<const char* const> rows,
                                    std::span<const int> columns,
                                    const std::function<float(int index, const std::string& name)>& shared,
                                    std::span<const OwnProgramValue> own = {}) {
  const int params = store.layout().numParams;
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(store.layout().numPrograms));
  for (int k = 0; k < store.layout().numPrograms; ++k) {
    const std::string row = rows[static_cast<std::size_t>(k)];
    const std::size_t bar = row.find('|');
    const std::string name = row.substr(0, bar);
    EXPECT_EQ(std::string(store.name(k)), name) << "program " << k;
    std::istringstream numbers(row.substr(bar + 1));
    std::vector<float> expected(static_cast<std::size_t>(params));
    for (int i = 0; i < params; ++i) expected[static_cast<std::size_t>(i)] = shared(i, name);
    for (int column : columns) {
      std::string text;
      numbers >> text;
      expected[static_cast<std::size_t>(column)] = std::strtof(text.c_str(), nullptr);
    }
    for (const OwnProgramValue& v : own)
      if (v.program == k) expected[static_cast<std::size_t>(v.index)] = v.value;
    for (int i = 0; i < params; ++i)
      EXPECT_EQ(store.value(k, i), expected[static_cast<std::size_t>(i)])
          << "program " << k << " index " << i;
  }
}

// Every program name is shorter than its 24-byte field and zero-filled behind its end.
inline void expectNamesZeroFilled(const ProgramStore& store) {
  for (int k = 0; k < store.layout().numPrograms; ++k) {
    const std::string name = store.name(k);
    EXPECT_LT(name.size(), 24u) << "program " << k;
    for (std::size_t i = name.size(); i < 24; ++i) EXPECT_EQ(store.name(k)[i], 0) << "program " << k;
  }
}
