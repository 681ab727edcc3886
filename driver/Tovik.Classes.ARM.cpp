#include "Tovik.Classes.ARM.h"

#include "Tovik.ARM.Jlink.h"
#include "Tovik.Classes.Breakpoints.h"
#include "Tovik.Utils.h"
#include "ZUL.HostModules.h"

#include <windows.h>

#include <algorithm>

namespace tvk {

// ---- ARMv7-M views

namespace {

const TARMv7MView* FindARMv7MView(int32_t number) {
  for (const TARMv7MView& view : kARMv7MViews)
    if (view.Number == number) return &view;
  return nullptr;
}

// ITSTATE bits 7:6 live in xPSR bits 26:25, bits 5:0 in xPSR bits 15:10.
constexpr uint32_t ITStateOf(uint32_t xpsr) {
  return (((xpsr & arm::XPSR_IT_HIGH_MASK) >> 25) << 6) | ((xpsr & arm::XPSR_IT_LOW_MASK) >> 10);
}

constexpr uint32_t WithITState(uint32_t xpsr, uint32_t itstate) {
  return (xpsr & ~(arm::XPSR_IT_HIGH_MASK | arm::XPSR_IT_LOW_MASK)) | (((itstate >> 6) & 3) << 25) |
         ((itstate & 0x3F) << 10);
}

}  // namespace

bool ReadARMv7MView(int32_t number, uint32_t xpsr, uint32_t cfbp, uint32_t& value) {
  if (number == arm::V7M_REG_ITSTATE) {
    value = ITStateOf(xpsr);
    return true;
  }
  const TARMv7MView* view = FindARMv7MView(number);
  if (!view) return false;
  const uint32_t word = view->Cache == TARMv7MCache::XPSR ? xpsr : cfbp;
  value = (word & view->Mask) >> view->Shift;
  return true;
}

bool ComposeARMv7MView(int32_t number, uint32_t value, uint32_t xpsr, uint32_t cfbp, TARMv7MCache& cache,
                       uint32_t& word) {
  if (number == arm::V7M_REG_ITSTATE) {
    cache = TARMv7MCache::XPSR;
    word = WithITState(xpsr, value);
    return true;
  }
  if (number == arm::V7M_REG_TBIT) {
    // The core runs Thumb only: a TBIT write can only set it.
    cache = TARMv7MCache::XPSR;
    word = xpsr | arm::XPSR_T;
    return true;
  }
  const TARMv7MView* view = FindARMv7MView(number);
  if (!view) return false;
  cache = view->Cache;
  const uint32_t old = cache == TARMv7MCache::XPSR ? xpsr : cfbp;
  word = (old & ~view->Mask) | ((value << view->Shift) & view->Mask);
  return true;
}

// ---- MMU walk

TARMTranslation WalkTranslationTable(uint64_t virtualAddress, uint64_t tableBase, bool hasTinyPages,
                                     const TARMDescriptorReader& readDescriptor) {
  using namespace arm;
  TARMTranslation t;
  t.Physical = virtualAddress;
  const uint64_t base = tableBase & MMU_TABLE_BASE_MASK;
  const uint32_t va = uint32_t(virtualAddress);
  const uint32_t d1 = readDescriptor(base + uint64_t((va >> 20) & 0xFFF) * 4);
  const uint32_t type1 = d1 & 3;
  if (type1 == MMU_DESC_FAULT) return t;
  if (type1 == MMU_DESC_FINE && !hasTinyPages) return t;
  t.Domain = (d1 >> 5) & 0xF;
  if (type1 == MMU_DESC_SECTION) {
    t.CacheBits = (d1 >> 2) & 3;
    t.Access = (d1 >> 10) & 3;
    t.Physical = (d1 & 0xFFF00000) | (va & 0xFFFFF);
    return t;
  }
  const uint64_t second = type1 == MMU_DESC_COARSE ? uint64_t(d1 & 0xFFFFFC00) + uint64_t((va >> 12) & 0xFF) * 4
                                                   : uint64_t(d1 & 0xFFFFF000) + uint64_t((va >> 10) & 0x3FF) * 4;
  const uint32_t d2 = readDescriptor(second);
  const uint32_t type2 = d2 & 3;
  if (type2 == MMU_DESC_FAULT) return t;
  t.CacheBits = (d2 >> 2) & 3;
  switch (type2) {
    case MMU_DESC_COARSE:  // large page, 64 KiB
      t.Access = (d2 >> 4) & 0xFF;
      t.Physical = (d2 & 0xFFFF0000) | (va & 0xFFFF);
      break;
    case MMU_DESC_SECTION:  // small page, 4 KiB
      t.Access = (d2 >> 4) & 0xFF;
      t.Physical = (d2 & 0xFFFFF000) | (va & 0xFFF);
      break;
    default:  // tiny page, 1 KiB
      t.Access = (d2 >> 4) & 3;
      t.Physical = (d2 & 0xFFFFFC00) | (va & 0x3FF);
      break;
  }
  return t;
}

// ---- Diagnostic log

namespace {
struct TFileHandleCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using TFileHandle = std::unique_ptr<void, TFileHandleCloser>;
}  // namespace

void TARMDebugLog::Debug(std::wstring_view text) {
  FLines.push_back(WideString(L"DEBUG :DEBUG :") + WideString(text));
}

void TARMDebugLog::Error(std::wstring_view text) {
  FLines.push_back(WideString(L"DEBUG :ERROR :") + WideString(text));
}

void TARMDebugLog::SaveToFile(const WideString& fileName) const {
  std::string text;
  for (const WideString& line : FLines) {
    if (!line.empty()) {
      const int n = WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), nullptr, 0, nullptr, nullptr);
      const std::size_t at = text.size();
      text.resize(at + std::size_t(n));
      WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), text.data() + at, n, nullptr, nullptr);
    }
    text += "\r\n";
  }
  const TFileHandle file(
      CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw Exception(L"Cannot create file \"" + fileName + L"\"");
  DWORD written = 0;
  if (!WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr) || written != text.size())
    throw Exception(L"Cannot write file \"" + fileName + L"\"");
}

// ---- TARMBase

