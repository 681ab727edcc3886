// The simulated host program: loads a debug-driver module as the host does and
// drives it only through its exports, its dispatch interfaces and its memory
// access, printing what the module answered: first every device kind, then a
// simulated STM32F103 attached on a JTAG chain, its flash programmed from a
// HEX file through the driver's flash writer, and the program debugged; then
// the same through a J-Link probe.
#include "ModuleCalls.h"
#include "SimClient.h"
#include "SimDeviceLink.h"
#include "SimFlashCallback.h"
#include "SimScript.h"
#include "SimFlashProgrammer.h"
#include "SimHost.h"
#include "SimJlink.h"
#include "SimRack.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

// The host's own folder and its System folder, where its modules lie.
std::wstring HostFolder() {
  wchar_t name[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, name, MAX_PATH + 1);
  std::wstring s = name;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

std::wstring FolderOf(const std::wstring& file) {
  wchar_t full[MAX_PATH + 1] = {};
  GetFullPathNameW(file.c_str(), MAX_PATH + 1, full, nullptr);
  std::wstring s = full;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

// A string property, or a note in its place on failure, which clears Ok.
std::wstring Text(IDispatch* object, DISPID id, bool& ok) {
  hostsim::ModuleAnswer answer = CallModule(object, id);
  if (std::optional<std::wstring> text = answer.Text()) return *text;
  wchar_t failed[40];
  swprintf(failed, 40, L"<failed 0x%08lX>", static_cast<unsigned long>(answer.Result));
  ok = false;
  return failed;
}

const char* YesNo(std::optional<bool> answer) { return !answer ? "failed" : *answer ? "true" : "false"; }

// Every kind the module offers, with its description; true when all were.
bool ListKinds(const hostsim::LoadedModule& module) {
  const int32_t count = module.DriverCount();
  std::printf("GetTovikDriverCount: %d device kinds\n", count);
  int created = 0, supporting = 0, described = 0;
  for (int32_t kind = 0; kind < count; ++kind) {
    IDispatch* driver = module.Driver(kind);
    if (!driver) {
      std::printf("kind %3d: no driver\n", kind);
      continue;
    }
    ++created;
    const std::optional<bool> answer =
        CallModule(driver, served::SupportsService, {hostsim::ArgString(L"TovikDriver")}).Bool();
    supporting += answer == true;
    bool ok = true;
    std::wstring description = Text(driver, served::Driver_GetDeviceDescription, ok);
    std::wstring package = Text(driver, served::Driver_GetPackageName, ok);
    described += ok && !Text(driver, served::Driver_GetVendorName, ok).empty();  // vendor, family and part number
    std::printf("kind %3d: %-46ls package %-10ls SupportsService(\"TovikDriver\") = %s\n", kind,
                description.c_str(), package.c_str(), YesNo(answer));
  }
  std::printf("%d drivers created, %d support \"TovikDriver\", %d described\n", created, supporting, described);
  return count > 0 && created == count && described == count;
}

// ---- The simulated STM32F103 and its program

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;
constexpr std::uint32_t kCounter = 0x20000400;  // where the program counts
constexpr std::uint32_t kDone = 0x08000014;     // reached when it has counted to 100
constexpr int kCountTo = 100;

// The program file, beside this program: the vector table (stack at
// 0x20005000, reset at 0x08000009) and code that counts to 100 in a word of
// RAM, then stays at "done":
//   08000008  MOVS R0,#0
//   0800000A  LDR  R1,[PC,#16]   ; =kCounter, the literal at 0800001C
//   0800000C  ADDS R0,#1         ; loop
//   0800000E  STR  R0,[R1]
//   08000010  CMP  R0,#100
//   08000012  BNE  loop
//   08000014  MOVS R2,#1         ; done
//   08000016  B    .
constexpr wchar_t kProgramFile[] = L"Counter.hex";

// What the board's RAM holds when the host attaches; its flash is erased.
constexpr char kRamText[] = "Simulated SRAM of an STM32F103.";

void LoadBoard(hostsim::SimCortexM3& chip) {
  chip.Load(kSram, std::span(reinterpret_cast<const std::uint8_t*>(kRamText), sizeof kRamText));
  chip.PowerOnReset();
}

// A program file's bytes from their first address on (gaps read as erased flash).
struct ProgramImage {
  std::uint32_t Address = 0;
  std::vector<std::uint8_t> Bytes;
};

// Reads an Intel HEX file: data, end-of-file and extended linear address
// records, each with its checksum.
std::optional<ProgramImage> ReadHexFile(const std::wstring& path) {
  std::ifstream in(path.c_str());
  std::map<std::uint32_t, std::uint8_t> bytes;
  std::uint32_t upper = 0;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty()) continue;
    if (line[0] != ':' || line.size() < 11 || line.size() % 2 == 0) return std::nullopt;
    std::vector<std::uint8_t> record;
    for (std::size_t k = 1; k + 1 < line.size(); k += 2) record.push_back(std::uint8_t(std::stoul(line.substr(k, 2), nullptr, 16)));
    std::uint8_t sum = 0;
    for (std::uint8_t b : record) sum = std::uint8_t(sum + b);
    if (sum != 0 || record.size() != std::size_t(record[0]) + 5) return std::nullopt;
    const std::uint32_t offset = std::uint32_t(record[1]) << 8 | record[2];
    switch (record[3]) {
      case 0:
        for (std::size_t k = 0; k < record[0]; ++k) bytes[upper + offset + std::uint32_t(k)] = record[4 + k];
        break;
      case 1: break;
      case 4: upper = (std::uint32_t(record[4]) << 8 | record[5]) << 16; break;
      default: return std::nullopt;
    }
  }
  if (bytes.empty()) return std::nullopt;
  ProgramImage image;
  image.Address = bytes.begin()->first;
  image.Bytes.assign(bytes.rbegin()->first - image.Address + 1, 0xFF);
  for (const auto& [address, value] : bytes) image.Bytes[address - image.Address] = value;
  return image;
}

