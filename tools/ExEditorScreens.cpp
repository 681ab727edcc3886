// Renders the extended editors' windowless cells into one PNG file: drop-down
// and button cells in each button style and state (plain, hot, pressed,
// disabled, transparent), check cells in three states and four styles with
// and without a glyph strip, image cells with an open picture list, and memo
// cells; and a live memo editing a cell of the stand-in host into another.
#include "ScreenshotProgram.h"
#include "../tests/support/CellHost.h"
#include "Application.h"
#include "EditorSteps.h"
#include "Forms.h"
#include "PngImage.h"
#include "dxCheckEdit.h"
#include "dxImageEdit.h"
#include "dxMemoEdit.h"
#include "ScreenshotImages.h"

#include <array>
#include <cstdio>
#include <string>

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS};

struct ButtonState {
  const wchar_t* Caption;
  bool Hot, Pressed, Enabled, Transparent;
};

constexpr ButtonState kStates[] = {{L"plain", false, false, true, false},
                                   {L"hot", true, false, true, false},
                                   {L"pressed", true, true, true, false},
                                   {L"disabled", false, false, false, false},
                                   {L"transparent", false, false, true, true}};
constexpr TdxEditButtonViewStyle kStyles[] = {bts3D, btsFlat, btsSimple, btsHotFlat};
constexpr const wchar_t* kStyleNames[] = {L"3D", L"flat", L"simple", L"hot flat"};

void FillLook(TdxEditViewData& vd, RECT bounds, HFONT font, bool enabled) {
  vd.Enabled = enabled;
  vd.BorderStyle = xbsSingle;
  vd.BorderColor = clBlack;
  vd.Edges = kAllEdges;
  vd.ViewBounds = bounds;
  vd.Brush = GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  vd.BkColor = GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
  vd.TextColor = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
  vd.Font = font;
}

void Label(HDC dc, int x, int y, const wchar_t* text) {
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, x, y, text, static_cast<int>(wcslen(text)));
}

