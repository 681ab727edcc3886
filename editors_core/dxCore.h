#pragma once
// The services that both generations of the component library share: the
// repository of localizable resource strings grouped by product and the
// listeners told when translations change, the units loader that collects
// library units' start-up and shut-down procedures, the library's exception,
// OS version flags, the first day of the week, code-page and variant-to-text
// conversions, and the pixels of 32-bit bitmaps.
#include "Graphics.h"
#include "Lists.h"
#include "ResStrings.h"
#include "Variants.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvk {

// The base of the library's own errors; it adds nothing to Exception.
class EdxException : public Exception {
public:
  using Exception::Exception;
};

// The corner of a sizable pop-up that holds its size grip.
enum TdxCorner { coTopLeft, coTopRight, coBottomLeft, coBottomRight };

// ---- Resource strings

// {2E9A00B3-1A56-4599-C5C4-8E0D414E6F79}
extern const IID IID_IdxLocalizerListener;

// Told, without arguments, whenever the resource-string translations change.
struct IdxLocalizerListener : public IUnknown {
  virtual void STDMETHODCALLTYPE TranslationChanged() = 0;
};

class TdxProductResourceStrings;
// Fills a product's table (one Add per string).
using TdxAddResourceStringsProcedure = void (*)(TdxProductResourceStrings* AProduct);
// A translator's handler: told each string's name and record, it may set the
// record's translation.
using TdxLocalizationTranslateResStringEvent =
    std::function<void(const WideString& AResStringName, TResStringRec* AResString)>;

// One product's table of named resource strings: names compare without regard
// to case, and the first record added under a name stands. The records are
// the caller's; the table keeps their addresses.
class TdxProductResourceStrings : public TObject {
public:
  TVK_CLASS(TdxProductResourceStrings, TObject)
  // Runs AInitializeProc (when given) at once: the names are in place before
  // the repository appends the product.
  TdxProductResourceStrings(const WideString& AName, TdxAddResourceStringsProcedure AInitializeProc);

  void Add(const WideString& AResStringName, TResStringRec* AResStringAddr);
  void Clear();
  // Binary search without regard to case; -1 when absent.
  int GetIndexByName(std::wstring_view AName) const;
  WideString NameAt(int AIndex) const;
  TResStringRec* ResStringAt(int AIndex) const;
  // The current text of the string at AIndex (LoadResString of its record).
  WideString TextAt(int AIndex) const;
  // Hands every string, in name order, to the repository's OnTranslateResString.
  void TranslateStrings();
  void TranslateString(int AIndex);

  const WideString& Name() const { return FName; }
  int ResStringsCount() const { return FResStringNames.Count(); }

private:
  void LoadStringNames();

  WideString FName;
  TdxAddResourceStringsProcedure FInitializeProc;
  TStringList FResStringNames;  // sorted; each entry's object is the record's address
};

// The process-wide repository: products in registration order and the
// listeners. Listeners are plain pointers without a counted reference: a
// listener removes itself before it goes.
class TdxResourceStringsRepository : public TObject {
public:
  TVK_CLASS(TdxResourceStringsRepository, TObject)
  TdxResourceStringsRepository() = default;

  // Appends a new product (its names already added); a name registered twice
  // makes two products.
  void RegisterProduct(const WideString& AProductName, TdxAddResourceStringsProcedure AAddStringsProc);
  // Removes and frees the first product named exactly AProductName, if any.
  void UnRegisterProduct(std::wstring_view AProductName);
  // The first product named exactly AName (case counts), or -1.
  int GetProductIndexByName(std::wstring_view AName) const;
  TdxProductResourceStrings* ProductAt(int AIndex) const;
  int ProductsCount() const { return FProducts.Count(); }
  // The text of AName from the first product that knows it; empty when none does.
  WideString GetOriginalValue(std::wstring_view AName) const;
  // Hands every product's strings to OnTranslateResString, when assigned;
  // the listeners are not told (NotifyListeners does that).
  void Translate();

  void AddListener(IdxLocalizerListener* AListener);     // once per listener
  void RemoveListener(IdxLocalizerListener* AListener);  // absent: nothing
  // TranslationChanged of every listener, first registered first.
  void NotifyListeners();
  int ListenersCount() const { return FListeners.Count(); }

