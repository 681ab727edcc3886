// The serial flash family, which no device of this module names: the SPI
// controllers it finds in the embedded design, the configuration block it
// writes for its remote driver, and the commands it sends (recorded here, as
// no stand-in speaks its big-endian protocol).
#include "WritersFixture.h"

#include "FakeHostObject.h"
#include "ORV.SCH.Util.h"
#include "SimClient.h"
#include "Tovik.Classes.FlashDevices.h"
#include "ZUL.Util.h"
#include "support/FakeHost.h"

#include <functional>
#include <map>
#include <optional>

namespace writers_test {
namespace {

using namespace tvk;
using hostsim::FakeHostObject;

// ---- SPI controllers of the embedded design

struct Item {
  std::wstring Type, Name;
  std::map<std::wstring, std::wstring> Options;
  std::vector<std::wstring> Links, Stacked;
  bool Valid = true;
};

// A software stack's sync interface over a table of items.
class FakeStack {
public:
  explicit FakeStack(std::vector<std::pair<std::wstring, Item>> items) : FItems(std::move(items)) {
    Sync->ReturnString(508773, L"50000000");  // GetStackName
    Sync->ReturnInt(508754, long(FItems.size()));
    Sync->Serve(508755, "i", [this](std::vector<VARIANT*>& a, VARIANT* r) {
      hostsim::SetResultString(r, FItems.at(std::size_t(a[0]->lVal)).first);
      return S_OK;
    });
    ServeItem(508758, [](const Item& i, VARIANT* r) { hostsim::SetResultBool(r, i.Valid); });
    ServeItem(508763, [](const Item& i, VARIANT* r) { hostsim::SetResultInt(r, long(i.Links.size())); });
    ServeItem(508767, [](const Item& i, VARIANT* r) { hostsim::SetResultString(r, i.Type); });
    ServeItem(508770, [](const Item& i, VARIANT* r) { hostsim::SetResultInt(r, long(i.Stacked.size())); });
    ServeItem(508772, [](const Item& i, VARIANT* r) { hostsim::SetResultString(r, i.Name); });
    Sync->Serve(508764, "si", [this](std::vector<VARIANT*>& a, VARIANT* r) {
      hostsim::SetResultString(r, Find(a[0]).Links.at(std::size_t(a[1]->lVal)));
      return S_OK;
    });
    Sync->Serve(508771, "si", [this](std::vector<VARIANT*>& a, VARIANT* r) {
      hostsim::SetResultString(r, Find(a[0]).Stacked.at(std::size_t(a[1]->lVal)));
      return S_OK;
    });
    Sync->Serve(508768, "ss", [this](std::vector<VARIANT*>& a, VARIANT* r) {
      const Item& item = Find(a[0]);
      const auto option = item.Options.find(hostsim::ArgString(a[1]));
      hostsim::SetResultString(r, option == item.Options.end() ? L"" : option->second);
      return S_OK;
    });
  }

