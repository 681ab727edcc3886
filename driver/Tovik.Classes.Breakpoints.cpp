#include "Tovik.Classes.Breakpoints.h"

#include "Tovik.Utils.h"

#include <algorithm>
#include <type_traits>

namespace tvk {

namespace {

template <class Body>
auto WithChannel(IBreakpointDriver& driver, Body&& body) {
  return Bracketed([&] { driver.OpenChannel(); }, [&] { driver.CloseChannel(); }, body);
}

template <class Body>
auto WithJtagChannel(ICortexM3BreakpointDriver& driver, Body&& body) {
  return Bracketed([&] { driver.OpenJtagChannel(); }, [&] { driver.CloseJtagChannel(); }, body);
}

template <class Body>
auto WithIceChannel(const IARMEmbeddedICE& ice, Body&& body) {
  return Bracketed([&] { ice.OpenJtagChannel(); }, [&] { ice.CloseJtagChannel(); }, body);
}

// Breakpoint lists hold records; an object is recognised by its reference.
template <class R>
typename std::vector<R>::iterator Find(std::vector<R>& list, IDispatch* breakpoint) {
  return std::find_if(list.begin(), list.end(), [&](const R& r) { return r.ToPointer() == breakpoint; });
}

template <class R>
bool Contains(const std::vector<R>& list, IDispatch* breakpoint) {
  return std::any_of(list.begin(), list.end(), [&](const R& r) { return r.ToPointer() == breakpoint; });
}

// release-one: disables and resets Breakpoint when List holds it, moves it to
// Target (when given) and drops it from List.
template <class R>
bool ReleaseOne(IDispatch* breakpoint, std::vector<R>& list, std::type_identity_t<std::vector<R>>* target) {
  auto it = Find(list, breakpoint);
  if (it == list.end()) return false;
  const R held = *it;  // keeps the object for the calls below
  const ISoftBreakpoint soft = RecordAs<ISoftBreakpoint>(held);
  soft.Disable();
  soft.Reset();
  if (target) target->push_back(held);
  it = Find(list, breakpoint);  // the calls went out to the object: look again
  if (it != list.end()) list.erase(it);
  return true;
}

// release-all: releases item 0 until the list is empty; the last answer.
template <class R>
bool ReleaseAll(std::vector<R>& list, std::type_identity_t<std::vector<R>>* target) {
  bool answer = true;
  while (!list.empty()) answer = ReleaseOne(list.front().ToPointer(), list, target);
  return answer;
}

// Enable or Disable on each breakpoint of a snapshot of List, in list order.
template <class R>
void ForEachBreakpoint(const std::vector<R>& list, bool (ISoftBreakpoint::*operation)() const) {
  const std::vector<R> snapshot = list;
  for (const R& r : snapshot) (RecordAs<ISoftBreakpoint>(r).*operation)();
}

}  // namespace

// ---- TSoftBreakpoint

TSoftBreakpoint::TSoftBreakpoint(IBreakpointDriver* driver, int32_t memorySpace, int64_t address)
    : FAddress(address), FTovikDriver(driver), FMemorySpace(memorySpace) {}

HRESULT TSoftBreakpoint::Import_FromCore() { return S_OK; }
HRESULT TSoftBreakpoint::Export_ToCore() { return S_OK; }
HRESULT TSoftBreakpoint::Reset() { return S_OK; }

HRESULT TSoftBreakpoint::GetReplaced(int32_t& Result) {
  Result = int32_t(FReplaced);
  return S_OK;
}

HRESULT TSoftBreakpoint::SetReplaced(uint32_t Value) {
  FReplaced = Value;
  return S_OK;
}

HRESULT TSoftBreakpoint::GetTovikDevice(ITovikDevice& Result) {
  Result = ITovikDevice();
  return Guard([&] {
    if (FTovikDriver) Result = FTovikDriver->GetTovikDevice();
  });
}

HRESULT TSoftBreakpoint::Enable(bool& Result) {
  Result = false;
  return Guard([&] {
    if (!FTovikDriver) {
      FEnabled = false;
      return;
    }
    const uint32_t replaced =
        WithChannel(*FTovikDriver, [&] { return FTovikDriver->AddSoftBreakpoint(FMemorySpace, FAddress); });
    // Enabled again, the driver answers its own breakpoint instruction: the
    // instruction to restore is the one the first Enable replaced.
    if (!FEnabled) FReplaced = replaced;
    FEnabled = true;
    Result = true;
  });
}

HRESULT TSoftBreakpoint::Disable(bool& Result) {
  Result = false;
  return Guard([&] {
    if (FTovikDriver && FEnabled)
      Result = WithChannel(*FTovikDriver,
                           [&] { return FTovikDriver->RemoveSoftBreakpoint(FMemorySpace, FAddress, FReplaced); });
    FEnabled = false;
  });
}

HRESULT TSoftBreakpoint::GetMemorySpace(int32_t& Result) {
  Result = FMemorySpace;
  return S_OK;
}

HRESULT TSoftBreakpoint::SetMemorySpace(int32_t Value) {
  FMemorySpace = Value;
  return S_OK;
}

HRESULT TSoftBreakpoint::GetAddress(int64_t& Result) {
  Result = FAddress;
  return S_OK;
}

HRESULT TSoftBreakpoint::SetAddress(int64_t Value) {
  FAddress = Value;
  return S_OK;
}

// ---- TARM_Cortex_M3HardBreakpoint

TARM_Cortex_M3HardBreakpoint::TARM_Cortex_M3HardBreakpoint(ICortexM3BreakpointDriver& driver,
                                                           uint32_t flashPatchRegisterComp)
    : FFlashPatchRegister_COMP(flashPatchRegisterComp), FDriver(driver) {
  CheckResult(Reset());
}

TVK_DEFINE_HARD_BREAKPOINT_VALUES(TARM_Cortex_M3HardBreakpoint)

bool TARM_Cortex_M3HardBreakpoint::WriteComparator(uint32_t value) {
  return WithJtagChannel(FDriver, [&] { return FDriver.WriteWordChecked(FFlashPatchRegister_COMP, value); });
}

HRESULT TARM_Cortex_M3HardBreakpoint::GetTovikDevice(ITovikDevice& Result) {
  Result = ITovikDevice();
  return Guard([&] { Result = FDriver.GetTovikDevice(); });
}

HRESULT TARM_Cortex_M3HardBreakpoint::Enable(bool& Result) {
  Result = false;
  return Guard([&] { Result = WriteComparator(fpb::ComparatorValue(FValues.Address & ~1u)); });
}

HRESULT TARM_Cortex_M3HardBreakpoint::Disable(bool& Result) {
  Result = false;
  return Guard([&] { Result = WriteComparator(0); });
}

HRESULT TARM_Cortex_M3HardBreakpoint::Reset() {
  bool dropped = false;
  return Disable(dropped);
}

// ---- TFlashPatchRegistration

void TFlashPatchRegistration::Register(ICortexM3BreakpointDriver& driver, const IDeviceDebugManager& manager,
                                       int32_t codeComparators) {
  manager.SetSoftbreakpointsRequireHardware(false);
  for (int32_t n = FRegistered; n < codeComparators; ++n) {
    const IHardBreakpoint comparator(New<TARM_Cortex_M3HardBreakpoint>(driver, fpb::FP_COMP0 + 4 * uint32_t(n)));
    manager.AddHardBreakPoint(comparator);
    FRegistered = n + 1;
  }
}

// ---- THardBreakpoint_Impl

ULONG STDMETHODCALLTYPE THardBreakpoint_Impl::AddRef() { return Ex->AddRef(); }
// May free the watchpoint and with it this adapter: nothing is touched afterwards.
ULONG STDMETHODCALLTYPE THardBreakpoint_Impl::Release() { return Ex->Release(); }

#define TVK_FORWARD_TO_EX(Id, Name, Params, Args) \
  HRESULT THardBreakpoint_Impl::Name Params { return Ex->Name Args; }
TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_FORWARD_TO_EX)
TVK_HARD_BREAKPOINT_OPERATIONS(TVK_FORWARD_TO_EX)
#undef TVK_FORWARD_TO_EX

