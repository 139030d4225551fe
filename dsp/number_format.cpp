#include "dsp/number_format.h"

#include <cmath>
#include <cstring>

namespace {

// The display layout has eight positions, sign and point included.
constexpr int kPositions = 8;

// base^n as a product of squared powers, lowest bit first; for negative n the
// reciprocal. This order fixes the rounding of inexact bases such as 0.1.
double powerBySquaring(double base, int n) {
  unsigned int bits = n < 0 ? 0u - static_cast<unsigned int>(n) : static_cast<unsigned int>(n);
  double result = 1.0;
  for (double square = base; bits != 0; square = square * square) {
    if ((bits & 1u) != 0) {
      result = result * square;
    }
    bits >>= 1;
  }
  return n < 0 ? 1.0 / result : result;
}

// Applies a power of ten formed from 0.1 to the pushed value: multiply for
// decimals, divide for tens and hundreds.
double scaleBack(double pushed, int decimals) {
  if (decimals >= 0) {
    return pushed * powerBySquaring(0.1, decimals);
  }
  return pushed / powerBySquaring(0.1, -decimals);
}

char digitOf(double x) { return static_cast<char>('0' + static_cast<int>(std::fmod(x, 10.0))); }

// Integer part too wide for the point: sign and digits fill the eight positions.
void writeWideInteger(double magnitude, bool negative, char* text) {
  char scratch[kPositions + 2];
  char* p = scratch + sizeof scratch;
  *--p = '\0';
  auto integer = static_cast<long long>(std::floor(magnitude));
  do {
    *--p = static_cast<char>('0' + integer % 10);
    integer /= 10;
  } while (integer != 0);
  if (negative) {
    *--p = '-';
  }
  std::strcpy(text, p);
}

// Ends the text after `decimals` characters behind the point; with none the
// point goes too. A text with fewer decimals stays as it is.
void cutAfterDecimals(char* text, int decimals) {
  char* p = std::strchr(text, '.');
  if (p == nullptr) {
    return;
  }
  int counted = 0;
  while (counted < decimals && *p != '\0') {
    if (*p != '.') {
      ++counted;
    }
    ++p;
  }
  if (counted == decimals) {
    *p = '\0';
  }
}

}  // namespace

double roundToDecimals(double value, int decimals) {
  const double f = value * powerBySquaring(10.0, decimals);
  // Only a value within the 32-bit range has an integer part to compare
  // with; NaN fails both tests as well.
  if (!(f > -2147483649.0 && f < 2147483648.0)) {
    return value;
  }
  const double g = static_cast<int>(f);
  const double d = f - g;
  if (d >= 0.49999) {
    return scaleBack(f + 1.0, decimals);
  }
  if (d <= -0.49999) {
    return scaleBack(f - 1.0, decimals);
  }
  return value;
}

void floatToStringDecimals(float value, int decimals, char* text) {
  double a = roundToDecimals(static_cast<double>(value), decimals);
  if (!std::isfinite(a)) {
    return;
  }
  const bool negative = a < 0.0;
  if (negative) {
    a = -a;
    if (a > 9999999.0) {
      return;
    }
  } else if (a > 99999999.0) {
    return;
  }

  // The point and at least one integer digit take two positions.
  const int firstDigitPositions = negative ? 3 : 2;
  const double wideLimit = negative ? 1000000.0 : 10000000.0;
  if (std::floor(a) >= wideLimit) {
    writeWideInteger(a, negative, text);
    return;
  }

  char scratch[kPositions + 2];
  char* p = scratch + sizeof scratch;
  *--p = '\0';
  *--p = '.';
  double integer = std::floor(a);
  *--p = digitOf(integer);
  int k = firstDigitPositions;
  integer = integer / 10.0;
  while (integer >= 1.0 && k < kPositions) {
    *--p = digitOf(integer);
    ++k;
    integer = integer / 10.0;
  }
  if (negative) {
    *--p = '-';
  }
  std::strcpy(text, p);
  if (k >= kPositions) {
    return;
  }

  // The fraction fills the remaining positions, built from the right.
  const int n = kPositions - k;
  double m = powerBySquaring(10.0, n) * std::fmod(a, 1.0);
  char fraction[kPositions + 1];
  char* q = fraction + n;
  *q = '\0';
  while (q != fraction) {
    if (m <= 0.0) {
      *--q = '0';
    } else {
      *--q = digitOf(m);
      m = m / 10.0;
    }
  }
  std::strcat(text, fraction);

  cutAfterDecimals(text, decimals);
}
