#include "Menus.h"

#include "Application.h"
#include "WindowClasses.h"

#include <algorithm>
#include <memory>

namespace tvk {

namespace {

TPopupMenu* gActivePopup = nullptr;
TPopupMenuShow gPopupMenuShow;

// Appends Item's visible sub-items to Menu; Ids collects the item of each command.
void BuildMenu(HMENU menu, TMenuItem& item, std::vector<TMenuItem*>& ids) {
  for (int i = 0; i < item.Count(); ++i) {
    TMenuItem* sub = item.Items(i);
    if (!sub->Visible()) continue;
    UINT flags = MF_STRING | (sub->Enabled() ? 0 : MF_GRAYED) | (sub->Checked() ? MF_CHECKED : 0);
    if (sub->Caption() == L"-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (sub->Count() > 0) {
      HMENU child = CreatePopupMenu();
      BuildMenu(child, *sub, ids);
      AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(child), sub->Caption().c_str());
    } else {
      ids.push_back(sub);
      AppendMenuW(menu, flags, ids.size(), sub->Caption().c_str());
    }
  }
}

}  // namespace

TMenuItem::~TMenuItem() {
  Clear();
  if (FParent) FParent->Remove(this);
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->FParent) item->FParent->Remove(item);
  item->FParent = this;
  FItems.push_back(item);
}

void TMenuItem::Remove(TMenuItem* item) {
  std::erase(FItems, item);
  if (item->FParent == this) item->FParent = nullptr;
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    Remove(item);
    // Items made without an owner belong to their parent item.
    if (!item->Owner()) delete item;
  }
}

void TMenuItem::Click() {
  if (FAutoCheck) FChecked = !FChecked;
  if (OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FItems(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() {
  if (gActivePopup == this) gActivePopup = nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  if (gPopupMenuShow) {
    TPopupMenuShow show = gPopupMenuShow;  // it may replace itself
    show(*this, x, y);
    return;
  }
  std::vector<TMenuItem*> ids;
  HMENU menu = CreatePopupMenu();
  struct TMenuGuard {
    HMENU Menu;
    ~TMenuGuard() { DestroyMenu(Menu); }
  } guard{menu};
  BuildMenu(menu, *FItems, ids);
  // The menu needs a window of this thread to report to.
  TMessageWindow owner(this, [](TMessage&) { return false; }, true);
  SetForegroundWindow(owner.Handle());
  TPopupMenu* outer = std::exchange(gActivePopup, this);
  int command = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0,
                               owner.Handle(), nullptr);
  gActivePopup = outer;
  PostMessageW(owner.Handle(), WM_NULL, 0, 0);
  if (command > 0 && std::size_t(command) <= ids.size()) ids[std::size_t(command) - 1]->Click();
}

namespace {

TMenuItem* FindShortCutItem(TMenuItem& parent, WORD shortCut) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Enabled() || !item->Visible()) continue;
    if (item->Count() > 0) {
      if (TMenuItem* found = FindShortCutItem(*item, shortCut)) return found;
    } else if (item->ShortCutValue() == shortCut) {
      return item;
    }
  }
  return nullptr;
}

}  // namespace

bool TPopupMenu::IsShortCut(const TMessage& message) {
  const TShortCut shortCut = ShortCut(WORD(message.WParam), KeyboardShiftState(message.LParam));
  if (shortCut == scNone) return false;
  TMenuItem* item = FindShortCutItem(*FItems, shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

TPopupMenu* ActivePopupMenu() { return gActivePopup; }

void SetPopupMenuShow(TPopupMenuShow show) { gPopupMenuShow = std::move(show); }

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return scNone;  // not a virtual key
  TShortCut result = key;
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0x00FF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

namespace {

WideString ShortCutKeyName(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return WideString(1, wchar_t(key));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  struct TName {
    WORD Key;
    const wchar_t* Name;
  };
  static constexpr TName kNames[] = {{VK_BACK, L"BkSp"}, {VK_TAB, L"Tab"},   {VK_RETURN, L"Enter"}, {VK_ESCAPE, L"Esc"},
                                     {VK_SPACE, L"Space"}, {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"},   {VK_END, L"End"},
                                     {VK_HOME, L"Home"},   {VK_LEFT, L"Left"},  {VK_UP, L"Up"},       {VK_RIGHT, L"Right"},
                                     {VK_DOWN, L"Down"},   {VK_INSERT, L"Ins"}, {VK_DELETE, L"Del"}};
  for (const TName& name : kNames)
    if (name.Key == key) return name.Name;
  return {};
}

}  // namespace

WideString ShortCutToText(TShortCut shortCut) {
  const WideString name = ShortCutKeyName(shortCut & 0x00FF);
  if (name.empty()) return {};
  WideString text;
  if (shortCut & scShift) text += L"Shift+";
  if (shortCut & scCtrl) text += L"Ctrl+";
  if (shortCut & scAlt) text += L"Alt+";
  return text + name;
}

}  // namespace tvk