// ---- TARMHardBreakpointPoint

namespace {
constexpr uint32_t kWatchpointControlEnable = 0x100;
}  // namespace

IHardBreakpoint TARMHardBreakpointPoint::Create(const IARMEmbeddedICE& armDriver, int32_t regCtrl,
                                                int32_t regCtrlMask, int32_t regData, int32_t regDataMask,
                                                int32_t regAddress, int32_t regAddressMask) {
  auto* point =
      new TARMHardBreakpointPoint(armDriver, regCtrl, regCtrlMask, regData, regDataMask, regAddress, regAddressMask);
  IHardBreakpoint adapter(point->Impl_HardBreakpoint.get());
  point->AfterConstruction();  // the adapter's record holds the only reference now
  return adapter;
}

TARMHardBreakpointPoint::TARMHardBreakpointPoint(const IARMEmbeddedICE& armDriver, int32_t regCtrl,
                                                 int32_t regCtrlMask, int32_t regData, int32_t regDataMask,
                                                 int32_t regAddress, int32_t regAddressMask)
    : Impl_HardBreakpoint(std::make_unique<THardBreakpoint_Impl>(*this)),
      FWatchPointRegister_CTRL(regCtrl),
      FWatchPointRegister_CTRLMASK(regCtrlMask),
      FWatchPointRegister_DATA(regData),
      FWatchPointRegister_DATAMASK(regDataMask),
      FWatchPointRegister_ADDRESS(regAddress),
      FWatchPointRegister_ADDRESSMASK(regAddressMask),
      FArmBaseDriver(armDriver) {
  CheckResult(Reset());
}

