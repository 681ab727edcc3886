#pragma once
// The base of every flash writer: it keeps a small target-resident program
// (the remote driver, an Intel HEX file in the module's "Templates\" folder),
// installs it in target RAM and removes it again, runs one command at a time
// through the parameter block in RAM and reads its result, and reports
// progress to, and asks for aborts from, the host's flash-writer callback.
//
// The writer reaches the core only through its driver's dispatch interface
// (an ITovikDriver record) and the driver's IMemoryAccess, so each of its
// calls follows the road of a host call. The record is a back reference that
// owns nothing; the driver clears it when it goes.
//
// Cells: every buffer exchanged with IMemoryAccess, every image and every
// command block holds one byte of target memory in each 32-bit element.
#include "ORV.SCH.AbstractClasses.h"
#include "Tovik.Classes.DataChunkImage.h"
#include "Tovik.Classes.h"
#include "Tovik.FlashWriterFace.h"
#include "Tovik.Types.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tvk {

// Commands of the target-resident programs.
namespace remote_command {
inline constexpr std::uint32_t kInitialise = 40;   // flash start, width in bits
inline constexpr std::uint32_t kCfiQuery = 41;     // flash base
inline constexpr std::uint32_t kPrepare = 50;      // first sector, last sector
inline constexpr std::uint32_t kCopyToFlash = 51;  // flash address, RAM address, byte count, kHz
inline constexpr std::uint32_t kErase = 52;
inline constexpr std::uint32_t kBlankCheck = 53;
inline constexpr std::uint32_t kCompare = 56;      // flash address, RAM address, byte count
inline constexpr std::uint32_t kReadFlash = 57;    // flash address, byte count
inline constexpr std::uint32_t kEraseDevice = 58;  // 0
}  // namespace remote_command

// Answered by every flash operation when no remote driver is loaded (or the
// writer's driver is gone) and when the host's callback asked to abort.
inline constexpr std::int32_t kRemoteUnloadedOrAborted = 1;

// The name of a remote status in the writer's questions. A status of 12 or
// more has no name of its own: "STATUS_" and its decimal code.
WideString RemoteStatusName(std::uint32_t status);

// The word in the four byte cells at Cells, in the target's byte order; and
// a word put there.
uint32_t TargetWord(const uint32_t* Cells, bool BigEndian);
void PutTargetWord(uint32_t* Cells, uint32_t Word, bool BigEndian);

// Sends progress (0 ... 1000) to the host's callback; without a callback
// nothing is sent.
class TProgressUpdaterHelper {
public:
  // Sends the initial value.
  TProgressUpdaterHelper(const IFlashWriterCallback& callback, std::int32_t initial);
  void Update(std::int32_t value);
  void UpdateStep(std::int32_t step) { Update(FValue + step); }
  std::int32_t Value() const { return FValue; }

private:
  IFlashWriterCallback FInternalCallBackInterface;
  std::int32_t FValue;
};

class TQLBAbstractRemoteExecuteBaseDriver;

// The scope of every remote operation: installs the remote driver when it is
// not installed and removes it again (restoring target RAM) at the end; the
// abort flag is cleared on entry and exit. Inner scopes find the driver
// installed and do nothing, so only the outermost removes it.
class TDriverTransaction {
public:
  explicit TDriverTransaction(TQLBAbstractRemoteExecuteBaseDriver& driver);
  // Raises what the removal raised, unless an error is already on its way.
  ~TDriverTransaction() noexcept(false);
  TDriverTransaction(const TDriverTransaction&) = delete;
  TDriverTransaction& operator=(const TDriverTransaction&) = delete;

private:
  TQLBAbstractRemoteExecuteBaseDriver& FDriver;  // not counted
  bool FNeedToUninstallDriver = false;
  int FUncaught;
};

