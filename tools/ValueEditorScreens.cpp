// Renders the value editors into two PNG files: the calculator in its three
// button styles (memory buttons greyed and not) and the month calendar with
// its "Today" and "Clear" buttons (not flat) and with its month list open
// (flat); and date, spin, time, pick, calculator, hyperlink and currency
// cells over stand-in hosts, one live editor each and the other cells painted
// without a window, with the pick list and the calculator open below their
// editors.
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"
#include "../tests/support/CellHost.h"
#include "Application.h"
#include "DateTimes.h"
#include "EditorSteps.h"
#include "Forms.h"
#include "PngImage.h"
#include "dxCalc.h"
#include "dxGrDate.h"
#include "dxPopupEdits.h"
#include "dxValueEdits.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS};

// A calculator that keeps its number in a text of its own.
class TShownCalculator : public TCustomdxCalculator {
public:
  TVK_CLASS(TShownCalculator, TCustomdxCalculator)
  using TCustomdxCalculator::TCustomdxCalculator;

protected:
  void ReadDisplayText(WideString& text) override { text = FShown; }
  void WriteDisplayText(const WideString& text) override { FShown = text; }

private:
  WideString FShown;
};

// The calendar with its mouse handling reachable, to open the month list.
class TShownDatePopup : public TdxGridDatePopup {
public:
  TVK_CLASS(TShownDatePopup, TdxGridDatePopup)
  using TdxGridDatePopup::MouseDown;
  using TdxGridDatePopup::TdxGridDatePopup;
};

void FillShot(TBitmap& shot, int width, int height) {
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(width, height);
  shot.Canvas().Brush().SetColor(TColor(0xE0E0E0));
  shot.Canvas().FillRect(RECT{0, 0, width, height});
}

void Caption(TCanvas& canvas, int x, int y, const wchar_t* text) {
  SetBkMode(canvas.Handle(), TRANSPARENT);
  TextOutW(canvas.Handle(), x, y, text, static_cast<int>(wcslen(text)));
}

// Copies Window (a pop-up just shown) at its place relative to Origin's
// window, Origin drawn at (X, Y): the frame as the screen shows it (a printed
// copy would lack it), the client area printed, which does not depend on
// whether the screen has caught up yet.
void CopyWindowBeside(HWND window, HWND origin, TCanvas& canvas, int x, int y) {
  Application().ProcessMessages();
  RECT w{}, o{}, client{};
  GetWindowRect(window, &w);
  GetWindowRect(origin, &o);
  x += w.left - o.left;
  y += w.top - o.top;
  CopyWindow(window, canvas, x, y);
  GetClientRect(window, &client);
  POINT clientOrigin{0, 0};
  ClientToScreen(window, &clientOrigin);
  TBitmap print;
  print.SetPixelFormat(TPixelFormat::pf32bit);
  print.SetSize(client.right, client.bottom);
  SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(print.Canvas().Handle()),
               PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  BitBlt(canvas.Handle(), x + clientOrigin.x - w.left, y + clientOrigin.y - w.top, client.right, client.bottom,
         print.Canvas().Handle(), 0, 0, SRCCOPY);
}

void DrawCalculators(TCanvas& canvas, int y) {
  struct Look {
    const wchar_t* Caption;
    TdxButtonStyle Style;
    bool Memory;
  };
  const Look looks[] = {{L"standard, memory empty", bsStandard, false},
                        {L"flat, 7 in memory", bsFlat, true},
                        {L"extra flat, 7 in memory", bsExtraFlat, true}};
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetBounds(20, 20, 700, 200);
  form->Show();
  int x = 10;
  for (const Look& look : looks) {
    auto* calc = new TShownCalculator(form.get());
    calc->SetParent(form.get());
    calc->SetButtonStyle(look.Style);
    calc->SetLeft(x);
    calc->HandleNeeded();
    if (look.Memory) {
      calc->ProcessCalculatorButton(TdxCalcButtonKind::cbNum7);
      calc->ProcessCalculatorButton(TdxCalcButtonKind::cbMS);
    }
    Application().ProcessMessages();
    Caption(canvas, x, y, look.Caption);
    CopyWindowBeside(calc->Handle(), calc->Handle(), canvas, x, y + 18);
    x += calc->Width() + 20;
  }
}

