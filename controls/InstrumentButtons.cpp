#include "InstrumentButtons.h"

#include "InstrumentPanels.h"
#include "XPBitmapUtils.h"
#include "XPColors.h"
#include "XPGraphics.h"

namespace tvk {

namespace {

std::unique_ptr<TBitmap> NewFace(TCustomInstrumentButton* button) {
  auto face = std::make_unique<TBitmap>();
  face->SetPixelFormat(TPixelFormat::pf32bit);
  face->OnChange = [button](TObject*) { button->Invalidate(); };
  return face;
}

}  // namespace

TCustomInstrumentButton::TCustomInstrumentButton(TComponent* owner) : TXPCustomSpeedButton(owner) {
  FBackground_UpOff = NewFace(this);
  FBackground_DownOff = NewFace(this);
  FBackground_UpOn = NewFace(this);
  FBackground_DownOn = NewFace(this);
  ++FLockAppearanceChanged;
  Font().SetName(L"Arial");
  Font().SetSize(6);
  Font().SetStyle(fsBold | fsItalic);
  Font().SetColor(clWhite);
  FBacklight = false;
  FDown2 = false;
  --FLockAppearanceChanged;
}

TCustomInstrumentButton::~TCustomInstrumentButton() {
  for (auto* face : {&FBackground_UpOff, &FBackground_DownOff, &FBackground_UpOn, &FBackground_DownOn}) {
    (*face)->OnChange = nullptr;
    face->reset();
  }
}

bool TCustomInstrumentButton::GetInterface(const GUID& iid, void** obj) {
  return AnswerInterfaces<IInstrumentPostPaint, IInstrumentStyleClient>(this, iid, obj) ||
         TXPCustomSpeedButton::GetInterface(iid, obj);
}

void TCustomInstrumentButton::SetBacklight(bool value) {
  if (value == FBacklight) return;
  FBacklight = value;
  Invalidate();
}

void TCustomInstrumentButton::SetButtonDown(bool value) {
  if (value == FDown2) return;
  FDown2 = value;
  Invalidate();
}

TBitmap& TCustomInstrumentButton::Face(bool down, bool lit) {
  if (down) return lit ? *FBackground_DownOn : *FBackground_DownOff;
  return lit ? *FBackground_UpOn : *FBackground_UpOff;
}

TBitmap& TCustomInstrumentButton::CurrentFace() {
  bool pressed = FDown2 || FState == TButtonState::bsDown || FState == TButtonState::bsExclusive;
  return Face(pressed, FBacklight);
}

TColor TCustomInstrumentButton::GetFaceTextColor(bool, bool) { return Font().Color(); }

std::uint8_t TCustomInstrumentButton::GetFaceFlags(bool down, bool lit) {
  std::uint8_t flags = iffNoise;
  if (down) flags |= iffPressed;
  if (lit) flags |= iffLit;
  if (!Enabled()) flags |= iffDisabled;
  return flags;
}

void TCustomInstrumentButton::UpdateBitmaps() {
  const TColor c = Color(), frame = ScaleColor(Color(), 0.4);
  const RECT r = ClientRect();
  const int w = Width(), h = Height();
  for (auto [down, lit] : {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}, std::pair{true, true}}) {
    TBitmap& face = Face(down, lit);
    TNotifyEvent onChange = std::exchange(face.OnChange, nullptr);
    face.SetSize(w, h);
    if (w > 0 && h > 0)
      DrawInstrumentButtonFace(face, c, frame, r, Caption(), Font(), GetFaceTextColor(down, lit),
                               GetFaceFlags(down, lit), GetFaceTextMode(), GetFaceGlowLevel());
    face.OnChange = std::move(onChange);
  }
  ++FBuildCount;
  Invalidate();
}

void TCustomInstrumentButton::RedrawButton(int reason) {
  TXPCustomSpeedButton::RedrawButton(reason);
  // Pressing and moving switch faces; only appearance and size redraw them.
  if ((reason == 0 || reason == 2) && !(ComponentState() & (csLoading | csReading)) && FLockAppearanceChanged == 0)
    UpdateBitmaps();
}

void TCustomInstrumentButton::Loaded() {
  TXPCustomSpeedButton::Loaded();
  UpdateBitmaps();
}

void TCustomInstrumentButton::Resize() {
  TXPCustomSpeedButton::Resize();
  RedrawButton(2);
}

void TCustomInstrumentButton::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  RedrawButton(0);
}

void TCustomInstrumentButton::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  RedrawButton(0);
}

void TCustomInstrumentButton::Paint() {
  TBitmap& face = CurrentFace();
  if (face.Empty()) return;
  Canvas().Draw(0, 0, face);
}

void TCustomInstrumentButton::CalcLayout(const RECT& rect, RECT& textRect, POINT& glyphPos) {
  TBitmap& face = CurrentFace();
  if (face.Empty()) {
    TXPCustomSpeedButton::CalcLayout(rect, textRect, glyphPos);
    return;
  }
  CalcGlyphCaptionLayout(Canvas(), rect, Font(), Caption(), POINT{face.Width(), face.Height()}, Layout(), Margin(),
                         Spacing(), GetTextFlags(), glyphPos, textRect);
}

void TCustomInstrumentButton::SetParent(TWinControl* parent) {
  TXPCustomSpeedButton::SetParent(parent);
  if (auto* plate = FindInstrumentBackgroundPanel(this, true)) PanelStyleChanged(plate->Style());
}

void TCustomInstrumentButton::PanelStyleChanged(TInstrumentPanelStyle style) {
  SetColor(InstrumentButtonColor(style));
  RedrawButton(0);
}

void TCustomInstrumentButton::PaintToBackground(TCustomInstrumentBackgroundPanel* plate) {
  TBitmap& face = CurrentFace();
  POINT p = ClientToParent(POINT{0, 0}, plate);
  if (!face.Empty()) plate->Bitmap().Canvas().Draw(p.x, p.y, face);
  SmoothBitmapRect(plate->Bitmap(), p.x - 2, p.y - 2, p.x + Width() + 2, p.y + Height() + 2, 30);
}

TVK_MESSAGE_MAP(TCustomInstrumentButton, {CM_FONTCHANGED, &TCustomInstrumentButton::CMFontChanged},
                {CM_TEXTCHANGED, &TCustomInstrumentButton::CMTextChanged})

bool TInstrumentButton::IsFontStored() {
  TFont& f = Font();
  return !(f.Name() == L"Arial" && f.Size() == 6 && f.Style() == (fsBold | fsItalic) && f.Color() == clWhite);
}

}  // namespace tvk
