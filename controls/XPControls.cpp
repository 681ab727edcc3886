#include "XPControls.h"

#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "XPSystem.h"

namespace tvk {

// ---- The print-time detour of GetWindowDC

namespace {

// GetDCEx's flag for the window's own class and style settings, as
// GetWindowDC asks for them (not in every SDK's headers).
constexpr DWORD kDcxUseStyle = 0x00010000;

TCodeHook gGetWindowDCHook;
bool gGetWindowDCHooked = false;
// The print request being served: its context, window and thread.
bool gPrintDCActive = false;
HDC gPrintDC = nullptr;
HWND gPrintWindow = nullptr;
DWORD gPrintThread = 0;

// Reached by every caller of GetWindowDC in the process while the patch is
// in place. Only the printing window on the printing thread gets the print
// context; every other call is answered as the system routine answers it,
// without touching the patch.
HDC WINAPI HookedGetWindowDC(HWND window) {
  if (gPrintDCActive && window == gPrintWindow && GetCurrentThreadId() == gPrintThread) return gPrintDC;
  return GetDCEx(window, nullptr, DCX_WINDOW | kDcxUseStyle);
}

void* GetWindowDCEntry() {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetWindowDC"));
}

}  // namespace

bool GetWindowDCHooked() { return gGetWindowDCHooked; }
const TCodeHook& GetWindowDCHook() { return gGetWindowDCHook; }

bool XPControlsStartup() {
  TXPControlManager::UseSubstColors();
  gPrintDCActive = false;
  gPrintDC = nullptr;
  gPrintWindow = nullptr;
  gGetWindowDCHooked = false;
  return true;
}

void XPControlsShutdown() {
  if (gGetWindowDCHooked) RemoveCodeHook(gGetWindowDCHook);
  gGetWindowDCHooked = false;
}

// ---- TXPCustomControl

TXPCustomControl::TXPCustomControl(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csDisplayDragImage);
}

void TXPCustomControl::SetSmoothDraw(bool value) {
  if (value == FSmoothDraw) return;
  FSmoothDraw = value;
  SmoothDrawChanged();
}

void TXPCustomControl::SmoothDrawChanged() { Invalidate(); }

bool TXPCustomControl::GetModified() { return false; }

void TXPCustomControl::ClearModified() {}

void TXPCustomControl::WMModifiedState(TMessage& message) {
  if (message.WParam == kModifiedQuery) message.Result = GetModified() ? 1 : 0;
  else if (message.WParam == kModifiedClear) ClearModified();
}

void TXPCustomControl::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TXPCustomControl::WMPrint(TMessage& message) {
  TVK_INHERITED(message);
  const auto flags = static_cast<DWORD>(message.LParam);
  if (((flags & PRF_CHECKVISIBLE) && !Visible()) || !(flags & PRF_NONCLIENT)) return;
  auto dc = reinterpret_cast<HDC>(message.WParam);
  SetControlState(ControlState() | csPaintCopy);
  int saved = SaveDC(dc);
  // A print served inside another (a child printed from a frame) hands the
  // outer one's context back when it ends.
  struct TRestore {
    TXPCustomControl* Control;
    HDC DC;
    int Saved;
    bool Active = gPrintDCActive;
    HDC PrintDC = gPrintDC;
    HWND Window = gPrintWindow;
    DWORD Thread = gPrintThread;
    ~TRestore() {
      gPrintDCActive = Active;
      gPrintDC = PrintDC;
      gPrintWindow = Window;
      gPrintThread = Thread;
      RestoreDC(DC, Saved);
      Control->SetControlState(Control->ControlState() & ~TControlState(csPaintCopy));
    }
  } restore{this, dc, saved};
  if (!gGetWindowDCHooked) {
    // Once per process; a patch that cannot be written leaves the frame
    // painted into the window instead, unreported.
    if (void* entry = GetWindowDCEntry())
      InstallCodeHook(entry, reinterpret_cast<const void*>(&HookedGetWindowDC), gGetWindowDCHook);
    gGetWindowDCHooked = true;
  }
  gPrintDC = dc;
  gPrintWindow = Handle();
  gPrintThread = GetCurrentThreadId();
  gPrintDCActive = true;
  Perform(WM_NCPAINT, 0, 0);
  message.Result = 1;
}

TVK_MESSAGE_MAP(TXPCustomControl, {XPM_MODIFIEDSTATE, &TXPCustomControl::WMModifiedState},
                {WM_ERASEBKGND, &TXPCustomControl::WMEraseBkgnd}, {WM_PRINT, &TXPCustomControl::WMPrint})

// ---- TXPCustomTransparentControl

void TXPCustomTransparentControl::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  TransparentChanged();
}

