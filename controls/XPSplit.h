#pragma once
// Section panels: a container that stacks child panels (sections) one below
// the other (or side by side), separated by draggable bars, keeping their
// sizes in proportion to coefficients when it is resized; the coefficients
// and the sections' visibility can be kept in the current user's registry.
#include "ExtCtrls.h"
#include "Lists.h"
#include "Menus.h"
#include "XPExtCtrls.h"
#include "XPPanels.h"
#include "XPControls.h"

#include <functional>
#include <vector>

namespace tvk {

enum class TXPResizeMode { xrmStandard, xrmAdjacent, xrmProportional };

// A base path for the layouts' keys that a host may supply; nothing in the
// module sets it.
extern void (*SectionsRegistryBase)(WideString& basePath);

class TXPCustomSection;
class TXPCustomSectionsPanel;

// The bar a section owns below (or right of) itself.
class TXPSectionSplitter : public TGraphicControl {
public:
  TVK_CLASS(TXPSectionSplitter, TGraphicControl)
  explicit TXPSectionSplitter(TXPCustomSection* section);
  ~TXPSectionSplitter() override;

  int MinSize() const { return FMinSize; }
  void SetMinSize(int value) { FMinSize = std::max(value, 1); }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle value) { FResizeStyle = value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool Vertical() const { return FVertical; }
  void SetVertical(bool value);
  bool Sizing() const { return FInSizing; }
  // The proposed position of the bar (its top, or left when vertical).
  int NewSize() const { return FNewSize; }
  int OrigTop() const { return FOrigTop; }
  // The bar's position along the stacking direction.
  int Position() const { return FVertical ? Left() : Top(); }

  TCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved;
  TNotifyEvent OnPaint;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  friend class TXPCustomSection;
  friend class TXPCustomSectionsPanel;
  int ParentOffset(int x, int y) const;
  void DrawLine();
  void StopSizing();
  void ApplyMove();
  // Escape applies the position the line shows; other keys go to the focused control.
  void KeyDuringDrag(TObject* sender, WORD& key, TShiftState shift);

  TXPCustomSection* FSection;
  TSplitterDrag FDrag;  // the line's context and brush, the borrowed key handler
  POINT FDownPos{};
  bool FLineVisible = false;
  int FMinSize = 50;
  int FNewSize = 0;
  int FOldSize = -1;
  TResizeStyle FResizeStyle = TResizeStyle::rsPattern;
  bool FTransparent = true;
  bool FVertical = false;
  bool FInSizing = false;
  int FOrigTop = 0;
};

class TXPCustomSection : public TXPNonFlickingControl {
public:
  TVK_CLASS(TXPCustomSection, TXPNonFlickingControl)
  explicit TXPCustomSection(TComponent* owner);
  ~TXPCustomSection() override;

  TXPSectionSplitter* Splitter() const { return FSplitter; }
  int MinSize() const { return FMinSize; }
  void SetMinSize(int value) { FMinSize = value; }
  bool Resizeable() const { return FResizeable; }
  void SetResizeable(bool value) { FResizeable = value; }
  bool ShowBorder() const { return FShowBorder; }
  void SetShowBorder(bool value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor value);
  double SizeCoef() const { return FSizeCoef; }
  void SetSizeCoef(double value) { FSizeCoef = value; }
  // Its extent when a splitter drag began.
  int OrigHeight() const { return FOrigHeight; }

  TXPCustomSectionsPanel* Panel() const;
  // Its extent along the stacking direction, and its position.
  int Extent() const;
  int Position() const;

  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  // One pixel in from every side with ShowBorder.
  void AdjustClientRect(RECT& rect) override;

protected:
  // A section with an owner may only be placed in a sections panel.
  void ValidateContainer(TWinControl* container) override;
  virtual void VisibleChanged();
  void Resize() override;
  TVK_MESSAGES();
  void CMVisibleChanged(TMessage& message);
  void WMEraseBkgnd(TMessage& message);

private:
  friend class TXPCustomSectionsPanel;
  friend class TXPSectionSplitter;
  void SplitterCanResize(TObject* sender, int& newSize, bool& accept);
  void SplitterMoved(TObject* sender);

