#include "Tovik.Classes.BSDL.h"

#include "Convert.h"
#include "Extension.XCeedApi.h"
#include "Files.h"
#include "ZUL.Util.h"

#include <algorithm>

namespace tvk {

namespace {

// ---- Adapters: each answers its served base from its model object; once the
// model object is gone it answers E_UNEXPECTED.

template <class T>
T& Linked(const TBSDLAdapterLink& link) {
  if (!link.Ex) throw Exception(L"The boundary-scan object is gone");
  return *static_cast<T*>(link.Ex);
}

// A record over an object's adapter, or an empty record.
template <class R, class T>
R RecordOf(T* object) {
  return object ? R::FromPointer(object->GetImpl()) : R();
}

template <class T>
T* Plain(T* p) {
  return p;
}
template <class T, class D>
T* Plain(const std::unique_ptr<T, D>& p) {
  return p.get();
}

// Entry I of a list of model objects as a record; an empty one outside it.
template <class R, class List>
R Indexed(const List& list, int32_t index) {
  if (index < 0 || std::size_t(index) >= list.size()) return R();
  return RecordOf<R>(Plain(list[std::size_t(index)]));
}

#define TVK_ANSWER(Operation, Type, Expression) \
  HRESULT Operation(Type& Result) override { return Guard([&] { Result = Type(Expression); }); }
#define TVK_ANSWER_AT(Operation, Type, Expression) \
  HRESULT Operation(int32_t Index, Type& Result) override { return Guard([&] { Result = Expression; }); }

// What every object adapter answers: the texts and the owning entity.
template <class Base, class Model>
class TObjectAdapter : public Base, public TBSDLAdapterLink {
public:
  explicit TObjectAdapter(Model* model) { Ex = model; }
  Model& M() const { return Linked<Model>(*this); }
  TVK_ANSWER(GetDescription, WideString, M().Description())
  TVK_ANSWER(GetShortDescription, WideString, M().ShortDescription())
  TVK_ANSWER(GetEntity, IBSDLEntity, IBSDLEntity::FromPointer(M().FEntity ? M().FEntity->GetImpl() : nullptr))
};

using TBSDLObject_Impl = TObjectAdapter<TAbstractBSDLObject, TBSDLObject>;

// Scan pins and boundary cells also take their current value (509024) and
// name one more service.
template <class Base, class Model>
class TValueHolderAdapter : public TObjectAdapter<Base, Model> {
public:
  using TObjectAdapter<Base, Model>::TObjectAdapter;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override {
    if (id != kDispSetCurrentValue) return Base::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
    // A missing argument fails the call rather than storing a value never given.
    return Guard([&] { this->M().CurrentValue = ServedArgInt(TServedArgs(params).Arg(1)); });
  }
  HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, ByteBool* Supported) override {
    return this->SupportsLevel(ServiceName, Supported, {L"BSDLValueHolder"},
                               [&](BSTR n, ByteBool* s) { return Base::SupportsService(n, s); });
  }
};

class TScanPin_Impl : public TValueHolderAdapter<TAbstractScanPin, TScanPin> {
public:
  using TValueHolderAdapter::TValueHolderAdapter;
  TVK_ANSWER(GetDirection, int32_t, M().Direction)
  TVK_ANSWER(GetPinName, WideString, M().PinName)
  TVK_ANSWER(GetPinNumber, WideString, M().PinNumber)
  TVK_ANSWER(GetKind, int32_t, M().Kind)
  TVK_ANSWER(GetPinMapping, IPinMapping, RecordOf<IPinMapping>(M().PinMapping))
  TVK_ANSWER(GetBoundaryCellCount, int32_t, M().BoundaryCells.size())
  TVK_ANSWER_AT(GetBoundaryCell, IBoundaryCell, Indexed<IBoundaryCell>(M().BoundaryCells, Index))
  TVK_ANSWER(GetCurrentValue, int32_t, M().CurrentValue)
};

class TBoundaryCell_Impl : public TValueHolderAdapter<TAbstractBoundaryCell, TBoundaryCell> {
public:
  using TValueHolderAdapter::TValueHolderAdapter;
  TVK_ANSWER(GetCellNumber, int32_t, M().CellNumber)
  TVK_ANSWER(GetCellKind, int32_t, M().CellKind)
  TVK_ANSWER(GetPortId, WideString, M().PortId)
  TVK_ANSWER(GetCellFunction, int32_t, M().CellFunction)
  TVK_ANSWER(GetSafeBit, int32_t, M().SafeBit)
  TVK_ANSWER(GetControlCellNumber, int32_t, M().ControlCellNumber)
  TVK_ANSWER(GetDisableValue, int32_t, M().DisableValue)
  TVK_ANSWER(GetDisableResult, int32_t, M().DisableResult)
  TVK_ANSWER(GetPin, IScanPin, RecordOf<IScanPin>(M().Pin))
  TVK_ANSWER(GetControlCell, IBoundaryCell, RecordOf<IBoundaryCell>(M().ControlCell))
  TVK_ANSWER(GetTargetCell, IBoundaryCell, RecordOf<IBoundaryCell>(M().TargetCell))
  TVK_ANSWER(GetCurrentValue, int32_t, M().CurrentValue)
};

class TPinMapping_Impl : public TObjectAdapter<TAbstractPinMapping, TPinMapping> {
public:
  using TObjectAdapter::TObjectAdapter;
  TVK_ANSWER(GetPinName, WideString, M().PinName)
  TVK_ANSWER(GetPinNumber, WideString, M().PinNumber)
  TVK_ANSWER(GetScanPin, IScanPin, RecordOf<IScanPin>(M().ScanPin))
};

class TInstructionOpCode_Impl : public TObjectAdapter<TAbstractInstructionOpCode, TInstructionOpCode> {
public:
  using TObjectAdapter::TObjectAdapter;
  TVK_ANSWER(GetInstructionName, WideString, M().InstructionName)
  TVK_ANSWER(GetOpCodePattern, WideString, M().OpCodePattern)
};

class TRegisterAssociation_Impl : public TObjectAdapter<TAbstractRegisterAssociation, TRegisterAssociation> {
public:
  using TObjectAdapter::TObjectAdapter;
  TVK_ANSWER(GetRegisterName, WideString, M().RegisterName)
  TVK_ANSWER(GetRegisterLength, int32_t, M().RegisterLength)
  TVK_ANSWER(GetInstructionOpcodeCount, int32_t, M().InstructionOpCodes.size())
  TVK_ANSWER_AT(GetInstructionOpcode, IInstructionOpCode,
                Indexed<IInstructionOpCode>(M().InstructionOpCodes, Index))
};

// A TAP pin goes out as the model object itself, whose dispatch forwards to its adapters.
IScanPin PinItself(TScanPin* pin) { return pin ? IScanPin::FromPointer(static_cast<IDispatch*>(pin)) : IScanPin(); }

class TBSDLEntity_Impl : public TAbstractBSDLEntity, public TBSDLAdapterLink {
public:
  explicit TBSDLEntity_Impl(TBSDLEntity* entity) { Ex = entity; }
  TBSDLEntity& M() const { return Linked<TBSDLEntity>(*this); }
  // Decoded first, for the operations that read the boundary information.
  TBSDLEntity& Processed() const {
    M().ProcessBoundaryInfo();
    return M();
  }
  TVK_ANSWER(GetName, WideString, M().Name)
  TVK_ANSWER(GetInstructionLength, int32_t, M().InstructionLength)
  TVK_ANSWER(GetIdCode, uint32_t, M().IdCode)
  TVK_ANSWER(GetBoundaryLength, int32_t, Processed().BoundaryLength)
  TVK_ANSWER_AT(GetPin, IScanPin, Indexed<IScanPin>(M().Pins, Index))
  TVK_ANSWER_AT(GetPinMapping, IPinMapping, Indexed<IPinMapping>(M().PinMappings, Index))
  TVK_ANSWER_AT(GetBoundaryCell, IBoundaryCell, Indexed<IBoundaryCell>(Processed().BoundaryCells, Index))
  TVK_ANSWER_AT(GetInstructionOpcode, IInstructionOpCode, Indexed<IInstructionOpCode>(M().InstructionOpCodes, Index))
  TVK_ANSWER_AT(GetRegisterAssociation, IRegisterAssociation,
                Indexed<IRegisterAssociation>(M().RegisterAssociations, Index))
  TVK_ANSWER(GetPinCount, int32_t, M().Pins.size())
  TVK_ANSWER(GetPinMappingCount, int32_t, M().PinMappings.size())
  TVK_ANSWER(GetBoundaryCellCount, int32_t, Processed().BoundaryCells.size())
  TVK_ANSWER(GetInstructionOpcodeCount, int32_t, M().InstructionOpCodes.size())
  TVK_ANSWER(GetRegisterAssociationCount, int32_t, M().RegisterAssociations.size())
  TVK_ANSWER(GetPin_TDI, IScanPin, PinItself(M().TAP_TDI))
  TVK_ANSWER(GetPin_TDO, IScanPin, PinItself(M().TAP_TDO))
  TVK_ANSWER(GetPin_TMS, IScanPin, PinItself(M().TAP_TMS))
  TVK_ANSWER(GetPin_TCK, IScanPin, PinItself(M().TAP_TCK))
  TVK_ANSWER(GetPin_TRST, IScanPin, PinItself(M().TAP_TRST))
  TVK_ANSWER(GetInstruction_BYPASS, uint32_t, M().Instruction_BYPASS)
  TVK_ANSWER(GetInstruction_EXTEST, uint32_t, M().Instruction_EXTEST)
  TVK_ANSWER(GetInstruction_SAMPLE, uint32_t, M().Instruction_SAMPLE)
  TVK_ANSWER(GetInstruction_IDCODE, uint32_t, M().Instruction_IDCODE)
  TVK_ANSWER(GetInstruction_USERCODE, uint32_t, M().Instruction_USERCODE)
  TVK_ANSWER(GetInstruction_CLAMP, uint32_t, M().Instruction_CLAMP)
  TVK_ANSWER(GetInstruction_HIGHZ, uint32_t, M().Instruction_HIGHZ)
  TVK_ANSWER(GetScanClockMaxSpeed, double, M().ScanClockMaxSpeed)
  TVK_ANSWER(GetScanClockHaltMode, int32_t, M().ScanClockHaltMode)
  TVK_ANSWER(GetConformanceStatement, WideString, M().ConformanceStatement)
  TVK_ANSWER(GetCompliancePattern, WideString, M().CompliancePattern)
  TVK_ANSWER(GetDesignWarning, WideString, M().DesignWarning)
  TVK_ANSWER(GetFilename, WideString, M().Filename)
};

// The fields of a comma text: commas and blanks separate them, a double-quoted
// field keeps its blanks (a doubled quote inside stands for one).
std::vector<WideString> CommaFields(std::wstring_view text) {
  std::vector<WideString> fields;
  std::size_t p = 0;
  auto skipBlanks = [&] {
    while (p < text.size() && text[p] <= L' ') ++p;
  };
  skipBlanks();
  while (p < text.size()) {
    WideString field;
    if (text[p] == L'"') {
      for (++p; p < text.size(); ++p) {
        if (text[p] == L'"') {
          if (p + 1 < text.size() && text[p + 1] == L'"') ++p;
          else break;
        }
        field += text[p];
      }
      if (p < text.size()) ++p;
    } else {
      while (p < text.size() && text[p] > L' ' && text[p] != L',') field += text[p++];
    }
    fields.push_back(field);
    skipBlanks();
    if (p < text.size() && text[p] == L',') {
      if (p + 1 == text.size()) fields.emplace_back();
      do ++p;
      while (p < text.size() && text[p] <= L' ');
    }
  }
  return fields;
}

int32_t DecimalOr(std::wstring_view text, int32_t fallback) {
  int32_t value = 0;
  return TryDecimalToInt(TrimText(text), value) ? value : fallback;
}

}  // namespace