class TQLBAbstractRemoteExecuteBaseDriver : public TAbstractFlashWriter,
                                           public IMemoryAccess,
                                           public IFlashWriterDriverLink,
                                           public IFlashWriterFace {
public:
  // Create(driver, enable): the driver's dispatch interface and the enable
  // flag; LoadAndInitDriver runs once the object is complete.
  TQLBAbstractRemoteExecuteBaseDriver(const ITovikDriver& ADriver, bool AEnable);
  ~TQLBAbstractRemoteExecuteBaseDriver() override;

  void AfterConstruction() override;

  // IUnknown of every interface entry.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return TAbstractSupportService::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TAbstractSupportService::Release(); }

  // IMemoryAccess: forwarded unchanged to the driver's; without one (or
  // without a driver) Success is false and the call still succeeds.
  HRESULT STDMETHODCALLTYPE MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                       BOOL* Success) override;
  HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                        BOOL* Success) override;

  // IFlashWriterDriverLink: the driver is gone; the writer answers as unloaded.
  void STDMETHODCALLTYPE DriverDestroyed() override;

  // IFlashWriterFace: a writer of no family; the families override their part.
  TFlashWriterKind WriterKind() override { return TFlashWriterKind::fwkOther; }
  bool GetSPIData(const IDeviceLink&, bool&, bool&) override { return false; }
  const TSPIList& SPIList() const override;
  const TSPIData& SelectedSPI() const override;
  void SetSelectedSPI(const WideString&) override {}
  void SetSelectedSPIData(const TSPIData&) override {}
  void SetSelectedDevice(const WideString&) override {}
  bool GetFlashData(const IProject&) override { return false; }
  int64_t BaseAddress() const override { return -1; }
  int64_t Size() const override { return -1; }
  bool QueryOk() const override { return false; }
  bool QueryFlash(TRemoteCommandResult&) override { return false; }

  // ---- Served properties of the remote driver (plain field accesses)
  HRESULT SetRemoteDriverDeviceTitle(const WideString& Value) override;
  HRESULT SetRemoteDriverVendorName(const WideString& Value) override;
  HRESULT SetRemoteDriverDeviceName(const WideString& Value) override;
  HRESULT SetRemoteDriverFileName(const WideString& Value) override;
  HRESULT SetRemoteDriverBaseAddress(uint32_t Value) override;
  HRESULT SetRemoteDriverMainEntryPoint(uint32_t Value) override;
  HRESULT SetRemoteDriverParamBaseAddress(uint32_t Value) override;
  HRESULT SetRemoteDriverDataBaseAddress(uint32_t Value) override;
  // The device title, or the vendor and device names joined by a blank.
  HRESULT GetRemoteDriverDeviceTitle(WideString& Result) override;
  HRESULT GetRemoteDriverDeviceName(WideString& Result) override;
  HRESULT GetRemoteDriverVendorName(WideString& Result) override;
  HRESULT GetRemoteDriverFileName(WideString& Result) override;
  HRESULT GetRemoteDriverBaseAddress(uint32_t& Result) override;
  HRESULT GetRemoteDriverMainEntryPoint(uint32_t& Result) override;
  HRESULT GetRemoteDriverParamBaseAddress(uint32_t& Result) override;
  HRESULT GetRemoteDriverDataBaseAddress(uint32_t& Result) override;
  HRESULT GetIsEnabled(bool& Result) override;
  HRESULT GetIsInitialized(bool& Result) override;
  HRESULT GetIsDriverLoaded(bool& Result) override;
  HRESULT GetIsDriverInstalled(bool& Result) override;
  HRESULT GetPreserveState(bool& Result) override;
  HRESULT GetIsAborting(bool& Result) override;

  // ---- Served flash-writer operations of this level
  // 1 when the remote driver is installed (installing it if it is not), 0
  // when none is loaded.
  HRESULT InstallDriver(int32_t& Result) override;
  // Resets the processor and writes back the RAM an install saved; 0.
  HRESULT UninstallDriver(int32_t& Result) override;
  HRESULT ClearFlashMemorySpaces() override;
  HRESULT GetFlashMemorySpaceCount(int32_t& Result) override;
  HRESULT AddFlashMemorySpace(uint32_t GlobalMemorySpace, uint32_t StartAddress, uint32_t EndAddress,
                              uint32_t WidthInBits, int32_t& Result) override;
  // An index outside the list leaves the outputs as they were.
  HRESULT GetFlashMemorySpace(uint32_t Index, uint32_t* GlobalMemorySpace, uint32_t* StartAddress,
                              uint32_t* EndAddress, uint32_t* WidthInBits) override;
  // Some space of that global index holds start <= Address <= end.
  HRESULT IsAddressInFlashMemorySpace(uint32_t GlobalMemorySpace, uint32_t Address, bool& Result) override;
  // Only sets the reported flag: running operations stop on the callback's answer.
  HRESULT AbortOperation(int32_t& Result) override;
  // An empty record removes the callback.
  HRESULT SetFlashWriterCallback(const IFlashWriterCallback& Callback, int32_t& Result) override;
  HRESULT IsFlashWidthSupported(int32_t WidthInBits, bool& Result) override;  // every width
  HRESULT GetDefaultFlashWidth(int32_t& Result) override;                     // 16
  HRESULT SupportsAction(uint32_t Command, bool& Result) override;            // 50, 51, 52, 53, 56
  // A new list of the devices the writer can program (SupportedDeviceNames).
  HRESULT GetSupportedDevicesList(IStrings& Result) override;

  // The names GetSupportedDevicesList serves: none.
  virtual std::vector<WideString> SupportedDeviceNames();

  // ---- Operations the writers build on (slot order after the served ones)
  virtual int32_t GetProcessorByteOrder() = 0;  // 0 little-endian, 1 big-endian
  virtual void InjectChecksum(TDataChunkImage& Image);
  // Copies a served image: target address, length, then every element by index.
  virtual void ImportDataChunkImage(const IDataChunkImageInterface& Source, TDataChunkImage& Image);
  virtual void LoadAndInitDriver();
  virtual int32_t ProgramChunk(uint32_t FlashSpace, uint32_t RamAddress, bool Verify, uint32_t ByteCount,
                               uint32_t FlashAddress) = 0;
  virtual int32_t RemoteDataRead(uint32_t FlashSpace, uint32_t* Buffer, uint32_t Address, uint32_t ByteCount) = 0;
  virtual int32_t InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) = 0;
  virtual int32_t PrepareSectors(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) = 0;
  // The first command after an install.
  virtual void InternalRemoteDriverInit();
  virtual uint32_t GetFlashPageFromAddress(uint32_t FlashSpace, uint32_t Address) = 0;
  virtual uint32_t GetFlashAddressFromPage(uint32_t FlashSpace, uint32_t Page) = 0;
  virtual uint32_t GetDataAreaSize();
  virtual uint32_t GetReadBlockSize();
  virtual uint32_t GetParameterBlockSize();
  virtual uint32_t GetResultBlockSize();
  virtual uint32_t GetEntryPointAddress();
  // Loads the remote driver's HEX file, placed at the driver base address.
  virtual void LoadDriverImage();
  // A software breakpoint through the host device on every stop word.
  virtual void SetDriverBreakpoints();
  // Writes the command block (the command and at most four arguments, each in
  // the target's byte order) to the parameter block and starts the core at
  // the entry point; further arguments are not sent.
  virtual void InitRemoteCommand(uint32_t Command, std::initializer_list<uint32_t> Arguments);
  // Runs one command to its end: its status, 1 when unloaded or aborted.
  virtual int32_t DispatchRemoteCommand(uint32_t Command, TRemoteCommandResult& Result,
                                        std::initializer_list<uint32_t> Arguments);
  virtual void GetRemoteCommandResult(TRemoteCommandResult& Result);
  virtual int32_t FlashWrite(uint32_t FlashSpace, TDataChunkImage& Image, bool AutoChecksum, bool Preserve,
                             bool ResetAfterLoad, bool Verify) = 0;
  virtual void BuildFlashImage(uint32_t FlashSpace, const TDataChunkImage& Source, bool Preserve,
                               TDataChunkImage& FlashImage) = 0;
  // Writes Image to target memory at its address; the checksum flag is not used.
  virtual int32_t RemoteDataWrite(const TDataChunkImage& Image, bool InjectChecksum);
  int32_t RemoteDataWrite(uint32_t Address, const uint32_t* Data, uint32_t Length, bool InjectChecksum);

  // ---- State (for the writers and the tests)
  bool IsDriverLoaded() const { return FInternalIsDriverLoaded; }
  bool IsDriverInstalled() const { return FInternalIsDriverInstalled; }
  const TDataChunkImage& DriverImage() const { return FDriverImage; }
  const std::vector<uint32_t>& DriverBreakPoints() const { return FDriverBreakPointArray; }
  const std::vector<TFlashMemorySpace>& FlashMemorySpaces() const { return FFlashMemorySpaceArray; }
  const TRemoteCommandResult& CommandResult() const { return FCommandResult; }

