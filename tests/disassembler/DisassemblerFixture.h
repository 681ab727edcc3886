#pragma once
// A module folder of its own for the disassembler bridge: the stand-in ARM
// module and copies of the recording module under family file names, with a
// file of that folder standing in as the system's own module so that the
// bridge's default folder is this one. The recording copies' notes are read
// through their Recorder_* controls.
#include "ModuleInit.h"
#include "Tovik.Disassembler.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace disasm_test {

using Notes = std::vector<std::string>;

// A target name for a trace.
inline std::string Narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

// A reader over Cells captured at Base.
inline tvk::ComRef<tvk::IMemoryReader> Reader(std::int64_t base, std::span<const std::uint32_t> cells) {
  return tvk::ComRef<tvk::IMemoryReader>(tvk::New<tvk::TMemoryReader>(base, cells));
}

// Upper-case hexadecimal without a prefix, as the recording module notes numbers.
inline std::string ToHex(std::int64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
  return text;
}

inline std::wstring BuildDir() {
  const std::wstring module = TVK_MODULE_PATH;
  return module.substr(0, module.find_last_of(L"\\/") + 1);
}
inline std::wstring RecorderPath() { return std::wstring(HOSTSIM_SYSTEM_DIR) + L"\\DisasmRecorder.dll"; }
inline std::wstring ArmStandInPath() { return BuildDir() + L"DisasmARM.dll"; }

// One copy of the recording module, held loaded by the test.
class Recorder {
public:
  explicit Recorder(const std::wstring& path) : FPath(path), FHandle(LoadLibraryW(path.c_str())) {}
  ~Recorder() { Release(); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  bool Loaded() const { return FHandle != nullptr; }
  // Lets the test's hold go; the copy is then loaded only while the bridge holds it.
  void Release() {
    if (FHandle) FreeLibrary(FHandle);
    FHandle = nullptr;
  }
  bool LoadedByAnyone() const { return GetModuleHandleW(FPath.c_str()) != nullptr; }

  Notes TakeNotes() {
    Notes lines;
    if (auto take = Control<const char* (*)()>("Recorder_TakeNotes")) {
      std::istringstream text(take());
      for (std::string line; std::getline(text, line);) lines.push_back(line);
    }
    return lines;
  }
  void SetReads(std::int32_t count, std::uint32_t stride) {
    if (auto set = Control<void (*)(std::int32_t, std::uint32_t)>("Recorder_SetReads")) set(count, stride);
  }
  void SetReply(const char* text) {
    if (auto set = Control<void (*)(const char*)>("Recorder_SetReply")) set(text);
  }
  void SetAdvance(std::uint32_t bytes) {
    if (auto set = Control<void (*)(std::uint32_t)>("Recorder_SetAdvance")) set(bytes);
  }

private:
  template <class F>
  F Control(const char* name) const {
    return FHandle ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(FHandle, name))) : nullptr;
  }

  std::wstring FPath;
  HMODULE FHandle;
};

class DisassemblerTest : public ::testing::Test {
protected:
  void SetUp() override {
    tvk::DisassemblerUnitShutdown();  // a cache of another test's call must not answer
    Folder = Temp.Folder(L"module");
    ASSERT_TRUE(CopyFileW(RecorderPath().c_str(), (Folder + L"Anchor.dll").c_str(), FALSE));
    FAnchor = LoadLibraryW((Folder + L"Anchor.dll").c_str());
    ASSERT_NE(nullptr, FAnchor);
    FPreviousInstance = tvk::ModuleInstance();
    tvk::SetModuleInstance(FAnchor);
  }
  void TearDown() override {
    tvk::SetModuleInstance(FPreviousInstance);
    if (FAnchor) FreeLibrary(FAnchor);
    tvk::DisassemblerUnitShutdown();
  }

  // The recording module in the folder as File, held by the test.
  Recorder& RecordAs(const std::wstring& file) {
    auto& slot = FRecorders[file];
    if (!slot) {
      EXPECT_TRUE(CopyFileW(RecorderPath().c_str(), (Folder + file).c_str(), FALSE));
      slot = std::make_unique<Recorder>(Folder + file);
      EXPECT_TRUE(slot->Loaded());
    }
    return *slot;
  }
  void InstallArmStandIn() {
    ASSERT_TRUE(CopyFileW(ArmStandInPath().c_str(), (Folder + L"DisasmARM.dll").c_str(), FALSE));
  }

  testsupport::TestFolder Temp;
  std::wstring Folder;  // with "\"

private:
  HMODULE FAnchor = nullptr;
  HINSTANCE FPreviousInstance = nullptr;
  std::map<std::wstring, std::unique_ptr<Recorder>> FRecorders;
};

}  // namespace disasm_test
