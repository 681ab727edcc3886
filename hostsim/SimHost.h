#pragma once
// The host's JTAG-side objects as the module sees them (a JTAG channel, the
// JTAG devices on the chain, a JTAG port and the debug device of a chip at a
// chain position), and a board that wires them to a simulated chain.
//
//   auto board = hostsim::SimBoard::Stm32F103BehindBypass();  // bypass at 0, STM32F103 at 1
//   IDispatch* device = board->DeviceDispatch();              // the host's ITovikDevice (borrowed)
//   board->Chip().LoadWords(0x08000000, {0x20005000, 0x08000009});
//   board->Chip().PowerOnReset();
//   ... hand `device` to a driver, then read board->Counters() ...
#include "FakeHostObject.h"
#include "SimCortexM3.h"
#include "SimJtagChain.h"
#include "SimJtagDp.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hostsim {

// DispIDs the module calls on these objects.
namespace disp {
// IJTagChannel
constexpr DISPID JTagChannel_Open = 503425;
constexpr DISPID JTagChannel_Close = 503426;
constexpr DISPID JTagChannel_GetJTagDevice = 503579;
constexpr DISPID JTagChannel_SendDR = 503588;
constexpr DISPID JTagChannel_ExchangeDR = 503589;
constexpr DISPID JTagChannel_ShiftDRString = 503591;
constexpr DISPID JTagChannel_LoadIR = 503593;
constexpr DISPID JTagChannel_ShiftIR = 503601;
constexpr DISPID JTagChannel_MoveTAPState = 503605;
constexpr DISPID JTagChannel_GetJtagPort = 503611;
// IJTagDevice
constexpr DISPID JTagDevice_GetBSDLEntity = 503550;
constexpr DISPID JTagDevice_GetDeviceInformation = 503551;
constexpr DISPID JTagDevice_GetIdCode = 503552;
constexpr DISPID JTagDevice_GetSecondaryId = 503556;
constexpr DISPID JTagDevice_GetName = 503558;
// ITovikDevice
constexpr DISPID TovikDevice_GetDeviceName = 503380;
constexpr DISPID TovikDevice_GetFamilyName = 503382;
constexpr DISPID TovikDevice_GetLibraryName = 503384;
constexpr DISPID TovikDevice_GetVendorName = 503407;
constexpr DISPID TovikDevice_GetJTagIndex = 503629;
constexpr DISPID TovikDevice_GetJTagChannel = 503630;
constexpr DISPID TovikDevice_GetDriver = 503635;
constexpr DISPID TovikDevice_GetDeviceId = 503643;
constexpr DISPID TovikDevice_GetStateText = 503645;
constexpr DISPID TovikDevice_SingleStepProcessor = 503648;
constexpr DISPID TovikDevice_ResetProcessor = 503650;
constexpr DISPID TovikDevice_PauseProcessor = 503651;
constexpr DISPID TovikDevice_ContinueProcessor = 503652;
constexpr DISPID TovikDevice_GetProcessorRegister = 503661;
constexpr DISPID TovikDevice_GetProcessorRegister_PC = 503662;
constexpr DISPID TovikDevice_GetProcessorRegister_SP = 503663;
constexpr DISPID TovikDevice_GetProgramMemorySpace = 503664;
constexpr DISPID TovikDevice_ReadDebugRegister = 503666;
constexpr DISPID TovikDevice_WriteDebugRegister = 503667;
constexpr DISPID TovikDevice_LittleEndian = 503674;
constexpr DISPID TovikDevice_TransactionBegin = 503675;
constexpr DISPID TovikDevice_TransactionEnd = 503676;
// IProcessorRegister
constexpr DISPID ProcessorRegister_Update = 503833;
constexpr DISPID ProcessorRegister_GetSize = 503838;
constexpr DISPID ProcessorRegister_GetValue = 503839;
constexpr DISPID ProcessorRegister_SetValue = 503844;
}  // namespace disp

// One counted reference to a simulator object (adopts the creator's reference).
template <class T>
class SimRef {
public:
  SimRef() = default;
  static SimRef Adopt(T* p) {
    SimRef r;
    r.FPtr = p;
    return r;
  }
  SimRef(const SimRef& o) : FPtr(o.FPtr) {
    if (FPtr) FPtr->AddRef();
  }
  SimRef(SimRef&& o) noexcept : FPtr(o.FPtr) { o.FPtr = nullptr; }
  SimRef& operator=(SimRef o) noexcept {
    std::swap(FPtr, o.FPtr);
    return *this;
  }
  ~SimRef() {
    if (FPtr) FPtr->Release();
  }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  T& operator*() const { return *FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }

private:
  T* FPtr = nullptr;
};

