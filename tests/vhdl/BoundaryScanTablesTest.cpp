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

// Implementations of every operation that only note which one ran: the rows
// below, written out by identifier, must each reach the operation of that name.
std::wstring Widened(std::string_view text) { return std::wstring(text.begin(), text.end()); }
#define TVK_NOTE_OPERATION(Id, Operation, Params) \
  HRESULT Operation Params override {             \
    gCalled.push_back(Widened(#Operation));       \
    return S_OK;                                  \
  }

class TNotingEntity : public TAbstractBSDLEntity {
public:
  TVK_BSDL_ENTITY_OPERATIONS(TVK_NOTE_OPERATION)
};
template <class Base>
class TNotingObject : public Base {
public:
  TVK_BSDL_OBJECT_OPERATIONS(TVK_NOTE_OPERATION)
};
class TNotingScanPin : public TNotingObject<TAbstractScanPin> {
public:
  TVK_SCAN_PIN_OPERATIONS(TVK_NOTE_OPERATION)
};
class TNotingPinMapping : public TNotingObject<TAbstractPinMapping> {
public:
  TVK_PIN_MAPPING_OPERATIONS(TVK_NOTE_OPERATION)
};
class TNotingBoundaryCell : public TNotingObject<TAbstractBoundaryCell> {
public:
  TVK_BOUNDARY_CELL_OPERATIONS(TVK_NOTE_OPERATION)
};
class TNotingInstructionOpCode : public TNotingObject<TAbstractInstructionOpCode> {
public:
  TVK_INSTRUCTION_OPCODE_OPERATIONS(TVK_NOTE_OPERATION)
};
class TNotingRegisterAssociation : public TNotingObject<TAbstractRegisterAssociation> {
public:
  TVK_REGISTER_ASSOCIATION_OPERATIONS(TVK_NOTE_OPERATION)
};
#undef TVK_NOTE_OPERATION

// One row of a served table: its identifier, the operation it reaches, the
// result kind (s, i, u, o, d) and whether it takes an index.
struct TableRow {
  DISPID Id;
  const wchar_t* Operation;
  char Kind;
  bool Indexed = false;
};

VARTYPE VariantOfKind(char kind) {
  switch (kind) {
    case 's': return VT_BSTR;
    case 'o': return VT_DISPATCH;
    case 'd': return VT_R8;
    default: return VT_I4;  // i, and u carried as a signed 32-bit value
  }
}

void ExpectRows(IDispatch* object, std::initializer_list<TableRow> rows) {
  for (const TableRow& row : rows) {
    SCOPED_TRACE(row.Id);
    gCalled.clear();
    TCall c = row.Indexed ? Call(object, row.Id, {I4(0)}) : Call(object, row.Id);
    EXPECT_EQ(S_OK, c.Hr);
    EXPECT_EQ(std::vector<std::wstring>{row.Operation}, gCalled);
    EXPECT_EQ(VariantOfKind(row.Kind), c.Type());
  }
}

const std::initializer_list<TableRow> kObjectRows = {
    {503427, L"GetDescription", 's'}, {503428, L"GetShortDescription", 's'}, {503429, L"GetEntity", 'o'}};

TEST_F(BoundaryScanTables, EveryIdentifierReachesItsOperation) {
  auto entity = Served(New<TNotingEntity>());
  ExpectRows(entity.Get(), {{503458, L"GetName", 's'},
                            {503459, L"GetInstructionLength", 'i'},
                            {503460, L"GetIdCode", 'u'},
                            {503461, L"GetBoundaryLength", 'i'},
                            {503462, L"GetPin", 'o', true},
                            {503463, L"GetPinMapping", 'o', true},
                            {503464, L"GetBoundaryCell", 'o', true},
                            {503465, L"GetInstructionOpcode", 'o', true},
                            {503466, L"GetRegisterAssociation", 'o', true},
                            {503467, L"GetPinCount", 'i'},
                            {503468, L"GetPinMappingCount", 'i'},
                            {503469, L"GetBoundaryCellCount", 'i'},
                            {503470, L"GetInstructionOpcodeCount", 'i'},
                            {503471, L"GetRegisterAssociationCount", 'i'},
                            {503472, L"GetPin_TDI", 'o'},
                            {503473, L"GetPin_TDO", 'o'},
                            {503474, L"GetPin_TMS", 'o'},
                            {503475, L"GetPin_TCK", 'o'},
                            {503476, L"GetPin_TRST", 'o'},
                            {503477, L"GetInstruction_BYPASS", 'u'},
                            {503478, L"GetInstruction_EXTEST", 'u'},
                            {503479, L"GetInstruction_SAMPLE", 'u'},
                            {503480, L"GetInstruction_IDCODE", 'u'},
                            {503481, L"GetInstruction_USERCODE", 'u'},
                            {503482, L"GetInstruction_CLAMP", 'u'},
                            {503483, L"GetInstruction_HIGHZ", 'u'},
                            {503484, L"GetScanClockMaxSpeed", 'd'},
                            {503485, L"GetScanClockHaltMode", 'i'},
                            {503486, L"GetConformanceStatement", 's'},
                            {503487, L"GetCompliancePattern", 's'},
                            {503488, L"GetDesignWarning", 's'},
                            {503489, L"GetFilename", 's'}});
  EXPECT_EQ(kE_NOTIMPL, Call(entity.Get(), 503457).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(entity.Get(), 503490).Hr);

  auto pin = Served(New<TNotingScanPin>());
  ExpectRows(pin.Get(), kObjectRows);
  ExpectRows(pin.Get(), {{503490, L"GetDirection", 'i'},
                         {503491, L"GetPinName", 's'},
                         {503492, L"GetPinNumber", 's'},
                         {503493, L"GetKind", 'i'},
                         {503494, L"GetPinMapping", 'o'},
                         {503495, L"GetBoundaryCellCount", 'i'},
                         {503496, L"GetBoundaryCell", 'o', true},
                         {503497, L"GetCurrentValue", 'i'}});
  auto mapping = Served(New<TNotingPinMapping>());
  ExpectRows(mapping.Get(), kObjectRows);
  ExpectRows(mapping.Get(),
             {{503498, L"GetPinName", 's'}, {503499, L"GetPinNumber", 's'}, {503500, L"GetScanPin", 'o'}});
  auto cell = Served(New<TNotingBoundaryCell>());
  ExpectRows(cell.Get(), kObjectRows);
  ExpectRows(cell.Get(), {{503501, L"GetCellNumber", 'i'},
                          {503502, L"GetCellKind", 'i'},
                          {503503, L"GetPortId", 's'},
                          {503504, L"GetCellFunction", 'i'},
                          {503505, L"GetSafeBit", 'i'},
                          {503506, L"GetControlCellNumber", 'i'},
                          {503507, L"GetDisableValue", 'i'},
                          {503508, L"GetDisableResult", 'i'},
                          {503509, L"GetPin", 'o'},
                          {503510, L"GetControlCell", 'o'},
                          {503511, L"GetTargetCell", 'o'},
                          {503512, L"GetCurrentValue", 'i'}});
  auto opcode = Served(New<TNotingInstructionOpCode>());
  ExpectRows(opcode.Get(), kObjectRows);
  ExpectRows(opcode.Get(), {{503513, L"GetInstructionName", 's'}, {503514, L"GetOpCodePattern", 's'}});
  auto association = Served(New<TNotingRegisterAssociation>());
  ExpectRows(association.Get(), kObjectRows);
  ExpectRows(association.Get(), {{503515, L"GetRegisterName", 's'},
                                 {503516, L"GetRegisterLength", 'i'},
                                 {503517, L"GetInstructionOpcodeCount", 'i'},
                                 {503518, L"GetInstructionOpcode", 'o', true}});
  // Each kind stops at its own table: the neighbours' rows are not its own.
  for (IDispatch* object : {pin.Get(), mapping.Get(), cell.Get(), opcode.Get(), association.Get()}) {
    EXPECT_EQ(kE_NOTIMPL, Call(object, 503426).Hr);
    EXPECT_EQ(kE_NOTIMPL, Call(object, 503458).Hr);
    EXPECT_EQ(kE_NOTIMPL, Call(object, 503519).Hr);
  }
  EXPECT_EQ(kE_NOTIMPL, Call(mapping.Get(), 503497).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(mapping.Get(), 503501).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(opcode.Get(), 503515).Hr);
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
