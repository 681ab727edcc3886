#include "Tovik.Classes.h"

#include "Dialogs.h"
#include "Files.h"
#include "Tovik.Types.h"
#include "Tovik.Utils.h"
#include "ZUL.HostModules.h"
#include "ZUL.Util.h"

#include <algorithm>
#include <functional>
#include <span>

namespace tvk {

// ---- TReferencedObject

void* TReferencedObject::InterfaceFor(REFIID iid) {
  return IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE TReferencedObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = InterfaceFor(iid);
  if (!*out) return E_NOINTERFACE;
  static_cast<IUnknown*>(*out)->AddRef();  // the interface's own AddRef: it may not count
  return S_OK;
}

ULONG STDMETHODCALLTYPE TReferencedObject::AddRef() { return ULONG(InterlockedIncrement(&FRefCount)); }

ULONG STDMETHODCALLTYPE TReferencedObject::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return ULONG(n);
}

void TReferencedObject::Free() {
  if (FRefCount != 0) throw Exception(L"Invalid Pointer");
  delete this;
}

// ---- TDispatchObject

void* TDispatchObject::InterfaceFor(REFIID iid) {
  if (IsEqualIID(iid, IID_IDispatch)) return static_cast<IDispatch*>(this);
  return TReferencedObject::InterfaceFor(iid);
}

// ---- TTovikAbstractDevicePin

namespace {

using PinQuery = HRESULT (TAbstractDevicePin::*)(bool&);

// True when one of Queries answers true, asked in order until one does.
bool AnyOf(TAbstractDevicePin& pin, std::initializer_list<PinQuery> queries) {
  for (PinQuery q : queries) {
    bool answer = false;
    CheckResult((pin.*q)(answer));
    if (answer) return true;
  }
  return false;
}

}  // namespace

