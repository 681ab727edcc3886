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
// The guard is a frame of its own around the call, so the library's own
// handlers see its exceptions first and only what it leaves unhandled reaches
// the guard. The guard then unwinds the frames above it (their unwind
// handlers run) and the call answers false.

namespace {

thread_local DWORD tLastFault = 0;

}  // namespace

#if defined(__x86_64__)

// The call thunk: its unwind data names tvk_ForeignGuardHandler for the
// exceptions that pass its frame. An unwind to tvk_ForeignGuardLanding leaves
// eax 0 (the unwind's return value); the call's own return sets it to 1.
extern "C" uint32_t tvk_ForeignGuardedCall(void (*call)(void*), void* context);
extern "C" void tvk_ForeignGuardLanding();

__asm__(R"(
    .text
    .p2align 4
    .def tvk_ForeignGuardedCall; .scl 2; .type 32; .endef
    .seh_proc tvk_ForeignGuardedCall
tvk_ForeignGuardedCall:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    .seh_handler tvk_ForeignGuardHandler, @except
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    movl $1, %eax
tvk_ForeignGuardLanding:
    addq $40, %rsp
    retq
    .seh_endproc
)");

extern "C" EXCEPTION_DISPOSITION tvk_ForeignGuardHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT*,
                                                         DISPATCHER_CONTEXT* dispatch) noexcept {
  if (IS_UNWINDING(record->ExceptionFlags)) return ExceptionContinueSearch;
  tLastFault = record->ExceptionCode;
  RtlUnwindEx(frame, reinterpret_cast<void*>(&tvk_ForeignGuardLanding), record, nullptr, dispatch->ContextRecord,
              dispatch->HistoryTable);
  return ExceptionContinueSearch;  // not reached: the unwind resumes at the landing
}

bool RunForeignCall(void (*call)(void*), void* context) { return tvk_ForeignGuardedCall(call, context) != 0; }

#elif defined(__i386__)

// An exception registration record on the thread's chain (fs:[0]) for the
// length of the call, with the guarded frame's landing behind it.
namespace {

struct TForeignGuardRecord {
  TForeignGuardRecord* Next;
  EXCEPTION_DISPOSITION(__cdecl* Handler)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);
  void* Landing[5];  // __builtin_setjmp's buffer
};

TForeignGuardRecord* ExceptionChain() {
  TForeignGuardRecord* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void SetExceptionChain(TForeignGuardRecord* head) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory"); }

// Unwinds the records above the guard (the library's handlers see the
// unwind and the guard's record is left at the head), then lands in the
// guarded frame. It never returns to the dispatcher, whose own record the
// unwind has taken off the chain.
EXCEPTION_DISPOSITION __cdecl OnForeignException(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) noexcept {
  if (IS_UNWINDING(record->ExceptionFlags)) return ExceptionContinueSearch;
  tLastFault = record->ExceptionCode;
  RtlUnwind(frame, nullptr, record, nullptr);
  __builtin_longjmp(static_cast<TForeignGuardRecord*>(frame)->Landing, 1);
}

}  // namespace

__attribute__((noinline)) bool RunForeignCall(void (*call)(void*), void* context) {
  TForeignGuardRecord guard{ExceptionChain(), &OnForeignException, {}};
  if (__builtin_setjmp(guard.Landing) != 0) {
    SetExceptionChain(guard.Next);
    return false;
  }
  SetExceptionChain(&guard);
  call(context);
  SetExceptionChain(guard.Next);
  return true;
}

#else
#error "no guarded call for this processor"
#endif

DWORD LastForeignFault() { return tLastFault; }

}  // namespace tvk
