// Stand-in for the J-Link probe library: a probe on the simulated chip's bus
// (the same chip the host's JTAG channel reaches). Memory goes over the bus;
// registers through DCRSR/DCRDR; halt, step and run through DHCSR; a reset
// through AIRCR with the reset vector caught; breakpoints in the flash patch
// unit's code comparators.
//
// The simulator's controls (HostSim_Jlink_*, see SimJlink.h) attach the chip,
// set the target's supply, the probes found and the breakpoint unit count
// claimed, make one entry point fault, and report every call made.
//
// Built twice: JLINKARM.dll with every entry point, and, with
// JLINK_STANDIN_LACKING, a library that lacks a few of them.
#include "SimJtagDp.h"
#include "driver/Tovik.JlinkLibrary.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <type_traits>

using namespace tvk::jlink;

namespace {

// Cortex-M3 debug registers the probe drives.
constexpr uint32_t DHCSR = 0xE000EDF0, DCRSR = 0xE000EDF4, DCRDR = 0xE000EDF8, DEMCR = 0xE000EDFC;
constexpr uint32_t AIRCR = 0xE000ED0C;
constexpr uint32_t FP_CTRL = 0xE0002000, FP_COMP0 = 0xE0002008;
constexpr uint32_t DBGKEY = 0xA05F0000, C_DEBUGEN = 1, C_HALT = 2, C_STEP = 4, C_MASKINTS = 8;
constexpr uint32_t S_REGRDY = 1u << 16, S_HALT = 1u << 17;
constexpr uint32_t DCRSR_REGWNR = 1u << 16;
constexpr uint32_t VC_CORERESET = 1;
constexpr uint32_t AIRCR_VECTRESET = 0x05FA0001;
constexpr uint32_t FP_KEY_ENABLE = 3;
constexpr uint32_t FP_COMP_ENABLE = 1, FP_COMP_ADDRESS = 0x1FFFFFFC;
constexpr uint32_t FP_REPLACE_LOWER = 1u << 30, FP_REPLACE_UPPER = 2u << 30;
constexpr uint32_t kCodeRegionEnd = 0x20000000;  // comparators match code addresses only
constexpr int kRegisterReadyPolls = 10;

// The probe's own register numbering: core registers by their DCRSR
// selector, then the fields of xPSR and of CONTROL/FAULTMASK/BASEPRI/PRIMASK.
constexpr uint32_t kRegXpsr = 16, kRegCfbp = 20;
struct FieldRegister {
  uint32_t Index;
  uint32_t Selector;  // the word the field lies in
  uint32_t Mask;
  uint32_t Shift;
};
constexpr FieldRegister kFieldRegisters[] = {
    {21, kRegXpsr, 0xF8000000, 0},  // APSR
    {22, kRegXpsr, 0x0700FC00, 0},  // EPSR
    {23, kRegXpsr, 0x000001FF, 0},  // IPSR
    {24, kRegCfbp, 0x000000FF, 0},  // PRIMASK
    {25, kRegCfbp, 0x0000FF00, 8},  // BASEPRI
    {26, kRegCfbp, 0x00FF0000, 16}, // FAULTMASK
    {27, kRegCfbp, 0xFF000000, 24}, // CONTROL
};
bool IsCoreRegister(uint32_t index) { return index <= 18 || index == kRegCfbp; }

struct Probe {
  hostsim::SimBusTarget* Bus = nullptr;  // the chip; null: no target attached
  uint32_t Idcode = 0;
  uint32_t IRLength = 4;
  std::string DeviceName;
  bool Open = false;
  uint32_t Speed = 0;
  int32_t ResetType = 0;
  uint16_t TargetMillivolts = 3300;
  int32_t ProbesFound = 1;
  bool UnitsClaimed = false;  // answer ClaimedUnits instead of the chip's comparator count
  int32_t ClaimedUnits = 0;
  std::array<uint32_t, 8> Comparators{};  // what each set breakpoint wrote; 0 when free
  std::string FaultIn;                    // the entry point that faults
  int32_t FaultKind = 0;                  // SimJlinkLibrary::TFault
  std::map<std::string, long> Calls;
  long TotalCalls = 0;
  std::string Log, LogCopy;
};
Probe gProbe;

int* volatile gNowhere = nullptr;

// An exception code of the library's own (customer bit set).
constexpr DWORD kLibraryException = 0xE04A4C4Bu;

struct LibraryError {
  int Code;
};

// The library's own C++ exception, thrown and caught inside the call.
__attribute__((noinline)) void ThrowAndCatch() {
  try {
    throw LibraryError{gProbe.TotalCalls > 0 ? 1 : 2};
  } catch (const LibraryError& error) {
    gProbe.Log += error.Code ? "caught\n" : "";
  }
}

void Fault() {
  switch (gProbe.FaultKind) {
    case 1: RaiseException(kLibraryException, 0, 0, nullptr); break;
    case 2: ThrowAndCatch(); break;
    default: *gNowhere = 1; break;
  }
}

void Note(std::string& line, const void* value) { line += value ? "buffer" : "null"; }
template <class T>
  requires std::is_integral_v<T>
void Note(std::string& line, T value) {
  char text[24];
  const auto bits = static_cast<std::make_unsigned_t<T>>(value);
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(bits));
  line += text;
}

