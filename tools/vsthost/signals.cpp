#include "tools/vsthost/signals.h"

#include <algorithm>
#include <cmath>

namespace vsthost {

double NoiseGenerator::next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  const std::uint64_t bits = (state_ * 0x2545F4914F6CDD1Dull) >> 11;  // 53 bits
  return static_cast<double>(bits) * (2.0 / 9007199254740992.0) - 1.0;
}

std::vector<double> impulse(std::size_t frames, std::size_t position, double amplitude) {
  std::vector<double> s(frames, 0.0);
  if (position < frames) s[position] = amplitude;
  return s;
}

std::vector<double> sine(std::size_t frames, double frequency, double sampleRate, double amplitude) {
  std::vector<double> s(frames);
  const double step = 6.283185307179586 * frequency / sampleRate;
  for (std::size_t i = 0; i < frames; ++i) s[i] = amplitude * std::sin(step * static_cast<double>(i));
  return s;
}

std::vector<double> sineWithBursts(std::size_t frames, double frequency, double sampleRate, double amplitude,
                                   std::size_t period, std::size_t burst) {
  std::vector<double> s = sine(frames, frequency, sampleRate, 1.0);
  for (std::size_t i = 0; i < frames; ++i) {
    if (period == 0 || i % period >= burst) s[i] *= amplitude;
  }
  return s;
}

std::vector<double> whiteNoise(std::size_t frames, std::uint64_t seed, double amplitude) {
  NoiseGenerator g(seed);
  std::vector<double> s(frames);
  for (auto& v : s) v = amplitude * g.next();
  return s;
}

std::vector<double> pinkNoise(std::size_t frames, std::uint64_t seed, double amplitude) {
  NoiseGenerator g(seed);
  std::vector<double> s(frames);
  double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
  double peak = 0.0;
  for (auto& v : s) {
    const double white = g.next();
    b0 = 0.99886 * b0 + white * 0.0555179;
    b1 = 0.99332 * b1 + white * 0.0750759;
    b2 = 0.96900 * b2 + white * 0.1538520;
    b3 = 0.86650 * b3 + white * 0.3104856;
    b4 = 0.55000 * b4 + white * 0.5329522;
    b5 = -0.7616 * b5 - white * 0.0168980;
    v = b0 + b1 + b2 + b3 + b4 + b5 + b6 + white * 0.5362;
    b6 = white * 0.115926;
    peak = std::max(peak, std::fabs(v));
  }
  if (peak > 0.0)
    for (auto& v : s) v *= amplitude / peak;
  return s;
}

std::vector<double> noiseBursts(std::size_t frames, std::uint64_t seed, std::size_t burst, std::size_t gap,
                                double amplitude) {
  NoiseGenerator g(seed);
  std::vector<double> s(frames, 0.0);
  const std::size_t period = burst + gap;
  for (std::size_t i = 0; i < frames; ++i) {
    const double n = g.next();
    if (period > 0 && i % period < burst) s[i] = amplitude * n;
  }
  return s;
}

std::vector<float> toFloat(const std::vector<double>& signal) {
  return std::vector<float>(signal.begin(), signal.end());
}

}  // namespace vsthost