TARMHardBreakpointPoint::~TARMHardBreakpointPoint() = default;

TVK_DEFINE_HARD_BREAKPOINT_VALUES(TARMHardBreakpointPoint)

// The driver's dispatch interface answers the driver's operations as well as
// the EmbeddedICE ones: its device is asked there.
HRESULT TARMHardBreakpointPoint::GetTovikDevice(ITovikDevice& Result) {
  Result = ITovikDevice();
  return Guard([&] {
    if (FArmBaseDriver) Result = RecordAs<ITovikDriver>(FArmBaseDriver).GetTovikDevice();
  });
}

HRESULT TARMHardBreakpointPoint::Enable(bool& Result) {
  Result = false;
  return Guard([&] {
    Result = WithIceChannel(FArmBaseDriver, [&] {
      const IARMEmbeddedICE& ice = FArmBaseDriver;
      ice.SetICERegister(FWatchPointRegister_CTRL, 0);  // off while it is programmed
      ice.SetICERegister(FWatchPointRegister_ADDRESSMASK, FValues.AddressMask);
      ice.SetICERegister(FWatchPointRegister_ADDRESS, FValues.Address & ~1u);
      ice.SetICERegister(FWatchPointRegister_DATAMASK, FValues.DataMask);
      ice.SetICERegister(FWatchPointRegister_DATA, FValues.Data);
      ice.SetICERegister(FWatchPointRegister_CTRLMASK, FValues.ControlMask);
      ice.SetICERegister(FWatchPointRegister_CTRL, FValues.Control | kWatchpointControlEnable);
      return true;
    });
  });
}

HRESULT TARMHardBreakpointPoint::Disable(bool& Result) {
  Result = false;
  return Guard([&] {
    Result = WithIceChannel(FArmBaseDriver, [&] {
      FArmBaseDriver.SetICERegister(FWatchPointRegister_CTRL, 0);
      return true;
    });
  });
}

// Control and control mask keep their values; the target is not touched.
HRESULT TARMHardBreakpointPoint::Reset() {
  FValues.DataMask = 0xFFFFFFFF;
  FValues.Data = 0;
  FValues.Address = 0;
  FValues.AddressMask = 0;
  return S_OK;
}

#undef TVK_DEFINE_HARD_BREAKPOINT_VALUES
#undef TVK_DEFINE_QUALIFIER

// ---- TDeviceDebugManager

TDeviceDebugManager::TDeviceDebugManager(IBreakpointDriver& driver) : FTovikDriver(driver) {}

IDeviceDebugManager CreateDeviceDebugManager(IBreakpointDriver& driver) {
  return IDeviceDebugManager(New<TDeviceDebugManager>(driver));
}

bool TDeviceDebugManager::Holds(IDispatch* breakpoint) const {
  return FSoftSystemBreakpoint.ToPointer() == breakpoint || Contains(FAvailableHardBreakpoints, breakpoint) ||
         Contains(FUserHardBreakpoints, breakpoint);
}