// The start of every entry point: counted, logged, and the fault when asked for.
template <class... A>
void Enter(const char* name, A... args) {
  ++gProbe.Calls[name];
  ++gProbe.TotalCalls;
  std::string line = name;
  line += '(';
  [[maybe_unused]] const char* separator = "";
  ((line += separator, Note(line, args), separator = ", "), ...);
  line += ")\n";
  gProbe.Log += line;
  if (gProbe.FaultIn == name) Fault();
}

bool Ready() { return gProbe.Open && gProbe.Bus; }

bool ReadWord(uint32_t address, uint32_t& word) { return Ready() && gProbe.Bus->DapRead(address & ~3u, 4, word); }
bool WriteWord(uint32_t address, uint32_t word) { return Ready() && gProbe.Bus->DapWrite(address & ~3u, 4, word); }

bool ReadByte(uint32_t address, uint8_t& value) {
  uint32_t word = 0;
  value = 0;
  if (!ReadWord(address, word)) return false;
  value = uint8_t(word >> (8 * (address & 3)));
  return true;
}

bool WriteByte(uint32_t address, uint8_t value) {
  return Ready() && gProbe.Bus->DapWrite(address, 1, uint32_t(value) << (8 * (address & 3)));
}

template <class T>
bool ReadItem(uint32_t address, T& value) {
  value = 0;
  for (unsigned k = 0; k < sizeof(T); ++k) {
    uint8_t byte = 0;
    if (!ReadByte(address + k, byte)) return false;
    value = T(value | T(T(byte) << (8 * k)));
  }
  return true;
}

// Items of T from Address on, a status byte each (0: read); the count read,
// or -1 when one failed.
template <class T>
int32_t ReadItems(uint32_t address, uint32_t items, T* data, uint8_t* status) {
  int32_t read = 0;
  for (uint32_t k = 0; k < items; ++k) {
    const bool ok = ReadItem(address + uint32_t(sizeof(T)) * k, data[k]);
    if (status) status[k] = ok ? 0 : 1;
    read += ok;
  }
  return read == int32_t(items) ? read : -1;
}

template <class T>
bool WriteItem(uint32_t address, T value) {
  if (sizeof(T) > 1 && address % sizeof(T) == 0 && Ready())
    return gProbe.Bus->DapWrite(address, sizeof(T), uint32_t(value) << (8 * (address & 3)));
  for (unsigned k = 0; k < sizeof(T); ++k)
    if (!WriteByte(address + k, uint8_t(value >> (8 * k)))) return false;
  return true;
}

