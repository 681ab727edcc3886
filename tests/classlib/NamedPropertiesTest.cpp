// Named typed properties of the filer: written when their stored-check says
// so, read back by name beside binary properties, unknown names skipped, and
// a damaged stream refused with the library's read error.
#include <gtest/gtest.h>

#include "Graphics.h"
#include "Streams.h"

#include <cstring>

using namespace tvk;

namespace {

// A persistent with one property of every kind, each stored only when set,
// and a binary property beside them.
class TNamedSample : public TPersistent {
public:
  bool Flag = false;
  std::int32_t Count = 0;
  TColor Tint = clNone;
  WideString Caption;
  TFont Font;
  std::vector<std::uint8_t> Blob;
  bool FontStored = false;
  // Defined only by the newer kind of sample, so that an older reader skips it.
  bool DefinesExtra = false;
  std::int32_t Extra = 0;

  void DefineProperties(TFiler& filer) override {
    TPersistent::DefineProperties(filer);
    filer.DefineProperty(
        L"Flag", [this](TReader& r) { Flag = r.ReadBoolean(); }, [this](TWriter& w) { w.WriteBoolean(Flag); }, Flag);
    if (DefinesExtra)
      filer.DefineProperty(
          L"Extra", [this](TReader& r) { Extra = r.ReadInteger(); }, [this](TWriter& w) { w.WriteInteger(Extra); },
          true);
    filer.DefineProperty(
        L"Count", [this](TReader& r) { Count = r.ReadInteger(); }, [this](TWriter& w) { w.WriteInteger(Count); },
        Count != 0);
    filer.DefineProperty(
        L"Tint", [this](TReader& r) { Tint = r.ReadInteger(); }, [this](TWriter& w) { w.WriteInteger(Tint); },
        Tint != clNone);
    filer.DefineBinaryProperty(
        L"Blob",
        [this](TStream& s) {
          Blob.resize(std::size_t(s.Size()));
          if (!Blob.empty()) s.ReadBuffer(Blob.data(), Blob.size());
        },
        [this](TStream& s) { s.WriteBuffer(Blob.data(), Blob.size()); }, !Blob.empty());
    filer.DefineProperty(
        L"Caption", [this](TReader& r) { Caption = r.ReadString(); }, [this](TWriter& w) { w.WriteString(Caption); },
        !Caption.empty());
    filer.DefineProperty(
        L"Font", [this](TReader& r) { r.ReadPersistent(Font); }, [this](TWriter& w) { w.WritePersistent(Font); },
        FontStored);
  }
};

// A binary property without a name would be written as the list's end mark.
class TUnnamedBinarySample : public TPersistent {
public:
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty(L"", nullptr, [](TStream& s) { s.WriteValue<std::uint8_t>(1); }, true);
  }
};

std::vector<WideString> NamesIn(TMemoryStream& stream) {
  stream.SetPosition(0);
  auto names = BinaryPropertyNames(stream);
  stream.SetPosition(0);
  return names;
}

void AppendName(std::vector<std::uint8_t>& bytes, const wchar_t* name) {
  const auto length = std::uint16_t(std::wcslen(name));
  bytes.push_back(std::uint8_t(length));
  bytes.push_back(std::uint8_t(length >> 8));
  const auto* p = reinterpret_cast<const std::uint8_t*>(name);
  bytes.insert(bytes.end(), p, p + length * sizeof(wchar_t));
}

void AppendU32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(value >> (8 * i)));
}

}  // namespace

TEST(NamedProperties, EveryKindRoundTripsAndOnlyStoredOnesAreWritten) {
  TNamedSample written;
  written.Count = -70000;
  written.Caption = L"caption \u00e9\u4e2d";
  written.Blob = {1, 2, 3};
  TMemoryStream stream;
  WriteProperties(written, stream);
  EXPECT_EQ((std::vector<WideString>{L"Count", L"Blob", L"Caption"}), NamesIn(stream));

  written.Flag = true;
  written.Tint = TColor(kSystemColor | COLOR_BTNFACE);
  written.FontStored = true;
  written.Font.SetName(L"Courier New");
  written.Font.SetHeight(-19);
  written.Font.SetStyle(fsBold | fsStrikeOut);
  written.Font.SetColor(clRed);
  written.Font.SetPitch(TFontPitch::fpFixed);
  written.Font.SetCharset(ANSI_CHARSET);
  stream.Clear();
  WriteProperties(written, stream);
  EXPECT_EQ((std::vector<WideString>{L"Flag", L"Count", L"Tint", L"Blob", L"Caption", L"Font"}), NamesIn(stream));

  TNamedSample read;
  ReadProperties(read, stream);
  EXPECT_EQ(stream.Size(), stream.Position());
  EXPECT_TRUE(read.Flag);
  EXPECT_EQ(-70000, read.Count);
  EXPECT_EQ(written.Tint, read.Tint);
  EXPECT_EQ(written.Caption, read.Caption);
  EXPECT_EQ(written.Blob, read.Blob);
  EXPECT_EQ(L"Courier New", read.Font.Name());
  EXPECT_EQ(-19, read.Font.Height());
  EXPECT_EQ(TFontStyles(fsBold | fsStrikeOut), read.Font.Style());
  EXPECT_EQ(clRed, read.Font.Color());
  EXPECT_EQ(TFontPitch::fpFixed, read.Font.Pitch());
  EXPECT_EQ(ANSI_CHARSET, read.Font.Charset());
}