// The host's own image object, as the flash writers read one: the target
// address (508709), the length (508711) and one byte per element (508713).
hostsim::SimRef<hostsim::FakeHostObject> ServeImage(const ProgramImage& image) {
  auto served = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  served->ReturnInt(508709, long(image.Address));
  served->ReturnInt(508711, long(image.Bytes.size()));
  served->Serve(508713, "i", [bytes = image.Bytes](std::vector<VARIANT*>& args, VARIANT* result) {
    const long index = args[0]->lVal;
    hostsim::SetResultInt(result, index >= 0 && std::size_t(index) < bytes.size() ? bytes[std::size_t(index)] : 0);
    return S_OK;
  });
  return served;
}

// ---- The host's side

void PrintBytes(std::uint32_t address, const std::vector<std::uint32_t>& cells) {
  for (std::size_t line = 0; line < cells.size(); line += 16) {
    std::printf("  %08lX:", static_cast<unsigned long>(address + line));
    std::string text;
    for (std::size_t k = line; k < cells.size() && k < line + 16; ++k) {
      std::printf(" %02X", static_cast<unsigned>(cells[k]));
      text += cells[k] >= 0x20 && cells[k] < 0x7F ? char(cells[k]) : '.';
    }
    std::printf("  %s\n", text.c_str());
  }
}

std::optional<std::uint32_t> Register(IDispatch* driver, int32_t index) {
  return CallModule(driver, served::Driver_GetProcessorRegisterValue, {hostsim::ArgInt(index)}).Unsigned();
}

std::string Hex(std::optional<std::uint32_t> value) {
  if (!value) return "failed";
  char text[12];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(*value));
  return text;
}

std::string Count(std::optional<std::uint32_t> value) { return value ? std::to_string(*value) : "failed"; }

class Road {
public:
  // ByDialog: the user programs the flash in the driver's flash dialog.
  Road(IDispatch* driver, hostsim::SimBoard& board, bool byDialog = false)
      : FDriver(driver), FBoard(board), FByDialog(byDialog) {}

