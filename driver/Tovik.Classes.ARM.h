#pragma once
// The ARM levels of the driver class chain: the register tables, the memory
// space, the splitting of memory requests into byte and word accesses, the
// ARMv4T modes and banked registers, the v4/v5 MMU walk, the ARMv7-M register
// views, and the diagnostic log.
#include "Exception.h"
#include "Tovik.ARM.CortexM3.h"
#include "Tovik.Classes.h"
#include "Tovik.Types.h"
#include "Tovik.Utils.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tvk {

class TARMJlink;

namespace arm {
// ---- The ARM base's register table (kARMRegisterNames, kARMRegisterShortNames)
inline constexpr int32_t ARM_REGISTER_COUNT = 47;
inline constexpr uint32_t ARM_REGISTER_WIDTH = 32;
inline constexpr int32_t ARM_REG_SP = 13;
inline constexpr int32_t ARM_REG_LR = 14;
inline constexpr int32_t ARM_REG_PC = 15;
inline constexpr int32_t ARM_REG_CPSR = 16;
inline constexpr int32_t ARM_REG_SPSR = 17;
inline constexpr int32_t ARM_REG_TBIT = 18;  // pseudo: the Thumb state
inline constexpr int32_t ARM_REG_LC = 19;    // pseudo: the PC the host shows
inline constexpr int32_t ARM_REG_FIRST_BANKED = 20;
// What the host is told: the "LC" pseudo-register is its program counter.
inline constexpr int32_t ARM_REGISTER_INDEX_PC = ARM_REG_LC;
inline constexpr int32_t ARM_REGISTER_INDEX_SP = ARM_REG_SP;

// Processor modes (CPSR bits 4:0).
inline constexpr uint32_t ARM_MODE_MASK = 0x1F;
inline constexpr uint32_t ARM_MODE_USR = 0x10;
inline constexpr uint32_t ARM_MODE_FIQ = 0x11;
inline constexpr uint32_t ARM_MODE_IRQ = 0x12;
inline constexpr uint32_t ARM_MODE_SVC = 0x13;
inline constexpr uint32_t ARM_MODE_ABT = 0x17;
inline constexpr uint32_t ARM_MODE_UND = 0x1B;
inline constexpr uint32_t ARM_MODE_SYS = 0x1F;
// CPSR after a register reset: System mode, IRQ and FIQ disabled.
inline constexpr uint32_t ARM_CPSR_RESET = 0xDF;

// Software breakpoint instructions. The Thumb one is written as a halfword
// pair so that either lane of a halfword write carries it.
inline constexpr uint32_t THUMB_BKPT_PAIR = 0xBE00BE00;
inline constexpr uint32_t ARM_BKPT = 0xE1200070;

// EmbeddedICE watchpoint register numbers: control, control mask, data, data
// mask, address, address mask.
struct TEmbeddedICEWatchpointRegisters {
  int32_t Control, ControlMask, Data, DataMask, Address, AddressMask;
};
inline constexpr auto ICE_WATCHPOINTS = std::to_array<TEmbeddedICEWatchpointRegisters>({
    {12, 13, 10, 11, 8, 9},     // watchpoint 0
    {20, 21, 18, 19, 16, 17},   // watchpoint 1
});

// ---- The memory space
inline constexpr int32_t ARM_MEMORY_SPACE_MAIN = 0;
inline constexpr std::wstring_view ARM_MEMORY_SPACE_NAME = L"Main";
inline constexpr uint32_t ARM_MEMORY_SPACE_WIDTH = 8;
inline constexpr int64_t ARM_MEMORY_SPACE_LENGTH = 0xFFFFFFFF;
inline constexpr int32_t ARM_SOFT_BREAKPOINT_ALIGN = 2;
// GetDeviceState of an ARM driver.
inline constexpr int32_t ARM_DEVICE_STATE = 2;

// ---- ARMv7-M register numbers
inline constexpr int32_t V7M_REGISTER_COUNT = 30;
inline constexpr int32_t V7M_REG_PC = 15;
inline constexpr int32_t V7M_REG_XPSR = 16;
inline constexpr int32_t V7M_REG_APSR = 17;
inline constexpr int32_t V7M_REG_EPSR = 18;
inline constexpr int32_t V7M_REG_IPSR = 19;
inline constexpr int32_t V7M_REG_CFBP = 20;  // CONTROL, FAULTMASK, BASEPRI, PRIMASK in one word
inline constexpr int32_t V7M_REG_CONTROL = 21;
inline constexpr int32_t V7M_REG_FAULTMASK = 22;
inline constexpr int32_t V7M_REG_BASEPRI = 23;
inline constexpr int32_t V7M_REG_PRIMASK = 24;
inline constexpr int32_t V7M_REG_MSP = 25;
inline constexpr int32_t V7M_REG_PSP = 26;
inline constexpr int32_t V7M_REG_ITSTATE = 27;
inline constexpr int32_t V7M_REG_TBIT = 28;
inline constexpr int32_t V7M_REG_LC = 29;
inline constexpr int32_t V7M_REGISTER_INDEX_PC = V7M_REG_LC;
inline constexpr int32_t V7M_REGISTER_INDEX_SP = 13;

// xPSR fields.
inline constexpr uint32_t XPSR_APSR_MASK = 0xF8000000;  // N Z C V Q
inline constexpr uint32_t XPSR_EPSR_MASK = 0x0700FC00;  // ICI/IT, T
inline constexpr uint32_t XPSR_IPSR_MASK = 0x000001FF;  // exception number
inline constexpr uint32_t XPSR_T = 0x01000000;          // Thumb state, bit 24
inline constexpr uint32_t XPSR_IT_HIGH_MASK = 0x06000000;  // IT bits 1:0 at 26:25
inline constexpr uint32_t XPSR_IT_LOW_MASK = 0x0000FC00;   // IT bits 7:2 at 15:10
}  // namespace arm

