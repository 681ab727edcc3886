#pragma once
// Number helpers with the class library's rules: rounding half to even that
// raises instead of wrapping, and a seedable pseudo-random generator whose
// sequence is the same on every machine (tests and pictures repeat exactly).
#include "Exception.h"

#include <cstdint>

namespace tvk {

// Raised for NaN, infinities and results outside the integer range.
class EInvalidOp : public Exception {
public:
  using Exception::Exception;
};

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t Round(double value);
// Round narrowed to int; raises EInvalidOp when the result does not fit.
int RoundToInt(double value);

// The generator's state: the same seed gives the same sequence.
std::uint32_t RandSeed();
void SetRandSeed(std::uint32_t seed);
// Seeds from the clock.
void Randomize();
// A number in [0, 1).
double Random();
// An integer in [0, range); 0 for a range of 0 or less.
int Random(int range);

}  // namespace tvk
