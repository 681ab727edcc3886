#pragma once
// The flash memory utility dialog over writers that record what they are
// asked: a writer list and writers of the host's kind (dispatch objects), a
// writer that calls the dialog back while it works, and answered message boxes.
#include "Controls.h"
#include "SimDeviceLink.h"
#include "Tovik.Form.FlashMemoryUtility.h"
#include "XPExtEdits.h"
#include "hostsvc/HostFixture.h"
#include "support/RecordedDialogs.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace flashdialog_test {

inline long ArgLong(VARIANT* v) {
  VARIANT value;
  VariantInit(&value);
  VariantChangeType(&value, (v->vt & VT_BYREF) && v->vt == (VT_BYREF | VT_VARIANT) ? v->pvarVal : v, 0, VT_I4);
  if (v->vt == (VT_BYREF | VT_I4)) return *v->plVal;
  return value.lVal;
}

inline void SetRef(VARIANT* v, long value) {
  if (v->vt == (VT_BYREF | VT_I4))
    *v->plVal = value;
  else if (v->vt == (VT_BYREF | VT_VARIANT)) {
    VariantClear(v->pvarVal);
    v->pvarVal->vt = VT_I4;
    v->pvarVal->lVal = value;
  }
}

struct Space {
  long Index;
  unsigned long Start, End;
  long Width;
};

// A writer of the host's kind: flash spaces of 1 KB sectors, and a log of
// its jobs' calls as text ("install", "erase 0 5 5" ...).
class Writer : public hostsim::FakeHostObject {
public:
  explicit Writer(std::wstring title, std::vector<Space> spaces = {{0, 0x08000000, 0x08020000, 16}})
      : Spaces(std::move(spaces)) {
    ReturnString(508695, title);
    On(508717, [this](Args&, VARIANT* r) { return Job(L"install", r); });
    On(508718, [this](Args&, VARIANT* r) { return Job(L"uninstall", r); });
    On(508725, [this](Args&, VARIANT*) {
      Spaces.clear();
      return S_OK;
    });
    On(508726, [this](Args&, VARIANT* r) {
      hostsim::SetResultInt(r, long(Spaces.size()));
      return S_OK;
    });
    On(508727, [this](Args& a, VARIANT* r) {
      Spaces.push_back({ArgLong(a[0]), (unsigned long)ArgLong(a[1]), (unsigned long)ArgLong(a[2]), ArgLong(a[3])});
      hostsim::SetResultInt(r, 0);
      return S_OK;
    });
    On(508746, [this](Args& a, VARIANT*) {
      const long i = ArgLong(a[0]);
      if (i < 0 || std::size_t(i) >= Spaces.size()) return S_OK;
      const Space& s = Spaces[std::size_t(i)];
      SetRef(a[1], s.Index);
      SetRef(a[2], long(s.Start));
      SetRef(a[3], long(s.End));
      SetRef(a[4], s.Width);
      return S_OK;
    });
    On(508731, [this](Args& a, VARIANT* r) {
      const unsigned long address = (unsigned long)ArgLong(a[1]);
      bool inside = false;
      for (const Space& s : Spaces) inside = inside || (s.Start <= address && address <= s.End);
      hostsim::SetResultBool(r, inside);
      return S_OK;
    });
    On(508730, [this](Args& a, VARIANT* r) {
      const long space = ArgLong(a[0]);
      const unsigned long start = Spaces.empty() ? 0 : Spaces[0].Start;
      hostsim::SetResultInt(r, long(((unsigned long)ArgLong(a[1]) - start) / 1024));
      (void)space;
      return S_OK;
    });
    On(508729, [this](Args& a, VARIANT* r) {
      const unsigned long start = Spaces.empty() ? 0 : Spaces[0].Start;
      hostsim::SetResultInt(r, long(start + (unsigned long)ArgLong(a[1]) * 1024));
      return S_OK;
    });
    On(508733, [](Args& a, VARIANT* r) {
      hostsim::SetResultBool(r, ArgLong(a[0]) != 32);
      return S_OK;
    });
    ReturnInt(508734, 16);
    On(508735, [this](Args& a, VARIANT* r) {
      hostsim::SetResultBool(r, ArgLong(a[0]) == 58 && EraseDeviceInOne);
      return S_OK;
    });
    On(508732, [this](Args& a, VARIANT* r) {
      Callback = a[0]->vt == VT_DISPATCH ? a[0]->pdispVal : nullptr;  // not counted, as the dialog serves it
      hostsim::SetResultInt(r, 0);
      return S_OK;
    });
    On(508723, [this](Args& a, VARIANT* r) {
      return Job(L"erase " + std::to_wstring(ArgLong(a[0])) + L" " + std::to_wstring(ArgLong(a[1])) + L" " +
                     std::to_wstring(ArgLong(a[2])),
                 r);
    });
    On(508721, [this](Args& a, VARIANT* r) { return Job(L"erase device " + std::to_wstring(ArgLong(a[0])), r); });
    On(508720, [this](Args& a, VARIANT* r) {
      const long sector = ArgLong(a[1]);
      Job(L"blank " + std::to_wstring(sector), r);
      hostsim::SetResultInt(r, std::find(NonBlank.begin(), NonBlank.end(), sector) != NonBlank.end() ? 1 : 0);
      return S_OK;
    });
    On(508719, [this](Args& a, VARIANT* r) {
      ProgramArgs.clear();
      for (std::size_t k : {2u, 3u, 4u, 5u}) ProgramArgs += a[k]->boolVal ? L'1' : L'0';
      ImageLength = ImageLengthOf(a[1]);
      Job(L"program " + std::to_wstring(ArgLong(a[0])) + L" " + ProgramArgs, r);
      hostsim::SetResultInt(r, ProgramStatus);
      return S_OK;
    });
    On(508724, [this](Args& a, VARIANT* r) {
      ImageLength = ImageLengthOf(a[1]);
      Job(L"compare " + std::to_wstring(ArgLong(a[0])) + L" " + std::to_wstring((unsigned long)ArgLong(a[2])) + L" " +
              std::to_wstring(ArgLong(a[3])),
          r);
      hostsim::SetResultInt(r, Differences);
      return S_OK;
    });
  }

