// The device table against the rules that derive its columns from the part
// number, with the rows the rules name as exceptions; pin sets and their ball
// grids; the writer classes bound at start-up.
#include <gtest/gtest.h>

#include "Device_ST_CortexM3_Data.h"
#include "support/FolderTests.h"

#include <map>
#include <set>
#include <string>

using namespace tvk;

namespace {

// The device-data unit's start-up, as the module runs it, for every test here.
class DeviceDataUnit : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(DeviceDataUnitStartup()); }
  void TearDown() override { DeviceDataUnitShutdown(); }
};
TVK_FOLDER_ENVIRONMENT(DeviceDataUnit);

// "STM32", series, pin-count letter, flash-size letter, package letter,
// temperature digit, suffix.
struct TPartNumber {
  std::wstring Series;
  wchar_t Pin, Size, Package, Temperature;
  std::wstring Suffix;
};

TPartNumber Parse(std::wstring_view part) {
  EXPECT_EQ(L"STM32", part.substr(0, 5));
  EXPECT_GE(part.size(), 13u);
  return {std::wstring(part.substr(5, 4)), part[9], part[10], part[11], part[12], std::wstring(part.substr(13))};
}

std::wstring PackageOf(wchar_t pin, wchar_t package) {
  static const std::map<std::wstring, std::wstring> rule = {
      {L"CT", L"T48"}, {L"CU", L"U49"}, {L"RT", L"T64"},  {L"RH", L"H64"},  {L"RY", L"Y66"},  {L"TU", L"U37"},
      {L"VT", L"T100"}, {L"VH", L"H100"}, {L"ZT", L"T144"}, {L"ZH", L"H144"}, {L"IT", L"T176"}, {L"IH", L"H201"}};
  auto it = rule.find(std::wstring{pin, package});
  return it == rule.end() ? L"?" : it->second;
}

// The pin set by series group, pin-count letter and package letter.
TDevicePinSet PinSetByRule(const TPartNumber& p) {
  std::wstring key{p.Pin, p.Package};
  if (p.Series == L"L151" || p.Series == L"L152") {
    bool l152 = p.Series == L"L152";
    static const std::map<std::wstring, std::pair<TDevicePinSet, TDevicePinSet>> sets = {
        {L"CT", {ePinSet_STM32L151_SQ48, ePinSet_STM32L152_SQ48}},
        {L"CU", {ePinSet_STM32L151_SQ49, ePinSet_STM32L152_SQ49}},
        {L"RT", {ePinSet_STM32L151_SQ64, ePinSet_STM32L152_SQ64}},
        {L"RH", {ePinSet_STM32L151_GA64, ePinSet_STM32L152_GA64}},
        {L"VT", {ePinSet_STM32L151_SQ100, ePinSet_STM32L152_SQ100}},
        {L"VH", {ePinSet_STM32L151_GA100, ePinSet_STM32L152_GA100}}};
    auto s = sets.at(key);
    return l152 ? s.second : s.first;
  }
  if (p.Series == L"W108") return ePinSet_STM32W108_SQ49;
  if (p.Series.starts_with(L"F10")) {
    if (p.Series == L"F103" && key == L"RY") return ePinSet_STM32F103_CSP64;
    if (p.Series == L"F103" && key == L"ZH") return ePinSet_STM32F101_GA144;
    static const std::map<std::wstring, TDevicePinSet> sets = {
        {L"CT", ePinSet_STM32F101_SQ48},  {L"CU", ePinSet_STM32F101_SQ49},  {L"TU", ePinSet_STM32F101_SQ37},
        {L"RT", ePinSet_STM32F101_SQ64},  {L"RH", ePinSet_STM32F103_SQ64},  {L"VT", ePinSet_STM32F101_SQ100},
        {L"VH", ePinSet_STM32F103_SQ100}, {L"ZT", ePinSet_STM32F101_SQ144}};
    return sets.at(key);
  }
  if (p.Series == L"F205" && key == L"RY") return ePinSet_STM32F205_CS66;
  static const std::map<std::wstring, TDevicePinSet> sets = {
      {L"RT", ePinSet_STM32F205_SQ64},   {L"VT", ePinSet_STM32F205_SQ100}, {L"ZT", ePinSet_STM32F205_SQ144},
      {L"IT", ePinSet_STM32F207_SQ176}, {L"IH", ePinSet_STM32F207_GA201}};
  return sets.at(key);
}

