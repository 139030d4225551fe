// A test effect on the preset system, built with any product's constants. Its
// parameters are plain stored values; it records every setParameter call and
// whether a program was being applied at the time.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "presets/preset_editor.h"
#include "presets/preset_effect.h"

namespace presettest {

struct ProductConstants {
  const char* product;
  int numParams;
  int numPrograms;
  std::span<const VstInt32> globals;
  const char* stem;
  VstInt32 uniqueId;
  presets::PresetStripTraits strip;
};

// The constants of all three products.
inline void PrintTo(const ProductConstants& c, std::ostream* os) { *os << c.product; }
std::span<const ProductConstants> allProducts();

// Factory value of parameter i in program k: within 0..1, never equal to its
// own byte-reversal's sanitised form (so swaps are visible), distinct between
// programs except for the global parameters, which all programs share.
float factoryValue(const ProductConstants& product, int program, int index);
std::string factoryName(int program);

struct SetCall {
  VstInt32 index;
  float value;
  bool applying;
};

// Holds the traits so that they exist before the preset-system base reads them.
struct TraitsHolder {
  explicit TraitsHolder(const ProductConstants& constants);
  PresetSystemTraits ownTraits;
};

class PresetTestEffect : private TraitsHolder, public CPresetSystemEffect {
 public:
  PresetTestEffect(audioMasterCallback audioMaster, const ProductConstants& constants);

  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void processReplacing(float**, float**, VstInt32) override {}

  std::vector<float> values;  // indices 0 .. 2N-1: host and editor-only values
  std::vector<SetCall> calls;
};

class PresetTestEditor : public CPresetSystemEditor {
 public:
  explicit PresetTestEditor(CPresetSystemEffect* effect) : CPresetSystemEditor(effect) {}
  void setParameter(VstInt32 index, float value) override { told.push_back({index, value, false}); }
  void updateProgramName(const char* name) override {
    renamed.push_back(name);
    CPresetSystemEditor::updateProgramName(name);
  }
  void readPreset(const std::uint8_t* record, bool endianReversed) override {
    ++presetReads;
    CPresetSystemEditor::readPreset(record, endianReversed);
  }
  void writeBank(std::uint8_t* record) override {
    ++bankWrites;
    CPresetSystemEditor::writeBank(record);
  }
  std::vector<SetCall> told;
  std::vector<std::string> renamed;
  int presetReads = 0;
  int bankWrites = 0;
  using CPresetSystemEditor::paths_;
};

}  // namespace presettest
