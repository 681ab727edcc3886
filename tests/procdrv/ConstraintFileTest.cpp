// The constraint-file search over names and folders, and the loading of a
// memory map from a constraint file in every text form it may come in.
#include "Embedded.h"
#include "StubDevice.h"
#include "support/HostCall.h"

#include <sstream>

namespace procdrv_test {
namespace {

using namespace testsupport;
using tvk::ComRef;

struct TPlaced {
  TWhere Where;
  const wchar_t* Name;
};

struct TSearchCase {
  const char* Label;
  std::vector<TPlaced> Files;
  const wchar_t* Custom;
  bool WithProcessorInformation;
  TPlaced Expected;  // Name null: nothing found
};

const TSearchCase kSearchCases[] = {
    {"base name in the module's folder", {{TWhere::Module, L"STM32F103.Constraint"}}, L"", false,
     {TWhere::Module, L"STM32F103.Constraint"}},
    {"names are the outer loop",
     {{TWhere::Module, L"STM32F103.Constraint"}, {TWhere::Tools, L"STM32F103RB.Constraint"}}, L"", false,
     {TWhere::Tools, L"STM32F103RB.Constraint"}},
    {"folders in order for one name",
     {{TWhere::Tools, L"STM32F1.Constraint"}, {TWhere::Data, L"STM32F1.Constraint"},
      {TWhere::Module, L"STM32F1.Constraint"}},
     L"", false, {TWhere::Module, L"STM32F1.Constraint"}},
    {"data folder before the toolchain manager's",
     {{TWhere::Tools, L"STM32F1.Constraint"}, {TWhere::Data, L"STM32F1.Constraint"}}, L"", false,
     {TWhere::Data, L"STM32F1.Constraint"}},
    {"the empty parameter's bare name comes before the base name",
     {{TWhere::Module, L"STM32F103.Constraint"}, {TWhere::Tools, L".Constraint"}}, L"", false,
     {TWhere::Tools, L".Constraint"}},
    {"custom file wins, taken without an extension",
     {{TWhere::Module, L"STM32F103RB.Constraint"}, {TWhere::Data, L"Board.map"}}, L"Board.map", false,
     {TWhere::Data, L"Board.map"}},
    {"a custom file not found falls back on the names",
     {{TWhere::Tools, L"STM32F103RB.Constraint"}, {TWhere::Data, L"Board.map.Constraint"}}, L"Board.map", false,
     {TWhere::Tools, L"STM32F103RB.Constraint"}},
    {"the toolchain name last, with processor information",
     {{TWhere::Module, L"BRELMOX ARM.Constraint"}}, L"", true, {TWhere::Module, L"BRELMOX ARM.Constraint"}},
    {"the toolchain name only with processor information", {{TWhere::Module, L"BRELMOX ARM.Constraint"}}, L"",
     false, {TWhere::Module, nullptr}},
    {"nothing found", {{TWhere::Module, L"Other.Constraint"}}, L"", true, {TWhere::Module, nullptr}},
};

class ConstraintSearch : public EmbeddedFolders {
protected:
  // The driver's own search (503821), after the custom file is set (503822).
  static std::wstring Search(TStubDevice& device, const std::wstring& custom = L"") {
    EXPECT_EQ(S_OK, Call(&device, 503822, {Str(custom)}).Hr);
    TCall c = Call(&device, 503821);
    EXPECT_EQ(S_OK, c.Hr);
    return c.Text();
  }
};

TEST_F(ConstraintSearch, NamesAndFoldersInOrder) {
  ComRef<tvk::TDeviceProcessorInformation> info(
      tvk::New<tvk::TDeviceProcessorInformation>(tvk::eDeviceProcessor_CORE_ARM_CORTEX_M3));
  for (const auto& c : kSearchCases) {
    ClearPlaced();
    for (const auto& f : c.Files) Place(f.Where, f.Name);
    auto device = TStubDevice::Make();
    if (c.WithProcessorInformation)
      device->ProcessorInformation = tvk::IDeviceProcessorInformation(static_cast<IDispatch*>(info.Get()));
    std::wstring found = Search(*device, c.Custom);
    EXPECT_EQ(c.Expected.Name ? EmbeddedFolder(c.Expected.Where) + c.Expected.Name : L"", found) << c.Label;
  }
}

TEST_F(ConstraintSearch, ACustomFileGivenWithItsFolderIsTakenAsItIs) {
  std::wstring elsewhere = Temp.Folder(L"elsewhere") + L"Map.txt";
  WriteBytes(elsewhere, "");
  Place(TWhere::Module, L"STM32F103RB.Constraint");
  auto device = TStubDevice::Make();
  EXPECT_EQ(elsewhere, Search(*device, elsewhere));
}

TEST_F(ConstraintSearch, WithoutAHostClientTheModulesFolderStillCounts) {
  ForgetHostCaches();
  hostsim::SimClient::Uninstall();
  std::wstring placed = Place(TWhere::Module, L"STM32F1.Constraint");
  Place(TWhere::Data, L"STM32F103RB.Constraint");  // the data folder is unknown now
  auto device = TStubDevice::Make();
  EXPECT_EQ(placed, Search(*device));
}

TEST_F(ConstraintSearch, AFailedNameQueryFailsTheSearchOnlyWhenItsTurnComes) {
  auto device = TStubDevice::Make();
  device->BaseNameResult = E_FAIL;
  EXPECT_EQ(HRESULT(0x8000FFFFL), Call(device.get(), 503821).Hr);
  Place(TWhere::Data, L"STM32F103RB.Constraint");
  device->BaseNameCalls = 0;
  EXPECT_EQ(DataFolder + L"STM32F103RB.Constraint", Search(*device));
  EXPECT_EQ(0, device->BaseNameCalls);
}

TEST_F(ConstraintSearch, FindConstraintFileRefusesAnEmptyNameAndFolders) {
  tvk::WideString path = L"stale";
  EXPECT_FALSE(tvk::FindConstraintFile(L"", path));
  EXPECT_EQ(L"", path);
  Temp.Folder(L"module\\Library\\Embedded\\AFolder.Constraint");
  EXPECT_FALSE(tvk::FindConstraintFile(L"AFolder.Constraint", path));
}

// ---- Loading

// The field tables' names, records of both kinds in any case, the size
// notations, lines to skip, a section before its parent, and a second
// default flash section.
const wchar_t kFixtureMap[] =
    L"Record=BUS_LAYOUT_INFO|ComponentDesignator=U1|Memory_BusName=mem|Memory_Description=Flash m\u00E9moire|"
    L"Memory_BusType=AHB|ProgramDownloadAddress=0x0800_0000|Memory_Depth=128k|Memory_Width=32|Memory_MappedIO=TRUE\n"
    L"\n"
    L"record = tovik_core | Memory_BusName=ignored|ComponentDesignator=U1|Default=True|Memory_Depth=64K|"
    L"ProgramDownloadAddress=0x08000000|Memory_UsageType=Program|Memory_PhysicalType=Flash|Memory_BusType=AHB|"
    L"Memory_Configuration=Bank 1|Memory_External=false|Memory_Mau=16\n"
    L"Record=TOVIK_CORE|Default=true|Memory_Depth=20k|ProgramDownloadAddress=0x20000000|"
    L"Memory_PhysicalType=ram|Memory_BusType=AHB\n"
    L"Record=BUS_LAYOUT_INFO|Memory_BusName=Data|Memory_BusType=AHB|ProgramDownloadAddress=536_870_912|"
    L"Memory_Depth=0x5000|Memory_Width=wide\n"
    L"Record=TOVIK_CORE|Default=true|Memory_Depth=20k|ProgramDownloadAddress=0x2000_0000|"
    L"Memory_PhysicalType=RAM|Memory_BusType=AHB|Memory_UsageType=Data\n"
    L"Record=TOVIK_CORE|Default=TRUE|Memory_Depth=64k|ProgramDownloadAddress=0x08010000|"
    L"Memory_PhysicalType=flash|Memory_BusType=AHB|Memory_Mau=0|Memory_External=True\n"
    L"Record=TOVIK_CORE|Memory_Depth=1m|ProgramDownloadAddress=0x08000000|Memory_BusType=AHB\n"
    L"Record=TOVIK_CORE|Memory_Depth=1k|ProgramDownloadAddress=0x08000000|Memory_BusType=ahb\n"
    L"Record=SOMETHING_ELSE|Memory_BusType=AHB|Memory_Depth=1k\n"
    L"no pairs on this line\n"
    L"Memory_BusType=AHB|Memory_Depth=1k";

// Everything the map serves, one line per section, in map order.
std::wstring Dump(IDispatch* map) {
  std::wostringstream out;
  const long arch = Call(map, 503941).Int(), logical = Call(map, 503942).Int();
  out << arch << " architecture, " << logical << " logical\n";
  std::vector<ComRef<IDispatch>> parents;
  for (long i = 0; i < arch; ++i) {
    TCall s = Call(map, 503944, {I4(i)});
    parents.emplace_back(s.Dispatch());
    out << "A";
    for (DISPID id = 503917; id <= 503925; ++id) {
      TCall f = Call(s.Dispatch(), id);
      out << "|" << (f.Type() == VT_BSTR ? f.Text() : f.Type() == VT_BOOL ? (f.Bool() ? L"T" : L"F")
                                                                            : std::to_wstring(f.Int()));
    }
    out << "|children " << Call(s.Dispatch(), 503936).Int() << "\n";
  }
  for (long i = 0; i < logical; ++i) {
    TCall s = Call(map, 503943, {I4(i)});
    out << "L";
    for (DISPID id = 503891; id <= 503903; ++id) {
      TCall f = Call(s.Dispatch(), id);
      if (id == 503900) {
        long parent = -1;
        for (std::size_t p = 0; p < parents.size(); ++p)
          if (SameObject(parents[p].Get(), f.Dispatch())) parent = long(p);
        out << "|parent " << parent;
        continue;
      }
      out << "|" << (f.Type() == VT_BSTR ? f.Text() : f.Type() == VT_BOOL ? (f.Bool() ? L"T" : L"F")
                                                                            : std::to_wstring(f.Int()));
    }
    out << "\n";
  }
  for (DISPID id : {503938, 503939, 503940}) {
    IDispatch* d = Call(map, id).Dispatch();
    long index = -1;
    for (long i = 0; i < logical && d; ++i)
      if (SameObject(d, Call(map, 503943, {I4(i)}).Dispatch())) index = i;
    out << "default " << id << ": " << index << "\n";
  }
  return out.str();
}

const wchar_t kExpectedDump[] =
    L"2 architecture, 3 logical\n"
    // index, bus name, description, bus type, start, size, mapped I/O, width, designator
    L"A|2|mem|Flash m\u00E9moire|AHB|134217728|131072|T|32|U1|children 2\n"
    L"A|1|Data||AHB|536870912|20480|F|0||children 1\n"
    // index, bus name, bus type, usage, physical, start, size, MAU, default, parent, designator, config, external
    L"L|2|mem|AHB|Program|Flash|134217728|65536|16|T|parent 0|U1|Bank 1|F\n"
    L"L|1|Data|AHB|Data|RAM|536870912|20480|8|T|parent 1|||F\n"
    L"L|2|mem|AHB||flash|134283264|65536|8|T|parent 0|||T\n"
    L"default 503938: -1\n"
    L"default 503939: 1\n"
    L"default 503940: 2\n";

class ConstraintLoading : public EmbeddedFolders {
protected:
  std::wstring LoadDump(const std::wstring& file) {
    auto device = TStubDevice::Make();
    device->SpaceNames = {L"MEM", L"data", L"Mem"};  // the last match gives the index
    ComRef<IDispatch> map(static_cast<IDispatch*>(tvk::New<tvk::TDeviceMemoryInformation>()));
    tvk::LoadDeviceMemoryFromConstraint(*device, tvk::IDeviceMemoryInformation(map.Get()), file);
    return Dump(map.Get());
  }
};

std::wstring WithLineEnds(const std::wstring& text, const std::wstring& end) {
  std::wstring out;
  for (wchar_t c : text) c == L'\n' ? out += end : out += c;
  return out;
}

std::string Utf16(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += {char(c & 0xFF), char(c >> 8)};
  return bytes;
}

std::string Encode(UINT codePage, const std::wstring& text) {
  int n = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(std::size_t(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

TEST_F(ConstraintLoading, OneMapReadsTheSameFromEveryEncodingAndLineEnd) {
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, 0, L"\u00E9", 1, nullptr, 0, nullptr, &lossy);
  ASSERT_FALSE(lossy) << "the fixture's accented letter needs a code page that has it";
  for (const wchar_t* end : {L"\r\n", L"\n", L"\r"}) {
    const std::wstring text = WithLineEnds(kFixtureMap, end);
    const std::pair<const char*, std::string> forms[] = {
        {"ANSI", Encode(CP_ACP, text)},
        {"UTF-8", "\xEF\xBB\xBF" + Encode(CP_UTF8, text)},
        {"UTF-16", Utf16(text)},
    };
    for (const auto& [form, bytes] : forms) {
      std::wstring file = Place(TWhere::Data, L"Fixture.Constraint", bytes);
      EXPECT_EQ(kExpectedDump, LoadDump(file)) << form << " with line end " << int(end[std::wcslen(end) - 1]);
    }
  }
}

TEST_F(ConstraintLoading, AMissingFileLeavesTheMapEmpty) {
  EXPECT_EQ(L"0 architecture, 0 logical\ndefault 503938: -1\ndefault 503939: -1\ndefault 503940: -1\n",
            LoadDump(DataFolder + L"Missing.Constraint"));
  EXPECT_EQ(L"0 architecture, 0 logical\ndefault 503938: -1\ndefault 503939: -1\ndefault 503940: -1\n",
            LoadDump(L""));
}

TEST_F(ConstraintLoading, OverlappingLinesAreRefusedInEitherOrder) {
  const char* first = "Record=BUS_LAYOUT_INFO|Memory_BusType=AHB|ProgramDownloadAddress=0|Memory_Depth=0x101\r\n";
  const char* second = "Record=BUS_LAYOUT_INFO|Memory_BusType=AHB|ProgramDownloadAddress=0x100|Memory_Depth=0x100\r\n";
  for (auto [a, b] : {std::pair{first, second}, {second, first}}) {
    std::wstring file = Place(TWhere::Data, L"Overlap.Constraint", std::string(a) + b);
    EXPECT_EQ(0u, LoadDump(file).find(L"1 architecture, 0 logical\n"));
  }
}

}  // namespace

}  // namespace procdrv_test
