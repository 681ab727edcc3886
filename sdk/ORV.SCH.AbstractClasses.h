#pragma once
// Served base classes of the debug framework's interfaces.
#include "ORV.SCH.RecordInterfaces.h"
#include "ZUL.Types.h"

#include <cstdint>

namespace tvk {

// "DeviceInformation": the device-information operations.
class TAbstractDeviceInformation : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
};

// "TovikDriver": the driver operations.
class TAbstractTovikDriver : public TAbstractDeviceInformation {
public:
  TVK_SERVED_LEVEL();
};

// Breakpoints and the debug manager. Each list holds a class's operations in
// slot order, X(DispID, Operation, (parameters), (argument names)); the last
// parameter, when it is a non-const reference, is the result. A list declares
// the operations and builds the dispatch table, so the two cannot drift apart;
// the argument names let an adapter pass a call on unchanged.

#define TVK_SOFT_BREAKPOINT_OPERATIONS(X)                     \
  X(503448, Import_FromCore, (), ())                          \
  X(503449, Export_ToCore, (), ())                            \
  X(503450, GetReplaced, (int32_t & Result), (Result))        \
  X(503451, GetTovikDevice, (ITovikDevice & Result), (Result)) \
  X(503452, SetReplaced, (uint32_t Value), (Value))           \
  X(503453, Enable, (bool& Result), (Result))                 \
  X(503454, Disable, (bool& Result), (Result))                \
  X(503455, GetMemorySpace, (int32_t & Result), (Result))     \
  X(503456, SetMemorySpace, (int32_t Value), (Value))         \
  X(503457, Reset, (), ())                                    \
  X(508547, GetAddress, (int64_t & Result), (Result))         \
  X(508548, SetAddress, (int64_t Value), (Value))

#define TVK_HARD_BREAKPOINT_OPERATIONS(X)                   \
  X(508556, GetAddressMask, (int64_t & Result), (Result))   \
  X(508557, GetData, (int64_t & Result), (Result))          \
  X(508558, GetDataMask, (int64_t & Result), (Result))      \
  X(508559, GetControl, (int64_t & Result), (Result))       \
  X(508560, GetControlMask, (int64_t & Result), (Result))   \
  X(508561, SetAddressMask, (int64_t Value), (Value))       \
  X(508562, SetData, (int64_t Value), (Value))              \
  X(508563, SetDataMask, (int64_t Value), (Value))          \
  X(508564, SetControl, (int64_t Value), (Value))           \
  X(508565, SetControlMask, (int64_t Value), (Value))

#define TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(X)                                                              \
  X(503948, AddHardBreakPoint, (const IHardBreakpoint& Breakpoint, int32_t& Result), (Breakpoint, Result)) \
  X(503949, GetNewHardBreakpoint, (IHardBreakpoint & Result), (Result))                                    \
  X(503950, GetNewSoftBreakpoint, (ISoftBreakpoint & Result), (Result))                                    \
  X(503951, GetSystemBreakpoint, (IHardBreakpoint & Result), (Result))                                     \
  X(503952, ReleaseBreakpoint, (const ISoftBreakpoint& Breakpoint), (Breakpoint))                          \
  X(503953, ReleaseAllocatedHardBreakpoints, (), ())                                                       \
  X(503954, ReleaseAllocatedSoftBreakpoints, (), ())                                                       \
  X(503955, ReleaseAllBreakpoints, (), ())                                                                 \
  X(503956, DisableAllocatedHardBreakpoints, (), ())                                                       \
  X(503957, DisableAllocatedSoftBreakpoints, (), ())                                                       \
  X(503958, DisableAllAllocatedBreakpoints, (), ())                                                        \
  X(503959, EnableAllocatedHardBreakpoints, (), ())                                                        \
  X(503960, EnableAllocatedSoftBreakpoints, (), ())                                                        \
  X(503961, EnableAllAllocatedBreakpoints, (), ())                                                         \
  X(503962, GetAllocatedSoftBreakPointCount, (int32_t & Result), (Result))                                 \
  X(503963, GetAllocatedHardBreakPointCount, (int32_t & Result), (Result))                                 \
  X(503964, GetAllocatedSoftBreakpointByIndex, (int32_t Index, ISoftBreakpoint& Result), (Index, Result))  \
  X(503965, GetAllocatedHardBreakpointByIndex, (int32_t Index, IHardBreakpoint& Result), (Index, Result))  \
  X(503966, SetBreakpointMode, (int32_t Mode, bool& Result), (Mode, Result))                               \
  X(503967, SetDebuggerMode, (int32_t Mode), (Mode))                                                       \
  X(503968, SetSoftbreakpointsRequireHardware, (bool Value), (Value))                                      \
  X(503969, GetBreakpointMode, (int32_t & Result), (Result))                                               \
  X(503970, GetDebuggerMode, (int32_t & Result), (Result))                                                 \
  X(503971, GetSoftBreakpointsRequireHardware, (bool& Result), (Result))                                   \
  X(503972, GetHardBreakpointCount, (int32_t & Result), (Result))                                          \
  X(508566, AddressSupportsSoftBreakpoints, (int32_t MemorySpace, int64_t Address, bool& Result),           \
    (MemorySpace, Address, Result))                                                                         \
  X(508567, GetNewBreakpoint, (int32_t MemorySpace, int64_t Address, ISoftBreakpoint& Result),              \
    (MemorySpace, Address, Result))                                                                         \
  X(508568, GetBreakpointByAddress, (int32_t MemorySpace, int64_t Address, ISoftBreakpoint& Result),        \
    (MemorySpace, Address, Result))                                                                         \
  X(508569, GetBreakpointByData, (int64_t Data, IHardBreakpoint& Result), (Data, Result))

// Every implementation answers all of a breakpoint class's operations.
#define TVK_PURE_OPERATION(Id, Name, Params, Args) virtual HRESULT Name Params = 0;

// "SoftBreakpoint": a breakpoint the host sets and clears.
class TAbstractSoftBreakpoint : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_PURE_OPERATION)
};

// "HardBreakpoint": a breakpoint unit of the core; it answers every
// software-breakpoint call too.
class TAbstractHardBreakpoint : public TAbstractSoftBreakpoint {
public:
  TVK_SERVED_LEVEL();
  TVK_HARD_BREAKPOINT_OPERATIONS(TVK_PURE_OPERATION)
};

// "DeviceDebugManager": a driver's breakpoint allocator.
class TAbstractDeviceDebugManager : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(TVK_PURE_OPERATION)
};

}  // namespace tvk
