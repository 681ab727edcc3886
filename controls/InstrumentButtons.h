#pragma once
// The key of an instrument front plate: a bevelled key in the plate's
// button colour with its caption printed on it, optionally backlit, drawn
// from four prepared face pictures.
#include "InstrumentTypes.h"
#include "XPExtCtrls.h"

namespace tvk {

class TCustomInstrumentButton : public TXPCustomSpeedButton, public IInstrumentPostPaint, public IInstrumentStyleClient {
public:
  TVK_CLASS(TCustomInstrumentButton, TXPCustomSpeedButton)
  explicit TCustomInstrumentButton(TComponent* owner);
  ~TCustomInstrumentButton() override;
  TVK_UNCOUNTED_IUNKNOWN()
  bool GetInterface(const GUID& iid, void** obj) override;

  bool Backlight() const { return FBacklight; }
  void SetBacklight(bool value);
  // Held down by the program.
  bool ButtonDown() const { return FDown2; }
  void SetButtonDown(bool value);

  // Renders the four faces for the current size, caption, font and colour.
  void UpdateBitmaps();
  // The face shown now.
  TBitmap& CurrentFace();
  TBitmap& Face(bool down, bool lit);
  int FaceBuildCount() const { return FBuildCount; }

  void Loaded() override;
  void SetParent(TWinControl* parent) override;
  void PanelStyleChanged(TInstrumentPanelStyle style) override;
  void PaintToBackground(TCustomInstrumentBackgroundPanel* plate) override;

protected:
  virtual TColor GetFaceTextColor(bool down, bool lit);
  virtual std::uint8_t GetFaceFlags(bool down, bool lit);
  virtual std::uint8_t GetFaceTextMode() { return itmAuto; }
  virtual std::uint8_t GetFaceGlowLevel() { return 5; }
  virtual void FaceChanged() { Invalidate(); }
  void Paint() override;
  void Resize() override;
  void RedrawButton(int reason) override;
  bool ShiftWhenDown() override { return false; }
  void DrawCaption(const RECT&, const WideString&, TColor) override {}
  void CalcLayout(const RECT& rect, RECT& textRect, POINT& glyphPos) override;
  TVK_MESSAGES();
  void CMFontChanged(TMessage& message);
  void CMTextChanged(TMessage& message);

private:
  std::unique_ptr<TBitmap> FBackground_UpOff, FBackground_DownOff, FBackground_UpOn, FBackground_DownOn;
  bool FBacklight = false;
  bool FDown2 = false;
  int FLockAppearanceChanged = 0;
  int FBuildCount = 0;
};

class TInstrumentButton : public TCustomInstrumentButton {
public:
  TVK_CLASS(TInstrumentButton, TCustomInstrumentButton)
  using TCustomInstrumentButton::TCustomInstrumentButton;
  // Whether the font differs from the default one (and so is stored in a form).
  bool IsFontStored();
};

}  // namespace tvk
