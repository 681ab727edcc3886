// A published tree list offers its bands, headers, footers, previews and
// indicator cells to its custom-draw events, asks them for level colours and
// node images, and keeps the cursor and the parent form it was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "ImageLists.h"
#include "Panels.h"
#include "TreeListPublished.h"

namespace treelist_test {
namespace {

using namespace tvk;

// A form with a published tree list: one captioned band of two columns, a
// node with two children and a second node, bands and indicator shown.
struct TPanelForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TdxTreeList* Tree;
  TdxTreeListColumn* First;
  TdxTreeListColumn* Second;
  TdxTreeListNode* Parent;
  TPanelForm() {
    Form->SetName(L"PinForm");
    Form->SetBounds(0, 0, 400, 300);
    Tree = CreateComponent<TdxTreeList>(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 300, 200);
    Tree->Bands().GetItem(0)->SetCaption(L"Pins");
    First = Tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), Form.get());
    Second = Tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), Form.get());
    First->SetCaption(L"Name");
    Second->SetCaption(L"Net");
    Parent = Tree->Add();
    Parent->SetString(0, L"U1");
    Parent->AddChild()->SetString(0, L"A");
    Parent->AddChild()->SetString(0, L"B");
    Tree->Add()->SetString(0, L"U2");
    Tree->FShowBands = true;
    Tree->FShowIndicator = true;
    Tree->SetIndicatorWidth(12);
    Tree->Handle();
    Tree->LayoutChanged();
  }
  TdxGridDrawInfo Info() {
    TdxGridDrawInfo info;
    Tree->CalcDrawInfo(info);
    return info;
  }
  std::unique_ptr<TBitmap> Paint() {
    RECT client = Tree->ClientRect();
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(TPixelFormat::pf32bit);
    picture->SetSize(client.right, client.bottom);
    picture->Canvas().Brush().SetColor(TColor(0xFF00FF));
    picture->Canvas().FillRect(client);
    TdxGridDrawInfo info = Info();
    Tree->PaintArea(info, picture->Canvas());
    return picture;
  }
};

COLORREF PanelPixel(TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }

int CountPanelColour(TBitmap& bitmap, const RECT& rect, COLORREF colour) {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) count += PanelPixel(bitmap, x, y) == colour;
  return count;
}

TEST(TreeListPanelDraw, BandsGoToTheirEventAndPaintWhatItLeaves) {
  struct TCase {
    const char* name;
    bool done;
    TColor colour;
  } cases[] = {{"the handler paints", true, clLime}, {"the handler recolours", false, clYellow}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TPanelForm form;
    std::vector<TdxTreeListBand*> asked;
    form.Tree->OnCustomDrawBand = [&](TObject* sender, TdxTreeListBand* band, TCanvas& canvas, RECT rect,
                                      WideString& text, TColor& colour, TFont&, TAlignment&, bool& done) {
      EXPECT_EQ(sender, form.Tree);
      EXPECT_EQ(text, L"Pins");
      asked.push_back(band);
      colour = c.colour;
      if (c.done) {
        canvas.Brush().SetColor(c.colour);
        canvas.FillRect(rect);
      }
      done = c.done;
    };
    EXPECT_TRUE(form.Tree->IsCustomDrawBand(0));
    auto picture = form.Paint();
    ASSERT_EQ(asked, std::vector<TdxTreeListBand*>{form.Tree->Bands().GetItem(0)});
    RECT band = form.Info().BandsInfo.at(0).BandRect;
    InflateRect(&band, -3, -3);
    // Painted by the handler, or the band's own painting in the new colour.
    EXPECT_GT(CountPanelColour(*picture, band, ColorToRGB(c.colour)), (band.right - band.left) * 2);
  }
  TPanelForm plain;
  EXPECT_FALSE(plain.Tree->IsCustomDrawBand(0));
}

