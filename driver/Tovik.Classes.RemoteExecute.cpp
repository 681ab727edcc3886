#include "Tovik.Classes.RemoteExecute.h"

#include "Files.h"
#include "ZUL.Classes.h"

#include <algorithm>
#include <array>
#include <exception>

namespace tvk {

namespace {

constexpr std::array<std::wstring_view, 12> kRemoteStatusNames = {
    L"CMD_SUCCESS",         L"INVALID_COMMAND",      L"SRC_ADDR_ERROR",
    L"DST_ADDR_ERROR",      L"SRC_ADDR_NOT_MAPPED",  L"DST_ADDR_NOT_MAPPED",
    L"COUNT_ERROR",         L"INVALID_SECTOR",       L"SECTOR_NOT_BLANK",
    L"SECTOR_NOT_PREPARED_FOR_WRITE_OPERATION",      L"COMPARE_ERROR",
    L"BUSY",
};

// The ARM branch-to-itself instruction that ends a remote driver's command.
constexpr uint32_t kStopWord = 0xEAFFFFFE;
constexpr uint32_t kPollIntervalMs = 100;
constexpr uint32_t kDeviceClockFrequency = 12000000;  // Hz
constexpr uint32_t kCommandBlockWords = 5;             // the command and four arguments

uint32_t ImageByte(uint32_t cell) { return cell & 0xFF; }

}  // namespace

uint32_t TargetWord(const uint32_t* cells, bool bigEndian) {
  uint32_t w = 0;
  for (int k = 0; k < 4; ++k) {
    const uint32_t b = ImageByte(cells[k]);
    w |= bigEndian ? b << (8 * (3 - k)) : b << (8 * k);
  }
  return w;
}

void PutTargetWord(uint32_t* cells, uint32_t word, bool bigEndian) {
  for (int k = 0; k < 4; ++k) cells[k] = (bigEndian ? word >> (8 * (3 - k)) : word >> (8 * k)) & 0xFF;
}

WideString RemoteStatusName(uint32_t status) {
  if (status < kRemoteStatusNames.size()) return WideString(kRemoteStatusNames[status]);
  return L"STATUS_" + std::to_wstring(status);
}

// ---- TProgressUpdaterHelper

TProgressUpdaterHelper::TProgressUpdaterHelper(const IFlashWriterCallback& callback, int32_t initial)
    : FInternalCallBackInterface(callback), FValue(initial) {
  Update(initial);
}

void TProgressUpdaterHelper::Update(int32_t value) {
  FValue = value;
  if (!FInternalCallBackInterface.IsEmpty()) FInternalCallBackInterface.SetProgress(value);
}

// ---- TDriverTransaction

TDriverTransaction::TDriverTransaction(TQLBAbstractRemoteExecuteBaseDriver& driver)
    : FDriver(driver), FUncaught(std::uncaught_exceptions()) {
  FDriver.FInternalAbort = false;
  if (!FDriver.FInternalIsDriverInstalled) FNeedToUninstallDriver = FDriver.Install() == 1;
}

TDriverTransaction::~TDriverTransaction() noexcept(false) {
  try {
    if (FNeedToUninstallDriver) FDriver.Uninstall();
    FDriver.FInternalAbort = false;
  } catch (...) {
    FDriver.FInternalAbort = false;
    // An error already on its way wins; the removal's own error otherwise.
    if (std::uncaught_exceptions() == FUncaught) throw;
  }
}

// ---- TQLBAbstractRemoteExecuteBaseDriver

TQLBAbstractRemoteExecuteBaseDriver::TQLBAbstractRemoteExecuteBaseDriver(const ITovikDriver& ADriver, bool AEnable)
    : FInternalIsEnabled(AEnable), FTovikBaseDriver(ADriver) {}

TQLBAbstractRemoteExecuteBaseDriver::~TQLBAbstractRemoteExecuteBaseDriver() = default;

void TQLBAbstractRemoteExecuteBaseDriver::AfterConstruction() {
  LoadAndInitDriver();  // the concrete writer's, now that the object is complete
  TAbstractFlashWriter::AfterConstruction();
}

HRESULT STDMETHODCALLTYPE TQLBAbstractRemoteExecuteBaseDriver::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IMemoryAccess)) {
    *out = static_cast<IMemoryAccess*>(this);
  } else if (IsEqualIID(iid, IID_IFlashWriterDriverLink)) {
    *out = static_cast<IFlashWriterDriverLink*>(this);
  } else if (IsEqualIID(iid, IID_IFlashWriterFace)) {
    *out = static_cast<IFlashWriterFace*>(this);
  } else {
    return TAbstractFlashWriter::QueryInterface(iid, out);
  }
  AddRef();
  return S_OK;
}

