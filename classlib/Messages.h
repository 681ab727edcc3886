#pragma once
// The message record every control's window procedure dispatches, and the
// class library's own messages: component messages (CM_*) that controls send
// each other about state changes, and notification messages (CN_*) that a
// parent reflects back to the child control that caused them.
#include <windows.h>

namespace tvk {

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Component messages: above the range any system control uses.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;   // a control ends a mode it is in (a drop-down, a drag)
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;        // WParam key, LParam key data; non-zero: taken
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;       // WParam character, LParam key data; non-zero: taken
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;     // LParam: the control that took the focus
constexpr UINT CM_ENTER = CM_BASE + 10;          // to a control that has just taken the focus
constexpr UINT CM_EXIT = CM_BASE + 11;           // it stops being so; an error from it keeps the focus
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 25;  // the system colours changed: every control of a window hears it
constexpr UINT CM_WININICHANGE = CM_BASE + 26;    // the user's settings changed (WM_WININICHANGE passed on)
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 27;  // the control's ShowHint changed
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 32;  // a windowed control's window is to be shown or hidden
constexpr UINT CM_RELEASE = CM_BASE + 33;         // a form's deferred release
constexpr UINT CM_INVALIDATE = CM_BASE + 37;      // WParam 0: the control is repainted; 1: a child repaints
constexpr UINT CM_CHILDKEY = CM_BASE + 41;        // to a form: WParam key, LParam the child control; non-zero: taken
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 43;     // WParam key; non-zero: the control takes it itself
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;  // WParam the child, LParam 1 inserted, 0 about to leave
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 45;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 46;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;

// Notification messages: a system message number reflected to a child control.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;  // a scroll-bar child's notification, reflected to it
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;

}  // namespace tvk
