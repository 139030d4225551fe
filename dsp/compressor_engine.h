// The processing engine of the Ostrelvanheim plug-ins: saturation curve,
// coefficients and time constants, the block loop with the optional 2x FAT
// path, the seven kernels and their metering. It holds every field the audio
// path reads or writes; the product's parameter model writes the derived
// quantities, the product's effect class hands it the host buffers.
//
// Thread contract: process() runs on the host's audio thread. The parameter
// model may change the derived quantities from any thread at any time; the
// kernels read them as they find them. The processing state (rings and their
// positions, detectors, filter records, oversamplers, work buffers, meter
// state) has one owner at a time: the audio thread for each chunk, or the
// thread of a suspend, resume or rate change (the *Now functions) for one
// operation. Neither waits for the other: a *Now function that meets a
// running chunk leaves its work as a request, which the audio thread carries
// out at the start of its next chunk, and a chunk that meets such an
// operation gives silence. Parameter changes only ever request. Each chunk
// takes the sample rate, and with it the ring sizes and masks, once; it masks
// every ring position with them and derives the read positions afresh, and
// every walk over a ring is bounded by the ring's length, so no change from
// any thread can hang a chunk, overrun a ring, misalign wet and dry or move
// the latency beyond the chunk it meets.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "dsp/biquad_filter.h"
#include "dsp/fixed_filters.h"
#include "dsp/halfband_oversampler.h"

// Ring and latency sizes of one product, by sample-rate band
// (below 50000 Hz, below 100000 Hz, otherwise). The delay-ring store gives
// each ring the room of the product's largest.
struct RingSizeTable {
  int lookahead[3];
  int latency[3];

  constexpr int lookaheadRegion() const { return std::max({lookahead[0], lookahead[1], lookahead[2]}); }
  constexpr int latencyRegion() const { return std::max({latency[0], latency[1], latency[2]}); }
};

// How one product's block loop and kernels run: its ring sizes, whether the
// block loop has the 2x oversampled path (with the stand-in delays of the same
// latency while it is off), and which one-channel kernels pass the
// unprocessed channel of the L and R routings without the output gain.
struct EngineTraits {
  RingSizeTable rings;
  bool oversampledPath;
  bool multiBandOtherWithoutGain;
  bool singleBandOtherWithoutGain;
};

class CompressorEngine {
 public:
  static constexpr int kChunkFrames = 64;
  static constexpr int kWorkFrames = 512;
  // Each of the FAT path's two delay rings.
  static constexpr int kFatRingSlots = 2048;
  static constexpr int kOversamplerFlags = 0x808;

  // The regions of delayRings, in their order: sixteen look-ahead regions,
  // each as long as the product's longest look-ahead ring, then the four
  // latency regions, each as long as its longest latency ring.
  enum Region : int {
    kSumL,
    kSumR,
    kLowL,
    kLowR,
    kMidL,
    kMidR,
    kHighL,
    kHighR,
    kBrickwallMaxL,
    kBrickwallMaxR,
    kLowMaxL,
    kLowMaxR,
    kMidMaxL,
    kMidMaxR,
    kHighMaxL,
    kHighMaxR,
    kDryA,
    kDryB,
    kOutL,
    kOutR,
    kRegionCount
  };

  // Envelope slots: brickwall (and single-band detector) L/R, then low, mid, high L/R.
  enum Envelope : int {
    kEnvBrickwallL,
    kEnvBrickwallR,
    kEnvLowL,
    kEnvLowR,
    kEnvMidL,
    kEnvMidR,
    kEnvHighL,
    kEnvHighR
  };
  enum Band : int { kLow = 0, kMid = 1, kHigh = 2, kFull = 3 };

  explicit CompressorEngine(const EngineTraits& traits);

