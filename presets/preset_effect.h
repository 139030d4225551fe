// The layer between the VST base classes and every product effect: the
// internal programs behind the single program the host sees, the host chunk,
// the factory presets and the global-parameter rule.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "host/audioeffectx.h"
#include "presets/records.h"
#include "presets/strip_layout.h"

class CPresetSystemEditor;

// The programs of one effect instance, laid out exactly as the records carry
// them: P entries of a 24-byte name and N float values each.
class ProgramStore {
 public:
  explicit ProgramStore(const records::Layout& layout);

  const records::Layout& layout() const { return layout_; }
  std::uint8_t* entry(int program) { return bytes_.get() + layout_.entryBytes() * program; }
  const std::uint8_t* entry(int program) const { return bytes_.get() + layout_.entryBytes() * program; }
  char* name(int program) { return reinterpret_cast<char*>(entry(program)); }
  const char* name(int program) const { return reinterpret_cast<const char*>(entry(program)); }
  float value(int program, int index) const {
    return records::readFloat(entry(program) + records::kNameBytes + 4 * index);
  }
  void setValue(int program, int index, float v) {
    records::writeFloat(entry(program) + records::kNameBytes + 4 * index, v);
  }
  void setName(int program, const char* text) { records::storeName(name(program), text); }
  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }

 private:
  records::Layout layout_;
  std::unique_ptr<std::uint8_t[]> bytes_;
};

// What one product gives the preset system: its counts, its global parameters,
// its settings stem, its factory presets and its preset strip.
struct PresetSystemTraits {
  records::Layout layout;
  std::span<const VstInt32> globalIndices;
  const char* settingsStem;
  void (*loadFactoryPresets)(ProgramStore& store);
  presets::PresetStripTraits strip{};
};

class CPresetSystemEffect : public AudioEffectX {
 public:
  CPresetSystemEffect(audioMasterCallback audioMaster, const PresetSystemTraits& traits);
  ~CPresetSystemEffect() override;

  void resume() override {}
  // Stores value into the current program (indices below N only).
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 /*index*/) override { return -1.0f; }
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}  // the host's program change is ignored
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  // The whole bank goes to the host whatever isPreset says.
  VstInt32 getChunk(void** data, bool isPreset) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

  virtual VstInt32 getCurrentProgram() { return currentProgram; }
  // Makes program current and applies its values through the product's setParameter.
  virtual void selectProgram(VstInt32 program);
  virtual void setCurrentProgramName(const char* name);
  virtual void reserved1() {}
  virtual void reserved2() {}
  virtual void reserved3() {}
  virtual VstInt32 reserved4() { return 0; }
  virtual VstInt32 reserved5() { return 0; }
  virtual bool reserved6() { return false; }
  virtual void reserved7() {}
  virtual void reserved8() {}
  virtual void reserved9() {}
  virtual void reserved10() {}
  virtual void reserved11() {}
  virtual VstInt32 getPresetId() { return cEffect.uniqueID; }
  // Default bank and preset from the settings store (and, with an editor, the
  // last-used folder and file names).
  virtual void loadEditorDefaults();
  virtual void loadFactoryPresets();
  virtual void reserved12() {}

  ProgramStore* programStore() { return programs.get(); }
  const PresetSystemTraits& presetTraits() const { return traits; }
  bool isApplyingProgram() const { return applyingProgram; }
  CPresetSystemEditor* presetEditor() const;
  // Writes program's values of the global parameters into every program, so
  // that nothing loaded (chunk, bank, preset, default) leaves the programs
  // disagreeing on a parameter that must be the same in all of them.
  void holdGlobalsFrom(VstInt32 program);

 protected:
  // The last steps of every product setParameter: store the value into the
  // current program (and into all of them for a global index) unless a program
  // is being applied, then let the editor follow.
  void finishSetParameter(VstInt32 index, float value);
  bool isGlobalIndex(VstInt32 index) const;

  const PresetSystemTraits& traits;
  std::unique_ptr<ProgramStore> programs;
  VstInt32 currentProgram = 0;
  std::unique_ptr<std::uint8_t[]> chunkBuffer;
  bool applyingProgram = false;
};
