#include "dsp/track_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/channel_routing.h"
#include "dsp/chunk_loop.h"
#include "dsp/metering.h"
#include "dsp/saturation_curve.h"

namespace {

BiquadFilter vuFilter() { return BiquadFilter(44100.0, BiquadFilter::kLowPass, 3.0, 0.583, 0.0); }

}  // namespace

TrackEngine::TrackEngine() : vuFilters{vuFilter(), vuFilter()}, scratch_(makeScratch()) {
  wideKernels(true);
  curveScale = inverseSaturationCurve(1.0f);
  for (double& e : envelopes) e = 1e-4;
}

// ---- saturation curve ----

float TrackEngine::inverseSaturationCurve(float y) const {
  return ::inverseSaturationCurve(y, kneeAmount, kneeMode);
}

float TrackEngine::smallSignalGain() const {
  return ::smallSignalGain(curveScale, kneeAmount, kneeMode, driveGain, ceilingLevel);
}

// ---- coefficients ----

double TrackEngine::designRate(float rate) {
  const double d = rate;
  return (d > 200000.0 || d < 22000.0) ? 44100.0 : d;
}

void TrackEngine::updateFilterCoefficients() {
  fixedFilters.publish(
      [this] { return designFixedFilters(designRate(sampleRate()), lowFreqHz, highFreqHz); });
  owner_.request(kRequestVuRate);
}

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

// ---- clearing ----

void TrackEngine::requestClearDelayRings() {
  setOverFlag(overFlags[0], 0.0f);
  setOverFlag(overFlags[1], 0.0f);
  owner_.request(kRequestClearRings);
}

void TrackEngine::requestVuFrequency(double hz) {
  pendingVuFrequency_.store(hz);
  owner_.request(kRequestVuFrequency);
}

void TrackEngine::clearDelayRings() {
  for (int c = 0; c < 2; ++c) {
    setOverFlag(overFlags[c], 0.0f);
    overCounts[c] = 0.0f;
  }
  std::memset(signalRings, 0, sizeof signalRings);
  std::memset(peakRings, 0, sizeof peakRings);
  std::memset(dryRings, 0, sizeof dryRings);
  std::memset(outputRings, 0, sizeof outputRings);
  std::memset(workIn, 0, sizeof workIn);
  std::memset(workOut, 0, sizeof workOut);
}

void TrackEngine::resetDetectors() {
  for (double& e : envelopes) e = 0.0001;
  for (int c = 0; c < 2; ++c) {
    highPassState[c] = {};
    lowCrossoverState[c] = {};
    highCrossoverState[c] = {};
  }
}

void TrackEngine::resetVuFilters() {
  for (BiquadFilter& f : vuFilters) {
    f.reset();
    f.design();
  }
}

void TrackEngine::resetMeters() {
  const float level = meterSource == 1 ? 1.0f : 0.0f;
  for (int c = 0; c < 2; ++c) {
    overCounts[c] = 0.0f;
    publishMeterLevel(meterLevels[c], level);
  }
}

void TrackEngine::clearDelayRingsNow() { runOrRequest(kRequestClearRings); }
void TrackEngine::resetDetectorsNow() { runOrRequest(kRequestResetDetectors); }
void TrackEngine::resetVuFiltersNow() { runOrRequest(kRequestVuFilters); }
void TrackEngine::resetMetersNow() { runOrRequest(kRequestMeters); }
void TrackEngine::resetRingPositions() { runOrRequest(kRequestRingPositions); }

void TrackEngine::restartNow() {
  runOrRequest(kRequestVuRate | kRequestClearRings | kRequestResetDetectors | kRequestRingPositions);
}

void TrackEngine::applyPendingRequests() {
  if (!owner_.take()) return;  // the running chunk carries them out at its next start
  carryOut(owner_.takeRequests(), chunkRings(sampleRate()));
  owner_.release();
}

void TrackEngine::runOrRequest(unsigned requests) {
  owner_.runOrRequest(requests, [&](unsigned r) { carryOut(r, chunkRings(sampleRate())); });
}

void TrackEngine::carryOut(unsigned requests, const ChunkRings& rings) {
  if (requests == 0) return;
  if (requests & kRequestVuFrequency) {
    const double hz = pendingVuFrequency_.load();
    for (BiquadFilter& f : vuFilters) {
      f.setFrequency(hz);
      f.reset();
      f.design();
    }
  }
  if (requests & kRequestVuRate) {
    for (BiquadFilter& f : vuFilters) f.setSampleRate(designRate(rings.rate));
    resetVuFilters();
  }
  if (requests & kRequestVuFilters) resetVuFilters();
  if (requests & kRequestMeters) resetMeters();
  if (requests & kRequestClearRings) clearDelayRings();
  if (requests & kRequestResetDetectors) resetDetectors();
  if (requests & kRequestRingPositions) {
    ringWritePos = rings.mask;
    deriveReadPosition(rings);
  }
}

// ---- block loop ----

void TrackEngine::process(const float* inL, const float* inR, float* outL, float* outR, int frames,
                          bool stereoInput) {
  processBlock(inL, inR, outL, outR, frames, stereoInput);
}

void TrackEngine::process(const double* inL, const double* inR, double* outL, double* outR, int frames,
                          bool stereoInput) {
  processBlock(inL, inR, outL, outR, frames, stereoInput);
}

template <typename Sample>
void TrackEngine::processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                               bool stereoInput) {
  ChunkRings rings{};
  auto start = [&] {
    if (!owner_.take()) return false;
    // Requests come first: a ring clear empties the work buffers too, and
    // must not take this chunk's input with it. The rate is taken after
    // them, so it is at least as new as the operation that requested them.
    const unsigned requests = owner_.takeRequests();
    rings = chunkRings(sampleRate());
    carryOut(requests, rings);
    return true;
  };
  processInChunks(
      inL, inR, outL, outR, frames, kChunkFrames, workIn, workOut, start,
      [&](int n) { processChunk(n, rings, stereoInput); }, [&] { owner_.release(); });
  if (!owner_.take()) return;  // the counters are being reset
  latchOverFlags(overCounts, overFlags, overThreshold);
  owner_.release();
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