  TdxLocalizationTranslateResStringEvent OnTranslateResString;

private:
  TList FListeners;     // IdxLocalizerListener*, not counted
  TObjectList FProducts;  // owns its TdxProductResourceStrings
};

// The repository, made on the first call; never null while the module is loaded.
TdxResourceStringsRepository& GetResourceStringsRepository();
// The repository when it exists (null before the first call and after the
// unit's shut-down): for those leaving it, who must not make a new one.
TdxResourceStringsRepository* FindResourceStringsRepository();

// ---- Units loader

using TdxUnitProcedure = void (*)();

// Collects library units' start-up (initialise) and shut-down (finalise)
// procedures. In this module loading is deferred: AddUnit only queues the
// initialise procedure, and nothing runs the queue.
class TdxUnitsLoader : public TObject {
public:
  TVK_CLASS(TdxUnitsLoader, TObject)
  TdxUnitsLoader() = default;
  // Finalize; a finalise procedure's error is dropped there (a destructor
  // must not fail).
  ~TdxUnitsLoader() override;

  // Either may be null.
  void AddUnit(TdxUnitProcedure AInitializeProc, TdxUnitProcedure AFinalizeProc);
  // Takes AFinalizeProc off the finalise list and, when it was there, runs it
  // (whether or not its unit was ever initialised).
  void RemoveUnit(TdxUnitProcedure AFinalizeProc);
  // Runs the queued initialise procedures in order (those queued meanwhile
  // too), empties the queue and sets the initialised mark.
  void Initialize();
  // When initialised, runs the finalise procedures last to first; in every
  // case clears the mark and empties the finalise list.
  void Finalize();

  int InitializeCount() const { return int(FInitializeList.size()); }
  int FinalizeCount() const { return int(FFinalizeList.size()); }

private:
  // Procedure addresses, not object pointers: typed lists rather than TList.
  std::vector<TdxUnitProcedure> FFinalizeList;
  std::vector<TdxUnitProcedure> FInitializeList;
};

// The loader, made on the first call.
TdxUnitsLoader& GetUnitsLoader();
// Whether units defer their start-up to the loader: true for a library that is
// not a run-time package of the class library, which this module always is.
bool IsUnitLoadingDeferred();

// ---- OS version flags

struct TdxOSVersionFlags {
  bool OsIsWindows9x, OsIsWindows95, OsIsWindows98, OsIsWindowsMe;
  bool OsIsWindowsNT, OsIsWindows2000, OsIsWindows2000OrNewer, OsIsWindowsXP, OsIsWindowsXPOrNewer,
      OsIsWindows2000OrXP, OsIsWindowsVista, OsIsWindowsVistaOrNewer, OsIsWindows7OrNewer;
  bool OsIsWow64;
};

// The flags of a system (platform identifier, major and minor version); the
// WOW64 flag is the caller's (it is not a matter of the version).
TdxOSVersionFlags CalcOSVersionFlags(DWORD APlatform, DWORD AMajor, DWORD AMinor, bool AIsWow64);
// Whether IsWow64Process (looked up by name) reports the running process under WOW64.
bool QueryIsWow64();
// Computes the flags of the running system once, at the unit's start-up.
void InitOSVersionFlags();

// The flags of the running system (all false until InitOSVersionFlags).
extern const bool &OsIsWindows9x, &OsIsWindows95, &OsIsWindows98, &OsIsWindowsMe;
extern const bool &OsIsWindowsNT, &OsIsWindows2000, &OsIsWindows2000OrNewer, &OsIsWindowsXP,
    &OsIsWindowsXPOrNewer, &OsIsWindows2000OrXP, &OsIsWindowsVista, &OsIsWindowsVistaOrNewer,
    &OsIsWindows7OrNewer;
extern const bool& OsIsWow64;
// The same values under the names the look-and-feel library uses.
extern const bool &RunsOnWin9x, &RunsOnWinNT, &RunsUnderWow64, &IsWinVistaOrLater, &IsWin7OrLater;

// ---- First day of the week (0 Sunday ... 6 Saturday)

// The assigned day, else the locale's (asked on every call).
int GetWeekStartDay();
bool IsWeekStartDayAssigned();
// 0 to 6 is stored and counts from now on; 7 and above are ignored.
void AssignWeekStartDay(uint16_t AValue);
// The locale's day applies again.
void ResetWeekStartDay();
// The thread locale's first day of the week, on the 0-is-Sunday scale.
int GetLocaleWeekStartDay();
// A locale item's text without its terminating null; ADefault when the locale lacks it.
WideString ReadLocaleInfo(LCID ALocale, LCTYPE ALCType, std::wstring_view ADefault);

