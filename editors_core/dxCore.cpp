#include "dxCore.h"

#include "Convert.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace tvk {

// ---- Resource strings

const IID IID_IdxLocalizerListener = {0x2E9A00B3, 0x1A56, 0x4599, {0xC5, 0xC4, 0x8E, 0x0D, 0x41, 0x4E, 0x6F, 0x79}};

namespace {

// The string list keeps an object per entry; the records are not objects, so
// their addresses travel through it untyped.
TObject* AsEntryObject(TResStringRec* rec) { return static_cast<TObject*>(static_cast<void*>(rec)); }
TResStringRec* AsRecord(TObject* object) { return static_cast<TResStringRec*>(static_cast<void*>(object)); }

std::unique_ptr<TdxResourceStringsRepository> gRepository;

}  // namespace

TdxProductResourceStrings::TdxProductResourceStrings(const WideString& AName,
                                                     TdxAddResourceStringsProcedure AInitializeProc)
    : FName(AName), FInitializeProc(AInitializeProc) {
  FResStringNames.SetSorted(true);
  LoadStringNames();
}

void TdxProductResourceStrings::LoadStringNames() {
  if (FInitializeProc) FInitializeProc(this);
}

void TdxProductResourceStrings::Add(const WideString& AResStringName, TResStringRec* AResStringAddr) {
  FResStringNames.AddObject(AResStringName, AsEntryObject(AResStringAddr));
}

void TdxProductResourceStrings::Clear() { FResStringNames.Clear(); }

int TdxProductResourceStrings::GetIndexByName(std::wstring_view AName) const {
  int index = -1;
  return FResStringNames.Find(AName, index) ? index : -1;
}

WideString TdxProductResourceStrings::NameAt(int AIndex) const { return FResStringNames.Get(AIndex); }

TResStringRec* TdxProductResourceStrings::ResStringAt(int AIndex) const {
  return AsRecord(FResStringNames.Objects(AIndex));
}

WideString TdxProductResourceStrings::TextAt(int AIndex) const { return LoadResString(ResStringAt(AIndex)); }

void TdxProductResourceStrings::TranslateStrings() {
  for (int i = 0; i < ResStringsCount(); ++i) TranslateString(i);
}

void TdxProductResourceStrings::TranslateString(int AIndex) {
  // Always the process-wide repository's handler: a product has no repository of its own.
  const auto& handler = GetResourceStringsRepository().OnTranslateResString;
  if (handler) handler(NameAt(AIndex), ResStringAt(AIndex));
}

void TdxResourceStringsRepository::RegisterProduct(const WideString& AProductName,
                                                   TdxAddResourceStringsProcedure AAddStringsProc) {
  auto product = std::make_unique<TdxProductResourceStrings>(AProductName, AAddStringsProc);
  FProducts.Add(product.get());
  product.release();
}

void TdxResourceStringsRepository::UnRegisterProduct(std::wstring_view AProductName) {
  int index = GetProductIndexByName(AProductName);
  if (index >= 0) FProducts.Delete(index);  // the list owns and frees it
}

int TdxResourceStringsRepository::GetProductIndexByName(std::wstring_view AName) const {
  for (int i = 0; i < ProductsCount(); ++i)
    if (ProductAt(i)->Name() == AName) return i;
  return -1;
}

TdxProductResourceStrings* TdxResourceStringsRepository::ProductAt(int AIndex) const {
  return static_cast<TdxProductResourceStrings*>(FProducts.Items(AIndex));
}

WideString TdxResourceStringsRepository::GetOriginalValue(std::wstring_view AName) const {
  for (int i = 0; i < ProductsCount(); ++i) {
    TdxProductResourceStrings* product = ProductAt(i);
    int index = product->GetIndexByName(AName);
    if (index >= 0) return product->TextAt(index);
  }
  return {};
}

void TdxResourceStringsRepository::Translate() {
  if (!OnTranslateResString) return;
  for (int i = 0; i < ProductsCount(); ++i) ProductAt(i)->TranslateStrings();
}

void TdxResourceStringsRepository::AddListener(IdxLocalizerListener* AListener) {
  if (FListeners.IndexOf(AListener) < 0) FListeners.Add(AListener);
}

void TdxResourceStringsRepository::RemoveListener(IdxLocalizerListener* AListener) { FListeners.Remove(AListener); }

