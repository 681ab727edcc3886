#include "ExtCtrls.h"

#include "Forms.h"

#include <algorithm>

namespace tvk {

namespace {

bool Sideways(TAlign align) { return align == TAlign::alLeft || align == TAlign::alRight; }

// The halftone brush of the drag line.
HBRUSH CreateHalftoneBrush() {
  WORD pattern[8];
  for (int i = 0; i < 8; ++i) pattern[i] = WORD(0x5555 << (i & 1));
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, pattern);
  HBRUSH brush = CreatePatternBrush(bits);
  DeleteObject(bits);
  return brush;
}

}  // namespace

// ---- TSplitterDrag

void TSplitterDrag::Begin(TControl& control, bool pattern, TKeyEvent onKey) {
  End();
  if (!control.Parent()) return;
  FWindow = control.Parent()->Handle();
  FDC = GetDCEx(FWindow, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
  if (pattern) {
    FBrush = CreateHalftoneBrush();
    FPrevBrush = SelectObject(FDC, FBrush);
  }
  if (TCustomForm* form = GetParentForm(&control); form && form->ActiveControl()) {
    FActiveControl = form->ActiveControl();
    FOldKeyDown = std::exchange(FActiveControl->OnKeyDown, std::move(onKey));
  }
}

void TSplitterDrag::Invert(const RECT& rect) {
  if (FDC) PatBlt(FDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATINVERT);
}

void TSplitterDrag::End() {
  if (FDC) {
    if (FPrevBrush) SelectObject(FDC, FPrevBrush);
    ReleaseDC(FWindow, FDC);
  }
  FDC = nullptr;
  FPrevBrush = nullptr;
  if (FBrush) DeleteObject(FBrush);
  FBrush = nullptr;
  if (FActiveControl) {
    FActiveControl->OnKeyDown = std::move(FOldKeyDown);
    FOldKeyDown = nullptr;
    FActiveControl = nullptr;
  }
}

void TSplitterDrag::PassKey(TObject* sender, WORD& key, TShiftState shift) {
  if (FOldKeyDown) FOldKeyDown(sender, key, shift);
}

// ---- TSplitter

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
  SetAlign(TAlign::alLeft);
  FWidth = 3;
  FHeight = 100;
  SetCursor(crHSplit);
}

TSplitter::~TSplitter() = default;

void TSplitter::SetBeveled(bool value) {
  if (value == FBeveled) return;
  FBeveled = value;
  Invalidate();
}

void TSplitter::RequestAlign() {
  SetCursor(Sideways(Align()) ? crHSplit : crVSplit);
}

TControl* TSplitter::FindResizeControl() {
  if (!Parent()) return nullptr;
  POINT p{Left(), Top()};
  switch (Align()) {
    case TAlign::alLeft: --p.x; break;
    case TAlign::alRight: p.x += Width(); break;
    case TAlign::alTop: --p.y; break;
    case TAlign::alBottom: p.y += Height(); break;
    default: return nullptr;
  }
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled()) continue;
    RECT r = c->BoundsRect();
    // A control of no size still counts on its aligned edge.
    if (r.right == r.left) {
      if (Align() == TAlign::alTop || Align() == TAlign::alLeft) --r.left;
      else ++r.right;
    }
    if (r.bottom == r.top) {
      if (Align() == TAlign::alTop || Align() == TAlign::alLeft) --r.top;
      else ++r.bottom;
    }
    if (PtInRect(&r, p)) return c;
  }
  return nullptr;
}

bool TSplitter::DoCanResize(int& newSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, newSize, accept);
  if (accept && newSize <= FMinSize && FAutoSnap) newSize = 0;
  return accept;
}

void TSplitter::CalcSplitSize(int x, int y, int& newSize, int& split) {
  split = Sideways(Align()) ? x - FDownPos.x : y - FDownPos.y;
  int s = 0;
  switch (Align()) {
    case TAlign::alLeft: s = FControl->Width() + split; break;
    case TAlign::alRight: s = FControl->Width() - split; break;
    case TAlign::alTop: s = FControl->Height() + split; break;
    case TAlign::alBottom: s = FControl->Height() - split; break;
    default: break;
  }
  newSize = std::clamp(s, std::min(FMinSize, FMaxSize), std::max(FMinSize, FMaxSize));
  if (s != newSize) {
    // The line stops where the size stops.
    if (Align() == TAlign::alRight || Align() == TAlign::alBottom) split += s - newSize;
    else split += newSize - s;
  }
}