  // The dialog's callback: progress, then whether to stop.
  void Progress(long position) {
    VARIANT arg;
    arg.vt = VT_I4;
    arg.lVal = position;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    LastCallbackResult = Callback->Invoke(508715, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  bool AbortRequested() {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    LastCallbackResult = Callback->Invoke(508716, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr);
    return result.vt == VT_BOOL && result.boolVal != VARIANT_FALSE;
  }

  std::vector<Space> Spaces;
  IDispatch* Callback = nullptr;
  std::vector<std::wstring> Log;
  std::vector<long> NonBlank;
  std::wstring ProgramArgs;
  long ProgramStatus = 0, Differences = 0, ImageLength = -1;
  bool EraseDeviceInOne = false;
  HRESULT FailEraseWith = S_OK;
  HRESULT LastCallbackResult = S_OK;
  // Runs inside every job call after install (the writer at work).
  std::function<void(Writer&)> DuringJob;

private:
  using Args = std::vector<VARIANT*>;

  HRESULT Job(const std::wstring& what, VARIANT* r) {
    Log.push_back(what);
    hostsim::SetResultInt(r, 0);
    if (what != L"install" && what != L"uninstall") {
      if (DuringJob) DuringJob(*this);
      if (what.rfind(L"erase", 0) == 0 && FailEraseWith != S_OK) return FailEraseWith;
    }
    return S_OK;
  }
  static long ImageLengthOf(VARIANT* image) {
    if (image->vt != VT_DISPATCH || !image->pdispVal) return -1;
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    image->pdispVal->Invoke(508711, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &result, nullptr,
                            nullptr);
    return result.lVal;
  }
};

// The driver's writer list over Writers; the selected writer is kept.
class WriterList : public hostsim::FakeHostObject {
public:
  explicit WriterList(std::vector<Writer*> writers) : Writers(std::move(writers)), Selected(Writers.front()) {
    On(508745, [this](std::vector<VARIANT*>&, VARIANT* r) {
      hostsim::SetResultInt(r, long(Writers.size()));
      return S_OK;
    });
    On(508742, [this](std::vector<VARIANT*>& a, VARIANT* r) {
      hostsim::SetResultObject(r, Writers.at(std::size_t(ArgLong(a[0]))));
      return S_OK;
    });
    On(508743, [this](std::vector<VARIANT*>& a, VARIANT*) {
      for (Writer* w : Writers)
        if (static_cast<IDispatch*>(w) == a[0]->pdispVal) Selected = w;
      ++Selections;
      return S_OK;
    });
    On(508744, [this](std::vector<VARIANT*>&, VARIANT* r) {
      hostsim::SetResultObject(r, Selected);
      return S_OK;
    });
  }
  std::vector<Writer*> Writers;  // not owned
  Writer* Selected;
  int Selections = 0;
};

class FlashDialog : public hostsvc_test::HostFixture {
protected:
  void SetUp() override {
    HostFixture::SetUp();
    SavedPrefix = tvk::TXPHistoryEdit::RootPrefix();
    tvk::TXPHistoryEdit::RootPrefix() = L"Software\\TovikTests\\FlashDialog\\";
  }
  void TearDown() override {
    Form.reset();
    tvk::SetKeyStateReader(nullptr);
    tvk::TXPHistoryEdit::RootPrefix() = SavedPrefix;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TovikTests\\FlashDialog");
    HostFixture::TearDown();
  }

  tvk::TFlashMemoryUtilityForm& Open(std::vector<Writer*> writers = {}) {
    if (writers.empty()) writers = {&Main};
    List = std::make_unique<WriterList>(writers);
    Form = tvk::TFlashMemoryUtilityForm::Create(tvk::IFlashWriters(List.get()), tvk::IDeviceLink(Link.get()));
    return *Form;
  }
  // A HEX file of four bytes in the temporary folder.
  std::wstring HexFile(const std::string& text = ":0400000001020304F2\r\n:00000001FF\r\n") {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"tvk_flashdialog.hex";
    testsupport::WriteBytes(file, text);
    return file;
  }

  Writer Main{L"STM32F10x internal flash"};
  std::unique_ptr<hostsim::SimDeviceLink> Link = std::make_unique<hostsim::SimDeviceLink>(L"STM32F103RB");
  std::unique_ptr<WriterList> List;
  std::unique_ptr<tvk::TFlashMemoryUtilityForm> Form;
  testsupport::RecordedDialogs Boxes{IDOK};
  tvk::WideString SavedPrefix;
};

}  // namespace flashdialog_test
