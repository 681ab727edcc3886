// A published tree list paints each cell's text through its column's editor
// class, windowless, and offers cells to the custom-draw handlers first.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Forms.h"
#include "TreeListEditors.h"
#include "TreeListPublished.h"

namespace treelist_test {
namespace {

using namespace tvk;

// Remembers the node it was preparing for; can be told to fail.
class TProbeColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TProbeColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  std::vector<TdxTreeListNode*> PreparedFor;
  bool Fail = false;
  bool Quiet = false;  // the test's own second drawing
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override {
    if (!Quiet) PreparedFor.push_back(ActualNode());
    if (Fail) throw std::runtime_error("prepare failed");
    TdxTreeListColumn::PrepareViewData(viewData, cell);
  }
};

// Draws every cell a second time, through the text editor class into Expected,
// and keeps the cells' texts and rectangles.
class TCellTree : public TdxTreeList {
public:
  TVK_CLASS(TCellTree, TdxTreeList)
  explicit TCellTree(TComponent* owner) : TdxTreeList(owner) {}
  ~TCellTree() override { PrepareDestroy(); }
  TBitmap* Expected = nullptr;
  std::vector<RECT> Rects;
  std::vector<std::wstring> Texts;
  void DrawCellValue(HDC dc, const RECT& rect, TdxTreeListCellViewData& cell, int column) override {
    if (Expected) {
      TdxTextEditViewData viewData;
      auto* probe = static_cast<TProbeColumn*>(Columns(column));
      probe->Quiet = true;
      probe->PrepareViewData(viewData, cell);
      probe->Quiet = false;
      viewData.ViewBounds = rect;
      InflateRect(&viewData.ViewBounds, 2, 2);
      EditorClassOf<TdxInplaceTextEdit>()->Functions().Draw(Expected->Canvas().Handle(), rect, viewData, nullptr);
    }
    Rects.push_back(rect);
    Texts.push_back(cell.Cell_Text);
    TdxTreeList::DrawCellValue(dc, rect, cell, column);
  }
};

std::unique_ptr<TBitmap> CellPicture(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf32bit);
  bitmap->SetSize(width, height);
  bitmap->Canvas().Brush().SetColor(TColor(0xFF00FF));
  RECT all{0, 0, width, height};
  bitmap->Canvas().FillRect(all);
  return bitmap;
}

// A form with a published tree list of one band, one column and text nodes.
struct TCellForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TCellTree* Tree;
  TProbeColumn* Column;
  explicit TCellForm(const std::vector<std::wstring>& texts) {
    Form->SetBounds(0, 0, 400, 300);
    Tree = CreateComponent<TCellTree>(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 240, 160);
    Column = static_cast<TProbeColumn*>(Tree->CreateColumnEx(ComponentClassOf<TProbeColumn>(), Form.get()));
    Column->SetCaption(L"Name");
    Column->SetWidth(200);
    for (const std::wstring& text : texts) Tree->Add()->SetString(0, text);
    Tree->Handle();
  }
  std::unique_ptr<TBitmap> Paint(TBitmap* expected = nullptr) {
    RECT client = Tree->ClientRect();
    auto picture = CellPicture(client.right, client.bottom);
    Tree->Expected = expected;
    Tree->Rects.clear();
    Tree->Texts.clear();
    TdxGridDrawInfo info;
    Tree->CalcDrawInfo(info);
    Tree->PaintArea(info, picture->Canvas());
    Tree->Expected = nullptr;
    return picture;
  }
};

COLORREF CellPixel(TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }

int CountCellColour(TBitmap& bitmap, const RECT& rect, COLORREF colour) {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) count += CellPixel(bitmap, x, y) == colour;
  return count;
}

