// A container's styles streamed by name: values written only when assigned
// and published for the style's state, read back with exactly those bits, the
// controller found by its name, the font's "IsFontAssigned" mark, and damaged
// or unknown input.
#include "Streams.h"
#include "cxContainer.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

class ContainerStreaming : public laf_test::LookAndFeel {
protected:
  void TearDown() override {
    ContainerDefaultStyleController = nullptr;
    laf_test::LookAndFeel::TearDown();
  }
};

std::vector<WideString> StoredNames(TPersistent& AObject) {
  TMemoryStream stream;
  WriteProperties(AObject, stream);
  stream.SetPosition(0);
  return BinaryPropertyNames(stream);
}

// One property frame: name, 32-bit length, value bytes.
void AppendFrame(std::vector<uint8_t>& ABytes, const WideString& AName, const std::vector<uint8_t>& AValue) {
  ABytes.push_back(uint8_t(AName.size()));
  ABytes.push_back(uint8_t(AName.size() >> 8));
  const auto* name = reinterpret_cast<const uint8_t*>(AName.data());
  ABytes.insert(ABytes.end(), name, name + AName.size() * sizeof(wchar_t));
  for (int i = 0; i < 4; ++i) ABytes.push_back(uint8_t(AValue.size() >> (8 * i)));
  ABytes.insert(ABytes.end(), AValue.begin(), AValue.end());
}

std::vector<uint8_t> IntegerValue(int32_t AValue) {
  std::vector<uint8_t> bytes{uint8_t(TValueType::vaInteger)};
  for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(uint32_t(AValue) >> (8 * i)));
  return bytes;
}

void ReadFrames(TPersistent& AObject, std::vector<uint8_t> ABytes) {
  ABytes.push_back(0);
  ABytes.push_back(0);
  TMemoryStream stream(std::move(ABytes));
  ReadProperties(AObject, stream);
}

}  // namespace

TEST_F(ContainerStreaming, StylesRoundTripWithExactlyTheirAssignedBits) {
  struct TStreamedForm {
    TComponent Root{nullptr};
    TcxStyleController* Controller = new TcxStyleController(&Root);
    TcxContainer* Container = new TcxContainer(&Root);
    TStreamedForm() { Controller->SetName(L"Controller1"); }
  };
  TStreamedForm source, target;
  TcxContainerStyle* normal = source.Container->Style();
  normal->SetBorderColor(clRed);
  normal->SetBorderStyle(cbsOffice11);
  normal->SetEdges(bLeft | bTop);
  normal->SetShadow(true);
  normal->SetTransparentBorder(false);
  normal->SetTextStyle(fsItalic);
  normal->Font()->SetName(L"Arial");
  normal->Font()->SetHeight(-15);
  normal->LookAndFeel()->SetKind(lfOffice11);
  normal->SetStyleController(source.Controller);
  source.Container->StyleFocused()->SetColor(clYellow);
  source.Container->StyleFocused()->SetTextColor(clBlue);
  source.Container->StyleDisabled()->SetBorderColor(clGray);

  TMemoryStream stream;
  WriteProperties(*source.Container, stream);
  stream.SetPosition(0);
  EXPECT_EQ((std::vector<WideString>{L"Style", L"StyleDisabled", L"StyleFocused", L"StyleHot"}),
            BinaryPropertyNames(stream));
  stream.SetPosition(0);
  ReadProperties(*target.Container, stream);
  EXPECT_EQ(stream.Size(), stream.Position());

  for (int state = csNormal; state <= csHotTrack; ++state) {
    const auto item = TcxContainerStateItem(state);
    EXPECT_EQ(source.Container->Styles().GetStyleByState(item)->AssignedValues(),
              target.Container->Styles().GetStyleByState(item)->AssignedValues())
        << "state " << state;
  }
  TcxContainerStyle* read = target.Container->Style();
  EXPECT_EQ(clRed, read->BorderColor());
  EXPECT_EQ(cbsOffice11, read->BorderStyle());
  EXPECT_EQ(bLeft | bTop, read->Edges());
  EXPECT_TRUE(read->Shadow());
  EXPECT_FALSE(read->TransparentBorder());
  EXPECT_EQ(TFontStyles(fsItalic), read->TextStyle());
  EXPECT_EQ(L"Arial", read->Font()->Name());
  EXPECT_EQ(-15, read->Font()->Height());
  EXPECT_EQ(lfOffice11, read->LookAndFeel()->Kind());
  EXPECT_EQ(TcxLookAndFeelValues(lfvKind), read->LookAndFeel()->AssignedValues());
  EXPECT_EQ(target.Controller, read->StyleController()) << "found by name among the reader's components";
  EXPECT_EQ(clYellow, target.Container->StyleFocused()->Color());
  EXPECT_EQ(clBlue, target.Container->StyleFocused()->TextColor());
  EXPECT_EQ(clGray, target.Container->StyleDisabled()->BorderColor());
  EXPECT_EQ(0u, target.Container->StyleHot()->AssignedValues());
}

