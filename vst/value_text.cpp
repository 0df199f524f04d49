#include "vst/value_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "vst/text_bounds.h"

namespace {

constexpr int kFloatTextChars = 8;
constexpr const char* kTooLarge = "Huge!";

void WriteCut(const char* source, char* text, VstInt32 maxLen) {
  if (text == nullptr || maxLen < 0) return;
  CopyBounded(text, source, static_cast<std::size_t>(maxLen) + 1);
}

int DecimalDigits(std::uint64_t n) {
  int digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

// Writes n with at least minDigits digits (leading zeros) at out and
// answers the position after them.
char* PutDigits(char* out, std::uint64_t n, int minDigits) {
  const int digits = std::max(DecimalDigits(n), minDigits);
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  return out + digits;
}

}  // namespace

void FloatToText(float value, char* text, VstInt32 maxLen) {
  const double v = value;
  if (std::isnan(v)) return WriteCut("NaN", text, maxLen);
  const bool negative = v < 0.0;
  const double magnitude = std::fabs(v);
  if (magnitude > (negative ? 9999999.0 : 99999999.0)) return WriteCut(kTooLarge, text, maxLen);

  const int signChars = negative ? 1 : 0;
  char out[24];
  char* end = out;
  if (negative) *end++ = '-';
  // Digits of the integer part before rounding; one more when rounding the
  // fraction carries into a new integer digit (9.9999999 -> "10.00000").
  int integerDigits = DecimalDigits(static_cast<std::uint64_t>(magnitude));
  for (;;) {
    const int fractionDigits = kFloatTextChars - signChars - integerDigits - 1;  // 1 for the point
    if (fractionDigits < 0) {
      // The integer digits fill the text on their own: no point.
      const auto rounded = static_cast<std::uint64_t>(std::llround(magnitude));
      if (DecimalDigits(rounded) > kFloatTextChars - signChars) return WriteCut(kTooLarge, text, maxLen);
      end = PutDigits(end, rounded, 1);
      break;
    }
    std::uint64_t scale = 1;
    for (int i = 0; i < fractionDigits; ++i) scale *= 10;
    const auto scaled = static_cast<std::uint64_t>(std::llround(magnitude * static_cast<double>(scale)));
    if (DecimalDigits(scaled / scale) > integerDigits) {
      ++integerDigits;
      continue;
    }
    end = PutDigits(end, scaled / scale, 1);
    *end++ = '.';
    if (fractionDigits > 0) end = PutDigits(end, scaled % scale, fractionDigits);
    break;
  }
  *end = '\0';
  WriteCut(out, text, maxLen);
}

void IntToText(VstInt32 value, char* text, VstInt32 maxLen) {
  const std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  if (magnitude >= 100000000) return WriteCut(kTooLarge, text, maxLen);
  char out[16];
  char* end = out;
  if (value < 0) *end++ = '-';
  end = PutDigits(end, static_cast<std::uint64_t>(magnitude), 1);
  *end = '\0';
  WriteCut(out, text, maxLen);
}
