#pragma once
// Value editors on the text editors: the spin editor (a number stepped by
// two buttons in its frame, the arrow keys and the wheel) and the time
// editor on it, the currency editor (a plain number while edited, painted
// through a display format) and the hyperlink editor (its text a link that a
// click or the start key opens).
#include "Menus.h"
#include "dxEditor.h"
#include "dxExEdtr.h"
#include "dxValueText.h"

namespace tvk {

enum TdxValueType { vtInt, vtFloat };
enum TdxSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };
enum TdxTimeEditFormat { tfHourMinSec, tfHourMin, tfHour };

class TdxSpinEditViewData : public TdxTextEditViewData {
public:
  TVK_CLASS(TdxSpinEditViewData, TdxTextEditViewData)
  bool ShowButton = false;
  TdxSpinButtonState StateActive = sbNotDown;
  TdxSpinButtonState StatePressed = sbNotDown;
};

class TdxInplaceSpinEditClass : public TdxInplaceMaskEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const override;
  void DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, TdxEditViewData& viewData) const override;
  // The button column's width: 0 without buttons, else the scroll bar's width made odd, at least 13.
  static int CalcSpinButtonWidth(const TdxEditViewData& viewData);
  // The column in window coordinates of the editor's frame.
  static RECT SpinButtonColumn(const TdxEditViewInfo& viewInfo, int width);
  static const TdxInplaceSpinEditClass& Instance();
};

// The repeat timer of a held spin button.
constexpr UINT_PTR kSpinRepeatTimer = 100;

class TdxInplaceSpinEdit : public TdxInplaceMaskEdit {
public:
  TVK_CLASS(TdxInplaceSpinEdit, TdxInplaceMaskEdit)
  explicit TdxInplaceSpinEdit(TComponent* owner);
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceSpinEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  virtual double GetIncrement() { return FIncrement; }
  // The text as a number; the lower limit for an empty text or one that is none.
  virtual double GetValue();
  virtual bool IsValidNumberChar(wchar_t key);
  virtual void SetMaxValue(double value);
  virtual void SetMinValue(double value);
  virtual void SetMinMax(double minValue, double maxValue);
  virtual void SetValueTypeInternal(TdxValueType value);
  virtual void SetValue(double value);
  virtual double DefaultMaxValue() { return 0; }
  virtual double DefaultMinValue() { return 0; }
  virtual TdxValueType DefaultValueType() { return vtInt; }

  void SetMinMaxValues(double minValue, double maxValue);
  void SetValueType(TdxValueType value);
  TdxValueType ValueType() const { return FValueType; }
  double MinValue() const { return FMinValue; }
  double MaxValue() const { return FMaxValue; }
  TdxSpinButtonState StatePressed() const { return FStatePressed; }
  TdxSpinButtonState StateActive() const { return FStateActive; }
  bool RepeatTimerRunning() const { return FTimer != 0; }
  // One step by the pressed half.
  void Spin();
  void StopSpin();

  void RestoreDefaults() override;
  void RefreshDefaults() override;
  void ValidateEdit() override;
  void SetSelected(bool value) override;
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;
  void DefaultHandler(TMessage& message) override;
  bool IsCloseEditorDisabled() override { return false; }

  bool FEditorEnabled = true;
  double FIncrement = 1.0;
  bool FUseCtrlIncrement = false;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  // The wheel steps the value rather than scrolling the host.
  bool IsMouseWheelHandled() override { return true; }
  TVK_MESSAGES();
  void WMStopSpin(TMessage& message);
  void WMEditCommand(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMNCLButtonDblClk(TMessage& message);
  void WMTimer(TMessage& message);

  double FMaxValue = 0;
  double FMinValue = 0;
  TdxSpinButtonState FStateActive = sbNotDown;
  TdxSpinButtonState FStatePressed = sbNotDown;
  UINT_PTR FTimer = 0;
  TdxValueType FValueType = vtInt;

private:
  void RepaintButtons();
  void StopRepeatTimer();
  bool HoldsCapture();
};

class TdxInplaceTimeEdit : public TdxInplaceSpinEdit {
public:
  TVK_CLASS(TdxInplaceTimeEdit, TdxInplaceSpinEdit)
  explicit TdxInplaceTimeEdit(TComponent* owner);

  double GetIncrement() override;
  // The edit text read as a time of day; 0 when it is none.
  double GetValue() override;
  bool IsValidNumberChar(wchar_t key) override;
  // Ignored outside 0 .. 23:59:59; the caret stays in its field.
  void SetValue(double value) override;
  // A date and time (a date, a number of days, or a text the system reads as
  // one); Null or an empty text is midnight of no date.
  void SetEditValue(const Variant& value) override;
  // The saved date plus the time as a number of days; a currency 0 when both are 0.
  Variant GetEditValue() override;