  Fake Sync = MakeFake();

private:
  const Item& Find(const VARIANT* id) const {
    const std::wstring name = hostsim::ArgString(id);
    for (const auto& [n, item] : FItems)
      if (n == name) return item;
    static const Item none;
    return none;
  }
  void ServeItem(DISPID dispid, std::function<void(const Item&, VARIANT*)> answer) {
    Sync->Serve(dispid, "s", [this, answer](std::vector<VARIANT*>& a, VARIANT* r) {
      answer(Find(a[0]), r);
      return S_OK;
    });
  }
  std::vector<std::pair<std::wstring, Item>> FItems;
};

// Items of a controller L with the drivers stacked on it.
struct Controller {
  std::wstring Type = L"WB_SPI", Base = L"0xFF000000";
  std::map<std::wstring, std::wstring> Options = {};
  std::optional<Item> Driver = Item{L"", L"drv_spi", {{L"spi_frequency", L"1000000"}}, {}, {L"F"}};
  std::optional<Item> Flash = Item{L"", L"drv_m25px0", {}, {}, {}};
};

struct SPICase {
  const char* Label;
  std::vector<Controller> Controllers;
  bool Found;
  std::vector<std::wstring> Listed;  // controller ids
  TSPIData Selected;
  bool SPIClock;
};

Controller Bootloader(std::map<std::wstring, std::wstring> options = {}) {
  Controller c;
  c.Type = L"WB_BOOTLOADER_V2";
  c.Options = std::move(options);
  c.Driver.reset();
  c.Flash.reset();
  return c;
}
Controller WithDriver(std::wstring name, std::map<std::wstring, std::wstring> options) {
  Controller c;
  c.Driver = Item{L"", std::move(name), std::move(options), {}, {L"F"}};
  return c;
}
Controller WithoutFlashDriver() {
  Controller c;
  c.Driver->Stacked.clear();
  c.Flash.reset();
  return c;
}
Controller Typed(std::wstring type) {
  Controller c;
  c.Type = std::move(type);
  return c;
}

// The per_spi item linked to every controller L1, L2 ...; each controller's
// driver D1 ... stacked on it and the flash driver F1 ... on that.
std::vector<std::pair<std::wstring, Item>> StackItems(const std::vector<Controller>& controllers) {
  Item spi;
  std::vector<std::pair<std::wstring, Item>> items;
  for (std::size_t k = 0; k < controllers.size(); ++k) {
    const Controller& c = controllers[k];
    const std::wstring n = std::to_wstring(k + 1);
    spi.Links.push_back(L"L" + n);
    Item link{c.Type, L"", c.Options, {}, {}};
    link.Options[L"baseaddress"] = c.Base;
    if (c.Driver) {
      link.Stacked = {L"D" + n};
      Item driver = *c.Driver;
      for (std::wstring& s : driver.Stacked) s += n;
      items.emplace_back(L"D" + n, driver);
    }
    if (c.Flash) items.emplace_back(L"F" + n, *c.Flash);
    items.emplace_back(L"L" + n, link);
  }
  // An item of another id, and an invalid one of the SPI id, are passed over.
  Item other = spi;
  items.emplace_back(L"per_uart", other);
  Item invalid = spi;
  invalid.Valid = false;
  items.emplace_back(L"PER_SPI", invalid);
  items.emplace_back(L"Per_Spi", spi);
  return items;
}

class SPIControllers : public ::testing::Test {
protected:
  void SetUp() override {
    DispatchFixStartup();
    ReleaseHostClient();
    BindHostClientExport(GetModuleHandleW(nullptr));
    Host.Install();
    Link->ReturnObject(504082, AsDispatch(Project));                 // GetProject
    Project->ReturnString(501469, L"C:\\Design\\Platform.SwPlatform");  // GetSoftwarePlatformFile
  }
  void TearDown() override {
    ReleaseHostClient();
    hostsim::SimClient::Uninstall();
  }

