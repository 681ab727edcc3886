// Renders the themed Unicode edit and combo box in look modes 0 and 2 into
// PNG files: the edit with a selection, focused and not, disabled,
// transparent over a patterned parent and with its button; the combo closed
// in each style and open with its list and second button.
//
// usage: dx_edit_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "EditorSteps.h"
#include "Forms.h"
#include "PngImage.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPDXCombos.h"
#include "ScreenshotImages.h"

#include <cstdio>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {
    TVK_STYLED_CONTROLS_STEPS
    TVK_EDITORS_CLASSIC_STEPS
};

// A parent painting diagonal stripes, for the transparent edit.
class Stripes : public TCustomControl {
public:
  TVK_CLASS(Stripes, TCustomControl)
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    TCanvas& c = Canvas();
    c.Brush().SetColor(TColor(0xF0E0D0));
    c.FillRect(ClientRect());
    c.Pen().SetColor(TColor(0xC08040));
    for (int x = -Height(); x < Width(); x += 8) {
      c.MoveTo(x, Height());
      c.LineTo(x + Height(), 0);
    }
  }
};

void Label(TCanvas& c, int x, int y, const wchar_t* text) {
  SetBkMode(c.Handle(), TRANSPARENT);
  c.TextOut(x, y, text);
}

// Paints Control (and, for a transparent one, its parent first) at (X, Y) of C.
void PaintAt(TCanvas& c, TWinControl& control, int x, int y) {
  HDC dc = c.Handle();
  SaveDC(dc);
  MoveWindowOrg(dc, x, y);
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  RestoreDC(dc, -1);
}

void SetLookMode(int mode) {
  ThemeServices().SetThemesSwitchedOff(mode != 2);
  ClearWin32VersionOverride();
  UpdateSubstColors();
}

void DrawMode(TCanvas& c) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 600, 420);
  form->Show();
  int y = 10;
  auto edit = [&](const wchar_t* caption, auto* control) {
    control->SetParent(form.get());
    control->SetBounds(200, y, 180, 21);
    control->HandleNeeded();
    Label(c, 10, y + 3, caption);
    return control;
  };
  auto* focused = edit(L"selection, focused", new TXPDXEdit(form.get()));
  focused->SetText(L"Unicode \u00C5\u0416\u65E5 text");
  focused->SetFocus();
  focused->SetSelStart(8);
  focused->SetSelLength(3);
  PaintAt(c, *focused, 200, y);
  y += 30;
  auto* unfocused = edit(L"selection, not focused", new TXPDXEdit(form.get()));
  unfocused->SetText(L"Unicode \u00C5\u0416\u65E5 text");
  unfocused->SetHideSelection(false);
  unfocused->SetSelStart(8);
  unfocused->SetSelLength(3);
  PaintAt(c, *unfocused, 200, y);
  y += 30;
  auto* disabled = edit(L"disabled", new TXPDXEdit(form.get()));
  disabled->SetText(L"Disabled text");
  disabled->SetEnabled(false);
  PaintAt(c, *disabled, 200, y);
  y += 30;
  auto* button = edit(L"with its button", new TXPDXButtonEdit(form.get()));
  button->SetText(L"C:\\Projects\\board.tvk");
  PaintAt(c, *button, 200, y);
  y += 30;

  Label(c, 10, y + 8, L"transparent over a pattern");
  auto* stripes = new Stripes(form.get());
  stripes->SetParent(form.get());
  stripes->SetBounds(200, y, 180, 34);
  auto* glass = new TXPDXEdit(form.get());
  glass->SetParent(stripes);
  glass->SetTransparent(true);
  glass->SetBounds(6, 6, 168, 21);
  glass->HandleNeeded();
  glass->SetText(L"See-through");
  PaintAt(c, *stripes, 200, y);
  PaintAt(c, *glass, 206, y + 6);
  y += 44;

  const struct {
    const wchar_t* Caption;
    TXPComboBoxStyle Style;
  } styles[] = {{L"combo, drop-down", TXPComboBoxStyle::csDropDown},
                {L"combo, drop-down list", TXPComboBoxStyle::csDropDownList},
                {L"combo, owner-drawn", TXPComboBoxStyle::csOwnerDrawFixed}};
  for (const auto& s : styles) {
    auto* combo = edit(s.Caption, new TXPDXCombobox(form.get()));
    for (const wchar_t* item : {L"Alpha", L"Beta", L"Gamma", L"Delta"}) combo->Items().Add(item);
    combo->SetStyle(s.Style);
    combo->SetItemIndex(1);
    PaintAt(c, *combo, 200, y);
    y += 30;
  }
  auto* open = edit(L"open, second button", new TXPDXCombobox(form.get()));
  for (const wchar_t* item : {L"JTAG", L"SWD", L"J-Link over USB", L"Simulated"}) open->Items().Add(item);
  open->SetShowButton2(true);
  open->SetItemIndex(2);
  PaintAt(c, *open, 200, y);
  open->SetDroppedDown(true);
  TXPDXPopupListBox& list = open->PopupListBox();
  RECT listRect, comboRect;
  GetWindowRect(list.Handle(), &listRect);
  GetWindowRect(open->Handle(), &comboRect);
  int listX = 200 + listRect.left - comboRect.left, listY = y + listRect.top - comboRect.top;
  HDC dc = c.Handle();
  SaveDC(dc);
  MoveWindowOrg(dc, listX, listY);
  SendMessageW(list.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  RestoreDC(dc, -1);
  open->SetDroppedDown(false);
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "dx_edit_screens", kSteps, [](const std::string& folder) {
    for (int mode : {0, 2}) {
      SetLookMode(mode);
      TBitmap shot;
      shot.SetPixelFormat(TPixelFormat::pf32bit);
      shot.SetSize(420, 440);
      TCanvas& c = shot.Canvas();
      c.Brush().SetColor(SubstBtnFaceColor);
      c.FillRect(RECT{0, 0, 420, 440});
      DrawMode(c);
      const std::string file = "dx_edits_lookmode" + std::to_string(mode) + ".png";
      SavePng(shot, folder, file.c_str(), ("look mode " + std::to_string(mode)).c_str());
    }
  }, [] { SetLookMode(2); });
}