HRESULT TTovikAbstractDevicePin::GetIsPosPinOfDiffPair(bool& Result) {
  try {
    Result = AnyOf(*this, {&TAbstractDevicePin::GetIsDiffP_Pin, &TAbstractDevicePin::GetIsHDiffP_Pin,
                           &TAbstractDevicePin::GetIsDCIP_Pin, &TAbstractDevicePin::GetIsClkDiffP_Pin});
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDevicePin::GetIsNegPinOfDiffPair(bool& Result) {
  try {
    Result = AnyOf(*this, {&TAbstractDevicePin::GetIsDiffN_Pin, &TAbstractDevicePin::GetIsHDiffN_Pin,
                           &TAbstractDevicePin::GetIsDCIN_Pin, &TAbstractDevicePin::GetIsClkDiffN_Pin});
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDevicePin::GetUniqueDifferentialID(WideString& Result) {
  Result.clear();
  try {
    WideString bank, diff, clkDiff;
    CheckResult(GetIOBank(bank));
    CheckResult(GetDifferentialId(diff));
    CheckResult(GetClkDifferentialId(clkDiff));
    Result = bank + L"|" + diff + L"|" + clkDiff;
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// ---- TTovikAbstractDeviceIOStandard

namespace {

template <std::size_t N>
std::wstring_view Entry(const std::array<std::wstring_view, N>& table, int32_t index) {
  if (index < 0 || std::size_t(index) >= N) throw Exception(L"I/O standard index out of range");
  return table[std::size_t(index)];
}

}  // namespace

HRESULT TTovikAbstractDeviceIOStandard::GetDisplayName(WideString& Result) {
  Result.clear();
  try {
    Result = Entry(kIOStandardDisplayNames, GetIOStandardIndex());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDeviceIOStandard::GetParamName(WideString& Result) {
  Result.clear();
  try {
    Result = Entry(kIOStandardParameterNames, GetIOStandardIndex());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDeviceIOStandard::GetSlewCount(int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetSlewValue(int32_t, WideString& Result) {
  Result.clear();
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetDriveCount(int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetDriveStrength(int32_t, WideString& Result) {
  Result.clear();
  return S_OK;
}

// ---- TTovikDriver

const IID IID_IMemoryAccess = {0xDE05D751, 0x32F9, 0x4557, {0xA7, 0xB6, 0x67, 0x8A, 0x82, 0x80, 0xE2, 0x74}};

namespace {

// Runs Body at a served boundary: every error becomes E_UNEXPECTED.
template <class F>
HRESULT Guard(F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// The process-flow actions the framework does not support.
constexpr std::wstring_view kUnsupportedActions[] = {
    L"PauseProcessor", L"ContinueProcessor", L"ResetProcessor", L"SingleStepProcessor",
    L"CompileProgram", L"DownloadProgram", L"StartDebug", L"StartAttach", L"EndDebug", L"ProcessorMenu",
    L"Flash_ResetDevice", L"Flash_ConfigureDevice", L"Flash_DownloadDevice", L"Flash_ChooseAndDownload",
    L"VerifyProgram",
};

// Device kinds a Supports request may name, asked in this order.
struct TKindQuery {
  std::wstring_view Name;
  bool (TTovikDriver::*Ask)();
};
constexpr TKindQuery kKindQueries[] = {
    {L"CPLD", &TTovikDriver::IsCPLD},
    {L"FPGA", &TTovikDriver::IsFPGA},
    {L"PROM", &TTovikDriver::IsPROM},
    {L"PROC", &TTovikDriver::IsHardProcessor},
    {L"SPROC", &TTovikDriver::IsSoftProcessor},
    {L"GPROC", &TTovikDriver::IsGenericProcessor},
};

// The FPGA vendors whose tools the host can be asked about.
struct TVendorTools {
  std::wstring_view Vendor;
  bool (*Present)();
  bool (*UpToDate)(WideString& version);
  void (*Descriptor)(WideString& text);
};
constexpr TVendorTools kVendorTools[] = {
    {L"Xilinx", &XilinxToolsInstalled, &CheckXilinxToolsVersion, &XilinxToolsDescriptor},
    {L"Altera", &AlteraToolsInstalled, &CheckAlteraToolsVersion, &AlteraToolsDescriptor},
    {L"Actel", &ActelToolsInstalled, &CheckActelToolsVersion, &ActelToolsDescriptor},
    {L"Lattice", &LatticeToolsInstalled, &CheckLatticeToolsVersion, &LatticeToolsDescriptor},
};

const TVendorTools* FindVendorTools(const WideString& vendor) {
  for (const TVendorTools& tools : kVendorTools)
    if (SameServiceName(vendor, tools.Vendor)) return &tools;
  return nullptr;
}

// The device pictures: the host's base picture and the per-family overlays.
constexpr std::wstring_view kBaseDeviceImage = L"Generic_Hard_Device.bmp";
constexpr std::wstring_view kDeviceImageFolder = L"DeviceImages\\";

TBitmap LoadBitmapFile(const WideString& fileName) {
  TBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (!bitmap) throw Exception(L"Cannot load the picture " + fileName);
  return bitmap;
}

constexpr std::wstring_view kEmbeddedLibraryFolder = L"Library\\Embedded\\";
constexpr std::wstring_view kConstraintExtension = L".Constraint";

}  // namespace

bool FindConstraintFile(const WideString& name, WideString& path) {
  path.clear();
  if (name.empty()) return false;
  // Each folder is asked only when the candidates before it do not exist.
  const std::function<WideString()> candidates[] = {
      [&] { return name; },
      [&] { return GetModuleFolder() + WideString(kEmbeddedLibraryFolder) + name; },
      [&] { return GetHostDataFolder() + name; },
      [&] { return SpecialFolder_EmbeddedExtension() + WideString(kEmbeddedLibraryFolder) + name; },
  };
  for (const auto& candidate : candidates) {
    WideString file = candidate();
    if (FileExists(file)) {
      path = std::move(file);
      return true;
    }
  }
  return false;
}

TTovikDriver::TTovikDriver(const WideString& CoreExt) : FCoreExt(CoreExt) {
  // The module's dialogs belong to the host's window.
  if (IClient client = GetHostClient())
    SetApplicationHandle(reinterpret_cast<HWND>(static_cast<INT_PTR>(client.GetApplicationHandle())));
}

TTovikDriver::~TTovikDriver() {
  FDeviceImage.reset();
  FDeviceAboutImage.reset();
  TTovikDriver::ReleaseResources();  // catches its own errors
}

void TTovikDriver::AfterConstruction() {
  AfterCreate();
  TAbstractTovikDriver::AfterConstruction();
}

HRESULT STDMETHODCALLTYPE TTovikDriver::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
    *out = static_cast<IDispatch*>(this);
  else if (IsEqualIID(iid, IID_ISupportService))
    *out = static_cast<ISupportService*>(this);
  else if (IsEqualIID(iid, IID_IMemoryAccess))
    *out = static_cast<IMemoryAccess*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  return S_OK;  // references are not counted
}

HRESULT STDMETHODCALLTYPE TTovikDriver::MemoryRead(int32_t, uint32_t*, int64_t, int32_t, BOOL* Success) {
  if (Success) *Success = FALSE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TTovikDriver::MemoryWrite(int32_t, uint32_t*, int64_t, int32_t, BOOL* Success) {
  if (Success) *Success = FALSE;
  return S_OK;
}

// ---- Neutral defaults

#define TVK_TOVIK_DRIVER_DEFINE(Name, Type, Value) \
  HRESULT TTovikDriver::Name(Type& Result) {       \
    Result = Type(Value);                          \
    return S_OK;                                   \
  }
TVK_TOVIK_DRIVER_CONSTANTS(TVK_TOVIK_DRIVER_DEFINE)
#undef TVK_TOVIK_DRIVER_DEFINE

#define TVK_TOVIK_DRIVER_DEFINE_1(Name, Arg, Type, Value) \
  HRESULT TTovikDriver::Name(Arg, Type& Result) {         \
    Result = Type(Value);                                 \
    return S_OK;                                          \
  }
TVK_TOVIK_DRIVER_CONSTANTS_1(TVK_TOVIK_DRIVER_DEFINE_1)
#undef TVK_TOVIK_DRIVER_DEFINE_1

HRESULT TTovikDriver::GetDeviceDescription(WideString& Result) {
  return Guard([&] { CheckResult(GetDeviceName(Result)); });
}

HRESULT TTovikDriver::GetDeviceDisplayName(WideString& Result) {
  return Guard([&] { CheckResult(GetDeviceName(Result)); });
}

HRESULT TTovikDriver::GetMemorySpaceShortName(int32_t Space, WideString& Result) {
  return Guard([&] { CheckResult(GetMemorySpaceName(Space, Result)); });
}

HRESULT TTovikDriver::GetProcessorRegisterShortName(int32_t Index, WideString& Result) {
  return Guard([&] { CheckResult(GetProcessorRegisterName(Index, Result)); });
}

HRESULT TTovikDriver::AddSoftBreakpoint(int32_t, int64_t, uint32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikDriver::RemoveSoftBreakpoint(int32_t, int64_t, uint32_t, bool& Result) {
  Result = false;
  return S_OK;
}

// ---- Host device, constraint file, library folder

HRESULT TTovikDriver::GetTovikDevice(ITovikDevice& Result) {
  Result = FTovikDevice;
  return S_OK;
}

HRESULT TTovikDriver::SetTovikDevice(const ITovikDevice& Device, bool& Result) {
  return Guard([&] {
    FTovikDevice = Device;
    Result = true;
    if (FRackForm) AsInstrumentForm(*FRackForm).SetTovikDevice(Device);
    if (Device.IsEmpty()) CheckResult(ReleaseResources());
  });
}

IJTagChannel TTovikDriver::JTagChannel() const {
  return FTovikDevice ? FTovikDevice.GetJTagChannel() : IJTagChannel();
}

int32_t TTovikDriver::JTagIndex() const { return FTovikDevice ? FTovikDevice.GetJTagIndex() : 0; }

HRESULT TTovikDriver::SetEmbeddedConstraintFile(const WideString& Name) {
  return Guard([&] { FCustomConstraintFile = Name; });
}

HRESULT TTovikDriver::GetEmbeddedConstraintFile(WideString& Result) {
  Result.clear();
  return Guard([&] {
    WideString path;
    if (FindConstraintFile(FCustomConstraintFile, path)) {
      Result = path;
      return;
    }
    // The driver's own names, each asked only when the ones before found nothing.
    const std::function<WideString()> names[] = {
        [&] { WideString n; CheckResult(GetDeviceName(n)); return n; },
        [&] { WideString n; CheckResult(GetDeviceParameter(L"ProcessorDeviceName", n)); return n; },
        [&] { WideString n; CheckResult(GetBaseName(n)); return n; },
        [&] { WideString n; CheckResult(GetFamilyName(n)); return n; },
    };
    for (const auto& name : names)
      if (FindConstraintFile(name() + WideString(kConstraintExtension), path)) {
        Result = path;
        return;
      }
    IDeviceProcessorInformation info;
    if (GetProcessorInformation(info) && info &&
        FindConstraintFile(info.GetDeviceProcessorToolChainString() + WideString(kConstraintExtension), path))
      Result = path;
  });
}

HRESULT TTovikDriver::GetFolder_Library(WideString& Result) {
  return Guard([&] { Result = GetLibraryFolder(); });
}

HRESULT TTovikDriver::Supports(const WideString& Name, bool& Result) {
  return Guard([&] {
    for (const TKindQuery& kind : kKindQueries)
      if (SameServiceName(Name, kind.Name)) {
        Result = (this->*kind.Ask)();
        return;
      }
    WideString toolchain;
    if (GetToolchainName(Name, toolchain) && !toolchain.empty()) {
      Result = false;
      return;
    }
    const std::wstring_view action = kProcessFlowCommands[std::size_t(GetFlowActionIndex(Name))];
    Result = std::ranges::find(kUnsupportedActions, action) == std::end(kUnsupportedActions);
  });
}

// ---- Generic register access over JTAG

bool TTovikDriver::RegisterInRange(int32_t index) {
  int32_t count = 0;
  CheckResult(GetProcessorRegisterCount(count));
  // Only registers with a select code can be reached, whatever the count says.
  return index >= 0 && index < count && index < int32_t(std::size(kRegisterSelectCodes));
}

void TTovikDriver::SelectRegister(const IJTagChannel& channel, int32_t position, int32_t index, bool write) {
  channel.ShiftIR(GetRegisterSelectInstruction(), position);
  channel.MoveTAPState(kTapRunTestIdle, kTapShiftDR);
  channel.SendDR(kRegisterSelectCodes[index] | (write ? kRegisterSelectWrite : 0), kRegisterSelectBits, position);
  channel.MoveTAPState(kTapExit1DR, kTapRunTestIdle);
  channel.ShiftIR(GetRegisterDataInstruction(), position);
  channel.MoveTAPState(kTapRunTestIdle, kTapShiftDR);
}

uint32_t TTovikDriver::AccessRegister(int32_t index, bool write, uint32_t value) {
  IJTagChannel channel = JTagChannel();
  if (!channel) return 0;
  const int32_t position = JTagIndex();
  uint32_t width = 0;
  CheckResult(GetProcessorRegisterWidth(index, width));
  SelectRegister(channel, position, index, write);
  const uint32_t out = channel.ExchangeDR(value, int32_t(width), position);
  channel.MoveTAPState(kTapExit1DR, kTapRunTestIdle);
  return out;
}

WideString TTovikDriver::AccessRegisterWide(int32_t index, bool write, const WideString& value) {
  IJTagChannel channel = JTagChannel();
  if (!channel) return L"0";
  const int32_t position = JTagIndex();
  uint32_t width = 0;
  CheckResult(GetProcessorRegisterWidth(index, width));
  // Exactly Width bits: the last Width characters, padded on the left with "0".
  WideString bits = value.size() > width ? value.substr(value.size() - width) : value;
  bits.insert(0, width - bits.size(), L'0');
  SelectRegister(channel, position, index, write);
  WideString out = channel.ShiftDRString(bits, position);
  channel.MoveTAPState(kTapExit1DR, kTapRunTestIdle);
  return out;
}

HRESULT TTovikDriver::GetProcessorRegisterValue(int32_t Index, uint32_t& Result) {
  Result = 0;
  return Guard([&] {
    if (RegisterInRange(Index)) Result = AccessRegister(Index, false, 0);
  });
}

HRESULT TTovikDriver::SetProcessorRegisterValue(int32_t Index, uint32_t Value, bool& Result) {
  Result = false;
  return Guard([&] {
    if (!RegisterInRange(Index)) return;
    Result = true;
    AccessRegister(Index, true, Value);
  });
}

HRESULT TTovikDriver::GetProcessorRegisterWideValue(int32_t Index, WideString& Result) {
  Result = L"0";
  return Guard([&] {
    if (RegisterInRange(Index)) Result = AccessRegisterWide(Index, false, WideString());
  });
}

HRESULT TTovikDriver::SetProcessorRegisterWideValue(int32_t Index, const WideString& Value, bool& Result) {
  Result = false;
  return Guard([&] {
    if (!RegisterInRange(Index)) return;
    Result = true;
    AccessRegisterWide(Index, true, Value);  // what comes back is of no use
  });
}

// ---- Channel, transactions and the control register

void TTovikDriver::OpenChannel() {
  if (IJTagChannel channel = JTagChannel()) channel.Open();
}

void TTovikDriver::CloseChannel() {
  if (IJTagChannel channel = JTagChannel()) channel.Close();
}

void TTovikDriver::TransactionBegin() {
  OpenChannel();
  FTovikDevice.TransactionBegin();
}

void TTovikDriver::TransactionEnd() {
  FTovikDevice.TransactionEnd();
  CloseChannel();
}

void TTovikDriver::ReadControlRegister() {
  FControlRegister = uint8_t(FTovikDevice.ReadDebugRegister(kControlRegisterAddress, kControlRegisterBits) & 0xFF);
}

void TTovikDriver::WriteControlRegister() {
  FTovikDevice.WriteDebugRegister(kControlRegisterAddress, kControlRegisterBits, FControlRegister);
}

void TTovikDriver::SetControlBit(uint8_t bit, bool on) {
  FControlRegister = on ? uint8_t(FControlRegister | bit) : uint8_t(FControlRegister & ~bit);
}

HRESULT TTovikDriver::ResetTovikRegisters() {
  return Guard([&] {
    OpenChannel();
    if (IJTagChannel channel = JTagChannel()) channel.ShiftIR(kResetRegistersInstruction, JTagIndex());
    CloseChannel();
  });
}

// Run control. Each step that is a driver operation goes through the virtual
// operation, so a level that overrides PauseProcessor changes the others too.

HRESULT TTovikDriver::ResetProcessor() {
  return Guard([&] {
    OpenChannel();
    CheckResult(PauseProcessor());
    SetControlBit(kCR_Reset, true);
    WriteControlRegister();
    SetControlBit(kCR_Reset, false);
    WriteControlRegister();
    ReadControlRegister();
    CloseChannel();
  });
}

HRESULT TTovikDriver::PauseProcessor() {
  return Guard([&] {
    OpenChannel();
    ReadControlRegister();
    SetControlBit(kCR_StepCounterBreakpointEnable | kCR_Reset | kCR_DebugAcknowledge | kCR_DebugStep |
                      kCR_DebuggerProgramSelect,
                  false);
    SetControlBit(kCR_DebugEnable | kCR_DebugRequest, true);
    WriteControlRegister();
    ReadControlRegister();
    CloseChannel();
  });
}

HRESULT TTovikDriver::ContinueProcessor() {
  return Guard([&] {
    OpenChannel();
    ReadControlRegister();
    SetControlBit(kCR_StepCounterBreakpointEnable | kCR_Reset | kCR_DebugEnable | kCR_DebugAcknowledge |
                      kCR_DebugRequest | kCR_DebugStep | kCR_DebuggerProgramSelect,
                  false);
    SetControlBit(kCR_DebugEnable | kCR_DebugRequest, true);
    WriteControlRegister();
    SetControlBit(kCR_DebugRequest, false);
    WriteControlRegister();
    ReadControlRegister();
    CloseChannel();
  });
}

HRESULT TTovikDriver::SingleStepProcessor() {
  return Guard([&] {
    OpenChannel();
    CheckResult(PauseProcessor());
    ReadControlRegister();
    SetControlBit(kCR_Reset, false);
    SetControlBit(kCR_DebugRequest | kCR_DebugEnable, true);
    WriteControlRegister();
    SetControlBit(kCR_DebugStep, true);
    WriteControlRegister();
    ReadControlRegister();
    CloseChannel();
  });
}

HRESULT TTovikDriver::RunSteps(int32_t Count) {
  return Guard([&] {
    OpenChannel();
    ReadControlRegister();
    CheckResult(PauseProcessor());
    SetControlBit(kCR_Reset, false);
    SetControlBit(kCR_DebugRequest | kCR_DebugEnable, true);
    WriteControlRegister();
    SetControlBit(kCR_DebugStep, true);
    for (int32_t step = 0; step < Count; ++step) WriteControlRegister();
    ReadControlRegister();
    CloseChannel();
  });
}

HRESULT TTovikDriver::RunSingleStepInSubstitutionRegister() {
  return Guard([&] {
    OpenChannel();
    ReadControlRegister();
    SetControlBit(kCR_Reset, false);
    SetControlBit(kCR_DebugRequest | kCR_DebugEnable, true);
    WriteControlRegister();
    SetControlBit(kCR_DebuggerProgramSelect, true);
    WriteControlRegister();
    SetControlBit(kCR_DebugStep, true);
    WriteControlRegister();
    SetControlBit(kCR_DebuggerProgramSelect | kCR_DebugStep, false);
    WriteControlRegister();
    ReadControlRegister();
    CloseChannel();
  });
}

HRESULT TTovikDriver::ProcessorIsPaused(bool& Result) {
  return Guard([&] {
    OpenChannel();
    ReadControlRegister();
    Result = ControlBit(kCR_DebugEnable) && ControlBit(kCR_DebugAcknowledge);
    CloseChannel();
  });
}

HRESULT TTovikDriver::ProcessorIsReset(bool& Result) {
  return Guard([&] {
    OpenChannel();
    ReadControlRegister();
    Result = ControlBit(kCR_Reset);
    CloseChannel();
  });
}

HRESULT TTovikDriver::ProcessorIsRunning(bool& Result) {
  return Guard([&] {
    bool held = false;
    CheckResult(ProcessorIsReset(held));
    if (!held) CheckResult(ProcessorIsPaused(held));
    Result = !held;
  });
}

// ---- Flows and core output

IProcessFlow& TTovikDriver::FlowStage(IProcessFlow& flow, int32_t kind) {
  if (!flow) flow = CreateProcessFlow(kind);
  return flow;
}

HRESULT TTovikDriver::FlowStage_Build(IProcessFlow& Result) {
  return Guard([&] { Result = FlowStage(FBuildFlow, kFlowStageBuild); });
}

HRESULT TTovikDriver::FlowStage_Download(IProcessFlow& Result) {
  return Guard([&] { Result = FlowStage(FDownloadFlow, kFlowStageDownload); });
}

HRESULT TTovikDriver::CoreGen_OutputExtension(WideString& Result) {
  Result = FCoreExt;
  return S_OK;
}

// ---- Vendor tools: without tools of one of the four vendors nothing is missing.

HRESULT TTovikDriver::VendorToolsPresent(bool& Result) {
  return Guard([&] {
    WideString vendor;
    CheckResult(GetVendorName(vendor));
    const TVendorTools* tools = FindVendorTools(vendor);
    Result = !tools || tools->Present();
  });
}

HRESULT TTovikDriver::VendorToolsUpToDate(bool& Result) {
  return Guard([&] {
    WideString vendor, version;
    CheckResult(GetVendorName(vendor));
    const TVendorTools* tools = FindVendorTools(vendor);
    Result = !tools || tools->UpToDate(version);
  });
}

HRESULT TTovikDriver::VendorToolsDescriptor(WideString& Result) {
  Result.clear();
  return Guard([&] {
    WideString vendor;
    CheckResult(GetVendorName(vendor));
    if (const TVendorTools* tools = FindVendorTools(vendor)) tools->Descriptor(Result);
  });
}

// ---- Programming and test stubs

HRESULT TTovikDriver::Flash_Configure() { return S_OK; }

HRESULT TTovikDriver::Flash_ResetForBitStream(bool& Result) {
  return Guard([&] { CheckResult(Flash_Reset(Result)); });
}

HRESULT TTovikDriver::EPM_Download(const WideString&, const WideString& Arg2, const WideString&, bool& Result) {
  Result = false;
  return Guard([&] {
    bool reset = false;
    CheckResult(ResetDevice(reset));
    if (!reset) return;
    int32_t programmed = 0, state = 0;
    CheckResult(ProgramDevice(Arg2, programmed));
    CheckResult(GetDeviceState(state));
    Result = state == 2;
  });
}

HRESULT TTovikDriver::EPM_SetPercentCallBack(const IPercentCallback& CallBack) {
  FCallBack = CallBack;
  return S_OK;
}

HRESULT TTovikDriver::ShowCurrentSensePanel() { return S_OK; }

HRESULT TTovikDriver::ShowAboutDialog() { return S_OK; }

HRESULT TTovikDriver::CustomAction_Execute(int32_t) { return S_OK; }

HRESULT TTovikDriver::CustomAction_GetState(int32_t, bool& State1, bool&, bool& State3, uint32_t, uint32_t) {
  State1 = false;
  State3 = false;
  return S_OK;
}

// ---- Added operations

uint32_t TTovikDriver::GetRegisterSelectInstruction() { return kRegisterSelectInstruction; }
uint32_t TTovikDriver::GetRegisterDataInstruction() { return kRegisterDataInstruction; }

bool TTovikDriver::GetProcessorInformation(IDeviceProcessorInformation& Info) {
  Info.Clear();
  return false;
}

bool TTovikDriver::IsCPLD() { return false; }
bool TTovikDriver::IsFPGA() { return false; }
bool TTovikDriver::IsPROM() { return false; }
bool TTovikDriver::IsHardProcessor() { return false; }
bool TTovikDriver::IsSoftProcessor() { return false; }
bool TTovikDriver::IsGenericProcessor() { return false; }

IProcessFlow TTovikDriver::CreateProcessFlow(int32_t) { return IProcessFlow(); }

const TInstrumentViewClass& TTovikDriver::GetRackViewClass() { return DriverUI().RackInstrumentView(); }

// ---- Device picture

TBitmap TTovikDriver::BuildDeviceImage(const WideString& name) {
  const WideString baseFile = GetSystemFolder() + WideString(kBaseDeviceImage);
  if (!FileExists(baseFile)) return nullptr;
  TBitmap image = LoadBitmapFile(baseFile);
  WideString library;
  CheckResult(GetFolder_Library(library));
  const WideString overlayFile = library + WideString(kDeviceImageFolder) + name + L".bmp";
  if (FileExists(overlayFile)) {
    TBitmap overlay = LoadBitmapFile(overlayFile);
    CenterOverlayBitmap(overlay.get(), image.get(), true);
  }
  return image;
}

HRESULT TTovikDriver::GetBitmapHandle(uint32_t& Result) {
  Result = 0;
  return Guard([&] {
    if (!FDeviceImage) {
      WideString family;
      CheckResult(GetFamilyName(family));
      FDeviceImage = BuildDeviceImage(family);
    }
    Result = uint32_t(reinterpret_cast<uintptr_t>(FDeviceImage.get()));
  });
}

// ---- Rack viewer

std::unique_ptr<TDriverForm> TTovikDriver::CreateRackForm() {
  IJTagChannel channel = JTagChannel();
  IJTagDevice jtagDevice = channel ? channel.GetJTagDevice(JTagIndex()) : IJTagDevice();
  if (!jtagDevice) return nullptr;
  if (jtagDevice.GetBSDLEntity()) {
    std::unique_ptr<TDriverForm> form = DriverUI().CreateHardDeviceViewerForm(FTovikDevice, jtagDevice);
    if (form) AsInstrumentForm(*form).SetState_Controls();
    return form;
  }
  ShowErrorMessage(L"Failed To find Boundary Scan data for Device\r\rDevice:  " + FTovikDevice.GetDeviceName());
  return nullptr;
}

HRESULT TTovikDriver::CreateRackViewer() {
  return Guard([&] {
    if (FRackForm) return;
    FRackFormOwner = CreateRackForm();
    FRackForm = FRackFormOwner.get();
    if (!FRackForm) return;
    AsInstrumentForm(*FRackForm).Display(FTovikDevice);
    IInstrumentView view = GetRackViewClass().Create(*FRackForm);
    (void)FRackFormOwner.release();  // the view owns the form from now on
    FRackView = view;
  });
}

HRESULT TTovikDriver::GetRackViewer(IInstrumentView& Result) {
  Result = FRackView;
  return S_OK;
}

HRESULT TTovikDriver::ReleaseResources() {
  return Guard([&] {
    if (FRackView) {
      FRackView.Release();  // the view disposes of the form
      FRackView.Clear();
      FRackForm = nullptr;
    } else if (FRackForm) {
      FRackFormOwner.reset();
      FRackForm = nullptr;
    }
  });
}

}  // namespace tvk
