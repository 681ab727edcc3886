// The framework's generic register access over the host's JTAG channel: the
// exact scans of a read and a write at the driver's chain position, the width
// of wide values, and indices that have no select code.
#include "FrameworkTest.h"

#include "support/HostCall.h"

using namespace tvk;
namespace framework_test {
using namespace testsupport;

namespace {

constexpr DISPID kSetValue = 503766, kGetValue = 503767, kSetWide = 503807, kGetWide = 503808;

// A driver with this module's register count (30); every register Width bits wide.
class TRegisterDriver : public TTovikDriver {
public:
  TRegisterDriver() : TTovikDriver(L".EDN") {}
  HRESULT GetProcessorRegisterCount(int32_t& Result) override {
    Result = 30;
    return S_OK;
  }
  HRESULT GetProcessorRegisterWidth(int32_t, uint32_t& Result) override {
    Result = Width;
    return S_OK;
  }
  uint32_t Width = 32;
};

// The scans around the data scan: select the register, then its data.
std::vector<std::wstring> Scans(const wchar_t* selectCode, const std::wstring& data) {
  return {L"ShiftIR(3,1)",     L"MoveTAPState(2,5)", std::wstring(L"SendDR(") + selectCode + L",8,1)",
          L"MoveTAPState(6,2)", L"ShiftIR(4,1)",      L"MoveTAPState(2,5)",
          data,                L"MoveTAPState(6,2)"};
}

class RegisterAccess : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    Driver = MakeDriver<TRegisterDriver>();
    Lend(*Driver);
  }
  DriverPtr<TRegisterDriver> Driver;
};

TEST_F(RegisterAccess, ReadAndWriteScanAtTheChainPosition) {
  struct Case {
    DISPID Id;
    long Index;
    long Value;  // for writes
    const wchar_t* SelectCode;
    const wchar_t* Data;
  };
  const Case cases[] = {
      {kGetValue, 0, 0, L"0x01", L"ExchangeDR(0x00,32,1)"},
      {kGetValue, 5, 0, L"0x20", L"ExchangeDR(0x00,32,1)"},
      {kSetValue, 1, 0x1234, L"0x82", L"ExchangeDR(0x1234,32,1)"},
      {kSetValue, 6, 7, L"0xC0", L"ExchangeDR(0x07,32,1)"},
      // Register 7's code is 0x90, so its read and write select alike.
      {kGetValue, 7, 0, L"0x90", L"ExchangeDR(0x00,32,1)"},
      {kSetValue, 7, 1, L"0x90", L"ExchangeDR(0x01,32,1)"},
  };
  for (const Case& c : cases) {
    ClearLogs();
    auto call = c.Id == kGetValue ? Call(Driver.get(), c.Id, {I4(c.Index)})
                                  : Call(Driver.get(), c.Id, {I4(c.Index), I4(c.Value)});
    EXPECT_EQ(S_OK, call.Hr) << c.Index;
    if (c.Id == kSetValue) {
      EXPECT_EQ(VARIANT_TRUE, call.Result.Ptr()->boolVal) << c.Index;
    }
    EXPECT_EQ(Scans(c.SelectCode, c.Data), Calls()) << c.Index;
  }
  EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
}

TEST_F(RegisterAccess, WideValuesAreCutOrPaddedToTheRegisterWidth) {
  Driver->Width = 6;
  struct Case {
    const wchar_t* Value;
    const wchar_t* Shifted;
  };
  const Case cases[] = {
      {L"1110101", L"110101"},  // the last six characters
      {L"11", L"000011"},
      {L"", L"000000"},
  };
  for (const Case& c : cases) {
    ClearLogs();
    auto call = Call(Driver.get(), kSetWide, {I4(3), Str(c.Value)});
    EXPECT_EQ(S_OK, call.Hr);
    EXPECT_EQ(VARIANT_TRUE, call.Result.Ptr()->boolVal);
    EXPECT_EQ(Scans(L"0x88", std::wstring(L"ShiftDRString(") + c.Shifted + L",1)"), Calls()) << c.Value;
  }
  ClearLogs();
  auto read = Call(Driver.get(), kGetWide, {I4(3)});
  EXPECT_EQ(S_OK, read.Hr);
  EXPECT_EQ(6u, read.Text().size());
  EXPECT_EQ(Scans(L"0x08", L"ShiftDRString(000000,1)"), Calls());
  EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
}

