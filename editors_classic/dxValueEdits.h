#pragma once
// Value editors on the text editors: the currency editor (a plain number
// while edited, painted through a display format) and the hyperlink editor
// (its text a link that a click or the start key opens).
#include "Menus.h"
#include "dxEditor.h"
#include "dxValueText.h"

namespace tvk {

// The hand cursor of links in the screen's cursor table.
constexpr TCursor crdxHandPoint = -1140;

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
  WideString GetDisplayValue();

  void RestoreDefaults() override;
  void ValidateEdit() override;
  bool NeedsOleCallback() override { return true; }
  void ApplyEditMask(const WideString& value) override { (void)value; }
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;

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
  const TdxInplaceEditClass& EditClass() const override { return TdxInplaceHyperLinkEditClass::Instance(); }

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
