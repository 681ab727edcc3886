#pragma once
// The instrument display window (a recessed glass in one of eleven colours
// holding labels) and the instrument front plate (brushed metal in one of
// thirteen schemes with mounting holes, grooves, a title, core-name and JTAG
// readouts and a primary lamp), whose one background picture composes the
// texture, grooves, labels and the engraved outlines of displays and keys.
#include "InstrumentTypes.h"
#include "XPPanels.h"

namespace tvk {

class TLabel;
class TCustomInstrumentLabel;

class TCustomInstrumentPanel : public TXPCustomControl, public IInstrumentPostPaint, public IInstrumentStyleClient {
public:
  TVK_CLASS(TCustomInstrumentPanel, TXPCustomControl)
  explicit TCustomInstrumentPanel(TComponent* owner);
  TVK_UNCOUNTED_IUNKNOWN()
  bool GetInterface(const GUID& iid, void** obj) override;

  TDisplayStyle DisplayStyle() const { return FDisplayStyle; }
  // An explicit choice (outside loading) stops following the plate.
  void SetDisplayStyle(TDisplayStyle value);
  bool ParentDisplayStyle() const { return FParentDisplayStyle; }
  void SetParentDisplayStyle(bool value);

  void Loaded() override;
  void SetParent(TWinControl* parent) override;
  // Displays under 20 pixels keep their own colour.
  void PanelStyleChanged(TInstrumentPanelStyle style) override;
  void PaintToBackground(TCustomInstrumentBackgroundPanel* plate) override;

protected:
  void Paint() override;

private:
  void FollowPlate();
  void NotifyChildren();

  TDisplayStyle FDisplayStyle = TDisplayStyle::dsCream;
  bool FParentDisplayStyle = true;
};

class TInstrumentPanel : public TCustomInstrumentPanel {
public:
  TVK_CLASS(TInstrumentPanel, TCustomInstrumentPanel)
  using TCustomInstrumentPanel::TCustomInstrumentPanel;
};

class TCustomInstrumentBackgroundPanel : public TXPCustomExtPanel {
public:
  TVK_CLASS(TCustomInstrumentBackgroundPanel, TXPCustomExtPanel)
  explicit TCustomInstrumentBackgroundPanel(TComponent* owner);

  TInstrumentPanelStyle Style() const { return FInstrumentPanelStyle; }
  // Always redoes its work: the plate colour, the widgets told, the picture rebuilt.
  void SetStyle(TInstrumentPanelStyle value);
  // The plate colour of the scheme, read by the widgets.
  TColor BackgroundColor() const { return FBackgroundColor; }
  const WideString& CoreName() const { return FCoreName; }
  void SetCoreName(const WideString& value);
  int JtagID() const { return FJtagID; }
  void SetJtagID(int value);
  int PortID() const { return FPortID; }
  void SetPortID(int value);
  const WideString& Title() const { return FTitle; }
  void SetTitle(const WideString& value);
  bool Primary() const { return FPrimary; }
  void SetPrimary(bool value);
  bool ShowJTAG() const { return FShowJTAG; }
  void SetShowJTAG(bool value);
  bool ShowCoreName() const { return FShowCoreName; }
  void SetShowCoreName(bool value);
  bool ShowTitle() const { return FShowTitle; }
  void SetShowTitle(bool value);
  bool ShowGrooves() const { return FShowGrooves; }
  void SetShowGrooves(bool value);
  bool ShowMountingHoles() const { return FShowMountingHoles; }
  void SetShowMountingHoles(bool value);

  // The picture is rebuilt at the next paint (nothing while loading).
  void UpdateBackgroundImage();
  // Tells the widgets of the scheme, then rebuilds the picture.
  void UpdateChildControls();
  bool BackgroundValid() const { return FBkgndValid; }
  // How often the picture was rebuilt.
  int BackgroundBuildCount() const { return FBuildCount; }

  // The parts the plate made itself.
  TLabel* JtagLabel() const { return FLabel_JTAG; }
  TCustomInstrumentPanel* JtagPanel() const { return FPanel_JTAG; }
  TCustomInstrumentLabel* JtagCaption() const { return FLabel_Caption_JTAG; }
  TLabel* CoreNameLabel() const { return FLabel_CoreName; }
  TCustomInstrumentPanel* CoreNamePanel() const { return FPanel_CoreName; }
  TCustomInstrumentLabel* CoreNameCaption() const { return FLabel_Caption_CoreName; }
  TControl* PrimaryLamp() const { return FCheckBox_Primary; }
  TCustomInstrumentLabel* TitleLabel() const { return FLabel_Title; }

  void Loaded() override;

protected:
  void Paint() override;
  void Resize() override;
  TVK_MESSAGES();
  void WMSize(TMessage& message);

private:
  void RebuildBackground();
  void UpdateJtagText();

  TInstrumentPanelStyle FInstrumentPanelStyle = TInstrumentPanelStyle::ipsMidGray;
  TColor FBackgroundColor = 0;
  WideString FCoreName;
  int FJtagID = -1;
  int FPortID = -1;
  WideString FTitle;
  bool FPrimary = false;
  bool FShowJTAG = true, FShowCoreName = true, FShowTitle = true, FShowGrooves = true, FShowMountingHoles = true;
  TLabel* FLabel_JTAG = nullptr;
  TCustomInstrumentPanel* FPanel_JTAG = nullptr;
  TCustomInstrumentLabel* FLabel_Caption_JTAG = nullptr;
  TLabel* FLabel_CoreName = nullptr;
  TCustomInstrumentPanel* FPanel_CoreName = nullptr;
  TCustomInstrumentLabel* FLabel_Caption_CoreName = nullptr;
  TControl* FCheckBox_Primary = nullptr;
  TCustomInstrumentLabel* FLabel_Title = nullptr;
  bool FBkgndValid = false;
  int FBuildCount = 0;
  POINT FTitleAnchor{};  // the title's distance from the right and bottom edges
};

class TInstrumentBackgroundPanel : public TCustomInstrumentBackgroundPanel {
public:
  TVK_CLASS(TInstrumentBackgroundPanel, TCustomInstrumentBackgroundPanel)
  using TCustomInstrumentBackgroundPanel::TCustomInstrumentBackgroundPanel;
};

// The mounting-hole picture (loaded on first use).
TBitmap& InstrumentMountingHole();
void InstrumentPanelsShutdown();

}  // namespace tvk
