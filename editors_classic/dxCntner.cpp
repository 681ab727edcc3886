#include "dxCntner.h"

#include "Application.h"
#include "CommonUtils.h"
#include "FlatSB.h"
#include "ResStrings.h"
#include "Streams.h"
#include "dxEditorStrings.h"

#include <algorithm>

namespace tvk {

namespace {

TdxEditStyleController* gDefaultEditStyleController = nullptr;

bool IsRectEmptyArea(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

TdxEditStyleController* DefaultEditStyleController() { return gDefaultEditStyleController; }

bool DxCntnerUnitStartup() {
  if (!gDefaultEditStyleController) gDefaultEditStyleController = new TdxEditStyleController(nullptr);
  return true;
}

void DxCntnerUnitShutdown() {
  delete gDefaultEditStyleController;
  gDefaultEditStyleController = nullptr;
  FreeShadowBrush();
}

void RemovePendingMessage(HWND wnd, UINT msg) {
  MSG m{};
  if (PeekMessageW(&m, wnd, msg, msg, PM_REMOVE) && m.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(m.wParam));
}

// --- class functions

const TdxInplaceEditClass& TdxInplaceEditClass::Instance() {
  static const TdxInplaceEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxEditViewData>();
}

void TdxInplaceEditClass::CalcBoundsInfo(TdxEditViewData& viewData, TdxEditViewInfo& viewInfo) const {
  viewInfo = TdxEditViewInfo{};
  viewInfo.ShadowSize = viewData.Shadow ? 2 : 0;
  viewInfo.Bounds = viewData.ViewBounds;
  viewInfo.ClientBounds = viewInfo.Bounds;
  InflateRect(&viewInfo.ClientBounds, -2, -2);
  viewInfo.ClientBounds.right -= viewInfo.ShadowSize;
  viewInfo.ClientBounds.bottom -= viewInfo.ShadowSize;
  static constexpr int kBorderSizes[] = {0, 1, 2, 2, 2};  // by TdxEditBorderStyle
  viewInfo.BorderSize = kBorderSizes[viewData.BorderStyle];
}

void TdxInplaceEditClass::AdjustRectByBorder(RECT& r, const TdxEditViewInfo& viewInfo, bool outward) {
  if (viewInfo.BorderSize <= 0) return;
  int d = outward ? viewInfo.BorderSize : -viewInfo.BorderSize;
  if (viewInfo.FlagLeft) r.left -= d;
  if (viewInfo.FlagTop) r.top -= d;
  if (viewInfo.FlagRight) r.right += d;
  if (viewInfo.FlagBottom) r.bottom += d;
}

void TdxInplaceEditClass::CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const {
  CalcBoundsInfo(viewData, viewInfo);
  if (autoSize) {
    RECT m{};
    GetMinRect(viewData, m);
    int height;
    if (!IsRectEmptyArea(m)) {
      int width = m.right - m.left;
      viewInfo.Bounds.right = viewInfo.Bounds.left + width + 4 + viewInfo.ShadowSize;
      viewInfo.ClientBounds.right = viewInfo.Bounds.left + width + 2;
      height = m.bottom - m.top;
    } else {
      height = GetMinHeight(viewData);
    }
    viewInfo.Bounds.bottom = viewInfo.Bounds.top + height + 4 + viewInfo.ShadowSize;
    viewInfo.ClientBounds.bottom = viewInfo.Bounds.top + height + 2;
  }
  viewInfo.FlagLeft = viewData.Edges & edgLeft;
  viewInfo.FlagTop = viewData.Edges & edgTop;
  viewInfo.FlagRight = viewData.Edges & edgRight;
  viewInfo.FlagBottom = viewData.Edges & edgBottom;
  viewInfo.BorderRect = viewInfo.ClientBounds;
  AdjustRectByBorder(viewInfo.BorderRect, viewInfo, true);
  if (viewInfo.ShadowSize > 0) {
    viewInfo.ShadowRect = viewInfo.BorderRect;
    OffsetRect(&viewInfo.ShadowRect, viewInfo.ShadowSize, viewInfo.ShadowSize);
  }
}

void TdxInplaceEditClass::Draw(HDC dc, const RECT& rect, TdxEditViewData& viewData, HRGN rgn) const {
  (void)rect;  // the cell is the view data's
  TdxEditViewInfo vi;
  CalcViewInfo(viewData, false, vi);
  DrawBorder(dc, vi, viewData);
  DrawClientArea(dc, vi.ClientBounds, viewData, false);
  if (rgn) {
    HRGN shape = GetEditRgn(vi);
    const TGdiObject<HRGN> area(shape ? shape : CreateRectRgnIndirect(&vi.BorderRect));
    CombineRgn(rgn, rgn, area, RGN_DIFF);
  }
}

void TdxInplaceEditClass::DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, TdxEditViewData& viewData) const {
  RECT r = viewInfo.BorderRect;
  UINT flags = (viewInfo.FlagLeft ? BF_LEFT : 0) | (viewInfo.FlagTop ? BF_TOP : 0) |
               (viewInfo.FlagRight ? BF_RIGHT : 0) | (viewInfo.FlagBottom ? BF_BOTTOM : 0);
  switch (viewData.BorderStyle) {
    case xbsNone: break;
    case xbsSingle:
    case xbsThick: {
      const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(viewData.BorderColor)));
      const int size = viewInfo.BorderSize;
      if (viewData.Edges == kAllEdges) {
        for (int i = 0; i < size; ++i) {
          FrameRect(dc, &r, brush);
          InflateRect(&r, -1, -1);
        }
      } else {
        int top = viewInfo.FlagTop ? r.top : r.top - size;
        RECT strip;
        if (viewInfo.FlagLeft) {
          strip = {r.left, top, r.left + size, r.bottom};
          FillRect(dc, &strip, brush);
        }
        if (viewInfo.FlagTop) {
          strip = {r.left, r.top, r.right, r.top + size};
          FillRect(dc, &strip, brush);
        }
        if (viewInfo.FlagRight) {
          strip = {r.right - size, top, r.right, r.bottom};
          FillRect(dc, &strip, brush);
        }
        if (viewInfo.FlagBottom) {
          strip = {r.left, r.bottom - size, r.right, r.bottom};
          FillRect(dc, &strip, brush);
        }
      }
      break;
    }
    case xbsFlat:
      DrawEdge(dc, &r, BDR_SUNKENOUTER, flags | BF_ADJUST);
      DrawEdge(dc, &r, BDR_SUNKENINNER, flags | BF_FLAT);
      break;
    case xbs3D: DrawEdge(dc, &r, EDGE_SUNKEN, flags); break;
  }
  if (viewData.Shadow) PaintShadowEdges(dc, viewInfo.ShadowRect, viewInfo.ShadowSize, GetShadowBrush());
}

void TdxInplaceEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const {
  (void)isControl;
  if (!viewData.CalcHeight) FillRect(dc, &rect, viewData.Brush);
}

HRGN TdxInplaceEditClass::GetEditRgn(const TdxEditViewInfo& viewInfo) const {
  if (viewInfo.ShadowSize == 0 && viewInfo.BorderSize > 1 && viewInfo.FlagLeft && viewInfo.FlagTop &&
      viewInfo.FlagRight && viewInfo.FlagBottom)
    return nullptr;
  HRGN rgn = CreateRectRgnIndirect(&viewInfo.BorderRect);  // the caller's to free
  const TGdiObject<HRGN> shadow(CreateRectRgnIndirect(&viewInfo.ShadowRect));
  CombineRgn(rgn, rgn, shadow, RGN_OR);
  return rgn;
}

TCursor TdxInplaceEditClass::GetEditCursor(int x, int y, TdxEditViewData& viewData) const {
  (void)x;
  (void)y;
  if (viewData.Cursor != crDefault) return viewData.Cursor;
  return IsEditClass() ? crDefault : crArrow;
}

int TdxInplaceEditClass::GetMinHeight(TdxEditViewData& viewData) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, viewData.Font ? viewData.Font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + (IsInplace() ? 3 : (GetSystemMetrics(SM_CYBORDER) + 1) * 2);
}

void TdxInplaceEditClass::GetMinRect(TdxEditViewData& viewData, RECT& rect) const {
  (void)viewData;
  rect = RECT{};
}

bool TdxInplaceEditClass::DoesEditorNeedActivating(const RECT& rect, TAlignment alignment, int x, int y) const {
  (void)rect;
  (void)alignment;
  (void)x;
  (void)y;
  return false;
}

// --- style controllers

TdxStyleController::~TdxStyleController() = default;

void TdxStyleController::EndUpdate() {
  --FLockUpdate;
  NotifyLinks();
}

void TdxStyleController::Loaded() {
  TComponent::Loaded();
  Update();
}

void TdxStyleController::RemoveLink(TObject* item) {
  auto it = std::find(FLinks.begin(), FLinks.end(), item);
  if (it != FLinks.end()) FLinks.erase(it);
}

void TdxStyleController::LinkStyleChanged(TObject* link) {
  if (OnStyleChanged) OnStyleChanged(this, link);
}

void TdxStyleController::NotifyLinks() {
  if (FLockUpdate > 0 || Loading()) return;
  // A link may unlink itself while told; walk a copy.
  std::vector<TObject*> links = FLinks;
  for (TObject* link : links) LinkStyleChanged(link);
}

template <class T>
void TdxEditStyleController::SetValue(T& field, T value) {
  if (field == value) return;
  field = value;
  NotifyLinks();
}

void TdxEditStyleController::SetBorderColor(TColor value) { SetValue(FBorderColor, value); }
void TdxEditStyleController::SetBorderStyle(TdxEditBorderStyle value) { SetValue(FBorderStyle, value); }
void TdxEditStyleController::SetButtonStyle(TdxEditButtonViewStyle value) { SetValue(FButtonStyle, value); }
void TdxEditStyleController::SetButtonTransparence(TdxEditButtonTransparence value) {
  SetValue(FButtonTransparence, value);
}
void TdxEditStyleController::SetEdges(TdxEditEdges value) { SetValue(FEdges, value); }
void TdxEditStyleController::SetHotTrack(bool value) { SetValue(FHotTrack, value); }
void TdxEditStyleController::SetShadow(bool value) { SetValue(FShadow, value); }

void TdxEditStyleController::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TdxEditStyleController*>(&source);
  if (!other) return TdxStyleController::Assign(source);
  BeginUpdate();
  SetBorderColor(other->BorderColor());
  SetBorderStyle(other->BorderStyle());
  SetButtonStyle(other->ButtonStyle());
  SetButtonTransparence(other->ButtonTransparence());
  SetEdges(other->Edges());
  SetHotTrack(other->HotTrack());
  SetShadow(other->Shadow());
  EndUpdate();
}

void TdxEditStyleController::RestoreDefaults() {
  BeginUpdate();
  SetBorderColor(clWindowFrameColor());
  SetBorderStyle(xbs3D);
  SetButtonStyle(btsDefault);
  SetButtonTransparence(ebtNone);
  SetEdges(kAllEdges);
  SetHotTrack(false);
  SetShadow(false);
  EndUpdate();
}

void TdxEditStyleController::LinkStyleChanged(TObject* link) {
  auto* edit = dynamic_cast<TdxInplaceEdit*>(link);
  if (edit && edit->StyleController() && edit->StyleController() != this) return;
  if (edit) edit->LayoutChanged();
  TdxStyleController::LinkStyleChanged(link);
}

// --- TdxEditStyle

TdxEditStyle::TdxEditStyle(TdxInplaceEdit* edit) : FEdit(edit) {
  if (auto* controller = DefaultEditStyleController(); controller && edit) controller->AddLink(edit);
}

TdxEditStyle::~TdxEditStyle() {
  if (auto* controller = DefaultEditStyleController()) controller->RemoveLink(FEdit);
}

const TdxEditStyleController* TdxEditStyle::Source() const {
  if (FEdit && FEdit->StyleController()) return FEdit->StyleController();
  return GetDefaultEditStyleController();
}

namespace {

// A style's inherited value: its controller's, or the fallback without one.
template <class T, class Fallback>
T FromStyleController(const TdxEditStyleController* controller, T (TdxEditStyleController::*get)() const,
                      Fallback fallback) {
  return controller ? (controller->*get)() : T(fallback);
}

}  // namespace

TColor TdxEditStyle::DefaultBorderColor() const {
  return FromStyleController(Source(), &TdxEditStyleController::BorderColor,
                             TdxEditStyleController::clWindowFrameColor());
}
TdxEditBorderStyle TdxEditStyle::DefaultBorderStyle() const {
  return FromStyleController(Source(), &TdxEditStyleController::BorderStyle, xbs3D);
}
TdxEditButtonViewStyle TdxEditStyle::DefaultButtonStyle() const {
  return FromStyleController(Source(), &TdxEditStyleController::ButtonStyle, btsDefault);
}
TdxEditButtonTransparence TdxEditStyle::DefaultButtonTransparence() const {
  return FromStyleController(Source(), &TdxEditStyleController::ButtonTransparence, ebtNone);
}
TdxEditEdges TdxEditStyle::DefaultEdges() const {
  return FromStyleController(Source(), &TdxEditStyleController::Edges, kAllEdges);
}
bool TdxEditStyle::DefaultHotTrack() const {
  return FromStyleController(Source(), &TdxEditStyleController::HotTrack, false);
}
bool TdxEditStyle::DefaultShadow() const {
  return FromStyleController(Source(), &TdxEditStyleController::Shadow, false);
}