  hostsim::SimClient Host;
  Fake Link = MakeFake(), Project = MakeFake();
  ComRef<TRemoteExecuteBaseDriverSerialFlash> Serial{New<TRemoteExecuteBaseDriverSerialFlash>(ITovikDriver(), true)};
};

TEST_F(SPIControllers, EachControllerThatKeepsTheRulesIsListedUntilOneBreaksThem) {
  const TSPIData good{L"50000000", L"0xFF000000", L"1000000"};
  const SPICase cases[] = {
      {"a controller with its drivers", {Controller{}}, true, {L"L1"}, good, true},
      {"a bootloader on its own", {Bootloader()}, true, {L"L1"}, {L"50000000", L"0xFF000000", L"2500000"}, false},
      {"other link types are passed over", {Typed(L"WB_UART"), Controller{}}, true, {L"L2"}, good, true},
      {"a broken rule ends the search", {Controller{}, WithoutFlashDriver(), Controller{}}, true, {L"L1"}, good, true},
      {"a driver without a flash driver", {WithoutFlashDriver()}, false, {}, {}, false},
      {"a Sarmodeck bootloader", {Bootloader({{L"Option_IsSarmodeck", L"TRUE"}})}, false, {}, {}, false},
      {"a multiplexed SPI driver", {WithDriver(L"drv_spi", {{L"sm_multiplex_support", L"true"}})}, false, {}, {}, false},
      {"another SPI driver", {WithDriver(L"drv_uart", {})}, false, {}, {}, false},
      // The clock is noted before the flash driver and the base address are looked at.
      {"another flash driver", {[] { Controller c; c.Flash->Name = L"drv_at45"; return c; }()}, false, {}, {}, true},
      {"no base address", {[] { Controller c; c.Base = L""; return c; }()}, false, {}, {}, true},
      {"a driver without a frequency", {WithDriver(L"drv_spi", {})}, true, {L"L1"}, {L"50000000", L"0xFF000000", L""},
       false},
      {"two controllers: the last is selected",
       {Controller{}, [] { Controller c; c.Base = L"0xFF100000"; return c; }()}, true, {L"L1", L"L2"},
       {L"50000000", L"0xFF100000", L"1000000"}, true},
  };
  int n = 0;
  for (const SPICase& c : cases) {
    SCOPED_TRACE(c.Label);
    FakeStack stack(StackItems(c.Controllers));
    const std::wstring platformFile = L"C:\\Design\\Platform" + std::to_wstring(++n) + L".SwPlatform";
    Project->ReturnString(501469, platformFile);
    Host.AddDocument(platformFile).ReturnObject(508788, AsDispatch(stack.Sync));
    Serial = ComRef<TRemoteExecuteBaseDriverSerialFlash>(New<TRemoteExecuteBaseDriverSerialFlash>(ITovikDriver(), true));
    bool platform = false, clock = false;
    EXPECT_EQ(c.Found, Serial->GetSPIData(IDeviceLink(AsDispatch(Link)), platform, clock));
    EXPECT_TRUE(platform);
    EXPECT_EQ(c.SPIClock, clock);
    std::vector<std::wstring> listed;
    for (const auto& [linkId, data] : Serial->SPIList()) listed.push_back(linkId);
    EXPECT_EQ(c.Listed, listed);
    EXPECT_EQ(c.Selected.FProcessorClockFreq, Serial->SelectedSPI().FProcessorClockFreq);
    EXPECT_EQ(c.Selected.FSPIBaseAddress, Serial->SelectedSPI().FSPIBaseAddress);
    EXPECT_EQ(c.Selected.FSPIClockFreq, Serial->SelectedSPI().FSPIClockFreq);
  }
}

TEST_F(SPIControllers, WithoutALinkOrASoftwarePlatformNothingIsFound) {
  bool platform = false, clock = false;
  EXPECT_FALSE(Serial->GetSPIData(IDeviceLink(), platform, clock));
  EXPECT_FALSE(Serial->GetSPIData(IDeviceLink(AsDispatch(Link)), platform, clock)) << "no such document";
  EXPECT_FALSE(platform);

  FakeStack stack(StackItems({Controller{}, [] { Controller c; c.Base = L"0xFF100000"; return c; }()}));
  Host.AddDocument(L"C:\\Design\\Platform.SwPlatform").ReturnObject(508788, AsDispatch(stack.Sync));
  ASSERT_TRUE(Serial->GetSPIData(IDeviceLink(AsDispatch(Link)), platform, clock));
  Serial->SetSelectedSPI(L"l1");
  EXPECT_EQ(L"0xFF000000", Serial->SelectedSPI().FSPIBaseAddress) << "ids match without regard to case";
  Serial->SetSelectedSPI(L"L9");
  EXPECT_EQ(L"0xFF000000", Serial->SelectedSPI().FSPIBaseAddress) << "an unknown id changes nothing";
}

// ---- Commands and the configuration block, on the simulated chip

// A serial writer with a loaded remote driver (any stand-in serves: its
// commands are recorded, not run): parameter block at 0x20000400, result
// block 16 bytes on, the data area after the 8-byte result block.
class TRecordingSerialFlash : public TRemoteExecuteBaseDriverSerialFlash {
public:
  static constexpr std::uint32_t kParam = 0x20000400, kData = kParam + 16 + 8;

