#include "ModuleCalls.h"

#include "SimHostModules.h"

#include <utility>
#include <vector>

namespace hostsim {

const IID IID_IMemoryAccess = {0xDE05D751, 0x32F9, 0x4557, {0xA7, 0xB6, 0x67, 0x8A, 0x82, 0x80, 0xE2, 0x74}};

VARIANT ArgInt(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT ArgInt64(long long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I8;
  v.llVal = value;
  return v;
}

VARIANT ArgBool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT ArgString(const wchar_t* value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(value);
  return v;
}

VARIANT ArgObject(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  if (object) object->AddRef();
  return v;
}

ModuleAnswer::ModuleAnswer(ModuleAnswer&& o) noexcept : Result(o.Result) {
  FValue = o.FValue;
  VariantInit(&o.FValue);
}

ModuleAnswer& ModuleAnswer::operator=(ModuleAnswer&& o) noexcept {
  if (this != &o) {
    VariantClear(&FValue);
    Result = o.Result;
    FValue = o.FValue;
    VariantInit(&o.FValue);
  }
  return *this;
}

std::optional<bool> ModuleAnswer::Bool() const {
  if (FAILED(Result) || FValue.vt != VT_BOOL) return std::nullopt;
  return FValue.boolVal != VARIANT_FALSE;
}

std::optional<std::uint32_t> ModuleAnswer::Unsigned() const {
  if (FAILED(Result) || (FValue.vt != VT_I4 && FValue.vt != VT_UI4)) return std::nullopt;
  return std::uint32_t(FValue.lVal);
}

std::optional<std::wstring> ModuleAnswer::Text() const {
  if (FAILED(Result) || FValue.vt != VT_BSTR) return std::nullopt;
  return FValue.bstrVal ? std::wstring(FValue.bstrVal, SysStringLen(FValue.bstrVal)) : std::wstring();
}

IDispatch* ModuleAnswer::Object() const {
  return SUCCEEDED(Result) && FValue.vt == VT_DISPATCH ? FValue.pdispVal : nullptr;
}

ModuleAnswer CallModule(IDispatch* object, DISPID id, std::initializer_list<VARIANT> args) {
  // Invoke takes the arguments last first.
  std::vector<VARIANT> rgvarg(std::rbegin(args), std::rend(args));
  DISPPARAMS params{rgvarg.empty() ? nullptr : rgvarg.data(), nullptr, UINT(rgvarg.size()), 0};
  ModuleAnswer answer;
  answer.Result = object ? object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                                          answer.Ptr(), nullptr, nullptr)
                         : E_POINTER;
  for (VARIANT& v : rgvarg) VariantClear(&v);
  return answer;
}

LoadedModule::LoadedModule(const wchar_t* path) {
  HostDeviceManager();  // the host has its own modules loaded before it loads a plug-in
  FHandle = LoadLibraryW(path);
  if (!FHandle) {
    FLoadError = GetLastError();
    return;
  }
  FGetCount = reinterpret_cast<GetCountFn>(reinterpret_cast<void*>(GetProcAddress(FHandle, "GetTovikDriverCount")));
  FGetDriver =
      reinterpret_cast<GetDriverFn>(reinterpret_cast<void*>(GetProcAddress(FHandle, "GetTovikDriver_Plugin")));
}

LoadedModule::~LoadedModule() {
  if (FHandle) FreeLibrary(FHandle);
}

int32_t LoadedModule::DriverCount() const {
  int32_t count = 0;
  return FGetCount && SUCCEEDED(FGetCount(&count)) ? count : -1;
}

IDispatch* LoadedModule::Driver(int32_t kind) const {
  IDispatch* driver = nullptr;
  if (!FGetDriver || FAILED(FGetDriver(kind, &driver))) return nullptr;
  return driver;
}

int32_t LoadedModule::FindKind(const std::wstring& prefix) const {
  const int32_t count = DriverCount();
  for (int32_t kind = 0; kind < count; ++kind) {
    const std::optional<std::wstring> name = CallModule(Driver(kind), served::Driver_GetDeviceName).Text();
    if (name && name->compare(0, prefix.size(), prefix) == 0) return kind;
  }
  return -1;
}

IMemoryAccess* MemoryAccessOf(IDispatch* driver) {
  void* memory = nullptr;
  if (!driver || FAILED(driver->QueryInterface(IID_IMemoryAccess, &memory))) return nullptr;
  return static_cast<IMemoryAccess*>(memory);
}

bool ReadMemory(IMemoryAccess* memory, std::uint32_t* cells, std::int64_t address, std::int32_t count) {
  BOOL success = FALSE;
  return memory->MemoryRead(0, cells, address, count, &success) == S_OK && success;
}

bool WriteMemory(IMemoryAccess* memory, std::uint32_t* cells, std::int64_t address, std::int32_t count) {
  BOOL success = FALSE;
  return memory->MemoryWrite(0, cells, address, count, &success) == S_OK && success;
}

}  // namespace hostsim
