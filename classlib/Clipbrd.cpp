#include "Clipbrd.h"

#include "Application.h"

#include <cstring>

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
  EmptyClipboard();
  // The system owns the block once it takes it.
  if (!SetClipboardData(CF_UNICODETEXT, data)) GlobalFree(data);
  Close();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

}  // namespace tvk
