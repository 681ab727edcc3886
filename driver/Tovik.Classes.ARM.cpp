#include "Tovik.Classes.ARM.h"

#include <windows.h>

namespace tvk {

// ---- ARMv7-M views

namespace {

const TARMv7MView* FindARMv7MView(int32_t number) {
  for (const TARMv7MView& view : kARMv7MViews)
    if (view.Number == number) return &view;
  return nullptr;
}

// ITSTATE bits 7:6 live in xPSR bits 26:25, bits 5:0 in xPSR bits 15:10.
constexpr uint32_t ITStateOf(uint32_t xpsr) {
  return (((xpsr & arm::XPSR_IT_HIGH_MASK) >> 25) << 6) | ((xpsr & arm::XPSR_IT_LOW_MASK) >> 10);
}

constexpr uint32_t WithITState(uint32_t xpsr, uint32_t itstate) {
  return (xpsr & ~(arm::XPSR_IT_HIGH_MASK | arm::XPSR_IT_LOW_MASK)) | (((itstate >> 6) & 3) << 25) |
         ((itstate & 0x3F) << 10);
}

}  // namespace

bool ReadARMv7MView(int32_t number, uint32_t xpsr, uint32_t cfbp, uint32_t& value) {
  if (number == arm::V7M_REG_ITSTATE) {
    value = ITStateOf(xpsr);
    return true;
  }
  const TARMv7MView* view = FindARMv7MView(number);
  if (!view) return false;
  const uint32_t word = view->Cache == TARMv7MCache::XPSR ? xpsr : cfbp;
  value = (word & view->Mask) >> view->Shift;
  return true;
}

bool ComposeARMv7MView(int32_t number, uint32_t value, uint32_t xpsr, uint32_t cfbp, TARMv7MCache& cache,
                       uint32_t& word) {
  if (number == arm::V7M_REG_ITSTATE) {
    cache = TARMv7MCache::XPSR;
    word = WithITState(xpsr, value);
    return true;
  }
  if (number == arm::V7M_REG_TBIT) {
    // The core runs Thumb only: a TBIT write can only set it.
    cache = TARMv7MCache::XPSR;
    word = xpsr | arm::XPSR_T;
    return true;
  }
  const TARMv7MView* view = FindARMv7MView(number);
  if (!view) return false;
  cache = view->Cache;
  const uint32_t old = cache == TARMv7MCache::XPSR ? xpsr : cfbp;
  word = (old & ~view->Mask) | ((value << view->Shift) & view->Mask);
  return true;
}

// ---- MMU walk

TARMTranslation WalkTranslationTable(uint64_t virtualAddress, uint64_t tableBase, bool hasTinyPages,
                                     const TARMDescriptorReader& readDescriptor) {
  using namespace arm;
  TARMTranslation t;
  t.Physical = virtualAddress;
  const uint64_t base = tableBase & MMU_TABLE_BASE_MASK;
  const uint32_t va = uint32_t(virtualAddress);
  const uint32_t d1 = readDescriptor(base + uint64_t((va >> 20) & 0xFFF) * 4);
  const uint32_t type1 = d1 & 3;
  if (type1 == MMU_DESC_FAULT) return t;
  if (type1 == MMU_DESC_FINE && !hasTinyPages) return t;
  t.Domain = (d1 >> 5) & 0xF;
  if (type1 == MMU_DESC_SECTION) {
    t.CacheBits = (d1 >> 2) & 3;
    t.Access = (d1 >> 10) & 3;
    t.Physical = (d1 & 0xFFF00000) | (va & 0xFFFFF);
    return t;
  }
  const uint64_t second = type1 == MMU_DESC_COARSE ? uint64_t(d1 & 0xFFFFFC00) + uint64_t((va >> 12) & 0xFF) * 4
                                                   : uint64_t(d1 & 0xFFFFF000) + uint64_t((va >> 10) & 0x3FF) * 4;
  const uint32_t d2 = readDescriptor(second);
  const uint32_t type2 = d2 & 3;
  if (type2 == MMU_DESC_FAULT) return t;
  t.CacheBits = (d2 >> 2) & 3;
  switch (type2) {
    case MMU_DESC_COARSE:  // large page, 64 KiB
      t.Access = (d2 >> 4) & 0xFF;
      t.Physical = (d2 & 0xFFFF0000) | (va & 0xFFFF);
      break;
    case MMU_DESC_SECTION:  // small page, 4 KiB
      t.Access = (d2 >> 4) & 0xFF;
      t.Physical = (d2 & 0xFFFFF000) | (va & 0xFFF);
      break;
    default:  // tiny page, 1 KiB
      t.Access = (d2 >> 4) & 3;
      t.Physical = (d2 & 0xFFFFFC00) | (va & 0x3FF);
      break;
  }
  return t;
}

// ---- Diagnostic log

namespace {
struct TFileHandleCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using TFileHandle = std::unique_ptr<void, TFileHandleCloser>;
}  // namespace

void TARMDebugLog::Debug(std::wstring_view text) {
  FLines.push_back(WideString(L"DEBUG :DEBUG :") + WideString(text));
}

void TARMDebugLog::Error(std::wstring_view text) {
  FLines.push_back(WideString(L"DEBUG :ERROR :") + WideString(text));
}

void TARMDebugLog::SaveToFile(const WideString& fileName) const {
  std::string text;
  for (const WideString& line : FLines) {
    if (!line.empty()) {
      const int n = WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), nullptr, 0, nullptr, nullptr);
      const std::size_t at = text.size();
      text.resize(at + std::size_t(n));
      WideCharToMultiByte(CP_ACP, 0, line.data(), int(line.size()), text.data() + at, n, nullptr, nullptr);
    }
    text += "\r\n";
  }
  const TFileHandle file(
      CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw Exception(L"Cannot create file \"" + fileName + L"\"");
  DWORD written = 0;
  if (!WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr) || written != text.size()) throw Exception(L"Cannot write file \"" + fileName + L"\"");
}

}  // namespace tvk
