// Drives one effect through its effect record the way a
// host does: opcodes in the order a test chooses, and whole signals in blocks
// of chosen sizes with nothing else in between (unlike the rig, which resumes
// before every signal).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "tests/products/ostrelvanheim2_rig.h"

namespace robust {

using rig::Signal;
using rig::Stereo;

inline void suspend(AEffect* e) { e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f); }
inline void resume(AEffect* e) { e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f); }
inline void setSampleRate(AEffect* e, float rate) { e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rate); }
inline void setBlockSize(AEffect* e, VstInt32 size) {
  e->dispatcher(e, effSetBlockSize, 0, size, nullptr, 0.0f);
}

inline std::vector<std::uint8_t> getChunk(AEffect* e) {
  void* data = nullptr;
  const auto size = e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return size > 0 && bytes ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
}

inline VstIntPtr setChunk(AEffect* e, std::vector<std::uint8_t> bytes) {
  return e->dispatcher(e, effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data(), 0.0f);
}

// Processes a whole signal in blocks whose sizes repeat the given sequence
// (zero-sized blocks included); in place, the output overwrites the input buffers.
template <typename Sample>
Stereo process(AEffect* e, const Stereo& in, const std::vector<int>& blocks, bool inPlace = false) {
  const std::size_t frames = in.left.size();
  std::vector<Sample> l(in.left.begin(), in.left.end()), r(in.right.begin(), in.right.end());
  std::vector<Sample> ol(frames), orr(frames);
  std::size_t start = 0;
  for (std::size_t b = 0; start < frames; ++b) {
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(blocks[b % blocks.size()]), frames - start);
    Sample* ins[2] = {l.data() + start, r.data() + start};
    Sample* separate[2] = {ol.data() + start, orr.data() + start};
    Sample** outs = inPlace ? ins : separate;
    if constexpr (sizeof(Sample) == sizeof(double))
      e->processDoubleReplacing(e, ins, outs, static_cast<VstInt32>(n));
    else
      e->processReplacing(e, ins, outs, static_cast<VstInt32>(n));
    start += n;
  }
  const std::vector<Sample>& left = inPlace ? l : ol;
  const std::vector<Sample>& right = inPlace ? r : orr;
  return {Signal(left.begin(), left.end()), Signal(right.begin(), right.end())};
}

// Where an impulse at `at` peaks on both channels; -1 when the channels disagree.
inline long impulsePeak(AEffect* e, std::size_t at, std::size_t frames, int block = 100) {
  const Stereo out =
      process<float>(e, {rig::impulse(frames, at, 0.5), rig::impulse(frames, at, 0.5)}, {block});
  const std::size_t left = rig::peakIndex(out.left), right = rig::peakIndex(out.right);
  return left == right ? static_cast<long>(left) : -1;
}

constexpr int kGuard = 16;

// A host buffer with a fenced margin on each side.
template <typename Sample>
class FencedBuffer {
 public:
  static constexpr Sample kFence = static_cast<Sample>(-12345.6789);
  FencedBuffer() : bytes_(kGuard + 4096 + kGuard, kFence) {}
  Sample* data() { return bytes_.data() + kGuard; }
  bool fencesIntact(int frames) const {
    for (int i = 0; i < kGuard; ++i) {
      if (std::memcmp(&bytes_[static_cast<std::size_t>(i)], &kFence, sizeof(Sample)) != 0) return false;
      const std::size_t after = static_cast<std::size_t>(kGuard + frames + i);
      if (std::memcmp(&bytes_[after], &kFence, sizeof(Sample)) != 0) return false;
    }
    return true;
  }
  void refence(int frames) {
    for (int i = 0; i < kGuard; ++i) bytes_[static_cast<std::size_t>(kGuard + frames + i)] = kFence;
  }

 private:
  std::vector<Sample> bytes_;
};

template <typename Sample>
struct HostBlock {
  FencedBuffer<Sample> in[2], out[2];

  // Fills the inputs with noise, now and then a non-finite sample, and runs one block.
  ::testing::AssertionResult run(AEffect* e, std::mt19937& rng, int frames) {
    std::uniform_real_distribution<double> noise(-0.9, 0.9);
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < frames; ++i) in[c].data()[i] = static_cast<Sample>(noise(rng));
      if (frames > 0 && rng() % 16 == 0)
        in[c].data()[rng() % static_cast<unsigned>(frames)] = std::numeric_limits<Sample>::quiet_NaN();
      if (frames > 0 && rng() % 16 == 0)
        in[c].data()[rng() % static_cast<unsigned>(frames)] = -std::numeric_limits<Sample>::infinity();
      in[c].refence(frames);
      out[c].refence(frames);
    }
    const std::vector<Sample> copy[2] = {std::vector<Sample>(in[0].data(), in[0].data() + frames),
                                         std::vector<Sample>(in[1].data(), in[1].data() + frames)};
    Sample* ins[2] = {in[0].data(), in[1].data()};
    Sample* outs[2] = {out[0].data(), out[1].data()};
    if constexpr (sizeof(Sample) == sizeof(double))
      e->processDoubleReplacing(e, ins, outs, frames);
    else
      e->processReplacing(e, ins, outs, frames);
    for (int c = 0; c < 2; ++c) {
      if (!in[c].fencesIntact(frames) || !out[c].fencesIntact(frames))
        return ::testing::AssertionFailure() << "a write outside the host's buffers, channel " << c;
      if (frames > 0 &&
          std::memcmp(copy[c].data(), in[c].data(), sizeof(Sample) * static_cast<std::size_t>(frames)) != 0)
        return ::testing::AssertionFailure() << "the input buffer was written, channel " << c;
      for (int i = 0; i < frames; ++i)
        if (!std::isfinite(out[c].data()[i]))
          return ::testing::AssertionFailure() << "non-finite output at " << i << " of " << frames;
    }
    return ::testing::AssertionSuccess();
  }
};

}  // namespace robust
