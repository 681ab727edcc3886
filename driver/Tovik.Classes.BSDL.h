#pragma once
// The boundary-scan description model: an entity (on the VHDL entity) with its
// scan pins, pin mappings, boundary cells, instruction opcodes and register
// associations, and the small adapters through which the host reads them.
// A parsed entity decodes its boundary length and register on first demand.
// Also the boundary-scan parser and the lookup of a description file, which
// unpacks a zipped copy into the temporary folder when the file is missing.
#include "ORV.SCH.AbstractClasses.h"
#include "ORV.SCH.Types.h"
#include "Tovik.Classes.VHDL.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tvk {

class TBSDLEntity;
class TBSDLParser;
class TScanPin;
class TBoundaryCell;
class TPinMapping;
class TInstructionOpCode;
class TRegisterAssociation;

// Names that decode a cell description (index = ordinal).
inline constexpr auto kBitValueNames = std::to_array<std::wstring_view>({L"", L"0", L"1", L"X"});
inline constexpr auto kDisableResultNames =
    std::to_array<std::wstring_view>({L"", L"Z", L"Weak0", L"Weak1", L"Pull0", L"Pull1", L"Keeper"});

// The boundary-scan keywords; entries 6 and 7 name the attributes decoded lazily.
inline constexpr auto kBSDLKeywords = std::to_array<std::wstring_view>({
    L"AtPins", L"Bidir", L"BidirIn", L"BidirOut", L"Both", L"Boundary", L"Boundary_Length", L"Boundary_Register",
    L"BScan_Inst", L"BSDL_Extension", L"Bypass", L"Cap", L"Cap_Data", L"Captures", L"Cell_Data", L"Cell_Info",
    L"Cell_Type", L"Clamp", L"Clock", L"Clock_Info", L"Clock_Level", L"Compliance_Patterns",
    L"Component_Conformance", L"Control", L"ControlR", L"Design_Warning", L"Device_ID", L"Differential_Current",
    L"Differential_Voltage", L"Expect_Data", L"EXTest", L"HighZ", L"ID_Bits", L"ID_String", L"IDCode",
    L"IDCode_Register", L"Input", L"Instruction_Capture", L"Instruction_Length", L"Instruction_OPCode",
    L"Instruction_Private", L"Internal", L"InTest", L"InTest_Execution", L"Keeper", L"LOW", L"Observe_Only",
    L"Observing", L"One", L"Output2", L"Output3", L"Physical_Pin_Map", L"PI", L"Pin_Map", L"Pin_Map_String", L"PO",
    L"Port_Grouping", L"Preload", L"PULL0", L"PULL1", L"Register_Access", L"RunBist", L"RunBist_Execution",
    L"Sample", L"TAP_Scan_Clock", L"TAP_Scan_In", L"TAP_Scan_Mode", L"TAP_Scan_Out", L"TAP_Scan_Reset", L"UPD",
    L"UserCode", L"UserCode_Register", L"Wait_Duration", L"Weak0", L"Weak1", L"X", L"Z", L"ZERO",
});
static_assert(kBSDLKeywords.size() == 78);
inline constexpr int kBSDL_BoundaryLength = 6, kBSDL_BoundaryRegister = 7;

// The index of Name in Names (ASCII case ignored), the first match; 0 for none.
template <std::size_t N>
int NameIndex(const std::array<std::wstring_view, N>& names, std::wstring_view name) {
  for (std::size_t i = 0; i < N; ++i)
    if (SameAsciiText(names[i], name)) return int(i);
  return 0;
}

// What every adapter holds: a plain reference to its model object, cleared
// when that object goes, after which the adapter answers E_UNEXPECTED.
struct TBSDLAdapterLink {
  void* Ex = nullptr;
};

// ---- Model objects: dispatch objects that count no references; the entity
// owns them. Dispatch calls on one go to its adapters in creation order.

class TBSDLObject : public TDispatchObjectNoRef {
public:
  explicit TBSDLObject(TBSDLEntity* AEntity);
  // Detaches and releases the adapters.
  ~TBSDLObject() override;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override;
  virtual WideString Description() { return {}; }
  virtual WideString ShortDescription() { return {}; }
  virtual int32_t ObjectCode() { return 4; }
  // The last implementor: the class's own adapter.
  IDispatch* GetImpl() const;

  TBSDLEntity* FEntity;

protected:
  // Takes the adapter's first reference.
  void AddImplementor(TAbstractSupportService* adapter, TBSDLAdapterLink& link);

private:
  struct TImplementor {
    IDispatch* Dispatch;  // counted
    TBSDLAdapterLink* Link;
  };
  std::vector<TImplementor> FImplementators;
};

class TScanPin : public TBSDLObject {
public:
  explicit TScanPin(TBSDLEntity* AEntity);
  WideString Description() override;
  WideString ShortDescription() override;
  int32_t ObjectCode() override { return 19; }

