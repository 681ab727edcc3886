// The boundary-scan model: the register decode, the descriptions, dispatch
// between model objects and their adapters, and adapters that outlive their
// entity.
#include "Tovik.Classes.BSDL.h"
#include "support/HostCall.h"

#include <gtest/gtest.h>

using namespace tvk;
using namespace testsupport;

namespace {

struct CellExpect {
  int Number;
  TCellKind Kind;
  const wchar_t* Port;
  TCellFunction Function;
  TBitValue Safe;
  int Control;
  TBitValue Disable;
  TDisableResult Result;
  int ControlLink, TargetLink;  // indexes, -1 for none
};

struct RegisterCase {
  const char* Name;
  const wchar_t* Text;
  bool Fails;
  std::vector<CellExpect> Cells;
};

int IndexOf(const TBSDLEntity& e, const TBoundaryCell* cell) {
  for (std::size_t i = 0; i < e.BoundaryCells.size(); ++i)
    if (e.BoundaryCells[i].get() == cell) return int(i);
  return -1;
}

TEST(BoundaryRegister, DecodeTable) {
  const CellExpect control0{0, eCellKind_BC_1, L"*", eCellFunction_Control, eBit_1, -1, eBit_0, eDisableResult_Undefined, -1, 1};
  CellExpect alone = control0;  // a control cell that no cell names has no target
  alone.TargetLink = -1;
  const RegisterCase cases[] = {
      {"two cells", L"0 (BC_1, *, control, 1), 1 (BC_1, PA0, output3, X, 0, 1, Z)", false,
       {control0, {1, eCellKind_BC_1, L"PA0", eCellFunction_Output3, eBit_X, 0, eBit_1, eDisableResult_HiZ, 0, -1}}},
      {"blank before the parenthesis only", L"0 (BC_1, *, internal, X), 10(BC_4, *, input, X)", false,
       {{0, eCellKind_BC_1, L"*", eCellFunction_Internal, eBit_X, -1, eBit_0, eDisableResult_Undefined, -1, -1},
        {1, eCellKind_BC_4, L"*", eCellFunction_Input, eBit_X, -1, eBit_0, eDisableResult_Undefined, -1, -1}}},
      {"names without regard to case",
       L"0 (bc_2, *, OBSERVEONLY, 0), 1 (BC_10, *, observe_only, x), 2 (BC_0, *, bogus, Q)", false,
       {{0, eCellKind_BC_2, L"*", eCellFunction_ObserveOnly, eBit_0, -1, eBit_0, eDisableResult_Undefined, -1, -1},
        {1, eCellKind_BC_10, L"*", eCellFunction_Undefined, eBit_X, -1, eBit_0, eDisableResult_Undefined, -1, -1},
        {2, eCellKind_BC_0, L"*", eCellFunction_Undefined, eBit_Undefined, -1, eBit_0, eDisableResult_Undefined, -1, -1}}},
      {"a control of several cells targets the last", L"1 (BC_1,A,output3,X,2,0,weak0), 0 (BC_1,B,output3,X,2,1,PULL1), "
                                                      L"2 (BC_1,*,controlr,0)", false,
       {{0, eCellKind_BC_1, L"B", eCellFunction_Output3, eBit_X, 2, eBit_1, eDisableResult_Pull1, 2, -1},
        {1, eCellKind_BC_1, L"A", eCellFunction_Output3, eBit_X, 2, eBit_0, eDisableResult_Weak0, 2, -1},
        {2, eCellKind_BC_1, L"*", eCellFunction_ControlR, eBit_0, -1, eBit_0, eDisableResult_Undefined, -1, 1}}},
      {"quoted port and a control that is no number", L"0 (BC_1, \"A B\", bidir, X, none, 1, keeper)", false,
       {{0, eCellKind_BC_1, L"A B", eCellFunction_BiDir, eBit_X, -1, eBit_1, eDisableResult_Keeper, -1, -1}}},
      {"text after the last cell", L"0 (BC_1, *, control, 1), junk", false, {alone}},
      {"no comma after a cell", L"0 (BC_1, *, control, 1) 1 (BC_1, *, input, X)", false, {alone}},
      {"no closing parenthesis", L"0 (BC_1, *, control, 1), 1 (BC_1, *, input, X", false, {alone}},
      {"no number", L"x (BC_1, *, control, 1)", false, {}},
      {"empty", L"   ", false, {}},
      {"a number past the end", L"5 (BC_1, *, internal, X)", true, {}},
      {"a number twice", L"0 (BC_1, *, internal, X), 0 (BC_1, *, internal, X)", true, {}},
      {"a control past the end", L"0 (BC_1, P, output3, X, 1, 0, Z)", true, {}},
  };
  for (const RegisterCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBSDLEntity entity;
    if (c.Fails) {
      EXPECT_THROW(entity.ParseBoundaryRegister(c.Text), Exception);
      EXPECT_TRUE(entity.BoundaryCells.empty());
      continue;
    }
    entity.ParseBoundaryRegister(c.Text);
    ASSERT_EQ(c.Cells.size(), entity.BoundaryCells.size());
    for (std::size_t i = 0; i < c.Cells.size(); ++i) {
      const CellExpect& x = c.Cells[i];
      const TBoundaryCell& cell = *entity.BoundaryCells[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(x.Number, cell.CellNumber);
      EXPECT_EQ(x.Kind, cell.CellKind);
      EXPECT_EQ(x.Port, cell.PortId);
      EXPECT_EQ(x.Function, cell.CellFunction);
      EXPECT_EQ(x.Safe, cell.SafeBit);
      EXPECT_EQ(x.Control, cell.ControlCellNumber);
      EXPECT_EQ(x.Disable, cell.DisableValue);
      EXPECT_EQ(x.Result, cell.DisableResult);
      EXPECT_EQ(x.ControlLink, IndexOf(entity, cell.ControlCell));
      EXPECT_EQ(x.TargetLink, IndexOf(entity, cell.TargetCell));
      EXPECT_EQ(nullptr, cell.Pin);
    }
  }
}

TEST(BoundaryRegister, CellsFindTheBuildersPinsByName) {
  TBSDLEntity entity;
  auto* pin = new TScanPin(&entity);
  pin->SetPinName(L"PA0");
  pin->SetKind(eScanPinKind_Power);
  entity.AddPin(pin);
  entity.ParseBoundaryRegister(L"0 (BC_1, *, control, 1), 1 (BC_1, pa0, output3, X, 0, 1, Z), 2 (BC_4, PA0, input, X)");
  EXPECT_EQ(pin, entity.BoundaryCells[1]->Pin);
  EXPECT_EQ(pin, entity.BoundaryCells[2]->Pin);
  EXPECT_EQ(nullptr, entity.BoundaryCells[0]->Pin);
  ASSERT_EQ(2u, pin->BoundaryCells.size());
  EXPECT_EQ(eScanPinKind_Normal, pin->Kind);
  EXPECT_EQ(L"1   (BC_1      ,pa0       ,Output3   ,X ,0   ,1 ,Z         , Pin:PA0",
            entity.BoundaryCells[1]->Description());
}

// A register that fails leaves the entity and its pins as they were: no pin
// keeps a cell that was freed.
TEST(BoundaryRegister, AFailedDecodeChangesNothing) {
  TBSDLEntity entity;
  auto* pin = new TScanPin(&entity);
  pin->SetPinName(L"PA0");
  entity.AddPin(pin);
  auto* builders = new TBoundaryCell(&entity);
  entity.AddBoundaryCell(builders);
  EXPECT_THROW(entity.ParseBoundaryRegister(L"0 (BC_1, PA0, output3, X, 1, 0, Z)"), Exception);
  ASSERT_EQ(1u, entity.BoundaryCells.size());
  EXPECT_EQ(builders, entity.BoundaryCells[0].get());
  EXPECT_TRUE(pin->BoundaryCells.empty());
}

// A parsed entity's attributes, as the parser leaves them.
void AddAttribute(TBSDLEntity& entity, const wchar_t* designator, const wchar_t* expression) {
  auto* attribute = New<TVHDLAttribute>(nullptr);
  attribute->AttributeDesignator = designator;
  attribute->AttributeExpression = expression;
  entity.Attributes->AddObject(L"", attribute);
}

TEST(BoundaryRegister, LazyProcessingOnFirstDemandAndAgainAfterAFailure) {
  TBSDLEntity entity;
  entity.UsingLazyEvaluation = true;
  AddAttribute(entity, L"boundary_length", L"232");
  AddAttribute(entity, L"BOUNDARY_REGISTER", L"5 (BC_1, *, internal, X)");
  ComRef<IDispatch> served(entity.GetImpl());
  EXPECT_EQ(kE_UNEXPECTED, Call(served.Get(), 503469).Hr);  // GetBoundaryCellCount
  EXPECT_FALSE(entity.FProcessedBoundaryInfo);
  EXPECT_TRUE(entity.BoundaryCells.empty());
  // A later demand tries again from clean.
  static_cast<TVHDLAttribute*>(entity.Attributes->Objects(0))->AttributeExpression =
      L"0 (BC_1, *, control, 1),  1 (BC_1, PA0, output3, X, 0, 1, Z)";
  TCall count = Call(served.Get(), 503469);
  EXPECT_EQ(S_OK, count.Hr);
  EXPECT_EQ(2, count.Int());
  EXPECT_EQ(232, Call(served.Get(), 503461).Int());
  EXPECT_TRUE(entity.FProcessedBoundaryInfo);
  // Once processed, the attributes are not read again.
  static_cast<TVHDLAttribute*>(entity.Attributes->Objects(0))->AttributeExpression = L"";
  EXPECT_EQ(2, Call(served.Get(), 503469).Int());

  for (const wchar_t* length : {L"0xE8", L"$E8", L"twelve", L""}) {
    TBSDLEntity other;
    other.UsingLazyEvaluation = true;
    AddAttribute(other, L"Boundary_Length", length);
    ComRef<IDispatch> o(other.GetImpl());
    EXPECT_EQ(0, Call(o.Get(), 503461).Int()) << std::wstring(length).size();
  }
  // Without lazy evaluation the builder's value stands.
  TBSDLEntity built;
  built.BoundaryLength = 7;
  AddAttribute(built, L"Boundary_Length", L"232");
  ComRef<IDispatch> b(built.GetImpl());
  EXPECT_EQ(7, Call(b.Get(), 503461).Int());
}

TEST(BoundaryScanDescriptions, EachKindOfObject) {
  TBSDLEntity entity;
  TBoundaryCell fresh(&entity);
  EXPECT_EQ(L"-1  (          ,*         ,          ,X ", fresh.Description());
  EXPECT_EQ(fresh.Description(), fresh.ShortDescription());
  TScanPin pin(&entity);
  pin.SetPinName(L"TDI");
  pin.SetPinNumber(L"38");
  pin.SetDirection(eElectricInput);
  EXPECT_EQ(L" Pin Name:TDI          Number:38           IO:Input", pin.Description());
  EXPECT_EQ(L"TDI(38)-Input", pin.ShortDescription());
  EXPECT_EQ(L"()-Passive", TScanPin(&entity).ShortDescription());
  TInstructionOpCode sample(&entity), extest(&entity);
  sample.SetInstructionName(L"SAMPLE");
  sample.SetOpCodePattern(L"0010");
  extest.SetInstructionName(L"EXTEST");
  extest.SetOpCodePattern(L"0000");
  EXPECT_EQ(L"SAMPLE(0010)", sample.Description());
  TRegisterAssociation boundary(&entity);
  boundary.SetRegisterName(L"BOUNDARY");
  EXPECT_EQ(L"BOUNDARY   ()", boundary.Description());
  boundary.SetRegisterLength(232);
  boundary.AddOpCode(&sample);
  boundary.AddOpCode(&extest);
  EXPECT_EQ(L"BOUNDARY  [232] (SAMPLE(0010),EXTEST(0000))", boundary.Description());
  EXPECT_EQ(L"", TPinMapping(&entity).Description());
  EXPECT_EQ(4, TPinMapping(&entity).ObjectCode());
}

// An entity built as a builder builds it.
struct Built {
  TBSDLEntity Entity;
  TScanPin* Tdi = new TScanPin(&Entity);
  TBoundaryCell* Cell = new TBoundaryCell(&Entity);
  TInstructionOpCode* Opcode = new TInstructionOpCode(&Entity);
  TRegisterAssociation* Register = new TRegisterAssociation(&Entity);
  TPinMapping* Mapping = new TPinMapping(&Entity);
  Built() {
    Entity.Name = L"CHIP";
    Tdi->SetPinName(L"TDI");
    Tdi->SetKind(eScanPinKind_TDI);
    Entity.AddPin(Tdi);
    Entity.TAP_TDI = Tdi;
    Cell->SetPin(Tdi);
    Cell->SetCellNumber(0);
    Entity.AddBoundaryCell(Cell);
    Opcode->SetInstructionName(L"IDCODE");
    Entity.AddInstructionOpCode(Opcode);
    Register->AddOpCode(Opcode);
    Entity.AddRegisterAssociation(Register);
    Mapping->SetScanPin(Tdi);
    Tdi->SetPinMapping(Mapping);
    Entity.PinMappings.emplace_back(Mapping);
  }
};

TEST(BoundaryScanDispatch, ModelObjectsForwardToTheirAdaptersInOrder) {
  Built b;
  IDispatch* pin = b.Tdi;  // the model object itself, as a TAP pin is handed out
  EXPECT_EQ(b.Tdi->Description(), Call(pin, 503427).Text());  // through the object adapter
  EXPECT_EQ(L"TDI", Call(pin, 503491).Text());                 // through the scan-pin adapter
  EXPECT_EQ(kE_NOTIMPL, Call(pin, 503501).Hr);                  // neither answers
  EXPECT_TRUE(Supports(pin, L"BSDLObject"));                    // the first adapter answers 1023
  IDispatch* entity = &b.Entity;
  EXPECT_EQ(L"CHIP", Call(entity, 503458).Text());
  EXPECT_EQ(kE_NOTIMPL, Call(entity, 503427).Hr);
}

TEST(BoundaryScanDispatch, TheEntityAdapterServesItsLists) {
  Built b;
  IDispatch* served = b.Entity.GetImpl();
  EXPECT_EQ(1, Call(served, 503467).Int());
  EXPECT_EQ(b.Tdi->GetImpl(), Call(served, 503462, {I4(0)}).Dispatch());
  for (long index : {-1L, 1L}) {
    TCall outside = Call(served, 503462, {I4(index)});
    EXPECT_EQ(S_OK, outside.Hr);
    EXPECT_EQ(VT_DISPATCH, outside.Type());
    EXPECT_EQ(nullptr, outside.Dispatch());
  }
  EXPECT_EQ(static_cast<IDispatch*>(b.Tdi), Call(served, 503472).Dispatch());  // TDI: the pin itself
  EXPECT_EQ(nullptr, Call(served, 503473).Dispatch());                         // no TDO
  EXPECT_EQ(-1, Call(served, 503478).Int());                                   // no EXTEST opcode
  EXPECT_EQ(b.Mapping->GetImpl(), Call(served, 503463, {I4(0)}).Dispatch());
  EXPECT_EQ(b.Register->GetImpl(), Call(served, 503466, {I4(0)}).Dispatch());
  EXPECT_EQ(b.Cell->GetImpl(), Call(served, 503464, {I4(0)}).Dispatch());
  EXPECT_EQ(VT_R8, Call(served, 503484).Type());
  EXPECT_EQ(L"", Call(served, 503489).Text());

  // The objects' adapters link back.
  IDispatch* pin = b.Tdi->GetImpl();
  EXPECT_EQ(served, Call(pin, 503429).Dispatch());
  EXPECT_EQ(b.Mapping->GetImpl(), Call(pin, 503494).Dispatch());
  EXPECT_EQ(0, Call(pin, 503495).Int());
  b.Tdi->AddBoundaryCell(b.Cell);
  EXPECT_EQ(1, Call(pin, 503495).Int());
  EXPECT_EQ(b.Cell->GetImpl(), Call(pin, 503496, {I4(0)}).Dispatch());
  EXPECT_EQ(pin, Call(b.Cell->GetImpl(), 503509).Dispatch());
  EXPECT_EQ(pin, Call(b.Mapping->GetImpl(), 503500).Dispatch());
  EXPECT_EQ(b.Opcode->GetImpl(), Call(b.Register->GetImpl(), 503518, {I4(0)}).Dispatch());
  EXPECT_EQ(nullptr, Call(b.Register->GetImpl(), 503518, {I4(1)}).Dispatch());
  EXPECT_EQ(L"IDCODE", Call(b.Opcode->GetImpl(), 503513).Text());
}

TEST(BoundaryScanDispatch, PinsAndCellsHoldACurrentValue) {
  Built b;
  for (IDispatch* holder : {b.Tdi->GetImpl(), b.Cell->GetImpl()}) {
    VARIANT result = Typed(VT_I4);
    result.lVal = 77;
    VARIANT arg = I4(1);
    EXPECT_EQ(S_OK, Invoke(holder, kDispSetCurrentValue, &arg, 1, &result));
    EXPECT_EQ(77, result.lVal);  // left as it was
    EXPECT_EQ(1, Call(holder, holder == b.Tdi->GetImpl() ? 503497 : 503512).Int());
    EXPECT_EQ(kE_UNEXPECTED, Call(holder, kDispSetCurrentValue).Hr);  // too few arguments
    EXPECT_TRUE(Supports(holder, L"BSDLValueHolder"));
    EXPECT_TRUE(Supports(holder, L"BSDLObject"));
  }
  EXPECT_EQ(1, b.Tdi->CurrentValue);
  for (IDispatch* other : {b.Mapping->GetImpl(), b.Opcode->GetImpl(), b.Register->GetImpl()}) {
    EXPECT_FALSE(Supports(other, L"BSDLValueHolder"));
    EXPECT_TRUE(Supports(other, L"BSDLObject"));
    EXPECT_EQ(kE_NOTIMPL, Call(other, kDispSetCurrentValue, {I4(1)}).Hr);
  }
  EXPECT_FALSE(Supports(b.Entity.GetImpl(), L"BSDLValueHolder"));
}

TEST(BoundaryScanDispatch, AnAdapterKeptAfterItsEntityAnswersUnexpected) {
  ComRef<IDispatch> entity, pin, cell;
  {
    Built b;
    entity = ComRef<IDispatch>(b.Entity.GetImpl());
    pin = ComRef<IDispatch>(b.Tdi->GetImpl());
    cell = ComRef<IDispatch>(b.Cell->GetImpl());
    EXPECT_EQ(L"TDI", Call(pin.Get(), 503491).Text());
  }
  EXPECT_EQ(kE_UNEXPECTED, Call(entity.Get(), 503458).Hr);
  EXPECT_EQ(kE_UNEXPECTED, Call(pin.Get(), 503491).Hr);
  EXPECT_EQ(kE_UNEXPECTED, Call(pin.Get(), 503427).Hr);
  EXPECT_EQ(kE_UNEXPECTED, Call(cell.Get(), kDispSetCurrentValue, {I4(1)}).Hr);
  EXPECT_TRUE(Supports(pin.Get(), L"ScanPin"));  // naming its services needs no model
}

}  // namespace