  TXPSectionSplitter* FSplitter = nullptr;
  int FMinSize = 50;
  bool FResizeable = true;
  bool FShowBorder = false;
  TColor FBorderColor = clBtnShadow;
  double FSizeCoef = 1.0;
  int FOrigHeight = 0;
};

class TXPSection : public TXPCustomSection {
public:
  TVK_CLASS(TXPSection, TXPCustomSection)
  using TXPCustomSection::TXPCustomSection;
};

class TXPCustomSectionsPanel : public TXPNonFlickingControl {
public:
  TVK_CLASS(TXPCustomSectionsPanel, TXPNonFlickingControl)
  explicit TXPCustomSectionsPanel(TComponent* owner);
  ~TXPCustomSectionsPanel() override;

  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int SplitterWidth() const { return FSplitterWidth; }
  void SetSplitterWidth(int value);
  TXPResizeMode ResizeMode() const { return FResizeMode; }
  void SetResizeMode(TXPResizeMode value);
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle value);
  bool Horizontal() const { return FHorizontal; }
  void SetHorizontal(bool value);
  const WideString& RegistryKey() const { return FRegistryKey; }
  void SetRegistryKey(const WideString& value) { FRegistryKey = value; }
  // While dragging, every bar shows where it would end up.
  bool ExtendedResize() const { return FExtendedResize; }
  void SetExtendedResize(bool value) { FExtendedResize = value; }
  bool SaveInRegistry() const { return FSaveInRegistry; }
  void SetSaveInRegistry(bool value) { FSaveInRegistry = value; }

  // A new section of the panel's kind (owned by the panel's owner), added last.
  TXPCustomSection* AddNewSection();
  void AddSection(TXPCustomSection* section, bool keepSizeCoef = false);
  void RemoveSection(TXPCustomSection* section);
  void ClearSections();
  int SectionCount() const;
  TXPCustomSection* Sections(int index) const;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // The key the layout is kept under (empty: none).
  WideString LayoutKey();
  // False without a key; else reads every section's coefficient and visibility.
  bool LoadLayout();
  void SaveLayout();
  // Computes the sizes and places the sections and their bars.
  virtual void Rearrange();
  // Divides the coefficients by their sum in the proportional mode (a sum
  // of 0 leaves them alone).
  void NormalizeCoefs();
  // The length the visible sections share.
  int AvailableLength();
  void Loaded() override;

  virtual bool IsSectionVisible(TXPCustomSection* section);
  // Makes a section of the panel's kind.
  virtual TXPCustomSection* CreateSection(TComponent* owner);
  virtual int GetLeftMargin() { return FMargin; }
  virtual int GetTopMargin() { return FMargin; }
  virtual int GetRightMargin() { return FMargin; }
  virtual int GetBottomMargin() { return FMargin; }

protected:
  // Only sections and their bars may be placed in the panel.
  void ValidateInsert(TControl* control) override;
  virtual void LoadSectionLayout(TXPCustomSection* section, class TRegistryIniFile& ini, int index);
  virtual void SaveSectionLayout(TXPCustomSection* section, class TRegistryIniFile& ini, int index);
  void CreateParams(TCreateParams& params) override;
  void Resize() override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);

private:
  friend class TXPCustomSection;
  friend class TXPSectionSplitter;
  friend class TXPCustomCollapseSection;
  friend class TXPCustomCollapseSectionsPanel;
  std::vector<TXPCustomSection*> SectionList() const;
  std::vector<TXPCustomSection*> VisibleSections();
  std::vector<int> ComputeSizes(const std::vector<TXPCustomSection*>& visible, int a);
  void InitCoefsFromExtents();
  void RecomputeCoefs(TXPCustomSection* dragged);
  int SectionsLimit(TXPCustomSection* section);
  // Stores in every bar's NewSize where it would end if the drag of Section's bar ended now.
  void Preview(TXPCustomSection* section);

  bool FInRearranging2 = false;  // the button update of a collapsible panel runs
  int FMargin = 8;
  TResizeStyle FResizeStyle = TResizeStyle::rsPattern;
  TXPResizeMode FResizeMode = TXPResizeMode::xrmAdjacent;
  bool FExtendedResize = false;
  WideString FRegistryKey;
  bool FSaveInRegistry = false;
  int FUpdateCount = 0;
  bool FInRearranging = false;
  TXPCustomSection* FLastResized = nullptr;
  bool FHorizontal = false;
  int FSplitterWidth = 5;
};