TColor TdxEditStyle::BorderColor() const {
  return (FAssignedValues & Bit(svBorderColor)) ? FBorderColor : DefaultBorderColor();
}
TdxEditBorderStyle TdxEditStyle::BorderStyle() const {
  return (FAssignedValues & Bit(svBorderStyle)) ? FBorderStyle : DefaultBorderStyle();
}
TdxEditButtonViewStyle TdxEditStyle::ButtonStyle() const {
  return (FAssignedValues & Bit(svButtonStyle)) ? FButtonStyle : DefaultButtonStyle();
}
TdxEditButtonTransparence TdxEditStyle::ButtonTransparence() const {
  return (FAssignedValues & Bit(svButtonTransparence)) ? FButtonTransparence : DefaultButtonTransparence();
}
TdxEditEdges TdxEditStyle::Edges() const { return (FAssignedValues & Bit(svEdges)) ? FEdges : DefaultEdges(); }
bool TdxEditStyle::HotTrack() const { return (FAssignedValues & Bit(svHotTrack)) ? FHotTrack : DefaultHotTrack(); }
bool TdxEditStyle::Shadow() const { return (FAssignedValues & Bit(svShadow)) ? FShadow : DefaultShadow(); }

template <class T>
void TdxEditStyle::SetValue(T& field, T value, TdxEditStyleValue which) {
  // Setting the inherited value still marks it as set here.
  if ((FAssignedValues & Bit(which)) && field == value) return;
  field = value;
  FAssignedValues |= Bit(which);
  Changed();
}

void TdxEditStyle::SetBorderColor(TColor value) { SetValue(FBorderColor, value, svBorderColor); }
void TdxEditStyle::SetBorderStyle(TdxEditBorderStyle value) { SetValue(FBorderStyle, value, svBorderStyle); }
void TdxEditStyle::SetButtonStyle(TdxEditButtonViewStyle value) { SetValue(FButtonStyle, value, svButtonStyle); }
void TdxEditStyle::SetButtonTransparence(TdxEditButtonTransparence value) {
  SetValue(FButtonTransparence, value, svButtonTransparence);
}
void TdxEditStyle::SetEdges(TdxEditEdges value) { SetValue(FEdges, value, svEdges); }
void TdxEditStyle::SetHotTrack(bool value) { SetValue(FHotTrack, value, svHotTrack); }
void TdxEditStyle::SetShadow(bool value) { SetValue(FShadow, value, svShadow); }

void TdxEditStyle::SetAssignedValues(TdxEditStyleValues values) {
  if (values == FAssignedValues) return;
  FAssignedValues = values;
  Changed();
}

void TdxEditStyle::Changed() {
  if (FEdit) FEdit->LayoutChanged();
}

void TdxEditStyle::RestoreDefaults() {
  FAssignedValues = 0;
  Changed();
}

void TdxEditStyle::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TdxEditStyle*>(&source);
  if (!other) return TPersistent::Assign(source);
  SetBorderColor(other->BorderColor());
  SetBorderStyle(other->BorderStyle());
  SetButtonStyle(other->ButtonStyle());
  SetButtonTransparence(other->ButtonTransparence());
  SetEdges(other->Edges());
  SetHotTrack(other->HotTrack());
  SetShadow(other->Shadow());
}

// --- TdxInplaceEdit

TdxInplaceEdit::TdxInplaceEdit(TComponent* owner) : TWinControl(owner) {
  TCustomdxContainer* host = Container();
  FStyle = host ? host->CreateEditStyle(this) : std::make_unique<TdxEditStyle>(this);
  SetTabStop(false);
}

TdxInplaceEdit::~TdxInplaceEdit() {
  if (FStyleController && !FStyleController->IsDestroying()) FStyleController->RemoveLink(this);
  RemoveFreeNotifications();
}

void TdxInplaceEdit::AfterConstruction() {
  TWinControl::AfterConstruction();
  FAlignment = DefaultAlignment();
}

TCustomdxContainer* TdxInplaceEdit::Container() const {
  return IsInplace() ? dynamic_cast<TCustomdxContainer*>(Owner()) : nullptr;
}

void TdxInplaceEdit::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FStyleController) {
    FStyleController = nullptr;
    LayoutChanged();
  }
}

void TdxInplaceEdit::SetStyleController(TdxEditStyleController* controller) {
  if (controller == FStyleController) return;
  if (FStyleController) {
    if (!FStyleController->IsDestroying()) FStyleController->RemoveLink(this);
    RemoveFreeNotification(FStyleController);
  }
  FStyleController = controller;
  if (controller) {
    controller->AddLink(this);
    FreeNotification(controller);
    controller->LinkStyleChanged(this);
  } else {
    LayoutChanged();
  }
}

void TdxInplaceEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TdxInplaceEdit::Move(const RECT& loc) {
  if (IsRectEmptyArea(loc)) return;
  SetBounds(loc.left - 2, loc.top - 2, loc.right - loc.left + 4, loc.bottom - loc.top + 4);
  bool wasVisible = FVisible;
  Show();
  HWND focus = GetFocus();
  HWND own = Handle();
  if (focus != own && focus && (IsChild(own, focus) || IsChild(focus, own))) ::SetFocus(own);
  SelectAll();
  if (!wasVisible && FLockActivate == 0) ActivateEdit();
}

void TdxInplaceEdit::Show() {
  if (!IsInplace()) return TWinControl::Show();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  FVisible = true;
}

void TdxInplaceEdit::Hide() {
  if (!IsInplace()) return TWinControl::Hide();
  FVisible = false;
  if (!HandleAllocated()) return;
  if (IsWindowVisible(Handle())) InvalidateEdit();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOZORDER);
  UpdateBounds();
}

bool TdxInplaceEdit::IsVisible() const { return IsInplace() ? FVisible : Visible(); }

void TdxInplaceEdit::InvalidateEdit() {
  TCustomdxContainer* host = Container();
  if (!host || !HandleAllocated()) return;
  ValidateRect(Handle(), nullptr);
  InvalidateRect(Handle(), nullptr, TRUE);
  RECT r{};
  GetWindowRect(Handle(), &r);
  MapWindowPoints(nullptr, host->Handle(), reinterpret_cast<POINT*>(&r), 2);
  ValidateRect(host->Handle(), &r);
  InvalidateRect(host->Handle(), &r, FALSE);
}

