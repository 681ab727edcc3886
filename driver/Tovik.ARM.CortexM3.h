#pragma once
// The Cortex-M3 core behind the ADIv5 engine: identification and set-up of
// the core's debug units (flash patch and data watchpoint units, the
// comparators handed to the debug manager), core registers through
// DCRSR/DCRDR, halt, step, run and reset through DHCSR, DEMCR and AIRCR, the
// halt check and the save of the halted core's state, and the memory
// initialisation after a reset.
//
// Every operation that has a J-Link form asks first whether the driver's
// J-Link binding holds the device's channel and, when it does, hands the
// operation to the binding; otherwise it goes through the engine over the
// host's JTAG channel. What the core needs of the driver levels around it
// (channel, debug manager, the ARMv7-M register caches, the ARM base's reset
// and memory walk) it asks through ICortexM3Levels.
#include "Tovik.ARM.ADIv5.h"
#include "Tovik.Classes.Breakpoints.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace tvk {

namespace cortexm3 {
// System control space and debug units.
inline constexpr uint32_t CPUID = 0xE000ED00;
inline constexpr uint32_t AIRCR = 0xE000ED0C;
inline constexpr uint32_t DHCSR = 0xE000EDF0;  // halting control and status
inline constexpr uint32_t DCRSR = 0xE000EDF4;  // core register selector
inline constexpr uint32_t DCRDR = 0xE000EDF8;  // core register data
inline constexpr uint32_t DEMCR = 0xE000EDFC;  // exception and monitor control
inline constexpr uint32_t FP_CTRL = 0xE0002000;
inline constexpr uint32_t DWT_CTRL = 0xE0001000;

// CPUID: the part number field as compared (bits 15:4, some bits masked).
inline constexpr uint32_t CPUID_PARTNO_MASK = 0xC3F;
inline constexpr uint32_t CPUID_PARTNO_CORTEX_M3 = 0xC23;

// DHCSR.
inline constexpr uint32_t DBGKEY = 0xA05F0000;  // written with every request
inline constexpr uint32_t C_DEBUGEN = 1u << 0;
inline constexpr uint32_t C_HALT = 1u << 1;
inline constexpr uint32_t C_STEP = 1u << 2;
inline constexpr uint32_t C_MASKINTS = 1u << 3;
inline constexpr uint32_t S_HALT = 1u << 17;
inline constexpr uint32_t DHCSR_HALT_REQUEST = DBGKEY | C_DEBUGEN | C_HALT;                // 0xA05F0003
inline constexpr uint32_t DHCSR_RUN_REQUEST = DBGKEY | C_DEBUGEN;                          // 0xA05F0001
inline constexpr uint32_t DHCSR_STEP_REQUEST = DBGKEY | C_DEBUGEN | C_STEP | C_MASKINTS;  // 0xA05F000D

// DCRSR: bits 4:0 select the register, bit 16 writes it.
inline constexpr uint32_t DCRSR_REGWNR = 1u << 16;

// DEMCR: trace on, halt on core reset, bus fault and hard fault.
inline constexpr uint32_t VC_CORERESET = 1u << 0;
inline constexpr uint32_t VC_BUSERR = 1u << 8;
inline constexpr uint32_t VC_HARDERR = 1u << 10;
inline constexpr uint32_t TRCENA = 1u << 24;
inline constexpr uint32_t DEMCR_RESET_CATCH = TRCENA | VC_HARDERR | VC_BUSERR | VC_CORERESET;  // 0x01000501

// AIRCR.
inline constexpr uint32_t VECTKEY = 0x05FA0000;  // written with every request
inline constexpr uint32_t VECTRESET = 1u << 0;
inline constexpr uint32_t AIRCR_ENDIANNESS = 1u << 15;  // set: big-endian data
inline constexpr uint32_t AIRCR_CORE_RESET = VECTKEY | VECTRESET;  // 0x05FA0001

// FP_CTRL: KEY must be set for a write of ENABLE to take.
inline constexpr uint32_t FP_CTRL_ENABLE = 1u << 0;
inline constexpr uint32_t FP_CTRL_KEY = 1u << 1;

// The vector table at address 0.
inline constexpr uint32_t VECTOR_INITIAL_SP = 0;
inline constexpr uint32_t VECTOR_RESET = 4;

// Core register numbers of the ARMv7-M register table.
inline constexpr int32_t REG_SP = 13;
inline constexpr int32_t REG_PC = 15;
inline constexpr int32_t REG_XPSR = 16;
inline constexpr int32_t REG_CFBP = 20;  // CONTROL, FAULTMASK, BASEPRI, PRIMASK in one word
inline constexpr int32_t REG_MSP = 25;
inline constexpr int32_t REG_PSP = 26;
inline constexpr uint32_t XPSR_THUMB = 1u << 24;

// A halt is looked for this many times, without a delay between the checks.
inline constexpr unsigned HALT_CHECKS = 11;
// Loaded after a halt check that did not see the core halted.
inline constexpr uint32_t HALT_CHECK_INSTRUCTION = 4;

// The DCRSR selector of a core register number; none for a number that has no
// core register behind it (it reads 0 and writes nothing).
std::optional<uint32_t> DcrsrSelector(int32_t number);
}  // namespace cortexm3

