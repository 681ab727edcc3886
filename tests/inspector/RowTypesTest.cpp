// The row types: each kind's editor and view data, its value through its real
// editor and back, its cell painted into a bitmap, and the conversions.
#include "RowsFixture.h"

#include "ClassRegistry.h"
#include "LocaleFormats.h"
#include "Panels.h"
#include "dxExUtils.h"
#include "dxInspRw.h"

namespace inspector_test {
namespace {

using namespace tvk;

template <class Row>
Row* MakeRow(TCustomdxInspectorControl* insp) {
  return static_cast<Row*>(insp->CreateRow(ComponentClassOf<Row>()));
}

struct RowTypesFixture : RowsFixture {
  // Opens the row's editor, lets Edit change it, and writes it back.
  template <class Row, class F>
  TdxInplaceEdit* EditRow(Row* row, F&& edit) {
    Insp->SetFocus();
    Insp->SetFocusedNode(row->Node());
    Insp->ShowEditor();
    TdxInplaceEdit* editor = Insp->InplaceEditor();
    if (!editor) return nullptr;
    edit(editor);
    editor->SetEditModified(true);
    Insp->PostEditor(true);
    return editor;
  }
  // The row's value cell painted into a 32-bit bitmap: how many pixels differ from the cell's background.
  int InkInValueCell(TdxInspectorRow* row) {
    const RECT client = Insp->ClientRect();
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(client.right, client.bottom);
    SendMessageW(Insp->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), PRF_CLIENT);
    const RECT r = Insp->GetNodeRect(row->Node());
    RECT value = Insp->CalcRowParts(row->Node(), r).Value;
    InflateRect(&value, -2, -2);
    const COLORREF background = GetPixel(bitmap.Canvas().Handle(), value.right - 1, value.top);
    int ink = 0;
    for (int y = value.top; y < value.bottom; ++y)
      for (int x = value.left; x < value.right - 1; ++x)
        if (GetPixel(bitmap.Canvas().Handle(), x, y) != background) ++ink;
    return ink;
  }
};

TEST_F(RowTypesFixture, EachKindEditsThroughItsOwnEditorAndPaintsItsCell) {
  struct Case {
    const char* What;
    TdxInspectorRow* Row;
    TClass Editor;
    TClass ViewData;
    std::wstring Start, Typed, Stored;
  };
  auto* mask = MakeRow<TdxInspectorTextMaskRow>(Insp);
  auto* spin = MakeRow<TdxInspectorTextSpinRow>(Insp);
  auto* time = MakeRow<TdxInspectorTextTimeRow>(Insp);
  auto* currency = MakeRow<TdxInspectorTextCurrencyRow>(Insp);
  auto* memo = MakeRow<TdxInspectorTextMemoRow>(Insp);
  auto* date = MakeRow<TdxInspectorTextDateRow>(Insp);
  auto* calc = MakeRow<TdxInspectorTextCalcRow>(Insp);
  auto* pick = MakeRow<TdxInspectorTextPickRow>(Insp);
  // The date editor's input check reaches the row's event with the row as sender.
  auto* dateRow = MakeRow<TdxInspectorTextDateRow>(Insp);
  TObject* heard = nullptr;
  dateRow->OnDateValidateInput = [&](TObject* sender, const WideString&, TDateTime&, WideString&, bool& error) {
    heard = sender;
    error = true;
  };
  std::unique_ptr<TdxInspectorDateEdit> dateEditor(CreateComponent<TdxInspectorDateEdit>(nullptr));
  dateRow->AssignEditorProperties(dateEditor.get());
  TDateTime value = 0;
  WideString message;
  bool error = false;
  dateEditor->FOnDateValidateInput(dateEditor.get(), L"x", value, message, error);
  EXPECT_EQ(dateRow, heard);
  EXPECT_TRUE(error);
  dateRow->OnDateValidateInput = nullptr;

  auto* popup = MakeRow<TdxInspectorTextPopupRow>(Insp);
  auto* blob = MakeRow<TdxInspectorTextBlobRow>(Insp);
  auto* graphic = MakeRow<TdxInspectorTextGraphicRow>(Insp);
  currency->SetDisplayFormat(L"");
  Case cases[] = {
      {"mask", mask, &TdxInspectorMaskEdit::StaticClassInfo(), &TdxTextEditViewData::StaticClassInfo(), L"abc",
       L"xyz", L"xyz"},
      {"spin", spin, &TdxInspectorSpinEdit::StaticClassInfo(), &TdxSpinEditViewData::StaticClassInfo(), L"12",
       L"12", L"12"},
      {"currency", currency, &TdxInspectorCurrencyEdit::StaticClassInfo(), &TdxTextEditViewData::StaticClassInfo(),
       L"3", L"0", L"0"},
      {"memo", memo, &TdxInspectorMemoEdit::StaticClassInfo(), &TdxTextEditViewData::StaticClassInfo(), L"one",
       L"two", L"two"},
      {"date", date, &TdxInspectorDateEdit::StaticClassInfo(), &TdxDropDownEditViewData::StaticClassInfo(), L"x",
       L"", L""},
      {"calc", calc, &TdxInspectorCalcEdit::StaticClassInfo(), &TdxDropDownEditViewData::StaticClassInfo(), L"7",
       L"8", L"8"},
      {"pick", pick, &TdxInspectorPickEdit::StaticClassInfo(), &TdxDropDownEditViewData::StaticClassInfo(), L"p",
       L"q", L"q"},
      {"popup", popup, &TdxInspectorPopupEdit::StaticClassInfo(), &TdxDropDownEditViewData::StaticClassInfo(), L"a",
       L"b", L"b"},
      {"blob", blob, &TdxInspectorBlobEdit::StaticClassInfo(), &TdxBlobEditViewData::StaticClassInfo(), L"abc",
       L"abc", L"abc"},
      {"graphic", graphic, &TdxInspectorGraphicEdit::StaticClassInfo(), &TdxGraphicEditViewData::StaticClassInfo(),
       L"", L"", L""},
      {"time", time, &TdxInspectorTimeEdit::StaticClassInfo(), &TdxSpinEditViewData::StaticClassInfo(), L"",
       L"", L""},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(c.Editor, c.Row->GetEditorClass()->Info);
    EXPECT_TRUE(c.Row->ViewData().InheritsFrom(c.ViewData)) << std::wstring(c.Row->ViewData().ClassName());
    c.Row->SetEditText(c.Start);
    Insp->Update();
    if (!c.Start.empty()) {
      EXPECT_GT(InkInValueCell(c.Row), 0);
    }
    TdxInplaceEdit* editor = EditRow(c.Row, [&](TdxInplaceEdit* e) {
      EXPECT_EQ(c.Editor, e->ClassType());
      e->SetEditingText(c.Typed);
    });
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(c.Stored, std::wstring(c.Row->EditText()));
  }
}

TEST_F(RowTypesFixture, ACheckRowShowsItsStateAndWritesItsTexts) {
  auto* row = MakeRow<TdxInspectorTextCheckRow>(Insp);
  EXPECT_TRUE(row->ViewData().Is<TdxCheckEditViewData>());
  EXPECT_EQ(L"True", row->ValueChecked());
  EXPECT_EQ(L"False", row->ValueUnchecked());
  struct Case {
    const wchar_t* Text;
    TdxCheckBoxState State;
  } cases[] = {{L"True", cbsChecked}, {L"tRUE", cbsChecked}, {L"false", cbsUnchecked}, {L"maybe", cbsGrayed},
               {L"", cbsGrayed}};
  for (const Case& c : cases) EXPECT_EQ(c.State, row->GetCheckBoxState(c.Text)) << c.Text;
  std::vector<std::wstring> toggles;
  row->OnToggleClick = [&](TObject*, const WideString& text, TdxCheckBoxState) { toggles.push_back(text); };
  row->SetText(L"False");
  TdxInplaceEdit* editor = EditRow(row, [&](TdxInplaceEdit* e) {
    auto* check = dynamic_cast<TdxInplaceCheckEdit*>(e);
    ASSERT_NE(nullptr, check);
    EXPECT_EQ(cbsUnchecked, check->State());
    check->SetState(cbsChecked);  // the editor's change reaches the row's toggle event
  });
  ASSERT_NE(nullptr, editor);
  EXPECT_EQ(L"True", row->Text());
  EXPECT_EQ((std::vector<std::wstring>{L"True"}), toggles);
  row->OnToggleClick = nullptr;
  // The cell paints the state, never the text.
  row->SetText(L"True");
  TdxInspectorCellViewData cell;
  cell.Cell_Text = L"True";
  row->PrepareViewData(row->ViewData(), cell);
  EXPECT_EQ(L"1", EditValueText(row->ViewData().Data));  // cbsChecked
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  EXPECT_EQ(StandardCheckHeight() + 2, row->CalcMinHeight(bitmap.Canvas()));
}

TEST_F(RowTypesFixture, NumbersRoundHalvesToEvenAndEmptyValuesStayEmpty) {
  auto* spin = MakeRow<TdxInspectorTextSpinRow>(Insp);
  for (auto [typed, stored] : {std::pair{L"2.5", L"2"}, {L"3.5", L"4"}, {L"-1.5", L"-2"}}) {
    EditRow(spin, [&](TdxInplaceEdit* e) { static_cast<TdxInplaceSpinEdit*>(e)->SetValue(std::stod(typed)); });
    EXPECT_EQ(stored, spin->Text()) << typed;
  }
  spin->SetValueType(vtFloat);
  EditRow(spin, [&](TdxInplaceEdit* e) { static_cast<TdxInplaceSpinEdit*>(e)->SetValue(2.25); });
  EXPECT_EQ(L"2.25", spin->Text());
  // A minimum equal to the default is assigned all the same.
  EXPECT_EQ(0u, spin->AssignedSpinValues());
  spin->SetMinValue(0);
  EXPECT_EQ(Bit(srMinValue), spin->AssignedSpinValues());

  auto* time = MakeRow<TdxInspectorTextTimeRow>(Insp);
  time->SetText(L"x");
  EditRow(time, [&](TdxInplaceEdit* e) { static_cast<TdxInplaceTimeEdit*>(e)->SetTime(0); });
  EXPECT_EQ(L"", time->Text());

  auto* currency = MakeRow<TdxInspectorTextCurrencyRow>(Insp);
  EXPECT_FALSE(currency->DisplayFormat().empty());
  EXPECT_FALSE(currency->DisplayFormatStored());
  currency->SetDisplayFormat(L"0.00");
  TdxInspectorCellViewData cell;
  currency->PrepareViewData(currency->ViewData(), cell);
  EXPECT_EQ(L"", EditValueText(currency->ViewData().Data));
  currency->SetNullable(true);
  currency->SetNullString(L"<none>");
  currency->PrepareViewData(currency->ViewData(), cell);
  EXPECT_EQ(L"<none>", EditValueText(currency->ViewData().Data));
  currency->SetText(L"1.5");
  currency->PrepareViewData(currency->ViewData(), cell);
  EXPECT_NE(std::wstring::npos, EditValueText(currency->ViewData().Data).find(L"50"));
  currency->SetText(L"abc");  // no number: the cell keeps its text
  cell.Cell_Text = L"abc";
  currency->PrepareViewData(currency->ViewData(), cell);
  EXPECT_EQ(L"abc", EditValueText(currency->ViewData().Data));
}

TEST_F(RowTypesFixture, KindSettingsFollowTheirOwnRules) {
  auto* mask = MakeRow<TdxInspectorTextMaskRow>(Insp);
  mask->SetEditMask(L"");
  EXPECT_FALSE(mask->EditMaskAssigned());
  mask->SetEditMask(L"000");
  EXPECT_TRUE(mask->EditMaskAssigned());
  mask->RestoreDefaults();
  EXPECT_FALSE(mask->EditMaskAssigned());
  EXPECT_EQ(L"", mask->EditMask());

  EXPECT_TRUE(MakeRow<TdxInspectorTextPickRow>(Insp)->ImmediateDropDown());
  EXPECT_FALSE(MakeRow<TdxInspectorTextDateRow>(Insp)->ImmediateDropDown());

  auto* popup = MakeRow<TdxInspectorTextPopupRow>(Insp);
  popup->SetPopupMinHeight(300);
  EXPECT_EQ(300, popup->PopupHeight());
  popup->SetPopupHeight(10);
  EXPECT_EQ(300, popup->PopupHeight());
  popup->SetPopupMinWidth(-5);
  EXPECT_EQ(0, popup->PopupMinWidth());

  auto* calc = MakeRow<TdxInspectorTextCalcRow>(Insp);
  TBitmap empty;
  calc->ButtonGlyph();
  EXPECT_TRUE(calc->ButtonGlyphMade());
  calc->SetButtonGlyph(&empty);
  EXPECT_FALSE(calc->ButtonGlyphMade());
  TdxInspectorCellViewData cell;
  calc->PrepareViewData(calc->ViewData(), cell);
  EXPECT_TRUE(static_cast<TdxDropDownEditViewData&>(calc->ViewData()).HideButtons);

  // Only the mask kind goes Unicode with its inspector.
  Insp->EnableUnicodeSupport = true;
  EXPECT_EQ(&TXPDXEdit::StaticClassInfo(), mask->GetEditorClass()->Info);
  EXPECT_EQ(&TdxInspectorCalcEdit::StaticClassInfo(), calc->GetEditorClass()->Info);
  Insp->EnableUnicodeSupport = false;

  // A copy takes the kind's settings.
  auto* spin = MakeRow<TdxInspectorTextSpinRow>(Insp);
  spin->SetValueType(vtFloat);
  spin->SetIncrement(0.5);
  auto* copy = MakeRow<TdxInspectorTextSpinRow>(Insp);
  copy->Assign(*spin);
  EXPECT_EQ(vtFloat, copy->ValueType());
  EXPECT_EQ(0.5, copy->Increment());
}

TEST_F(RowTypesFixture, AButtonRowHandsItsButtonsAndStyleToItsEditor) {
  auto* button = MakeRow<TdxInspectorTextButtonRow>(Insp);
  EXPECT_TRUE(button->ViewData().Is<TdxButtonEditViewData>());
  ASSERT_EQ(1, button->Buttons().Count());
  button->SetEditButtonStyle(ebsSimple);
  EXPECT_EQ(0, button->Buttons().Count());
  button->SetEditButtonStyle(ebsDown);
  ASSERT_EQ(1, button->Buttons().Count());
  EXPECT_EQ(bkDown, button->Buttons().GetItem(0)->Kind());
  int clicked = -1;
  button->OnButtonClick = [&](TObject* sender, int index) {
    EXPECT_EQ(button, sender);
    clicked = index;
  };
  button->SetText(L"b");
  TdxInplaceEdit* editor = EditRow(button, [&](TdxInplaceEdit* e) {
    auto* edit = dynamic_cast<TdxInplaceButtonEdit*>(e);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(1, edit->Buttons().Count());
    EXPECT_EQ(bkDown, edit->Buttons().GetItem(0)->Kind());
    ASSERT_TRUE(edit->FOnButtonClick);
    edit->FOnButtonClick(edit, 0);
  });
  ASSERT_NE(nullptr, editor);
  EXPECT_EQ(0, clicked);
  button->OnButtonClick = nullptr;
  // The view style follows ButtonOnly before HideEditCursor (on an editor without a window yet).
  for (auto [only, hide, style] : {std::tuple{false, false, vsStandard}, {false, true, vsHideCursor},
                                   {true, true, vsButtonOnly}}) {
    button->SetButtonOnly(only);
    button->SetHideEditCursor(hide);
    std::unique_ptr<TdxInspectorButtonEdit> loose(CreateComponent<TdxInspectorButtonEdit>(nullptr));
    button->AssignEditorProperties(loose.get());
    EXPECT_EQ(style, loose->ViewStyle());
  }
  TdxInspectorCellViewData cell;
  button->PrepareViewData(button->ViewData(), cell);
  EXPECT_FALSE(static_cast<TdxButtonEditViewData&>(button->ViewData()).ButtonOnly);
}

TEST_F(RowTypesFixture, AnMruRowKeepsTheTextsGatheredWhileEditing) {
  auto* mru = MakeRow<TdxInspectorTextMRURow>(Insp);
  EXPECT_FALSE(mru->ImmediateDropDown());
  EXPECT_EQ(&TdxInspectorMRUEdit::StaticClassInfo(), mru->GetEditorClass()->Info);
  mru->SetText(L"first");
  EditRow(mru, [&](TdxInplaceEdit* e) {
    static_cast<TdxInplaceMRUEdit*>(e)->Items().Add(L"gathered");
    e->SetEditingText(L"second");
  });
  EXPECT_EQ(L"second", mru->Text());
  EXPECT_GE(mru->Items().IndexOf(L"gathered"), 0);
}

TEST_F(RowTypesFixture, AHyperlinkRowsLinkFontFollowsItsSettings) {
  TdxInspectorCellViewData cell;
  auto* link = MakeRow<TdxInspectorTextHyperLinkRow>(Insp);
  EXPECT_EQ(clDefault, link->LinkFont().Color());
  link->SetSingleClick(true);
  EXPECT_EQ(TColor(0xFF0000), link->LinkFont().Color());
  EXPECT_TRUE(link->LinkFont().Style() & fsUnderline);
  link->PrepareViewData(link->ViewData(), cell);
  EXPECT_EQ(COLORREF(0xFF0000), link->ViewData().TextColor);
}

TEST_F(RowTypesFixture, AnImageRowHandsItsListsToItsEditorAndForgetsAFreedImageList) {
  auto* row = MakeRow<TdxInspectorTextImageRow>(Insp);
  EXPECT_TRUE(row->ViewData().Is<TdxImageEditViewData>());
  auto* images = new TImageList(Form.get());
  images->SetSize(16, 40);
  row->SetImages(images);
  row->Values().Add(L"a");
  row->Values().Add(L"b");
  row->ImageIndexes().Add(L"0");
  row->ImageIndexes().Add(L"1");
  row->Descriptions().Add(L"first");
  row->Descriptions().Add(L"second");
  EXPECT_EQ(1, row->GetImageIndex(L"b"));
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  EXPECT_EQ(40, row->CalcMinHeight(bitmap.Canvas()));
  row->SetMultiLineText(true);
  TdxInspectorCellViewData cell;
  row->PrepareViewData(row->ViewData(), cell);
  EXPECT_EQ(daMultiLine, row->ViewData().DrawAlignment);
  EXPECT_EQ(images, static_cast<TdxImageEditViewData&>(row->ViewData()).Images);
  row->SetText(L"b");
  TdxInplaceEdit* editor = EditRow(row, [&](TdxInplaceEdit* e) {
    auto* image = dynamic_cast<TdxInplaceImageEdit*>(e);
    ASSERT_NE(nullptr, image);
    e->SetEditingText(L"a");
  });
  ASSERT_NE(nullptr, editor);
  EXPECT_EQ(&TdxInspectorImageEdit::StaticClassInfo(), editor->ClassType());
  Insp->HideEditor();
  delete images;
  EXPECT_EQ(nullptr, row->Images());
}

TEST_F(RowTypesFixture, ABlobRowPaintsItsKindAndAnEmptyValueAsNull) {
  auto* row = MakeRow<TdxInspectorTextBlobRow>(Insp);
  auto* blob = dynamic_cast<TdxBlobEditViewData*>(&row->ViewData());
  ASSERT_NE(nullptr, blob);
  TdxInspectorCellViewData cell;
  row->PrepareViewData(*blob, cell);
  EXPECT_TRUE(blob->IsNull);
  row->SetBlobEditKind(bekPict);
  row->SetText(L"x");
  row->PrepareViewData(*blob, cell);
  EXPECT_FALSE(blob->IsNull);
  EXPECT_EQ(bekPict, blob->BlobEditKind);
  EXPECT_EQ(&GetBlobGlyphImages(), blob->Images);
  // The pop-up's size comes back from the editor.
  std::unique_ptr<TdxInspectorBlobEdit> editor(CreateComponent<TdxInspectorBlobEdit>(nullptr));
  row->AssignEditorProperties(editor.get());
  EXPECT_EQ(bekPict, editor->BlobEditKind());
  editor->FPopupWidth = 321;
  editor->FOnSavePopupSize(editor.get());
  EXPECT_EQ(321, row->Settings.PopupWidth);
  auto* copy = MakeRow<TdxInspectorTextBlobRow>(Insp);
  copy->Assign(*row);
  EXPECT_EQ(bekPict, copy->BlobEditKind());
  EXPECT_EQ(321, copy->Settings.PopupWidth);
  copy->RestoreDefaults();
  EXPECT_EQ(bekMemo, copy->BlobEditKind());
  EXPECT_EQ(200, copy->Settings.PopupWidth);
}

TEST_F(RowTypesFixture, AGraphicRowPaintsItsPictureAndKeepsItThroughItsEditor) {
  auto* row = MakeRow<TdxInspectorTextGraphicRow>(Insp);
  TPicture picture;
  TBitmap bitmap;
  bitmap.SetSize(16, 16);
  bitmap.Canvas().Brush().SetColor(0x0000FF);
  const RECT all{0, 0, 16, 16};
  bitmap.Canvas().FillRect(all);
  picture.Assign(bitmap);
  const WideString text = SavePictureToText(&picture);
  ASSERT_FALSE(text.empty());
  row->SetText(text);
  Insp->Update();
  EXPECT_GT(InkInValueCell(row), 0);
  TdxInplaceEdit* editor = EditRow(row, [&](TdxInplaceEdit* e) {
    auto* graphic = dynamic_cast<TdxInspectorGraphicEdit*>(e);
    ASSERT_NE(nullptr, graphic);
    EXPECT_FALSE(IsPictureEmpty(&graphic->Picture()));
  });
  ASSERT_NE(nullptr, editor);
  EXPECT_EQ(text, row->Text());
  row->SetPopupToolbarPosStored(false);
  EXPECT_EQ(kNoToolbarPos.x, row->PopupToolbarPos.x);
  EXPECT_EQ(kNoToolbarPos.y, row->PopupToolbarPos.y);
}

TEST_F(RowTypesFixture, APopupRowHandsItsControlAndEventsToItsEditorAndForgetsAFreedControl) {
  auto* row = MakeRow<TdxInspectorTextPopupRow>(Insp);
  auto control = std::make_unique<TPanel>(nullptr);
  row->SetPopupControl(control.get());
  row->SetPopupFormBorderStyle(pbsSysPanel);
  std::vector<TObject*> senders;
  row->OnCloseQuery = [&](TObject* sender, bool& canClose) {
    senders.push_back(sender);
    canClose = false;
  };
  row->OnCloseUp = [&](TObject* sender, WideString& text, bool&) {
    senders.push_back(sender);
    text = L"closed";
  };
  row->OnInitPopup = [&](TObject* sender) { senders.push_back(sender); };
  WideString shown;
  row->OnPopup = [&](TObject* sender, const WideString& text) {
    senders.push_back(sender);
    shown = text;
  };
  std::unique_ptr<TdxInspectorPopupEdit> editor(CreateComponent<TdxInspectorPopupEdit>(nullptr));
  row->AssignEditorProperties(editor.get());
  EXPECT_EQ(control.get(), editor->PopupControl());
  EXPECT_EQ(pbsSysPanel, editor->FPopupFormBorderStyle);
  bool canClose = true, accept = true;
  WideString text = L"t";
  editor->FOnCloseQuery(editor.get(), canClose);
  editor->FOnCloseUp(editor.get(), text, accept);
  editor->FOnInitPopup(editor.get());
  editor->FOnPopup(editor.get(), L"shown");
  EXPECT_EQ(std::vector<TObject*>(4, row), senders);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(L"closed", text);
  EXPECT_EQ(L"shown", shown);
  auto* copy = MakeRow<TdxInspectorTextPopupRow>(Insp);
  copy->Assign(*row);
  EXPECT_EQ(control.get(), copy->PopupControl());
  EXPECT_EQ(pbsSysPanel, copy->PopupFormBorderStyle());
  editor.reset();
  control.reset();
  EXPECT_EQ(nullptr, row->PopupControl());
  EXPECT_EQ(nullptr, copy->PopupControl());
}

TEST_F(RowTypesFixture, ACurrencyFormatNeverSetFollowsTheUsersSettings) {
  FormatSettings().CurrencyString = L"Qx";
  auto* following = MakeRow<TdxInspectorTextCurrencyRow>(Insp);
  auto* own = MakeRow<TdxInspectorTextCurrencyRow>(Insp);
  own->SetDisplayFormat(L"Qx 0.00");
  ASSERT_NE(std::wstring::npos, std::wstring(following->DisplayFormat()).find(L"Qx"));
  Insp->Perform(CM_WININICHANGE, 0, 0);  // the settings are read again
  EXPECT_EQ(BuildCurrencyDisplayFormat(), following->DisplayFormat());
  EXPECT_EQ(std::wstring::npos, std::wstring(following->DisplayFormat()).find(L"Qx"));
  EXPECT_EQ(L"Qx 0.00", own->DisplayFormat());
}

TEST_F(RowTypesFixture, KindSettingsAreWrittenOnlyWhenTheyDifferFromTheirDefaults) {
  auto* mask = MakeRow<TdxInspectorTextMaskRow>(Insp);
  auto* spin = MakeRow<TdxInspectorTextSpinRow>(Insp);
  auto* currency = MakeRow<TdxInspectorTextCurrencyRow>(Insp);
  struct Case {
    const char* What;
    std::function<bool()> Stored;
    std::function<void()> ToDefault, Away;
  };
  const WideString defaultFormat = currency->DisplayFormat();
  Case cases[] = {
      {"mask", [&] { return mask->EditMaskStored(); }, [&] { mask->SetEditMask(L""); },
       [&] { mask->SetEditMask(L"000"); }},
      {"increment", [&] { return spin->IncrementStored(); }, [&] { spin->SetIncrement(1.0); },
       [&] { spin->SetIncrement(0.5); }},
      {"spin minimum", [&] { return spin->MinValueStored(); }, [&] { spin->SetMinValue(0); },
       [&] { spin->SetMinValue(-3); }},
      {"spin maximum", [&] { return spin->MaxValueStored(); }, [&] { spin->SetMaxValue(0); },
       [&] { spin->SetMaxValue(9); }},
      {"currency minimum", [&] { return currency->MinValueStored(); }, [&] { currency->SetMinValue(0); },
       [&] { currency->SetMinValue(-1); }},
      {"currency maximum", [&] { return currency->MaxValueStored(); }, [&] { currency->SetMaxValue(0); },
       [&] { currency->SetMaxValue(1); }},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_FALSE(c.Stored());
    c.ToDefault();  // assigned, but the default
    EXPECT_FALSE(c.Stored());
    c.Away();
    EXPECT_TRUE(c.Stored());
  }
  // The display format is written once set, even to the text it had.
  EXPECT_FALSE(currency->DisplayFormatStored());
  currency->SetDisplayFormat(L"0.0");
  currency->SetDisplayFormat(defaultFormat);
  EXPECT_TRUE(currency->DisplayFormatStored());
  currency->RestoreDefaults();
  EXPECT_FALSE(currency->DisplayFormatStored());
}

TEST_F(RowTypesFixture, TheUnitRegistersTheTextVariantsInOrder) {
  for (const wchar_t* name : {L"TdxInspectorTextMaskRow", L"TdxInspectorTextCheckRow", L"TdxInspectorTextMemoRow",
                              L"TdxInspectorTextBlobRow", L"TdxInspectorTextGraphicRow",
                              L"TdxInspectorTextRow", L"TdxInspectorComplexRow"})
    EXPECT_NE(nullptr, GetClass(name)) << name;
  EXPECT_TRUE(InspectorRowsUnitStartup());  // entered again: nothing new
  InspectorRowsUnitShutdown();
  EXPECT_EQ(nullptr, GetClass(L"TdxInspectorTextMaskRow"));
  EXPECT_TRUE(MakeRow<TdxInspectorTextCheckRow>(Insp)->ValueChecked().empty());
  ASSERT_TRUE(InspectorRowsUnitStartup());
  EXPECT_EQ(L"True", MakeRow<TdxInspectorTextCheckRow>(Insp)->ValueChecked());
}

}  // namespace
}  // namespace inspector_test
