#include "SimClient.h"

#include "HostExports.h"

namespace hostsim {

namespace {

long ArgInt(const VARIANT* v) {
  VARIANT i;
  VariantInit(&i);
  if (!v || FAILED(VariantChangeType(&i, const_cast<VARIANT*>(v), 0, VT_I4))) return 0;
  return i.lVal;
}

// The object's identity: its IUnknown (no reference kept).
IUnknown* Identity(IUnknown* object) {
  if (!object) return nullptr;
  IUnknown* unknown = nullptr;
  if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown))) || !unknown) return object;
  unknown->Release();
  return unknown;
}

// Invokes Id on Object with Args (host order), as a method call.
HRESULT CallHandler(IDispatch* object, DISPID id, VARIANT arg) {
  DISPPARAMS params{&arg, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  object->AddRef();  // the call keeps the handler alive, as a caller's variable would
  HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  object->Release();
  VariantClear(&result);
  return hr;
}

template <class T>
T Find(const std::vector<std::pair<std::wstring, T>>& items, const std::wstring& name) {
  for (const auto& [key, value] : items)
    if (_wcsicmp(key.c_str(), name.c_str()) == 0) return value;
  return nullptr;
}

}  // namespace

SimClient::SimClient()
    : FClient(new FakeHostObject),
      FClientAPI(new FakeHostObject),
      FPlugins(new FakeHostObject),
      FWorkSpace(new FakeHostObject),
      FMessages(new FakeHostObject),
      FGUIManager(new FakeHostObject),
      FTimerManager(new FakeHostObject) {
  FClient->ReturnInt(disp::Client_GetApplicationHandle, 0);
  FClient->ReturnInt(disp::Client_GetMainWindowHandle, 0);
  FClient->ReturnString(disp::Client_GetApplicationTitle, L"Tovik Host");
  FClient->ReturnObject(disp::Client_GetClientAPI, FClientAPI);
  FClient->ReturnObject(disp::Client_GetPluginsRegistry, FPlugins);
  FClient->ReturnObject(disp::Client_GetWorkSpace, FWorkSpace);
  FClient->ReturnObject(disp::Client_GetGUIManager, FGUIManager);
  FClient->ReturnObject(disp::Client_GetCurrentView, nullptr);
  FClient->On(disp::Client_GetServerModuleByName, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    SetResultObject(r, a.empty() ? nullptr : Find(FServerModules, ArgString(a[0])));
    return S_OK;
  });
  FClient->On(disp::Client_GetDocumentByPath, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    SetResultObject(r, a.empty() ? nullptr : Find(FDocuments, ArgString(a[0])));
    return S_OK;
  });
  FClient->On(disp::Client_StartServer, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    SetResultBool(r, FStartServer && !a.empty() && FStartServer(ArgString(a[0])));
    return S_OK;
  });
  FClient->Accept(disp::Client_RunProcess);
  FClient->Accept(disp::Client_ShowDocument);
  FClient->ReturnObject(disp::Client_GetTimerManager, FTimerManager);
  SetShuttingDown(false);
  FClient->On(disp::Client_GetWindowKindByName, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    SetResultObject(r, a.empty() ? nullptr : Find(FWindowKinds, ArgString(a[0])));
    return S_OK;
  });
  FClient->Serve(disp::Client_RegisterNotificationHandler, "o", [this](std::vector<VARIANT*>& a, VARIANT*) {
    IDispatch* handler = a[0]->pdispVal;
    if (!handler) return E_INVALIDARG;
    handler->AddRef();  // the host keeps a counted reference while registered
    FNotificationHandlers.push_back(handler);
    return S_OK;
  });
  FClient->Serve(disp::Client_UnregisterNotificationHandler, "o", [this](std::vector<VARIANT*>& a, VARIANT*) {
    IUnknown* wanted = Identity(a[0]->pdispVal);
    for (auto it = FNotificationHandlers.begin(); it != FNotificationHandlers.end(); ++it) {
      if (Identity(*it) != wanted) continue;
      IDispatch* handler = *it;
      FNotificationHandlers.erase(it);
      handler->Release();
      break;
    }
    return S_OK;
  });

  FTimerManager->Serve(disp::TimerManager_CreateTimer, "oib", [this](std::vector<VARIANT*>& a, VARIANT* r) {
    IDispatch* handler = a[0]->pdispVal;
    if (!handler) return E_INVALIDARG;
    handler->AddRef();
    FTimers.push_back(SimTimer{FNextTimerId++, handler, a[1]->lVal, a[2]->boolVal != VARIANT_FALSE});
    SetResultInt(r, FTimers.back().Id);
    return S_OK;
  });
  FTimerManager->Serve(disp::TimerManager_KillTimer, "i", [this](std::vector<VARIANT*>& a, VARIANT*) {
    for (auto it = FTimers.begin(); it != FTimers.end(); ++it) {
      if (it->Id != a[0]->lVal) continue;
      IDispatch* handler = it->Handler;
      FTimers.erase(it);
      handler->Release();
      break;
    }
    return S_OK;
  });
  FTimerManager->Serve(disp::TimerManager_SetTimerEnabled, "ib", [this](std::vector<VARIANT*>& a, VARIANT*) {
    for (SimTimer& t : FTimers)
      if (t.Id == a[0]->lVal) t.Enabled = a[1]->boolVal != VARIANT_FALSE;
    return S_OK;
  });

  // A path's file name without folder and extension.
  FClientAPI->Serve(disp::ClientAPI_ExtractFileBaseName, "s", [](std::vector<VARIANT*>& a, VARIANT* r) {
    std::wstring name = ArgString(a[0]);
    name = name.substr(name.find_last_of(L"\\/:") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.resize(dot);
    SetResultString(r, name);
    return S_OK;
  });

  // Help: the prefix goes back through the by-reference second argument.
  FClientAPI->On(disp::ClientAPI_GetHelpKeywordPrefix, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    if (a.size() != 2 || a[1]->vt != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
    SysFreeString(*a[1]->pbstrVal);
    *a[1]->pbstrVal = SysAllocString(FHelpPrefix.c_str());
    SetResultBool(r, true);
    return S_OK;
  });
  FClientAPI->On(disp::ClientAPI_FindHelpKeyword, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    if (a.size() != 2 || a[1]->vt != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
    auto it = FHelpTargets.find(ArgString(a[0]));
    if (it != FHelpTargets.end()) {
      SysFreeString(*a[1]->pbstrVal);
      *a[1]->pbstrVal = SysAllocString(it->second.c_str());
    }
    SetResultBool(r, it != FHelpTargets.end());
    return S_OK;
  });

  SetFolders(L"", L"", L"");
  SetSilent(false);

  FPlugins->On(disp::PluginsRegistry_GetCount, [this](std::vector<VARIANT*>&, VARIANT* r) {
    SetResultInt(r, long(FPluginItems.size()));
    return S_OK;
  });
  FPlugins->On(disp::PluginsRegistry_GetItem, [this](std::vector<VARIANT*>& a, VARIANT* r) {
    long i = a.empty() ? -1 : ArgInt(a[0]);
    if (i < 0 || i >= long(FPluginItems.size())) return DISP_E_BADINDEX;
    SetResultObject(r, FPluginItems[std::size_t(i)]);
    return S_OK;
  });

  FWorkSpace->ReturnObject(disp::WorkSpace_GetMessagesManager, FMessages);
  FMessages->Accept(disp::MessagesManager_AddMessage);
  FGUIManager->ReturnBool(disp::GUIManager_ProcessKeyStroke, false);
  FGUIManager->Accept(disp::GUIManager_UpdateInterfaceState);
  FGUIManager->Accept(disp::GUIManager_SetStatusBarText);
}

