// The symbol and footprint painters in a form of their own, over the
// simulated host's schematic server, painter windows and footprint editor.
#include "ViewerTest.h"

#include "Application.h"
#include "Forms.h"
#include "Panels.h"
#include "SimPainters.h"
#include "Tovik.Form.HardDeviceViewer_Painters.h"
#include "ZUL.HostNames.h"

namespace harddeviceviewer_test {
namespace {

using hostsim::SimComponentPainterView;
namespace hd = hostsim::disp;

constexpr wchar_t kLibrary[] = L"C:\\Libraries\\Xilinx\\Spartan3.slib";

class Painters : public Viewer {
protected:
  void SetUp() override {
    Viewer::SetUp();
    Sch = hostsim::SimSchServer::Make();
    Sch->AddComponent(L"XC3S200-4FT256C", kLibrary, 3);
    Sch->AddComponent(L"XC9572XL", kLibrary, 1);
    Host.AddServerModule(L"SCH", Sch.Get());
    Host.OnStartServer([this](const std::wstring& name) {
      Started.push_back(name);
      return true;
    });
    Footprint = hostsim::SimFootprintModelType::Make(L"PCB");
    hostsim::SetHostModelType(tvk::hostnames::kFootprintModelType, Footprint.Get());
    Listener = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
    Form.reset(tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew));
    Form->SetBounds(0, 0, 640, 480);
    SymbolSection = new tvk::TPanel(Form.get());
    SymbolSection->SetParent(Form.get());
    SymbolSection->SetBounds(0, 0, 320, 480);
    FootprintSection = new tvk::TPanel(Form.get());
    FootprintSection->SetParent(Form.get());
    FootprintSection->SetBounds(320, 0, 320, 480);
    Form->Show();
  }
  void TearDown() override {
    Form.reset();
    hostsim::SetHostModelType(tvk::hostnames::kFootprintModelType, nullptr);
    hostsim::SetHostModelTypeManagerAbsent(false);
    Viewer::TearDown();
  }

  std::unique_ptr<tvk::TSchComponentPainter> MakeSymbol() {
    return std::make_unique<tvk::TSchComponentPainter>(SymbolSection,
                                                       tvk::IComponentPinSelectionListener(Listener.Get()));
  }
  // Line Kind of every view the server made, in order.
  std::vector<std::wstring> ViewLines(const std::wstring& kind) const {
    std::vector<std::wstring> lines;
    for (const SimComponentPainterView* view : Sch->Views()) lines.push_back(view->Line(kind));
    return lines;
  }
  std::vector<std::wstring> Captions(const tvk::TSchComponentPainter& symbol) const {
    std::vector<std::wstring> captions;
    for (int i = 0; i < symbol.TabSheetsHolder()->PageCount(); ++i)
      captions.push_back(symbol.TabSheetsHolder()->Pages(i)->Caption());
    return captions;
  }