bool WaitRegisterReady() {
  for (int poll = 0; poll < kRegisterReadyPolls; ++poll) {
    uint32_t dhcsr = 0;
    if (!ReadWord(DHCSR, dhcsr)) return false;
    if (dhcsr & S_REGRDY) return true;
  }
  return false;
}

uint32_t ReadCoreRegister(uint32_t selector) {
  uint32_t value = 0;
  if (WriteWord(DCRSR, selector) && WaitRegisterReady() && ReadWord(DCRDR, value)) return value;
  return 0;
}

bool WriteCoreRegister(uint32_t selector, uint32_t value) {
  return WriteWord(DCRDR, value) && WriteWord(DCRSR, selector | DCRSR_REGWNR) && WaitRegisterReady();
}

const FieldRegister* FindField(uint32_t index) {
  for (const FieldRegister& field : kFieldRegisters)
    if (field.Index == index) return &field;
  return nullptr;
}

bool Halted() {
  uint32_t dhcsr = 0;
  return ReadWord(DHCSR, dhcsr) && (dhcsr & S_HALT) != 0;
}

int32_t CodeComparatorCount() {
  uint32_t ctrl = 0;
  return ReadWord(FP_CTRL, ctrl) ? int32_t(((ctrl >> 8) & 0x70) | ((ctrl >> 4) & 0xF)) : 0;
}

// Handles are comparator numbers plus one: 0 stays "not set".
[[maybe_unused]] int32_t SetComparator(uint32_t address) {
  if (address >= kCodeRegionEnd) return 0;
  const int32_t count = std::min<int32_t>(CodeComparatorCount(), int32_t(gProbe.Comparators.size()));
  for (int32_t n = 0; n < count; ++n) {
    if (gProbe.Comparators[std::size_t(n)] != 0) continue;
    const uint32_t value = (address & FP_COMP_ADDRESS) | ((address & 2) ? FP_REPLACE_UPPER : FP_REPLACE_LOWER) |
                           FP_COMP_ENABLE;
    if (!WriteWord(FP_CTRL, FP_KEY_ENABLE) || !WriteWord(FP_COMP0 + 4 * uint32_t(n), value)) return 0;
    gProbe.Comparators[std::size_t(n)] = value;
    return n + 1;
  }
  return 0;
}

int32_t ClearComparator(int32_t handle) {
  if (handle <= 0 || handle > int32_t(gProbe.Comparators.size()) || gProbe.Comparators[std::size_t(handle - 1)] == 0)
    return -1;
  if (!WriteWord(FP_COMP0 + 4 * uint32_t(handle - 1), 0)) return -1;
  gProbe.Comparators[std::size_t(handle - 1)] = 0;
  return 0;
}

}  // namespace

// ---- The library's entry points

#define STANDIN_EXPORT(Index, Name, Result, Params) extern "C" __declspec(dllexport) Result TVK_JLINK_CALL Name Params;
TVK_JLINK_ENTRY_POINTS(STANDIN_EXPORT)
#undef STANDIN_EXPORT