  void SetDirection(TPinElectrical Value) { Direction = Value; }
  void SetPinName(const WideString& NewPinName) { PinName = NewPinName; }
  void SetPinNumber(const WideString& Value) { PinNumber = Value; }
  void SetKind(TScanPinKind Value) { Kind = Value; }
  void SetPinMapping(TPinMapping* Value) { PinMapping = Value; }
  void AddBoundaryCell(TBoundaryCell* Cell) { BoundaryCells.push_back(Cell); }

  TPinElectrical Direction = eElectricPassive;
  WideString PinName, PinNumber;
  TScanPinKind Kind = eScanPinKind_Normal;
  TBSDLEntity* Entity;
  TPinMapping* PinMapping = nullptr;
  int32_t CurrentValue = 0;
  std::vector<TBoundaryCell*> BoundaryCells;  // not owned
  INetItem LinkedPort;                        // a design net a caller links; the model only initialises it
  int32_t LinkedPortBitIndex = -1;
};

class TBoundaryCell : public TBSDLObject {
public:
  explicit TBoundaryCell(TBSDLEntity* AEntity);
  WideString Description() override;
  WideString ShortDescription() override { return Description(); }
  int32_t ObjectCode() override { return 41; }

  void SetCellNumber(int32_t Value) { CellNumber = Value; }
  void SetCellKind(TCellKind Value) { CellKind = Value; }
  void SetPortId(const WideString& Value) { PortId = Value; }
  void SetCellFunction(TCellFunction Value) { CellFunction = Value; }
  void SetSafeBit(TBitValue Value) { SafeBit = Value; }
  void SetDisableValue(TBitValue Value) { DisableValue = Value; }
  void SetDisableResult(TDisableResult Value) { DisableResult = Value; }
  void SetPin(TScanPin* Value) { Pin = Value; }
  void SetControlCellNumber(int32_t Value) { ControlCellNumber = Value; }
  void SetControlCell(TBoundaryCell* Value) { ControlCell = Value; }
  void SetTargetCell(TBoundaryCell* Value) { TargetCell = Value; }

  int32_t CellNumber = -1;
  TCellKind CellKind = eCellKind_Undefined;
  WideString PortId = L"*";
  TBitValue SafeBit = eBit_X;
  int32_t ControlCellNumber = -1;  // -1: none
  TBitValue DisableValue = eBit_0;
  TDisableResult DisableResult = eDisableResult_Undefined;
  TScanPin* Pin = nullptr;
  TBoundaryCell* ControlCell = nullptr;
  TBoundaryCell* TargetCell = nullptr;
  TCellFunction CellFunction = eCellFunction_Undefined;
  int32_t CurrentValue = 0;
};

class TPinMapping : public TBSDLObject {
public:
  explicit TPinMapping(TBSDLEntity* AEntity);
  void SetPinName(const WideString& Value) { PinName = Value; }
  void SetPinNumber(const WideString& Value) { PinNumber = Value; }
  void SetScanPin(TScanPin* Value) { ScanPin = Value; }

  WideString PinName, PinNumber;
  TScanPin* ScanPin = nullptr;
};

class TInstructionOpCode : public TBSDLObject {
public:
  explicit TInstructionOpCode(TBSDLEntity* AEntity);
  WideString Description() override { return InstructionName + L"(" + OpCodePattern + L")"; }
  WideString ShortDescription() override { return Description(); }
  int32_t ObjectCode() override { return 72; }
  void SetInstructionName(const WideString& Value) { InstructionName = Value; }
  void SetOpCodePattern(const WideString& Value) { OpCodePattern = Value; }

  WideString InstructionName, OpCodePattern;
  uint32_t InstructionCode = 0;
};

class TRegisterAssociation : public TBSDLObject {
public:
  explicit TRegisterAssociation(TBSDLEntity* AEntity);
  WideString Description() override;
  WideString ShortDescription() override { return Description(); }
  int32_t ObjectCode() override { return 99; }
  void SetRegisterName(const WideString& Value) { RegisterName = Value; }
  void SetRegisterLength(int32_t Value) { RegisterLength = Value; }
  void AddOpCode(TInstructionOpCode* OpCode) { InstructionOpCodes.push_back(OpCode); }

  WideString RegisterName;
  int32_t RegisterLength = 0;
  std::vector<TInstructionOpCode*> InstructionOpCodes;  // not owned; named by their InstructionName
};

// ---- The entity

// Whether an entry of an entity's lists is the entity's own. A parsed entity
// owns its objects; an entity a driver builds from its compiled-in
// descriptions shares them with the driver's caches, which own them.
struct TBSDLOwnership {
  bool Owned = true;
  TBSDLOwnership() = default;
  constexpr explicit TBSDLOwnership(bool owned) : Owned(owned) {}
  template <class T>
  TBSDLOwnership(std::default_delete<T>) {}
  template <class T>
  void operator()(T* object) const {
    if (Owned) delete object;
  }
};
inline constexpr TBSDLOwnership kBSDLShared{false};

template <class T>
using TBSDLList = std::vector<std::unique_ptr<T, TBSDLOwnership>>;