namespace {

// The process-flow actions an ARM driver supports whatever the core says.
constexpr std::wstring_view kARMForcedActions[] = {
    L"PauseProcessor", L"ContinueProcessor", L"ResetProcessor", L"SingleStepProcessor", L"CompileProgram",
    L"DownloadProgram", L"StartDebug", L"StartAttach", L"EndDebug", L"ShowAboutDialog", L"ResetDevice",
    L"DownloadToDevice", L"ShowViewer", L"ProcessorMenu", L"VerifyProgram",
};

bool ValidARMRegister(int32_t index) { return index >= 0 && index < arm::ARM_REGISTER_COUNT; }

void CheckBuffer(const uint32_t* buffer, int32_t count) {
  if (!buffer && count > 0) throw Exception(L"No memory buffer");
}

// Served rows whose operation is overloaded name its signature.
template <class Sig>
constexpr Sig Overload(Sig method) {
  return method;
}

// 509033: the byte zero-extended in a VT_I4.
HRESULT CallReadMemoryByte(TARMBase& self, const TServedArgs& args, VARIANT* result) {
  uint8_t value = 0;
  const HRESULT hr = self.ReadMemory_Byte(ServedArgUInt(args.Arg(1)), value);
  if (FAILED(hr)) return hr;
  ServedResultInt(result, int32_t(value));
  return hr;
}

// 509036: the value as a 32-bit integer, of which the low byte is written.
HRESULT CallWriteMemoryByte(TARMBase& self, const TServedArgs& args, VARIANT*) {
  const uint32_t address = ServedArgUInt(args.Arg(1));
  return self.WriteMemory_Byte(address, uint8_t(ServedArgInt(args.Arg(2)) & 0xFF));
}

#define TVK_ARM_ROW(Id, Method) TVK_SERVED_ROW(TARMBase, Id, Method)
#define TVK_ARM_ROW_OVERLOAD(Id, Method, Sig) \
  ::tvk::TServedRow<TARMBase>{Id, &::tvk::ServeCall<Overload<HRESULT(TARMBase::*) Sig>(&TARMBase::Method), TARMBase>}

constexpr TServedRow<TARMBase> kARMBaseRows[] = {
    TVK_ARM_ROW(509025, OpenJtagChannel),
    TVK_ARM_ROW(509026, CloseJtagChannel),
    TVK_ARM_ROW(509027, SetICERegister),
    TVK_ARM_ROW(509028, GetICERegister),
    TVK_ARM_ROW_OVERLOAD(509029, ReadRegister, (int32_t, uint32_t&)),
    TVK_ARM_ROW_OVERLOAD(509030, WriteRegister, (int32_t, uint32_t)),
    // the mode-banked versions of this level, called directly
    TVK_ARM_ROW_OVERLOAD(509031, ReadRegister, (int32_t, int32_t, uint32_t&)),
    TVK_ARM_ROW_OVERLOAD(509032, WriteRegister, (int32_t, uint32_t, int32_t)),
    TServedRow<TARMBase>{509033, &CallReadMemoryByte},
    TVK_ARM_ROW(509034, ReadMemory_HalfWord),
    TVK_ARM_ROW(509035, ReadMemory_Word),
    TServedRow<TARMBase>{509036, &CallWriteMemoryByte},
    TVK_ARM_ROW(509037, WriteMemory_HalfWord),
    TVK_ARM_ROW(509038, WriteMemory_Word),
    TVK_ARM_ROW(509039, SaveState),
    TVK_ARM_ROW(509040, RestoreState),
    TVK_ARM_ROW(509041, ClearState),
    TVK_ARM_ROW(509042, SwitchProcessorMode_Begin),
    TVK_ARM_ROW(509043, SwitchProcessorMode_End),
    TVK_ARM_ROW(509044, ChangeToARMState),
    TVK_ARM_ROW(509045, ChangeToThumbState),
    TVK_ARM_ROW(509046, InitWatchPoints),
    TVK_ARM_ROW(509047, GetTranslationTableBase),
    TVK_ARM_ROW(509048, TranslateVirtualAddress),
    TVK_ARM_ROW(509049, HasTinyPages),
    TVK_ARM_ROW(509050, EnableMMUCaches),
    TVK_ARM_ROW_OVERLOAD(509051, DisableMMUCaches, ()),
    TVK_ARM_ROW_OVERLOAD(509052, DisableMMUCaches, (bool, bool, bool)),
    TVK_ARM_ROW(509053, InitializeMemory),
};

#undef TVK_ARM_ROW
#undef TVK_ARM_ROW_OVERLOAD

}  // namespace

TVK_SERVED_LEVEL_IMPL(TARMBase, TARMBaseParent, kARMBaseRows, L"ARMEmbeddedICE", L"ARMTovikDriver")

TARMBase::~TARMBase() {
  if (!FDebugLogging) return;
  try {
    FDebugLogging->SaveToFile(WideString(kARMDebugLogFileName));
  } catch (...) {
    // a log that cannot be saved is dropped with the driver
  }
}

// ---- Diagnostic log

void TARMBase::StartDebugLogging() {
  if (!FDebugLogging) FDebugLogging = std::make_unique<TARMDebugLog>();
}

void TARMBase::LogDebug(std::wstring_view text) {
  if (FDebugLogging) FDebugLogging->Debug(text);
}

void TARMBase::LogError(std::wstring_view text) {
  if (FDebugLogging) FDebugLogging->Error(text);
}

// ---- Transactions

void TARMBase::TransactionBegin() {
  if (FTransactionDepth == 0) TARMBaseParent::TransactionBegin();
  ++FTransactionDepth;
}

void TARMBase::TransactionEnd() {
  // An end whose begin raised before counting would otherwise take the depth
  // below 0, and the driver's transaction would never be opened again.
  if (FTransactionDepth <= 0) return;
  if (--FTransactionDepth == 0) TARMBaseParent::TransactionEnd();
}

// ---- Operations that do nothing at this level