// Rows whose pin set is data that differs from the rule.
const std::map<std::wstring, TDevicePinSet> kPinSetExceptions = {
    {L"STM32F100R6T6BTR", ePinSet_STM32F103_SQ64}, {L"STM32F102C8T6", ePinSet_STM32F101_SQ64},
    {L"STM32F102C8T6TR", ePinSet_STM32F101_SQ64},  {L"STM32F102R4T6A", ePinSet_STM32F101_SQ48},
    {L"STM32F102R6T6A", ePinSet_STM32F101_SQ48},   {L"STM32F103RCT6", ePinSet_STM32F103_CSP64},
    {L"STM32F207ICH6", ePinSet_STM32F207_SQ176},   {L"STM32F207IFT6", ePinSet_STM32F207_GA201}};

std::wstring WriterClassOf(const TPartNumber& p) {
  static const std::map<wchar_t, int> kbytes = {{L'4', 16},  {L'6', 32},  {L'8', 64},  {L'B', 128}, {L'C', 256},
                                                {L'D', 384}, {L'E', 512}, {L'F', 768}, {L'G', 1024}};
  std::wstring group = p.Series.starts_with(L"F10")  ? L"STM32F10X"
                       : p.Series.starts_with(L"F2") ? L"STM32F2XX"
                       : p.Series.starts_with(L"L1") ? L"STM32L1XX"
                                                      : L"STM32W10X";
  return L"TFLASH_" + group + L"_" + std::to_wstring(kbytes.at(p.Size));
}

const std::set<std::wstring> kF101DataWriterRows = {
    L"STM32F101C8T6",   L"STM32F101C8T6TR", L"STM32F101C8U6", L"STM32F101C8U6TR",
    L"STM32F101CBT6",   L"STM32F101CBT6TR", L"STM32F101R8T6", L"STM32F101R8T6TR",
    L"STM32F101RBT6",   L"STM32F101RBT6TR", L"STM32F101T8U6"};

bool HasDataWriter(std::wstring_view part) {
  return part.starts_with(L"STM32L151") || part.starts_with(L"STM32L152") ||
         kF101DataWriterRows.contains(std::wstring(part));
}

// The family-and-package entries in enumeration order: family by family, the
// packages a family has in their fixed order.
std::vector<std::pair<TFamilyNameId, std::wstring>> DevicePackageOrder() {
  const std::vector<std::wstring> ht = {L"H64", L"H100", L"H144", L"H201", L"T48", L"T64", L"T100", L"T144", L"T176"};
  const std::vector<std::wstring> t = {L"T48", L"T64", L"T100", L"T144", L"T176"};
  const std::vector<std::wstring> l1 = {L"T48", L"U49", L"H64", L"T64", L"H100", L"T100"};
  auto plus = [](std::vector<std::wstring> a, std::initializer_list<std::wstring> b) {
    a.insert(a.end(), b);
    return a;
  };
  const std::vector<std::vector<std::wstring>> byFamily = {
      ht, plus(t, {L"U37", L"U49"}), t, plus(ht, {L"U37", L"U49", L"Y66"}), ht, ht, plus(t, {L"Y66"}), ht, t, ht, l1, l1,
      {L"U49"}};
  std::vector<std::pair<TFamilyNameId, std::wstring>> order;
  for (int f = 0; f < kFamilyNameIdCount; ++f)
    for (const auto& p : byFamily[std::size_t(f)]) order.emplace_back(TFamilyNameId(f), p);
  return order;
}

