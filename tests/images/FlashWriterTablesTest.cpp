// The flash-writer dispatch tables as the host reaches them: every identifier
// lands on its own operation with its argument kinds, the program options
// arrive in their order, and the outputs of 508746 go only where they may.
#include "ImageTestSupport.h"
#include "ORV.SCH.AbstractClasses.h"
#include "support/FakeHost.h"
#include "support/HostCall.h"

#include <gtest/gtest.h>

using namespace tvk;
using namespace testsupport;

namespace {

// Records the name of every operation called; answers S_OK and no output.
class RecordingWriter : public TAbstractFlashWriter {
public:
#define TVK_TEST_RECORD(Id, Name, Params) \
  HRESULT Name Params override {         \
    Calls.push_back(L## #Name);          \
    return S_OK;                         \
  }
  TVK_REMOTE_EXECUTE_BASE_DRIVER_OPERATIONS(TVK_TEST_RECORD)
  TVK_FLASH_WRITER_OPERATIONS(TVK_TEST_RECORD)
#undef TVK_TEST_RECORD
  std::vector<std::wstring> Calls;
};

// Keeps what the program and flash-space operations receive.
class ArgumentWriter : public RecordingWriter {
public:
  HRESULT ProgramImage(uint32_t FlashSpace, const IDataChunkImageInterface& Image, bool AutoChecksum,
                       bool PreserveSectorData, bool ResetAfterLoad, bool Verify, int32_t& Result) override {
    Space = FlashSpace;
    ImagePointer = Image.ToPointer();
    Options = {AutoChecksum, PreserveSectorData, ResetAfterLoad, Verify};
    Result = 7;
    return S_OK;
  }
  HRESULT GetFlashMemorySpace(uint32_t Index, uint32_t* GlobalMemorySpace, uint32_t* StartAddress,
                              uint32_t* EndAddress, uint32_t* WidthInBits) override {
    if (Index != 0) return S_OK;
    *GlobalMemorySpace = 3;
    *StartAddress = 0x08000000;
    *EndAddress = 0x0801FFFF;
    *WidthInBits = 16;
    return S_OK;
  }
  uint32_t Space = 0;
  IDispatch* ImagePointer = nullptr;
  std::vector<bool> Options;
};

class FlashWriterTables : public ::testing::Test {
protected:
  ComRef<ArgumentWriter> writer{New<ArgumentWriter>()};
  IDispatch* Writer() { return static_cast<IDispatch*>(writer.Get()); }
};

TEST_F(FlashWriterTables, EveryIdentifierReachesItsOperation) {
  // Argument kinds in call order: s string, u/i number, r object, v boolean, & a 4-byte reference.
  struct Row {
    DISPID id;
    const wchar_t* operation;
    const char* kinds;
  };
  const Row rows[] = {
      {508687, L"SetRemoteDriverDeviceTitle", "s"},  {508688, L"SetRemoteDriverVendorName", "s"},
      {508689, L"SetRemoteDriverDeviceName", "s"},   {508690, L"SetRemoteDriverFileName", "s"},
      {508691, L"SetRemoteDriverBaseAddress", "u"},  {508692, L"SetRemoteDriverMainEntryPoint", "u"},
      {508693, L"SetRemoteDriverParamBaseAddress", "u"}, {508694, L"SetRemoteDriverDataBaseAddress", "u"},
      {508695, L"GetRemoteDriverDeviceTitle", ""},   {508696, L"GetRemoteDriverDeviceName", ""},
      {508697, L"GetRemoteDriverVendorName", ""},    {508698, L"GetRemoteDriverFileName", ""},
      {508699, L"GetRemoteDriverBaseAddress", ""},   {508700, L"GetRemoteDriverMainEntryPoint", ""},
      {508701, L"GetRemoteDriverParamBaseAddress", ""}, {508702, L"GetRemoteDriverDataBaseAddress", ""},
      {508703, L"GetIsEnabled", ""},                 {508704, L"GetIsInitialized", ""},
      {508705, L"GetIsDriverLoaded", ""},            {508706, L"GetIsDriverInstalled", ""},
      {508707, L"GetPreserveState", ""},             {508708, L"GetIsAborting", ""},
      {508717, L"InstallDriver", ""},                {508718, L"UninstallDriver", ""},
      {508720, L"BlankCheckSectors", "uuu"},         {508721, L"EraseDevice", "u"},
      {508722, L"EraseAddressRange", "uuuv"},        {508723, L"EraseSectorRange", "uuu"},
      {508724, L"CompareImage", "uruuv"},            {508725, L"ClearFlashMemorySpaces", ""},
      {508726, L"GetFlashMemorySpaceCount", ""},     {508727, L"AddFlashMemorySpace", "uuuu"},
      {508728, L"AbortOperation", ""},               {508729, L"GetFlashAddressFromSector", "uu"},
      {508730, L"GetFlashSectorFromAddress", "uu"},  {508731, L"IsAddressInFlashMemorySpace", "uu"},
      {508732, L"SetFlashWriterCallback", "r"},      {508733, L"IsFlashWidthSupported", "i"},
      {508734, L"GetDefaultFlashWidth", ""},         {508735, L"SupportsAction", "u"},
      {508837, L"GetSupportedDevicesList", ""},
  };
  Fake object = MakeFake();
  for (const Row& row : rows) {
    writer->Calls.clear();
    std::vector<VARIANT> args;
    for (const char* k = row.kinds; *k; ++k) {
      switch (*k) {
        case 's': args.push_back(Str(L"text")); break;
        case 'r': args.push_back(Obj(AsDispatch(object))); break;
        case 'v': args.push_back(Bool(true)); break;
        default: args.push_back(I4(1)); break;
      }
    }
    EXPECT_EQ(S_OK, CallWith(Writer(), row.id, args).Hr) << row.id;
    EXPECT_EQ(std::vector<std::wstring>{row.operation}, writer->Calls) << row.id;
  }
}

TEST_F(FlashWriterTables, ProgramImageTakesItsOptionsInOrder) {
  Fake image = MakeFake();
  const long queries = image->QueryInterfaces();
  const struct {
    bool options[4];  // automatic checksum, preserve, reset after load, verify
  } cases[] = {{{true, false, false, false}}, {{false, true, false, false}}, {{false, false, true, false}},
               {{false, false, false, true}}, {{true, false, true, true}}};
  for (const auto& c : cases) {
    TCall call = Call(Writer(), 508719,
                      {I4(2), Obj(AsDispatch(image)), Bool(c.options[0]), Bool(c.options[1]), Bool(c.options[2]),
                       Bool(c.options[3])});
    ASSERT_EQ(S_OK, call.Hr);
    EXPECT_EQ(VT_I4, call.Type());
    EXPECT_EQ(7, call.Int());
    EXPECT_EQ(2u, writer->Space);
    EXPECT_EQ(AsDispatch(image), writer->ImagePointer);
    EXPECT_EQ(std::vector<bool>(std::begin(c.options), std::end(c.options)), writer->Options);
  }
  EXPECT_EQ(queries, image->QueryInterfaces()) << "the image is wrapped as it comes";
}

TEST_F(FlashWriterTables, FlashMemorySpaceOutputsGoOnlyThroughFourByteReferences) {
  long space = -1, start = -1, end = -1, width = -1;
  ASSERT_EQ(S_OK, Call(Writer(), 508746, {I4(0), RefI4(&space), RefI4(&start), RefI4(&end), RefI4(&width)}).Hr);
  EXPECT_EQ(3, space);
  EXPECT_EQ(0x08000000, start);
  EXPECT_EQ(0x0801FFFF, end);
  EXPECT_EQ(16, width);

  // An index outside the list leaves the caller's variables.
  long outside[4] = {11, 12, 13, 14};
  ASSERT_EQ(S_OK, Call(Writer(), 508746,
                       {I4(5), RefI4(&outside[0]), RefI4(&outside[1]), RefI4(&outside[2]), RefI4(&outside[3])})
                      .Hr);
  EXPECT_EQ(11, outside[0]);
  EXPECT_EQ(14, outside[3]);

  // A value, a 2-byte referent or a null reference where an output belongs:
  // the call fails and nothing is written.
  VARIANT_BOOL flag = VARIANT_FALSE;
  VARIANT nullRef = RefI4(nullptr);
  const struct {
    const char* what;
    VARIANT third;
  } refused[] = {{"a value", I4(0)}, {"a boolean reference", RefBool(&flag)}, {"a null reference", nullRef}};
  for (const auto& r : refused) {
    long kept[3] = {21, 22, 23};
    TCall call = Call(Writer(), 508746, {I4(0), RefI4(&kept[0]), RefI4(&kept[1]), r.third, RefI4(&kept[2])});
    EXPECT_EQ(kE_UNEXPECTED, call.Hr) << r.what;
    EXPECT_EQ((std::vector<long>{21, 22, 23}), std::vector<long>(std::begin(kept), std::end(kept))) << r.what;
    EXPECT_EQ(VARIANT_FALSE, flag) << r.what;
  }
}

TEST_F(FlashWriterTables, OtherIdentifiersAndServiceNames) {
  // 508709 belongs to the data-chunk image; 508715 to the callback.
  for (DISPID id : {508709, 508715, 508736}) EXPECT_EQ(kE_NOTIMPL, Call(Writer(), id, {I4(0)}).Hr) << id;
  EXPECT_TRUE(writer->Calls.empty());
  EXPECT_TRUE(Supports(Writer(), L"flashwriter"));
  EXPECT_TRUE(Supports(Writer(), L"REMOTEEXECUTEBASEDRIVER"));
  EXPECT_FALSE(Supports(Writer(), L"DataChunkImageInterface"));
  EXPECT_FALSE(Supports(Writer(), L"FlashWriters"));

  // A level that implements nothing answers E_NOTIMPL for its own identifiers.
  ComRef<TAbstractFlashWriter> bare{New<TAbstractFlashWriter>()};
  EXPECT_EQ(kE_NOTIMPL, Call(static_cast<IDispatch*>(bare.Get()), 508717).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(static_cast<IDispatch*>(bare.Get()), 508695).Hr);
}

}  // namespace
