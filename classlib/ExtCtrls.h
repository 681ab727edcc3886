#pragma once
// The splitter: a bar aligned beside another control that the user drags
// to resize that control, with the drag shown as an inverted line, limits,
// a last say for the program (OnCanResize) and OnMoved when it is done.
#include "Controls.h"

namespace tvk {

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

// What a splitter drag holds while it runs: its parent's context for the
// inverted line (with a halftone brush for the pattern style) and the key
// handler of the form's focused control, lent to the drag so that Escape can
// end it (a form without a focused control lends nothing).
class TSplitterDrag {
public:
  TSplitterDrag() = default;
  ~TSplitterDrag() { End(); }
  TSplitterDrag(const TSplitterDrag&) = delete;
  TSplitterDrag& operator=(const TSplitterDrag&) = delete;
  void Begin(TControl& control, bool pattern, TKeyEvent onKey);
  // Inverts Rect of the parent (the line drawn, or taken away again).
  void Invert(const RECT& rect);
  // Gives the context, the brush and the key handler back.
  void End();
  bool Active() const { return FDC != nullptr; }
  // The focused control's own handler, for the keys the drag does not take.
  void PassKey(TObject* sender, WORD& key, TShiftState shift);

private:
  HWND FWindow = nullptr;
  HDC FDC = nullptr;
  HBRUSH FBrush = nullptr;
  HGDIOBJ FPrevBrush = nullptr;
  TWinControl* FActiveControl = nullptr;
  TKeyEvent FOldKeyDown;
};

class TSplitter : public TGraphicControl {
public:
  TVK_CLASS(TSplitter, TGraphicControl)
  explicit TSplitter(TComponent* owner);
  ~TSplitter() override;

  bool Beveled() const { return FBeveled; }
  void SetBeveled(bool value);
  int MinSize() const { return FMinSize; }
  void SetMinSize(int value) { FMinSize = std::max(value, 1); }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle value) { FResizeStyle = value; }
  // A size at or under MinSize collapses the control to 0.
  bool AutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool value) { FAutoSnap = value; }
  // The control being resized while a drag runs, else null.
  TControl* ResizeControl() const { return FControl; }
  bool Sizing() const { return FControl != nullptr; }

  TCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved;
  TNotifyEvent OnPaint;

protected:
  // The control the splitter resizes: the sibling touching its aligned side.
  TControl* FindResizeControl();
  virtual bool DoCanResize(int& newSize);
  virtual void StopSizing();
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void RequestAlign();

private:
  void CalcSplitSize(int x, int y, int& newSize, int& split);
  void UpdateSize(int x, int y);
  void UpdateControlSize();
  void DrawLine();
  // Escape ends the drag; other keys go to the focused control.
  void KeyDuringDrag(TObject* sender, WORD& key, TShiftState shift);

  TControl* FControl = nullptr;
  POINT FDownPos{};
  TSplitterDrag FDrag;
  bool FLineVisible = false;
  int FMinSize = 30, FMaxSize = 0, FNewSize = 0, FOldSize = -1, FSplit = 0;
  TResizeStyle FResizeStyle = TResizeStyle::rsPattern;
  bool FBeveled = false, FAutoSnap = true;
};

// An etched line or frame; the top-line shape draws one etched line along its top.
enum class TBevelShape { bsBox, bsTopLine };
class TBevel : public TGraphicControl {
public:
  TVK_CLASS(TBevel, TGraphicControl)
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape value);

protected:
  void Paint() override;

private:
  TBevelShape FShape = TBevelShape::bsBox;
};

}  // namespace tvk