void TDeviceDebugManager::ReturnSystemBreakpoint() {
  if (!FSoftSystemBreakpoint) return;
  FAvailableHardBreakpoints.push_back(FSoftSystemBreakpoint);
  FSoftSystemBreakpoint.Clear();
}

bool TDeviceDebugManager::ReserveSystemBreakpoint() {
  if (FAvailableHardBreakpoints.empty()) return false;
  FSoftSystemBreakpoint = FAvailableHardBreakpoints.front();
  FAvailableHardBreakpoints.erase(FAvailableHardBreakpoints.begin());
  return true;
}

bool TDeviceDebugManager::ChangeBreakpointMode(int32_t mode) {
  if (mode == FCurrentBreakpointMode) return true;
  switch (mode) {
    case eBreakpointMode_HARD:
      ReturnSystemBreakpoint();
      if (FAvailableHardBreakpoints.empty()) return false;
      break;
    case eBreakpointMode_SOFT:
    case eBreakpointMode_ANY:
      if (FSoftBreakpointsRequireHard && !FSoftSystemBreakpoint && !ReserveSystemBreakpoint()) return false;
      break;
    default:
      return false;
  }
  FCurrentBreakpointMode = uint8_t(mode);
  return true;
}

IHardBreakpoint TDeviceDebugManager::NewHardBreakpoint() {
  if (FCurrentBreakpointMode == eBreakpointMode_SOFT &&
      (FCurrentDebuggerMode != eDebuggerMode_AUTO || !ChangeBreakpointMode(eBreakpointMode_ANY)))
    return IHardBreakpoint();
  if (FAvailableHardBreakpoints.empty()) return IHardBreakpoint();
  IHardBreakpoint lent = FAvailableHardBreakpoints.front();
  FUserHardBreakpoints.push_back(lent);
  FAvailableHardBreakpoints.erase(FAvailableHardBreakpoints.begin());
  return lent;
}

ISoftBreakpoint TDeviceDebugManager::NewSoftBreakpoint() {
  if (FCurrentBreakpointMode == eBreakpointMode_HARD &&
      (FCurrentDebuggerMode != eDebuggerMode_AUTO || !ChangeBreakpointMode(eBreakpointMode_SOFT)))
    return ISoftBreakpoint();
  if (FSoftBreakpointsRequireHard && !FSoftSystemBreakpoint && !ReserveSystemBreakpoint()) return ISoftBreakpoint();
  ISoftBreakpoint created(New<TSoftBreakpoint>(&FTovikDriver));
  FSoftBreakpoints.push_back(created);
  return created;
}

int32_t TDeviceDebugManager::HardBreakpointCount() const {
  return int32_t(FAvailableHardBreakpoints.size() + FUserHardBreakpoints.size());
}

ISoftBreakpoint TDeviceDebugManager::BreakpointByAddress(int64_t address) const {
  for (const ISoftBreakpoint& soft : std::vector(FSoftBreakpoints))
    if (soft.GetAddress() == address) return soft;
  for (const IHardBreakpoint& hard : std::vector(FUserHardBreakpoints))
    if (hard.ToSoftBreakpoint().GetAddress() == address) return hard.ToSoftBreakpoint();
  return ISoftBreakpoint();
}

// Writable memory takes software breakpoints: each of the four bytes at the
// address is written plus one and read back.
bool TDeviceDebugManager::SupportsSoftBreakpoints(int32_t memorySpace, int64_t address) {
  return WithChannel(FTovikDriver, [&] {
    constexpr int32_t kProbe = 4;
    uint32_t original[kProbe] = {}, probe[kProbe] = {}, readBack[kProbe] = {};
    FTovikDriver.MemoryRead(memorySpace, original, address, kProbe);
    for (int32_t i = 0; i < kProbe; ++i) probe[i] = (original[i] + 1) & 0xFF;
    FTovikDriver.MemoryWrite(memorySpace, probe, address, kProbe);
    FTovikDriver.MemoryRead(memorySpace, readBack, address, kProbe);

    bool writable = true;
    bool changed[kProbe];
    for (int32_t i = 0; i < kProbe; ++i) {
      writable = writable && (readBack[i] & 0xFF) == probe[i];
      changed[i] = (readBack[i] & 0xFF) != (original[i] & 0xFF);
    }
    // Every byte the probe changed gets its first value back, also when only
    // some took the write (a probe across the end of RAM); adjacent ones in
    // one write.
    for (int32_t i = 0; i < kProbe;) {
      if (!changed[i]) {
        ++i;
        continue;
      }
      int32_t end = i;
      while (end < kProbe && changed[end]) ++end;
      FTovikDriver.MemoryWrite(memorySpace, original + i, address + i, end - i);
      i = end;
    }
    return writable;
  });
}