  // ---- rate, sizes and delay ----
  // The rate within 22050..192000, as the effect last set it (from any thread).
  float sampleRate() const { return sampleRate_.load(); }
  // Sets the rate; FAT is unavailable above 100000 Hz.
  void setSampleRate(float rate);
  // The same, and at or below 100000 Hz the stored FAT switch (0 or 1) is in
  // force again where there is an oversampled path.
  void setSampleRate(float rate, int fatSwitch);
  int lookaheadRingSize() const { return traits_.rings.lookahead[band(sampleRate())]; }
  int latencyRingSize() const { return traits_.rings.latency[band(sampleRate())]; }
  int lookaheadRingSizeAt(float rate) const { return traits_.rings.lookahead[band(rate)]; }
  int latencyRingSizeAt(float rate) const { return traits_.rings.latency[band(rate)]; }
  // The delay of the whole block loop, the same in every mode: the kernels'
  // latency ring, and around it the oversampler or its stand-in delays.
  int delaySamplesAt(float rate) const;
  bool hasOversampledPath() const { return traits_.oversampledPath; }
  // The first slot of a region of delayRings, and the values the store holds.
  int regionStart(Region region) const { return regionStarts_[region]; }
  int delayRingSlots() const { return regionStarts_[kOutR] + traits_.rings.latencyRegion(); }
  // The single-band kernels run in their AVX form where the processor has
  // AVX, with the same output bits as their SSE2 form. wideKernels(false)
  // keeps to SSE2 (for the tests that show it); wideKernels(true) takes AVX
  // again where there is AVX. Not while a block is being processed.
  void wideKernels(bool on);

  // ---- curve and coefficients ----
  float inverseSaturationCurve(float level) const;
  float smallSignalGain() const;
  // Inline filter coefficients now; the filter records' redesign is requested.
  void updateFilterCoefficients();
  void updateTimeConstants();

  // Requests from parameter changes, carried out by the audio thread at its
  // next chunk (or by the next suspend or resume). The over flags are cleared
  // at once: they are plain values handed to the editor.
  void requestClearDelayRings();
  void requestResetDetectors();
  void requestResetOversamplers();
  void requestVuFrequency(double hz);
  // Rings, detectors and oversamplers all back to their start: a change of
  // the processing path (FAT, the channel mode).
  void requestCleanStart() {
    requestClearDelayRings();
    requestResetDetectors();
    requestResetOversamplers();
  }

  // Immediate forms, for the constructor, suspend and resume: carried out at
  // once unless a chunk is running, else by the audio thread at its next chunk.
  void clearDelayRingsNow();
  void resetDetectorsNow();
  void resetOversamplersNow();
  void updateFilterRecordsNow();
  void resetVuFiltersNow();
  // Meter values, over counters and the bypass kernel's meter smoothers to 0.
  void resetMetersNow();
  void applyPendingRequests();
  // Write positions back to their start for the current ring sizes.
  void resetRingPositions();
  // Everything a resume starts afresh for the current rate, once more after
  // the coefficients it computed: rings, positions, detectors, filter records
  // and oversamplers. When nothing ran in between, it changes nothing.
  void restartNow();

  // ---- audio thread ----
  // The block loop on resolved channel buffers; outL may equal outR and the
  // outputs may be the inputs.
  void process(const float* inL, const float* inR, float* outL, float* outR, int frames);
  void process(const double* inL, const double* inR, double* outL, double* outR, int frames);

  // ---- derived quantities, written by the parameter model ----
  double driveGain = 1, smallSignalGainValue = 1, lowFreqHz = 100, lowAdjustGain = 1;
  double highFreqHz = 2000, highAdjustGain = 1, outputGain = 1, mix = 1, ceilingGain = 1;
  double curveScale = 1, ceilingLevel = 1, releaseFactor = 1;
  double satInverses[3] = {1, 1, 1}, satLevels[3] = {1, 1, 1}, bandReleaseFactors[3] = {1, 1, 1};
  double kneeAmount = 0;
  int kneeMode = 0;
  float speedValue = 0, releaseValue = 0;
  int processOn = 0, fatOn = 0, longOn = 0, autoOn = 0, brickwallOn = 0, linked = 0, multiBand = 0;
  double modeValue = 0;
  float monoStereoValue = 0, lrValue = 0;

  // ---- metering inputs and the meter hand-off (dsp/metering.h) ----
  // Set by the editor while its window is open; read once per kernel call.
  std::atomic<int> editorIsOpen{0};
  int meterSource = 1;
  float meterTypeValue = 0;
  double vuReferenceInverse = 10, ppmIntegrationMs = 10, ppmReturnMs = 1000;
  float ppmTimeRatio = 0.01f;
  double overThreshold = 3.0;
  float meterLevels[2] = {0, 0};
  float overCounts[2] = {0, 0};
  float overFlags[2] = {0, 0};
  float bypassMeterSmoothers[4] = {0, 0, 0, 0};

  // ---- time constants ----
  double attackCoeff = 0, singleBandReleaseCoeff = 0, brickwallAttackCoeff = 0;
  double brickwallReleaseCoeff = 0, longReleaseScale = 0;
  double bandReleaseCoeffs[3] = {1, 1, 1};
  int lookaheadLength = 0, brickwallLookahead = 0;

