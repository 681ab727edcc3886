#pragma once
// Breakpoints and the debug manager: software breakpoints that the driver
// plants in memory, the Cortex-M3 flash patch comparators and the EmbeddedICE
// watchpoints as hardware breakpoints, and the manager that lends them out.
//
// Everything these objects need of their driver goes through the two hook
// interfaces below, which the driver levels implement. The manager reaches
// every breakpoint, its own included, only through the breakpoint records,
// that is through each object's dispatch table.
#include "ORV.SCH.AbstractClasses.h"
#include "ORV.SCH.RecordInterfaces.h"
#include "ORV.SCH.Types.h"
#include "Tovik.Classes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tvk {

// What software breakpoints and the debug manager need of their driver. Each
// call raises on failure (a failed result code of the driver's own operation
// included).
class IBreakpointDriver {
public:
  // The host device the driver was lent; empty while none is set.
  virtual ITovikDevice GetTovikDevice() = 0;
  // The driver's JTAG channel; both do nothing while there is no channel.
  virtual void OpenChannel() = 0;
  virtual void CloseChannel() = 0;
  // Plants the breakpoint instruction and answers the instruction it replaced.
  virtual uint32_t AddSoftBreakpoint(int32_t memorySpace, int64_t address) = 0;
  // Puts Replaced back; answers whether it was done.
  virtual bool RemoveSoftBreakpoint(int32_t memorySpace, int64_t address, uint32_t replaced) = 0;
  // Count bytes through the driver's memory access, one byte per cell's low
  // 8 bits; the answer is the success flag.
  virtual bool MemoryRead(int32_t memorySpace, uint32_t* cells, int64_t address, int32_t count) = 0;
  virtual bool MemoryWrite(int32_t memorySpace, const uint32_t* cells, int64_t address, int32_t count) = 0;

protected:
  ~IBreakpointDriver() = default;
};

// What a flash patch comparator needs of the Cortex-M3 driver besides.
class ICortexM3BreakpointDriver : public IBreakpointDriver {
public:
  // The driver's OpenJtagChannel / CloseJtagChannel operations.
  virtual void OpenJtagChannel() = 0;
  virtual void CloseJtagChannel() = 0;
  // A word written through the memory access port, then the debug-port
  // status check; answers whether both succeeded. Nothing is sent and the
  // answer is false while there is no channel.
  virtual bool WriteWordChecked(uint32_t address, uint32_t value) = 0;

protected:
  ~ICortexM3BreakpointDriver() = default;
};

// The values every hardware breakpoint keeps and reports. The address keeps
// bit 0 clear; the others keep the low 32 bits of what they were set to.
struct THardBreakpointValues {
  uint32_t Address = 0;
  uint32_t AddressMask = 0;
  uint32_t Data = 0;
  uint32_t DataMask = 0;
  uint32_t Control = 0;
  uint32_t ControlMask = 0;
  uint32_t MemorySpace = 0;
};

// The qualifiers with plain get/set operations (the address has its own):
// Q(Class, Name) for each.
#define TVK_HARD_BREAKPOINT_QUALIFIERS(Q, Class) \
  Q(Class, AddressMask) Q(Class, Data) Q(Class, DataMask) Q(Class, Control) Q(Class, ControlMask)

// The operations of a hardware breakpoint class that only read or set its
// values (a THardBreakpointValues field FValues): nothing of them reaches
// the target. For the class's source file.
#define TVK_DEFINE_QUALIFIER(Class, Name)              \
  HRESULT Class::Get##Name(int64_t& Result) {          \
    Result = int64_t(FValues.Name);                    \
    return S_OK;                                       \
  }                                                    \
  HRESULT Class::Set##Name(int64_t Value) {            \
    FValues.Name = uint32_t(uint64_t(Value));          \
    return S_OK;                                       \
  }

