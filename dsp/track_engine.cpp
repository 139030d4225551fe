#include "dsp/track_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/channel_routing.h"

template class EngineCore<TrackEngine>;

TrackEngine::TrackEngine() : EngineCore(3.0) {
  // The meters start at rest for their first source, the gain reduction.
  resetMeters();
}

// ---- coefficients ----

void TrackEngine::updateFilterCoefficients() { publishFilterDesigns(); }

void TrackEngine::updateTimeConstants() {
  const double sp = speedValue;
  const double r = sampleRate();
  const int A = static_cast<int>(std::pow(16.0, sp) * 0.075 * 0.001 * r);
  lookaheadLength = A;
  attackCoeff = 1.0 - std::pow(0.05, 1.0 / A);
  const double F = std::pow(48.0, sp) * releaseFactor;
  singleBandReleaseCoeff = 1.0 - std::pow(0.05, 1.0 / (F * 0.65 * 0.001 * r));
}

void TrackEngine::deriveReadPosition(const ChunkRings& rings) {
  // The window always fits the ring at the rates the effect allows; the bound
  // keeps the delay at N whatever a parameter race leaves here.
  const int A = std::clamp(lookaheadLength, 0, rings.mask - 1);
  ringWritePos &= rings.mask;
  ringReadPos = (ringWritePos - A - 1) & rings.mask;
}

void TrackEngine::startRingPositions(const ChunkRings& rings) {
  ringWritePos = rings.mask;
  deriveReadPosition(rings);
}

// ---- clearing ----

void TrackEngine::clearDelayRings() {
  clearOverFlags();
  for (float& count : overCounts) count = 0.0f;
  std::memset(signalRings, 0, sizeof signalRings);
  std::memset(peakRings, 0, sizeof peakRings);
  std::memset(dryRings, 0, sizeof dryRings);
  std::memset(outputRings, 0, sizeof outputRings);
  clearWorkBuffers();
}

void TrackEngine::resetMeters() { resetMeterHandOff(meterSource == 1 ? 1.0f : 0.0f); }

// ---- block loop ----

void TrackEngine::process(const float* inL, const float* inR, float* outL, float* outR, int frames,
                          bool stereoInput) {
  processBlock(inL, inR, outL, outR, frames,
               [&](int n, const ChunkRings& rings) { processChunk(n, rings, stereoInput); });
}

void TrackEngine::process(const double* inL, const double* inR, double* outL, double* outR, int frames,
                          bool stereoInput) {
  processBlock(inL, inR, outL, outR, frames,
               [&](int n, const ChunkRings& rings) { processChunk(n, rings, stereoInput); });
}

void TrackEngine::processChunk(int frames, const ChunkRings& rings, bool stereoInput) {
  // One set of positions serves every kernel: a switch of kernel keeps the delay.
  deriveReadPosition(rings);
  if (processOn == 0) {
    processBypassed(frames, rings);
  } else if (stereoKernelsRun(monoStereoValue) && stereoInput) {
    if (linked != 0)
      processSingleBand<Channels::Linked>(frames, rings, stereoInput);
    else
      processSingleBand<Channels::Unlinked>(frames, rings, stereoInput);
  } else {
    processSingleBand<Channels::Mono>(frames, rings, stereoInput);
  }
}
