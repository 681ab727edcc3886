#pragma once
// The splitter: a bar aligned beside another control that the user drags
// to resize that control, with the drag shown as an inverted line, limits,
// a last say for the program (OnCanResize) and OnMoved when it is done.
#include "Controls.h"

namespace tvk {

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

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
  void AllocateLineDC();
  void ReleaseLineDC();
  void DrawLine();
  void FocusKeyDown(TObject* sender, WORD& key, TShiftState shift);

  TControl* FControl = nullptr;
  POINT FDownPos{};
  HDC FLineDC = nullptr;
  bool FLineVisible = false;
  HBRUSH FBrush = nullptr;
  HGDIOBJ FPrevBrush = nullptr;
  int FMinSize = 30, FMaxSize = 0, FNewSize = 0, FOldSize = -1, FSplit = 0;
  TResizeStyle FResizeStyle = TResizeStyle::rsPattern;
  bool FBeveled = false, FAutoSnap = true;
  TWinControl* FActiveControl = nullptr;
  TKeyEvent FOldKeyDown;
};

}  // namespace tvk
