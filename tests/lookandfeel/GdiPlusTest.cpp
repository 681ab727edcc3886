// GDI+ loaded by name on first demand: every entry or none, a retry while it
// is missing, the message and halt when a caller insists, the error text,
// ARGB, bitmaps and encoders, and the stop at the unit's shut-down.
#include "LookAndFeelTest.h"
#include "dxGDIPlusAPI.h"

#include <string>

using namespace tvk;

namespace {

std::string gRefused;
FARPROC RefusingLookup(HMODULE module, const char* name) {
  return gRefused == name ? nullptr : GetProcAddress(module, name);
}

struct TShown {
  WideString Text, Caption;
  UINT Flags = 0;
  int Halts = 0;
};
TShown gShown;
void RecordMessage(const WideString& text, const WideString& caption, UINT flags) {
  gShown.Text = text;
  gShown.Caption = caption;
  gShown.Flags = flags;
}
void RecordHalt() { ++gShown.Halts; }

class GdiPlus : public ::testing::Test {
protected:
  void TearDown() override {
    GdipEntryLookup = FLookup;
    GdipMissingMessage = FMessage;
    GdipHalt = FHalt;
    ShutdownGdiPlus();
  }
  TGdipEntryLookup FLookup = GdipEntryLookup;
  TGdipMissingMessage FMessage = GdipMissingMessage;
  TGdipHalt FHalt = GdipHalt;
};

}  // namespace

TEST_F(GdiPlus, EveryListedEntryResolvesInTheSystemsLibrary) {
  EXPECT_TRUE(CheckGdiPlusAvailable()) << "missing entry: " << GdiPlusMissingEntry();
  EXPECT_TRUE(GdiPlusMissingEntry().empty());
  for (int i = 0; i < gpEntryCount; ++i) EXPECT_NE(nullptr, GdiPlusEntries().Entry[i]) << GdiPlusEntryName(TGdipEntry(i));
}

TEST_F(GdiPlus, AMissingEntryInTheMiddleMakesItMissingAndALaterCallTriesAgain) {
  gRefused = "GdipDrawPieI";
  GdipEntryLookup = &RefusingLookup;
  EXPECT_FALSE(CheckGdiPlusAvailable());
  EXPECT_EQ("GdipDrawPieI", GdiPlusMissingEntry());
  EXPECT_NE(nullptr, GdiPlusEntries().Entry[gpGdipDrawEllipseI]);
  EXPECT_EQ(nullptr, GdiPlusEntries().Entry[gpGdipFillPolygonI]) << "later lookups are skipped";
  EXPECT_FALSE(CheckGdiPlusAvailable());
  GdipEntryLookup = FLookup;
  EXPECT_TRUE(CheckGdiPlusAvailable()) << "retried on the next call";
}

TEST_F(GdiPlus, ACallerThatInsistsGetsTheMessageAndTheHalt) {
  gShown = {};
  gRefused = "GdipAlloc";
  GdipEntryLookup = &RefusingLookup;
  GdipMissingMessage = &RecordMessage;
  GdipHalt = &RecordHalt;
  EXPECT_FALSE(CheckGdiPlusAvailable(false));
  EXPECT_EQ(0, gShown.Halts);
  EXPECT_FALSE(CheckGdiPlusAvailable(true));
  EXPECT_EQ(1, gShown.Halts);
  EXPECT_EQ(L"Application Error", gShown.Caption);
  EXPECT_EQ(UINT(MB_TASKMODAL | MB_ICONERROR), gShown.Flags);
  EXPECT_EQ(0u, gShown.Text.find(L"This application requires the Microsoft GDI+ library to be installed."));
  GdipEntryLookup = FLookup;
  EXPECT_TRUE(CheckGdiPlusAvailable(true));
  EXPECT_EQ(1, gShown.Halts);
}

TEST_F(GdiPlus, ErrorsColoursBitmapsAndEncoders) {
  EXPECT_EQ(L"Invalid operation in GDI+ (Code: 2)", EdxGdipException(InvalidParameter).Message());
  EXPECT_EQ(InvalidParameter, EdxGdipException(InvalidParameter).Status());
  EXPECT_THROW(CheckGdipStatus(OutOfMemory), EdxGdipException);
  EXPECT_NO_THROW(CheckGdipStatus(Ok));
  EXPECT_THROW(CheckGdipCondition(false), EdxGdipException);
  EXPECT_EQ(0u, ColorToGdipARGB(clNone, 255));
  EXPECT_EQ(0x80FF0000u, ColorToGdipARGB(clRed, 128));
  EXPECT_EQ(0xFF0000FFu, ColorToGdipARGB(clBlue));

  void* bitmap = CreateGdipBitmap(RECT{0, 0, 7, 5});
  ASSERT_NE(nullptr, bitmap);
  UINT width = 0;
  EXPECT_EQ(Ok, GdipEntry<TdxGpStatus(WINAPI*)(void*, UINT*)>(gpGdipGetImageWidth)(bitmap, &width));
  EXPECT_EQ(7u, width);
  GdipEntry<TdxGpStatus(WINAPI*)(void*)>(gpGdipDisposeImage)(bitmap);
  EXPECT_THROW(CreateGdipBitmap(0, 5), EdxGdipException);

  CLSID png{};
  EXPECT_EQ(Ok, FindImageEncoder(L"IMAGE/PNG", png));
  CLSID none{};
  EXPECT_EQ(GenericError, FindImageEncoder(L"image/none", none));
  InitImageEncoders();
  EXPECT_TRUE(IsEqualGUID(png, PNGEncoder));
  EXPECT_FALSE(IsEqualGUID(BMPEncoder, PNGEncoder));
  CLSID kept = png;
  kept.Data4[7] ^= 1;
  EnsureImageEncoder(L"image/png", kept);  // not empty: not looked up again
  EXPECT_FALSE(IsEqualGUID(kept, PNGEncoder));
}

TEST_F(GdiPlus, TheUnitQueuesItsProceduresAndItsShutDownStopsGdiPlus) {
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  // The binding's and the picture classes' procedures.
  EXPECT_EQ(2, GetUnitsLoader().InitializeCount()) << "queued, never run";
  EXPECT_EQ(2, GetUnitsLoader().FinalizeCount());
  EXPECT_EQ(nullptr, TPicture::FileFormatClass(L"PNG")) << "the picture classes were never registered";
  EXPECT_TRUE(CheckGdiPlusAvailable());
  RunShutdown(steps);
  EXPECT_EQ(0, GetUnitsLoader().FinalizeCount());
  EXPECT_EQ(nullptr, GdiPlusEntries().Entry[gpGdipAlloc]) << "stopped and freed by the removed stop procedure";
  DxCoreUnitShutdown();
}
