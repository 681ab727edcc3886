// Look-and-feel objects: values inherited along the master chain, what
// listeners hear and when, controllers on the root, streaming of an assigned
// empty skin name, and system colour changes reaching the painters first.
#include "Forms.h"
#include "PaintersTest.h"
#include "Streams.h"

#include <memory>
#include <string>
#include <vector>

using namespace tvk;
using painters_test::LookAndFeel;
using painters_test::Rgb;
using painters_test::TDib;

namespace {

// A listener object that records what it hears and may leave mid-walk.
class TRecordingLafListener : public TObject, public IcxLookAndFeelListener {
public:
  TRecordingLafListener(std::vector<std::wstring>& ALog, std::wstring AName) : FLog(ALog), FName(std::move(AName)) {}
  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override {
    FLog.push_back(FName + L" " + std::to_wstring(AChangedValues));
    if (LeaveOnChange) Sender->RemoveChangeListener(this);
  }
  void MasterDestroying(TcxLookAndFeel*) override { FLog.push_back(FName + L" destroying"); }
  bool GetInterface(const GUID& iid, void** obj) override {
    if (IsEqualGUID(iid, IID_IcxLookAndFeelListener)) {
      *obj = static_cast<IcxLookAndFeelListener*>(this);
      return true;
    }
    return TObject::GetInterface(iid, obj);
  }
  bool LeaveOnChange = false;

private:
  std::vector<std::wstring>& FLog;
  std::wstring FName;
};

struct TChangeLog {
  explicit TChangeLog(TcxLookAndFeel& ALaf) {
    ALaf.OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues AValues) { Values.push_back(AValues); };
  }
  std::vector<TcxLookAndFeelValues> Values;
};

using LookAndFeelObjects = LookAndFeel;

TEST_F(LookAndFeelObjects, RootDefaultsAndItsPainter) {
  TcxLookAndFeel* root = GetRootLookAndFeel();
  ASSERT_NE(nullptr, root);
  EXPECT_TRUE(root->IsRootLookAndFeel());
  EXPECT_EQ(nullptr, root->MasterLookAndFeel());
  EXPECT_EQ(lfUltraFlat, root->Kind());
  EXPECT_TRUE(root->NativeStyle());
  EXPECT_EQ(AreThemesAvailable() ? lfsNative : lfsUltraFlat, root->ActiveStyle());
  EXPECT_EQ(root->Painter(), cxLookAndFeelPaintersManager()->GetPainter(root->ActiveStyle()));
  root->SetNativeStyle(false);
  EXPECT_EQ(lfsUltraFlat, root->ActiveStyle());
  EXPECT_EQ(L"UltraFlat", root->Painter()->LookAndFeelName());
  EXPECT_NE(nullptr, SkinSupportQuery());
}

TEST_F(LookAndFeelObjects, InheritsFromTheRootUnlessAssigned) {
  TcxLookAndFeel* root = GetRootLookAndFeel();
  root->SetKind(lfFlat);
  root->SetSkinName(L"Nothing");
  TcxLookAndFeel laf(nullptr);
  EXPECT_EQ(root, laf.MasterLookAndFeel());
  EXPECT_EQ(lfFlat, laf.Kind());
  EXPECT_EQ(L"Nothing", laf.SkinName());
  EXPECT_EQ(0u, laf.AssignedValues());

  laf.SetKind(lfOffice11);
  std::vector<std::wstring> log;
  TRecordingLafListener listener(log, L"L");
  laf.AddChangeListener(&listener);
  root->SetKind(lfStandard);
  EXPECT_EQ(lfOffice11, laf.Kind()) << "an assigned value ignores the master";
  EXPECT_TRUE(log.empty()) << "nothing changed here, so nothing is told";
  root->SetNativeStyle(false);
  EXPECT_EQ((std::vector<std::wstring>{L"L 2"}), log);
  laf.Reset();
  EXPECT_EQ(lfStandard, laf.Kind());
  laf.RemoveChangeListener(&listener);
}