  hostsim::SimRef<hostsim::SimSchServer> Sch;
  hostsim::SimRef<hostsim::SimFootprintModelType> Footprint;
  hostsim::SimRef<hostsim::FakeHostObject> Listener;
  std::vector<std::wstring> Started;
  std::unique_ptr<tvk::TForm> Form;
  tvk::TPanel* SymbolSection = nullptr;
  tvk::TPanel* FootprintSection = nullptr;
};

TEST_F(Painters, AThreePartSymbolShowsThreeBottomTabsEachDrawingItsPart) {
  auto symbol = MakeSymbol();
  EXPECT_EQ(0, symbol->PartCount());
  EXPECT_EQ(tvk::TWinXPTabPosition::tpBottom, symbol->TabSheetsHolder()->TabPosition());
  symbol->SetComponent(L"XC3S200-4FT256C", kLibrary);
  EXPECT_EQ((std::vector<std::wstring>{L"Sch"}), Started);
  EXPECT_EQ(3, symbol->PartCount());
  EXPECT_EQ(0, Sch->LiveComponents());  // only the count stays
  EXPECT_EQ((std::vector<std::wstring>{L"Part A", L"Part B", L"Part C"}), Captions(*symbol));
  ASSERT_EQ(3u, Sch->Views().size());
  const std::wstring part = std::wstring(L"XC3S200-4FT256C in ") + kLibrary + L", part ";
  EXPECT_EQ((std::vector<std::wstring>{part + L"1", part + L"2", part + L"3"}), ViewLines(L"part"));
  for (std::size_t i = 0; i < 3; ++i) {
    const SimComponentPainterView* view = Sch->Views()[i];
    EXPECT_EQ(static_cast<IDispatch*>(Listener.Get()), view->Listener()) << i;
    // A real window inside its page, made and shown with it.
    symbol->TabSheetsHolder()->SetActivePage(symbol->TabSheetsHolder()->Pages(int(i)));
    hostsim::PumpMessages();
    EXPECT_TRUE(view->Attached()) << i;
    EXPECT_TRUE(IsChild(symbol->TabSheetsHolder()->Handle(), view->Window())) << i;
    EXPECT_TRUE(IsWindowVisible(view->Window())) << i;
  }

  symbol->HighlightPins(L",12,13,40");
  EXPECT_EQ(std::vector<std::wstring>(3, L",12,13,40 (255,0)"), ViewLines(L"highlight"));
  symbol->RenameSpecifiedPins(L"12=LED0|40=CLK");
  EXPECT_EQ(std::vector<std::wstring>(3, L"12=LED0|40=CLK"), ViewLines(L"renamed"));
  symbol->ShowSpecifiedPinsOnly(L",12,40");
  EXPECT_EQ(std::vector<std::wstring>(3, L",12,40"), ViewLines(L"only"));
  symbol->ShowAllPins();
  EXPECT_EQ(std::vector<std::wstring>(3, L"all"), ViewLines(L"only"));
  symbol->ShowPinsAsSelected(L"");
  EXPECT_EQ(std::vector<std::wstring>(3, L""), ViewLines(L"selected"));
  EXPECT_EQ(1u, Sch->Views()[0]->CallCount(hd::PainterView_ShowPinsAsSelected));
  symbol->Hide();
  EXPECT_FALSE(symbol->TabSheetsHolder()->Visible());
  symbol->Show();
  EXPECT_TRUE(symbol->TabSheetsHolder()->Visible());

  // Going, the pages let their views go, last first.
  symbol.reset();
  for (const SimComponentPainterView* view : Sch->Views()) EXPECT_FALSE(view->Attached());
}

TEST_F(Painters, ASymbolOnceLoadedKeepsItsPagesAndRedrawsThem) {
  auto symbol = MakeSymbol();
  symbol->SetComponent(L"XC3S200-4FT256C", kLibrary);
  symbol->SetComponent(L"XC9572XL", kLibrary);  // one part, but the pages stay
  EXPECT_EQ(1u, Sch->CallCount(hd::SchServer_LoadComponentFromLibrary));
  EXPECT_EQ(3, symbol->TabSheetsHolder()->PageCount());
  const std::wstring part = std::wstring(L"XC9572XL in ") + kLibrary + L", part ";
  EXPECT_EQ((std::vector<std::wstring>{part + L"1", part + L"2", part + L"3"}), ViewLines(L"part"));
}

TEST_F(Painters, ASymbolTheServerCannotLoadGivesNoPagesAndIsTriedAgain) {
  auto symbol = MakeSymbol();
  symbol->SetComponent(L"NOSUCHPART", kLibrary);
  EXPECT_EQ(0, symbol->PartCount());
  EXPECT_EQ(0, symbol->TabSheetsHolder()->PageCount());
  symbol->HighlightPins(L",1");  // nothing to tell, nothing fails
  symbol->ShowAllPins();
  EXPECT_TRUE(Sch->Views().empty());
  symbol->SetComponent(L"XC9572XL", kLibrary);  // installed meanwhile
  EXPECT_EQ(2u, Sch->CallCount(hd::SchServer_LoadComponentFromLibrary));
  EXPECT_EQ((std::vector<std::wstring>{L"Part A"}), Captions(*symbol));
}

TEST_F(Painters, TheFootprintIsDrawnByTheHostsEditorInAFormTheApplicationOwns) {
  const int owned = tvk::Application().ComponentCount();
  auto footprint = std::make_unique<tvk::TPCBFootprintPainter>(FootprintSection);
  EXPECT_EQ(tvk::WideString(tvk::hostnames::kFootprintModelType), footprint->ModelType());
  EXPECT_EQ((std::vector<std::wstring>{L"PCB"}), Started);  // the model type's server
  ASSERT_NE(nullptr, footprint->ExternalFormComponent());
  EXPECT_EQ(&tvk::Application(), footprint->ExternalFormComponent()->Owner());
  EXPECT_EQ(owned + 1, tvk::Application().ComponentCount());
  EXPECT_EQ(static_cast<IDispatch*>(Footprint->Form()), footprint->ExternalForm().ToPointer());
  EXPECT_TRUE(IsChild(FootprintSection->Handle(), Footprint->Form()->Window()));

  // Without a data file nothing is drawn and the form is hidden.
  footprint->SetFootprint(L"FT256", L"");
  footprint->DrawFootprintModel();
  EXPECT_FALSE(footprint->ExternalFormComponent()->Visible());
  EXPECT_EQ(0u, Footprint->Editor()->CallCount(hd::ModelEditor_DrawFootprintModel));
  footprint->SetFootprint(L"FT256", L"C:\\Libraries\\Xilinx\\Spartan3.flib");
  footprint->DrawFootprintModel();
  EXPECT_TRUE(footprint->ExternalFormComponent()->Visible());
  EXPECT_EQ(L"FT256 in C:\\Libraries\\Xilinx\\Spartan3.flib", Footprint->Form()->Line(L"footprint"));

  footprint->HighlightPins(L",12,13,40");
  EXPECT_EQ(L",12,13,40 (0,255)", Footprint->Form()->Line(L"highlight"));
  footprint->ShowSpecifiedPinsOnly(L",12,40");
  EXPECT_EQ(L",12,40", Footprint->Form()->Line(L"only"));
  footprint->ShowPinsAsSelected(L",13");
  EXPECT_EQ(L",13", Footprint->Form()->Line(L"selected"));
  footprint->RegisterSelectionChangedListener(tvk::IModelEditorSelectionListener(Listener.Get()));
  EXPECT_EQ(static_cast<IDispatch*>(Listener.Get()), Footprint->Listener());
  EXPECT_TRUE(Footprint->Editor()->KindErrors().empty());

  footprint.reset();
  EXPECT_EQ(owned, tvk::Application().ComponentCount());
  EXPECT_FALSE(Footprint->Form()->Attached());
}

TEST_F(Painters, WithoutModelTypeManagerOrEditorTheFootprintHasNoFormAndDoesNothing) {
  struct Case {
    const char* Name;
    bool ManagerAbsent;
    bool Editor;
  };
  for (const Case c : {Case{"no manager", true, true}, Case{"no editor", false, false}}) {
    SCOPED_TRACE(c.Name);
    auto type = hostsim::SimFootprintModelType::Make(L"PCB", c.Editor);
    hostsim::SetHostModelType(tvk::hostnames::kFootprintModelType, type.Get());
    hostsim::SetHostModelTypeManagerAbsent(c.ManagerAbsent);
    auto footprint = std::make_unique<tvk::TPCBFootprintPainter>(FootprintSection);
    EXPECT_FALSE(footprint->ExternalForm());
    footprint->SetFootprint(L"FT256", L"C:\\Libraries\\Xilinx\\Spartan3.flib");
    EXPECT_NO_THROW({
      footprint->DrawFootprintModel();
      footprint->HighlightPins(L",1");
      footprint->ShowSpecifiedPinsOnly(L",1");
      footprint->ShowPinsAsSelected(L",1");
      footprint->RegisterSelectionChangedListener(tvk::IModelEditorSelectionListener(Listener.Get()));
      footprint->Hide();
      footprint->Show();
    });
    hostsim::SetHostModelTypeManagerAbsent(false);
  }
}

TEST(ApplicationComponents, FreedAtTheModulesShutDownLatestFirst) {
  std::vector<std::wstring> freed;
  struct TNoted : tvk::TComponent {
    TNoted(std::vector<std::wstring>& log, const wchar_t* name) : tvk::TComponent(&tvk::Application()), Log(log) {
      SetName(name);
    }
    ~TNoted() override { Log.push_back(Name()); }
    std::vector<std::wstring>& Log;
  };
  const int before = tvk::Application().ComponentCount();
  new TNoted(freed, L"First");
  new TNoted(freed, L"Second");
  ASSERT_EQ(before, 0) << "another test left components with the application";
  tvk::DestroyApplicationComponents();
  EXPECT_EQ((std::vector<std::wstring>{L"Second", L"First"}), freed);
  EXPECT_EQ(0, tvk::Application().ComponentCount());
}

}  // namespace
}  // namespace harddeviceviewer_test
