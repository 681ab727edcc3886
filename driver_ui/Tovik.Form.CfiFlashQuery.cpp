#include "Tovik.Form.CfiFlashQuery.h"
#include "FormDesign.h"

#include "Convert.h"
#include "Extension.Util.h"

#include <algorithm>
#include <vector>

namespace tvk {

namespace {

struct TCommandSetRow {
  uint32_t Code;
  const wchar_t* Name;
};

// The primary vendor command sets a CFI chip names.
constexpr TCommandSetRow kCommandSets[] = {
    {1, L"Intel/Sharp Extended Command Set"},  {2, L"AMD/Fujitsu Standard Command Set"},
    {3, L"Intel Standard Command Set"},        {4, L"AMD/Fujitsu Extended Command Set"},
    {6, L"Winbond Standard Command Set"},      {256, L"Mitsubishi Standard Command Set"},
    {257, L"Mitsubishi Extended Command Set"}, {258, L"SST Page Write Command Set"},
    {512, L"Intel Performance Code Command"},  {528, L"Intel Data Command Set"},
};

// The answer's words: command set, size as a power of two, widths, region
// count, then the regions (bits 0-15 blocks - 1, bits 16-31 size / 256).
enum : std::size_t { kWordCommandSet, kWordSizePower, kWordWidths, kWordRegionCount, kWordFirstRegion };
constexpr uint32_t kReportedRegions = 4;

// The bits of the widths word that list a width; 0 lists them all.
struct TWidthRow {
  uint32_t Word;
  const wchar_t* Text;
};
constexpr TWidthRow kWidths[] = {{1, L" 8"}, {2, L" 16"}, {4, L" 32"}, {8, L" 64"}};

std::vector<WideString> ReportLines(const TRemoteCommandResult& Result) {
  const auto& words = Result.resultArray;
  std::vector<WideString> lines;
  lines.push_back(L"Primary vendor command set: " + CommandSetName(words[kWordCommandSet]));

  const uint32_t power = words[kWordSizePower];
  if (power >= 63)  // 2^63 and above are no signed 64-bit integer
    throw EConvertError(L"The flash size 2^" + IntToStr(power) + L" is out of range");
  const int64_t size = int64_t(1) << power;
  lines.push_back(L"Size: " + IntToStr(size) + L" " + L"(Hex: " + FormatHex0x(size, 8) + L")");

  WideString widths = L"Supported widths:";
  for (const TWidthRow& row : kWidths)
    if (words[kWordWidths] == 0 || words[kWordWidths] == row.Word) widths += row.Text;
  lines.push_back(widths);

  const uint32_t regions = words[kWordRegionCount];
  lines.push_back(L"Number of erase block regions: " + IntToStr(regions));
  for (uint32_t i = 1; i <= std::min(regions, kReportedRegions); ++i) {
    const uint32_t region = words[kWordFirstRegion + i - 1];
    const uint32_t blocks = (region & 0xFFFF) + 1;
    const uint32_t kib = (region >> 16) * 256 / 1024;
    lines.push_back(L"Erase Block Region " + IntToStr(i) + L": " + IntToStr(blocks) + L" x " + IntToStr(kib) + L"K");
  }
  return lines;
}

constexpr TAnchors kAllSides = akLeft | akTop | akRight | akBottom;

void BuildCfiFlashQueryForm(TComponent& root) {
  auto& f = static_cast<TCfiFlashQueryForm&>(root);
  // Unnamed: the flash dialog owns a report for every query made.
  f.SetCaption(L"CFI Flash Query");
  f.SetBorderStyle(TFormBorderStyle::bsDialog);
  f.SetPosition(TPosition::poDesigned);
  f.SetClientSize(500, 200);

  // Placed over the client area rather than aligned: until the form has a
  // window its client area is its outer size, and an aligned panel would
  // take that width and shift its anchored controls when the window comes.
  f.PanelStatus = PlaceControl<TXPExtPanel>(f, &f, L"PanelStatus", 0, 0, 500, 201);
  f.PanelStatus->SetKind(TXPExtPanelKind::epkGradient);
  f.PanelStatus->SetAnchors(kAllSides);

  TdxTreeList* tree = f.Tree_CfiQuery = PlaceControl<TdxTreeList>(f, f.PanelStatus, L"Tree_CfiQuery", 3, 3, 495, 162);
  tree->SetAnchors(kAllSides);
  // One band, no header, buttons, tree lines, root or preview grid, no indicator.
  tree->FShowHeaders = false;
  tree->FShowButtons = false;
  tree->FShowLines = false;
  tree->FShowRoot = false;
  tree->FShowPreviewGrid = false;
  tree->SetIndicatorWidth(0);
  tree->SetColor(clBtnFace);
  f.Tree_CfiQueryColumnText = tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), &f);
  f.Tree_CfiQueryColumnText->SetName(L"Tree_CfiQueryColumnText");
  f.Tree_CfiQueryColumnText->SetReadOnly(true);
  f.Tree_CfiQueryColumnText->SetWidth(491);
  tree->LayoutChanged();

  f.buttonClose = PlaceControl<TXPBitBtn>(f, f.PanelStatus, L"buttonClose", 422, 173, 75, 25);
  f.buttonClose->SetCaption(L"Close");
  f.buttonClose->SetAnchors(akRight | akBottom);
  f.buttonClose->SetDefault(true);
  f.buttonClose->SetCancel(true);
  f.buttonClose->SetModalResult(mrClose);
}

}  // namespace

TVK_DESIGN(TCfiFlashQueryForm, BuildCfiFlashQueryForm);

WideString CommandSetName(uint32_t Code) {
  for (const TCommandSetRow& row : kCommandSets)
    if (row.Code == Code) return row.Name;
  return L"NA";
}

TCfiFlashQueryForm::TCfiFlashQueryForm(TComponent* owner) : TServerDialog(owner) {}

TCfiFlashQueryForm* TCfiFlashQueryForm::Create(TComponent* Owner, const TRemoteCommandResult& Result) {
  // The lines first: an answer that cannot be shown leaves no report behind.
  const std::vector<WideString> lines = ReportLines(Result);
  TCfiFlashQueryForm* form = CreateComponent<TCfiFlashQueryForm>(Owner);
  for (const WideString& line : lines) form->AddLine(line);
  return form;
}

void TCfiFlashQueryForm::AddLine(const WideString& Text) { Tree_CfiQuery->Add()->SetString(0, Text); }

}  // namespace tvk
