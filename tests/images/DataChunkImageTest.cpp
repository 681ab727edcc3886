// The data-chunk image through its dispatch identifiers (as the host and the
// writers read it) and the helper that collects a program file into one run.
#include "ImageTestSupport.h"
#include "ORV.SCH.RecordInterfaces.h"
#include "Tovik.Classes.DataChunkImage.h"
#include "ZUL.DispatchFix.h"
#include "support/HostCall.h"

#include <gtest/gtest.h>

using namespace tvk;
using namespace testsupport;
namespace images_test {

namespace {

namespace id {
constexpr DISPID GetTargetAddress = 508709, SetTargetAddress = 508710, GetDataLength = 508711,
                 SetDataLength = 508712, GetDataWord = 508713, ExtendDataLength = 508714;
}

class DataChunkImage : public ::testing::Test {
protected:
  DataChunkImage() {
    DispatchFixStartup();  // the records' calls go through the module's dispatcher
    record.TargetAddr = 0x08000000;
    record.DataArray = TDynamicLongWordArray({1, 2, 3, 4, 5});
    record.DataLen = 5;
    image = ComRef<TDataChunkImageInterface>(New<TDataChunkImageInterface>(record));
  }
  IDispatch* Image() { return static_cast<IDispatch*>(image.Get()); }
  unsigned long Length() { return unsigned(Call(Image(), id::GetDataLength).Int()); }
  std::vector<unsigned long> Words(unsigned long count) {
    std::vector<unsigned long> words;
    for (unsigned long i = 0; i < count; ++i) words.push_back(unsigned(Call(Image(), id::GetDataWord, {I4(long(i))}).Int()));
    return words;
  }
  TDataChunkImage record;
  ComRef<TDataChunkImageInterface> image;
};

TEST_F(DataChunkImage, ReadThroughItsIdentifiers) {
  TCall address = Call(Image(), id::GetTargetAddress);
  ASSERT_EQ(S_OK, address.Hr);
  EXPECT_EQ(VT_I4, address.Type());
  EXPECT_EQ(0x08000000, address.Int());
  EXPECT_EQ(5u, Length());
  EXPECT_EQ((std::vector<unsigned long>{1, 2, 3, 4, 5, 0}), Words(6)) << "the word at the length is 0";
  EXPECT_EQ(0, Call(Image(), id::GetDataWord, {I4(-1)}).Int()) << "0xFFFFFFFF is past the end too";

  // The elements are the record's own, not a copy.
  record.DataArray[2] = 0x33;
  EXPECT_EQ(0x33, Call(Image(), id::GetDataWord, {I4(2)}).Int());
  EXPECT_TRUE(image->DataArray().SharesWith(record.DataArray));

  // As the writers read a served image: through the host-interface record.
  const IDataChunkImageInterface wrapped(Image());
  EXPECT_EQ(0x08000000u, wrapped.GetTargetAddress());
  EXPECT_EQ(5, wrapped.GetDataLength());
  EXPECT_EQ(0x33u, wrapped.GetDataWord(2));

  ASSERT_EQ(S_OK, Call(Image(), id::SetTargetAddress, {I4(0x20000000)}).Hr);
  EXPECT_EQ(0x20000000, Call(Image(), id::GetTargetAddress).Int());
}

TEST_F(DataChunkImage, SetDataLengthResizesWithZerosOrChangesNothing) {
  ASSERT_EQ(S_OK, Call(Image(), id::SetDataLength, {I4(7)}).Hr);
  EXPECT_EQ(7u, Length());
  EXPECT_EQ((std::vector<unsigned long>{1, 2, 3, 4, 5, 0, 0}), Words(7));

  // Too large to hold: the call fails and the image stays as it was.
  EXPECT_EQ(kE_UNEXPECTED, Call(Image(), id::SetDataLength, {I4(-1)}).Hr);
  EXPECT_EQ(7u, Length());
  EXPECT_EQ(7u, record.DataArray.Length());
  EXPECT_EQ((std::vector<unsigned long>{1, 2, 3, 4, 5, 0, 0}), Words(7));

  ASSERT_EQ(S_OK, Call(Image(), id::SetDataLength, {I4(0)}).Hr);
  EXPECT_EQ(0u, Length());
  EXPECT_EQ((std::vector<unsigned long>{0, 0, 0}), Words(3));
}

TEST_F(DataChunkImage, ExtendDataLengthOnlyGrows) {
  ASSERT_EQ(S_OK, Call(Image(), id::ExtendDataLength, {I4(3), I4(99)}).Hr);
  EXPECT_EQ(5u, Length()) << "a length inside the image changes nothing";
  EXPECT_EQ((std::vector<unsigned long>{1, 2, 3, 4, 5}), Words(5));
  ASSERT_EQ(S_OK, Call(Image(), id::ExtendDataLength, {I4(8), I4(99)}).Hr);
  EXPECT_EQ(8u, Length());
  EXPECT_EQ((std::vector<unsigned long>{1, 2, 3, 4, 5, 0, 0, 0}), Words(8)) << "the second value is not stored";
  EXPECT_EQ(kE_UNEXPECTED, Call(Image(), id::ExtendDataLength, {I4(-1), I4(0)}).Hr);
  EXPECT_EQ(8u, Length());
}

TEST_F(DataChunkImage, ServiceNameAndOtherIdentifiers) {
  EXPECT_TRUE(Supports(Image(), L"datachunkimageinterface"));
  EXPECT_FALSE(Supports(Image(), L"FlashWriter"));
  EXPECT_EQ(kE_NOTIMPL, Call(Image(), 508715, {I4(0)}).Hr);
  EXPECT_EQ(kE_NOTIMPL, Call(Image(), 508708).Hr);
  ComRef<TDataChunkImageInterface> empty{New<TDataChunkImageInterface>()};
  EXPECT_EQ(0, Call(static_cast<IDispatch*>(empty.Get()), id::GetDataLength).Int());
  EXPECT_EQ(0, Call(static_cast<IDispatch*>(empty.Get()), id::GetDataWord, {I4(0)}).Int());
}

// ---- The program-file loading helper

// The chunks the stand-in loader reports: (address, size, first byte).
struct PlannedChunk {
  std::uint64_t Address, Size;
  std::uint32_t First;
};
std::vector<PlannedChunk> gPlanned;
bool gLoaderAnswer = true;

bool PlannedLoader(const WideString&, const TBytesLoaded& sink) {
  for (const PlannedChunk& c : gPlanned) {
    std::vector<std::uint32_t> cells(std::size_t(c.Size));
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = c.First + std::uint32_t(i);
    sink(c.Address, c.Size, cells.data());
  }
  return gLoaderAnswer;
}

TEST(LoadFileCallBackHelper, ChunksFollowEachOtherOrFillShortGaps) {
  struct Case {
    const char* what;
    std::vector<PlannedChunk> chunks;
    std::vector<std::uint32_t> expected;
  };
  auto run = [](std::uint32_t first, std::size_t count) {
    std::vector<std::uint32_t> v(count);
    for (std::size_t i = 0; i < count; ++i) v[i] = first + std::uint32_t(i);
    return v;
  };
  auto join = [](std::vector<std::vector<std::uint32_t>> parts) {
    std::vector<std::uint32_t> all;
    for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  const Case cases[] = {
      {"a gap within the chunk's length is filled with zeros", {{0, 16, 1}, {20, 16, 100}},
       join({run(1, 16), std::vector<std::uint32_t>(4, 0), run(100, 16)})},
      {"a farther address does not move the data", {{0, 16, 1}, {4096, 16, 100}}, join({run(1, 16), run(100, 16)})},
      {"an absolute first address starts at 0", {{0x20000000, 4, 7}}, run(7, 4)},
      {"an address behind the end appends", {{0, 8, 1}, {2, 2, 50}}, join({run(1, 8), run(50, 2)})},
  };
  for (const Case& c : cases) {
    gPlanned = c.chunks;
    TLoadFileCallBackHelper helper(&PlannedLoader);
    EXPECT_TRUE(helper.ProcessFile(L"planned")) << c.what;
    EXPECT_EQ(c.expected, helper.GetBuffer().Cells()) << c.what;
  }
}

TEST(LoadFileCallBackHelper, EachFileStartsAFreshBuffer) {
  gPlanned = {{0, 4, 1}};
  gLoaderAnswer = true;
  TLoadFileCallBackHelper helper(&PlannedLoader);
  ASSERT_TRUE(helper.ProcessFile(L"first"));
  const TDynamicLongWordArray kept = helper.GetBuffer();
  gPlanned = {{0, 2, 9}};
  gLoaderAnswer = false;
  EXPECT_FALSE(helper.ProcessFile(L"second")) << "the loader's answer";
  gLoaderAnswer = true;
  EXPECT_EQ((std::vector<std::uint32_t>{9, 10}), helper.GetBuffer().Cells());
  EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4}), kept.Cells()) << "an image made from the first file keeps it";
}

TEST(LoadFileCallBackHelper, ChunkTooLargeRaises) {
  TLoadFileCallBackHelper helper(&PlannedLoader);
  const std::uint32_t cell = 0;
  EXPECT_THROW(helper.Callback(0, 0xFFFFFFFFFFFFull, &cell), Exception);
  EXPECT_EQ(0u, helper.GetBuffer().Length());
}

TEST(LoadFileCallBackHelper, HexFileFromRamCollectsItsDataBytes) {
  TestFolder folder;
  const std::wstring path = folder.Write(L"driver.hex", HexLinear(0x2000) + HexData(0, Bytes(0x10, 16)) +
                                                          HexData(16, Bytes(0x20, 16)) + HexData(32, Bytes(0x30, 3)) +
                                                          HexEnd());
  TLoadFileCallBackHelper helper(&LoadProgramFile);
  ASSERT_TRUE(helper.ProcessFile(path));
  std::vector<std::uint32_t> expected;
  for (const auto& part : {Bytes(0x10, 16), Bytes(0x20, 16), Bytes(0x30, 3)}) expected.insert(expected.end(), part.begin(), part.end());
  EXPECT_EQ(expected, helper.GetBuffer().Cells());
}

}  // namespace

}  // namespace images_test