void DrawCalendars(TCanvas& canvas, int y) {
  std::vector<std::unique_ptr<TShownDatePopup>> popups;
  int x = 10;
  for (bool monthList : {false, true}) {
    auto& popup = popups.emplace_back(new TShownDatePopup(nullptr));
    popup->ShowClearButton = true;
    popup->SetFlat(monthList);
    popup->SetFirstDate(EncodeDate(2026, 12, 11));
    popup->SetSelStart(EncodeDate(2026, 12, 24));
    popup->SetBounds(20 + x, 300, 20, 20);
    popup->HandleNeeded();
    popup->ShowPopup();
    Application().ProcessMessages();
    Caption(canvas, x, y, monthList ? L"flat, month list open" : L"Today and Clear, not flat");
    CopyWindowBeside(popup->Handle(), popup->Handle(), canvas, x, y + 70);
    if (monthList) {
      const RECT name = popup->MonthNameRect();
      popup->MouseDown(TMouseButton::mbLeft, ssLeft, (name.left + name.right) / 2, (name.top + name.bottom) / 2);
      if (TAMonthListBox* list = popup->MonthList()) CopyWindowBeside(list->Handle(), popup->Handle(), canvas, x, y + 70);
    }
    x += popup->Width() + 40;
  }
  for (auto& popup : popups) popup->HidePopup(false);
}

// A stand-in host whose windowless cells show what the editor would show:
// a second editor without a window (the paint copy) takes each cell's value
// and hands over its view data, prepared before painting starts.
class TFormattedCellHost : public tvk_test::TCellHost {
public:
  TVK_CLASS(TFormattedCellHost, tvk_test::TCellHost)
  using tvk_test::TCellHost::TCellHost;
  TdxInplaceEdit* PaintCopy = nullptr;

  void PrepareCells() {
    Looks.clear();
    for (int i = 0; i < static_cast<int>(Cells.size()); ++i) {
      PaintCopy->SetEditValue(Cells[static_cast<std::size_t>(i)]);
      auto vd = PaintCopy->CreateViewData(true);
      vd->Enabled = true;
      vd->BorderStyle = xbsSingle;
      vd->BorderColor = clBlack;
      vd->Edges = kAllEdges;
      vd->ViewBounds = CellRect(i);
      vd->Brush = GetSysColorBrush(COLOR_WINDOW);
      vd->BkColor = GetSysColor(COLOR_WINDOW);
      Looks.push_back(std::move(vd));
    }
  }

protected:
  void Paint() override {
    for (int i = 0; i < static_cast<int>(Looks.size()); ++i) {
      if (i == EditingCell) continue;
      TdxEditViewData& vd = *Looks[static_cast<std::size_t>(i)];
      Editor->EditClass().Draw(Canvas().Handle(), vd.ViewBounds, vd, nullptr);
    }
  }

private:
  std::vector<std::unique_ptr<TdxEditViewData>> Looks;
};

// One stand-in host of five cells whose second cell its editor edits.
TFormattedCellHost* AddHost(TForm& form, int x, int y, TdxInplaceEdit* (*make)(TComponent*),
                            std::vector<Variant> cells) {
  auto* host = new TFormattedCellHost(&form);
  host->SetParent(&form);
  host->SetBounds(x, y, 160, 100);
  host->SetColor(clWindow);
  host->Cells = std::move(cells);
  TdxInplaceEdit* editor = make(host);
  editor->SetParent(host);
  editor->SetColor(host->GetInplaceEditColor());
  host->Editor = editor;
  host->PaintCopy = make(host);
  return host;
}

template <class TEditor>
TdxInplaceEdit* Make(TComponent* owner) {
  return new TEditor(owner);
}

