// What every product's processing engine is built on: the quantities the
// parameter model writes that every engine's kernels read, the saturation
// curve's inverse and small-signal gain on them, the meter hand-off to the
// editor, the block loop around the engine's chunks, and the one owner of the
// processing state with the requests that others leave it. Each engine
// derives from EngineCore<itself> and adds its own kernels, rings and
// positions, and the request steps only it has; the core reaches them by
// name at compile time, never through a virtual call, and the kernels reach
// the core's fields as their engine's own.
//
// Thread contract: process() runs on the host's audio thread. The parameter
// model may change the derived quantities from any thread at any time; each
// chunk takes a snapshot of what it reads. The processing state (rings and
// their positions, detectors, filter records, work buffers, meter state) has
// one owner at a time (dsp/state_owner.h): the audio thread for each chunk,
// or the thread of a suspend, resume or rate change (the *Now functions) for
// one operation. Neither waits for the other: a *Now function that meets a
// running chunk leaves its work as a request, which the audio thread carries
// out at the start of its next chunk, and a chunk that meets such an
// operation gives silence. Parameter changes only ever request. Each chunk
// takes the sample rate, and with it its ring sizes and masks, once; it masks
// every ring position with them and derives the read positions afresh, and
// every walk over a ring is bounded by the ring's length, so no change from
// any thread can hang a chunk, overrun a ring or move the delay beyond the
// chunk it meets.
//
// What an engine gives the core, by name (private ones with the core as a
// friend): ChunkRings (what one chunk works with, with its `rate`), the work
// buffers workIn and workOut of kWorkFrames each (after its rings),
// chunkRings(rate), designRate(rate) where it is not the core's,
// clearDelayRings(), resetMeters(), startRingPositions(rings), and where it
// has more than the core: updateFilterRecords(designRate), resetDetectors(),
// carryOutOwn(requests) with kOwnRestartRequests.
#pragma once

#include <atomic>
#include <cstring>

#include "dsp/biquad_filter.h"
#include "dsp/chunk_loop.h"
#include "dsp/fixed_filters.h"
#include "dsp/metering.h"
#include "dsp/processor_features.h"
#include "dsp/saturation_curve.h"
#include "dsp/state_owner.h"

// What an engine's kernels work in during a call, allocated once with the
// engine and never on the audio path. Its type is complete only in the
// engine's kernels file, which instantiates this for it.
template <typename Scratch>
class ScratchStore {
 public:
  ScratchStore();
  ~ScratchStore();
  ScratchStore(const ScratchStore&) = delete;
  ScratchStore& operator=(const ScratchStore&) = delete;
  Scratch& operator*() const { return *scratch_; }

 private:
  Scratch* const scratch_;
};

template <typename Scratch>
ScratchStore<Scratch>::ScratchStore() : scratch_(new Scratch()) {}

template <typename Scratch>
ScratchStore<Scratch>::~ScratchStore() {
  delete scratch_;
}

template <typename Engine>
class EngineCore {
 public:
  static constexpr int kChunkFrames = 64;
  static constexpr int kWorkFrames = 512;

  // ---- rate ----
  // The rate the processing works at, as the effect last set it (from any thread).
  float sampleRate() const { return sampleRate_.load(); }
  void setSampleRate(float rate) { sampleRate_.store(rate); }
  // The single-band kernels run in their AVX form where the processor has
  // AVX, with the same output bits as their SSE2 form. wideKernels(false)
  // keeps to SSE2 (for the tests that show it); wideKernels(true) takes AVX
  // again where there is AVX. Not while a block is being processed.
  void wideKernels(bool on) { wideKernels_ = on && processorHasAvx(); }

  // ---- curve ----
  float inverseSaturationCurve(float level) const {
    return ::inverseSaturationCurve(level, kneeAmount, kneeMode);
  }
  float smallSignalGain() const {
    return ::smallSignalGain(curveScale, kneeAmount, kneeMode, driveGain, ceilingLevel);
  }

  // Requests from parameter changes, carried out by the audio thread at its
  // next chunk (or by the next suspend or resume). The over flags are cleared
  // at once: they are plain values handed to the editor.
  void requestClearDelayRings() {
    clearOverFlags();
    request(kRequestClearRings);
  }
  void requestVuFrequency(double hz) {
    pendingVuFrequency_.store(hz);
    request(kRequestVuFrequency);
  }

