#pragma once
// Menus: items with a caption, check mark and click handler, and the
// pop-up menu that shows them at a point and runs the chosen item.
#include "Classes.h"
#include "Controls.h"

#include <functional>
#include <vector>

namespace tvk {

class TMenuItem : public TComponent {
public:
  TVK_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  ~TMenuItem() override;

  const WideString& Caption() const { return FCaption; }
  // Carried for the owner's dispatch; the menu does not read them.
  int Tag = 0;
  int ImageIndex = -1;
  void SetCaption(const WideString& value) { FCaption = value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool value) { FChecked = value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }
  // The key that runs the item without opening its menu (scNone: none).
  WORD ShortCutValue() const { return FShortCut; }
  void SetShortCut(WORD value) { FShortCut = value; }
  // An auto-check item toggles its own check mark before its click event.
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool value) { FAutoCheck = value; }

  // Sub-items: an added item belongs to this one (freed with it).
  int Count() const { return int(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(std::size_t(index)); }
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  void Clear();
  TMenuItem* Parent() const { return FParent; }

  virtual void Click();
  TNotifyEvent OnClick;

private:
  WideString FCaption;
  bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
  WORD FShortCut = 0;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
};

class TPopupMenu : public TComponent {
public:
  TVK_CLASS(TPopupMenu, TComponent)
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  TMenuItem& Items() { return *FItems; }
  // The component the menu was shown for (not owned).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* component) { FPopupComponent = component; }
  // Shows the menu at the screen point; returns when it closes, after the
  // chosen item's click.
  virtual void Popup(int x, int y);
  TNotifyEvent OnPopup;
  // A key-down message (WM_KEYDOWN / WM_SYSKEYDOWN or their CN_ forms) that
  // matches an enabled, visible item's short cut clicks that item: true.
  bool IsShortCut(const TMessage& message);

private:
  std::unique_ptr<TMenuItem> FItems;
  TComponent* FPopupComponent = nullptr;
};

// The menu being tracked now, or null: tests and timers close it with EndMenu.
TPopupMenu* ActivePopupMenu();

// Every pop-up menu is shown through one function: the system's menu loop, or
// what a test puts in its place (null puts the menu loop back).
using TPopupMenuShow = std::function<void(TPopupMenu& Menu, int X, int Y)>;
void SetPopupMenuShow(TPopupMenuShow show);

// A key with its shift keys in one word: the virtual key in the low byte,
// scShift, scCtrl and scAlt above it.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// The shortcut as a menu shows it: "Shift+", "Ctrl+", "Alt+", then the key's
// name ("Ctrl+S", "F5", "Ctrl+Enter"); empty for none or a key without a name.
WideString ShortCutToText(TShortCut shortCut);

}  // namespace tvk
