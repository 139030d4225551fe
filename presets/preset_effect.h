// The layer between the VST base classes and every product effect: the
// internal programs behind the single program the host sees, the host chunk,
// the factory presets and the global-parameter rule.
#pragma once

#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>

#include "host/audioeffectx.h"
#include "presets/records.h"
#include "presets/strip_layout.h"

class CPresetSystemEditor;

// The programs of one effect instance, laid out exactly as the records carry
// them: P entries of a 24-byte name and N float values each. The values are
// read and written whole (atomically), so that a parameter's value can be read
// from any thread; everything else is read and written by the store's owner
// (CPresetSystemEffect::StoreScope).
class ProgramStore {
 public:
  explicit ProgramStore(const records::Layout& layout);

  const records::Layout& layout() const { return layout_; }
  const std::uint8_t* entry(int program) const { return data() + layout_.entryBytes() * program; }
  const char* name(int program) const { return reinterpret_cast<const char*>(entry(program)); }
  float value(int program, int index) const {
    return std::bit_cast<float>(valueWord(program, index).load(std::memory_order_relaxed));
  }
  void setValue(int program, int index, float v) {
    valueWord(program, index).store(std::bit_cast<std::uint32_t>(v), std::memory_order_relaxed);
  }
  void setName(int program, const char* text) { records::storeName(nameField(program), text); }
  // The 24 bytes of a name field as they stand (a chunk's entry).
  void setNameField(int program, const char* field);
  const std::uint8_t* data() const { return reinterpret_cast<const std::uint8_t*>(words_.get()); }
  bool allocated() const { return words_ != nullptr; }

 private:
  char* nameField(int program) {
    return reinterpret_cast<char*>(words_.get()) + layout_.entryBytes() * program;
  }
  std::atomic_ref<std::uint32_t> valueWord(int program, int index) const {
    return std::atomic_ref<std::uint32_t>(
        words_[(layout_.entryBytes() * program + records::kNameBytes) / 4 + static_cast<std::size_t>(index)]);
  }

  records::Layout layout_;
  // Whole words, each entry's 24-byte name (six words) and values among them.
  std::unique_ptr<std::uint32_t[]> words_;
};

// One owner at a time, taken without blocking: a compare-exchange, never a
// lock. The thread that owns it may take it again (a program applied through
// setParameter, a parameter that sets others).
class StoreOwnership {
 public:
  // False at once while another thread owns it.
  bool tryTake();
  // Yields until it is this thread's: only for threads that may wait.
  void take();
  // Whether the next leave gives it up.
  bool outermost() const { return depth_ == 1; }
  void leave();

 private:
  static_assert(std::atomic<std::thread::id>::is_always_lock_free);
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;  // the owner's own
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

// Thread contract: a host calls setParameter from any thread, its audio thread
// included, so setParameter never waits. Every other operation that reads or
// writes the programs (chunks, program names, the strip's selections, the
// record readers and writers) runs on a host or editor thread that may wait,
// and holds the program store for its whole length (StoreScope). A product's
// setParameter runs only on the thread that owns the store; any other thread
// leaves its value in a slot of that index (a later value replaces an earlier
// one) and returns, and the owner applies the values left when it gives the
// store up, as ordinary parameter changes.
// So no value set from any thread is lost, and what the effect plays is what
// its current program holds once every call has returned.
class CPresetSystemEffect : public AudioEffectX {
 public:
  CPresetSystemEffect(audioMasterCallback audioMaster, const PresetSystemTraits& traits);
  ~CPresetSystemEffect() override;

  void resume() override {}
  // Stores value into the current program (indices below N only): a step of
  // the product's setParameter, on the store's owner.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 /*index*/) override { return -1.0f; }
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}  // the host's program change is ignored
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  // The whole bank goes to the host whatever isPreset says. The chunk handed
  // out stays as it is until the second getChunk after it; setChunk never
  // writes it.
  VstInt32 getChunk(void** data, bool isPreset) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

  // Any thread.
  virtual VstInt32 getCurrentProgram() { return currentProgram.load(); }
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
  // True while the store's owner applies a program: on that thread only.
  bool isApplyingProgram() const { return applyingProgram; }
  CPresetSystemEditor* presetEditor() const;
  // Writes program's values of the global parameters into every program, so
  // that nothing loaded (chunk, bank, preset, default) leaves the programs
  // disagreeing on a parameter that must be the same in all of them.
  void holdGlobalsFrom(VstInt32 program);

  // Holds the program store for one operation of a thread that may wait (a
  // host's or an editor's, never the audio thread): it waits its turn, or with
  // Wait::No holds it only when it is free at once. The thread holding it may
  // hold it again.
  class StoreScope {
   public:
    enum class Wait { Yes, No };
    explicit StoreScope(CPresetSystemEffect& effect, Wait wait = Wait::Yes);
    ~StoreScope();
    StoreScope(const StoreScope&) = delete;
    StoreScope& operator=(const StoreScope&) = delete;
    bool held() const { return held_; }

   private:
    CPresetSystemEffect& effect_;
    bool held_;
  };

  // Counts the changes of the program names and of the current program (any
  // thread): the strip shows the programs afresh when it moved.
  std::uint32_t programChanges() const { return programChanges_.load(); }

 protected:
  // Opens every product's setParameter: the product handles the value only
  // when this converts to true. Otherwise another thread owned the store, the
  // value was left for it, and the product's setParameter returns at once.
  class ParameterTurn {
   public:
    ParameterTurn(CPresetSystemEffect& effect, VstInt32 index, float value);
    ~ParameterTurn();
    ParameterTurn(const ParameterTurn&) = delete;
    ParameterTurn& operator=(const ParameterTurn&) = delete;
    explicit operator bool() const { return runs_; }

   private:
    CPresetSystemEffect& effect_;
    bool holds_ = false;
    bool runs_ = false;
  };

  // The last steps of every product setParameter: store the value into the
  // current program (and into all of them for a global index) unless a program
  // is being applied, then let the editor follow.
  void finishSetParameter(VstInt32 index, float value);
  bool isGlobalIndex(VstInt32 index) const;

  const PresetSystemTraits& traits;
  std::unique_ptr<ProgramStore> programs;
  std::atomic<VstInt32> currentProgram{0};
  // The working copy of setChunk, then the two chunks getChunk hands out in turn.
  std::unique_ptr<std::uint8_t[]> chunkBuffer;
  bool applyingProgram = false;  // the store owner's

 private:
  // Every index a product knows, the host's and the editor's own, lies below this.
  static constexpr VstInt32 kPostedSlots = 128;
  struct PostedValue {
    std::atomic<float> value{0.0f};
    std::atomic<bool> posted{false};
  };

  void noteProgramChange() { programChanges_.fetch_add(1); }
  std::uint8_t* chunkWorkingCopy() { return chunkBuffer.get(); }
  void applyPostedValues();
  // Gives the store up: the outermost hold applies the values left meanwhile first.
  void releaseStore();

  StoreOwnership ownership_;
  std::array<PostedValue, kPostedSlots> posted_{};
  std::atomic<bool> anyPosted_{false};
  std::atomic<std::uint32_t> programChanges_{0};
  int nextChunkOut_ = 0;  // the store owner's
  // The host is told of a new program or name when the outermost hold ends.
  bool displayUpdateDue_ = false;  // the store owner's
};