extern "C" {

const char* TVK_JLINK_CALL JLINKARM_Open() {
  Enter("JLINKARM_Open");
  gProbe.Open = true;
  return nullptr;
}

void TVK_JLINK_CALL JLINKARM_Close() {
  Enter("JLINKARM_Close");
  gProbe.Open = false;
}

void TVK_JLINK_CALL JLINKARM_GetIdData(TJlinkIdData* data) {
  Enter("JLINKARM_GetIdData", static_cast<const void*>(data));
  if (!data) return;
  std::memset(data, 0, sizeof *data);
  if (!Ready()) return;
  data->DeviceCount = 1;
  data->Private[0] = gProbe.Idcode;
}

int32_t TVK_JLINK_CALL JLINKARM_SetInitRegsOnReset(int32_t on) {
  Enter("JLINKARM_SetInitRegsOnReset", on);
  return 0;
}

void TVK_JLINK_CALL JLINKARM_SetMaxSpeed() { Enter("JLINKARM_SetMaxSpeed"); }

void TVK_JLINK_CALL JLINKARM_SetSpeed(uint32_t speed) {
  Enter("JLINKARM_SetSpeed", speed);
  gProbe.Speed = speed;
}

#ifndef JLINK_STANDIN_LACKING
int32_t TVK_JLINK_CALL JLINKARM_GetHWStatus(TJlinkHWStatus* status) {
  Enter("JLINKARM_GetHWStatus", static_cast<const void*>(status));
  if (!status) return -1;
  std::memset(status, 0, sizeof *status);
  status->TargetMillivolts = gProbe.Bus ? gProbe.TargetMillivolts : 0;
  return 0;
}
#endif

uint32_t TVK_JLINK_CALL JLINKARM_GetId() {
  Enter("JLINKARM_GetId");
  return Ready() ? gProbe.Idcode : 0;
}

uint32_t TVK_JLINK_CALL JLINKARM_JTAG_GetDeviceId(uint32_t position) {
  Enter("JLINKARM_JTAG_GetDeviceId", position);
  return Ready() && position == 0 ? gProbe.Idcode : 0;
}

int32_t TVK_JLINK_CALL JLINKARM_JTAG_GetDeviceInfo(uint32_t position, TJlinkJtagDeviceInfo* info) {
  Enter("JLINKARM_JTAG_GetDeviceInfo", position, static_cast<const void*>(info));
  if (!info || !Ready() || position != 0) return -1;
  info->Name = gProbe.DeviceName.c_str();
  info->IRLen = gProbe.IRLength;
  return 0;
}

// Raw JTAG: nothing in the simulation shifts through them.
void TVK_JLINK_CALL JLINKARM_JTAG_GetData(uint32_t a, uint32_t b, uint32_t c) {
  Enter("JLINKARM_JTAG_GetData", a, b, c);
}
uint8_t TVK_JLINK_CALL JLINKARM_JTAG_GetU8(uint32_t bit) {
  Enter("JLINKARM_JTAG_GetU8", bit);
  return 0;
}
uint16_t TVK_JLINK_CALL JLINKARM_JTAG_GetU16(uint32_t bit) {
  Enter("JLINKARM_JTAG_GetU16", bit);
  return 0;
}
uint32_t TVK_JLINK_CALL JLINKARM_JTAG_GetU32(uint32_t bit) {
  Enter("JLINKARM_JTAG_GetU32", bit);
  return 0;
}
void TVK_JLINK_CALL JLINKARM_JTAG_StoreGetData(uint32_t a, uint32_t b, uint32_t c) {
  Enter("JLINKARM_JTAG_StoreGetData", a, b, c);
}
void TVK_JLINK_CALL JLINKARM_JTAG_StoreGetRaw(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  Enter("JLINKARM_JTAG_StoreGetRaw", a, b, c, d);
}
int32_t TVK_JLINK_CALL JLINKARM_JTAG_StoreInst(uint32_t a, uint32_t b) {
  Enter("JLINKARM_JTAG_StoreInst", a, b);
  return 0;
}
int32_t TVK_JLINK_CALL JLINKARM_JTAG_StoreData(uint32_t a, uint32_t b) {
  Enter("JLINKARM_JTAG_StoreData", a, b);
  return 0;
}
int32_t TVK_JLINK_CALL JLINKARM_JTAG_StoreRaw(uint32_t a, uint32_t b, uint32_t c) {
  Enter("JLINKARM_JTAG_StoreRaw", a, b, c);
  return 0;
}
void TVK_JLINK_CALL JLINKARM_JTAG_SyncBits() { Enter("JLINKARM_JTAG_SyncBits"); }
void TVK_JLINK_CALL JLINKARM_JTAG_SyncBytes() { Enter("JLINKARM_JTAG_SyncBytes"); }
int32_t TVK_JLINK_CALL JLINKARM_JTAG_WriteData(uint32_t a, uint32_t b, uint32_t c) {
  Enter("JLINKARM_JTAG_WriteData", a, b, c);
  return 0;
}

void TVK_JLINK_CALL JLINKARM_Go() {
  Enter("JLINKARM_Go");
  WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
}

void TVK_JLINK_CALL JLINKARM_GoEx(uint32_t maxEmulatedInstructions, uint32_t flags) {
  Enter("JLINKARM_GoEx", maxEmulatedInstructions, flags);
  WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
}

uint8_t TVK_JLINK_CALL JLINKARM_Halt() {
  Enter("JLINKARM_Halt");
  return WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_HALT) && Halted() ? 0 : 1;
}

