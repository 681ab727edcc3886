#pragma once
// Shared helpers of the drop-down, check, image and memo editor tests.
#include "inplace/InplaceTest.h"
#include "support/WindowErrors.h"

#include "Application.h"

namespace exeditors_test {

// Runs the messages posted so far.
inline void PumpMessages() {
  MSG m{};
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

// What a control answers before its hint shows (non-zero: no hint).
inline LRESULT HintShowAnswer(tvk::TControl& control) {
  tvk::THintInfo info;
  info.HintControl = &control;
  return control.Perform(tvk::CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
}

// A view data of EditClass for a cell of Bounds with the usual colours.
inline std::unique_ptr<tvk::TdxEditViewData> CellViewData(const tvk::TdxInplaceEditClass& editClass, RECT bounds,
                                                          tvk::TdxEditButtonViewStyle buttonStyle,
                                                          tvk::TdxEditBorderStyle border = tvk::xbsNone) {
  auto vd = editClass.CreateViewDataObject();
  vd->Enabled = true;
  vd->BorderStyle = border;
  vd->BorderColor = tvk::clBlack;
  vd->ButtonStyle = buttonStyle;
  vd->Edges = tvk::kAllEdges;
  vd->ViewBounds = bounds;
  vd->Brush = GetSysColorBrush(COLOR_WINDOW);
  vd->BkColor = GetSysColor(COLOR_WINDOW);
  vd->TextColor = GetSysColor(COLOR_WINDOWTEXT);
  vd->Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return vd;
}

}  // namespace exeditors_test