int TdxInplaceEdit::CheckWidth(int buttonWidth) {
  int width = Width();
  TCustomdxContainer* host = Container();
  if (host && host->CheckEditButtonWidth() && width < buttonWidth + 20) width = buttonWidth + 20;
  return width;
}

void TdxInplaceEdit::Reset() { RestorePrevText(); }

void TdxInplaceEdit::InvalidateClient() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TdxInplaceEdit::UpdateEditBounds() {
  // Setting the region resizes the frame, which brings WM_SIZE back here.
  if (!HandleAllocated() || FUpdatingBounds) return;
  FUpdatingBounds = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FUpdatingBounds};
  auto vd = CreateViewData(false);
  TdxEditViewInfo vi;
  EditClass().CalcViewInfo(*vd, IsAutoSizeActive(), vi);
  SetBounds(Left(), Top(), vi.Bounds.right - vi.Bounds.left, vi.Bounds.bottom - vi.Bounds.top);
  SetWindowRgn(Handle(), EditClass().GetEditRgn(vi), TRUE);
}

void TdxInplaceEdit::RefreshStateView() {
  if (IsDestroying()) return;
  TdxEditButtonTransparence t = FStyle->ButtonTransparence();
  if (FStyle->HotTrack() || t == ebtInactive || t == ebtAlways || t == ebtHideInactive) UpdateEditBounds();
}

void TdxInplaceEdit::LockValidate() {
  if (IsInplace()) ++FLockValidate;
}

void TdxInplaceEdit::UnlockValidate() {
  if (IsInplace()) --FLockValidate;
}

bool TdxInplaceEdit::GetReadOnly() const {
  return (FStoredValues & Bit(svReadOnly)) ? FReadOnly : const_cast<TdxInplaceEdit*>(this)->DefaultReadOnly();
}

WideString EditValueText(const Variant& value) {
  if (VarIsArray(value)) return {};
  try {
    return VarToStr(value);
  } catch (const Exception&) {
    return {};
  }
}

bool IsEmptyEditValue(const Variant& value) {
  return VarIsNull(value) || VarIsEmpty(value) || (VarIsStr(value) && VarToStr(value).empty());
}

void TdxInplaceEdit::SetEditValue(const Variant& value) { SetTextValue(EditValueText(value)); }

Variant TdxInplaceEdit::GetEditValue() { return Variant(GetTextValue()); }

Variant TdxInplaceEdit::GetDisplayValue(bool isPaintCopy) {
  (void)isPaintCopy;
  return Variant(GetTextValue());
}

void TdxInplaceEdit::RefreshDefaults() {
  if (!(FStoredValues & Bit(svReadOnly))) ApplyReadOnly(InternalReadOnly());
}

bool TdxInplaceEdit::IsQuickButtonClick() { return IsInplace() && Container() && Container()->IsShowButtonAlways(); }

// The key state of the message being handled, so a key a test or a program
// queued with its modifiers reads as it was typed.
bool TdxInplaceEdit::IsCtrlOnlyDown() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

void TdxInplaceEdit::SetActive(bool value) {
  if (IsInplace() || value != FActive) {
    FPrevModified = GetEditModified();
    FPrevTextValue = GetTextValue();
  }
  if (!IsInplace() && value != FActive) FActive = value;
}

void TdxInplaceEdit::ValidateEdit() {
  if (!GetEditModified() || FLockValidate != 0) return;
  bool accept = true;
  WideString errorText = LoadResString(&sdxInvalidInput);
  if (OnValidate) OnValidate(this, errorText, accept);
  if (accept) return;
  MessageBeep(0);
  if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
  throw EdxEditInvalidInput(errorText);
}

bool TdxInplaceEdit::CanEditValue() {
  if (GetReadOnly()) return false;
  if (IsInplace()) return Container() && Container()->CanEditModify();
  return true;
}

bool TdxInplaceEdit::IsValidChar(wchar_t key) {
  if (IsInplace()) return Container() && Container()->CanEditAcceptKey(key);
  return true;
}

bool TdxInplaceEdit::IsEditingKey(WORD key, TShiftState shift) {
  return key == VK_BACK || key == VK_DELETE || (key == VK_INSERT && (shift & ssShift)) ||
         ((shift & ssCtrl) && (key == 'V' || key == 'X'));
}

void TdxInplaceEdit::GoToNeighbourCell(bool left) {
  if (IsInplace() && Container()) Container()->MoveToNeighbourCell(left);
}

void TdxInplaceEdit::RestorePrevText() {
  if (GetEditModified() && IsResetTextClass()) {
    SetTextValue(FPrevTextValue);
    SetEditModified(FPrevModified);
  }
}

void TdxInplaceEdit::ApplyAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceEdit::LayoutChanged() {
  UpdateEditBounds();
  InvalidateClient();
}

void TdxInplaceEdit::RestoreDefaults() {
  FStoredValues = 0;
  ApplyAlignment(DefaultAlignment());
  ApplyReadOnly(InternalReadOnly());
}

void TdxInplaceEdit::SetEditingText(const WideString& value) {
  if (CanEditValue()) SetTextValue(value);
  SetEditModified(true);
}

void TdxInplaceEdit::SetAlignment(TAlignment value) {
  FStoredValues |= Bit(svAlignment);
  ApplyAlignment(value);
}

void TdxInplaceEdit::SetReadOnly(bool value) {
  FStoredValues |= Bit(svReadOnly);
  ApplyReadOnly(value);
}

void TdxInplaceEdit::SetOffsetSize(const RECT& value) {
  if (EqualRect(&value, &FOffsetSize)) return;
  FOffsetSize = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceEdit::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  LayoutChanged();
}