// ---- TBSDLObject

TBSDLObject::TBSDLObject(TBSDLEntity* AEntity) : FEntity(AEntity) {
  auto* adapter = New<TBSDLObject_Impl>(this);
  AddImplementor(adapter, *adapter);
}

TBSDLObject::~TBSDLObject() {
  for (TImplementor& implementor : FImplementators) {
    implementor.Link->Ex = nullptr;
    implementor.Dispatch->Release();
  }
}

void TBSDLObject::AddImplementor(TAbstractSupportService* adapter, TBSDLAdapterLink& link) {
  IDispatch* dispatch = adapter;
  dispatch->AddRef();
  FImplementators.push_back({dispatch, &link});
}

IDispatch* TBSDLObject::GetImpl() const { return FImplementators.back().Dispatch; }

HRESULT STDMETHODCALLTYPE TBSDLObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                              VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  HRESULT hr = TDispatchObjectNoRef::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  for (const TImplementor& implementor : FImplementators) {
    if (hr == S_OK) break;
    hr = implementor.Dispatch->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  }
  return hr;
}

TScanPin::TScanPin(TBSDLEntity* AEntity) : TBSDLObject(AEntity), Entity(AEntity) {
  auto* adapter = New<TScanPin_Impl>(this);
  AddImplementor(adapter, *adapter);
}

