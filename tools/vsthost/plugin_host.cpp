#include "tools/vsthost/plugin_host.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "platform/text.h"
#else
#include <dlfcn.h>
#endif

namespace vsthost {
namespace {

// The effect calls back while its constructor runs, before the host knows its
// record; the host being created answers those calls.
thread_local HostedPlugin* tCreating = nullptr;

constexpr std::size_t kTextBytes = 256;
constexpr std::size_t kGuardBytes = 64;
constexpr unsigned char kGuard = 0xA5;

// Every pin the plug-in declares gets a buffer: inputs beyond the signal's
// channels read silence, outputs beyond the first two go to scratch.
template <typename Sample>
void processWhole(HostedPlugin& plugin, const std::vector<std::vector<Sample>>& in,
                  std::vector<std::vector<Sample>>& out, int blockSize,
                  void (HostedPlugin::*process)(Sample**, Sample**, VstInt32)) {
  const std::size_t frames = in.empty() ? 0 : in[0].size();
  const AEffect* e = plugin.effect();
  const std::size_t pinsIn =
      std::max<std::size_t>(2, e ? static_cast<std::size_t>(std::max(0, e->numInputs)) : 0);
  const std::size_t pinsOut =
      std::max<std::size_t>(2, e ? static_cast<std::size_t>(std::max(0, e->numOutputs)) : 0);
  out.assign(2, std::vector<Sample>(frames, Sample(0)));
  std::vector<Sample> silence(static_cast<std::size_t>(blockSize), Sample(0));
  std::vector<std::vector<Sample>> scratch(pinsOut - 2,
                                           std::vector<Sample>(static_cast<std::size_t>(blockSize)));
  std::vector<Sample*> inputs(pinsIn), outputs(pinsOut);
  for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(blockSize)) {
    const auto n = static_cast<VstInt32>(std::min<std::size_t>(blockSize, frames - start));
    for (std::size_t c = 0; c < pinsIn; ++c) {
      // A one-channel signal feeds both of the first two pins.
      const std::size_t source = (c == 1 && in.size() == 1) ? 0 : c;
      inputs[c] = source < in.size() ? const_cast<Sample*>(in[source].data()) + start : silence.data();
    }
    for (std::size_t c = 0; c < pinsOut; ++c)
      outputs[c] = c < 2 ? out[c].data() + start : scratch[c - 2].data();
    (plugin.*process)(inputs.data(), outputs.data(), n);
  }
}

}  // namespace

PluginLibrary::~PluginLibrary() { closeLibrary(); }

bool PluginLibrary::open(const std::string& path) {
  closeLibrary();
#ifdef _WIN32
  const std::u16string wide = platform::utf8ToUtf16(path);
  handle_ = LoadLibraryW(std::wstring(wide.begin(), wide.end()).c_str());
  if (!handle_) error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
#else
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) error_ = dlerror();
#endif
  return handle_ != nullptr;
}

void PluginLibrary::closeLibrary() {
  if (!handle_) return;
#ifdef _WIN32
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
  handle_ = nullptr;
}

PluginEntry PluginLibrary::entry(const char* name) const {
  if (!handle_) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<PluginEntry>(
      reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
#else
  return reinterpret_cast<PluginEntry>(dlsym(handle_, name));
#endif
}

std::unique_ptr<HostedPlugin> HostedPlugin::create(PluginEntry entry, const HostConfig& config) {
  if (!entry) return nullptr;
  std::unique_ptr<HostedPlugin> host(new HostedPlugin(config));
  HostedPlugin* previous = tCreating;
  tCreating = host.get();
  AEffect* effect = entry(&HostedPlugin::callback);
  tCreating = previous;
  if (!effect) return nullptr;
  host->effect_ = effect;
  effect->user = host.get();
  return host;
}

HostedPlugin::~HostedPlugin() { close(); }

VstIntPtr HostedPlugin::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
  HostedPlugin* host = effect ? static_cast<HostedPlugin*>(effect->user) : nullptr;
  if (!host) host = tCreating;
  if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
  return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr HostedPlugin::answer(VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* /*ptr*/,
                               float opt) {
  switch (opcode) {
    case audioMasterVersion: return config_.version;
    case audioMasterPinConnected: ++pinQueries_; return config_.pinConnected;
    case audioMasterGetBlockSize: return config_.blockSize;
    case audioMasterGetOutputLatency: return config_.outputLatency;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterUpdateDisplay: {
      const HostEvent::Kind kind = opcode == audioMasterAutomate    ? HostEvent::Automate
                                   : opcode == audioMasterBeginEdit ? HostEvent::BeginEdit
                                   : opcode == audioMasterEndEdit   ? HostEvent::EndEdit
                                                                    : HostEvent::UpdateDisplay;
      std::lock_guard<std::mutex> lock(eventsMutex_);
      events_.push_back({kind, index, opt});
      return 1;
    }
    default: return 0;
  }
}

VstIntPtr HostedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (!effect_) return 0;
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostedPlugin::text(VstInt32 opcode, VstInt32 index, VstIntPtr value, VstIntPtr* answer) {
  unsigned char buffer[kTextBytes + kGuardBytes];
  std::memset(buffer, 0, kTextBytes);
  std::memset(buffer + kTextBytes, kGuard, kGuardBytes);
  const VstIntPtr result = dispatch(opcode, index, value, buffer);
  if (answer) *answer = result;
  for (std::size_t i = kTextBytes; i < sizeof buffer; ++i) {
    if (buffer[i] != kGuard) {
      ++guardViolations_;
      break;
    }
  }
  buffer[kTextBytes - 1] = 0;
  return std::string(reinterpret_cast<const char*>(buffer));
}

void HostedPlugin::setParameter(VstInt32 index, float value) {
  if (effect_) effect_->setParameter(effect_, index, value);
}

float HostedPlugin::getParameter(VstInt32 index) {
  return effect_ ? effect_->getParameter(effect_, index) : 0.0f;
}

std::vector<std::uint8_t> HostedPlugin::getChunk(bool preset) {
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

VstIntPtr HostedPlugin::setChunk(const std::vector<std::uint8_t>& bytes, bool preset) {
  std::vector<std::uint8_t> copy(bytes);  // the host's memory, as a host would pass it
  return dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                  copy.empty() ? nullptr : copy.data());
}

void HostedPlugin::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  if (effect_) effect_->processReplacing(effect_, inputs, outputs, frames);
}

void HostedPlugin::processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames) {
  if (effect_) effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
}

void HostedPlugin::processSignal(const std::vector<std::vector<float>>& in,
                                 std::vector<std::vector<float>>& out, int blockSize) {
  processWhole(*this, in, out, blockSize, &HostedPlugin::processReplacing);
}

void HostedPlugin::processSignal(const std::vector<std::vector<double>>& in,
                                 std::vector<std::vector<double>>& out, int blockSize) {
  processWhole(*this, in, out, blockSize, &HostedPlugin::processDoubleReplacing);
}

void HostedPlugin::close() {
  if (!effect_) return;
  AEffect* effect = effect_;
  effect_ = nullptr;
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

std::vector<HostEvent> HostedPlugin::events() const {
  std::lock_guard<std::mutex> lock(eventsMutex_);
  return events_;
}

void HostedPlugin::clearEvents() {
  std::lock_guard<std::mutex> lock(eventsMutex_);
  events_.clear();
}

}  // namespace vsthost
