#include "InstrumentPanels.h"

#include "InstrumentChecks.h"
#include "InstrumentLabels.h"
#include "Maths.h"
#include "StdCtrls.h"
#include "XPBitmapUtils.h"
#include "XPColors.h"
#include "XPGraphics.h"

namespace tvk {

namespace {

constexpr TSkinRow kPanelSkins[] = {{L"INSTRUMENT_MOUNTING_HOLE", TSkinKind::skBitmap}};
TSkinCache gPanelSkins(kPanelSkins);
bool gHolePrepared = false;

// Every control from Root down (Root included), depth first; windowed
// controls are descended into. With VisibleOnly an invisible control is
// neither visited nor descended into.
template <class F>
void WalkControls(TControl* root, bool visibleOnly, F&& visit) {
  if (visibleOnly && !root->Visible()) return;
  visit(root);
  if (auto* w = dynamic_cast<TWinControl*>(root))
    for (int i = 0; i < w->ControlCount(); ++i) WalkControls(w->Controls(i), visibleOnly, visit);
}

}  // namespace

TBitmap& InstrumentMountingHole() {
  TBitmap& hole = gPanelSkins.Bitmap(0);
  if (!gHolePrepared) {
    hole.SetPixelFormat(TPixelFormat::pf32bit);
    hole.SetTransparent(true);
    gHolePrepared = true;
  }
  return hole;
}

void InstrumentPanelsShutdown() {
  gPanelSkins.Release();
  gHolePrepared = false;
}

// ---- TCustomInstrumentPanel

TCustomInstrumentPanel::TCustomInstrumentPanel(TComponent* owner) : TXPCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetTabStop(false);
  FWidth = 100;
  FHeight = 50;
}

bool TCustomInstrumentPanel::GetInterface(const GUID& iid, void** obj) {
  return AnswerInterfaces<IInstrumentPostPaint, IInstrumentStyleClient>(this, iid, obj) ||
         TXPCustomControl::GetInterface(iid, obj);
}

void TCustomInstrumentPanel::SetDisplayStyle(TDisplayStyle value) {
  if (value == FDisplayStyle) return;
  FDisplayStyle = value;
  if (!(ComponentState() & (csLoading | csReading))) FParentDisplayStyle = false;
  NotifyChildren();
  Invalidate();
}

void TCustomInstrumentPanel::SetParentDisplayStyle(bool value) {
  if (value == FParentDisplayStyle) return;
  FParentDisplayStyle = value;
  FollowPlate();
}

void TCustomInstrumentPanel::Loaded() {
  TXPCustomControl::Loaded();
  FollowPlate();
  NotifyChildren();
}

void TCustomInstrumentPanel::SetParent(TWinControl* parent) {
  TXPCustomControl::SetParent(parent);
  FollowPlate();
}

void TCustomInstrumentPanel::FollowPlate() {
  if (ComponentState() & (csLoading | csReading)) return;
  if (auto* plate = FindInstrumentBackgroundPanel(this, true)) PanelStyleChanged(plate->Style());
}

void TCustomInstrumentPanel::PanelStyleChanged(TInstrumentPanelStyle style) {
  if (!FParentDisplayStyle || Height() < 20) return;
  SetDisplayStyle(DisplayStyleForPanelStyle(style));
  FParentDisplayStyle = true;
}

void TCustomInstrumentPanel::NotifyChildren() {
  WalkControls(this, false, [this](TControl* c) {
    c->Invalidate();
    if (auto* client = Supports<IInstrumentDisplayClient>(c, IInstrumentDisplayClient::Iid))
      client->DisplayStyleChanged(FDisplayStyle);
  });
}

void TCustomInstrumentPanel::PaintToBackground(TCustomInstrumentBackgroundPanel* plate) {
  POINT p = ClientToParent(POINT{0, 0}, plate);
  DrawInstrumentDisplay(plate->Bitmap(), RECT{p.x, p.y, p.x + Width(), p.y + Height()}, plate->Primary(),
                        FDisplayStyle, false);
}

void TCustomInstrumentPanel::Paint() {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(Width(), Height());
  auto* plate = FindInstrumentBackgroundPanel(this, true);
  DrawInstrumentDisplay(bitmap, RECT{0, 0, Width(), Height()}, plate && plate->Primary(), FDisplayStyle, true);
  Canvas().Draw(0, 0, bitmap);
}

// ---- TCustomInstrumentBackgroundPanel

