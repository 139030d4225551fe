#include "tools/vsthost/editor_session.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "tools/vsthost/host_window.h"
#include "tools/vsthost/signals.h"

namespace vsthost {
namespace {

using Clock = std::chrono::steady_clock;

// The bank the host would keep in its project, to a file and back.
bool saveChunk(HostedPlugin& plugin, const std::string& path) {
  void* data = nullptr;
  const VstIntPtr size = plugin.dispatch(effGetChunk, 0, 0, &data);
  FILE* f = size > 0 && data ? std::fopen(path.c_str(), "wb") : nullptr;
  if (!f) return false;
  const bool written =
      std::fwrite(data, 1, static_cast<std::size_t>(size), f) == static_cast<std::size_t>(size);
  return std::fclose(f) == 0 && written;
}

bool loadChunk(HostedPlugin& plugin, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<char> bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()) == 0;
}

class Log {
 public:
  explicit Log(const std::string& path) {
    if (!path.empty()) file_ = std::fopen(path.c_str(), "wb");  // the same lines on every platform
    if (!file_) file_ = stdout;
  }
  ~Log() {
    if (file_ != stdout) std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  // One line, written out at once: scripts read the log while we run.
  void line(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    std::vfprintf(file_, format, args);
    va_end(args);
    std::fputc('\n', file_);
    std::fflush(file_);
  }

 private:
  FILE* file_ = nullptr;
};

// The script's lines: the command-line steps, then a file, optionally
// followed as it grows (read from where the last read ended, so that lines
// appended by another program are seen on every platform).
class Script {
 public:
  explicit Script(const EditorOptions& o)
      : pending_(o.steps.begin(), o.steps.end()), path_(o.scriptPath), follow_(o.followScript) {
    failed_ = !path_.empty() && !readMore();
    if (!follow_) path_.clear();
  }
  bool failed() const { return failed_; }
  // The next complete line, if one is there yet.
  bool next(std::string& line) {
    if (!pending_.empty()) {
      line = pending_.front();
      pending_.erase(pending_.begin());
      return true;
    }
    if (!path_.empty() && text_.find('\n') == std::string::npos) readMore();
    const std::size_t end = text_.find('\n');
    if (end == std::string::npos) {
      // Without following, the last line may lack its end.
      if (!path_.empty() || text_.empty()) return false;
      line.swap(text_);
      text_.clear();
      return true;
    }
    line = text_.substr(0, end);
    text_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

 private:
  bool readMore() {
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return false;
    if (std::fseek(f, offset_, SEEK_SET) == 0) {
      char buffer[4096];
      for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        text_.append(buffer, n);
        offset_ += static_cast<long>(n);
      }
    }
    std::fclose(f);
    return true;
  }

  std::vector<std::string> pending_;
  std::string path_;
  bool follow_;
  bool failed_ = false;
  std::string text_;
  long offset_ = 0;
};

struct EditorSize {
  int width = 0;
  int height = 0;
};

EditorSize editorSize(HostedPlugin& plugin) {
  ERect* r = nullptr;
  plugin.dispatch(effEditGetRect, 0, 0, &r);
  if (!r) return {};
  return {r->right - r->left, r->bottom - r->top};
}

// FNV-1a over the pixels of the area that lie in the image.
std::uint64_t areaFingerprint(const Image& image, int x0, int y0, int w, int h) {
  std::uint64_t hash = 14695981039346656037ull;
  for (int y = std::max(y0, 0); y < std::min(y0 + h, image.height); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x0 + w, image.width); ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                              static_cast<std::size_t>(x)) *
                             4;
      for (int c = 0; c < 3; ++c)
        hash = (hash ^ image.rgba[at + static_cast<std::size_t>(c)]) * 1099511628211ull;
    }
  }
  return hash;
}

}  // namespace

