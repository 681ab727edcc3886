#pragma once
// Helpers of the class-library tests: a message pump with a time limit and a
// recorder of exceptions that reach the application's handler.
#include "Application.h"

#include <string>
#include <vector>

namespace classlib_test {

// Processes messages until Done() holds or Milliseconds pass; answers Done().
template <class P>
bool PumpUntil(P done, unsigned milliseconds = 3000) {
  DWORD start = GetTickCount();
  while (!done()) {
    tvk::Application().ProcessMessages();
    if (GetTickCount() - start > milliseconds) return done();
    Sleep(1);
  }
  return true;
}

// Collects the messages of exceptions handed to the application while it lives.
class ExceptionRecorder {
public:
  ExceptionRecorder() {
    tvk::Application().OnException = [this](tvk::TObject* sender, const std::exception_ptr& e) {
      Senders.push_back(sender);
      Messages.push_back(tvk::ExceptionMessage(e));
    };
  }
  ~ExceptionRecorder() { tvk::Application().OnException = nullptr; }
  std::vector<tvk::TObject*> Senders;
  std::vector<std::wstring> Messages;
};

}  // namespace classlib_test
