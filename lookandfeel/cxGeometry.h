#pragma once
// Rectangle and point arithmetic, and TcxRect: a rectangle object that tells
// of each change once.
#include "cxClasses.h"

namespace tvk {

class TcxGeometryObject : public TcxOwnedPersistent {
public:
  TVK_CLASS(TcxGeometryObject, TcxOwnedPersistent)
  explicit TcxGeometryObject(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  // The object's value as raw bytes.
  void* Data() { return GetData(); }
  int DataSize() const { return GetDataSize(); }
  TNotifyEvent OnChange;

protected:
  virtual void* GetData() { return nullptr; }
  virtual int GetDataSize() const { return 0; }
  virtual void DoChange();
};

class TcxRect : public TcxGeometryObject {
public:
  TVK_CLASS(TcxRect, TcxGeometryObject)
  explicit TcxRect(TPersistent* AOwner) : TcxGeometryObject(AOwner) {}

  const RECT& Rect() const { return FRect; }
  // Corrected by CorrectRect; OnChange fires once when the value differs.
  void SetRect(const RECT& AValue);

  // 0 Left, 1 Top, 2 Right, 3 Bottom; any other index reads Bottom and writes nothing.
  int GetValue(int AIndex) const;
  void SetValue(int AIndex, int AValue);
  int Left() const { return FRect.left; }
  int Top() const { return FRect.top; }
  int Right() const { return FRect.right; }
  int Bottom() const { return FRect.bottom; }
  void SetLeft(int AValue) { SetValue(0, AValue); }
  void SetTop(int AValue) { SetValue(1, AValue); }
  void SetRight(int AValue) { SetValue(2, AValue); }
  void SetBottom(int AValue) { SetValue(3, AValue); }
  int Width() const { return FRect.right - FRect.left; }
  int Height() const { return FRect.bottom - FRect.top; }
  void SetWidth(int AValue);
  void SetHeight(int AValue);

  // 0 TopLeft, 1 TopRight, 2 BottomLeft, 3 BottomRight.
  POINT GetPoint(int AIndex) const;
  void SetPoint(int AIndex, POINT P);
  POINT TopLeft() const { return GetPoint(0); }
  POINT TopRight() const { return GetPoint(1); }
  POINT BottomLeft() const { return GetPoint(2); }
  POINT BottomRight() const { return GetPoint(3); }

  bool IsEmpty() const;
  bool IsEqual(const RECT& ARect) const;
  bool IsEqual(const TcxRect& ARect) const { return IsEqual(ARect.Rect()); }

protected:
  // Adjusts a value before it is taken; nothing here.
  virtual void CorrectRect(RECT& ARect) { (void)ARect; }
  void DoAssign(const TPersistent& Source) override;
  void* GetData() override { return &FRect; }
  int GetDataSize() const override { return int(sizeof(RECT)); }

private:
  RECT FRect{0, 0, 0, 0};
};

RECT InflateRectBySides(const RECT& R, int ALeft, int ATop, int ARight, int ABottom);
// True unless Left < Right and Top < Bottom.
bool IsRectEmptyOrInverted(const RECT& R);
bool AreRectsEqual(const RECT& R1, const RECT& R2);
RECT OffsetRectBy(const RECT& R, int DX, int DY, bool APositive = true);
// Left <= X < Right and Top <= Y < Bottom.
bool IsPointInRect(const RECT& R, int X, int Y);
RECT TransposeRect(const RECT& R);
RECT RectFromPoints(POINT ATopLeft, POINT ABottomRight);
RECT RectWithHorzBounds(const RECT& R, int ALeft, int AWidth);
// A rectangle of that size centred in R (halves rounded down).
RECT CenterRectIn(const RECT& R, int AWidth, int AHeight);
POINT OffsetPointBy(POINT P, int DX, int DY, bool APositive = true);
POINT MakePoint(int X, int Y);

// TcxRect in the streaming class registry.
void cxGeometryUnitStart();
void cxGeometryUnitStop();

}  // namespace tvk