ComRef<IMemoryAccess> TQLBAbstractRemoteExecuteBaseDriver::DriverMemoryAccess() const {
  ComRef<IMemoryAccess> memory;
  if (IDispatch* driver = FTovikBaseDriver.ToPointer())
    if (FAILED(driver->QueryInterface(IID_IMemoryAccess, reinterpret_cast<void**>(memory.Receive())))) memory.Reset();
  return memory;
}

HRESULT STDMETHODCALLTYPE TQLBAbstractRemoteExecuteBaseDriver::MemoryRead(int32_t MemorySpace, uint32_t* Buffer,
                                                                         int64_t Address, int32_t Count,
                                                                         BOOL* Success) {
  return Guard([&] {
    if (Success) *Success = FALSE;
    if (ComRef<IMemoryAccess> memory = DriverMemoryAccess())
      CheckResult(memory->MemoryRead(MemorySpace, Buffer, Address, Count, Success));
  });
}

HRESULT STDMETHODCALLTYPE TQLBAbstractRemoteExecuteBaseDriver::MemoryWrite(int32_t MemorySpace, uint32_t* Buffer,
                                                                          int64_t Address, int32_t Count,
                                                                          BOOL* Success) {
  return Guard([&] {
    if (Success) *Success = FALSE;
    if (ComRef<IMemoryAccess> memory = DriverMemoryAccess())
      CheckResult(memory->MemoryWrite(MemorySpace, Buffer, Address, Count, Success));
  });
}

void STDMETHODCALLTYPE TQLBAbstractRemoteExecuteBaseDriver::DriverDestroyed() {
  // The driver counts no references: dropping the record touches nothing.
  FTovikBaseDriver.Clear();
  FInternalIsDriverInstalled = false;
  FRestoreMemorySaved = false;
}

// ---- Served properties

#define TVK_REMOTE_SETTER(Name, Field, Type) \
  HRESULT TQLBAbstractRemoteExecuteBaseDriver::Name(Type Value) { \
    Field = Value;                                                 \
    return S_OK;                                                   \
  }
#define TVK_REMOTE_GETTER(Name, Field, Type)                         \
  HRESULT TQLBAbstractRemoteExecuteBaseDriver::Name(Type& Result) { \
    Result = Field;                                                  \
    return S_OK;                                                     \
  }
TVK_REMOTE_SETTER(SetRemoteDriverDeviceTitle, FDriverDeviceTitle, const WideString&)
TVK_REMOTE_SETTER(SetRemoteDriverVendorName, FDriverVendorName, const WideString&)
TVK_REMOTE_SETTER(SetRemoteDriverDeviceName, FDriverDeviceName, const WideString&)
TVK_REMOTE_SETTER(SetRemoteDriverFileName, FDriverFileName, const WideString&)
TVK_REMOTE_SETTER(SetRemoteDriverBaseAddress, FDriverBaseAddress, uint32_t)
TVK_REMOTE_SETTER(SetRemoteDriverMainEntryPoint, FDriverMainEntryPointOffset, uint32_t)
TVK_REMOTE_SETTER(SetRemoteDriverParamBaseAddress, FParamBaseAddress, uint32_t)
TVK_REMOTE_SETTER(SetRemoteDriverDataBaseAddress, FDataBaseAddress, uint32_t)
TVK_REMOTE_GETTER(GetRemoteDriverDeviceName, FDriverDeviceName, WideString)
TVK_REMOTE_GETTER(GetRemoteDriverVendorName, FDriverVendorName, WideString)
TVK_REMOTE_GETTER(GetRemoteDriverFileName, FDriverFileName, WideString)
TVK_REMOTE_GETTER(GetRemoteDriverBaseAddress, FDriverBaseAddress, uint32_t)
TVK_REMOTE_GETTER(GetRemoteDriverMainEntryPoint, FDriverMainEntryPointOffset, uint32_t)
TVK_REMOTE_GETTER(GetRemoteDriverParamBaseAddress, FParamBaseAddress, uint32_t)
TVK_REMOTE_GETTER(GetRemoteDriverDataBaseAddress, FDataBaseAddress, uint32_t)
TVK_REMOTE_GETTER(GetIsEnabled, FInternalIsEnabled, bool)
TVK_REMOTE_GETTER(GetIsInitialized, FInternalIsInitialized, bool)
TVK_REMOTE_GETTER(GetIsDriverLoaded, FInternalIsDriverLoaded, bool)
TVK_REMOTE_GETTER(GetIsDriverInstalled, FInternalIsDriverInstalled, bool)
TVK_REMOTE_GETTER(GetPreserveState, FInternalPreserveState, bool)
TVK_REMOTE_GETTER(GetIsAborting, FInternalAbort, bool)
#undef TVK_REMOTE_SETTER
#undef TVK_REMOTE_GETTER

