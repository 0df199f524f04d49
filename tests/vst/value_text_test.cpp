#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tests/vst/probe_effect.h"
#include "vst/text_bounds.h"

namespace {

std::string FloatText(float value, VstInt32 maxLen = 8) {
  ProbeEffect probe;
  char text[32];
  std::memset(text, '#', sizeof text);
  probe.float2string(value, text, maxLen);
  return text;
}

std::string IntText(VstInt32 value, VstInt32 maxLen = 8) {
  ProbeEffect probe;
  char text[32];
  std::memset(text, '#', sizeof text);
  probe.int2string(value, text, maxLen);
  return text;
}

TEST(Float2String, EightCharactersOfDecimalText) {
  EXPECT_EQ(FloatText(0.0f), "0.000000");
  EXPECT_EQ(FloatText(1.5f), "1.500000");
  EXPECT_EQ(FloatText(-1.5f), "-1.50000");
  EXPECT_EQ(FloatText(0.7f), "0.700000");        // rounded, not 0.699999
  EXPECT_EQ(FloatText(-9.999999f), "-10.0000");  // rounding carries into a new digit
  EXPECT_EQ(FloatText(1234.5678f), "1234.568");
  EXPECT_EQ(FloatText(1234567.0f), "1234567.");
  EXPECT_EQ(FloatText(12345678.0f), "12345678");  // no room for the point: all digits kept
  EXPECT_EQ(FloatText(-9999999.0f), "-9999999");
}

TEST(Float2String, OutOfRangeAndCut) {
  EXPECT_EQ(FloatText(100000000.0f), "Huge!");
  EXPECT_EQ(FloatText(-10000000.0f), "Huge!");
  EXPECT_EQ(FloatText(std::numeric_limits<float>::infinity()), "Huge!");
  EXPECT_EQ(FloatText(std::nanf("")), "NaN");
  EXPECT_EQ(FloatText(1.5f, 3), "1.5");
  EXPECT_EQ(FloatText(1.5f, 0), "");
}

TEST(Int2String, DigitsSignAndRange) {
  EXPECT_EQ(IntText(0), "0");
  EXPECT_EQ(IntText(1000), "1000");
  EXPECT_EQ(IntText(-45), "-45");
  EXPECT_EQ(IntText(99999999), "99999999");
  EXPECT_EQ(IntText(100000000), "Huge!");
  EXPECT_EQ(IntText(-100000000), "Huge!");  // not the digits with the top one lost
  EXPECT_EQ(IntText(std::numeric_limits<VstInt32>::min()), "Huge!");
  EXPECT_EQ(IntText(123456, 2), "12");
}

TEST(UnitTexts, DecibelsHertzAndMilliseconds) {
  ProbeEffect probe;
  char text[16];
  probe.dB2string(1.0f, text, 8);
  EXPECT_STREQ(text, "0.000000");
  probe.dB2string(10.0f, text, 8);
  EXPECT_STREQ(text, "20.00000");
  probe.dB2string(0.0f, text, 8);
  EXPECT_STREQ(text, "-oo");
  probe.Hz2string(441.0f, text, 8);
  EXPECT_STREQ(text, "100.0000");
  probe.Hz2string(0.0f, text, 8);
  EXPECT_STREQ(text, "0.000000");
  probe.ms2string(44100.0f, text, 8);
  EXPECT_STREQ(text, "1000.000");
  probe.int2string(5, nullptr, 8);  // null text: nothing written, no crash
}

TEST(CopyBounded, CutsAndTerminates) {
  char buffer[8];
  EXPECT_EQ(CopyBounded(buffer, "abcdefghij", sizeof buffer), 7u);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_EQ(CopyBounded(buffer, nullptr, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  buffer[0] = 'z';
  EXPECT_EQ(CopyBounded(buffer, "abc", 0), 0u);
  EXPECT_EQ(buffer[0], 'z');
  EXPECT_EQ(CopyBounded(nullptr, "abc", 8), 0u);
  CopyBounded(buffer, "abc", sizeof buffer);
  EXPECT_EQ(AppendBounded(buffer, "defgh", sizeof buffer), 7u);
  EXPECT_STREQ(buffer, "abcdefg");
}

}  // namespace
