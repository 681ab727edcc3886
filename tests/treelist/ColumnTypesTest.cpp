// The column types: the cell text an editor gets and the text it leaves,
// the settings each type hands to its own kind of editor only, and the cells
// each type paints without a window.
#include <gtest/gtest.h>

#include <functional>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ClassRegistry.h"
#include "Forms.h"
#include "ImageLists.h"
#include "LocaleFormats.h"
#include "TreeListPublished.h"
#include "dxExUtils.h"
#include "dxTLClms.h"

namespace treelist_test {
namespace {

using namespace tvk;

// A form with a published tree list holding one column of type T (and a
// text column before it) and one node per given text.
template <class T>
struct TTypedForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TdxTreeList* Tree;
  TdxTreeListColumn* Text;
  T* Column;
  explicit TTypedForm(const std::vector<std::wstring>& texts = {L""}) {
    Form->SetBounds(0, 0, 400, 300);
    Tree = CreateComponent<TdxTreeList>(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 300, 200);
    Text = Tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), Form.get());
    Column = static_cast<T*>(Tree->CreateColumnEx(ComponentClassOf<T>(), Form.get()));
    Column->SetWidth(120);
    for (const std::wstring& text : texts) Tree->Add()->SetString(1, text);
    Tree->Handle();
  }
  TdxTreeListNode* Node(int i = 0) { return Tree->GetItem(i); }
  // The column's own editor, set up as the tree list sets up its editors.
  TdxInplaceEdit* Editor() {
    TdxInplaceEdit* editor = Column->GetEditorClass()->Create(Tree);
    Column->InitEditor(editor);
    return editor;
  }
};

TEST(TreeListColumnTypes, FifteenClassesAreRegisteredAndTheCheckTextsLoaded) {
  const wchar_t* names[] = {L"TdxTreeListMemoColumn",    L"TdxTreeListDateColumn",   L"TdxTreeListButtonColumn",
                            L"TdxTreeListCheckColumn",   L"TdxTreeListImageColumn",  L"TdxTreeListSpinColumn",
                            L"TdxTreeListPickColumn",    L"TdxTreeListCalcColumn",   L"TdxTreeListHyperLinkColumn",
                            L"TdxTreeListTimeColumn",    L"TdxTreeListCurrencyColumn", L"TdxTreeListGraphicColumn",
                            L"TdxTreeListBlobColumn",    L"TdxTreeListMRUColumn",    L"TdxTreeListWrapperColumn"};
  for (const wchar_t* name : names) EXPECT_NE(GetClass(name), nullptr) << std::wstring(name).size();
  EXPECT_EQ(GetClass(L"TdxTreeListDropDownColumn"), nullptr);
  EXPECT_EQ(DefaultCheckedText(), L"True");
  EXPECT_EQ(DefaultUncheckedText(), L"False");
  // Entered again, the unit does its work once; the pair stays balanced.
  EXPECT_TRUE(ColumnTypesUnitStartup());
  ColumnTypesUnitShutdown();
  EXPECT_NE(GetClass(L"TdxTreeListCheckColumn"), nullptr);
}

TEST(TreeListColumnTypes, SpinCellsRoundHalvesToEvenOrKeepFifteenDigits) {
  struct TCase {
    std::wstring before;
    std::wstring loaded;
    TdxValueType type;
    double typed;
    std::wstring after;
  } cases[] = {
      {L"7", L"7", vtInt, 2.5, L"2"},     {L"", L"0", vtInt, 3.5, L"4"},
      {L"abc", L"0", vtInt, -2.5, L"-2"}, {L"1.25", L"1.25", vtFloat, 2.5, L"2.5"},
      {L"3", L"3", vtFloat, 1.0 / 3, L"0.333333333333333"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.before.begin(), c.before.end()));
    TTypedForm<TdxTreeListSpinColumn> form({c.before});
    form.Column->SetValueType(c.type);
    auto* spin = static_cast<TdxInplaceSpinEdit*>(form.Editor());
    Variant value;
    form.Column->InitEditValue(form.Node(), spin, value);
    EXPECT_EQ(VarToStr(value), c.loaded);
    spin->SetValue(c.typed);
    form.Column->AssignEditValue(form.Node(), spin, value);
    EXPECT_EQ(form.Node()->GetString(1), c.after);
    EXPECT_EQ(VarToStr(value), c.after);
  }
}

