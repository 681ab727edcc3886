// The host object's call log: an object argument is kept by identity only,
// so the log never counts it nor touches it after its owner freed it.
#include "FakeHostObject.h"

#include <gtest/gtest.h>

namespace simtest {

HRESULT InvokeWithObject(hostsim::FakeHostObject& host, IDispatch* object) {
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_DISPATCH;
  arg.pdispVal = object;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  return host.Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

TEST(CallLog, AnObjectArgumentIsItsIdentityAndOutlivesTheObjectUntouched) {
  auto* host = new hostsim::FakeHostObject;
  host->Accept(1);
  auto* argument = new hostsim::FakeHostObject;
  ASSERT_EQ(S_OK, InvokeWithObject(*host, argument));
  EXPECT_EQ(0, argument->AddRefs());
  EXPECT_EQ(1, argument->RefCount());
  ASSERT_EQ(1u, host->Calls().size());
  EXPECT_EQ(VT_DISPATCH, host->Calls()[0].Type(0));
  EXPECT_EQ(static_cast<IDispatch*>(argument), host->Calls()[0].Args[0].pdispVal);
  EXPECT_EQ(static_cast<IDispatch*>(argument), host->Calls()[0].Values[0].pdispVal);

  // The owner lets the object go (torn down: any later call is counted);
  // the log grows (its calls copied), is copied and goes, all without a call.
  argument->TearDown();
  const std::size_t faults = hostsim::FakeHostObject::CallsAfterTearDown();
  for (int k = 0; k < 64; ++k) ASSERT_EQ(S_OK, InvokeWithObject(*host, nullptr));
  {
    const std::vector<hostsim::LoggedCall> copy = host->Calls();
    EXPECT_EQ(static_cast<IDispatch*>(argument), copy[0].Args[0].pdispVal);
  }
  host->ClearCalls();
  host->Release();
  EXPECT_EQ(faults, hostsim::FakeHostObject::CallsAfterTearDown());
  delete argument;  // torn down: its count no longer frees it
}

}  // namespace simtest