HRESULT TDeviceDebugManager::AddHardBreakPoint(const IHardBreakpoint& Breakpoint, int32_t& Result) {
  Result = 0;
  return Guard([&] {
    if (!Breakpoint) throw Exception(L"No hardware breakpoint to add");
    // A breakpoint held already stays where it is: one unit must not be lent twice.
    if (!Holds(Breakpoint.ToPointer())) FAvailableHardBreakpoints.push_back(Breakpoint);
  });
}

HRESULT TDeviceDebugManager::GetNewHardBreakpoint(IHardBreakpoint& Result) {
  Result = IHardBreakpoint();
  return Guard([&] { Result = NewHardBreakpoint(); });
}

HRESULT TDeviceDebugManager::GetNewSoftBreakpoint(ISoftBreakpoint& Result) {
  Result = ISoftBreakpoint();
  return Guard([&] { Result = NewSoftBreakpoint(); });
}

HRESULT TDeviceDebugManager::GetSystemBreakpoint(IHardBreakpoint& Result) {
  Result = FSoftSystemBreakpoint;
  return S_OK;
}

HRESULT TDeviceDebugManager::ReleaseBreakpoint(const ISoftBreakpoint& Breakpoint) {
  return Guard([&] {
    IDispatch* const breakpoint = Breakpoint.ToPointer();
    const bool released = ReleaseOne(breakpoint, FSoftBreakpoints, nullptr) ||
                          ReleaseOne(breakpoint, FUserHardBreakpoints, &FAvailableHardBreakpoints);
    if (released && FCurrentDebuggerMode == eDebuggerMode_AUTO && FSoftBreakpoints.empty())
      ReturnSystemBreakpoint();
  });
}

HRESULT TDeviceDebugManager::ReleaseAllocatedHardBreakpoints() {
  return Guard([&] { ReleaseAll(FUserHardBreakpoints, &FAvailableHardBreakpoints); });
}

HRESULT TDeviceDebugManager::ReleaseAllocatedSoftBreakpoints() {
  return Guard([&] { ReleaseAll(FSoftBreakpoints, nullptr); });
}

HRESULT TDeviceDebugManager::ReleaseAllBreakpoints() {
  return Guard([&] {
    ReleaseAll(FUserHardBreakpoints, &FAvailableHardBreakpoints);
    ReleaseAll(FSoftBreakpoints, nullptr);
  });
}

HRESULT TDeviceDebugManager::DisableAllocatedHardBreakpoints() {
  return Guard([&] { ForEachBreakpoint(FUserHardBreakpoints, &ISoftBreakpoint::Disable); });
}

HRESULT TDeviceDebugManager::DisableAllocatedSoftBreakpoints() {
  return Guard([&] { ForEachBreakpoint(FSoftBreakpoints, &ISoftBreakpoint::Disable); });
}

HRESULT TDeviceDebugManager::DisableAllAllocatedBreakpoints() {
  return Guard([&] {
    ForEachBreakpoint(FUserHardBreakpoints, &ISoftBreakpoint::Disable);
    ForEachBreakpoint(FSoftBreakpoints, &ISoftBreakpoint::Disable);
  });
}

HRESULT TDeviceDebugManager::EnableAllocatedHardBreakpoints() {
  return Guard([&] { ForEachBreakpoint(FUserHardBreakpoints, &ISoftBreakpoint::Enable); });
}

HRESULT TDeviceDebugManager::EnableAllocatedSoftBreakpoints() {
  return Guard([&] { ForEachBreakpoint(FSoftBreakpoints, &ISoftBreakpoint::Enable); });
}

