// Renders the picture editors into one PNG file: graphic cells stretched,
// centred and at natural size, the floating picture toolbar with and without
// captions, blob cells of each kind, the blob pop-up as memo and as picture
// with its grip in each corner, and a pop-up edit form in each border style
// holding a control of the host.
#include "ScreenshotProgram.h"
#include "EditorSteps.h"
#include "Forms.h"
#include "PngImage.h"
#include "Panels.h"
#include "StdCtrls.h"
#include "dxBlobEdit.h"
#include "dxBlobPopup.h"
#include "dxGraphicEdit.h"
#include "dxPopupEditForm.h"
#include "dxPopupToolBar.h"
#include "ScreenshotImages.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS};

// The work area the blob pop-ups place themselves on.
void ScreenWorkArea(POINT, RECT& r) { r = RECT{0, 0, 1000, 600}; }

void FillLook(TdxEditViewData& vd, RECT bounds, HFONT font) {
  vd.Enabled = true;
  vd.BorderStyle = xbsSingle;
  vd.BorderColor = clBlack;
  vd.Edges = kAllEdges;
  vd.ViewBounds = bounds;
  vd.Brush = GetSysColorBrush(COLOR_WINDOW);
  vd.BkColor = GetSysColor(COLOR_WINDOW);
  vd.TextColor = GetSysColor(COLOR_WINDOWTEXT);
  vd.Font = font;
}

void Label(HDC dc, int x, int y, const wchar_t* text) {
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, x, y, text, static_cast<int>(wcslen(text)));
}

// A 200 x 100 picture: four coloured quarters and a diagonal, so that the
// stretched, centred and natural cells tell apart at a glance.
void MakePicture(TPicture& picture) {
  TBitmap& bitmap = picture.Bitmap();
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(200, 100);
  HDC dc = bitmap.Canvas().Handle();
  const COLORREF quarters[] = {RGB(200, 40, 40), RGB(40, 160, 40), RGB(40, 40, 200), RGB(220, 180, 0)};
  for (int i = 0; i < 4; ++i) {
    RECT r{(i % 2) * 100, (i / 2) * 50, (i % 2) * 100 + 100, (i / 2) * 50 + 50};
    HBRUSH brush = CreateSolidBrush(quarters[i]);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 200, 100);
}

// Copies Control with its frame and children to (X, Y) of Dc: shown without
// activation and painted, then read from its window's device context, since
// the frames, grips and button panels are drawn in the non-client area.
void Snap(TWinControl& control, HDC dc, int x, int y) {
  HWND wnd = control.Handle();
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT w{};
  GetWindowRect(wnd, &w);
  HDC source = GetWindowDC(wnd);
  BitBlt(dc, x, y, w.right - w.left, w.bottom - w.top, source, 0, 0, SRCCOPY);
  ReleaseDC(wnd, source);
  ShowWindow(wnd, SW_HIDE);
}

int DrawGraphicCells(HDC dc, HFONT font, TPicture& picture, int y) {
  struct Mode {
    const wchar_t* Caption;
    bool Stretch, Center;
  };
  constexpr Mode kModes[] = {{L"stretched", true, false}, {L"centred", false, true}, {L"natural", false, false}};
  const auto& cls = TdxInplaceGraphicEditClass::Instance();
  for (int i = 0; i < 3; ++i) {
    const int x = 80 + i * 130;
    Label(dc, x, y, kModes[i].Caption);
    auto vd = cls.CreateViewDataObject();
    RECT bounds{x, y + 16, x + 110, y + 126};
    FillLook(*vd, bounds, font);
    auto& data = static_cast<TdxGraphicEditViewData&>(*vd);
    data.Picture = &picture;
    data.Stretch = kModes[i].Stretch;
    data.Center = kModes[i].Center;
    cls.Draw(dc, bounds, *vd, nullptr);
  }
  Label(dc, 8, y + 60, L"graphic");
  return y + 140;
}

int DrawToolBars(HDC dc, TWinControl& editor, int y) {
  Label(dc, 8, y + 10, L"toolbar");
  int x = 80;
  for (bool captions : {true, false}) {
    auto* bar = new TdxPopupToolBar(&editor);
    bar->SetShowCaptions(captions);
    bar->SetToolBarAlignment(captions ? ptaRight : ptaTop);
    bar->SetCustomButtonCaption(L"Browse");
    bar->SetToolBarButtons(kDefaultPopupToolBarButtons | PopupToolBarButtonBit(ptbCustom));
    bar->HandleNeeded();
    Snap(*bar, dc, x, y);
    RECT w{};
    GetWindowRect(bar->Handle(), &w);
    x += w.right - w.left + 30;
  }
  return y + 190;
}