TEST(TreeListColumnTypes, CheckCellsTakeTheirStateFromTheValueTexts) {
  struct TCase {
    std::wstring before;
    TdxCheckBoxState loaded;
    std::wstring shown;
    TdxCheckBoxState set;
    std::wstring after;
  } cases[] = {
      {L"TRUE", cbsChecked, L"True", cbsUnchecked, L"False"},
      {L"false", cbsUnchecked, L"False", cbsChecked, L"True"},
      {L"yes", cbsGrayed, L"", cbsGrayed, L""},
      {L"", cbsGrayed, L"", cbsChecked, L"True"},
  };
  for (const TCase& c : cases) {
    TTypedForm<TdxTreeListCheckColumn> form({c.before});
    auto* check = static_cast<TdxInplaceCheckEdit*>(form.Editor());
    EXPECT_EQ(check->Alignment(), TAlignment::taCenter);
    Variant value;
    form.Column->InitEditValue(form.Node(), check, value);
    EXPECT_EQ(check->State(), c.loaded);
    EXPECT_EQ(VarToStr(form.Column->GetDisplayValue(form.Node(), Variant(c.before))), c.shown);
    check->SetState(c.set);
    form.Column->AssignEditValue(form.Node(), check, value);
    EXPECT_EQ(form.Node()->GetString(1), c.after);
  }
}

TEST(TreeListColumnTypes, ToggleClicksAreReportedButNotWhileTheEditorIsLoaded) {
  TTypedForm<TdxTreeListCheckColumn> form({L"False"});
  auto* check = static_cast<TdxInplaceCheckEdit*>(form.Editor());
  std::vector<std::pair<std::wstring, TdxCheckBoxState>> toggles;
  form.Column->OnToggleClick = [&](TObject* sender, const WideString& text, TdxCheckBoxState state) {
    EXPECT_EQ(sender, form.Column);
    toggles.emplace_back(text, state);
  };
  check->SetState(cbsChecked);  // the editor reports its change
  form.Tree->BeginInitEdit();
  check->SetState(cbsUnchecked);
  form.Tree->EndInitEdit();
  ASSERT_EQ(toggles.size(), 1u);
  EXPECT_EQ(toggles[0].first, L"True");
  EXPECT_EQ(toggles[0].second, cbsChecked);
  EXPECT_EQ(form.Column->GetMinCellHeight(form.Tree->Canvas()), StandardCheckHeight() + 2);
}

TEST(TreeListColumnTypes, TimeAndCurrencyZeroLeaveAnEmptyCell) {
  {
    TTypedForm<TdxTreeListTimeColumn> form({L"10:30:00"});
    auto* time = static_cast<TdxInplaceTimeEdit*>(form.Editor());
    Variant value;
    form.Column->InitEditValue(form.Node(), time, value);
    EXPECT_NE(time->GetValue(), 0);
    form.Column->AssignEditValue(form.Node(), time, value);
    EXPECT_FALSE(form.Node()->GetString(1).empty());
    time->SetText(L"00:00:00");
    form.Column->AssignEditValue(form.Node(), time, value);
    EXPECT_EQ(form.Node()->GetString(1), L"");
  }
  struct TCase {
    std::wstring before;
    double loaded;
    std::wstring editorText;
  } cases[] = {{L"12.5", 12.5, L"12.5"}, {L"", 0, L""}, {L"0", 0, L""}, {L"abc", 0, L""}};
  for (const TCase& c : cases) {
    TTypedForm<TdxTreeListCurrencyColumn> form({c.before});
    auto* currency = static_cast<TdxInplaceCurrencyEdit*>(form.Editor());
    EXPECT_EQ(currency->DisplayFormat(), L"");  // the editor shows plain numbers
    Variant value;
    form.Column->InitEditValue(form.Node(), currency, value);
    EXPECT_DOUBLE_EQ(currency->GetValue(), c.loaded);
    EXPECT_EQ(currency->EditText(), c.editorText);
    form.Column->AssignEditValue(form.Node(), currency, value);
    EXPECT_EQ(form.Node()->GetString(1), c.loaded != 0 ? c.before : L"");
  }
}