// ---- ARMv7-M register table

struct TARMv7MRegister {
  std::wstring_view Name;
  std::wstring_view ShortName;
  uint32_t Width;  // bits
};

inline constexpr auto kARMv7MRegisters = std::to_array<TARMv7MRegister>({
    {L"R0", L"R0", 32}, {L"R1", L"R1", 32}, {L"R2", L"R2", 32}, {L"R3", L"R3", 32},
    {L"R4", L"R4", 32}, {L"R5", L"R5", 32}, {L"R6", L"R6", 32}, {L"R7", L"R7", 32},
    {L"R8", L"R8", 32}, {L"R9", L"R9", 32}, {L"R10", L"R10", 32}, {L"R11", L"R11", 32},
    {L"R12/IP", L"R12", 32}, {L"R13/SP", L"R13", 32}, {L"R14/LR", L"R14", 32}, {L"R15/PC", L"R15", 32},
    {L"XPSR", L"XPSR", 32}, {L"APSR", L"APSR", 32}, {L"EPSR", L"EPSR", 32}, {L"IPSR", L"IPSR", 32},
    {L"CFBP", L"CFBP", 32}, {L"CONTROL", L"CONTROL", 8}, {L"FAULTMASK", L"FAULTMASK", 8},
    {L"BASEPRI", L"BASEPRI", 8}, {L"PRIMASK", L"PRIMASK", 8}, {L"MSP", L"MSP", 32}, {L"PSP", L"PSP", 32},
    {L"ITSTATE", L"ITSTATE", 8}, {L"TBIT (pseudo)", L"TBIT", 1}, {L"LC (pseudo)", L"LC", 32},
});
static_assert(kARMv7MRegisters.size() == arm::V7M_REGISTER_COUNT);
static_assert(kARMRegisterNames.size() == arm::ARM_REGISTER_COUNT);

// ---- ARMv7-M views of the cached xPSR and CFBP words

enum class TARMv7MCache : uint8_t { XPSR, CFBP };

// A register that is a field of a cached word: read as (word AND Mask) >>
// Shift, written by replacing the field with (value << Shift) AND Mask.
struct TARMv7MView {
  int32_t Number;
  TARMv7MCache Cache;
  uint32_t Mask;
  uint32_t Shift;
};

inline constexpr auto kARMv7MViews = std::to_array<TARMv7MView>({
    {arm::V7M_REG_APSR, TARMv7MCache::XPSR, arm::XPSR_APSR_MASK, 0},
    {arm::V7M_REG_EPSR, TARMv7MCache::XPSR, arm::XPSR_EPSR_MASK, 0},
    {arm::V7M_REG_IPSR, TARMv7MCache::XPSR, arm::XPSR_IPSR_MASK, 0},
    {arm::V7M_REG_CONTROL, TARMv7MCache::CFBP, 0xFF000000, 24},
    {arm::V7M_REG_FAULTMASK, TARMv7MCache::CFBP, 0x00FF0000, 16},
    {arm::V7M_REG_BASEPRI, TARMv7MCache::CFBP, 0x0000FF00, 8},
    {arm::V7M_REG_PRIMASK, TARMv7MCache::CFBP, 0x000000FF, 0},
    {arm::V7M_REG_TBIT, TARMv7MCache::XPSR, arm::XPSR_T, 24},
});

