// The edit-mask engine as pure functions over a mask string.
#include "InplaceTest.h"

using namespace tvk;

namespace {

// "/" shows as the locale's date separator.
WideString Dated(WideString text) {
  for (wchar_t& c : text)
    if (c == L'/') c = MapIntlLiteral(L'/');
  return text;
}

struct MaskRow {
  const wchar_t* Mask;
  int TextLength;
  bool SavesLiterals;
  wchar_t Blank;
  bool Reversed;
  const wchar_t* Value;      // formatted with the mask's blank
  const wchar_t* Formatted;  // "/" as the date separator
  const wchar_t* EditText;   // stripped of its literals
  const wchar_t* Stripped;
};

const MaskRow kMaskRows[] = {
    {L"00-00;1;_", 5, true, L'_', false, L"1234", L"12-34", L"12-3_", L"123"},
    {L"00-00;1;_", 5, true, L'_', false, L"1", L"1_-__", L"1_-34", L"1 34"},
    {L"!99/99/99;1;_", 8, true, L'_', true, L"1234", L"__/12/34", L"__/12/34", L"1234"},
    {L"!99/99/99;1;_", 8, true, L'_', true, L"", L"__/__/__", L"__/__/__", L""},
    {L"(999)000-0000;0;_", 13, false, L'_', false, L"5551234567", L"(555)123-4567", L"(___)123-4567",
     L"   1234567"},
    {L">LLL<lll", 6, true, L'_', false, L"abcdef", L"abcdef", L"ABCdef", L"ABCdef"},
    {L"AAA;0;*", 3, false, L'*', false, L"ab", L"ab*", L"a**", L"a"},
    // ";" more than four characters before the end is a literal.
    {L"00;00-00", 8, true, L'_', false, L"1234567", L"12;34-567", L"12;34-5_", L"12345"},
    // An escaped mask character is a literal.
    {L"\\00", 2, true, L'_', false, L"5", L"05", L"05", L"5"},
    {L"#9", 2, true, L'_', false, L"", L"__", L"-_", L"-"},
};

class MaskTable : public ::testing::TestWithParam<MaskRow> {};

}  // namespace

TEST_P(MaskTable, MaskPropertiesFormattingAndStripping) {
  const MaskRow& row = GetParam();
  EXPECT_EQ(row.TextLength, MaskTextLength(row.Mask));
  EXPECT_EQ(row.SavesLiterals, MaskSavesLiterals(row.Mask));
  EXPECT_EQ(row.Blank, GetMaskBlankChar(row.Mask));
  EXPECT_EQ(row.Reversed, IsMaskReversed(row.Mask));
  EXPECT_EQ(Dated(row.Formatted), FormatTextByMask(row.Mask, row.Value, row.Blank));
  EXPECT_EQ(row.Stripped, StripLiterals(row.Mask, Dated(row.EditText), row.Blank));
  // Offsets map both ways over every position of the edit text.
  for (int offset = 0; offset < row.TextLength; ++offset)
    EXPECT_EQ(offset, MaskOffsetToTextOffset(row.Mask, TextOffsetToMaskOffset(row.Mask, offset)));
  EXPECT_EQ(-1, TextOffsetToMaskOffset(row.Mask, row.TextLength));
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskTable, ::testing::ValuesIn(kMaskRows));

TEST(MaskEngine, ClassifiesEachCharacterInItsOrderOfTests) {
  struct Row {
    const wchar_t* Mask;
    int Index;
    TMaskCharType Type;
  };
  const Row rows[] = {
      {L"00-00;1;_", 10, TMaskCharType::mcNone},        {L"00-00;1;_", 3, TMaskCharType::mcLiteral},
      {L"00-00;1;_", 6, TMaskCharType::mcFieldSeparator}, {L"00-00;1;_", 7, TMaskCharType::mcField},
      {L"\\00", 1, TMaskCharType::mcDirective},          {L"\\00", 2, TMaskCharType::mcLiteral},
      {L"\\\\0", 2, TMaskCharType::mcLiteral},           {L"00/00", 3, TMaskCharType::mcIntlLiteral},
      {L"0:0", 2, TMaskCharType::mcIntlLiteral},         {L"!0", 1, TMaskCharType::mcDirective},
      {L"a0", 1, TMaskCharType::mcMaskOpt},              {L"A0", 1, TMaskCharType::mcMask},
      {L"\x0416" L"0", 1, TMaskCharType::mcLiteral},     {L"00;00-00", 3, TMaskCharType::mcLiteral},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.Type, ClassifyMaskChar(row.Mask, row.Index)) << static_cast<const void*>(row.Mask) << " "
                                                                << row.Index;
}

TEST(MaskEngine, DirectivesAreReadFromTheCharactersAloneAndReversalAppliesEverywhere) {
  EXPECT_TRUE(ReadMaskDirectives(L"00!", 1) & mdReverseDir);
  EXPECT_TRUE(ReadMaskDirectives(L">LL", 2) & mdUpperCase);
  EXPECT_FALSE(ReadMaskDirectives(L"L>L", 1) & mdUpperCase);  // only directives before the index
  EXPECT_TRUE(ReadMaskDirectives(L">L<L", 4) & mdLowerCase);
  EXPECT_FALSE(ReadMaskDirectives(L">L<L", 4) & mdUpperCase);
  EXPECT_EQ(0u, ReadMaskDirectives(L"<>LL", 3) & (mdUpperCase | mdLowerCase));  // "<>" switches off
  // An escaped ">" still counts: the scan does not skip escapes.
  EXPECT_TRUE(ReadMaskDirectives(L"\\>0", 3) & mdUpperCase);
  EXPECT_TRUE(ReadMaskDirectives(L"0-0", 2) & mdLiteralChar);
}