class TBSDLEntity : public TEntity {
public:
  TVK_CLASS(TBSDLEntity, TEntity)
  // For builders that fill everything themselves.
  TBSDLEntity();
  // For the parser: lazy evaluation of the boundary information.
  TBSDLEntity(TBSDLParser* AParser, const WideString& AFilename);
  ~TBSDLEntity() override;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override;

  // The entity owns what it is given unless told it is shared (kBSDLShared).
  void AddPin(TScanPin* Pin, TBSDLOwnership Ownership = {}) { Pins.emplace_back(Pin, Ownership); }
  void AddBoundaryCell(TBoundaryCell* Cell, TBSDLOwnership Ownership = {}) {
    BoundaryCells.emplace_back(Cell, Ownership);
  }
  void AddInstructionOpCode(TInstructionOpCode* OpCode, TBSDLOwnership Ownership = {}) {
    InstructionOpCodes.emplace_back(OpCode, Ownership);
  }
  void AddRegisterAssociation(TRegisterAssociation* RA, TBSDLOwnership Ownership = {}) {
    RegisterAssociations.emplace_back(RA, Ownership);
  }
  // The entity's adapter, as the host sees it.
  IDispatch* GetImpl() const;

  // Decodes "Boundary_Length" and "Boundary_Register" once, for a parsed
  // entity. Cell numbers that are not exactly 0 to N - 1, or a control cell
  // N or above, raise: the new cells are freed, the list stays as it was and
  // the next demand tries again.
  void ProcessBoundaryInfo();
  void ParseBoundaryRegister(const WideString& Text);
  // The first attribute of that designator (ASCII case ignored), or none.
  TVHDLAttribute* FindAttribute(std::wstring_view Name) const;

  // File lookup.
  static WideString DetermineFullPath(const WideString& BSDLFileName, const WideString& DeviceVendorName,
                                      const WideString& DeviceFamilyName, const WideString& LibraryFolder);
  static WideString FindFullBSDLPath(const WideString& SourcePath);

  ComRef<IDispatch> Impl;
  int32_t InstructionLength = 0;
  uint32_t IdCode = 0;
  TBSDLList<TPinMapping> PinMappings;
  WideString Instruction_Capture;
  std::unique_ptr<TStringList> Instruction_Private = std::make_unique<TStringList>();
  WideString Register_IDCode, Register_UserCode, RegisterAccessDescriptor, DesignWarning;
  uint32_t Instruction_BYPASS = 0xFFFFFFFF, Instruction_EXTEST = 0xFFFFFFFF, Instruction_IDCODE = 0xFFFFFFFF,
           Instruction_USERCODE = 0xFFFFFFFF, Instruction_CLAMP = 0xFFFFFFFF, Instruction_HIGHZ = 0xFFFFFFFF;
  bool FProcessedBoundaryInfo = false;
  bool UsingLazyEvaluation = false;
  TBSDLList<TScanPin> Pins;
  TBSDLList<TInstructionOpCode> InstructionOpCodes;
  TBSDLList<TRegisterAssociation> RegisterAssociations;
  // Index = cell number once placed.
  TBSDLList<TBoundaryCell> BoundaryCells;
  int32_t BoundaryLength = 0;
  double ScanClockMaxSpeed = 0.0;
  TScanClockHaltMode ScanClockHaltMode = eScanClockHaltMode_None;
  WideString ConformanceStatement, CompliancePattern, Filename;
  TScanPin *TAP_TDI = nullptr, *TAP_TDO = nullptr, *TAP_TMS = nullptr, *TAP_TCK = nullptr, *TAP_TRST = nullptr;
  uint32_t Instruction_SAMPLE = 0xFFFFFFFF;

private:
  void Initialize(const WideString& AFilename, bool lazy);
  std::unique_ptr<TBoundaryCell> ParseBoundaryCell(int32_t Number, const WideString& Spec);
  void PlaceBoundaryCells(std::vector<std::unique_ptr<TBoundaryCell>>& NewCells);
  TBSDLAdapterLink* FImplLink = nullptr;
};

// ---- The parser

class TBSDLParser : public TVHDLParser {
public:
  TVK_CLASS(TBSDLParser, TVHDLParser)
  // Every log line is also added to ALines (not owned, may be none).
  TBSDLParser(TStrings* ALines, TStringList* AEntities, const WideString& ADocumentPath);

  WideString LogFileName() override { return L"BSDL Parser.log"; }
  void LogLine(const WideString& S) override;
  TEntity* CreateEntity() override;
  // Whether the last run stopped at a parse error.
  bool DidErrorOccur() const { return Error_LineNumber != -1; }

  TStrings* Lines;
};

// Unpacks every file of the archive flat into Folder, replacing older ones;
// false when the archive is missing or the library reports a failure. Errors
// of the zip library (cannot be loaded) go to the caller.
bool UnzipArchiveToFolder(const WideString& ZipFileName, const WideString& Folder);

}  // namespace tvk