// The value of view register Number taken from the cached words; false when
// Number is no view (ITSTATE, whose two fields are not adjacent, is one).
bool ReadARMv7MView(int32_t number, uint32_t xpsr, uint32_t cfbp, uint32_t& value);
// The word a write of Value to view Number composes from the cached words,
// and which of them it replaces; false when Number is no view. A TBIT write
// sets the Thumb bit whatever Value is.
bool ComposeARMv7MView(int32_t number, uint32_t value, uint32_t xpsr, uint32_t cfbp, TARMv7MCache& cache,
                       uint32_t& word);

// ---- Memory cells: one byte in the low 8 bits of each 32-bit cell

// The word in four cells in the target's byte order (the low 8 bits of each).
constexpr uint32_t LoadWordFromCells(const uint32_t* cells, bool littleEndian) {
  uint32_t word = 0;
  for (int i = 0; i < 4; ++i) {
    const uint32_t byte = cells[littleEndian ? 3 - i : i] & 0xFF;
    word = (word << 8) | byte;
  }
  return word;
}

// Stores Word into four cells in the target's byte order, zero-extended.
constexpr void StoreWordToCells(uint32_t* cells, uint32_t word, bool littleEndian) {
  for (int i = 0; i < 4; ++i) {
    const uint32_t byte = (word >> (8 * i)) & 0xFF;
    cells[littleEndian ? i : 3 - i] = byte;
  }
}

// ---- Splitting of a main-memory request

enum class TARMAccessKind : uint8_t { Bytes, Words };

// One ReadBytes/ReadWords (or write) call of a request: Count cells from
// CellIndex at Address.
struct TARMMemoryPiece {
  TARMAccessKind Kind;
  int32_t CellIndex;
  uint64_t Address;
  int32_t Count;
  constexpr bool operator==(const TARMMemoryPiece&) const = default;
};

struct TARMMemorySplit {
  std::array<TARMMemoryPiece, 3> Pieces{};
  std::size_t Count = 0;
  constexpr const TARMMemoryPiece* begin() const { return Pieces.data(); }
  constexpr const TARMMemoryPiece* end() const { return Pieces.data() + Count; }
};

// The calls a request of Count bytes at Address is made of, in call order:
// an aligned word as one word access; anything up to 4 bytes else byte by
// byte; longer requests as the unaligned head bytes, then the unaligned tail
// bytes, then the whole words between them.
constexpr TARMMemorySplit SplitMainMemoryRequest(uint64_t address, int32_t count) {
  TARMMemorySplit split;
  auto add = [&](TARMAccessKind kind, int64_t index, uint64_t at, int64_t n) {
    split.Pieces[split.Count++] = {kind, int32_t(index), at, int32_t(n)};
  };
  if ((address & 3) == 0 && count == 4) {
    add(TARMAccessKind::Words, 0, address, 4);
  } else if (count > 4) {
    const int64_t head = int64_t((4 - address % 4) % 4);
    const int64_t tail = int64_t((address + uint64_t(count)) % 4);
    if (head > 0) add(TARMAccessKind::Bytes, 0, address, head);
    if (tail > 0) add(TARMAccessKind::Bytes, count - tail, address + uint64_t(count - tail), tail);
    add(TARMAccessKind::Words, head, address + uint64_t(head), count - head - tail);
  } else {
    add(TARMAccessKind::Bytes, 0, address, count);
  }
  return split;
}

// ---- ARMv4T banked registers

// Register number Register of mode Mode: what registers 20 to 46 of the ARM
// base's table stand for.
struct TARMBankedRegister {
  int32_t Register;
  uint32_t Mode;
};

