// The block loop every engine shares: a host block in chunks of at most
// `chunkFrames` frames, each converted into the engine's 64-bit work buffers,
// processed and converted back. Per chunk, start() takes the processing state
// (and carries out what was requested meanwhile) and says whether it could;
// run(n) processes the n frames in the work buffers; finish() releases the
// state. A chunk whose state another thread holds is silence.
#pragma once

#include <algorithm>
#include <cmath>

template <typename Sample, int kWorkFrames, typename Start, typename Run, typename Finish>
void processInChunks(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, int frames,
                     int chunkFrames, double (&workIn)[2][kWorkFrames],
                     const double (&workOut)[2][kWorkFrames], Start start, Run run, Finish finish) {
  int remaining = frames;
  while (remaining > 0) {
    const int n = std::min(remaining, chunkFrames);
    remaining -= n;
    if (start()) {
      // A bad sample from the host is taken as silence, so it cannot stay in
      // the filters and rings for good.
      for (int i = 0; i < n; ++i) {
        const double l = static_cast<double>(inL[i]);
        const double r = static_cast<double>(inR[i]);
        workIn[0][i] = std::isfinite(l) ? l : 0.0;
        workIn[1][i] = std::isfinite(r) ? r : 0.0;
      }
      run(n);
      for (int i = 0; i < n; ++i) {
        outL[i] = static_cast<Sample>(workOut[0][i]);
        outR[i] = static_cast<Sample>(workOut[1][i]);
      }
      finish();
    } else {
      // A suspend, resume or rate change is starting the state afresh on
      // another thread just now: this chunk is silence.
      for (int i = 0; i < n; ++i) {
        outL[i] = Sample(0);
        outR[i] = Sample(0);
      }
    }
    inL += n;
    inR += n;
    outL += n;
    outR += n;
  }
}
