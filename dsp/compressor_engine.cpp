#include "dsp/compressor_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/channel_routing.h"

namespace {

BiquadFilter lowPass(double frequency, double q) {
  return BiquadFilter(44100.0, BiquadFilter::kLowPass, frequency, q, 0.0);
}

// Truncation toward zero into a 32-bit window length.
int truncLength(double x) { return static_cast<int>(x); }

// n samples of a ring, from slot `from` on, and n samples into it; the ring
// wraps with its mask.
void copyFromRing(const double* ring, int mask, int from, double* out, int n) {
  const int first = std::min(n, mask + 1 - from);
  std::memcpy(out, ring + from, sizeof(double) * static_cast<std::size_t>(first));
  std::memcpy(out + first, ring, sizeof(double) * static_cast<std::size_t>(n - first));
}

void copyIntoRing(double* ring, int mask, int to, const double* in, int n) {
  const int first = std::min(n, mask + 1 - to);
  std::memcpy(ring + to, in, sizeof(double) * static_cast<std::size_t>(first));
  std::memcpy(ring, in + first, sizeof(double) * static_cast<std::size_t>(n - first));
}

// The FAT path's delay of Nlat - 3 samples at the doubled rate, in place:
// each sample goes into the ring at the position, which then moves on, and
// the sample three slots ahead of it comes out. A stretch shorter than the
// delay reads only what was there before it, so it goes in and out whole.
void delayThroughRing(double* ring, int mask, int pos, double* buffer, int n) {
  const int stretch = mask + 1 - 3;
  while (n > 0) {
    const int m = std::min(n, stretch);
    double out[CompressorEngine::kWorkFrames];
    copyFromRing(ring, mask, (pos + 3) & mask, out, std::min(m, CompressorEngine::kWorkFrames));
    copyIntoRing(ring, mask, pos, buffer, m);
    std::memcpy(buffer, out, sizeof(double) * static_cast<std::size_t>(m));
    pos = (pos + m) & mask;
    buffer += m;
    n -= m;
  }
}

// Where each region of the delay-ring store starts: the look-ahead regions
// first, then the latency regions.
std::array<int, CompressorEngine::kRegionCount> regionStartsOf(const RingSizeTable& rings) {
  std::array<int, CompressorEngine::kRegionCount> starts{};
  for (int r = 0; r < CompressorEngine::kRegionCount; ++r)
    starts[r] = r < CompressorEngine::kDryA ? r * rings.lookaheadRegion()
                                            : CompressorEngine::kDryA * rings.lookaheadRegion() +
                                                  (r - CompressorEngine::kDryA) * rings.latencyRegion();
  return starts;
}

}  // namespace

template class EngineCore<CompressorEngine>;

CompressorEngine::CompressorEngine(const EngineTraits& traits)
    : EngineCore(2.0),
      autoFastFilters{{lowPass(50, 0.5), lowPass(200, 0.5), lowPass(1000, 0.5), lowPass(200, 0.5)},
                      {lowPass(50, 0.5), lowPass(200, 0.5), lowPass(1000, 0.5), lowPass(200, 0.5)}},
      autoSlowFilters{{lowPass(5, 0.5), lowPass(20, 0.5), lowPass(100, 0.5), lowPass(20, 0.5)},
                      {lowPass(5, 0.5), lowPass(20, 0.5), lowPass(100, 0.5), lowPass(20, 0.5)}},
      oversamplers{HalfbandOversampler(kOversamplerFlags), HalfbandOversampler(kOversamplerFlags)},
      traits_(traits),
      regionStarts_(regionStartsOf(traits.rings)) {
  delayRings = std::make_unique<double[]>(static_cast<std::size_t>(delayRingSlots()));
}

// ---- coefficients ----

void CompressorEngine::setSampleRate(float rate) {
  EngineCore::setSampleRate(rate);
  if (rate > 100000.0f) fatOn = 0;
}

void CompressorEngine::setSampleRate(float rate, int fatSwitch) {
  setSampleRate(rate);
  if (traits_.oversampledPath && rate <= 100000.0f) fatOn = fatSwitch;
}

