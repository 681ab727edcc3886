// The resource-string repository: products and their names, texts through the
// records, translation, and the listeners; LoadResString of the records.
#include "CoreServicesTest.h"

#include <memory>
#include <utility>
#include <vector>

using namespace tvk;
using coreservices_test::CoreServices;
using coreservices_test::StringTableModule;

namespace {

// The records of the tests' strings, all in one string table.
TResStringRec sBeta(101), sGamma(102), sDelta(103), sOther(104), sMissing(999);

class Repository : public CoreServices {
protected:
  static void SetUpTestSuite() {
    sTable = std::make_unique<StringTableModule>(std::map<UINT, std::wstring>{
        {101, L"Beta text"}, {102, L"Gamma text"}, {103, L"Delta text"}, {104, L"Other text"}});
    for (TResStringRec* rec : {&sBeta, &sGamma, &sDelta, &sOther, &sMissing}) rec->Module = sTable->Handle();
  }
  static void TearDownTestSuite() { sTable.reset(); }
  void SetUp() override { ASSERT_TRUE(sTable->Handle()) << "the string-table module could not be made"; }
  void TearDown() override {
    for (TResStringRec* rec : {&sBeta, &sGamma, &sDelta, &sOther}) rec->ResetTranslation();
    CoreServices::TearDown();
  }