inline constexpr auto kARMv4TBankedRegisters = std::to_array<TARMBankedRegister>({
    // R8_USR to R14_USR
    {8, arm::ARM_MODE_USR}, {9, arm::ARM_MODE_USR}, {10, arm::ARM_MODE_USR}, {11, arm::ARM_MODE_USR},
    {12, arm::ARM_MODE_USR}, {13, arm::ARM_MODE_USR}, {14, arm::ARM_MODE_USR},
    {13, arm::ARM_MODE_SVC}, {14, arm::ARM_MODE_SVC}, {17, arm::ARM_MODE_SVC},  // R13_SVC, R14_SVC, SPSR_SVC
    {13, arm::ARM_MODE_ABT}, {14, arm::ARM_MODE_ABT}, {17, arm::ARM_MODE_ABT},
    {13, arm::ARM_MODE_UND}, {14, arm::ARM_MODE_UND}, {17, arm::ARM_MODE_UND},
    {13, arm::ARM_MODE_IRQ}, {14, arm::ARM_MODE_IRQ}, {17, arm::ARM_MODE_IRQ},
    // R8_FIQ to R14_FIQ, SPSR_FIQ
    {8, arm::ARM_MODE_FIQ}, {9, arm::ARM_MODE_FIQ}, {10, arm::ARM_MODE_FIQ}, {11, arm::ARM_MODE_FIQ},
    {12, arm::ARM_MODE_FIQ}, {13, arm::ARM_MODE_FIQ}, {14, arm::ARM_MODE_FIQ}, {17, arm::ARM_MODE_FIQ},
});
static_assert(arm::ARM_REG_FIRST_BANKED + kARMv4TBankedRegisters.size() == arm::ARM_REGISTER_COUNT);

// The banked register that table number Number stands for; null outside 20 to 46.
constexpr const TARMBankedRegister* FindARMv4TBankedRegister(int32_t number) {
  if (number < arm::ARM_REG_FIRST_BANKED || number >= arm::ARM_REGISTER_COUNT) return nullptr;
  return &kARMv4TBankedRegisters[std::size_t(number - arm::ARM_REG_FIRST_BANKED)];
}

// CPSR with its mode bits replaced by Mode.
constexpr uint32_t CPSRWithMode(uint32_t cpsr, uint32_t mode) {
  return (cpsr & ~arm::ARM_MODE_MASK) | (mode & arm::ARM_MODE_MASK);
}

// ---- ARMv4/v5 MMU translation walk

namespace arm {
inline constexpr uint64_t MMU_TABLE_BASE_MASK = 0xFFFFC000;
// Descriptor types (bits 1:0).
inline constexpr uint32_t MMU_DESC_FAULT = 0;
inline constexpr uint32_t MMU_DESC_COARSE = 1;  // first level: coarse table; second level: large page
inline constexpr uint32_t MMU_DESC_SECTION = 2; // first level: section; second level: small page
inline constexpr uint32_t MMU_DESC_FINE = 3;    // first level: fine table; second level: tiny page
}  // namespace arm

struct TARMTranslation {
  uint32_t CacheBits = 0;  // C and B
  uint32_t Domain = 0;
  uint32_t Access = 0;     // AP bits
  uint64_t Physical = 0;
  constexpr bool operator==(const TARMTranslation&) const = default;
};

// Reads one descriptor word of the translation tables (raises on failure).
using TARMDescriptorReader = std::function<uint32_t(uint64_t address)>;

// The two-level walk of VirtualAddress under the table at TableBase (masked
// to its 16 KiB alignment). A fault descriptor, or a fine table on a core
// without tiny pages, ends the walk with Physical = VirtualAddress.
TARMTranslation WalkTranslationTable(uint64_t virtualAddress, uint64_t tableBase, bool hasTinyPages,
                                     const TARMDescriptorReader& readDescriptor);

// ---- The diagnostic log

inline constexpr std::wstring_view kARMDebugLogFileName = L"debug.log";

// Lines of the ARM levels' diagnostics, saved when the driver goes. Nothing in
// the module switches it on; a driver without one drops its lines.
class TARMDebugLog {
public:
  void Debug(std::wstring_view text);
  void Error(std::wstring_view text);
  const std::vector<WideString>& Lines() const { return FLines; }
  // Writes the lines as ANSI text, each ended by CR LF; raises when the file
  // cannot be written.
  void SaveToFile(const WideString& fileName) const;

private:
  std::vector<WideString> FLines;
};

// ---- The ARM base

// The level the ARM levels sit on.
using TARMBaseParent = TTovikProcessorDriver;

// The first ARM level: the 47-register table, the memory space "Main" and
// IMemoryAccess on it, counted transactions, run control built on the core
// operations the lower levels supply, memory initialisation from the
// project's embedded memories, and the ARM dispatch identifiers 509025 to
// 509053 with the services "ARMEmbeddedICE" and "ARMTovikDriver".
//
// The operations it adds are served-operation shaped: a result code, outputs
// last. Where one does nothing here it answers success and leaves its outputs
// at 0. A memory buffer holds one byte per 32-bit cell (see LoadWordFromCells).
class TARMBase : public TARMBaseParent {
public:
  using TARMBaseParent::TARMBaseParent;
  ~TARMBase() override;