void MakeGlyph(TBitmap& glyph, int width, int height, COLORREF color) {
  glyph.SetPixelFormat(TPixelFormat::pf24bit);
  glyph.SetSize(width, height);
  RECT all{0, 0, width, height};
  FillRect(glyph.Canvas().Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HBRUSH brush = CreateSolidBrush(color);
  RECT inner{2, 2, width - 2, height - 2};
  FillRect(glyph.Canvas().Handle(), &inner, brush);
  DeleteObject(brush);
}

// A memo window editing the middle cell of the stand-in host, its text wrapped in the window.
void DrawLiveMemo(const std::string& folder) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetBounds(40, 40, 260, 150);
  auto* host = new tvk_test::TCellHost(form.get());
  host->SetParent(form.get());
  host->SetBounds(10, 10, 240, 130);
  host->SetColor(clWindow);
  host->CellHeight = 40;
  host->Cells = {L"first note", L"A memo cell edited in place: its text wraps\r\nand keeps its line breaks.",
                 L"third note"};
  auto* memo = new TdxInplaceMemoEdit(host);
  memo->SetParent(host);
  memo->SetColor(host->GetInplaceEditColor());
  host->Editor = memo;
  form->Show();
  host->EditCell(1);
  ::SetFocus(memo->Handle());
  Application().ProcessMessages();

  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(280, 170);
  shot.Canvas().Brush().SetColor(TColor(0xE0E0E0));
  shot.Canvas().FillRect(RECT{0, 0, shot.Width(), shot.Height()});
  CopyWindow(form->Handle(), shot.Canvas(), 10, 10);
  SavePng(shot, folder, "exeditor_live_memo.png", "live memo");
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "exeditor_screens", kScreenSteps, [](const std::string& folder) {
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(760, 700);
    TCanvas& c = shot.Canvas();
    c.Brush().SetColor(TColor(0xE0E0E0));
    c.FillRect(RECT{0, 0, shot.Width(), shot.Height()});
    HDC dc = c.Handle();
    TFont font;
    font.SetName(L"Tahoma");
    font.SetHeight(-12);
    TBitmap glyph;
    MakeGlyph(glyph, 12, 12, RGB(0, 128, 0));

    // Drop-down cells and three-button cells, by style and state.
    TComponent owner(nullptr);
    TdxEditButtons buttons(&owner, CollectionItemClassOf<TdxEditButton>());
    buttons.Add()->SetKind(bkEllipsis);
    buttons.Add()->SetKind(bkDown);
    TdxEditButton* withGlyph = buttons.Add();
    withGlyph->SetKind(bkGlyph);
    withGlyph->SetGlyph(&glyph);
    int y = 4;
    for (int k = 0; k < 5; ++k) Label(dc, 80 + k * 135, y, kStates[k].Caption);
    y += 8;
    for (int s = 0; s < 4; ++s) {
      Label(dc, 8, y + 4, kStyleNames[s]);
      for (int k = 0; k < 5; ++k) {
        const ButtonState& state = kStates[k];
        for (int kind = 0; kind < 2; ++kind) {
          const auto& cls = kind == 0 ? static_cast<const TdxInplaceDropDownEditClass&>(
                                            TdxInplaceDropDownEditClass::Instance())
                                      : TdxInplaceButtonEditClass::Instance();
          auto vd = cls.CreateViewDataObject();
          RECT bounds{80 + k * 135, y + 12 + kind * 26, 205 + k * 135, y + 34 + kind * 26};
          FillLook(*vd, bounds, font.Handle(), state.Enabled);
          vd->ButtonStyle = kStyles[s];
          vd->ButtonTransparence = state.Transparent;
          vd->Data = kind == 0 ? L"drop-down" : L"buttons";
          auto& data = static_cast<TdxDropDownEditViewData&>(*vd);
          const int lastButton = kind == 0 ? 0 : 2;
          data.ActiveButtonIndex = state.Hot ? lastButton : -1;
          data.PressedButtonIndex = state.Pressed ? lastButton : -1;
          if (kind == 1) static_cast<TdxButtonEditViewData&>(*vd).EditButtons = &buttons;
          cls.Draw(dc, bounds, *vd, nullptr);
        }
      }
      y += 64;
    }

    // Check cells: three states in four styles, then the same with a glyph strip.
    TBitmap strip;
    strip.SetPixelFormat(TPixelFormat::pf24bit);
    strip.SetSize(13 * 6, 13);
    const COLORREF stripColors[] = {RGB(220, 220, 220), RGB(0, 160, 0), RGB(160, 160, 0),
                                    RGB(160, 160, 160), RGB(0, 100, 0), RGB(100, 100, 0)};
    for (int i = 0; i < 6; ++i) {
      HBRUSH brush = CreateSolidBrush(stripColors[i]);
      RECT r{13 * i, 0, 13 * i + 13, 13};
      FillRect(strip.Canvas().Handle(), &r, brush);
      DeleteObject(brush);
      SetPixel(strip.Canvas().Handle(), 13 * i, 12, RGB(255, 0, 255));
    }
    const auto& check = TdxInplaceCheckEditClass::Instance();
    const wchar_t* stateNames[] = {L"unchecked", L"checked", L"grayed"};
    for (int g = 0; g < 2; ++g) {
      for (int s = 0; s < 4; ++s) {
        Label(dc, 8, y + 4, g == 0 ? kStyleNames[s] : L"glyphs");
        for (int state = 0; state < 3; ++state) {
          auto vd = check.CreateViewDataObject();
          RECT bounds{80 + state * 150, y, 220 + state * 150, y + 22};
          FillLook(*vd, bounds, font.Handle(), true);
          vd->BorderStyle = xbsNone;
          vd->ButtonStyle = kStyles[s];
          vd->Data = std::to_wstring(state);
          auto& data = static_cast<TdxCheckEditViewData&>(*vd);
          data.Caption = stateNames[state];
          data.NullStyle = nsGrayedChecked;
          if (g == 1) {
            data.Glyph = &strip;
            data.GlyphCount = 6;
            data.Pressed = s == 1;
          }
          check.Draw(dc, bounds, *vd, nullptr);
        }
        y += 26;
        if (g == 1) break;
      }
    }

    // Image cells and an open picture list; memo cells.
    TImageList images(nullptr);
    images.SetSize(16, 16);
    for (COLORREF color : {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200)}) {
      TBitmap picture;
      MakeGlyph(picture, 16, 16, color);
      images.AddMasked(picture, clWhite);
    }
    TStringList values, descriptions;
    for (const wchar_t* v : {L"1", L"2", L"3"}) values.Add(v);
    for (const wchar_t* d : {L"Input", L"Output", L"Bidirectional"}) descriptions.Add(d);
    const auto& image = TdxInplaceImageEditClass::Instance();
    Label(dc, 8, y + 8, L"image");
    for (int i = 0; i < 3; ++i) {
      auto vd = image.CreateViewDataObject();
      RECT bounds{80 + i * 150, y + 4, 220 + i * 150, y + 28};
      FillLook(*vd, bounds, font.Handle(), true);
      auto& data = static_cast<TdxImageEditViewData&>(*vd);
      data.Images = &images;
      data.Values = &values;
      data.Descriptions = &descriptions;
      data.DefaultImages = true;
      data.ShowDescription = i != 2;
      data.HideButtons = i == 0;
      data.Data = values[i];
      image.Draw(dc, bounds, *vd, nullptr);
    }
    y += 36;
    std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
    auto* list = new TdxPopupImageListBox(form.get());
    list->SetParent(form.get());
    list->SetImages(&images);
    list->SetPopupBorderStyle(pbFrame3D);
    list->SetShadow(true);
    for (int i = 0; i < 3; ++i) list->Items().AddObject(descriptions[i], PictureIndexObject(i));
    list->SetBounds(0, 0, 150, 3 * 18 + 10);
    list->SetItemIndex(1);
    RECT client{};
    GetClientRect(list->Handle(), &client);
    TBitmap listShot;
    listShot.SetPixelFormat(TPixelFormat::pf32bit);
    listShot.SetSize(150, 3 * 18 + 10);
    SendMessageW(list->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(listShot.Canvas().Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    BitBlt(dc, 80, y, listShot.Width(), listShot.Height(), listShot.Canvas().Handle(), 0, 0, SRCCOPY);
    Label(dc, 8, y + 4, L"list");
    y += listShot.Height() + 10;

    Label(dc, 8, y + 4, L"memo");
    auto memo = TdxInplaceTextEditClass::Instance().CreateViewDataObject();
    RECT memoBounds{80, y, 300, y + 60};
    FillLook(*memo, memoBounds, font.Handle(), true);
    memo->DrawAlignment = daMultiLine;
    memo->Data = L"A memo cell wraps its text over several lines when the cell is high enough to show them.";
    TdxInplaceTextEditClass::Instance().Draw(dc, memoBounds, *memo, nullptr);

    SavePng(shot, folder, "exeditor_cells.png", "drop-down, button, check, image and memo cells");
    DrawLiveMemo(folder);
  });
}