  bool Run() {
    return Attach() && (FByDialog ? ProgramFlashInDialog() : ProgramFlash()) && RackViewer() && Halt() && ReadRegisters() && ReadRam() && WriteRam() && SetBreakpoint() &&
           RunToBreakpoint();
  }
  // Takes the breakpoint back and the device away, as the host does when it detaches.
  void Detach() {
    if (IDispatch* breakpoint = FBreakpoint.Object()) {
      CallModule(breakpoint, served::Breakpoint_Disable);
      CallModule(FDriver, served::DebugManager_ReleaseBreakpoint, {hostsim::ArgObject(breakpoint)});
      FBreakpoint = hostsim::ModuleAnswer();
    }
    if (FMemory) FMemory->Release();
    FMemory = nullptr;
    CallModule(FDriver, served::Driver_SetTovikDevice, {hostsim::ArgObject(nullptr)});
  }

private:
  bool Attach() {
    const std::optional<bool> lent =
        CallModule(FDriver, served::Driver_SetTovikDevice, {hostsim::ArgObject(FBoard.DeviceDispatch())}).Bool();
    std::printf("SetTovikDevice (chain index %ld): %s\n", FBoard.Device().ChainIndex(), YesNo(lent));
    // The first status query sets the core's debug units up.
    const std::optional<bool> running = CallModule(FDriver, served::Driver_ProcessorIsRunning).Bool();
    std::printf("ProcessorIsRunning: %s; hardware breakpoints: %s\n", YesNo(running),
                Count(CallModule(FDriver, served::DebugManager_GetHardBreakpointCount).Unsigned()).c_str());
    FMemory = hostsim::MemoryAccessOf(FDriver);
    std::printf("IMemoryAccess: %s\n", FMemory ? "offered" : "not offered");
    return lent == true && running && FMemory;
  }

  // The program file into flash through the driver's selected writer, with
  // verify, as the flash memory utility dialog does; then read back.
  bool ProgramFlash() {
    const std::optional<ProgramImage> file = ReadHexFile(HostFolder() + kProgramFile);
    if (!file) {
      std::printf("program file %ls: not read\n", kProgramFile);
      return false;
    }
    std::printf("program file %ls: %zu bytes at 0x%08lX\n", kProgramFile, file->Bytes.size(),
                static_cast<unsigned long>(file->Address));
    FWriter = CallModule(FDriver, served::Driver_GetSelectedFlashWriter);
    IDispatch* writer = FWriter.Object();
    const std::optional<std::uint32_t> writers = CallModule(FDriver, served::Driver_GetFlashWriterCount).Unsigned();
    if (!writer) {
      std::printf("GetSelectedFlashWriter: none of %s\n", Count(writers).c_str());
      return false;
    }
    bool ok = true;
    const std::wstring title = Text(writer, served::Writer_GetRemoteDriverDeviceTitle, ok);
    const std::wstring name = Text(writer, served::Writer_GetRemoteDriverDeviceName, ok);
    const std::optional<bool> loaded = CallModule(writer, served::Writer_GetIsDriverLoaded).Bool();
    std::printf("GetSelectedFlashWriter: \"%ls\" (%ls), one of %s writers; remote driver loaded: %s\n", title.c_str(),
                name.c_str(), Count(writers).c_str(), YesNo(loaded));

    auto callback = hostsim::SimRef<hostsim::SimFlashCallback>::Adopt(new hostsim::SimFlashCallback);
    CallModule(writer, served::Writer_SetFlashWriterCallback, {hostsim::ArgObject(callback.Get())});
    auto image = ServeImage(*file);
    // Flash space 0; automatic checksum, preserve sector data and reset after load off; verify on.
    const hostsim::ModuleAnswer program =
        CallModule(writer, served::Writer_ProgramImage,
                   {hostsim::ArgInt(0), hostsim::ArgObject(image.Get()), hostsim::ArgBool(false),
                    hostsim::ArgBool(false), hostsim::ArgBool(false), hostsim::ArgBool(true)});
    const std::optional<std::uint32_t> status = program.Unsigned();
    const std::vector<long>& progress = callback->Progress();
    std::printf("ProgramImage with verify: 0x%08lX, status %s; progress %ld to %ld in %zu steps\n",
                static_cast<unsigned long>(program.Result), Count(status).c_str(),
                progress.empty() ? -1L : progress.front(), progress.empty() ? -1L : progress.back(), progress.size());
    CallModule(writer, served::Writer_SetFlashWriterCallback, {hostsim::ArgObject(nullptr)});

    std::vector<std::uint32_t> cells(file->Bytes.size(), 0xFFFFFFFF);
    BOOL success = FALSE;
    FMemory->MemoryRead(0, cells.data(), file->Address, int32_t(cells.size()), &success);
    const bool same = success && std::equal(cells.begin(), cells.end(), file->Bytes.begin());
    std::printf("flash read back at 0x%08lX: %s\n", static_cast<unsigned long>(file->Address),
                same ? "the bytes of the file" : "DIFFERENT bytes");
    PrintBytes(file->Address, cells);
    ok = ok && loaded == true && program.Result == S_OK && status == 0u && same;
    std::printf("flash programmed through the driver's writer: %s\n", ok ? "programmed and verified" : "FAILED");
    return ok;
  }