HRESULT TARMBase::ReadRegister(int32_t, uint32_t& Value) {
  Value = 0;
  return S_OK;
}
HRESULT TARMBase::WriteRegister(int32_t, uint32_t) { return S_OK; }
HRESULT TARMBase::ReadMemory_Byte(uint32_t, uint8_t& Value) {
  Value = 0;
  return S_OK;
}
HRESULT TARMBase::ReadMemory_HalfWord(uint32_t, uint32_t& Value) {
  Value = 0;
  return S_OK;
}
HRESULT TARMBase::ReadMemory_Word(uint32_t, uint32_t& Value) {
  Value = 0;
  return S_OK;
}
HRESULT TARMBase::WriteMemory_Byte(uint32_t, uint8_t) { return S_OK; }
HRESULT TARMBase::WriteMemory_HalfWord(uint32_t, uint32_t) { return S_OK; }
HRESULT TARMBase::WriteMemory_Word(uint32_t, uint32_t) { return S_OK; }
HRESULT TARMBase::SaveState() { return S_OK; }
HRESULT TARMBase::RestoreState() { return S_OK; }
HRESULT TARMBase::ClearState() { return S_OK; }
HRESULT TARMBase::ChangeToARMState() { return S_OK; }
HRESULT TARMBase::ChangeToThumbState() { return S_OK; }
HRESULT TARMBase::InitWatchPoints() { return S_OK; }
HRESULT TARMBase::GetTranslationTableBase(int64_t& Base) {
  Base = 0;
  return S_OK;
}
HRESULT TARMBase::TranslateVirtualAddress(int64_t Virtual, uint32_t*, uint32_t*, uint32_t*, int64_t& Physical) {
  Physical = Virtual;
  return S_OK;
}
HRESULT TARMBase::HasTinyPages(bool& Result) {
  Result = false;
  return S_OK;
}
HRESULT TARMBase::EnableMMUCaches() { return S_OK; }
HRESULT TARMBase::DisableMMUCaches() { return S_OK; }
HRESULT TARMBase::DisableMMUCaches(bool, bool, bool) { return S_OK; }
HRESULT TARMBase::SetICERegister(int32_t, uint32_t) { return S_OK; }
HRESULT TARMBase::GetICERegister(int32_t, uint32_t& Value) {
  Value = 0;
  return S_OK;
}
HRESULT TARMBase::ReadRegister(int32_t, int32_t, uint32_t& Value) {
  Value = 0;
  return S_OK;
}
HRESULT TARMBase::WriteRegister(int32_t, uint32_t, int32_t) { return S_OK; }
HRESULT TARMBase::SwitchProcessorMode_Begin(int32_t) { return S_OK; }
HRESULT TARMBase::SwitchProcessorMode_End() { return S_OK; }

HRESULT TARMBase::OpenJtagChannel() {
  return Guard([&] { OpenChannel(); });
}

HRESULT TARMBase::CloseJtagChannel() {
  return Guard([&] { CloseChannel(); });
}

// ---- Memory

bool TARMBase::TargetLittleEndian() {
  bool little = false;
  CheckResult(LittleEndian(little));
  return little;
}

HRESULT TARMBase::ReadBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return Guard([&] {
    CheckBuffer(Buffer, Count);
    for (int32_t i = 0; i < Count; ++i) {
      uint8_t byte = 0;
      CheckResult(ReadMemory_Byte(uint32_t(Address + i), byte));
      Buffer[Index + i] = byte;
    }
  });
}

HRESULT TARMBase::WriteBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return Guard([&] {
    CheckBuffer(Buffer, Count);
    for (int32_t i = 0; i < Count; ++i)
      CheckResult(WriteMemory_Byte(uint32_t(Address + i), uint8_t(Buffer[Index + i] & 0xFF)));
  });
}

HRESULT TARMBase::ReadWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return Guard([&] {
    CheckBuffer(Buffer, Count);
    const int32_t words = Count / 4;
    if (words <= 0) return;
    const bool little = TargetLittleEndian();
    for (int32_t w = 0; w < words; ++w, Index += 4, Address += 4) {
      uint32_t word = 0;
      CheckResult(ReadMemory_Word(uint32_t(Address), word));
      StoreWordToCells(Buffer + Index, word, little);
    }
  });
}

HRESULT TARMBase::WriteWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return Guard([&] {
    CheckBuffer(Buffer, Count);
    const int32_t words = Count / 4;
    if (words <= 0) return;
    const bool little = TargetLittleEndian();
    for (int32_t w = 0; w < words; ++w, Index += 4, Address += 4)
      CheckResult(WriteMemory_Word(uint32_t(Address), LoadWordFromCells(Buffer + Index, little)));
  });
}

HRESULT TARMBase::ReadMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count) {
  return Guard([&] {
    for (const TARMMemoryPiece& p : SplitMainMemoryRequest(uint64_t(Address), Count))
      CheckResult(p.Kind == TARMAccessKind::Words ? ReadWords(Buffer, p.CellIndex, int64_t(p.Address), p.Count)
                                                  : ReadBytes(Buffer, p.CellIndex, int64_t(p.Address), p.Count));
  });
}

HRESULT TARMBase::WriteMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count) {
  return Guard([&] {
    for (const TARMMemoryPiece& p : SplitMainMemoryRequest(uint64_t(Address), Count))
      CheckResult(p.Kind == TARMAccessKind::Words ? WriteWords(Buffer, p.CellIndex, int64_t(p.Address), p.Count)
                                                  : WriteBytes(Buffer, p.CellIndex, int64_t(p.Address), p.Count));
  });
}

HRESULT TARMBase::ReadPhysicalMemory(uint32_t* Buffer, int64_t Address, int32_t Count) {
  return Guard([&] {
    CheckResult(DisableMMUCaches(true, true, false));
    CheckResult(ReadMainMemory(Buffer, Address, Count));
    CheckResult(EnableMMUCaches());
  });
}

HRESULT TARMBase::WritePhysicalMemory(uint32_t* Buffer, int64_t Address, int32_t Count) {
  return Guard([&] {
    CheckResult(DisableMMUCaches(true, true, false));
    CheckResult(WriteMainMemory(Buffer, Address, Count));
    CheckResult(EnableMMUCaches());
  });
}

HRESULT STDMETHODCALLTYPE TARMBase::MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                               int32_t Count, BOOL* Success) {
  if (Success) *Success = FALSE;
  return Guard([&] {
    InTransaction([&] {
      if (MemorySpace != arm::ARM_MEMORY_SPACE_MAIN) return;
      CheckBuffer(Buffer, Count);
      if (Success) *Success = TRUE;
      CheckResult(ReadMainMemory(Buffer, Address, Count));
    });
  });
}

HRESULT STDMETHODCALLTYPE TARMBase::MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                                int32_t Count, BOOL* Success) {
  if (Success) *Success = FALSE;
  return Guard([&] {
    InTransaction([&] {
      if (MemorySpace != arm::ARM_MEMORY_SPACE_MAIN) return;
      CheckBuffer(Buffer, Count);
      if (Success) *Success = TRUE;
      CheckResult(WriteMainMemory(Buffer, Address, Count));
    });
  });
}

// ---- Memory initialisation

bool TARMBase::WriteInitialValue(int64_t Width, uint32_t Address, uint32_t Value) {
  switch (Width) {
    case 4:
      CheckResult(WriteMemory_Word(Address, Value));
      return true;
    case 2:
      CheckResult(WriteMemory_HalfWord(Address, Value));
      return true;
    case 1:
      CheckResult(WriteMemory_Byte(Address, uint8_t(Value & 0xFF)));
      return true;
    default:
      return false;
  }
}

