// The attenuation table behind MapVolume and MapPan: entry i is
// 1000 * log2(i / 16384) hundredths of a decibel, truncated toward zero and
// limited below at -10000 (entry 0 is -10000), so each halving of the index
// costs 10 dB. Computed by the compiler: the program carries it as constant data.
#include <array>

#include "sound/zq_sound.h"

namespace {

constexpr int kTableSize = 16384;

// ln(x) for x in [1, 2): 2 * atanh((x - 1) / (x + 1)) as a series that converges
// to full double precision within twenty terms; ln(1) is exactly 0, so the
// powers of two come out exact.
constexpr double LnOfMantissa(double x) {
  const double y = (x - 1.0) / (x + 1.0);
  const double ySquared = y * y;
  double term = y, sum = 0.0;
  for (int k = 1; k < 80; k += 2) {
    const double next = sum + term / k;
    if (next == sum) break;
    sum = next;
    term *= ySquared;
  }
  return 2.0 * sum;
}

constexpr double kLn2 = 0.693147180559945309417232121458176568;

// log2(i) for i >= 1: whole part by halving, the rest from the series.
constexpr double Log2(int i) {
  int whole = 0;
  double mantissa = i;
  while (mantissa >= 2.0) {
    mantissa /= 2.0;
    ++whole;
  }
  return whole + LnOfMantissa(mantissa) / kLn2;
}

constexpr std::array<int16_t, kTableSize> MakeVolumeTable() {
  std::array<int16_t, kTableSize> table{};
  table[0] = -10000;
  for (int i = 1; i < kTableSize; ++i) {
    const double hundredths = 1000.0 * (Log2(i) - 14.0);
    const int truncated = static_cast<int>(hundredths);  // toward zero
    table[i] = static_cast<int16_t>(truncated < -10000 ? -10000 : truncated);
  }
  return table;
}

}  // namespace

// Constant-initialised: the table lies in read-only data, ready before any code runs.
constinit const std::array<int16_t, 16384> g_VolumeTable = MakeVolumeTable();
