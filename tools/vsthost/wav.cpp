#include "tools/vsthost/wav.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace vsthost {
namespace {

std::uint32_t le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

}  // namespace

bool readWav(const std::string& path, WavData& data, std::string& error) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    error = "cannot open " + path;
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0) {
    error = "not a WAV file";
    return false;
  }
  int format = 0, channels = 0, bits = 0;
  std::size_t pos = 12;
  const unsigned char* samples = nullptr;
  std::size_t sampleBytes = 0;
  while (pos + 8 <= bytes.size()) {
    const std::uint32_t size = le32(p + pos + 4);
    const std::size_t body = pos + 8;
    if (body + size > bytes.size()) break;
    if (std::memcmp(p + pos, "fmt ", 4) == 0 && size >= 16) {
      format = le16(p + body);
      channels = le16(p + body + 2);
      data.sampleRate = static_cast<int>(le32(p + body + 4));
      bits = le16(p + body + 14);
      if (format == 0xFFFE && size >= 26) format = le16(p + body + 24);
    } else if (std::memcmp(p + pos, "data", 4) == 0) {
      samples = p + body;
      sampleBytes = size;
    }
    pos = body + size + (size & 1);
  }
  const bool supported = (format == 1 && (bits == 16 || bits == 24 || bits == 32)) ||
                         (format == 3 && (bits == 32 || bits == 64));
  if (!samples || channels < 1 || !supported) {
    error = "unsupported WAV format";
    return false;
  }
  const std::size_t width = static_cast<std::size_t>(bits / 8);
  const std::size_t frames = sampleBytes / (width * static_cast<std::size_t>(channels));
  data.channels.assign(static_cast<std::size_t>(channels), std::vector<double>(frames));
  for (std::size_t i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      const unsigned char* s =
          samples + (i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)) * width;
      double v = 0.0;
      if (format == 3 && bits == 32) {
        float x;
        std::memcpy(&x, s, 4);
        v = x;
      } else if (format == 3) {
        std::memcpy(&v, s, 8);
      } else if (bits == 16) {
        v = static_cast<std::int16_t>(le16(s)) / 32768.0;
      } else if (bits == 24) {
        const std::int32_t x = static_cast<std::int32_t>((s[0] << 8) | (s[1] << 16) |
                                                         (static_cast<std::uint32_t>(s[2]) << 24)) >>
                               8;
        v = x / 8388608.0;
      } else {
        v = static_cast<std::int32_t>(le32(s)) / 2147483648.0;
      }
      data.channels[static_cast<std::size_t>(c)][i] = v;
    }
  }
  return true;
}

bool writeWav(const std::string& path, const WavData& data, std::string& error) {
  const auto channels = static_cast<std::uint16_t>(data.channels.size());
  const std::size_t frames = channels ? data.channels[0].size() : 0;
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * channels * 4);
  std::string s;
  s += "RIFF";
  put32(s, 36 + dataBytes);
  s += "WAVEfmt ";
  put32(s, 16);
  put16(s, 3);
  put16(s, channels);
  put32(s, static_cast<std::uint32_t>(data.sampleRate));
  put32(s, static_cast<std::uint32_t>(data.sampleRate) * channels * 4);
  put16(s, static_cast<std::uint16_t>(channels * 4));
  put16(s, 32);
  s += "data";
  put32(s, dataBytes);
  for (std::size_t i = 0; i < frames; ++i) {
    for (const auto& ch : data.channels) {
      const float x = static_cast<float>(ch[i]);
      char b[4];
      std::memcpy(b, &x, 4);
      s.append(b, 4);
    }
  }
  std::ofstream f(path, std::ios::binary);
  if (!f || !f.write(s.data(), static_cast<std::streamsize>(s.size()))) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace vsthost
