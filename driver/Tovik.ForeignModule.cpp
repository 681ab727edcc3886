#include "Tovik.ForeignModule.h"

namespace tvk {

// ---- TForeignLibrary

TForeignLibrary TForeignLibrary::Load(const WideString& path) {
  TForeignLibrary library;
  library.FHandle = LoadLibraryW(path.c_str());
  library.FOwned = library.FHandle != nullptr;
  return library;
}

TForeignLibrary TForeignLibrary::Borrow(HMODULE handle) {
  TForeignLibrary library;
  library.FHandle = handle;
  return library;
}

TForeignLibrary& TForeignLibrary::operator=(TForeignLibrary&& o) noexcept {
  if (this != &o) {
    Reset();
    FHandle = std::exchange(o.FHandle, nullptr);
    FOwned = std::exchange(o.FOwned, false);
  }
  return *this;
}

void TForeignLibrary::Reset() {
  if (FOwned && FHandle) FreeLibrary(FHandle);
  FHandle = nullptr;
  FOwned = false;
}

void* TForeignLibrary::Export(const char* name) const {
  return FHandle ? reinterpret_cast<void*>(GetProcAddress(FHandle, name)) : nullptr;
}

// ---- Guarded calls
//
// g++ has no structured exception frames, so the guard is a vectored handler,
// registered only for the length of a guarded call. On a fault it does not
// unwind through the library's frames: it lets the thread resume in
// LandFromFault, on fresh stack below the faulting frame, which jumps back to
// the guarded call's own frame with __builtin_longjmp.

namespace {

struct TLanding {
  void* Jump[5];       // __builtin_setjmp's buffer
  DWORD Fault = 0;     // the exception code that ended the call
  TLanding* Outer = nullptr;  // the guarded call this one runs inside, if any
};

thread_local TLanding* tLanding = nullptr;
thread_local DWORD tLastFault = 0;

// Room left between the faulting frame and the landing's own frame.
constexpr uintptr_t kLandingGap = 256;

bool IsProcessorFault(DWORD code) {
  // Error severity and no customer bit: what the system raises for a fault.
  return (code & 0xF0000000u) == 0xC0000000u;
}

[[noreturn]] __attribute__((noinline)) void LandFromFault() { __builtin_longjmp(tLanding->Jump, 1); }

LONG CALLBACK OnFault(EXCEPTION_POINTERS* info) {
  TLanding* landing = tLanding;
  if (!landing || !IsProcessorFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  landing->Fault = info->ExceptionRecord->ExceptionCode;
  // Resume as if the faulting code had called LandFromFault, with the stack
  // aligned as the calling convention expects at a function's entry.
  CONTEXT* context = info->ContextRecord;
#if defined(__x86_64__)
  context->Rsp = ((context->Rsp - kLandingGap) & ~DWORD64(15)) - 8;
  context->Rip = DWORD64(reinterpret_cast<uintptr_t>(&LandFromFault));
#elif defined(__i386__)
  context->Esp = DWORD(((context->Esp - kLandingGap) & ~uintptr_t(15)) - 4);
  context->Eip = DWORD(reinterpret_cast<uintptr_t>(&LandFromFault));
#else
#error "no landing for this processor"
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

// The frame a fault lands in. Nothing here needs destroying.
__attribute__((noinline)) bool RunLanded(TLanding& landing, void (*call)(void*), void* context) {
  if (__builtin_setjmp(landing.Jump) != 0) return false;
  tLanding = &landing;
  call(context);
  return true;
}

#if defined(__i386__)
// The head of the thread's chain of exception frames (fs:[0]): a library's
// frames on the abandoned stack must not stay on it.
void* ExceptionChain() {
  void* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}
void SetExceptionChain(void* head) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory"); }
#endif

// One guarded call's set-up: the handler is registered, and the thread's
// landing and (on x86) its chain of exception frames are put back at the end,
// however the call ends.
class TGuardScope {
public:
  explicit TGuardScope(TLanding& landing)
      : FLanding(landing), FHandler(AddVectoredExceptionHandler(1, &OnFault)) {
    landing.Outer = tLanding;
#if defined(__i386__)
    FChain = ExceptionChain();
#endif
  }
  ~TGuardScope() {
#if defined(__i386__)
    SetExceptionChain(FChain);
#endif
    tLanding = FLanding.Outer;
    if (FHandler) RemoveVectoredExceptionHandler(FHandler);
  }
  TGuardScope(const TGuardScope&) = delete;
  TGuardScope& operator=(const TGuardScope&) = delete;

private:
  TLanding& FLanding;
  PVOID FHandler;
#if defined(__i386__)
  void* FChain;
#endif
};

}  // namespace

bool RunForeignCall(void (*call)(void*), void* context) {
  TLanding landing;
  bool completed;
  {
    TGuardScope scope(landing);
    completed = RunLanded(landing, call, context);
  }
  if (!completed) tLastFault = landing.Fault;
  return completed;
}

DWORD LastForeignFault() { return tLastFault; }

}  // namespace tvk