int DrawBlobCells(HDC dc, HFONT font, int y) {
  struct Cell {
    const wchar_t* Caption;
    TdxBlobEditKind Kind;
    TdxBlobPaintStyle Style;
    bool IsNull;
    const wchar_t* Text;
  };
  constexpr Cell kCells[] = {{L"memo", bekMemo, bpsIcon, false, L""},
                             {L"empty memo", bekMemo, bpsIcon, true, L""},
                             {L"memo text", bekMemo, bpsText, false, L"a memo shown as its text"},
                             {L"picture", bekPict, bpsIcon, false, L""},
                             {L"OLE", bekOle, bpsIcon, false, L""},
                             {L"binary", bekBlob, bpsIcon, false, L""}};
  const auto& cls = TdxInplaceBlobEditClass::Instance();
  Label(dc, 8, y + 18, L"blob");
  for (int i = 0; i < 6; ++i) {
    const int x = 80 + i * 110;
    Label(dc, x, y, kCells[i].Caption);
    auto vd = cls.CreateViewDataObject();
    RECT bounds{x, y + 16, x + 100, y + 38};
    FillLook(*vd, bounds, font);
    auto& data = static_cast<TdxBlobEditViewData&>(*vd);
    data.BlobEditKind = kCells[i].Kind;
    data.BlobPaintStyle = kCells[i].Style;
    data.Images = &GetBlobGlyphImages();
    data.IsNull = kCells[i].IsNull;
    data.Data = kCells[i].Text;
    cls.Draw(dc, bounds, *vd, nullptr);
  }
  return y + 50;
}

// The grip goes where the room is: the opening point picks the corner.
int DrawBlobPopups(HDC dc, const TPicture& picture, int y) {
  struct Opening {
    const wchar_t* Caption;
    POINT At;
  };
  constexpr Opening kOpenings[] = {{L"bottom right", {100, 100}},
                                   {L"bottom left", {990, 100}},
                                   {L"top right", {100, 590}},
                                   {L"top left", {990, 590}}};
  SetMonitorWorkAreaLookup(&ScreenWorkArea);
  int rowHeight = 0;
  for (int kind = 0; kind < 2; ++kind) {
    Label(dc, 8, y + 30, kind == 0 ? L"memo" : L"picture");
    for (int i = 0; i < 4; ++i) {
      TCustomdxBlobPopup popup(nullptr);
      popup.SetPopupBorderStyle(pbFrame3D);
      popup.SetBlobEditKind(kind == 0 ? bekMemo : bekPict);
      if (kind == 0)
        popup.SetText(L"Notes of the measurement:\r\nthe grip sits in the corner the pop-up grows towards.");
      else
        popup.Picture().Assign(picture);
      popup.SetSize(kOpenings[i].At, 170, 130);
      popup.HandleNeeded();
      popup.ShowPopup();
      const int x = 80 + i * 220;
      Label(dc, x, y, kOpenings[i].Caption);
      Snap(popup, dc, x, y + 16);
      rowHeight = std::max(rowHeight, popup.Height() + 26);
      popup.HidePopup(false);
    }
    y += rowHeight;
  }
  SetMonitorWorkAreaLookup(nullptr);
  return y;
}

int DrawPopupForms(HDC dc, int y) {
  struct Style {
    const wchar_t* Caption;
    TdxPopupEditFormBorderStyle Border;
  };
  constexpr Style kStyles[] = {
      {L"dialog", pbsDialog}, {L"dialog, help", pbsDialogHelp}, {L"simple", pbsSimple}, {L"system panel", pbsSysPanel}};
  Label(dc, 8, y + 40, L"pop-up form");
  for (int i = 0; i < 4; ++i) {
    TdxPopupEditForm form(nullptr);
    form.SetPopupFormBorderStyle(kStyles[i].Border);
    form.SetSizeable(true);
    form.SetBounds(0, 0, 170, 120);
    // The host's control, as a pop-up editor moves it in.
    auto* list = new TCustomListBox(&form);
    list->SetParent(&form);
    list->SetAlign(TAlign::alClient);
    for (const wchar_t* item : {L"channel 1", L"channel 2", L"channel 3"}) list->Items().Add(item);
    form.HandleNeeded();
    const int x = 80 + i * 190;
    Label(dc, x, y, kStyles[i].Caption);
    Snap(form, dc, x, y + 16);
  }
  return y + 150;
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "picture_editor_screens", kScreenSteps, [](const std::string& folder) {
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(960, 870);
    TCanvas& c = shot.Canvas();
    c.Brush().SetColor(TColor(0xE0E0E0));
    c.FillRect(RECT{0, 0, shot.Width(), shot.Height()});
    HDC dc = c.Handle();
    TFont font;
    font.SetName(L"Tahoma");
    font.SetHeight(-12);
    SelectObject(dc, font.Handle());
    TPicture picture;
    MakePicture(picture);

    std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
    form->SetBounds(0, 0, 300, 200);
    auto* editor = new TPanel(form.get());
    editor->SetParent(form.get());

    int y = 6;
    y = DrawGraphicCells(dc, font.Handle(), picture, y);
    y = DrawToolBars(dc, *editor, y);
    y = DrawBlobCells(dc, font.Handle(), y);
    y = DrawBlobPopups(dc, picture, y);
    DrawPopupForms(dc, y);

    SavePng(shot, folder, "picture_editors.png",
            "graphic cells, picture toolbars, blob cells, blob pop-ups and pop-up forms");
  });
}
