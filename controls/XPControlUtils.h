#pragma once
// The control manager: the seven substitute colours the styled controls
// paint with (the emulated XP look's fixed colours in look mode 1, else the
// system colours), the system check-box glyph size, the styled scroll-bar
// size, and the monochrome skin images recoloured to the system colours and
// prepared again whenever those change.
#include "AlphaImage.h"

#include <memory>

namespace tvk {

extern TColor SubstWindowColor;
extern TColor SubstBtnFaceColor;
extern TColor SubstHighlightColor;
extern TColor SubstHighlightTextColor;
extern TColor SubstBtnShadowColor;
extern TColor SubstBtnHighlightColor;
extern TColor SubstGrayTextColor;

// Sets the substitute colours for the look mode now.
void UpdateSubstColors();
// The system's check-box glyph size (read from its bitmap at start-up).
void GetSystemCheckSize(POINT& size);
// 17 in look mode 1, else the system's scroll-bar size (at start-up).
int GetScrollBarSize();

class TXPControlManager {
public:
  TXPControlManager() = delete;
  // Image becomes a new monochrome template loaded from the module's RCDATA
  // resource ResName, with white, silver, grey and black recoloured to the
  // button highlight, face, shadow and text colours; it is recoloured again
  // on every system colour change while it lives. The caller owns it.
  static void CreateAndPrepareAlphaImage(std::unique_ptr<TAlphaImage>& image, const WideString& resName);
  // An image about to be freed is no longer recoloured.
  static void ForgetAlphaImage(const TAlphaImage* image);
  // Nothing: the styled control base calls it at its start-up.
  static void UseSubstColors() {}
  // The hidden top-level window that hears WM_SYSCOLORCHANGE (null before
  // the first prepared image) and how many images it keeps up to date.
  static HWND ListenerWindow();
  static int PreparedImageCount();
};

inline void CreateAndPrepareAlphaImage(std::unique_ptr<TAlphaImage>& image, const WideString& resName) {
  TXPControlManager::CreateAndPrepareAlphaImage(image, resName);
}

bool XPControlUtilsStartup();
void XPControlUtilsShutdown();

}  // namespace tvk
