#pragma once
// A form-owned published tree list with columns and text nodes, counting
// the repaints and band notices it makes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "TreeListPublished.h"

namespace treelist_test {

class TCountingTreeList : public tvk::TdxTreeList {
public:
  TVK_CLASS(TCountingTreeList, tvk::TdxTreeList)
  explicit TCountingTreeList(tvk::TComponent* owner) : TdxTreeList(owner) {}
  using tvk::TComponent::SetComponentState;
  ~TCountingTreeList() override { PrepareDestroy(); }
  int Invalidations = 0;
  int BandNotices = 0;
  void Invalidate() override {
    ++Invalidations;
    TdxTreeList::Invalidate();
  }
  void BandsChanged() override {
    ++BandNotices;
    TdxTreeList::BandsChanged();
  }
};

// The form that owns the tree list and its columns.
struct TTreeForm {
  std::unique_ptr<tvk::TComponent> Form = std::make_unique<tvk::TComponent>(nullptr);
  TCountingTreeList* Tree;

  explicit TTreeForm(int columns = 0) {
    Tree = tvk::CreateComponent<TCountingTreeList>(Form.get());
    Tree->SetName(L"TL");
    for (int i = 0; i < columns; ++i) AddColumn();
  }
  tvk::TdxTreeListColumn* AddColumn(tvk::TComponentClass cls = tvk::ComponentClassOf<tvk::TdxTreeListColumn>()) {
    return Tree->CreateColumnEx(cls, Form.get());
  }
  // A top-level (or child) node with one text per column.
  tvk::TdxTreeListNode* AddNode(std::vector<std::wstring> texts, tvk::TdxTreeListNode* parent = nullptr) {
    tvk::TdxTreeListNode* node = parent ? parent->AddChild() : Tree->Add();
    for (int i = 0; i < int(texts.size()); ++i) node->SetString(i, texts[std::size_t(i)]);
    return node;
  }
};

inline std::vector<std::wstring> Strings(const tvk::TdxTreeListNode* node) {
  std::vector<std::wstring> result;
  auto* text = static_cast<const tvk::TdxTreeListTextNode*>(node);
  for (int i = 0; i < text->Strings.Count(); ++i) result.push_back(text->Strings.Get(i));
  return result;
}

}  // namespace treelist_test
