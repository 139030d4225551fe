// Command-line test host: loads a plug-in, shows its record and parameters,
// moves its chunk in and out, processes a generated signal or a WAV file, and
// opens the plug-in's editor in a window of its own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tools/vsthost/editor_session.h"
#include "tools/vsthost/plugin_host.h"
#include "tools/vsthost/signals.h"
#include "tools/vsthost/wav.h"

namespace {

using vsthost::HostedPlugin;

int usage() {
  std::fprintf(stderr,
               "usage: vsthost PLUGIN [options] COMMAND [command options]\n"
               "options:\n"
               "  --entry NAME        exported entry to call (VSTPluginMain or main)\n"
               "  --rate HZ           sample rate (44100)\n"
               "  --block N           block size (512)\n"
               "  --double            process 64-bit samples\n"
               "  --chunk-in FILE     hand this chunk to the plug-in first\n"
               "  --set INDEX=VALUE   set a parameter (repeatable), after the chunk\n"
               "commands:\n"
               "  info                record, identity and latency\n"
               "  params              every parameter with name, label, display and value\n"
               "  get-chunk FILE      write the plug-in's chunk to FILE\n"
               "  process (--signal impulse|sine:HZ|noise:SEED|pink:SEED|bursts:SEED\n"
               "           [--seconds S] | --in IN.wav) --out OUT.wav\n"
               "          [--compensate]   feed initialDelay extra silent frames and drop as\n"
               "                           many from the start: the output lines up with the input\n"
               "          [--preroll S]    run S seconds of silence first and drop their output,\n"
               "                           as hosts do before an export\n"
               "          [--time [--passes N]]  time the process calls alone over N passes (5)\n"
               "                           of the signal and print the best in ns per stereo\n"
               "                           frame; --out is then optional\n"
               "  editor [--log FILE] [--do STEP]... [--script FILE [--follow]]\n"
               "         [--idle MS] [--timeout S] [--signal-hz F | --silent]\n"
               "                      opens the editor in a window, idles it every MS (20) while\n"
               "                      playing a sine with full-scale bursts (or silence), logs\n"
               "                      automate, begin and end edit, and runs the steps (wait MS,\n"
               "                      screenshot FILE (.png, or .ppm), pixels X Y W H, params\n"
               "                      [I...], set I V, program, echo TEXT, close); without close\n"
               "                      it stays open until its window is closed\n");
  return 2;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  return f &&
         f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void printInfo(HostedPlugin& p) {
  AEffect* e = p.effect();
  const VstInt32 id = e->uniqueID;
  std::printf("name: %s\nvendor: %s\nproduct: %s\n", p.text(effGetEffectName).c_str(),
              p.text(effGetVendorString).c_str(), p.text(effGetProductString).c_str());
  std::printf("uniqueID: %c%c%c%c (0x%08X)\n", (id >> 24) & 0xFF, (id >> 16) & 0xFF, (id >> 8) & 0xFF,
              id & 0xFF, static_cast<unsigned>(id));
  std::printf("version: %d\nvendorVersion: %ld\ncategory: %ld\n", e->version,
              static_cast<long>(p.dispatch(effGetVendorVersion)),
              static_cast<long>(p.dispatch(effGetPlugCategory)));
  std::printf("programs: %d\nparameters: %d\ninputs: %d\noutputs: %d\nflags: 0x%X\n", e->numPrograms,
              e->numParams, e->numInputs, e->numOutputs, static_cast<unsigned>(e->flags));
  std::printf("initialDelay: %d\nprogram: %s\n", e->initialDelay, p.programName().c_str());
  ERect* r = nullptr;
  if ((e->flags & effFlagsHasEditor) && p.dispatch(effEditGetRect, 0, 0, &r) && r)
    std::printf("editor: %dx%d\n", r->right - r->left, r->bottom - r->top);
}

void printParams(HostedPlugin& p) {
  for (VstInt32 i = 0; i < p.effect()->numParams; ++i) {
    std::printf("%3d  \"%s\"  \"%s\"  \"%s\"  %.9g\n", i, p.parameterName(i).c_str(),
                p.parameterLabel(i).c_str(), p.parameterDisplay(i).c_str(),
                static_cast<double>(p.getParameter(i)));
  }
}

bool makeSignal(const std::string& spec, double seconds, int rate, std::vector<double>& out) {
  const auto frames = static_cast<std::size_t>(seconds * rate);
  const std::size_t colon = spec.find(':');
  const std::string kind = spec.substr(0, colon);
  const std::string arg = colon == std::string::npos ? "" : spec.substr(colon + 1);
  if (kind == "impulse") {
    out = vsthost::impulse(frames, 0);
  } else if (kind == "sine") {
    out = vsthost::sine(frames, arg.empty() ? 1000.0 : std::atof(arg.c_str()), rate);
  } else if (kind == "noise") {
    out = vsthost::whiteNoise(frames, std::strtoull(arg.c_str(), nullptr, 10));
  } else if (kind == "pink") {
    out = vsthost::pinkNoise(frames, std::strtoull(arg.c_str(), nullptr, 10));
  } else if (kind == "bursts") {
    out = vsthost::noiseBursts(frames, std::strtoull(arg.c_str(), nullptr, 10),
                               static_cast<std::size_t>(rate / 20), static_cast<std::size_t>(rate / 5));
  } else {
    return false;
  }
  return true;
}

// Runs the signal through processReplacing block by block and times only the
// calls, not the copying around them. Every input and output the effect
// declares gets a buffer (channels past the signal's two stay silent), so
// plug-ins with a side-chain input are fed safely. Returns the best pass in
// nanoseconds per stereo frame; out receives the first pass.
double timeProcessing(HostedPlugin& p, const std::vector<std::vector<float>>& in, int block, int passes,
                      std::vector<std::vector<float>>& out) {
  AEffect* e = p.effect();
  const std::size_t frames = in.empty() ? 0 : in[0].size();
  const auto nIn = static_cast<std::size_t>(std::max(e->numInputs, 2));
  const auto nOut = static_cast<std::size_t>(std::max(e->numOutputs, 2));
  std::vector<std::vector<float>> ib(nIn, std::vector<float>(static_cast<std::size_t>(block)));
  std::vector<std::vector<float>> ob(nOut, std::vector<float>(static_cast<std::size_t>(block)));
  std::vector<float*> ip(nIn), op(nOut);
  for (std::size_t c = 0; c < nIn; ++c) ip[c] = ib[c].data();
  for (std::size_t c = 0; c < nOut; ++c) op[c] = ob[c].data();
  out.assign(2, std::vector<float>(frames, 0.0f));
  double best = -1.0;
  for (int pass = 0; pass < passes; ++pass) {
    std::chrono::steady_clock::duration spent{};
    for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(block)) {
      const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(block), frames - start);
      for (std::size_t c = 0; c < 2; ++c)
        std::copy_n(in[c].begin() + static_cast<std::ptrdiff_t>(start), n, ib[c].begin());
      const auto t0 = std::chrono::steady_clock::now();
      p.processReplacing(ip.data(), op.data(), static_cast<VstInt32>(n));
      spent += std::chrono::steady_clock::now() - t0;
      if (pass == 0) {
        for (std::size_t c = 0; c < 2; ++c)
          std::copy_n(ob[c].begin(), n, out[c].begin() + static_cast<std::ptrdiff_t>(start));
      }
    }
    const double ns = std::chrono::duration<double, std::nano>(spent).count() /
                      static_cast<double>(std::max<std::size_t>(frames, 1));
    if (best < 0.0 || ns < best) best = ns;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string pluginPath = argv[1];
  std::string entryName = "VSTPluginMain";
  int rate = 44100;
  int block = 512;
  bool useDouble = false;
  std::string chunkIn;
  std::vector<std::pair<int, float>> sets;
  int i = 2;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const std::string opt = argv[i];
    const bool hasValue = i + 1 < argc;
    if (opt == "--entry" && hasValue) {
      entryName = argv[++i];
    } else if (opt == "--rate" && hasValue) {
      rate = std::atoi(argv[++i]);
    } else if (opt == "--block" && hasValue) {
      block = std::atoi(argv[++i]);
    } else if (opt == "--double") {
      useDouble = true;
    } else if (opt == "--chunk-in" && hasValue) {
      chunkIn = argv[++i];
    } else if (opt == "--set" && hasValue) {
      const std::string s = argv[++i];
      const std::size_t eq = s.find('=');
      if (eq == std::string::npos) return usage();
      sets.emplace_back(std::atoi(s.substr(0, eq).c_str()),
                        static_cast<float>(std::atof(s.substr(eq + 1).c_str())));
    } else {
      return usage();
    }
  }
  if (i >= argc || rate <= 0 || block <= 0) return usage();
  const std::string command = argv[i++];

