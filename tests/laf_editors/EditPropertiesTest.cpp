// Edit properties: update brackets and locks, bounds and their flags, the
// alignment others read, CanModify against a provider, Assign, storage,
// validation, the live list, and the repository with its listeners.
#include "EditorsTest.h"
#include "Streams.h"
#include "cxEdit.h"
#include "cxEditViewInfo.h"

#include <algorithm>

using namespace tvk;

namespace laf_editors_test {

namespace {

struct TCountedProperties {
  TCountedProperties() : Properties(nullptr) {
    Properties.OnPropertiesChanged = [this](TObject*) { ++Changes; };
  }
  TcxCustomEditProperties Properties;
  int Changes = 0;
};

// A provider whose answers a test sets.
class TTestProvider : public TcxCustomEditDefaultValuesProvider {
public:
  TVK_CLASS(TTestProvider, TcxCustomEditDefaultValuesProvider)
  TTestProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  TAlignment DefaultAlignment() override { return Alignment; }
  bool DefaultReadOnly() override { return ReadOnly; }
  bool DefaultCanModify() override { return CanModify; }
  bool CanSetEditMode() override { return EditMode; }
  double DefaultMaxValue() override { return 50; }
  TAlignment Alignment = TAlignment::taRightJustify;
  bool ReadOnly = false, CanModify = true, EditMode = true;
};

// A properties class that publishes what the text editor's would.
class TPublishedProperties : public TcxCustomEditProperties {
public:
  TVK_CLASS(TPublishedProperties, TcxCustomEditProperties)
  TVK_EDIT_PROPERTIES_CLASS(TPublishedProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool IsPublishedProperty(std::wstring_view AName) const override {
    static constexpr std::wstring_view kNames[] = {L"Alignment", L"AssignedValues", L"MaxValue", L"MinValue",
                                                   L"ReadOnly",  L"AutoSelect",     L"ClickKey"};
    return std::find(std::begin(kNames), std::end(kNames), AName) != std::end(kNames);
  }
  bool CanValidate() override { return true; }
};

std::vector<WideString> WrittenNames(TPersistent& AObject) {
  TMemoryStream stream;
  WriteProperties(AObject, stream);
  stream.SetPosition(0);
  return BinaryPropertyNames(stream);
}

bool Has(const std::vector<WideString>& ANames, const wchar_t* AName) {
  return std::find(ANames.begin(), ANames.end(), WideString(AName)) != ANames.end();
}

// An owner component whose state a test sets.
class TOwnerComponent : public TComponent {
public:
  TVK_CLASS(TOwnerComponent, TComponent)
  TOwnerComponent() : TComponent(nullptr) {}
  using TComponent::SetComponentState;
};

// The editor's answers to the properties' questions.
class TEditStandIn : public TComponent, public TcxEditPropertiesHost {
public:
  TVK_CLASS(TEditStandIn, TComponent)
  TEditStandIn() : TComponent(nullptr), Own(this) {}
  TcxCustomEditProperties* GetProperties() override { return &Own; }
  TcxCustomEditProperties* GetActiveProperties() override { return &Own; }
  TcxEditRepositoryItem* GetRepositoryItem() override { return nullptr; }
  void DoOnValidate(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) override {
    if (Own.OnValidate) Own.OnValidate(this, ADisplayValue, AErrorText, AError);
  }
  WideString GetInnerEditText() override { return L"inner text"; }
  TPublishedProperties Own;
};

}  // namespace

using EditProperties = EditorsUnits;

TEST_F(EditProperties, DefaultsAndClassFunctions) {
  TcxCustomEditProperties p(nullptr);
  EXPECT_EQ(16397, p.ClickKey()) << "Ctrl+Enter";
  EXPECT_EQ(ShortCut(VK_RETURN, ssCtrl), p.ClickKey());
  EXPECT_EQ(0, p.ClearKey());
  EXPECT_TRUE(p.AutoSelect() && p.UseMouseWheel() && p.UseLeftAlignmentOnEditing());
  EXPECT_FALSE(p.BeepOnError() || p.ImmediatePost() || p.Transparent() || p.ValidateOnEnter() || p.ReadOnly());
  EXPECT_EQ(0u, p.GetSupportedOperations()) << "no buttons";
  p.Buttons().Add();
  EXPECT_EQ(cxOperationBit(esoHotTrack), p.GetSupportedOperations());
  EXPECT_EQ(&TcxCustomEditViewData::StaticClassInfo(), p.ViewDataClass()->Info);
  EXPECT_EQ(&TcxCustomEditViewInfo::StaticClassInfo(), p.GetViewInfoClass()->Info);
  EXPECT_EQ(&TcxEditStyle::StaticClassInfo(), p.GetStyleClass()->Info);

  TPublishedProperties published(nullptr);
  published.SetReadOnly(true);
  std::unique_ptr<TcxCustomEditProperties> clone = published.Clone(nullptr);
  EXPECT_STREQ(L"TPublishedProperties", clone->ClassName().c_str());
  EXPECT_TRUE(clone->ReadOnly());
  EXPECT_FALSE(published.CreatePreviewProperties()->ReadOnly()) << "a preview object is not assigned";
  EXPECT_EQ(published.PropertiesClass(), FindEditPropertiesClass(&TPublishedProperties::StaticClassInfo()))
      << "a class maps back to its class-reference object";
}

TEST_F(EditProperties, BracketsAndLocks) {
  struct TCase {
    const char* Name;
    void (*Run)(TcxCustomEditProperties&);
    int Changes;
  };
  const TCase cases[] = {
      {"EndUpdate(true) tells once",
       [](TcxCustomEditProperties& p) {
         p.BeginUpdate();
         p.BeginUpdate();
         p.SetTransparent(true);
         p.SetAutoSelect(false);
         p.EndUpdate(true);
         p.EndUpdate(true);
       },
       1},
      {"EndUpdate(false) tells nothing",
       [](TcxCustomEditProperties& p) {
         p.BeginUpdate();
         p.SetTransparent(true);
         p.EndUpdate(false);
       },
       0},
      {"an unmatched EndUpdate is ignored",
       [](TcxCustomEditProperties& p) {
         p.EndUpdate(true);
         p.SetTransparent(true);
       },
       1},
      {"a locked change is not replayed",
       [](TcxCustomEditProperties& p) {
         p.LockUpdate(true);
         p.SetTransparent(true);
         p.LockUpdate(false);
         p.BeginUpdate();
         p.EndUpdate(true);
       },
       0},
      {"plain fields tell nothing",
       [](TcxCustomEditProperties& p) {
         p.SetBeepOnError(true);
         p.SetClickKey(0);
         p.SetImmediatePost(true);
         p.SetValidateOnEnter(true);
       },
       0},
  };
  for (const TCase& c : cases) {
    TCountedProperties counted;
    c.Run(counted.Properties);
    EXPECT_EQ(c.Changes, counted.Changes) << c.Name;
  }

  // The owner going swallows the change, and it is not replayed.
  TOwnerComponent owner;
  TcxCustomEditProperties owned(&owner);
  int changes = 0;
  owned.OnPropertiesChanged = [&](TObject*) { ++changes; };
  owner.Destroying();
  owned.SetTransparent(true);
  owner.SetComponentState(csDestroying, false);
  owned.BeginUpdate();
  owned.EndUpdate(true);
  EXPECT_EQ(0, changes);

  // IsChanging while the owner is told, also when the handler fails.
  TcxCustomEditProperties p(nullptr);
  bool changing = false;
  p.OnPropertiesChanged = [&](TObject*) {
    changing = p.IsChanging();
    throw Exception(L"handler");
  };
  EXPECT_THROW(p.SetTransparent(true), Exception);
  EXPECT_TRUE(changing);
  EXPECT_FALSE(p.IsChanging());
}

TEST_F(EditProperties, BoundsAndReadOnlyFlags) {
  TCountedProperties counted;
  TcxCustomEditProperties& p = counted.Properties;
  p.SetMaxValue(0);
  EXPECT_EQ(1, counted.Changes) << "the flag changes";
  EXPECT_TRUE(p.AssignedValues().MaxValue());
  p.SetMaxValue(0);
  EXPECT_EQ(1, counted.Changes) << "flag set and value equal";
  p.SetMinMaxValuesRaw(10, 1);
  EXPECT_EQ(2, counted.Changes) << "both bounds, one change";
  p.SetMinMaxValuesRaw(10, 1);
  EXPECT_EQ(2, counted.Changes);
  EXPECT_EQ(10, p.MaxValue());
  EXPECT_EQ(1, p.MinValue());

  TTestProvider provider;
  TcxCustomEditProperties q(nullptr);
  q.SetIDefaultValuesProvider(&provider);
  EXPECT_EQ(50, q.MaxValue()) << "an unassigned bound reads the provider's";
  provider.ReadOnly = true;
  EXPECT_TRUE(q.ReadOnly());
  q.SetReadOnly(false);
  EXPECT_FALSE(q.ReadOnly());
  q.AssignedValues().RestoreDefaults();
  EXPECT_TRUE(q.ReadOnly());
}

TEST_F(EditProperties, CanModifyMatrix) {
  struct TCase {
    int ReadOnly;  // -1 unassigned
    bool WithProvider, DefaultReadOnly, DefaultCanModify, EditMode;
    bool Expected;
  };
  const TCase cases[] = {
      {-1, false, false, true, true, true},  {1, false, false, true, true, false},
      {0, true, true, false, false, true},   // explicitly writable, whatever the provider says
      {-1, true, true, true, true, false},   {-1, true, false, false, true, false},
      {-1, true, false, true, false, false}, {-1, true, false, true, true, true},
      {1, true, false, true, true, false},
  };
  for (const TCase& c : cases) {
    TTestProvider provider;
    provider.ReadOnly = c.DefaultReadOnly;
    provider.CanModify = c.DefaultCanModify;
    provider.EditMode = c.EditMode;
    TcxCustomEditProperties p(nullptr);
    if (c.WithProvider) p.SetIDefaultValuesProvider(&provider);
    if (c.ReadOnly >= 0) p.SetReadOnly(c.ReadOnly != 0);
    EXPECT_EQ(c.Expected, p.CanModify()) << c.ReadOnly << c.WithProvider << c.DefaultReadOnly << c.DefaultCanModify
                                         << c.EditMode;
  }
}

TEST_F(EditProperties, TheReadAlignmentCarriesTheProviderDefaultUnassigned) {
  TTestProvider provider;
  TPublishedProperties p(nullptr);
  int changes = 0;
  p.OnPropertiesChanged = [&](TObject*) { ++changes; };
  p.SetIDefaultValuesProvider(&provider);
  EXPECT_EQ(TAlignment::taRightJustify, p.Alignment().Horz());
  EXPECT_FALSE(p.InnerAlignment().IsHorzAssigned());
  EXPECT_FALSE(p.IsAlignmentStored());
  EXPECT_FALSE(Has(WrittenNames(p), L"Alignment")) << "nothing streamed";
  EXPECT_EQ(0, changes);

  // A change through the read object goes to the inner one.
  p.Alignment().SetVert(taVCenter);
  EXPECT_EQ(1, changes);
  EXPECT_EQ(taVCenter, p.InnerAlignment().Vert());
  EXPECT_FALSE(p.InnerAlignment().IsHorzAssigned());
  EXPECT_TRUE(Has(WrittenNames(p), L"Alignment"));

  // While the owning component is written, the stored alignment is what was set.
  TOwnerComponent owner;
  TPublishedProperties owned(&owner);
  owned.SetIDefaultValuesProvider(&provider);
  owned.InnerAlignment().SetVert(taBottomJustify);
  {
    TComponentWriting writing(owner);
    EXPECT_EQ(TAlignment::taLeftJustify, owned.Alignment().Horz());
  }
  EXPECT_EQ(TAlignment::taRightJustify, owned.Alignment().Horz());

  // What was streamed reads back.
  p.Alignment().SetHorz(TAlignment::taCenter);
  TMemoryStream stream;
  WriteProperties(p, stream);
  stream.SetPosition(0);
  TPublishedProperties read(nullptr);
  ReadProperties(read, stream);
  EXPECT_TRUE(read.InnerAlignment().IsHorzAssigned());
  EXPECT_EQ(TAlignment::taCenter, read.Alignment().Horz());
  EXPECT_EQ(taVCenter, read.Alignment().Vert());
}

TEST_F(EditProperties, StorageRules) {
  TPublishedProperties p(nullptr);
  EXPECT_TRUE(WrittenNames(p).empty()) << "defaults store nothing";
  p.SetMaxValue(0);
  p.SetMinValue(-2.5);
  p.SetReadOnly(false);
  p.SetClickKey(0);
  const std::vector<WideString> names = WrittenNames(p);
  EXPECT_TRUE(Has(names, L"MaxValue") && Has(names, L"MinValue") && Has(names, L"ReadOnly") && Has(names, L"ClickKey"));
  EXPECT_TRUE(Has(names, L"AssignedValues")) << "a zero bound is stored by its flag";
  EXPECT_TRUE(p.AssignedValues().IsMaxValueStored());
  EXPECT_FALSE(p.AssignedValues().IsMinValueStored()) << "a non-zero bound stores itself";

  TMemoryStream stream;
  WriteProperties(p, stream);
  stream.SetPosition(0);
  TPublishedProperties read(nullptr);
  ReadProperties(read, stream);
  EXPECT_TRUE(read.AssignedValues().MaxValue() && read.AssignedValues().MinValue() && read.AssignedValues().ReadOnly());
  EXPECT_EQ(-2.5, read.MinValue());
  EXPECT_EQ(0, read.ClickKey());

  TcxCustomEditProperties base(nullptr);
  base.SetMaxValue(0);
  EXPECT_FALSE(base.AssignedValues().IsMaxValueStored()) << "the base class publishes no bound";
  EXPECT_TRUE(WrittenNames(base).empty());
}

TEST_F(EditProperties, AssignCopiesInOneBracketAndLeavesTwoEvents) {
  TTestProvider provider;
  TcxCustomEditProperties source(nullptr);
  source.SetAutoSelect(false);
  source.Buttons().Add()->SetCaption(L"x");
  source.SetButtonsViewStyle(bvsButtonsOnly);
  source.SetClickKey(0);
  source.SetIDefaultValuesProvider(&provider);
  source.InnerAlignment().SetVert(taVCenter);
  source.SetMinValue(3);
  source.SetTransparent(true);
  int validates = 0;
  source.OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { ++validates; };
  source.OnClosePopup = [](TObject*, TcxEditCloseUpReason) {};

  TCountedProperties target;
  target.Properties.SetMaxValue(7);
  target.Properties.Assign(source);
  TcxCustomEditProperties& p = target.Properties;
  EXPECT_EQ(2, target.Changes) << "one before, one for the whole Assign";
  EXPECT_FALSE(p.AutoSelect());
  EXPECT_EQ(1, p.Buttons().Count());
  EXPECT_EQ(bvsButtonsOnly, p.ButtonsViewStyle());
  EXPECT_EQ(0, p.ClickKey());
  EXPECT_EQ(&provider, p.IDefaultValuesProvider());
  EXPECT_EQ(taVCenter, p.InnerAlignment().Vert());
  EXPECT_FALSE(p.InnerAlignment().IsHorzAssigned()) << "the source's read alignment: the default, unassigned";
  EXPECT_EQ(TAlignment::taRightJustify, p.InnerAlignment().Horz());
  EXPECT_FALSE(p.AssignedValues().MaxValue()) << "an unflagged bound is cleared";
  EXPECT_TRUE(p.AssignedValues().MinValue());
  EXPECT_EQ(3, p.MinValue());
  EXPECT_TRUE(p.Transparent());
  ASSERT_TRUE(bool(p.OnValidate));
  EXPECT_FALSE(bool(p.OnClosePopup)) << "not copied";
  EXPECT_TRUE(bool(p.OnPropertiesChanged)) << "kept";
}

TEST_F(EditProperties, AGoingProviderClearsItsUsers) {
  auto provider = std::make_unique<TTestProvider>();
  TcxCustomEditProperties a(nullptr), b(nullptr), other(nullptr);
  TTestProvider otherProvider;
  a.SetIDefaultValuesProvider(provider.get());
  b.SetIDefaultValuesProvider(provider.get());
  other.SetIDefaultValuesProvider(&otherProvider);
  void* found = nullptr;
  EXPECT_TRUE(provider->QueryInterface(IID_IcxEditDefaultValuesProvider, &found) == S_OK && found);
  provider.reset();
  EXPECT_EQ(nullptr, a.IDefaultValuesProvider());
  EXPECT_EQ(nullptr, b.IDefaultValuesProvider());
  EXPECT_EQ(&otherProvider, other.IDefaultValuesProvider());
  EXPECT_EQ(TAlignment::taLeftJustify, a.Alignment().Horz()) << "reads without a provider";
}

TEST_F(EditProperties, LiveListAndRegisteredClasses) {
  const std::size_t before = EditPropertiesList().size();
  {
    TcxCustomEditProperties p(nullptr);
    ASSERT_EQ(before + 1, EditPropertiesList().size());
    EXPECT_EQ(&p, EditPropertiesList().back());
  }
  EXPECT_EQ(before, EditPropertiesList().size());
  ASSERT_NE(nullptr, RegisteredEditProperties());
  EXPECT_TRUE(RegisteredEditProperties()->Sorted());
  StopSteps(LookAndFeelEditorsSteps());
  FEditorsStarted = false;
  EXPECT_EQ(nullptr, RegisteredEditProperties()) << "not made again after shut-down";
  EXPECT_TRUE(EditPropertiesList().empty());
  EXPECT_EQ(nullptr, cxEditResourceStringGetter());
}

TEST_F(EditProperties, ValidationFillsTheErrorTextAndTakesTheInnerTextBack) {
  TcxCustomEditProperties base(nullptr);
  TCaption text;
  bool error = false;
  Variant value(WideString(L"v"));
  base.ValidateDisplayValue(value, text, error, nullptr);
  EXPECT_TRUE(text.empty()) << "the base class validates nothing";

  TEditStandIn edit;
  Variant display(WideString(L"typed"));
  edit.Own.ValidateDisplayValue(display, text, error, &edit);
  EXPECT_EQ(L"Invalid input value. Use escape key to abandon changes", text);
  EXPECT_EQ(L"typed", VarToStr(display)) << "no handler: nothing more";

  struct TCase {
    const wchar_t* NewValue;  // null: the handler keeps the value
    bool Error;
    const wchar_t* Result;
    bool Changed;
  };
  const TCase cases[] = {{nullptr, true, L"inner text", false},
                         {L"Typed", true, L"Typed", true},  // case counts
                         {nullptr, false, L"typed", false}};
  for (const TCase& c : cases) {
    edit.Own.OnValidate = [&c](TObject*, Variant& AValue, TCaption&, bool& AError) {
      if (c.NewValue) AValue = Variant(WideString(c.NewValue));
      AError = c.Error;
    };
    Variant v(WideString(L"typed"));
    TCaption errorText = L"mine";
    bool changed = true, flagged = false;
    edit.Own.RunValidateEvent(v, errorText, changed, &edit, flagged);
    EXPECT_EQ(c.Result, VarToStr(v));
    EXPECT_EQ(c.Changed, changed);
  }
}

TEST_F(EditProperties, CompareDisplayValuesAndVariantEquality) {
  TcxCustomEditProperties p(nullptr);
  EXPECT_TRUE(p.CompareDisplayValues(Variant(int32_t(2)), Variant(2.0))) << "both numeric";
  EXPECT_FALSE(p.CompareDisplayValues(Variant(int32_t(2)), Variant(WideString(L"2")))) << "number and text";
  EXPECT_TRUE(VarEqualsEx(Variant(WideString(L"a")), Variant(WideString(L"a"))));
  EXPECT_FALSE(VarSameTypeEquals(Variant(int32_t(2)), Variant(2.0)));
  EXPECT_TRUE(VarSameTypeEquals(Variant(2.0), Variant(2.0)));
}

// ---- Repository

namespace {

class TcxEditRepositoryTextItem : public TcxEditRepositoryItem {
public:
  TVK_CLASS(TcxEditRepositoryTextItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
};

class TPlainItem : public TcxEditRepositoryItem {
public:
  TVK_CLASS(TPlainItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
};

class TItemListener : public IcxEditRepositoryItemListener {
public:
  TItemListener(std::vector<std::pair<int, char>>& ALog, int AId) : FLog(ALog), FId(AId) {}
  void RepositoryItemRemoved(TcxEditRepositoryItem*) override { FLog.emplace_back(FId, 'r'); }
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem*) override { FLog.emplace_back(FId, 'c'); }

private:
  std::vector<std::pair<int, char>>& FLog;
  int FId;
};

}  // namespace

TEST_F(EditProperties, RepositoryNamesItemsAndRefusesAWrongParent) {
  TOwnerComponent root;
  auto* repository = new TcxEditRepository(&root);
  repository->SetName(L"Repo");
  TcxEditRepositoryItem* text = repository->CreateItem(EditRepositoryItemClassOf<TcxEditRepositoryTextItem>());
  TcxEditRepositoryItem* plain = repository->CreateItemEx(EditRepositoryItemClassOf<TPlainItem>(), &root);
  EXPECT_EQ(L"RepoTextItem", text->GetBaseName());
  EXPECT_EQ(L"Repo", plain->GetBaseName());
  text->SetName(L"TextItem1");
  EXPECT_EQ(text, repository->ItemByName(L"textitem1"));
  EXPECT_EQ(nullptr, repository->ItemByName(L"none"));
  ASSERT_EQ(2, repository->Count());
  EXPECT_EQ(repository, text->GetParentComponent());
  EXPECT_TRUE(text->HasParent());
  EXPECT_EQ(text, text->Properties().Owner());

  std::vector<TComponent*> children;
  repository->GetChildren([&](TComponent* AChild) { children.push_back(AChild); }, &root);
  EXPECT_EQ(std::vector<TComponent*>{plain}, children) << "only the items the root owns";

  EXPECT_THROW(text->SetParentComponent(&root), EInvalidCast);
  EXPECT_EQ(repository, text->Repository()) << "unchanged";
  TcxEditRepository second(nullptr);
  text->SetParentComponent(&second);
  EXPECT_EQ(1, repository->Count());
  EXPECT_EQ(1, second.Count());
  text->SetRepository(nullptr);
  EXPECT_EQ(0, second.Count());
  delete text;
  repository->Clear();
  EXPECT_EQ(0, repository->Count());
}

TEST_F(EditProperties, RepositoryItemTellsListenersLastToFirst) {
  std::vector<std::pair<int, char>> log;
  TItemListener first(log, 1), second(log, 2);
  auto* item = new TcxEditRepositoryTextItem(nullptr);
  item->AddListener(&first);
  item->AddListener(&second);
  item->AddListener(&first);
  EXPECT_EQ(2, item->ListenerCount()) << "added once";
  item->Properties().SetTransparent(true);
  EXPECT_EQ((std::vector<std::pair<int, char>>{{2, 'c'}, {1, 'c'}}), log);
  log.clear();
  delete item;
  EXPECT_EQ((std::vector<std::pair<int, char>>{{1, 'r'}, {2, 'r'}}), log) << "removal goes first to last";
}

TEST_F(EditProperties, UnitRoutines) {
  EXPECT_EQ(8u, MouseButtonShiftFlag(TMouseButton::mbLeft));
  EXPECT_EQ(16u, MouseButtonShiftFlag(TMouseButton::mbRight));
  EXPECT_EQ(32u, MouseButtonShiftFlag(TMouseButton::mbMiddle));
  SIZE size{3, 9};
  EnlargeSize(size, SIZE{5, 4});
  EXPECT_EQ(5, size.cx);
  EXPECT_EQ(9, size.cy);
  TcxRegion empty, box(0, 0, 4, 4);
  EXPECT_TRUE(RegionIsEmpty(empty.Handle()));
  UniteRegionsInto(empty.Handle(), box.Handle());
  EXPECT_FALSE(RegionIsEmpty(empty.Handle()));

  TcxBitmap bitmap(10, 10);
  TcxCanvas& canvas = bitmap.cxCanvas();
  canvas.FillRect(RECT{0, 0, 10, 10}, clWhite);
  RECT r{0, 0, 10, 10};
  DrawEditFrameComplex(canvas, r, clRed, clBlue);
  EXPECT_EQ((RECT{1, 1, 9, 9}.left), r.left);
  EXPECT_EQ(8, r.right - r.left);
  EXPECT_EQ(ColorToRGB(clRed), GetPixel(canvas.Handle(), 0, 5));
  EXPECT_EQ(ColorToRGB(clBlue), GetPixel(canvas.Handle(), 9, 5));
  DrawEditFrameSingle(canvas, r, clLime);
  EXPECT_EQ(ColorToRGB(clLime), GetPixel(canvas.Handle(), 8, 1));
  EXPECT_EQ(ColorToRGB(clWhite), GetPixel(canvas.Handle(), 2, 2));

  TOwnerComponent owner;
  TcxCustomEditProperties p(&owner);
  EXPECT_EQ(&owner, OwnerComponentOf(&p.InnerAlignment()));
  EXPECT_EQ(nullptr, OwnerComponentOf(&TcxCustomEditProperties(nullptr).InnerAlignment()));
}

}  // namespace laf_editors_test
