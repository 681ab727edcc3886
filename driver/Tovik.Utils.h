#pragma once
// Free routines the driver framework, the debug-interface layer and the
// driver's windows share: the toolchain and flow action of a Supports request,
// the bracket around a channel or transaction, the binary text of JTAG scans, two number formatters, the overlay of the
// device picture and the FPGA vendor tools the host knows.
#include "Exception.h"

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <type_traits>

namespace tvk {

// The value of "ToolchainName" in Request (a parameter list); false and an
// empty Value when it is not there.
bool GetToolchainName(std::wstring_view request, WideString& value);
// The position in the process-flow command table of Request's "Action" value,
// or of Request itself when it has none; 0 ("None") when nothing matches.
std::int32_t GetFlowActionIndex(std::wstring_view request);

// Runs Body between Open and Close (a channel, a transaction) and answers
// what Body answers. Close runs also when Body raises, so that an error never
// leaves the bracket open; an error of Open leaves it unopened.
template <class Open, class Close, class Body>
auto Bracketed(Open&& open, Close&& close, Body&& body) {
  open();
  if constexpr (std::is_void_v<decltype(body())>) {
    try {
      body();
    } catch (...) {
      close();
      throw;
    }
    close();
  } else {
    auto answer = [&] {
      try {
        return body();
      } catch (...) {
        close();
        throw;
      }
    }();
    close();
    return answer;
  }
}

// '0'/'1' text with an optional leading "B"/"b"; blanks and "-" are passed
// over; only the last 32 digits count. False (Value 0) for any other character.
bool ParseBinaryText(std::wstring_view text, std::uint32_t& value);
// Upper-case hexadecimal with at least (Bits + 3) / 4 digits.
void IntToHexMinDigits(std::uint32_t value, std::int32_t bits, WideString& text);
// Two decimals, "." as separator, at least two characters.
void FloatToFixed2(double x, WideString& text);

// Copies Source's pixels onto Target at (X, Y), clipped to Target; with
// SkipCorners the four corner pixels of Source are left out.
void OverlayBitmap(HBITMAP source, HBITMAP target, int x, bool skipCorners, int y);
// OverlayBitmap centred on Target.
void CenterOverlayBitmap(HBITMAP source, HBITMAP target, bool skipCorners);

// ---- FPGA vendor tools (false or empty when the host has no vendor-tool
// manager)

bool XilinxToolsInstalled();
bool LatticeToolsInstalled();
bool AlteraToolsInstalled();
bool ActelToolsInstalled();
void XilinxToolsDescriptor(WideString& text);
void LatticeToolsDescriptor(WideString& text);
void AlteraToolsDescriptor(WideString& text);
void ActelToolsDescriptor(WideString& text);

}  // namespace tvk