TEST(DeviceTable, EveryRowFollowsThePartNumberRules) {
  const auto devicePackages = DevicePackageOrder();
  ASSERT_EQ(std::size_t(kDevicePackageCount), devicePackages.size());
  int exceptions = 0, baseNamesSeen = 0;
  for (int kind = 0; kind < kDeviceKindCount; ++kind) {
    const TDeviceParameters& row = kDeviceTable[kind];
    SCOPED_TRACE(std::wstring(row.FullName));
    const TPartNumber p = Parse(row.FullName);
    EXPECT_EQ(kind, row.Kind);
    EXPECT_EQ(L"STM32" + p.Series, kFamilyNames[row.FamilyName]);
    // Base names are numbered in the order in which they first occur.
    ASSERT_LE(int(row.BaseName), baseNamesSeen);
    if (row.BaseName == baseNamesSeen) ++baseNamesSeen;
    std::wstring base(row.FullName.substr(0, 11));
    EXPECT_EQ(base == L"STM32L151VB" ? L"STM32L150VB" : base, kBaseNames[row.BaseName].Name);
    EXPECT_EQ(std::wstring(1, p.Size), kSpeedGradeIds[row.SpeedGrade]);
    EXPECT_EQ(std::wstring(1, p.Package), kPackageTypeIds[row.PackageType]);
    EXPECT_EQ(std::wstring(1, p.Temperature), kTemperatureGradeIds[row.TemperatureGrade]);
    EXPECT_EQ(p.Suffix.empty() ? L"None" : p.Suffix, kOptionDesignatorIds[row.OptionDesignator]);
    EXPECT_EQ(PackageOf(p.Pin, p.Package), kPackageIds[row.Package]);
    EXPECT_EQ(row.FamilyName, devicePackages[row.DevicePackage].first);
    EXPECT_EQ(kPackageIds[row.Package], devicePackages[row.DevicePackage].second);
    EXPECT_EQ(WriterClassOf(p), row.RemoteExecutionDriver);
    EXPECT_EQ(HasDataWriter(row.FullName) ? L"TFLASH_STM32L1XX_DATA_4" : L"", row.RemoteExecutionDriverData);
    auto exception = kPinSetExceptions.find(std::wstring(row.FullName));
    exceptions += exception != kPinSetExceptions.end();
    EXPECT_EQ(exception != kPinSetExceptions.end() ? exception->second : PinSetByRule(p), row.PinSet);
    EXPECT_EQ(0x3BA00477u, row.IdCode);
    EXPECT_EQ(L".bsd", row.BSDL);
    EXPECT_EQ(4, row.InstructionLength);
    EXPECT_EQ(eDeviceProcessor_CORE_ARM_CORTEX_M3, row.DeviceProcessorCore);
    EXPECT_EQ(eDeviceProcessor_TYPE_HARD, row.DeviceProcessorType);
  }
  EXPECT_EQ(int(kPinSetExceptions.size()), exceptions);
  EXPECT_EQ(kBaseNameIdCount, baseNamesSeen);
  EXPECT_EQ(L"STM32F100C4T6B", kDeviceTable[eSTM32F100C4T6B].FullName);
  EXPECT_EQ(289, eSTM32W108CBU64TR);
}

TEST(DeviceTable, EnumerationsKeepTheirFixedOrder) {
  // Orders that are not alphabetical, and positions callers rely on.
  EXPECT_EQ(4, ePackage_H64);
  EXPECT_EQ(8, ePackage_T48);
  EXPECT_EQ(12, eOptionDesignator_None);
  EXPECT_EQ(13, eOptionDesignator_TR);
  EXPECT_EQ(7, ePinSet_STM32F101_GA144);
  EXPECT_EQ(29, ePinSet_STM32W108_SQ49);
  EXPECT_EQ(0, dpSTM32F100H64);
  EXPECT_EQ(4, dpSTM32F100T48);
  EXPECT_EQ(dpSTM32L151T48 + 1, dpSTM32L151U49);
  EXPECT_EQ(dpSTM32L151U49 + 1, dpSTM32L151H64);
  EXPECT_EQ(92, dpSTM32W108U49);
  EXPECT_EQ(eSTM32L151V8 + 1, eSTM32L151VB);
}