TEST(TreeListColumnTypes, CurrencyCellsShowTheDisplayFormatWhichFollowsTheLocaleUntilSet) {
  TTypedForm<TdxTreeListCurrencyColumn> form;
  TdxTreeListCellViewData cell;
  TdxTextEditViewData data;
  struct TCase {
    std::wstring text, shown;
  } cases[] = {{L"1234.5", L"1234.50"}, {L"", L"0.00"}, {L"n/a", L"n/a"}};
  form.Column->SetDisplayFormat(L"0.00");
  for (const TCase& c : cases) {
    cell.Cell_Text = c.text;
    form.Column->PrepareViewData(data, cell);
    EXPECT_EQ(VarToStr(data.Data), c.shown);
  }
  // A format never set follows the locale; a set one stays.
  TTypedForm<TdxTreeListCurrencyColumn> plain;
  TFormatSettings euro = FormatSettings();
  euro.CurrencyString = L"EUR";
  euro.CurrencyFormat = 3;
  {
    TFormatSettingsScope scope(euro);
    // Heard through the tree list, as a change of the user's settings reaches it.
    plain.Tree->Perform(CM_WININICHANGE, 0, 0);
    form.Tree->Perform(CM_WININICHANGE, 0, 0);
    EXPECT_EQ(plain.Column->DisplayFormat(), BuildCurrencyDisplayFormat());
    EXPECT_NE(plain.Column->DisplayFormat().find(L"EUR"), std::wstring::npos);
  }
  EXPECT_EQ(form.Column->DisplayFormat(), L"0.00");
  EXPECT_TRUE(form.Column->DisplayFormatStored());
  EXPECT_FALSE(plain.Column->DisplayFormatStored());
}

TEST(TreeListColumnTypes, ImageCellsMapTheirTextsToPicturesAndDescriptions) {
  TTypedForm<TdxTreeListImageColumn> form;
  TStringList values, indexes, descriptions;
  values.Add(L"a");
  values.Add(L"b");
  indexes.Add(L"5");
  indexes.Add(L"x");
  descriptions.Add(L"Alpha");
  form.Column->SetValues(values);
  form.Column->SetImageIndexes(indexes);
  form.Column->SetDescriptions(descriptions);
  EXPECT_EQ(form.Column->GetImageIndex(L"a"), 0);  // default images: the position
  form.Column->SetDefaultImages(false);
  struct TCase {
    std::wstring text;
    int image, description;
    std::wstring shown;
  } cases[] = {{L"a", 5, 0, L"Alpha"}, {L"b", -1, -1, L"b"}, {L"c", -1, -1, L"c"}};
  for (const TCase& c : cases) {
    int image = -2, description = -2;
    form.Column->GetIndexes(c.text, image, description);
    EXPECT_EQ(image, c.image);
    EXPECT_EQ(description, c.description);
    EXPECT_EQ(VarToStr(form.Column->GetDisplayValue(nullptr, Variant(c.text))), c.shown);
  }
  // A freed image list leaves the column.
  auto* images = new TImageList(form.Form.get());
  images->SetSize(16, 20);
  form.Column->SetImages(images);
  EXPECT_EQ(form.Column->GetMinCellHeight(form.Tree->Canvas()), 20);
  delete images;
  EXPECT_EQ(form.Column->Images(), nullptr);
}

