// The simulated design database answers as the host's workspace does: lists
// by index (out of range: none), paths without regard to case, bus bits, and
// the client's document kinds.
#include "SimDesign.h"
#include "SimProbe.h"
#include "sdk/HostConstants.h"

namespace simtest {

namespace {

std::wstring DesignSystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, folder, nullptr);
  return folder;
}

IDispatch* ObjectOf(const Result& r) { return r.V.vt == VT_DISPATCH ? r.V.pdispVal : nullptr; }

TEST(SimDesign, ProjectsDocumentsNetsAndKinds) {
  SimClient client;
  SimDesign design(client, DesignSystemFolder());
  ASSERT_TRUE(design.Installed());
  SimDesignItem& board = design.AddProject(L"C:\\B\\Board.PrjPcb", L"PCBPROJECT");
  SimDesignItem& pcb = design.AddDocument(board, L"C:\\B\\Board.PcbDoc", L"PCB");
  SimDesignItem& bus = design.AddNet(pcb, L"D[0..1]");
  SimDesignItem& bit = design.AddNet(pcb, L"D1");
  design.AddMemberNet(bus, bit, 1);
  SimDesignItem& u1 = design.AddComponent(pcb, L"U1", L"CHIP");
  SimDesignItem& pin = design.AddPin(&u1, L"7", &bit);

  IDispatch* workspace = &design.Workspace();
  Result r;
  EXPECT_EQ(S_OK, Call(workspace, tvk::host::kDispWorkspace_GetProjectCount, {}, &r));
  EXPECT_EQ(1, r.V.lVal);
  Result byPath;
  Call(workspace, tvk::host::kDispWorkspace_GetProjectByPath, {Arg(std::wstring(L"c:\\b\\BOARD.prjpcb"))}, &byPath);
  EXPECT_EQ(static_cast<IDispatch*>(&board), ObjectOf(byPath));
  Result outside;
  EXPECT_EQ(S_OK, Call(workspace, tvk::host::kDispWorkspace_GetProject, {Arg(1L)}, &outside));
  EXPECT_EQ(nullptr, ObjectOf(outside));
  Result document;
  Call(workspace, tvk::host::kDispWorkspace_GetDocumentByPath, {Arg(std::wstring(L"C:\\B\\board.pcbdoc"))}, &document);
  EXPECT_EQ(static_cast<IDispatch*>(&pcb), ObjectOf(document));

  Result busNet, index, pinDocument, netName;
  Call(&bit, disp::Net_GetBusNet, {}, &busNet);
  Call(&bit, disp::Net_GetBusIndex, {}, &index);
  Call(&pin, disp::NetItem_GetDocument, {}, &pinDocument);
  Call(&pin, disp::NetItem_GetNetName, {}, &netName);
  EXPECT_EQ(static_cast<IDispatch*>(&bus), ObjectOf(busNet));
  EXPECT_EQ(1, index.V.lVal);
  EXPECT_EQ(static_cast<IDispatch*>(&pcb), ObjectOf(pinDocument));
  EXPECT_EQ(std::wstring(L"D1"), std::wstring(netName.V.bstrVal));

  for (auto [path, kind] : {std::pair{L"c:\\b\\board.PCBDOC", L"PCB"}, {L"C:\\B\\Board.PrjPcb", L"PCBPROJECT"},
                            {L"C:\\Elsewhere.SchDoc", L""}}) {
    Result k;
    EXPECT_EQ(S_OK, Call(&client.Client(), tvk::host::kDispClient_GetDocumentKind, {Arg(std::wstring(path))}, &k));
    EXPECT_EQ(std::wstring(kind), std::wstring(k.V.bstrVal ? k.V.bstrVal : L"")) << path;
  }
}

}  // namespace

}  // namespace simtest