void TARMBase::ForEachInitialValue(const TInitialValueVisitor& visit) {
  const IDeviceLink link = FindDeviceLink(GetTovikWorkbench(), TovikDevice());
  if (!link) return;
  const IProject project = link.GetProject();
  if (!project) return;
  const IEmbeddedMemoryManager manager = GetEmbeddedMemoryManager();
  if (!manager) return;
  const IEmbeddedMemories memories = manager.GetMemories(kEmbeddedMemoryKind);
  if (!memories) return;
  memories.LoadFromProject(project, true);
  const int32_t memoryCount = memories.GetCount();
  for (int32_t m = 0; m < memoryCount; ++m) {
    const IEmbeddedMemory memory = memories.GetMemory(m);
    if (!memory) continue;
    const int32_t count = memory.GetInitializerCount();
    for (int32_t i = 0; i < count; ++i) {
      WideString name;
      int64_t address = 0, value = 0, width = 0;
      if (memory.GetInitializer(i, name, address, value, width)) visit(name, uint32_t(address), uint32_t(value), width);
    }
  }
}

HRESULT TARMBase::InitializeMemory() {
  return Guard([&] {
    ForEachInitialValue([&](const WideString&, uint32_t address, uint32_t value, int64_t width) {
      WriteInitialValue(width, address, value);
    });
  });
}

// ---- Registers

HRESULT TARMBase::GetProcessorRegisterCount(int32_t& Result) {
  Result = arm::ARM_REGISTER_COUNT;
  return S_OK;
}

HRESULT TARMBase::GetProcessorRegisterName(int32_t Index, WideString& Result) {
  Result = ValidARMRegister(Index) ? WideString(kARMRegisterNames[std::size_t(Index)]) : WideString();
  return S_OK;
}

HRESULT TARMBase::GetProcessorRegisterShortName(int32_t Index, WideString& Result) {
  Result = ValidARMRegister(Index) ? WideString(kARMRegisterShortNames[std::size_t(Index)]) : WideString();
  return S_OK;
}

HRESULT TARMBase::GetProcessorRegisterWidth(int32_t, uint32_t& Result) {
  Result = arm::ARM_REGISTER_WIDTH;
  return S_OK;
}

HRESULT TARMBase::GetRegisterIndex_PC(int32_t& Result) {
  Result = arm::ARM_REGISTER_INDEX_PC;
  return S_OK;
}

HRESULT TARMBase::GetRegisterIndex_SP(int32_t& Result) {
  Result = arm::ARM_REGISTER_INDEX_SP;
  return S_OK;
}

HRESULT TARMBase::SetProcessorRegisterValue(int32_t Index, uint32_t Value, bool& Result) {
  Result = false;
  return Guard([&] {
    if (!ValidARMRegister(Index)) return;
    InTransaction([&] { CheckResult(WriteRegister(Index, Value)); });
    Result = true;
  });
}

HRESULT TARMBase::GetProcessorRegisterValue(int32_t Index, uint32_t& Result) {
  Result = 0;
  return Guard([&] {
    if (!ValidARMRegister(Index)) return;
    InTransaction([&] { CheckResult(ReadRegister(Index, Result)); });
  });
}

HRESULT TARMBase::GetSoftBreakpointAddressByteAlign(int32_t& Result) {
  Result = arm::ARM_SOFT_BREAKPOINT_ALIGN;
  return S_OK;
}

// ---- Memory space

HRESULT TARMBase::GetMemorySpaceCount(int32_t& Result) {
  Result = 1;
  return S_OK;
}

HRESULT TARMBase::GetMemorySpace_Program(int32_t& Result) {
  Result = arm::ARM_MEMORY_SPACE_MAIN;
  return S_OK;
}

HRESULT TARMBase::GetMemorySpaceName(int32_t Space, WideString& Result) {
  Result = Space == arm::ARM_MEMORY_SPACE_MAIN ? WideString(arm::ARM_MEMORY_SPACE_NAME) : WideString();
  return S_OK;
}

HRESULT TARMBase::GetMemorySpaceShortName(int32_t Space, WideString& Result) {
  Result = Space == arm::ARM_MEMORY_SPACE_MAIN ? WideString(arm::ARM_MEMORY_SPACE_NAME) : WideString();
  return S_OK;
}

HRESULT TARMBase::GetMemorySpaceWidth(int32_t Space, uint32_t& Result) {
  Result = Space == arm::ARM_MEMORY_SPACE_MAIN ? arm::ARM_MEMORY_SPACE_WIDTH : 0;
  return S_OK;
}

HRESULT TARMBase::GetMemorySpaceBytesPerUnit(int32_t Space, uint32_t& Result) {
  Result = Space == arm::ARM_MEMORY_SPACE_MAIN ? 1 : 4;
  return S_OK;
}

