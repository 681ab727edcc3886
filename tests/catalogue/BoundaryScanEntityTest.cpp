// A driver's boundary-scan entities, built from descriptions of a table: the
// model objects come from the driver's caches, so a second entity shares the
// cells, pins and opcodes of the first, and an entity once attached to the
// row's description is answered as it is.
#include <gtest/gtest.h>

#include "Tarnwell_Driver.h"
#include "support/HostCall.h"

#include <memory>

using namespace tvk;
using namespace testsupport;

namespace catalogue_test {
namespace {

constexpr DISPID kGetBSDLEntity = 503406;
constexpr DISPID kGetName = 503458;
constexpr DISPID kGetBoundaryLength = 503461;
constexpr DISPID kGetPinCount = 503467;

// A chip with TAP pins 1 to 4 and one I/O pin "5" (PA0) on cells 0 and 1,
// cell 2 controlling cell 1. Records past the counts do not count.
constexpr int32_t kPA0Cells[] = {0, 1};
constexpr int32_t kPB0Cells[] = {2};
constexpr TScanPinParameters kPinsA[] = {
    {eElectricInput, L"TDI", L"1", eScanPinKind_TDI, {L"TDI", L"1"}, 0, {}},
    {eElectricOutput, L"TDO", L"2", eScanPinKind_TDO, {L"TDO", L"2"}, 0, {}},
    {eElectricInput, L"TMS", L"3", eScanPinKind_TMS, {L"TMS", L"3"}, 0, {}},
    {eElectricInput, L"TCK", L"4", eScanPinKind_TCK, {L"TCK", L"4"}, 0, {}},
    {eElectricIO, L"PA0", L"5", eScanPinKind_Normal, {L"PA0", L"5"}, 2, kPA0Cells},
    {eElectricIO, L"PA1", L"6", eScanPinKind_Normal, {L"PA1", L"6"}, 0, {}},
};
constexpr TBoundaryCellParameters kCellsA[] = {
    {0, eCellKind_BC_1, L"PA0", eCellFunction_Input, eBit_X, eBit_0, eDisableResult_Undefined, L"5", -1, -1},
    {1, eCellKind_BC_1, L"PA0", eCellFunction_Output3, eBit_X, eBit_0, eDisableResult_HiZ, L"5", 2, 0},
    {2, eCellKind_BC_2, L"*", eCellFunction_Control, eBit_0, eBit_0, eDisableResult_Undefined, L"", -1, -1},
    {3, eCellKind_BC_1, L"PA1", eCellFunction_Input, eBit_X, eBit_0, eDisableResult_Undefined, L"6", -1, -1},
};
constexpr TOpCodeParameters kOpCodesA[] = {{L"BYPASS", L"1111"}, {L"IDCODE", L"1110"}, {L"SAMPLE", L"0010"}};
constexpr std::wstring_view kBypassOps[] = {L"BYPASS"};
constexpr std::wstring_view kBoundaryOps[] = {L"SAMPLE", L"EXTEST"};  // EXTEST is no opcode of A
constexpr TRegisterAssociationParameters kRegistersA[] = {
    {L"BYPASS", 1, 1, kBypassOps},
    {L"BOUNDARY", 3, 2, kBoundaryOps},
};
constexpr TBSDLParameters kEntryA{
    .Name = L".bsd",
    .BoundaryLength = 3,
    .ScanClockMaxSpeed = 10e6,
    .ScanClockHaltMode = eScanClockHaltMode_Low,
    .ConformanceStatement = L"STD_1149_1_2001",
    .CompliancePattern = L"(JTCE) (1)",
    .Filename = L"chip_a.bsd",
    .Instruction_SAMPLE = 2,
    .PinNumber_TDI = L"1",
    .PinNumber_TDO = L"2",
    .PinNumber_TMS = L"3",
    .PinNumber_TCK = L"4",
    .PinNumber_TRST = L"9",  // no such pin
    .PinCount = 5,
    .Pins = kPinsA,
    .BoundaryCellCount = 3,
    .BoundaryCells = kCellsA,
    .OpCodeCount = 3,
    .OpCodes = kOpCodesA,
    .RegisterAssociationCount = 2,
    .RegisterAssociations = kRegistersA,
};

// A second chip naming the same cell numbers, TDI pin and IDCODE differently,
// and adding a pin and an opcode of its own.
constexpr TScanPinParameters kPinsB[] = {
    {eElectricIO, L"TDI_B", L"1", eScanPinKind_Normal, {L"TDI_B", L"1"}, 0, {}},
    {eElectricIO, L"PB0", L"7", eScanPinKind_Normal, {L"PB0", L"7"}, 1, kPB0Cells},
};
constexpr TBoundaryCellParameters kCellsB[] = {
    {0, eCellKind_BC_4, L"PB0", eCellFunction_Clock, eBit_1, eBit_1, eDisableResult_Pull1, L"5", -1, -1},
    {1, eCellKind_BC_4, L"PB0", eCellFunction_Clock, eBit_1, eBit_1, eDisableResult_Pull1, L"5", 2, 0},
    {2, eCellKind_BC_4, L"PB0", eCellFunction_Control, eBit_1, eBit_1, eDisableResult_Pull1, L"", -1, -1},
};
constexpr TOpCodeParameters kOpCodesB[] = {{L"idcode", L"0000"}, {L"EXTEST", L"0000"}};
constexpr TRegisterAssociationParameters kRegistersB[] = {{L"bypass", 8, 1, kBypassOps}};
constexpr TBSDLParameters kEntryB{
    L"chip_b.bsd", 3, 0.0, eScanClockHaltMode_None, L"", L"", L"", -1, L"1", L"", L"", L"", L"",
    2, kPinsB, 3, kCellsB, 2, kOpCodesB, 1, kRegistersB,
};

// Every row names ".bsd"; the list finds ".BSD" first, the build takes the
// last entry of that name.
constexpr TBSDLParameters kShort{
    L".BSD", 1, 0.0, eScanClockHaltMode_None, L"", L"", L"", -1, L"", L"", L"", L"", L"", 0, {}, 0, {}, 0, {}, 0, {},
};
constexpr TBSDLParameters kTable[] = {kEntryB, kShort, kEntryA};

std::unique_ptr<TCortexM3> Driver() { return std::unique_ptr<TCortexM3>(New<TCortexM3>(eSTM32F100C4T6B)); }

TEST(BoundaryScanEntities, AreBuiltWithTheirFieldsCellsPinsLinksOpcodesAndRegisters) {
  auto driver = Driver();
  const auto entity = driver->BuildBSDLEntity(kEntryA);
  const TBSDLEntity& e = *entity;
  EXPECT_EQ(L".bsd", e.Name);
  EXPECT_EQ(3, e.BoundaryLength);
  EXPECT_EQ(10e6, e.ScanClockMaxSpeed);
  EXPECT_EQ(eScanClockHaltMode_Low, e.ScanClockHaltMode);
  EXPECT_EQ(L"STD_1149_1_2001", e.ConformanceStatement);
  EXPECT_EQ(L"(JTCE) (1)", e.CompliancePattern);
  EXPECT_EQ(L"chip_a.bsd", e.Filename);
  EXPECT_EQ(2u, e.Instruction_SAMPLE);

  ASSERT_EQ(3u, e.BoundaryCells.size());
  for (int i = 0; i < 3; ++i) {
    const TBoundaryCell& cell = *e.BoundaryCells[std::size_t(i)];
    const TBoundaryCellParameters& want = kCellsA[i];
    EXPECT_EQ(want.CellNumber, cell.CellNumber);
    EXPECT_EQ(want.CellKind, cell.CellKind);
    EXPECT_EQ(want.PortId, cell.PortId);
    EXPECT_EQ(want.CellFunction, cell.CellFunction);
    EXPECT_EQ(want.SafeBit, cell.SafeBit);
    EXPECT_EQ(want.ControlCellNumber, cell.ControlCellNumber);
    EXPECT_EQ(want.DisableResult, cell.DisableResult);
    EXPECT_EQ(entity.get(), cell.FEntity);
  }
  ASSERT_EQ(5u, e.Pins.size());
  const TScanPin& pa0 = *e.Pins[4];
  EXPECT_EQ(L"PA0", pa0.PinName);
  EXPECT_EQ(eElectricIO, pa0.Direction);
  ASSERT_NE(nullptr, pa0.PinMapping);
  EXPECT_EQ(L"5", pa0.PinMapping->PinNumber);
  EXPECT_EQ(&pa0, pa0.PinMapping->ScanPin);
  ASSERT_EQ(2u, pa0.BoundaryCells.size());
  EXPECT_EQ(e.BoundaryCells[0].get(), pa0.BoundaryCells[0]);
  EXPECT_EQ(e.BoundaryCells[1].get(), pa0.BoundaryCells[1]);

  // The links: TAP pins, each cell's pin, control and target cells.
  EXPECT_EQ(e.Pins[0].get(), e.TAP_TDI);
  EXPECT_EQ(e.Pins[1].get(), e.TAP_TDO);
  EXPECT_EQ(e.Pins[2].get(), e.TAP_TMS);
  EXPECT_EQ(e.Pins[3].get(), e.TAP_TCK);
  EXPECT_EQ(nullptr, e.TAP_TRST);
  EXPECT_EQ(&pa0, e.BoundaryCells[0]->Pin);
  EXPECT_EQ(&pa0, e.BoundaryCells[1]->Pin);
  EXPECT_EQ(nullptr, e.BoundaryCells[2]->Pin);
  EXPECT_EQ(e.BoundaryCells[2].get(), e.BoundaryCells[1]->ControlCell);
  EXPECT_EQ(e.BoundaryCells[0].get(), e.BoundaryCells[1]->TargetCell);
  EXPECT_EQ(nullptr, e.BoundaryCells[0]->ControlCell);

  ASSERT_EQ(3u, e.InstructionOpCodes.size());
  EXPECT_EQ(L"IDCODE(1110)", e.InstructionOpCodes[1]->Description());
  ASSERT_EQ(2u, e.RegisterAssociations.size());
  EXPECT_EQ(L"BYPASS    [1] (BYPASS(1111))", e.RegisterAssociations[0]->Description());
  EXPECT_EQ(L"BOUNDARY  [3] (SAMPLE(0010))", e.RegisterAssociations[1]->Description());
}

TEST(BoundaryScanEntities, ASecondEntitySharesTheCachedObjectsAndEitherMayGoFirst) {
  auto driver = Driver();
  auto a = driver->BuildBSDLEntity(kEntryA);
  auto b = driver->BuildBSDLEntity(kEntryB);
  ASSERT_EQ(3u, b->BoundaryCells.size());
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(a->BoundaryCells[i].get(), b->BoundaryCells[i].get());
  EXPECT_EQ(L"PA0", b->BoundaryCells[0]->PortId);  // the cached cell, not B's record
  ASSERT_EQ(2u, b->Pins.size());
  EXPECT_EQ(a->Pins[0].get(), b->Pins[0].get());
  EXPECT_EQ(L"TDI", b->TAP_TDI->PinName);
  const TScanPin& pb0 = *b->Pins[1];
  EXPECT_EQ(b.get(), pb0.FEntity);  // made for B
  ASSERT_EQ(1u, pb0.BoundaryCells.size());
  EXPECT_EQ(a->BoundaryCells[2].get(), pb0.BoundaryCells[0]);
  ASSERT_EQ(2u, b->InstructionOpCodes.size());
  EXPECT_EQ(a->InstructionOpCodes[1].get(), b->InstructionOpCodes[0].get());  // "idcode" finds IDCODE
  EXPECT_EQ(L"EXTEST(0000)", b->InstructionOpCodes[1]->Description());
  ASSERT_EQ(1u, b->RegisterAssociations.size());
  EXPECT_EQ(a->RegisterAssociations[0].get(), b->RegisterAssociations[0].get());

  // The driver owns the shared objects: an entity going leaves them whole.
  a.reset();
  EXPECT_EQ(L"PA0", b->BoundaryCells[0]->PortId);
  EXPECT_EQ(L"IDCODE(1110)", b->InstructionOpCodes[0]->Description());
  b.reset();
  driver.reset();
}

TEST(BoundaryScanEntities, TheRowsEntityIsBuiltFromTheLastEntryOfItsNameOnceAndAnsweredAsItIs) {
  auto driver = Driver();
  driver->UseBSDLTable(kTable);
  IDispatch* entity = driver->BSDLEntity();
  ASSERT_NE(nullptr, entity);
  EXPECT_EQ(L".bsd", Call(entity, kGetName).Text());
  EXPECT_EQ(3, Call(entity, kGetBoundaryLength).Int());
  EXPECT_EQ(5, Call(entity, kGetPinCount).Int());
  EXPECT_EQ(entity, driver->BSDLEntity());
  EXPECT_EQ(entity, Call(driver.get(), kGetBSDLEntity).Dispatch());

  // A table without the row's name answers no entity.
  constexpr TBSDLParameters kOther[] = {kEntryB};
  driver->UseBSDLTable(kOther);
  EXPECT_EQ(nullptr, driver->BSDLEntity());
  EXPECT_EQ(nullptr, Call(driver.get(), kGetBSDLEntity).Dispatch());
}

}  // namespace
}  // namespace catalogue_test