// The J-Link probe binding as the core uses it. Each operation answers a
// result code; a failed one ends the operation that called it.
class ICortexM3Jlink {
public:
  virtual ~ICortexM3Jlink() = default;
  // Whether the binding has Channel open (an empty record when the device has none).
  virtual HRESULT ARM_IsOpen(const IJTagChannel& channel, bool& isOpen) = 0;
  virtual HRESULT ARM_Initialize(const IDeviceDebugManager& manager, bool& initialized) = 0;
  virtual HRESULT ARM_Halt() = 0;
  virtual HRESULT ARM_Continue() = 0;
  virtual HRESULT ARM_SingleStep() = 0;
  virtual HRESULT ARM_Reset() = 0;
  virtual HRESULT ARM_ResetRegisters() = 0;
  virtual HRESULT ARM_IsHalted(bool& halted) = 0;
  virtual HRESULT ARM_ReadRegister(int32_t number, uint32_t& value) = 0;
  virtual HRESULT ARM_WriteRegister(int32_t number, uint32_t value) = 0;
  virtual HRESULT ARM_ReadByte(int64_t address, uint32_t& value) = 0;
  virtual HRESULT ARM_ReadHalfWord(int64_t address, uint32_t& value) = 0;
  virtual HRESULT ARM_ReadWord(int64_t address, uint32_t& value) = 0;
  virtual HRESULT ARM_WriteByte(int64_t address, uint32_t value) = 0;
  virtual HRESULT ARM_WriteHalfWord(int64_t address, uint32_t value) = 0;
  virtual HRESULT ARM_WriteWord(int64_t address, uint32_t value) = 0;
  // Cells hold one byte each; Count is a byte count, the whole request at once.
  virtual HRESULT ARM_ReadBytes(uint32_t* cells, int32_t index, int64_t address, int32_t count) = 0;
  virtual HRESULT ARM_ReadWords(uint32_t* cells, int32_t index, int64_t address, int32_t count) = 0;
  virtual HRESULT ARM_WriteBytes(uint32_t* cells, int32_t index, int64_t address, int32_t count) = 0;
  virtual HRESULT ARM_WriteWords(uint32_t* cells, int32_t index, int64_t address, int32_t count) = 0;
  virtual HRESULT ARM_AddBreakpoint(int64_t address, uint32_t& handle) = 0;
  virtual HRESULT ARM_RemoveBreakpoint(int64_t address, bool& removed) = 0;
};

// What the core needs of the driver levels it sits in. The operations named
// after a level's operation are that level's versions (not the core's
// overrides), so the core can run "the parent's" step of each sequence.
class ICortexM3Levels {
public:
  virtual ~ICortexM3Levels() = default;

  // Driver: the host device's JTAG channel (empty while there is none), the
  // channel bracket, the ARM base's transaction bracket.
  virtual IJTagChannel JTagChannel() = 0;
  virtual void OpenChannel() = 0;
  virtual void CloseChannel() = 0;
  virtual void TransactionBegin() = 0;
  virtual void TransactionEnd() = 0;

  // The driver's debug manager, and the driver as the flash patch
  // comparators it creates reach it.
  virtual IDeviceDebugManager DebugManager() = 0;
  virtual ICortexM3BreakpointDriver& BreakpointDriver() = 0;

  // The J-Link binding; null when the driver has none.
  virtual ICortexM3Jlink* Jlink() = 0;

  // ARMv7-M level: register access through its caches (ReadRegister(15) and
  // (16) refresh the saved PC and xPSR), its state operations and its soft
  // breakpoints.
  virtual uint32_t ReadRegister(int32_t number) = 0;
  virtual void WriteRegister(int32_t number, uint32_t value) = 0;
  virtual void ARMv7MSaveState() = 0;
  virtual void RestoreState() = 0;
  virtual void ClearState() = 0;
  virtual void ARMv7MInitWatchPoints() = 0;
  virtual uint32_t ARMv7MAddSoftBreakpoint(int32_t space, int64_t address) = 0;
  virtual bool ARMv7MRemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced) = 0;
  // ARMv7-M level: the reset after the core's own part (the ARM base's
  // reset, then the saved PC cleared).
  virtual void ARMv7MResetProcessor() = 0;

  // ARMv7-M level's caches of the halted core.
  virtual bool StateSaved() = 0;
  virtual void SetStateSaved(bool saved) = 0;
  virtual void SetThumbState() = 0;
  virtual void SetBigEndian(bool bigEndian) = 0;
  virtual uint32_t SavedPC() = 0;

  // ARM base: the walk over the initial values of the embedded memories of
  // the project linked to the device, in order (address and value in their
  // low 32 bits, width in bytes).
  using TInitialValueVisitor =
      std::function<void(const WideString& Name, uint32_t Address, uint32_t Value, int64_t Width)>;
  virtual void ForEachInitialValue(const TInitialValueVisitor& visit) = 0;
};

