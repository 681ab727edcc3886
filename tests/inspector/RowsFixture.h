#pragma once
// A row-based inspector named "Insp" on a shown form, whose new nodes get text rows.
#include "InspectorTest.h"

namespace inspector_test {

class TRowInspector : public tvk::TCustomdxInspectorControl {
public:
  using TCustomdxInspectorControl::TCustomdxInspectorControl;
  tvk::TdxInspectorRowClass GetDefaultRowClass() const override {
    return tvk::ComponentClassOf<tvk::TdxInspectorTextRow>();
  }
  using TCustomdxInspectorControl::MeasureRow;
  void HideDroppedRowForTest(tvk::TdxInspectorNode* node) {
    HideDroppedRow(static_cast<tvk::TdxInspectorRowNode*>(node));
  }
};

struct RowsFixture : ::testing::Test {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  TRowInspector* Insp = nullptr;
  int Errors = 0;

  void SetUp() override {
    tvk::Application().OnException = [this](tvk::TObject*, const std::exception_ptr&) { ++Errors; };
    Form->SetBounds(0, 0, 400, 400);
    Insp = tvk::CreateComponent<TRowInspector>(Form.get());
    Insp->SetName(L"Insp");
    Insp->SetBorderStyle(tvk::TdxInspectorBorderStyle::bsNone);
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 200, 180);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Pump();
    tvk::Application().OnException = nullptr;
  }

  // A text row with a caption and a text, shown at the top level.
  tvk::TdxInspectorTextRow* Text(const std::wstring& caption, const std::wstring& text = L"") {
    auto* row = static_cast<tvk::TdxInspectorTextRow*>(Insp->CreateRow(tvk::ComponentClassOf<tvk::TdxInspectorTextRow>()));
    row->SetCaption(caption);
    row->SetText(text);
    return row;
  }
  // The row names of the top level (or of Parent's children), in order.
  std::vector<std::wstring> Order(tvk::TdxInspectorNode* parent = nullptr) {
    std::vector<std::wstring> names;
    const int count = parent ? parent->Count() : Insp->Count();
    for (int i = 0; i < count; ++i) {
      auto* node = static_cast<tvk::TdxInspectorRowNode*>(parent ? parent->Items(i) : Insp->GetNode(i));
      names.push_back(node->Row() ? node->Row()->Name() : L"?");
    }
    return names;
  }
};

}  // namespace inspector_test