WideString TScanPin::Description() {
  return L" Pin Name:" + PadRight(PinName, 12) + L" Number:" + PadRight(PinNumber, 12) + L" IO:" +
         WideString(kPinElectricalNames[std::size_t(Direction)]);
}

WideString TScanPin::ShortDescription() {
  return PinName + L"(" + PinNumber + L")-" + WideString(kPinElectricalNames[std::size_t(Direction)]);
}

TBoundaryCell::TBoundaryCell(TBSDLEntity* AEntity) : TBSDLObject(AEntity) {
  auto* adapter = New<TBoundaryCell_Impl>(this);
  AddImplementor(adapter, *adapter);
}

// No closing parenthesis: the text is as the framework has always written it.
WideString TBoundaryCell::Description() {
  WideString text = PadRight(IntToStr(CellNumber), 4) + L"(" + PadRight(kCellKindNames[std::size_t(CellKind)], 10) +
                    L"," + PadRight(PortId, 10) + L"," + PadRight(kCellFunctionNames[std::size_t(CellFunction)], 10) +
                    L"," + PadRight(kBitValueNames[std::size_t(SafeBit)], 2);
  if (ControlCellNumber >= 0) {
    text += L"," + PadRight(IntToStr(ControlCellNumber), 4) + L"," +
            PadRight(kBitValueNames[std::size_t(DisableValue)], 2) + L"," +
            PadRight(kDisableResultNames[std::size_t(DisableResult)], 10) + L",";
    if (Pin) text += L" Pin:" + Pin->PinName;
  }
  return text;
}

