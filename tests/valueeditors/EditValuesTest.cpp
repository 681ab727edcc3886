// Every editor hands its value over as a variant: what a host loads with
// SetEditValue comes back from GetEditValue of the editor's own kind, and the
// cell shows the text of its display rule.
#include "support/VariantValues.h"
#include "ValueEditorsTest.h"
#include "XPDXEdits.h"
#include "dxBlobEdit.h"
#include "dxCheckEdit.h"
#include "dxExUtils.h"
#include "dxGraphicEdit.h"
#include "dxImageEdit.h"
#include "dxMRUEdit.h"
#include "dxMemoEdit.h"
#include "dxPopupEdit.h"
#include "dxPopupEdits.h"
#include "dxValueEdits.h"
#include "dxValueText.h"

#include <functional>

using namespace tvk;
namespace valueeditors_test {

namespace {

struct MaskedEdit : TdxInplaceMaskEdit {
  explicit MaskedEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) { SetEditMask(L"00-00;1;_"); }
};

using EditorFactory = std::function<TdxInplaceEdit*(TComponent* owner)>;

template <class T>
EditorFactory Make(std::function<void(T&)> setUp = nullptr) {
  return [setUp](TComponent* owner) {
    T* edit = new T(owner);
    if (setUp) setUp(*edit);
    return edit;
  };
}

Variant PictureBytes() {
  TPicture picture;
  picture.Bitmap().SetPixelFormat(TPixelFormat::pf24bit);
  picture.Bitmap().SetSize(3, 2);
  return SavePictureToValue(&picture);
}

struct EditValues : FormFixture {
  TFormatSettingsScope Locale{Settings()};
  tvk_test::TCellHost* Host = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 200, 100);
    Form->Show();
  }
};