std::unique_ptr<TdxEditViewData> TdxInplaceEdit::CreateViewData(bool isPaintCopy) {
  auto vd = EditClass().CreateViewDataObject();
  vd->Enabled = Enabled();
  vd->Focused = IsFocused();
  vd->Selected = IsSelected();
  vd->BorderColor = FStyle->BorderColor();
  vd->BorderStyle = FStyle->BorderStyle();
  if (vd->Selected && FStyle->HotTrack()) {
    switch (vd->BorderStyle) {
      case xbsNone: vd->BorderStyle = xbsFlat; break;
      case xbsSingle: vd->BorderColor = kHotSingleBorderColor; break;
      case xbsFlat: vd->BorderStyle = xbs3D; break;
      default: break;
    }
  }
  vd->ButtonStyle = FStyle->ButtonStyle();
  if (vd->ButtonStyle == btsDefault) {
    static constexpr TdxEditButtonViewStyle kByBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D};
    vd->ButtonStyle = kByBorder[vd->BorderStyle];
  }
  TdxEditButtonTransparence t = FStyle->ButtonTransparence();
  vd->ButtonTransparence = t == ebtAlways || (t == ebtInactive && !vd->Selected);
  vd->Edges = FStyle->Edges();
  vd->Shadow = FStyle->Shadow();
  vd->Transparent = FTransparent && !vd->Focused;
  vd->ViewBounds = RECT{0, 0, Width(), Height()};
  vd->OffsetSize = FOffsetSize;
  vd->DrawAlignment = daSingleLine;
  vd->Font = Font().Handle();
  if (vd->Enabled) {
    vd->Brush = Brush().Handle();  // the fill matches the text background
    vd->BkColor = ColorToRGB(Color());
    vd->TextColor = ColorToRGB(Font().Color());
  } else {
    vd->Brush = GetSysColorBrush(COLOR_BTNFACE);
    vd->BkColor = GetSysColor(COLOR_BTNFACE);
    vd->TextColor = GetSysColor(COLOR_BTNSHADOW);
  }
  vd->Alignment = FAlignment;
  vd->IsEditClass = IsEditClass();
  vd->DataLength = 0;
  vd->Data = GetDisplayValue(isPaintCopy);
  vd->Cursor = Cursor();
  return vd;
}

// Filer properties: "Height" (unless auto-sized) and "StoredValues" (bit n: value n).
void TdxInplaceEdit::DefineProperties(TFiler& filer) {
  TWinControl::DefineProperties(filer);
  filer.DefineBinaryProperty(
      L"Height",
      [this](TStream& s) {
        std::int32_t h = 0;
        s.ReadBuffer(&h, sizeof h);
        SetHeight(h);
      },
      [this](TStream& s) {
        std::int32_t h = Height();
        s.WriteBuffer(&h, sizeof h);
      },
      !IsAutoSizeActive());
  filer.DefineBinaryProperty(
      L"StoredValues",
      [this](TStream& s) {
        std::int32_t v = 0;
        s.ReadBuffer(&v, sizeof v);
        FStoredValues = static_cast<TdxEditStoredValues>(v) & 0x1FF;
      },
      [this](TStream& s) {
        std::int32_t v = static_cast<std::int32_t>(FStoredValues);
        s.WriteBuffer(&v, sizeof v);
      },
      FStoredValues != 0);
}

// Keys

void TdxInplaceEdit::DoInplaceEditKeyDown(WORD& key, TShiftState shift) {
  if (IsInplace() && Container()) Container()->InplaceEditKeyDown(key, shift);
}

void TdxInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomdxContainer* host = Container();
  if (!IsInplace() || !host) {
    if (IsEditingKey(key, shift) && CanModify() && !CanEditValue()) key = 0;
    if (key == VK_RETURN && IsEnterValidate()) ValidateEdit();
    if (key && OnKeyDown) OnKeyDown(this, key, shift);
    return;
  }
  if (key == VK_ESCAPE) Reset();
  switch (key) {
    case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN:
    case VK_INSERT:
      ValidateEdit();  // an error stops the key here
      break;
    default: break;
  }
  LockValidate();
  struct TUnlock {
    TdxInplaceEdit* Edit;
    ~TUnlock() { Edit->UnlockValidate(); }
  } unlock{this};
  const bool plain = (shift & (ssShift | ssCtrl | ssAlt)) == 0;
  switch (key) {
    case VK_TAB:
      if (!(shift & ssAlt)) {
        host->KeyDown(key, shift);
        key = 0;
      }
      break;
    case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN:
      host->KeyDown(key, shift);
      key = 0;
      break;
    case VK_INSERT:
      if (plain) {
        host->KeyDown(key, shift);
        key = 0;
      } else if ((shift & ssShift) && !host->CanEditModify()) {
        key = 0;
      }
      break;
    case VK_F2:
      DoInplaceEditKeyDown(key, shift);
      if (key == VK_F2) {
        Deselect();
        return;
      }
      break;
    default: break;
  }
  if (key == VK_DELETE && !host->CanEditModify()) key = 0;
  if (key != 0) {
    DoInplaceEditKeyDown(key, shift);
    if (IsEditingKey(key, shift) && CanModify() && !CanEditValue()) key = 0;
    if (key && OnKeyDown) OnKeyDown(this, key, shift);
  }
}

void TdxInplaceEdit::KeyPress(wchar_t& key) {
  TCustomdxContainer* host = Container();
  if (host) host->KeyPress(key);
  // Every printable character is checked, also those above #255: a host that
  // refuses edits refuses them all.
  if (key >= 32 && !IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
  }
  if (IsInplace() && key == L'\t' && !WantTabs()) key = 0;
  if ((key == L'\t' || key >= 32) && IsEditClass() && !CanEditValue()) key = 0;
  if (key == 27) key = 0;
}

void TdxInplaceEdit::KeyUp(WORD& key, TShiftState shift) {
  if (IsInplace() && Container()) Container()->KeyUp(key, shift);
}

void TdxInplaceEdit::WndProc(TMessage& message) {
  TCustomdxContainer* host = Container();
  if (IsInplace() && host) {
    switch (message.Msg) {
      case WM_KEYDOWN: case WM_CHAR: case WM_SYSKEYDOWN:
        if (host->IsEditorKeyBlocked()) return;
        break;
      case WM_SETFOCUS: {
        // The class library (and the window's own procedure) hears of the
        // focus only when the form lets the host be its focused control; the
        // host and the editor always do.
        TCustomForm* form = GetParentForm(this);
        if (!form || form->SetFocusedControl(host) || (host->ControlState() & csFocusing))
          DispatchByNumber(message);
        host->InplaceEditFocusChanged();
        DoSetFocus();
        message.Result = 0;
        return;
      }
      case WM_LBUTTONDOWN:
        if (host->IsImmediateEditor(-1) &&
            static_cast<UINT>(GetMessageTime() - FClickTime) < GetDoubleClickTime())
          message.Msg = WM_LBUTTONDBLCLK;
        FClickTime = 0;
        break;
      case WM_MOUSEWHEEL:
        if (IsMouseWheelHandled()) break;
        host->Perform(CM_CANCELMODE, 0, 0);
        SendMessageW(host->Handle(), WM_MOUSEWHEEL, message.WParam, message.LParam);
        // The system's default would hand the wheel to the host a second time.
        message.Result = 0;
        return;
      default: break;
    }
  }
  TWinControl::WndProc(message);
}