int runEditor(HostedPlugin& plugin, const EditorOptions& options) {
  Log log(options.logPath);
  AEffect* effect = plugin.effect();
  if (!(effect->flags & effFlagsHasEditor)) {
    std::fprintf(stderr, "vsthost: the plug-in has no editor\n");
    return 1;
  }
  Script script(options);
  if (script.failed()) {
    std::fprintf(stderr, "vsthost: cannot read the script %s\n", options.scriptPath.c_str());
    return 1;
  }
  EditorSize size = editorSize(plugin);
  if (size.width <= 0 || size.height <= 0) size = {400, 300};
  std::string error;
  auto window =
      HostWindow::create("vsthost: " + plugin.text(effGetEffectName), size.width, size.height, error);
  if (!window) {
    std::fprintf(stderr, "vsthost: %s\n", error.c_str());
    return 1;
  }
  plugin.resume();
  if (plugin.dispatch(effEditOpen, 0, 0, window->parentHandle()) == 0) {
    std::fprintf(stderr, "vsthost: the editor did not open\n");
    plugin.suspend();
    return 1;
  }
  // Some editors know their size only once open.
  const EditorSize opened = editorSize(plugin);
  if (opened.width > 0 && opened.height > 0 && (opened.width != size.width || opened.height != size.height)) {
    size = opened;
    window->resize(size.width, size.height);
  }
  int originX = 0, originY = 0;
  window->processEvents();
  window->screenOrigin(originX, originY);
  log.line("window %s %dx%d at %d,%d", window->id().c_str(), size.width, size.height, originX, originY);

  // Two seconds of signal, played in a loop: a sine with a full-scale burst
  // of 100 ms every second.
  const auto rate = static_cast<std::size_t>(options.sampleRate);
  const std::vector<float> signal =
      options.silent ? std::vector<float>(rate * 2, 0.0f)
                     : toFloat(sineWithBursts(rate * 2, options.signalFrequency, options.sampleRate,
                                              options.signalAmplitude, rate, rate / 10));
  std::size_t position = 0;
  const auto block = static_cast<std::size_t>(std::max(options.blockSize, 1));
  std::vector<float> in(block), left(block), right(block), scratch(block);
  const auto pins = static_cast<std::size_t>(std::max({effect->numInputs, effect->numOutputs, 2}));
  std::vector<std::vector<float>> outs(pins, std::vector<float>(block));
  std::vector<float*> inputs(pins, in.data()), outputs(pins);
  for (std::size_t c = 0; c < pins; ++c) outputs[c] = outs[c].data();
  double owedFrames = 0;

  const Clock::time_point start = Clock::now();
  Clock::time_point lastTick = start;
  Clock::time_point waitUntil = start;
  bool closeRequested = false;
  bool windowClosed = false;
  int status = 0;
  while (!closeRequested) {
    // Audio for the time that passed.
    const Clock::time_point now = Clock::now();
    owedFrames += std::chrono::duration<double>(now - lastTick).count() * options.sampleRate;
    lastTick = now;
    while (owedFrames >= 1) {
      const std::size_t n = std::min<std::size_t>(block, static_cast<std::size_t>(owedFrames));
      for (std::size_t i = 0; i < n; ++i) in[i] = signal[(position + i) % signal.size()];
      position = (position + n) % signal.size();
      plugin.processReplacing(inputs.data(), outputs.data(), static_cast<VstInt32>(n));
      owedFrames -= static_cast<double>(n);
    }
    plugin.dispatch(effEditIdle);
    for (const HostEvent& e : plugin.events()) {
      switch (e.kind) {
        case HostEvent::Automate: log.line("automate %d %.6f", e.index, static_cast<double>(e.value)); break;
        case HostEvent::BeginEdit: log.line("begin %d", e.index); break;
        case HostEvent::EndEdit: log.line("end %d", e.index); break;
        case HostEvent::UpdateDisplay: log.line("update-display"); break;
      }
    }
    plugin.clearEvents();
    if (!window->processEvents()) {
      windowClosed = true;
      break;
    }
    if (options.timeoutSeconds > 0 &&
        std::chrono::duration<double>(Clock::now() - start).count() > options.timeoutSeconds) {
      log.line("timeout");
      status = 4;
      break;
    }
    // Steps, until one waits.
    std::string line;
    while (Clock::now() >= waitUntil && !closeRequested && script.next(line)) {
      std::istringstream words(line);
      std::string command;
      words >> command;
      if (command.empty() || command[0] == '#') continue;
      if (command == "wait") {
        int ms = 0;
        words >> ms;
        waitUntil = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
      } else if (command == "screenshot") {
        std::string path;
        std::getline(words >> std::ws, path);
        Image image;
        std::string why;
        if (window->capture(image, why) && writeImage(path, image)) {
          log.line("screenshot %s", path.c_str());
        } else {
          log.line("screenshot-failed %s %s", path.c_str(), why.c_str());
          status = 5;
        }
      } else if (command == "pixels") {
        // A fingerprint of one area of the window: two of them tell whether it changed.
        int x = 0, y = 0, w = 0, h = 0;
        words >> x >> y >> w >> h;
        Image image;
        std::string why;
        if (window->capture(image, why)) {
          log.line("pixels %d %d %d %d %016llx", x, y, w, h,
                   static_cast<unsigned long long>(areaFingerprint(image, x, y, w, h)));
        } else {
          log.line("pixels-failed %s", why.c_str());
          status = 5;
        }
      } else if (command == "params") {
        std::vector<int> indices;
        for (int i; words >> i;) indices.push_back(i);
        if (indices.empty())
          for (int i = 0; i < effect->numParams; ++i) indices.push_back(i);
        for (int i : indices) log.line("param %d %.6f", i, static_cast<double>(plugin.getParameter(i)));
      } else if (command == "set") {
        int index = -1;
        float value = 0;
        words >> index >> value;
        plugin.setParameter(index, value);
      } else if (command == "program") {
        log.line("program %s", plugin.programName().c_str());
      } else if (command == "rename") {
        std::string name;
        std::getline(words >> std::ws, name);
        plugin.dispatch(effSetProgramName, 0, 0, name.data());
        log.line("renamed %s", plugin.programName().c_str());
      } else if (command == "chunk") {
        std::string direction, path;
        words >> direction;
        std::getline(words >> std::ws, path);
        const bool done = direction == "save"   ? saveChunk(plugin, path)
                          : direction == "load" ? loadChunk(plugin, path)
                                                : false;
        if (done) {
          log.line("chunk %s %s", direction.c_str(), path.c_str());
        } else {
          log.line("chunk-failed %s %s", direction.c_str(), path.c_str());
          status = 6;
        }
      } else if (command == "echo") {
        std::string text;
        std::getline(words >> std::ws, text);
        log.line("echo %s", text.c_str());
      } else if (command == "close") {
        closeRequested = true;
      } else {
        log.line("unknown-step %s", line.c_str());
        status = 2;
      }
    }
    // Until the next idle, the window's events.
    const auto next = lastTick + std::chrono::milliseconds(options.idleMs);
    for (auto t = Clock::now(); t < next; t = Clock::now()) {
      window->waitEvents(
          static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - t).count()) + 1);
      if (!window->processEvents()) break;
    }
  }
  plugin.dispatch(effEditClose);
  plugin.suspend();
  log.line(windowClosed ? "closed by the user" : "closed");
  window.reset();
  return status;
}

}  // namespace vsthost