// Indices past the select-code table used to read past it: they are out of
// range like negative ones, whatever the register count.
TEST_F(RegisterAccess, IndicesWithoutASelectCodeReachNoChannel) {
  for (long index : {-1L, 8L, 9L, 29L, 30L}) {
    ClearLogs();
    auto value = Call(Driver.get(), kGetValue, {I4(index)});
    EXPECT_EQ(S_OK, value.Hr);
    EXPECT_EQ(0, value.Int()) << index;
    auto wide = Call(Driver.get(), kGetWide, {I4(index)});
    EXPECT_EQ(S_OK, wide.Hr);
    EXPECT_EQ(L"0", wide.Text()) << index;
    auto set = Call(Driver.get(), kSetValue, {I4(index), I4(1)});
    EXPECT_EQ(S_OK, set.Hr);
    EXPECT_EQ(VARIANT_FALSE, set.Result.Ptr()->boolVal) << index;
    auto setWide = Call(Driver.get(), kSetWide, {I4(index), Str(L"1")});
    EXPECT_EQ(S_OK, setWide.Hr);
    EXPECT_EQ(VARIANT_FALSE, setWide.Result.Ptr()->boolVal) << index;
    EXPECT_EQ(0u, HostCallCount()) << index;
  }
}

TEST_F(RegisterAccess, WithoutRegistersOrDeviceNothingIsScanned) {
  auto generic = MakeGenericDriver();  // register count 0
  Lend(*generic);
  EXPECT_EQ(0, Call(generic.get(), kGetValue, {I4(0)}).Int());
  EXPECT_EQ(0u, HostCallCount());

  auto unlent = MakeDriver<TRegisterDriver>();
  auto value = Call(unlent.get(), kGetValue, {I4(0)});
  EXPECT_EQ(S_OK, value.Hr);
  EXPECT_EQ(0, value.Int());
  EXPECT_EQ(L"0", Call(unlent.get(), kGetWide, {I4(0)}).Text());
  auto set = Call(unlent.get(), kSetValue, {I4(0), I4(5)});
  EXPECT_EQ(S_OK, set.Hr);
  EXPECT_EQ(VARIANT_TRUE, set.Result.Ptr()->boolVal);  // in range; there is just no channel
}

// A read answers what the channel shifted out; a wide write ignores it.
TEST(RegisterAccessAnswer, AReadAnswersTheBitsShiftedOut) {
  DispatchFixStartup();
  using namespace hostsim;
  SimRef<FakeHostObject> channel = SimRef<FakeHostObject>::Adopt(new FakeHostObject);
  SimRef<FakeHostObject> device = SimRef<FakeHostObject>::Adopt(new FakeHostObject);
  for (DISPID id : {disp::JTagChannel_ShiftIR, disp::JTagChannel_MoveTAPState, disp::JTagChannel_SendDR})
    channel->Accept(id);
  channel->ReturnInt(disp::JTagChannel_ExchangeDR, long(0xCAFE0001));
  channel->ReturnString(disp::JTagChannel_ShiftDRString, L"1011");
  device->ReturnObject(disp::TovikDevice_GetJTagChannel, channel.Get());
  device->ReturnInt(disp::TovikDevice_GetJTagIndex, 3);

  auto driver = MakeDriver<TRegisterDriver>();
  LendDevice(*driver, device.Get());
  uint32_t value = 0;
  ASSERT_EQ(S_OK, driver->GetProcessorRegisterValue(2, value));
  EXPECT_EQ(0xCAFE0001u, value);
  driver->Width = 4;
  WideString wide;
  ASSERT_EQ(S_OK, driver->GetProcessorRegisterWideValue(2, wide));
  EXPECT_EQ(L"1011", wide);
  bool written = false;
  ASSERT_EQ(S_OK, driver->SetProcessorRegisterWideValue(2, L"0110", written));
  EXPECT_TRUE(written);
  const auto calls = HostCalls({channel.Get()});
  EXPECT_EQ(L"ShiftDRString(0110,3)", calls[calls.size() - 2]);
}

}  // namespace

}  // namespace framework_test
