#include "SimHost.h"

#include "ModuleCalls.h"
#include "SimHostModules.h"

#include <stdexcept>

namespace hostsim {

// ---- timing ---------------------------------------------------------------

InvokeTimer::InvokeTimer() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  FFrequency = f.QuadPart ? f.QuadPart : 1;
}

long long InvokeTimer::Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double InvokeTimer::Microseconds() const { return double(FTicks) * 1e6 / double(FFrequency); }

// ---- JTAG device ----------------------------------------------------------

SimJtagDevice::SimJtagDevice(std::wstring name, std::uint32_t idcode) : FName(std::move(name)), FIdcode(idcode) {
  Serve(disp::JTagDevice_GetBSDLEntity, "", [this](auto&, VARIANT* r) { SetResultObject(r, FEntity); return S_OK; });
  Serve(disp::JTagDevice_GetIdCode, "", [this](auto&, VARIANT* r) { SetResultInt(r, long(FIdcode)); return S_OK; });
  Serve(disp::JTagDevice_GetSecondaryId, "", [this](auto&, VARIANT* r) { SetResultInt(r, long(FSecondaryId)); return S_OK; });
  Serve(disp::JTagDevice_GetDeviceInformation, "", [this](auto&, VARIANT* r) { SetResultObject(r, FInformation); return S_OK; });
  Serve(disp::JTagDevice_GetName, "", [this](auto&, VARIANT* r) { SetResultString(r, FName); return S_OK; });
}

// ---- JTAG channel ---------------------------------------------------------

SimJtagChannel::SimJtagChannel(std::shared_ptr<SimJtagChain> chain, SimRef<SimJtagPort> port)
    : FChain(std::move(chain)), FPort(std::move(port)) {
  using Args = std::vector<VARIANT*>;
  Serve(disp::JTagChannel_Open, "", [this](Args&, VARIANT* r) {
    ++FOpens;
    SetResultBool(r, FOpenAnswer);
    return S_OK;
  });
  Serve(disp::JTagChannel_Close, "", [this](Args&, VARIANT*) {
    ++FCloses;
    return S_OK;
  });
  Serve(disp::JTagChannel_GetJTagDevice, "i", [this](Args& a, VARIANT* r) {
    auto it = FDevices.find(std::size_t(a[0]->lVal));
    SetResultObject(r, a[0]->lVal >= 0 && it != FDevices.end() ? it->second.Get() : nullptr);
    return S_OK;
  });
  Serve(disp::JTagChannel_GetJtagPort, "", [this](Args&, VARIANT* r) {
    SetResultObject(r, FPort.Get());
    return S_OK;
  });
  Serve(disp::JTagChannel_MoveTAPState, "ii", [this](Args& a, VARIANT*) {
    const long from = a[0]->lVal, to = a[1]->lVal;
    if (!IsTapStateCode(from) || !IsTapStateCode(to)) {
      FChain->NoteProtocolError(L"MoveTAPState(" + std::to_wstring(from) + L", " + std::to_wstring(to) +
                                L"): no such TAP state");
      return E_INVALIDARG;
    }
    FChain->Move(TapState(from), TapState(to));
    return S_OK;
  });
  Serve(disp::JTagChannel_LoadIR, "ii", [this](Args& a, VARIANT*) {
    if (HRESULT hr = CheckIndex(a[1]->lVal, L"LoadIR"); FAILED(hr)) return hr;
    Bits stream;
    for (std::size_t d = 0; d < FChain->Size(); ++d) {
      const SimTap& tap = FChain->Tap(d);
      Bits part = d == std::size_t(a[1]->lVal) ? ToBits(std::uint32_t(a[0]->lVal), tap.IrLength())
                                               : ToBits(tap.BypassInstruction(), tap.IrLength());
      stream.insert(stream.end(), part.begin(), part.end());
    }
    FChain->ShiftIr(stream);
    return S_OK;
  });
  Serve(disp::JTagChannel_ShiftIR, "ii", [this](Args& a, VARIANT*) {
    if (HRESULT hr = CheckIndex(a[1]->lVal, L"ShiftIR"); FAILED(hr)) return hr;
    FChain->Goto(TapState::ShiftIr);
    Bits stream;
    for (std::size_t d = 0; d < FChain->Size(); ++d) {
      const SimTap& tap = FChain->Tap(d);
      Bits part = d == std::size_t(a[1]->lVal) ? ToBits(std::uint32_t(a[0]->lVal), tap.IrLength())
                                               : ToBits(tap.BypassInstruction(), tap.IrLength());
      stream.insert(stream.end(), part.begin(), part.end());
    }
    FChain->ShiftIr(stream);
    FChain->Goto(TapState::RunTestIdle);
    return S_OK;
  });
  Serve(disp::JTagChannel_ShiftDRString, "si", [this](Args& a, VARIANT* r) {
    const std::wstring text = ArgString(a[0]);
    Bits target(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
      if (text[k] != L'0' && text[k] != L'1') {
        FChain->NoteProtocolError(L"ShiftDRString: character other than '0' or '1'");
        return E_INVALIDARG;
      }
      target[text.size() - 1 - k] = text[k] == L'1';  // the last character goes first
    }
    Bits out;
    if (HRESULT hr = ShiftData(target, a[1]->lVal, L"ShiftDRString", out); FAILED(hr)) return hr;
    std::wstring answer(text.size(), L'0');
    for (std::size_t k = 0; k < text.size(); ++k) answer[text.size() - 1 - k] = out[k] ? L'1' : L'0';
    SetResultString(r, answer);
    return S_OK;
  });
  auto shiftNumber = [this](Args& a, VARIANT* r, const wchar_t* call) -> HRESULT {
    const long bits = a[1]->lVal;
    if (bits < 1 || bits > 32) {
      FChain->NoteProtocolError(std::wstring(call) + L": bit count " + std::to_wstring(bits));
      return E_INVALIDARG;
    }
    Bits out;
    if (HRESULT hr = ShiftData(ToBits(std::uint32_t(a[0]->lVal), unsigned(bits)), a[2]->lVal, call, out); FAILED(hr))
      return hr;
    if (r) SetResultInt(r, long(std::uint32_t(FromBits(out, 0, std::size_t(bits)))));
    return S_OK;
  };
  Serve(disp::JTagChannel_SendDR, "iii", [shiftNumber](Args& a, VARIANT*) { return shiftNumber(a, nullptr, L"SendDR"); });
  Serve(disp::JTagChannel_ExchangeDR, "iii", [shiftNumber](Args& a, VARIANT* r) { return shiftNumber(a, r, L"ExchangeDR"); });
}

