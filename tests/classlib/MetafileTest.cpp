// Enhanced metafiles: recorded through a canvas, played, streamed, and put
// on the clipboard beside text while the clipboard is held open.
#include <gtest/gtest.h>

#include "Clipbrd.h"
#include "Graphics.h"
#include "Streams.h"

using namespace tvk;

namespace classlib_test {

int CALLBACK TextRecordOut(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  if (record->iType != EMR_EXTTEXTOUTW) return 1;
  const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
  const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
  reinterpret_cast<std::vector<std::wstring>*>(data)->emplace_back(chars, text->emrtext.nChars);
  return 1;
}

// The texts of a metafile's wide text-out records.
std::vector<std::wstring> TextRecords(HENHMETAFILE metafile) {
  std::vector<std::wstring> texts;
  EnumEnhMetaFile(nullptr, metafile, &TextRecordOut, &texts, nullptr);
  return texts;
}

void Record(TMetafile& metafile, const wchar_t* text) {
  metafile.SetWidth(120);
  metafile.SetHeight(40);
  TMetafileCanvas canvas(metafile, nullptr);
  canvas.Brush().SetColor(clWhite);
  canvas.FillRect(RECT{0, 0, 120, 40});
  canvas.Font().SetColor(clBlack);
  canvas.TextOut(4, 4, text);
}

TEST(Metafiles, ACanvasRecordsWhatItDrawsAndTheMetafilePlaysItBack) {
  TMetafile metafile;
  Record(metafile, L"Hello");
  ASSERT_FALSE(metafile.Empty());
  EXPECT_EQ(120, metafile.Width());
  EXPECT_EQ(40, metafile.Height());
  EXPECT_EQ((std::vector<std::wstring>{L"Hello"}), TextRecords(metafile.Handle()));

  TBitmap picture;
  picture.SetSize(120, 40);
  picture.Canvas().Brush().SetColor(clRed);
  picture.Canvas().FillRect(RECT{0, 0, 120, 40});
  picture.Canvas().Draw(0, 0, metafile);
  EXPECT_EQ(clWhite, picture.Canvas().Pixel(110, 35));
  bool inked = false;
  for (int x = 4; x < 40 && !inked; ++x)
    for (int y = 4; y < 20 && !inked; ++y) inked = picture.Canvas().Pixel(x, y) == clBlack;
  EXPECT_TRUE(inked);

  TMemoryStream stream;
  metafile.SaveToStream(stream);
  stream.SetPosition(0);
  TMetafile copy;
  copy.LoadFromStream(stream);
  EXPECT_EQ((std::vector<std::wstring>{L"Hello"}), TextRecords(copy.Handle()));
  TMemoryStream damaged;
  damaged.WriteValue(std::uint32_t(7));
  damaged.SetPosition(0);
  EXPECT_THROW(copy.LoadFromStream(damaged), EInvalidGraphic);
}

TEST(Metafiles, TextAndAMetafileShareTheClipboardWhileItIsHeldOpen) {
  TMetafile metafile;
  Record(metafile, L"Copied");
  Clipboard().Open();
  Clipboard().SetAsText(L"Copied");
  Clipboard().Assign(metafile);
  Clipboard().Close();
  EXPECT_TRUE(Clipboard().HasFormat(CF_UNICODETEXT));
  EXPECT_TRUE(Clipboard().HasFormat(CF_ENHMETAFILE));
  Clipboard().Open();
  HENHMETAFILE held = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  EXPECT_EQ((std::vector<std::wstring>{L"Copied"}), TextRecords(held));
  Clipboard().Close();

  // Put one after the other, each replaces what was there.
  Clipboard().SetAsText(L"Copied");
  Clipboard().Assign(metafile);
  EXPECT_FALSE(Clipboard().HasFormat(CF_UNICODETEXT));
  EXPECT_TRUE(Clipboard().HasFormat(CF_ENHMETAFILE));
  Clipboard().Clear();
}

}  // namespace classlib_test
