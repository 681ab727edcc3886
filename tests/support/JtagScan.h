#pragma once
// JTAG scans as the simulated host's channel sees them: data-register bit
// strings (most significant bit first) and the call shape of a bare
// instruction scan.
#include "SimHost.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

// Value as a string of Bits characters '0'/'1', the most significant first.
inline std::wstring Binary(std::uint64_t value, unsigned bits) {
  std::wstring s(bits, L'0');
  for (unsigned k = 0; k < bits; ++k) s[bits - 1 - k] = (value >> k) & 1 ? L'1' : L'0';
  return s;
}

// The Count characters of S from First read as a number, the first the most significant.
inline std::uint64_t ParseBinary(const std::wstring& s, std::size_t first, std::size_t count) {
  std::uint64_t v = 0;
  for (std::size_t k = 0; k < count; ++k) v = (v << 1) | (s.at(first + k) == L'1');
  return v;
}

// The three channel calls at Calls are a bare instruction scan of Instruction
// at chain position Index: Run-Test/Idle to Shift-IR, LoadIR, Exit1-IR back
// to Run-Test/Idle.
inline void ExpectInstructionScan(const hostsim::LoggedCall* calls, long instruction, long index) {
  using namespace hostsim;
  EXPECT_EQ(disp::JTagChannel_MoveTAPState, calls[0].Id);
  EXPECT_EQ(2, calls[0].Int(0));
  EXPECT_EQ(12, calls[0].Int(1));
  EXPECT_EQ(disp::JTagChannel_LoadIR, calls[1].Id);
  EXPECT_EQ(instruction, calls[1].Int(0));
  EXPECT_EQ(index, calls[1].Int(1));
  EXPECT_EQ(disp::JTagChannel_MoveTAPState, calls[2].Id);
  EXPECT_EQ(13, calls[2].Int(0));
  EXPECT_EQ(2, calls[2].Int(1));
}

}  // namespace testsupport
