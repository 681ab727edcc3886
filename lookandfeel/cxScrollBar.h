#pragma once
// A windowed scroll bar drawn entirely by the look-and-feel painter: its own
// range, position and page, the rectangles of its five parts, auto-repeat on
// arrows and pages and thumb tracking with a snap-back zone. Scrolling is
// reported through OnScroll with the class library's scroll codes.
#include "Controls.h"
#include "cxClasses.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"

#include <memory>

namespace tvk {

struct TcxScrollBarState {
  TcxScrollBarPart PressedPart = sbpNone;
  TcxScrollBarPart HotPart = sbpNone;
};

class TcxScrollBar;

class TcxScrollBarViewInfo : public TObject {
public:
  TVK_CLASS(TcxScrollBarViewInfo, TObject)
  explicit TcxScrollBarViewInfo(TcxScrollBar* AScrollBar) : FScrollBar(AScrollBar) {}
  void Calculate() { DoCalculate(); }
  void AdjustPageRects();
  void CalculateMinThumnailSize();
  void CalculateThumbnailRect();
  // Moves the thumbnail so that it starts at APos along the bar.
  void SetThumbnailPos(POINT APos);

  const RECT& BottomRightArrowRect() const { return FBottomRightArrowRect; }
  const RECT& PageDownRect() const { return FPageDownRect; }
  const RECT& PageUpRect() const { return FPageUpRect; }
  TcxScrollBar* ScrollBar() const { return FScrollBar; }
  const RECT& ThumbnailRect() const { return FThumbnailRect; }
  int ThumbnailSize() const { return FThumbnailSize; }
  const RECT& TopLeftArrowRect() const { return FTopLeftArrowRect; }

protected:
  virtual void DoCalculate();

private:
  RECT FBottomRightArrowRect{};
  RECT FPageDownRect{};
  RECT FPageUpRect{};
  TcxScrollBar* FScrollBar;
  RECT FThumbnailRect{};
  int FThumbnailSize = 0;
  RECT FTopLeftArrowRect{};
};

// The tracking zone around the bar while the thumb is dragged: across the
// bar and along it, on both sides.
constexpr int cxScrollBarTrackZoneAcross = 136;
constexpr int cxScrollBarTrackZoneAlong = 34;
// The first repeat of a held arrow or page, then every further one.
constexpr unsigned cxScrollBarInitialRepeatPause = 400;
constexpr unsigned cxScrollBarRepeatPause = 60;

// The cursor position the bar reads (screen coordinates); tests replace it.
extern POINT (*cxScrollBarGetCursorPos)();

// "Scrollbar property out of range"
extern TResStringRec SScrollBarRange;

class TcxScrollBar : public TCustomControl {
public:
  TVK_CLASS(TcxScrollBar, TCustomControl)
  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;

  // Raises EInvalidOperation "Scrollbar property out of range" for a range
  // that cannot hold the page; the position is clamped to the range.
  void SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw = true);
  // Keeps the page; redraws.
  void SetParams(int APosition, int AMin, int AMax) { SetScrollParams(AMin, AMax, APosition, FPageSize, true); }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind AValue);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int AValue) { FLargeChange = AValue; }
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int AValue) { FSmallChange = AValue; }
  int Max() const { return FMax; }
  void SetMax(int AValue) { SetScrollParams(FMin, AValue, FPosition, FPageSize); }
  int Min() const { return FMin; }
  void SetMin(int AValue) { SetScrollParams(AValue, FMax, FPosition, FPageSize); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int AValue) { SetScrollParams(FMin, FMax, FPosition, AValue); }
  int Position() const { return FPosition; }
  void SetPosition(int AValue) { SetScrollParams(FMin, FMax, AValue, FPageSize); }
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool AValue) { FUnlimitedTracking = AValue; }
  // The setting asked for; the class library's Ctl3D is kept off under a skin painter.
  bool Ctl3D() const { return TWinControl::Ctl3D() || FRealCtl3D; }
  void SetCtl3D(bool AValue);
  // What the class library sees (off under a skin painter).
  bool ClassLibraryCtl3D() const { return TWinControl::Ctl3D(); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  TcxScrollBarViewInfo* ViewInfo() const { return FViewInfo.get(); }
  const TcxScrollBarState& State() const { return FState; }
  TcxTimer* Timer() const { return FTimer.get(); }
  TcxCustomLookAndFeelPainter* GetPainter() { return FLookAndFeel->GetAvailablePainter(totScrollBar); }

  // The painter's minimal thumb length for the bar's kind.
  int GetMinThumbnailSizeValue();
  TcxScrollBarPart HitTest(POINT P);
  // The position the thumbnail's place stands for, within [Min, Max].
  int GetPositionFromThumbnail();
  void DoScroll(TScrollCode AScrollCode);
  void ScrollByPart(TcxScrollBarPart APart);
  void CancelScroll();
  TcxButtonState GetPartState(TcxScrollBarPart APart);
  // The repeat of a held arrow or page (the timer's event).
  void TimerHandler(TObject* Sender);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void ThemeChanged();

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  virtual void Change();
  virtual TcxScrollBarViewInfo* CreateViewInfo() { return new TcxScrollBarViewInfo(this); }
  virtual void DrawScrollBar(TcxCanvas& ACanvas);
  virtual void DrawScrollBarBackground(TcxCanvas& ACanvas, const RECT& R);
  virtual void DoDrawScrollBarPart(TcxCanvas& ACanvas, const RECT& R, TcxScrollBarPart APart, TcxButtonState AState);
  virtual void DrawScrollBarPart(TcxCanvas& ACanvas, const RECT& R, TcxScrollBarPart APart);
  virtual bool IsButtonHotTrack() { return GetPainter()->IsButtonHotTrack(); }
  virtual void Scroll(TScrollCode AScrollCode, int& AScrollPos);
  virtual int GetMinThumbnailSize();

  void Paint() override;
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void MouseMove(TShiftState AShift, int X, int Y) override;
  void MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) override;

  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void CNHScroll(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CNCtlColorScrollBar(TMessage& Message);
  // A Ctl3D set through the class library (or taken from the parent) is the setting asked for.
  void CMCtl3DChanged(TMessage& Message);
  // Under a skin painter the class library's Ctl3D stays off: the parent's
  // value is taken as the setting asked for all the same.
  void CMParentCtl3DChanged(TMessage& Message);

private:
  // Sets the class library's Ctl3D without taking it as the setting asked for.
  void StoreCtl3D(bool AValue);
  POINT CursorClientPos() { return ScreenToClient(cxScrollBarGetCursorPos()); }
  void Redraw() {
    if (HandleAllocated()) Invalidate();
  }
  void TrackThumbnail(POINT P);

  POINT FDownMousePos{};
  TScrollBarKind FKind = sbHorizontal;
  int FLargeChange = 1;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  int FMax = 100;
  int FMin = 0;
  int FPageSize = 0;
  int FPosition = 0;
  bool FRealCtl3D = true;
  bool FStoringCtl3D = false;
  int FSavePosition = 0;
  POINT FSaveThumbnailPos{};
  int FSmallChange = 1;
  std::unique_ptr<TdxThemeChangedNotificator> FThemeChangedNotificator;
  std::unique_ptr<TcxTimer> FTimer;
  bool FUnlimitedTracking = false;
  TcxScrollBarState FState;
  std::unique_ptr<TcxScrollBarViewInfo> FViewInfo;
};

}  // namespace tvk
