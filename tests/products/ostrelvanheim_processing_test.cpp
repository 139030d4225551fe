// JYX Ostrelvanheim's processing where it is its own: the delay it reports is
// the delay it has in every mode at every rate band, and the one-channel
// routings pass the unprocessed channel as it came in, without the output gain.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "products/ostrelvanheim/product.h"
#include "tests/products/ostrelvanheim2_rig.h"
#include "tests/products/processing_properties.h"

namespace {

using rig::Rig;
using rig::Signal;
using rig::Stereo;

class FirstGenerationProcessing : public ::testing::Test {
 protected:
  testsupport::SettingsSandbox sandbox_;
};

struct RateCase {
  float rate;
  int delay;
};

TEST_F(FirstGenerationProcessing, ImpulsePeaksAtTheReportedDelayInEveryModeAndRate) {
  const RateCase rates[] = {{44100.0f, 127}, {48000.0f, 127},  {50000.0f, 255},
                            {96000.0f, 255}, {100000.0f, 511}, {192000.0f, 511}};
  for (const RateCase& rc : rates) {
    // The oversampling index on or off changes nothing.
    for (float fat : {0.0f, 1.0f}) {
      for (const rig::Mode& mode : rig::firstGenerationModes()) {
        Rig r(ostrelvanheim::kProduct, rc.rate);
        r.set({{31, fat}});
        r.set(mode.settings);
        ASSERT_EQ(r.delay(), rc.delay);
        EXPECT_TRUE(rig::impulseArrivesAfter(r, static_cast<std::size_t>(rc.delay)))
            << mode.name << " at " << rc.rate << " index 31 " << fat;
      }
    }
  }
}

TEST_F(FirstGenerationProcessing, OneChannelRoutingsPassTheOtherChannelWithoutTheOutputGain) {
  const Signal left = rig::noise(6000, 51, 0.6), right = rig::noise(6000, 52, 0.6);
  // Output at +6 dB, Mix 0: the processed channel is its dry input times the
  // output gain (the multiband kernel keeps the unfiltered input as its dry).
  for (const char* kernel : {"multiband", "single band"}) {
    for (float lr : {0.5f, 1.0f}) {
      Rig r(ostrelvanheim::kProduct);
      const bool multiBand = std::string(kernel) == "multiband";
      r.set({{0, 1}, {1, multiBand ? 1.0f : 0.0f}, {2, 0}, {36, lr}, {14, 0.75f}, {12, 0.0f}});
      const double gain = r.engine().outputGain;
      ASSERT_NEAR(gain, std::pow(10.0, 6.0 / 20.0), 0.01);
      const Stereo out = r.processDouble({left, right}, 256);
      const bool leftProcessed = lr < 0.66f;
      const Signal& otherIn = leftProcessed ? right : left;
      const Signal& otherOut = leftProcessed ? out.right : out.left;
      const Signal& processedIn = leftProcessed ? left : right;
      const Signal& processedOut = leftProcessed ? out.left : out.right;
      double worstOther = 0.0, worstProcessed = 0.0;
      for (std::size_t i = 0; i + 127 < left.size(); ++i) {
        // Only the alternating anti-denormal offset of 1e-16 is added (and rounded).
        worstOther = std::max(worstOther, std::fabs(otherOut[i + 127] - otherIn[i]));
        worstProcessed = std::max(worstProcessed, std::fabs(processedOut[i + 127] - gain * processedIn[i]));
      }
      EXPECT_LE(worstOther, 2.5e-16) << kernel << " L R " << lr;
      if (multiBand) {
        EXPECT_LT(worstProcessed, 1e-15) << kernel << " L R " << lr;
      }
    }
  }
}

}  // namespace