  vsthost::PluginLibrary library(pluginPath);
  if (!library.isOpen()) {
    std::fprintf(stderr, "vsthost: %s\n", library.error().c_str());
    return 1;
  }
  vsthost::HostConfig config;
  config.blockSize = block;
  auto plugin = HostedPlugin::create(library.entry(entryName.c_str()), config);
  if (!plugin) {
    std::fprintf(stderr, "vsthost: the entry %s gave no effect\n", entryName.c_str());
    return 1;
  }
  plugin->dispatch(effOpen);
  plugin->setSampleRate(static_cast<float>(rate));
  plugin->setBlockSize(block);
  if (!chunkIn.empty()) {
    std::vector<std::uint8_t> chunk;
    if (!readFile(chunkIn, chunk)) {
      std::fprintf(stderr, "vsthost: cannot read %s\n", chunkIn.c_str());
      return 1;
    }
    std::printf("setChunk: %ld\n", static_cast<long>(plugin->setChunk(chunk)));
  }
  for (const auto& [index, value] : sets) plugin->setParameter(index, value);

  int status = 0;
  if (command == "info") {
    printInfo(*plugin);
  } else if (command == "params") {
    printParams(*plugin);
  } else if (command == "get-chunk" && i < argc) {
    if (!writeFile(argv[i], plugin->getChunk())) status = 1;
  } else if (command == "process") {
    std::string signal, in, out;
    double seconds = 1.0;
    bool compensate = false, timed = false;
    double prerollSeconds = 0.0;
    int passes = 5;
    for (; i < argc; ++i) {
      const std::string opt = argv[i];
      const bool hasValue = i + 1 < argc;
      if (opt == "--compensate")
        compensate = true;
      else if (opt == "--preroll" && hasValue)
        prerollSeconds = std::atof(argv[++i]);
      else if (opt == "--time")
        timed = true;
      else if (opt == "--passes" && hasValue)
        passes = std::atoi(argv[++i]);
      else if (opt == "--signal" && hasValue)
        signal = argv[++i];
      else if (opt == "--seconds" && hasValue)
        seconds = std::atof(argv[++i]);
      else if (opt == "--in" && hasValue)
        in = argv[++i];
      else if (opt == "--out" && hasValue)
        out = argv[++i];
      else
        return usage();
    }
    if ((out.empty() && !timed) || passes < 1 || (timed && useDouble)) return usage();
    vsthost::WavData input;
    std::string error;
    if (!in.empty()) {
      if (!vsthost::readWav(in, input, error)) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return 1;
      }
      if (input.sampleRate != rate) {
        plugin->setSampleRate(static_cast<float>(input.sampleRate));
        rate = input.sampleRate;
      }
    } else {
      std::vector<double> s;
      if (!makeSignal(signal, seconds, rate, s)) return usage();
      input.sampleRate = rate;
      input.channels = {s, s};
    }
    if (input.channels.size() == 1) input.channels.push_back(input.channels[0]);
    plugin->resume();
    // The delay is read once the effect runs at the signal's rate.
    const std::size_t delay =
        compensate ? static_cast<std::size_t>(std::max(plugin->effect()->initialDelay, 0)) : 0;
    if (delay > 0) {
      for (auto& c : input.channels) c.resize(c.size() + delay, 0.0);
    }
    const auto preroll = static_cast<std::size_t>(std::max(prerollSeconds, 0.0) * rate);
    if (preroll > 0) {
      const std::vector<std::vector<double>> silence(2, std::vector<double>(preroll, 0.0));
      std::vector<std::vector<double>> dropped;
      if (useDouble) {
        plugin->processSignal(silence, dropped, block);
      } else {
        std::vector<std::vector<float>> droppedFloat;
        plugin->processSignal({vsthost::toFloat(silence[0]), vsthost::toFloat(silence[1])}, droppedFloat,
                              block);
      }
    }
    vsthost::WavData output;
    output.sampleRate = rate;
    if (useDouble) {
      plugin->processSignal(input.channels, output.channels, block);
    } else {
      std::vector<std::vector<float>> fin = {vsthost::toFloat(input.channels[0]),
                                             vsthost::toFloat(input.channels[1])};
      std::vector<std::vector<float>> fout;
      if (timed) {
        const double ns = timeProcessing(*plugin, fin, block, passes, fout);
        std::printf("process: %.3f ns per stereo frame (best of %d passes, %lu frames, block %d)\n", ns,
                    passes, static_cast<unsigned long>(fin[0].size()), block);
      } else {
        plugin->processSignal(fin, fout, block);
      }
      output.channels.clear();
      for (const auto& c : fout) output.channels.emplace_back(c.begin(), c.end());
    }
    plugin->suspend();
    if (delay > 0) {
      for (auto& c : output.channels) c.erase(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(delay));
    }
    if (!out.empty() && !vsthost::writeWav(out, output, error)) {
      std::fprintf(stderr, "vsthost: %s\n", error.c_str());
      status = 1;
    }
  } else if (command == "editor") {
    vsthost::EditorOptions editor;
    editor.sampleRate = rate;
    editor.blockSize = block;
    for (; i < argc; ++i) {
      const std::string opt = argv[i];
      const bool hasValue = i + 1 < argc;
      if (opt == "--log" && hasValue)
        editor.logPath = argv[++i];
      else if (opt == "--do" && hasValue)
        editor.steps.emplace_back(argv[++i]);
      else if (opt == "--script" && hasValue)
        editor.scriptPath = argv[++i];
      else if (opt == "--follow")
        editor.followScript = true;
      else if (opt == "--idle" && hasValue)
        editor.idleMs = std::max(1, std::atoi(argv[++i]));
      else if (opt == "--timeout" && hasValue)
        editor.timeoutSeconds = std::atof(argv[++i]);
      else if (opt == "--signal-hz" && hasValue)
        editor.signalFrequency = std::atof(argv[++i]);
      else if (opt == "--silent")
        editor.silent = true;
      else
        return usage();
    }
    status = vsthost::runEditor(*plugin, editor);
  } else {
    return usage();
  }
  if (!plugin->textGuardsIntact()) {
    std::fprintf(stderr, "vsthost: the plug-in wrote past a text buffer\n");
    status = 3;
  }
  plugin->close();
  return status;
}