// Wall-clock time spent inside an object's Invoke.
class InvokeTimer {
public:
  InvokeTimer();
  void Add(long long ticks) { FTicks += ticks; }
  double Microseconds() const;
  void Reset() { FTicks = 0; }
  static long long Now();

private:
  long long FTicks = 0, FFrequency = 1;
};

// A physical JTAG port of the host; the module asks its services ("JlinkPort"
// for a J-Link port; none by default) and, of a J-Link port (SimJlink.h), its
// channel and J-Link driver.
class SimJtagPort : public FakeHostObject {};

// The host's object for one position on the chain.
class SimJtagDevice : public FakeHostObject {
public:
  SimJtagDevice(std::wstring name, std::uint32_t idcode);
  void SetBsdlEntity(IDispatch* entity) { FEntity = entity; }  // not owned; null: none
  void SetDeviceInformation(IDispatch* information) { FInformation = information; }  // not owned; null: none
  void SetSecondaryId(std::uint32_t id) { FSecondaryId = id; }

private:
  std::wstring FName;
  std::uint32_t FIdcode;
  IDispatch* FEntity = nullptr;
  IDispatch* FInformation = nullptr;
  std::uint32_t FSecondaryId = 0;
};

// The channel of the chain: every call is logged (FakeHostObject) and timed.
//   MoveTAPState(from, to)   clocks the TMS path from `from` to `to` (TapState codes)
//   LoadIR(ir, index)        shifts the instruction chain in Shift-IR, BYPASS for the others
//   ShiftIR(ir, index)       a whole instruction scan from the current state back to Run-Test/Idle
//   ShiftDRString(s, index)  shifts s (MSB first, '0'/'1') through the device at index, the
//                            others in BYPASS; answers the bits shifted out in the same form
//   SendDR / ExchangeDR(value, bits, index)  the same with up to 32 bits as a number
class SimJtagChannel : public FakeHostObject {
public:
  SimJtagChannel(std::shared_ptr<SimJtagChain> chain, SimRef<SimJtagPort> port);

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

  SimJtagChain& Chain() { return *FChain; }
  void SetJtagDevice(std::size_t index, SimRef<SimJtagDevice> device) { FDevices[index] = std::move(device); }
  void SetOpenAnswer(bool opened) { FOpenAnswer = opened; }
  long Opens() const { return FOpens; }
  long Closes() const { return FCloses; }
  InvokeTimer& Timer() { return FTimer; }

private:
  HRESULT CheckIndex(long index, const wchar_t* call);
  Bits PaddedStream(const Bits& target, long index) const;
  HRESULT ShiftData(const Bits& target, long index, const wchar_t* call, Bits& out);

  std::shared_ptr<SimJtagChain> FChain;
  SimRef<SimJtagPort> FPort;
  std::map<std::size_t, SimRef<SimJtagDevice>> FDevices;
  bool FOpenAnswer = true;
  long FOpens = 0, FCloses = 0;
  InvokeTimer FTimer;
};

// The host's debug device for a chip at a chain position (ITovikDevice).
// With a driver set (SetDriver) it fronts the driver as the host does:
//   GetStateText             "Running" when the driver's ProcessorIsRunning
//                            answers true, "Reset" when ProcessorIsReset does,
//                            else "Paused" (empty without a driver)
//   run control              the driver's SingleStep, Reset, Pause, Continue
//   GetProcessorRegister(i)  a register object over the driver's register i
//                            (null outside the driver's count); _PC and _SP by
//                            the driver's PC and SP indexes
//   GetProgramMemorySpace    a memory space whose IMemoryAccess reads and
//                            writes the driver's space 0 (index -1: this space)
class SimTovikDevice : public FakeHostObject {
public:
  SimTovikDevice(SimRef<SimJtagChannel> channel, long chainIndex, const SimChipConfig& config);

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