uint8_t TVK_JLINK_CALL JLINKARM_IsConnected() {
  Enter("JLINKARM_IsConnected");
  return Ready() ? 1 : 0;
}

uint8_t TVK_JLINK_CALL JLINKARM_IsHalted() {
  Enter("JLINKARM_IsHalted");
  return Halted() ? 1 : 0;
}

uint8_t TVK_JLINK_CALL JLINKARM_IsOpen() {
  Enter("JLINKARM_IsOpen");
  return gProbe.Open ? 1 : 0;
}

// A reset that stops the core at its reset vector.
void TVK_JLINK_CALL JLINKARM_Reset() {
  Enter("JLINKARM_Reset");
  uint32_t demcr = 0;
  if (!ReadWord(DEMCR, demcr)) return;
  WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
  WriteWord(DEMCR, demcr | VC_CORERESET);
  WriteWord(AIRCR, AIRCR_VECTRESET);
  WriteWord(DEMCR, demcr);
}

void TVK_JLINK_CALL JLINKARM_ResetNoHalt() {
  Enter("JLINKARM_ResetNoHalt");
  WriteWord(AIRCR, AIRCR_VECTRESET);
}

void TVK_JLINK_CALL JLINKARM_ResetPullsRESET(uint32_t on) { Enter("JLINKARM_ResetPullsRESET", on); }
void TVK_JLINK_CALL JLINKARM_ResetPullsTRST(uint32_t on) { Enter("JLINKARM_ResetPullsTRST", on); }
void TVK_JLINK_CALL JLINKARM_ResetTRST() { Enter("JLINKARM_ResetTRST"); }

void TVK_JLINK_CALL JLINKARM_SetResetType(int32_t type) {
  Enter("JLINKARM_SetResetType", type);
  gProbe.ResetType = type;
}

uint8_t TVK_JLINK_CALL JLINKARM_Step() {
  Enter("JLINKARM_Step");
  if (!Halted()) return 1;
  return WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_STEP | C_MASKINTS) && Halted() ? 0 : 1;
}

int32_t TVK_JLINK_CALL JLINKARM_ReadMem(uint32_t address, uint32_t count, void* data) {
  Enter("JLINKARM_ReadMem", address, count, static_cast<const void*>(data));
  auto* bytes = static_cast<uint8_t*>(data);
  bool ok = bytes != nullptr;
  for (uint32_t k = 0; ok && k < count; ++k) ok = ReadByte(address + k, bytes[k]);
  return ok ? 0 : -1;
}

int32_t TVK_JLINK_CALL JLINKARM_ReadMemU8(uint32_t address, uint32_t items, uint8_t* data, uint8_t* status) {
  Enter("JLINKARM_ReadMemU8", address, items, static_cast<const void*>(data), static_cast<const void*>(status));
  return ReadItems(address, items, data, status);
}

#ifndef JLINK_STANDIN_LACKING
int32_t TVK_JLINK_CALL JLINKARM_ReadMemU16(uint32_t address, uint32_t items, uint16_t* data, uint8_t* status) {
  Enter("JLINKARM_ReadMemU16", address, items, static_cast<const void*>(data), static_cast<const void*>(status));
  return ReadItems(address, items, data, status);
}
#endif