CompressorEngine::ChunkRings CompressorEngine::chunkRings(float rate) const {
  ChunkRings r;
  r.rate = rate;
  r.lookahead = traits_.rings.lookahead[band(rate)];
  r.latency = traits_.rings.latency[band(rate)];
  r.lookaheadMask = r.lookahead - 1;
  r.latencyMask = r.latency - 1;
  r.fat = traits_.oversampledPath && fatOn != 0 && rate <= 100000.0f;
  return r;
}

int CompressorEngine::delaySamplesAt(float rate) const {
  const int latency = latencyRingSizeAt(rate);
  // The oversampler's latency plus its two stand-in delays' difference from
  // it (129 + 129 at the doubled rate against 64 + 64) add up to 128.
  return traits_.oversampledPath ? oversamplers[0].getLatency() + latency + 1 : latency - 1;
}

void CompressorEngine::updateFilterCoefficients() {
  if (sampleRate() > 100000.0f) fatOn = 0;
  publishFilterDesigns();
}

void CompressorEngine::updateFilterRecords(double d) {
  for (int c = 0; c < 2; ++c) {
    for (int b = 0; b < 4; ++b) {
      autoFastFilters[c][b].setSampleRate(d);
      autoSlowFilters[c][b].setSampleRate(d);
    }
  }
  EngineCore::updateFilterRecords(d);
}

void CompressorEngine::updateTimeConstants() {
  const double sp = speedValue;
  const int L = longOn;
  longReleaseScale = 0.5 * std::pow(std::pow(16.0, static_cast<double>(releaseValue)) * (15 * L + 1), 0.25);
  const float rate = sampleRate();
  if (rate > 100000.0f) fatOn = 0;
  const double d = (fatOn + 1) * static_cast<double>(rate);

  const int A = truncLength(std::pow(16.0, sp) * 0.075 * 0.001 * d);
  lookaheadLength = A;
  attackCoeff = 1.0 - std::pow(0.05, 1.0 / A);
  const int B = truncLength((std::pow(14.0, sp) * 0.075 + 0.15) * 0.001 * d);
  brickwallLookahead = B;
  brickwallAttackCoeff = 1.0 - std::pow(0.05, 1.0 / B);

  const double F = std::pow(48.0, sp) * releaseFactor * ((15 * L + 1) * L + 1);
  singleBandReleaseCoeff = 1.0 - std::pow(0.05, 1.0 / (F * 0.65 * 0.001 * d));
  for (int i = 0; i < 3; ++i)
    bandReleaseCoeffs[i] = 1.0 - std::pow(0.05, 1.0 / (F * bandReleaseFactors[i] * 0.65 * 0.001 * d));

  const double E = (releaseFactor * L * 0.7139 * sp + 1.0) * sp * (L + 1);
  const double O = std::pow(24.0, E);
  brickwallReleaseCoeff = 1.0 - std::pow(0.05, 1.0 / ((O * 0.65 + 1.35) * 0.001 * d));
}

void CompressorEngine::deriveReadPositions(const ChunkRings& rings) {
  const int nla = rings.lookahead;
  const int nlat = rings.latency;
  // The windows always fit their rings at the rates the effect allows; the
  // bound keeps a ring from being overrun whatever a parameter race leaves here.
  const int A = std::clamp(lookaheadLength, 0, nla - 2);
  const int B = std::clamp(brickwallLookahead, 0, nla - 2);
  const int w = lookaheadWritePos & rings.lookaheadMask;
  lookaheadWritePos = w;
  brickwallPeakReadPos = (w - B + nla - 1) & rings.lookaheadMask;
  bandPeakReadPos = (w - A + nla - 1) & rings.lookaheadMask;
  const int o = latencyWritePos & rings.latencyMask;
  latencyWritePos = o;
  latencyReadPos =
      modeValue >= 0.5 ? (o + A + B + nlat + 3) & rings.latencyMask : (o + A + nlat + 2) & rings.latencyMask;
}

