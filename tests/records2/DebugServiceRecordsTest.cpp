// Memory maps, breakpoints, flash writers and the device manager through their
// records: what the host (or the module's own served object) receives, and
// what comes back.
#include "ORV.SCH.RecordInterfaces.h"
#include "WireCheck.h"
#include "ZUL.Types.h"

#include <array>

using namespace tvk;
namespace records2_test {

namespace {

// ---- Memory maps and breakpoints

using Breakpoints = RecordFamily;

TEST_F(Breakpoints, AddressesAndDataTravelAs64BitValues) {
  Fake soft = MakeFake(), hard = MakeFake();
  for (DISPID id : {503457, 503456, 508548}) soft->Accept(id);
  soft->ReturnInt64(508547, 0x1'0000'0004);
  hard->ReturnInt64(508557, int64_t(0xDEAD'BEEF'0000'0001));
  const ISoftBreakpoint breakpoint(AsDispatch(soft));

  // How the debug manager hands a breakpoint out.
  breakpoint.Reset();
  breakpoint.SetMemorySpace(1);
  breakpoint.SetAddress(0x0800'0100);  // fits in 32 bits, still VT_I8
  breakpoint.SetAddress(0x1'2345'6789);
  EXPECT_EQ(0x1'0000'0004, breakpoint.GetAddress());
  EXPECT_EQ(int64_t(0xDEAD'BEEF'0000'0001), IHardBreakpoint(AsDispatch(hard)).GetData());

  ExpectCalls({{503457, {}},
               {503456, {I4(1)}},
               {508548, {I8(0x0800'0100)}},
               {508548, {I8(0x1'2345'6789)}},
               {508547, {}}},
              soft);
}

TEST_F(Breakpoints, DebugManagerSetUp) {
  Fake manager = MakeFake(), hard = MakeFake();
  manager->Accept(503968);
  manager->ReturnInt(503972, 0);
  manager->ReturnInt(503948, 3);
  const IDeviceDebugManager debugManager(AsDispatch(manager));

  debugManager.SetSoftbreakpointsRequireHardware(false);
  EXPECT_EQ(0, debugManager.GetHardBreakpointCount());
  EXPECT_EQ(3, debugManager.AddHardBreakPoint(IHardBreakpoint(AsDispatch(hard))));

  ExpectCalls({{503968, {Bool(false)}}, {503972, {}}, {503948, {Obj(AsDispatch(hard))}}}, manager);
  manager->ClearCalls();
  EXPECT_EQ(1, hard->RefCount());  // lent for the call only
}

using MemoryMaps = RecordFamily;

TEST_F(MemoryMaps, SectionsAreJoinedAndReadBack) {
  Fake info = MakeFake(), arch = MakeFake(), logical = MakeFake();
  info->ReturnInt(503945, 0);
  info->ReturnInt(503946, 4);
  arch->ReturnInt(503917, 2);
  arch->ReturnString(503918, L"AHB");
  arch->ReturnInt(503935, 0);
  for (DISPID id : {503904, 503907, 503909}) logical->Accept(id);
  logical->ReturnInt(503896, int32_t(0xE000'0000));
  logical->ReturnInt(503897, 0x1000);
  const IDeviceMemoryInformation memory(AsDispatch(info));
  const IDeviceMemoryArchitectureSection section(AsDispatch(arch));
  const IDeviceMemoryLogicalSection child(AsDispatch(logical));

  // A logical section made from an architecture section takes its index and bus.
  EXPECT_EQ(0, memory.AddArchitectureSection(section));
  child.SetDeviceMemoryIndex(section.GetDeviceMemoryIndex());
  child.SetBusName(section.GetBusName());
  child.SetParentMap(section);
  EXPECT_EQ(0, section.AddLogicalSection(child));
  EXPECT_EQ(4, memory.AddLogicalSection(child));
  EXPECT_EQ(0xE000'0000u, child.GetStartAddress());  // an address, unsigned
  EXPECT_EQ(0x1000u, child.GetSize());

  ExpectCalls({{503945, {Obj(AsDispatch(arch))}}, {503946, {Obj(AsDispatch(logical))}}}, info);
  ExpectCalls({{503917, {}}, {503918, {}}, {503935, {Obj(AsDispatch(logical))}}}, arch);
  ExpectCalls({{503904, {I4(2)}}, {503907, {Str(L"AHB")}}, {503909, {Obj(AsDispatch(arch))}}, {503896, {}}, {503897, {}}},
              logical);
}

// ---- Flash writers, reached through their record as the flash dialog does

// A writer served the way the module serves its flash writers: the image
// operations take their options in the served order; outputs go by reference.
class TWriterStandIn : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();

  struct TOptions {
    bool AutomaticChecksum = false, PreserveSectorData = false, ResetAfterLoad = false, Verify = false;
    bool operator==(const TOptions&) const = default;
  };
  uint32_t Space = 0, StartAddress = 0, ByteCount = 0;
  IDispatch* Image = nullptr;
  TOptions Options;

  HRESULT InstallDriver(int32_t& installed) {
    installed = 1;  // installed: the reverse of a status
    return S_OK;
  }
  HRESULT ProgramImage(uint32_t space, IDataChunkImageInterface image, bool automaticChecksum, bool preserveSectorData,
                       bool resetAfterLoad, bool verify, int32_t& status) {
    Space = space;
    Image = image.ToPointer();
    Options = {automaticChecksum, preserveSectorData, resetAfterLoad, verify};
    status = 0;
    return S_OK;
  }
  HRESULT CompareImage(uint32_t space, IDataChunkImageInterface image, uint32_t startAddress, uint32_t byteCount,
                       bool automaticChecksum, int32_t& differences) {
    Space = space;
    Image = image.ToPointer();
    StartAddress = startAddress;
    ByteCount = byteCount;
    Options = {automaticChecksum, false, false, false};
    differences = 3;
    return S_OK;
  }
  HRESULT GetFlashMemorySpace(uint32_t index, int32_t* space, uint32_t* start, uint32_t* end, int32_t* width) {
    if (index != 0) return S_OK;  // out of range: the outputs stay as they are
    *space = 1;
    *start = 0x0800'0000;
    *end = 0x0801'FFFF;
    *width = 32;
    return S_OK;
  }
};

constexpr TServedRow<TWriterStandIn> kWriterRows[] = {
    TVK_SERVED_ROW(TWriterStandIn, 508717, InstallDriver),
    TVK_SERVED_ROW(TWriterStandIn, 508719, ProgramImage),
    TVK_SERVED_ROW(TWriterStandIn, 508724, CompareImage),
    TVK_SERVED_ROW(TWriterStandIn, 508746, GetFlashMemorySpace),
};

}  // namespace

TVK_SERVED_LEVEL_IMPL(TWriterStandIn, TAbstractSupportService, kWriterRows, L"FlashWriter")

namespace {

class FlashWriters : public RecordFamily {
protected:
  FlashWriters() : Writer(New<TWriterStandIn>()), Record(static_cast<IDispatch*>(Writer.Get())) {}
  ComRef<TWriterStandIn> Writer;
  IFlashWriter Record;
  Fake Image = MakeFake();
};

// Each option in its own position reaches the served writer in that position
// (the names of the positions are checked with the record table).
TEST_F(FlashWriters, ProgramOptionsArriveInTheirServedPositions) {
  using O = TWriterStandIn::TOptions;
  const IDataChunkImageInterface image(AsDispatch(Image));
  const std::array<O, 4> cases = {O{true, false, false, false}, O{false, true, false, false},
                                  O{false, false, true, false}, O{false, false, false, true}};
  for (const O& o : cases) {
    EXPECT_EQ(0, Record.ProgramImage(2, image, o.AutomaticChecksum, o.PreserveSectorData, o.ResetAfterLoad, o.Verify));
    EXPECT_TRUE(Writer->Options == o) << o.AutomaticChecksum << o.PreserveSectorData << o.ResetAfterLoad << o.Verify;
    EXPECT_EQ(2u, Writer->Space);
    EXPECT_EQ(AsDispatch(Image), Writer->Image);
  }
}

TEST_F(FlashWriters, CompareTakesTheStartAddressBeforeTheByteCount) {
  EXPECT_EQ(3, Record.CompareImage(1, IDataChunkImageInterface(AsDispatch(Image)), 0x0800'0000, 0x400, true));
  EXPECT_EQ(1u, Writer->Space);
  EXPECT_EQ(0x0800'0000u, Writer->StartAddress);
  EXPECT_EQ(0x400u, Writer->ByteCount);
  EXPECT_TRUE(Writer->Options.AutomaticChecksum);
}

TEST_F(FlashWriters, ImageOptionsGoAsBooleansAfterSpaceAndImage) {
  Fake host = MakeFake();
  host->ReturnInt(508719, 0);
  host->ReturnInt(508724, 0);
  const IFlashWriter writer(AsDispatch(host));
  const IDataChunkImageInterface image(AsDispatch(Image));
  writer.ProgramImage(0, image, /*AutomaticChecksum*/ true, /*PreserveSectorData*/ false, /*ResetAfterLoad*/ false,
                      /*Verify*/ true);
  writer.CompareImage(0, image, /*StartAddress*/ 0x0800'0000, /*ByteCount*/ 0x80, /*AutomaticChecksum*/ false);
  ExpectCalls({{508719, {I4(0), Obj(AsDispatch(Image)), Bool(true), Bool(false), Bool(false), Bool(true)}},
               {508724, {I4(0), Obj(AsDispatch(Image)), I4(0x0800'0000), I4(0x80), Bool(false)}}},
              host);
}

TEST_F(FlashWriters, InstallAnswersOneWhenInstalled) {
  EXPECT_EQ(1, Record.InstallDriver());
  Fake host = MakeFake();
  host->ReturnInt(508717, 0);  // no program loaded
  EXPECT_EQ(0, IFlashWriter(AsDispatch(host)).InstallDriver());
}

TEST_F(FlashWriters, FlashMemorySpaceComesBackThroughTheOutputs) {
  int32_t space = -1, width = -1;
  uint32_t start = 7, end = 7;
  Record.GetFlashMemorySpace(5, space, start, end, width);
  EXPECT_EQ(-1, space);
  EXPECT_EQ(7u, start);
  EXPECT_EQ(7u, end);
  EXPECT_EQ(-1, width);
  Record.GetFlashMemorySpace(0, space, start, end, width);
  EXPECT_EQ(1, space);
  EXPECT_EQ(0x0800'0000u, start);
  EXPECT_EQ(0x0801'FFFFu, end);
  EXPECT_EQ(32, width);
}

TEST_F(FlashWriters, WriterListAndCallback) {
  Fake list = MakeFake(), writer = MakeFake(), callback = MakeFake();
  list->ReturnInt(508745, 1);
  list->ReturnObject(508742, AsDispatch(writer));
  list->Accept(508743);
  list->ReturnObject(508744, AsDispatch(writer));
  writer->ReturnString(508695, L"STM32F103 internal flash");
  writer->ReturnInt(508732, 0);
  callback->Accept(508715);
  callback->ReturnBool(508716, true);
  const IFlashWriters writers(AsDispatch(list));

  ASSERT_EQ(1, writers.GetFlashWriterCount());
  const IFlashWriter first = writers.GetFlashWriter(0);
  EXPECT_EQ(L"STM32F103 internal flash", first.GetDriverDeviceTitle());
  writers.SelectFlashWriter(first);
  EXPECT_EQ(first.ToPointer(), writers.GetSelectedFlashWriter().ToPointer());
  const IFlashWriterCallback progress(AsDispatch(callback));
  EXPECT_EQ(0, first.SetFlashWriterCallback(progress));
  progress.SetProgress(0);
  progress.SetProgress(1000);
  EXPECT_TRUE(progress.IsAbortRequested());

  ExpectCalls({{508745, {}}, {508742, {I4(0)}}, {508743, {Obj(AsDispatch(writer))}}, {508744, {}}}, list);
  ExpectCalls({{508695, {}}, {508732, {Obj(AsDispatch(callback))}}}, writer);
  ExpectCalls({{508715, {I4(0)}}, {508715, {I4(1000)}}, {508716, {}}}, callback);
}

// ---- Device manager and vendor tools

using DeviceManager = RecordFamily;

TEST_F(DeviceManager, LookUpsCarryTheirArgumentsInOrder) {
  Fake manager = MakeFake(), generic = MakeFake(), families = MakeFake(), tools = MakeFake();
  manager->ReturnString(504001, L"");
  manager->ReturnBool(504007, false);
  manager->ReturnObject(504015, AsDispatch(generic));
  manager->ReturnObject(504014, AsDispatch(families));
  generic->ReturnString(503975, L"C:\\BSDL\\STM32F1_Medium.bsd");
  families->ReturnObject(503996, nullptr);
  tools->ReturnString(509004, L"C:\\Actel\\bin\\designer.exe");
  const IDeviceManager devices(AsDispatch(manager));

  devices.ShowDeviceInformation(L"GenericDevice", L"Mode=Browse");
  EXPECT_FALSE(devices.IsEquivalentDevice(L"STM32F103C8", L"stm32f103c8"));
  EXPECT_EQ(L"C:\\BSDL\\STM32F1_Medium.bsd", devices.GetGenericDeviceManager().GetBSDLFileName(0x4BA0'0477, 0x0641'0041));
  const IDeviceFamily family = devices.GetDeviceFamilyManager().GetDeviceFamily(L"Unknown");
  EXPECT_FALSE(family);  // an unknown family is an empty record, and asks nothing
  EXPECT_THROW(family.HasProperty(L"WM_DefaultIOStandard"), EEmptyRecord);
  EXPECT_EQ(L"C:\\Actel\\bin\\designer.exe", IVendorToolManager(AsDispatch(tools)).GetVendorToolPath(L"Actel", L"Designer"));

  ExpectCalls({{504001, {Str(L"GenericDevice"), Str(L"Mode=Browse")}},
               {504007, {Str(L"STM32F103C8"), Str(L"stm32f103c8")}},
               {504015, {}},
               {504014, {}}},
              manager);
  ExpectCalls({{503975, {I4(0x4BA0'0477), I4(0x0641'0041)}}}, generic);
  ExpectCalls({{503996, {Str(L"Unknown")}}}, families);
  ExpectCalls({{509004, {Str(L"Actel"), Str(L"Designer")}}}, tools);
}

}  // namespace

}  // namespace records2_test