  TDateTime Time() const { return FTime; }
  void SetTime(TDateTime value);
  TDateTime SavedDate() const { return FSavedDate; }
  TdxTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
  void SetTimeEditFormat(TdxTimeEditFormat value);
  // "H", "N" or "S": the field at the caret.
  wchar_t PartAtCaret();

private:
  int Caret();
  TDateTime FSavedDate = 0;
  TDateTime FTime = 0;
  TdxTimeEditFormat FTimeEditFormat = tfHourMinSec;
};

class TdxInplaceCurrencyEdit : public TdxInplaceMaskEdit {
public:
  TVK_CLASS(TdxInplaceCurrencyEdit, TdxInplaceMaskEdit)
  explicit TdxInplaceCurrencyEdit(TComponent* owner);

  virtual bool IsValidAmountChar(wchar_t key);
  virtual void SetDisplayFormatInternal(const WideString& value);
  virtual void SetMaxValue(double value);
  virtual void SetMinValue(double value);
  virtual void SetMinMax(double minValue, double maxValue);
  virtual WideString DefaultDisplayFormat() { return BuildCurrencyDisplayFormat(); }
  virtual double DefaultMaxValue() { return 0; }
  virtual double DefaultMinValue() { return 0; }

  void SetMinMaxValues(double minValue, double maxValue);
  const WideString& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const WideString& value);
  bool Nullable() const { return FNullable; }
  void SetNullable(bool value);
  const WideString& NullString() const { return FNullString; }
  void SetNullString(const WideString& value);
  double MinValue() const { return FMinValue; }
  double MaxValue() const { return FMaxValue; }
  // 0 for an empty text, the lower limit for one that is no amount.
  double GetValue();
  // The value clamped to the limits (unless both are 0), in general format.
  void SetValue(double value);
  // The text a cell shows: the amount through the display format.
  Variant GetDisplayValue(bool isPaintCopy) override;
  // Null for an empty text when nullable, else the text.
  Variant GetEditValue() override;
  bool IsNeededRedraw() override { return TdxInplaceMaskEdit::IsNeededRedraw() || !FDisplayFormat.empty(); }

  void RestoreDefaults() override;
  void RefreshDefaults() override;
  void ValidateEdit() override;
  bool NeedsOleCallback() override { return true; }
  void ApplyEditMask(const WideString& value) override { (void)value; }

  int FDecimalPlaces = 2;
  bool FUseThousandSeparator = false;

protected:
  void KeyPress(wchar_t& key) override;
  TVK_MESSAGES();
  void WMPaste(TMessage& message);
  void CMWinIniChange(TMessage& message);

private:
  WideString FDisplayFormat;
  double FMaxValue = 0;
  double FMinValue = 0;
  bool FNullable = false;
  WideString FNullString;
};

class TdxHyperLinkEditViewData : public TdxTextEditViewData {
public:
  TVK_CLASS(TdxHyperLinkEditViewData, TdxTextEditViewData)
  bool IsLink = false;
};

class TdxInplaceHyperLinkEditClass : public TdxInplaceTextEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  // The hand over a link.
  TCursor GetEditCursor(int x, int y, TdxEditViewData& viewData) const override;
  static const TdxInplaceHyperLinkEditClass& Instance();
};

class TdxInplaceHyperLinkEdit : public TdxInplaceTextEdit {
public:
  TVK_CLASS(TdxInplaceHyperLinkEdit, TdxInplaceTextEdit)
  explicit TdxInplaceHyperLinkEdit(TComponent* owner);
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceHyperLinkEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  TColor LinkColor() const { return FLinkColor; }
  void SetLinkColor(TColor value);
  // The editor's font, underlined, in the link colour.
  TFont& LinkFont();
  // OnStartClick, or the shell opens the text.
  virtual void StartLink();
  void SelectAll() override {}
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;

  bool FSingleClick = false;
  TShortCut FStartKey = ShortCut(VK_RETURN, ssCtrl);
  TNotifyEvent OnStartClick;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void WMLButtonDblClk(TMessage& message);
  void WMSetFont(TMessage& message);
  void CMFontChanged(TMessage& message);

private:
  void ApplyLinkCharFormat();
  TColor FLinkColor = clBlue;
  std::unique_ptr<TFont> FLinkFont;
};

}  // namespace tvk
