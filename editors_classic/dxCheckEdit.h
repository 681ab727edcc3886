#pragma once
// The check-box editor: a three-state box with an optional caption and
// optional glyph strip, all painted by the class functions, so a live editor
// and a windowless cell look alike. Its value is the state as a number.
#include "dxCntner.h"

namespace tvk {

enum TdxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
enum TdxShowNullFieldStyle { nsUnchecked, nsInactive, nsGrayedChecked };
using TdxToggleEvent = std::function<void(TObject* Sender, const WideString& Text, TdxCheckBoxState State)>;

class TdxCheckEditViewData : public TdxEditViewData {
public:
  TVK_CLASS(TdxCheckEditViewData, TdxEditViewData)
  WideString Caption;
  bool ExactFocusRect = false;  // the focus rectangle surrounds only the caption
  TBitmap* Glyph = nullptr;     // not owned
  std::int32_t GlyphCount = 0;
  TdxShowNullFieldStyle NullStyle = nsGrayedChecked;
  bool Pressed = false;
};

class TdxCheckEditStyleController : public TdxEditStyleController {
public:
  TVK_CLASS(TdxCheckEditStyleController, TdxEditStyleController)
  explicit TdxCheckEditStyleController(TComponent* owner);
  void RestoreDefaults() override;
};

// The controller that check editors without one of their own follow (made at start-up).
TdxCheckEditStyleController* DefaultCheckEditStyleController();
void SetDefaultCheckEditStyleController(TdxCheckEditStyleController* controller);

class TdxCheckEditStyle : public TdxEditStyle {
public:
  TVK_CLASS(TdxCheckEditStyle, TdxEditStyle)
  explicit TdxCheckEditStyle(TdxInplaceEdit* edit);
  ~TdxCheckEditStyle() override;
  TdxEditStyleController* GetDefaultEditStyleController() const override;
};

// The standard check size, measured from the system's check-box bitmap at start-up.
int StandardCheckWidth();
int StandardCheckHeight();
void MeasureStandardCheckSize();

class TdxInplaceCheckEditClass : public TdxInplaceEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  int GetMinHeight(TdxEditViewData& viewData) const override;
  bool DoesEditorNeedActivating(const RECT& rect, TAlignment alignment, int x, int y) const override;
  // The standard size, or a glyph strip's image size; answers whether the glyph is used.
  static bool CalcCheckSize(TBitmap* glyph, int glyphCount, int& checkWidth, int& checkHeight);
  static void CalcCheckRects(int checkWidth, int checkHeight, TAlignment alignment, RECT& textRect,
                             RECT& checkRect);
  // The DrawFrameControl flags of a state.
  static UINT FrameControlFlags(int state, TdxShowNullFieldStyle nullStyle, bool pressed, bool enabled);
  // The strip image of a state: pressed ones follow the three plain ones.
  static int GlyphIndex(int state, bool pressed, int glyphCount);
  static const TdxInplaceCheckEditClass& Instance();
};

class TdxInplaceCheckEdit : public TdxInplaceEdit {
public:
  TVK_CLASS(TdxInplaceCheckEdit, TdxInplaceEdit)
  explicit TdxInplaceCheckEdit(TComponent* owner);
  ~TdxInplaceCheckEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceCheckEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  TdxCheckBoxState State() const { return FState; }
  void SetState(TdxCheckBoxState value);
  bool Checked() const { return FState == cbsChecked; }
  void SetChecked(bool value) { SetState(value ? cbsChecked : cbsUnchecked); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* value);
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int value);
  TdxShowNullFieldStyle NullStyle() const { return FNullStyle; }
  void SetNullStyle(TdxShowNullFieldStyle value);
  bool Pressed() const { return FPressed; }
  virtual void Toggle();

  // The state from a value: Null grayed, a number or digits the state.
  void SetEditValue(const Variant& value) override;
  // The state as an integer.
  Variant GetEditValue() override;
  Variant GetDisplayValue(bool isPaintCopy) override { (void)isPaintCopy; return GetEditValue(); }
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;
  void MouseClick(int x, int y) override;

  bool FAllowGrayed = false;
  bool FFullFocusRect = false;
  bool FMultiLine = false;

protected:
  void Click() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void WMCancelMode(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMTextChanged(TMessage& message);

private:
  RECT CheckRect();
  bool InCheck(int x, int y);
  void TrackPressed(int x, int y);
  void StopTracking();
  void InvalidateCheck();
  std::unique_ptr<TBitmap> FGlyph;
  std::int32_t FGlyphCount = 6;
  TdxShowNullFieldStyle FNullStyle = nsGrayedChecked;
  bool FPressed = false;
  TdxCheckBoxState FState = cbsUnchecked;
  bool FTracking = false;
};

}  // namespace tvk
