// The editors' four string products: registered at start-up under distinct
// keys with every name and its default text, gone after shut-down, twice.
#include "EditorsTest.h"
#include "cxClasses.h"
#include "cxDataConsts.h"
#include "cxEditConsts.h"
#include "cxFilterConsts.h"
#include "cxFilterControlStrs.h"

#include <set>

using namespace tvk;

namespace laf_editors_test {

namespace {

struct TProductCase {
  const wchar_t* Key;
  int Count;
};

const TProductCase kProducts[] = {
    {kcxDataConstsProductName, 12}, {kcxEditConstsProductName, 111}, {kcxFilterConstsProductName, 50},
    {kcxFilterControlStrsProductName, 35}};

}  // namespace

using EditorStrings = EditorsUnits;

TEST_F(EditorStrings, FourProductsWithEveryNameAndATextEachTwice) {
  for (int round = 0; round < 2; ++round) {
    TdxResourceStringsRepository& repository = GetResourceStringsRepository();
    std::set<std::wstring> keys;
    for (const TProductCase& product : kProducts) {
      keys.insert(product.Key);
      const int index = repository.GetProductIndexByName(product.Key);
      ASSERT_GE(index, 0) << product.Key;
      TdxProductResourceStrings* strings = repository.ProductAt(index);
      EXPECT_EQ(product.Count, strings->ResStringsCount()) << product.Key;
      for (int i = 0; i < strings->ResStringsCount(); ++i) {
        const WideString name = strings->NameAt(i);
        const bool mayBeEmpty = name == L"cxSEditCheckBoxGrayed" || name == L"cxSRadioGroupDefaultCaption";
        EXPECT_EQ(mayBeEmpty, strings->TextAt(i).empty()) << name;
      }
    }
    EXPECT_EQ(std::size(kProducts), keys.size()) << "the keys are distinct";
    StopSteps(LookAndFeelEditorsSteps());
    for (const TProductCase& product : kProducts)
      EXPECT_LT(FindResourceStringsRepository()->GetProductIndexByName(product.Key), 0) << product.Key;
    for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup());
  }
}

TEST_F(EditorStrings, DefaultTextsThatOtherUnitsRelyOn) {
  struct TCase {
    TResStringRec* Rec;
    const wchar_t* Name;
    const wchar_t* Text;
  };
  const TCase cases[] = {
      {&cxSDataReadError, L"cxSDataReadError", L"Stream read error"},
      {&cxSDataWriteError, L"cxSDataWriteError", L"Stream write error"},
      {&cxSDBKeyFieldNotFound, L"cxSDBKeyFieldNotFound", L"Key Field not found"},
      {&cxSEditPostError, L"cxSEditPostError", L"An error occured during posting edit value"},
      {&cxSEditCheckBoxGrayed, L"cxSEditCheckBoxGrayed", L""},
      {&cxSRadioGroupDefaultCaption, L"cxSRadioGroupDefaultCaption", L""},
      {&scxRegExprIllegalSymbol, L"scxRegExprIllegalSymbol", L"Illegal '%s'"},
      {&scxSEditRepositoryTextItem, L"scxSEditRepositoryTextItem", L"TextEdit|Represents a single line text editor"},
      {&scxSEditRepositoryMemoItem, L"scxSEditRepositoryMemoItem",
       L"Memo|Represents an edit control that allows editing memo data"},
      {&sdxBreadcrumbEditInvalidPath, L"sdxBreadcrumbEditInvalidPath", nullptr},
      {&cxSFilterOperatorIsNull, L"cxSFilterOperatorIsNull", L"is blank"},
      {&cxSFilterBoxCustomCaption, L"cxSFilterBoxCustomCaption", L"(Custom...)"},
      {&cxSFilterBoxNonBlanksCaption, L"cxSFilterBoxNonBlanksCaption", L"(NonBlanks)"},
      {&cxSFilterBoolOperatorAnd, L"cxSFilterBoolOperatorAnd", L"AND"},
      {&cxSFilterControlDialogActionSaveHint, L"cxSFilterControlDialogActionSaveHint",
       L"Save As|Saves the active filter with a new name"},
      {&cxSFilterControlDialogFileFilter, L"cxSFilterControlDialogFileFilter", L"Filters (*.flt)|*.flt"},
  };
  for (const TCase& c : cases) {
    const WideString text = GetLocalizedResString(c.Rec);
    if (c.Text) {
      EXPECT_EQ(c.Text, text) << c.Name;
    }
    EXPECT_EQ(text, GetResourceStringsRepository().GetOriginalValue(c.Name)) << c.Name;
  }
}

TEST_F(EditorStrings, RepositoryDescriptionsNameTheKindThenDescribeIt) {
  TdxResourceStringsRepository& repository = GetResourceStringsRepository();
  TdxProductResourceStrings* strings = repository.ProductAt(repository.GetProductIndexByName(kcxEditConstsProductName));
  int descriptions = 0;
  for (int i = 0; i < strings->ResStringsCount(); ++i) {
    if (strings->NameAt(i).rfind(L"scxSEditRepository", 0) != 0) continue;
    ++descriptions;
    const WideString text = strings->TextAt(i);
    const auto bar = text.find(L'|');
    ASSERT_NE(WideString::npos, bar) << text;
    EXPECT_GT(bar, 0u) << text;
    EXPECT_LT(bar + 1, text.size()) << text;
    EXPECT_EQ(WideString::npos, text.find(L'|', bar + 1)) << text;
  }
  EXPECT_EQ(19, descriptions);
}

}  // namespace laf_editors_test
