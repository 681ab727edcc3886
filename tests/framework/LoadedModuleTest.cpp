// The loaded module's drivers answer every driver operation through
// IDispatch::Invoke against the simulated host, as the host calls them.
#include "FrameworkTest.h"

#include "support/HostCall.h"
#include "support/LoadedModule.h"

namespace framework_test {
using namespace testsupport;

namespace {

class LoadedDriver : public TLoadedModule<BoardTest> {
protected:
  void SetUp() override {
    TLoadedModule::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(S_OK, FGetDriver(0, &Driver));
    ASSERT_NE(nullptr, Driver);
    TCall lent = Call(Driver, kSetTovikDevice, {Obj(Board->DeviceDispatch())});
    ASSERT_EQ(S_OK, lent.Hr);
    ASSERT_EQ(VT_BOOL, lent.Type());
    ASSERT_EQ(VARIANT_TRUE, lent.Result.Ptr()->boolVal);
    ClearLogs();
  }
  IDispatch* Driver = nullptr;  // the module's; it counts no references
};

TEST_F(LoadedDriver, EveryDriverOperationAnswers) {
  auto other = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  VARIANT_BOOL states[3] = {VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE};
  struct Row {
    DISPID Id;
    std::vector<VARIANT> Args;
    VARTYPE Result;
  };
  // CreateRackViewer (503759) needs the driver user interface: the rack
  // viewer's tests cover it against the stand-in.
  std::vector<Row> rows = {
      {503753, {}, VT_DISPATCH},  {503755, {}, VT_BOOL},      {503756, {}, VT_I4},        {503757, {}, VT_BOOL},
      {503758, {}, VT_BOOL},      {503760, {}, VT_DISPATCH},  {503761, {Str(L"ShowViewer")}, VT_BOOL},
      {503762, {}, VT_EMPTY},     {503763, {}, VT_BSTR},      {503764, {}, VT_BOOL},      {503765, {}, VT_BOOL},
      {503766, {I4(0), I4(1)}, VT_BOOL},                      {503767, {I4(0)}, VT_I4},
      {503768, {I4(0)}, VT_I4},   {503769, {I4(0)}, VT_BSTR}, {503770, {I4(0)}, VT_BSTR}, {503771, {}, VT_I4},
      {503772, {}, VT_I4},        {503773, {}, VT_I4},        {503774, {}, VT_I4},        {503775, {I4(0)}, VT_I4},
      {503776, {I4(0)}, VT_I4},   {503777, {I4(0)}, VT_I4},   {503778, {I4(0)}, VT_BSTR}, {503779, {I4(0)}, VT_BSTR},
      {503780, {}, VT_I4},        {503781, {}, VT_I4},        {503782, {I4(0)}, VT_BOOL}, {503783, {I4(0)}, VT_BOOL},
      {503784, {}, VT_BOOL},      {503785, {}, VT_BOOL},      {503786, {}, VT_BOOL},      {503787, {}, VT_I4},
      {503788, {Str(L"a.bin")}, VT_I4},                       {503789, {}, VT_I4},        {503790, {}, VT_DISPATCH},
      {503791, {}, VT_DISPATCH},  {503792, {}, VT_BSTR},      {503793, {}, VT_EMPTY},     {503794, {}, VT_EMPTY},
      {503795, {}, VT_EMPTY},     {503796, {}, VT_EMPTY},     {503797, {}, VT_EMPTY},     {503798, {}, VT_EMPTY},
      {503799, {I4(2)}, VT_EMPTY},                            {503800, {}, VT_BOOL},      {503801, {}, VT_BOOL},
      {503802, {}, VT_BOOL},      {503803, {}, VT_BOOL},      {503804, {}, VT_BOOL},
      {503805, {Str(L"a.bin")}, VT_I4},                       {503806, {}, VT_EMPTY},
      {503807, {I4(0), Str(L"1")}, VT_BOOL},                  {503808, {I4(0)}, VT_BSTR},
      {503809, {Obj(other.Get())}, VT_BOOL},                  {503810, {}, VT_BOOL},      {503811, {}, VT_EMPTY},
      {503812, {}, VT_EMPTY},     {503813, {}, VT_BOOL},      {503814, {I4(1)}, VT_EMPTY},
      {503815, {I4(1), RefBool(&states[0]), RefBool(&states[1]), RefBool(&states[2]), I4(0), I4(0)}, VT_EMPTY},
      {503816, {Str(L"a"), Str(L"b"), Str(L"c")}, VT_BOOL},   {503817, {}, VT_BOOL},
      {503818, {I4(0)}, VT_I4},   {503819, {Obj(other.Get())}, VT_EMPTY},                 {503820, {}, VT_BOOL},
      {503821, {}, VT_BSTR},      {503822, {Str(L"")}, VT_EMPTY},
      {508552, {I4(0), I8(0x08000000)}, VT_I4},               {508553, {I4(0), I8(0x08000000), I4(0)}, VT_BOOL},
      {508554, {I4(0)}, VT_I8},   {509312, {}, VT_BSTR},      {509376, {}, VT_DISPATCH},  {509427, {}, VT_DISPATCH},
      {509470, {}, VT_DISPATCH},  {509981, {I4(0)}, VT_DISPATCH},
  };
  for (Row& row : rows) {
    TCall call = CallWith(Driver, row.Id, row.Args);
    EXPECT_EQ(S_OK, call.Hr) << row.Id;
    EXPECT_EQ(row.Result, call.Type()) << row.Id;
  }
  EXPECT_EQ(VARIANT_FALSE, states[0]);
  EXPECT_EQ(VARIANT_FALSE, states[2]);
  // The status and run-control rows reached the chip's debug port; the JTAG traffic was sound.
  EXPECT_LT(0u, Board->Dp().ApScans());
  EXPECT_EQ(Board->Channel().Opens(), Board->Channel().Closes());
  EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
}

TEST_F(LoadedDriver, AnswersFromTheHostDevice) {
  EXPECT_EQ(Board->DeviceDispatch(), Call(Driver, 503753).Dispatch());
  EXPECT_EQ(S_OK, Call(Driver, 503800).Hr);  // ProcessorIsPaused: the first status query sets the core up
  EXPECT_EQ(S_OK, Call(Driver, 503797).Hr);  // PauseProcessor
  EXPECT_TRUE(Board->Chip().Halted());
  EXPECT_EQ(L".EDN", Call(Driver, 503792).Text());
  // the ARM level supports the debug actions the framework alone does not
  EXPECT_EQ(VARIANT_TRUE, Call(Driver, 503761, {Str(L"Action=PauseProcessor")}).Result.Ptr()->boolVal);

  tvk::IMemoryAccess* memory = nullptr;
  ASSERT_EQ(S_OK, Driver->QueryInterface(tvk::IID_IMemoryAccess, reinterpret_cast<void**>(&memory)));
  EXPECT_EQ(ULONG(-1), memory->Release());
  // the ARM level serves its memory space 0, one byte per cell
  uint32_t cell = 0xFFFFFF5A;
  BOOL success = FALSE;
  EXPECT_EQ(S_OK, memory->MemoryRead(0, &cell, 0x20000000, 1, &success));
  EXPECT_TRUE(success);
  EXPECT_LE(cell, 0xFFu);
  success = TRUE;
  EXPECT_EQ(S_OK, memory->MemoryRead(1, &cell, 0x20000000, 1, &success));
  EXPECT_FALSE(success);

  // An empty device withdraws it: the core finds no channel and does nothing.
  EXPECT_EQ(S_OK, Call(Driver, kSetTovikDevice, {Obj(nullptr)}).Hr);
  EXPECT_EQ(nullptr, Call(Driver, 503753).Dispatch());
  ClearLogs();
  EXPECT_EQ(S_OK, Call(Driver, 503797).Hr);
  EXPECT_EQ(0u, HostCallCount());
}

}  // namespace

}  // namespace framework_test