TPinMapping::TPinMapping(TBSDLEntity* AEntity) : TBSDLObject(AEntity) {
  auto* adapter = New<TPinMapping_Impl>(this);
  AddImplementor(adapter, *adapter);
}

TInstructionOpCode::TInstructionOpCode(TBSDLEntity* AEntity) : TBSDLObject(AEntity) {
  auto* adapter = New<TInstructionOpCode_Impl>(this);
  AddImplementor(adapter, *adapter);
}

TRegisterAssociation::TRegisterAssociation(TBSDLEntity* AEntity) : TBSDLObject(AEntity) {
  auto* adapter = New<TRegisterAssociation_Impl>(this);
  AddImplementor(adapter, *adapter);
}

WideString TRegisterAssociation::Description() {
  WideString text = PadRight(RegisterName, 10);
  if (RegisterLength > 0) text += L"[" + IntToStr(RegisterLength) + L"]";
  text += L" (";
  for (std::size_t i = 0; i < InstructionOpCodes.size(); ++i) {
    if (i > 0) text += L",";
    text += InstructionOpCodes[i]->InstructionName + L"(" + InstructionOpCodes[i]->OpCodePattern + L")";
  }
  return text + L")";
}

// ---- TBSDLEntity

TBSDLEntity::TBSDLEntity() : TEntity(nullptr) { Initialize(L"", false); }

TBSDLEntity::TBSDLEntity(TBSDLParser* AParser, const WideString& AFilename) : TEntity(AParser) {
  Initialize(AFilename, true);
}

void TBSDLEntity::Initialize(const WideString& AFilename, bool lazy) {
  auto* adapter = New<TBSDLEntity_Impl>(this);
  Impl = ComRef<IDispatch>(static_cast<IDispatch*>(adapter));
  FImplLink = adapter;
  Name.clear();
  Filename = AFilename;
  UsingLazyEvaluation = lazy;
}

