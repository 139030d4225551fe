// The processing engine of the track processor: one band, a fixed shelving
// of everything below 80 Hz and above 12 kHz, a look-ahead peak detector
// with attack and release, the static saturation curve, a clip to full scale,
// the output gain and the metering. The kernels are bypass and one
// single-band kernel in three channel arrangements: mono (one detector and
// one processed channel for both outputs), stereo linked (one detector for
// both channels) and stereo unlinked (a detector per channel). Every ring has
// N + 1 slots, N being 63, 127 or 255 by sample-rate band, and all of them
// share two positions, so every kernel delays the signal by exactly N samples.
//
// Thread contract: process() runs on the host's audio thread. The parameter
// model may change the derived quantities from any thread at any time; each
// chunk takes a snapshot of them. The processing state (rings and positions,
// detectors, filter states, the VU filters, work buffers, meter levels and
// over counters) has one owner at a time: the audio thread for each chunk, or
// the thread of a suspend or resume (the *Now functions) for one operation;
// whoever finds it taken leaves a request that the next owner carries out,
// and a chunk that finds it taken gives silence. Parameter changes only ever
// request. Each chunk takes the sample rate, and with it the ring mask, once,
// masks every position with it and derives the read position afresh, and
// every walk over a ring is bounded by its length.
#pragma once

#include <atomic>
#include <memory>

#include "dsp/biquad_filter.h"
#include "dsp/fixed_filters.h"
#include "dsp/state_owner.h"

class TrackEngine {
 public:
  static constexpr int kChunkFrames = 64;
  // The largest ring in use: N + 1 = 256 slots at 100000 Hz and above.
  static constexpr int kRingSlots = 256;
  static constexpr int kWorkFrames = 512;

  // N, the ring mask and the delay in samples of every mode: 63 below
  // 50000 Hz, 127 below 100000 Hz, 255 from there on.
  static int ringMaskAt(float rate) { return rate < 50000.0f ? 63 : (rate < 100000.0f ? 127 : 255); }

  TrackEngine();

  // ---- rate ----
  // The rate the processing works at, as the effect last set it (from any thread).
  float sampleRate() const { return sampleRate_.load(); }
  void setSampleRate(float rate) { sampleRate_.store(rate); }
  int ringMask() const { return ringMaskAt(sampleRate()); }
  // The kernel runs in its AVX form where the processor has AVX, with the
  // same output bits as its SSE2 form. wideKernels(false) keeps to SSE2 (for
  // the tests that show it); wideKernels(true) takes AVX again where there is
  // AVX. Not while a block is being processed.
  void wideKernels(bool on);

  // ---- curve and coefficients ----
  float inverseSaturationCurve(float level) const;
  float smallSignalGain() const;
  // The fixed filters at once; the VU filters' new rate is requested.
  void updateFilterCoefficients();
  void updateTimeConstants();

  // Requests from parameter changes, carried out by the audio thread at its
  // next chunk (or by the next suspend or resume). The over flags are
  // cleared at once: they are plain values handed to the editor.
  void requestClearDelayRings();
  void requestVuFrequency(double hz);

  // Immediate forms, for the constructor, suspend and resume: carried out at
  // once unless a chunk is running, else by the audio thread at its next chunk.
  void clearDelayRingsNow();
  void resetDetectorsNow();
  void resetVuFiltersNow();
  // Over counters to 0; meter levels to 1 (no gain reduction) when the meters
  // show it, else to 0.
  void resetMetersNow();
  // The write position back to N and the read position behind it.
  void resetRingPositions();
  void applyPendingRequests();
  // Everything a resume starts afresh, once more after the coefficients it
  // computed: rings, positions, detectors and the VU filters. When nothing
  // ran in between, it changes nothing.
  void restartNow();

  // ---- audio thread ----
  // The block loop on resolved channel buffers: inR is the second input or
  // the first again, outL may equal outR, the outputs may be the inputs.
  // stereoInput says whether the second input is in use; the host answered
  // that once for the whole block.
  void process(const float* inL, const float* inR, float* outL, float* outR, int frames, bool stereoInput);
  void process(const double* inL, const double* inR, double* outL, double* outR, int frames,
               bool stereoInput);