  TVK_SERVED_LEVEL();

  // ---- Operations added, in slot order
  virtual HRESULT ReadRegister(int32_t Number, uint32_t& Value);
  virtual HRESULT WriteRegister(int32_t Number, uint32_t Value);
  virtual HRESULT ReadMemory_Byte(uint32_t Address, uint8_t& Value);
  virtual HRESULT ReadMemory_HalfWord(uint32_t Address, uint32_t& Value);
  virtual HRESULT ReadMemory_Word(uint32_t Address, uint32_t& Value);
  virtual HRESULT WriteMemory_Byte(uint32_t Address, uint8_t Value);
  // The low halfword of Value.
  virtual HRESULT WriteMemory_HalfWord(uint32_t Address, uint32_t Value);
  virtual HRESULT WriteMemory_Word(uint32_t Address, uint32_t Value);
  // Count cells from cell Index at Address, byte by byte.
  virtual HRESULT ReadBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count);
  // Count div 4 words from cell Index at Address, each into four cells in the target's byte order.
  virtual HRESULT ReadWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count);
  // Count cells at Address, split by SplitMainMemoryRequest.
  virtual HRESULT ReadMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count);
  virtual HRESULT WriteBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count);
  virtual HRESULT WriteWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count);
  virtual HRESULT WriteMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count);
  virtual HRESULT SaveState();
  virtual HRESULT RestoreState();
  virtual HRESULT ClearState();
  virtual HRESULT ChangeToARMState();
  virtual HRESULT ChangeToThumbState();
  virtual HRESULT InitWatchPoints();
  virtual HRESULT GetTranslationTableBase(int64_t& Base);
  // Physical = Virtual here; the three outputs are left as they are.
  virtual HRESULT TranslateVirtualAddress(int64_t Virtual, uint32_t* CacheBits, uint32_t* Domain,
                                          uint32_t* Access, int64_t& Physical);
  // ReadMainMemory with the MMU and caches off (DisableMMUCaches(1, 1, 0), then EnableMMUCaches).
  virtual HRESULT ReadPhysicalMemory(uint32_t* Buffer, int64_t Address, int32_t Count);
  virtual HRESULT WritePhysicalMemory(uint32_t* Buffer, int64_t Address, int32_t Count);
  virtual HRESULT HasTinyPages(bool& Result);
  virtual HRESULT EnableMMUCaches();
  virtual HRESULT DisableMMUCaches();
  virtual HRESULT DisableMMUCaches(bool ICache, bool DCache, bool MMU);
  // Writes the initial values of the project's embedded memories.
  virtual HRESULT InitializeMemory();
  virtual HRESULT OpenJtagChannel();
  virtual HRESULT CloseJtagChannel();
  virtual HRESULT SetICERegister(int32_t Register, uint32_t Value);
  virtual HRESULT GetICERegister(int32_t Register, uint32_t& Value);

  // Mode-banked register access and mode switching. Not virtual: the dispatch
  // table reaches these versions, never a lower level's.
  HRESULT ReadRegister(int32_t Number, int32_t Mode, uint32_t& Value);
  HRESULT WriteRegister(int32_t Number, uint32_t Value, int32_t Mode);
  HRESULT SwitchProcessorMode_Begin(int32_t Mode);
  HRESULT SwitchProcessorMode_End();

  // ---- Served operations of the driver
  HRESULT GetProcessorRegisterCount(int32_t& Result) override;
  HRESULT GetProcessorRegisterName(int32_t Index, WideString& Result) override;
  HRESULT GetProcessorRegisterShortName(int32_t Index, WideString& Result) override;
  HRESULT GetProcessorRegisterWidth(int32_t Index, uint32_t& Result) override;
  HRESULT GetRegisterIndex_PC(int32_t& Result) override;
  HRESULT GetRegisterIndex_SP(int32_t& Result) override;
  HRESULT SetProcessorRegisterValue(int32_t Index, uint32_t Value, bool& Result) override;
  HRESULT GetProcessorRegisterValue(int32_t Index, uint32_t& Result) override;
  HRESULT GetSoftBreakpointAddressByteAlign(int32_t& Result) override;
  HRESULT GetMemorySpaceCount(int32_t& Result) override;
  HRESULT GetMemorySpace_Program(int32_t& Result) override;
  HRESULT GetMemorySpaceName(int32_t Space, WideString& Result) override;
  HRESULT GetMemorySpaceShortName(int32_t Space, WideString& Result) override;
  HRESULT GetMemorySpaceWidth(int32_t Space, uint32_t& Result) override;
  HRESULT GetMemorySpaceBytesPerUnit(int32_t Space, uint32_t& Result) override;
  HRESULT GetMemorySpaceKind(int32_t Space, int32_t& Result) override;
  HRESULT GetMemorySpaceLength(int32_t Space, int64_t& Result) override;
  HRESULT RunDiagnostic(bool& Result) override;
  HRESULT LittleEndian(bool& Result) override;
  HRESULT RunSingleStepInSubstitutionRegister() override;
  HRESULT ResetTovikRegisters() override;
  HRESULT ResetProcessor() override;
  HRESULT RunSteps(int32_t Count) override;
  HRESULT ProcessorIsPaused(bool& Result) override;
  HRESULT ProcessorIsReset(bool& Result) override;
  HRESULT ProcessorIsRunning(bool& Result) override;
  HRESULT ProcessorIsUsingReducedInstructionSet(bool& Result) override;
  HRESULT ResetDevice(bool& Result) override;
  HRESULT GetDeviceState(int32_t& Result) override;
  HRESULT InitDownload(int32_t Kind, bool& Result) override;
  HRESULT FinishDownload(int32_t Kind, bool& Result) override;
  HRESULT AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) override;
  HRESULT RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced, bool& Result) override;
  HRESULT Supports(const WideString& Name, bool& Result) override;

  // IMemoryAccess on space 0. Success is set before the request runs, so a
  // request that fails part way answers a failure code with Success true.
  HRESULT STDMETHODCALLTYPE MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                       BOOL* Success) override;
  HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                        BOOL* Success) override;

  // The ARM instrument panel for the host device and its JTAG device.
  std::unique_ptr<TDriverForm> CreateRackForm() override;
  // Counted: only the outermost pair opens and closes the driver's
  // transaction. An end without a begin (the begin raised) is ignored.
  void TransactionBegin() override;
  void TransactionEnd() override;
  int32_t TransactionDepth() const { return FTransactionDepth; }

  // ---- Diagnostic log
  TARMDebugLog* DebugLogging() const { return FDebugLogging.get(); }
  // Starts a log (kept until the driver goes, then saved as "debug.log").
  void StartDebugLogging();
  void LogDebug(std::wstring_view text);
  void LogError(std::wstring_view text);

  bool Downloading() const { return FDownloading; }

