#pragma once
// A fixture tree list in a window of a known client size, with bands built
// from column widths, and a 32-bit picture of its paint.
#include <memory>

#include "Forms.h"
#include "TreeListTest.h"

namespace treelist_test {

struct TTreeWindow {
  std::unique_ptr<tvk::TForm> Form;
  TTestTreeList* Tree = nullptr;

  TTreeWindow(int width, int height) : Form(tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)) {
    Form->SetBounds(0, 0, width + 100, height + 100);
    Tree = new TTestTreeList(Form.get());
    Tree->FBorderStyle = tvk::TdxBorderStyle::bsNone;
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, width, height);
    Tree->Handle();
  }
  TTestTreeList& operator*() { return *Tree; }
  TTestTreeList* operator->() { return Tree; }

  // Adds a band whose header rows hold columns of the given widths; answers the band's index.
  int AddBand(std::vector<std::vector<int>> rows, int minWidth = 10, bool sizable = true) {
    int band = int(Tree->Bands.size());
    TBand b;
    b.Width = 0;
    b.MinWidth = 20;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      std::vector<int> indexes;
      for (int width : rows[r]) {
        TColumn c = Column(width, minWidth, int(r));
        c.Band = band;
        c.Sizable = sizable;
        c.Caption = L"C" + std::to_wstring(Tree->Columns.size());
        indexes.push_back(int(Tree->Columns.size()));
        Tree->Columns.push_back(c);
      }
      b.Rows.push_back(indexes);
    }
    Tree->Bands.push_back(b);
    return band;
  }
};

// The tree's paint in a 32-bit picture of its client size, first filled with Background.
inline std::unique_ptr<tvk::TBitmap> PaintPicture(TTestTreeList& tree, tvk::TColor background = tvk::TColor(0xFF00FF)) {
  auto bitmap = std::make_unique<tvk::TBitmap>();
  bitmap->SetPixelFormat(tvk::TPixelFormat::pf32bit);
  RECT client = tree.ClientRect();
  bitmap->SetSize(client.right, client.bottom);
  tvk::TCanvas& canvas = bitmap->Canvas();
  canvas.Brush().SetColor(background);
  canvas.FillRect(client);
  tvk::TdxGridDrawInfo info;
  tree.CalcDrawInfo(info);
  tree.PaintArea(info, canvas);
  return bitmap;
}

inline COLORREF PixelAt(tvk::TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }
inline COLORREF Rgb(tvk::TColor color) { return tvk::ColorToRGB(color); }

}  // namespace treelist_test