TEST(TreeListColumnTypes, ButtonStylesMakeAndClearTheFirstButton) {
  TTypedForm<TdxTreeListButtonColumn> form;
  EXPECT_EQ(form.Column->Buttons().Count(), 1);
  form.Column->SetEditButtonStyle(ebsSimple);
  EXPECT_EQ(form.Column->Buttons().Count(), 0);
  form.Column->SetEditButtonStyle(ebsDown);
  ASSERT_EQ(form.Column->Buttons().Count(), 1);
  EXPECT_EQ(form.Column->Buttons().GetItem(0)->Kind(), bkDown);
  form.Column->SetButtonOnly(true);
  auto* editor = static_cast<TdxInplaceButtonEdit*>(form.Editor());
  EXPECT_EQ(editor->ViewStyle(), vsButtonOnly);
  EXPECT_EQ(editor->Buttons().Count(), 1);
  form.Column->RestoreDefaults();
  EXPECT_EQ(form.Column->Buttons().Count(), 1);
  EXPECT_EQ(form.Column->Buttons().GetItem(0)->Kind(), bkEllipsis);
  EXPECT_FALSE(form.Column->ButtonOnly());
}

TEST(TreeListColumnTypes, DropDownButtonsShowByTheOptionsStyleAndFocus) {
  struct TCase {
    bool always;
    TdxShowButtonStyle style;
    bool focused;
    bool visible, editButton;
  } cases[] = {
      {false, sbAlways, false, false, true}, {true, sbAlways, false, true, true},
      {true, sbDefault, false, false, false}, {true, sbDefault, true, true, false},
      {true, sbNone, true, false, false},
  };
  for (const TCase& c : cases) {
    TTypedForm<TdxTreeListDropDownColumn> form({L"x", L"y"});
    if (c.always) form.Tree->SetOptionsEx(form.Tree->OptionsEx() | OptionBit(aoShowButtonAlways));
    form.Column->SetShowButtonStyle(c.style);
    form.Tree->SetFocusedNode(form.Node(c.focused ? 0 : 1));
    EXPECT_EQ(form.Column->IsButtonVisible(form.Node()), c.visible);
    EXPECT_EQ(form.Column->ShowEditButton(false), c.editButton);
    TdxTreeListCellViewData cell;
    cell.Cell_Node = form.Node();
    TdxDropDownEditViewData data;
    form.Column->PrepareViewData(data, cell);
    EXPECT_EQ(data.HideButtons, !c.visible);
  }
}

TEST(TreeListColumnTypes, EditorsOfAnotherKindGetOnlyTheBaseSettings) {
  // A Unicode tree list gives the drop-down and pick columns the combo box
  // editors: the drop-down one takes nothing of its own, the pick one its items.
  TTypedForm<TdxTreeListPickColumn> form;
  form.Tree->FEnableUnicodeSupport = true;
  TStringList items;
  items.Add(L"one");
  items.Add(L"two");
  form.Column->SetItems(items);
  form.Column->SetItemsSorted(true);
  form.Column->SetReadOnly(true);
  TdxInplaceEdit* editor = form.Editor();
  ASSERT_TRUE(editor->Is<TdxInplaceTreeListPickEditW>());
  auto* combo = static_cast<TXPDXCombobox*>(editor);
  EXPECT_EQ(combo->Items().Count(), 2);
  EXPECT_TRUE(combo->GetSorted());
  EXPECT_TRUE(editor->ReadOnly());
  TTypedForm<TdxTreeListDropDownColumn> dropDown;
  dropDown.Tree->FEnableUnicodeSupport = true;
  EXPECT_TRUE(dropDown.Editor()->Is<TdxInplaceTreeListDropDownEditW>());
  // A spin column given a plain text editor sets it up as a text column would.
  TTypedForm<TdxTreeListSpinColumn> spin({L"4"});
  TdxInplaceEdit* text = EditorClassOf<TdxInplaceTreeListTextEdit>()->Create(spin.Tree);
  spin.Column->InitEditor(text);
  Variant value;
  spin.Column->InitEditValue(spin.Node(), text, value);
  EXPECT_EQ(text->Text(), L"4");
}