HRESULT TARMBase::GetMemorySpaceKind(int32_t, int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TARMBase::GetMemorySpaceLength(int32_t Space, int64_t& Result) {
  Result = Space == arm::ARM_MEMORY_SPACE_MAIN ? arm::ARM_MEMORY_SPACE_LENGTH : 0;
  return S_OK;
}

// ---- Run control and device operations

HRESULT TARMBase::RunDiagnostic(bool& Result) {
  Result = true;
  return S_OK;
}

HRESULT TARMBase::LittleEndian(bool& Result) {
  Result = true;
  return S_OK;
}

HRESULT TARMBase::RunSingleStepInSubstitutionRegister() { return S_OK; }

HRESULT TARMBase::ResetTovikRegisters() {
  return Guard([&] {
    OpenChannel();
    CheckResult(PauseProcessor());
    CloseChannel();
  });
}

HRESULT TARMBase::ResetProcessor() {
  return Guard([&] {
    CheckResult(ResetTovikRegisters());
    WithChannel([&] {
      CheckResult(DisableMMUCaches(true, true, true));
      CheckResult(InitializeMemory());
    });
  });
}

HRESULT TARMBase::RunSteps(int32_t Count) {
  return Guard([&] {
    for (int32_t i = 0; i < Count; ++i) CheckResult(SingleStepProcessor());
  });
}

HRESULT TARMBase::ProcessorIsPaused(bool& Result) {
  Result = false;
  return S_OK;
}

HRESULT TARMBase::ProcessorIsReset(bool& Result) {
  Result = false;
  return S_OK;
}

HRESULT TARMBase::ProcessorIsRunning(bool& Result) {
  Result = false;
  return Guard([&] {
    bool paused = false;
    CheckResult(ProcessorIsPaused(paused));
    Result = !paused;
  });
}

HRESULT TARMBase::ProcessorIsUsingReducedInstructionSet(bool& Result) {
  Result = false;
  return S_OK;
}

HRESULT TARMBase::ResetDevice(bool& Result) {
  Result = false;
  return Guard([&] {
    CheckResult(ResetProcessor());
    Result = true;
  });
}

HRESULT TARMBase::GetDeviceState(int32_t& Result) {
  Result = arm::ARM_DEVICE_STATE;
  return S_OK;
}

HRESULT TARMBase::InitDownload(int32_t, bool& Result) {
  Result = false;
  return Guard([&] {
    WithChannel([&] {
      FDownloading = true;
      CheckResult(DisableMMUCaches());
    });
    Result = true;
  });
}

HRESULT TARMBase::FinishDownload(int32_t, bool& Result) {
  Result = false;
  return Guard([&] {
    OpenChannel();
    FDownloading = false;
    CheckResult(EnableMMUCaches());
    CloseChannel();
    Result = true;
  });
}

HRESULT TARMBase::AddSoftBreakpoint(int32_t, int64_t, uint32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TARMBase::RemoveSoftBreakpoint(int32_t, int64_t, uint32_t, bool& Result) {
  Result = false;
  return S_OK;
}

HRESULT TARMBase::Supports(const WideString& Name, bool& Result) {
  Result = false;
  return Guard([&] {
    CheckResult(TARMBaseParent::Supports(Name, Result));
    const std::wstring_view action = kProcessFlowCommands[std::size_t(GetFlowActionIndex(Name))];
    if (std::ranges::find(kARMForcedActions, action) != std::end(kARMForcedActions)) Result = true;
  });
}

std::unique_ptr<TDriverForm> TARMBase::CreateRackForm() {
  const IJTagChannel channel = JTagChannel();
  const IJTagDevice jtagDevice = channel ? channel.GetJTagDevice(JTagIndex()) : IJTagDevice();
  ITovikDevice device;
  CheckResult(GetTovikDevice(device));
  return DriverUI().CreateARMInstrumentForm(device, jtagDevice);
}

// ---- TARMv4T

HRESULT TARMv4T::LittleEndian(bool& Result) {
  Result = !FBigEndian;
  return S_OK;
}

HRESULT TARMv4T::ResetTovikRegisters() {
  return Guard([&] {
    OpenChannel();
    CheckResult(PauseProcessor());
    CheckResult(ChangeToARMState());
    FState = eARM_State_ARM;
    CheckResult(WriteRegister(arm::ARM_REG_CPSR, arm::ARM_CPSR_RESET));
    for (int32_t n = 0; n <= arm::ARM_REG_LR; ++n) CheckResult(WriteRegister(n, 0));
    CheckResult(WriteRegister(arm::ARM_REG_PC, 0));
    CloseChannel();
  });
}

HRESULT TARMv4T::ProcessorIsUsingReducedInstructionSet(bool& Result) {
  Result = FStateSaved && FState == eARM_State_Thumb;
  return S_OK;
}

HRESULT TARMv4T::ReadRegister(int32_t Number, uint32_t& Value) {
  Value = 0;
  return Guard([&] {
    if (Number == arm::ARM_REG_TBIT) {
      Value = FState == eARM_State_Thumb ? 1 : 0;
    } else if (const TARMBankedRegister* banked = FindARMv4TBankedRegister(Number)) {
      CheckResult(TARMv4T::ReadRegister(banked->Register, int32_t(banked->Mode), Value));
    }
  });
}

HRESULT TARMv4T::WriteRegister(int32_t Number, uint32_t Value) {
  return Guard([&] {
    if (const TARMBankedRegister* banked = FindARMv4TBankedRegister(Number))
      CheckResult(TARMv4T::WriteRegister(banked->Register, Value, int32_t(banked->Mode)));
  });
}

namespace {
// The registers a mode has banked copies of.
bool BankedInModes(int32_t number) {
  return (number >= 8 && number <= arm::ARM_REG_LR) || number == arm::ARM_REG_SPSR;
}
}  // namespace

HRESULT TARMv4T::ReadRegister(int32_t Number, int32_t Mode, uint32_t& Value) {
  Value = 0;
  return Guard([&] {
    CheckResult(SwitchProcessorMode_Begin(Mode));
    if (BankedInModes(Number)) CheckResult(ReadRegister(Number, Value));
    CheckResult(SwitchProcessorMode_End());
  });
}

HRESULT TARMv4T::WriteRegister(int32_t Number, uint32_t Value, int32_t Mode) {
  return Guard([&] {
    CheckResult(SwitchProcessorMode_Begin(Mode));
    if (BankedInModes(Number)) CheckResult(WriteRegister(Number, Value));
    CheckResult(SwitchProcessorMode_End());
  });
}

HRESULT TARMv4T::SwitchProcessorMode_Begin(int32_t Mode) {
  return Guard([&] {
    if (uint32_t(Mode) == FMode) return;
    FSavedMode = FMode;
    FModeSaved = true;
    uint32_t cpsr = 0;
    CheckResult(ReadRegister(arm::ARM_REG_CPSR, cpsr));
    CheckResult(WriteRegister(arm::ARM_REG_CPSR, CPSRWithMode(cpsr, uint32_t(Mode))));
  });
}

HRESULT TARMv4T::SwitchProcessorMode_End() {
  return Guard([&] {
    if (!FModeSaved) return;
    FModeSaved = false;
    uint32_t cpsr = 0;
    CheckResult(ReadRegister(arm::ARM_REG_CPSR, cpsr));
    CheckResult(WriteRegister(arm::ARM_REG_CPSR, CPSRWithMode(cpsr, FSavedMode)));
  });
}

HRESULT TARMv4T::SaveState() { return ChangeToARMState(); }

HRESULT TARMv4T::RestoreState() {
  FStateSaved = false;
  return S_OK;
}

HRESULT TARMv4T::ClearState() {
  FStateSaved = false;
  return S_OK;
}

HRESULT TARMv4T::InitWatchPoints() {
  return Guard([&] {
    const IARMEmbeddedICE ice(static_cast<IDispatch*>(this));
    for (const arm::TEmbeddedICEWatchpointRegisters& r : arm::ICE_WATCHPOINTS) {
      const IHardBreakpoint watchpoint = TARMHardBreakpointPoint::Create(
          ice, r.Control, r.ControlMask, r.Data, r.DataMask, r.Address, r.AddressMask);
      DeviceDebugManager().AddHardBreakPoint(watchpoint);
    }
  });
}

HRESULT TARMv4T::AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) {
  Result = 0;
  return Guard([&] {
    if (MemorySpace != arm::ARM_MEMORY_SPACE_MAIN) return;
    if (Address & 1) {  // Thumb
      const uint32_t at = uint32_t(Address) & ~1u;
      CheckResult(ReadMemory_HalfWord(at, Result));
      CheckResult(WriteMemory_HalfWord(at, arm::THUMB_BKPT_PAIR));
    } else {
      CheckResult(ReadMemory_Word(uint32_t(Address), Result));
      CheckResult(WriteMemory_Word(uint32_t(Address), arm::ARM_BKPT));
    }
  });
}

HRESULT TARMv4T::RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced, bool& Result) {
  Result = false;
  return Guard([&] {
    if (MemorySpace != arm::ARM_MEMORY_SPACE_MAIN) return;
    if (Address & 1)
      CheckResult(WriteMemory_HalfWord(uint32_t(Address) & ~1u, Replaced | (Replaced << 16)));
    else
      CheckResult(WriteMemory_Word(uint32_t(Address), Replaced));
    Result = true;
  });
}