protected:
  // Body between TransactionBegin and TransactionEnd; the end runs also when
  // the body or the begin raised.
  template <class F>
  void InTransaction(F&& body) {
    Bracketed([] {}, [this] { TransactionEnd(); }, [&] {
      TransactionBegin();
      body();
    });
  }
  // Body between OpenChannel and CloseChannel; the close runs also on error.
  template <class F>
  void WithChannel(F&& body) {
    Bracketed([this] { OpenChannel(); }, [this] { CloseChannel(); }, body);
  }
  bool TargetLittleEndian();

  // Memory initialisation. The initial values of the embedded memories of
  // the project linked to the driver's device (the first link on the host's
  // workbench whose device has the same identifier), in order: name,
  // address and value (low 32 bits), width in bytes. Nothing without a
  // workbench, link, project or memory manager.
  using TInitialValueVisitor =
      std::function<void(const WideString& Name, uint32_t Address, uint32_t Value, int64_t Width)>;
  void ForEachInitialValue(const TInitialValueVisitor& visit);
  // Value written as a word, halfword or byte for a Width of 4, 2 or 1;
  // other widths are passed over (false).
  bool WriteInitialValue(int64_t Width, uint32_t Address, uint32_t Value);

private:
  bool FDownloading = false;                    // set by InitDownload, cleared by FinishDownload
  std::unique_ptr<TARMDebugLog> FDebugLogging;  // absent unless started
  int32_t FTransactionDepth = 0;                // nesting of TransactionBegin; never below 0
};

// ---- ARMv4T

// ARM and Thumb states, processor modes with banked registers, ARM and Thumb
// software breakpoints and the v4/v5 MMU walk.
class TARMv4T : public TARMBase {
public:
  using TARMBase::TARMBase;

