#pragma once
// The J-Link probe binding: when the host's JTAG chain runs through a J-Link
// probe, the Cortex-M3 level hands memory, register, run-control and
// breakpoint work to the probe library instead of shifting scans itself.
//
//   TJlink                   the library handle and its 57 entry points, each
//                            behind a guarded call
//   TARMJlink                the ARM operations the core calls, and the test
//                            whether the J-Link path is active
//   TARMJlinkHardBreakpoint  a hardware breakpoint the probe sets
#include "ORV.SCH.AbstractClasses.h"
#include "Tovik.ARM.CortexM3.h"
#include "Tovik.ForeignModule.h"
#include "Tovik.JlinkLibrary.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace tvk {

// Statuses of a guarded call: it took place (0), the entry point is not bound
// (nothing was called), or the call raised a fault inside the library.
inline constexpr uint32_t kJlinkCallDone = 0;
inline constexpr uint32_t kJlinkCallMissing = 224;
inline constexpr uint32_t kJlinkCallRaised = 225;

inline constexpr std::wstring_view kJlinkLibraryName = L"JLINKARM.dll";
inline constexpr std::wstring_view kJlinkPortService = L"JlinkPort";
// A target counts as powered above this supply.
inline constexpr uint16_t kJlinkMinTargetMillivolts = 500;
// The most breakpoint units registered, whatever the probe claims: the count
// sizes an allocation.
inline constexpr int32_t kJlinkMaxBreakpointUnits = 64;
// The probe's breakpoint handle of a hardware breakpoint that is not set.
inline constexpr int32_t kJlinkNoBreakpoint = -1;

struct TJlinkFunction {
  const char* Name = nullptr;  // the entry point's name
  void* Func = nullptr;        // its address; null when not bound
};

// A device of the probe's JTAG chain.
struct TJlinkDeviceInfo {
  const char* sName = nullptr;  // the library's text
  uint32_t IRLen = 0;           // instruction register length
  uint32_t IRPrint = 0;         // not filled here
  uint32_t Id = 0;              // JTAG identification code
};

// The signature traits of an entry point's pointer type.
template <class Fn>
struct TJlinkSignature;
template <class R, class... P>
struct TJlinkSignature<R(TVK_JLINK_CALL*)(P...)> {
  using Result = R;
  static constexpr std::size_t Arity = sizeof...(P);
};

// The entry point type of each index.
template <std::size_t Entry>
struct TJlinkEntryType;
#define TVK_JLINK_ENTRY_TYPE(Index, Name, Result, Params) \
  template <>                                             \
  struct TJlinkEntryType<Index> {                         \
    using Type = jlink::Name##_Fn;                        \
  };
TVK_JLINK_ENTRY_POINTS(TVK_JLINK_ENTRY_TYPE)
#undef TVK_JLINK_ENTRY_TYPE

// The library handle and its entry points. Served, but its interfaces count
// no references: adding or releasing one does nothing and answers -1; the
// binding's owners hold it.
class TJlink final : public TAbstractJlinkDriver {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

  // A binding on the handle of the library that the host's J-Link driver
  // loaded; that library is the host's and is never freed here.
  static std::shared_ptr<TJlink> CreateJlinkDriver(HMODULE handle);
  // A binding on the library loaded from the host's System folder, freed
  // with the binding; null when it does not load.
  static std::shared_ptr<TJlink> OpenJlinkDriver();
  ~TJlink() override;

  // Takes Handle (a host's) and binds every entry point again; a library the
  // binding loaded itself is freed first.
  void Rebind(HMODULE handle);
  HMODULE Handle() const { return FJlinkHandle.Get(); }
  bool OwnsLibrary() const { return FJlinkHandle.Owned(); }
  const std::vector<TJlinkFunction>& FunctionList() const { return FFunctionList; }

  // ---- Guarded calls: one operation per entry point, named after it. Each
  // takes the entry point's arguments and then, when it answers something, a
  // reference that receives the answer (0 unless the call took place), and
  // returns kJlinkCallDone, kJlinkCallMissing or kJlinkCallRaised.
#define TVK_JLINK_GUARDED_OPERATION(Index, Name, Result, Params) \
  template <class... A>                                           \
  uint32_t Name(A&&... args) {                                    \
    return Call<Index>(std::forward<A>(args)...);                 \
  }
  TVK_JLINK_ENTRY_POINTS(TVK_JLINK_GUARDED_OPERATION)
#undef TVK_JLINK_GUARDED_OPERATION