  // The host opens the driver's flash memory utility dialog for the device's
  // link; a script plays the user: a file download with verify, then a
  // verify against flash, then Close. The flash is read back afterwards.
  bool ProgramFlashInDialog() {
    const std::optional<ProgramImage> file = ReadHexFile(HostFolder() + kProgramFile);
    if (!file) {
      std::printf("program file %ls: not read\n", kProgramFile);
      return false;
    }
    const std::wstring path = HostFolder() + kProgramFile;
    const std::wstring& device = FBoard.Chip().Config().DeviceName;
    auto link = hostsim::SimRef<hostsim::SimDeviceLink>::Adopt(new hostsim::SimDeviceLink(device));
    hostsim::SetDriverManagerDevice(HostFolder() + L"System", device, FBoard.DeviceDispatch());
    hostsim::SimScript script;
    script.OnLog = [](const std::wstring& step) { std::printf("  dialog: %ls\n", step.c_str()); };
    script.Click(L"radioDownloadFile")
        .Type(L"EditFilename", path)
        .Click(L"CheckVerifyWrite")
        .Click(L"ButtonDownloadToFlash")
        .Click(L"ButtonVerify")
        .Box(IDOK)
        .Click(L"buttonClose");
    std::printf("ShowFlashMemoryUtilityDialog for %ls (target address kept), %ls\n", device.c_str(), path.c_str());
    script.Start();
    const hostsim::ModuleAnswer shown =
        CallModule(FDriver, served::Driver_ShowFlashMemoryUtilityDialog, {hostsim::ArgObject(link.Get())});
    hostsim::SetDriverManagerDevice(HostFolder() + L"System", device, nullptr);
    const std::wstring expected =
        L"Compared Bytes: " + std::to_wstring(file->Bytes.size()) + L"\r\nFile and Flash are identical";
    const bool compared = script.Boxes().size() == 1 && script.Boxes()[0].Caption == L"Compare File to Flash" &&
                          script.Boxes()[0].Text == expected;
    std::printf("dialog closed: 0x%08lX; script %s in %d ticks%s%ls; comparison %s\n",
                static_cast<unsigned long>(shown.Result), script.Finished() ? "finished" : "NOT finished",
                script.Ticks(), script.Failed() ? ", " : "", script.Failure().c_str(),
                compared ? "as expected" : "NOT as expected");

    std::vector<std::uint32_t> cells(file->Bytes.size(), 0xFFFFFFFF);
    BOOL success = FALSE;
    FMemory->MemoryRead(0, cells.data(), file->Address, int32_t(cells.size()), &success);
    const bool same = success && std::equal(cells.begin(), cells.end(), file->Bytes.begin());
    std::printf("flash read back at 0x%08lX: %s\n", static_cast<unsigned long>(file->Address),
                same ? "the bytes of the file" : "DIFFERENT bytes");
    PrintBytes(file->Address, cells);
    const bool ok = shown.Result == S_OK && script.Finished() && !script.Failed() && compared && same;
    std::printf("flash programmed in the flash dialog: %s\n", ok ? "programmed and verified" : "FAILED");
    return ok;
  }

