// The CFI report: its lines for answers made up here, read back from the
// tree list's nodes; its layout; and the three ways a user closes it.
#include "CfiQueryTest.h"

#include "Classes.h"
#include "Convert.h"
#include "SimScript.h"
#include "Tovik.Form.CfiFlashQuery.h"

#include <array>
#include <functional>
#include <memory>

namespace cfiquery_test {

using tvk::TCfiFlashQueryForm;
using Words = std::array<std::uint32_t, 8>;
using Texts = std::vector<std::wstring>;

tvk::TRemoteCommandResult Answer(const Words& words) {
  tvk::TRemoteCommandResult result;
  result.resultArray = words;
  return result;
}

// Blocks - 1 in bits 0-15, the block size / 256 in bits 16-31.
constexpr std::uint32_t Region(std::uint32_t blocks, std::uint32_t sizeBy256) { return (blocks - 1) | sizeBy256 << 16; }

class CfiReport : public ::testing::Test {
protected:
  TCfiFlashQueryForm& Make(const Words& words) { return *TCfiFlashQueryForm::Create(Owner.get(), Answer(words)); }
  std::unique_ptr<tvk::TComponent> Owner = std::make_unique<tvk::TComponent>(nullptr);
};

TEST_F(CfiReport, EachAnswerGivesItsLinesInOrder) {
  struct Row {
    const char* Name;
    Words Answer;
    Texts Lines;
  } rows[] = {
      {"two regions",
       {1, 21, 2, 2, Region(8, 64), Region(2, 128)},
       {L"Primary vendor command set: Intel/Sharp Extended Command Set", L"Size: 2097152 (Hex: 0x00200000)",
        L"Supported widths: 16", L"Number of erase block regions: 2", L"Erase Block Region 1: 8 x 16K",
        L"Erase Block Region 2: 2 x 32K"}},
      {"unknown set, all widths, no region",
       {5, 0, 0, 0, Region(9, 9)},
       {L"Primary vendor command set: NA", L"Size: 1 (Hex: 0x00000001)", L"Supported widths: 8 16 32 64",
        L"Number of erase block regions: 0"}},
      // Four region lines at most; the fourth word is one the writer never
      // fills, and a 256-byte block is 0K.
      {"six regions, a width word that lists none",
       {2, 22, 3, 6, Region(1, 1), Region(64, 256), Region(65536, 65535)},
       {L"Primary vendor command set: AMD/Fujitsu Standard Command Set", L"Size: 4194304 (Hex: 0x00400000)",
        L"Supported widths:", L"Number of erase block regions: 6", L"Erase Block Region 1: 1 x 0K",
        L"Erase Block Region 2: 64 x 64K", L"Erase Block Region 3: 65536 x 16383K", L"Erase Block Region 4: 1 x 0K"}},
      {"a size past 32 bits, 64 bits wide",
       {528, 32, 8, 1, Region(1, 4)},
       {L"Primary vendor command set: Intel Data Command Set", L"Size: 4294967296 (Hex: 0x100000000)",
        L"Supported widths: 64", L"Number of erase block regions: 1", L"Erase Block Region 1: 1 x 1K"}},
      {"the largest size a 64-bit integer holds",
       {0, 62, 4, 0},
       {L"Primary vendor command set: NA", L"Size: 4611686018427387904 (Hex: 0x4000000000000000)",
        L"Supported widths: 32", L"Number of erase block regions: 0"}},
  };
  for (const Row& row : rows) {
    TCfiFlashQueryForm& form = Make(row.Answer);
    EXPECT_EQ(row.Lines, Lines(*form.Tree_CfiQuery)) << row.Name;
  }
}

TEST_F(CfiReport, EveryCommandSetHasItsNameAndAnyOtherCodeIsNA) {
  const std::pair<std::uint32_t, const wchar_t*> names[] = {
      {1, L"Intel/Sharp Extended Command Set"}, {2, L"AMD/Fujitsu Standard Command Set"},
      {3, L"Intel Standard Command Set"},       {4, L"AMD/Fujitsu Extended Command Set"},
      {6, L"Winbond Standard Command Set"},     {256, L"Mitsubishi Standard Command Set"},
      {257, L"Mitsubishi Extended Command Set"}, {258, L"SST Page Write Command Set"},
      {512, L"Intel Performance Code Command"}, {528, L"Intel Data Command Set"},
      {0, L"NA"}, {5, L"NA"}, {7, L"NA"}, {0xFFFFFFFF, L"NA"}};
  for (const auto& [code, name] : names) EXPECT_EQ(name, tvk::CommandSetName(code)) << code;
}

// 2 to the power 63 or more fits no 64-bit integer: a conversion error and no report.
TEST_F(CfiReport, ASizeNoIntegerHoldsRaisesAndLeavesNoReport) {
  for (std::uint32_t power : {63u, 64u, 0xFFFFFFFFu}) {
    EXPECT_THROW(Make({1, power, 2, 0}), tvk::EConvertError) << power;
    EXPECT_EQ(0, Owner->ComponentCount()) << power;
  }
}

TEST_F(CfiReport, TheReportIsLaidOutAsDesigned) {
  TCfiFlashQueryForm& form = Make({1, 21, 2, 0});
  form.HandleNeeded();
  EXPECT_EQ(L"CFI Flash Query", form.Caption());
  EXPECT_EQ(tvk::TFormBorderStyle::bsDialog, form.BorderStyle());
  EXPECT_EQ(500, form.ClientWidth());
  EXPECT_EQ(200, form.ClientHeight());
  struct Bounds {
    tvk::TControl* Control;
    int Left, Top, Width, Height;
  } bounds[] = {{form.PanelStatus, 0, 0, 500, 201},
                {form.Tree_CfiQuery, 3, 3, 495, 162},
                {form.buttonClose, 422, 173, 75, 25}};
  for (const Bounds& b : bounds) {
    EXPECT_EQ(b.Left, b.Control->Left()) << b.Control->Name();
    EXPECT_EQ(b.Top, b.Control->Top()) << b.Control->Name();
    EXPECT_EQ(b.Width, b.Control->Width()) << b.Control->Name();
    EXPECT_EQ(b.Height, b.Control->Height()) << b.Control->Name();
  }
  tvk::TdxTreeList& tree = *form.Tree_CfiQuery;
  EXPECT_EQ(1, tree.Bands().Count());
  ASSERT_EQ(1, tree.ColumnCount());
  EXPECT_EQ(form.Tree_CfiQueryColumnText, tree.Columns(0));
  EXPECT_TRUE(form.Tree_CfiQueryColumnText->ReadOnly());
  EXPECT_EQ(491, form.Tree_CfiQueryColumnText->Width());
  EXPECT_FALSE(tree.FShowHeaders || tree.FShowButtons || tree.FShowLines || tree.FShowRoot || tree.FShowPreviewGrid);
  EXPECT_EQ(0, tree.IndicatorWidth());
  EXPECT_EQ(tvk::clBtnFace, tree.Color());
  EXPECT_EQ(L"Close", form.buttonClose->Caption());
  EXPECT_TRUE(form.buttonClose->Default());
  EXPECT_TRUE(form.buttonClose->Cancel());
  EXPECT_EQ(tvk::akRight | tvk::akBottom, form.buttonClose->Anchors());
  EXPECT_EQ(tvk::akLeft | tvk::akTop | tvk::akRight | tvk::akBottom, tree.Anchors());
}

// Close clicked, Escape and Enter: each ends the modal report with Close (11).
TEST_F(CfiReport, CloseEscapeAndEnterEachEndTheReportWithClose) {
  struct Row {
    const char* Name;
    std::function<void(hostsim::SimScript&)> Play;
  } rows[] = {
      {"Close", [](hostsim::SimScript& s) { s.Click(L"buttonClose"); }},
      {"Escape", [](hostsim::SimScript& s) { s.Key(VK_ESCAPE); }},
      {"Enter", [](hostsim::SimScript& s) { s.Key(VK_RETURN); }},
  };
  for (const Row& row : rows) {
    TCfiFlashQueryForm& form = Make({1, 21, 2, 2, Region(8, 64), Region(2, 128)});
    hostsim::SimScript script(400);
    script.Read(L"Tree_CfiQuery", &ReadTreeLines);
    row.Play(script);
    script.Start();
    EXPECT_EQ(tvk::mrClose, form.ShowModal()) << row.Name;
    EXPECT_TRUE(script.Finished()) << row.Name;
    EXPECT_FALSE(script.Failed()) << row.Name;
    ASSERT_EQ(1u, script.Readings().size()) << row.Name;
    EXPECT_EQ(6u, script.Readings()[0].size()) << row.Name;
  }
}

}  // namespace cfiquery_test