TEST_F(ContainerStreaming, StateStylesWriteOnlyTheValuesTheContainerPublishes) {
  TcxContainer container(nullptr);
  TcxContainerStyle* focused = container.StyleFocused();
  focused->SetTextColor(clBlue);
  // Values that live on the normal style, marked on a state style, stay hidden there.
  focused->SetAssignedValues(focused->AssignedValues() | cxStyleValueBit(svEdges) | cxStyleValueBit(svFont) |
                             cxStyleValueBit(svShadow));
  EXPECT_EQ(std::vector<WideString>{L"TextColor"}, StoredNames(*focused));

  TcxContainerStyle* normal = container.Style();
  EXPECT_TRUE(StoredNames(*normal).empty()) << "nothing assigned, nothing stored";
  normal->SetShadow(true);
  normal->Font()->SetSize(12);
  EXPECT_EQ((std::vector<WideString>{L"Font", L"Shadow", L"IsFontAssigned"}), StoredNames(*normal));
}

TEST_F(ContainerStreaming, IsFontAssignedMakesTheFontOwnWhateverItHolds) {
  for (const uint8_t mark : {uint8_t(0), uint8_t(1)}) {
    TcxContainer container(nullptr);
    ASSERT_FALSE(container.Style()->AssignedValues() & cxStyleValueBit(svFont));
    std::vector<uint8_t> bytes;
    AppendFrame(bytes, L"IsFontAssigned", {mark});
    ReadFrames(*container.Style(), bytes);
    EXPECT_EQ(cxStyleValueBit(svFont), container.Style()->AssignedValues()) << int(mark);
  }
  // A font assigned with the very values it had still comes back assigned.
  TcxContainer written(nullptr), read(nullptr);
  written.Style()->SetAssignedValues(cxStyleValueBit(svFont));
  TMemoryStream stream;
  WriteProperties(*written.Style(), stream);
  stream.SetPosition(0);
  ReadProperties(*read.Style(), stream);
  EXPECT_EQ(cxStyleValueBit(svFont), read.Style()->AssignedValues());
}

TEST_F(ContainerStreaming, UnknownNamesAreSkippedAndDamagedValuesRefused) {
  TcxContainer container(nullptr);
  std::vector<uint8_t> bytes;
  AppendFrame(bytes, L"Gradient", {uint8_t(TValueType::vaTrue)});
  AppendFrame(bytes, L"BorderColor", IntegerValue(clRed));
  ReadFrames(*container.Style(), bytes);
  EXPECT_EQ(clRed, container.Style()->BorderColor());
  EXPECT_EQ(cxStyleValueBit(svBorderColor), container.Style()->AssignedValues());

  struct Case {
    const wchar_t* Name;
    std::vector<uint8_t> Value;
  };
  for (const Case& c : {Case{L"BorderStyle", IntegerValue(cbsOffice11 + 1)}, Case{L"Edges", IntegerValue(16)},
                        Case{L"TextStyle", IntegerValue(-1)}, Case{L"HotTrack", IntegerValue(1)},
                        Case{L"StyleController", {uint8_t(TValueType::vaString), 0, 0, 0, 0}}}) {
    TcxContainer target(nullptr);
    std::vector<uint8_t> damaged;
    AppendFrame(damaged, c.Name, c.Value);
    EXPECT_THROW(ReadFrames(*target.Style(), damaged), EReadError) << c.Name;
    EXPECT_EQ(0u, target.Style()->AssignedValues()) << c.Name;
  }

  // A stream cut anywhere raises the read error.
  container.StyleFocused()->SetColor(clLime);
  TMemoryStream whole;
  WriteProperties(container, whole);
  for (std::size_t cut = 0; cut < whole.Bytes().size(); cut += 3) {
    TcxContainer target(nullptr);
    TMemoryStream truncated(std::vector<uint8_t>(whole.Bytes().begin(), whole.Bytes().begin() + cut));
    EXPECT_THROW(ReadProperties(target, truncated), EReadError) << "cut at " << cut;
  }
}

TEST_F(ContainerStreaming, AControllerIsStoredByNameAndAMissingOneIsAnError) {
  TComponent writerRoot(nullptr), readerRoot(nullptr);
  auto* controller = new TcxStyleController(&writerRoot);
  controller->SetName(L"Shared");
  auto* written = new TcxContainer(&writerRoot);
  written->Style()->SetStyleController(controller);
  TMemoryStream stream;
  WriteProperties(*written->Style(), stream);
  auto* read = new TcxContainer(&readerRoot);
  stream.SetPosition(0);
  try {
    ReadProperties(*read->Style(), stream);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(std::wstring::npos, std::wstring(e.Message()).find(L"Shared")) << e.Message();
  }
  EXPECT_EQ(nullptr, read->Style()->StyleController());

  // A reference that could not be found again is not written at all.
  controller->SetName(L"");
  TMemoryStream refused;
  EXPECT_THROW(WriteProperties(*written->Style(), refused), EWriteError);
}
