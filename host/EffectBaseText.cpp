// Value-to-text helpers of the shell: fixed-width texts of at most 8 characters plus the
// terminating zero, digits taken by truncation, never by rounding. A value that cannot be shown
// in 8 characters (or is not a number) reads " Huge!  ".
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/EffectBase.h"

namespace {

constexpr char kHugeText[] = " Huge!  ";
constexpr char kMinusInfinityText[] = "  -oo   ";
constexpr int kBudget = 8;  // characters of every text, without the terminating zero

void copyText(char* text, const char* source) {
  std::memcpy(text, source, std::strlen(source) + 1);
}

char digitOf(double value) {
  return static_cast<char>('0' + static_cast<int>(std::fmod(value, 10.0)));
}

// Number of decimal digits of the integer part of v (v >= 0, finite): at least 1.
int integerDigitCount(double v) {
  int count = 1;
  for (double integ = std::floor(v) / 10.0; integ >= 1.0; integ /= 10.0) ++count;
  return count;
}

}  // namespace

void EffectBase::formatDecibels(float value, char* text) {
  if (!text) return;
  if (value <= 0.0f) {
    copyText(text, kMinusInfinityText);
    return;
  }
  formatFloat(20.0f * std::log10(value), text);
}

void EffectBase::formatHertz(float samples, char* text) {
  if (!text) return;
  if (samples == 0.0f) {
    formatFloat(0.0f, text);
    return;
  }
  formatFloat(getSampleRate() / samples, text);
}

void EffectBase::formatMilliseconds(float samples, char* text) {
  if (!text) return;
  formatFloat(samples * 1000.0f / getSampleRate(), text);
}

void EffectBase::formatFloat(float value, char* text) {
  if (!text) return;
  double v = value;
  const bool negative = v < 0.0;
  int used = negative ? 1 : 0;
  const double limit = negative ? 9999999.0 : 99999999.0;
  if (negative) v = -v;
  if (!(v <= limit)) {  // also NaN
    copyText(text, kHugeText);
    return;
  }

  // Integer digits right to left in a scratch buffer that ends with the decimal point. When the
  // digits and the point do not fit the budget, all digits are shown without the point.
  const bool withPoint = used + integerDigitCount(v) + 1 <= kBudget;
  char scratch[kBudget + 2];
  int start = kBudget + 1;
  scratch[start] = '\0';
  if (withPoint) scratch[--start] = '.';
  double integ = std::floor(v);
  scratch[--start] = digitOf(integ);
  integ /= 10.0;
  used += 2;
  while (integ >= 1.0 && (used < kBudget || !withPoint) && start > 0) {
    scratch[--start] = digitOf(integ);
    integ /= 10.0;
    ++used;
  }
  if (negative) scratch[--start] = '-';
  copyText(text, scratch + start);
  if (used >= kBudget || !withPoint) return;

  // Fraction digits fill the rest of the budget, right to left.
  const int count = kBudget - used;
  double mantissa = std::fmod(v, 1.0) * std::pow(10.0, count);
  char* fraction = text + std::strlen(text);
  for (int k = count - 1; k >= 0; --k) {
    if (mantissa <= 0.0) {
      fraction[k] = '0';
    } else {
      fraction[k] = digitOf(mantissa);
      mantissa /= 10.0;
    }
  }
  fraction[count] = '\0';
}

void EffectBase::formatInteger(VstInt32 value, char* text) {
  if (!text) return;
  if (value >= 100000000) {
    copyText(text, kHugeText);
    return;
  }
  char wide[16];
  std::snprintf(wide, sizeof wide, "%7d", value);
  wide[kBudget] = '\0';
  copyText(text, wide);
}
