#include "Clipbrd.h"

#include "Application.h"
#include "Graphics.h"
#include "Streams.h"

#include <cstring>
#include <memory>
#include <vector>

namespace tvk {

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    // Emptying needs an owner window: the application's, else a message-only
    // window that lives while the clipboard is open.
    HWND owner = Application().Handle();
    if (!owner) {
      FOwnWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
      owner = FOwnWindow;
    }
    if (!OpenClipboard(owner)) {
      DestroyOwnWindow();
      throw Exception(L"Cannot open clipboard");
    }
    FEmptied = false;
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) {
    CloseClipboard();
    DestroyOwnWindow();
  }
}

void TClipboard::DestroyOwnWindow() {
  if (FOwnWindow) DestroyWindow(FOwnWindow);
  FOwnWindow = nullptr;
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

void TClipboard::Adding() {
  if (FEmptied) return;
  EmptyClipboard();
  FEmptied = true;
}

bool TClipboard::HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != 0; }

WideString TClipboard::AsText() {
  WideString text;
  Open();
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Read no further than the block, null or not.
      std::size_t max = GlobalSize(data) / sizeof(wchar_t);
      std::size_t n = 0;
      while (n < max && p[n]) ++n;
      text.assign(p, n);
      GlobalUnlock(data);
    }
  }
  Close();
  return text;
}

void TClipboard::SetAsText(const WideString& text) {
  std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
  if (!data) throw Exception(L"Out of memory");
  if (auto* p = static_cast<wchar_t*>(GlobalLock(data))) {
    std::memcpy(p, text.c_str(), bytes);
    GlobalUnlock(data);
  }
  try {
    Open();
  } catch (...) {
    GlobalFree(data);
    throw;
  }
  Adding();
  // The system owns the block once it takes it.
  if (!SetClipboardData(CF_UNICODETEXT, data)) GlobalFree(data);
  Close();
}

void TClipboard::Assign(const TMetafile& metafile) {
  if (!metafile.Handle()) return;
  HENHMETAFILE copy = CopyEnhMetaFileW(metafile.Handle(), nullptr);
  if (!copy) RaiseLastOSError(L"Cannot copy metafile");
  try {
    Open();
  } catch (...) {
    DeleteEnhMetaFile(copy);
    throw;
  }
  Adding();
  if (!SetClipboardData(CF_ENHMETAFILE, copy)) DeleteEnhMetaFile(copy);
  Close();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

UINT PictureClipFormat() {
  static const UINT format = RegisterClipboardFormatW(L"TvkPicture");
  return format;
}

void TClipboard::Assign(const TPicture& picture) {
  TGraphic* graphic = picture.Graphic();
  if (!graphic || graphic->Empty()) {
    Clear();
    return;
  }
  // Class name length (characters), class name, then the graphic's file bytes.
  TMemoryStream stream;
  const WideString className = graphic->ClassName();
  stream.WriteValue(std::uint32_t(className.size()));
  stream.WriteBuffer(className.data(), className.size() * sizeof(wchar_t));
  graphic->SaveToStream(stream);
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, stream.Bytes().size());
  if (!data) throw Exception(L"Out of memory");
  if (void* p = GlobalLock(data)) {
    std::memcpy(p, stream.Memory(), stream.Bytes().size());
    GlobalUnlock(data);
  }
  // Also in the graphic's own clipboard format (a bitmap: CF_BITMAP), for other programs.
  UINT ownFormat = 0;
  HANDLE ownData = nullptr;
  try {
    graphic->SaveToClipboardFormat(ownFormat, ownData);
  } catch (const EInvalidGraphicOperation&) {
    ownData = nullptr;  // a kind without one
  } catch (...) {
    GlobalFree(data);
    throw;
  }
  auto freeOwnData = [&] {
    if (!ownData) return;
    if (ownFormat == CF_BITMAP) DeleteObject(ownData);
    else GlobalFree(ownData);
  };
  try {
    Open();
  } catch (...) {
    GlobalFree(data);
    freeOwnData();
    throw;
  }
  Adding();
  if (!SetClipboardData(PictureClipFormat(), data)) GlobalFree(data);
  if (ownData && !SetClipboardData(ownFormat, ownData)) freeOwnData();
  Close();
}

void TClipboard::AssignTo(TPicture& picture) {
  Open();
  struct TCloser {
    TClipboard& Board;
    ~TCloser() { Board.Close(); }
  } closer{*this};
  if (HANDLE data = GetClipboardData(PictureClipFormat())) {
    std::vector<std::uint8_t> bytes(GlobalSize(data));
    if (const void* p = GlobalLock(data)) {
      std::memcpy(bytes.data(), p, bytes.size());
      GlobalUnlock(data);
    }
    TMemoryStream stream(std::move(bytes));
    std::uint32_t length = 0;
    if (stream.Read(&length, sizeof length) != sizeof length ||
        length > std::uint64_t(stream.Size() - stream.Position()) / sizeof(wchar_t))
      throw EInvalidGraphic(L"Clipboard picture is not valid");
    WideString className(length, L'\0');
    stream.ReadBuffer(className.data(), length * sizeof(wchar_t));
    TGraphicClass graphicClass = TPicture::FindGraphicClass(className);
    if (!graphicClass) throw EInvalidGraphic(L"Unknown picture format " + className);
    std::unique_ptr<TGraphic> graphic = graphicClass->Create();
    graphic->LoadFromStream(stream);
    picture.SetGraphic(std::move(graphic));
    return;
  }
  if (HANDLE data = GetClipboardData(CF_BITMAP)) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromClipboardFormat(CF_BITMAP, data);
    picture.SetGraphic(std::move(bitmap));
    return;
  }
  throw EInvalidGraphic(L"The clipboard holds no picture");
}

}  // namespace tvk
