#pragma once
// The host's design database as the workspace hands it out:
//   workspace 501402 GetProject / 501404 GetProjectCount / 501412
//   GetDocumentByPath / 501413 GetProjectByPath (paths without regard to case);
//   projects with documents, a top-level document, Compile, SetTarget and
//   component mappings; documents with ports and components; ports with
//   parameters and bus details; nets with pins, objects, member nets and a bus
//   net; components with pins. The client answers 509 GetDocumentKind for
//   every path added here and has a schematic server.
//
//   hostsim::SimDesign design(client, systemFolder);
//   auto& fpga = design.AddProject(L"C:\\Fpga\\Top.PrjFpg", L"FPGAPROJECT");
#include "FakeHostObject.h"
#include "SimClient.h"
#include "SimHost.h"

#include <string>
#include <vector>

namespace hostsim {

namespace disp {
constexpr DISPID Project_GetDocument = 500039;
constexpr DISPID Project_GetDocumentCount = 500047;
constexpr DISPID Project_SetTarget = 500055;
constexpr DISPID Project_GetFullPath = 500062;
constexpr DISPID Project_GetFileName = 500063;
constexpr DISPID Project_GetComponentMappings = 500067;
constexpr DISPID Project_GetTopLevelDocument = 500069;
constexpr DISPID Project_Compile = 500088;
constexpr DISPID Document_GetFullPath = 500331;
constexpr DISPID Document_GetFileName = 500332;
constexpr DISPID Document_GetKind = 500335;
constexpr DISPID Document_GetProject = 500338;
constexpr DISPID Document_GetPort = 500352;
constexpr DISPID Document_GetComponent = 500354;
constexpr DISPID Document_GetPortCount = 500373;
constexpr DISPID Document_GetComponentCount = 500375;
constexpr DISPID Component_GetPin = 500145;
constexpr DISPID Component_GetPinCount = 500148;
constexpr DISPID Component_GetSubProjectPath = 500162;
constexpr DISPID Component_GetDesignator = 500164;
constexpr DISPID Component_GetLibraryReference = 500178;
constexpr DISPID Net_GetDocument = 500022;
constexpr DISPID Net_GetObject = 500428;
constexpr DISPID Net_GetPin = 500435;
constexpr DISPID Net_GetMemberNet = 500438;
constexpr DISPID Net_GetObjectCount = 500439;
constexpr DISPID Net_GetPCBPinCount = 500442;
constexpr DISPID Net_GetPinCount = 500446;
constexpr DISPID Net_GetMemberNetCount = 500449;
constexpr DISPID Net_GetBusIndex = 500466;
constexpr DISPID Net_GetBusNet = 500477;
constexpr DISPID NetItem_GetParameter = 500007;
constexpr DISPID NetItem_GetParameterCount = 500008;
constexpr DISPID NetItem_GetIsPowerPin = 500009;
constexpr DISPID NetItem_GetDocument = 500022;
constexpr DISPID NetItem_GetNet = 500202;
constexpr DISPID NetItem_GetHigherLevelNet = 500203;
constexpr DISPID NetItem_GetPinName = 500206;
constexpr DISPID NetItem_GetNetName = 500207;
constexpr DISPID NetItem_GetPortDirection = 500211;
constexpr DISPID NetItem_GetBusIndex = 500215;
constexpr DISPID NetItem_GetBusOrder = 500217;
constexpr DISPID NetItem_GetBusWidth = 500219;
constexpr DISPID NetItem_GetPortName = 500220;
constexpr DISPID NetItem_GetPinNumber = 500230;
constexpr DISPID Parameter_GetName = 500319;
constexpr DISPID Parameter_GetValue = 500322;
}  // namespace disp

// One object of the database. It refers to the others uncounted: the
// database owns them all.
class SimDesignItem : public FakeHostObject {
public:
  // Appends Child to the list that CountId and ItemId (an index) answer.
  void Append(DISPID countId, DISPID itemId, SimDesignItem* child);
  // Id answers Object (null: none).
  void Refer(DISPID id, SimDesignItem* object);
  const std::vector<SimDesignItem*>& List(DISPID itemId) const;
  std::wstring Path;  // projects and documents; a net's name
  SimDesignItem* Document = nullptr;  // of nets, components and pins

private:
  std::vector<std::pair<DISPID, std::vector<SimDesignItem*>>> FLists;
};

class SimDesign {
public:
  // Hands the workspace to the stand-in workspace module of SystemFolder and
  // serves the client's document kinds; the destructor takes both back.
  SimDesign(SimClient& client, const std::wstring& systemFolder);
  ~SimDesign();
  SimDesign(const SimDesign&) = delete;
  SimDesign& operator=(const SimDesign&) = delete;
  bool Installed() const { return FInstalled; }

  FakeHostObject& Workspace() { return *FWorkspace; }
  SimDesignItem& AddProject(const std::wstring& path, const std::wstring& kind);
  SimDesignItem& AddDocument(SimDesignItem& project, const std::wstring& path, const std::wstring& kind,
                             bool topLevel = false);
  // Compile makes the document the project's top-level one (it has none before).
  void SetTopLevelAfterCompile(SimDesignItem& project, SimDesignItem& document);
  SimDesignItem& AddNet(SimDesignItem& document, const std::wstring& name);
  // A bus bit: Member answers Bus as its bus net and Index as its bus index.
  void AddMemberNet(SimDesignItem& bus, SimDesignItem& member, long index);
  void SetPCBPinCount(SimDesignItem& net, long count) { net.ReturnInt(disp::Net_GetPCBPinCount, count); }
  // A port of a schematic on Net (its higher-level net); a bus port has a width above 1.
  SimDesignItem& AddPort(SimDesignItem& document, const std::wstring& name, SimDesignItem* net, long busWidth = 1,
                         long busIndex = 0, long busOrder = 0, const std::wstring& direction = L"Output");
  void AddParameter(SimDesignItem& item, const std::wstring& name, const std::wstring& value);
  SimDesignItem& AddComponent(SimDesignItem& document, const std::wstring& designator,
                              const std::wstring& libraryReference, const std::wstring& subProjectPath = {});
  // A pin of Component on Net (also one of the net's pins and objects; null:
  // unconnected), on the component's document, else the net's.
  SimDesignItem& AddPin(SimDesignItem* component, const std::wstring& number, SimDesignItem* net,
                        const std::wstring& name = {}, bool powerPin = false);

private:
  SimDesignItem& Make();
  void SetKind(const std::wstring& path, const std::wstring& kind);
  SimDesignItem* FindPath(DISPID listId, const std::wstring& path) const;

  SimClient& FClient;
  std::wstring FSystemFolder;
  bool FInstalled = false;
  SimRef<SimDesignItem> FWorkspace;  // its lists are the projects
  SimRef<FakeHostObject> FSchematicServer;
  std::vector<SimRef<SimDesignItem>> FItems;
  std::vector<std::pair<std::wstring, std::wstring>> FKinds;  // path, kind
  std::vector<SimDesignItem*> FDocuments;
};

}  // namespace hostsim
