#include "Tovik.Utils.h"

#include "Convert.h"
#include "Tovik.Types.h"
#include "ZUL.HostModules.h"
#include "ZUL.Param.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace tvk {

namespace {

// A screen-compatible device context for GetDIBits and SetDIBits.
class ScreenDC {
public:
  ScreenDC() : FDC(GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() { if (FDC) ReleaseDC(nullptr, FDC); }
  HDC Get() const { return FDC; }

private:
  HDC FDC;
};

// A bitmap's pixels as top-down 24-bit rows.
struct Pixels24 {
  int Width = 0, Height = 0;
  std::size_t Stride = 0;
  std::vector<BYTE> Bits;
  BITMAPINFO Info{};

  bool Read(HDC dc, HBITMAP bitmap) {
    BITMAP b{};
    if (!bitmap || !GetObjectW(bitmap, sizeof b, &b) || b.bmWidth <= 0 || b.bmHeight <= 0) return false;
    Width = b.bmWidth;
    Height = b.bmHeight;
    Stride = (std::size_t(Width) * 3 + 3) & ~std::size_t(3);
    Bits.assign(Stride * std::size_t(Height), 0);
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;  // top-down
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 24;
    Info.bmiHeader.biCompression = BI_RGB;
    return GetDIBits(dc, bitmap, 0, UINT(Height), Bits.data(), &Info, DIB_RGB_COLORS) == Height;
  }
  bool Write(HDC dc, HBITMAP bitmap) {
    return SetDIBits(dc, bitmap, 0, UINT(Height), Bits.data(), &Info, DIB_RGB_COLORS) == Height;
  }
  BYTE* At(int column, int row) { return Bits.data() + std::size_t(row) * Stride + std::size_t(column) * 3; }
};

struct BitmapSize {
  int Width = 0, Height = 0;
};

bool VendorToolInstalled(const wchar_t* vendor) {
  IVendorToolManager manager = GetVendorToolManager();
  return manager && manager.IsVendorToolInstalled(vendor);
}

WideString VendorToolDescriptor(const wchar_t* vendor) {
  IVendorToolManager manager = GetVendorToolManager();
  return manager ? manager.GetVendorToolDescriptor(vendor) : WideString();
}

BitmapSize SizeOf(HBITMAP bitmap) {
  BITMAP b{};
  if (!bitmap || !GetObjectW(bitmap, sizeof b, &b)) return {};
  return {b.bmWidth, b.bmHeight};
}

}  // namespace

bool GetToolchainName(std::wstring_view request, WideString& value) {
  return GetParameterValue(request, L"ToolchainName", value);
}

std::int32_t GetFlowActionIndex(std::wstring_view request) {
  WideString action;
  if (!GetParameterValue(request, L"Action", action)) action = request;
  // The unused slot's empty entry names no action: an empty text is "None".
  if (action.empty()) return 0;
  for (std::size_t i = 0; i < kProcessFlowCommands.size(); ++i)
    if (SameAsciiText(kProcessFlowCommands[i], action)) return std::int32_t(i);
  return 0;
}

bool ParseBinaryText(std::wstring_view text, std::uint32_t& value) {
  if (!text.empty() && AsciiUpper(text.front()) == L'B') text.remove_prefix(1);
  value = 0;
  for (wchar_t c : text) {
    if (c == L'0' || c == L'1') value = value * 2 + std::uint32_t(c - L'0');
    else if (c != L' ' && c != L'-') {
      value = 0;
      return false;
    }
  }
  return true;
}

void IntToHexMinDigits(std::uint32_t value, std::int32_t bits, WideString& text) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  text.assign(8, L'0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[std::size_t(i)] = kDigits[value & 0xF];
  // Integer division toward zero, as the width rule is written.
  const std::int64_t keep = (std::int64_t(bits) + 3) / 4;
  std::size_t leading = 0;
  while (leading < text.size() && text[leading] == L'0' && std::int64_t(text.size() - leading) > keep) ++leading;
  text.erase(0, leading);
}

void FloatToFixed2(double x, WideString& text) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 2);
  std::string narrow = ec == std::errc() ? std::string(buffer, end) : std::string();
  text.assign(narrow.begin(), narrow.end());
  if (text.size() < 2) text.insert(0, 2 - text.size(), L' ');
}

void OverlayBitmap(HBITMAP source, HBITMAP target, int x, bool skipCorners, int y) {
  BitmapSize s = SizeOf(source), t = SizeOf(target);
  if (s.Width <= 0 || s.Height <= 0 || t.Width <= 0 || t.Height <= 0) return;
  ScreenDC dc;
  Pixels24 from, to;
  if (!from.Read(dc.Get(), source) || !to.Read(dc.Get(), target)) return;
  // Only the part of Source that lands inside Target is copied.
  const int firstRow = std::max(0, -y), lastRow = std::min(from.Height, to.Height - y);
  const int firstColumn = std::max(0, -x), lastColumn = std::min(from.Width, to.Width - x);
  if (firstRow >= lastRow || firstColumn >= lastColumn) return;
  for (int r = firstRow; r < lastRow; ++r) {
    const bool edgeRow = r == 0 || r == from.Height - 1;
    for (int c = firstColumn; c < lastColumn; ++c) {
      if (skipCorners && edgeRow && (c == 0 || c == from.Width - 1)) continue;
      std::copy_n(from.At(c, r), 3, to.At(x + c, y + r));
    }
  }
  to.Write(dc.Get(), target);
}

void CenterOverlayBitmap(HBITMAP source, HBITMAP target, bool skipCorners) {
  BitmapSize s = SizeOf(source), t = SizeOf(target);
  OverlayBitmap(source, target, (t.Width - s.Width) / 2, skipCorners, (t.Height - s.Height) / 2);
}

// ---- FPGA vendor tools

bool XilinxToolsInstalled() { return VendorToolInstalled(L"Xilinx"); }
bool LatticeToolsInstalled() { return VendorToolInstalled(L"Lattice"); }
bool AlteraToolsInstalled() { return !GetAlteraToolPath(L"Quartus_Cmd").empty(); }
bool ActelToolsInstalled() { return !GetActelToolPath(L"designer").empty(); }
void XilinxToolsDescriptor(WideString& text) { text = VendorToolDescriptor(L"Xilinx"); }
void LatticeToolsDescriptor(WideString& text) { text = VendorToolDescriptor(L"Lattice"); }
void AlteraToolsDescriptor(WideString& text) { text = L"Altera Quartus II"; }
void ActelToolsDescriptor(WideString& text) { text = L"ACTEL LiberoIDE"; }

}  // namespace tvk
