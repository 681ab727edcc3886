#pragma once
// Answers the module's message dialogs without a screen and keeps what they
// said, for as long as the object lives.
#include "Dialogs.h"

#include <string>
#include <vector>

namespace testsupport {

class RecordedDialogs {
public:
  struct Shown {
    std::wstring Text, Caption;
    UINT Flags;
  };

  // Answer: the button every dialog returns (IDOK, IDCANCEL ...).
  explicit RecordedDialogs(int answer = IDOK) : FPrevious(tvk::SetDialogHandler(&Record)) {
    Active() = this;
    FAnswer = answer;
  }
  ~RecordedDialogs() {
    tvk::SetDialogHandler(FPrevious);
    Active() = nullptr;
  }
  RecordedDialogs(const RecordedDialogs&) = delete;
  RecordedDialogs& operator=(const RecordedDialogs&) = delete;

  const std::vector<Shown>& All() const { return FShown; }
  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (const Shown& s : FShown) texts.push_back(s.Text);
    return texts;
  }
  void Clear() { FShown.clear(); }
  // The answers of the next dialogs, in order; then the constructor's answer again.
  void AnswerNext(std::vector<int> answers) { FQueued = std::move(answers); }

private:
  static RecordedDialogs*& Active() {
    static RecordedDialogs* active = nullptr;
    return active;
  }
  static int Record(HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
    RecordedDialogs* self = Active();
    self->FShown.push_back({text, caption, flags});
    if (!self->FQueued.empty()) {
      const int answer = self->FQueued.front();
      self->FQueued.erase(self->FQueued.begin());
      return answer;
    }
    return self->FAnswer;
  }

  tvk::TDialogHandler FPrevious;
  int FAnswer = IDOK;
  std::vector<int> FQueued;
  std::vector<Shown> FShown;
};

}  // namespace testsupport