TVK_MESSAGE_MAP(TdxInplaceEdit, {WM_KEYDOWN, &TdxInplaceEdit::WMKeyDown}, {WM_SYSKEYDOWN, &TdxInplaceEdit::WMKeyDown},
                {WM_CHAR, &TdxInplaceEdit::WMChar}, {WM_KEYUP, &TdxInplaceEdit::WMKeyUp},
                {WM_GETDLGCODE, &TdxInplaceEdit::WMGetDlgCode}, {WM_PAINT, &TdxInplaceEdit::WMPaint},
                {WM_ERASEBKGND, &TdxInplaceEdit::WMEraseBkgnd}, {WM_NCCALCSIZE, &TdxInplaceEdit::WMNCCalcSize},
                {WM_NCPAINT, &TdxInplaceEdit::WMNCPaint}, {WM_KILLFOCUS, &TdxInplaceEdit::WMKillFocus},
                {WM_SIZE, &TdxInplaceEdit::WMSize}, {WM_SETCURSOR, &TdxInplaceEdit::WMSetCursor},
                {WM_CUT, &TdxInplaceEdit::WMClipboard},
                {WM_PASTE, &TdxInplaceEdit::WMClipboard}, {WM_CLEAR, &TdxInplaceEdit::WMClipboard},
                {CM_ENTER, &TdxInplaceEdit::CMEnter}, {CM_EXIT, &TdxInplaceEdit::CMExit},
                {CM_MOUSEENTER, &TdxInplaceEdit::CMMouseEnter}, {CM_MOUSELEAVE, &TdxInplaceEdit::CMMouseLeave},
                {CM_SHOWINGCHANGED, &TdxInplaceEdit::CMShowingChanged},
                {CM_ENABLEDCHANGED, &TdxInplaceEdit::CMEnabledChanged})

void TdxInplaceEdit::WMKeyDown(TMessage& message) {
  WORD key = static_cast<WORD>(message.WParam);
  if (IsInplace() && message.Msg == WM_KEYDOWN && (key == VK_RETURN || (key == VK_TAB && !WantTabs())))
    RemovePendingMessage(Handle(), WM_CHAR);
  KeyDown(key, KeyboardShiftState(message.LParam));
  message.WParam = key;
  if (key == 0) {
    message.Result = 0;
    return;
  }
  DefaultHandler(message);
}

void TdxInplaceEdit::WMChar(TMessage& message) {
  wchar_t key = static_cast<wchar_t>(message.WParam);
  KeyPress(key);
  message.WParam = key;
  if (key == 0) {
    message.Result = 0;
    return;
  }
  DefaultHandler(message);
}

void TdxInplaceEdit::WMKeyUp(TMessage& message) {
  WORD key = static_cast<WORD>(message.WParam);
  KeyUp(key, KeyboardShiftState(message.LParam));
  message.WParam = key;
  if (key) DefaultHandler(message);
}

void TdxInplaceEdit::WMGetDlgCode(TMessage& message) {
  DefaultHandler(message);
  message.Result |= DLGC_WANTCHARS;
  if (IsInplace()) message.Result |= DLGC_WANTALLKEYS;
  if (Container() && Container()->InplaceEditWantTabs())
    message.Result |= DLGC_WANTTAB;
  else
    message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
}

void TdxInplaceEdit::WMPaint(TMessage& message) {
  const bool paintCopy = (ControlState() & csPaintCopy) != 0;
  if (IsEditClass() && !paintCopy && !(ComponentState() & csDesigning)) {
    // A live text window paints itself; a custom drawing may cover it.
    bool done = false;
    if (OnCustomDraw) {
      auto vd = CreateViewData(false);
      HDC dc = GetDC(Handle());
      RECT r = ClientRect();
      OnCustomDraw(this, dc, r, *vd, true, done);
      ReleaseDC(Handle(), dc);
    }
    if (done) {
      ValidateRect(Handle(), nullptr);
      message.Result = 0;
      return;
    }
    DefaultHandler(message);
    return;
  }
  auto vd = CreateViewData(true);
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  const bool began = dc == nullptr;
  if (began) dc = BeginPaint(Handle(), &ps);
  if (paintCopy) {
    EditClass().Draw(dc, vd->ViewBounds, *vd, nullptr);
  } else {
    RECT r = ClientRect();
    if (r.right > r.left) {
      bool done = false;
      if (OnCustomDraw) OnCustomDraw(this, dc, r, *vd, true, done);
      if (!done) EditClass().DrawClientArea(dc, r, *vd, true);
    }
  }
  if (began) EndPaint(Handle(), &ps);
  message.Result = 0;
}

void TdxInplaceEdit::WMEraseBkgnd(TMessage& message) {
  if (IsEditClass())
    DefaultHandler(message);
  else
    message.Result = 1;
}

void TdxInplaceEdit::WMNCCalcSize(TMessage& message) {
  DefaultHandler(message);
  auto vd = CreateViewData(false);
  TdxEditViewInfo vi;
  EditClass().CalcViewInfo(*vd, false, vi);
  RECT& r = *reinterpret_cast<RECT*>(message.LParam);
  r.left += vi.ClientBounds.left - vi.Bounds.left;
  r.top += vi.ClientBounds.top - vi.Bounds.top;
  r.right -= vi.Bounds.right - vi.ClientBounds.right;
  r.bottom -= vi.Bounds.bottom - vi.ClientBounds.bottom;
  if (r.left >= r.right) r.right = r.left;
}

void TdxInplaceEdit::WMNCPaint(TMessage& message) {
  DefaultHandler(message);
  auto vd = CreateViewData(false);
  TdxEditViewInfo vi;
  EditClass().CalcViewInfo(*vd, false, vi);
  HDC dc = GetWindowDC(Handle());
  EditClass().DrawBorder(dc, vi, *vd);
  LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    RECT r = vi.BorderRect;
    InflateRect(&r, -vi.BorderSize, -vi.BorderSize);
    RECT corner{r.right - GetSystemMetrics(SM_CXVSCROLL), r.bottom - GetSystemMetrics(SM_CYHSCROLL), r.right,
                r.bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  ReleaseDC(Handle(), dc);
}

void TdxInplaceEdit::DoSetFocus() {
  RefreshStateView();
  if (NeedsFocusRedraw()) InvalidateClient();
}

void TdxInplaceEdit::DoKillFocus(TMessage& message) {
  RefreshStateView();
  if (NeedsFocusRedraw()) InvalidateClient();
  TCustomdxContainer* host = Container();
  if (IsInplace() && host && reinterpret_cast<HWND>(message.WParam) != host->Handle())
    host->InplaceEditFocusChanged();
}

void TdxInplaceEdit::WMKillFocus(TMessage& message) {
  DoKillFocus(message);
  if (TCustomdxContainer* host = Container()) host->InplaceEditKillFocus(reinterpret_cast<HWND>(message.WParam));
  TVK_INHERITED(message);
}

void TdxInplaceEdit::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  UpdateEditBounds();
}