int32_t TVK_JLINK_CALL JLINKARM_ReadMemU32(uint32_t address, uint32_t items, uint32_t* data, uint8_t* status) {
  Enter("JLINKARM_ReadMemU32", address, items, static_cast<const void*>(data), static_cast<const void*>(status));
  return ReadItems(address, items, data, status);
}

int32_t TVK_JLINK_CALL JLINKARM_ReadMemU64(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  Enter("JLINKARM_ReadMemU64", a, b, c, d);
  return -1;
}

int32_t TVK_JLINK_CALL JLINKARM_WriteMem(uint32_t address, uint32_t count, const void* data) {
  Enter("JLINKARM_WriteMem", address, count, data);
  const auto* bytes = static_cast<const uint8_t*>(data);
  bool ok = bytes != nullptr;
  for (uint32_t k = 0; ok && k < count; ++k) ok = WriteByte(address + k, bytes[k]);
  return ok ? 0 : -1;
}

int32_t TVK_JLINK_CALL JLINKARM_WriteU8(uint32_t address, uint8_t value) {
  Enter("JLINKARM_WriteU8", address, value);
  return WriteItem(address, value) ? 0 : -1;
}

#ifndef JLINK_STANDIN_LACKING
int32_t TVK_JLINK_CALL JLINKARM_WriteU16(uint32_t address, uint16_t value) {
  Enter("JLINKARM_WriteU16", address, value);
  return WriteItem(address, value) ? 0 : -1;
}
#endif

int32_t TVK_JLINK_CALL JLINKARM_WriteU32(uint32_t address, uint32_t value) {
  Enter("JLINKARM_WriteU32", address, value);
  return WriteItem(address, value) ? 0 : -1;
}

int32_t TVK_JLINK_CALL JLINKARM_WriteU64(uint32_t a, uint32_t b, uint32_t c) {
  Enter("JLINKARM_WriteU64", a, b, c);
  return -1;
}

uint32_t TVK_JLINK_CALL JLINKARM_ReadReg(uint32_t index) {
  Enter("JLINKARM_ReadReg", index);
  if (IsCoreRegister(index)) return ReadCoreRegister(index);
  if (const FieldRegister* field = FindField(index))
    return (ReadCoreRegister(field->Selector) & field->Mask) >> field->Shift;
  return 0;
}

uint8_t TVK_JLINK_CALL JLINKARM_WriteReg(uint32_t index, uint32_t value) {
  Enter("JLINKARM_WriteReg", index, value);
  if (IsCoreRegister(index)) return WriteCoreRegister(index, value) ? 0 : 1;
  if (const FieldRegister* field = FindField(index)) {
    const uint32_t word = ReadCoreRegister(field->Selector);
    return WriteCoreRegister(field->Selector, (word & ~field->Mask) | ((value << field->Shift) & field->Mask)) ? 0 : 1;
  }
  return 1;
}

int32_t TVK_JLINK_CALL JLINKARM_GetNumBPUnits(uint32_t type) {
  Enter("JLINKARM_GetNumBPUnits", type);
  return gProbe.UnitsClaimed ? gProbe.ClaimedUnits : CodeComparatorCount();
}

int32_t TVK_JLINK_CALL JLINKARM_GetNumWPUnits() {
  Enter("JLINKARM_GetNumWPUnits");
  return 0;
}

int32_t TVK_JLINK_CALL JLINKARM_ClrBP(uint32_t index) {
  Enter("JLINKARM_ClrBP", index);
  return ClearComparator(int32_t(index) + 1);
}

#ifndef JLINK_STANDIN_LACKING
int32_t TVK_JLINK_CALL JLINKARM_ClrBPEx(int32_t handle) {
  Enter("JLINKARM_ClrBPEx", handle);
  return ClearComparator(handle);
}
#endif

int32_t TVK_JLINK_CALL JLINKARM_SetBP(uint32_t index, uint32_t address) {
  Enter("JLINKARM_SetBP", index, address);
  return -1;
}