HRESULT TARMv4T::TranslateVirtualAddress(int64_t Virtual, uint32_t* CacheBits, uint32_t* Domain, uint32_t* Access,
                                         int64_t& Physical) {
  Physical = Virtual;
  return Guard([&] {
    for (uint32_t* out : {CacheBits, Domain, Access})
      if (out) *out = 0;
    int64_t base = 0;
    CheckResult(GetTranslationTableBase(base));
    bool tiny = false;
    CheckResult(HasTinyPages(tiny));
    const bool little = TargetLittleEndian();
    const TARMTranslation t =
        WalkTranslationTable(uint64_t(Virtual), uint64_t(base), tiny, [&](uint64_t address) {
          uint32_t cells[4] = {};
          CheckResult(ReadPhysicalMemory(cells, int64_t(address), 4));
          return LoadWordFromCells(cells, little);
        });
    if (CacheBits) *CacheBits = t.CacheBits;
    if (Domain) *Domain = t.Domain;
    if (Access) *Access = t.Access;
    Physical = int64_t(t.Physical);
  });
}

// ---- TARMv7M

HRESULT TARMv7M::ReadCoreRegister(int32_t, uint32_t& Value) {
  Value = 0;
  return S_OK;
}

HRESULT TARMv7M::WriteCoreRegister(int32_t, uint32_t) { return S_OK; }

HRESULT TARMv7M::LittleEndian(bool& Result) {
  Result = !FBigEndian;
  return S_OK;
}

HRESULT TARMv7M::ResetTovikRegisters() {
  return Guard([&] {
    OpenChannel();
    CheckResult(PauseProcessor());
    for (int32_t n = 0; n <= arm::V7M_REG_PC; ++n) CheckResult(WriteRegister(n, 0));
    CloseChannel();
  });
}

HRESULT TARMv7M::ResetProcessor() {
  return Guard([&] {
    CheckResult(TARMBase::ResetProcessor());
    FSavedPC = 0;
  });
}

HRESULT TARMv7M::ProcessorIsUsingReducedInstructionSet(bool& Result) {
  Result = true;
  return S_OK;
}

namespace {
bool ValidV7MRegister(int32_t index) { return index >= 0 && index < arm::V7M_REGISTER_COUNT; }
}  // namespace

HRESULT TARMv7M::GetProcessorRegisterCount(int32_t& Result) {
  Result = arm::V7M_REGISTER_COUNT;
  return S_OK;
}

HRESULT TARMv7M::GetProcessorRegisterName(int32_t Index, WideString& Result) {
  Result = ValidV7MRegister(Index) ? WideString(kARMv7MRegisters[std::size_t(Index)].Name) : WideString();
  return S_OK;
}

HRESULT TARMv7M::GetProcessorRegisterShortName(int32_t Index, WideString& Result) {
  Result = ValidV7MRegister(Index) ? WideString(kARMv7MRegisters[std::size_t(Index)].ShortName) : WideString();
  return S_OK;
}

HRESULT TARMv7M::GetProcessorRegisterWidth(int32_t Index, uint32_t& Result) {
  if (!ValidV7MRegister(Index)) return TARMv4T::GetProcessorRegisterWidth(Index, Result);
  Result = kARMv7MRegisters[std::size_t(Index)].Width;
  return S_OK;
}

HRESULT TARMv7M::GetRegisterIndex_PC(int32_t& Result) {
  Result = arm::V7M_REGISTER_INDEX_PC;
  return S_OK;
}

HRESULT TARMv7M::GetRegisterIndex_SP(int32_t& Result) {
  Result = arm::V7M_REGISTER_INDEX_SP;
  return S_OK;
}

HRESULT TARMv7M::ReadRegister(int32_t Number, uint32_t& Value) {
  using namespace arm;
  Value = 0;
  return Guard([&] {
    if (Number >= 0 && Number < V7M_REG_PC) {
      CheckResult(ReadCoreRegister(Number, Value));
    } else if (Number == V7M_REG_MSP || Number == V7M_REG_PSP) {
      CheckResult(ReadCoreRegister(Number, Value));
    } else if (Number == V7M_REG_PC) {
      CheckResult(ReadCoreRegister(V7M_REG_PC, Value));
      FSavedPC = Value;
    } else if (Number == V7M_REG_XPSR) {
      CheckResult(ReadCoreRegister(V7M_REG_XPSR, Value));
      FSavedXPSR = Value;
    } else if (Number == V7M_REG_CFBP) {
      CheckResult(ReadCoreRegister(V7M_REG_CFBP, Value));
      FSavedCFBP = Value;
    } else if (Number == V7M_REG_LC) {
      CheckResult(ReadCoreRegister(V7M_REG_PC, Value));  // the cache is not touched
    } else {
      // the views come from the caches without any target access
      if (!ReadARMv7MView(Number, FSavedXPSR, FSavedCFBP, Value)) Value = 0;
    }
  });
}

HRESULT TARMv7M::WriteRegister(int32_t Number, uint32_t Value) {
  using namespace arm;
  return Guard([&] {
    if ((Number >= 0 && Number <= V7M_REG_PC) || Number == V7M_REG_MSP || Number == V7M_REG_PSP) {
      CheckResult(WriteCoreRegister(Number, Value));
    } else if (Number == V7M_REG_LC) {
      CheckResult(WriteCoreRegister(V7M_REG_PC, Value));
    } else if (Number == V7M_REG_XPSR) {
      if (Value != FSavedXPSR) CheckResult(WriteCoreRegister(V7M_REG_XPSR, Value));
    } else if (Number == V7M_REG_CFBP) {
      if (Value != FSavedCFBP) CheckResult(WriteCoreRegister(V7M_REG_CFBP, Value));
    } else {
      // A view: composed from the caches, which the write leaves as they are.
      TARMv7MCache cache{};
      uint32_t word = 0;
      if (!ComposeARMv7MView(Number, Value, FSavedXPSR, FSavedCFBP, cache, word)) return;
      if (cache == TARMv7MCache::XPSR) {
        if (word != FSavedXPSR) CheckResult(WriteCoreRegister(V7M_REG_XPSR, word));
      } else if (word != FSavedCFBP) {
        CheckResult(WriteCoreRegister(V7M_REG_CFBP, word));
      }
    }
  });
}