#define TVK_DEFINE_HARD_BREAKPOINT_VALUES(Class)                                   \
  HRESULT Class::Import_FromCore() { return S_OK; }                                \
  HRESULT Class::Export_ToCore() { return S_OK; }                                  \
  HRESULT Class::GetReplaced(int32_t& Result) {                                    \
    Result = 0;                                                                    \
    return S_OK;                                                                   \
  }                                                                                \
  HRESULT Class::SetReplaced(uint32_t) { return S_OK; }                            \
  HRESULT Class::GetMemorySpace(int32_t& Result) {                                 \
    Result = int32_t(FValues.MemorySpace);                                         \
    return S_OK;                                                                   \
  }                                                                                \
  HRESULT Class::SetMemorySpace(int32_t Value) {                                   \
    FValues.MemorySpace = uint32_t(Value);                                         \
    return S_OK;                                                                   \
  }                                                                                \
  HRESULT Class::GetAddress(int64_t& Result) {                                     \
    Result = int64_t(FValues.Address & ~1u);                                       \
    return S_OK;                                                                   \
  }                                                                                \
  HRESULT Class::SetAddress(int64_t Value) {                                       \
    FValues.Address = uint32_t(uint64_t(Value)) & ~1u;                             \
    return S_OK;                                                                   \
  }                                                                                \
  TVK_HARD_BREAKPOINT_QUALIFIERS(TVK_DEFINE_QUALIFIER, Class)

// Declarations of a class's operations from an operation list.
#define TVK_BREAKPOINT_OVERRIDE(Id, Name, Params, Args) HRESULT Name Params override;
#define TVK_BREAKPOINT_OPERATION(Id, Name, Params, Args) HRESULT Name Params;

// ---- Software breakpoint

class TSoftBreakpoint final : public TAbstractSoftBreakpoint {
public:
  // Driver may be absent: the breakpoint then never touches a target.
  explicit TSoftBreakpoint(IBreakpointDriver* driver, int32_t memorySpace = 0, int64_t address = 0);

  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)

  bool Enabled() const { return FEnabled; }

private:
  int64_t FAddress;
  uint32_t FReplaced = 0;           // what the first Enable since the last Disable replaced
  IBreakpointDriver* FTovikDriver;  // plain reference; may be null
  int32_t FMemorySpace;
  bool FEnabled = false;  // the breakpoint instruction is in place
};

// ---- Cortex-M3 flash patch comparator

namespace fpb {
inline constexpr uint32_t FP_COMP0 = 0xE0002008;          // code comparator n at FP_COMP0 + 4 x n
inline constexpr uint32_t FP_COMP_ADDRESS = 0x1FFFFFFC;   // word address; bits 31:29 are not compared
inline constexpr uint32_t FP_COMP_REPLACE_LOWER = 0x40000000;  // break on the lower halfword
inline constexpr uint32_t FP_COMP_REPLACE_UPPER = 0x80000000;  // break on the upper halfword
inline constexpr uint32_t FP_COMP_ENABLE = 0x1;
// The comparator value that breaks at Address (bit 1 picks the halfword).
constexpr uint32_t ComparatorValue(uint32_t address) {
  return (address & FP_COMP_ADDRESS) | ((address & 2) ? FP_COMP_REPLACE_UPPER : FP_COMP_REPLACE_LOWER) |
         FP_COMP_ENABLE;
}
}  // namespace fpb

class TARM_Cortex_M3HardBreakpoint final : public TAbstractHardBreakpoint {
public:
  // Clears the comparator on the target (through Reset); raises when that fails.
  TARM_Cortex_M3HardBreakpoint(ICortexM3BreakpointDriver& driver, uint32_t flashPatchRegisterComp);

  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)
  TVK_HARD_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)

  uint32_t ComparatorRegister() const { return FFlashPatchRegister_COMP; }

private:
  // Writes Value to the comparator inside the driver's JTAG open/close.
  bool WriteComparator(uint32_t value);

  uint32_t FFlashPatchRegister_COMP;
  ICortexM3BreakpointDriver& FDriver;  // plain reference: a driver lives until the module is unloaded
  THardBreakpointValues FValues;
};

// Hands the flash patch code comparators to the debug manager: the Cortex-M3
// level's InitWatchPoints. The host can run that again (it is served), so the
// comparators already handed over are remembered and never created or added
// twice: two breakpoints on one comparator would overwrite each other.
class TFlashPatchRegistration {
public:
  // Soft breakpoints need no hardware on this core; then one breakpoint per
  // code comparator not yet registered, in comparator order.
  void Register(ICortexM3BreakpointDriver& driver, const IDeviceDebugManager& manager, int32_t codeComparators);
  // Comparators 0 .. Registered()-1 are with the manager.
  int32_t Registered() const { return FRegistered; }

private:
  int32_t FRegistered = 0;
};

