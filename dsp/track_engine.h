// The processing engine of the track processor, on the engine core
// (dsp/engine_core.h): one band, a fixed shelving of everything below 80 Hz
// and above 12 kHz, a look-ahead peak detector with attack and release, the
// static saturation curve, a clip to full scale, the output gain and the
// metering. The kernels are bypass and one single-band kernel in three
// channel arrangements: mono (one detector and one processed channel for
// both outputs), stereo linked (one detector for both channels) and stereo
// unlinked (a detector per channel). Every ring has N + 1 slots, N being 63,
// 127 or 255 by sample-rate band, and all of them share two positions, so
// every kernel delays the signal by exactly N samples.
//
// What it adds to the core's thread contract: each chunk takes the ring mask
// with the rate and derives the one read position afresh.
#pragma once

#include "dsp/engine_core.h"

class TrackEngine : public EngineCore<TrackEngine> {
 public:
  // The largest ring in use: N + 1 = 256 slots at 100000 Hz and above.
  static constexpr int kRingSlots = 256;

  // N, the ring mask and the delay in samples of every mode: 63 below
  // 50000 Hz, 127 below 100000 Hz, 255 from there on.
  static int ringMaskAt(float rate) { return rate < 50000.0f ? 63 : (rate < 100000.0f ? 127 : 255); }

  TrackEngine();

  // ---- rate ----
  int ringMask() const { return ringMaskAt(sampleRate()); }

  // ---- coefficients ----
  // The fixed filters at once; the VU filters' new rate is requested.
  void updateFilterCoefficients();
  void updateTimeConstants();

  // ---- audio thread ----
  // The block loop on resolved channel buffers: inR is the second input or
  // the first again, outL may equal outR, the outputs may be the inputs.
  // stereoInput says whether the second input is in use; the host answered
  // that once for the whole block.
  void process(const float* inL, const float* inR, float* outL, float* outR, int frames, bool stereoInput);
  void process(const double* inL, const double* inR, double* outL, double* outR, int frames,
               bool stereoInput);

  // ---- metering ----
  // Below 0.5 VU ballistics, otherwise PPM.
  float meterScaleValue = 0;

  // ---- rings and positions ----
  int ringWritePos = 0, ringReadPos = 0;
  // Each ring starts a cache line.
  alignas(64) double signalRings[2][kRingSlots] = {};
  double peakRings[2][kRingSlots] = {};
  double dryRings[2][kRingSlots] = {};
  double outputRings[2][kRingSlots] = {};
  // One chunk of input and output, L and R.
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
  friend class EngineCore<TrackEngine>;
  enum class Channels { Mono, Linked, Unlinked };

  static ChunkRings chunkRings(float rate) { return {rate, ringMaskAt(rate)}; }
  // The steps of the requests that are this engine's own; only the owner of
  // the state calls these.
  void clearDelayRings();
  // Over counters to 0; meter levels to 1 (no gain reduction) when the meters
  // show it, else to 0.
  void resetMeters();
  // The write position back to N and the read position behind it.
  void startRingPositions(const ChunkRings& rings);
  void deriveReadPosition(const ChunkRings& rings);

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

  ScratchStore<Scratch> scratch_;
};

extern template class EngineCore<TrackEngine>;
extern template class ScratchStore<TrackEngine::Scratch>;