TEST(DeviceTable, SideTablesAnswerByEnumeration) {
  EXPECT_EQ(L"1Mb", kSpeedGradeDescriptions[eSpeedGrade_G]);
  EXPECT_EQ(L"-40 to +105", kTemperatureGradeDescriptions[eTemperatureGrade_7]);
  EXPECT_EQ(L"WLCSP64+2", kPackageNames[ePackage_Y66]);
  EXPECT_EQ(L"0.400 mm pitch", kPackageDimensions[ePackage_Y66]);
  EXPECT_EQ(L"Waver-Level Chip-Scale Package", kPackageTypeDescriptions[ePackageType_Y]);
  EXPECT_EQ(L"Standard", kOptionDesignatorNames[eOptionDesignator_None]);
  EXPECT_EQ(L"1TR", kOptionDesignatorNames[eOptionDesignator_1TR]);
  // Memory sizes of family-and-package entries; every other field is 0.
  const std::pair<TDevicePackage, int> sizes[] = {{dpSTM32F100T48, 512},  {dpSTM32F100H64, 128}, {dpSTM32F102T176, 128},
                                                  {dpSTM32F105T48, 256},  {dpSTM32F107H201, 256}, {dpSTM32F103Y66, 512},
                                                  {dpSTM32F217H64, 512},  {dpSTM32F217T48, 1024}, {dpSTM32W108U49, 1024}};
  for (auto [entry, size] : sizes) EXPECT_EQ(size, kDevicePackages[entry].MemorySize) << int(entry);
  for (const TDevicePackageParameters& e : kDevicePackages) {
    EXPECT_TRUE(e.MemorySize == 128 || e.MemorySize == 256 || e.MemorySize == 512 || e.MemorySize == 1024);
    EXPECT_EQ(0, e.DSPMultiplierCount + e.ClockManagerCount + e.GlobalClockCount + e.ConfigMemorySize);
    EXPECT_FALSE(e.TerminationSupport);
  }
  std::map<std::wstring, int> maxIO = {{L"F100", 112}, {L"F101", 112}, {L"F102", 51},  {L"F103", 112}, {L"F105", 80},
                                       {L"F107", 80},  {L"F205", 140}, {L"F207", 140}, {L"F215", 140}, {L"F217", 140},
                                       {L"L151", 100}, {L"L152", 100}, {L"W108", 49},
                                       {L"L150", 100}};  // the entry of STM32L151VB reads "STM32L150VB"
  for (const TBaseNameIdParameters& b : kBaseNames) {
    EXPECT_EQ(maxIO.at(std::wstring(b.Name.substr(5, 4))), b.MaxIO) << std::wstring(b.Name);
    EXPECT_EQ(0, b.EquivalentGates);
  }
}

bool IsBall(std::wstring_view pin) {
  return pin.size() >= 2 && pin[0] >= L'A' && pin[0] <= L'R' && pin[0] != L'I' && pin[0] != L'O' && pin[0] != L'Q' &&
         pin.substr(1).find_first_not_of(L"0123456789") == std::wstring_view::npos;
}

TEST(PinSets, NumberedSetsRunFromOneAndGridsRowByRow) {
  for (int s = 0; s < kDevicePinSetCount; ++s) {
    const TPinSetParameters& set = kPinSets[s];
    SCOPED_TRACE(s);
    ASSERT_EQ(std::size_t(set.PinCount), set.Pins.size());
    EXPECT_EQ(0, set.IOCount + set.DiffCount + set.HSpeedDiffCount);
    EXPECT_EQ(0u, set.Standards);
    bool grid = IsBall(set.Pins[0].PinNumber);
    std::set<std::wstring> seen;
    for (int i = 0; i < set.PinCount; ++i) {
      const TPinParameters& pin = set.Pins[std::size_t(i)];
      EXPECT_TRUE(pin.Bank.empty() && pin.DiffId.empty() && pin.ClkDiffId.empty());
      EXPECT_EQ(0, pin.Options);
      EXPECT_EQ(0u, pin.Standards);
      EXPECT_TRUE(seen.insert(std::wstring(pin.PinNumber)).second) << std::wstring(pin.PinNumber);
      if (!grid) {
        EXPECT_EQ(std::to_wstring(i + 1), pin.PinNumber);
      } else if (i > 0) {
        // Row letters ascend; within a row the column numbers ascend.
        std::wstring_view prev = set.Pins[std::size_t(i - 1)].PinNumber, cur = pin.PinNumber;
        EXPECT_TRUE(IsBall(cur)) << std::wstring(cur);
        EXPECT_TRUE(prev[0] < cur[0] || (prev[0] == cur[0] && std::stoi(std::wstring(prev.substr(1))) <
                                                                   std::stoi(std::wstring(cur.substr(1)))))
            << std::wstring(prev) << " " << std::wstring(cur);
      }
    }
  }
}

