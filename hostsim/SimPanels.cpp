#include "SimPanels.h"

#include "ModuleCalls.h"

#include <cwctype>

namespace hostsim {

namespace {

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(std::towupper(c));
  return text;
}

IUnknown* ObjectIdentity(IUnknown* object) {
  if (!object) return nullptr;
  IUnknown* unknown = nullptr;
  if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown))) || !unknown) return object;
  unknown->Release();
  return unknown;
}

}  // namespace

SimPanelHost::SimPanelHost(SimClient& client)
    : FClient(client), FOptions(new FakeHostObject), FReader(new FakeHostObject), FWriter(new FakeHostObject) {
  using Args = std::vector<VARIANT*>;
  FakeHostObject& host = FClient.Client();
  host.ReturnObject(disp::Client_GetOptionsManager, FOptions);
  // A reader and a writer per call, as the host makes them; both reach the one store.
  FOptions->Serve(disp::OptionsManager_GetOptionsReader, "ss", [this](Args&, VARIANT* r) {
    SetResultObject(r, FReader);
    return S_OK;
  });
  FOptions->Serve(disp::OptionsManager_GetOptionsWriter, "s", [this](Args&, VARIANT* r) {
    SetResultObject(r, FWriter);
    return S_OK;
  });
  // The server is the one the reader or writer was asked for: the last one logged.
  const auto serverOf = [](FakeHostObject& manager, DISPID id) {
    for (auto it = manager.Calls().rbegin(); it != manager.Calls().rend(); ++it)
      if (it->Id == id) return it->Str(0);
    return std::wstring();
  };
  FReader->Serve(disp::OptionsReader_ReadBoolean, "ssb", [this, serverOf](Args& a, VARIANT* r) {
    const std::wstring server = serverOf(*FOptions, disp::OptionsManager_GetOptionsReader);
    auto it = FStore.find(Key(server, ArgString(a[0]), ArgString(a[1])));
    SetResultBool(r, it != FStore.end() ? it->second : a[2]->boolVal != VARIANT_FALSE);
    return S_OK;
  });
  FWriter->Serve(disp::OptionsWriter_WriteBoolean, "ssb", [this, serverOf](Args& a, VARIANT*) {
    const std::wstring server = serverOf(*FOptions, disp::OptionsManager_GetOptionsWriter);
    FStore[Key(server, ArgString(a[0]), ArgString(a[1]))] = a[2]->boolVal != VARIANT_FALSE;
    return S_OK;
  });

  host.Serve(disp::Client_AddServerView, "o", [this](Args& a, VARIANT*) {
    IDispatch* view = a[0]->pdispVal;
    if (!view) return E_INVALIDARG;
    const std::optional<std::wstring> name = CallModule(view, disp::ServerView_GetViewName).Text();
    if (!name) return E_FAIL;
    view->AddRef();
    FViews.push_back(Docked{*name, view, {}, false});
    return S_OK;
  });
  host.Serve(disp::Client_GetServerViewByName, "s", [this](Args& a, VARIANT* r) {
    const Docked* view = FindView(ArgString(a[0]));
    SetResultObject(r, view ? view->Dispatch : nullptr);
    return S_OK;
  });
  host.Serve(disp::Client_RemoveServerView, "o", [this](Args& a, VARIANT*) {
    IUnknown* wanted = ObjectIdentity(a[0]->pdispVal);
    for (std::size_t i = 0; i < FViews.size(); ++i)
      if (ObjectIdentity(FViews[i].Dispatch) == wanted) {
        Remove(i);
        break;
      }
    return S_OK;
  });

  FakeHostObject& gui = FClient.GUIManager();
  gui.Serve(disp::GUIManager_SetPanelSize, "sii", [this](Args& a, VARIANT*) {
    FSizes[Upper(ArgString(a[0]))] = SIZE{a[1]->lVal, a[2]->lVal};
    return S_OK;
  });
  gui.Serve(disp::GUIManager_SetPanelVisible, "sb", [this](Args& a, VARIANT*) {
    if (Docked* view = FindView(ArgString(a[0]))) SetVisible(*view, a[1]->boolVal != VARIANT_FALSE);
    return S_OK;
  });
}

SimPanelHost::~SimPanelHost() {
  while (!FViews.empty()) Remove(FViews.size() - 1);
  for (FakeHostObject* o : {FWriter, FReader, FOptions}) o->Release();
}

std::wstring SimPanelHost::Key(const std::wstring& server, const std::wstring& section, const std::wstring& name) {
  return Upper(server) + L"\n" + Upper(section) + L"\n" + Upper(name);
}

std::optional<bool> SimPanelHost::Option(const std::wstring& server, const std::wstring& section,
                                         const std::wstring& name) const {
  auto it = FStore.find(Key(server, section, name));
  if (it == FStore.end()) return std::nullopt;
  return it->second;
}

void SimPanelHost::SetOption(const std::wstring& server, const std::wstring& section, const std::wstring& name,
                             bool value) {
  FStore[Key(server, section, name)] = value;
}

SimPanelHost::Docked* SimPanelHost::FindView(const std::wstring& name) {
  for (Docked& view : FViews)
    if (Upper(view.Name) == Upper(name)) return &view;
  return nullptr;
}

const SimPanelHost::Docked* SimPanelHost::FindView(const std::wstring& name) const {
  return const_cast<SimPanelHost*>(this)->FindView(name);
}

IDispatch* SimPanelHost::View(const std::wstring& name) const {
  const Docked* view = FindView(name);
  return view ? view->Dispatch : nullptr;
}

SIZE SimPanelHost::PanelSize(const std::wstring& name) const {
  auto it = FSizes.find(Upper(name));
  return it == FSizes.end() ? SIZE{0, 0} : it->second;
}

HWND SimPanelHost::PanelWindow(const std::wstring& name) const {
  const Docked* view = FindView(name);
  return view && view->Holder ? view->Holder->Window() : nullptr;
}

bool SimPanelHost::PanelVisible(const std::wstring& name) const {
  const Docked* view = FindView(name);
  return view && view->Visible;
}

void SimPanelHost::SetVisible(Docked& view, bool visible) {
  if (visible && !view.Holder) {
    SIZE size = PanelSize(view.Name);
    if (size.cx <= 0 || size.cy <= 0) size = SIZE{400, 300};
    view.Holder = SimRack::Make(int(size.cx), int(size.cy));
    CallModule(view.Dispatch, 49, {ArgObject(view.Holder.Get())});  // SetParentWindow
    CallModule(view.Dispatch, 50);                                  // AttachToParent
    CallModule(view.Dispatch, 56, {ArgInt(0), ArgInt(0), ArgInt(size.cx), ArgInt(size.cy)});
  }
  if (!view.Holder) return;
  CallModule(view.Dispatch, visible ? 58 : 55);  // Show / Hide
  view.Visible = visible;
}

void SimPanelHost::Remove(std::size_t index) {
  Docked view = std::move(FViews[index]);
  FViews.erase(FViews.begin() + std::ptrdiff_t(index));
  if (view.Holder) {
    CallModule(view.Dispatch, 55);  // Hide
    CallModule(view.Dispatch, 51);  // DetachFromParent
  }
  view.Dispatch->Release();
  // The form goes from the message loop; its window before its holder's.
  PumpMessages();
}

}  // namespace hostsim