  bool Halt() {
    const HRESULT hr = CallModule(FDriver, served::Driver_PauseProcessor).Result;
    const std::optional<bool> paused = CallModule(FDriver, served::Driver_ProcessorIsPaused).Bool();
    std::printf("PauseProcessor: 0x%08lX; ProcessorIsPaused: %s\n", static_cast<unsigned long>(hr), YesNo(paused));
    return paused == true;
  }

  bool ReadRegisters() {
    const std::optional<std::uint32_t> count = CallModule(FDriver, served::Driver_GetProcessorRegisterCount).Unsigned();
    std::printf("core registers (%s):\n", count ? std::to_string(*count).c_str() : "count failed");
    bool ok = count.has_value();
    for (int32_t index = 0; ok && index < int32_t(*count); ++index) {
      const std::optional<std::wstring> name =
          CallModule(FDriver, served::Driver_GetProcessorRegisterShortName, {hostsim::ArgInt(index)}).Text();
      const std::optional<std::uint32_t> value = Register(FDriver, index);
      ok = name && value;
      std::printf("%s%-9ls %s", index % 5 == 0 ? "  " : "   ", name ? name->c_str() : L"?", Hex(value).c_str());
      if (index % 5 == 4 || index + 1 == int32_t(*count)) std::printf("\n");
    }
    return ok;
  }

  bool ReadRam() {
    std::vector<std::uint32_t> cells(32, 0xFFFFFFFF);
    BOOL success = FALSE;
    const HRESULT hr = FMemory->MemoryRead(0, cells.data(), kSram, int32_t(cells.size()), &success);
    std::printf("MemoryRead %zu bytes at 0x%08lX: 0x%08lX, success %s\n", cells.size(),
                static_cast<unsigned long>(kSram), static_cast<unsigned long>(hr), success ? "true" : "false");
    PrintBytes(kSram, cells);
    return SUCCEEDED(hr) && success;
  }

  // An unaligned range, so head bytes, words and tail bytes all take part.
  bool WriteRam() {
    constexpr std::uint32_t at = kSram + 0x103;
    std::vector<std::uint32_t> written(13);
    for (std::size_t k = 0; k < written.size(); ++k) written[k] = std::uint32_t(0xA0 + 7 * k) & 0xFF;
    std::vector<std::uint32_t> cells = written;
    BOOL wrote = FALSE, read = FALSE;
    const HRESULT hw = FMemory->MemoryWrite(0, cells.data(), at, int32_t(cells.size()), &wrote);
    std::fill(cells.begin(), cells.end(), 0xFFFFFFFF);
    const HRESULT hr = FMemory->MemoryRead(0, cells.data(), at, int32_t(cells.size()), &read);
    const bool same = cells == written;
    std::printf("MemoryWrite %zu bytes at 0x%08lX: 0x%08lX, success %s; MemoryRead back: 0x%08lX, success %s, %s\n",
                written.size(), static_cast<unsigned long>(at), static_cast<unsigned long>(hw), wrote ? "true" : "false",
                static_cast<unsigned long>(hr), read ? "true" : "false", same ? "the same bytes" : "DIFFERENT bytes");
    PrintBytes(at, cells);
    return SUCCEEDED(hw) && SUCCEEDED(hr) && wrote && read && same;
  }

  // Through the driver: it passes the debug manager's identifiers on.
  bool SetBreakpoint() {
    FBreakpoint = CallModule(FDriver, served::DebugManager_GetNewHardBreakpoint);
    IDispatch* breakpoint = FBreakpoint.Object();
    std::printf("GetNewHardBreakpoint: %s\n", breakpoint ? "a breakpoint" : "none");
    if (!breakpoint) return false;
    const HRESULT hr = CallModule(breakpoint, served::Breakpoint_SetAddress, {hostsim::ArgInt64(kDone)}).Result;
    const std::optional<bool> enabled = CallModule(breakpoint, served::Breakpoint_Enable).Bool();
    std::printf("SetAddress 0x%08lX: 0x%08lX; Enable: %s; allocated hardware breakpoints: %s\n",
                static_cast<unsigned long>(kDone), static_cast<unsigned long>(hr), YesNo(enabled),
                Count(CallModule(FDriver, served::DebugManager_GetAllocatedHardBreakPointCount).Unsigned()).c_str());
    return SUCCEEDED(hr) && enabled == true;
  }