TEST(PinSets, BallGridsHoldTheirBallsWithoutTheGaps) {
  struct Case {
    TDevicePinSet Set;
    int Count;
    const wchar_t *First, *Last;
    std::vector<std::wstring> Present, Absent;
  };
  const Case cases[] = {
      {ePinSet_STM32F103_SQ100, 100, L"A1", L"K10", {L"J1", L"E5"}, {L"I1", L"A11", L"L1"}},
      {ePinSet_STM32F103_SQ64, 64, L"A1", L"H8", {L"D4"}, {L"J1", L"A9"}},
      {ePinSet_STM32F103_CSP64, 64, L"A1", L"H8", {}, {}},
      {ePinSet_STM32L151_GA64, 64, L"A1", L"H8", {}, {}},
      {ePinSet_STM32L152_GA64, 64, L"A1", L"H8", {}, {}},
      {ePinSet_STM32F101_GA144, 144, L"A1", L"M12", {L"L12", L"J9"}, {L"I1", L"N1"}},
      {ePinSet_STM32F205_CS66, 66, L"A1", L"J9", {L"C3", L"C7", L"H5", L"B5"}, {L"C4", L"C6", L"E5", L"G4", L"G6"}},
      {ePinSet_STM32F207_GA201, 201, L"A1", L"R15", {L"E4", L"E12", L"F6", L"M5", L"P8"},
       {L"E5", L"E11", L"F5", L"F11", L"K11", L"L5", L"L8", L"L11", L"Q1", L"O1"}},
      {ePinSet_STM32L151_GA100, 100, L"A1", L"M12", {L"C5", L"C8", L"D3", L"F2", L"K5", L"K8"},
       {L"C6", L"C7", L"D4", L"E9", L"F3", L"G10", L"H4", L"J9", L"K6", L"K7"}},
      {ePinSet_STM32L152_GA100, 100, L"A1", L"M12", {L"F11"}, {L"F10", L"D9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Set));
    const TPinSetParameters& set = kPinSets[c.Set];
    std::set<std::wstring> pins;
    for (const TPinParameters& p : set.Pins) pins.insert(std::wstring(p.PinNumber));
    EXPECT_EQ(c.Count, set.PinCount);
    EXPECT_EQ(c.First, set.Pins.front().PinNumber);
    EXPECT_EQ(c.Last, set.Pins.back().PinNumber);
    for (const auto& p : c.Present) EXPECT_TRUE(pins.contains(p)) << p;
    for (const auto& p : c.Absent) EXPECT_FALSE(pins.contains(p)) << p;
  }
  const std::pair<TDevicePinSet, int> numbered[] = {
      {ePinSet_STM32F101_SQ37, 37},  {ePinSet_STM32F101_SQ144, 144}, {ePinSet_STM32F207_SQ176, 176},
      {ePinSet_STM32W108_SQ41, 41},  {ePinSet_STM32L152_SQ49, 49},   {ePinSet_STM32F205_SQ64, 64}};
  for (auto [set, count] : numbered) EXPECT_EQ(count, kPinSets[set].PinCount) << int(set);
}

TEST(PinSets, TheW108SQ41SetIsUsedByNoRow) {
  for (const TDeviceParameters& row : kDeviceTable) EXPECT_NE(ePinSet_STM32W108_SQ41, row.PinSet);
}

TEST(WriterClasses, StartUpBindsEveryCellOfTheTable) {
  EXPECT_EQ(327, BoundWriterCellCount());
  int three = 0;
  for (int kind = 0; kind < kDeviceKindCount; ++kind) {
    const TDeviceParameters& row = kDeviceTable[kind];
    SCOPED_TRACE(std::wstring(row.FullName));
    auto classes = CollectFlashWriterClasses(kind);
    bool data = HasDataWriter(row.FullName);
    three += data;
    ASSERT_EQ(data ? 3u : 2u, classes.size());
    EXPECT_EQ(row.RemoteExecutionDriver, classes.front()->Name);
    if (data) {
      EXPECT_EQ(L"TFLASH_STM32L1XX_DATA_4", classes[1]->Name);
    }
    EXPECT_EQ(&CFIFlashWriterClass(), classes.back());
    EXPECT_EQ(L"TCFI_FLASH_ARM_CORTEX_M3", classes.back()->Name);
  }
  EXPECT_EQ(37, three);
}

TEST(WriterClasses, UnboundTableRaisesAndStartUpRebinds) {
  DeviceDataUnitShutdown();
  EXPECT_EQ(0, BoundWriterCellCount());
  EXPECT_THROW(CollectFlashWriterClasses(0), Exception);
  EXPECT_EQ(nullptr, DeviceIOStandard(eSt_None));
  ASSERT_TRUE(DeviceDataUnitStartup());
  EXPECT_EQ(327, BoundWriterCellCount());
  EXPECT_NE(nullptr, DeviceIOStandard(eSt_None));
  EXPECT_THROW(CollectFlashWriterClasses(290), Exception);
  EXPECT_EQ(nullptr, FindFlashWriterClass(L"TFLASH_STM32F10X_2048"));
}

}  // namespace
