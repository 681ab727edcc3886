#pragma once
// The styled scroll bar: arrow buttons, shaft areas and a thumb, drawn with
// the system's themes, the emulated XP look's skins, classic frame controls,
// or the owner's colours and pictures. Button and page presses repeat on a
// timer, the thumb drags, the arrow and page keys step. The list box makes
// its bars from it (BelongsToControl); it also stands alone.
#include "AlphaImage.h"
#include "StdCtrls.h"
#include "Timers.h"
#include "XPControls.h"
#include "XPTypes.h"

namespace tvk {

enum class TXPScrollElem { pseNone, pseStartButton, pseBeforeThumb, pseThumb, pseAfterThumb, pseEndButton };

class TCustomXPScrollBar;
// The rectangle of the pressed element, asked again at every hit test.
using TGetRectFunc = RECT (TCustomXPScrollBar::*)();

class TCustomXPScrollBar : public TXPCustomControl {
public:
  TVK_CLASS(TCustomXPScrollBar, TXPCustomControl)
  explicit TCustomXPScrollBar(TComponent* owner);
  ~TCustomXPScrollBar() override;

  // Nothing when all three are unchanged or Max < Min; the position is
  // limited to Min..the largest position.
  void SetParams(int position, int min, int max);

  TScrollBarKind Kind() const { return FKind; }
  // A free bar (not loading) turns: width and height swap.
  void SetKind(TScrollBarKind value);
  int Min() const { return FMin; }
  void SetMin(int value) { FMin = value; }
  int Max() const { return FMax; }
  void SetMax(int value) { FMax = value; }
  // The largest position: Max - PageSize + 1 (0 until the first range or page change).
  int UsedMax() const { return FUsedMax; }
  int Position() const { return FPosition; }
  void SetPosition(int value) { SetParams(value, FMin, FMax); }
  int PageSize() const { return FPageSize; }
  // Limited to 0..the range; the position is left as it is.
  void SetPageSize(int value);
  TScrollBarInc SmallChange() const { return FSmallChange; }
  void SetSmallChange(TScrollBarInc value) { FSmallChange = value; }
  TScrollBarInc LargeChange() const { return FLargeChange; }
  void SetLargeChange(TScrollBarInc value) { FLargeChange = value; }
  // Part of another control: no frame of its own, the owner takes the focus.
  bool BelongsToControl() const { return FBelongsToControl; }
  void SetBelongsToControl(bool value);
  TXPLookAndFeel LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TXPLookAndFeel value) { FLookAndFeel = value; }
  TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TColor value) { FButtonColor = value; }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value) { FFrameColor = value; }
  TColor HotButtonColor() const { return FHotButtonColor; }
  void SetHotButtonColor(TColor value) { FHotButtonColor = value; }
  TColor ShaftColor() const { return FShaftColor; }
  void SetShaftColor(TColor value) { FShaftColor = value; }
  TPicture& ArrowImage() { return *FArrowImage; }
  TAlphaBitmap& ButtonImage() { return *FButtonImage; }
  TAlphaBitmap& ThumbImage() { return *FThumbImage; }
  TAlphaBitmap& ShaftImage() { return *FShaftImage; }

  // Geometry of the last size and values (client coordinates).
  RECT StartButtonRect();
  RECT EndButtonRect();
  RECT BeforeThumbRect();
  RECT AfterThumbRect();
  RECT ThumbRect();
  RECT GripperRect();
  RECT ElementRect(TXPScrollElem element);
  int ButtonSize() const { return FBtnSize; }
  TXPScrollElem HotElement() const { return HotXPScrollElem; }
  TXPScrollElem PressedElement() const { return PressedXPScrollElem; }
  // The repeat timer of button and page presses.
  TTimer& RepeatTimer() { return *FTimer; }
  // The element's drawing state: 0 normal, 1 hot, 2 pressed, 3 disabled.
  int ElementState(TXPScrollElem element);
  // The themed arrow state of the start or end button: from 1 (up, normal)
  // to 16 (right, disabled), or on newer systems a hover state (17 to 20)
  // while the mouse is over another element of the bar.
  int ArrowThemeState(bool isStart);

  void SetBounds(int left, int top, int width, int height) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  virtual bool IsCustomLook() { return FLookAndFeel != TXPLookAndFeel::xlfNative; }
  virtual void DrawShaft(const RECT& rect, int state);
  virtual void DrawButton(const RECT& rect, int state, int arrowIndex, bool isStart);
  virtual void DrawThumb(const RECT& rect, int state);
  virtual void Change();
  virtual void Scroll(TScrollCode scrollCode, int& pos);

  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  // Aligned to a top or bottom edge the bar lies horizontal, to a side vertical.
  void RequestAlign() override;
  void Paint() override;

  TVK_MESSAGES();
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMKeyDown(TMessage& message);
  void WMKeyUp(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMEnabledChanged(TMessage& message);

private:
  bool Vertical() const { return FKind == TScrollBarKind::sbVertical; }
  int Length() const { return Vertical() ? Height() : Width(); }
  int Thickness() const { return Vertical() ? Width() : Height(); }
  // A rectangle from a stretch along the bar and one across it.
  RECT Along(int from, int to, int acrossFrom, int acrossTo) const;
  // The thumb's start along the bar; its length goes to TrackThumbSize.
  int ThumbStart();
  void UpdateUsedMax() { FUsedMax = FMax - FPageSize + 1; }
  void UpdateButtonSize();
  void UpdateHotElement(POINT point);
  void UpdateHotElementAtCursor();
  void DoScroll(TScrollCode scrollCode);
  void TimerTick(TObject*) { DoScroll(FTimerCode); }
  void PaintThemed();
  void PictureChanged(TObject*);

  TScrollBarKind FKind = TScrollBarKind::sbHorizontal;
  TScrollBarInc FLargeChange = 1;
  int FMax = 100, FUsedMax = 0, FMin = 0, FPageSize = 1, FPosition = 0;
  TScrollBarInc FSmallChange = 1;
  bool FBelongsToControl = false;
  TXPScrollElem HotXPScrollElem = TXPScrollElem::pseNone;
  TXPScrollElem PressedXPScrollElem = TXPScrollElem::pseNone;
  int TrackThumbStart = 0;
  int TrackThumbSize = 0;
  std::unique_ptr<TTimer> FTimer;
  TScrollCode FTimerCode = TScrollCode::scEndScroll;
  TGetRectFunc FGetRectFunc = nullptr;
  int FBtnSize;
  TXPLookAndFeel FLookAndFeel = TXPLookAndFeel::xlfNative;
  TColor FButtonColor = clDefault, FFrameColor = clDefault, FHotButtonColor = clDefault, FShaftColor = clDefault;
  std::unique_ptr<TPicture> FArrowImage;
  std::unique_ptr<TAlphaBitmap> FButtonImage, FThumbImage, FShaftImage;
};

class TXPScrollBar : public TCustomXPScrollBar {
public:
  TVK_CLASS(TXPScrollBar, TCustomXPScrollBar)
  explicit TXPScrollBar(TComponent* owner) : TCustomXPScrollBar(owner) {}
};

bool XPScrollsStartup();
void XPScrollsShutdown();

}  // namespace tvk