TEST_F(LookAndFeelObjects, MasterChanges) {
  TcxLookAndFeel laf(nullptr);
  TChangeLog changes(laf);
  laf.SetMasterLookAndFeel(nullptr);
  EXPECT_TRUE(changes.Values.empty()) << "the root already is the master";
  laf.SetMasterLookAndFeel(&laf);
  EXPECT_EQ(GetRootLookAndFeel(), laf.MasterLookAndFeel());

  auto master = std::make_unique<TcxLookAndFeel>(nullptr);
  master->SetKind(lfOffice11);
  master->SetNativeStyle(false);
  laf.SetMasterLookAndFeel(master.get());
  EXPECT_EQ(master.get(), laf.MasterLookAndFeel());
  EXPECT_EQ(lfOffice11, laf.Kind());
  ASSERT_EQ(1u, changes.Values.size());
  EXPECT_EQ(TcxLookAndFeelValues(lfvKind | lfvNativeStyle), changes.Values[0]);
  EXPECT_EQ(L"Office11", laf.Painter()->LookAndFeelName());

  changes.Values.clear();
  master.reset();  // the look and feel falls back to the root and reports what differs
  EXPECT_EQ(GetRootLookAndFeel(), laf.MasterLookAndFeel());
  EXPECT_EQ(lfUltraFlat, laf.Kind());
  ASSERT_EQ(1u, changes.Values.size());
  EXPECT_EQ(TcxLookAndFeelValues(lfvKind | lfvNativeStyle), changes.Values[0]);
  EXPECT_EQ(1, GetRootLookAndFeel()->ChangeListenerCount());
}

TEST_F(LookAndFeelObjects, AssignCopiesValuesAndMaster) {
  TcxLookAndFeel master(nullptr), source(nullptr), target(nullptr);
  master.SetKind(lfFlat);
  source.SetMasterLookAndFeel(&master);
  source.SetNativeStyle(false);
  target.Assign(source);
  EXPECT_EQ(&master, target.MasterLookAndFeel());
  EXPECT_EQ(TcxLookAndFeelValues(lfvNativeStyle), target.AssignedValues());
  EXPECT_EQ(lfFlat, target.Kind());
  EXPECT_FALSE(target.NativeStyle());
}

TEST_F(LookAndFeelObjects, SetStyleTable) {
  struct TRow {
    TcxLookAndFeelStyle Style;
    bool NativeStyle;
    TcxLookAndFeelKind Kind;
  };
  const TRow rows[] = {{lfsNative, true, lfOffice11},     {lfsSkin, false, lfUltraFlat}, {lfsFlat, false, lfFlat},
                       {lfsStandard, false, lfStandard}, {lfsOffice11, false, lfOffice11}};
  for (const TRow& row : rows) {
    TcxLookAndFeel laf(nullptr);
    laf.SetKind(lfOffice11);
    laf.SetStyle(row.Style);
    EXPECT_EQ(row.NativeStyle, laf.NativeStyle()) << row.Style;
    EXPECT_EQ(row.Kind, laf.Kind()) << row.Style;
  }
}

TEST_F(LookAndFeelObjects, OneCombinedNotificationPerUpdateBracket) {
  TcxLookAndFeel laf(nullptr);
  laf.SetNativeStyle(false);
  TChangeLog changes(laf);
  std::vector<std::wstring> log;
  TRecordingLafListener listener(log, L"L");
  laf.AddChangeListener(&listener);
  laf.BeginUpdate();
  laf.BeginUpdate();
  laf.SetKind(lfFlat);
  EXPECT_EQ(L"Flat", laf.Painter()->LookAndFeelName()) << "the painter follows at once";
  laf.SetSkinName(L"Some");
  laf.EndUpdate();
  EXPECT_TRUE(changes.Values.empty());
  laf.EndUpdate();
  EXPECT_EQ((std::vector<TcxLookAndFeelValues>{lfvKind | lfvSkinName}), changes.Values);
  EXPECT_EQ((std::vector<std::wstring>{L"L 5"}), log);
  laf.EndUpdate();  // unbalanced: nothing more
  EXPECT_EQ(1u, changes.Values.size());
  laf.RemoveChangeListener(&listener);
}

TEST_F(LookAndFeelObjects, AListenerLeavingMidWalkDoesNotMakeItSkipTheNext) {
  TcxLookAndFeel laf(nullptr);
  std::vector<std::wstring> log;
  TRecordingLafListener a(log, L"A"), b(log, L"B"), c(log, L"C");
  a.LeaveOnChange = true;
  for (TObject* listener : {static_cast<TObject*>(&a), static_cast<TObject*>(&b), static_cast<TObject*>(&c)})
    laf.AddChangeListener(listener);
  laf.AddChangeListener(&b);  // kept once
  laf.AddChangeListener(nullptr);
  TObject plain;
  laf.AddChangeListener(&plain);  // no listener interface: ignored
  EXPECT_EQ(3, laf.ChangeListenerCount());
  laf.Refresh();
  EXPECT_EQ((std::vector<std::wstring>{L"A 7", L"B 7", L"C 7"}), log);
  EXPECT_EQ(2, laf.ChangeListenerCount());
  laf.RemoveChangeListener(&b);
  laf.RemoveChangeListener(&c);
}

