// The boundary-scan served bases, driven by identifier as the host drives
// them: every row reaches its operation with its argument and gives its
// result kind; the object kinds answer the common object rows first.
#include "ORV.SCH.AbstractClasses.h"
#include "support/HostCall.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tvk;
using namespace testsupport;

namespace {

// Each operation of a test implementation notes its name and the index it
// got, and answers a value that tells the rows apart.
std::vector<std::wstring> gCalled;
int32_t gIndex = -99;

template <class T>
HRESULT Answer(const wchar_t* name, T& out, T value) {
  gCalled.push_back(name);
  out = value;
  return S_OK;
}

class TTestEntity : public TAbstractBSDLEntity {
public:
  HRESULT GetName(WideString& r) override { return Answer(L"GetName", r, WideString(L"STM32")); }
  HRESULT GetIdCode(uint32_t& r) override { return Answer(L"GetIdCode", r, 0x3BA00477u); }
  HRESULT GetBoundaryLength(int32_t& r) override { return Answer(L"GetBoundaryLength", r, 232); }
  HRESULT GetBoundaryCell(int32_t index, IBoundaryCell& r) override {
    gIndex = index;
    return Answer(L"GetBoundaryCell", r, IBoundaryCell());
  }
  HRESULT GetPin_TDI(IScanPin& r) override { return Answer(L"GetPin_TDI", r, Pin); }
  HRESULT GetInstruction_EXTEST(uint32_t& r) override { return Answer(L"GetInstruction_EXTEST", r, 0xFFFFFFFFu); }
  HRESULT GetScanClockMaxSpeed(double& r) override { return Answer(L"GetScanClockMaxSpeed", r, 12.5e6); }
  HRESULT GetScanClockHaltMode(int32_t& r) override { return Answer(L"GetScanClockHaltMode", r, 2); }
  HRESULT GetFilename(WideString&) override { return kE_UNEXPECTED; }
  IScanPin Pin;
};

class TTestScanPin : public TAbstractScanPin {
public:
  HRESULT GetDescription(WideString& r) override { return Answer(L"GetDescription", r, WideString(L"pin")); }
  HRESULT GetPinName(WideString& r) override { return Answer(L"GetPinName", r, WideString(L"TDI")); }
  HRESULT GetBoundaryCell(int32_t index, IBoundaryCell& r) override {
    gIndex = index;
    return Answer(L"GetBoundaryCell", r, IBoundaryCell());
  }
};

class TTestRegisterAssociation : public TAbstractRegisterAssociation {
public:
  HRESULT GetDescription(WideString& r) override {
    return Answer(L"GetDescription", r, WideString(L"BOUNDARY  [232] ()"));
  }
  HRESULT GetRegisterLength(int32_t& r) override { return Answer(L"GetRegisterLength", r, 232); }
};

class TTestBoundaryCell : public TAbstractBoundaryCell {
public:
  HRESULT GetCellFunction(int32_t& r) override { return Answer(L"GetCellFunction", r, 4); }
};
class TTestPinMapping : public TAbstractPinMapping {};
class TTestInstructionOpCode : public TAbstractInstructionOpCode {
public:
  HRESULT GetOpCodePattern(WideString& r) override { return Answer(L"GetOpCodePattern", r, WideString(L"0010")); }
};

ComRef<IDispatch> Served(IDispatch* object) { return ComRef<IDispatch>(object); }

class BoundaryScanTables : public ::testing::Test {
protected:
  void SetUp() override {
    gCalled.clear();
    gIndex = -99;
  }
};

TEST_F(BoundaryScanTables, EntityRowsReachTheirOperationsWithTheirKinds) {
  auto* pin = New<TTestScanPin>();
  auto* entity = New<TTestEntity>();
  auto served = Served(entity);
  entity->Pin = IScanPin::FromInterface(static_cast<IDispatch*>(pin));

  struct Row {
    DISPID Id;
    const wchar_t* Operation;
    VARTYPE Kind;
  };
  const Row rows[] = {
      {503458, L"GetName", VT_BSTR},          {503460, L"GetIdCode", VT_I4},
      {503461, L"GetBoundaryLength", VT_I4},  {503472, L"GetPin_TDI", VT_DISPATCH},
      {503478, L"GetInstruction_EXTEST", VT_I4}, {503484, L"GetScanClockMaxSpeed", VT_R8},
      {503485, L"GetScanClockHaltMode", VT_I4},
  };
  for (const Row& row : rows) {
    gCalled.clear();
    TCall c = Call(served.Get(), row.Id);
    EXPECT_EQ(S_OK, c.Hr) << row.Id;
    EXPECT_EQ(std::vector<std::wstring>{row.Operation}, gCalled) << row.Id;
    EXPECT_EQ(row.Kind, c.Type()) << row.Id;
  }
  EXPECT_EQ(L"STM32", Call(served.Get(), 503458).Text());
  EXPECT_EQ(0x3BA00477, Call(served.Get(), 503460).Int());
  EXPECT_EQ(-1, Call(served.Get(), 503478).Int());  // no opcode: 0xFFFFFFFF arrives as -1
  EXPECT_EQ(12.5e6, Call(served.Get(), 503484).Result.Ptr()->dblVal);
  EXPECT_EQ(2, Call(served.Get(), 503485).Int());
  // The pin object goes out as its dispatch interface.
  EXPECT_EQ(static_cast<IDispatch*>(pin), Call(served.Get(), 503472).Dispatch());

  // An indexed row converts its argument as an integer.
  TCall cell = Call(served.Get(), 503464, {Str(L"17")});
  EXPECT_EQ(S_OK, cell.Hr);
  EXPECT_EQ(17, gIndex);
  EXPECT_EQ(VT_DISPATCH, cell.Type());
  EXPECT_EQ(nullptr, cell.Dispatch());  // an empty record: a null dispatch pointer

  // A failing operation returns its code and stores nothing; an operation no
  // implementation fills answers E_NOTIMPL like an unknown identifier.
  TCall failed = Call(served.Get(), 503489);
  EXPECT_EQ(kE_UNEXPECTED, failed.Hr);
  EXPECT_EQ(VT_EMPTY, failed.Type());
  EXPECT_EQ(kE_NOTIMPL, Call(served.Get(), 503459).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(served.Get(), 503427).Hr);  // an object row is not the entity's
  EXPECT_EQ(kE_NOTIMPL, Call(served.Get(), kDispSetCurrentValue, {I4(1)}).Hr);
}

TEST_F(BoundaryScanTables, ObjectKindsAnswerTheirOwnRowsThenTheCommonOnes) {
  auto pin = Served(New<TTestScanPin>());
  auto association = Served(New<TTestRegisterAssociation>());
  auto cell = Served(New<TTestBoundaryCell>());
  auto opcode = Served(New<TTestInstructionOpCode>());

  EXPECT_EQ(L"TDI", Call(pin.Get(), 503491).Text());
  EXPECT_EQ(L"pin", Call(pin.Get(), 503427).Text());
  Call(pin.Get(), 503496, {I4(3)});
  EXPECT_EQ(3, gIndex);
  EXPECT_EQ(L"BOUNDARY  [232] ()", Call(association.Get(), 503427).Text());
  EXPECT_EQ(232, Call(association.Get(), 503516).Int());
  EXPECT_EQ(4, Call(cell.Get(), 503504).Int());
  EXPECT_EQ(L"0010", Call(opcode.Get(), 503514).Text());
  // Another kind's row is no row of this one.
  EXPECT_EQ(kE_NOTIMPL, Call(association.Get(), 503490).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(cell.Get(), 503491).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(opcode.Get(), 503458).Hr);
  // 509024 is left to the implementations.
  EXPECT_EQ(kE_NOTIMPL, Call(pin.Get(), kDispSetCurrentValue, {I4(1)}).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(cell.Get(), kDispSetCurrentValue, {I4(1)}).Hr);
}

TEST_F(BoundaryScanTables, ServiceNamesOfEachLevelAndItsParents) {
  struct Case {
    ComRef<IDispatch> Object;
    std::vector<std::wstring> Supported, Refused;
  };
  Case cases[] = {
      {Served(New<TTestEntity>()), {L"BSDLEntity", L"bsdlentity"}, {L"BSDLObject", L"ScanPin", L""}},
      {Served(New<TTestScanPin>()), {L"ScanPin", L"BSDLObject", L"SCANPIN"}, {L"BSDLEntity", L"BSDLValueHolder"}},
      {Served(New<TTestPinMapping>()), {L"PinMapping", L"BSDLObject"}, {L"ScanPin", L"BSDLEntity"}},
      {Served(New<TTestBoundaryCell>()), {L"BoundaryCell", L"BSDLObject"}, {L"BoundaryCells", L"BSDLEntity"}},
      {Served(New<TTestInstructionOpCode>()), {L"InstructionOpCode", L"BSDLObject"}, {L"RegisterAssociation"}},
      {Served(New<TTestRegisterAssociation>()), {L"RegisterAssociation", L"BSDLObject"}, {L"InstructionOpCode"}},
  };
  for (const Case& c : cases) {
    for (const auto& name : c.Supported) EXPECT_TRUE(Supports(c.Object.Get(), name)) << std::string(name.begin(), name.end());
    for (const auto& name : c.Refused) EXPECT_FALSE(Supports(c.Object.Get(), name)) << std::string(name.begin(), name.end());
  }
}

}  // namespace
