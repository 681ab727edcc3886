#include "SimulatedHost.h"

#include "HostExports.h"

namespace hostsim {

namespace {

std::wstring ArgText(const VARIANT* v) {
  return v && v->vt == VT_BSTR && v->bstrVal ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : std::wstring();
}

long ArgInt(const VARIANT* v) {
  VARIANT i;
  VariantInit(&i);
  if (!v || FAILED(VariantChangeType(&i, const_cast<VARIANT*>(v), 0, VT_I4))) return 0;
  return i.lVal;
}

HRESULT AnswerObject(VARIANT* r, IDispatch* object) {
  VariantClear(r);
  r->vt = VT_DISPATCH;
  r->pdispVal = object;
  if (object) object->AddRef();
  return S_OK;
}

template <class T>
T Find(const std::vector<std::pair<std::wstring, T>>& items, const std::wstring& name) {
  for (const auto& [key, value] : items)
    if (_wcsicmp(key.c_str(), name.c_str()) == 0) return value;
  return nullptr;
}

}  // namespace

SimulatedHost::SimulatedHost()
    : FClient(new FakeHostObject),
      FClientAPI(new FakeHostObject),
      FPlugins(new FakeHostObject),
      FWorkSpace(new FakeHostObject),
      FMessages(new FakeHostObject),
      FGUIManager(new FakeHostObject) {
  FClient->ReturnInt(dispid::GetApplicationHandle, 0);
  FClient->ReturnInt(dispid::GetMainWindowHandle, 0);
  FClient->ReturnString(dispid::GetApplicationTitle, L"Tovik Host");
  FClient->ReturnObject(dispid::GetClientAPI, FClientAPI);
  FClient->ReturnObject(dispid::GetPluginsRegistry, FPlugins);
  FClient->ReturnObject(dispid::GetWorkSpace, FWorkSpace);
  FClient->ReturnObject(dispid::GetGUIManager, FGUIManager);
  FClient->ReturnObject(dispid::GetCurrentView, nullptr);
  FClient->On(dispid::GetServerModuleByName, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    return AnswerObject(r, a.empty() ? nullptr : Find(FServerModules, ArgText(a[0])));
  });
  FClient->On(dispid::GetDocumentByPath, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    return AnswerObject(r, a.empty() ? nullptr : Find(FDocuments, ArgText(a[0])));
  });
  FClient->On(dispid::StartServer, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    bool started = FStartServer && !a.empty() && FStartServer(ArgText(a[0]));
    VariantClear(r);
    r->vt = VT_BOOL;
    r->boolVal = started ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
  FClient->On(dispid::RunProcess, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });

  SetFolders(L"", L"", L"");
  SetSilent(false);

  FPlugins->On(dispid::PluginsGetCount, [this](std::vector<VARIANT*>&, VARIANT* r) {
    VariantClear(r);
    r->vt = VT_I4;
    r->lVal = long(FPluginItems.size());
    return S_OK;
  });
  FPlugins->On(dispid::PluginsGetItem, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    long i = a.empty() ? -1 : ArgInt(a[0]);
    if (i < 0 || i >= long(FPluginItems.size())) return DISP_E_BADINDEX;
    return AnswerObject(r, FPluginItems[std::size_t(i)]);
  });

  FWorkSpace->ReturnObject(dispid::GetMessagesManager, FMessages);
  FMessages->On(dispid::AddMessage, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
  FGUIManager->ReturnBool(dispid::ProcessKeyStroke, false);
  FGUIManager->On(dispid::UpdateInterfaceState, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
  FGUIManager->On(dispid::SetStatusBarText, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
}

SimulatedHost::~SimulatedHost() {
  for (auto& [name, module] : FServerModules) module->Release();
  for (auto& [path, document] : FDocuments) document->Release();
  for (FakeHostObject* item : FPluginItems) item->Release();
  for (FakeHostObject* o : {FGUIManager, FMessages, FWorkSpace, FPlugins, FClientAPI, FClient}) o->Release();
}

FakeHostObject& SimulatedHost::AddPlugin(const std::wstring& folder, bool disabled) {
  auto* item = new FakeHostObject;
  item->ReturnString(dispid::PluginGetFolder, folder);
  item->ReturnInt(dispid::PluginGetIsDisabled, disabled ? 1 : 0);
  FPluginItems.push_back(item);
  return *item;
}

void SimulatedHost::AddServerModule(const std::wstring& name, IDispatch* module) {
  if (!module) return;
  module->AddRef();
  FServerModules.emplace_back(name, module);
}

FakeHostObject& SimulatedHost::AddDocument(const std::wstring& path) {
  auto* document = new FakeHostObject;
  document->On(dispid::BeginFileUpdate, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
  document->On(dispid::EndFileUpdate, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
  FDocuments.emplace_back(path, document);
  return *document;
}

void SimulatedHost::SetFolders(const std::wstring& program, const std::wstring& user, const std::wstring& data) {
  FClientAPI->ReturnString(dispid::GetProgramFolder, program);
  FClientAPI->ReturnString(dispid::GetUserFolder, user);
  FClientAPI->ReturnString(dispid::GetDataFolder, data);
}

void SimulatedHost::Install() { SetHostClient(FClient); }

void SimulatedHost::Uninstall() { SetHostClient(nullptr); }

}  // namespace hostsim