  // The driver's rack viewer in a rack window of the host: it polls the core,
  // real clicks on its Continue and Pause keys drive it, then it is let go.
  bool RackViewer() {
    constexpr DISPID kCreateRackViewer = 503759, kGetRackViewer = 503760, kReleaseResources = 503812;
    constexpr DISPID kSetParentWindow = 49, kAttachToParent = 50, kGetCaption = 53, kSetBounds = 56, kShow = 58,
                     kGetPreferredBounds = 503700, kRelease = 503704, kGetStateText = 503645,
                     kUpdateDisplay = 503697;
    FBoard.Device().SetDriver(FDriver);  // the host's device fronts its driver
    const HRESULT created = CallModule(FDriver, kCreateRackViewer).Result;
    hostsim::ModuleAnswer viewAnswer = CallModule(FDriver, kGetRackViewer);
    IDispatch* view = viewAnswer.Object();
    std::printf("CreateRackViewer: 0x%08lX; GetRackViewer: %s\n", static_cast<unsigned long>(created),
                view ? "a viewer" : "none");
    if (!view) return false;
    const hostsim::SimRef<hostsim::SimRack> rack = hostsim::SimRack::Make();
    CallModule(view, kSetParentWindow, {hostsim::ArgObject(rack.Get())});
    CallModule(view, kAttachToParent);
    long bounds[4] = {-1, -1, -1, -1};
    VARIANT refs[4];
    for (int i = 0; i < 4; ++i) {
      VariantInit(&refs[i]);
      refs[i].vt = VT_BYREF | VT_I4;
      refs[i].plVal = &bounds[i];
    }
    const HRESULT preferred = CallModule(view, kGetPreferredBounds, {refs[0], refs[1], refs[2], refs[3]}).Result;
    CallModule(view, kSetBounds, {hostsim::ArgInt(bounds[0]), hostsim::ArgInt(bounds[1]), hostsim::ArgInt(bounds[2]),
                                  hostsim::ArgInt(bounds[3])});
    CallModule(view, kShow);
    CallModule(view, kUpdateDisplay);  // the plate's identification line
    bool ok = true;
    std::printf("rack viewer \"%ls\": preferred bounds %ld, %ld, %ld x %ld (0x%08lX)\n",
                Text(view, kGetCaption, ok).c_str(), bounds[0], bounds[1], bounds[2], bounds[3],
                static_cast<unsigned long>(preferred));
    // The viewer polls the core while the host's message loop runs.
    const auto loop = [](DWORD milliseconds) {
      const DWORD start = GetTickCount();
      while (GetTickCount() - start < milliseconds) {
        hostsim::PumpMessages();
        Sleep(10);
      }
    };
    const std::size_t polls = FBoard.Device().CallCount(kGetStateText);
    loop(1000);
    std::printf("polls in a second: %zu\n", FBoard.Device().CallCount(kGetStateText) - polls);
    bool clicked = true;
    for (const wchar_t* key : {L"Button_Continue", L"Button_Pause"}) {
      clicked = hostsim::ClickModuleControl(rack->Window(), key) && clicked;
      loop(300);
      const std::optional<bool> running = CallModule(FDriver, served::Driver_ProcessorIsRunning).Bool();
      std::printf("click %ls: ProcessorIsRunning %s, state \"%ls\"\n", key, YesNo(running),
                  Text(FBoard.DeviceDispatch(), kGetStateText, ok).c_str());
    }
    const bool pausedAtEnd = CallModule(FDriver, served::Driver_ProcessorIsPaused).Bool() == true;
    const HRESULT released = CallModule(view, kRelease).Result;
    viewAnswer = hostsim::ModuleAnswer();
    const HRESULT freed = CallModule(FDriver, kReleaseResources).Result;
    hostsim::PumpMessages();
    const bool gone = !hostsim::FindModuleControl(rack->Window(), L"Panel_Main");
    std::printf("Release: 0x%08lX; ReleaseResources: 0x%08lX; the viewer %s\n", static_cast<unsigned long>(released),
                static_cast<unsigned long>(freed), gone ? "is gone" : "is still held");
    FBoard.Device().SetDriver(nullptr);
    return ok && clicked && pausedAtEnd && SUCCEEDED(created) && SUCCEEDED(preferred) && bounds[2] == 724 &&
           released == S_OK && freed == S_OK && gone;
  }