// The block memory operations that go to the J-Link binding whole.
enum class TJlinkBlock { ReadBytes, ReadWords, WriteBytes, WriteWords };

class TCortexM3Core {
public:
  TCortexM3Core(TADIv5Engine& adi, ICortexM3Levels& levels) : FAdi(adi), FLevels(levels) {}
  TCortexM3Core(const TCortexM3Core&) = delete;
  TCortexM3Core& operator=(const TCortexM3Core&) = delete;

  // True when the J-Link binding holds the device's JTAG channel.
  bool JlinkActive();

  // Identifies the core and sets its debug units up, once; after a power-up
  // that fails, "Target is not responding." is shown and nothing is tried
  // again until a processor reset. Without a channel: nothing.
  void InitializeCore();
  // Hands each flash patch code comparator to the debug manager once,
  // however often it runs.
  void InitWatchPoints();

  // Core registers through DCRSR/DCRDR. A failed read gives 0 and puts the
  // DCRDR value it found back; a successful one leaves the register's value
  // in DCRDR.
  uint32_t ReadDebugCoreRegister(uint32_t selector);
  void WriteDebugCoreRegister(uint32_t selector, uint32_t value);
  // By the ARMv7-M register number; the PC is written with bit 0 clear.
  uint32_t ReadCoreRegister(int32_t number);
  void WriteCoreRegister(int32_t number, uint32_t value);

  // Memory through the MEM-AP (or the binding).
  uint32_t ReadMemory_Byte(uint32_t address);
  uint32_t ReadMemory_HalfWord(uint32_t address);
  uint32_t ReadMemory_Word(uint32_t address);
  void WriteMemory_Byte(uint32_t address, uint32_t value);
  void WriteMemory_HalfWord(uint32_t address, uint32_t value);
  void WriteMemory_Word(uint32_t address, uint32_t value);
  // The J-Link form of a block operation: true when the binding took the
  // whole request; false when the ARM base's own version is to run.
  bool JlinkBlockTransfer(TJlinkBlock kind, uint32_t* cells, int32_t index, int64_t address, int32_t count);

  // The halted core's state, read once per halt (PC, xPSR, byte order).
  void SaveState();
  // Whether the core is halted; saves the state when it is, forgets it when not.
  bool CheckHalted();
  // Up to HALT_CHECKS halt checks without a delay; true at the first halt seen.
  bool WaitHalted();

  // Served operations of the level.
  void PauseProcessor();
  void ContinueProcessor();
  void SingleStepProcessor();
  void ResetProcessor();
  void ResetTovikRegisters();
  // The status query: the only place that initialises the core.
  bool ProcessorIsPaused();
  bool ProcessorIsReset();
  uint32_t AddSoftBreakpoint(int32_t space, int64_t address);
  bool RemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced);

  // Writes the initial values; a repeated name (case-blind) writes its value
  // ORed with the value of the first entry of that name.
  void InitializeMemory();

  // The host set a new device: the engine's latched status check and caches go.
  void HostDeviceChanged() { FAdi.HostDeviceChanged(); }

  // State.
  bool Initialized() const { return FInitialized; }
  bool JlinkInitialized() const { return FJlinkInitialized; }
  bool FpEnabled() const { return FFpEnabled; }
  int32_t FpNumCode() const { return FFpNumCode; }
  int32_t FpNumLit() const { return FFpNumLit; }
  int32_t DwtNumComp() const { return FDwtNumComp; }
  bool TargetNotResponding() const { return FTargetNotResponding; }

private:
  // The binding when it holds the channel; null for the ADIv5 path.
  ICortexM3Jlink* ActiveJlink();
  ICortexM3Jlink* ActiveJlink(const IJTagChannel& channel);
  uint32_t ReadThrough(HRESULT (ICortexM3Jlink::*probe)(int64_t, uint32_t&), uint32_t (TADIv5Engine::*port)(uint32_t),
                       uint32_t address);
  void WriteThrough(HRESULT (ICortexM3Jlink::*probe)(int64_t, uint32_t), void (TADIv5Engine::*port)(uint32_t, uint32_t),
                    uint32_t address, uint32_t value);
  void Log(const WideString& text);

  TADIv5Engine& FAdi;
  ICortexM3Levels& FLevels;

  bool FInitialized = false;        // the core was identified and its debug units set up
  bool FJlinkInitialized = false;   // the J-Link binding was initialised for this driver
  bool FFpEnabled = false;          // FP_CTRL's enable bit as last read
  int32_t FFpNumCode = 0;           // flash patch code comparators
  int32_t FFpNumLit = 0;            // flash patch literal comparators
  int32_t FDwtNumComp = 0;          // data watchpoint comparators
  bool FTargetNotResponding = false;  // the power-up failed; cleared by a processor reset
  TFlashPatchRegistration FComparators;  // which comparators are with the debug manager
};

}  // namespace tvk
