#include "Tovik.ARM.Jlink.h"

#include "Extension.Util.h"
#include "ZUL.HostModules.h"
#include "ZUL.Util.h"

#include <algorithm>
#include <iterator>
#include <span>

namespace tvk {

using jlink::kBreakpointHardware;

// ---- TJlink

TJlink::TJlink(TForeignLibrary library) : FJlinkHandle(std::move(library)) { ImportJlinkFunctions(); }

// The entry points go before the handle: a library loaded here is freed last.
TJlink::~TJlink() = default;

std::shared_ptr<TJlink> TJlink::CreateJlinkDriver(HMODULE handle) {
  return std::shared_ptr<TJlink>(new TJlink(TForeignLibrary::Borrow(handle)));
}

std::shared_ptr<TJlink> TJlink::OpenJlinkDriver() {
  TForeignLibrary library = TForeignLibrary::Load(GetSystemFolder() + WideString(kJlinkLibraryName));
  if (!library) return nullptr;
  return std::shared_ptr<TJlink>(new TJlink(std::move(library)));
}

void TJlink::Rebind(HMODULE handle) {
  // The entry points go first: none may outlive a library freed here.
  FFunctionList.clear();
  FJlinkHandle = TForeignLibrary::Borrow(handle);
  ImportJlinkFunctions();
}

void TJlink::ImportJlinkFunctions() {
  FFunctionList.clear();
  for (const char* name : jlink::kEntryPointNames) FFunctionList.push_back({name, nullptr});
  try {
    for (TJlinkFunction& function : FFunctionList) function.Func = FJlinkHandle.Export(function.Name);
  } catch (...) {
    // The binding ends at the entry point that failed; the rest stay unbound.
  }
}

bool TJlink::Initialize() {
  try {
    if (FInitialized) {
      jlink::TJlinkHWStatus status{};
      int32_t answer = 0;
      if (JLINKARM_GetHWStatus(&status, answer) == kJlinkCallDone)
        FInitialized = status.TargetMillivolts > kJlinkMinTargetMillivolts;
      return FInitialized;
    }
    jlink::TJlinkEmuInfo probe{};
    int32_t probes = 0;
    uint8_t open = 0;
    if (JLINKARM_EMU_GetList(jlink::kHostInterfaceUsb, &probe, int32_t(1), probes) != kJlinkCallDone ||
        JLINKARM_IsOpen(open) != kJlinkCallDone)
      return false;
    if (open) JLINKARM_Close();
    int32_t initRegs = 0;
    if (probes <= 0 || JLINKARM_SetInitRegsOnReset(int32_t(1), initRegs) != kJlinkCallDone) return false;
    const char* openError = nullptr;
    if (JLINKARM_Open(openError) != kJlinkCallDone) return false;
    jlink::TJlinkHWStatus status{};
    int32_t answer = 0;
    JLINKARM_GetHWStatus(&status, answer);
    FInitialized = status.TargetMillivolts > kJlinkMinTargetMillivolts;
    if (JLINKARM_SetSpeed(uint32_t(0)) != kJlinkCallDone || !FInitialized) {
      // A closed connection is no initialised probe.
      JLINKARM_Close();
      FInitialized = false;
    }
    return FInitialized;
  } catch (...) {
    return false;
  }
}

uint32_t TJlink::CreateDeviceInfoList() {
  FDeviceInfoList.clear();
  FDeviceCount = 0;
  try {
    if (!Initialize()) return kJlinkCallMissing;
    uint32_t id = 0;
    if (const uint32_t status = JLINKARM_GetId(id); status != kJlinkCallDone) return status;
    jlink::TJlinkIdData data{};
    if (const uint32_t status = JLINKARM_GetIdData(&data); status != kJlinkCallDone) return status;
    for (uint32_t position = 0; position < data.DeviceCount; ++position) {
      uint32_t deviceId = 0;
      JLINKARM_JTAG_GetDeviceId(position, deviceId);
      if (deviceId == 0) continue;
      jlink::TJlinkJtagDeviceInfo info{};
      int32_t found = -1;
      JLINKARM_JTAG_GetDeviceInfo(position, &info, found);
      if (found >= 0) FDeviceInfoList.push_back({info.Name, info.IRLen, 0, deviceId});
    }
    if (data.DeviceCount == 0 || FDeviceInfoList.empty()) {
      // No JTAG chain to scan: ask for the core over the serial wire.
      int32_t selected = 0;
      uint32_t core = 0;
      if (JLINKARM_TIF_Select(jlink::kInterfaceSwd, selected) == kJlinkCallDone &&
          JLINKARM_CORE_GetFound(core) == kJlinkCallDone &&
          (core == jlink::kCoreCortexM0 || core == jlink::kCoreCortexM3)) {
        const uint32_t idcode = core == jlink::kCoreCortexM0 ? jlink::kIdcodeCortexM0 : jlink::kIdcodeCortexM3;
        FDeviceInfoList.push_back({nullptr, 0, 0, idcode});
        JLINKARM_SetSpeed(uint32_t(0));
      } else {
        FInitialized = false;
      }
    }
    FDeviceCount = int32_t(FDeviceInfoList.size());
    return kJlinkCallDone;
  } catch (...) {
    FDeviceInfoList.clear();
    FDeviceCount = 0;
    return kJlinkCallRaised;
  }
}

TJlinkDeviceInfo TJlink::GetDeviceInfo(int32_t index) const {
  return index >= 0 && index < int32_t(FDeviceInfoList.size()) ? FDeviceInfoList[std::size_t(index)]
                                                                : TJlinkDeviceInfo{};
}

void TJlink::Close() {
  JLINKARM_Close();
  FInitialized = false;
}

HRESULT TJlink::GetJlinkHandle(uint32_t& Result) {
  Result = ModuleHandleToHost(FJlinkHandle.Get());
  return S_OK;
}

// ---- Register maps and breakpoint keys

namespace {

struct TRegisterIndex {
  int32_t Number;
  int32_t ProbeIndex;
};

// Driver register number -> probe register index; numbers not listed pass unchanged.
constexpr TRegisterIndex kV7MRegisterMap[] = {
    {17, 21}, {18, 22}, {19, 23}, {20, 20}, {21, 27}, {22, 26}, {23, 25}, {24, 24}, {25, 17}, {26, 18},
};

// The banked numbering of the ARM levels.
constexpr TRegisterIndex kARMRegisterMap[] = {
    {8, 10},  {20, 10}, {9, 11},  {21, 11}, {10, 12}, {22, 12}, {11, 13}, {23, 13}, {12, 14}, {24, 14},
    {13, 15}, {25, 15}, {14, 16}, {26, 16}, {15, 9},  {19, 9},  {16, 8},  {17, 25}, {29, 25}, {27, 26},
    {28, 27}, {30, 29}, {31, 30}, {32, 28}, {33, 35}, {34, 36}, {35, 34}, {36, 32}, {37, 33}, {38, 31},
    {39, 18}, {40, 19}, {41, 20}, {42, 21}, {43, 22}, {44, 23}, {45, 24}, {46, 17},
};

}  // namespace

int32_t JlinkRegisterIndex(TJlinkRegisterMap map, int32_t number) {
  const auto rows = map == TJlinkRegisterMap::V7M ? std::span<const TRegisterIndex>(kV7MRegisterMap)
                                                  : std::span<const TRegisterIndex>(kARMRegisterMap);
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const TRegisterIndex& r) { return r.Number == number; });
  return row != rows.end() ? row->ProbeIndex : number;
}

