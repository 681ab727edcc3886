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
      FGUIManager(new FakeHostObject) {
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

void SimClient::Install() { SetHostClient(FClient); }

void SimClient::Uninstall() { SetHostClient(nullptr); }

}  // namespace hostsim
