#include "SimFlashCallback.h"

namespace hostsim {

SimFlashCallback::SimFlashCallback() {
  Serve(kSetProgress, "i", [this](std::vector<VARIANT*>& args, VARIANT*) {
    FProgress.push_back(args[0]->lVal);
    if (FOnProgress) FOnProgress(args[0]->lVal);
    return S_OK;
  });
  Serve(kIsAbortRequested, "", [this](std::vector<VARIANT*>&, VARIANT* result) {
    ++FQuestions;
    SetResultBool(result, FAbortFrom != 0 && FQuestions >= FAbortFrom);
    return S_OK;
  });
}

}  // namespace hostsim
