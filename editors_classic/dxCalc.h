#pragma once
// The pocket calculator: 27 self-drawn buttons and the engine behind them
// (left-to-right operators, percent, root, reciprocal, sign, memory, an error
// state). It has no display: a descendant says where the number lives through
// ReadDisplayText / WriteDisplayText.
#include "dxCntner.h"

#include <array>

namespace tvk {

enum class TdxCalcButtonKind {
  cbBack, cbCancel, cbClear, cbMC, cbMR, cbMS, cbMP, cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6,
  cbNum7, cbNum8, cbNum9, cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt, cbPercent, cbRev, cbEqual, cbNone
};
constexpr int kCalcButtonCount = static_cast<int>(TdxCalcButtonKind::cbNone);

enum TdxCalcState { csFirst, csValid, csError };
enum TdxButtonStyle { bsStandard, bsFlat, bsExtraFlat };
enum class TdxCalcBorderStyle { bsNone, bsSingle };

using TdxCalcButtonClick = std::function<void(TObject* Sender, TdxCalcButtonKind& ButtonKind)>;

struct TdxButtonInfo {
  TdxCalcButtonKind Kind = TdxCalcButtonKind::cbNone;
  WideString Text;
  TColor FontColor = clBlack;
  RECT BtnRect{};
  bool Down = false;
  bool Grayed = false;
};
using TCalcButtons = std::array<TdxButtonInfo, kCalcButtonCount>;

class TCustomdxCalculator : public TdxInplacePopupControl {
public:
  TVK_CLASS(TCustomdxCalculator, TdxInplacePopupControl)
  explicit TCustomdxCalculator(TComponent* owner);

  // 0 in the error state; else the display read as a number (an empty one as 0).
  long double Value();
  void SetValue(long double value);
  long double Memory() const { return FMemory; }
  TdxCalcState Status() const { return FStatus; }

  void ProcessCalculatorButton(TdxCalcButtonKind kind);
  TdxCalcButtonKind GetButtonKindAt(int x, int y) const;
  static TdxCalcButtonKind GetButtonKindChar(wchar_t ch);
  static TdxCalcButtonKind GetButtonKindKey(WORD key, TShiftState shift);
  void CopyToClipboard();
  void PasteFromClipboard();

  const TdxButtonInfo& Button(TdxCalcButtonKind kind) const { return FButtons[static_cast<std::size_t>(kind)]; }
  TdxButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TdxButtonStyle value);
  bool ButtonFrameVisible() const { return FButtonFrameVisible; }
  void SetButtonFrameVisible(bool value);
  bool FocusRectVisible() const { return FFocusRectVisible; }
  void SetFocusRectVisible(bool value);
  // Lays the buttons out at the current metrics (and resets the engine).
  void CalcLayout();

  bool FAutoFontSize = true;
  bool FBeepOnError = true;
  TdxCalcBorderStyle FBorderStyle = TdxCalcBorderStyle::bsNone;
  std::uint8_t FPrecision = 13;
  bool IsPopup = false;
  TNotifyEvent OnDisplayChange;
  TdxCalcButtonClick OnButtonClick;
  TNotifyEvent OnError;
  TNotifyEvent OnResult;

protected:
  virtual void ReadDisplayText(WideString& text) { text.clear(); }
  virtual void WriteDisplayText(const WideString& text) { (void)text; }
  virtual void KeyUp(WORD& key, TShiftState shift);
  void Paint() override;
  void CreateParams(TCreateParams& params) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;

  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMSize(TMessage& message);
  void WMFocusChanged(TMessage& message);
  void WMKeyUp(TMessage& message);
  void CMRepaintChanged(TMessage& message);
  void CMCtl3DChanged(TMessage& message);
  void CMMouseLeave(TMessage& message);

  int FCalcFontSize = 8;
  int FCalcBtnWidth = 28;
  int FCalcBtnHeight = 22;
  int FCalcLargeBtnWidth = 47;
  int FCalcXOfs = 4;
  int FCalcYOfs = 4;
  int FCalcWidth = 207;
  int FCalcHeight = 137;

private:
  WideString DisplayText();
  void BeginEntry();
  void EnterErrorState();
  void ResetEngine();
  void UpdateMemoryButtons();
  void InvalidateButton(TdxCalcButtonKind kind);
  void DrawButton(const TdxButtonInfo& button);
  void TrackButton(int x, int y);
  void StopTracking();
  void PressKeyButton(TdxCalcButtonKind kind);
  void ReleaseKeyButton();
  TdxButtonInfo& ButtonRef(TdxCalcButtonKind kind) { return FButtons[static_cast<std::size_t>(kind)]; }

  TdxButtonStyle FButtonStyle = bsStandard;
  bool FButtonFrameVisible = false;
  bool FFocusRectVisible = true;
  long double FMemory = 0;
  TdxCalcButtonKind FOperator = TdxCalcButtonKind::cbEqual;
  long double FOperand = 0;
  TdxCalcState FStatus = csFirst;
  TCalcButtons FButtons{};
  TdxCalcButtonKind FActiveButton = TdxCalcButtonKind::cbNone;
  TdxCalcButtonKind FDownButton = TdxCalcButtonKind::cbNone;
  TdxCalcButtonKind FPressedButton = TdxCalcButtonKind::cbNone;
  bool FTracking = false;
};

// The text shown in the error state ("Error", a string resource).
const WideString& CalcErrorText();

// Counted start-up and shut-down: the shared off-screen bitmap and the error text.
bool DxCalcUnitStartup();
void DxCalcUnitShutdown();

}  // namespace tvk