  using TRemoteExecuteBaseDriverSerialFlash::TRemoteExecuteBaseDriverSerialFlash;
  void LoadAndInitDriver() override {
    InitDriver(GetTemplatesFolder() + L"ARM_RD_STM32F10X.hex", 0x20000000, kParam, kData, 0);
  }
  int32_t DispatchRemoteCommand(uint32_t Command, TRemoteCommandResult& Result,
                                std::initializer_list<uint32_t> Arguments) override {
    Runs.push_back({Command, std::vector<std::uint32_t>(Arguments)});
    if (OnRun) OnRun(Runs.back());
    Result = {};
    return 0;
  }
  void Select(TSPIData data) { FSPISelected = std::move(data); }

  struct Run {
    std::uint32_t Command;
    std::vector<std::uint32_t> Args;
    bool operator==(const Run&) const = default;
  };
  std::vector<Run> Runs;
  std::function<void(const Run&)> OnRun;
};

class SerialCommands : public DriverOnChip {
protected:
  SerialCommands() {
    Serial->SetSelectedDevice(L"M25P16");  // 64 KB sectors, 256-byte pages, 2 MB
  }
  ComRef<TRecordingSerialFlash> Serial{New<TRecordingSerialFlash>(ITovikDriver(D()), true)};
};

TEST_F(SerialCommands, TheConfigurationBlockFollowsTheDataAreaInBigEndianWords) {
  Serial->Select({L"50000000", L"0xFF000000", L"$F4240"});
  std::int32_t installed = 0;
  ASSERT_EQ(S_OK, Serial->InstallDriver(installed));
  ASSERT_EQ(1, installed);
  EXPECT_TRUE(Serial->Runs.empty()) << "no command";
  const std::uint32_t block = TRecordingSerialFlash::kParam + 16 + 8 + 512;
  EXPECT_EQ((std::vector<std::uint8_t>{0xFF, 0, 0, 0,  0, 0x0F, 0x42, 0x40,  0x02, 0xFA, 0xF0, 0x80,
                                       0, 1, 0, 0,     0, 0, 1, 0,           0, 0, 0, 0}),
            Peek(block, 24))
      << "SPI base, SPI clock, processor clock, sector size, page size, 0";
  Serial->UninstallDriver(installed);
}

TEST_F(SerialCommands, EachSectorIsErasedByItsOffsetAndBlankCheckNamesItsAddressTwice) {
  std::int32_t result = -1;
  ASSERT_EQ(S_OK, Serial->EraseSectorRange(0, 1, 2, result));
  EXPECT_EQ(0, result);
  ASSERT_EQ(S_OK, Serial->BlankCheckSectors(0, 3, 5, result));
  using Run = TRecordingSerialFlash::Run;
  EXPECT_EQ((std::vector<Run>{{52, {0x10000}}, {52, {0x20000}}, {53, {0x30000, 0x30000, 0}}}), Serial->Runs)
      << "nothing to prepare";
}

// The remote driver copies flash into the data area: a read longer than the
// area goes in pieces, so that no RAM past it is overwritten.
TEST_F(SerialCommands, ReadBackGoesThroughTheDataAreaInPiecesItHolds) {
  Serial->OnRun = [&](const TRecordingSerialFlash::Run& run) {
    ASSERT_EQ(57u, run.Command);
    ASSERT_LE(run.Args[1], 512u);
    std::vector<std::uint8_t> flash(run.Args[1]);
    for (std::size_t i = 0; i < flash.size(); ++i) flash[i] = std::uint8_t((run.Args[0] + i) * 7);
    Board->Chip().Load(TRecordingSerialFlash::kData, flash);
  };
  std::vector<std::uint32_t> buffer(1300);
  EXPECT_EQ(0, Serial->RemoteDataRead(0, buffer.data(), 0x1000, 1300));
  using Run = TRecordingSerialFlash::Run;
  EXPECT_EQ((std::vector<Run>{{57, {0x1000, 512}}, {57, {0x1200, 512}}, {57, {0x1400, 276}}}), Serial->Runs);
  for (std::uint32_t i = 0; i < 1300; ++i) ASSERT_EQ(std::uint8_t((0x1000 + i) * 7), buffer[i]) << i;
}

}  // namespace

}  // namespace writers_test