  long ChainIndex() const { return FIndex; }
  // Without a channel, GetJTagChannel answers a null object (the device is on no chain).
  void SetChannelPresent(bool present) { FChannelPresent = present; }
  void SetDriver(IDispatch* driver) { FDriver = driver; }  // not owned; GetDriver answers it
  IDispatch* Driver() const { return FDriver; }
  void SetLittleEndian(bool little) { FLittleEndian = little; }
  void SetDeviceId(std::wstring id) { FDeviceId = std::move(id); }
  void SetNames(std::wstring device, std::wstring family, std::wstring library, std::wstring vendor);

  // Debug registers: what was written, by address, answered back masked to the bit count asked.
  std::uint32_t DebugRegister(long address) const;
  void SetDebugRegister(long address, std::uint32_t value) { FDebugRegisters[address] = value; }

  // Transactions.
  long TransactionBegins() const { return FBegins; }
  long TransactionEnds() const { return FEnds; }
  long TransactionDepth() const { return FBegins - FEnds; }
  long UnmatchedEnds() const { return FUnmatchedEnds; }
  void ResetTransactionCounts() { FBegins = FEnds = FUnmatchedEnds = 0; }
  InvokeTimer& Timer() { return FTimer; }

private:
  // The calls that go on to the driver.
  void FrontTheDriver();

  SimRef<SimJtagChannel> FChannel;
  long FIndex;
  bool FChannelPresent = true;
  IDispatch* FDriver = nullptr;
  bool FLittleEndian = true;
  std::wstring FDeviceName, FFamilyName, FLibraryName, FVendorName, FDeviceId;
  std::map<long, std::uint32_t> FDebugRegisters;
  long FBegins = 0, FEnds = 0, FUnmatchedEnds = 0;
  InvokeTimer FTimer;
};

struct SimCounters {
  std::uint64_t IrScans = 0, DrScans = 0, TapMoves = 0;   // on the chain
  std::uint64_t ChannelCalls = 0, DeviceCalls = 0;        // Invokes on the channel and on the debug devices
  std::uint64_t DpScans = 0, ApScans = 0, WaitAnswers = 0;  // at the debug ports
  double SimulatorMicroseconds = 0;                       // inside the channel's and devices' Invokes
};

// A board: a chain, its channel and port, and a debug device per chip. The
// host that has one has its own modules loaded (SimHostModules.h).
class SimBoard {
public:
  SimBoard();
  ~SimBoard();
  SimBoard(const SimBoard&) = delete;
  SimBoard& operator=(const SimBoard&) = delete;

  // A bypass device (index 0) before an STM32F103 (index 1).
  static std::unique_ptr<SimBoard> Stm32F103BehindBypass(const SimChipConfig& config = SimChipConfig::Stm32F103());

  // Adds devices TDO side first; each answers its chain index.
  std::size_t AddBypass(unsigned irLength = 5, std::optional<std::uint32_t> idcode = std::nullopt);
  std::size_t AddStm32(const SimChipConfig& config = SimChipConfig::Stm32F103());

  SimJtagChain& Chain() { return *FChain; }
  SimJtagChannel& Channel() { return *FChannel; }
  SimJtagPort& Port() { return *FPort; }
  // The chip parts at a chain index; without an index, the first chip added.
  std::size_t TargetIndex() const;
  SimJtagDp& Dp(std::optional<std::size_t> index = std::nullopt);
  SimCortexM3& Chip(std::optional<std::size_t> index = std::nullopt);
  SimTovikDevice& Device(std::optional<std::size_t> index = std::nullopt);
  // The host's ITovikDevice dispatch interface; borrowed: AddRef to keep it beyond the board.
  IDispatch* DeviceDispatch(std::optional<std::size_t> index = std::nullopt);
  IDispatch* ChannelDispatch() { return FChannel.Get(); }

  SimCounters Counters() const;
  void ResetCounters();
  // Call logs of the channel and the devices (on by default; off for long runs).
  void SetLogging(bool on);
  // TAP sequences a real chain would not take as meant, calls with wrong
  // argument kinds or counts, and requests a debug port must not get (its
  // ProtocolFaults); empty when the module drove the host correctly.
  std::vector<std::wstring> ProtocolErrors() const;

private:
  struct Target {
    SimJtagDp* Dp;
    SimCortexM3* Chip;
    SimRef<SimTovikDevice> Device;
  };
  Target& At(std::optional<std::size_t> index);

  std::shared_ptr<SimJtagChain> FChain;
  SimRef<SimJtagPort> FPort;
  SimRef<SimJtagChannel> FChannel;
  std::map<std::size_t, Target> FTargets;
};

}  // namespace hostsim