void TdxResourceStringsRepository::NotifyListeners() {
  // A listener may remove itself or another one while it is told (a control
  // that rebuilds itself): the round runs over the listeners it began with and
  // skips those gone meanwhile, so no one is told after it left.
  std::vector<void*> round;
  round.reserve(std::size_t(FListeners.Count()));
  for (int i = 0; i < FListeners.Count(); ++i) round.push_back(FListeners.Items(i));
  for (void* listener : round)
    if (FListeners.IndexOf(listener) >= 0) static_cast<IdxLocalizerListener*>(listener)->TranslationChanged();
}

TdxResourceStringsRepository& GetResourceStringsRepository() {
  if (!gRepository) gRepository = std::make_unique<TdxResourceStringsRepository>();
  return *gRepository;
}

TdxResourceStringsRepository* FindResourceStringsRepository() { return gRepository.get(); }

// ---- Units loader

namespace {

std::unique_ptr<TdxUnitsLoader> gUnitsLoader;
// Set once the queued initialise procedures have run: only then do the finalise procedures run.
bool gUnitsInitialized = false;

}  // namespace

TdxUnitsLoader::~TdxUnitsLoader() {
  try {
    Finalize();
  } catch (...) {
  }
}

void TdxUnitsLoader::AddUnit(TdxUnitProcedure AInitializeProc, TdxUnitProcedure AFinalizeProc) {
  if (AInitializeProc) {
    if (IsUnitLoadingDeferred()) {
      FInitializeList.push_back(AInitializeProc);
    } else {
      gUnitsInitialized = true;
      AInitializeProc();
    }
  }
  if (AFinalizeProc) FFinalizeList.push_back(AFinalizeProc);
}

void TdxUnitsLoader::RemoveUnit(TdxUnitProcedure AFinalizeProc) {
  auto it = std::find(FFinalizeList.begin(), FFinalizeList.end(), AFinalizeProc);
  if (it == FFinalizeList.end()) return;
  FFinalizeList.erase(it);
  if (AFinalizeProc) AFinalizeProc();
}

void TdxUnitsLoader::Initialize() {
  // By index: a procedure may queue another one, which runs in this round too.
  for (std::size_t i = 0; i < FInitializeList.size(); ++i)
    if (TdxUnitProcedure proc = FInitializeList[i]) proc();
  FInitializeList.clear();
  gUnitsInitialized = true;
}

void TdxUnitsLoader::Finalize() {
  // The list is taken first, so the mark and the list are clear whatever a procedure does.
  std::vector<TdxUnitProcedure> procs;
  procs.swap(FFinalizeList);
  bool initialized = std::exchange(gUnitsInitialized, false);
  if (!initialized) return;
  for (auto it = procs.rbegin(); it != procs.rend(); ++it)
    if (*it) (*it)();
}

TdxUnitsLoader& GetUnitsLoader() {
  if (!gUnitsLoader) gUnitsLoader = std::make_unique<TdxUnitsLoader>();
  return *gUnitsLoader;
}

bool IsUnitLoadingDeferred() { return true; }

// ---- OS version flags

namespace {

TdxOSVersionFlags gOSFlags{};

}  // namespace

TdxOSVersionFlags CalcOSVersionFlags(DWORD APlatform, DWORD AMajor, DWORD AMinor, bool AIsWow64) {
  TdxOSVersionFlags f{};
  f.OsIsWindows9x = APlatform == VER_PLATFORM_WIN32_WINDOWS;
  f.OsIsWindows95 = f.OsIsWindows9x && AMinor == 0;
  f.OsIsWindows98 = f.OsIsWindows9x && AMinor == 10;
  f.OsIsWindowsMe = f.OsIsWindows9x && AMinor == 90;
  f.OsIsWindowsNT = APlatform == VER_PLATFORM_WIN32_NT;
  f.OsIsWindows2000 = f.OsIsWindowsNT && AMajor == 5 && AMinor == 0;
  f.OsIsWindows2000OrNewer = f.OsIsWindowsNT && AMajor >= 5;
  f.OsIsWindowsXP = f.OsIsWindowsNT && AMajor == 5 && AMinor > 0;
  f.OsIsWindowsXPOrNewer = f.OsIsWindows2000OrNewer && !f.OsIsWindows2000;
  f.OsIsWindows2000OrXP = f.OsIsWindows2000 || f.OsIsWindowsXP;
  f.OsIsWindowsVista = f.OsIsWindowsNT && AMajor == 6;  // 6.1 too
  f.OsIsWindowsVistaOrNewer = f.OsIsWindowsNT && AMajor >= 6;
  f.OsIsWindows7OrNewer = f.OsIsWindowsNT && (AMajor > 6 || (AMajor == 6 && AMinor >= 1));
  f.OsIsWow64 = AIsWow64;
  return f;
}