  // From a reset, the program counts and the core stops at the breakpoint.
  bool RunToBreakpoint() {
    const int32_t pc = int32_t(CallModule(FDriver, served::Driver_GetRegisterIndex_PC).Unsigned().value_or(15));
    const int32_t sp = int32_t(CallModule(FDriver, served::Driver_GetRegisterIndex_SP).Unsigned().value_or(13));
    const HRESULT reset = CallModule(FDriver, served::Driver_ResetProcessor).Result;
    const std::optional<bool> isReset = CallModule(FDriver, served::Driver_ProcessorIsReset).Bool();
    std::printf("ResetProcessor: 0x%08lX; ProcessorIsReset: %s; PC %s, SP %s\n", static_cast<unsigned long>(reset),
                YesNo(isReset), Hex(Register(FDriver, pc)).c_str(), Hex(Register(FDriver, sp)).c_str());

    const HRESULT go = CallModule(FDriver, served::Driver_ContinueProcessor).Result;
    constexpr int kMaxPolls = 1000;
    int polls = 0;
    std::optional<bool> paused;
    while (polls < kMaxPolls && (paused = CallModule(FDriver, served::Driver_ProcessorIsPaused).Bool()) == false) ++polls;
    std::printf("ContinueProcessor: 0x%08lX; ProcessorIsPaused: %s after %d polls\n", static_cast<unsigned long>(go),
                YesNo(paused), polls + 1);

    const std::optional<std::uint32_t> at = Register(FDriver, pc), r0 = Register(FDriver, 0);
    std::uint32_t counter[4] = {};
    BOOL success = FALSE;
    FMemory->MemoryRead(0, counter, kCounter, 4, &success);
    const std::uint32_t count = counter[0] | counter[1] << 8 | counter[2] << 16 | counter[3] << 24;
    std::printf("stopped with PC %s, R0 %s; the counter at 0x%08lX reads %lu\n", Hex(at).c_str(), Hex(r0).c_str(),
                static_cast<unsigned long>(kCounter), static_cast<unsigned long>(count));
    const bool ok = reset == S_OK && isReset == true && go == S_OK && paused == true && at == kDone && r0 == std::uint32_t(kCountTo) && success && count == kCountTo;
    if (ok) {
      std::printf("run to the hardware breakpoint: stopped at 0x%08lX after counting to %d\n",
                  static_cast<unsigned long>(kDone), kCountTo);
    } else {
      std::printf("run to the hardware breakpoint: FAILED\n");
    }
    return ok;
  }

  IDispatch* FDriver;
  hostsim::SimBoard& FBoard;
  hostsim::IMemoryAccess* FMemory = nullptr;
  hostsim::ModuleAnswer FBreakpoint;
  hostsim::ModuleAnswer FWriter;  // the driver's selected flash writer
  bool FByDialog;
};

