#pragma once
// A flash writer on the module's Cortex-M3 driver, attached to a simulated
// STM32F103 whose flash only the stand-in programs change; the host's
// callback records progress; dialogs are answered through the seam.
#include "Device_ST_CortexM3_Data.h"
#include "SimFlashCallback.h"
#include "SimFlashProgrammer.h"
#include "SimHost.h"
#include "Tarnwell_Driver.h"
#include "ZUL.DispatchFix.h"
#include "support/FakeHost.h"
#include "support/HostCall.h"
#include "support/RecordedDialogs.h"
#include "support/TestFlashWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace flashwrite_test {

using testsupport::TestFlashWriter;
using testsupport::TestWriterConfig;

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;
constexpr std::uint32_t kParamBlock = 0x20000400, kDataArea = 0x20000434;
constexpr std::uint32_t kPage = 1024;

namespace id {
constexpr DISPID InstallDriver = 508717, UninstallDriver = 508718, ProgramImage = 508719, BlankCheckSectors = 508720,
                 EraseDevice = 508721, EraseAddressRange = 508722, EraseSectorRange = 508723,
                 CompareImage = 508724, SetFlashWriterCallback = 508732;
}

inline std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = std::uint8_t(seed + i * 7 + (i >> 8));
  return bytes;
}

class FlashWriterTest : public ::testing::Test {
protected:
  explicit FlashWriterTest(TestWriterConfig config = {},
                           hostsim::SimFlashLayout layout = hostsim::SimFlashLayout::Stm32F10x(128 * 1024))
      : Programmer(Board->Chip(), std::move(layout)) {
    tvk::DispatchFixStartup();
    EXPECT_TRUE(tvk::DeviceDataUnitStartup());
    Board->SetLogging(false);
    Driver.reset(tvk::New<tvk::TCortexM3>(tvk::eSTM32F103RBT6));
    bool lent = false;
    EXPECT_EQ(S_OK, Driver->SetTovikDevice(tvk::ITovikDevice(Board->DeviceDispatch()), lent));
    bool paused = true;
    EXPECT_EQ(S_OK, Driver->ProcessorIsPaused(paused));  // the first status query sets the core up
    Writer = MakeWriter(std::move(config));
    Callback = tvk::ComRef<hostsim::SimFlashCallback>::Adopt(new hostsim::SimFlashCallback);
    std::int32_t result = -1;
    EXPECT_EQ(S_OK, Writer->SetFlashWriterCallback(tvk::IFlashWriterCallback(Callback.Get()), result));
  }
  ~FlashWriterTest() override {
    for (const auto& e : Board->ProtocolErrors()) ADD_FAILURE() << std::string(e.begin(), e.end());
    EXPECT_EQ(Board->Channel().Opens(), Board->Channel().Closes());
  }

  tvk::ComRef<TestFlashWriter> MakeWriter(TestWriterConfig config = {}) {
    return tvk::ComRef<TestFlashWriter>(
        tvk::New<TestFlashWriter>(tvk::ITovikDriver(DriverDispatch()), true, std::move(config)));
  }
  IDispatch* DriverDispatch() { return static_cast<IDispatch*>(Driver.get()); }
  IDispatch* W() { return static_cast<IDispatch*>(static_cast<tvk::TAbstractSupportService*>(Writer.Get())); }

  std::vector<std::uint8_t> Peek(std::uint32_t address, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    EXPECT_TRUE(Board->Chip().Peek(address, bytes));
    return bytes;
  }
  // A served image of Bytes at Address.
  tvk::ComRef<tvk::TDataChunkImageInterface> Image(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    return tvk::ComRef<tvk::TDataChunkImageInterface>(tvk::New<tvk::TDataChunkImageInterface>(
        address, std::uint32_t(bytes.size()), tvk::TDynamicLongWordArray(std::vector<std::uint32_t>(bytes.begin(), bytes.end()))));
  }
  static IDispatch* D(const tvk::ComRef<tvk::TDataChunkImageInterface>& image) {
    return static_cast<IDispatch*>(image.Get());
  }
  // The commands the stand-ins ran since the last call.
  std::vector<std::uint32_t> TakeCommands() {
    std::vector<std::uint32_t> commands;
    for (const auto& c : Programmer.Commands()) commands.push_back(c.Command);
    Programmer.ClearCommands();
    return commands;
  }

  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  hostsim::SimFlashProgrammer Programmer;
  std::unique_ptr<tvk::TCortexM3> Driver;
  tvk::ComRef<TestFlashWriter> Writer;
  tvk::ComRef<hostsim::SimFlashCallback> Callback;
  testsupport::RecordedDialogs Dialogs;
};

}  // namespace flashwrite_test
