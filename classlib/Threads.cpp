#include "Threads.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

namespace tvk {

namespace {

// Static initialisation runs on the thread that loads the library.
const DWORD gMainThreadId = GetCurrentThreadId();

struct TSyncCall {
  TThreadMethod Method;
  std::exception_ptr Error;
  bool Done = false;
};

// The one place where threads meet: guarded by one lock.
std::mutex gLock;
std::condition_variable gDone;
std::deque<TSyncCall*> gQueue;
TNotifyEvent gWakeMainThread;

}  // namespace

DWORD MainThreadId() { return gMainThreadId; }

void Synchronize(const TThreadMethod& method) {
  if (GetCurrentThreadId() == gMainThreadId) {
    method();
    return;
  }
  TSyncCall call{method, nullptr, false};
  TNotifyEvent wake;
  {
    std::lock_guard lock(gLock);
    gQueue.push_back(&call);
    wake = gWakeMainThread;
  }
  if (wake) wake(nullptr);
  std::unique_lock lock(gLock);
  gDone.wait(lock, [&] { return call.Done; });
  if (call.Error) std::rethrow_exception(call.Error);
}

bool CheckSynchronize() {
  if (GetCurrentThreadId() != gMainThreadId) return false;
  bool ran = false;
  for (;;) {
    TSyncCall* call = nullptr;
    {
      std::lock_guard lock(gLock);
      if (gQueue.empty()) break;
      call = gQueue.front();
      gQueue.pop_front();
    }
    try {
      call->Method();
    } catch (...) {
      call->Error = std::current_exception();
    }
    {
      std::lock_guard lock(gLock);
      call->Done = true;
    }
    gDone.notify_all();
    ran = true;
  }
  return ran;
}

int PendingSynchronizedCalls() {
  std::lock_guard lock(gLock);
  return int(gQueue.size());
}

TNotifyEvent WakeMainThread() {
  std::lock_guard lock(gLock);
  return gWakeMainThread;
}

void SetWakeMainThread(TNotifyEvent handler) {
  std::lock_guard lock(gLock);
  gWakeMainThread = std::move(handler);
}

}  // namespace tvk