  HRESULT LittleEndian(bool& Result) override;
  HRESULT ResetTovikRegisters() override;
  HRESULT ProcessorIsUsingReducedInstructionSet(bool& Result) override;
  // Registers 18 to 46: TBIT, LC and the banked registers; others read 0 here.
  HRESULT ReadRegister(int32_t Number, uint32_t& Value) override;
  HRESULT WriteRegister(int32_t Number, uint32_t Value) override;
  HRESULT SaveState() override;
  HRESULT RestoreState() override;
  HRESULT ClearState() override;
  // Two EmbeddedICE watchpoints on this driver (as IARMEmbeddedICE), handed
  // to the debug manager.
  HRESULT InitWatchPoints() override;
  HRESULT AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) override;
  HRESULT RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced, bool& Result) override;
  HRESULT TranslateVirtualAddress(int64_t Virtual, uint32_t* CacheBits, uint32_t* Domain, uint32_t* Access,
                                  int64_t& Physical) override;

  // Banked access: Number (8 to 14 or 17) of mode Mode, read or written
  // inside a mode switch.
  HRESULT ReadRegister(int32_t Number, int32_t Mode, uint32_t& Value);
  HRESULT WriteRegister(int32_t Number, uint32_t Value, int32_t Mode);
  HRESULT SwitchProcessorMode_Begin(int32_t Mode);
  HRESULT SwitchProcessorMode_End();

protected:
  uint32_t FMode = 0;  // the mode as the level knows it; no operation updates it
  uint32_t FSavedMode = 0;
  TARM_State FState = eARM_State_ARM;
  bool FBigEndian = false;
  bool FStateSaved = false;
  bool FModeSaved = false;
};

// ---- ARMv7-M

// Thumb only: xPSR and its views, the special-purpose registers and Thumb
// software breakpoints; the core registers come from ReadCoreRegister and
// WriteCoreRegister, which the core level supplies. The views read the
// cached xPSR and CFBP; a composed write starts from the caches and does not
// update them.
class TARMv7M : public TARMv4T {
public:
  using TARMv4T::TARMv4T;

  // ---- Operations added
  virtual HRESULT ReadCoreRegister(int32_t Number, uint32_t& Value);
  virtual HRESULT WriteCoreRegister(int32_t Number, uint32_t Value);

  HRESULT LittleEndian(bool& Result) override;
  HRESULT ResetTovikRegisters() override;
  HRESULT ResetProcessor() override;
  HRESULT ProcessorIsUsingReducedInstructionSet(bool& Result) override;
  HRESULT GetProcessorRegisterCount(int32_t& Result) override;
  HRESULT GetProcessorRegisterName(int32_t Index, WideString& Result) override;
  HRESULT GetProcessorRegisterShortName(int32_t Index, WideString& Result) override;
  HRESULT GetProcessorRegisterWidth(int32_t Index, uint32_t& Result) override;
  HRESULT GetRegisterIndex_PC(int32_t& Result) override;
  HRESULT GetRegisterIndex_SP(int32_t& Result) override;
  HRESULT ReadRegister(int32_t Number, uint32_t& Value) override;
  HRESULT WriteRegister(int32_t Number, uint32_t Value) override;
  HRESULT SaveState() override;
  HRESULT RestoreState() override;
  HRESULT ClearState() override;
  HRESULT InitWatchPoints() override;
  HRESULT AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) override;
  HRESULT RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced, bool& Result) override;

  uint32_t SavedPC() const { return FSavedPC; }
  uint32_t SavedXPSR() const { return FSavedXPSR; }
  uint32_t SavedCFBP() const { return FSavedCFBP; }

protected:
  // This level's own state; the ARMv4T fields of the same names stay unused.
  uint32_t FMode = 0;
  uint32_t FSavedMode = 0;
  TARM_State FState = eARM_State_ARM;  // Thumb once the core level has saved the state
  bool FBigEndian = false;
  bool FStateSaved = false;
  bool FModeSaved = false;
  uint32_t FSavedPC = 0;    // last PC read through register 15; 0 after a reset
  uint32_t FSavedXPSR = 0;  // last xPSR read through register 16
  uint32_t FSavedCFBP = 0;  // last CONTROL/FAULTMASK/BASEPRI/PRIMASK word read through register 20
};

// ---- ARM Debug Interface v5 over JTAG

// The level that reaches the core through the JTAG-DP and its MEM-AP on the
// host device's JTAG channel: every core register, core debug register and
// memory access of the Cortex-M3 level that does not go to the J-Link probe
// ends in its engine.
class TARMADI_V5 : public TARMv7M {
public:
  using TARMv7M::TARMv7M;

