#include "SimDesign.h"

#include "sdk/HostConstants.h"

#include <cwctype>

namespace hostsim {

namespace {

bool SamePath(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  return true;
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

using TSetWorkspace = void(__stdcall*)(IDispatch*);

TSetWorkspace WorkspaceSetter(const std::wstring& systemFolder) {
  // The module stays loaded: the module under test finds it by name.
  HMODULE module = LoadLibraryW((systemFolder + L"\\HostWorkspace.dll").c_str());
  return module ? reinterpret_cast<TSetWorkspace>(reinterpret_cast<void*>(GetProcAddress(module, "HostSim_SetWorkspace")))
                : nullptr;
}

}  // namespace

void SimDesignItem::Append(DISPID countId, DISPID itemId, SimDesignItem* child) {
  for (auto& [id, list] : FLists)
    if (id == itemId) {
      list.push_back(child);
      return;
    }
  FLists.emplace_back(itemId, std::vector<SimDesignItem*>{child});
  Serve(countId, "", [this, itemId](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultInt(result, long(List(itemId).size()));
    return S_OK;
  });
  Serve(itemId, "i", [this, itemId](std::vector<VARIANT*>& args, VARIANT* result) {
    const auto& list = List(itemId);
    const long index = args[0]->lVal;
    SetResultObject(result, index >= 0 && std::size_t(index) < list.size() ? list[std::size_t(index)] : nullptr);
    return S_OK;
  });
}

const std::vector<SimDesignItem*>& SimDesignItem::List(DISPID itemId) const {
  static const std::vector<SimDesignItem*> none;
  for (const auto& [id, list] : FLists)
    if (id == itemId) return list;
  return none;
}

void SimDesignItem::Refer(DISPID id, SimDesignItem* object) {
  Serve(id, "", [object](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultObject(result, object);
    return S_OK;
  });
}

SimDesign::SimDesign(SimClient& client, const std::wstring& systemFolder)
    : FClient(client), FSystemFolder(systemFolder), FWorkspace(SimRef<SimDesignItem>::Adopt(new SimDesignItem)),
      FSchematicServer(SimRef<FakeHostObject>::Adopt(new FakeHostObject)) {
  using Args = std::vector<VARIANT*>;
  FWorkspace->SetServices({L"Workspace"});
  // Counted here so that an empty workspace answers 0 projects.
  FWorkspace->ReturnInt(tvk::host::kDispWorkspace_GetProjectCount, 0);
  FWorkspace->Serve(tvk::host::kDispWorkspace_GetProjectByPath, "s", [this](Args& args, VARIANT* result) {
    SetResultObject(result, FindPath(tvk::host::kDispWorkspace_GetProject, ArgString(args[0])));
    return S_OK;
  });
  FWorkspace->Serve(tvk::host::kDispWorkspace_GetDocumentByPath, "s", [this](Args& args, VARIANT* result) {
    SimDesignItem* found = nullptr;
    for (SimDesignItem* document : FDocuments)
      if (SamePath(document->Path, ArgString(args[0]))) found = document;
    SetResultObject(result, found);
    return S_OK;
  });
  FClient.Client().Serve(tvk::host::kDispClient_GetDocumentKind, "s", [this](Args& args, VARIANT* result) {
    std::wstring kind;
    for (const auto& [path, known] : FKinds)
      if (SamePath(path, ArgString(args[0]))) kind = known;
    SetResultString(result, kind);
    return S_OK;
  });
  FClient.AddServerModule(std::wstring(tvk::host::kSchematicServer), FSchematicServer.Get());
  if (TSetWorkspace set = WorkspaceSetter(FSystemFolder)) {
    set(FWorkspace.Get());
    FInstalled = true;
  }
}

SimDesign::~SimDesign() {
  if (FInstalled)
    if (TSetWorkspace set = WorkspaceSetter(FSystemFolder)) set(nullptr);
}

SimDesignItem& SimDesign::Make() { return *FItems.emplace_back(SimRef<SimDesignItem>::Adopt(new SimDesignItem)); }

void SimDesign::SetKind(const std::wstring& path, const std::wstring& kind) { FKinds.emplace_back(path, kind); }

SimDesignItem* SimDesign::FindPath(DISPID listId, const std::wstring& path) const {
  for (SimDesignItem* item : FWorkspace->List(listId))
    if (SamePath(item->Path, path)) return item;
  return nullptr;
}

SimDesignItem& SimDesign::AddProject(const std::wstring& path, const std::wstring& kind) {
  SimDesignItem& project = Make();
  project.Path = path;
  project.ReturnString(disp::Project_GetFullPath, path);
  project.ReturnString(disp::Project_GetFileName, FileNameOf(path));
  project.ReturnInt(disp::Project_GetDocumentCount, 0);
  project.Refer(disp::Project_GetTopLevelDocument, nullptr);
  project.ReturnBool(disp::Project_Compile, true);
  project.Serve(disp::Project_SetTarget, "s", [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
  project.Serve(disp::Project_GetComponentMappings, "s", [](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultObject(result, nullptr);
    return S_OK;
  });
  FWorkspace->Append(tvk::host::kDispWorkspace_GetProjectCount, tvk::host::kDispWorkspace_GetProject, &project);
  SetKind(path, kind);
  return project;
}

SimDesignItem& SimDesign::AddDocument(SimDesignItem& project, const std::wstring& path, const std::wstring& kind,
                                      bool topLevel) {
  SimDesignItem& document = Make();
  document.Path = path;
  document.ReturnString(disp::Document_GetFullPath, path);
  document.ReturnString(disp::Document_GetFileName, FileNameOf(path));
  document.ReturnString(disp::Document_GetKind, kind);
  document.Refer(disp::Document_GetProject, &project);
  document.ReturnInt(disp::Document_GetPortCount, 0);
  document.ReturnInt(disp::Document_GetComponentCount, 0);
  project.Append(disp::Project_GetDocumentCount, disp::Project_GetDocument, &document);
  if (topLevel) project.Refer(disp::Project_GetTopLevelDocument, &document);
  FDocuments.push_back(&document);
  SetKind(path, kind);
  return document;
}

void SimDesign::SetTopLevelAfterCompile(SimDesignItem& project, SimDesignItem& document) {
  project.Serve(disp::Project_Compile, "", [&project, &document](std::vector<VARIANT*>&, VARIANT* result) {
    project.Refer(disp::Project_GetTopLevelDocument, &document);
    SetResultBool(result, true);
    return S_OK;
  });
}

SimDesignItem& SimDesign::AddNet(SimDesignItem& document, const std::wstring& name) {
  SimDesignItem& net = Make();
  net.Path = name;
  net.Document = &document;
  net.Refer(disp::Net_GetDocument, &document);
  net.Refer(disp::Net_GetBusNet, nullptr);
  net.ReturnInt(disp::Net_GetBusIndex, -1);
  for (DISPID count : {disp::Net_GetPinCount, disp::Net_GetObjectCount, disp::Net_GetMemberNetCount,
                       disp::Net_GetPCBPinCount})
    net.ReturnInt(count, 0);
  return net;
}

void SimDesign::AddMemberNet(SimDesignItem& bus, SimDesignItem& member, long index) {
  bus.Append(disp::Net_GetMemberNetCount, disp::Net_GetMemberNet, &member);
  member.Refer(disp::Net_GetBusNet, &bus);
  member.ReturnInt(disp::Net_GetBusIndex, index);
}

SimDesignItem& SimDesign::AddPort(SimDesignItem& document, const std::wstring& name, SimDesignItem* net,
                                  long busWidth, long busIndex, long busOrder, const std::wstring& direction) {
  SimDesignItem& port = Make();
  port.ReturnString(disp::NetItem_GetPortName, name);
  port.ReturnString(disp::NetItem_GetPinName, name);
  port.ReturnString(disp::NetItem_GetPortDirection, direction);
  port.ReturnInt(disp::NetItem_GetBusWidth, busWidth);
  port.ReturnInt(disp::NetItem_GetBusIndex, busIndex);
  port.ReturnInt(disp::NetItem_GetBusOrder, busOrder);
  port.ReturnInt(disp::NetItem_GetParameterCount, 0);
  port.ReturnBool(disp::NetItem_GetIsPowerPin, false);
  port.Refer(disp::NetItem_GetHigherLevelNet, net);
  port.Refer(disp::NetItem_GetNet, net);
  port.Refer(disp::NetItem_GetDocument, &document);
  if (net) net->Append(disp::Net_GetObjectCount, disp::Net_GetObject, &port);
  document.Append(disp::Document_GetPortCount, disp::Document_GetPort, &port);
  return port;
}

void SimDesign::AddParameter(SimDesignItem& item, const std::wstring& name, const std::wstring& value) {
  SimDesignItem& parameter = Make();
  parameter.ReturnString(disp::Parameter_GetName, name);
  parameter.ReturnString(disp::Parameter_GetValue, value);
  item.Append(disp::NetItem_GetParameterCount, disp::NetItem_GetParameter, &parameter);
}

SimDesignItem& SimDesign::AddComponent(SimDesignItem& document, const std::wstring& designator,
                                       const std::wstring& libraryReference, const std::wstring& subProjectPath) {
  SimDesignItem& component = Make();
  component.ReturnString(disp::Component_GetDesignator, designator);
  component.ReturnString(disp::Component_GetLibraryReference, libraryReference);
  component.ReturnString(disp::Component_GetSubProjectPath, subProjectPath);
  component.ReturnInt(disp::Component_GetPinCount, 0);
  component.Document = &document;
  document.Append(disp::Document_GetComponentCount, disp::Document_GetComponent, &component);
  return component;
}

SimDesignItem& SimDesign::AddPin(SimDesignItem* component, const std::wstring& number, SimDesignItem* net,
                                 const std::wstring& name, bool powerPin) {
  SimDesignItem& pin = Make();
  pin.ReturnString(disp::NetItem_GetPinNumber, number);
  pin.ReturnString(disp::NetItem_GetPinName, name);
  pin.ReturnString(disp::NetItem_GetNetName, net ? net->Path : std::wstring());
  pin.ReturnBool(disp::NetItem_GetIsPowerPin, powerPin);
  pin.Refer(disp::NetItem_GetNet, net);
  pin.Refer(disp::NetItem_GetHigherLevelNet, nullptr);
  pin.Document = component ? component->Document : net ? net->Document : nullptr;
  pin.Refer(disp::NetItem_GetDocument, pin.Document);
  if (net) {
    net->Append(disp::Net_GetPinCount, disp::Net_GetPin, &pin);
    net->Append(disp::Net_GetObjectCount, disp::Net_GetObject, &pin);
  }
  if (component) component->Append(disp::Component_GetPinCount, disp::Component_GetPin, &pin);
  return pin;
}

}  // namespace hostsim
