#include "dxGDIPlusAPI.h"

#include "LookAndFeelResources.h"
#include "Files.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tvk {

namespace {

constexpr const char* kEntryNames[] = {
#define TVK_GDIP_NAME(name) #name,
    TVK_GDIPLUS_ENTRIES(TVK_GDIP_NAME)
#undef TVK_GDIP_NAME
};
static_assert(std::size(kEntryNames) == gpEntryCount);

// The library's start-up records (the flat API's own layout).
struct TGdiplusStartupInput {
  UINT32 GdiplusVersion;
  void* DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};
using TNotificationHook = TdxGpStatus(WINAPI*)(ULONG_PTR* token);
using TNotificationUnhook = void(WINAPI*)(ULONG_PTR token);
struct TGdiplusStartupOutput {
  TNotificationHook NotificationHook;
  TNotificationUnhook NotificationUnhook;
};

struct TImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags, Version, SigCount, SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

TGdiPlusEntries gEntries;
HMODULE gLibrary = nullptr;
bool gLoaded = false;
ULONG_PTR gToken = 0, gNotificationToken = 0;
TGdiplusStartupOutput gStartupOutput{};
std::string gMissingEntry;

FARPROC LookUpByName(HMODULE AModule, const char* AName) { return GetProcAddress(AModule, AName); }

void ShowMissingBox(const WideString& AText, const WideString& ACaption, UINT AFlags) {
  MessageBoxW(nullptr, AText.c_str(), ACaption.c_str(), AFlags);
}

void HaltProcess() { ExitProcess(1); }

TResStringRec sInvalidOperation(IDS_dxGdipInvalidOperation), sApplicationError(IDS_dxApplicationError),
    sGdipMissing(IDS_dxGdipMissing);

bool StartGdiPlus() {
  auto startup = GdipEntry<TdxGpStatus(WINAPI*)(ULONG_PTR*, const TGdiplusStartupInput*, TGdiplusStartupOutput*)>(
      gpGdiplusStartup);
  // A library leaves the background thread to the host's message loop.
  TGdiplusStartupInput input{1, nullptr, IsUnitLoadingDeferred() ? TRUE : FALSE, FALSE};
  gStartupOutput = {};
  if (!IsUnitLoadingDeferred()) return startup(&gToken, &input, nullptr) == Ok;
  if (startup(&gToken, &input, &gStartupOutput) != Ok) return false;
  return gStartupOutput.NotificationHook && gStartupOutput.NotificationHook(&gNotificationToken) == Ok;
}

void LoadGdiPlus() {
  if (gLoaded) return;
  const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  if (!gLibrary) gLibrary = LoadLibraryW(L"gdiplus.dll");
  SetErrorMode(oldMode);
  if (!gLibrary) return;
  gEntries = TGdiPlusEntries{};
  gMissingEntry.clear();
  gLoaded = true;
  for (int i = 0; i < gpEntryCount && gLoaded; ++i) {
    gEntries.Entry[i] = GdipEntryLookup(gLibrary, kEntryNames[i]);
    if (!gEntries.Entry[i]) {
      gLoaded = false;  // a partial GDI+ counts as missing
      gMissingEntry = kEntryNames[i];
    }
  }
  if (gLoaded && !StartGdiPlus()) {
    gLoaded = false;
    gStartupOutput = {};
  }
}

}  // namespace

TGdipEntryLookup GdipEntryLookup = &LookUpByName;
TGdipMissingMessage GdipMissingMessage = &ShowMissingBox;
TGdipHalt GdipHalt = &HaltProcess;
CLSID BMPEncoder{}, PNGEncoder{}, JPEGEncoder{}, TIFFEncoder{}, GIFEncoder{};

EdxGdipException::EdxGdipException(TdxGpStatus AStatus)
    : EdxException([AStatus] {
        WideString format = LoadResString(&sInvalidOperation);
        std::vector<wchar_t> text(format.size() + 16);
        std::swprintf(text.data(), text.size(), format.c_str(), int(AStatus));
        return WideString(text.data());
      }()),
      FStatus(AStatus) {}

const TGdiPlusEntries& GdiPlusEntries() { return gEntries; }

const char* GdiPlusEntryName(TGdipEntry AEntry) { return kEntryNames[AEntry]; }

const std::string& GdiPlusMissingEntry() { return gMissingEntry; }