WideString JlinkBreakpointKey(int64_t address) { return FormatHex0x(address, 8); }

// ---- TARMJlink

TARMJlink::TARMJlink() = default;
TARMJlink::~TARMJlink() = default;

template <class F>
HRESULT TARMJlink::OnBinding(F&& body) {
  return Guard([&] {
    if (FJlink) body(*FJlink);
  });
}

HRESULT TARMJlink::ARM_IsOpen(const IJTagChannel& channel, bool& isOpen) {
  isOpen = false;
  return Guard([&] {
    const int32_t ports = GetHostJTagPortCount();
    for (int32_t index = 0; index < ports; ++index) {
      const IJtagPort port = GetHostJTagPort(index);
      ComRef<IUnknown> service;
      if (!GetSupportedService(port.ToPointer(), WideString(kJlinkPortService), service)) continue;
      const IJlinkPort jlinkPort = IJlinkPort::FromInterface(service.Get());
      // The first J-Link port of another chain ends the search.
      if (channel && jlinkPort.GetJTagChannel().ToPointer() != channel.ToPointer()) break;
      if (const IJlinkDriver driver = jlinkPort.GetJlinkDriver()) {
        const HMODULE handle = ModuleHandleFromHost(driver.GetJlinkHandle());
        if (!FJlink) FJlink = TJlink::CreateJlinkDriver(handle);
        else if (FJlink->Handle() != handle) FJlink->Rebind(handle);
      }
      isOpen = FJlink != nullptr;
    }
  });
}