HRESULT TDeviceDebugManager::EnableAllAllocatedBreakpoints() {
  return Guard([&] {
    ForEachBreakpoint(FUserHardBreakpoints, &ISoftBreakpoint::Enable);
    ForEachBreakpoint(FSoftBreakpoints, &ISoftBreakpoint::Enable);
  });
}

HRESULT TDeviceDebugManager::GetAllocatedSoftBreakPointCount(int32_t& Result) {
  Result = int32_t(FSoftBreakpoints.size());
  return S_OK;
}

HRESULT TDeviceDebugManager::GetAllocatedHardBreakPointCount(int32_t& Result) {
  Result = int32_t(FUserHardBreakpoints.size());
  return S_OK;
}

HRESULT TDeviceDebugManager::GetAllocatedSoftBreakpointByIndex(int32_t Index, ISoftBreakpoint& Result) {
  Result = ISoftBreakpoint();
  if (Index >= 0 && std::size_t(Index) < FSoftBreakpoints.size()) Result = FSoftBreakpoints[std::size_t(Index)];
  return S_OK;
}

HRESULT TDeviceDebugManager::GetAllocatedHardBreakpointByIndex(int32_t Index, IHardBreakpoint& Result) {
  Result = IHardBreakpoint();
  if (Index >= 0 && std::size_t(Index) < FUserHardBreakpoints.size())
    Result = FUserHardBreakpoints[std::size_t(Index)];
  return S_OK;
}

HRESULT TDeviceDebugManager::SetBreakpointMode(int32_t Mode, bool& Result) {
  Result = false;
  return Guard([&] { Result = ChangeBreakpointMode(Mode); });
}

HRESULT TDeviceDebugManager::SetDebuggerMode(int32_t Mode) {
  FCurrentDebuggerMode = uint8_t(Mode);
  return S_OK;
}

HRESULT TDeviceDebugManager::SetSoftbreakpointsRequireHardware(bool Value) {
  FSoftBreakpointsRequireHard = Value;
  return S_OK;
}

HRESULT TDeviceDebugManager::GetBreakpointMode(int32_t& Result) {
  Result = FCurrentBreakpointMode;
  return S_OK;
}

HRESULT TDeviceDebugManager::GetDebuggerMode(int32_t& Result) {
  Result = FCurrentDebuggerMode;
  return S_OK;
}

HRESULT TDeviceDebugManager::GetSoftBreakpointsRequireHardware(bool& Result) {
  Result = FSoftBreakpointsRequireHard;
  return S_OK;
}

HRESULT TDeviceDebugManager::GetHardBreakpointCount(int32_t& Result) {
  Result = HardBreakpointCount();
  return S_OK;
}

HRESULT TDeviceDebugManager::AddressSupportsSoftBreakpoints(int32_t MemorySpace, int64_t Address, bool& Result) {
  Result = false;
  return Guard([&] { Result = SupportsSoftBreakpoints(MemorySpace, Address); });
}

HRESULT TDeviceDebugManager::GetNewBreakpoint(int32_t MemorySpace, int64_t Address, ISoftBreakpoint& Result) {
  Result = ISoftBreakpoint();
  return Guard([&] {
    ISoftBreakpoint found = BreakpointByAddress(Address);
    if (!found) {
      if (SupportsSoftBreakpoints(MemorySpace, Address))
        found = NewSoftBreakpoint();
      else if (HardBreakpointCount() > 0)
        found = NewHardBreakpoint().ToSoftBreakpoint();
    }
    if (found) {
      found.Reset();
      found.SetMemorySpace(MemorySpace);
      found.SetAddress(Address);
    }
    Result = found;
  });
}

HRESULT TDeviceDebugManager::GetBreakpointByAddress(int32_t, int64_t Address, ISoftBreakpoint& Result) {
  Result = ISoftBreakpoint();
  return Guard([&] { Result = BreakpointByAddress(Address); });
}

HRESULT TDeviceDebugManager::GetBreakpointByData(int64_t Data, IHardBreakpoint& Result) {
  Result = IHardBreakpoint();
  return Guard([&] {
    for (const IHardBreakpoint& hard : std::vector(FUserHardBreakpoints))
      if (hard.GetData() == Data) {
        Result = hard;
        return;
      }
  });
}

}  // namespace tvk
