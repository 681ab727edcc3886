#pragma once
// The bases of every windowed styled control: TXPCustomControl (smooth
// captions, the modified-state query, printing of its frame),
// TXPCustomTransparentControl (the parent's image as background) and
// TXPNonFlickingControl (keeps its old picture while resized); and the skin
// cache every skinned unit keeps.
#include "AlphaImage.h"
#include "CommonUtils.h"
#include "Controls.h"

#include <memory>
#include <span>
#include <vector>

namespace tvk {

// The modified-state query: WParam kModifiedQuery answers 1 when the
// control's value differs from the one saved last, kModifiedClear saves it.
constexpr UINT XPM_MODIFIEDSTATE = WM_USER + 1;
constexpr WPARAM kModifiedQuery = 1;
constexpr WPARAM kModifiedClear = 2;

class TXPCustomControl : public TCustomControl {
public:
  TVK_CLASS(TXPCustomControl, TCustomControl)
  explicit TXPCustomControl(TComponent* owner);

  // Captions through the smooth text renderer instead of plain GDI text.
  bool SmoothDraw() const { return FSmoothDraw; }
  void SetSmoothDraw(bool value);

  virtual void SmoothDrawChanged();
  // Whether the value differs from the one ClearModified saved; none here.
  virtual bool GetModified();
  virtual void ClearModified();

protected:
  TVK_MESSAGES();
  void WMModifiedState(TMessage& message);
  // Answers 1 without painting: Paint draws the whole background.
  void WMEraseBkgnd(TMessage& message);
  // The default printing, then (with PRF_NONCLIENT) the frame: WM_NCPAINT
  // runs while GetWindowDC hands this window, on this thread, the print context.
  void WMPrint(TMessage& message);

private:
  bool FSmoothDraw = false;
};

class TXPCustomTransparentControl : public TXPCustomControl {
public:
  TVK_CLASS(TXPCustomTransparentControl, TXPCustomControl)
  explicit TXPCustomTransparentControl(TComponent* owner) : TXPCustomControl(owner) {}
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

protected:
  virtual void TransparentChanged();
  TVK_MESSAGES();
  // Transparent (and not designed): the parent's image; else the colour.
  void WMEraseBkgnd(TMessage& message);

private:
  bool FTransparent = true;
};

class TXPNonFlickingControl : public TXPCustomTransparentControl {
public:
  TVK_CLASS(TXPNonFlickingControl, TXPCustomTransparentControl)
  explicit TXPNonFlickingControl(TComponent* owner) : TXPCustomTransparentControl(owner) {}

protected:
  // Clips its children; no redraw of the whole window on a size change.
  void CreateParams(TCreateParams& params) override;
  TVK_MESSAGES();
  // Keeps the old client picture but the last FDelta pixels at the right and bottom.
  void WMNCCalcSize(TMessage& message);
  int FDelta = 2;
};

// A canvas on a memory context of its own: text measured outside painting.
class TMeasureCanvas : public TCanvas {
public:
  TMeasureCanvas() : FDC(CreateCompatibleDC(nullptr)) { SetHandle(FDC); }
  ~TMeasureCanvas() override {
    SetHandle(nullptr);
    DeleteDC(FDC);
  }
  TMeasureCanvas(const TMeasureCanvas&) = delete;
  TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;

private:
  HDC FDC;
};

// The print-time detour of GetWindowDC: whether it is in place, and its record.
bool GetWindowDCHooked();
const TCodeHook& GetWindowDCHook();

bool XPControlsStartup();
// Puts GetWindowDC's entry bytes back.
void XPControlsShutdown();

// ---- Skin caches

// The kinds of skin a unit loads from the module's resources.
enum class TSkinKind {
  skBitmapHandle,   // LoadBitmapW of the module's BITMAP resource (0 when missing)
  skBitmap,         // a TBitmap of a BITMAP resource of any loaded module (no name: empty)
  skAlphaImage,     // a TAlphaImage of an RCDATA resource, used unchanged
  skAlphaTemplate,  // a monochrome TAlphaImage recoloured to the system colours, kept up to date
  skStockIcon,      // a TIcon of a system stock icon (empty before Windows Vista)
};

struct TSkinRow {
  const wchar_t* Name;  // resource name (kinds 1 to 4)
  TSkinKind Kind;
  int StockIconId = 0;  // kind 5: the SHSTOCKICONID
  bool LargeIcon = false;
};

// One unit's skins: all loaded together by the first request, freed at the
// unit's shut-down. A unit keeps one as its TResourceManager's store; its
// class functions answer the cached objects, which controls draw from but
// never free. A missing resource of kinds 2 to 4 raises EResNotFound at the
// first request (and again at the next: nothing stays half loaded). A unit
// with skins reads:
//
//   constexpr TSkinRow kSkins[] = {{L"SCROLLARROWS", TSkinKind::skBitmapHandle},
//                                  {L"STDSCROLLPATTERN", TSkinKind::skAlphaTemplate}};
//   TSkinCache gSkins(kSkins);
//   class TResourceManager {
//   public:
//     static HBITMAP Arrows() { return gSkins.BitmapHandle(0); }
//     static TAlphaImage& ScrollPattern() { return gSkins.AlphaImage(1); }
//   };
//   void XPScrollsShutdown() { gSkins.Release(); }
class TSkinCache {
public:
  explicit TSkinCache(std::span<const TSkinRow> rows) : FRows(rows) {}
  ~TSkinCache() = default;  // the unit's shut-down has released it
  TSkinCache(const TSkinCache&) = delete;
  TSkinCache& operator=(const TSkinCache&) = delete;

  HBITMAP BitmapHandle(std::size_t index);
  TBitmap& Bitmap(std::size_t index);
  TAlphaImage& AlphaImage(std::size_t index);
  TIcon& Icon(std::size_t index);

  bool Loaded() const { return FLoaded; }
  // How often the skins were loaded (once per life of the cache).
  int LoadCount() const { return FLoadCount; }
  // Frees every skin (the unit's shut-down).
  void Release();

private:
  struct TSkin {
    HBITMAP Handle = nullptr;
    std::unique_ptr<TBitmap> Bitmap;
    std::unique_ptr<TAlphaImage> Image;
    std::unique_ptr<TIcon> Icon;
  };
  void EnsureLoaded();
  TSkin& At(std::size_t index);

  std::span<const TSkinRow> FRows;
  std::vector<TSkin> FSkins;
  bool FLoaded = false;
  int FLoadCount = 0;
};

}  // namespace tvk
