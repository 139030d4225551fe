// The processing engine of the Ostrelvanheim plug-ins: saturation curve,
// coefficients and time constants, the block loop with the optional 2x FAT
// path, the seven kernels and their metering. It holds every field the audio
// path reads or writes; the product's parameter model writes the derived
// quantities, the product's effect class hands it the host buffers.
//
// Thread contract: process() runs on the host's audio thread. The parameter
// model may change the derived quantities from any thread at any time; the
// kernels read them as they find them. Everything that would move or empty a
// ring, a detector or an oversampler (ring clears, detector and oversampler
// resets, filter redesigns) is only requested from there and carried out by
// the audio thread at the start of its next chunk, and the ring read
// positions are derived afresh at the start of every chunk, so no change can
// overrun a ring, misalign wet and dry or move the latency. suspend-time
// operations (the *Now functions) run only while the host is not processing.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/biquad_filter.h"
#include "dsp/halfband_oversampler.h"
#include "dsp/sliding_maximum.h"

// Ring and latency sizes of one product, by sample-rate band
// (below 50000 Hz, below 100000 Hz, otherwise).
struct RingSizeTable {
  int lookahead[3];
  int latency[3];
};

// One set of direct-form coefficients: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2.
struct FilterCoeffs {
  double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// Direct-form-I state of the 15 Hz input high-pass.
struct HighPassState {
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Direct-form-II state of one crossover.
struct CrossoverState {
  double s1 = 0, s2 = 0, last = 0;
};

class CompressorEngine {
 public:
  static constexpr int kChunkFrames = 64;
  static constexpr int kWorkFrames = 512;
  static constexpr int kLookaheadRegion = 1024;
  static constexpr int kLatencyRegion = 2048;
  static constexpr int kDelayRingSlots = 24576;
  static constexpr int kOversamplerFlags = 0x808;

  // First slots of the regions of delayRings.
  enum Region : int {
    kSumL = 0,
    kSumR = 1024,
    kLowL = 2048,
    kLowR = 3072,
    kMidL = 4096,
    kMidR = 5120,
    kHighL = 6144,
    kHighR = 7168,
    kBrickwallMaxL = 8192,
    kBrickwallMaxR = 9216,
    kLowMaxL = 10240,
    kLowMaxR = 11264,
    kMidMaxL = 12288,
    kMidMaxR = 13312,
    kHighMaxL = 14336,
    kHighMaxR = 15360,
    kDryA = 16384,
    kDryB = 18432,
    kOutL = 20480,
    kOutR = 22528,
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

  explicit CompressorEngine(const RingSizeTable& rings);

  // ---- sizes and delay ----
  int lookaheadRingSize() const { return rings_.lookahead[band(sampleRate)]; }
  int latencyRingSize() const { return rings_.latency[band(sampleRate)]; }
  int lookaheadRingSizeAt(float rate) const { return rings_.lookahead[band(rate)]; }
  int latencyRingSizeAt(float rate) const { return rings_.latency[band(rate)]; }
  int oversamplerLatency() const { return oversamplers[0].getLatency(); }

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

  // Immediate forms, for the constructor, suspend and resume.
  void clearDelayRingsNow();
  void resetDetectorsNow();
  void resetOversamplersNow();
  void updateFilterRecordsNow();
  void resetVuFiltersNow();
  void applyPendingRequests();
  // Write positions back to their start for the current ring sizes.
  void resetRingPositions();

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
  float sampleRate = 44100.0f;  // kept within 22050..192000 by the effect

  // ---- metering inputs and the meter hand-off ----
  int editorIsOpen = 0;
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
  FilterCoeffs inputHighPassCoeffs[2], lowCrossoverCoeffs[2], highCrossoverCoeffs[2];
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
  double delayRings[kDelayRingSlots] = {};
  double fatRings[2][kLatencyRegion] = {};
  double workIn[2][kWorkFrames] = {};
  double workOut[2][kWorkFrames] = {};

 private:
  enum Request : unsigned {
    kRequestClearRings = 1u << 0,
    kRequestResetDetectors = 1u << 1,
    kRequestResetOversamplers = 1u << 2,
    kRequestFilterRecords = 1u << 3,
    kRequestVuFrequency = 1u << 4,
  };

  static int band(float rate) { return rate < 50000.0f ? 0 : (rate < 100000.0f ? 1 : 2); }
  double designRate() const;
  void deriveReadPositions();
  template <typename Sample>
  void processBlock(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames);
  void processChunk(int frames);

  // Kernels, each on the work buffers for n frames at the processing rate.
  enum class Detection { Linked, Unlinked, OneChannel };
  template <Detection D>
  void processMultiBand(int n, bool fat);
  template <Detection D>
  void processSingleBand(int n, bool fat);
  void processBypassed(int n, bool fat);

  RingSizeTable rings_;
  // The look-ahead maxima of one kernel call (up to eight detectors).
  RunQueue maximumQueues_[8];
  std::atomic<unsigned> pending_{0};
  std::atomic<double> pendingVuFrequency_{0.0};
};