  // Opens the probe when needed; true while it sees a powered target.
  bool Initialize();
  bool Initialized() const { return FInitialized; }
  // The devices of the probe's chain (nothing in the module calls it); a status.
  uint32_t CreateDeviceInfoList();
  int32_t GetDeviceCount() const { return FDeviceCount; }
  // An empty record outside 0 .. GetDeviceCount() - 1.
  TJlinkDeviceInfo GetDeviceInfo(int32_t index) const;
  void Close();

  // Served: the library handle as the host carries it.
  HRESULT GetJlinkHandle(uint32_t& Result) override;

private:
  explicit TJlink(TForeignLibrary library);
  void ImportJlinkFunctions();

  // Entry points that are bound but never called: their calls answer missing.
  static constexpr bool NeverCalled(std::size_t entry) {
    return entry == jlink::eJLINKARM_IsConnected || entry == jlink::eJLINKARM_ResetNoHalt;
  }

  template <std::size_t Entry, class... A>
  uint32_t Call(A&&... args);

  TForeignLibrary FJlinkHandle;                // the library; freed only when loaded here
  std::vector<TJlinkFunction> FFunctionList;   // the 57 entry points in table order
  int32_t FDeviceCount = 0;                    // devices found on the probe's chain
  std::vector<TJlinkDeviceInfo> FDeviceInfoList;
  bool FInitialized = false;                   // open, with a powered target
};

template <std::size_t Entry, class... A>
uint32_t TJlink::Call(A&&... args) {
  using Fn = typename TJlinkEntryType<Entry>::Type;
  using Signature = TJlinkSignature<Fn>;
  using R = typename Signature::Result;
  constexpr std::size_t N = Signature::Arity;
  auto all = std::forward_as_tuple(args...);
  // The answer reads as 0 until the library delivered one.
  if constexpr (!std::is_void_v<R>) {
    static_assert(sizeof...(A) == N + 1, "the arguments, then a reference for the answer");
    static_assert(std::is_same_v<std::tuple_element_t<N, decltype(all)>, R&>, "the answer's reference type");
    std::get<N>(all) = R{};
  } else {
    static_assert(sizeof...(A) == N, "the entry point's arguments");
  }
  if (NeverCalled(Entry) || Entry >= FFunctionList.size() || !FFunctionList[Entry].Func) return kJlinkCallMissing;
  const Fn fn = reinterpret_cast<Fn>(FFunctionList[Entry].Func);
  const auto invoke = [&]<std::size_t... K>(std::index_sequence<K...>) { return fn(std::get<K>(all)...); };
  if constexpr (std::is_void_v<R>) {
    return CallForeign([&] { invoke(std::make_index_sequence<N>{}); }) ? kJlinkCallDone : kJlinkCallRaised;
  } else {
    R answer{};
    if (!CallForeign([&] { answer = invoke(std::make_index_sequence<N>{}); })) return kJlinkCallRaised;
    std::get<N>(all) = answer;
    return kJlinkCallDone;
  }
}

// Which register numbering a register access uses.
enum class TJlinkRegisterMap { V7M, ARM };

// The probe register index of a driver register number (numbers the map does
// not name pass unchanged).
int32_t JlinkRegisterIndex(TJlinkRegisterMap map, int32_t number);

// The key of an address in the list of probe breakpoints: "0x" and at least 8
// upper-case hexadecimal digits.
WideString JlinkBreakpointKey(int64_t address);

// The ARM operations on the probe. Every Cortex-M3 driver owns one from
// construction on; it gets its binding the first time a J-Link port of its
// channel is found. Served, counting no references. The statuses of the
// guarded calls are not looked at unless said: what did not take place reads
// as 0 and the operation answers success.
class TARMJlink final : public TAbstractJlinkDriver, public ICortexM3Jlink {
public:
  TARMJlink();
  ~TARMJlink() override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

