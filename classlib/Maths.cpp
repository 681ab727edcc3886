#include "Maths.h"

#include <windows.h>

#include <cmath>
#include <limits>

namespace tvk {

namespace {

std::uint32_t gRandSeed = 0;

// One step of the linear congruential generator.
std::uint32_t NextRandom() {
  gRandSeed = gRandSeed * 0x08088405u + 1u;
  return gRandSeed;
}

}  // namespace

std::int64_t Round(double value) {
  // 2^63 is exactly representable; anything at or beyond it cannot be an int64.
  constexpr double kLimit = 9223372036854775808.0;
  if (std::isnan(value) || value >= kLimit || value < -kLimit)
    throw EInvalidOp(L"Invalid floating point operation");
  double whole = std::floor(value);
  double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole >= kLimit) throw EInvalidOp(L"Invalid floating point operation");
  return static_cast<std::int64_t>(whole);
}

int RoundToInt(double value) {
  std::int64_t r = Round(value);
  if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
    throw EInvalidOp(L"Invalid floating point operation");
  return static_cast<int>(r);
}

std::uint32_t RandSeed() { return gRandSeed; }
void SetRandSeed(std::uint32_t seed) { gRandSeed = seed; }

void Randomize() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  gRandSeed = static_cast<std::uint32_t>(counter.QuadPart);
}

double Random() { return double(NextRandom()) / 4294967296.0; }

int Random(int range) {
  if (range <= 0) return 0;
  return static_cast<int>((std::uint64_t(NextRandom()) * std::uint64_t(range)) >> 32);
}

}  // namespace tvk
