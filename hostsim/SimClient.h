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
constexpr DISPID Client_ShowDocument = 515;
constexpr DISPID Client_GetApplicationTitle = 548;
constexpr DISPID Client_GetWorkSpace = 565;
constexpr DISPID Client_GetWindowKindByName = 499;
constexpr DISPID Client_GetIsShuttingDown = 504;
constexpr DISPID Client_RegisterNotificationHandler = 527;
constexpr DISPID Client_UnregisterNotificationHandler = 528;
constexpr DISPID Client_GetTimerManager = 531;
constexpr DISPID Client_RunProcess = 625;  // the client is also the process launcher
constexpr DISPID Client_GetClientAPI = 795;
constexpr DISPID Client_GetPluginsRegistry = 2027;
// Client services
constexpr DISPID ClientAPI_GetProgramFolder = 773;
constexpr DISPID ClientAPI_GetUserFolder = 774;
constexpr DISPID ClientAPI_GetDataFolder = 787;
constexpr DISPID ClientAPI_GetIsSilent = 793;
constexpr DISPID ClientAPI_ExtractFileBaseName = 844;
constexpr DISPID ClientAPI_FindHelpKeyword = 963;
constexpr DISPID ClientAPI_GetHelpKeywordPrefix = 964;
// Timer manager and the module's handlers
constexpr DISPID TimerManager_CreateTimer = 268;
constexpr DISPID TimerManager_KillTimer = 269;
constexpr DISPID TimerManager_SetTimerEnabled = 271;
constexpr DISPID TimerHandler_HandleTimer = 267;
constexpr DISPID NotificationHandler_HandleNotification = 266;
// Window kinds
constexpr DISPID WindowKind_GetIconName = 226;
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
  FakeHostObject& TimerManager() { return *FTimerManager; }

  // Timers the module created with the timer manager. The host holds one
  // counted reference to each handler until the timer is killed.
  struct SimTimer {
    long Id;
    IDispatch* Handler;  // counted
    long Interval;
    bool Enabled;
  };
  const std::vector<SimTimer>& Timers() const { return FTimers; }
  // Calls the handler of timer Id (HandleTimer, 267) as the host's timer
  // does, enabled or not; answers the call's result (S_FALSE for no such timer).
  HRESULT FireTimer(long id);

  // Notification handlers registered with the client (counted references).
  std::size_t NotificationHandlerCount() const { return FNotificationHandlers.size(); }
  // Hands Notification to every registered handler (266); answers the first failure.
  HRESULT Notify(IDispatch* notification);

  // A window kind answered by name (without regard to case), with its icon name.
  FakeHostObject& AddWindowKind(const std::wstring& name, const std::wstring& iconName);
  // Help: the prefix GetHelpKeywordPrefix (964) hands back for any text, and
  // the targets FindHelpKeyword (963) knows (true with the target, else false).
  void SetHelpPrefix(const std::wstring& prefix) { FHelpPrefix = prefix; }
  void AddHelpTarget(const std::wstring& keyword, const std::wstring& target) { FHelpTargets[keyword] = target; }
  void SetShuttingDown(bool shuttingDown) { FClient->ReturnBool(disp::Client_GetIsShuttingDown, shuttingDown); }

  // Registers a plug-in folder (registry order is call order); answers its item.
  FakeHostObject& AddPlugin(const std::wstring& folder, bool disabled = false);
  // A server module answered by name (names compare without regard to case).
  void AddServerModule(const std::wstring& name, IDispatch* module);
  // An open document answered by its path (without regard to case); answers it.
  // ShowDocument (515) is accepted for any document and logged on the client.
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
  FakeHostObject* FTimerManager;
  std::vector<SimTimer> FTimers;
  long FNextTimerId = 1;
  std::vector<IDispatch*> FNotificationHandlers;  // counted
  std::vector<std::pair<std::wstring, FakeHostObject*>> FWindowKinds;
  std::wstring FHelpPrefix = L"Help";
  std::map<std::wstring, std::wstring> FHelpTargets;
  std::vector<FakeHostObject*> FPluginItems;
  std::vector<std::pair<std::wstring, IDispatch*>> FServerModules;  // one reference each
  std::vector<std::pair<std::wstring, FakeHostObject*>> FDocuments;
  std::function<bool(const std::wstring&)> FStartServer;
};

}  // namespace hostsim