HRESULT TARMJlink::ARM_Initialize(const IDeviceDebugManager& manager, bool& initialized) {
  initialized = false;
  return Guard([&] {
    if (!FInitialized) {
      int32_t units = 0;
      if (manager.GetHardBreakpointCount() == 0 && FJlink &&
          FJlink->JLINKARM_GetNumBPUnits(kBreakpointHardware, units) == kJlinkCallDone) {
        manager.SetSoftbreakpointsRequireHardware(false);
        for (int32_t unit = 0, count = std::clamp(units, 0, kJlinkMaxBreakpointUnits); unit < count; ++unit)
          manager.AddHardBreakPoint(IHardBreakpoint(New<TARMJlinkHardBreakpoint>(FJlink)));
      }
      FInitialized = true;
    }
    initialized = true;
  });
}

HRESULT TARMJlink::ARM_Open() {
  return Guard([&] {
    FJlink = TJlink::OpenJlinkDriver();
    if (FJlink) FJlink->Initialize();
  });
}

HRESULT TARMJlink::ARM_Close() {
  return Guard([&] {
    if (FJlink) FJlink->Close();
    FJlink.reset();
  });
}

HRESULT TARMJlink::ARM_SaveSate() { return S_OK; }

HRESULT TARMJlink::ARM_SingleStep() {
  return OnBinding([](TJlink& jlink) {
    uint8_t answer = 0;
    jlink.JLINKARM_Step(answer);
  });
}

HRESULT TARMJlink::ARM_Reset() {
  return OnBinding([](TJlink& jlink) {
    jlink.JLINKARM_ResetPullsRESET(uint32_t(1));
    jlink.JLINKARM_Reset();
  });
}

HRESULT TARMJlink::ARM_SetResetType(int32_t type) {
  return OnBinding([&](TJlink& jlink) { jlink.JLINKARM_SetResetType(type); });
}

HRESULT TARMJlink::ARM_ResetRegisters() {
  return Guard([&] {
    uint32_t reset = 0, stack = 0;
    CheckResult(ARM_ReadWord(cortexm3::VECTOR_RESET, reset));
    CheckResult(ARM_WriteRegister(cortexm3::REG_PC, reset & ~1u));
    CheckResult(ARM_ReadWord(cortexm3::VECTOR_INITIAL_SP, stack));
    CheckResult(ARM_WriteRegister(cortexm3::REG_SP, stack & ~3u));
  });
}

HRESULT TARMJlink::ARM_Halt() {
  return OnBinding([](TJlink& jlink) {
    uint8_t answer = 0;
    jlink.JLINKARM_Halt(answer);
  });
}

HRESULT TARMJlink::ARM_Continue() {
  return OnBinding([](TJlink& jlink) { jlink.JLINKARM_GoEx(jlink::kGoMaxEmulatedInstructions, jlink::kGoFlags); });
}

HRESULT TARMJlink::ARM_IsHalted(bool& halted) {
  halted = false;
  return OnBinding([&](TJlink& jlink) {
    uint8_t answer = 0;
    jlink.JLINKARM_IsHalted(answer);
    halted = answer != 0;
  });
}

HRESULT TARMJlink::ARM_ReadRegister(int32_t number, uint32_t& value) {
  return ARM_ReadRegister(TJlinkRegisterMap::V7M, number, value);
}

