// Software breakpoints: enabling plants the driver's breakpoint instruction,
// disabling puts back what it replaced.
#include "BreakpointTestSupport.h"

using namespace tvk;
namespace bp_test {

namespace {

constexpr long long kAddr = 0x20000100;

class SoftBreakpoint : public DispatcherFixture {
protected:
  void SetUp() override {
    DispatcherFixture::SetUp();
    driver.Fill(kAddr, {0x70, 0x47});  // bx lr
    ASSERT_EQ(S_OK, Invoke(B(), id::SetAddress, {I8(kAddr)}));
  }
  RecordingDriver driver;
  ComRef<TSoftBreakpoint> bp{New<TSoftBreakpoint>(&driver)};
  IDispatch* B() { return static_cast<IDispatch*>(bp.Get()); }
};

TEST_F(SoftBreakpoint, EnableAndDisableGoThroughTheDriverInsideTheChannel) {
  ASSERT_EQ(S_OK, Invoke(B(), id::SetMemorySpace, {I4(0)}));
  EXPECT_TRUE(AskBool(B(), id::Enable));
  EXPECT_EQ((std::vector<DriverCall>{{"OpenChannel", {}}, {"AddSoftBreakpoint", {0, kAddr}}, {"CloseChannel", {}}}),
            driver.Calls);
  EXPECT_EQ(0x4770, AskInt(B(), id::GetReplaced));
  EXPECT_EQ(RecordingDriver::kBkpt, driver.Half(kAddr));
  EXPECT_TRUE(bp->Enabled());

  driver.Calls.clear();
  EXPECT_TRUE(AskBool(B(), id::Disable));
  EXPECT_EQ((std::vector<DriverCall>{
                {"OpenChannel", {}}, {"RemoveSoftBreakpoint", {0, kAddr, 0x4770}}, {"CloseChannel", {}}}),
            driver.Calls);
  EXPECT_EQ(0x4770u, driver.Half(kAddr));
  EXPECT_FALSE(bp->Enabled());
}

TEST_F(SoftBreakpoint, ASecondEnableKeepsTheFirstReplacedInstruction) {
  EXPECT_TRUE(AskBool(B(), id::Enable));
  EXPECT_TRUE(AskBool(B(), id::Enable));
  EXPECT_EQ(2u, driver.CallsOf("AddSoftBreakpoint").size()) << "the driver is asked again";
  EXPECT_EQ(0x4770, AskInt(B(), id::GetReplaced));
  EXPECT_TRUE(AskBool(B(), id::Disable));
  EXPECT_EQ(0x4770u, driver.Half(kAddr)) << "the original instruction is back, not the breakpoint";
  // Once disabled, the next Enable replaces afresh.
  driver.Fill(kAddr, {0x00, 0xBF});  // nop
  EXPECT_TRUE(AskBool(B(), id::Enable));
  EXPECT_EQ(0xBF00, AskInt(B(), id::GetReplaced));
}

TEST_F(SoftBreakpoint, DisableWithoutEnableCallsNothing) {
  driver.Calls.clear();
  EXPECT_FALSE(AskBool(B(), id::Disable));
  EXPECT_TRUE(driver.Calls.empty());

  // A disable the driver did not manage still leaves the breakpoint disabled.
  EXPECT_TRUE(AskBool(B(), id::Enable));
  driver.RemoveAnswer = false;
  EXPECT_FALSE(AskBool(B(), id::Disable));
  driver.Calls.clear();
  EXPECT_FALSE(AskBool(B(), id::Disable));
  EXPECT_TRUE(driver.Calls.empty());
}

TEST_F(SoftBreakpoint, WithoutADriverNothingIsTouched) {
  ComRef<TSoftBreakpoint> orphan(New<TSoftBreakpoint>(nullptr, 1, kAddr));
  IDispatch* o = static_cast<IDispatch*>(orphan.Get());
  EXPECT_FALSE(AskBool(o, id::Enable));
  EXPECT_FALSE(AskBool(o, id::Disable));
  EXPECT_EQ(nullptr, AskObject(o, id::GetTovikDevice));
  EXPECT_EQ(1, AskInt(o, id::GetMemorySpace));
  EXPECT_EQ(kAddr, AskInt64(o, id::GetAddress));
}

TEST_F(SoftBreakpoint, ValuesAndTheDevice) {
  Fake device = MakeFake();
  driver.Device = ITovikDevice(AsDispatch(device));
  EXPECT_EQ(AsDispatch(device), AskObject(B(), id::GetTovikDevice));
  ASSERT_EQ(S_OK, Invoke(B(), id::SetReplaced, {I4(0x1234)}));
  EXPECT_EQ(0x1234, AskInt(B(), id::GetReplaced));
  // Reset, import and export do nothing.
  driver.Calls.clear();
  for (DISPID nothing : {id::Reset, DISPID(503448), DISPID(503449)}) EXPECT_EQ(S_OK, Invoke(B(), nothing));
  EXPECT_TRUE(driver.Calls.empty());
  EXPECT_EQ(kAddr, AskInt64(B(), id::GetAddress));
  EXPECT_EQ(0x1234, AskInt(B(), id::GetReplaced));
}

TEST_F(SoftBreakpoint, ADriverErrorFailsTheOperationAndClosesTheChannel) {
  driver.FailOn = "AddSoftBreakpoint";
  Variant r;
  *r.Ptr() = I4(4);
  EXPECT_EQ(kE_UNEXPECTED, Invoke(B(), id::Enable, {}, &r));
  EXPECT_EQ(VT_I4, r.Type());
  EXPECT_EQ("CloseChannel", driver.Calls.back().Op);
  EXPECT_FALSE(bp->Enabled());
}

}  // namespace

}  // namespace bp_test