  // ---- derived quantities, written by the parameter model ----
  double driveGain = 1, smallSignalGainValue = 1, lowFreqHz = 100, lowAdjustGain = 1;
  double highFreqHz = 2000, highAdjustGain = 1, outputGain = 1, ceilingGain = 1;
  double curveScale = 1, ceilingLevel = 1, releaseFactor = 1;
  double kneeAmount = 0;
  int kneeMode = 0;
  float speedValue = 0;
  int processOn = 0, linked = 0;
  float monoStereoValue = 0;

  // ---- metering inputs and the meter hand-off ----
  // Set by the editor while its window is open; the kernels meter only then.
  std::atomic<int> editorIsOpen{0};
  int meterSource = 1;
  float meterScaleValue = 0;
  double vuReferenceInverse = 0.1, ppmIntegrationMs = 10, ppmReturnMs = 1000;
  float ppmTimeRatio = 0.01f;
  double overThreshold = 3.0;
  // Written by the audio thread (or a reset) and read by the editor's thread,
  // each whole through dsp/metering.h; the editor takes each over flag with
  // one exchange.
  float meterLevels[2] = {1, 1};
  float overCounts[2] = {0, 0};
  float overFlags[2] = {0, 0};

  // ---- time constants ----
  double attackCoeff = 0, singleBandReleaseCoeff = 0;
  int lookaheadLength = 0;

  // ---- fixed filters, L and R sets ----
  FixedFilterSets fixedFilters;
  HighPassState highPassState[2];
  CrossoverState lowCrossoverState[2], highCrossoverState[2];

  // ---- rings and positions ----
  int ringWritePos = 0, ringReadPos = 0;
  double envelopes[8] = {};
  double antiDenormal = 1e-16;
  BiquadFilter vuFilters[2];
  double signalRings[2][kRingSlots] = {};
  double peakRings[2][kRingSlots] = {};
  double dryRings[2][kRingSlots] = {};
  double outputRings[2][kRingSlots] = {};
  double workIn[2][kWorkFrames] = {};
  double workOut[2][kWorkFrames] = {};

  // What one chunk works with: the rate it took and its ring mask.
  struct ChunkRings {
    float rate;
    int mask;
  };
  // What the kernels work in during a call, and the per-call constants they
  // keep from call to call; part of the processing state.
  struct Scratch;

 private:
  enum Request : unsigned {
    kRequestClearRings = 1u << 0,
    kRequestResetDetectors = 1u << 1,
    kRequestVuFrequency = 1u << 2,
    kRequestVuRate = 1u << 3,
    kRequestVuFilters = 1u << 4,
    kRequestMeters = 1u << 5,
    kRequestRingPositions = 1u << 6,
  };
  enum class Channels { Mono, Linked, Unlinked };

  static ChunkRings chunkRings(float rate) { return {rate, ringMaskAt(rate)}; }
  static double designRate(float rate);
  void runOrRequest(unsigned requests);
  // The work of the requests, in a fixed order; only the owner of the state calls these.
  void carryOut(unsigned requests, const ChunkRings& rings);
  void clearDelayRings();
  void resetDetectors();
  void resetVuFilters();
  void resetMeters();
  void deriveReadPosition(const ChunkRings& rings);

  template <typename Sample>
  void processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                    bool stereoInput);
  void processChunk(int frames, const ChunkRings& rings, bool stereoInput);
  template <Channels C>
  void processSingleBand(int n, const ChunkRings& rings, bool stereoInput);
  void processBypassed(int n, const ChunkRings& rings);
  // The single-band kernel's body, and the same body built for processors
  // with AVX; processSingleBand picks one of them.
  template <Channels C>
  void singleBandKernel(int n, const ChunkRings& rings, bool stereoInput);
  template <Channels C>
  void singleBandKernelWide(int n, const ChunkRings& rings, bool stereoInput);
  bool wideKernels_ = false;

  std::atomic<float> sampleRate_{44100.0f};
  struct ScratchDeleter {
    void operator()(Scratch* scratch) const;
  };
  static std::unique_ptr<Scratch, ScratchDeleter> makeScratch();
  std::unique_ptr<Scratch, ScratchDeleter> scratch_;
  StateOwner owner_;
  std::atomic<double> pendingVuFrequency_{0.0};
};