HRESULT TARMJlink::ARM_WriteRegister(int32_t number, uint32_t value) {
  return ARM_WriteRegister(TJlinkRegisterMap::V7M, number, value);
}

HRESULT TARMJlink::ARM_ReadRegister(TJlinkRegisterMap map, int32_t number, uint32_t& value) {
  value = 0;
  return OnBinding(
      [&](TJlink& jlink) { jlink.JLINKARM_ReadReg(uint32_t(JlinkRegisterIndex(map, number)), value); });
}

HRESULT TARMJlink::ARM_WriteRegister(TJlinkRegisterMap map, int32_t number, uint32_t value) {
  return OnBinding([&](TJlink& jlink) {
    uint8_t answer = 0;
    jlink.JLINKARM_WriteReg(uint32_t(JlinkRegisterIndex(map, number)), value, answer);
  });
}

namespace {

// One item at Address through a ReadMemU8/U16/U32 entry point; 0 unless the
// call took place.
template <class T, class Read>
uint32_t ReadItem(Read read, int64_t address) {
  T data = 0;
  uint8_t status = 0;
  int32_t answer = 0;
  if (read(uint32_t(address), uint32_t(1), &data, &status, answer) != kJlinkCallDone) data = 0;
  return data;
}

}  // namespace

HRESULT TARMJlink::ARM_ReadByte(int64_t address, uint32_t& value) {
  value = 0;
  return OnBinding([&](TJlink& jlink) {
    value = ReadItem<uint8_t>([&](auto&&... a) { return jlink.JLINKARM_ReadMemU8(a...); }, address);
  });
}

HRESULT TARMJlink::ARM_ReadHalfWord(int64_t address, uint32_t& value) {
  value = 0;
  return OnBinding([&](TJlink& jlink) {
    value = ReadItem<uint16_t>([&](auto&&... a) { return jlink.JLINKARM_ReadMemU16(a...); }, address);
  });
}

HRESULT TARMJlink::ARM_ReadWord(int64_t address, uint32_t& value) {
  value = 0;
  return OnBinding([&](TJlink& jlink) {
    value = ReadItem<uint32_t>([&](auto&&... a) { return jlink.JLINKARM_ReadMemU32(a...); }, address);
  });
}

HRESULT TARMJlink::ARM_WriteByte(int64_t address, uint32_t value) {
  return OnBinding([&](TJlink& jlink) {
    int32_t answer = 0;
    jlink.JLINKARM_WriteU8(uint32_t(address), uint8_t(value), answer);
  });
}

HRESULT TARMJlink::ARM_WriteHalfWord(int64_t address, uint32_t value) {
  return OnBinding([&](TJlink& jlink) {
    int32_t answer = 0;
    jlink.JLINKARM_WriteU16(uint32_t(address), uint16_t(value), answer);
  });
}

HRESULT TARMJlink::ARM_WriteWord(int64_t address, uint32_t value) {
  return OnBinding([&](TJlink& jlink) {
    int32_t answer = 0;
    jlink.JLINKARM_WriteU32(uint32_t(address), value, answer);
  });
}

// A block is one library call on a buffer of exactly Count bytes.
HRESULT TARMJlink::ARM_ReadBytes(uint32_t* cells, int32_t index, int64_t address, int32_t count) {
  return OnBinding([&](TJlink& jlink) {
    if (count <= 0) return;
    std::vector<uint8_t> buffer(std::size_t(count), 0);
    int32_t answer = 0;
    if (jlink.JLINKARM_ReadMem(uint32_t(address), uint32_t(count), buffer.data(), answer) != kJlinkCallDone)
      std::fill(buffer.begin(), buffer.end(), uint8_t(0));
    std::copy(buffer.begin(), buffer.end(), cells + index);
  });
}

HRESULT TARMJlink::ARM_ReadWords(uint32_t* cells, int32_t index, int64_t address, int32_t count) {
  return ARM_ReadBytes(cells, index, address, count);
}