void CompressorEngine::startRingPositions(const ChunkRings& rings) {
  lookaheadWritePos = rings.lookahead - 1;
  latencyWritePos = rings.latency - 1;
  fatRingPos = rings.latency - 1;
  deriveReadPositions(rings);
}

// ---- clearing ----

void CompressorEngine::clearDelayRings() {
  clearOverFlags();
  std::fill_n(delayRings.get(), delayRingSlots(), 0.0);
  std::memset(fatRings, 0, sizeof fatRings);
  clearWorkBuffers();
}

void CompressorEngine::resetDetectors() {
  EngineCore::resetDetectors();
  for (int c = 0; c < 2; ++c) {
    for (int b = 0; b < 4; ++b) {
      autoFastFilters[c][b].design();
      autoFastFilters[c][b].reset();
      autoSlowFilters[c][b].design();
      autoSlowFilters[c][b].reset();
    }
  }
}

void CompressorEngine::carryOutOwn(unsigned requests) {
  if (requests & kRequestResetOversamplers) resetOversamplers();
}

void CompressorEngine::resetOversamplers() {
  oversamplers[0].reset();
  oversamplers[1].reset();
}

void CompressorEngine::resetMeters() {
  resetMeterHandOff(0.0f);
  for (float& s : bypassMeterSmoothers) s = 0;
}

// ---- block loop ----

void CompressorEngine::process(const float* inL, const float* inR, float* outL, float* outR, int frames) {
  processBlock(inL, inR, outL, outR, frames,
               [this](int n, const ChunkRings& rings) { processChunk(n, rings); });
}

void CompressorEngine::process(const double* inL, const double* inR, double* outL, double* outR, int frames) {
  processBlock(inL, inR, outL, outR, frames,
               [this](int n, const ChunkRings& rings) { processChunk(n, rings); });
}

void CompressorEngine::processChunk(int frames, const ChunkRings& rings) {
  // One reading of the FAT switch and one set of ring sizes serve the whole
  // chunk; every position is masked with this chunk's masks before use.
  const bool fat = rings.fat;
  deriveReadPositions(rings);
  const int mask = rings.latencyMask;
  fatRingPos &= mask;
  int n = frames;
  if (fat) {
    oversamplers[0].upsample(workIn[0], n);
    oversamplers[1].upsample(workIn[1], n);
    n *= 2;
    delayThroughRing(fatRings[0], mask, fatRingPos, workIn[0], n);
    delayThroughRing(fatRings[1], mask, fatRingPos, workIn[1], n);
    fatRingPos = (fatRingPos + n) & mask;
  } else if (traits_.oversampledPath) {
    oversamplers[0].delayInsteadOfUpsample(workIn[0], n);
    oversamplers[1].delayInsteadOfUpsample(workIn[1], n);
  }

  if (processOn == 0) {
    processBypassed(n, rings);
  } else if (stereoKernelsRun(monoStereoValue)) {
    if (linked != 0) {
      if (multiBand != 0)
        processMultiBand<Detection::Linked>(n, rings);
      else
        processSingleBand<Detection::Linked>(n, rings);
    } else {
      if (multiBand != 0)
        processMultiBand<Detection::Unlinked>(n, rings);
      else
        processSingleBand<Detection::Unlinked>(n, rings);
    }
  } else if (multiBand != 0) {
    processMultiBand<Detection::OneChannel>(n, rings);
  } else {
    processSingleBand<Detection::OneChannel>(n, rings);
  }

  if (fat) {
    oversamplers[0].downsample(workOut[0], n);
    oversamplers[1].downsample(workOut[1], n);
    n /= 2;
    if (brickwallOn != 0) {
      const double limit = outputGain;
      for (int c = 0; c < 2; ++c)
        for (int i = 0; i < n; ++i) workOut[c][i] = std::clamp(workOut[c][i], -limit, limit);
    }
  } else if (traits_.oversampledPath) {
    oversamplers[0].delayInsteadOfDownsample(workOut[0], n);
    oversamplers[1].delayInsteadOfDownsample(workOut[1], n);
  }
}