class TXPSectionsPanel : public TXPCustomSectionsPanel {
public:
  TVK_CLASS(TXPSectionsPanel, TXPCustomSectionsPanel)
  using TXPCustomSectionsPanel::TXPCustomSectionsPanel;
};

// ---- Collapsible sections

class TXPCustomCollapseSection;
class TXPCustomCollapseSectionsPanel;

// The panel's hint event: the sections a button acts on, whether they are
// collapsed (an expand button), and the hint, which the handler may change.
using TXPGetButtonHint =
    std::function<void(TObject* Sender, TList& SectionsList, bool Collapsed, WideString& HintStr)>;

// How a change made by the user is animated.
class TXPCollapseProperties : public TPersistent {
public:
  TVK_CLASS(TXPCollapseProperties, TPersistent)
  TXPAnimationKind AnimationKind() const { return FAnimationKind; }
  void SetAnimationKind(TXPAnimationKind value) { FAnimationKind = value; }
  int Steps() const { return FSteps; }
  void SetSteps(int value) { FSteps = value; }
  // Milliseconds per step (the whole duration of a sliding window).
  int Interval() const { return FInterval; }
  void SetInterval(int value) { FInterval = value; }
  void Assign(const TPersistent& source) override;

private:
  TXPAnimationKind FAnimationKind = TXPAnimationKind::xakNone;
  int FSteps = 16;
  int FInterval = 4;
};

// A 9-pixel chevron button beside a section (a sibling of it on the panel).
class TXPArrowButton : public TXPTransButton {
public:
  TVK_CLASS(TXPArrowButton, TXPTransButton)
  TXPArrowButton(TComponent* owner, const WideString& resName);
  // Adds the sections the button acts on.
  virtual void GetButtonSections(TList& list) = 0;
  virtual bool IsExpandButton() = 0;
  // The hint the button shows now ("Hide ...", "Show ...", "Show hidden sections"),
  // as the panel's OnGetButtonHint leaves it.
  WideString HintText();

protected:
  TVK_MESSAGES();
  void CMHintShow(TMessage& message);
};

class TXPCollapseButton : public TXPArrowButton {
public:
  TVK_CLASS(TXPCollapseButton, TXPArrowButton)
  explicit TXPCollapseButton(TComponent* owner) : TXPArrowButton(owner, L"XPCOLLAPSESECTION") {}
  void GetButtonSections(TList& list) override;
  bool IsExpandButton() override { return false; }
};

class TXPExpandButton : public TXPArrowButton {
public:
  TVK_CLASS(TXPExpandButton, TXPArrowButton)
  explicit TXPExpandButton(TComponent* owner) : TXPArrowButton(owner, L"XPEXPANDSECTION") {}
  void AddSection(TXPCustomCollapseSection* section) { FList.Add(section); }
  void ClearSections() { FList.Clear(); }
  void RemoveSection(TXPCustomCollapseSection* section) { FList.Remove(section); }
  // Acts on a run of collapsed sections (a double chevron; a click opens a menu).
  bool Multiple() const { return FMultiple; }
  void SetMultiple(bool value);
  void GetButtonSections(TList& list) override;
  bool IsExpandButton() override { return true; }

private:
  TList FList;
  bool FMultiple = false;
};

// The menu of a run of collapsed sections.
class TXPExpandPopupMenu : public TPopupMenu {
public:
  TVK_CLASS(TXPExpandPopupMenu, TPopupMenu)
  using TPopupMenu::TPopupMenu;
};

class TXPCustomCollapseSection : public TXPCustomSection {
public:
  TVK_CLASS(TXPCustomCollapseSection, TXPCustomSection)
  explicit TXPCustomCollapseSection(TComponent* owner);
  ~TXPCustomCollapseSection() override;