TEST(TreeListCellPaint, EachCellShowsItsTextAsTheTextEditorClassDrawsIt) {
  TCellForm form({L"Alpha", L"Bravo", L"", L"Charlie"});
  RECT client = form.Tree->ClientRect();
  auto expected = CellPicture(client.right, client.bottom);
  auto picture = form.Paint(expected.get());
  ASSERT_EQ(form.Tree->Texts, (std::vector<std::wstring>{L"Alpha", L"Bravo", L"", L"Charlie"}));
  const COLORREF ink = ColorToRGB(clWindowText);
  for (std::size_t i = 0; i < form.Tree->Rects.size(); ++i) {
    const RECT& r = form.Tree->Rects[i];
    SCOPED_TRACE(testing::Message() << "cell " << i);
    int differing = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) differing += CellPixel(*picture, x, y) != CellPixel(*expected, x, y);
    EXPECT_EQ(differing, 0);
    // Text shows as ink; the empty cell has none.
    int inked = CountCellColour(*picture, r, ink);
    if (form.Tree->Texts[i].empty())
      EXPECT_EQ(inked, 0);
    else
      EXPECT_GT(inked, 10);
  }
  // Different texts give different pictures.
  const RECT& a = form.Tree->Rects[0];
  const RECT& b = form.Tree->Rects[1];
  int differing = 0;
  for (int y = 0; y < a.bottom - a.top; ++y)
    for (int x = 0; x < a.right - a.left; ++x)
      differing += CellPixel(*picture, a.left + x, a.top + y) != CellPixel(*picture, b.left + x, b.top + y);
  EXPECT_GT(differing, 10);
  // The column knew each cell's node only while painting it.
  std::vector<TdxTreeListNode*> nodes;
  for (int i = 0; i < form.Tree->Count(); ++i) nodes.push_back(form.Tree->GetItem(i));
  EXPECT_EQ(form.Column->PreparedFor, nodes);
  EXPECT_EQ(form.Column->ActualNode(), nullptr);
}

TEST(TreeListCellPaint, ViewDataFollowsTheCellAndTheColumn) {
  TCellForm form({L"x"});
  TdxTreeListCellViewData cell;
  cell.Cell_Text = L"Text";
  cell.Cell_TextLength = 2;
  cell.Cell_BkColor = clWindow;
  cell.Cell_TextColor = clRed;
  cell.Cell_Alignment = TAlignment::taRightJustify;
  cell.Cell_Rect = RECT{-2, -2, 52, 20};
  cell.Cell_DrawEndEllipsis = true;
  form.Column->SetPasswordChar(L'*');
  struct TCase {
    TdxLookAndFeel look;
    TTextLayout vert;
    bool multiLine, invertText;
    TdxEditButtonViewStyle buttons;
    TdxDrawAlignment draw;
  } cases[] = {
      {lfStandard, TTextLayout::tlTop, false, false, bts3D, daSingleLine},
      {lfFlat, TTextLayout::tlCenter, false, true, btsFlat, daVCenter},
      {lfUltraFlat, TTextLayout::tlBottom, false, false, btsHotFlat, daBottom},
      {lfStandard, TTextLayout::tlCenter, true, false, bts3D, daMultiLineVCenter},
      {lfStandard, TTextLayout::tlBottom, true, false, bts3D, daMultiLine},
  };
  for (const TCase& c : cases) {
    form.Tree->SetLookAndFeel(c.look);
    form.Column->SetVertAlignment(c.vert);
    cell.Cell_MultiLine = c.multiLine;
    cell.Cell_InvertText = c.invertText;
    TdxTextEditViewData data;
    form.Column->PrepareViewData(data, cell);
    EXPECT_EQ(data.ButtonStyle, c.buttons);
    EXPECT_EQ(data.DrawAlignment, c.draw);
    EXPECT_EQ(data.Transparent, c.invertText);
    EXPECT_EQ(data.NoTransparentText, c.invertText);
    EXPECT_TRUE(data.Enabled);
    EXPECT_EQ(data.Edges, kAllEdges);
    EXPECT_EQ(data.TextColor, ColorToRGB(clRed));
    EXPECT_EQ(data.Alignment, TAlignment::taRightJustify);
    EXPECT_EQ(VarToStr(data.Data), L"Text");
    EXPECT_EQ(data.DataLength, 2);
    EXPECT_EQ(data.OffsetSize.left, 1);
    EXPECT_EQ(data.ViewBounds.right, 52);
    EXPECT_EQ(data.PasswordChar, L'*');
    EXPECT_TRUE(data.EndEllipsis);
    EXPECT_FALSE(data.PathEllipsis);
  }
}

