#include "presets/preset_effect.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

#include "platform/text.h"
#include "presets/preset_editor.h"
#include "presets/stored_presets.h"

using records::kNameBytes;

ProgramStore::ProgramStore(const records::Layout& layout)
    : layout_(layout), words_(new (std::nothrow) std::uint32_t[layout.storeBytes() / 4]()) {
  static_assert(records::kNameBytes % 4 == 0, "every value on a word of its own");
}

void ProgramStore::setNameField(int program, const char* field) {
  std::memcpy(nameField(program), field, kNameBytes);
}

// ---------------------------------------------------------------- ownership

bool StoreOwnership::tryTake() {
  const std::thread::id self = std::this_thread::get_id();
  if (owner_.load() == self) {
    ++depth_;
    return true;
  }
  std::thread::id free{};
  if (!owner_.compare_exchange_strong(free, self)) return false;
  depth_ = 1;
  return true;
}

void StoreOwnership::take() {
  while (!tryTake()) std::this_thread::yield();
}

void StoreOwnership::leave() {
  if (--depth_ == 0) owner_.store(std::thread::id{});
}

CPresetSystemEffect::StoreScope::StoreScope(CPresetSystemEffect& effect, Wait wait) : effect_(effect) {
  if (wait == Wait::No) {
    held_ = effect.ownership_.tryTake();
    return;
  }
  effect.ownership_.take();
  held_ = true;
}

CPresetSystemEffect::StoreScope::~StoreScope() {
  if (held_) effect_.releaseStore();
}

CPresetSystemEffect::ParameterTurn::ParameterTurn(CPresetSystemEffect& effect, VstInt32 index, float value)
    : effect_(effect) {
  runs_ = holds_ = effect.ownership_.tryTake();
  // An index no product knows changes nothing that could be lost.
  if (holds_ || index < 0 || index >= kPostedSlots) return;
  PostedValue& slot = effect.posted_[static_cast<std::size_t>(index)];
  slot.value.store(value);
  slot.posted.store(true);
  effect.anyPosted_.store(true);
  // The owner may have given the store up meanwhile: then this thread applies
  // what is left, its own value among it, when it gives the store up itself.
  holds_ = effect.ownership_.tryTake();
}

CPresetSystemEffect::ParameterTurn::~ParameterTurn() {
  if (holds_) effect_.releaseStore();
}

void CPresetSystemEffect::applyPostedValues() {
  while (anyPosted_.exchange(false)) {
    for (VstInt32 index = 0; index < kPostedSlots; ++index) {
      PostedValue& slot = posted_[static_cast<std::size_t>(index)];
      if (slot.posted.load() && slot.posted.exchange(false)) setParameter(index, slot.value.load());
    }
  }
}

// Nothing posted stays behind once every call has returned. All the atomics
// here are sequentially consistent, so their operations fall in one order. A
// poster stores its value, then anyPosted_, then tries to take the store. If
// it takes it, it applies the values itself below. If it fails, an owner O
// held the store at that try, so O's leave comes later in the order, and O's
// look at anyPosted_ after its leave later still: O sees the flag set (or a
// drain cleared it after the poster set it, and that drain's scan, which
// follows, finds the slot), and takes the store again to apply it. If that
// take fails, a newer owner holds the store, and the same holds for it.
void CPresetSystemEffect::releaseStore() {
  if (!ownership_.outermost()) {
    ownership_.leave();
    return;
  }
  for (;;) {
    // Outside any apply: the posted values are stored as ordinary changes.
    applyPostedValues();
    const bool displayDue = std::exchange(displayUpdateDue_, false);
    ownership_.leave();
    // The host hears of the new program only once the store is free: its
    // answer may wait for a thread of its own that waits for the store.
    if (displayDue) updateDisplay();
    if (!anyPosted_.load() || !ownership_.tryTake()) return;
  }
}

// ---------------------------------------------------------------- effect

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster,
                                         const PresetSystemTraits& presetTraits)
    : AudioEffectX(audioMaster, 1, presetTraits.layout.numParams), traits(presetTraits) {
  programsAreChunks(true);
  chunkBuffer.reset(new (std::nothrow) std::uint8_t[3 * traits.layout.chunkBytes()]());
  curProgram = 0;
  currentProgram = 0;
  programs.reset(new (std::nothrow) ProgramStore(traits.layout));
  if (programs && !programs->allocated()) programs.reset();
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
  const StoreScope scope(*this);
  if (programs && traits.loadFactoryPresets) traits.loadFactoryPresets(*programs);
  noteProgramChange();
}

bool CPresetSystemEffect::isGlobalIndex(VstInt32 index) const {
  return std::find(traits.globalIndices.begin(), traits.globalIndices.end(), index) !=
         traits.globalIndices.end();
}

void CPresetSystemEffect::holdGlobalsFrom(VstInt32 program) {
  if (!programs || program < 0 || program >= traits.layout.numPrograms) return;
  const StoreScope scope(*this);
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
  const StoreScope scope(*this);
  applyingProgram = true;
  curProgram = 0;
  currentProgram = program;
  noteProgramChange();
  for (VstInt32 i = 0; i < traits.layout.numParams; ++i) setParameter(i, programs->value(program, i));
  displayUpdateDue_ = true;
  applyingProgram = false;
}

void CPresetSystemEffect::setCurrentProgramName(const char* name) {
  const StoreScope scope(*this);
  curProgram = 0;
  if (name && programs) {
    programs->setName(currentProgram, name);
    noteProgramChange();
  }
  displayUpdateDue_ = true;
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
  if (programs) {
    const StoreScope scope(*this);
    programs->setName(currentProgram, text);
    noteProgramChange();
  }
  if (CPresetSystemEditor* ed = presetEditor()) ed->updateProgramName(text);
}

void CPresetSystemEffect::getProgramName(char* name) {
  if (!programs) {
    *name = 0;
    return;
  }
  const StoreScope scope(*this);
  std::memcpy(name, programs->name(currentProgram), kNameBytes);
  name[kNameBytes] = 0;
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (!programs || index < 0 || index >= traits.layout.numPrograms) return false;
  const StoreScope scope(*this);
  std::memcpy(text, programs->name(index), kNameBytes);
  text[kNameBytes] = 0;
  return true;
}

VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!chunkBuffer || !programs) return 0;
  const StoreScope scope(*this);
  const records::Layout& layout = traits.layout;
  // The two outgoing chunks in turn: a host reading the one it took is never
  // written under by the next getChunk, on whatever thread that comes.
  std::uint8_t* chunk = chunkBuffer.get() + layout.chunkBytes() * static_cast<std::size_t>(1 + nextChunkOut_);
  nextChunkOut_ = 1 - nextChunkOut_;
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
  const StoreScope scope(*this);
  std::uint8_t* chunk = chunkWorkingCopy();
  // The host may hand back a chunk getChunk gave it.
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
    programs->setNameField(k, reinterpret_cast<const char*>(entry));
    for (int i = 0; i < layout.numParams; ++i)
      programs->setValue(k, i, records::sanitizeValue(records::readFloat(entry + kNameBytes + 4 * i)));
  }
  noteProgramChange();
  // A current index out of range keeps the current program; either way the
  // program is applied again, so that what the effect plays is what its
  // programs hold and what the next chunk carries.
  const std::int32_t index = records::readInt32(chunk + 12);
  const VstInt32 current = (index >= 0 && index < layout.numPrograms) ? index : currentProgram.load();
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