HRESULT TARMv7M::SaveState() { return ChangeToARMState(); }

HRESULT TARMv7M::RestoreState() {
  FStateSaved = false;
  return S_OK;
}

HRESULT TARMv7M::ClearState() {
  FStateSaved = false;
  return S_OK;
}

HRESULT TARMv7M::InitWatchPoints() { return S_OK; }

HRESULT TARMv7M::AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) {
  Result = 0;
  return Guard([&] {
    if (MemorySpace != arm::ARM_MEMORY_SPACE_MAIN) return;
    const uint32_t at = uint32_t(Address) & ~1u;
    CheckResult(ReadMemory_HalfWord(at, Result));
    CheckResult(WriteMemory_HalfWord(at, arm::THUMB_BKPT_PAIR));
  });
}

HRESULT TARMv7M::RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced, bool& Result) {
  Result = false;
  return Guard([&] {
    if (MemorySpace != arm::ARM_MEMORY_SPACE_MAIN) return;
    CheckResult(WriteMemory_HalfWord(uint32_t(Address) & ~1u, Replaced | (Replaced << 16)));
    Result = true;
  });
}

// ---- TARMADI_V5

void TARMADI_V5::InitializeCore() { FAdi.InitializeCore(); }

HRESULT TARMADI_V5::SetTovikDevice(const ITovikDevice& Device, bool& Result) {
  const HRESULT hr = TARMv7M::SetTovikDevice(Device, Result);
  FAdi.HostDeviceChanged();
  return hr;
}

HRESULT STDMETHODCALLTYPE TARMADI_V5::MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                                  int32_t Count, BOOL* Success) {
  FAdi.ResetTransferFailed();
  const HRESULT hr = TARMv7M::MemoryRead(MemorySpace, Buffer, Address, Count, Success);
  if (Success && FAdi.TransferFailed()) *Success = FALSE;
  return hr;
}

HRESULT STDMETHODCALLTYPE TARMADI_V5::MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                                   int32_t Count, BOOL* Success) {
  FAdi.ResetTransferFailed();
  const HRESULT hr = TARMv7M::MemoryWrite(MemorySpace, Buffer, Address, Count, Success);
  if (Success && FAdi.TransferFailed()) *Success = FALSE;
  return hr;
}

std::unique_ptr<IDapTransport> TARMADI_V5::MakeTransport() {
  return std::make_unique<TJTagChannelDapTransport>([this] { return TovikDevice(); });
}

TADIv5Hooks TARMADI_V5::MakeHooks() {
  TADIv5Hooks hooks;
  hooks.Log = [this](TDapLogKind kind, const WideString& text) {
    if (kind == TDapLogKind::Error) LogError(text);
    else LogDebug(text);
  };
  return hooks;
}

// ---- TARM_Cortex_M3

// The levels' versions of what the core builds on; a failed result code raises.
class TARM_Cortex_M3::TLevels final : public ICortexM3Levels, public ICortexM3BreakpointDriver {
public:
  explicit TLevels(TARM_Cortex_M3& driver) : D(driver) {}

  // ---- ICortexM3Levels
  IJTagChannel JTagChannel() override { return D.JTagChannel(); }
  void OpenChannel() override { D.OpenChannel(); }
  void CloseChannel() override { D.CloseChannel(); }
  void TransactionBegin() override { D.TransactionBegin(); }
  void TransactionEnd() override { D.TransactionEnd(); }
  IDeviceDebugManager DebugManager() override { return D.DeviceDebugManager(); }
  ICortexM3BreakpointDriver& BreakpointDriver() override { return *this; }
  ICortexM3Jlink* Jlink() override { return D.FJlink.get(); }

  uint32_t ReadRegister(int32_t number) override {
    uint32_t value = 0;
    CheckResult(D.TARMv7M::ReadRegister(number, value));
    return value;
  }
  void WriteRegister(int32_t number, uint32_t value) override { CheckResult(D.TARMv7M::WriteRegister(number, value)); }
  void ARMv7MSaveState() override { CheckResult(D.TARMv7M::SaveState()); }
  void RestoreState() override { CheckResult(D.RestoreState()); }
  void ClearState() override { CheckResult(D.ClearState()); }
  void ARMv7MInitWatchPoints() override { CheckResult(D.TARMv7M::InitWatchPoints()); }
  uint32_t ARMv7MAddSoftBreakpoint(int32_t space, int64_t address) override {
    uint32_t replaced = 0;
    CheckResult(D.TARMv7M::AddSoftBreakpoint(space, address, replaced));
    return replaced;
  }
  bool ARMv7MRemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced) override {
    bool done = false;
    CheckResult(D.TARMv7M::RemoveSoftBreakpoint(space, address, replaced, done));
    return done;
  }
  void ARMv7MResetProcessor() override { CheckResult(D.TARMv7M::ResetProcessor()); }
  bool StateSaved() override { return D.FStateSaved; }
  void SetStateSaved(bool saved) override { D.FStateSaved = saved; }
  void SetThumbState() override { D.FState = eARM_State_Thumb; }
  void SetBigEndian(bool bigEndian) override { D.FBigEndian = bigEndian; }
  uint32_t SavedPC() override { return D.FSavedPC; }
  void ForEachInitialValue(const TInitialValueVisitor& visit) override { D.ForEachInitialValue(visit); }

  // ---- ICortexM3BreakpointDriver
  ITovikDevice GetTovikDevice() override { return D.BreakpointHooks().GetTovikDevice(); }
  uint32_t AddSoftBreakpoint(int32_t space, int64_t address) override {
    return D.BreakpointHooks().AddSoftBreakpoint(space, address);
  }
  bool RemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced) override {
    return D.BreakpointHooks().RemoveSoftBreakpoint(space, address, replaced);
  }
  bool MemoryRead(int32_t space, uint32_t* cells, int64_t address, int32_t count) override {
    return D.BreakpointHooks().MemoryRead(space, cells, address, count);
  }
  bool MemoryWrite(int32_t space, const uint32_t* cells, int64_t address, int32_t count) override {
    return D.BreakpointHooks().MemoryWrite(space, cells, address, count);
  }
  void OpenJtagChannel() override { CheckResult(D.OpenJtagChannel()); }
  void CloseJtagChannel() override { CheckResult(D.CloseJtagChannel()); }
  bool WriteWordChecked(uint32_t address, uint32_t value) override { return D.FAdi.WriteWordChecked(address, value); }