  // Immediate forms, for the constructor, suspend and resume: carried out at
  // once unless a chunk is running, else by the audio thread at its next chunk.
  void clearDelayRingsNow() { runOrRequest(kRequestClearRings); }
  void resetDetectorsNow() { runOrRequest(kRequestResetDetectors); }
  void resetVuFiltersNow() { runOrRequest(kRequestVuFilters); }
  // Over counters to 0 and the meter levels to their rest (the engine's resetMeters).
  void resetMetersNow() { runOrRequest(kRequestMeters); }
  // Write positions back to their start for the current ring sizes, the read
  // positions derived from them.
  void resetRingPositions() { runOrRequest(kRequestRingPositions); }
  // What was left as requests, carried out now unless a chunk is running
  // (which carries them out at its start).
  void applyPendingRequests();
  // Everything a resume starts afresh for the current rate, once more after
  // the coefficients it computed: the filter records at the design rate,
  // rings, detectors, the engine's own restart steps and the ring positions.
  // When nothing ran in between, it changes nothing.
  void restartNow();

  // ---- derived quantities, written by the parameter model ----
  double driveGain = 1, smallSignalGainValue = 1, lowFreqHz = 100, lowAdjustGain = 1;
  double highFreqHz = 2000, highAdjustGain = 1, outputGain = 1, ceilingGain = 1;
  double curveScale = 1, ceilingLevel = 1, releaseFactor = 1;
  double kneeAmount = 0;
  int kneeMode = 0;
  float speedValue = 0;
  int processOn = 0, linked = 0;
  float monoStereoValue = 0;

  // ---- metering inputs and the meter hand-off (dsp/metering.h) ----
  // Set by the editor while its window is open; the kernels meter only then,
  // reading it once per kernel call.
  std::atomic<int> editorIsOpen{0};
  int meterSource = 1;
  double vuReferenceInverse = 0.1, ppmIntegrationMs = 10, ppmReturnMs = 1000;
  float ppmTimeRatio = 0.01f;
  double overThreshold = 3.0;
  // Written by the audio thread (or a reset) and read by the editor's thread,
  // each whole; the editor takes each over flag with one exchange.
  float meterLevels[2] = {0, 0};
  float overCounts[2] = {0, 0};
  float overFlags[2] = {0, 0};

  // ---- time constants ----
  double attackCoeff = 0, singleBandReleaseCoeff = 0;
  int lookaheadLength = 0;

  // ---- fixed filters, L and R ----
  FixedFilterSets fixedFilters;
  HighPassState highPassState[2];
  CrossoverState lowCrossoverState[2], highCrossoverState[2];

  // ---- detectors and VU integrators ----
  double envelopes[8] = {};
  double antiDenormal = 1e-16;
  BiquadFilter vuFilters[2];

 protected:
  // The requests every engine has; an engine numbers its own from kFirstOwnRequest.
  enum Request : unsigned {
    kRequestVuFrequency = 1u << 0,
    kRequestFilterRecords = 1u << 1,
    kRequestVuFilters = 1u << 2,
    kRequestMeters = 1u << 3,
    kRequestClearRings = 1u << 4,
    kRequestResetDetectors = 1u << 5,
    kRequestRingPositions = 1u << 6,
    kFirstOwnRequest = 1u << 7,
  };
  // The engine's own steps of restartNow; none unless it says so.
  static constexpr unsigned kOwnRestartRequests = 0;

  // The VU integrators start as low-passes at vuStartHz and Q 0.583, at 44100 Hz.
  explicit EngineCore(double vuStartHz);

  // Leaves requests for the state's owner.
  void request(unsigned requests) { owner_.request(requests); }
  // Carries out the requests at once when it can take the state, else leaves them pending.
  void runOrRequest(unsigned requests);

  // The fixed filters at once, at the engine's design rate; the filter
  // records' redesign is requested.
  void publishFilterDesigns();
  // The filters' design rate: the rate within 22000..200000 Hz, else 44100.
  static double designRate(float rate) {
    const double d = rate;
    return (d > 200000.0 || d < 22000.0) ? 44100.0 : d;
  }

  // The work of the requests, in a fixed order; only the owner of the state
  // calls these. carryOut runs the engine's own steps through its hooks.
  template <typename Rings>
  void carryOut(unsigned requests, const Rings& rings);
  // The filter records follow the design rate: the VU integrators, reset and
  // redesigned there.
  void updateFilterRecords(double designRate);
  void resetVuFilters();
  // Envelopes back to their start and the fixed filters' states to 0.
  void resetDetectors();
  void carryOutOwn(unsigned) {}
  // Over counters to 0 and both meter levels to `level`.
  void resetMeterHandOff(float level);
  void clearOverFlags() {
    setOverFlag(overFlags[0], 0.0f);
    setOverFlag(overFlags[1], 0.0f);
  }
  void clearWorkBuffers() {
    std::memset(self().workIn, 0, sizeof self().workIn);
    std::memset(self().workOut, 0, sizeof self().workOut);
  }