HRESULT STDMETHODCALLTYPE SimJtagChannel::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  const long long start = InvokeTimer::Now();
  HRESULT hr = FakeHostObject::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  FTimer.Add(InvokeTimer::Now() - start);
  return hr;
}

HRESULT SimJtagChannel::CheckIndex(long index, const wchar_t* call) {
  if (index >= 0 && std::size_t(index) < FChain->Size()) return S_OK;
  FChain->NoteProtocolError(std::wstring(call) + L": no device at chain index " + std::to_wstring(index));
  return E_INVALIDARG;
}

// The others are taken to be in BYPASS: one padding bit each.
Bits SimJtagChannel::PaddedStream(const Bits& target, long index) const {
  Bits stream(std::size_t(index), 0);
  stream.insert(stream.end(), target.begin(), target.end());
  stream.resize(stream.size() + FChain->Size() - 1 - std::size_t(index), 0);
  return stream;
}

HRESULT SimJtagChannel::ShiftData(const Bits& target, long index, const wchar_t* call, Bits& out) {
  if (HRESULT hr = CheckIndex(index, call); FAILED(hr)) return hr;
  Bits all = FChain->ShiftDr(PaddedStream(target, index));
  out.assign(all.begin() + index, all.begin() + index + std::ptrdiff_t(target.size()));
  return S_OK;
}

// ---- debug device ---------------------------------------------------------

