#include "presets/preset_effect.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "platform/text.h"
#include "presets/preset_editor.h"
#include "presets/stored_presets.h"

using records::kNameBytes;

ProgramStore::ProgramStore(const records::Layout& layout)
    : layout_(layout), bytes_(new (std::nothrow) std::uint8_t[layout.storeBytes()]()) {}

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster,
                                         const PresetSystemTraits& presetTraits)
    : AudioEffectX(audioMaster, 1, presetTraits.layout.numParams), traits(presetTraits) {
  programsAreChunks(true);
  chunkBuffer.reset(new (std::nothrow) std::uint8_t[traits.layout.chunkBytes()]());
  curProgram = 0;
  currentProgram = 0;
  programs.reset(new (std::nothrow) ProgramStore(traits.layout));
  if (programs && !programs->data()) programs.reset();
  if (programs && traits.loadFactoryPresets) traits.loadFactoryPresets(*programs);
  applyingProgram = true;
  curProgram = 0;
  applyingProgram = false;
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

CPresetSystemEditor* CPresetSystemEffect::presetEditor() const {
  return dynamic_cast<CPresetSystemEditor*>(editor);
}

void CPresetSystemEffect::loadFactoryPresets() {
  if (programs && traits.loadFactoryPresets) traits.loadFactoryPresets(*programs);
}

bool CPresetSystemEffect::isGlobalIndex(VstInt32 index) const {
  return std::find(traits.globalIndices.begin(), traits.globalIndices.end(), index) !=
         traits.globalIndices.end();
}

void CPresetSystemEffect::holdGlobalsFrom(VstInt32 program) {
  if (!programs || program < 0 || program >= traits.layout.numPrograms) return;
  for (const VstInt32 index : traits.globalIndices) {
    if (index < 0 || index >= traits.layout.numParams) continue;
    const float value = programs->value(program, index);
    for (int k = 0; k < traits.layout.numPrograms; ++k) programs->setValue(k, index, value);
  }
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
  if (programs && index >= 0 && index < traits.layout.numParams)
    programs->setValue(currentProgram, index, value);
}

void CPresetSystemEffect::finishSetParameter(VstInt32 index, float value) {
  if (!applyingProgram) {
    CPresetSystemEffect::setParameter(index, value);
    if (programs && isGlobalIndex(index)) {
      for (int k = 0; k < traits.layout.numPrograms; ++k) programs->setValue(k, index, value);
    }
  }
  if (CPresetSystemEditor* ed = presetEditor()) ed->setParameter(index, value);
}

void CPresetSystemEffect::selectProgram(VstInt32 program) {
  if (!programs || program < 0 || program >= traits.layout.numPrograms) return;
  applyingProgram = true;
  curProgram = 0;
  currentProgram = program;
  for (VstInt32 i = 0; i < traits.layout.numParams; ++i) setParameter(i, programs->value(program, i));
  updateDisplay();
  applyingProgram = false;
}

void CPresetSystemEffect::setCurrentProgramName(const char* name) {
  curProgram = 0;
  if (name && programs) programs->setName(currentProgram, name);
  updateDisplay();
}

void CPresetSystemEffect::setProgramName(char* name) {
  char text[kNameBytes + 1] = {};
  if (name) {
    // A longer name is cut before the character that would not fit whole;
    // the host's text is read no further than one byte past the field.
    std::size_t length = 0;
    while (length <= kNameBytes && name[length] != 0) ++length;
    const std::string_view given(name, length);
    std::memcpy(text, given.data(), platform::utf8PrefixBytes(given, kNameBytes));
  }
  if (programs) programs->setName(currentProgram, text);
  if (CPresetSystemEditor* ed = presetEditor()) ed->updateProgramName(text);
}

void CPresetSystemEffect::getProgramName(char* name) {
  if (!programs) {
    *name = 0;
    return;
  }
  std::memcpy(name, programs->name(currentProgram), kNameBytes);
  name[kNameBytes] = 0;
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (!programs || index < 0 || index >= traits.layout.numPrograms) return false;
  std::memcpy(text, programs->name(index), kNameBytes);
  text[kNameBytes] = 0;
  return true;
}

VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!chunkBuffer || !programs) return 0;
  const records::Layout& layout = traits.layout;
  std::uint8_t* chunk = chunkBuffer.get();
  std::memset(chunk, 0, layout.chunkBytes());
  records::writeInt32(chunk + 0, records::kChunkVersion);
  records::writeInt32(chunk + 4, getPresetId());
  records::writeInt32(chunk + 8, layout.numPrograms);
  records::writeInt32(chunk + 12, currentProgram);
  std::memcpy(chunk + records::kChunkHeaderBytes, programs->data(), layout.storeBytes());
  *data = chunk;
  return static_cast<VstInt32>(layout.chunkBytes());
}

VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  const records::Layout& layout = traits.layout;
  if (!chunkBuffer || !programs || !data || byteSize < 0 ||
      static_cast<std::size_t>(byteSize) != layout.chunkBytes())
    return -1;
  std::uint8_t* chunk = chunkBuffer.get();
  // The host may hand back the pointer getChunk gave it.
  std::memmove(chunk, data, layout.chunkBytes());

  switch (records::recordOrder(records::readInt32(chunk + 4), getPresetId())) {
    case records::ByteOrder::Native: break;
    case records::ByteOrder::Foreign: {
      records::swapBytes32(chunk + 0);
      for (std::size_t offset = 8; offset < records::kChunkHeaderBytes; offset += 4)
        records::swapBytes32(chunk + offset);
      for (int k = 0; k < layout.numPrograms; ++k) {
        std::uint8_t* values = chunk + records::kChunkHeaderBytes + layout.entryBytes() * k + kNameBytes;
        for (int i = 0; i < layout.numParams; ++i) records::swapBytes32(values + 4 * i);
      }
      break;
    }
    case records::ByteOrder::Unknown: return -1;
  }
  if (records::readInt32(chunk + 0) != records::kChunkVersion) return 0;
  if (records::readInt32(chunk + 8) != layout.numPrograms) return -1;

  for (int k = 0; k < layout.numPrograms; ++k) {
    const std::uint8_t* entry = chunk + records::kChunkHeaderBytes + layout.entryBytes() * k;
    std::memcpy(programs->name(k), entry, kNameBytes);
    for (int i = 0; i < layout.numParams; ++i)
      programs->setValue(k, i, records::sanitizeValue(records::readFloat(entry + kNameBytes + 4 * i)));
  }
  // A current index out of range keeps the current program; either way the
  // program is applied again, so that what the effect plays is what its
  // programs hold and what the next chunk carries.
  const std::int32_t index = records::readInt32(chunk + 12);
  const VstInt32 current = (index >= 0 && index < layout.numPrograms) ? index : currentProgram;
  holdGlobalsFrom(current);
  selectProgram(current);
  return 0;
}

void CPresetSystemEffect::loadEditorDefaults() {
  if (CPresetSystemEditor* ed = presetEditor()) {
    ed->loadDefaults();
  } else {
    // Without an editor object the same defaults still reach the programs.
    presets::loadDefaultBank(*this, nullptr);
    presets::loadDefaultPreset(*this, nullptr);
  }
}