  // The block loop on resolved channel buffers: chunks of at most
  // kChunkFrames, each started by carrying out what was requested, run by
  // runChunk(n, rings) on the work buffers and handed back; after the last
  // chunk the over counters that reached the threshold raise their flags.
  template <typename Sample, typename RunChunk>
  void processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                    RunChunk runChunk);

  bool wideKernels_ = false;
  std::atomic<float> sampleRate_{44100.0f};

 private:
  Engine& self() { return static_cast<Engine&>(*this); }
  // The VU integrators at a new frequency, reset and redesigned.
  void tuneVuFilters(double hz);
  static BiquadFilter vuIntegrator(double hz) {
    return BiquadFilter(44100.0, BiquadFilter::kLowPass, hz, 0.583, 0.0);
  }

  StateOwner owner_;
  std::atomic<double> pendingVuFrequency_{0.0};
};

template <typename Engine>
EngineCore<Engine>::EngineCore(double vuStartHz)
    : vuFilters{vuIntegrator(vuStartHz), vuIntegrator(vuStartHz)} {
  wideKernels(true);
  curveScale = inverseSaturationCurve(1.0f);
  for (double& e : envelopes) e = 1e-4;
}

template <typename Engine>
void EngineCore<Engine>::applyPendingRequests() {
  if (!owner_.take()) return;  // the running chunk carries them out at its next start
  carryOut(owner_.takeRequests(), self().chunkRings(sampleRate()));
  owner_.release();
}

template <typename Engine>
void EngineCore<Engine>::restartNow() {
  runOrRequest(kRequestFilterRecords | kRequestClearRings | kRequestResetDetectors |
               Engine::kOwnRestartRequests | kRequestRingPositions);
}

template <typename Engine>
void EngineCore<Engine>::runOrRequest(unsigned requests) {
  owner_.runOrRequest(requests, [&](unsigned r) { carryOut(r, self().chunkRings(sampleRate())); });
}

template <typename Engine>
void EngineCore<Engine>::publishFilterDesigns() {
  fixedFilters.publish(
      [this] { return designFixedFilters(self().designRate(sampleRate()), lowFreqHz, highFreqHz); });
  request(kRequestFilterRecords);
}

template <typename Engine>
template <typename Rings>
void EngineCore<Engine>::carryOut(unsigned requests, const Rings& rings) {
  if (requests == 0) return;
  Engine& e = self();
  if (requests & kRequestVuFrequency) tuneVuFilters(pendingVuFrequency_.load());
  if (requests & kRequestFilterRecords) e.updateFilterRecords(e.designRate(rings.rate));
  if (requests & kRequestVuFilters) resetVuFilters();
  if (requests & kRequestMeters) e.resetMeters();
  if (requests & kRequestClearRings) e.clearDelayRings();
  if (requests & kRequestResetDetectors) e.resetDetectors();
  e.carryOutOwn(requests);
  if (requests & kRequestRingPositions) e.startRingPositions(rings);
}

template <typename Engine>
void EngineCore<Engine>::tuneVuFilters(double hz) {
  for (BiquadFilter& f : vuFilters) f.setFrequency(hz);
  resetVuFilters();
}

template <typename Engine>
void EngineCore<Engine>::updateFilterRecords(double d) {
  for (BiquadFilter& f : vuFilters) f.setSampleRate(d);
  resetVuFilters();
}

template <typename Engine>
void EngineCore<Engine>::resetVuFilters() {
  for (BiquadFilter& f : vuFilters) {
    f.reset();
    f.design();
  }
}

template <typename Engine>
void EngineCore<Engine>::resetDetectors() {
  for (double& e : envelopes) e = 0.0001;
  for (int c = 0; c < 2; ++c) {
    highPassState[c] = {};
    lowCrossoverState[c] = {};
    highCrossoverState[c] = {};
  }
}

template <typename Engine>
void EngineCore<Engine>::resetMeterHandOff(float level) {
  for (int c = 0; c < 2; ++c) {
    overCounts[c] = 0.0f;
    publishMeterLevel(meterLevels[c], level);
  }
}

template <typename Engine>
template <typename Sample, typename RunChunk>
void EngineCore<Engine>::processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR,
                                      int frames, RunChunk runChunk) {
  typename Engine::ChunkRings rings{};
  auto start = [&] {
    if (!owner_.take()) return false;
    // Requests come first: a ring clear empties the work buffers too, and
    // must not take this chunk's input with it. The rate is taken after
    // them, so it is at least as new as the operation that requested them.
    const unsigned requests = owner_.takeRequests();
    rings = self().chunkRings(sampleRate());
    if (requests != 0) carryOut(requests, rings);  // most chunks find none
    return true;
  };
  processInChunks(
      inL, inR, outL, outR, frames, kChunkFrames, self().workIn, self().workOut, start,
      [&](int n) { runChunk(n, rings); }, [&] { owner_.release(); });
  if (!owner_.take()) return;  // the counters are being reset
  latchOverFlags(overCounts, overFlags, overThreshold);
  owner_.release();
}