SimTovikDevice::SimTovikDevice(SimRef<SimJtagChannel> channel, long chainIndex, const SimChipConfig& config)
    : FChannel(std::move(channel)),
      FIndex(chainIndex),
      FDeviceName(config.DeviceName),
      FFamilyName(config.FamilyName),
      FLibraryName(L"ST Microcontrollers"),
      FVendorName(L"STMicroelectronics"),
      FDeviceId(L"JTAG_" + std::to_wstring(chainIndex)) {
  using Args = std::vector<VARIANT*>;
  struct NameRow {
    DISPID Id;
    std::wstring SimTovikDevice::* Field;
  };
  static constexpr NameRow kNames[] = {
      {disp::TovikDevice_GetDeviceName, &SimTovikDevice::FDeviceName},
      {disp::TovikDevice_GetFamilyName, &SimTovikDevice::FFamilyName},
      {disp::TovikDevice_GetLibraryName, &SimTovikDevice::FLibraryName},
      {disp::TovikDevice_GetVendorName, &SimTovikDevice::FVendorName},
      {disp::TovikDevice_GetDeviceId, &SimTovikDevice::FDeviceId},
  };
  for (const NameRow& row : kNames)
    Serve(row.Id, "", [this, field = row.Field](Args&, VARIANT* r) { SetResultString(r, this->*field); return S_OK; });
  Serve(disp::TovikDevice_GetJTagIndex, "", [this](Args&, VARIANT* r) { SetResultInt(r, FIndex); return S_OK; });
  Serve(disp::TovikDevice_GetJTagChannel, "", [this](Args&, VARIANT* r) {
    SetResultObject(r, FChannelPresent ? FChannel.Get() : nullptr);
    return S_OK;
  });
  Serve(disp::TovikDevice_GetDriver, "", [this](Args&, VARIANT* r) { SetResultObject(r, FDriver); return S_OK; });
  Serve(disp::TovikDevice_LittleEndian, "", [this](Args&, VARIANT* r) { SetResultBool(r, FLittleEndian); return S_OK; });
  FrontTheDriver();
  Serve(disp::TovikDevice_ReadDebugRegister, "ii", [this](Args& a, VARIANT* r) {
    const long bits = a[1]->lVal;
    const std::uint32_t value = DebugRegister(a[0]->lVal);
    SetResultInt(r, long(bits > 0 && bits < 32 ? value & ((1u << bits) - 1) : value));
    return S_OK;
  });
  Serve(disp::TovikDevice_WriteDebugRegister, "iii", [this](Args& a, VARIANT*) {
    FDebugRegisters[a[0]->lVal] = std::uint32_t(a[2]->lVal);
    return S_OK;
  });
  Serve(disp::TovikDevice_TransactionBegin, "", [this](Args&, VARIANT*) {
    ++FBegins;
    return S_OK;
  });
  Serve(disp::TovikDevice_TransactionEnd, "", [this](Args&, VARIANT*) {
    if (FEnds >= FBegins) ++FUnmatchedEnds;
    else ++FEnds;
    return S_OK;
  });
}

namespace {

// A processor register as the host fronts it: the driver's register Index.
class SimProcessorRegister : public FakeHostObject {
public:
  SimProcessorRegister(IDispatch* driver, long index) {
    using Args = std::vector<VARIANT*>;
    SetServices({L"ProcessorRegister"});
    Accept(disp::ProcessorRegister_Update);
    const auto forward = [driver, index](DISPID id, VARIANT* r, std::initializer_list<VARIANT> more) {
      std::vector<VARIANT> args{ArgInt(index)};
      args.insert(args.end(), more.begin(), more.end());
      ModuleAnswer answer;
      switch (args.size()) {
        case 1: answer = CallModule(driver, id, {args[0]}); break;
        default: answer = CallModule(driver, id, {args[0], args[1]}); break;
      }
      if (SUCCEEDED(answer.Result) && r) VariantCopy(r, answer.Ptr());
      return answer.Result;
    };
    Serve(disp::ProcessorRegister_GetSize, "", [forward](Args&, VARIANT* r) { return forward(503768, r, {}); });
    Serve(disp::ProcessorRegister_GetValue, "", [forward](Args&, VARIANT* r) { return forward(503767, r, {}); });
    Serve(disp::ProcessorRegister_SetValue, "i", [forward](Args& a, VARIANT*) {
      return forward(503766, nullptr, {ArgInt(a[0]->lVal)});
    });
  }
};

// The host's memory space over the driver's space 0, offering IMemoryAccess
// as the host's spaces do.
class SimMemorySpace : public FakeHostObject, public IMemoryAccess {
public:
  explicit SimMemorySpace(IDispatch* driver) : FDriver(driver) { SetServices({L"MemorySpace"}); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out && IsEqualIID(iid, IID_IMemoryAccess)) {
      *out = static_cast<IMemoryAccess*>(this);
      FakeHostObject::AddRef();
      return S_OK;
    }
    return FakeHostObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return FakeHostObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return FakeHostObject::Release(); }

  HRESULT STDMETHODCALLTYPE MemoryRead(int32_t space, uint32_t* buffer, int64_t address, int32_t count,
                                       BOOL* success) override {
    IMemoryAccess* memory = Reach(space);
    return memory ? memory->MemoryRead(0, buffer, address, count, success) : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t space, uint32_t* buffer, int64_t address, int32_t count,
                                        BOOL* success) override {
    IMemoryAccess* memory = Reach(space);
    return memory ? memory->MemoryWrite(0, buffer, address, count, success) : E_FAIL;
  }
  long Reads() const { return FReads; }

private:
  // -1 is this space; the host knows no other index.
  IMemoryAccess* Reach(int32_t space) {
    ++FReads;
    return space == -1 ? MemoryAccessOf(FDriver) : nullptr;
  }
  IDispatch* FDriver;
  long FReads = 0;
};

}  // namespace

