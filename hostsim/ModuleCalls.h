#pragma once
// The host's side of a debug-driver module: loading it and finding its two
// exports, calling its objects by dispatch identifier, and the driver's
// memory-access interface. The simulator declares what it needs itself; it
// never includes the module's headers.
//
//   hostsim::LoadedModule module(L"STM32CortexM3.TVK");
//   IDispatch* driver = module.Driver(128);
//   hostsim::ModuleAnswer name = hostsim::CallModule(driver, hostsim::served::Driver_GetDeviceName);
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace hostsim {

// {DE05D751-32F9-4557-A7B6-678A8280E274}: the driver's memory access, beside
// its dispatch interface, called directly. A buffer holds Count cells of 32
// bits, one byte in the low 8 bits of each.
extern const IID IID_IMemoryAccess;

struct IMemoryAccess : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                               BOOL* Success) = 0;
  virtual HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                                int32_t Count, BOOL* Success) = 0;
};

// Dispatch identifiers the host calls on a driver, on its debug manager
// (through the driver, which passes on what it does not answer itself) and on
// a breakpoint.
namespace served {
constexpr DISPID SupportsService = 1023;
constexpr DISPID Driver_GetDeviceName = 503380;
constexpr DISPID Driver_GetDeviceDescription = 503381;
constexpr DISPID Driver_GetPackageName = 503393;
constexpr DISPID Driver_GetVendorName = 503407;
constexpr DISPID Driver_GetTovikDevice = 503753;
constexpr DISPID Driver_SetTovikDevice = 503754;
constexpr DISPID Driver_GetProcessorRegisterValue = 503767;
constexpr DISPID Driver_GetProcessorRegisterShortName = 503770;
constexpr DISPID Driver_GetProcessorRegisterCount = 503771;
constexpr DISPID Driver_GetRegisterIndex_PC = 503772;
constexpr DISPID Driver_GetRegisterIndex_SP = 503773;
constexpr DISPID Driver_ResetProcessor = 503796;
constexpr DISPID Driver_PauseProcessor = 503797;
constexpr DISPID Driver_ContinueProcessor = 503798;
constexpr DISPID Driver_ProcessorIsPaused = 503800;
constexpr DISPID Driver_ProcessorIsReset = 503801;
constexpr DISPID Driver_ProcessorIsRunning = 503802;
constexpr DISPID DebugManager_GetNewHardBreakpoint = 503949;
constexpr DISPID DebugManager_ReleaseBreakpoint = 503952;
constexpr DISPID DebugManager_GetAllocatedHardBreakPointCount = 503963;
constexpr DISPID DebugManager_GetHardBreakpointCount = 503972;
constexpr DISPID Breakpoint_Enable = 503453;
constexpr DISPID Breakpoint_Disable = 503454;
constexpr DISPID Breakpoint_GetAddress = 508547;
constexpr DISPID Breakpoint_SetAddress = 508548;
constexpr DISPID Driver_GetSelectedFlashWriter = 508744;
constexpr DISPID Driver_GetFlashWriterCount = 508745;
constexpr DISPID Driver_ShowFlashMemoryUtilityDialog = 508736;
constexpr DISPID Writer_GetRemoteDriverDeviceTitle = 508695;
constexpr DISPID Writer_GetRemoteDriverDeviceName = 508696;
constexpr DISPID Writer_GetIsDriverLoaded = 508705;
constexpr DISPID Writer_ProgramImage = 508719;
constexpr DISPID Writer_SetFlashWriterCallback = 508732;
}  // namespace served

// Arguments for CallModule; each call takes them over.
VARIANT ArgInt(long value);
VARIANT ArgInt64(long long value);
VARIANT ArgBool(bool value);
VARIANT ArgString(const wchar_t* value);
VARIANT ArgObject(IDispatch* object);  // one reference added, dropped after the call

// What one call answered: its result code and its result variant (owned).
class ModuleAnswer {
public:
  ModuleAnswer() { VariantInit(&FValue); }
  ModuleAnswer(ModuleAnswer&& o) noexcept;
  ModuleAnswer& operator=(ModuleAnswer&& o) noexcept;
  ModuleAnswer(const ModuleAnswer&) = delete;
  ModuleAnswer& operator=(const ModuleAnswer&) = delete;
  ~ModuleAnswer() { VariantClear(&FValue); }

  HRESULT Result = E_FAIL;
  VARIANT* Ptr() { return &FValue; }
  const VARIANT* Ptr() const { return &FValue; }
  VARTYPE Type() const { return FValue.vt; }
  // The value when the call succeeded with this kind; nothing otherwise.
  std::optional<bool> Bool() const;
  std::optional<std::uint32_t> Unsigned() const;  // VT_I4 or VT_UI4
  std::optional<std::wstring> Text() const;
  IDispatch* Object() const;  // borrowed; null unless a non-empty VT_DISPATCH

private:
  VARIANT FValue;
};

// IDispatch::Invoke as the host calls: a method call or property read, the
// arguments given in the host's order (argument 1 first).
ModuleAnswer CallModule(IDispatch* object, DISPID id, std::initializer_list<VARIANT> args = {});

// A module loaded as the host loads it, freed with this object. The host's
// own modules (SimHostModules.h) are loaded before it, as in the host.
class LoadedModule {
public:
  explicit LoadedModule(const wchar_t* path);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Loaded, with both exports.
  bool Ready() const { return FGetCount && FGetDriver; }
  DWORD LoadError() const { return FLoadError; }
  HMODULE Handle() const { return FHandle; }
  // GetTovikDriverCount's answer; -1 when it failed.
  int32_t DriverCount() const;
  // GetTovikDriver_Plugin's driver for Kind; null when none. Drivers count no
  // references: the pointer stays valid while the module is loaded.
  IDispatch* Driver(int32_t kind) const;
  // The first kind whose device name (GetDeviceName) begins with Prefix; -1 for none.
  int32_t FindKind(const std::wstring& prefix) const;

private:
  using GetCountFn = HRESULT(__stdcall*)(int32_t*);
  using GetDriverFn = HRESULT(__stdcall*)(int32_t, IDispatch**);
  HMODULE FHandle = nullptr;
  DWORD FLoadError = 0;
  GetCountFn FGetCount = nullptr;
  GetDriverFn FGetDriver = nullptr;
};

// The driver's IMemoryAccess (QueryInterface on its dispatch interface); null
// when it offers none. The driver counts no references on it.
IMemoryAccess* MemoryAccessOf(IDispatch* driver);
// One MemoryRead or MemoryWrite of memory space 0: true when the call
// succeeded and the driver reported success.
bool ReadMemory(IMemoryAccess* memory, std::uint32_t* cells, std::int64_t address, std::int32_t count);
bool WriteMemory(IMemoryAccess* memory, std::uint32_t* cells, std::int64_t address, std::int32_t count);

}  // namespace hostsim