TEST(TreeListPanelDraw, HeadersGoToTheControlThenToTheColumn) {
  struct TCase {
    const char* name;
    bool controlHandler, controlDone, columnHandler;
    bool columnAsked;
    std::wstring caption;
  } cases[] = {
      {"no handler", false, false, false, false, L""},
      {"only the column's", false, false, true, true, L"Column"},
      {"the control's, not done", true, false, true, true, L"Column"},
      {"the control's finishes", true, true, true, false, L"Control"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TPanelForm form;
    bool columnAsked = false;
    std::wstring drawn;
    if (c.controlHandler)
      form.Tree->OnCustomDrawColumnHeader = [&](TObject* sender, TCanvas&, RECT, TdxTreeListColumn* column,
                                                WideString& text, TColor&, TFont&, TAlignment&,
                                                TdxTreeListColumnSort&, bool& done) {
        EXPECT_EQ(sender, form.Tree);
        if (column == form.First) {
          text = L"Control";
          drawn = text;
          done = c.controlDone;
        }
      };
    if (c.columnHandler)
      form.First->OnCustomDrawColumnHeader = [&](TObject* sender, TCanvas&, RECT, TdxTreeListColumn* column,
                                                 WideString& text, TColor&, TFont&, TAlignment&,
                                                 TdxTreeListColumnSort&, bool&) {
        EXPECT_EQ(sender, form.First);
        EXPECT_EQ(column, form.First);
        columnAsked = true;
        text = L"Column";
        drawn = text;
      };
    EXPECT_EQ(form.Tree->IsCustomDrawHeader(0), c.controlHandler || c.columnHandler);
    EXPECT_EQ(form.Tree->IsCustomDrawHeader(1), c.controlHandler);
    form.Paint();
    EXPECT_EQ(columnAsked, c.columnAsked);
    EXPECT_EQ(drawn, c.caption);
  }
}

TEST(TreeListPanelDraw, FootersGoToTheSummaryOrTheRowFooterEventWithATextCopy) {
  struct TCase {
    int footerIndex;
    bool summaryAsked, rowAsked;
  } cases[] = {{-1, true, false}, {0, false, true}, {2, false, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.footerIndex);
    TPanelForm form;
    EXPECT_FALSE(form.Tree->IsCustomDrawFooter(nullptr, 0, c.footerIndex));
    bool summaryAsked = false, rowAsked = false;
    form.Tree->OnCustomDrawFooter = [&](TObject*, TCanvas&, RECT, TdxTreeListNode* node, TdxTreeListColumn* column,
                                        WideString& text, TColor&, TFont&, TAlignment&, bool&) {
      EXPECT_EQ(node, nullptr);
      EXPECT_EQ(column, form.Second);
      summaryAsked = true;
      text = L"Total";
    };
    form.Tree->OnCustomDrawFooterNode = [&](TObject*, TCanvas&, RECT, TdxTreeListNode* node,
                                            TdxTreeListColumn* column, int footerIndex, WideString& text, TColor&,
                                            TFont&, TAlignment&, bool& done) {
      EXPECT_EQ(node, form.Parent);
      EXPECT_EQ(column, form.Second);
      EXPECT_EQ(footerIndex, c.footerIndex);
      rowAsked = true;
      text = L"Level";
      done = true;
    };
    EXPECT_TRUE(form.Tree->IsCustomDrawFooter(nullptr, 0, c.footerIndex));
    bool done = false;
    TAlignment alignment = TAlignment::taLeftJustify;
    TColor colour = clBtnFace;
    WideString text = L"Sum";
    TBitmap scratch;
    form.Tree->DoCustomDrawFooter(scratch.Canvas(), RECT{0, 0, 10, 10}, done, alignment, scratch.Canvas().Font(),
                                  colour, text, c.footerIndex, 1, c.footerIndex == -1 ? nullptr : form.Parent);
    EXPECT_EQ(summaryAsked, c.summaryAsked);
    EXPECT_EQ(rowAsked, c.rowAsked);
    EXPECT_EQ(done, c.rowAsked);
    EXPECT_EQ(text, c.summaryAsked ? L"Total" : L"Level");
  }
}

TEST(TreeListPanelDraw, PreviewsGoToBothEventsUntilOneFinishes) {
  struct TCase {
    bool previewDone;
    bool cellAsked;
  } cases[] = {{false, true}, {true, false}};
  for (const TCase& c : cases) {
    TPanelForm form;
    EXPECT_FALSE(form.Tree->IsCustomDrawPreview());
    std::vector<std::wstring> seen;
    bool cellAsked = false;
    form.Tree->OnCustomDrawPreview = [&](TObject*, TCanvas&, RECT, TdxTreeListNode* node, bool selected,
                                         WideString& text, TColor& textColour, TColor&, TFont&, bool& done) {
      EXPECT_EQ(node, form.Parent);
      EXPECT_TRUE(selected);
      seen.push_back(text);
      text = L"changed";
      textColour = clRed;
      done = c.previewDone;
    };
    EXPECT_TRUE(form.Tree->IsCustomDrawPreview());
    form.Tree->OnCustomDrawPreviewCell = [&](TObject*, TCanvas&, RECT, TdxTreeListNode*, bool, WideString& text,
                                             TColor& textColour, TColor&, TFont&, bool&) {
      cellAsked = true;
      EXPECT_EQ(text, L"changed");
      EXPECT_EQ(textColour, clRed);
    };
    bool done = false;
    TColor textColour = clBlack, colour = clWindow;
    WideString text = L"preview";
    TBitmap scratch;
    form.Tree->DoCustomDrawPreview(scratch.Canvas(), RECT{0, 0, 10, 10}, done, scratch.Canvas().Font(), textColour,
                                   colour, text, true, form.Parent);
    EXPECT_EQ(seen, std::vector<std::wstring>{L"preview"});
    EXPECT_EQ(cellAsked, c.cellAsked);
    EXPECT_EQ(done, c.previewDone);
  }
}

TEST(TreeListPanelDraw, IndicatorCellsDrawOnTheirBitmapInTheHeaderFontAndColour) {
  TPanelForm form;
  form.Tree->FHeaderColor = clAqua;
  form.Tree->FHeaderFont.SetName(L"Courier New");
  std::vector<TdxGridIndicatorKind> kinds;
  form.Tree->OnCustomDrawIndicator = [&](TObject*, TCanvas& canvas, RECT rect, TdxTreeListNode* node,
                                         TdxGridIndicatorKind kind, TColor& colour, TFont& font, bool& done) {
    EXPECT_EQ(colour, clAqua);
    EXPECT_EQ(font.Name(), L"Courier New");
    EXPECT_EQ(rect.left, 0);  // the cell's own bitmap
    EXPECT_EQ(rect.top, 0);
    kinds.push_back(kind);
    if (node == form.Parent) {
      canvas.Brush().SetColor(clLime);
      canvas.FillRect(rect);
      done = true;
    }
  };
  form.Tree->SetFocusedNode(form.Parent);
  auto picture = form.Paint();
  ASSERT_FALSE(kinds.empty());
  EXPECT_EQ(kinds.front(), ikArrow);  // the focused row first
  TdxGridDrawInfo info = form.Info();
  int top = info.CellsRect.top;
  RECT first{info.IndicatorRect.left, top, info.IndicatorRect.right, top + info.RowsInfo.at(0).RowHeight};
  top = first.bottom;
  RECT second{info.IndicatorRect.left, top, info.IndicatorRect.right, top + info.RowsInfo.at(1).RowHeight};
  int area = (first.right - first.left) * (first.bottom - first.top);
  EXPECT_EQ(CountPanelColour(*picture, first, ColorToRGB(clLime)), area);
  EXPECT_EQ(CountPanelColour(*picture, second, ColorToRGB(clLime)), 0);  // drawn by the tree list
}

TEST(TreeListPanelDraw, LevelColoursComeFromTheEvent) {
  TPanelForm form;
  form.Tree->SetPaintStyle(psOutlook);
  form.Parent->SetExpanded(true);
  EXPECT_FALSE(form.Tree->IsLevelColor());
  std::vector<int> levels;
  form.Tree->OnGetLevelColor = [&](TObject* sender, int level, TColor& colour) {
    EXPECT_EQ(sender, form.Tree);
    EXPECT_EQ(colour, form.Tree->FGroupColor);
    levels.push_back(level);
    colour = clRed;
  };
  EXPECT_TRUE(form.Tree->IsLevelColor());
  auto picture = form.Paint();
  ASSERT_FALSE(levels.empty());  // the group row's cells, all of level 0
  EXPECT_EQ(std::count(levels.begin(), levels.end(), 0), std::ptrdiff_t(levels.size()));
  TdxGridDrawInfo info = form.Info();
  EXPECT_EQ(PanelPixel(*picture, info.CellsRect.left + 150, info.CellsRect.top + 3), ColorToRGB(clRed));
}

TEST(TreeListPanelDraw, NodeImagesMayBeReplacedPerNode) {
  TPanelForm form;
  TImageList small(form.Form.get()), large(form.Form.get());
  small.SetSize(16, 16);
  large.SetSize(24, 24);
  form.Tree->SetImages(&small);
  TdxTreeListNode* other = form.Tree->GetItem(1);
  EXPECT_EQ(form.Tree->GetNodeImages(form.Parent), &small);
  form.Tree->OnGetUsedImages = [&](TObject* sender, TdxTreeListNode* node, TImageList*& images) {
    EXPECT_EQ(sender, form.Tree);
    EXPECT_EQ(images, &small);
    if (node == other) images = &large;
  };
  EXPECT_EQ(form.Tree->GetNodeImages(form.Parent), &small);
  EXPECT_EQ(form.Tree->GetNodeImages(other), &large);
  EXPECT_EQ(form.Tree->GetNodeImageHeight(other), 24);
  form.Tree->OnGetUsedImages = [](TObject*, TdxTreeListNode*, TImageList*& images) { images = nullptr; };
  EXPECT_EQ(form.Tree->GetNodeImageWidth(other), 0);
}

TEST(TreeListPanelDraw, ACursorSetFromOutsideBecomesTheDefaultOne) {
  TPanelForm form;
  form.Tree->SetCursor(crHandPoint);
  EXPECT_EQ(form.Tree->FDefaultCursor, crHandPoint);
  // The control's own cursor changes (hot tracking) leave the default alone.
  form.Tree->FCursorChange = true;
  form.Tree->SetCursor(crIBeam);
  form.Tree->FCursorChange = false;
  EXPECT_EQ(form.Tree->FDefaultCursor, crHandPoint);
  EXPECT_EQ(form.Tree->Cursor(), crIBeam);
}

TEST(TreeListPanelDraw, TheParentFormsNameIsRemembered) {
  TPanelForm form;
  EXPECT_EQ(form.Tree->ParentFormName(), L"PinForm");
  // On a panel of another form: that form's name; taken off a parent, the last name stays.
  std::unique_ptr<TForm> other{CreateComponent<TForm>(nullptr, kCreateNew)};
  other->SetName(L"NetForm");
  TPanel* panel = CreateComponent<TPanel>(other.get());
  panel->SetParent(other.get());
  form.Tree->SetParent(panel);
  EXPECT_EQ(form.Tree->ParentFormName(), L"NetForm");
  form.Tree->SetParent(nullptr);
  EXPECT_EQ(form.Tree->ParentFormName(), L"NetForm");
}

}  // namespace
}  // namespace treelist_test