// Attaches a simulated STM32F103 behind a bypass device and debugs it through
// the driver of its kind; true when every step answered as it should.
bool DebugSimulatedChip(const hostsim::LoadedModule& module) {
  auto board = hostsim::SimBoard::Stm32F103BehindBypass();
  LoadBoard(board->Chip());
  // Flash that only the stand-in target-resident programs change.
  hostsim::SimFlashProgrammer flash(board->Chip(), hostsim::SimFlashLayout::Stm32F10x(board->Chip().Config().FlashSize));
  const std::wstring& device = board->Chip().Config().DeviceName;
  const int32_t kind = module.FindKind(device);
  IDispatch* driver = kind >= 0 ? module.Driver(kind) : nullptr;
  std::printf("\nA simulated %ls on a JTAG chain behind a bypass device\n", device.c_str());
  if (!driver) {
    std::printf("no driver for a device named %ls...\n", device.c_str());
    return false;
  }
  bool ok = true;
  std::printf("driver: kind %d, %ls\n", kind, Text(driver, served::Driver_GetDeviceName, ok).c_str());
  Road road(driver, *board, true);
  ok = road.Run() && ok;
  road.Detach();
  const std::vector<std::wstring> errors = board->ProtocolErrors();
  std::printf("JTAG protocol errors: %zu\n", errors.size());
  for (const std::wstring& e : errors) std::printf("  %ls\n", e.c_str());
  return ok && errors.empty();
}

// The same session on a board whose JTAG port is a J-Link probe: the driver
// hands its work to the probe library and makes no scan of its own.
bool DebugThroughJlinkProbe(const hostsim::LoadedModule& module, const std::wstring& system) {
  auto board = hostsim::SimBoard::Stm32F103BehindBypass();
  LoadBoard(board->Chip());
  hostsim::SimFlashProgrammer flash(board->Chip(), hostsim::SimFlashLayout::Stm32F10x(board->Chip().Config().FlashSize));
  auto library = std::make_shared<hostsim::SimJlinkLibrary>(system + L"JLINKARM.dll");
  if (!library->Loaded()) {
    std::printf("\nno J-Link probe library in %ls\n", system.c_str());
    return false;
  }
  const hostsim::SimRef<hostsim::SimJlinkDriver> probe = hostsim::AttachJlinkProbe(*board, library);
  hostsim::SimHostPorts ports(system + L"TovikManager.dll");
  ports.Set({&board->Port()});
  const std::wstring& device = board->Chip().Config().DeviceName;
  const int32_t kind = module.FindKind(device);
  IDispatch* driver = kind >= 0 ? module.Driver(kind) : nullptr;
  std::printf("\nThe same %ls with the host's JTAG port a J-Link probe\n", device.c_str());
  if (!driver) return false;
  Road road(driver, *board);
  bool ok = road.Run();
  road.Detach();
  const hostsim::SimCounters counters = board->Counters();
  const long calls = library->TotalCalls();
  std::printf("through the J-Link probe: %ld library calls, %llu JTAG scans\n", calls,
              static_cast<unsigned long long>(counters.IrScans + counters.DrScans));
  return ok && calls > 0 && counters.IrScans + counters.DrScans == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tvkhost <module.TVK>\n");
    return 2;
  }
  // The host's client, handed out by its ClientAPI_GetClientInterface; the
  // module's folder is a registered plug-in. The workspace manager is loaded
  // with the host; the FPGA-flow module when its server starts.
  const std::wstring system = HostFolder() + L"System\\";
  hostsim::SimClient host;
  host.AddPlugin(FolderOf(argv[1]));
  host.OnStartServer([&](const std::wstring& name) {
    return _wcsicmp(name.c_str(), L"FpgaFlow") == 0 && LoadLibraryW((system + L"HostFpgaFlow.dll").c_str());
  });
  host.Install();
  LoadLibraryW((system + L"HostWorkspace.dll").c_str());

  bool ok = false;
  {
    hostsim::LoadedModule module(argv[1]);
    if (!module.Handle()) {
      std::fprintf(stderr, "cannot load %ls (error %lu)\n", argv[1], module.LoadError());
    } else if (!module.Ready()) {
      std::fprintf(stderr, "module lacks its exports\n");
    } else {
      ok = ListKinds(module);
      ok = DebugSimulatedChip(module) && ok;
      ok = DebugThroughJlinkProbe(module, system) && ok;
    }
    // The client's call log holds the module's objects it was handed (its
    // views' notification handlers): they go before the module does.
    host.Client().ClearCalls();
  }
  hostsim::SimClient::Uninstall();
  return ok ? 0 : 1;
}
