// The processing engine of the Ostrelvanheim plug-ins, on the engine core
// (dsp/engine_core.h): coefficients and time constants at the design rate,
// the block loop's chunk with the optional 2x FAT path, the seven kernels and
// their metering, the delay-ring store and the oversamplers. It holds every
// field the audio path reads or writes; the product's parameter model writes
// the derived quantities, the product's effect class hands it the host
// buffers.
//
// What it adds to the core's thread contract: the oversamplers are part of
// the processing state, and each chunk takes the FAT switch with the rate,
// so wet and dry stay aligned whatever changes meanwhile.
#pragma once

#include <algorithm>
#include <array>
#include <memory>

#include "dsp/biquad_filter.h"
#include "dsp/engine_core.h"
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

class CompressorEngine : public EngineCore<CompressorEngine> {
 public:
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
  // Sets the rate (within 22050..192000, as the effect keeps it); FAT is
  // unavailable above 100000 Hz.
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

  // ---- coefficients ----
  // Inline filter coefficients now; the filter records' redesign is requested.
  void updateFilterCoefficients();
  void updateTimeConstants();

  // Requests of this engine's own, as the core's (dsp/engine_core.h).
  void requestResetDetectors() { request(kRequestResetDetectors); }
  void requestResetOversamplers() { request(kRequestResetOversamplers); }
  // Rings, detectors and oversamplers all back to their start: a change of
  // the processing path (FAT, the channel mode).
  void requestCleanStart() {
    requestClearDelayRings();
    requestResetDetectors();
    requestResetOversamplers();
  }
  void resetOversamplersNow() { runOrRequest(kRequestResetOversamplers); }
  void updateFilterRecordsNow() { runOrRequest(kRequestFilterRecords); }

  // ---- audio thread ----
  // The block loop on resolved channel buffers; outL may equal outR and the
  // outputs may be the inputs.
  void process(const float* inL, const float* inR, float* outL, float* outR, int frames);
  void process(const double* inL, const double* inR, double* outL, double* outR, int frames);

  // ---- derived quantities of this engine, written by the parameter model ----
  double mix = 1;
  double satInverses[3] = {1, 1, 1}, satLevels[3] = {1, 1, 1}, bandReleaseFactors[3] = {1, 1, 1};
  float releaseValue = 0;
  int fatOn = 0, longOn = 0, autoOn = 0, brickwallOn = 0, multiBand = 0;
  double modeValue = 0;
  float lrValue = 0;

  // ---- metering ----
  // Below 0.5 VU ballistics, otherwise PPM.
  float meterTypeValue = 0;
  float bypassMeterSmoothers[4] = {0, 0, 0, 0};

  // ---- time constants ----
  double brickwallAttackCoeff = 0, brickwallReleaseCoeff = 0, longReleaseScale = 0;
  double bandReleaseCoeffs[3] = {1, 1, 1};
  int brickwallLookahead = 0;

  // ---- rings and positions ----
  int lookaheadWritePos = 0, bandPeakReadPos = 0, brickwallPeakReadPos = 0;
  int latencyWritePos = 0, latencyReadPos = 0;
  int fatRingPos = 0;

  // ---- filter records and oversamplers ----
  BiquadFilter autoFastFilters[2][4];
  BiquadFilter autoSlowFilters[2][4];
  HalfbandOversampler oversamplers[2];

  // ---- working storage ----
  std::unique_ptr<double[]> delayRings;  // delayRingSlots() values
  double fatRings[2][kFatRingSlots] = {};
  // One chunk of input and output, L and R, starting a cache line: where
  // they fall otherwise depends on what the host allocated before.
  alignas(64) double workIn[2][kWorkFrames] = {};
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
  friend class EngineCore<CompressorEngine>;
  static constexpr unsigned kRequestResetOversamplers = kFirstOwnRequest;
  static constexpr unsigned kOwnRestartRequests = kRequestResetOversamplers;

  static int band(float rate) { return rate < 50000.0f ? 0 : (rate < 100000.0f ? 1 : 2); }
  ChunkRings chunkRings(float rate) const;
  // The processing rate the filters are designed for: twice the rate with FAT.
  double designRate(float rate) const { return (fatOn + 1) * EngineCore::designRate(rate); }

  // The steps of the requests that are this engine's own; only the owner of
  // the state calls these.
  void updateFilterRecords(double designRate);
  void clearDelayRings();
  void resetDetectors();
  // Meter values, over counters and the bypass kernel's meter smoothers to 0.
  void resetMeters();
  void carryOutOwn(unsigned requests);
  void resetOversamplers();
  void startRingPositions(const ChunkRings& rings);
  void deriveReadPositions(const ChunkRings& rings);

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

  EngineTraits traits_;
  std::array<int, kRegionCount> regionStarts_;
  ScratchStore<Scratch> scratch_;
};

extern template class EngineCore<CompressorEngine>;
extern template class ScratchStore<CompressorEngine::Scratch>;