  // ---- ICortexM3Jlink
  // Walks the host's ports: stops at the first J-Link port whose channel is
  // not Channel (an empty Channel compares nothing); each J-Link port of the
  // channel lends its driver's library handle, bound on first sight and
  // bound again when it changes.
  HRESULT ARM_IsOpen(const IJTagChannel& channel, bool& isOpen) override;
  // Registers the probe's breakpoint units with Manager once (at most
  // kJlinkMaxBreakpointUnits, none for a negative count).
  HRESULT ARM_Initialize(const IDeviceDebugManager& manager, bool& initialized) override;
  HRESULT ARM_Halt() override;
  HRESULT ARM_Continue() override;
  HRESULT ARM_SingleStep() override;
  HRESULT ARM_Reset() override;
  HRESULT ARM_ResetRegisters() override;
  HRESULT ARM_IsHalted(bool& halted) override;
  HRESULT ARM_ReadRegister(int32_t number, uint32_t& value) override;
  HRESULT ARM_WriteRegister(int32_t number, uint32_t value) override;
  HRESULT ARM_ReadByte(int64_t address, uint32_t& value) override;
  HRESULT ARM_ReadHalfWord(int64_t address, uint32_t& value) override;
  HRESULT ARM_ReadWord(int64_t address, uint32_t& value) override;
  HRESULT ARM_WriteByte(int64_t address, uint32_t value) override;
  HRESULT ARM_WriteHalfWord(int64_t address, uint32_t value) override;
  HRESULT ARM_WriteWord(int64_t address, uint32_t value) override;
  HRESULT ARM_ReadBytes(uint32_t* cells, int32_t index, int64_t address, int32_t count) override;
  HRESULT ARM_ReadWords(uint32_t* cells, int32_t index, int64_t address, int32_t count) override;
  HRESULT ARM_WriteBytes(uint32_t* cells, int32_t index, int64_t address, int32_t count) override;
  HRESULT ARM_WriteWords(uint32_t* cells, int32_t index, int64_t address, int32_t count) override;
  // The probe's handle is the soft breakpoint's replaced value. A handle of 0
  // (the probe set none) is listed all the same and reported nowhere: the
  // soft breakpoint's Enable answers true regardless. An address that is
  // already listed first gives its old probe breakpoint back, so no unit leaks.
  HRESULT ARM_AddBreakpoint(int64_t address, uint32_t& handle) override;
  HRESULT ARM_RemoveBreakpoint(int64_t address, bool& removed) override;

  // ---- Operations nothing in the driver calls
  // A binding of its own, loaded from the host's System folder and opened.
  HRESULT ARM_Open();
  // Closes the probe and lets the binding go.
  HRESULT ARM_Close();
  HRESULT ARM_SaveSate();
  HRESULT ARM_SetResetType(int32_t type);
  // Register access in the numbering of the given map.
  HRESULT ARM_ReadRegister(TJlinkRegisterMap map, int32_t number, uint32_t& value);
  HRESULT ARM_WriteRegister(TJlinkRegisterMap map, int32_t number, uint32_t value);
  HRESULT ARM_AddBreakpointEx(int64_t address, bool thumb, uint32_t& handle);

  // Served: this object has no handle of its own.
  HRESULT GetJlinkHandle(uint32_t& Result) override;

  const std::shared_ptr<TJlink>& Binding() const { return FJlink; }
  bool Initialized() const { return FInitialized; }
  // The probe breakpoints set as soft breakpoints, by key.
  const std::map<WideString, int32_t>& BreakpointList() const { return FBPList; }

private:
  // Runs Body on the binding when there is one (nothing takes place without).
  template <class F>
  HRESULT OnBinding(F&& body);
  HRESULT AddBreakpointInMode(int64_t address, uint32_t mode, uint32_t& handle);

  std::shared_ptr<TJlink> FJlink;       // the binding in use; shared with the probe's hard breakpoints
  bool FInitialized = false;            // the breakpoint units have been registered
  std::map<WideString, int32_t> FBPList;  // soft breakpoints: key -> the probe's breakpoint handle
};

// A hardware breakpoint set through the probe; the address, masks, data and
// control are kept for the host, the probe is given only the address.
class TARMJlinkHardBreakpoint final : public TAbstractHardBreakpoint {
public:
  // Created reset (not set).
  explicit TARMJlinkHardBreakpoint(std::shared_ptr<TJlink> jlink);

  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)
  TVK_HARD_BREAKPOINT_OPERATIONS(TVK_BREAKPOINT_OVERRIDE)

  int32_t Id() const { return FId; }

private:
  std::shared_ptr<TJlink> FJlink;  // the binding that sets it
  int32_t FId = kJlinkNoBreakpoint;
  THardBreakpointValues FValues;
};

}  // namespace tvk