void TSplitter::UpdateSize(int x, int y) { CalcSplitSize(x, y, FNewSize, FSplit); }

void TSplitter::DrawLine() {
  if (!FDrag.Active()) return;
  FLineVisible = !FLineVisible;
  POINT p{Left(), Top()};
  if (Sideways(Align())) p.x += FSplit;
  else p.y += FSplit;
  FDrag.Invert(RECT{p.x, p.y, p.x + Width(), p.y + Height()});
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft) return;
  FControl = FindResizeControl();
  FDownPos = POINT{x, y};
  if (!FControl) return;
  const bool sideways = Sideways(Align());
  FMaxSize = (sideways ? Parent()->ClientWidth() : Parent()->ClientHeight()) - FMinSize;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (!c->Visible() || c == FControl) continue;
    TAlign a = c->Align();
    if (sideways && (a == TAlign::alLeft || a == TAlign::alRight)) FMaxSize -= c->Width();
    if (!sideways && (a == TAlign::alTop || a == TAlign::alBottom)) FMaxSize -= c->Height();
  }
  UpdateSize(x, y);
  // Only a call: ending the drag frees this handler while it runs.
  FDrag.Begin(*this, FResizeStyle == TResizeStyle::rsPattern,
              [this](TObject* sender, WORD& key, TShiftState sh) { KeyDuringDrag(sender, key, sh); });
  if (FResizeStyle == TResizeStyle::rsLine || FResizeStyle == TResizeStyle::rsPattern) DrawLine();
}

void TSplitter::KeyDuringDrag(TObject* sender, WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE) StopSizing();
  else FDrag.PassKey(sender, key, shift);
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!FControl || !MouseCapture()) return;
  int newSize = 0, split = 0;
  CalcSplitSize(x, y, newSize, split);
  if (!DoCanResize(newSize)) return;
  const bool line = FResizeStyle == TResizeStyle::rsLine || FResizeStyle == TResizeStyle::rsPattern;
  if (line) DrawLine();
  FNewSize = newSize;
  FSplit = split;
  if (FResizeStyle == TResizeStyle::rsUpdate) UpdateControlSize();
  if (line) DrawLine();
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!FControl) return;
  if (FLineVisible) DrawLine();
  UpdateControlSize();
  StopSizing();
}

void TSplitter::UpdateControlSize() {
  if (!FControl || FNewSize == FOldSize) return;
  TWinControl* parent = Parent();
  switch (Align()) {
    case TAlign::alLeft: FControl->SetWidth(FNewSize); break;
    case TAlign::alTop: FControl->SetHeight(FNewSize); break;
    case TAlign::alRight:
      parent->DisableAlign();
      FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize,
                          FControl->Height());
      parent->EnableAlign();
      break;
    case TAlign::alBottom:
      parent->DisableAlign();
      FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize, FControl->Width(),
                          FNewSize);
      parent->EnableAlign();
      break;
    default: break;
  }
  if (parent->HandleAllocated()) UpdateWindow(parent->Handle());
  if (OnMoved) OnMoved(this);
  FOldSize = FNewSize;
}

void TSplitter::StopSizing() {
  if (!FControl) return;
  if (FLineVisible) DrawLine();
  FControl = nullptr;
  FDrag.End();
}

void TSplitter::Paint() {
  if (OnPaint) {
    OnPaint(this);
    return;
  }
  RECT r = ClientRect();
  Canvas().Brush().SetColor(Color());
  Canvas().FillRect(r);
  if (FBeveled) {
    if (Sideways(Align())) InflateRect(&r, 0, 2);
    else InflateRect(&r, 2, 0);
    DrawEdge(Canvas().Handle(), &r, BDR_RAISEDOUTER, BF_RECT | BF_SOFT);
  }
}

// ---- bevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(Left(), Top(), 50, 50); }

void TBevel::SetShape(TBevelShape value) {
  if (value == FShape) return;
  FShape = value;
  Invalidate();
}

void TBevel::Paint() {
  RECT r{0, 0, Width(), Height()};
  if (FShape == TBevelShape::bsTopLine) r.bottom = std::min(r.bottom, 2L);
  DrawEdge(Canvas().Handle(), &r, EDGE_ETCHED, FShape == TBevelShape::bsTopLine ? BF_TOP : BF_RECT);
}

}  // namespace tvk
