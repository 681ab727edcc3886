#pragma once
// The simulated host's client: the root object the host executable hands out,
// with its client services, plug-ins registry, platform workspace and messages
// panel, GUI manager, server modules, open documents and process launcher.
// Every object is a FakeHostObject, so tests can add handlers and read logs.
#include "FakeHostObject.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace hostsim {

// The host's dispatch identifiers of the calls the simulated client answers.
namespace disp {
// Client
constexpr DISPID Client_GetApplicationHandle = 486;
constexpr DISPID Client_GetCurrentView = 490;
constexpr DISPID Client_GetDocumentByPath = 491;
constexpr DISPID Client_GetMainWindowHandle = 492;
constexpr DISPID Client_GetGUIManager = 494;
constexpr DISPID Client_GetServerModuleByName = 496;
constexpr DISPID Client_StartServer = 507;
constexpr DISPID Client_GetApplicationTitle = 548;
constexpr DISPID Client_GetWorkSpace = 565;
constexpr DISPID Client_RunProcess = 625;  // the client is also the process launcher
constexpr DISPID Client_GetClientAPI = 795;
constexpr DISPID Client_GetPluginsRegistry = 2027;
// Client services
constexpr DISPID ClientAPI_GetProgramFolder = 773;
constexpr DISPID ClientAPI_GetUserFolder = 774;
constexpr DISPID ClientAPI_GetDataFolder = 787;
constexpr DISPID ClientAPI_GetIsSilent = 793;
// Plug-ins registry and its items
constexpr DISPID PluginsRegistry_GetCount = 2017;
constexpr DISPID PluginsRegistry_GetItem = 2018;
constexpr DISPID PluginsItem_GetFolder = 2009;
constexpr DISPID PluginsItem_GetIsDisabled = 2010;
// Platform workspace and messages panel
constexpr DISPID WorkSpace_GetMessagesManager = 469;
constexpr DISPID MessagesManager_AddMessage = 439;
// GUI manager
constexpr DISPID GUIManager_UpdateInterfaceState = 156;
constexpr DISPID GUIManager_ProcessKeyStroke = 158;
constexpr DISPID GUIManager_SetStatusBarText = 164;
// Server document
constexpr DISPID ServerDocument_BeginFileUpdate = 100;
constexpr DISPID ServerDocument_EndFileUpdate = 101;
}  // namespace disp

class SimClient {
public:
  SimClient();
  ~SimClient();
  SimClient(const SimClient&) = delete;
  SimClient& operator=(const SimClient&) = delete;

  FakeHostObject& Client() { return *FClient; }
  FakeHostObject& ClientAPI() { return *FClientAPI; }
  FakeHostObject& PluginsRegistry() { return *FPlugins; }
  FakeHostObject& WorkSpace() { return *FWorkSpace; }
  FakeHostObject& MessagesManager() { return *FMessages; }
  FakeHostObject& GUIManager() { return *FGUIManager; }

  // Registers a plug-in folder (registry order is call order); answers its item.
  FakeHostObject& AddPlugin(const std::wstring& folder, bool disabled = false);
  // A server module answered by name (names compare without regard to case).
  void AddServerModule(const std::wstring& name, IDispatch* module);
  // An open document answered by its path (without regard to case); answers it.
  FakeHostObject& AddDocument(const std::wstring& path);
  // What StartServer does (default: answers false).
  void OnStartServer(std::function<bool(const std::wstring& name)> start) { FStartServer = std::move(start); }
  void SetFolders(const std::wstring& program, const std::wstring& user, const std::wstring& data);
  void SetSilent(bool silent) { FClientAPI->ReturnBool(disp::ClientAPI_GetIsSilent, silent); }

  // Makes this client the one the host executable hands out; Uninstall
  // leaves the host without a client.
  void Install();
  static void Uninstall();

private:
  FakeHostObject* FClient;
  FakeHostObject* FClientAPI;
  FakeHostObject* FPlugins;
  FakeHostObject* FWorkSpace;
  FakeHostObject* FMessages;
  FakeHostObject* FGUIManager;
  std::vector<FakeHostObject*> FPluginItems;
  std::vector<std::pair<std::wstring, IDispatch*>> FServerModules;  // one reference each
  std::vector<std::pair<std::wstring, FakeHostObject*>> FDocuments;
  std::function<bool(const std::wstring&)> FStartServer;
};

}  // namespace hostsim
