#include "ModuleImports.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <utility>

namespace hostsim {

namespace {

// The import table's slot of Library!Function in Module; null when the module
// imports no such function by name (or carries no names for its table).
void** ImportSlot(HMODULE module, const char* library, const char* function) {
  auto* base = reinterpret_cast<std::uint8_t*>(module);
  if (!base) return nullptr;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return nullptr;
  for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
       ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0 || !entry->OriginalFirstThunk)
      continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

// Writes a slot of the import table, which the loader may have left read-only.
bool WriteSlot(void** slot, void* value) {
  DWORD previous = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return false;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, previous, &previous);
  return true;
}

// The loader's notification of loads and unloads (ntdll, looked up by name).
constexpr ULONG kDllLoaded = 1, kDllUnloaded = 2;
template <typename TFunction>
TFunction NtdllFunction(const char* name) {
  return reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// What the loader tells of a module loaded or unloaded (one layout for both).
struct TLoadNote {
  struct TName {
    USHORT Length, MaximumLength;  // in bytes
    const wchar_t* Buffer;
  };
  ULONG Flags;
  const TName* FullName;
  const TName* FileName;
  void* Base;
  ULONG SizeOfImage;
};

std::atomic<ModuleLookups*> gLookups{nullptr};
using GetModuleHandleFn = HMODULE(WINAPI*)(LPCWSTR);
std::atomic<GetModuleHandleFn> gGetModuleHandle{nullptr};

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* library, const char* function, void* replacement) {
  void** slot = ImportSlot(module, library, function);
  if (!slot) return;
  void* original = *slot;
  if (WriteSlot(slot, replacement)) {
    FSlot = slot;
    FOriginal = original;
  }
}

ImportPatch::~ImportPatch() {
  if (FSlot) WriteSlot(FSlot, FOriginal);
}

using TLoadNotification = void(CALLBACK*)(ULONG, const void*, void*);
using TRegisterLoadNotification = LONG(NTAPI*)(ULONG, TLoadNotification, void*, void**);
using TUnregisterLoadNotification = LONG(NTAPI*)(void*);

ImportPatchAtLoad::ImportPatchAtLoad(std::wstring fileName, const char* library, const char* function,
                                     void* replacement)
    : FFileName(std::move(fileName)), FLibrary(library), FFunction(function), FReplacement(replacement) {
  auto enroll = NtdllFunction<TRegisterLoadNotification>("LdrRegisterDllNotification");
  if (enroll && enroll(0, &Notified, this, &FCookie) != 0) FCookie = nullptr;
}

ImportPatchAtLoad::~ImportPatchAtLoad() {
  if (FCookie) NtdllFunction<TUnregisterLoadNotification>("LdrUnregisterDllNotification")(FCookie);
  FPatch.reset();
}

void CALLBACK ImportPatchAtLoad::Notified(ULONG reason, const void* data, void* context) noexcept {
  auto* self = static_cast<ImportPatchAtLoad*>(context);
  const auto* note = static_cast<const TLoadNote*>(data);
  if (!note || !note->FileName || !note->FileName->Buffer) return;
  const std::wstring_view name(note->FileName->Buffer, note->FileName->Length / sizeof(wchar_t));
  if (reason == kDllLoaded && !self->FPatch && name.size() == self->FFileName.size() &&
      _wcsnicmp(name.data(), self->FFileName.c_str(), name.size()) == 0) {
    try {
      self->FModule = static_cast<HMODULE>(note->Base);
      self->FPatch = std::make_unique<ImportPatch>(self->FModule, self->FLibrary, self->FFunction, self->FReplacement);
    } catch (...) {  // the loader's callback: nothing may leave it
    }
  } else if (reason == kDllUnloaded && self->FPatch && note->Base == self->FModule) {
    self->FPatch->Forget();
  }
}

ModuleLookups::ModuleLookups(HMODULE caller, std::wstring fileName) : FFileName(std::move(fileName)) {
  ModuleLookups* none = nullptr;
  FOwner = gLookups.compare_exchange_strong(none, this);
  if (!FOwner) return;
  // The system function itself, bound before any import is routed here.
  if (!gGetModuleHandle.load())
    gGetModuleHandle = reinterpret_cast<GetModuleHandleFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetModuleHandleW")));
  FPatch = std::make_unique<ImportPatch>(caller, "kernel32.dll", "GetModuleHandleW", reinterpret_cast<void*>(&Counted));
}

ModuleLookups::~ModuleLookups() {
  FPatch.reset();  // the import holds the system function again before the count goes
  if (FOwner) gLookups = nullptr;
}

HMODULE WINAPI ModuleLookups::Counted(LPCWSTR name) noexcept {
  if (ModuleLookups* lookups = gLookups.load(); lookups && name && _wcsicmp(name, lookups->FFileName.c_str()) == 0)
    ++lookups->FCount;
  return gGetModuleHandle.load()(name);
}

}  // namespace hostsim