  // This level's part of the core set-up: the engine's status-check guard is cleared.
  virtual void InitializeCore();
  // A new host device: the engine's latched status check and register caches go.
  HRESULT SetTovikDevice(const ITovikDevice& Device, bool& Result) override;

  // As the ARM base's, but Success is false when a transfer of the request
  // failed at the port (no channel, no acknowledge, the latched status check,
  // a re-power); the data read stays 0 there. Sticky flags that could be
  // cleared are no failure: hosts read across unmapped gaps.
  HRESULT STDMETHODCALLTYPE MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                       BOOL* Success) override;
  HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                        BOOL* Success) override;

  TADIv5Engine& Adi() { return FAdi; }

protected:
  TADIv5Engine FAdi{MakeTransport(), MakeHooks()};

private:
  // Scans on the channel of the host device the driver holds at the time.
  std::unique_ptr<IDapTransport> MakeTransport();
  // Log lines to the ARM base's diagnostic log.
  TADIv5Hooks MakeHooks();
};

// ---- Cortex-M3

// The last ARM level, the one the device data sits on: the core's
// identification and debug units, core registers, memory, run control and
// halt status, memory initialisation, each on the J-Link path while the
// probe binding holds the channel and through the ADIv5 engine otherwise
// (TCortexM3Core). The core is set up by the first status query after the
// host device is set, never by a pause or a memory access.
class TARM_Cortex_M3 : public TARMADI_V5 {
public:
  TARM_Cortex_M3(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType,
                 const TFlashWriterClass* ARemoteExecutionClass);
  TARM_Cortex_M3(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType,
                 std::span<const TFlashWriterClass* const> ARemoteExecutionClasses);
  ~TARM_Cortex_M3() override;

  void InitializeCore() override;
  HRESULT ReadCoreRegister(int32_t Number, uint32_t& Value) override;
  HRESULT WriteCoreRegister(int32_t Number, uint32_t Value) override;
  HRESULT SaveState() override;
  HRESULT InitWatchPoints() override;
  HRESULT InitializeMemory() override;

  HRESULT ReadMemory_Byte(uint32_t Address, uint8_t& Value) override;
  HRESULT ReadMemory_HalfWord(uint32_t Address, uint32_t& Value) override;
  HRESULT ReadMemory_Word(uint32_t Address, uint32_t& Value) override;
  HRESULT WriteMemory_Byte(uint32_t Address, uint8_t Value) override;
  HRESULT WriteMemory_HalfWord(uint32_t Address, uint32_t Value) override;
  HRESULT WriteMemory_Word(uint32_t Address, uint32_t Value) override;
  // On the J-Link path each request goes to the probe whole.
  HRESULT ReadBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) override;
  HRESULT ReadWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) override;
  HRESULT ReadMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count) override;
  HRESULT WriteBytes(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) override;
  HRESULT WriteWords(uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count) override;
  HRESULT WriteMainMemory(uint32_t* Buffer, int64_t Address, int32_t Count) override;

  HRESULT PauseProcessor() override;
  HRESULT ContinueProcessor() override;
  HRESULT SingleStepProcessor() override;
  HRESULT ResetProcessor() override;
  HRESULT ResetTovikRegisters() override;
  HRESULT ProcessorIsPaused(bool& Result) override;
  HRESULT ProcessorIsReset(bool& Result) override;
  HRESULT AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) override;
  HRESULT RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Replaced, bool& Result) override;

  const TCortexM3Core& Core() const { return *FCore; }
  // The J-Link probe binding the core hands its work to while it holds the channel.
  TARMJlink& Jlink() { return *FJlink; }

protected:
  // The set-up at construction finds no device yet, and so does nothing.
  void AfterCreate() override;

private:
  // What the core asks of the levels, and the driver as its comparators reach it.
  class TLevels;

  // A block goes to the probe when its path is active, else JtagPath runs it.
  template <class F>
  HRESULT ProbeOrJtag(TJlinkBlock kind, uint32_t* Buffer, int32_t Index, int64_t Address, int32_t Count,
                      F&& JtagPath) {
    return Guard([&] {
      if (!FCore->JlinkBlockTransfer(kind, Buffer, Index, Address, Count)) CheckResult(JtagPath());
    });
  }

  std::unique_ptr<TARMJlink> FJlink;
  std::unique_ptr<TLevels> FLevels;
  std::unique_ptr<TCortexM3Core> FCore;
};

}  // namespace tvk
