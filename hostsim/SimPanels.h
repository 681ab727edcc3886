#pragma once
// The host's docked panels and stored options, on a simulated client:
//   533 GetOptionsManager -> 285 GetOptionsReader / 286 GetOptionsWriter,
//       273 ReadBoolean and 281 WriteBoolean over one store that outlives
//       every reader and writer (and every panel);
//   513 AddServerView / 514 GetServerViewByName / 532 RemoveServerView: a
//       registry of named views holding one counted reference each, released
//       (after the view is hidden and detached) when the view is removed;
//   GUI manager 171 SetPanelSize and 167 SetPanelVisible: a visible panel is
//       docked in a real window of its size (a SimRack, the view's holder).
//
//   hostsim::SimClient client;  hostsim::SimPanelHost panels(client);
#include "SimClient.h"
#include "SimRack.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

namespace disp {
constexpr DISPID Client_AddServerView = 513;
constexpr DISPID Client_GetServerViewByName = 514;
constexpr DISPID Client_RemoveServerView = 532;
constexpr DISPID Client_GetOptionsManager = 533;
constexpr DISPID OptionsManager_GetOptionsReader = 285;
constexpr DISPID OptionsManager_GetOptionsWriter = 286;
constexpr DISPID OptionsReader_ReadBoolean = 273;
constexpr DISPID OptionsWriter_WriteBoolean = 281;
constexpr DISPID GUIManager_SetPanelVisible = 167;
constexpr DISPID GUIManager_SetPanelSize = 171;
constexpr DISPID ServerView_GetViewName = 61;
}  // namespace disp

class SimPanelHost {
public:
  explicit SimPanelHost(SimClient& client);
  // Removes what is still registered, as the host does when it closes.
  ~SimPanelHost();
  SimPanelHost(const SimPanelHost&) = delete;
  SimPanelHost& operator=(const SimPanelHost&) = delete;

  FakeHostObject& OptionsManager() { return *FOptions; }
  // A stored Boolean (server, section and name compare without regard to case).
  std::optional<bool> Option(const std::wstring& server, const std::wstring& section, const std::wstring& name) const;
  void SetOption(const std::wstring& server, const std::wstring& section, const std::wstring& name, bool value);
  std::size_t OptionCount() const { return FStore.size(); }

  std::size_t ViewCount() const { return FViews.size(); }
  // The registered view of that name (borrowed), or null.
  IDispatch* View(const std::wstring& name) const;
  // The size the module gave for the panel (0 x 0 when none).
  SIZE PanelSize(const std::wstring& name) const;
  // The window the panel is docked in, or null.
  HWND PanelWindow(const std::wstring& name) const;
  bool PanelVisible(const std::wstring& name) const;

private:
  struct Docked {
    std::wstring Name;
    IDispatch* Dispatch;  // counted
    SimRef<SimRack> Holder;
    bool Visible = false;
  };
  Docked* FindView(const std::wstring& name);
  const Docked* FindView(const std::wstring& name) const;
  void SetVisible(Docked& view, bool visible);
  void Remove(std::size_t index);
  static std::wstring Key(const std::wstring& server, const std::wstring& section, const std::wstring& name);

  SimClient& FClient;
  FakeHostObject* FOptions;
  FakeHostObject* FReader;
  FakeHostObject* FWriter;
  std::map<std::wstring, bool> FStore;
  std::vector<Docked> FViews;
  std::map<std::wstring, SIZE> FSizes;  // by upper-case name
};

}  // namespace hostsim
