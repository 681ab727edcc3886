#pragma once
// A Cortex-M3 driver of one device kind on a simulated chip whose flash only
// the stand-in programs change; its flash writers are reached as the host
// reaches them, through the driver's writer list and their dispatch
// identifiers. Dialogs are answered through the seam.
#include "Device_ST_CortexM3_Data.h"
#include "SimFlashCallback.h"
#include "SimFlashProgrammer.h"
#include "SimHost.h"
#include "Tarnwell_Driver.h"
#include "Tovik.Classes.CortexM3Flash.h"
#include "ZUL.DispatchFix.h"
#include "support/HostCall.h"
#include "support/RecordedDialogs.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace writers_test {

using namespace testsupport;

namespace id {
// Remote-driver properties
constexpr DISPID DeviceTitle = 508695, DeviceName = 508696, FileName = 508698, DriverBase = 508699,
                 ParamBase = 508701, DataBase = 508702, IsDriverLoaded = 508705, IsDriverInstalled = 508706;
// Flash operations
constexpr DISPID ProgramImage = 508719, BlankCheckSectors = 508720, EraseDevice = 508721,
                 EraseAddressRange = 508722, EraseSectorRange = 508723, CompareImage = 508724,
                 FlashSpaceCount = 508726, AddressFromSector = 508729, SectorFromAddress = 508730,
                 IsAddressInFlashSpace = 508731, SetCallback = 508732, IsFlashWidthSupported = 508733,
                 DefaultFlashWidth = 508734, SupportsAction = 508735, FlashSpace = 508746;
// The driver's writer list
constexpr DISPID GetWriter = 508742, SelectedWriter = 508744, WriterCount = 508745;
}  // namespace id

inline std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = std::uint8_t(seed + i * 13 + (i >> 7));
  return bytes;
}

// The writer object behind a dispatch interface the module made.
template <class Writer>
Writer* WriterObject(IDispatch* writer) {
  return dynamic_cast<Writer*>(static_cast<tvk::TAbstractSupportService*>(writer));
}

// A chip and the driver of its kind.
struct Chip {
  const char* Name;
  tvk::TDeviceKind Kind;
  hostsim::SimChipConfig Config;
  hostsim::SimFlashLayout Layout;
};

inline Chip F103() {
  return {"F103", tvk::eSTM32F103RBT6, hostsim::SimChipConfig::Stm32F103(),
          hostsim::SimFlashLayout::Stm32F10x(128 * 1024).WithCfiFlash()};
}

class DriverOnChip : public ::testing::Test {
protected:
  explicit DriverOnChip(Chip chip = F103())
      : Board(hostsim::SimBoard::Stm32F103BehindBypass(chip.Config)), Programmer(Board->Chip(), std::move(chip.Layout)) {
    tvk::DispatchFixStartup();
    EXPECT_TRUE(tvk::DeviceDataUnitStartup());
    Board->SetLogging(false);
    Driver.reset(tvk::New<tvk::TCortexM3>(chip.Kind));
    bool lent = false;
    EXPECT_EQ(S_OK, Driver->SetTovikDevice(tvk::ITovikDevice(Board->DeviceDispatch()), lent));
    bool paused = true;
    EXPECT_EQ(S_OK, Driver->ProcessorIsPaused(paused));  // the first status query sets the core up
    Callback = tvk::ComRef<hostsim::SimFlashCallback>::Adopt(new hostsim::SimFlashCallback);
  }
  ~DriverOnChip() override {
    for (const auto& e : Board->ProtocolErrors()) ADD_FAILURE() << std::string(e.begin(), e.end());
  }

  IDispatch* D() { return static_cast<IDispatch*>(Driver.get()); }
  // The driver's writer at Index (the driver holds it), with the host's callback set.
  IDispatch* Writer(long index) {
    IDispatch* writer = Call(D(), id::GetWriter, {I4(index)}).Dispatch();
    if (writer) {
      EXPECT_EQ(0, Call(writer, id::SetCallback, {Obj(Callback.Get())}).Int());
    }
    return writer;
  }
  long WriterCount() { return Call(D(), id::WriterCount).Int(); }
  IDispatch* CFIWriter() { return Writer(WriterCount() - 1); }

  std::vector<std::uint8_t> Peek(std::uint32_t address, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    EXPECT_TRUE(Board->Chip().Peek(address, bytes));
    return bytes;
  }
  // Flash as if programmed long ago (the back door).
  void Preload(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(Board->Chip().Load(address, bytes));
  }
  // A served image of Bytes at Address.
  static tvk::ComRef<tvk::TDataChunkImageInterface> Image(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    return tvk::ComRef<tvk::TDataChunkImageInterface>(tvk::New<tvk::TDataChunkImageInterface>(
        address, std::uint32_t(bytes.size()),
        tvk::TDynamicLongWordArray(std::vector<std::uint32_t>(bytes.begin(), bytes.end()))));
  }
  static IDispatch* ImageDispatch(const tvk::ComRef<tvk::TDataChunkImageInterface>& image) {
    return static_cast<IDispatch*>(image.Get());
  }
  // The commands the stand-ins ran since the last call.
  std::vector<hostsim::SimRemoteCommand> TakeCommands() {
    std::vector<hostsim::SimRemoteCommand> commands = Programmer.Commands();
    Programmer.ClearCommands();
    return commands;
  }

  std::unique_ptr<hostsim::SimBoard> Board;
  hostsim::SimFlashProgrammer Programmer;
  std::unique_ptr<tvk::TCortexM3> Driver;
  tvk::ComRef<hostsim::SimFlashCallback> Callback;
  RecordedDialogs Dialogs;
};

}  // namespace writers_test
