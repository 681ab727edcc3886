#pragma once
// The host's J-Link side: a copy of the stand-in probe library with its
// simulator controls, the host's J-Link driver that loaded it and hands out
// its handle, a board port turned into a J-Link port, and the host's list of
// probe ports (the debug-device manager module's).
//
//   auto library = std::make_shared<hostsim::SimJlinkLibrary>(systemDir + L"JLINKARM.dll");
//   auto driver = hostsim::AttachJlinkProbe(*board, library);   // board->Port() is a J-Link port now
//   hostsim::SimHostPorts ports(systemDir + L"TovikManager.dll");
//   ports.Set({board->Port()});                                   // the host lists it
//   ... the module's driver takes the J-Link path; library->Calls("JLINKARM_ReadMem") ...
#include "SimHost.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hostsim {

namespace disp {
// IJlinkPort and IJlinkDriver
constexpr DISPID JlinkPort_GetJTagChannel = 503436;
constexpr DISPID JlinkPort_GetJlinkDriver = 503881;
constexpr DISPID JlinkDriver_GetJlinkHandle = 503880;
}  // namespace disp

// One loaded copy of the stand-in probe library ("JLINKARM.dll", or
// "JLINKARM-lacking.dll" without JLINKARM_GetHWStatus, _ReadMemU16,
// _WriteU16, _ClrBPEx and _SetBPEx), freed with this object.
class SimJlinkLibrary {
public:
  explicit SimJlinkLibrary(const std::wstring& path);
  ~SimJlinkLibrary();
  SimJlinkLibrary(const SimJlinkLibrary&) = delete;
  SimJlinkLibrary& operator=(const SimJlinkLibrary&) = delete;

  bool Loaded() const { return FHandle != nullptr; }
  HMODULE Handle() const { return FHandle; }
  // The handle as the host's J-Link driver reports it (the copy lies below 2 GB).
  std::uint32_t HandleBits() const { return std::uint32_t(reinterpret_cast<std::uintptr_t>(FHandle)); }

  // The probe reaches Chip's bus (null: no target).
  void Connect(SimCortexM3* chip);
  void SetTargetMillivolts(std::uint32_t millivolts);
  void SetProbesFound(std::int32_t count);
  // JLINKARM_GetNumBPUnits answers Count instead of the chip's comparator count.
  void ClaimBreakpointUnits(std::int32_t count);
  // How a faulting entry point goes wrong: a processor fault, an exception the
  // library raises and leaves unhandled, or a C++ exception it throws and
  // catches itself (so the call still answers).
  enum class TFault : std::int32_t { Processor, Raised, CaughtThrow };
  // The named entry point's calls fault inside the library from now on; empty: none.
  void FaultIn(const std::string& entryPoint, TFault kind = TFault::Processor);
  bool ProbeOpen() const;
  // JLINKARM_Open as the host's driver calls it.
  void OpenProbe();

  // Calls since the last ResetCounts: of one entry point, of all.
  long Calls(const char* entryPoint) const;
  long TotalCalls() const;
  // The calls since the last take, one "Name(arguments)" each, integers in hexadecimal.
  std::vector<std::string> TakeLog();
  // Counts, log, fault and settings forgotten.
  void ResetCounts();

private:
  template <class F>
  F Control(const char* name) const;

  HMODULE FHandle = nullptr;
};

// The host's J-Link driver: hands out the handle of the library it loaded.
class SimJlinkDriver : public FakeHostObject {
public:
  explicit SimJlinkDriver(std::shared_ptr<SimJlinkLibrary> library);
  // The driver loads another library (or the same one again): its handle changes.
  void SetLibrary(std::shared_ptr<SimJlinkLibrary> library);
  SimJlinkLibrary& Library() { return *FLibrary; }

private:
  std::shared_ptr<SimJlinkLibrary> FLibrary;
};

// Makes the board's port a J-Link port ("JlinkPort", its channel, a J-Link
// driver on Library) with the board's chip behind the probe, opened as the
// host opens it; the library's counts start from there.
SimRef<SimJlinkDriver> AttachJlinkProbe(SimBoard& board, std::shared_ptr<SimJlinkLibrary> library);

// A J-Link port of another chain: the given channel (borrowed) and driver.
SimRef<SimJtagPort> MakeJlinkPort(IDispatch* channel, SimRef<SimJlinkDriver> driver);

// The host's probe ports as its debug-device manager module lists them: the
// module loaded as the host loads it, its list replaced by the given ports
// (borrowed; they must outlive their listing) and put back to its own one
// port at the end.
class SimHostPorts {
public:
  explicit SimHostPorts(const std::wstring& managerPath);
  ~SimHostPorts();
  SimHostPorts(const SimHostPorts&) = delete;
  SimHostPorts& operator=(const SimHostPorts&) = delete;

  bool Loaded() const { return FModule != nullptr; }
  void Set(const std::vector<IDispatch*>& ports);

private:
  HMODULE FModule = nullptr;
};

}  // namespace hostsim
