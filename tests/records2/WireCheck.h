#pragma once
// Spot checks of the host-interface records: fake host objects, and what one
// of them received, call by call and argument by argument in host order.
#include "FakeHostObject.h"
#include "ZUL.DispatchFix.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace records2_test {

using hostsim::FakeHostObject;
using testsupport::AsDispatch;
using testsupport::Fake;
using testsupport::MakeFake;

// One argument as the host must receive it.
struct Arg {
  VARTYPE Type = VT_EMPTY;
  long long Value = 0;          // VT_I4, VT_I8, VT_BOOL (-1 or 0)
  std::wstring Text;            // VT_BSTR
  IDispatch* Object = nullptr;  // VT_DISPATCH
};

inline Arg MakeArg(VARTYPE type, long long value = 0, std::wstring text = {}, IDispatch* object = nullptr) {
  Arg a;
  a.Type = type;
  a.Value = value;
  a.Text = std::move(text);
  a.Object = object;
  return a;
}
inline Arg I4(long long v) { return MakeArg(VT_I4, v); }
inline Arg I8(long long v) { return MakeArg(VT_I8, v); }
inline Arg Bool(bool v) { return MakeArg(VT_BOOL, v ? -1 : 0); }
inline Arg Str(std::wstring s) { return MakeArg(VT_BSTR, 0, std::move(s)); }
inline Arg Obj(IDispatch* p) { return MakeArg(VT_DISPATCH, 0, {}, p); }
// A by-reference argument: only its kind is checked here (the referent is
// the caller's and is gone after the call).
inline Arg Ref(VARTYPE t) { return MakeArg(VARTYPE(t | VT_BYREF)); }

struct Call {
  DISPID Id;
  std::vector<Arg> Args;
};

inline void ExpectArg(const Arg& want, const VARIANT& got, const std::string& where) {
  ASSERT_EQ(want.Type, got.vt) << where;
  switch (want.Type) {
    case VT_I4: EXPECT_EQ(want.Value, got.lVal) << where; break;
    case VT_I8: EXPECT_EQ(want.Value, got.llVal) << where; break;
    case VT_BOOL: EXPECT_EQ(want.Value, got.boolVal) << where; break;
    case VT_BSTR:
      EXPECT_EQ(want.Text, got.bstrVal ? std::wstring(got.bstrVal, SysStringLen(got.bstrVal)) : std::wstring())
          << where;
      break;
    case VT_DISPATCH: EXPECT_EQ(want.Object, got.pdispVal) << where; break;
    default: break;
  }
}

// The calls Host received since its log was last cleared, exactly these.
inline void ExpectCalls(const std::vector<Call>& want, const Fake& host) {
  const auto& got = host->Calls();
  ASSERT_EQ(want.size(), got.size()) << "number of calls";
  for (std::size_t i = 0; i < want.size(); ++i) {
    const std::string call = "call " + std::to_string(i);
    EXPECT_EQ(want[i].Id, got[i].Id) << call;
    ASSERT_EQ(want[i].Args.size(), got[i].Args.size()) << call;
    for (std::size_t k = 0; k < want[i].Args.size(); ++k)
      ExpectArg(want[i].Args[k], got[i].Args[k], call + " argument " + std::to_string(k + 1));
  }
}

// Record calls go through the late-bound call entry the module's start-up
// installs.
class RecordFamily : public ::testing::Test {
protected:
  void SetUp() override { tvk::DispatchFixStartup(); }
};

}  // namespace records2_test