TEST(TreeListColumnTypes, PickAndMruColumnsTakeBackTheClosedUpValueAndTheList) {
  TTypedForm<TdxTreeListPickColumn> form({L"a"});
  form.Column->OnCloseUp = [](TObject*, Variant& value, bool& accept) {
    value = Variant(VarToStr(value) + L"!");
    accept = true;
  };
  WideString text = L"two";
  bool accept = false;
  form.Column->DoCloseUp(nullptr, text, accept);
  EXPECT_EQ(text, L"two!");
  EXPECT_TRUE(accept);

  TTypedForm<TdxTreeListMRUColumn> mru({L"old"});
  EXPECT_FALSE(mru.Column->ImmediateDropDown());
  auto* editor = static_cast<TdxInplaceMRUEdit*>(mru.Editor());
  EXPECT_EQ(editor->MaxItemCount(), 7);
  editor->AddItem(L"first");
  editor->AddItem(L"second");
  Variant value;
  mru.Column->AssignEditValue(mru.Node(), editor, value);
  ASSERT_EQ(mru.Column->Items().Count(), 2);
  EXPECT_EQ(mru.Column->Items().Get(0), L"second");
}

TEST(TreeListColumnTypes, HyperlinksShowTheHandAndTheirColourWhenSingleClicked) {
  TTypedForm<TdxTreeListHyperLinkColumn> form({L"http://x", L""});
  TCursor cursor = crDefault;
  form.Column->GetHotTrackCursor(form.Node(0), cursor);
  EXPECT_EQ(cursor, crDefault);
  form.Column->SetSingleClick(true);
  form.Column->SetEditFontColor(clRed);
  form.Column->GetHotTrackCursor(form.Node(1), cursor);
  EXPECT_EQ(cursor, crDefault);  // an empty cell
  form.Column->GetHotTrackCursor(form.Node(0), cursor);
  EXPECT_EQ(cursor, crdxHandPoint);
  EXPECT_NE(form.Column->LinkFont().Style() & fsUnderline, 0u);
  TdxTreeListCellViewData cell;
  TdxHyperLinkEditViewData data;
  form.Column->PrepareViewData(data, cell);
  EXPECT_EQ(data.TextColor, ColorToRGB(clRed));
  cell.Cell_Selected = true;
  cell.Cell_TextColor = clHighlightText;
  form.Column->PrepareViewData(data, cell);
  EXPECT_EQ(data.TextColor, ColorToRGB(clHighlightText));
}

TEST(TreeListColumnTypes, PictureAndBlobColumns) {
  TTypedForm<TdxTreeListGraphicColumn> picture({L""});
  EXPECT_EQ(picture.Column->GetBestFit(picture.Tree->Canvas(), picture.Node()), 0);  // stretched
  picture.Column->PopupToolbarPos = POINT{5, 6};
  picture.Column->SetPopupToolbarPosStored(false);
  EXPECT_EQ(picture.Column->PopupToolbarPos.x, -10000);
  EXPECT_EQ(picture.Column->PopupToolbarPos.y, -10000);
  // A picture goes into the cell as text and comes back.
  auto* graphic = static_cast<TdxInplaceGraphicEdit*>(picture.Editor());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(7, 5);
  graphic->Picture().SetGraphic(std::move(bitmap));
  Variant value;
  picture.Column->AssignEditValue(picture.Node(), graphic, value);
  EXPECT_FALSE(picture.Node()->GetString(1).empty());
  picture.Column->SetStretch(false);
  EXPECT_EQ(picture.Column->GetBestFit(picture.Tree->Canvas(), picture.Node()), 7);
  graphic->Picture().SetGraphic(nullptr);
  picture.Column->InitEditValue(picture.Node(), graphic, value);
  EXPECT_EQ(graphic->Picture().Width(), 7);

  TTypedForm<TdxTreeListBlobColumn> blob({L"", L"memo text"});
  for (int i = 0; i < 2; ++i) {
    TdxTreeListCellViewData cell;
    cell.Cell_Node = blob.Node(i);
    cell.Cell_Text = blob.Node(i)->GetString(1);
    TdxBlobEditViewData data;
    blob.Column->PrepareViewData(data, cell);
    EXPECT_EQ(data.IsNull, i == 0);
    EXPECT_EQ(data.BlobPaintStyle, bpsIcon);
    EXPECT_NE(data.Images, nullptr);
  }
  auto* blobEditor = static_cast<TdxInplaceBlobEdit*>(blob.Editor());
  blob.Column->InitEditValue(blob.Node(1), blobEditor, value);
  EXPECT_EQ(blobEditor->BlobData(), L"memo text");
  blobEditor->FPopupWidth = 321;
  blobEditor->FPopupHeight = 123;
  blob.Column->DoSavePopupSize(blobEditor);
  EXPECT_EQ(blob.Column->PopupWidth(), 321);
  EXPECT_EQ(blob.Column->PopupHeight(), 123);
}

