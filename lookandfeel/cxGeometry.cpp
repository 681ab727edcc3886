#include "cxGeometry.h"

#include "ClassRegistry.h"
#include "dxCore.h"

namespace tvk {

namespace {

// The floor of V / 2 (a plain division rounds towards zero).
int FloorHalf(int V) { return V >= 0 ? V / 2 : -((1 - V) / 2); }

}  // namespace

void TcxGeometryObject::DoChange() { CallNotifyEvent(this, OnChange); }

void TcxRect::SetRect(const RECT& AValue) {
  RECT corrected = AValue;
  CorrectRect(corrected);
  if (AreRectsEqual(corrected, FRect)) return;
  FRect = corrected;
  DoChange();
}

int TcxRect::GetValue(int AIndex) const {
  switch (AIndex) {
    case 0: return FRect.left;
    case 1: return FRect.top;
    case 2: return FRect.right;
    default: return FRect.bottom;
  }
}

void TcxRect::SetValue(int AIndex, int AValue) {
  RECT r = FRect;
  switch (AIndex) {
    case 0: r.left = AValue; break;
    case 1: r.top = AValue; break;
    case 2: r.right = AValue; break;
    case 3: r.bottom = AValue; break;
    default: return;
  }
  SetRect(r);
}

void TcxRect::SetWidth(int AValue) { SetValue(2, FRect.left + AValue); }

void TcxRect::SetHeight(int AValue) { SetValue(3, FRect.top + AValue); }

POINT TcxRect::GetPoint(int AIndex) const {
  switch (AIndex) {
    case 0: return {FRect.left, FRect.top};
    case 1: return {FRect.right, FRect.top};
    case 2: return {FRect.left, FRect.bottom};
    default: return {FRect.right, FRect.bottom};
  }
}

void TcxRect::SetPoint(int AIndex, POINT P) {
  RECT r = FRect;
  switch (AIndex) {
    case 0: r.left = P.x, r.top = P.y; break;
    case 1: r.right = P.x, r.top = P.y; break;
    case 2: r.left = P.x, r.bottom = P.y; break;
    case 3: r.right = P.x, r.bottom = P.y; break;
    default: return;
  }
  SetRect(r);
}

bool TcxRect::IsEmpty() const { return IsRectEmptyOrInverted(FRect); }

bool TcxRect::IsEqual(const RECT& ARect) const { return AreRectsEqual(FRect, ARect); }

void TcxRect::DoAssign(const TPersistent& Source) { SetRect(static_cast<const TcxRect&>(Source).Rect()); }

RECT InflateRectBySides(const RECT& R, int ALeft, int ATop, int ARight, int ABottom) {
  return {R.left - ALeft, R.top - ATop, R.right + ARight, R.bottom + ABottom};
}

bool IsRectEmptyOrInverted(const RECT& R) { return !(R.left < R.right && R.top < R.bottom); }

bool AreRectsEqual(const RECT& R1, const RECT& R2) {
  return R1.left == R2.left && R1.top == R2.top && R1.right == R2.right && R1.bottom == R2.bottom;
}

RECT OffsetRectBy(const RECT& R, int DX, int DY, bool APositive) {
  if (!APositive) DX = -DX, DY = -DY;
  return {R.left + DX, R.top + DY, R.right + DX, R.bottom + DY};
}

bool IsPointInRect(const RECT& R, int X, int Y) { return R.left <= X && X < R.right && R.top <= Y && Y < R.bottom; }

RECT TransposeRect(const RECT& R) { return {R.top, R.left, R.bottom, R.right}; }

RECT RectFromPoints(POINT ATopLeft, POINT ABottomRight) {
  return {ATopLeft.x, ATopLeft.y, ABottomRight.x, ABottomRight.y};
}

RECT RectWithHorzBounds(const RECT& R, int ALeft, int AWidth) { return {ALeft, R.top, ALeft + AWidth, R.bottom}; }

RECT CenterRectIn(const RECT& R, int AWidth, int AHeight) {
  const int left = FloorHalf(R.left + R.right - AWidth);
  const int top = FloorHalf(R.top + R.bottom - AHeight);
  return {left, top, left + AWidth, top + AHeight};
}

POINT OffsetPointBy(POINT P, int DX, int DY, bool APositive) {
  return APositive ? POINT{P.x + DX, P.y + DY} : POINT{P.x - DX, P.y - DY};
}

POINT MakePoint(int X, int Y) { return {X, Y}; }

void cxGeometryUnitStart() { RegisterClass(&TcxRect::StaticClassInfo()); }

void cxGeometryUnitStop() { UnRegisterClass(&TcxRect::StaticClassInfo()); }

}  // namespace tvk