TEST_F(EditValues, EveryEditorGivesBackItsValueAsAVariantOfItsKind) {
  const double day = EncodeDate(2025, 1, 15);
  const Variant bytes = PictureBytes();
  const unsigned char raw[] = {0, 1, 2, 255};
  const Variant binary = VarArrayOfBytes(raw, sizeof raw);
  const auto nullable = [](TdxInplaceCurrencyEdit& e) { e.SetNullable(true); };
  const auto blobKind = [](TdxBlobEditKind kind) {
    return Make<TdxInplaceBlobEdit>([kind](TdxInplaceBlobEdit& e) { e.SetBlobEditKind(kind); });
  };
  struct Row {
    const char* Kind;
    EditorFactory Factory;
    Variant Value;
    WideString Shown;  // the text of the painted value
    Variant Back;      // GetEditValue afterwards
  };
  const Row rows[] = {
      {"text", Make<TdxInplaceTextEdit>(), L"abc", L"abc", L"abc"},
      {"text", Make<TdxInplaceTextEdit>(), Variant(std::int32_t(42)), L"42", L"42"},
      {"text", Make<TdxInplaceTextEdit>(), Null(), L"", L""},
      {"text", Make<TdxInplaceTextEdit>(), Unassigned(), L"", L""},
      {"mask", Make<MaskedEdit>(), L"12-34", L"12-34", L"12-34"},
      {"mask", Make<MaskedEdit>(), Null(), L"__-__", L"  -  "},
      {"memo", Make<TdxInplaceMemoEdit>(), L"a\r\nb", L"a\r\nb", L"a\r\nb"},
      {"memo", Make<TdxInplaceMemoEdit>(), Null(), L"", L""},
      {"drop-down", Make<TdxInplaceDropDownEdit>(), L"x", L"x", L"x"},
      {"buttons", Make<TdxInplaceButtonEdit>(), Unassigned(), L"", L""},
      {"pick", Make<TdxInplacePickEdit>(), L"two", L"two", L"two"},
      {"most recent", Make<TdxInplaceMRUEdit>(), Null(), L"", L""},
      {"calculator", Make<TdxInplaceCalcEdit>(), L"3.5", L"3.5", L"3.5"},
      {"hyperlink", Make<TdxInplaceHyperLinkEdit>(), L"http://a", L"http://a", L"http://a"},
      {"pop-up", Make<TdxInplacePopupEdit>(), L"p", L"p", L"p"},
      {"image", Make<TdxInplaceImageEdit>(), L"2", L"2", L"2"},
      {"themed", Make<TXPDXEdit>(), L"\u0416", L"\u0416", L"\u0416"},
      {"themed", Make<TXPDXEdit>(), Null(), L"", L""},
      {"date", Make<TdxInplaceDateEdit>(), VarFromDateTime(day), DateToText(day), VarFromDateTime(day)},
      {"date", Make<TdxInplaceDateEdit>(), Variant(day), DateToText(day), VarFromDateTime(day)},
      {"date", Make<TdxInplaceDateEdit>(), L"1/15/2025", DateToText(day), VarFromDateTime(day)},
      {"date", Make<TdxInplaceDateEdit>(), Null(), L"", Null()},
      {"date", Make<TdxInplaceDateEdit>(), Unassigned(), L"", Null()},
      {"check", Make<TdxInplaceCheckEdit>(), Variant(std::int32_t(1)), L"1", Variant(std::int32_t(1))},
      {"check", Make<TdxInplaceCheckEdit>(), L"2", L"2", Variant(std::int32_t(2))},
      {"check", Make<TdxInplaceCheckEdit>(), Null(), L"2", Variant(std::int32_t(2))},
      {"check", Make<TdxInplaceCheckEdit>(), Unassigned(), L"0", Variant(std::int32_t(0))},
      {"spin", Make<TdxInplaceSpinEdit>(), Variant(std::int32_t(7)), L"7", L"7"},
      {"spin", Make<TdxInplaceSpinEdit>(), Null(), L"", L""},
      {"time", Make<TdxInplaceTimeEdit>(), VarFromDateTime(45000.75), L"18:00:00", Variant(45000.75)},
      {"time", Make<TdxInplaceTimeEdit>(), Null(), L"00:00:00", VarFromCurrency(0)},
      {"time", Make<TdxInplaceTimeEdit>(), Unassigned(), L"00:00:00", VarFromCurrency(0)},
      {"currency", Make<TdxInplaceCurrencyEdit>(), L"12.5", L"$12.50", L"12.5"},
      {"currency", Make<TdxInplaceCurrencyEdit>(), Null(), L"$0.00", L""},
      {"currency", Make<TdxInplaceCurrencyEdit>(nullable), Null(), L"", Null()},
      {"currency", Make<TdxInplaceCurrencyEdit>(nullable), Unassigned(), L"", Null()},
      {"graphic", Make<TdxInplaceGraphicEdit>(), bytes, L"", bytes},
      {"graphic", Make<TdxInplaceGraphicEdit>(), Null(), L"", Null()},
      {"graphic", Make<TdxInplaceGraphicEdit>(), Unassigned(), L"", Null()},
      {"blob memo", blobKind(bekMemo), L"note", L"", L"note"},
      {"blob memo", blobKind(bekMemo), Null(), L"", Null()},
      {"blob picture", blobKind(bekPict), bytes, L"", bytes},
      {"blob picture", blobKind(bekPict), Unassigned(), L"", Null()},
      {"blob binary", blobKind(bekBlob), binary, L"", binary},
      {"blob binary", blobKind(bekOle), Null(), L"", Null()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Kind << " loaded with a variant of type " << VarType(row.Value));
    TdxInplaceEdit* edit = row.Factory(Host);
    edit->SetParent(Host);
    Host->Editor = edit;
    Host->BeginInitEdit();
    edit->SetEditValue(row.Value);
    edit->SetEditModified(false);
    edit->SetActive(true);
    Host->EndInitEdit();
    edit->Move(RECT{0, 0, 150, 20});
    EXPECT_EQ(row.Shown, EditValueText(edit->CreateViewData(true)->Data));
    EXPECT_EQ(row.Back, edit->GetEditValue());
    EXPECT_FALSE(edit->GetEditModified());
    // What the editor gave back loads an editor of its kind to the same value.
    const Variant back = edit->GetEditValue();
    edit->SetEditValue(back);
    EXPECT_EQ(row.Back, edit->GetEditValue());
    Host->Editor = nullptr;
    delete edit;
  }
}

}  // namespace

}  // namespace valueeditors_test
