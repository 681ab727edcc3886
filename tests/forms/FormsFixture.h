#pragma once
// The simulated host for the form-framework tests, a plain window standing in
// for a host window, and a pump for deferred work.
#include "Application.h"
#include "Extension.Images.h"
#include "hostsvc/HostFixture.h"
#include "support/FakeHost.h"
#include "support/HostCall.h"
#include "ZUL.Classes.h"

#include <vector>

namespace forms_test {

// A host window that records the messages it is sent.
class HostWindow {
public:
  HostWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FormsTestHostWindow";
    RegisterClassW(&wc);  // once per process; later calls fail harmlessly
    Handle = CreateWindowExW(0, L"FormsTestHostWindow", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~HostWindow() { DestroyWindow(Handle); }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  long Wire() const { return long(tvk::WindowToWire(Handle)); }
  std::wstring Text() const {
    wchar_t text[128] = {};
    GetWindowTextW(Handle, text, 128);
    return text;
  }

  HWND Handle;
  std::vector<UINT> Erased;  // WM_ERASEBKGND received (their count)

private:
  static LRESULT CALLBACK Procedure(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (self && msg == WM_ERASEBKGND) self->Erased.push_back(msg);
    return DefWindowProcW(w, msg, wp, lp);
  }
};

// Processes messages until Done() or a few seconds pass.
template <class P>
bool Pump(P done) {
  DWORD start = GetTickCount();
  while (!done()) {
    tvk::Application().ProcessMessages();
    if (GetTickCount() - start > 3000) return done();
    Sleep(1);
  }
  return true;
}

class FormsFixture : public hostsvc_test::HostFixture {
protected:
  void TearDown() override {
    tvk::ImagesUnitShutdown();
    HostFixture::TearDown();
  }
};

// A served object as the host holds it: one counted reference.
template <class T>
tvk::ComRef<IDispatch> Serve(T* object) {
  return tvk::ComRef<IDispatch>(static_cast<IDispatch*>(object));
}

}  // namespace forms_test
