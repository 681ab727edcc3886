#include "SimJlink.h"

#include <sstream>
#include <utility>

namespace hostsim {

// ---- SimJlinkLibrary

SimJlinkLibrary::SimJlinkLibrary(const std::wstring& path) : FHandle(LoadLibraryW(path.c_str())) {}

SimJlinkLibrary::~SimJlinkLibrary() {
  if (FHandle) FreeLibrary(FHandle);
}

template <class F>
F SimJlinkLibrary::Control(const char* name) const {
  return FHandle ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(FHandle, name))) : nullptr;
}

void SimJlinkLibrary::Connect(SimCortexM3* chip) {
  using ConnectFn = void (*)(SimBusTarget*, std::uint32_t, const char*, std::uint32_t);
  if (auto connect = Control<ConnectFn>("HostSim_Jlink_Connect"))
    connect(chip, chip ? chip->Config().Idcode : 0, "STM32F103", 4);
}

void SimJlinkLibrary::SetTargetMillivolts(std::uint32_t millivolts) {
  if (auto set = Control<void (*)(std::uint32_t)>("HostSim_Jlink_SetTargetMillivolts")) set(millivolts);
}

void SimJlinkLibrary::SetProbesFound(std::int32_t count) {
  if (auto set = Control<void (*)(std::int32_t)>("HostSim_Jlink_SetProbesFound")) set(count);
}

void SimJlinkLibrary::ClaimBreakpointUnits(std::int32_t count) {
  if (auto claim = Control<void (*)(std::int32_t, std::int32_t)>("HostSim_Jlink_ClaimBreakpointUnits")) claim(1, count);
}

void SimJlinkLibrary::FaultIn(const std::string& entryPoint, TFault kind) {
  if (auto fault = Control<void (*)(const char*, std::int32_t)>("HostSim_Jlink_FaultIn"))
    fault(entryPoint.empty() ? nullptr : entryPoint.c_str(), std::int32_t(kind));
}

bool SimJlinkLibrary::ProbeOpen() const {
  auto open = Control<std::int32_t (*)()>("HostSim_Jlink_IsOpen");
  return open && open() != 0;
}

void SimJlinkLibrary::OpenProbe() {
  if (auto open = Control<const char* (*)()>("JLINKARM_Open")) open();
}

long SimJlinkLibrary::Calls(const char* entryPoint) const {
  auto calls = Control<long (*)(const char*)>("HostSim_Jlink_Calls");
  return calls ? calls(entryPoint) : 0;
}

long SimJlinkLibrary::TotalCalls() const { return Calls(nullptr); }

std::vector<std::string> SimJlinkLibrary::TakeLog() {
  std::vector<std::string> lines;
  auto take = Control<const char* (*)()>("HostSim_Jlink_TakeLog");
  if (!take) return lines;
  std::istringstream text(take());
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

void SimJlinkLibrary::ResetCounts() {
  if (auto reset = Control<void (*)()>("HostSim_Jlink_Reset")) reset();
}

// ---- SimJlinkDriver

SimJlinkDriver::SimJlinkDriver(std::shared_ptr<SimJlinkLibrary> library) : FLibrary(std::move(library)) {
  SetServices({L"JlinkDriver"});
  Serve(disp::JlinkDriver_GetJlinkHandle, "", [this](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultInt(result, long(FLibrary ? FLibrary->HandleBits() : 0));
    return S_OK;
  });
}

void SimJlinkDriver::SetLibrary(std::shared_ptr<SimJlinkLibrary> library) { FLibrary = std::move(library); }

// ---- Ports

namespace {

// Port answers as a J-Link port of Channel (borrowed: a channel holds its
// port, so the port must not hold the channel) with Driver.
void ServeAsJlinkPort(SimJtagPort& port, IDispatch* channel, SimRef<SimJlinkDriver> driver) {
  port.SetServices({L"JTagPort", L"JlinkPort"});
  port.Serve(disp::JlinkPort_GetJTagChannel, "", [channel](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultObject(result, channel);
    return S_OK;
  });
  port.Serve(disp::JlinkPort_GetJlinkDriver, "", [driver](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultObject(result, driver.Get());
    return S_OK;
  });
}

}  // namespace

SimRef<SimJtagPort> MakeJlinkPort(IDispatch* channel, SimRef<SimJlinkDriver> driver) {
  auto port = SimRef<SimJtagPort>::Adopt(new SimJtagPort);
  ServeAsJlinkPort(*port, channel, std::move(driver));
  return port;
}

SimRef<SimJlinkDriver> AttachJlinkProbe(SimBoard& board, std::shared_ptr<SimJlinkLibrary> library) {
  library->Connect(&board.Chip());
  library->OpenProbe();
  library->ResetCounts();
  library->TakeLog();
  auto driver = SimRef<SimJlinkDriver>::Adopt(new SimJlinkDriver(std::move(library)));
  ServeAsJlinkPort(board.Port(), board.ChannelDispatch(), driver);
  return driver;
}

// ---- SimHostPorts

namespace {
using SetPortsFn = void(__stdcall*)(std::int32_t, IDispatch* const*);
}

SimHostPorts::SimHostPorts(const std::wstring& managerPath) : FModule(LoadLibraryW(managerPath.c_str())) {}

// The module stays loaded: the driver module keeps the handle it found.
SimHostPorts::~SimHostPorts() { Set({}); }

void SimHostPorts::Set(const std::vector<IDispatch*>& ports) {
  if (!FModule) return;
  auto set = reinterpret_cast<SetPortsFn>(reinterpret_cast<void*>(GetProcAddress(FModule, "HostSim_SetJTagPorts")));
  if (set) set(std::int32_t(ports.size()), ports.data());
}

}  // namespace hostsim