bool QueryIsWow64() {
  using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto isWow64Process =
      kernel ? reinterpret_cast<TIsWow64Process>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
             : nullptr;
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

void InitOSVersionFlags() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) info = OSVERSIONINFOW{};
  gOSFlags = CalcOSVersionFlags(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, QueryIsWow64());
}

const bool &OsIsWindows9x = gOSFlags.OsIsWindows9x, &OsIsWindows95 = gOSFlags.OsIsWindows95,
           &OsIsWindows98 = gOSFlags.OsIsWindows98, &OsIsWindowsMe = gOSFlags.OsIsWindowsMe;
const bool &OsIsWindowsNT = gOSFlags.OsIsWindowsNT, &OsIsWindows2000 = gOSFlags.OsIsWindows2000,
           &OsIsWindows2000OrNewer = gOSFlags.OsIsWindows2000OrNewer, &OsIsWindowsXP = gOSFlags.OsIsWindowsXP,
           &OsIsWindowsXPOrNewer = gOSFlags.OsIsWindowsXPOrNewer,
           &OsIsWindows2000OrXP = gOSFlags.OsIsWindows2000OrXP, &OsIsWindowsVista = gOSFlags.OsIsWindowsVista,
           &OsIsWindowsVistaOrNewer = gOSFlags.OsIsWindowsVistaOrNewer,
           &OsIsWindows7OrNewer = gOSFlags.OsIsWindows7OrNewer;
const bool& OsIsWow64 = gOSFlags.OsIsWow64;
const bool &RunsOnWin9x = gOSFlags.OsIsWindows9x, &RunsOnWinNT = gOSFlags.OsIsWindowsNT,
           &RunsUnderWow64 = gOSFlags.OsIsWow64, &IsWinVistaOrLater = gOSFlags.OsIsWindowsVistaOrNewer,
           &IsWin7OrLater = gOSFlags.OsIsWindows7OrNewer;

// ---- First day of the week

namespace {

uint16_t gWeekStartDay = 0;
bool gWeekStartDayAssigned = false;

}  // namespace

int GetWeekStartDay() { return gWeekStartDayAssigned ? gWeekStartDay : GetLocaleWeekStartDay(); }

bool IsWeekStartDayAssigned() { return gWeekStartDayAssigned; }

void AssignWeekStartDay(uint16_t AValue) {
  if (AValue > 6) return;
  gWeekStartDay = AValue;
  gWeekStartDayAssigned = true;
}

void ResetWeekStartDay() { gWeekStartDayAssigned = false; }

int GetLocaleWeekStartDay() {
  // The locale counts from Monday (0) to Sunday (6). An answer that is not
  // one of those counts as Monday, like a missing one.
  std::int32_t day = 0;
  if (!TryStrToInt(ReadLocaleInfo(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, L"0"), day) || day < 0 || day > 6)
    day = 0;
  return day + 1 > 6 ? 0 : day + 1;
}

WideString ReadLocaleInfo(LCID ALocale, LCTYPE ALCType, std::wstring_view ADefault) {
  int size = GetLocaleInfoW(ALocale, ALCType, nullptr, 0);
  if (size <= 0) return WideString(ADefault);
  WideString text(std::size_t(size), L'\0');
  size = GetLocaleInfoW(ALocale, ALCType, text.data(), size);
  if (size <= 0) return WideString(ADefault);
  text.resize(std::size_t(size - 1));  // without the terminating null
  return text;
}

// ---- Text and variant conversions

namespace {

// ALength of a text of Size units: negative means all; the terminating null
// (always there in a std::basic_string) may be taken in, nothing beyond it.
int ConvertedLength(int ALength, std::size_t size) {
  std::size_t limit = size + 1;
  if (ALength < 0) return int(size);
  return int(std::min<std::size_t>(std::size_t(ALength), limit));
}

}  // namespace

WideString MultiByteToWideText(const std::string& S, UINT ACodePage, int ALength) {
  WideString result;
  if (S.empty()) return result;
  if (!OsIsWindowsNT && ACodePage == CP_UTF8) return UTF8Decode(S);
  int length = ConvertedLength(ALength, S.size());
  if (length == 0) return result;
  int size = MultiByteToWideChar(ACodePage, 0, S.c_str(), length, nullptr, 0);
  if (size <= 0) return result;
  result.resize(std::size_t(size));
  DWORD flags = ACodePage == CP_UTF8 ? 0 : MB_PRECOMPOSED;
  size = MultiByteToWideChar(ACodePage, flags, S.c_str(), length, result.data(), size);
  result.resize(std::size_t(size > 0 ? size : 0));
  return result;
}