protected:
  friend class TDriverTransaction;

  // Stores the remote driver's file and RAM layout, loads the image and
  // empties the flash-space list; the concrete writer's LoadAndInitDriver calls it.
  void InitDriver(const WideString& FileName, uint32_t DriverBase, uint32_t ParamBase, uint32_t DataBase,
                  uint32_t MemorySpaceIndex);
  // The host's callback answered that the user asked to abort.
  bool DoAbortCheck();
  // A remote driver is loaded and the driver is there to reach the core.
  bool CanRun() const { return FInternalIsDriverLoaded && !FTovikBaseDriver.IsEmpty(); }
  // The driver record; raises when the driver is gone.
  const ITovikDriver& Driver() const;
  // The driver's IMemoryAccess; null without a driver or when it offers none.
  ComRef<IMemoryAccess> DriverMemoryAccess() const;
  // The flash space Index names, or the first when it names none.
  TFlashMemorySpace FlashSpace(uint32_t Index) const;
  uint32_t SectorFromAddress(uint32_t FlashSpace, uint32_t Address);
  uint32_t AddressFromSector(uint32_t FlashSpace, uint32_t Sector);
  // Target memory through IMemoryAccess; a failed access raises.
  void ReadTarget(uint32_t MemorySpace, uint32_t Address, uint32_t* Cells, uint32_t Count);
  void WriteTarget(uint32_t MemorySpace, uint32_t Address, const uint32_t* Cells, uint32_t Count);
  // A command with its result in FCommandResult.
  int32_t RunCommand(uint32_t Command, std::initializer_list<uint32_t> Arguments) {
    return DispatchRemoteCommand(Command, FCommandResult, Arguments);
  }
  // The install and uninstall steps.
  int32_t Install();
  int32_t Uninstall();
  // Reads the RAM the program and its data area will overwrite (the command
  // and result blocks are the writer's own and are not kept).
  void SaveRestoreMemory();
  // Waits between two questions to a running core.
  virtual void WaitForCommand();

  bool FInternalIsEnabled = false;
  bool FInternalIsInitialized = false;
  bool FInternalIsDriverLoaded = false;
  bool FInternalIsDriverInstalled = false;
  bool FInternalPreserveState = false;
  bool FInternalAbort = false;
  IFlashWriterCallback FInternalFlashWriterCallbackInterface;
  TRemoteCommandResult FCommandResult;
  uint32_t FDeviceClockFrequency = 0;  // Hz; commands take kHz
  ITovikDriver FTovikBaseDriver;       // a back reference: owns nothing, cleared when the driver goes
  uint32_t FDriverBaseAddress = 0;
  uint32_t FDriverMainEntryPointOffset = 0;
  uint32_t FParamBaseAddress = 0;
  uint32_t FDataBaseAddress = 0;
  std::vector<uint32_t> FDriverBreakPointArray;  // byte offsets of the stop words in the image
  uint32_t FDriverMemorySpaceIndex = 0;
  WideString FDriverDeviceTitle, FDriverVendorName, FDriverDeviceName, FDriverFileName;
  TDataChunkImage FDriverImage;
  TDataChunkImage FDriverRestoreMemory;  // the RAM the image overwrites, saved at install
  TDataChunkImage FDataRestoreMemory;    // the RAM of the data area, saved at install
  bool FRestoreMemorySaved = false;      // an install saved them and no uninstall wrote them all back yet
  std::vector<TFlashMemorySpace> FFlashMemorySpaceArray;
};

// The virtual constructor of a writer class, as the device table's writer
// classes and the processor driver use it (TFlashWriterCreate): the new
// writer, its first reference for the caller to take.
template <class Writer>
IDispatch* CreateFlashWriter(IDispatch* driver, bool enable) {
  return static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(New<Writer>(ITovikDriver(driver), enable)));
}

}  // namespace tvk