  bool Collapsed() const { return FCollapsed; }
  // Ignored unless collapsible, and (to collapse) unless the panel allows it.
  void SetCollapsed(bool value);
  bool Collapsible() const { return FCollapsible; }
  void SetCollapsible(bool value);
  TXPCollapseButton* CollapseButton() const { return FCollapseBtn; }
  TXPExpandButton* ExpandButton() const { return FExpandBtn; }
  // Collapses or expands as the user does (animated by the panel's settings).
  void UserSetCollapsed(bool value);
  // Puts the collapse button at the section's top right corner.
  virtual void AlignButton();
  void SetParent(TWinControl* parent) override;
  void Loaded() override;

  TNotifyEvent OnCollapse, OnExpand, OnCollapsing, OnExpanding;

protected:
  virtual void DoCollapse();
  virtual void DoExpand();
  virtual void DoCollapsing();
  virtual void DoExpanding();
  void VisibleChanged() override;
  void Notification(TComponent* component, TOperation operation) override;
  // A section collapsed before its window exists gets a hidden one.
  void CreateParams(TCreateParams& params) override;
  TVK_MESSAGES();
  void CMShowingChanged(TMessage& message);
  void WMWindowPosChanged(TMessage& message);

private:
  friend class TXPCustomCollapseSectionsPanel;
  void ChangeCollapsed(bool value);
  void Animate(bool collapsing);
  void ExpandClick();
  void CallAlignButton();

  TXPCollapseButton* FCollapseBtn = nullptr;
  TXPExpandButton* FExpandBtn = nullptr;
  bool FInAlignButton = false;
  bool FCollapsible = true;
  bool FCollapsed = false;
  bool FUserCollapsing = false;
};

class TXPCollapseSection : public TXPCustomCollapseSection {
public:
  TVK_CLASS(TXPCollapseSection, TXPCustomCollapseSection)
  using TXPCustomCollapseSection::TXPCustomCollapseSection;
};

class TXPCustomCollapseSectionsPanel : public TXPCustomSectionsPanel {
public:
  TVK_CLASS(TXPCustomCollapseSectionsPanel, TXPCustomSectionsPanel)
  explicit TXPCustomCollapseSectionsPanel(TComponent* owner);
  ~TXPCustomCollapseSectionsPanel() override;

  // The last section the layout shows may be collapsed too.
  bool CanCloseAll() const { return FCanCloseAll; }
  void SetCanCloseAll(bool value);
  TXPCollapseProperties& CollapseProperties() { return *FCollapseProps; }
  void SetCollapseProperties(const TXPCollapseProperties& value) { FCollapseProps->Assign(value); }
  TPopupMenu& HiddenPopupMenu() { return *FHiddenPopupMenu; }
  bool CanCollapse();
  // Shows, hides and places the arrow buttons for the sections' states.
  void UpdateButtons();

  bool IsSectionVisible(TXPCustomSection* section) override;
  TXPCustomSection* CreateSection(TComponent* owner) override;
  int GetTopMargin() override;
  int GetRightMargin() override;
  int GetBottomMargin() override;
  void Rearrange() override;

  TXPGetButtonHint OnGetButtonHint;

protected:
  void LoadSectionLayout(TXPCustomSection* section, TRegistryIniFile& ini, int index) override;
  void SaveSectionLayout(TXPCustomSection* section, TRegistryIniFile& ini, int index) override;
  // The sections' arrow buttons pass too.
  void ValidateInsert(TControl* control) override;

private:
  friend class TXPCustomCollapseSection;
  std::vector<TXPCustomCollapseSection*> CollapseSections() const;
  void PlaceExpandButton(TXPExpandButton* button, int index);
  void PopupHiddenMenu(TXPExpandButton* button);

  TPopupMenu* FHiddenPopupMenu = nullptr;
  bool FCanCloseAll = false;
  std::unique_ptr<TXPCollapseProperties> FCollapseProps;
};

class TXPCollapseSectionsPanel : public TXPCustomCollapseSectionsPanel {
public:
  TVK_CLASS(TXPCollapseSectionsPanel, TXPCustomCollapseSectionsPanel)
  using TXPCustomCollapseSectionsPanel::TXPCustomCollapseSectionsPanel;
};

}  // namespace tvk