TEST_F(LookAndFeelObjects, UnknownSkinNameFallsBackToTheKindsStyle) {
  TcxLookAndFeel laf(nullptr);
  laf.SetNativeStyle(false);
  laf.SetKind(lfStandard);
  laf.SetSkinName(L"NoSuchSkin");
  EXPECT_EQ(nullptr, laf.SkinPainter());
  EXPECT_EQ(lfsStandard, laf.ActiveStyle());
  EXPECT_EQ(L"Standard", laf.Painter()->LookAndFeelName());
  EXPECT_EQ(L"Standard", laf.GetAvailablePainter(totButton)->LookAndFeelName());
}

TEST_F(LookAndFeelObjects, ControllersEditTheRootAndTheLastOneLeavingResetsIt) {
  TcxLookAndFeel* root = GetRootLookAndFeel();
  auto first = std::make_unique<TcxLookAndFeelController>(nullptr);
  auto second = std::make_unique<TcxLookAndFeelController>(nullptr);
  EXPECT_EQ(2, LookAndFeelControllerCount());
  TcxLookAndFeel other(nullptr);
  other.AddChangeListener(first.get());
  EXPECT_EQ(0, other.ChangeListenerCount()) << "only the root takes a controller";

  first->SetKind(lfOffice11);
  first->SetNativeStyle(false);
  second->SetSkinName(L"Skin");
  EXPECT_EQ(lfOffice11, root->Kind());
  EXPECT_EQ(lfOffice11, second->Kind());
  first.reset();
  EXPECT_EQ(lfOffice11, root->Kind()) << "another controller remains";
  EXPECT_EQ(1, LookAndFeelControllerCount());
  second.reset();
  EXPECT_EQ(0, LookAndFeelControllerCount());
  EXPECT_EQ(lfUltraFlat, root->Kind());
  EXPECT_TRUE(root->NativeStyle());
  EXPECT_EQ(L"", root->SkinName());
  EXPECT_EQ(0u, root->AssignedValues());
}

TEST_F(LookAndFeelObjects, ControllerFindsItsOwningForm) {
  TForm form(nullptr);
  auto* controller = new TcxLookAndFeelController(&form);
  EXPECT_EQ(&form, controller->GetOwnerForm());
  TcxLookAndFeelController alone(nullptr);
  EXPECT_EQ(nullptr, alone.GetOwnerForm());
}

TEST_F(LookAndFeelObjects, AnAssignedEmptySkinNameSurvivesStreaming) {
  TcxLookAndFeel written(nullptr);
  {
    TMemoryStream stream;
    WriteBinaryProperties(written, stream);
    stream.SetPosition(0);
    EXPECT_TRUE(BinaryPropertyNames(stream).empty()) << "nothing assigned, nothing stored";
  }
  written.SetSkinName(L"");
  EXPECT_EQ(TcxLookAndFeelValues(lfvSkinName), written.AssignedValues());
  TMemoryStream stream;
  WriteBinaryProperties(written, stream);
  stream.SetPosition(0);
  EXPECT_EQ(std::vector<WideString>{L"SkinName"}, BinaryPropertyNames(stream));
  stream.SetPosition(0);
  TcxLookAndFeel read(nullptr);
  ReadBinaryProperties(read, stream);
  EXPECT_EQ(TcxLookAndFeelValues(lfvSkinName), read.AssignedValues());
  EXPECT_EQ(L"", read.SkinName());
}

TEST_F(LookAndFeelObjects, AssignedValuesRoundTripByNameAndOnlyThey) {
  struct Case {
    TcxLookAndFeelValues Assigned;
    std::vector<WideString> Names;
  };
  for (const Case& c : {Case{lfvKind, {L"Kind"}}, Case{lfvNativeStyle, {L"NativeStyle"}},
                        Case{lfvSkinName, {L"SkinName"}},
                        Case{cxLookAndFeelAllValues, {L"Kind", L"NativeStyle", L"SkinName"}}}) {
    TcxLookAndFeel written(nullptr);
    if (c.Assigned & lfvKind) written.SetKind(lfOffice11);
    if (c.Assigned & lfvNativeStyle) written.SetNativeStyle(false);
    if (c.Assigned & lfvSkinName) written.SetSkinName(L"Blue");
    TMemoryStream stream;
    WriteProperties(written, stream);
    stream.SetPosition(0);
    EXPECT_EQ(c.Names, BinaryPropertyNames(stream)) << c.Assigned;
    stream.SetPosition(0);
    TcxLookAndFeel read(nullptr);
    ReadProperties(read, stream);
    EXPECT_EQ(c.Assigned, read.AssignedValues());
    EXPECT_EQ(written.Kind(), read.Kind()) << c.Assigned;
    EXPECT_EQ(written.NativeStyle(), read.NativeStyle()) << c.Assigned;
    EXPECT_EQ(written.SkinName(), read.SkinName()) << c.Assigned;
  }
}