private:
  TARM_Cortex_M3& D;
};

TARM_Cortex_M3::TARM_Cortex_M3(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType,
                               const TFlashWriterClass* ARemoteExecutionClass)
    : TARMADI_V5(AProcessorCore, AProcessorType, ARemoteExecutionClass),
      FJlink(std::make_unique<TARMJlink>()),
      FLevels(std::make_unique<TLevels>(*this)),
      FCore(std::make_unique<TCortexM3Core>(FAdi, *FLevels)) {}

TARM_Cortex_M3::TARM_Cortex_M3(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType,
                               std::span<const TFlashWriterClass* const> ARemoteExecutionClasses)
    : TARMADI_V5(AProcessorCore, AProcessorType, ARemoteExecutionClasses),
      FJlink(std::make_unique<TARMJlink>()),
      FLevels(std::make_unique<TLevels>(*this)),
      FCore(std::make_unique<TCortexM3Core>(FAdi, *FLevels)) {}

TARM_Cortex_M3::~TARM_Cortex_M3() = default;

void TARM_Cortex_M3::AfterCreate() {
  TARMADI_V5::AfterCreate();
  InitializeCore();
  FStateSaved = false;
}

void TARM_Cortex_M3::InitializeCore() { FCore->InitializeCore(); }

HRESULT TARM_Cortex_M3::ReadCoreRegister(int32_t Number, uint32_t& Value) {
  Value = 0;
  return Guard([&] { Value = FCore->ReadCoreRegister(Number); });
}

HRESULT TARM_Cortex_M3::WriteCoreRegister(int32_t Number, uint32_t Value) {
  return Guard([&] { FCore->WriteCoreRegister(Number, Value); });
}

HRESULT TARM_Cortex_M3::SaveState() {
  return Guard([&] { FCore->SaveState(); });
}

HRESULT TARM_Cortex_M3::InitWatchPoints() {
  return Guard([&] { FCore->InitWatchPoints(); });
}

HRESULT TARM_Cortex_M3::InitializeMemory() {
  return Guard([&] { FCore->InitializeMemory(); });
}

HRESULT TARM_Cortex_M3::ReadMemory_Byte(uint32_t Address, uint8_t& Value) {
  Value = 0;
  return Guard([&] { Value = uint8_t(FCore->ReadMemory_Byte(Address)); });
}

HRESULT TARM_Cortex_M3::ReadMemory_HalfWord(uint32_t Address, uint32_t& Value) {
  Value = 0;
  return Guard([&] { Value = FCore->ReadMemory_HalfWord(Address); });
}

HRESULT TARM_Cortex_M3::ReadMemory_Word(uint32_t Address, uint32_t& Value) {
  Value = 0;
  return Guard([&] { Value = FCore->ReadMemory_Word(Address); });
}

HRESULT TARM_Cortex_M3::WriteMemory_Byte(uint32_t Address, uint8_t Value) {
  return Guard([&] { FCore->WriteMemory_Byte(Address, Value); });
}

HRESULT TARM_Cortex_M3::WriteMemory_HalfWord(uint32_t Address, uint32_t Value) {
  return Guard([&] { FCore->WriteMemory_HalfWord(Address, Value); });
}

HRESULT TARM_Cortex_M3::WriteMemory_Word(uint32_t Address, uint32_t Value) {
  return Guard([&] { FCore->WriteMemory_Word(Address, Value); });
}

HRESULT TARM_Cortex_M3::ReadBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return ProbeOrJtag(TJlinkBlock::ReadBytes, Buffer, Index, Address, Count, [&] { return TARMADI_V5::ReadBytes(Buffer, Index, Address, Count); });
}

HRESULT TARM_Cortex_M3::ReadWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return ProbeOrJtag(TJlinkBlock::ReadWords, Buffer, Index, Address, Count, [&] { return TARMADI_V5::ReadWords(Buffer, Index, Address, Count); });
}

HRESULT TARM_Cortex_M3::ReadMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count) {
  return ProbeOrJtag(TJlinkBlock::ReadBytes, Buffer, 0, Address, Count, [&] { return TARMADI_V5::ReadMainMemory(Buffer, Address, Count); });
}

HRESULT TARM_Cortex_M3::WriteBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return ProbeOrJtag(TJlinkBlock::WriteBytes, Buffer, Index, Address, Count, [&] { return TARMADI_V5::WriteBytes(Buffer, Index, Address, Count); });
}

HRESULT TARM_Cortex_M3::WriteWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) {
  return ProbeOrJtag(TJlinkBlock::WriteWords, Buffer, Index, Address, Count, [&] { return TARMADI_V5::WriteWords(Buffer, Index, Address, Count); });
}

HRESULT TARM_Cortex_M3::WriteMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count) {
  return ProbeOrJtag(TJlinkBlock::WriteBytes, Buffer, 0, Address, Count, [&] { return TARMADI_V5::WriteMainMemory(Buffer, Address, Count); });
}

HRESULT TARM_Cortex_M3::PauseProcessor() {
  return Guard([&] { FCore->PauseProcessor(); });
}

HRESULT TARM_Cortex_M3::ContinueProcessor() {
  return Guard([&] { FCore->ContinueProcessor(); });
}

HRESULT TARM_Cortex_M3::SingleStepProcessor() {
  return Guard([&] { FCore->SingleStepProcessor(); });
}

HRESULT TARM_Cortex_M3::ResetProcessor() {
  return Guard([&] { FCore->ResetProcessor(); });
}

HRESULT TARM_Cortex_M3::ResetTovikRegisters() {
  return Guard([&] { FCore->ResetTovikRegisters(); });
}

HRESULT TARM_Cortex_M3::ProcessorIsPaused(bool& Result) {
  Result = false;
  return Guard([&] { Result = FCore->ProcessorIsPaused(); });
}

HRESULT TARM_Cortex_M3::ProcessorIsReset(bool& Result) {
  Result = false;
  return Guard([&] { Result = FCore->ProcessorIsReset(); });
}

HRESULT TARM_Cortex_M3::AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) {
  Result = 0;
  return Guard([&] { Result = FCore->AddSoftBreakpoint(MemorySpace, Address); });
}

HRESULT TARM_Cortex_M3::RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced,
                                             bool& Result) {
  Result = false;
  return Guard([&] { Result = FCore->RemoveSoftBreakpoint(MemorySpace, Address, Replaced); });
}

}  // namespace tvk
