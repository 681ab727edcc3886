#pragma once
// The host's flash-writer callback (IFlashWriterCallback, 508715 SetProgress
// and 508716 IsAbortRequested): keeps every progress value and answers the
// abort question true from its k-th on, as a user who pressed Abort.
#include "FakeHostObject.h"

#include <functional>
#include <vector>

namespace hostsim {

class SimFlashCallback : public FakeHostObject {
public:
  static constexpr DISPID kSetProgress = 508715, kIsAbortRequested = 508716;

  SimFlashCallback();

  // 0: never.
  void AbortFromQuestion(unsigned k) { FAbortFrom = k; }
  // Called with each progress value as it arrives (a benchmark's snapshots).
  void OnProgress(std::function<void(long)> observer) { FOnProgress = std::move(observer); }
  const std::vector<long>& Progress() const { return FProgress; }
  unsigned Questions() const { return FQuestions; }
  void Clear() {
    FProgress.clear();
    FQuestions = 0;
  }

private:
  std::vector<long> FProgress;
  std::function<void(long)> FOnProgress;
  unsigned FQuestions = 0, FAbortFrom = 0;
};

}  // namespace hostsim