  // ---- fixed filters ----
  FixedFilterSets fixedFilters;
  HighPassState highPassState[2];
  CrossoverState lowCrossoverState[2], highCrossoverState[2];

  // ---- rings and positions ----
  int lookaheadWritePos = 0, bandPeakReadPos = 0, brickwallPeakReadPos = 0;
  int latencyWritePos = 0, latencyReadPos = 0;
  int fatRingPos = 0;
  double envelopes[8] = {};
  double antiDenormal = 1e-16;

  // ---- filter records and oversamplers ----
  BiquadFilter vuFilters[2];
  BiquadFilter autoFastFilters[2][4];
  BiquadFilter autoSlowFilters[2][4];
  HalfbandOversampler oversamplers[2];

  // ---- working storage ----
  std::unique_ptr<double[]> delayRings;  // delayRingSlots() values
  double fatRings[2][kFatRingSlots] = {};
  double workIn[2][kWorkFrames] = {};
  double workOut[2][kWorkFrames] = {};

  // How a kernel's detectors serve the channels: one for both, one each, or
  // one for the one processed channel.
  enum class Detection { Linked, Unlinked, OneChannel };
  // What the kernels work in during a call, and the per-call constants they
  // keep from call to call; part of the processing state.
  struct Scratch;

  // What one chunk works with: the rate it took, its ring sizes and masks,
  // and whether it runs the FAT path.
  struct ChunkRings {
    float rate;
    int lookahead, latency;
    int lookaheadMask, latencyMask;
    bool fat;
  };

 private:
  enum Request : unsigned {
    kRequestClearRings = 1u << 0,
    kRequestResetDetectors = 1u << 1,
    kRequestResetOversamplers = 1u << 2,
    kRequestFilterRecords = 1u << 3,
    kRequestVuFrequency = 1u << 4,
    kRequestVuFilters = 1u << 5,
    kRequestMeters = 1u << 6,
    kRequestRingPositions = 1u << 7,
  };

  static int band(float rate) { return rate < 50000.0f ? 0 : (rate < 100000.0f ? 1 : 2); }
  ChunkRings chunkRings(float rate) const;
  double designRate() const { return designRate(sampleRate()); }
  double designRate(float rate) const;

  // The owner of the processing state: taken without waiting, by the audio
  // thread for a chunk or by another thread for one *Now operation.
  bool takeState() { return !stateBusy_.exchange(true, std::memory_order_acquire); }
  void releaseState() { stateBusy_.store(false, std::memory_order_release); }
  // Carries out the requests at once when it can take the state, else leaves them pending.
  void runOrRequest(unsigned requests);
  // The work of the requests, in a fixed order; only the owner of the state calls these.
  void carryOut(unsigned requests, const ChunkRings& rings);
  void clearDelayRings();
  void resetDetectors();
  void resetOversamplers();
  void updateFilterRecords(double designRate);
  void resetVuFilters();
  void resetMeters();
  void resetRingPositions(const ChunkRings& rings);
  void deriveReadPositions(const ChunkRings& rings);

  template <typename Sample>
  void processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames);
  void processChunk(int frames, const ChunkRings& rings);

  // Kernels, each on the work buffers for n frames at the processing rate.
  template <Detection D>
  void processMultiBand(int n, const ChunkRings& rings);
  template <Detection D>
  void processSingleBand(int n, const ChunkRings& rings);
  void processBypassed(int n, const ChunkRings& rings);
  // The single-band kernel's body, and the same body built for processors
  // with AVX; processSingleBand picks one of them.
  template <Detection D>
  void singleBandKernel(int n, const ChunkRings& rings);
  template <Detection D>
  void singleBandKernelWide(int n, const ChunkRings& rings);
  bool wideKernels_ = false;

  EngineTraits traits_;
  std::array<int, kRegionCount> regionStarts_;
  std::atomic<float> sampleRate_{44100.0f};
  struct ScratchDeleter {
    void operator()(Scratch* scratch) const;
  };
  static std::unique_ptr<Scratch, ScratchDeleter> makeScratch();
  std::unique_ptr<Scratch, ScratchDeleter> scratch_;
  std::atomic<bool> stateBusy_{false};
  std::atomic<unsigned> pending_{0};
  std::atomic<double> pendingVuFrequency_{0.0};
};