TEST(TreeListColumnTypes, AWrapperLendsItsCellsToTheColumnItsEventNames) {
  TTypedForm<TdxTreeListWrapperColumn> form({L"True", L"plain"});
  auto* check = static_cast<TdxTreeListCheckColumn*>(
      form.Tree->CreateColumnEx(ComponentClassOf<TdxTreeListCheckColumn>(), form.Form.get()));
  form.Column->OnGetReferenceColumn = [&](TObject*, TdxTreeListNode* node, TdxTreeListColumn*& column) {
    if (node == form.Node(0)) column = check;
  };
  EXPECT_EQ(form.Column->GetReferenceColumn(form.Node(0)), check);
  EXPECT_EQ(form.Column->GetReferenceColumn(form.Node(1)), nullptr);
  // The check column reads and writes the wrapper's cell of the node.
  auto* editor = static_cast<TdxInplaceCheckEdit*>(check->GetEditorClass()->Create(form.Tree));
  Variant value;
  form.Column->InitEditValue(form.Node(0), editor, value);
  EXPECT_EQ(editor->State(), cbsChecked);
  editor->SetState(cbsUnchecked);
  form.Column->AssignEditValue(form.Node(0), editor, value);
  EXPECT_EQ(form.Node(0)->GetString(1), L"False");
  EXPECT_EQ(form.Node(0)->GetString(2), L"");
  EXPECT_EQ(check->ActualIndex(), -1);
  // Painted: check view data for the first node, text view data for the second.
  form.Column->SetActualNode(form.Node(0));
  EXPECT_TRUE(form.Column->GetViewData()->Is<TdxCheckEditViewData>());
  form.Column->SetActualNode(form.Node(1));
  EXPECT_FALSE(form.Column->GetViewData()->Is<TdxCheckEditViewData>());
  form.Column->SetActualNode(nullptr);
}

TEST(TreeListColumnTypes, AssignCopiesTheTypesSettingsAndRestoreDefaultsResetsThem) {
  TTypedForm<TdxTreeListSpinColumn> form;
  form.Column->SetIncrement(0.5);
  form.Column->SetValueType(vtFloat);
  form.Column->SetCaption(L"Volts");
  auto* copy = static_cast<TdxTreeListSpinColumn*>(
      form.Tree->CreateColumnEx(ComponentClassOf<TdxTreeListSpinColumn>(), form.Form.get()));
  copy->Assign(*form.Column);
  EXPECT_EQ(copy->Increment(), 0.5);
  EXPECT_EQ(copy->ValueType(), vtFloat);
  EXPECT_EQ(copy->Caption(), L"Volts");
  copy->RestoreDefaults();
  EXPECT_EQ(copy->Increment(), 1.0);
  EXPECT_EQ(copy->ValueType(), vtInt);

  TTypedForm<TdxTreeListCheckColumn> check;
  check.Column->SetValueChecked(L"On");
  check.Column->SetBorder3D(true);
  check.Column->RestoreDefaults();
  EXPECT_EQ(check.Column->ValueChecked(), L"True");
  EXPECT_FALSE(check.Column->Border3D());
  EXPECT_EQ(check.Column->MinWidth(), 16);
}

// ---- windowless painting

