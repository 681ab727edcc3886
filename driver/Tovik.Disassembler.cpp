#include "Tovik.Disassembler.h"

#include "Files.h"
#include "ZUL.Util.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

namespace tvk {

// ---- TMemoryReader

TMemoryReader::TMemoryReader(int64_t ABaseAddress, std::span<const uint32_t> AMemory)
    : FMemory(AMemory), FBaseAddress(ABaseAddress) {}

void* TMemoryReader::InterfaceFor(REFIID iid) {
  if (IsEqualIID(iid, IID_IMemoryReader)) return static_cast<IMemoryReader*>(this);
  return TReferencedObject::InterfaceFor(iid);
}

HRESULT STDMETHODCALLTYPE TMemoryReader::ReadMemory(uint32_t* Dest, int64_t Address, int32_t Count) {
  if (!Dest) return E_POINTER;
  // In unsigned arithmetic an address below the base is far beyond the end.
  const uint64_t first = uint64_t(Address) - uint64_t(FBaseAddress);
  if (Count < 1 || first >= FMemory.size() || uint64_t(Count) > FMemory.size() - first) return kE_BOUNDS;
  std::copy_n(FMemory.begin() + std::ptrdiff_t(first), Count, Dest);
  return S_OK;
}

// ---- TRawDisassembler

namespace {

// The module's 8-bit text as a wide string.
WideString AnsiToWide(const char* text) {
  if (!text || !*text) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return {};
  WideString wide(std::size_t(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(std::size_t(length - 1));
  return wide;
}

uint32_t CodeByte(uint32_t cell) { return cell & 0xFF; }

}  // namespace

TRawDisassembler::TRawDisassembler() { throw Exception(L"Use CreateInstance insted!"); }

TRawDisassembler::TRawDisassembler(IMemoryReader* AMemoryReader, const WideString& ABasePath)
    : FBasePath(ABasePath), FMemoryReader(AMemoryReader) {}

TRawDisassembler::~TRawDisassembler() = default;

void* TRawDisassembler::InterfaceFor(REFIID iid) {
  if (IsEqualIID(iid, IID_IRawDisassembler)) return static_cast<IRawDisassembler*>(this);
  return TReferencedObject::InterfaceFor(iid);
}

WideString TRawDisassembler::ModuleFolder() const {
  const WideString folder = AppendCharIfMissing(FBasePath, L'\\');
  return folder == L"\\" ? GetModuleFolder() : folder;
}

HRESULT STDMETHODCALLTYPE TRawDisassembler::LoadModule() {
  return Guard([&] { DoLoadModule(); });
}

void TRawDisassembler::DoLoadModule() {
  FFuncDisassembleInstruction = nullptr;
  FFuncInitDisassembler = nullptr;
  FDllHandle = TForeignLibrary::Load(ModulePath());
  if (!FDllHandle) return;
  FFuncInitDisassembler = reinterpret_cast<disasm::TInitDisassemblerFn>(ModuleExport(disasm::kInitDisassembler));
  FFuncDisassembleInstruction =
      reinterpret_cast<disasm::TDisassembleInstructionFn>(ModuleExport(disasm::kDisassembleInstruction));
  if (FFuncInitDisassembler) FFuncInitDisassembler();
}

HRESULT STDMETHODCALLTYPE TRawDisassembler::Disassemble(uint32_t Options, int64_t* Address, BSTR* Text) {
  if (!Address || !Text) return E_POINTER;
  *Text = nullptr;
  return Guard([&] {
    if (!FFuncDisassembleInstruction) return;
    uint32_t address = uint32_t(*Address);
    FReadError = nullptr;
    const char* answer = FFuncDisassembleInstruction(Options, &address, &ReadCodeFunction, static_cast<void*>(this));
    // The read function cannot raise through the module: the error it kept ends the disassembly here.
    if (FReadError) std::rethrow_exception(std::exchange(FReadError, nullptr));
    const WideString text = AnsiToWide(answer);
    *Text = text.empty() ? nullptr : AllocBstr(text);  // inside the guard: a failed allocation fails the call
    *Address = int64_t(address);
  });
}

HRESULT STDMETHODCALLTYPE TRawDisassembler::SetReducedInstructionSet(int32_t Flag) {
  return Guard([&] { DoSetReducedInstructionSet(Flag); });
}

HRESULT STDMETHODCALLTYPE TRawDisassembler::SetLittleEndian(int32_t Flag) {
  return Guard([&] { DoSetLittleEndian(Flag); });
}

HRESULT STDMETHODCALLTYPE TRawDisassembler::UnloadModule() {
  FFuncDisassembleInstruction = nullptr;
  FFuncInitDisassembler = nullptr;
  FDllHandle.Reset();
  return S_OK;
}

uint32_t TRawDisassembler::ReadCode(int64_t) { return 0; }
std::wstring_view TRawDisassembler::ModuleFileName() const { return {}; }
void TRawDisassembler::DoSetReducedInstructionSet(int32_t) {}
void TRawDisassembler::DoSetLittleEndian(int32_t Flag) { FLittleEndian = Flag != 0; }

uint32_t TVK_DISASSEMBLER_CALL TRawDisassembler::ReadCodeFunction(uint32_t AddressLow, uint32_t AddressHigh,
                                                                  uint32_t, void* Context) {
  auto* self = static_cast<TRawDisassembler*>(Context);
  if (self->FReadError) return 0;  // the disassembly already failed; the module finishes on nothing
  try {
    return self->ReadCode(int64_t((uint64_t(AddressHigh) << 32) | AddressLow));
  } catch (...) {
    self->FReadError = std::current_exception();
    return 0;
  }
}

void TRawDisassembler::ReadCells(int64_t Address, int32_t Count, uint32_t* cells) {
  if (!FMemoryReader) throw Exception(L"No memory to disassemble");
  CheckResult(FMemoryReader->ReadMemory(cells, Address, Count));
}

uint32_t TRawDisassembler::ReadHalfWord(int64_t Address) {
  uint32_t cells[2] = {};
  ReadCells(Address, 2, cells);
  return FLittleEndian ? (CodeByte(cells[1]) << 8) | CodeByte(cells[0]) : (CodeByte(cells[0]) << 8) | CodeByte(cells[1]);
}

uint32_t TRawDisassembler::ReadWord(int64_t Address, bool littleEndian) {
  uint32_t cells[4] = {};
  ReadCells(Address, 4, cells);
  uint32_t word = 0;
  for (int k = 0; k < 4; ++k) word = (word << 8) | CodeByte(cells[littleEndian ? 3 - k : k]);
  return word;
}

// ---- The families

uint32_t TRawDisassembler::ReadCodeUnit(TCodeUnitRule rule, int64_t Address) {
  uint32_t cell = 0;
  switch (rule) {
    case TCodeUnitRule::Byte24BitAddress: ReadCells(Address & 0xFFFFFF, 1, &cell); return CodeByte(cell);
    case TCodeUnitRule::Low16Bits: ReadCells(Address, 1, &cell); return cell & 0xFFFF;
    case TCodeUnitRule::Byte: ReadCells(Address, 1, &cell); return CodeByte(cell);
    case TCodeUnitRule::BigEndianWord: return ReadWord(Address, false);
    case TCodeUnitRule::SelectedOrderWord: return ReadWord(Address, FLittleEndian);
  }
  return 0;
}

void TRawDisassemblerARM::DoLoadModule() {
  FFuncSetReducedInstructionSet = nullptr;
  TRawDisassembler::DoLoadModule();
  if (!ModuleLoaded()) return;
  FFuncSetReducedInstructionSet =
      reinterpret_cast<disasm::TSetReducedInstructionSetFn>(ModuleExport(disasm::kSetReducedInstructionSet));
  FLittleEndian = true;
  FReducedInstructionSet = false;
}

uint32_t TRawDisassemblerARM::ReadCode(int64_t Address) {
  return FReducedInstructionSet ? ReadHalfWord(Address) : ReadWord(Address, FLittleEndian);
}

void TRawDisassemblerARM::DoSetReducedInstructionSet(int32_t Flag) {
  FReducedInstructionSet = Flag != 0;
  if (FFuncSetReducedInstructionSet && ModuleLoaded()) FFuncSetReducedInstructionSet(Flag);
}

void TRawDisassemblerARMv7M::DoLoadModule() {
  FFuncSetThumb2InstructionSet = nullptr;
  TRawDisassemblerARM::DoLoadModule();
  if (!ModuleLoaded()) return;
  FFuncSetThumb2InstructionSet =
      reinterpret_cast<disasm::TSetThumb2InstructionSetFn>(ModuleExport(disasm::kSetThumb2InstructionSet));
  if (FFuncSetThumb2InstructionSet) FFuncSetThumb2InstructionSet();
  DoSetReducedInstructionSet(-1);
}

uint32_t TRawDisassemblerARMv7M::ReadCode(int64_t Address) {
  constexpr uint32_t kLastSingleHalfWord = 0xEFFF, kWideMark = 0xE800;
  const uint32_t first = ReadHalfWord(Address);
  if (first <= kLastSingleHalfWord && (first & kWideMark) != kWideMark) return first;
  return (first << 16) | ReadHalfWord(Address + 2);
}

// ---- CreateInstance

namespace {

enum class TFamily { D165x, D51, Z80, Tvk, PPC, ARM, MB, NIOS2, ARMv7M };

struct TTargetFamily {
  std::wstring_view Name;
  TFamily Family;
};

// Compared exactly, first match wins.
constexpr TTargetFamily kTargetFamilies[] = {
    {L"165x", TFamily::D165x},
    {L"51", TFamily::D51},
    {L"52", TFamily::D51},
    {L"z80", TFamily::Z80},
    {L"tvk", TFamily::Tvk},
    {L"ppc", TFamily::PPC},
    {L"arm", TFamily::ARM},
    {L"mb", TFamily::MB},
    {L"nios2", TFamily::NIOS2},
    {L"BRX165", TFamily::D165x},
    {L"BRX51", TFamily::D51},
    {L"BRX52", TFamily::D51},
    {L"BRX80", TFamily::Z80},
    {L"BRX3000", TFamily::Tvk},
    {L"PPC405A", TFamily::PPC},
    {L"PPC405", TFamily::PPC},
    {L"BLUESTREAK", TFamily::ARM},
    {L"COREMP7", TFamily::ARM},
    {L"LPC1100L", TFamily::ARMv7M},
    {L"LPC11C00", TFamily::ARMv7M},
    {L"LPC11U00", TFamily::ARMv7M},
    {L"LPC1200", TFamily::ARMv7M},
    {L"LPC-SK", TFamily::ARMv7M},
    {L"LPC1300", TFamily::ARMv7M},
    {L"LPC1700", TFamily::ARMv7M},
    {L"LPC1800", TFamily::ARMv7M},
    {L"MCB1700", TFamily::ARMv7M},
    {L"LPC2000", TFamily::ARM},
    {L"LPC2100", TFamily::ARM},
    {L"LPC2200", TFamily::ARM},
    {L"LPC2300", TFamily::ARM},
    {L"LPC2400", TFamily::ARM},
    {L"LPC2800", TFamily::ARM},
    {L"MICROBLAZE", TFamily::MB},
    {L"NIOS2", TFamily::NIOS2},
    {L"STM32F1XXXX", TFamily::ARMv7M},
    {L"STM32F2XXXX", TFamily::ARMv7M},
    {L"STM32L1XXXX", TFamily::ARMv7M},
    {L"STM32W1XXXX", TFamily::ARMv7M},
    {L"Stellaris", TFamily::ARMv7M},
    {L"LM3S", TFamily::ARMv7M},
    {L"LM3SEVAL", TFamily::ARMv7M},
    {L"Cortex-M3", TFamily::ARMv7M},
    {L"SmartFusion", TFamily::ARMv7M},
    {L"SmartFusion Kits", TFamily::ARMv7M},
    {L"i.MX280", TFamily::ARMv7M},
    {L"IMXEVAL", TFamily::ARMv7M},
    {L"GenericARM7Device", TFamily::ARM},
    {L"GenericARM920TDevice", TFamily::ARM},
    {L"GenericARM926EJSDevice", TFamily::ARM},
    {L"GenericARMCortexM3", TFamily::ARMv7M},
};

// Any other name with one of these beginnings, compared without regard to case.
constexpr std::wstring_view kARMv7MPrefixes[] = {L"STM32", L"Stellaris", L"LPC1"};

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::optional<TFamily> FamilyOf(std::wstring_view targetName) {
  for (const TTargetFamily& row : kTargetFamilies)
    if (row.Name == targetName) return row.Family;
  for (std::wstring_view prefix : kARMv7MPrefixes)
    if (StartsWithIgnoringCase(targetName, prefix)) return TFamily::ARMv7M;
  return std::nullopt;
}

template <class T>
ComRef<IRawDisassembler> Make(IMemoryReader* reader, const WideString& basePath) {
  return ComRef<IRawDisassembler>(New<T>(reader, basePath));
}

}  // namespace

ComRef<IRawDisassembler> TRawDisassembler::CreateInstance(const WideString& ATargetName, IMemoryReader* AMemoryReader,
                                                          const WideString& ABasePath) {
  const std::optional<TFamily> family = FamilyOf(ATargetName);
  if (!family) return {};
  switch (*family) {
    case TFamily::D165x: return Make<TRawDisassembler165x>(AMemoryReader, ABasePath);
    case TFamily::D51: return Make<TRawDisassembler51>(AMemoryReader, ABasePath);
    case TFamily::Z80: return Make<TRawDisassemblerZ80>(AMemoryReader, ABasePath);
    case TFamily::Tvk: return Make<TRawDisassemblerTvk>(AMemoryReader, ABasePath);
    case TFamily::PPC: return Make<TRawDisassemblerPPC>(AMemoryReader, ABasePath);
    case TFamily::ARM: return Make<TRawDisassemblerARM>(AMemoryReader, ABasePath);
    case TFamily::MB: return Make<TRawDisassemblerMB>(AMemoryReader, ABasePath);
    case TFamily::NIOS2: return Make<TRawDisassemblerNIOS2>(AMemoryReader, ABasePath);
    case TFamily::ARMv7M: return Make<TRawDisassemblerARMv7M>(AMemoryReader, ABasePath);
  }
  return {};
}

// ---- TOneLineDisassembler

WideString TidyDisassemblyText(std::wstring_view text) {
  std::size_t start = text.find(L' ');
  if (start == std::wstring_view::npos) start = text.find(L'\t');
  if (start != std::wstring_view::npos) text.remove_prefix(start);
  while (!text.empty() && text.front() <= L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= L' ') text.remove_suffix(1);
  return WideString(text);
}

namespace {

// The last call's key and answer, for the module's life.
struct TDisassemblyCache {
  WideString TargetName;
  int64_t Address = 0;
  WideString Text;
};

TDisassemblyCache& Cache() {
  static TDisassemblyCache cache;
  return cache;
}

// Unloads the module when the call ends, however it ends.
class TModuleUse {
public:
  explicit TModuleUse(IRawDisassembler& disassembler) : FDisassembler(disassembler) {
    CheckResult(disassembler.LoadModule());
  }
  ~TModuleUse() { FDisassembler.UnloadModule(); }
  TModuleUse(const TModuleUse&) = delete;
  TModuleUse& operator=(const TModuleUse&) = delete;

private:
  IRawDisassembler& FDisassembler;
};

}  // namespace

WideString TOneLineDisassembler::GetDisassembly(const WideString& ATargetName, int64_t AnAddress,
                                                std::span<const uint32_t> ABuffer, bool AReducedInstructionSet,
                                                bool ALittleEndian) {
  TDisassemblyCache& cache = Cache();
  if (ATargetName == cache.TargetName && AnAddress == cache.Address) return cache.Text;
  cache.TargetName = ATargetName;
  cache.Address = AnAddress;

  WideString text;
  const ComRef<IMemoryReader> reader(New<TMemoryReader>(AnAddress, ABuffer));
  if (const ComRef<IRawDisassembler> disassembler = TRawDisassembler::CreateInstance(ATargetName, reader.Get(), {})) {
    TModuleUse use(*disassembler.Get());
    CheckResult(disassembler->SetReducedInstructionSet(AReducedInstructionSet ? -1 : 0));
    CheckResult(disassembler->SetLittleEndian(ALittleEndian ? -1 : 0));
    int64_t address = AnAddress;
    Bstr answer;
    CheckResult(disassembler->Disassemble(0, &address, answer.Receive()));
    text = TidyDisassemblyText(answer.Str());
  }
  cache.Text = text;
  return text;
}

void DisassemblerUnitShutdown() { Cache() = TDisassemblyCache{}; }

}  // namespace tvk