void TdxInplaceEdit::WMSetCursor(TMessage& message) {
  if (LOWORD(message.LParam) == HTCLIENT && reinterpret_cast<HWND>(message.WParam) == Handle()) {
    POINT p{};
    GetCursorPos(&p);
    auto vd = CreateViewData(false);
    const TCursor cursor = EditClass().GetEditCursor(p.x, p.y, *vd);
    if (cursor != crDefault) {
      ::SetCursor(Screen().Cursors(cursor));
      message.Result = 1;
      return;
    }
  }
  TVK_INHERITED(message);
}

void TdxInplaceEdit::WMClipboard(TMessage& message) {
  if (CanEditValue()) DefaultHandler(message);
}

void TdxInplaceEdit::CMEnter(TMessage& message) {
  SetActive(true);
  TVK_INHERITED(message);
}

void TdxInplaceEdit::CMExit(TMessage& message) {
  ValidateEdit();  // an error keeps the focus here
  SetActive(false);
  TVK_INHERITED(message);
}

void TdxInplaceEdit::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  SetSelected(true);
  RefreshStateView();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TdxInplaceEdit::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  SetSelected(false);
  RefreshStateView();
  if (OnMouseLeave) OnMouseLeave(this);
}

void TdxInplaceEdit::CMShowingChanged(TMessage& message) {
  if (!IsInplace()) TVK_INHERITED(message);  // in place, Show and Hide govern the window
}

void TdxInplaceEdit::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  LayoutChanged();
}

// --- TCustomdxContainer

std::unique_ptr<TdxEditStyle> TCustomdxContainer::CreateEditStyle(TdxInplaceEdit* edit) {
  return std::make_unique<TdxEditStyle>(edit);
}

void TCustomdxContainer::ScrollByLines(bool up, int count) {
  for (int i = 0; i < count; ++i) SendMessageW(Handle(), WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0);
}

void TCustomdxContainer::InplaceEditKeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TCustomdxContainer::CreateWnd() {
  TCustomControl::CreateWnd();
  const TFlatScrollBarApi& api = FlatScrollBars();
  // Flat bars are drawn left to right only.
  if (!GetSystemMetrics(SM_MIDEASTENABLED)) api.InitializeFlatSB(Handle());
  static constexpr INT_PTR kModes[] = {FSB_REGULAR_MODE, FSB_ENCARTA_MODE, FSB_FLAT_MODE};  // by TScrollBarStyle
  const INT_PTR mode = kModes[static_cast<int>(FScrollBarStyle)];
  api.FlatSB_SetScrollProp(Handle(), WSB_PROP_VSTYLE, mode, TRUE);
  api.FlatSB_SetScrollProp(Handle(), WSB_PROP_HSTYLE, mode, TRUE);
}

void TCustomdxContainer::GetFlatScrollInfo(int barFlag, SCROLLINFO& scrollInfo) {
  FlatScrollBars().FlatSB_GetScrollInfo(Handle(), barFlag, &scrollInfo);
}

int TCustomdxContainer::SetFlatScrollInfo(int barFlag, const SCROLLINFO& scrollInfo, bool redraw) {
  SCROLLINFO info = scrollInfo;
  return FlatScrollBars().FlatSB_SetScrollInfo(Handle(), barFlag, &info, redraw ? TRUE : FALSE);
}

void TCustomdxContainer::SetScrollBarStyle(TScrollBarStyle value) {
  if (value == FScrollBarStyle) return;
  FScrollBarStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

TVK_MESSAGE_MAP(TCustomdxContainer, {WM_MOUSEWHEEL, &TCustomdxContainer::WMMouseWheel})

void TCustomdxContainer::WMMouseWheel(TMessage& message) {
  // The library has no wheel events of its own; the system's default would hand the wheel on to the parent.
  const short delta = static_cast<short>(HIWORD(message.WParam));
  ScrollByLines(delta > 0, Mouse().WheelScrollLines());
  message.Result = 0;
}

// --- pop-up frames

int PopupBorderWidth(TdxPopupBorderStyle borderStyle) {
  static constexpr int kWidths[] = {0, 1, 4, 2};  // by TdxPopupBorderStyle
  return kWidths[borderStyle];
}

void DrawPopupFrame(HDC dc, RECT& r, TdxPopupBorderStyle borderStyle, int shadowSize, bool shadow,
                    bool scrollCorner) {
  RECT shadowRect{};
  if (shadow) {
    r.right -= shadowSize;
    r.bottom -= shadowSize;
    shadowRect = r;
    OffsetRect(&shadowRect, shadowSize, shadowSize);
  }
  switch (borderStyle) {
    case pbSingle: DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_MONO); break;
    case pbFrame3D:
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
      DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
      DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      break;
    case pbFlat: DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST); break;
    case pbDefault: break;
  }
  if (shadow) PaintShadowEdges(dc, shadowRect, shadowSize, GetShadowBrush());
  if (scrollCorner) {
    RECT corner{r.right - GetSystemMetrics(SM_CXVSCROLL), r.bottom - GetSystemMetrics(SM_CYHSCROLL), r.right,
                r.bottom};
    if (shadow) OffsetRect(&corner, -shadowSize, -shadowSize);
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void DrawPopupWindowFrame(HWND wnd, TdxPopupBorderStyle borderStyle, bool scrollCorner, int shadowSize, bool shadow) {
  RECT r{};
  GetWindowRect(wnd, &r);
  OffsetRect(&r, -r.left, -r.top);
  HDC dc = GetWindowDC(wnd);
  DrawPopupFrame(dc, r, borderStyle, shadowSize, shadow, scrollCorner);
  ReleaseDC(wnd, dc);
}

void SetPopupShadowRegion(HWND wnd, bool shadow, int shadowSize) {
  HRGN rgn = nullptr;
  if (shadow) {
    RECT r{};
    GetWindowRect(wnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    r.right -= shadowSize;
    r.bottom -= shadowSize;
    rgn = CreateRectRgnIndirect(&r);
    OffsetRect(&r, shadowSize, shadowSize);
    HRGN moved = CreateRectRgnIndirect(&r);
    CombineRgn(rgn, rgn, moved, RGN_OR);
    DeleteObject(moved);
  }
  SetWindowRgn(wnd, rgn, TRUE);
}

// --- application state

namespace {

std::optional<bool> gApplicationActiveOverride;

}  // namespace

void SetApplicationActiveOverride(std::optional<bool> active) { gApplicationActiveOverride = active; }

bool ApplicationActive() {
  if (gApplicationActiveOverride) return *gApplicationActiveOverride;
  DWORD process = 0;
  HWND foreground = GetForegroundWindow();
  return foreground && GetWindowThreadProcessId(foreground, &process) && process == GetCurrentProcessId();
}

// --- TdxContainerHintWindow

TdxContainerHintWindow::TdxContainerHintWindow(TComponent* owner) : TCustomControl(owner) {
  SetColor(kSystemColor | COLOR_INFOBK);
  SetVisible(false);
}

void TdxContainerHintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP;
  params.WindowClassStyle |= CS_SAVEBITS;
  params.ExStyle = WS_EX_TOOLWINDOW;
}

TVK_MESSAGE_MAP(TdxContainerHintWindow, {WM_NCHITTEST, &TdxContainerHintWindow::WMNCHitTest})

void TdxContainerHintWindow::WMNCHitTest(TMessage& message) { message.Result = HTTRANSPARENT; }

void TdxContainerHintWindow::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  HBRUSH back = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &r, back);
  DeleteObject(back);
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(&r, -1, -1);
  r.left += 2;
  r.top += 2;
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, Canvas().Font().Handle());
  SetTextColor(dc, ColorToRGB(Canvas().Font().Color()));
  DrawTextW(dc, Text().c_str(), static_cast<int>(Text().size()), &r, DT_NOPREFIX | DT_NOCLIP | DT_WORDBREAK);
  SelectObject(dc, old);
}