// ---- EmbeddedICE watchpoint

class TARMHardBreakpointPoint;

// The served face of an EmbeddedICE watchpoint. It is part of its watchpoint:
// references to it count on the watchpoint, which frees it when it goes.
class THardBreakpoint_Impl final : public TAbstractHardBreakpoint {
public:
  explicit THardBreakpoint_Impl(TARMHardBreakpointPoint& ex) : Ex(&ex) {}

  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // Each passes the call on to the watchpoint's operation of the same name.
  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)
  TVK_HARD_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)

private:
  TARMHardBreakpointPoint* Ex;  // plain reference: the watchpoint owns this adapter
};

// One EmbeddedICE watchpoint unit, programmed through the driver's
// IARMEmbeddedICE operations. It lives while it or its adapter is referenced.
class TARMHardBreakpointPoint final : public TDispatchObject {
public:
  // The watchpoint's adapter, holding the first reference; the watchpoint
  // starts reset (nothing is written to the target).
  static IHardBreakpoint Create(const IARMEmbeddedICE& armDriver, int32_t regCtrl, int32_t regCtrlMask,
                                int32_t regData, int32_t regDataMask, int32_t regAddress,
                                int32_t regAddressMask);

  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OPERATION)
  TVK_HARD_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OPERATION)

private:
  TARMHardBreakpointPoint(const IARMEmbeddedICE& armDriver, int32_t regCtrl, int32_t regCtrlMask, int32_t regData,
                          int32_t regDataMask, int32_t regAddress, int32_t regAddressMask);
  ~TARMHardBreakpointPoint() override;

  std::unique_ptr<THardBreakpoint_Impl> Impl_HardBreakpoint;
  int32_t FWatchPointRegister_CTRL;
  int32_t FWatchPointRegister_CTRLMASK;
  int32_t FWatchPointRegister_DATA;
  int32_t FWatchPointRegister_DATAMASK;
  int32_t FWatchPointRegister_ADDRESS;
  int32_t FWatchPointRegister_ADDRESSMASK;
  IARMEmbeddedICE FArmBaseDriver;
  THardBreakpointValues FValues;
};

// ---- Debug manager

class TDeviceDebugManager final : public TAbstractDeviceDebugManager {
public:
  explicit TDeviceDebugManager(IBreakpointDriver& driver);

  TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)

private:
  // The operations as the manager itself uses them: failures raise.
  bool ChangeBreakpointMode(int32_t mode);
  IHardBreakpoint NewHardBreakpoint();
  ISoftBreakpoint NewSoftBreakpoint();
  bool SupportsSoftBreakpoints(int32_t memorySpace, int64_t address);
  ISoftBreakpoint BreakpointByAddress(int64_t address) const;
  int32_t HardBreakpointCount() const;
  // Moves the system breakpoint, when one is reserved, to the end of the free list.
  void ReturnSystemBreakpoint();
  // Reserves the first free breakpoint as the system breakpoint; false when none is free.
  bool ReserveSystemBreakpoint();
  // Whether Breakpoint is already held anywhere (free, lent or reserved).
  bool Holds(IDispatch* breakpoint) const;

  IBreakpointDriver& FTovikDriver;                         // plain reference: the owning driver
  std::vector<IHardBreakpoint> FAvailableHardBreakpoints;  // free, in the order of registration
  std::vector<IHardBreakpoint> FUserHardBreakpoints;       // lent, in the order of lending
  IHardBreakpoint FSoftSystemBreakpoint;                   // reserved; empty when none is
  std::vector<ISoftBreakpoint> FSoftBreakpoints;           // handed out, in the order of creation
  bool FSoftBreakpointsRequireHard = false;
  uint8_t FCurrentBreakpointMode = eBreakpointMode_ANY;
  uint8_t FCurrentDebuggerMode = eDebuggerMode_AUTO;
};

#undef TVK_BREAKPOINT_OPERATION

// The processor level's factory of its debug manager.
IDeviceDebugManager CreateDeviceDebugManager(IBreakpointDriver& driver);

}  // namespace tvk