  static std::unique_ptr<StringTableModule> sTable;
};
std::unique_ptr<StringTableModule> Repository::sTable;

int sProductsWhileAdding = -1;

void AddBetaGamma(TdxProductResourceStrings* product) {
  sProductsWhileAdding = GetResourceStringsRepository().ProductsCount();
  product->Add(L"gamma", &sGamma);
  product->Add(L"Beta", &sBeta);
}

void AddGammaDelta(TdxProductResourceStrings* product) {
  product->Add(L"Delta", &sDelta);
  product->Add(L"GAMMA", &sOther);  // another product's record under a known name
}

TEST(ResourceString, AnswersTheTableTextItsTranslationOrNothing) {
  StringTableModule table({{7, L"Seven"}, {40, L"Forty"}, {41, L""}});
  ASSERT_TRUE(table.Handle());
  TResStringRec seven(7, table.Handle()), forty(40, table.Handle()), empty(41, table.Handle()),
      absent(8, table.Handle());
  EXPECT_EQ(L"Seven", LoadResString(&seven));
  EXPECT_EQ(L"Forty", LoadResString(&forty));
  EXPECT_EQ(L"", LoadResString(&empty));
  EXPECT_EQ(L"", LoadResString(&absent));
  EXPECT_EQ(L"", LoadResString(nullptr));
  seven.SetTranslation(L"Sieben");
  EXPECT_EQ(L"Sieben", LoadResString(&seven));
  seven.ResetTranslation();
  EXPECT_EQ(L"Seven", LoadResString(&seven));
}

TEST_F(Repository, ProductNamesCompareExactlyStringNamesWithoutCase) {
  sProductsWhileAdding = -1;
  auto& repository = GetResourceStringsRepository();
  repository.RegisterProduct(L"Alpha", &AddBetaGamma);
  EXPECT_EQ(0, sProductsWhileAdding) << "names are added before the product is appended";
  ASSERT_EQ(1, repository.ProductsCount());
  TdxProductResourceStrings* alpha = repository.ProductAt(0);
  EXPECT_EQ(L"Alpha", alpha->Name());
  ASSERT_EQ(2, alpha->ResStringsCount());
  EXPECT_EQ(L"Beta", alpha->NameAt(0));  // sorted without regard to case
  EXPECT_EQ(L"gamma", alpha->NameAt(1));
  EXPECT_EQ(1, alpha->GetIndexByName(L"GAMMA"));
  EXPECT_EQ(0, alpha->GetIndexByName(L"beta"));
  EXPECT_EQ(-1, alpha->GetIndexByName(L"delta"));
  EXPECT_EQ(L"Gamma text", alpha->TextAt(1));
  EXPECT_EQ(&sGamma, alpha->ResStringAt(1));
  EXPECT_EQ(0, repository.GetProductIndexByName(L"Alpha"));
  EXPECT_EQ(-1, repository.GetProductIndexByName(L"alpha"));
  EXPECT_EQ(-1, repository.GetProductIndexByName(L"Beta"));
}

TEST_F(Repository, ANameAddedTwiceKeepsItsFirstRecord) {
  TdxProductResourceStrings product(L"Solo", nullptr);
  EXPECT_EQ(0, product.ResStringsCount());
  product.Add(L"Beta", &sBeta);
  product.Add(L"BETA", &sOther);
  product.Add(L"Beta", &sGamma);
  ASSERT_EQ(1, product.ResStringsCount());
  EXPECT_EQ(L"Beta", product.NameAt(0));
  EXPECT_EQ(&sBeta, product.ResStringAt(0));
  EXPECT_EQ(L"Beta text", product.TextAt(0));
  product.Clear();
  EXPECT_EQ(0, product.ResStringsCount());
  EXPECT_EQ(-1, product.GetIndexByName(L"Beta"));
}

TEST_F(Repository, OriginalValueComesFromTheFirstProductThatKnowsTheName) {
  auto& repository = GetResourceStringsRepository();
  repository.RegisterProduct(L"Alpha", &AddBetaGamma);
  repository.RegisterProduct(L"Second", &AddGammaDelta);
  EXPECT_EQ(L"Gamma text", repository.GetOriginalValue(L"gamma"));  // Alpha's record, not Second's
  EXPECT_EQ(L"Delta text", repository.GetOriginalValue(L"delta"));
  EXPECT_EQ(L"", repository.GetOriginalValue(L"epsilon"));
  repository.UnRegisterProduct(L"Alpha");
  EXPECT_EQ(L"Other text", repository.GetOriginalValue(L"gamma"));  // now Second answers
  // A translation is what the record answers from then on.
  sOther.SetTranslation(L"Translated");
  EXPECT_EQ(L"Translated", repository.GetOriginalValue(L"Gamma"));
}

TEST_F(Repository, ANameRegisteredTwiceMakesTwoProductsUnregisteredFirstFirst) {
  auto& repository = GetResourceStringsRepository();
  repository.RegisterProduct(L"Alpha", &AddBetaGamma);
  repository.RegisterProduct(L"Alpha", &AddGammaDelta);
  ASSERT_EQ(2, repository.ProductsCount());
  TdxProductResourceStrings* second = repository.ProductAt(1);
  repository.UnRegisterProduct(L"alpha");  // case counts: nothing
  EXPECT_EQ(2, repository.ProductsCount());
  repository.UnRegisterProduct(L"Alpha");
  ASSERT_EQ(1, repository.ProductsCount());
  EXPECT_EQ(second, repository.ProductAt(0));
  repository.UnRegisterProduct(L"Alpha");
  EXPECT_EQ(0, repository.ProductsCount());
  repository.UnRegisterProduct(L"Alpha");
  EXPECT_EQ(0, repository.ProductsCount());
}

// A listener that records its calls in a shared log.
class Listener : public IdxLocalizerListener {
public:
  Listener(std::vector<std::wstring>& log, std::wstring name) : FLog(log), FName(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IdxLocalizerListener)) {
      *out = static_cast<IdxLocalizerListener*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
  ULONG STDMETHODCALLTYPE Release() override { return --FReferences; }
  void STDMETHODCALLTYPE TranslationChanged() override {
    FLog.push_back(FName);
    if (OnChanged) OnChanged();
  }

  std::function<void()> OnChanged;
  ULONG FReferences = 0;

private:
  std::vector<std::wstring>& FLog;
  std::wstring FName;
};

TEST_F(Repository, TranslateHandsEveryStringToTheHandlerInProductAndNameOrder) {
  auto& repository = GetResourceStringsRepository();
  std::vector<std::wstring> log;
  Listener listener(log, L"listener");
  repository.AddListener(&listener);
  repository.RegisterProduct(L"Alpha", &AddBetaGamma);
  repository.RegisterProduct(L"Second", &AddGammaDelta);

  repository.Translate();  // no handler: nothing, and no listener either
  EXPECT_TRUE(log.empty());

  std::vector<std::pair<std::wstring, TResStringRec*>> calls;
  repository.OnTranslateResString = [&](const WideString& name, TResStringRec* rec) {
    calls.emplace_back(name, rec);
    rec->SetTranslation(L"<" + name + L">");
  };
  repository.Translate();
  std::vector<std::pair<std::wstring, TResStringRec*>> expected = {
      {L"Beta", &sBeta}, {L"gamma", &sGamma}, {L"Delta", &sDelta}, {L"GAMMA", &sOther}};
  EXPECT_EQ(expected, calls);
  EXPECT_TRUE(log.empty()) << "Translate does not notify the listeners";
  EXPECT_EQ(L"<gamma>", repository.GetOriginalValue(L"Gamma"));
  EXPECT_EQ(0u, listener.FReferences) << "the repository keeps no counted reference";
  repository.RemoveListener(&listener);
}

TEST_F(Repository, AProductReportsToTheProcessWideHandler) {
  // A product that no repository holds still reports to the singleton's handler.
  std::vector<std::wstring> names;
  GetResourceStringsRepository().OnTranslateResString = [&](const WideString& name, TResStringRec*) {
    names.push_back(name);
  };
  TdxProductResourceStrings product(L"Loose", &AddBetaGamma);
  product.TranslateStrings();
  product.TranslateString(1);
  EXPECT_EQ((std::vector<std::wstring>{L"Beta", L"gamma", L"gamma"}), names);
}

TEST_F(Repository, ListenersAreToldOnceEachInTheOrderTheyCame) {
  auto& repository = GetResourceStringsRepository();
  std::vector<std::wstring> log;
  Listener first(log, L"first"), second(log, L"second"), third(log, L"third");
  repository.AddListener(&first);
  repository.AddListener(&second);
  repository.AddListener(&first);  // already there
  repository.AddListener(&third);
  repository.NotifyListeners();
  EXPECT_EQ((std::vector<std::wstring>{L"first", L"second", L"third"}), log);

  log.clear();
  repository.RemoveListener(&second);
  repository.RemoveListener(&second);  // absent: nothing
  repository.NotifyListeners();
  EXPECT_EQ((std::vector<std::wstring>{L"first", L"third"}), log);
  EXPECT_EQ(2, repository.ListenersCount());
  repository.RemoveListener(&first);
  repository.RemoveListener(&third);
}

TEST_F(Repository, AListenerThatLeavesWhileBeingToldEndsNoRound) {
  auto& repository = GetResourceStringsRepository();
  std::vector<std::wstring> log;
  auto first = std::make_unique<Listener>(log, L"first");
  auto second = std::make_unique<Listener>(log, L"second");
  Listener third(log, L"third");
  // The first removes itself and the second, which is freed before its turn.
  first->OnChanged = [&] {
    repository.RemoveListener(first.get());
    repository.RemoveListener(second.get());
    second.reset();
  };
  repository.AddListener(first.get());
  repository.AddListener(second.get());
  repository.AddListener(&third);
  repository.NotifyListeners();
  EXPECT_EQ((std::vector<std::wstring>{L"first", L"third"}), log);
  EXPECT_EQ(1, repository.ListenersCount());
  repository.RemoveListener(&third);
}

}  // namespace