// The column's cells painted into a 32-bit picture.
template <class T>
std::unique_ptr<TBitmap> PaintColumn(TTypedForm<T>& form) {
  RECT client = form.Tree->ClientRect();
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(TPixelFormat::pf32bit);
  picture->SetSize(client.right, client.bottom);
  picture->Canvas().Brush().SetColor(TColor(0xFF00FF));
  picture->Canvas().FillRect(client);
  TdxGridDrawInfo info;
  form.Tree->CalcDrawInfo(info);
  form.Tree->PaintArea(info, picture->Canvas());
  return picture;
}

// The pixels of the column's cell in a row, as one list.
template <class T>
std::vector<COLORREF> CellPixels(TTypedForm<T>& form, TBitmap& picture, int row) {
  TdxGridDrawInfo info;
  form.Tree->CalcDrawInfo(info);
  int left = info.CellsRect.left + form.Text->Width();
  int top = info.CellsRect.top;
  for (int i = 0; i < row; ++i) top += info.RowsInfo.at(std::size_t(i)).RowHeight;
  int bottom = top + info.RowsInfo.at(std::size_t(row)).RowHeight;
  std::vector<COLORREF> pixels;
  for (int y = top + 1; y < bottom - 1; ++y)
    for (int x = left + 1; x < left + form.Column->Width() - 1; ++x)
      pixels.push_back(GetPixel(picture.Canvas().Handle(), x, y));
  return pixels;
}

int CountPixels(const std::vector<COLORREF>& pixels, COLORREF colour) {
  return int(std::count(pixels.begin(), pixels.end(), colour));
}

TEST(TreeListColumnTypes, CheckCellsPaintTheirThreeStates) {
  TTypedForm<TdxTreeListCheckColumn> form({L"True", L"False", L"maybe", L"TRUE"});
  form.Column->SetShowNullFieldStyle(nsGrayedChecked);
  auto picture = PaintColumn(form);
  auto checked = CellPixels(form, *picture, 0), unchecked = CellPixels(form, *picture, 1),
       grayed = CellPixels(form, *picture, 2), checkedAgain = CellPixels(form, *picture, 3);
  EXPECT_NE(checked, unchecked);
  EXPECT_NE(checked, grayed);
  EXPECT_NE(unchecked, grayed);
  EXPECT_EQ(checked, checkedAgain);
}

TEST(TreeListColumnTypes, DropDownCellsPaintTheirButtonOnlyWhereTheOptionsShowIt) {
  TTypedForm<TdxTreeListDropDownColumn> form({L"x"});
  auto without = CellPixels(form, *PaintColumn(form), 0);
  form.Tree->SetOptionsEx(form.Tree->OptionsEx() | OptionBit(aoShowButtonAlways));
  form.Column->SetShowButtonStyle(sbAlways);
  auto with = CellPixels(form, *PaintColumn(form), 0);
  EXPECT_GT(CountPixels(with, ColorToRGB(clBtnFace)), CountPixels(without, ColorToRGB(clBtnFace)) + 20);
}

TEST(TreeListColumnTypes, HyperlinkBlobAndImageCellsPaintTheirKinds) {
  {
    TTypedForm<TdxTreeListHyperLinkColumn> form({L"link"});
    form.Column->SetSingleClick(true);
    form.Column->SetEditFontColor(clRed);
    EXPECT_GT(CountPixels(CellPixels(form, *PaintColumn(form), 0), ColorToRGB(clRed)), 10);
  }
  {
    TTypedForm<TdxTreeListBlobColumn> form({L"", L"memo", L"other memo"});
    auto picture = PaintColumn(form);
    auto empty = CellPixels(form, *picture, 0), full = CellPixels(form, *picture, 1),
         other = CellPixels(form, *picture, 2);
    EXPECT_NE(empty, full);
    EXPECT_EQ(full, other);  // the icon, not the text
  }
  {
    TTypedForm<TdxTreeListImageColumn> form({L"a", L"b"});
    TImageList images(form.Form.get());
    images.SetSize(8, 8);
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetSize(8, 8);
    glyph->Canvas().Brush().SetColor(clLime);
    RECT all{0, 0, 8, 8};
    glyph->Canvas().FillRect(all);
    images.Add(*glyph, nullptr);
    TStringList values, descriptions;
    values.Add(L"a");
    values.Add(L"b");
    descriptions.Add(L"Alpha");
    form.Column->SetValues(values);
    form.Column->SetDescriptions(descriptions);
    form.Column->SetImages(&images);
    form.Column->SetShowDescription(true);
    auto picture = PaintColumn(form);
    auto a = CellPixels(form, *picture, 0), b = CellPixels(form, *picture, 1);
    EXPECT_GE(CountPixels(a, ColorToRGB(clLime)), 48);
    EXPECT_EQ(CountPixels(b, ColorToRGB(clLime)), 0);  // b has no image
    EXPECT_GT(CountPixels(a, ColorToRGB(clWindowText)), 10);  // the description
  }
}

