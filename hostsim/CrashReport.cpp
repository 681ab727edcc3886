// Linked into every program of the simulated host, the tests and the
// benchmarks: a crash ends the process at once with its code and fault
// address on stderr, instead of waiting for a debugger that never comes.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  std::fprintf(stderr, "crash: exception 0x%08lx at address %p", static_cast<unsigned long>(record->ExceptionCode),
               record->ExceptionAddress);
  if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2)
    std::fprintf(stderr, " (%s access to %p)", record->ExceptionInformation[0] ? "write" : "read",
                 reinterpret_cast<void*>(record->ExceptionInformation[1]));
  std::fprintf(stderr, "\n");
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

const bool gInstalled = [] {
  SetUnhandledExceptionFilter(&ReportCrash);
  // No error boxes either: a headless run has nobody to answer them.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  return true;
}();

}  // namespace
