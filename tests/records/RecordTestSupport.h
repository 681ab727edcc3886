#pragma once
// Shared pieces of the record tests: fake host objects owned by the test, and
// an argument block builder for calls made straight to the dispatcher.
#include "FakeHostObject.h"
#include "ZUL.DispatchFix.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tvk_test {

using hostsim::FakeHostObject;
using testsupport::AsDispatch;
using testsupport::Fake;
using testsupport::MakeFake;

inline std::wstring BstrText(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

// The packed argument block of one call, in declared order.
class ArgBlock {
public:
  template <class T>
  ArgBlock& Add(const T& value) {
    const std::size_t at = FBytes.size();
    FBytes.resize(at + sizeof value);
    std::memcpy(FBytes.data() + at, &value, sizeof value);
    return *this;
  }
  const uint8_t* Data() const { return FBytes.empty() ? nullptr : FBytes.data(); }

private:
  std::vector<uint8_t> FBytes;
};

// Calls the dispatcher directly with a descriptor.
template <std::size_t M>
tvk::TDispReturn Dispatch(const Fake& target, const std::array<uint8_t, M>& desc, const ArgBlock& args = {},
                          void* result = nullptr) {
  return tvk::FixedDispCallByID(result, AsDispatch(target), desc.data(), args.Data());
}

}  // namespace tvk_test
