// The text editor painted and measured without a window: layout flags, the
// text rectangle, the wrap test, draw values, selection colours, the text
// output with its ellipsis and selection, the base line and content sizes.
#include "EditorsTest.h"
#include "Variants.h"
#include "cxTextEdit.h"

using namespace tvk;

namespace laf_editors_test {

namespace {

struct TTextEditor {
  TTextEditor() : Properties(nullptr), Styles(nullptr, ContainerStyleClassOf<TcxEditStyle>()), Bitmap(200, 60) {
    Style().LookAndFeel()->SetNativeStyle(false);
    Style().SetTransparentBorder(false);
    ViewInfo.Font = Style().GetVisibleFont();
    ViewInfo.TextColor = clBlack;
  }
  TcxEditStyle& Style() { return *static_cast<TcxEditStyle*>(Styles.Style()); }
  std::unique_ptr<TcxCustomTextEditViewData> Data(bool AInplace = false) {
    auto data = std::make_unique<TcxCustomTextEditViewData>(Properties, Style(), AInplace);
    data->PaintOptions = PaintOptions;
    data->HorzAlignment = Horz;
    data->VertAlignment = Vert;
    return data;
  }
  // The value's text, then the layout in ABounds.
  void Calculate(const Variant& AValue, const RECT& ABounds, bool AInplace = false) {
    auto data = Data(AInplace);
    data->EditValueToDrawValue(AValue, ViewInfo);
    data->CalculateEx(Bitmap.cxCanvas(), ABounds, POINT{-1, -1}, cxmbNone, 0, ViewInfo, false);
  }
  TEXTMETRICW Metrics() {
    Bitmap.cxCanvas().Font().Assign(*Style().GetVisibleFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(Bitmap.cxCanvas().Handle(), &metrics);
    return metrics;
  }
  TcxTextEditProperties Properties;
  TcxContainerStyles Styles;
  TcxBitmap Bitmap;
  TcxCustomTextEditViewInfo ViewInfo;
  TcxEditPaintOptions PaintOptions = 0;
  TAlignment Horz = TAlignment::taLeftJustify;
  TcxEditVertAlignment Vert = taTopJustify;
};

}  // namespace

using TextEditViewInfo = EditorsUnits;

TEST_F(TextEditViewInfo, LayoutFlagsFollowTheAlignments) {
  TTextEditor editor;
  constexpr unsigned kAlways = CXTO_SINGLELINE | CXTO_PREVENT_LEFT_EXCEED | CXTO_PREVENT_TOP_EXCEED;
  const struct {
    TAlignment Horz;
    TcxEditVertAlignment Vert;
    unsigned Flags;
  } cases[] = {{TAlignment::taLeftJustify, taTopJustify, CXTO_LEFT | CXTO_TOP},
               {TAlignment::taRightJustify, taBottomJustify, CXTO_RIGHT | CXTO_BOTTOM},
               {TAlignment::taCenter, taVCenter, CXTO_CENTER_HORIZONTALLY | CXTO_CENTER_VERTICALLY}};
  for (const auto& c : cases) {
    editor.Horz = c.Horz;
    editor.Vert = c.Vert;
    EXPECT_EQ(c.Flags | kAlways, editor.Data()->GetDrawTextFlags());
  }
}

TEST_F(TextEditViewInfo, TheTextRectangleIsTheClientLessTheOffsetsAndOneMoreWithoutTyping) {
  TTextEditor editor;
  editor.Calculate(Variant(L"abc"), RECT{0, 0, 121, 21});
  const RECT client = editor.ViewInfo.ClientRect;
  const RECT offsets = editor.Data()->ContentParamsOffsets;
  EXPECT_EQ(client.left + offsets.left, editor.ViewInfo.TextRect.left);
  EXPECT_EQ(client.top + offsets.top, editor.ViewInfo.TextRect.top);
  EXPECT_EQ(esEdit, editor.ViewInfo.EditingStyle);
  editor.Properties.SetViewStyle(vsHideCursor);
  editor.Calculate(Variant(L"abc"), RECT{0, 0, 121, 21});
  EXPECT_EQ(esNoEdit, editor.ViewInfo.EditingStyle);
  EXPECT_EQ(client.left + offsets.left + 1, editor.ViewInfo.TextRect.left);
  EXPECT_EQ(client.top + offsets.top + 1, editor.ViewInfo.TextRect.top);
  EXPECT_EQ(L"abc", editor.ViewInfo.Text);
}

TEST_F(TextEditViewInfo, DrawValuesMaskPasswords) {
  TTextEditor editor;
  editor.Properties.SetEchoMode(eemPassword);
  editor.Data()->DisplayValueToDrawValue(Variant(L"secret"), editor.ViewInfo);
  EXPECT_EQ(L"******", editor.ViewInfo.Text);
  auto preview = editor.Data();
  preview->PreviewMode = true;
  preview->EditValueToDrawValue(Variant(L"x"), editor.ViewInfo);
  EXPECT_EQ(L"", editor.ViewInfo.Text);
}

TEST_F(TextEditViewInfo, TheBaseLineFollowsTheVerticalAlignment) {
  TTextEditor editor;
  const TEXTMETRICW m = editor.Metrics();
  editor.ViewInfo.TextRect = RECT{0, 4, 100, 24};
  const struct {
    unsigned Flags;
    int BaseLine;
  } cases[] = {{CXTO_TOP, 4 + m.tmAscent + 1},
               {CXTO_BOTTOM, 24 - m.tmDescent + 1},
               {CXTO_CENTER_VERTICALLY, 4 + (20 - m.tmHeight) / 2 + m.tmAscent + 1}};
  for (const auto& c : cases) {
    editor.ViewInfo.DrawTextFlags = c.Flags | CXTO_SINGLELINE;
    EXPECT_EQ(c.BaseLine, editor.ViewInfo.GetTextBaseLine()) << c.Flags;
  }
}

TEST_F(TextEditViewInfo, AnOverlongTextEndsWithAnEllipsisAndSelectionsStayInsideTheText) {
  TTextEditor editor;
  editor.PaintOptions = epoShowEndEllipsis;
  editor.Calculate(Variant(L"a text far too long for the little editor it is shown in"), RECT{0, 0, 60, 21});
  EXPECT_TRUE(editor.ViewInfo.DrawTextFlags & CXTO_END_ELLIPSIS);
  editor.ViewInfo.SelStart = 200;
  editor.ViewInfo.SelLength = 5;
  editor.ViewInfo.Paint(editor.Bitmap.cxCanvas());
  EXPECT_TRUE(editor.ViewInfo.TextOutData.ForceEndEllipsis);
  EXPECT_EQ(0, editor.ViewInfo.TextOutData.SelLength) << "a start past the end highlights nothing";

  editor.Calculate(Variant(L"short"), RECT{0, 0, 120, 21});
  editor.ViewInfo.SelStart = 3;
  editor.ViewInfo.SelLength = 10;
  editor.ViewInfo.Paint(editor.Bitmap.cxCanvas());
  EXPECT_FALSE(editor.ViewInfo.TextOutData.ForceEndEllipsis);
  EXPECT_EQ(2, editor.ViewInfo.TextOutData.SelLength) << "cut at the text's end";
}

TEST_F(TextEditViewInfo, TheSelectionIsPaintedInItsColours) {
  TTextEditor editor;
  editor.Calculate(Variant(L"WWWWWW"), RECT{0, 0, 120, 21});
  editor.ViewInfo.SelStart = 0;
  editor.ViewInfo.SelLength = 6;
  editor.ViewInfo.SelBackgroundColor = clRed;
  editor.ViewInfo.SelTextColor = clWhite;
  editor.ViewInfo.Paint(editor.Bitmap.cxCanvas());
  int red = 0;
  const RECT text = editor.ViewInfo.TextRect;
  for (int x = text.left; x < text.right; ++x)
    for (int y = text.top; y < text.bottom; ++y)
      if (editor.Bitmap.Canvas().Pixel(x, y) == clRed) ++red;
  EXPECT_GT(red, 20);
}

TEST_F(TextEditViewInfo, SelectionColoursFromTheViewDataSelection) {
  TTextEditor editor;
  const struct {
    TColor Background, Text, Style;
    TColor ExpectedBackground, ExpectedText;
  } cases[] = {
      {clDefault, TColor(0x0000FF), clWindow, TColor(0xFFFF00), TColor(0x0000FF)},  // the inverse of the text colour
      {clDefault, clDefault, clHighlight, clBlack, clWhite},
      {clDefault, clDefault, clWindow, clHighlight, clHighlightText},
      {TColor(0x00FF00), clDefault, clWindow, TColor(0x00FF00), TColor(0xFF00FF)},
      {TColor(0x00FF00), clBlue, clWindow, TColor(0x00FF00), clBlue},
  };
  for (const auto& c : cases) {
    auto data = editor.Data();
    data->SelStart = 1;
    data->SelLength = 2;
    data->SelBackgroundColor = c.Background;
    data->SelTextColor = c.Text;
    data->StyleColor = c.Style;
    TcxCustomTextEditViewInfo info;
    data->PrepareSelection(info);
    EXPECT_EQ(c.ExpectedBackground, info.SelBackgroundColor);
    EXPECT_EQ(c.ExpectedText, info.SelTextColor);
    EXPECT_EQ(1, info.SelStart);
  }
  auto none = editor.Data();
  TcxCustomTextEditViewInfo info;
  none->PrepareSelection(info);
  EXPECT_EQ(clDefault, info.SelBackgroundColor) << "no selection: colours untouched";
}

TEST_F(TextEditViewInfo, AnAutoHeightEditorWrapsWhatDoesNotFitAndTopAlignsWhatOverflows) {
  TTextEditor editor;
  editor.PaintOptions = epoAutoHeight;
  editor.Vert = taVCenter;
  const Variant longText(L"several words that cannot share one row of this narrow editor");
  editor.Calculate(longText, RECT{0, 0, 80, 200});
  EXPECT_FALSE(editor.ViewInfo.DrawTextFlags & CXTO_SINGLELINE);
  EXPECT_TRUE(editor.ViewInfo.DrawTextFlags & CXTO_WORDBREAK);
  EXPECT_TRUE(editor.ViewInfo.DrawTextFlags & CXTO_CENTER_VERTICALLY) << "the rows fit";
  editor.Calculate(longText, RECT{0, 0, 80, 21});
  EXPECT_FALSE(editor.ViewInfo.DrawTextFlags & (CXTO_CENTER_VERTICALLY | CXTO_BOTTOM)) << "too many rows: top";
  editor.Calculate(Variant(L"ok"), RECT{0, 0, 80, 21});
  EXPECT_TRUE(editor.ViewInfo.DrawTextFlags & CXTO_SINGLELINE) << "one row stays single-line";
}

TEST_F(TextEditViewInfo, ContentSizes) {
  TTextEditor editor;
  TcxCanvas& canvas = editor.Bitmap.cxCanvas();
  const int textHeight = editor.Metrics().tmHeight;
  editor.PaintOptions = epoAllowZeroHeight;
  auto data = editor.Data();
  const SIZE correction = data->GetEditContentSizeCorrection();
  TcxEditSizeProperties given;
  given.Width = 100;
  EXPECT_EQ(0, data->CalculateTextContentSize(canvas, L"", given, data->GetDrawTextFlags(), 0, true).cy);
  EXPECT_EQ(100, data->CalculateTextContentSize(canvas, L"", given, data->GetDrawTextFlags(), 0, true).cx);
  const SIZE oneRow = data->CalculateTextContentSize(canvas, L"abc", given, data->GetDrawTextFlags(), 0, true);
  EXPECT_EQ(textHeight + correction.cy, oneRow.cy);
  const SIZE free = data->CalculateTextContentSize(canvas, L"abc", {}, data->GetDrawTextFlags(), 0, true);
  EXPECT_EQ(canvas.TextExtent(L"abc").cx + correction.cx, free.cx);
  given.Width = 30;
  const SIZE wrapped =
      data->CalculateTextContentSize(canvas, L"one two three four", given, data->GetDrawTextFlags(), 0, true);
  EXPECT_GT(wrapped.cy, oneRow.cy) << "a given width wraps";
  EXPECT_EQ(0, (wrapped.cy - correction.cy) % textHeight);
}

TEST_F(TextEditViewInfo, AFocusedStandAloneEditorWithoutItsInnerEditDrawsAFocusRectangle) {
  TTextEditor editor;
  editor.Calculate(Variant(L""), RECT{0, 0, 120, 21});
  editor.Bitmap.Canvas().Brush().SetColor(clWhite);
  editor.Bitmap.Canvas().FillRect(RECT{0, 0, 200, 60});
  editor.ViewInfo.AssignBackgroundColor(clWhite);
  editor.ViewInfo.Paint(editor.Bitmap.cxCanvas());
  RECT inner = editor.ViewInfo.ClientRect;
  InflateRect(&inner, -1, -1);
  const auto darkOnLeftEdge = [&] {
    int dark = 0;
    for (int y = inner.top; y < inner.bottom; ++y)
      if (editor.Bitmap.Canvas().Pixel(inner.left, y) != clWhite) ++dark;
    return dark;
  };
  EXPECT_EQ(0, darkOnLeftEdge()) << "not focused";
  editor.ViewInfo.Focused = true;
  editor.ViewInfo.Paint(editor.Bitmap.cxCanvas());
  EXPECT_GE(darkOnLeftEdge(), (inner.bottom - inner.top) / 2 - 1) << "a dotted line";
}

}  // namespace laf_editors_test