TEST(NamedProperties, UnknownNamesAreSkippedByTheNamedReaderOnly) {
  TNamedSample newer;
  newer.DefinesExtra = true;
  newer.Extra = 5;
  newer.Count = 9;
  newer.Caption = L"kept";
  TMemoryStream stream;
  WriteProperties(newer, stream);
  ASSERT_EQ((std::vector<WideString>{L"Extra", L"Count", L"Caption"}), NamesIn(stream));

  TNamedSample older;
  ReadProperties(older, stream);
  EXPECT_EQ(9, older.Count);
  EXPECT_EQ(L"kept", older.Caption);
  EXPECT_EQ(stream.Size(), stream.Position());
  // A nested object skips what it does not know in the same way.
  TMemoryStream nested;
  {
    TWriter writer(nested);
    writer.WritePersistent(newer);
  }
  nested.SetPosition(0);
  TNamedSample inner;
  TReader(nested).ReadPersistent(inner);
  EXPECT_EQ(9, inner.Count);

  // The binary reader keeps refusing what its object does not define.
  stream.SetPosition(0);
  EXPECT_THROW(ReadBinaryProperties(older, stream), EReadError);
}

TEST(NamedProperties, BinaryPropertiesKeepTheirFormatForBothReaders) {
  // Name, 32-bit length, bytes; a zero name length ends the list.
  std::vector<std::uint8_t> stored;
  AppendName(stored, L"Blob");
  AppendU32(stored, 2);
  stored.push_back(0xAB);
  stored.push_back(0xCD);
  stored.push_back(0);
  stored.push_back(0);

  TNamedSample sample;
  sample.Blob = {0xAB, 0xCD};
  sample.Count = 3;  // a named property: the binary writer leaves it out
  TMemoryStream written;
  WriteBinaryProperties(sample, written);
  EXPECT_EQ(stored, written.Bytes());

  TUnnamedBinarySample unnamed;
  TMemoryStream refused;
  EXPECT_THROW(WriteBinaryProperties(unnamed, refused), EWriteError);

  TNamedSample byBinary, byNamed;
  TMemoryStream first(stored), second(stored);
  ReadBinaryProperties(byBinary, first);
  ReadProperties(byNamed, second);
  EXPECT_EQ(sample.Blob, byBinary.Blob);
  EXPECT_EQ(sample.Blob, byNamed.Blob);
  EXPECT_EQ(0, byNamed.Count);
}

TEST(NamedProperties, DamagedStreamsRaiseTheReadError) {
  TNamedSample written;
  written.Flag = true;
  written.Count = 1;
  written.Caption = L"abc";
  written.Blob = {7};
  written.FontStored = true;
  TMemoryStream whole;
  WriteProperties(written, whole);
  // Every cut of the stream is refused, wherever it falls.
  for (std::size_t cut = 0; cut < whole.Bytes().size(); ++cut) {
    TMemoryStream truncated(std::vector<std::uint8_t>(whole.Bytes().begin(), whole.Bytes().begin() + cut));
    TNamedSample read;
    EXPECT_THROW(ReadProperties(read, truncated), EReadError) << "cut at " << cut;
  }

  struct Case {
    const char* What;
    const wchar_t* Name;
    std::vector<std::uint8_t> Payload;
    std::uint32_t Length;  // as the frame claims it
  };
  std::vector<std::uint8_t> countAsString = {std::uint8_t(TValueType::vaString)};
  AppendU32(countAsString, 0);
  std::vector<std::uint8_t> longString = {std::uint8_t(TValueType::vaString)};
  AppendU32(longString, 0x7FFFFFFF);
  std::vector<std::uint8_t> trailing = {std::uint8_t(TValueType::vaInteger), 1, 0, 0, 0, 0xEE};
  std::vector<std::uint8_t> badTag = {0x7F, 1, 0, 0, 0};
  for (const Case& c :
       {Case{"a frame longer than the stream", L"Blob", {std::uint8_t(TValueType::vaInteger)}, 0xFFFFFFF0u},
        Case{"a value of another kind", L"Count", countAsString, 5},
        Case{"a string longer than its frame", L"Caption", longString, 5},
        Case{"bytes left over in the frame", L"Count", trailing, 6},
        Case{"an unknown value kind", L"Count", badTag, 5}}) {
    std::vector<std::uint8_t> bytes;
    AppendName(bytes, c.Name);
    AppendU32(bytes, c.Length);
    bytes.insert(bytes.end(), c.Payload.begin(), c.Payload.end());
    bytes.push_back(0);
    bytes.push_back(0);
    TMemoryStream stream(bytes), again(bytes);
    TNamedSample read;
    EXPECT_THROW(ReadProperties(read, stream), EReadError) << c.What;
    EXPECT_THROW(ReadBinaryProperties(read, again), EReadError) << c.What;
    EXPECT_TRUE(read.Blob.empty()) << c.What;
  }

  // A font value outside its range is refused, not taken.
  TNamedSample outOfRange;
  outOfRange.FontStored = true;
  outOfRange.Font.SetPitch(TFontPitch(7));
  TMemoryStream badFont;
  WriteProperties(outOfRange, badFont);
  TNamedSample read;
  EXPECT_THROW(ReadProperties(read, badFont), EReadError);
  EXPECT_EQ(TFontPitch::fpDefault, read.Font.Pitch());
}
