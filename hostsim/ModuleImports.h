#pragma once
// Instruments on the host's side of a loaded module, for counts and times
// that the module's own interfaces do not show: one of the module's imports
// of a system function is routed through the simulator while an instrument
// lives. The module's code is not changed; every call still reaches the
// system function.
//
//   hostsim::ModuleLookups searches(module.Handle(), L"TovikManager.dll");
//   ... the module works ...
//   searches.Take();   // how often it looked for the device manager since
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace hostsim {

// Routes Module's import of Function (from the DLL named Library) to
// Replacement until destroyed. Inactive when the module imports no such
// function by name.
class ImportPatch {
public:
  ImportPatch(HMODULE module, const char* library, const char* function, void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Active() const { return FSlot != nullptr; }
  // The function the import held before (the replacement calls it on).
  void* Original() const { return FOriginal; }
  // The module went, and its table with it: nothing is written back.
  void Forget() { FSlot = nullptr; }

private:
  void** FSlot = nullptr;
  void* FOriginal = nullptr;
};

// An ImportPatch put on the module named FileName by the loader's own
// notification of its next load: after its imports are bound and before its
// entry procedure runs, so that what its start-up asks of the system is seen
// too. The routing ends when the instrument goes or the module is unloaded.
class ImportPatchAtLoad {
public:
  ImportPatchAtLoad(std::wstring fileName, const char* library, const char* function, void* replacement);
  ~ImportPatchAtLoad();
  ImportPatchAtLoad(const ImportPatchAtLoad&) = delete;
  ImportPatchAtLoad& operator=(const ImportPatchAtLoad&) = delete;

  // The loader's notifications reach the instrument.
  bool Armed() const { return FCookie != nullptr; }
  // The module was loaded and its import routed.
  bool Active() const { return FPatch && FPatch->Active(); }

private:
  // The loader calls it: throws nothing.
  static void CALLBACK Notified(ULONG reason, const void* data, void* context) noexcept;

  std::wstring FFileName;
  const char* FLibrary;
  const char* FFunction;
  void* FReplacement;
  HMODULE FModule = nullptr;
  void* FCookie = nullptr;
  std::unique_ptr<ImportPatch> FPatch;
};

// Counts a module's look-ups of another module by its file name: its calls of
// GetModuleHandleW with that name, with which every search of a host module
// begins. One instrument at a time per process; a second one stays inactive.
class ModuleLookups {
public:
  ModuleLookups(HMODULE caller, std::wstring fileName);
  ~ModuleLookups();
  ModuleLookups(const ModuleLookups&) = delete;
  ModuleLookups& operator=(const ModuleLookups&) = delete;

  bool Active() const { return FOwner && FPatch && FPatch->Active(); }
  // The look-ups since the instrument began or the last Take.
  long Take() { return FCount.exchange(0); }

private:
  static HMODULE WINAPI Counted(LPCWSTR name) noexcept;  // called by the module: throws nothing

  std::wstring FFileName;
  std::atomic<long> FCount{0};
  bool FOwner = false;
  std::unique_ptr<ImportPatch> FPatch;
};

}  // namespace hostsim