std::string WideToMultiByteText(const WideString& W, UINT ACodePage, int ALength) {
  std::string result;
  if (W.empty()) return result;
  if (!OsIsWindowsNT && ACodePage == CP_UTF8) return UTF8Encode(W);
  int length = ConvertedLength(ALength, W.size());
  if (length == 0) return result;
  int size = WideCharToMultiByte(ACodePage, 0, W.c_str(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return result;
  result.resize(std::size_t(size));
  size = WideCharToMultiByte(ACodePage, 0, W.c_str(), length, result.data(), size, nullptr, nullptr);
  result.resize(std::size_t(size > 0 ? size : 0));
  return result;
}

std::string VariantToAnsiText(const Variant& V) {
  if (VarArrayDimCount(V) == 1) {
    // The array is taken as bytes: one per element, whatever the element kind
    // (never more than the array holds, as every element has a byte at least).
    int count = VarArrayHighBound(V, 1) - VarArrayLowBound(V, 1) + 1;
    TVarArrayLock lock(V);
    return std::string(static_cast<const char*>(lock.Data()), std::size_t(count > 0 ? count : 0));
  }
  if (const std::string* ansi = V.Ansi()) return *ansi;  // 8-bit text as it is
  return WideToMultiByteText(VarToStr(V), CP_ACP, -1);
}

WideString VariantToWideText(const Variant& V) {
  if (VarIsStr(V)) return VarToStr(V);
  return MultiByteToWideText(VariantToAnsiText(V), CP_ACP, -1);
}

WideString VariantToText(const Variant& V) { return VariantToWideText(V); }

uint16_t GetCharTypeFlags(wchar_t C) {
  WORD flags = 0;
  return GetStringTypeW(CT_CTYPE1, &C, 1, &flags) ? flags : 0;
}

// ---- Small routines

void CallNotifyEvent(TObject* ASender, const TNotifyEvent& AEvent) {
  if (AEvent) AEvent(ASender);
}

void SwapIntegers(int& A, int& B) { std::swap(A, B); }

void MoveMemoryBlock(const void* ASource, void* ADest, int ACount) {
  if (ACount > 0) std::memmove(ADest, ASource, std::size_t(ACount));
}

void ZeroMemoryBlock(void* P, int ACount) {
  if (ACount > 0) std::memset(P, 0, std::size_t(ACount));
}

void* AllocZeroedBlock(int ASize) {
  if (ASize <= 0) return nullptr;
  void* p = std::calloc(1, std::size_t(ASize));
  if (!p) throw std::bad_alloc();
  return p;
}

void FreeMemoryBlock(void* P) { std::free(P); }

// ---- Bitmap pixels

namespace {

// A memory context compatible with the screen, deleted on every path.
class TScreenMemoryDC {
public:
  TScreenMemoryDC() : FDC(CreateCompatibleDC(nullptr)) {}
  ~TScreenMemoryDC() {
    if (FDC) DeleteDC(FDC);
  }
  TScreenMemoryDC(const TScreenMemoryDC&) = delete;
  TScreenMemoryDC& operator=(const TScreenMemoryDC&) = delete;
  HDC Handle() const { return FDC; }

private:
  HDC FDC;
};

BITMAPINFO* AsInfo(BITMAPINFOHEADER& header) { return reinterpret_cast<BITMAPINFO*>(&header); }

}  // namespace

uint32_t ColorToQuad(TColor AColor, uint8_t AReserved) {
  COLORREF rgb = ColorToRGB(AColor);
  return uint32_t(GetBValue(rgb)) | uint32_t(GetGValue(rgb)) << 8 | uint32_t(GetRValue(rgb)) << 16 |
         uint32_t(AReserved) << 24;
}

int GetBitmapBitsPerPixel(TBitmap& ABitmap) {
  switch (ABitmap.PixelFormat()) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit: return 16;
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    case TPixelFormat::pfDevice:
    case TPixelFormat::pfCustom: break;
  }
  return GetDeviceCaps(ABitmap.Canvas().Handle(), BITSPIXEL);
}

void InitBitmapInfoHeader32(BITMAPINFOHEADER& AHeader, int AWidth, int AHeight, bool ATopDown) {
  std::memset(&AHeader, 0, sizeof AHeader);
  AHeader.biSize = sizeof AHeader;
  AHeader.biWidth = AWidth;
  AHeader.biHeight = ATopDown ? -AHeight : AHeight;
  AHeader.biPlanes = 1;
  AHeader.biBitCount = 32;
  AHeader.biCompression = BI_RGB;
}

namespace {
TDIBitsReader gDIBitsReader = nullptr;

int ReadDIBits(HDC ADC, HBITMAP ABitmap, UINT AStart, UINT ALines, LPVOID ABits, LPBITMAPINFO AInfo, UINT AUsage) {
  if (gDIBitsReader) return gDIBitsReader(ADC, ABitmap, AStart, ALines, ABits, AInfo, AUsage);
  return GetDIBits(ADC, ABitmap, AStart, ALines, ABits, AInfo, AUsage);
}
}  // namespace

TDIBitsReader SetDIBitsReader(TDIBitsReader AReader) { return std::exchange(gDIBitsReader, AReader); }

bool ReadBitmapPixels(TBitmap& ABitmap, TRGBColors& AColors, bool ATopDownDIB) {
  const int width = ABitmap.Width(), height = ABitmap.Height();
  AColors.assign(std::size_t(width) * std::size_t(height), RGBQUAD{});
  if (width == 0 || height == 0) return false;
  BITMAPINFOHEADER header;
  InitBitmapInfoHeader32(header, width, height, ATopDownDIB);
  HBITMAP bitmap = ABitmap.Handle();  // out of its canvas's context: GetDIBits needs that
  TScreenMemoryDC dc;
  if (ReadDIBits(dc.Handle(), bitmap, 0, UINT(height), AColors.data(), AsInfo(header), DIB_RGB_COLORS)) return true;
  // Line by line; a line that cannot be read straight in goes through a zeroed buffer.
  // Scan lines count from the bottom: in a top-down read line L is row
  // height - 1 - L, as the whole read places it.
  bool result = true;
  for (int line = 0; line < height; ++line) {
    const int element = ATopDownDIB ? height - 1 - line : line;
    RGBQUAD* row = AColors.data() + std::size_t(element) * std::size_t(width);
    bool read = ReadDIBits(dc.Handle(), bitmap, UINT(line), 1, row, AsInfo(header), DIB_RGB_COLORS) != 0;
    if (!read) {
      TRGBColors buffer(std::size_t(width), RGBQUAD{});
      read = ReadDIBits(dc.Handle(), bitmap, UINT(line), 1, buffer.data(), AsInfo(header), DIB_RGB_COLORS) != 0;
      std::copy(buffer.begin(), buffer.end(), row);
    }
    result = result && read;
  }
  return result;
}

void WriteBitmapPixels(TBitmap& ABitmap, std::span<const RGBQUAD> AColors, bool ATopDownDIB) {
  const int width = ABitmap.Width(), height = ABitmap.Height();
  if (width == 0 || height == 0) return;
  // The system reads Width x Height colours: a shorter buffer would be read past its end.
  if (AColors.size() < std::size_t(width) * std::size_t(height)) return;
  BITMAPINFOHEADER header;
  InitBitmapInfoHeader32(header, width, height, ATopDownDIB);
  HBITMAP bitmap = ABitmap.Handle();
  TScreenMemoryDC dc;
  SetDIBits(dc.Handle(), bitmap, 0, UINT(height), AColors.data(), AsInfo(header), DIB_RGB_COLORS);
}

bool BitmapHasAlpha(TBitmap& ABitmap) {
  if (GetBitmapBitsPerPixel(ABitmap) < 32) return false;
  TRGBColors colors;
  ReadBitmapPixels(ABitmap, colors, false);
  return std::any_of(colors.begin(), colors.end(), [](const RGBQUAD& c) { return c.rgbReserved != 0; });
}

// ---- Unit start-up and shut-down

namespace {

constexpr const wchar_t* kNeedFinalize = L"Need call dxFinalize before free library!";

}  // namespace

bool DxCoreUnitStartup() {
  InitOSVersionFlags();
  gWeekStartDay = uint16_t(GetLocaleWeekStartDay());  // stored, not assigned
  return true;
}

void DxCoreUnitShutdown() {
  gRepository.reset();
  if (IsUnitLoadingDeferred() && gUnitsLoader && gUnitsLoader->FinalizeCount() > 0) throw Exception(kNeedFinalize);
  gUnitsLoader.reset();
}

}  // namespace tvk
