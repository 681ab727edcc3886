// Metafile and clipboard export: face names prepared for output, at most 500
// rows, unscrolled positions, both clipboard formats, and nothing changed afterwards.
#include "Clipbrd.h"
#include "Forms.h"
#include "PublishedTreeList.h"

namespace treelist_test {
namespace {

// The metafile's wide texts with their x positions, and the faces of its fonts.
struct TMetafileContents {
  std::vector<std::pair<std::wstring, int>> Texts;
  std::vector<std::pair<std::wstring, int>> Faces;  // face name, output precision
  int XOf(const std::wstring& text) const {
    for (const auto& [t, x] : Texts)
      if (t == text) return x;
    return -1;
  }
  int TextsStartingWith(wchar_t first) const {
    return int(std::count_if(Texts.begin(), Texts.end(), [&](const auto& t) { return !t.first.empty() && t.first[0] == first; }));
  }
  bool HasFace(const std::wstring& face) const {
    return std::any_of(Faces.begin(), Faces.end(), [&](const auto& f) { return f.first == face; });
  }
};

int CALLBACK ContentRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  auto& c = *reinterpret_cast<TMetafileContents*>(data);
  if (record->iType == EMR_EXTTEXTOUTW) {
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* chars =
        reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
    c.Texts.emplace_back(std::wstring(chars, text->emrtext.nChars), int(text->emrtext.ptlReference.x));
  } else if (record->iType == EMR_EXTCREATEFONTINDIRECTW) {
    const auto* font = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record);
    c.Faces.emplace_back(font->elfw.elfLogFont.lfFaceName, font->elfw.elfLogFont.lfOutPrecision);
  }
  return 1;
}

TMetafileContents Contents(HENHMETAFILE metafile) {
  TMetafileContents contents;
  EnumEnhMetaFile(nullptr, metafile, &ContentRecord, &contents, nullptr);
  return contents;
}

// A shown tree list, 300 pixels wide over two 300-pixel columns, with 600 rows.
struct TExportTree {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  tvk::TdxTreeList* Tree = tvk::CreateComponent<tvk::TdxTreeList>(Form.get());
  TExportTree() {
    Form->SetBounds(0, 0, 500, 400);
    Tree->SetBounds(0, 0, 300, 200);
    for (const wchar_t* caption : {L"Pin", L"Net"}) {
      tvk::TdxTreeListColumn* column = Tree->CreateColumnEx(tvk::ComponentClassOf<tvk::TdxTreeListColumn>(), Form.get());
      column->SetCaption(caption);
      column->SetWidth(300);
    }
    Tree->Font().SetName(L"MS Sans Serif");
    Tree->FHeaderFont.SetName(L"Arial");
    Tree->BeginUpdate();
    for (int i = 0; i < 600; ++i) {
      tvk::TdxTreeListNode* node = Tree->Add();
      wchar_t text[8];
      swprintf(text, 8, L"R%03d", i);
      node->SetString(0, text);
      node->SetString(1, L"M");
    }
    Tree->EndUpdate();
    Tree->SetParent(Form.get());
    Tree->HandleNeeded();
  }
};

TEST(TreeListExport, TheMetafileShowsAtMost500RowsInOutputFacesAndPutsEverythingBack) {
  TExportTree shown;
  tvk::TdxTreeList& tree = *shown.Tree;
  const tvk::TdxTreeListOptions options = tree.Options();
  const bool showRoot = tree.FShowRoot;
  tvk::TMetafile metafile;
  tree.DrawTreeListToMetaFile(metafile, false);
  const TMetafileContents contents = Contents(metafile.Handle());
  EXPECT_EQ(500, contents.TextsStartingWith(L'R'));
  EXPECT_NE(-1, contents.XOf(L"R499"));
  EXPECT_EQ(-1, contents.XOf(L"R500"));
  EXPECT_NE(-1, contents.XOf(L"Net"));
  EXPECT_TRUE(contents.HasFace(L"Microsoft Sans Serif"));
  EXPECT_FALSE(contents.HasFace(L"MS Sans Serif"));
  for (const auto& [face, precision] : contents.Faces) {
    if (face == L"Arial") {
      EXPECT_EQ(OUT_TT_ONLY_PRECIS, precision);
    }
  }
  EXPECT_TRUE(contents.HasFace(L"Arial"));
  EXPECT_GT(metafile.Width(), 300) << "as wide as both columns, not the window";

  EXPECT_EQ(L"MS Sans Serif", tree.Font().Name());
  EXPECT_EQ(L"Arial", tree.FHeaderFont.Name());
  EXPECT_EQ(OUT_DEFAULT_PRECIS, tree.FHeaderFont.OutputPrecision());
  EXPECT_EQ(options, tree.Options());
  EXPECT_EQ(showRoot, tree.FShowRoot);
  EXPECT_EQ(tvk::lfStandard, tree.LookAndFeel());
  EXPECT_FALSE(tree.FDrawNonVisibleParts);
  EXPECT_FALSE(tree.FDisableHeaderImages);

  // Only the selection: the panels and no rows.
  tvk::TMetafile selected;
  tree.DrawTreeListToMetaFile(selected, true);
  const TMetafileContents none = Contents(selected.Handle());
  EXPECT_EQ(0, none.TextsStartingWith(L'R'));
  EXPECT_NE(-1, none.XOf(L"Pin"));
}

TEST(TreeListExport, TheClipboardGetsTextAndAnUnscrolledPictureAndTheListStaysScrolled) {
  TExportTree shown;
  tvk::TdxTreeList& tree = *shown.Tree;
  tvk::TMetafile unscrolled;
  tree.DrawTreeListToMetaFile(unscrolled, false);
  const int netX = Contents(unscrolled.Handle()).XOf(L"Net");
  tree.SetLeftCoord(120);
  ASSERT_EQ(120, tree.LeftCoord());
  tree.CopyTreeListToClipboard(false);
  EXPECT_EQ(120, tree.LeftCoord());
  ASSERT_TRUE(tvk::Clipboard().HasFormat(CF_UNICODETEXT));
  ASSERT_TRUE(tvk::Clipboard().HasFormat(CF_ENHMETAFILE));
  EXPECT_EQ(0u, tvk::Clipboard().AsText().find(L"Pin\tNet"));
  tvk::Clipboard().Open();
  const TMetafileContents copied = Contents(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)));
  tvk::Clipboard().Close();
  EXPECT_EQ(netX, copied.XOf(L"Net"));
  tvk::Clipboard().Clear();
}

}  // namespace
}  // namespace treelist_test