void TdxContainerHintWindow::ActivateHint(POINT p, const WideString& hint, TFont& font) {
  ActivateHintEx(p, GetSystemMetrics(SM_CXSCREEN), hint, font, false);
}

void TdxContainerHintWindow::ActivateHintEx(POINT p, int width, const WideString& hint, TFont& font,
                                            bool copySize) {
  SetText(hint);
  TFont& f = Canvas().Font();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    f.SetHeight(metrics.lfStatusFont.lfHeight);
  else
    f.SetSize(8);
  f.SetColor(kSystemColor | COLOR_INFOTEXT);
  f.SetName(font.Name());
  f.SetCharset(font.Charset());
  if (copySize) f.SetSize(font.Size());
  if (width <= 0) width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  RECT r{0, 0, width, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f.Handle());
  DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &r, DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int w = r.right + 6, h = r.bottom + 6;
  SetBounds(Left(), Top(), w, h);
  r = RECT{p.x, p.y, p.x + w, p.y + h};
  MONITORINFO info{};
  MonitorInfoAtPoint(p, info);  // all zero when no monitor answers: the hint ends at the origin
  const RECT& m = info.rcMonitor;
  if (r.top + h > m.bottom) r.top = m.bottom - h;
  if (r.left + w > m.right) r.left = m.right - w;
  if (r.left < m.left) r.left = m.left;
  if (r.top < m.top) r.top = m.top;
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  UpdateBounds();
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TdxContainerHintWindow::HideHint() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
}

// --- TdxInplacePopupControl

HWND TdxInplacePopupControl::OwnerFormWindow() {
  TCustomForm* form = OwnerControl ? GetParentForm(OwnerControl) : nullptr;
  return form ? form->Handle() : nullptr;
}

void TdxInplacePopupControl::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (!FIsPopupControl) return;
  // A drop-down is a window of its own over the owner's form, so that it may
  // reach beyond it.
  params.Style = (params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP | WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_TOOLWINDOW;
  params.WndParent = OwnerFormWindow();
}

void TdxInplacePopupControl::SetPopupBorderStyle(TdxPopupBorderStyle value) {
  if (value == FPopupBorderStyle) return;
  FPopupBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplacePopupControl::SetShadow(bool value) {
  if (value == FShadow) return;
  FShadow = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplacePopupControl::SetShadowSize(int value) {
  value = std::max(value, 1);
  if (value == FShadowSize) return;
  FShadowSize = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplacePopupControl::ShowPopup() {
  ShowWindow(Handle(), SW_SHOW);
  if (HWND form = OwnerFormWindow()) SendMessageW(form, WM_NCACTIVATE, 1, 0);
}

void TdxInplacePopupControl::HidePopup(bool byMouse) {
  (void)byMouse;
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (ApplicationActive() && OwnerControl && OwnerControl->HandleAllocated()) ::SetFocus(OwnerControl->Handle());
  }
  if (OwnerControl && OwnerControl->HandleAllocated()) PostMessageW(OwnerControl->Handle(), WM_POPUPCLOSED, 0, 0);
}

TVK_MESSAGE_MAP(TdxInplacePopupControl, {WM_ACTIVATE, &TdxInplacePopupControl::WMActivate},
                {WM_KILLFOCUS, &TdxInplacePopupControl::WMKillFocus},
                {WM_MOUSEACTIVATE, &TdxInplacePopupControl::WMMouseActivate},
                {WM_NCCALCSIZE, &TdxInplacePopupControl::WMNCCalcSize},
                {WM_NCPAINT, &TdxInplacePopupControl::WMNCPaint}, {WM_SIZE, &TdxInplacePopupControl::WMSize})

void TdxInplacePopupControl::WMActivate(TMessage& message) {
  DefaultHandler(message);
  HWND form = OwnerFormWindow();
  if (FIsPopupControl && LOWORD(message.WParam) == WA_INACTIVE && form &&
      reinterpret_cast<HWND>(message.LParam) != form)
    SendMessageW(form, WM_NCACTIVATE, 0, 0);
}

void TdxInplacePopupControl::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (!FIsPopupControl) return;
  HidePopup(false);
  if (OwnerControl) OwnerControl->DoKillFocus(message);
}

void TdxInplacePopupControl::WMMouseActivate(TMessage& message) {
  if (FIsPopupControl)
    message.Result = MA_NOACTIVATE;
  else
    TVK_INHERITED(message);
}

void TdxInplacePopupControl::WMNCCalcSize(TMessage& message) {
  DefaultHandler(message);
  if (!FIsPopupControl) return;
  RECT& r = *reinterpret_cast<RECT*>(message.LParam);
  const int border = PopupBorderWidth(FPopupBorderStyle);
  InflateRect(&r, -border, -border);
  if (FShadow) {
    r.right -= FShadowSize;
    r.bottom -= FShadowSize;
  }
}

void TdxInplacePopupControl::WMNCPaint(TMessage& message) {
  DefaultHandler(message);
  if (!FIsPopupControl || !FDrawNC) return;
  LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  DrawPopupWindowFrame(Handle(), FPopupBorderStyle, (style & WS_HSCROLL) && (style & WS_VSCROLL), FShadowSize,
                       FShadow);
}

void TdxInplacePopupControl::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  if (FIsPopupControl) SetPopupShadowRegion(Handle(), FShadow, FShadowSize);
}

}  // namespace tvk
