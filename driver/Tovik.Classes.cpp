#include "Tovik.Classes.h"

#include "Dialogs.h"
#include "Extension.Util.h"
#include "Files.h"
#include "Tovik.Classes.Breakpoints.h"
#include "Tovik.Types.h"
#include "Tovik.Utils.h"
#include "ZUL.HostModules.h"
#include "ZUL.Util.h"

#include <algorithm>
#include <functional>
#include <span>
#include <utility>

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
const IID IID_IFlashWriterDriverLink = {0x97D62810, 0x2143, 0x4888, {0xAA, 0xF9, 0x09, 0xE7, 0x9E, 0xC8, 0x3A, 0x46}};
const IID IID_IFlashWriterFace = {0x6F1D2C8A, 0x3B57, 0x4E09, {0x9A, 0x42, 0x1C, 0x7D, 0x5E, 0x8B, 0x03, 0xF6}};

namespace {

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

TBitmapHandle LoadBitmapFile(const WideString& fileName) {
  TBitmapHandle bitmap(static_cast<HBITMAP>(
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

TBitmapHandle TTovikDriver::BuildDeviceImage(const WideString& name) {
  const WideString baseFile = GetSystemFolder() + WideString(kBaseDeviceImage);
  if (!FileExists(baseFile)) return nullptr;
  TBitmapHandle image = LoadBitmapFile(baseFile);
  WideString library;
  CheckResult(GetFolder_Library(library));
  const WideString overlayFile = library + WideString(kDeviceImageFolder) + name + L".bmp";
  if (FileExists(overlayFile)) {
    TBitmapHandle overlay = LoadBitmapFile(overlayFile);
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

// ---- Memory sections

namespace {

// Answers the object pointer of this module's architecture sections, so that
// a logical section can tell its own kind of parent from a foreign one.
// {6B0E4C1D-9A2F-4F57-8C31-2E5D7A9B4F60}
const IID IID_TovikArchitectureSectionObject = {0x6B0E4C1D, 0x9A2F, 0x4F57,
                                                {0x8C, 0x31, 0x2E, 0x5D, 0x7A, 0x9B, 0x4F, 0x60}};

template <class Record>
HRESULT ItemAt(const std::vector<Record>& list, uint32_t index, Record& result) {
  result = index < list.size() ? list[index] : Record();
  return S_OK;
}

}  // namespace

TDeviceMemoryArchitectureSection::~TDeviceMemoryArchitectureSection() {
  for (TDeviceMemoryLogicalSection* section : FLinkedSections) section->FParentLink = nullptr;
}

HRESULT STDMETHODCALLTYPE TDeviceMemoryArchitectureSection::QueryInterface(REFIID iid, void** out) {
  if (out && IsEqualIID(iid, IID_TovikArchitectureSectionObject)) {
    *out = this;
    AddRef();
    return S_OK;
  }
  return TAbstractDeviceMemoryArchitectureSection::QueryInterface(iid, out);
}

TDeviceMemoryArchitectureSection* TDeviceMemoryArchitectureSection::FromDispatch(IDispatch* object) {
  if (!object) return nullptr;
  void* found = nullptr;
  if (FAILED(object->QueryInterface(IID_TovikArchitectureSectionObject, &found)) || !found) return nullptr;
  auto* section = static_cast<TDeviceMemoryArchitectureSection*>(found);
  section->Release();  // the caller's reference keeps it alive
  return section;
}

HRESULT TDeviceMemoryArchitectureSection::AddLogicalSection(const IDeviceMemoryLogicalSection& Section,
                                                            int32_t& Result) {
  FChildList.push_back(Section);
  Result = 0;
  return S_OK;
}

HRESULT TDeviceMemoryArchitectureSection::GetChildMapCount(uint32_t& Result) {
  Result = uint32_t(FChildList.size());
  return S_OK;
}

HRESULT TDeviceMemoryArchitectureSection::GetChildMap(uint32_t Index, IDeviceMemoryLogicalSection& Result) {
  return ItemAt(FChildList, Index, Result);
}

TDeviceMemoryLogicalSection::~TDeviceMemoryLogicalSection() { DropParentLink(); }

void TDeviceMemoryLogicalSection::DropParentLink() {
  if (FParentLink) std::erase(FParentLink->FLinkedSections, this);
  FParentLink = nullptr;
  FForeignParent.Clear();
}

HRESULT TDeviceMemoryLogicalSection::GetParentMap(IDeviceMemoryArchitectureSection& Result) {
  Result = FParentLink ? IDeviceMemoryArchitectureSection(static_cast<IDispatch*>(FParentLink)) : FForeignParent;
  return S_OK;
}

HRESULT TDeviceMemoryLogicalSection::SetParentMap(const IDeviceMemoryArchitectureSection& Section) {
  TDeviceMemoryArchitectureSection* own = TDeviceMemoryArchitectureSection::FromDispatch(Section.ToPointer());
  IDeviceMemoryArchitectureSection keep = Section;  // Section may be the record being dropped
  DropParentLink();
  if (own) {
    own->FLinkedSections.push_back(this);
    FParentLink = own;
  } else {
    FForeignParent = keep;
  }
  return S_OK;
}

// ---- TDeviceMemoryInformation

namespace {

// The address range of a section, in 64 bits so that no sum wraps; an empty
// range (size 0) lies nowhere.
struct TAddressRange {
  int64_t First, End;  // End is one past the last address

  template <class Section>
  static TAddressRange Of(const Section& s) {
    int64_t first = s.GetStartAddress();
    return {first, first + int64_t(s.GetSize())};
  }
  bool Empty() const { return End == First; }
  bool Overlaps(const TAddressRange& o) const { return !Empty() && !o.Empty() && First < o.End && o.First < End; }
  bool Contains(const TAddressRange& o) const { return !o.Empty() && o.First >= First && o.End <= End; }
};

}  // namespace

HRESULT TDeviceMemoryInformation::GetDefaultROMLogicalSection(IDeviceMemoryLogicalSection& Result) {
  Result = FDefaultRomMap;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetDefaultRAMLogicalSection(IDeviceMemoryLogicalSection& Result) {
  Result = FDefaultRamMap;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetDefaultFlashLogicalSection(IDeviceMemoryLogicalSection& Result) {
  Result = FDefaultFlashMap;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetArchitectureSectionCount(uint32_t& Result) {
  Result = uint32_t(FArchitectureSectionList.size());
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetLogicalSectionCount(uint32_t& Result) {
  Result = uint32_t(FLogicalSectionList.size());
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetLogicalSection(uint32_t Index, IDeviceMemoryLogicalSection& Result) {
  return ItemAt(FLogicalSectionList, Index, Result);
}

HRESULT TDeviceMemoryInformation::GetArchitectureSection(uint32_t Index, IDeviceMemoryArchitectureSection& Result) {
  return ItemAt(FArchitectureSectionList, Index, Result);
}

HRESULT TDeviceMemoryInformation::AddArchitectureSection(const IDeviceMemoryArchitectureSection& Section,
                                                         int32_t& Result) {
  Result = -1;
  const TAddressRange range = TAddressRange::Of(Section);
  if (range.Empty()) return S_OK;
  const WideString busType = Section.GetBusType();
  // By index, with a counted copy: a foreign section may call back into the map.
  for (std::size_t i = 0; i < FArchitectureSectionList.size(); ++i) {
    const IDeviceMemoryArchitectureSection existing = FArchitectureSectionList[i];
    if (existing.GetBusType() == busType && TAddressRange::Of(existing).Overlaps(range)) return S_OK;
  }
  FArchitectureSectionList.push_back(Section);
  Result = 0;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::AddLogicalSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) {
  Result = -1;
  const TAddressRange range = TAddressRange::Of(Section);
  const WideString busType = Section.GetBusType();
  for (std::size_t i = 0; i < FArchitectureSectionList.size(); ++i) {
    const IDeviceMemoryArchitectureSection parent = FArchitectureSectionList[i];
    if (parent.GetBusType() != busType || !TAddressRange::Of(parent).Contains(range)) continue;
    Section.SetParentMap(parent);
    Section.SetBusName(parent.GetBusName());
    Section.SetDeviceMemoryIndex(parent.GetDeviceMemoryIndex());
    parent.AddLogicalSection(Section);
    FLogicalSectionList.push_back(Section);
    int32_t ignored = 0;
    CheckResult(AddDefaultSection(Section, ignored));
    Result = 0;
    return S_OK;
  }
  return S_OK;
}

HRESULT TDeviceMemoryInformation::AddDefaultSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) {
  Result = 0;
  if (!Section.GetIsDefault()) return S_OK;
  const WideString kind = Section.GetPhysicalType();
  IDeviceMemoryLogicalSection* slot = SameServiceName(kind, L"rom")     ? &FDefaultRomMap
                                      : SameServiceName(kind, L"ram")   ? &FDefaultRamMap
                                      : SameServiceName(kind, L"flash") ? &FDefaultFlashMap
                                                                        : nullptr;
  if (slot) *slot = Section;
  return S_OK;
}

// ---- TDeviceProcessorInformation

namespace {

// The position of Name in Table; an unknown name does not compile.
template <std::size_t N>
consteval uint8_t IndexOf(const std::array<std::wstring_view, N>& table, std::wstring_view name) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == name) return uint8_t(i);
  throw "name not in the table";
}

consteval TDeviceProcessorDescription Row(std::wstring_view arch, std::wstring_view family,
                                          std::wstring_view toolChain, std::wstring_view target) {
  return {IndexOf(kDeviceProcessorArchitectures, arch), IndexOf(kDeviceProcessorFamilies, family),
          IndexOf(kDeviceProcessorToolChains, toolChain), IndexOf(kDeviceProcessorToolChainTargets, target)};
}

// Rows shared by groups of cores.
constexpr auto kUnknownArm = [](std::wstring_view arch, std::wstring_view family) consteval {
  return Row(arch, family, L"BRELMOX ARM", L"UNKNOWN");
};

}  // namespace

constexpr std::array<TDeviceProcessorDescription, kDeviceProcessor_CoreCount> kDeviceProcessorDescriptions = [] {
  constexpr auto arm4t = Row(L"ARMv4T", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T");
  constexpr auto arm9t = Row(L"ARMv4T", L"ARM9TDMI", L"BRELMOX ARM", L"ARMv4T");
  constexpr auto arm9e = Row(L"ARMv5TE", L"ARM9E", L"BRELMOX ARM", L"ARMv5TE");
  constexpr auto arm10e = Row(L"ARMv5TE", L"ARM10E", L"BRELMOX ARM", L"ARMv5TE");
  constexpr auto xscale = Row(L"ARMv5TE", L"XSCALE", L"BRELMOX ARM", L"XScale");
  constexpr auto armR = kUnknownArm(L"ARMv7_R", L"CORTEX");
  constexpr auto rows = std::to_array<TDeviceProcessorDescription>({
      Row(L"UNKNOWN", L"UNKNOWN", L"BRELMOX UNKNOWN", L"UNKNOWN"),  // UNKNOWN
      kUnknownArm(L"ARMvGeneric", L"ARMvGENERIC"),                   // ARMvGENERIC
      kUnknownArm(L"ARMv1", L"ARM1"),                                // ARM1
      kUnknownArm(L"ARMv2", L"ARM2"),                                // ARM2
      kUnknownArm(L"ARMv2a", L"ARM2"),                               // ARM250
      kUnknownArm(L"ARMv2a", L"ARM3"),                               // ARM2a
      kUnknownArm(L"ARMv3", L"ARM6"),                                // ARM610
      arm4t, arm4t, arm4t, arm4t,                                    // ARM7TDMI_S, ARM710T, ARM720T, ARM740T
      Row(L"ARMv5TEJ", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T"),      // ARM7EJ_S
      arm9t, arm9t, arm9t, arm9t,                                    // ARM9TDMI, ARM920T, ARM922T, ARM940T
      arm9e, arm9e, arm9e,                                           // ARM946E_S, ARM966E_S, ARM968E_S
      Row(L"ARMv5TEJ", L"ARM9E", L"BRELMOX ARM", L"ARMv5TE"),        // ARM926EJ_S
      arm9e,                                                         // ARM996HS
      arm10e, arm10e,                                                // ARM1020E, ARM1022E
      Row(L"ARMv5TEJ", L"ARM10E", L"BRELMOX ARM", L"ARMv5TE"),       // ARM1026EJ_S
      xscale, xscale, xscale, xscale, xscale, xscale, xscale, xscale,  // ARM_80200 .. ARM_PXA210
      xscale, xscale, xscale, xscale, xscale, xscale, xscale, xscale,  // ARM_PXA250 .. ARM_IXC1100
      xscale, xscale, xscale, xscale, xscale, xscale, xscale, xscale,  // ARM_IXP2400 .. ARM_IXP465
      kUnknownArm(L"ARMv6", L"ARM11"),                               // ARM1136J_F_S
      kUnknownArm(L"ARMv6T2", L"ARM11"),                             // ARM1156T2_F_S
      kUnknownArm(L"ARMv6KZ", L"ARM11"),                             // ARM1176JZ_F_S
      kUnknownArm(L"ARMv6K", L"ARM11"),                              // ARM11MPCORE
      kUnknownArm(L"ARMv7_A", L"CORTEX"),                            // ARM_CORTEX_A
      armR, armR,                                                    // ARM_CORTEX_R4, ARM_CORTEX_R4_F
      Row(L"ARMv7_M", L"CORTEX", L"BRELMOX ARM", L"ARMv7M"),         // ARM_CORTEX_M3
      kUnknownArm(L"ARMv6_M", L"CORTEX"),                            // ARM_CORTEX_M1
      Row(L"ARMv6_M", L"CORTEX", L"BRELMOX ARM", L"ARMv6M"),         // ARM_CORTEX_M0
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165A"),      // BRX165A
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165B"),      // BRX165B
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165C"),      // BRX165C
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165D"),      // BRX165D
      Row(L"BRX3000", L"BRX3000", L"BRELMOX 3000", L"BRX3000"),      // BRX3000
      Row(L"BRX51X", L"BRX51X", L"BRELMOX 8051", L"BRX51A"),         // BRX51A
      Row(L"BRX52X", L"BRX52X", L"BRELMOX 8051", L"BRX52A"),         // BRX52A
      Row(L"BRX52X", L"BRX52X", L"BRELMOX 8051", L"BRX52B"),         // BRX52B
      Row(L"MicroBlaze", L"MicroBlaze", L"BRELMOX MicroBlaze", L"MB"),  // MicroBlaze
      Row(L"MIPS", L"MIPS", L"BRELMOX UNKNOWN", L"MIPS32"),          // MIPS32
      Row(L"MIPS", L"MIPS", L"BRELMOX UNKNOWN", L"MIPS32r2"),        // MIPS32r2
      Row(L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIe"),      // NiosII_e
      Row(L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIf"),      // NiosII_f
      Row(L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIs"),      // NiosII_s
      Row(L"PowerPC", L"PowerPC", L"BRELMOX PowerPC", L"405"),       // PPC_405
      Row(L"BRX80x", L"BRX80x", L"BRELMOX Z80", L"BRX80A"),          // BRX80A
      arm4t,                                                         // CoreMP7
  });
  static_assert(rows.size() == kDeviceProcessor_CoreCount, "one row per processor core");
  return rows;
}();

std::size_t TDeviceProcessorInformation::Core() const {
  if (FCore < 0 || FCore >= kDeviceProcessor_CoreCount) throw Exception(L"Processor core out of range");
  return std::size_t(FCore);
}

const TDeviceProcessorDescription& TDeviceProcessorInformation::Row() const {
  return kDeviceProcessorDescriptions[Core()];
}

#define TVK_PROCESSOR_STRING(Operation, Expr) \
  HRESULT TDeviceProcessorInformation::Operation(WideString& Result) { \
    Result.clear();                                                 \
    try {                                                           \
      Result = Expr;                                                \
      return S_OK;                                                  \
    } catch (...) {                                                 \
      return kE_UNEXPECTED;                                         \
    }                                                               \
  }
TVK_PROCESSOR_STRING(GetDeviceProcessorFamilyString, kDeviceProcessorFamilies[Row().Family])
TVK_PROCESSOR_STRING(GetDeviceProcessorArchString, kDeviceProcessorArchitectures[Row().Architecture])
TVK_PROCESSOR_STRING(GetDeviceProcessorCoreString, kDeviceProcessorCoreStrings[Core()])
TVK_PROCESSOR_STRING(GetDeviceProcessorToolChainTargetString,
                     kDeviceProcessorToolChainTargets[Row().ToolChainTarget])
TVK_PROCESSOR_STRING(GetDeviceProcessorToolChainString, kDeviceProcessorToolChains[Row().ToolChain])
#undef TVK_PROCESSOR_STRING

// ---- Constraint files

namespace {

WideString StringField(const TParameterList& list, std::wstring_view name) {
  WideString value;
  list.GetState_ParameterAsString(name, value);
  return value;
}

// A size value; missing or unreadable gives 0.
uint32_t SizeField(const TParameterList& list, std::wstring_view name) {
  return ParseSizeValue(StringField(list, name));
}

bool BooleanField(const TParameterList& list, std::wstring_view name) {
  bool value = false;
  list.GetState_ParameterAsBoolean(name, value);
  return value;
}

constexpr uint32_t kDefaultMAU = 8;

}  // namespace

void LoadDeviceMemoryFromConstraint(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                    const WideString& fileFullPath) {
  if (!FileExists(fileFullPath)) return;
  for (const WideString& line : LoadTextLines(fileFullPath)) LoadMemoryMapsFromConstraintLine(driver, map, line);
}

void LoadMemoryMapsFromConstraintLine(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                      const WideString& line) {
  TParameterList list;
  list.SetState(line);
  const WideString record = StringField(list, L"Record");
  if (SameServiceName(record, L"BUS_LAYOUT_INFO")) LoadArchitectureSectionFromParamList(driver, map, list);
  else if (SameServiceName(record, L"TOVIK_CORE")) LoadLogicalSectionFromParamList(map, list);
}

void LoadArchitectureSectionFromParamList(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                          const TParameterList& list) {
  ComRef<TDeviceMemoryArchitectureSection> section(New<TDeviceMemoryArchitectureSection>());
  TDeviceMemoryArchitectureSection& s = *section.Get();
  int32_t width = 0;
  list.GetState_ParameterAsInteger(L"Memory_Width", width);
  CheckResult(s.SetDesignator(StringField(list, L"ComponentDesignator")));
  CheckResult(s.SetBusName(StringField(list, L"Memory_BusName")));
  CheckResult(s.SetDescription(StringField(list, L"Memory_Description")));
  CheckResult(s.SetBusType(StringField(list, L"Memory_BusType")));
  CheckResult(s.SetStartAddress(SizeField(list, L"ProgramDownloadAddress")));
  CheckResult(s.SetSize(SizeField(list, L"Memory_Depth")));
  CheckResult(s.SetAddressWidth(uint32_t(width)));
  CheckResult(s.SetIsMappedIO(BooleanField(list, L"Memory_MappedIO")));

  // The last memory space whose short name is the bus name gives the index.
  WideString busName;
  CheckResult(s.GetBusName(busName));
  int32_t spaceCount = 0;
  CheckResult(driver.GetMemorySpaceCount(spaceCount));
  for (int32_t i = 0; i < spaceCount; ++i) {
    WideString shortName;
    CheckResult(driver.GetMemorySpaceShortName(i, shortName));
    if (SameServiceName(shortName, busName)) CheckResult(s.SetDeviceMemoryIndex(uint32_t(i)));
  }
  map.AddArchitectureSection(IDeviceMemoryArchitectureSection(static_cast<IDispatch*>(section.Get())));
}

void LoadLogicalSectionFromParamList(const IDeviceMemoryInformation& map, const TParameterList& list) {
  ComRef<TDeviceMemoryLogicalSection> section(New<TDeviceMemoryLogicalSection>());
  TDeviceMemoryLogicalSection& s = *section.Get();
  uint32_t mau = SizeField(list, L"Memory_Mau");
  CheckResult(s.SetDesignator(StringField(list, L"ComponentDesignator")));
  CheckResult(s.SetBusName(StringField(list, L"Memory_BusName")));
  CheckResult(s.SetBusType(StringField(list, L"Memory_BusType")));
  CheckResult(s.SetIsDefault(BooleanField(list, L"Default")));
  CheckResult(s.SetMAU(mau == 0 ? kDefaultMAU : mau));
  CheckResult(s.SetSize(SizeField(list, L"Memory_Depth")));
  CheckResult(s.SetStartAddress(SizeField(list, L"ProgramDownloadAddress")));
  CheckResult(s.SetUsageType(StringField(list, L"Memory_UsageType")));
  CheckResult(s.SetPhysicalType(StringField(list, L"Memory_PhysicalType")));
  CheckResult(s.SetMemConfig(StringField(list, L"Memory_Configuration")));
  CheckResult(s.SetIsExternal(BooleanField(list, L"Memory_External")));
  map.AddLogicalSection(IDeviceMemoryLogicalSection(static_cast<IDispatch*>(section.Get())));
}

// ---- TTovikProcessorDriver

// The driver's own operations as the breakpoint objects use them; a failed
// result code raises.
class TTovikProcessorDriver::TBreakpointHooks final : public IBreakpointDriver {
public:
  explicit TBreakpointHooks(TTovikDriver& driver) : FDriver(driver) {}

  ITovikDevice GetTovikDevice() override {
    ITovikDevice device;
    CheckResult(FDriver.GetTovikDevice(device));
    return device;
  }
  void OpenChannel() override { FDriver.OpenChannel(); }
  void CloseChannel() override { FDriver.CloseChannel(); }
  uint32_t AddSoftBreakpoint(int32_t memorySpace, int64_t address) override {
    uint32_t replaced = 0;
    CheckResult(FDriver.AddSoftBreakpoint(memorySpace, address, replaced));
    return replaced;
  }
  bool RemoveSoftBreakpoint(int32_t memorySpace, int64_t address, uint32_t replaced) override {
    bool done = false;
    CheckResult(FDriver.RemoveSoftBreakpoint(memorySpace, address, replaced, done));
    return done;
  }
  bool MemoryRead(int32_t memorySpace, uint32_t* cells, int64_t address, int32_t count) override {
    BOOL ok = FALSE;
    CheckResult(FDriver.MemoryRead(memorySpace, cells, address, count, &ok));
    return ok != FALSE;
  }
  bool MemoryWrite(int32_t memorySpace, const uint32_t* cells, int64_t address, int32_t count) override {
    // The memory interface takes a writable buffer; the caller's stays untouched.
    std::vector<uint32_t> copy(cells, cells + (count > 0 ? count : 0));
    BOOL ok = FALSE;
    CheckResult(FDriver.MemoryWrite(memorySpace, copy.data(), address, count, &ok));
    return ok != FALSE;
  }

private:
  TTovikDriver& FDriver;
};

IBreakpointDriver& TTovikProcessorDriver::BreakpointHooks() {
  if (!FBreakpointHooks) FBreakpointHooks = std::make_unique<TBreakpointHooks>(*this);
  return *FBreakpointHooks;
}

namespace {

constexpr TDeviceDebugManagerClass kModuleDeviceDebugManagerClass{
    L"TDeviceDebugManager",
    [](TTovikProcessorDriver& driver) { return CreateDeviceDebugManager(driver.BreakpointHooks()); }};
const TDeviceDebugManagerClass* gDeviceDebugManagerClass = &kModuleDeviceDebugManagerClass;

}  // namespace

const TDeviceDebugManagerClass& DeviceDebugManagerClass() { return *gDeviceDebugManagerClass; }

const TDeviceDebugManagerClass* BindDeviceDebugManagerClass(const TDeviceDebugManagerClass* cls) {
  return std::exchange(gDeviceDebugManagerClass, cls ? cls : &kModuleDeviceDebugManagerClass);
}

namespace {

constexpr DISPID kDispShowFlashMemoryUtilityDialog = 508736;

}  // namespace

static constexpr TServedRow<TTovikProcessorDriver> kProcessorDriverRows[] = {
    TVK_SERVED_ROW(TTovikProcessorDriver, kDispShowFlashMemoryUtilityDialog, ShowFlashMemoryUtilityDialog),
    TVK_SERVED_ROW(TTovikProcessorDriver, 508741, AddFlashWriter),
    TVK_SERVED_ROW(TTovikProcessorDriver, 508742, GetFlashWriter),
    TVK_SERVED_ROW(TTovikProcessorDriver, 508743, SelectFlashWriter),
    TVK_SERVED_ROW(TTovikProcessorDriver, 508744, GetSelectedFlashWriter),
    TVK_SERVED_ROW(TTovikProcessorDriver, 508745, GetFlashWriterCount),
};

TTovikProcessorDriver::TTovikProcessorDriver()
    : TTovikProcessorDriver(eDeviceProcessor_CORE_UNKNOWN, eDeviceProcessor_TYPE_UNKNOWN) {}

TTovikProcessorDriver::TTovikProcessorDriver(TDeviceProcessor_Core AProcessorCore,
                                             TDeviceProcessor_Type AProcessorType)
    : TTovikDriver(WideString(kCoreOutputExtension)), FProcessorType(AProcessorType), FProcessorCore(AProcessorCore) {}

TTovikProcessorDriver::TTovikProcessorDriver(TDeviceProcessor_Core AProcessorCore,
                                             TDeviceProcessor_Type AProcessorType,
                                             const TFlashWriterClass* ARemoteExecutionClass)
    : TTovikProcessorDriver(AProcessorCore, AProcessorType) {
  if (ARemoteExecutionClass) {
    FWriterClasses.push_back(ARemoteExecutionClass);
    FMakesWriterList = true;
  }
}

TTovikProcessorDriver::TTovikProcessorDriver(TDeviceProcessor_Core AProcessorCore,
                                             TDeviceProcessor_Type AProcessorType,
                                             std::span<const TFlashWriterClass* const> ARemoteExecutionClasses)
    : TTovikProcessorDriver(AProcessorCore, AProcessorType) {
  if (ARemoteExecutionClasses.size() >= 2) {
    FWriterClasses.assign(ARemoteExecutionClasses.begin(), ARemoteExecutionClasses.end());
    FMakesWriterList = true;
  }
}

TTovikProcessorDriver::~TTovikProcessorDriver() {
  FDeviceProcessorInformation.Clear();
  FDeviceMemoryInformation.Clear();
  FDeviceDebugManager.Clear();  // before the hooks it refers to
  // Writers the host still holds must not reach a driver that is gone.
  auto detach = [](const IFlashWriter& writer) noexcept {
    IFlashWriterDriverLink* link = nullptr;
    if (writer.ToPointer() &&
        SUCCEEDED(writer.ToPointer()->QueryInterface(IID_IFlashWriterDriverLink, reinterpret_cast<void**>(&link))) &&
        link) {
      link->DriverDestroyed();
      link->Release();
    }
  };
  if (FRemoteExecuteDrivers)
    for (const IFlashWriter& writer : *FRemoteExecuteDrivers) detach(writer);
  detach(FRemoteExecuteDriver);
  FRemoteExecuteDriver.Clear();
  FRemoteExecuteDrivers.reset();
}

void TTovikProcessorDriver::AfterCreate() {
  TTovikDriver::AfterCreate();
  SetProcessorCore(FProcessorCore);
  if (FMakesWriterList) CreateFlashWriters();
}

void TTovikProcessorDriver::SetProcessorCore(TDeviceProcessor_Core core) {
  FDeviceProcessorInformation =
      IDeviceProcessorInformation(static_cast<IDispatch*>(New<TDeviceProcessorInformation>(core)));
  FDeviceMemoryInformation = IDeviceMemoryInformation(static_cast<IDispatch*>(New<TDeviceMemoryInformation>()));
  if (TDeviceDebugManagerCreate create = DeviceDebugManagerClass().Create) FDeviceDebugManager = create(*this);
  WideString path;
  CheckResult(GetEmbeddedConstraintFile(path));
  LoadDeviceMemoryFromConstraint(path);
}

void TTovikProcessorDriver::CreateFlashWriters() {
  FRemoteExecuteDrivers.emplace();
  IDispatch* self = static_cast<IDispatch*>(this);
  for (const TFlashWriterClass* cls : FWriterClasses) {
    if (!cls->Create) continue;  // a class this build does not have yet
    IDispatch* made = cls->Create(self, true);
    if (!made) throw Exception(L"Cannot create the flash writer " + WideString(cls->Name));
    CheckResult(AddFlashWriter(IFlashWriter(made)));
  }
  if (!FRemoteExecuteDrivers->empty()) {
    IFlashWriter first;
    CheckResult(GetFlashWriter(0, first));
    CheckResult(SelectFlashWriter(first));
  }
}

void TTovikProcessorDriver::LoadDeviceMemoryFromConstraint(const WideString& FileFullPath) {
  tvk::LoadDeviceMemoryFromConstraint(*this, FDeviceMemoryInformation, FileFullPath);
}

HRESULT STDMETHODCALLTYPE TTovikProcessorDriver::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                                        DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                                        UINT* argErr) {
  static constexpr TServedRange kRange = ServedRowRange<TTovikProcessorDriver>(kProcessorDriverRows);
  if (id >= kRange.Low && id <= kRange.High)
    if (const auto* row = FindServedRow<TTovikProcessorDriver>(kProcessorDriverRows, id))
      return CallServedRow<TTovikProcessorDriver>(*this, *row, params, result);
  HRESULT hr = TTovikDriver::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  // Only an identifier no level knows goes on; a failure of an operation that ran stays.
  for (const TRecordBase* service :
       {static_cast<const TRecordBase*>(&FDeviceProcessorInformation),
        static_cast<const TRecordBase*>(&FDeviceMemoryInformation),
        static_cast<const TRecordBase*>(&FDeviceDebugManager)}) {
    if (hr != kE_NOTIMPL) break;
    // Held for the call: the service may be replaced (a new memory map) while it runs.
    if (ComRef<IDispatch> target{service->ToPointer()})
      hr = target->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE TTovikProcessorDriver::SupportsService(BSTR ServiceName, ByteBool* Supported) {
  return SupportsLevel(ServiceName, Supported,
                       {L"DeviceProcessorInformation", L"DeviceMemoryInformation", L"DeviceDebugManager",
                        L"FlashWriters", L"FlashMemoryUtilityDialog"},
                       [&](BSTR n, ByteBool* s) { return TTovikDriver::SupportsService(n, s); });
}

HRESULT TTovikProcessorDriver::ShowFlashMemoryUtilityDialog(const IDeviceLink& ADeviceLink) {
  return Guard([&] {
    // The driver itself is the writer list the dialog works through.
    const IFlashWriters writers(static_cast<IDispatch*>(this));
    std::unique_ptr<TDriverDialog> dialog = DriverUI().CreateFlashMemoryUtilityForm(writers, ADeviceLink);
    if (!dialog) throw Exception(L"The flash memory utility dialog was not created");
    dialog->ShowModal();
  });
}

HRESULT TTovikProcessorDriver::AddFlashWriter(const IFlashWriter& AWriter) {
  return Guard([&] {
    if (!FRemoteExecuteDrivers) throw Exception(L"The driver has no flash writer list");
    FRemoteExecuteDrivers->push_back(AWriter);
  });
}

HRESULT TTovikProcessorDriver::GetFlashWriter(int32_t Index, IFlashWriter& Result) {
  Result.Clear();
  return Guard([&] {
    if (!FRemoteExecuteDrivers) throw Exception(L"The driver has no flash writer list");
    if (Index < 0 || std::size_t(Index) >= FRemoteExecuteDrivers->size())
      throw Exception(L"List index out of bounds (" + std::to_wstring(Index) + L")");
    Result = (*FRemoteExecuteDrivers)[std::size_t(Index)];
  });
}

HRESULT TTovikProcessorDriver::SelectFlashWriter(const IFlashWriter& AWriter) {
  FRemoteExecuteDriver = AWriter;
  return S_OK;
}

HRESULT TTovikProcessorDriver::GetSelectedFlashWriter(IFlashWriter& Result) {
  Result = FRemoteExecuteDriver;
  return S_OK;
}

HRESULT TTovikProcessorDriver::GetFlashWriterCount(int32_t& Result) {
  Result = FRemoteExecuteDrivers ? int32_t(FRemoteExecuteDrivers->size()) : 0;
  return S_OK;
}

HRESULT TTovikProcessorDriver::SetEmbeddedConstraintFile(const WideString& FileName) {
  HRESULT hr = TTovikDriver::SetEmbeddedConstraintFile(FileName);
  if (FAILED(hr)) return hr;
  return Guard([&] {
    FDeviceMemoryInformation = IDeviceMemoryInformation(static_cast<IDispatch*>(New<TDeviceMemoryInformation>()));
    LoadDeviceMemoryFromConstraint(FileName);
  });
}

bool TTovikProcessorDriver::IsHardProcessor() { return FProcessorType == eDeviceProcessor_TYPE_HARD; }

bool TTovikProcessorDriver::IsSoftProcessor() { return FProcessorType == eDeviceProcessor_TYPE_SOFT; }

bool TTovikProcessorDriver::IsGenericProcessor() { return FProcessorType == eDeviceProcessor_TYPE_GENERIC; }

}  // namespace tvk