SimClient::~SimClient() {
  // What the host still holds goes as the host goes.
  for (SimTimer& t : FTimers) t.Handler->Release();
  for (IDispatch* h : FNotificationHandlers) h->Release();
  for (auto& [name, kind] : FWindowKinds) kind->Release();
  FTimerManager->Release();
  for (auto& [name, module] : FServerModules) module->Release();
  for (auto& [path, document] : FDocuments) document->Release();
  for (FakeHostObject* item : FPluginItems) item->Release();
  for (FakeHostObject* o : {FGUIManager, FMessages, FWorkSpace, FPlugins, FClientAPI, FClient}) o->Release();
}

FakeHostObject& SimClient::AddPlugin(const std::wstring& folder, bool disabled) {
  auto* item = new FakeHostObject;
  item->ReturnString(disp::PluginsItem_GetFolder, folder);
  item->ReturnInt(disp::PluginsItem_GetIsDisabled, disabled ? 1 : 0);
  FPluginItems.push_back(item);
  return *item;
}

void SimClient::AddServerModule(const std::wstring& name, IDispatch* module) {
  if (!module) return;
  module->AddRef();
  FServerModules.emplace_back(name, module);
}

FakeHostObject& SimClient::AddDocument(const std::wstring& path) {
  auto* document = new FakeHostObject;
  document->Accept(disp::ServerDocument_BeginFileUpdate);
  document->Accept(disp::ServerDocument_EndFileUpdate);
  FDocuments.emplace_back(path, document);
  return *document;
}

void SimClient::SetFolders(const std::wstring& program, const std::wstring& user, const std::wstring& data) {
  FClientAPI->ReturnString(disp::ClientAPI_GetProgramFolder, program);
  FClientAPI->ReturnString(disp::ClientAPI_GetUserFolder, user);
  FClientAPI->ReturnString(disp::ClientAPI_GetDataFolder, data);
}

HRESULT SimClient::FireTimer(long id) {
  for (const SimTimer& t : FTimers) {
    if (t.Id != id) continue;
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = id;
    return CallHandler(t.Handler, disp::TimerHandler_HandleTimer, arg);
  }
  return S_FALSE;
}

HRESULT SimClient::Notify(IDispatch* notification) {
  HRESULT first = S_OK;
  std::vector<IDispatch*> handlers = FNotificationHandlers;  // a handler may unregister itself
  for (IDispatch* h : handlers) h->AddRef();
  for (IDispatch* h : handlers) {
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_DISPATCH;
    arg.pdispVal = notification;
    HRESULT hr = CallHandler(h, disp::NotificationHandler_HandleNotification, arg);
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  }
  for (IDispatch* h : handlers) h->Release();
  return first;
}

FakeHostObject& SimClient::AddWindowKind(const std::wstring& name, const std::wstring& iconName) {
  auto* kind = new FakeHostObject;
  kind->ReturnString(disp::WindowKind_GetIconName, iconName);
  FWindowKinds.emplace_back(name, kind);
  return *kind;
}

void SimClient::Install() { SetHostClient(FClient); }

void SimClient::Uninstall() { SetHostClient(nullptr); }

}  // namespace hostsim