void TXPCustomTransparentControl::TransparentChanged() { Invalidate(); }

void TXPCustomTransparentControl::WMEraseBkgnd(TMessage& message) {
  auto dc = reinterpret_cast<HDC>(message.WParam);
  if (FTransparent && !(ComponentState() & csDesigning)) {
    DrawParentBackground(*this, dc, nullptr);
  } else {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
}

TVK_MESSAGE_MAP(TXPCustomTransparentControl, {WM_ERASEBKGND, &TXPCustomTransparentControl::WMEraseBkgnd})

// ---- TXPNonFlickingControl

void TXPNonFlickingControl::CreateParams(TCreateParams& params) {
  TXPCustomTransparentControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TXPNonFlickingControl::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  if (!message.WParam) return;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
  const RECT first = params->rgrc[0], second = params->rgrc[1];
  RECT third = second;
  OffsetRect(&third, second.left - first.left, second.top - first.top);
  if (first.right > third.right) third.right -= FDelta;
  else if (first.right < third.right) third.right = first.right - FDelta;
  if (first.bottom > third.bottom) third.bottom -= FDelta;
  else if (first.bottom < third.bottom) third.bottom = first.bottom - FDelta;
  params->rgrc[2] = third;
  message.Result = WVR_VALIDRECTS;
}

TVK_MESSAGE_MAP(TXPNonFlickingControl, {WM_NCCALCSIZE, &TXPNonFlickingControl::WMNCCalcSize})

// ---- Skin caches

void TSkinCache::EnsureLoaded() {
  if (FLoaded) return;
  // Loaded into a new store first: a missing resource leaves nothing behind.
  std::vector<TSkin> skins(FRows.size());
  struct TDiscard {
    std::vector<TSkin>& Skins;
    bool Keep = false;
    ~TDiscard() {
      if (Keep) return;
      for (TSkin& s : Skins) {
        if (s.Handle) DeleteObject(s.Handle);
        TXPControlManager::ForgetAlphaImage(s.Image.get());
      }
    }
  } discard{skins};
  for (std::size_t i = 0; i < FRows.size(); ++i) {
    const TSkinRow& row = FRows[i];
    TSkin& skin = skins[i];
    switch (row.Kind) {
      case TSkinKind::skBitmapHandle:
        skin.Handle = LoadBitmapW(ClassLibraryInstance(), row.Name);
        break;
      case TSkinKind::skBitmap:
        skin.Bitmap = std::make_unique<TBitmap>();
        if (row.Name && *row.Name)
          skin.Bitmap->LoadFromResourceName(FindResourceModule(row.Name, RT_BITMAP), row.Name);
        break;
      case TSkinKind::skAlphaImage:
        skin.Image = std::make_unique<TAlphaImage>(row.Name);
        break;
      case TSkinKind::skAlphaTemplate:
        TXPControlManager::CreateAndPrepareAlphaImage(skin.Image, row.Name);
        break;
      case TSkinKind::skStockIcon:
        skin.Icon = std::make_unique<TIcon>();
        skin.Icon->SetHandle(GetStockIconHandle(row.StockIconId, row.LargeIcon));
        break;
    }
  }
  discard.Keep = true;
  FSkins = std::move(skins);
  FLoaded = true;
  ++FLoadCount;
}

TSkinCache::TSkin& TSkinCache::At(std::size_t index) {
  EnsureLoaded();
  if (index >= FSkins.size()) throw EInvalidOperation(L"No such skin");
  return FSkins[index];
}

HBITMAP TSkinCache::BitmapHandle(std::size_t index) { return At(index).Handle; }

TBitmap& TSkinCache::Bitmap(std::size_t index) {
  TSkin& skin = At(index);
  if (!skin.Bitmap) throw EInvalidOperation(L"The skin is no bitmap");
  return *skin.Bitmap;
}

TAlphaImage& TSkinCache::AlphaImage(std::size_t index) {
  TSkin& skin = At(index);
  if (!skin.Image) throw EInvalidOperation(L"The skin is no alpha image");
  return *skin.Image;
}

TIcon& TSkinCache::Icon(std::size_t index) {
  TSkin& skin = At(index);
  if (!skin.Icon) throw EInvalidOperation(L"The skin is no icon");
  return *skin.Icon;
}

void TSkinCache::Release() {
  for (TSkin& skin : FSkins) {
    if (skin.Handle) DeleteObject(skin.Handle);
    TXPControlManager::ForgetAlphaImage(skin.Image.get());
  }
  FSkins.clear();  // bitmaps, images and icons (their handles destroyed) go with them
  FLoaded = false;
}

}  // namespace tvk
