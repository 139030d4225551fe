// The readouts' value-to-text converters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "controls/value_converters.h"

namespace {

using Converter = void (*)(float, char*);

struct Case {
  float value;
  const char* text;
};

std::string convert(Converter converter, float value) {
  // A buffer that held something else before: no converter may depend on it.
  char text[kConverterTextBytes + 16];
  std::memset(text, '#', sizeof text);
  text[sizeof text - 1] = '\0';
  converter(value, text);
  EXPECT_NE(std::memchr(text, '\0', kConverterTextBytes), nullptr) << "text within the buffer";
  EXPECT_EQ(text[kConverterTextBytes], '#') << "nothing written beyond the buffer";
  return text;
}

void expectTexts(Converter converter, std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(convert(converter, c.value), c.text) << c.value;
}

TEST(ValueConverters, Percent) {
  expectTexts(percentStringConvert, {{0.5f, "50%"},
                                     {0.123f, "12.3%"},
                                     {0.05f, "5.0%"},
                                     {1.0f, "100%"},
                                     {0.125f, "12.5%"},
                                     {0.2f, "20%"},
                                     {0.199f, "19.9%"},
                                     {0.0f, "0.0%"}});
}

TEST(ValueConverters, Decibels) {
  expectTexts(dBStringConvert, {{1.0f, "0.0dB"},
                                {0.5f, "-6.0dB"},
                                {0.95f, "-0.4dB"},
                                {4.0f, "12.0dB"},
                                {0.0f, "-oo dB"},
                                {0.00000001f, "-oo dB"},
                                {-1.0f, "-oo dB"},
                                // -3.46 dB: the decimal is cut, not rounded.
                                {static_cast<float>(std::pow(10.0, -3.46 / 20)), "-3.4dB"},
                                // Between -1 and 0 dB the sign is written apart.
                                {0.9f, "-0.9dB"},
                                {0.001f, "-60.0dB"},
                                {2.0f, "6.0dB"}});
}

TEST(ValueConverters, DecibelsFullScale) {
  expectTexts(dBFSStringConvert, {{0.5f, "-6.0dBFS"},
                                  {0.25f, "-12.0dBFS"},
                                  {1.0f, "0.0dBFS"},
                                  {2.0f, "6.0dBFS"},
                                  {0.9f, "-0.9dBFS"},
                                  {0.0f, "-oo dBFS"},
                                  {0.00000001f, "-oo dBFS"}});
}

TEST(ValueConverters, Integer) {
  expectTexts(intStringConvert,
              {{2.0f, "2"}, {2.99f, "2"}, {-2.99f, "-2"}, {0.0f, "0"}, {16000.0f, "16000"}});
}

TEST(ValueConverters, Ratio) {
  expectTexts(ratioStringConvert,
              {{1.25f, "x1.25"}, {0.0625f, "x0.06"}, {16.0f, "x16.00"}, {0.25f, "x0.25"}});
}

TEST(ValueConverters, Samples) {
  expectTexts(samplesStringConvert,
              {{513.0f, "513smps"}, {0.7f, "0smps"}, {1.0f, "1smps"}, {639.9f, "639smps"}, {-5.0f, "0smps"}});
}

TEST(ValueConverters, Milliseconds) {
  expectTexts(msStringConvert, {{0.00005f, "0ms"},
                                {0.5f, "0.500ms"},
                                {11.6f, "11.6ms"},
                                {300.0f, "300ms"},
                                {1500.0f, "1.500s"},
                                {0.0001f, "0ms"},
                                {0.00011f, "0.000ms"},
                                {9.996f, "10.00ms"},
                                {5.8f, "5.80ms"},
                                {999.4f, "999ms"},
                                {1000.0f, "1.000s"},
                                {3000.0f, "3.000s"}});
}

// Whatever the value, every converter writes a short text within its buffer.
TEST(ValueConverters, AnyValueGivesATextWithinTheBuffer) {
  const Converter converters[] = {percentStringConvert, dBStringConvert,    dBFSStringConvert,
                                  intStringConvert,     ratioStringConvert, samplesStringConvert,
                                  msStringConvert};
  const float values[] = {NAN, INFINITY, -INFINITY, 3e38f, -3e38f, 1e-30f, -1e-30f, 2147483648.0f};
  for (Converter converter : converters)
    for (float value : values) EXPECT_LT(convert(converter, value).size(), kConverterTextBytes) << value;
}

}  // namespace