namespace {

TCustomInstrumentLabel* MakeCaption(TCustomInstrumentBackgroundPanel* plate, const wchar_t* text, int left, int top,
                                    int width, int height) {
  auto* label = new TInstrumentLabel(plate);
  label->SetAutoSize(false);
  label->SetAlignment(TAlignment::taRightJustify);
  label->SetTransparent(true);
  label->Font().SetName(L"Arial");
  label->Font().SetColor(clWhite);
  label->Font().SetSize(7);
  label->Font().SetStyle(fsBold | fsItalic);
  label->SetCaption(text);
  label->SetBounds(left, top, width, height);
  label->SetParent(plate);
  return label;
}

TCustomInstrumentPanel* MakeReadout(TCustomInstrumentBackgroundPanel* plate, int left, int top, int width,
                                    int height) {
  auto* panel = new TCustomInstrumentPanel(plate);
  panel->SetBounds(left, top, width, height);
  panel->SetDisplayStyle(TDisplayStyle::dsRedLed);
  panel->SetParent(plate);
  return panel;
}

TLabel* MakeReadoutText(TCustomInstrumentBackgroundPanel* plate, TCustomInstrumentPanel* window, int width) {
  auto* label = new TLabel(plate);
  label->SetAutoSize(false);
  label->SetAlignment(TAlignment::taLeftJustify);
  label->SetTransparent(true);
  label->Font().SetName(L"Arial");
  label->Font().SetColor(0x0000E6);
  label->Font().SetSize(8);
  label->Font().SetStyle(0);
  label->SetBounds(5, 0, width, 13);
  label->SetParent(window);
  return label;
}

void MarkDesignInvisible(TControl* control) {
  control->SetControlStyle(control->ControlStyle() | csNoDesignVisible);
}

}  // namespace

TCustomInstrumentBackgroundPanel::TCustomInstrumentBackgroundPanel(TComponent* owner) : TXPCustomExtPanel(owner) {
  Bitmap().SetPixelFormat(TPixelFormat::pf32bit);
  SetKind(TXPExtPanelKind::epkBitmap);
  FHeight = 50;
  FWidth = 724;
  FCoreName = L"CoreName";
  FTitle = L"Instrument Title";
  FLabel_Caption_CoreName = MakeCaption(this, L"CORE", 120, 7, 30, 13);
  FLabel_Caption_JTAG = MakeCaption(this, L"JTAG", 32, 7, 40, 13);
  FLabel_Title = MakeCaption(this, L"Instrument Title", Width() - 310, Height() - 20, 260, 14);
  FTitleAnchor = POINT{Width() - FLabel_Title->Left(), Height() - FLabel_Title->Top()};
  FPanel_CoreName = MakeReadout(this, 155, 6, 500, 14);
  FPanel_JTAG = MakeReadout(this, 75, 6, 35, 14);
  FLabel_CoreName = MakeReadoutText(this, FPanel_CoreName, 480);
  FLabel_CoreName->SetCaption(FCoreName);
  FLabel_JTAG = MakeReadoutText(this, FPanel_JTAG, 35);
  auto* lamp = new TInstrumentCheckBox(this);
  lamp->SetBounds(660, 8, 13, 13);
  lamp->SetEnabled(false);
  lamp->SetParent(this);
  FCheckBox_Primary = lamp;
  for (TControl* c : {static_cast<TControl*>(FPanel_CoreName), static_cast<TControl*>(FPanel_JTAG),
                      static_cast<TControl*>(FLabel_Caption_CoreName), static_cast<TControl*>(FLabel_Caption_JTAG),
                      static_cast<TControl*>(FLabel_Title), FCheckBox_Primary})
    MarkDesignInvisible(c);
  UpdateJtagText();
  SetDoubleBuffered(true);
  SetStyle(FInstrumentPanelStyle);
}

void TCustomInstrumentBackgroundPanel::SetStyle(TInstrumentPanelStyle value) {
  FInstrumentPanelStyle = value;
  FBackgroundColor = InstrumentStyleColor(value);
  UpdateChildControls();
}

void TCustomInstrumentBackgroundPanel::SetCoreName(const WideString& value) {
  FCoreName = value;
  FLabel_CoreName->SetCaption(value);
  FLabel_CoreName->Invalidate();
}

void TCustomInstrumentBackgroundPanel::UpdateJtagText() {
  WideString text = std::to_wstring(FJtagID);
  if (FPortID >= 0) text = std::to_wstring(FPortID) + L"/" + text;
  FLabel_JTAG->SetCaption(text);
  FLabel_JTAG->Invalidate();
}

void TCustomInstrumentBackgroundPanel::SetJtagID(int value) {
  FJtagID = value;
  UpdateJtagText();
}

void TCustomInstrumentBackgroundPanel::SetPortID(int value) {
  FPortID = value;
  UpdateJtagText();
}

void TCustomInstrumentBackgroundPanel::SetTitle(const WideString& value) {
  FTitle = value;
  FLabel_Title->SetCaption(value);
  FLabel_Title->Invalidate();
}

void TCustomInstrumentBackgroundPanel::SetPrimary(bool value) {
  FPrimary = value;
  static_cast<TInstrumentCheckBox*>(FCheckBox_Primary)->SetChecked(value);
  for (TLabel* label : {FLabel_CoreName, FLabel_JTAG}) {
    label->Font().SetStyle(value ? TFontStyles(fsBold) : TFontStyles(0));
    label->Font().SetColor(value ? 0x1018FF : 0x0000E6);
  }
  // Red LED windows and the plate's outlines of them light up.
  FPanel_CoreName->Invalidate();
  FPanel_JTAG->Invalidate();
  UpdateBackgroundImage();
}

