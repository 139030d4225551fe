// A small VST 2.4 host of our own: loads a plug-in library by path through its
// exported entry, answers the host callback and drives the effect record. The
// command-line test host and the tests use it alike.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/vst_abi.h"

namespace vsthost {

using PluginEntry = AEffect* (*)(audioMasterCallback);

class PluginLibrary {
 public:
  PluginLibrary() = default;
  explicit PluginLibrary(const std::string& path) { open(path); }
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool open(const std::string& path);
  void closeLibrary();
  bool isOpen() const { return handle_ != nullptr; }
  // The exported entry of that name, or null.
  PluginEntry entry(const char* name) const;
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

struct HostConfig {
  VstIntPtr version = kVstVersion;  // answer to audioMasterVersion
  VstIntPtr pinConnected = 0;       // answer to audioMasterPinConnected (0: connected)
  VstIntPtr blockSize = 512;
  VstIntPtr outputLatency = 0;
};

struct HostEvent {
  enum Kind { Automate, BeginEdit, EndEdit, UpdateDisplay } kind;
  VstInt32 index;
  float value;
};

class HostedPlugin {
 public:
  // Runs the entry with this host's callback; null when the entry gives no effect.
  static std::unique_ptr<HostedPlugin> create(PluginEntry entry, const HostConfig& config = {});
  ~HostedPlugin();
  HostedPlugin(const HostedPlugin&) = delete;
  HostedPlugin& operator=(const HostedPlugin&) = delete;

  AEffect* effect() const { return effect_; }
  HostConfig& config() { return config_; }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  // Texts are read into 256-byte buffers followed by a guard; a plug-in that
  // writes past the buffer is recorded and textGuardsIntact turns false.
  std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, VstIntPtr* answer = nullptr);
  std::string parameterName(VstInt32 index) { return text(effGetParamName, index); }
  std::string parameterLabel(VstInt32 index) { return text(effGetParamLabel, index); }
  std::string parameterDisplay(VstInt32 index) { return text(effGetParamDisplay, index); }
  std::string programName() { return text(effGetProgramName); }
  bool textGuardsIntact() const { return guardViolations_ == 0; }
  int guardViolations() const { return guardViolations_; }

  void setParameter(VstInt32 index, float value);
  float getParameter(VstInt32 index);

  std::vector<std::uint8_t> getChunk(bool preset = false);
  VstIntPtr setChunk(const std::vector<std::uint8_t>& bytes, bool preset = false);

  void suspend() { dispatch(effMainsChanged, 0, 0); }
  void resume() { dispatch(effMainsChanged, 0, 1); }
  void setSampleRate(float rate) { dispatch(effSetSampleRate, 0, 0, nullptr, rate); }
  void setBlockSize(VstInt32 size) { dispatch(effSetBlockSize, 0, size); }

  void processReplacing(float** inputs, float** outputs, VstInt32 frames);
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames);

  // Processes whole signals (channel-major) in blocks of blockSize frames.
  void processSignal(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                     int blockSize);
  void processSignal(const std::vector<std::vector<double>>& in, std::vector<std::vector<double>>& out,
                     int blockSize);

  // Closes the effect (effClose); the effect record is gone afterwards.
  void close();

  std::vector<HostEvent> events() const;
  void clearEvents();
  int pinQueries() const { return pinQueries_.load(); }

 private:
  explicit HostedPlugin(const HostConfig& config) : config_(config) {}
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  HostConfig config_;
  AEffect* effect_ = nullptr;
  int guardViolations_ = 0;
  std::atomic<int> pinQueries_{0};
  mutable std::mutex eventsMutex_;
  std::vector<HostEvent> events_;
};

}  // namespace vsthost
