#include "XPControlUtils.h"

#include "CommonUtils.h"
#include "XPGraphics.h"

#include <algorithm>
#include <vector>

namespace tvk {

TColor SubstWindowColor = clWindow;
TColor SubstBtnFaceColor = clBtnFace;
TColor SubstHighlightColor = clHighlight;
TColor SubstHighlightTextColor = clHighlightText;
TColor SubstBtnShadowColor = clBtnShadow;
TColor SubstBtnHighlightColor = clBtnHighlight;
TColor SubstGrayTextColor = clGrayText;

namespace {

// Each substitute colour: its value in the emulated XP look and otherwise.
struct TSubstColorRow {
  TColor* Variable;
  TColor EmulatedXP;
  TColor Other;
};
constexpr TSubstColorRow kSubstColors[] = {
    {&SubstWindowColor, 0xFFFFFF, clWindow},
    {&SubstBtnFaceColor, 0xDEEBEF, clBtnFace},
    {&SubstHighlightColor, 0xC56A31, clHighlight},
    {&SubstHighlightTextColor, 0xFFFFFF, clHighlightText},
    {&SubstBtnShadowColor, 0xBFC3C4, clBtnShadow},
    {&SubstBtnHighlightColor, 0xEDF1F1, clBtnHighlight},
    {&SubstGrayTextColor, 0x92A1A1, clGrayText},
};

constexpr int kEmulatedScrollBarSize = 17;

POINT gCheckSize{13, 13};
int gScrollBarSize = kEmulatedScrollBarSize;
bool gMetricsDone = false;

std::vector<TAlphaImage*> gPreparedImages;  // not owned
std::unique_ptr<TCustomWndProcObject> gListener;

void PrepareAlphaImage(TAlphaImage& image, const WideString& resName) {
  image.LoadFromResource(resName);
  // In this order: a colour recoloured first is not caught by a later rule.
  image.ReplaceColor(0xFFFFFF, clBtnHighlight);
  image.ReplaceColor(0xC0C0C0, clBtnFace);
  image.ReplaceColor(0x808080, clBtnShadow);
  image.ReplaceColor(0x000000, clBtnText);
}

void ListenerMessage(TMessage& message, bool&) {
  // Every message, this one too, then gets the default processing.
  if (message.Msg != WM_SYSCOLORCHANGE) return;
  UpdateSubstColors();
  for (TAlphaImage* image : gPreparedImages) PrepareAlphaImage(*image, image->ResName());
}

void InitControlMetrics() {
  UpdateSubstColors();
  // The check box's size is read from the system's own glyphs: 4 across, 3 down.
  if (HBITMAP boxes = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32759))) {  // OBM_CHECKBOXES
    BITMAP bm{};
    if (GetObjectW(boxes, sizeof bm, &bm)) gCheckSize = POINT{bm.bmWidth / 4, bm.bmHeight / 3};
    DeleteObject(boxes);
  }
  gScrollBarSize = GetThemeMode() == 1 ? kEmulatedScrollBarSize : GetSystemMetrics(SM_CXHSCROLL);
}

}  // namespace

void UpdateSubstColors() {
  bool emulated = GetThemeMode() == 1;
  for (const TSubstColorRow& row : kSubstColors) *row.Variable = emulated ? row.EmulatedXP : row.Other;
}

void GetSystemCheckSize(POINT& size) { size = gCheckSize; }

int GetScrollBarSize() { return gScrollBarSize; }

void TXPControlManager::CreateAndPrepareAlphaImage(std::unique_ptr<TAlphaImage>& image, const WideString& resName) {
  if (!gListener) {
    gListener = std::make_unique<TCustomWndProcObject>();
    gListener->OnMessage = &ListenerMessage;
  }
  auto made = std::make_unique<TAlphaImage>();
  PrepareAlphaImage(*made, resName);
  ForgetAlphaImage(image.get());  // the image it replaces goes
  image = std::move(made);
  if (std::find(gPreparedImages.begin(), gPreparedImages.end(), image.get()) == gPreparedImages.end())
    gPreparedImages.push_back(image.get());
}

void TXPControlManager::ForgetAlphaImage(const TAlphaImage* image) {
  if (image) std::erase(gPreparedImages, image);
}

HWND TXPControlManager::ListenerWindow() { return gListener ? gListener->Handle() : nullptr; }

int TXPControlManager::PreparedImageCount() { return int(gPreparedImages.size()); }

bool XPControlUtilsStartup() {
  if (!gMetricsDone) {
    InitControlMetrics();
    gMetricsDone = true;
  }
  return true;
}

void XPControlUtilsShutdown() {
  gListener.reset();
  gPreparedImages.clear();
  gMetricsDone = false;
}

}  // namespace tvk