HRESULT TARMJlink::ARM_WriteBytes(uint32_t* cells, int32_t index, int64_t address, int32_t count) {
  return OnBinding([&](TJlink& jlink) {
    if (count <= 0) return;
    std::vector<uint8_t> buffer(static_cast<std::size_t>(count));
    std::transform(cells + index, cells + index + count, buffer.begin(), [](uint32_t cell) { return uint8_t(cell); });
    int32_t answer = 0;
    jlink.JLINKARM_WriteMem(uint32_t(address), uint32_t(count), static_cast<const void*>(buffer.data()), answer);
  });
}

HRESULT TARMJlink::ARM_WriteWords(uint32_t* cells, int32_t index, int64_t address, int32_t count) {
  return ARM_WriteBytes(cells, index, address, count);
}

HRESULT TARMJlink::ARM_AddBreakpoint(int64_t address, uint32_t& handle) {
  return AddBreakpointInMode(address, jlink::kBreakpointAny, handle);
}

HRESULT TARMJlink::ARM_AddBreakpointEx(int64_t address, bool thumb, uint32_t& handle) {
  return AddBreakpointInMode(address, thumb ? jlink::kBreakpointThumb : jlink::kBreakpointArm, handle);
}

HRESULT TARMJlink::AddBreakpointInMode(int64_t address, uint32_t mode, uint32_t& handle) {
  handle = 0;
  return OnBinding([&](TJlink& jlink) {
    const WideString key = JlinkBreakpointKey(address);
    // Set again: the probe breakpoint set before goes back first, or its unit
    // would stay taken with no key to clear it by.
    if (const auto listed = FBPList.find(key); listed != FBPList.end()) {
      int32_t cleared = 0;
      if (listed->second != 0) jlink.JLINKARM_ClrBPEx(listed->second, cleared);
      FBPList.erase(listed);
    }
    int32_t set = 0;
    // A handle of 0 is listed too: removing it later asks the probe to clear it.
    if (jlink.JLINKARM_SetBPEx(uint32_t(address), mode, set) == kJlinkCallDone) FBPList[key] = set;
    handle = uint32_t(set);
  });
}

HRESULT TARMJlink::ARM_RemoveBreakpoint(int64_t address, bool& removed) {
  removed = false;
  return Guard([&] {
    const auto listed = FBPList.find(JlinkBreakpointKey(address));
    if (listed == FBPList.end()) return;
    int32_t answer = 0;
    if (FJlink) FJlink->JLINKARM_ClrBPEx(listed->second, answer);
    removed = answer == 0;
    FBPList.erase(listed);
  });
}

HRESULT TARMJlink::GetJlinkHandle(uint32_t& Result) {
  Result = 0;
  return S_OK;
}

// ---- TARMJlinkHardBreakpoint

TARMJlinkHardBreakpoint::TARMJlinkHardBreakpoint(std::shared_ptr<TJlink> jlink) : FJlink(std::move(jlink)) {
  CheckResult(Reset());
}

TVK_DEFINE_HARD_BREAKPOINT_VALUES(TARMJlinkHardBreakpoint)

// The breakpoint holds no device.
HRESULT TARMJlinkHardBreakpoint::GetTovikDevice(ITovikDevice& Result) {
  Result = ITovikDevice();
  return S_OK;
}

HRESULT TARMJlinkHardBreakpoint::Enable(bool& Result) {
  Result = false;
  return Guard([&] {
    int32_t handle = 0;
    if (FJlink) FJlink->JLINKARM_SetBPEx(FValues.Address, kBreakpointHardware, handle);
    if (handle == 0) return;
    FId = handle;
    Result = true;
  });
}

HRESULT TARMJlinkHardBreakpoint::Disable(bool& Result) {
  Result = false;
  return Guard([&] {
    if (FId <= 0) return;
    int32_t answer = 0;
    if (FJlink) FJlink->JLINKARM_ClrBPEx(FId, answer);
    if (answer != 0) return;
    FId = kJlinkNoBreakpoint;
    Result = true;
  });
}

HRESULT TARMJlinkHardBreakpoint::Reset() {
  FId = kJlinkNoBreakpoint;
  return S_OK;
}

}  // namespace tvk