void DrawCells(const std::string& folder) {
  struct Column {
    const wchar_t* Caption;
    TdxInplaceEdit* (*MakeEditor)(TComponent*);
    std::vector<Variant> Cells;
  };
  const Variant today = VarFromDateTime(EncodeDate(2026, 12, 11));
  const auto time = [](double dayFraction) { return VarFromDateTime(dayFraction); };
  // Pick and calculator in the lower row: their pop-ups open below the form.
  const Column columns[] = {
      {L"date", Make<TdxInplaceDateEdit>, {today, today, Null(), today, today}},
      {L"spin", Make<TdxInplaceSpinEdit>, {L"12", L"42", L"-7", L"0", L"1000"}},
      {L"time", Make<TdxInplaceTimeEdit>, {time(0.25), time(0.5), time(0.75), Null(), time(0.999)}},
      {L"hyperlink", Make<TdxInplaceHyperLinkEdit>,
       {L"example.test", L"mailto:someone@example.test", L"", L"file:///c:/", L"notes"}},
      {L"currency", Make<TdxInplaceCurrencyEdit>, {L"-1234.5", L"19.99", L"0", Null(), L"1000000"}},
      {L"pick", Make<TdxInplacePickEdit>, {L"Apple", L"Apricot", L"Banana", L"", L"Cherry"}},
      {L"calculator", Make<TdxInplaceCalcEdit>, {L"3.25", L"12.5", L"-8", L"0", L"1E5"}},
  };
  constexpr int kColumnWidth = 170, kRowHeight = 130, kPerRow = 4;
  const int count = static_cast<int>(std::size(columns));
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetBounds(20, 20, kPerRow * kColumnWidth + 10, 2 * kRowHeight);
  std::vector<TFormattedCellHost*> hosts;
  for (int i = 0; i < count; ++i)
    hosts.push_back(AddHost(*form, 10 + i % kPerRow * kColumnWidth, 24 + i / kPerRow * kRowHeight,
                            columns[i].MakeEditor, columns[i].Cells));
  auto& pick = static_cast<TdxInplacePickEdit&>(*hosts[5]->Editor);
  for (const wchar_t* item : {L"Apple", L"Apricot", L"Banana", L"Cherry"}) pick.Items().Add(item);
  for (TFormattedCellHost* host : hosts) host->PrepareCells();
  form->Show();
  for (TFormattedCellHost* host : hosts) host->EditCell(1);
  Application().ProcessMessages();

  TBitmap shot;
  FillShot(shot, kPerRow * kColumnWidth + 40, 2 * kRowHeight + 180);
  CopyWindow(form->Handle(), shot.Canvas(), 10, 10);
  for (int i = 0; i < count; ++i)
    Caption(shot.Canvas(), 20 + i % kPerRow * kColumnWidth, 12 + i / kPerRow * kRowHeight, columns[i].Caption);

  // The open pop-ups, one at a time (an open one closes when another opens).
  ::SetFocus(pick.Handle());
  pick.DropDown();
  CopyWindowBeside(pick.PickList().Handle(), form->Handle(), shot.Canvas(), 10, 10);
  pick.CloseUp(false);
  auto& calc = static_cast<TdxInplaceCalcEdit&>(*hosts[6]->Editor);
  ::SetFocus(calc.Handle());
  calc.DropDown();
  if (TdxPopupCalculator* popup = calc.PopupCalculator()) {
    CopyWindowBeside(popup->Handle(), form->Handle(), shot.Canvas(), 10, 10);
    popup->HidePopup(false);
  }
  Application().ProcessMessages();
  SavePng(shot, folder, "value_editor_cells.png", "date, spin, time, pick, calculator, hyperlink and currency cells");
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "value_editor_screens", kScreenSteps, [](const std::string& folder) {
    SetClockOverride(EncodeDate(2026, 12, 11) + 0.5);
    TBitmap shot;
    FillShot(shot, 760, 440);
    DrawCalculators(shot.Canvas(), 8);
    DrawCalendars(shot.Canvas(), 184);
    SavePng(shot, folder, "value_editor_popups.png", "calculators and calendars");
    DrawCells(folder);
    SetClockOverride(std::nullopt);
  });
}