bool CheckGdiPlusAvailable(bool AShowMessageWhenMissing) {
  if (!gLoaded) LoadGdiPlus();
  if (!gLoaded && AShowMessageWhenMissing) {
    GdipMissingMessage(LoadResString(&sGdipMissing), LoadResString(&sApplicationError), MB_TASKMODAL | MB_ICONERROR);
    GdipHalt();
  }
  return gLoaded;
}

void ShutdownGdiPlus() {
  if (gLoaded && IsUnitLoadingDeferred()) {
    if (gStartupOutput.NotificationUnhook) gStartupOutput.NotificationUnhook(gNotificationToken);
    GdipEntry<void(WINAPI*)(ULONG_PTR)>(gpGdiplusShutdown)(gToken);
  }
  if (gLibrary) FreeLibrary(gLibrary);
  gLibrary = nullptr;
  gLoaded = false;
  gEntries = TGdiPlusEntries{};
  gStartupOutput = {};
  gToken = gNotificationToken = 0;
}

void CheckGdipStatus(TdxGpStatus AStatus) {
  if (AStatus != Ok) throw EdxGdipException(AStatus);
}

void CheckGdipCondition(bool ACondition) {
  if (!ACondition) throw EdxGdipException(InvalidParameter);
}

uint32_t ColorToGdipARGB(TColor AColor, uint8_t AAlpha) { return AColor == clNone ? 0 : ColorToQuad(AColor, AAlpha); }

void* CreateGdipBitmap(int AWidth, int AHeight) {
  constexpr int kPixelFormat32bppPARGB = 0x000E200B;
  CheckGdipCondition(CheckGdiPlusAvailable());
  void* bitmap = nullptr;
  auto create = GdipEntry<TdxGpStatus(WINAPI*)(INT, INT, INT, INT, BYTE*, void**)>(gpGdipCreateBitmapFromScan0);
  CheckGdipStatus(create(AWidth, AHeight, 0, kPixelFormat32bppPARGB, nullptr, &bitmap));
  return bitmap;
}

void* CreateGdipBitmap(const RECT& ARect) { return CreateGdipBitmap(ARect.right - ARect.left, ARect.bottom - ARect.top); }

TdxGpStatus FindImageEncoder(const WideString& AMimeType, CLSID& AClsid) {
  if (!CheckGdiPlusAvailable()) return GenericError;
  UINT count = 0, size = 0;
  GdipEntry<TdxGpStatus(WINAPI*)(UINT*, UINT*)>(gpGdipGetImageEncodersSize)(&count, &size);
  if (size == 0) return GenericError;
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<TImageCodecInfo*>(buffer.data());
  if (GdipEntry<TdxGpStatus(WINAPI*)(UINT, UINT, TImageCodecInfo*)>(gpGdipGetImageEncoders)(count, size, codecs) != Ok)
    return GenericError;
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].MimeType && SameTextIgnoringCase(codecs[i].MimeType, AMimeType)) {
      AClsid = codecs[i].Clsid;
      return Ok;
    }
  return GenericError;
}

void EnsureImageEncoder(const WideString& AMimeType, CLSID& AClsid) {
  if (AClsid.Data1 != 0 || AClsid.Data2 != 0 || AClsid.Data3 != 0) return;
  CheckGdipStatus(FindImageEncoder(AMimeType, AClsid));
}

void InitImageEncoders() {
  EnsureImageEncoder(L"image/bmp", BMPEncoder);
  EnsureImageEncoder(L"image/png", PNGEncoder);
  EnsureImageEncoder(L"image/jpeg", JPEGEncoder);
  EnsureImageEncoder(L"image/tiff", TIFFEncoder);
  EnsureImageEncoder(L"image/gif", GIFEncoder);
}

namespace {

// Only clears the loaded flag (GDI+ itself starts on first demand).
void GdiPlusUnitStart() { gLoaded = false; }
void GdiPlusUnitStop() { ShutdownGdiPlus(); }

}  // namespace

void dxGDIPlusAPIUnitStart() { GetUnitsLoader().AddUnit(&GdiPlusUnitStart, &GdiPlusUnitStop); }

void dxGDIPlusAPIUnitStop() { GetUnitsLoader().RemoveUnit(&GdiPlusUnitStop); }

}  // namespace tvk