TBSDLEntity::~TBSDLEntity() {
  auto freeInOrder = [](auto& list) {
    for (auto& object : list) object.reset();
    list.clear();
  };
  freeInOrder(Pins);
  freeInOrder(PinMappings);
  freeInOrder(BoundaryCells);
  freeInOrder(InstructionOpCodes);
  freeInOrder(RegisterAssociations);
  Instruction_Private.reset();
  FImplLink->Ex = nullptr;
  Impl = ComRef<IDispatch>();
}

IDispatch* TBSDLEntity::GetImpl() const { return Impl.Get(); }

HRESULT STDMETHODCALLTYPE TBSDLEntity::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                              VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  HRESULT hr = TEntity::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  if (hr != S_OK) hr = Impl->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  return hr;
}

TVHDLAttribute* TBSDLEntity::FindAttribute(std::wstring_view AttributeName) const {
  for (int i = 0; i < Attributes->Count(); ++i) {
    auto* attribute = static_cast<TVHDLAttribute*>(Attributes->Objects(i));
    if (attribute && SameAsciiText(attribute->AttributeDesignator, AttributeName)) return attribute;
  }
  return nullptr;
}

void TBSDLEntity::ProcessBoundaryInfo() {
  if (!UsingLazyEvaluation || FProcessedBoundaryInfo) return;
  if (auto* length = FindAttribute(kBSDLKeywords[kBSDL_BoundaryLength]))
    BoundaryLength = DecimalOr(length->AttributeExpression, 0);
  if (auto* boundary = FindAttribute(kBSDLKeywords[kBSDL_BoundaryRegister]))
    ParseBoundaryRegister(boundary->AttributeExpression);
  FProcessedBoundaryInfo = true;
}

void TBSDLEntity::ParseBoundaryRegister(const WideString& Text) {
  const WideString s = TrimText(Text);
  std::vector<std::unique_ptr<TBoundaryCell>> cells;
  std::size_t p = 0;
  while (p < s.size()) {
    const std::size_t open = s.find(L'(', p);
    if (open == WideString::npos) break;
    std::size_t close = WideString::npos;
    for (std::size_t at = open + 1, depth = 1; at < s.size(); ++at) {
      if (s[at] == L'(') ++depth;
      else if (s[at] == L')' && --depth == 0) {
        close = at;
        break;
      }
    }
    if (close == WideString::npos) break;
    // The character just before "(" is not part of the number.
    const int32_t number = open >= p + 1 ? DecimalOr(std::wstring_view(s).substr(p, open - 1 - p), -1) : -1;
    if (number < 0) break;
    cells.push_back(ParseBoundaryCell(number, TrimText(std::wstring_view(s).substr(open + 1, close - open - 1))));
    p = close + 1;
    if (p >= s.size()) break;
    const std::size_t comma = s.find(L',', p);
    if (comma == WideString::npos) break;
    p = comma + 1;
    while (p < s.size() && s[p] == L' ') ++p;
  }
  PlaceBoundaryCells(cells);
}

std::unique_ptr<TBoundaryCell> TBSDLEntity::ParseBoundaryCell(int32_t Number, const WideString& Spec) {
  auto cell = std::make_unique<TBoundaryCell>(this);
  cell->AfterConstruction();
  cell->CellNumber = Number;
  const std::vector<WideString> fields = CommaFields(Spec);
  auto field = [&](std::size_t i) -> const WideString* { return i < fields.size() ? &fields[i] : nullptr; };
  if (auto* f = field(0)) cell->CellKind = TCellKind(NameIndex(kCellKindNames, *f));
  if (auto* f = field(1)) cell->PortId = *f;
  if (auto* f = field(2)) cell->CellFunction = TCellFunction(NameIndex(kCellFunctionNames, *f));
  if (auto* f = field(3)) cell->SafeBit = TBitValue(NameIndex(kBitValueNames, *f));
  if (auto* f = field(4)) cell->ControlCellNumber = DecimalOr(*f, -1);
  if (auto* f = field(5)) cell->DisableValue = TBitValue(NameIndex(kBitValueNames, *f));
  if (auto* f = field(6)) cell->DisableResult = TDisableResult(NameIndex(kDisableResultNames, *f));
  return cell;
}