// ---- Text and variant conversions

// S (or its first ALength bytes; negative: all of S) of code page ACodePage
// as UTF-16. A length that takes in the terminating null gives one in the
// result; a length beyond it is cut to it.
WideString MultiByteToWideText(const std::string& S, UINT ACodePage, int ALength);
// The reverse: W (or its first ALength characters; negative: all) in ACodePage.
std::string WideToMultiByteText(const WideString& W, UINT ACodePage, int ALength);
// A one-dimensional array: as many of its raw bytes as it has elements;
// anything else: its text in the ANSI code page.
std::string VariantToAnsiText(const Variant& V);
// A string variant's text; anything else through VariantToAnsiText.
WideString VariantToWideText(const Variant& V);
WideString VariantToText(const Variant& V);
// The character's CT_CTYPE1 flags (C1_UPPER, C1_DIGIT ...), 0 when the system cannot tell.
uint16_t GetCharTypeFlags(wchar_t C);

// ---- Small routines

// Calls AEvent(ASender) when it is assigned.
void CallNotifyEvent(TObject* ASender, const TNotifyEvent& AEvent);
void SwapIntegers(int& A, int& B);
// Copies ACount bytes from ASource to ADest (source first); the blocks may
// overlap. A count of 0 or below copies nothing.
void MoveMemoryBlock(const void* ASource, void* ADest, int ACount);
void ZeroMemoryBlock(void* P, int ACount);
// A heap block of ASize zero bytes (null for 0 or below), freed by FreeMemoryBlock.
void* AllocZeroedBlock(int ASize);
void FreeMemoryBlock(void* P);

// ---- Bitmap pixels

// Pixels as RGBQUAD (blue, green, red, reserved/alpha), rows of Width one after another.
using TRGBColors = std::vector<RGBQUAD>;
static_assert(sizeof(RGBQUAD) == 4 && sizeof(BITMAPINFOHEADER) == 40, "fixed layouts");

// AColor resolved to RGB (system colours too) as an RGBQUAD image: blue in the
// low byte, then green, red and AReserved.
uint32_t ColorToQuad(TColor AColor, uint8_t AReserved = 0);
// Bits per pixel of the bitmap's format (pf15bit gives 16); pfDevice and
// pfCustom ask the bitmap's canvas's device.
int GetBitmapBitsPerPixel(TBitmap& ABitmap);
// Zeroes AHeader, then describes an uncompressed 32-bit DIB of AWidth x AHeight.
void InitBitmapInfoHeader32(BITMAPINFOHEADER& AHeader, int AWidth, int AHeight, bool ATopDown);
// Sizes AColors to Width x Height and reads the pixels into it (element 0 the
// top-left pixel with ATopDownDIB, else the bottom-left); false when a read
// failed or the bitmap is empty.
bool ReadBitmapPixels(TBitmap& ABitmap, TRGBColors& AColors, bool ATopDownDIB);
// The system's GetDIBits, as ReadBitmapPixels calls it; tests put a reader in
// that fails where they want (null puts the system's back). Answers the one
// that was in place.
using TDIBitsReader = int (*)(HDC ADC, HBITMAP ABitmap, UINT AStart, UINT ALines, LPVOID ABits, LPBITMAPINFO AInfo,
                              UINT AUsage);
TDIBitsReader SetDIBitsReader(TDIBitsReader AReader);
// Writes AColors (Width x Height, in the same order) into the bitmap; an
// empty bitmap, or fewer colours than pixels, writes nothing.
void WriteBitmapPixels(TBitmap& ABitmap, std::span<const RGBQUAD> AColors, bool ATopDownDIB);
// At least 32 bits per pixel and some pixel's reserved byte is not 0.
bool BitmapHasAlpha(TBitmap& ABitmap);

// ---- Unit start-up and shut-down (one step of the module's start-up table)

// The OS flags and the stored week start.
bool DxCoreUnitStartup();
// Frees the repository, checks that no finalise procedure is left (raising
// "Need call dxFinalize before free library!" when one is, which leaves the
// loader in place), then frees the loader.
void DxCoreUnitShutdown();

}  // namespace tvk
