#pragma once
// Menus: items with a caption, check mark and click handler, and the
// pop-up menu that shows them at a point and runs the chosen item.
#include "Classes.h"

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
  bool FChecked = false, FEnabled = true, FVisible = true;
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

private:
  std::unique_ptr<TMenuItem> FItems;
  TComponent* FPopupComponent = nullptr;
};

// The menu being tracked now, or null: tests and timers close it with EndMenu.
TPopupMenu* ActivePopupMenu();

// Takes the place of the system's menu loop in Popup while set (tests see the
// menu and the point, and may click an item); null puts the loop back.
using TPopupMenuHook = std::function<void(TPopupMenu& menu, int x, int y)>;
void SetPopupMenuHook(TPopupMenuHook hook);

// A key with its shift keys in one word: the virtual key in the low byte,
// Shift, Ctrl and Alt as the bits scShift, scCtrl and scAlt.
using TShortCut = unsigned short;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
constexpr TShortCut ShortCut(unsigned short key, unsigned shift) {
  // shift bits as TShiftState: ssShift 1, ssAlt 2, ssCtrl 4
  return static_cast<TShortCut>((key & 0xFF) | ((shift & 1u) ? scShift : 0) | ((shift & 4u) ? scCtrl : 0) |
                                ((shift & 2u) ? scAlt : 0));
}

}  // namespace tvk