// Keeps the reader a look and feel declares for its skin name.
class TCapturingFiler : public TFiler {
public:
  void DefineBinaryProperty(const WideString& name, TStreamProc readData, TStreamProc, bool) override {
    if (name == L"SkinName") Reader = readData;
  }
  TStreamProc Reader;
};

TEST_F(LookAndFeelObjects, ADamagedSkinNameIsRefusedAndChangesNothing) {
  TcxLookAndFeel laf(nullptr);
  TCapturingFiler filer;
  laf.DefineProperties(filer);
  ASSERT_TRUE(filer.Reader);
  TMemoryStream stream;
  const uint32_t hugeLength = 0xFFFFFFF0u;
  stream.WriteBuffer(&hugeLength, sizeof(hugeLength));
  stream.SetPosition(0);
  EXPECT_THROW(filer.Reader(stream), EReadError);
  TMemoryStream shortStream;
  const uint32_t length = 8;
  shortStream.WriteBuffer(&length, sizeof(length));
  shortStream.WriteBuffer(L"ab", 4);
  shortStream.SetPosition(0);
  EXPECT_THROW(filer.Reader(shortStream), EReadError);
  EXPECT_EQ(0u, laf.AssignedValues());
}

TEST_F(LookAndFeelObjects, SystemColourChangeReachesPrimaryNotifiersFirst) {
  std::vector<std::wstring> log;
  TcxSystemPaletteChangedNotifier primary(true), ordinary(false);
  primary.OnSystemPaletteChanged = [&] { log.push_back(L"primary"); };
  TColor bodyAfterChange = clNone;
  const int element = COLOR_WINDOW;
  const COLORREF oldWindow = GetSysColor(element);
  const COLORREF newWindow = oldWindow == RGB(10, 200, 30) ? RGB(40, 100, 60) : RGB(10, 200, 30);
  ordinary.OnSystemPaletteChanged = [&] {
    log.push_back(L"ordinary");
    if (bodyAfterChange != clNone) return;
    // The radio images were already rebuilt with the new window colour.
    TcxRadioButtonImageList* list = GetRadioButtonImageList();
    const SIZE size = list->GetSize();
    TDib dib(size.cx, size.cy);
    list->Draw(dib.Canvas(), 0, 0, clDefault, lfStandard, cxbsNormal, false, false, false);
    bodyAfterChange = dib.At(size.cx / 2, size.cy / 2);
  };
  TcxLookAndFeel laf(nullptr);
  TChangeLog changes(laf);
  ASSERT_NE(nullptr, GetRadioButtonImageList());
  ASSERT_GE(GetRadioButtonImageList()->PatternCode(GetRadioButtonImageList()->GetSize().cy / 2,
                                                   GetRadioButtonImageList()->GetSize().cx / 2),
            5)
      << "the middle of an unchecked radio button takes the body colour";

  SetSysColors(1, &element, &newWindow);
  laf_test::PumpWaiting();
  log.clear();
  changes.Values.clear();
  bodyAfterChange = clNone;
  SendMessageW(SystemPaletteListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  SetSysColors(1, &element, &oldWindow);
  laf_test::PumpWaiting();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(L"primary", log[0]);
  EXPECT_EQ(L"ordinary", log[1]);
  EXPECT_EQ(TColor(newWindow), bodyAfterChange);
  ASSERT_FALSE(changes.Values.empty());
  EXPECT_EQ(TcxLookAndFeelValues(lfvNativeStyle), changes.Values[0]);
}

TEST_F(LookAndFeelObjects, ThePaletteListenerIsSharedAndCounted) {
  const int users = SystemPaletteListenerRefCount();
  EXPECT_GE(users, 2) << "the painters' notifier and the root's";
  {
    TcxLookAndFeel laf(nullptr);
    EXPECT_EQ(users + 1, SystemPaletteListenerRefCount());
    EXPECT_EQ(users + 1, SystemPaletteListener()->NotifierCount() + SystemPaletteListener()->PrimaryNotifierCount());
  }
  EXPECT_EQ(users, SystemPaletteListenerRefCount());
  EXPECT_EQ(1, SystemPaletteListener()->PrimaryNotifierCount());
}

}  // namespace