TEST(TreeListColumnTypes, PictureCellsPaintTheirPictureStretchedOrAtItsSize) {
  TPicture red;
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(4, 4);
  bitmap->Canvas().Brush().SetColor(clRed);
  bitmap->Canvas().FillRect(RECT{0, 0, 4, 4});
  red.SetGraphic(std::move(bitmap));
  TTypedForm<TdxTreeListGraphicColumn> form({SavePictureToText(&red), L""});
  auto stretched = CellPixels(form, *PaintColumn(form), 0);
  EXPECT_GT(CountPixels(stretched, ColorToRGB(clRed)), 4 * 16);  // fitted to the row, far past its 16 pixels
  EXPECT_EQ(CountPixels(CellPixels(form, *PaintColumn(form), 1), ColorToRGB(clRed)), 0);  // no picture
  form.Column->SetStretch(false);
  form.Column->SetCenter(false);
  auto natural = CellPixels(form, *PaintColumn(form), 0);
  EXPECT_GT(CountPixels(natural, ColorToRGB(clRed)), 0);
  EXPECT_LE(CountPixels(natural, ColorToRGB(clRed)), 16);
}

TEST(TreeListColumnTypes, EveryTypePaintsItsCellsWithoutAWindow) {
  // Each type paints a cell that is more than its background, and leaves no node behind.
  auto check = [](auto& form, const char* name) {
    SCOPED_TRACE(name);
    auto pixels = CellPixels(form, *PaintColumn(form), 0);
    EXPECT_LT(CountPixels(pixels, ColorToRGB(clWindow)), int(pixels.size())) << name;
    EXPECT_EQ(form.Column->ActualNode(), nullptr);
  };
#define TVK_PAINT_CASE(Type, Text)          \
  {                                         \
    TTypedForm<Type> form({Text});          \
    check(form, #Type);                     \
  }
  TVK_PAINT_CASE(TdxTreeListMemoColumn, L"memo")
  TVK_PAINT_CASE(TdxTreeListDropDownColumn, L"drop")
  TVK_PAINT_CASE(TdxTreeListDateColumn, L"1/2/2003")
  TVK_PAINT_CASE(TdxTreeListButtonColumn, L"button")
  TVK_PAINT_CASE(TdxTreeListCheckColumn, L"True")
  TVK_PAINT_CASE(TdxTreeListSpinColumn, L"12")
  TVK_PAINT_CASE(TdxTreeListPickColumn, L"pick")
  TVK_PAINT_CASE(TdxTreeListCalcColumn, L"3.5")
  TVK_PAINT_CASE(TdxTreeListHyperLinkColumn, L"www")
  TVK_PAINT_CASE(TdxTreeListTimeColumn, L"10:30")
  TVK_PAINT_CASE(TdxTreeListCurrencyColumn, L"12.5")
  TVK_PAINT_CASE(TdxTreeListMRUColumn, L"mru")
  TVK_PAINT_CASE(TdxTreeListBlobColumn, L"blob")
  TVK_PAINT_CASE(TdxTreeListWrapperColumn, L"wrapped")
#undef TVK_PAINT_CASE
}

}  // namespace
}  // namespace treelist_test