void SimTovikDevice::FrontTheDriver() {
  using Args = std::vector<VARIANT*>;
  const auto ask = [this](DISPID id) {
    const ModuleAnswer answer = CallModule(FDriver, id);
    return SUCCEEDED(answer.Result) && answer.Bool().value_or(false);
  };
  Serve(disp::TovikDevice_GetStateText, "", [this, ask](Args&, VARIANT* r) {
    if (!FDriver) SetResultString(r, L"");
    else SetResultString(r, ask(served::Driver_ProcessorIsRunning) ? L"Running"
                            : ask(served::Driver_ProcessorIsReset) ? L"Reset"
                                                                   : L"Paused");
    return S_OK;
  });
  struct RunRow {
    DISPID Id, DriverId;
  };
  static constexpr RunRow kRunControl[] = {
      {disp::TovikDevice_SingleStepProcessor, 503794},
      {disp::TovikDevice_ResetProcessor, served::Driver_ResetProcessor},
      {disp::TovikDevice_PauseProcessor, served::Driver_PauseProcessor},
      {disp::TovikDevice_ContinueProcessor, served::Driver_ContinueProcessor},
  };
  for (const RunRow& row : kRunControl)
    Serve(row.Id, "", [this, driverId = row.DriverId](Args&, VARIANT*) {
      return FDriver ? CallModule(FDriver, driverId).Result : E_FAIL;
    });
  // A register object for the driver's register Index; null outside its count.
  const auto reg = [this](VARIANT* r, std::optional<long> index) {
    if (!FDriver || !index) return SetResultObject(r, nullptr), S_OK;
    const long count = long(CallModule(FDriver, served::Driver_GetProcessorRegisterCount).Unsigned().value_or(0));
    if (*index < 0 || *index >= count) return SetResultObject(r, nullptr), S_OK;
    auto* object = new SimProcessorRegister(FDriver, *index);
    SetResultObject(r, object);
    object->Release();
    return S_OK;
  };
  const auto indexOf = [this](DISPID id) -> std::optional<long> {
    const ModuleAnswer answer = CallModule(FDriver, id);
    if (FAILED(answer.Result) || !answer.Unsigned()) return std::nullopt;
    return long(int32_t(*answer.Unsigned()));
  };
  Serve(disp::TovikDevice_GetProcessorRegister, "i", [reg](Args& a, VARIANT* r) { return reg(r, a[0]->lVal); });
  Serve(disp::TovikDevice_GetProcessorRegister_PC, "", [this, reg, indexOf](Args&, VARIANT* r) {
    return reg(r, FDriver ? indexOf(served::Driver_GetRegisterIndex_PC) : std::nullopt);
  });
  Serve(disp::TovikDevice_GetProcessorRegister_SP, "", [this, reg, indexOf](Args&, VARIANT* r) {
    return reg(r, FDriver ? indexOf(served::Driver_GetRegisterIndex_SP) : std::nullopt);
  });
  Serve(disp::TovikDevice_GetProgramMemorySpace, "", [this](Args&, VARIANT* r) {
    if (!FDriver) return SetResultObject(r, nullptr), S_OK;
    auto* space = new SimMemorySpace(FDriver);
    SetResultObject(r, static_cast<FakeHostObject*>(space));
    space->Release();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE SimTovikDevice::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  const long long start = InvokeTimer::Now();
  HRESULT hr = FakeHostObject::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  FTimer.Add(InvokeTimer::Now() - start);
  return hr;
}

void SimTovikDevice::SetNames(std::wstring device, std::wstring family, std::wstring library, std::wstring vendor) {
  FDeviceName = std::move(device);
  FFamilyName = std::move(family);
  FLibraryName = std::move(library);
  FVendorName = std::move(vendor);
}

std::uint32_t SimTovikDevice::DebugRegister(long address) const {
  auto it = FDebugRegisters.find(address);
  return it == FDebugRegisters.end() ? 0 : it->second;
}

// ---- board ----------------------------------------------------------------

SimBoard::SimBoard()
    : FChain(std::make_shared<SimJtagChain>()),
      FPort(SimRef<SimJtagPort>::Adopt(new SimJtagPort)),
      FChannel(SimRef<SimJtagChannel>::Adopt(new SimJtagChannel(FChain, FPort))) {
  HostDeviceManager();  // a host with a board has its own modules loaded
  FChain->ResetToIdle();
}

SimBoard::~SimBoard() = default;

std::unique_ptr<SimBoard> SimBoard::Stm32F103BehindBypass(const SimChipConfig& config) {
  auto board = std::make_unique<SimBoard>();
  board->AddBypass();
  board->AddStm32(config);
  return board;
}

std::size_t SimBoard::AddBypass(unsigned irLength, std::optional<std::uint32_t> idcode) {
  const std::size_t index = FChain->Add(std::make_unique<SimBypassTap>(irLength, idcode));
  FChannel->SetJtagDevice(index, SimRef<SimJtagDevice>::Adopt(new SimJtagDevice(L"Bypass", idcode.value_or(0))));
  FChain->ResetToIdle();
  return index;
}

std::size_t SimBoard::AddStm32(const SimChipConfig& config) {
  auto chip = std::make_unique<SimCortexM3>(config);
  SimCortexM3* chipPtr = chip.get();
  auto dp = std::make_unique<SimJtagDp>(config.Idcode, std::move(chip));
  SimJtagDp* dpPtr = dp.get();
  const std::size_t index = FChain->Add(std::move(dp));
  FChannel->SetJtagDevice(index, SimRef<SimJtagDevice>::Adopt(new SimJtagDevice(config.DeviceName, config.Idcode)));
  FTargets.emplace(index, Target{dpPtr, chipPtr,
                                 SimRef<SimTovikDevice>::Adopt(new SimTovikDevice(FChannel, long(index), config))});
  FChain->ResetToIdle();
  return index;
}

std::size_t SimBoard::TargetIndex() const {
  if (FTargets.empty()) throw std::logic_error("SimBoard: no chip on the chain");
  return FTargets.begin()->first;
}

SimBoard::Target& SimBoard::At(std::optional<std::size_t> index) {
  auto it = FTargets.find(index.value_or(TargetIndex()));
  if (it == FTargets.end()) throw std::out_of_range("SimBoard: no chip at that chain index");
  return it->second;
}

SimJtagDp& SimBoard::Dp(std::optional<std::size_t> index) { return *At(index).Dp; }
SimCortexM3& SimBoard::Chip(std::optional<std::size_t> index) { return *At(index).Chip; }
SimTovikDevice& SimBoard::Device(std::optional<std::size_t> index) { return *At(index).Device; }
IDispatch* SimBoard::DeviceDispatch(std::optional<std::size_t> index) { return At(index).Device.Get(); }

SimCounters SimBoard::Counters() const {
  SimCounters c;
  c.IrScans = FChain->IrScans();
  c.DrScans = FChain->DrScans();
  c.TapMoves = FChain->TapMoves();
  c.ChannelCalls = FChannel->InvokeCount();
  c.SimulatorMicroseconds = FChannel->Timer().Microseconds();
  for (const auto& [index, t] : FTargets) {
    c.DeviceCalls += t.Device->InvokeCount();
    c.SimulatorMicroseconds += t.Device->Timer().Microseconds();
    c.DpScans += t.Dp->DpScans();
    c.ApScans += t.Dp->ApScans();
    c.WaitAnswers += t.Dp->WaitAnswers();
  }
  return c;
}

void SimBoard::ResetCounters() {
  FChain->ResetCounters();
  FChannel->ResetInvokeCount();
  FChannel->Timer().Reset();
  for (auto& [index, t] : FTargets) {
    t.Device->ResetInvokeCount();
    t.Device->Timer().Reset();
    t.Dp->ResetCounters();
  }
}

void SimBoard::SetLogging(bool on) {
  FChannel->SetLogging(on);
  for (auto& [index, t] : FTargets) t.Device->SetLogging(on);
}

std::vector<std::wstring> SimBoard::ProtocolErrors() const {
  std::vector<std::wstring> all = FChain->ProtocolErrors();
  all.insert(all.end(), FChannel->KindErrors().begin(), FChannel->KindErrors().end());
  for (const auto& [index, t] : FTargets) {
    all.insert(all.end(), t.Device->KindErrors().begin(), t.Device->KindErrors().end());
    all.insert(all.end(), t.Dp->ProtocolFaults().begin(), t.Dp->ProtocolFaults().end());
  }
  return all;
}

}  // namespace hostsim
