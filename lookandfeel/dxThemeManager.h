#pragma once
// The theme manager: one theme handle per kind of themed object, opened on
// first use without a window and shared by every control, and a hidden window
// that drops them and tells the notificators when the user changes the visual
// style or the system colours.
#include "cxClasses.h"
#include "dxUxTheme.h"

#include <cstdint>

namespace tvk {

enum TdxThemedObjectType : int {
  totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListBox, totListView, totMenu, totPage,
  totProgress, totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand, totTaskBar,
  totToolBar, totToolTip, totTrackBar, totTrayNotify, totTreeview, totWindow
};
constexpr int kThemedObjectTypeCount = totWindow + 1;
// A set of themed object types, one bit per type.
using TdxThemedObjectTypes = uint32_t;
constexpr TdxThemedObjectTypes ThemedTypes(std::initializer_list<TdxThemedObjectType> types) {
  TdxThemedObjectTypes set = 0;
  for (TdxThemedObjectType t : types) set |= 1u << t;
  return set;
}

// The default class list of a type ("Button" ... "Window"); empty before start-up.
const WideString& ThemeClassNames(TdxThemedObjectType AType);
// The themes-active flag: set at start-up and after every theme or colour change.
bool ThemesActiveFlag();

// False unless themes are active and the library is loaded; with types, each
// of them must also give a theme handle (the first failure answers false).
bool AreThemesAvailable(TdxThemedObjectTypes ATypes = 0);
// The handle of AType (0 when themes are not available or the open failed).
// A class list equal to the one the handle was opened with, ignoring case,
// reuses it; another one reopens it. A failed open is not remembered.
HTHEME GetThemeHandleForType(TdxThemedObjectType AType, const wchar_t* AClassList = nullptr);
// 1 without themes, 0 without a handle, else CloseThemeData's result.
HRESULT CloseThemeHandleForType(TdxThemedObjectType AType);
// Closes every handle; each type keeps its class list for the next open.
void CloseAllThemeHandles();
// The class list the handle of AType was opened with.
const WideString& ThemeClassListOf(TdxThemedObjectType AType);
// The current visual-style file is one of the two standard ones.
bool IsXPStandardVisualStyle();

using TdxThemeChangedEvent = std::function<void()>;

// Told of every theme or system-colour change while it lives.
class TdxThemeChangedNotificator : public TObject {
public:
  TVK_CLASS(TdxThemeChangedNotificator, TObject)
  // Joins the notificator list (when the theme library is loaded).
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;
  TdxThemeChangedEvent OnThemeChanged;

protected:
  friend class TdxThemeChangedEventReceiver;
  virtual void RaiseThemeChanged();
};

// The receiver's hidden window (null without the theme library).
HWND ThemeChangedReceiverHandle();
int ThemeChangedNotificatorCount();

// Start-up: the class names, the flag, the receiver and the notificator list.
void dxThemeManagerUnitStart();
void dxThemeManagerUnitStop();

}  // namespace tvk
