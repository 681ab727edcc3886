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
namespace dispid {
// Client
constexpr DISPID GetApplicationHandle = 486;
constexpr DISPID GetCurrentView = 490;
constexpr DISPID GetDocumentByPath = 491;
constexpr DISPID GetMainWindowHandle = 492;
constexpr DISPID GetGUIManager = 494;
constexpr DISPID GetServerModuleByName = 496;
constexpr DISPID StartServer = 507;
constexpr DISPID GetApplicationTitle = 548;
constexpr DISPID GetWorkSpace = 565;
constexpr DISPID RunProcess = 625;  // the client is also the process launcher
constexpr DISPID GetClientAPI = 795;
constexpr DISPID GetPluginsRegistry = 2027;
// Client services
constexpr DISPID GetProgramFolder = 773;
constexpr DISPID GetUserFolder = 774;
constexpr DISPID GetDataFolder = 787;
constexpr DISPID GetIsSilent = 793;
// Plug-ins registry and its items
constexpr DISPID PluginsGetCount = 2017;
constexpr DISPID PluginsGetItem = 2018;
constexpr DISPID PluginGetFolder = 2009;
constexpr DISPID PluginGetIsDisabled = 2010;
// Platform workspace and messages panel
constexpr DISPID GetMessagesManager = 469;
constexpr DISPID AddMessage = 439;
// GUI manager
constexpr DISPID UpdateInterfaceState = 156;
constexpr DISPID ProcessKeyStroke = 158;
constexpr DISPID SetStatusBarText = 164;
// Server document
constexpr DISPID BeginFileUpdate = 100;
constexpr DISPID EndFileUpdate = 101;
}  // namespace dispid

class SimulatedHost {
public:
  SimulatedHost();
  ~SimulatedHost();
  SimulatedHost(const SimulatedHost&) = delete;
  SimulatedHost& operator=(const SimulatedHost&) = delete;

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
  void SetSilent(bool silent) { FClientAPI->ReturnBool(dispid::GetIsSilent, silent); }

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
