#include "dsp/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr char kFill = '#';
constexpr std::size_t kBufferSize = 32;
constexpr std::size_t kCallerBytes = 9;  // eight characters and the terminator

struct Formatted {
  std::string text;
  bool untouched;
  bool wroteBeyondNineBytes;
};

Formatted format(float value, int decimals) {
  char buffer[kBufferSize];
  std::memset(buffer, kFill, sizeof buffer);
  buffer[kBufferSize - 1] = '\0';
  floatToStringDecimals(value, decimals, buffer);
  Formatted result;
  result.untouched = true;
  for (std::size_t i = 0; i + 1 < kBufferSize; ++i) {
    if (buffer[i] != kFill) {
      result.untouched = false;
    }
  }
  result.wroteBeyondNineBytes = false;
  for (std::size_t i = kCallerBytes; i + 1 < kBufferSize; ++i) {
    if (buffer[i] != kFill) {
      result.wroteBeyondNineBytes = true;
    }
  }
  result.text = buffer;
  return result;
}

struct TextCase {
  float value;
  int decimals;
  const char* expected;
};

TEST(FloatToStringDecimals, WritesRoundedTextInEightPositionsCutAfterTheDecimals) {
  const TextCase cases[] = {
      {2.0f, 0, "2"},
      {0.0f, 1, "0.0"},
      {0.5f, 0, "1"},
      {-0.5f, 0, "-1"},
      {1.235f, 2, "1.24"},
      {99.996f, 2, "100.00"},
      {-0.004f, 2, "-0.00"},
      {123456.789f, 2, "123456.7"},
      {-12.25f, 1, "-12.3"},
      {1.2349f, 2, "1.23"},
      {16000.0f, 0, "16000"},
      {0.25f, 3, "0.250"},
      // Without a cut the fraction fills all eight positions.
      {1.5f, 6, "1.500000"},
      {-1.5f, 5, "-1.50000"},
      {1234.5f, 3, "1234.500"},
      {1.5f, 9, "1.500000"},
      // The remainder of the last decimal rounds up from 0.49999 of a unit.
      {2.499995f, 0, "3"},
      {2.49998f, 0, "2"},
      // An integer part that fills all positions ends with its point.
      {1234567.0f, 0, "1234567."},
      {-999999.0f, 2, "-999999."},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals);
    const Formatted f = format(c.value, c.decimals);
    EXPECT_EQ(f.text, c.expected);
    EXPECT_FALSE(f.wroteBeyondNineBytes);
  }
}

// An integer part too wide for the point shows its digits alone, still
// within eight characters.
TEST(FloatToStringDecimals, IntegerPartTooWideForThePointIsWrittenAsItsDigitsAlone) {
  const TextCase cases[] = {
      {10000000.0f, 2, "10000000"}, {12345678.0f, 0, "12345678"}, {99999992.0f, 3, "99999992"},
      {-1000000.0f, 0, "-1000000"}, {-1234567.0f, 1, "-1234567"}, {-9999999.0f, 0, "-9999999"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals);
    const Formatted f = format(c.value, c.decimals);
    EXPECT_EQ(f.text, c.expected);
    EXPECT_FALSE(f.wroteBeyondNineBytes);
  }
}

TEST(FloatToStringDecimals, OutOfRangeAndNonFiniteValuesLeaveTheTextUntouched) {
  const float inf = std::numeric_limits<float>::infinity();
  const float values[] = {100000000.0f, 3e9f, 1e30f, -10000000.0f,
                          -1e30f,       inf,  -inf,  std::numeric_limits<float>::quiet_NaN()};
  for (float value : values) {
    for (int decimals : {0, 2}) {
      SCOPED_TRACE(testing::Message() << value << " with " << decimals);
      EXPECT_TRUE(format(value, decimals).untouched);
    }
  }
}

struct RoundCase {
  double value;
  int decimals;
  double expected;
};

// The result is pushed by one unit of the last decimal and left for the
// text's cut to finish, so it is compared to within rounding.
TEST(RoundToDecimals, PushesTheValueOneUnitOnceTheRemainderReaches049999) {
  const RoundCase cases[] = {
      {1.235, 2, 1.245}, {-0.5, 0, -1.5},      {0.49999, 0, 1.49999},           {-0.49999, 0, -1.49999},
      {-2.75, 1, -2.85}, {1235.0, -1, 1245.0}, {2147483647.6, 0, 2147483648.6},
  };
  for (const RoundCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals);
    EXPECT_NEAR(roundToDecimals(c.value, c.decimals), c.expected, 1e-9 * std::fabs(c.expected));
  }
}

TEST(RoundToDecimals, ReturnsTheValueItselfBelowTheThresholdAndOutsideThe32BitRange) {
  const double inf = std::numeric_limits<double>::infinity();
  const RoundCase cases[] = {
      {2.0, 0, 2.0},
      {1.2349, 2, 1.2349},
      {0.499989, 0, 0.499989},
      {-0.004, 2, -0.004},
      {1234.0, -1, 1234.0},
      {2147483648.0, 0, 2147483648.0},
      {-2147483649.5, 0, -2147483649.5},
      {25.7, 8, 25.7},
      {1e300, 2, 1e300},
      {-inf, 0, -inf},
      {0.75, 400, 0.75},
  };
  for (const RoundCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals);
    EXPECT_EQ(roundToDecimals(c.value, c.decimals), c.expected);
  }
  EXPECT_TRUE(std::isnan(roundToDecimals(std::numeric_limits<double>::quiet_NaN(), 2)));
}

}  // namespace