void TCustomInstrumentBackgroundPanel::SetShowJTAG(bool value) {
  FShowJTAG = value;
  FPanel_JTAG->SetVisible(value);
  FLabel_Caption_JTAG->SetVisible(value);
  UpdateBackgroundImage();
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::SetShowCoreName(bool value) {
  FShowCoreName = value;
  FPanel_CoreName->SetVisible(value);
  FLabel_Caption_CoreName->SetVisible(value);
  FCheckBox_Primary->SetVisible(value);
  UpdateBackgroundImage();
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::SetShowTitle(bool value) {
  FShowTitle = value;
  FLabel_Title->SetVisible(value);
  UpdateBackgroundImage();
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::SetShowGrooves(bool value) {
  FShowGrooves = value;
  UpdateBackgroundImage();
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::SetShowMountingHoles(bool value) {
  FShowMountingHoles = value;
  UpdateBackgroundImage();
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::UpdateBackgroundImage() {
  if (Loading()) return;
  FBkgndValid = false;
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::UpdateChildControls() {
  WalkControls(this, false, [this](TControl* c) {
    c->Invalidate();
    if (auto* client = Supports<IInstrumentStyleClient>(c, IInstrumentStyleClient::Iid))
      client->PanelStyleChanged(FInstrumentPanelStyle);
  });
  UpdateBackgroundImage();
  Invalidate();
}

void TCustomInstrumentBackgroundPanel::Loaded() {
  TXPCustomExtPanel::Loaded();
  FLabel_Title->SetTop(Height() - 20);
  FTitleAnchor = POINT{Width() - FLabel_Title->Left(), Height() - FLabel_Title->Top()};
  FBkgndValid = false;
  UpdateChildControls();
}

void TCustomInstrumentBackgroundPanel::Paint() {
  if (!FBkgndValid) RebuildBackground();
  TXPCustomExtPanel::Paint();
}

void TCustomInstrumentBackgroundPanel::Resize() {
  // The title keeps its place at the right and bottom edges.
  if (FLabel_Title && !Loading())
    FLabel_Title->SetBounds(Width() - FTitleAnchor.x, Height() - FTitleAnchor.y, FLabel_Title->Width(),
                            FLabel_Title->Height());
  TXPCustomExtPanel::Resize();
}

void TCustomInstrumentBackgroundPanel::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  UpdateBackgroundImage();
}

void TCustomInstrumentBackgroundPanel::RebuildBackground() {
  TBitmap& picture = Bitmap();
  // Drawing into the picture must not ask for another paint.
  TNotifyEvent onChange = std::exchange(picture.OnChange, nullptr);
  struct TRestore {
    TBitmap& Picture;
    TNotifyEvent& Handler;
    ~TRestore() { Picture.OnChange = std::move(Handler); }
  } restore{picture, onChange};
  const int w = Width(), h = Height();
  picture.SetPixelFormat(TPixelFormat::pf32bit);
  picture.SetSize(w, h);
  TCanvas& canvas = picture.Canvas();
  const TColor c = FBackgroundColor, d = ScaleColor(FBackgroundColor, 0.8);
  const int x = int(Round(w * 0.7));
  DrawGradientRect(canvas.Handle(), RECT{0, 0, x, h}, c, d, true);
  canvas.Brush().SetColor(d);
  canvas.FillRect(RECT{x, 0, w, h});
  if (FShowMountingHoles) {
    TBitmap& hole = InstrumentMountingHole();
    for (POINT centre : {POINT{11, 10}, POINT{w - 12, 10}, POINT{11, h - 10}, POINT{w - 12, h - 10}}) {
      int left = centre.x - hole.Width() / 2, top = centre.y - hole.Height() / 2;
      canvas.Draw(left, top, hole);
      SmoothBitmapRect(picture, left - 2, top - 2, left + hole.Width() + 2, top + hole.Height() + 2, 20);
    }
  }
  const bool designing = ComponentState() & csDesigning;
  if (!designing)
    WalkControls(this, true, [this](TControl* ctl) {
      if (auto* pre = Supports<IInstrumentPrePaint>(ctl, IInstrumentPrePaint::Iid)) pre->PaintToBackground(this);
    });
  RandomShadeFilter(picture, 10, 20, 0.002);
  if (FShowGrooves) {
    for (auto [gx, f] : {std::pair{38, 0.9}, std::pair{w - 39, 1.0}})
      for (int y = 0; y < h; ++y) {
        canvas.SetPixel(gx - 1, y, ScaleColor(canvas.Pixel(gx - 1, y), 0.7 * f));
        canvas.SetPixel(gx, y, clBlack);
        canvas.SetPixel(gx + 1, y, ScaleColor(canvas.Pixel(gx + 1, y), 1.3 * f));
      }
  }
  if (!designing)
    WalkControls(this, true, [this](TControl* ctl) {
      if (auto* post = Supports<IInstrumentPostPaint>(ctl, IInstrumentPostPaint::Iid)) post->PaintToBackground(this);
    });
  FBkgndValid = true;
  ++FBuildCount;
}

TVK_MESSAGE_MAP(TCustomInstrumentBackgroundPanel, {WM_SIZE, &TCustomInstrumentBackgroundPanel::WMSize})

}  // namespace tvk