void TBSDLEntity::PlaceBoundaryCells(std::vector<std::unique_ptr<TBoundaryCell>>& NewCells) {
  // The register must number its cells 0 to N - 1, each once, and name no
  // control cell beyond them; otherwise nothing changes (NewCells are freed).
  const std::size_t n = NewCells.size();
  std::vector<bool> seen(n, false);
  for (const auto& cell : NewCells) {
    if (std::size_t(cell->CellNumber) >= n || seen[std::size_t(cell->CellNumber)] ||
        (cell->ControlCellNumber >= 0 && std::size_t(cell->ControlCellNumber) >= n))
      throw Exception(L"The boundary register does not number its cells 0 to " + IntToStr(int64_t(n) - 1));
    seen[std::size_t(cell->CellNumber)] = true;
  }
  // Cells placed after any that a builder added; numbers count within the register.
  const std::size_t base = BoundaryCells.size();
  BoundaryCells.resize(base + n);
  for (auto& cell : NewCells) {
    const std::size_t at = base + std::size_t(cell->CellNumber);
    BoundaryCells[at] = std::move(cell);
  }
  NewCells.clear();
  for (std::size_t i = base; i < BoundaryCells.size(); ++i) {
    TBoundaryCell* cell = BoundaryCells[i].get();
    // The port's scan pin, from what a builder added (the parser adds none).
    if (cell->PortId != L"*") {
      auto pin = std::find_if(Pins.begin(), Pins.end(),
                              [&](const auto& p) { return SameAsciiText(p->PinName, cell->PortId); });
      if (pin != Pins.end()) {
        cell->Pin = pin->get();
        cell->Pin->AddBoundaryCell(cell);
        if (cell->Pin->Kind == eScanPinKind_Power || cell->Pin->Kind == eScanPinKind_Ground)
          cell->Pin->Kind = eScanPinKind_Normal;
      }
    }
    if (cell->ControlCellNumber >= 0) {
      TBoundaryCell* control = BoundaryCells[base + std::size_t(cell->ControlCellNumber)].get();
      cell->ControlCell = control;
      control->TargetCell = cell;
    }
  }
}

// ---- File lookup

WideString TBSDLEntity::DetermineFullPath(const WideString& BSDLFileName, const WideString& DeviceVendorName,
                                          const WideString& DeviceFamilyName, const WideString& LibraryFolder) {
  if (!IsRelativePath(BSDLFileName)) return BSDLFileName;
  const WideString base = LibraryFolder.empty() ? GetLibraryFolder() : LibraryFolder;
  return AppendCharIfMissing(base, L'\\') + L"BSDL\\" + DeviceVendorName + L"\\" + DeviceFamilyName + L"\\" +
         BSDLFileName;
}

WideString TBSDLEntity::FindFullBSDLPath(const WideString& SourcePath) {
  const std::size_t cut = SourcePath.find_last_of(L"\\:");
  const WideString name = cut == WideString::npos ? SourcePath : SourcePath.substr(cut + 1);
  if (name.empty()) return {};
  const WideString folder = AppendCharIfMissing(GetTempFolder(), L'\\');
  const WideString tempCopy = folder + name;
  if (FileExists(SourcePath)) return SourcePath;
  if (FileExists(tempCopy)) return tempCopy;
  const WideString zipName = ChangeFileExt(SourcePath, L".Zip");
  if (FileExists(zipName)) {
    UnzipArchiveToFolder(zipName, folder);
    if (FileExists(tempCopy)) return tempCopy;
  }
  return {};
}

bool UnzipArchiveToFolder(const WideString& ZipFileName, const WideString& Folder) {
  if (!FileExists(ZipFileName)) return false;
  TXCeedZip zip(ZipFileName);
  zip.SetPreservePaths(false);
  zip.SetSkipIfExisting(false);
  zip.SetUnzipToFolder(Folder);
  zip.AddFilesToProcess(L"*.*");
  return zip.UnZip() == 0;
}

// ---- TBSDLParser

TBSDLParser::TBSDLParser(TStrings* ALines, TStringList* AEntities, const WideString& ADocumentPath)
    : TVHDLParser(AEntities, ADocumentPath), Lines(ALines) {}

void TBSDLParser::LogLine(const WideString& S) {
  TVHDLParser::LogLine(S);
  if (Lines) Lines->Add(S);
}

TEntity* TBSDLParser::CreateEntity() { return New<TBSDLEntity>(this, DocumentPath); }

}  // namespace tvk
