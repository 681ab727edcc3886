#include "CommonUtils.h"

#include <cstring>
#include <limits>

namespace tvk {

// ---- TCustomWndProcObject

TCustomWndProcObject::TCustomWndProcObject() {
  FWnd = std::make_unique<TMessageWindow>(
      this,
      [this](TMessage& message) {
        bool handled = false;
        if (OnMessage) OnMessage(message, handled);
        return handled;
      },
      true);
}

TCustomWndProcObject::~TCustomWndProcObject() = default;

// ---- Monitors

void GetMonitorInfoAtPoint(const POINT& point, MONITORINFO& info) {
  std::memset(&info, 0, sizeof info);
  HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (!monitor) return;
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
}

// ---- Code hooks

namespace {

constexpr std::uint8_t kJumpRel32 = 0xE9;

// The 32-bit displacement of a five-byte jump at From to To, when it reaches.
bool JumpDisplacement(const void* from, const void* to, std::int32_t& displacement) {
#if defined(_WIN64)
  std::int64_t d = std::int64_t(reinterpret_cast<std::intptr_t>(to)) -
                   (std::int64_t(reinterpret_cast<std::intptr_t>(from)) + 5);
  if (d < std::numeric_limits<std::int32_t>::min() || d > std::numeric_limits<std::int32_t>::max()) return false;
  displacement = std::int32_t(d);
#else
  // A 32-bit address space wraps with the displacement: every target is in reach.
  displacement = std::int32_t(std::uint32_t(reinterpret_cast<std::uintptr_t>(to)) -
                              std::uint32_t(reinterpret_cast<std::uintptr_t>(from) + 5));
#endif
  return true;
}

// A page near Target holding "jmp [rip+0]" and Replacement's address: the
// landing place of a five-byte jump whose displacement cannot reach further.
void* AllocateRelay(void* target, const void* replacement) {
#if defined(_WIN64)
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  const std::uintptr_t granularity = si.dwAllocationGranularity;
  const std::uintptr_t origin = reinterpret_cast<std::uintptr_t>(target);
  const std::uintptr_t reach = 0x7FFF0000;  // a little inside 2 GiB, for the page's own size
  std::uintptr_t low = origin > reach ? origin - reach : granularity;
  std::uintptr_t high = origin + reach;
  low = (low + granularity - 1) / granularity * granularity;
  for (std::uintptr_t address = low; address < high;) {
    MEMORY_BASIC_INFORMATION mbi;
    if (!VirtualQuery(reinterpret_cast<void*>(address), &mbi, sizeof mbi)) break;
    if (mbi.State == MEM_FREE) {
      void* page = VirtualAlloc(reinterpret_cast<void*>(address), si.dwPageSize, MEM_RESERVE | MEM_COMMIT,
                                PAGE_READWRITE);
      std::int32_t unused;
      if (page && JumpDisplacement(target, page, unused)) {
        static constexpr std::uint8_t kJumpIndirect[6] = {0xFF, 0x25, 0, 0, 0, 0};  // jmp [rip+0]
        auto* code = static_cast<std::uint8_t*>(page);
        std::memcpy(code, kJumpIndirect, sizeof kJumpIndirect);
        std::uint64_t destination = reinterpret_cast<std::uintptr_t>(replacement);
        std::memcpy(code + sizeof kJumpIndirect, &destination, sizeof destination);
        DWORD old;
        VirtualProtect(page, si.dwPageSize, PAGE_EXECUTE_READ, &old);
        FlushInstructionCache(GetCurrentProcess(), page, si.dwPageSize);
        return page;
      }
      if (page) VirtualFree(page, 0, MEM_RELEASE);
    }
    std::uintptr_t next = reinterpret_cast<std::uintptr_t>(mbi.BaseAddress) + mbi.RegionSize;
    address = (std::max(next, address + granularity) + granularity - 1) / granularity * granularity;
  }
#else
  (void)target;
  (void)replacement;
#endif
  return nullptr;
}

bool WriteCode(void* address, const void* bytes, std::size_t count) {
  SIZE_T written = 0;
  return WriteProcessMemory(GetCurrentProcess(), address, bytes, count, &written) && written == count;
}

}  // namespace

bool InstallCodeHook(void* target, const void* replacement, TCodeHook& hook) {
  std::memcpy(hook.SavedBytes.data(), target, hook.SavedBytes.size());
  std::int32_t displacement = 0;
  if (!JumpDisplacement(target, replacement, displacement)) {
    if (!hook.Relay) hook.Relay = AllocateRelay(target, replacement);
    // Never a truncated displacement: without a relay nothing is written.
    if (!hook.Relay || !JumpDisplacement(target, hook.Relay, displacement)) {
      hook.Address = nullptr;
      return false;
    }
  }
  std::uint8_t jump[5] = {kJumpRel32};
  std::memcpy(jump + 1, &displacement, sizeof displacement);
  if (!WriteCode(target, jump, sizeof jump)) {
    hook.Address = nullptr;
    return false;
  }
  hook.Address = target;
  return true;
}

void RemoveCodeHook(TCodeHook& hook) {
  if (!hook.Address) return;
  WriteCode(hook.Address, hook.SavedBytes.data(), hook.SavedBytes.size());
  // The relay is unused once the entry is restored; a new install makes another.
  if (hook.Relay) VirtualFree(std::exchange(hook.Relay, nullptr), 0, MEM_RELEASE);
}

}  // namespace tvk
