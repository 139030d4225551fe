// Test signals, identical on every platform: the noise comes from a generator of
// our own, not from a library distribution whose output may differ.
#pragma once

#include <cstdint>
#include <vector>

namespace vsthost {

// xorshift64*: fixed sequence for a given seed.
class NoiseGenerator {
 public:
  explicit NoiseGenerator(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  // Uniform in [-1, 1).
  double next();

 private:
  std::uint64_t state_;
};

std::vector<double> impulse(std::size_t frames, std::size_t position, double amplitude = 1.0);
std::vector<double> sine(std::size_t frames, double frequency, double sampleRate, double amplitude = 0.5);
std::vector<double> whiteNoise(std::size_t frames, std::uint64_t seed, double amplitude = 0.5);
// Pink (1/f) noise from filtered white noise, peak normalised to amplitude.
std::vector<double> pinkNoise(std::size_t frames, std::uint64_t seed, double amplitude = 0.5);
// Bursts of white noise separated by silence.
std::vector<double> noiseBursts(std::size_t frames, std::uint64_t seed, std::size_t burst, std::size_t gap,
                                double amplitude = 0.9);

// A sine of the given amplitude with a full-scale burst of burst frames at the
// start of every period frames: meters swing and over lamps light.
std::vector<double> sineWithBursts(std::size_t frames, double frequency, double sampleRate, double amplitude,
                                   std::size_t period, std::size_t burst);

std::vector<float> toFloat(const std::vector<double>& signal);

}  // namespace vsthost
