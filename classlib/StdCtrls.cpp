#include "StdCtrls.h"

namespace tvk {

UINT AlignmentTextFlags(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  FWidth = 65;
  FHeight = 17;
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (value) SetControlStyle(ControlStyle() & ~csOpaque);
  else SetControlStyle(ControlStyle() | csOpaque);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (control == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

WideString TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(RECT& rect, UINT flags) {
  WideString text = GetLabelText();
  // An empty text (or a lone accelerator mark) still measures one line.
  if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == L"&"))) text += L" ";
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  if (!Enabled()) {
    OffsetRect(&rect, 1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(rect, text, flags);
    OffsetRect(&rect, -1, -1);
    canvas.Font().SetColor(clBtnShadow);
    canvas.DrawText(rect, text, flags);
  } else {
    canvas.DrawText(rect, text, flags);
  }
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  if (!FTransparent) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  RECT rect = ClientRect();
  UINT style = DT_EXPANDTABS | WordWrapTextFlags(FWordWrap) | AlignmentTextFlags(FAlignment);
  if (FLayout != TTextLayout::tlTop) {
    RECT calc = rect;
    DoDrawText(calc, style | DT_CALCRECT);
    int dy = FLayout == TTextLayout::tlBottom ? Height() - calc.bottom : (Height() - calc.bottom) / 2;
    OffsetRect(&rect, 0, dy);
  }
  DoDrawText(rect, style);
}

void TCustomLabel::AdjustBounds() {
  if ((ComponentState() & csReading) || !FAutoSize) return;
  RECT rect = ClientRect();
  {
    TScreenCanvas screen(&Canvas());
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | WordWrapTextFlags(FWordWrap));
  }
  SetAutoSizeBounds(rect.right, rect.bottom);
}

void TCustomLabel::SetAutoSizeBounds(int width, int height) {
  switch (Align()) {
    case TAlign::alTop:
    case TAlign::alBottom: width = Width(); break;
    case TAlign::alLeft:
    case TAlign::alRight: height = Height(); break;
    case TAlign::alClient:
    case TAlign::alCustom:
      width = Width();
      height = Height();
      break;
    case TAlign::alNone: break;
  }
  int x = Left();
  // A right-aligned label keeps its right edge.
  if (FAlignment == TAlignment::taRightJustify) x += Width() - width;
  SetBounds(x, Top(), width, height);
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage&) {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMDialogChar(TMessage& message) {
  if (!FFocusControl || !Enabled() || !FShowAccelChar) return;
  WideString text = Caption();
  auto pos = text.find(L'&');
  while (pos != WideString::npos && pos + 1 < text.size() && text[pos + 1] == L'&') pos = text.find(L'&', pos + 2);
  if (pos == WideString::npos || pos + 1 >= text.size()) return;
  if (CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(text[pos + 1]))) ==
      CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(WORD(message.WParam)))) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    message.Result = 1;
  }
}

TVK_MESSAGE_MAP(TCustomLabel, {CM_TEXTCHANGED, &TCustomLabel::CMTextChanged},
                {CM_FONTCHANGED, &TCustomLabel::CMFontChanged}, {CM_DIALOGCHAR, &TCustomLabel::CMDialogChar})

TOwnerDrawState OwnerDrawStateOf(UINT itemState) {
  static constexpr std::pair<UINT, TOwnerDrawStateFlag> kMap[] = {
      {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},       {ODS_DISABLED, odDisabled},
      {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},       {ODS_DEFAULT, odDefault},
      {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},   {ODS_NOACCEL, odNoAccel},
      {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
  TOwnerDrawState state = 0;
  for (const auto& [system, flag] : kMap)
    if (itemState & system) state |= flag;
  return state;
}

}  // namespace tvk
