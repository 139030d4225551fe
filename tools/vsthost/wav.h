// Minimal WAV files for the test host: reads 16-, 24- and 32-bit PCM and 32- and
// 64-bit float, writes 32-bit float.
#pragma once

#include <string>
#include <vector>

namespace vsthost {

struct WavData {
  int sampleRate = 44100;
  std::vector<std::vector<double>> channels;
};

bool readWav(const std::string& path, WavData& data, std::string& error);
bool writeWav(const std::string& path, const WavData& data, std::string& error);

}  // namespace vsthost