HRESULT TQLBAbstractRemoteExecuteBaseDriver::GetRemoteDriverDeviceTitle(WideString& Result) {
  Result = FDriverDeviceTitle.empty() ? FDriverVendorName + L" " + FDriverDeviceName : FDriverDeviceTitle;
  return S_OK;
}

// ---- Served flash-writer operations

HRESULT TQLBAbstractRemoteExecuteBaseDriver::InstallDriver(int32_t& Result) {
  Result = 0;
  return Guard([&] { Result = FInternalIsDriverInstalled && CanRun() ? 1 : Install(); });
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::UninstallDriver(int32_t& Result) {
  Result = 0;
  return Guard([&] { Result = Uninstall(); });
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::ClearFlashMemorySpaces() {
  FFlashMemorySpaceArray.clear();
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::GetFlashMemorySpaceCount(int32_t& Result) {
  Result = int32_t(FFlashMemorySpaceArray.size());
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::AddFlashMemorySpace(uint32_t GlobalMemorySpace, uint32_t StartAddress,
                                                                 uint32_t EndAddress, uint32_t WidthInBits,
                                                                 int32_t& Result) {
  Result = 0;
  return Guard([&] { FFlashMemorySpaceArray.push_back({GlobalMemorySpace, StartAddress, EndAddress, WidthInBits}); });
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::GetFlashMemorySpace(uint32_t Index, uint32_t* GlobalMemorySpace,
                                                                 uint32_t* StartAddress, uint32_t* EndAddress,
                                                                 uint32_t* WidthInBits) {
  if (Index < FFlashMemorySpaceArray.size()) {
    const TFlashMemorySpace& s = FFlashMemorySpaceArray[Index];
    *GlobalMemorySpace = s.globalMemorySpaceIndex;
    *StartAddress = s.startAddress;
    *EndAddress = s.endAddress;
    *WidthInBits = s.widthInBits;
  }
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::IsAddressInFlashMemorySpace(uint32_t GlobalMemorySpace, uint32_t Address,
                                                                         bool& Result) {
  Result = std::any_of(FFlashMemorySpaceArray.begin(), FFlashMemorySpaceArray.end(), [&](const TFlashMemorySpace& s) {
    return s.globalMemorySpaceIndex == GlobalMemorySpace && s.startAddress <= Address && Address <= s.endAddress;
  });
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::AbortOperation(int32_t& Result) {
  FInternalAbort = true;
  Result = 0;
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::SetFlashWriterCallback(const IFlashWriterCallback& Callback,
                                                                    int32_t& Result) {
  FInternalFlashWriterCallbackInterface = Callback;
  Result = 0;
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::IsFlashWidthSupported(int32_t, bool& Result) {
  Result = true;
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::GetDefaultFlashWidth(int32_t& Result) {
  Result = 16;
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::SupportsAction(uint32_t Command, bool& Result) {
  using namespace remote_command;
  Result = Command == kPrepare || Command == kCopyToFlash || Command == kErase || Command == kBlankCheck ||
           Command == kCompare;
  return S_OK;
}

HRESULT TQLBAbstractRemoteExecuteBaseDriver::GetSupportedDevicesList(IStrings& Result) {
  Result.Clear();
  return Guard([&] {
    TADStrings* list = New<TADStrings>();
    IStrings strings(static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(list)));  // holds it from here
    for (const WideString& name : SupportedDeviceNames()) {
      int32_t index = 0;
      CheckResult(list->Add(name, index));
    }
    Result = strings;
  });
}

std::vector<WideString> TQLBAbstractRemoteExecuteBaseDriver::SupportedDeviceNames() { return {}; }

const TSPIList& TQLBAbstractRemoteExecuteBaseDriver::SPIList() const {
  static const TSPIList none;
  return none;
}

const TSPIData& TQLBAbstractRemoteExecuteBaseDriver::SelectedSPI() const {
  static const TSPIData none;
  return none;
}

// ---- Operations the writers build on

void TQLBAbstractRemoteExecuteBaseDriver::InjectChecksum(TDataChunkImage&) {}

void TQLBAbstractRemoteExecuteBaseDriver::ImportDataChunkImage(const IDataChunkImageInterface& Source,
                                                               TDataChunkImage& Image) {
  Image.TargetAddr = Source.GetTargetAddress();
  const int32_t length = Source.GetDataLength();
  if (length < 0) throw Exception(L"Invalid image length");
  TDynamicLongWordArray cells;
  cells.SetLength(uint32_t(length));
  for (int32_t i = 0; i < length; ++i) cells[std::size_t(i)] = Source.GetDataWord(i);
  Image.DataArray = cells;
  Image.DataLen = uint32_t(length);
}

void TQLBAbstractRemoteExecuteBaseDriver::LoadAndInitDriver() {}

void TQLBAbstractRemoteExecuteBaseDriver::InternalRemoteDriverInit() {}

uint32_t TQLBAbstractRemoteExecuteBaseDriver::GetDataAreaSize() { return 4096; }
uint32_t TQLBAbstractRemoteExecuteBaseDriver::GetReadBlockSize() { return 1024; }
uint32_t TQLBAbstractRemoteExecuteBaseDriver::GetParameterBlockSize() { return 20; }
uint32_t TQLBAbstractRemoteExecuteBaseDriver::GetResultBlockSize() { return 20; }

uint32_t TQLBAbstractRemoteExecuteBaseDriver::GetEntryPointAddress() {
  return GetParameterBlockSize() + FDriverBaseAddress + GetResultBlockSize();
}

void TQLBAbstractRemoteExecuteBaseDriver::InitDriver(const WideString& FileName, uint32_t DriverBase,
                                                     uint32_t ParamBase, uint32_t DataBase,
                                                     uint32_t MemorySpaceIndex) {
  FDeviceClockFrequency = kDeviceClockFrequency;
  FDriverFileName = FileName;
  FDriverBaseAddress = DriverBase;
  FParamBaseAddress = ParamBase;
  FDataBaseAddress = DataBase;
  FDriverMemorySpaceIndex = MemorySpaceIndex;
  FInternalIsInitialized = true;
  FInternalIsDriverInstalled = false;
  FInternalIsDriverLoaded = false;
  LoadDriverImage();
  FFlashMemorySpaceArray.clear();
}

void TQLBAbstractRemoteExecuteBaseDriver::LoadDriverImage() {
  FInternalIsDriverLoaded = false;
  if (!FileExists(FDriverFileName)) return;
  TLoadFileCallBackHelper helper(&LoadProgramFile);
  // A file the loader refused (its errors shown) leaves the writer unloaded:
  // an empty or partial image must never run.
  if (!helper.ProcessFile(FDriverFileName)) return;
  FDriverImage.TargetAddr = FDriverBaseAddress;  // wherever the file put it
  FDriverImage.DataArray = helper.GetBuffer();
  FDriverImage.DataLen = uint32_t(FDriverImage.DataArray.Length());
  FDriverRestoreMemory = {};
  FDriverRestoreMemory.DataArray.SetLength(FDriverImage.DataLen);
  FDriverRestoreMemory.DataLen = FDriverImage.DataLen;
  FDataRestoreMemory = {};
  FDataRestoreMemory.DataArray.SetLength(GetDataAreaSize());
  FDataRestoreMemory.DataLen = GetDataAreaSize();
  FDriverBreakPointArray.clear();
  const uint32_t* cells = FDriverImage.DataArray.Data();
  for (uint32_t i = 0; i + 4 <= FDriverImage.DataLen; i += 4)
    if (TargetWord(cells + i, false) == kStopWord || TargetWord(cells + i, true) == kStopWord)
      FDriverBreakPointArray.push_back(i);
  FInternalIsDriverLoaded = true;
}

void TQLBAbstractRemoteExecuteBaseDriver::SetDriverBreakpoints() {
  const ITovikDevice device = Driver().GetTovikDevice();
  for (uint32_t offset : FDriverBreakPointArray)
    device.CreateSoftBreakpoint(int32_t(FDriverMemorySpaceIndex), int64_t(FDriverBaseAddress) + offset);
}

void TQLBAbstractRemoteExecuteBaseDriver::InitRemoteCommand(uint32_t Command,
                                                            std::initializer_list<uint32_t> Arguments) {
  if (!CanRun()) return;
  SetDriverBreakpoints();
  const bool bigEndian = GetProcessorByteOrder() == 1;
  std::vector<uint32_t> block(std::max<std::size_t>(4 * kCommandBlockWords, GetParameterBlockSize()), 0);
  PutTargetWord(block.data(), Command, bigEndian);
  uint32_t k = 1;
  for (uint32_t argument : Arguments) {
    if (k == kCommandBlockWords) break;  // a fifth argument and more are not sent
    PutTargetWord(block.data() + 4 * k++, argument, bigEndian);
  }
  WriteTarget(FDriverMemorySpaceIndex, FParamBaseAddress, block.data(), GetParameterBlockSize());
  const ITovikDriver& driver = Driver();
  driver.ResetProcessor();
  if (!driver.SetProcessorRegisterValue(driver.GetRegisterIndex_PC(), GetEntryPointAddress()))
    throw Exception(L"The program counter was not set");
}

int32_t TQLBAbstractRemoteExecuteBaseDriver::DispatchRemoteCommand(uint32_t Command, TRemoteCommandResult& Result,
                                                                   std::initializer_list<uint32_t> Arguments) {
  if (!CanRun()) return kRemoteUnloadedOrAborted;
  TDriverTransaction transaction(*this);
  InitRemoteCommand(Command, Arguments);
  Driver().ContinueProcessor();
  // No bound of its own: the callback is the way out (the core keeps running).
  while (Driver().ProcessorIsRunning()) {
    WaitForCommand();
    if (DoAbortCheck()) return kRemoteUnloadedOrAborted;
  }
  GetRemoteCommandResult(Result);
  return int32_t(Result.statusCode);
}

void TQLBAbstractRemoteExecuteBaseDriver::WaitForCommand() { Sleep(kPollIntervalMs); }

void TQLBAbstractRemoteExecuteBaseDriver::GetRemoteCommandResult(TRemoteCommandResult& Result) {
  const uint32_t size = std::min<uint32_t>(GetResultBlockSize(), 4 * (1 + uint32_t(Result.resultArray.size())));
  std::vector<uint32_t> block(std::max<uint32_t>(size, 4), 0);
  ReadTarget(FDriverMemorySpaceIndex, FParamBaseAddress + GetParameterBlockSize(), block.data(), size);
  const bool bigEndian = GetProcessorByteOrder() == 1;
  Result = {};
  Result.statusCode = TargetWord(block.data(), bigEndian);
  for (uint32_t k = 1; 4 * k + 4 <= size; ++k) Result.resultArray[k - 1] = TargetWord(block.data() + 4 * k, bigEndian);
}

int32_t TQLBAbstractRemoteExecuteBaseDriver::RemoteDataWrite(const TDataChunkImage& Image, bool) {
  WriteTarget(FDriverMemorySpaceIndex, Image.TargetAddr, Image.DataArray.Data(), Image.DataLen);
  return 0;
}

int32_t TQLBAbstractRemoteExecuteBaseDriver::RemoteDataWrite(uint32_t Address, const uint32_t* Data, uint32_t Length,
                                                             bool InjectChecksum) {
  TDataChunkImage image;
  image.TargetAddr = Address;
  image.DataArray = TDynamicLongWordArray(std::vector<uint32_t>(Data, Data + Length));
  image.DataLen = Length;
  return RemoteDataWrite(image, InjectChecksum);
}

// ---- Internal steps

bool TQLBAbstractRemoteExecuteBaseDriver::DoAbortCheck() {
  return !FInternalFlashWriterCallbackInterface.IsEmpty() &&
         FInternalFlashWriterCallbackInterface.IsAbortRequested();
}

const ITovikDriver& TQLBAbstractRemoteExecuteBaseDriver::Driver() const {
  if (FTovikBaseDriver.IsEmpty()) throw Exception(L"The flash writer's driver is gone");
  return FTovikBaseDriver;
}

TFlashMemorySpace TQLBAbstractRemoteExecuteBaseDriver::FlashSpace(uint32_t Index) const {
  if (Index < FFlashMemorySpaceArray.size()) return FFlashMemorySpaceArray[Index];
  return FFlashMemorySpaceArray.empty() ? TFlashMemorySpace{} : FFlashMemorySpaceArray.front();
}

uint32_t TQLBAbstractRemoteExecuteBaseDriver::SectorFromAddress(uint32_t FlashSpace, uint32_t Address) {
  uint32_t sector = 0;
  CheckResult(GetFlashSectorFromAddress(FlashSpace, Address, sector));
  return sector;
}

uint32_t TQLBAbstractRemoteExecuteBaseDriver::AddressFromSector(uint32_t FlashSpace, uint32_t Sector) {
  uint32_t address = 0;
  CheckResult(GetFlashAddressFromSector(FlashSpace, Sector, address));
  return address;
}

void TQLBAbstractRemoteExecuteBaseDriver::ReadTarget(uint32_t MemorySpace, uint32_t Address, uint32_t* Cells,
                                                     uint32_t Count) {
  if (Count == 0) return;
  BOOL success = FALSE;
  CheckResult(MemoryRead(int32_t(MemorySpace), Cells, Address, int32_t(Count), &success));
  if (!success) throw Exception(L"Target memory could not be read");
}

void TQLBAbstractRemoteExecuteBaseDriver::WriteTarget(uint32_t MemorySpace, uint32_t Address, const uint32_t* Cells,
                                                      uint32_t Count) {
  if (Count == 0) return;
  BOOL success = FALSE;
  // The interface takes a writable buffer but only reads it.
  CheckResult(MemoryWrite(int32_t(MemorySpace), const_cast<uint32_t*>(Cells), Address, int32_t(Count), &success));
  if (!success) throw Exception(L"Target memory could not be written");
}

int32_t TQLBAbstractRemoteExecuteBaseDriver::Install() {
  if (!CanRun()) return 0;
  Driver().ResetProcessor();
  // A restore still owed by a failed uninstall keeps what it saved: RAM now
  // holds the program, and reading it again would lose the user's bytes.
  if (!FRestoreMemorySaved) SaveRestoreMemory();
  try {
    RemoteDataWrite(FDriverImage, false);
    FInternalIsDriverInstalled = true;
    InternalRemoteDriverInit();  // its status is not looked at
  } catch (...) {
    // Put back what was saved before the error goes on.
    try {
      Uninstall();
    } catch (...) {
    }
    throw;
  }
  return 1;
}

void TQLBAbstractRemoteExecuteBaseDriver::SaveRestoreMemory() {
  ReadTarget(FDriverMemorySpaceIndex, FDriverBaseAddress, FDriverRestoreMemory.DataArray.Data(),
             FDriverRestoreMemory.DataLen);
  FDriverRestoreMemory.TargetAddr = FDriverBaseAddress;
  ReadTarget(FDriverMemorySpaceIndex, FDataBaseAddress, FDataRestoreMemory.DataArray.Data(),
             FDataRestoreMemory.DataLen);
  FDataRestoreMemory.TargetAddr = FDataBaseAddress;
  FRestoreMemorySaved = true;
}

int32_t TQLBAbstractRemoteExecuteBaseDriver::Uninstall() {
  if (FTovikBaseDriver.IsEmpty()) return 0;  // no core to reach
  FInternalIsDriverInstalled = false;
  Driver().ResetProcessor();
  // Only what an install saved goes back: never the empty buffers over RAM.
  if (FRestoreMemorySaved) {
    // Every area is tried even when one fails; the first failure goes on.
    std::exception_ptr failure;
    for (const TDataChunkImage* saved : {&FDriverRestoreMemory, &FDataRestoreMemory}) {
      try {
        RemoteDataWrite(*saved, false);
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
    // A failed area leaves the restore owed, for the next uninstall to retry.
    if (failure) std::rethrow_exception(failure);
    FRestoreMemorySaved = false;
  }
  return 0;
}

}  // namespace tvk