TEST(TreeListCellPaint, CustomDrawHandlersComeBeforeTheColumn) {
  struct TCase {
    const char* name;
    bool controlDone, narrowRenames, wideRenames;
    std::wstring drawn;
    bool columnAsked;
  } cases[] = {
      {"nothing done", false, false, false, L"Alpha", true},
      {"the control's handler finishes", true, false, false, L"", false},
      {"the narrow handler renames", false, true, false, L"Narrow", true},
      {"the wide handler renames last", false, true, true, L"Wide", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TCellForm form({L"Alpha"});
    bool columnAsked = false;
    form.Tree->OnCustomDraw = [&](TObject*, TCanvas&, RECT, TdxTreeListNode*, TdxTreeListColumn* column, bool, bool,
                                  bool, WideString&, TColor&, TFont&, TAlignment&, bool& done) {
      EXPECT_EQ(column, form.Column);
      done = c.controlDone;
    };
    form.Tree->OnCustomDrawCell = [&](TObject*, TCanvas&, RECT, TdxTreeListNode*, TdxTreeListColumn*, bool, bool,
                                      bool, WideString& text, TColor&, TFont&, TAlignment&, bool&) {
      if (c.narrowRenames) text = L"Narrow";
    };
    form.Tree->OnCustomDrawCellWide = [&](TObject*, TCanvas&, RECT, TdxTreeListNode*, TdxTreeListColumn*, bool,
                                          bool, bool, WideString& text, TColor&, TFont&, TAlignment&, bool&) {
      if (c.wideRenames) text = L"Wide";
    };
    form.Column->OnCustomDrawCell = [&](TObject* sender, TCanvas&, RECT, TdxTreeListNode*, TdxTreeListColumn*, bool,
                                        bool, bool, WideString&, TColor&, TFont&, TAlignment&, bool&) {
      EXPECT_EQ(sender, form.Column);
      columnAsked = true;
    };
    form.Paint();
    EXPECT_EQ(columnAsked, c.columnAsked);
    if (c.controlDone)
      EXPECT_TRUE(form.Tree->Texts.empty());
    else
      EXPECT_EQ(form.Tree->Texts, std::vector<std::wstring>{c.drawn});
  }
}

TEST(TreeListCellPaint, InvertedSelectionFramesTheCellAndAFailingColumnLetsGoOfItsNode) {
  struct TCase {
    bool leftEdge, rightEdge;
  } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const TCase& c : cases) {
    TCellForm form({L"Alpha"});
    auto picture = CellPicture(60, 20);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    TdxTreeListCellViewData cell;
    cell.Cell_InvertSelect = true;
    cell.Cell_Brush = red;
    cell.Cell_LeftEdge = c.leftEdge;
    cell.Cell_RightEdge = c.rightEdge;
    cell.Cell_Node = form.Tree->GetItem(0);
    const RECT rect{0, 0, 60, 20};
    form.Tree->TdxTreeList::DrawCellValue(picture->Canvas().Handle(), rect, cell, 0);
    DeleteObject(red);
    const COLORREF frame = RGB(255, 0, 0);
    EXPECT_EQ(CellPixel(*picture, 30, 0), frame);
    EXPECT_EQ(CellPixel(*picture, 30, 19), frame);
    EXPECT_EQ(CellPixel(*picture, 0, 10) == frame, c.leftEdge);
    EXPECT_EQ(CellPixel(*picture, 59, 10) == frame, c.rightEdge);

    form.Column->Fail = true;
    EXPECT_THROW(form.Tree->TdxTreeList::DrawCellValue(picture->Canvas().Handle(), rect, cell, 0),
                 std::runtime_error);
    EXPECT_EQ(form.Column->PreparedFor.back(), form.Tree->GetItem(0));
    EXPECT_EQ(form.Column->ActualNode(), nullptr);
  }
}

}  // namespace
}  // namespace treelist_test