#ifndef JLINK_STANDIN_LACKING
int32_t TVK_JLINK_CALL JLINKARM_SetBPEx(uint32_t address, uint32_t mode) {
  Enter("JLINKARM_SetBPEx", address, mode);
  return SetComparator(address);
}
#endif

int32_t TVK_JLINK_CALL JLINKARM_TIF_Select(int32_t selected) {
  Enter("JLINKARM_TIF_Select", selected);
  return 0;
}

uint32_t TVK_JLINK_CALL JLINKARM_CORE_GetFound() {
  Enter("JLINKARM_CORE_GetFound");
  return Ready() ? kCoreCortexM3 : 0;
}

int32_t TVK_JLINK_CALL JLINKARM_EMU_GetNumDevices() {
  Enter("JLINKARM_EMU_GetNumDevices");
  return gProbe.ProbesFound;
}

int32_t TVK_JLINK_CALL JLINKARM_EMU_GetList(int32_t hostInterfaces, TJlinkEmuInfo* infos, int32_t maxInfos) {
  Enter("JLINKARM_EMU_GetList", hostInterfaces, static_cast<const void*>(infos), maxInfos);
  for (int32_t k = 0; infos && k < maxInfos && k < gProbe.ProbesFound; ++k) {
    std::memset(&infos[k], 0, sizeof infos[k]);
    infos[k].SerialNumber = 0x5A000000u + uint32_t(k);
    infos[k].Connection = uint32_t(hostInterfaces);
  }
  return gProbe.ProbesFound;
}

// ---- Simulator controls

__declspec(dllexport) void HostSim_Jlink_Connect(hostsim::SimBusTarget* bus, uint32_t idcode, const char* deviceName,
                                                 uint32_t irLength) {
  gProbe.Bus = bus;
  gProbe.Idcode = idcode;
  gProbe.DeviceName = deviceName ? deviceName : "";
  gProbe.IRLength = irLength;
  gProbe.Comparators.fill(0);
}

__declspec(dllexport) void HostSim_Jlink_SetTargetMillivolts(uint32_t millivolts) {
  gProbe.TargetMillivolts = uint16_t(millivolts);
}

__declspec(dllexport) void HostSim_Jlink_SetProbesFound(int32_t count) { gProbe.ProbesFound = count; }

// Claim Count breakpoint units instead of the chip's comparators (Claim false: the chip's again).
__declspec(dllexport) void HostSim_Jlink_ClaimBreakpointUnits(int32_t claim, int32_t count) {
  gProbe.UnitsClaimed = claim != 0;
  gProbe.ClaimedUnits = count;
}

// Name's next calls fault inside the library in the way Kind says (null: none does).
__declspec(dllexport) void HostSim_Jlink_FaultIn(const char* name, int32_t kind) {
  gProbe.FaultIn = name ? name : "";
  gProbe.FaultKind = kind;
}

__declspec(dllexport) int32_t HostSim_Jlink_IsOpen() { return gProbe.Open; }

// Calls of Name since the last reset; null: of every entry point.
__declspec(dllexport) long HostSim_Jlink_Calls(const char* name) {
  if (!name) return gProbe.TotalCalls;
  const auto found = gProbe.Calls.find(name);
  return found == gProbe.Calls.end() ? 0 : found->second;
}

// The calls since the last take, one "Name(arguments)" line each; the text
// stays valid until the next take.
__declspec(dllexport) const char* HostSim_Jlink_TakeLog() {
  gProbe.LogCopy = std::move(gProbe.Log);
  gProbe.Log.clear();
  return gProbe.LogCopy.c_str();
}

// Counts, log, the fault and every setting forgotten (the probe stays as it is).
__declspec(dllexport) void HostSim_Jlink_Reset() {
  gProbe.Calls.clear();
  gProbe.TotalCalls = 0;
  gProbe.Log.clear();
  gProbe.FaultIn.clear();
  gProbe.FaultKind = 0;
  gProbe.UnitsClaimed = false;
  gProbe.ProbesFound = 1;
  gProbe.TargetMillivolts = 3300;
}

}  // extern "C"