TEST(MaskEngine, TypedCharactersFitTheirPositionWithCaseDirectives) {
  struct Row {
    const wchar_t* Mask;
    int Offset;
    wchar_t Typed;
    wchar_t Stored;  // 0: refused
  };
  const Row rows[] = {
      {L">LLL<lll", 0, L'a', L'A'}, {L">LLL<lll", 3, L'B', L'b'}, {L"<>LL", 0, L'a', L'a'},
      {L"00-00", 0, L'x', 0},       {L"00-00", 0, L'7', L'7'},    {L"00-00", 2, L'9', L'-'},
      {L"#", 0, L'+', L'+'},        {L"#", 0, L'x', 0},           {L"L", 0, L'5', 0},
      {L"A", 0, L'5', L'5'},        {L"C", 0, L'%', L'%'},        {L"l", 0, L'\x0436', L'\x0436'},
      {L"C", 0, L'\xD83D', 0},      {L"C", 0, L'\xDE00', 0},      {L"L", 0, L'\xA1', 0},
  };
  for (const Row& row : rows) EXPECT_EQ(row.Stored, AcceptMaskChar(row.Mask, row.Offset, row.Typed)) << row.Mask;
}

TEST(MaskEngine, AJapaneseSystemTakesTheHalfWidthKanaRangeAsLetters) {
  SetMaskPrimaryLanguageOverride(LANG_JAPANESE);
  EXPECT_TRUE(CharFitsMask(L'L', L'\xA1'));
  EXPECT_TRUE(CharFitsMask(L'a', L'\xDF'));
  EXPECT_FALSE(CharFitsMask(L'L', L'\xA0'));
  EXPECT_FALSE(CharFitsMask(L'0', L'\xA1'));
  SetMaskPrimaryLanguageOverride(LANG_ENGLISH);
  EXPECT_FALSE(CharFitsMask(L'L', L'\xA1'));
  SetMaskPrimaryLanguageOverride(std::nullopt);
}

TEST(MaskEngine, ValidationFindsTheFirstUnfilledRequiredPosition) {
  struct Row {
    const wchar_t* Mask;
    const wchar_t* Text;
    bool IgnoreBlank;
    bool Valid;
    int ErrorPos;
  };
  const Row rows[] = {
      {L"00-00;1;_", L"12-34", false, true, 0}, {L"00-00;1;_", L"12-3_", false, false, 4},
      {L"00-00;1;_", L"12-3_", true, true, 0},  {L"00-00;1;_", L"12-3 ", true, false, 4},
      {L"00-00;1;_", L"", false, true, 0},      {L"99-00;1;_", L"__-12", false, true, 0},
      {L"CC", L"a ", false, true, 0},           {L"LL", L"a ", false, false, 1},
  };
  for (const Row& row : rows) {
    int errorPos = -1;
    EXPECT_EQ(row.Valid, ValidateMaskText(row.Mask, row.Text, L'_', row.IgnoreBlank, errorPos)) << row.Text;
    if (!row.Valid) {
      EXPECT_EQ(row.ErrorPos, errorPos) << row.Text;
    }
  }
}

TEST(MaskEngine, ValuesWithLiteralsArePaddedFieldByField) {
  EXPECT_EQ(L"1_-34", PadValueLiterals(L"00-00;1;_", L"1-34", L'_'));
  EXPECT_EQ(L"12-__", PadValueLiterals(L"00-00;1;_", L"123", L'_'));  // missing literal appended, field cut
  EXPECT_EQ(L"12-3_", PadValueLiterals(L"00-00;1;_", L"12-3 ", L'_'));
  EXPECT_EQ(L"__1", PadMaskSubField(L"1", 3, L'_', true));
  EXPECT_EQ(L"34", PadMaskSubField(L"1234", 2, L'_', true));
  EXPECT_EQ(L"12", PadMaskSubField(L"1234", 2, L'_', false));
}

TEST(MaskEngine, CaretPositionsSkipLiterals) {
  EXPECT_EQ(3, NextEditPos(L"00-00", 2));
  EXPECT_EQ(1, PrevEditPos(L"00-00", 2));
  EXPECT_EQ(5, NextEditPos(L"00-00", 9));
  EXPECT_EQ(1, PrevEditPos(L"(0)0", 0));  // none before: the first editable position
  EXPECT_EQ(4, FindLiteralAfter(L"(999)000-0000;0;_", 1, L')'));
  EXPECT_EQ(-1, FindLiteralAfter(L"(999)000-0000;0;_", 5, L')'));
}

TEST(MaskEngine, PastingFitsCharactersToPositionsAndCutsAtTheMasksLength) {
  int end = -1;
  EXPECT_EQ(L"12-34", PasteIntoMask(L"00-00;1;_", L"__-__", 0, L"12345", L'_', end));
  EXPECT_EQ(5, end);
  EXPECT_EQ(L"1_-3_", PasteIntoMask(L"00-00;1;_", L"__-__", 0, L"1x-3", L'_', end));
  EXPECT_EQ(4, end);
  EXPECT_EQ(L"__-7_", PasteIntoMask(L"00-00;1;_", L"__-__", 2, L"7", L'_', end));
  EXPECT_EQ(4, end);
}
