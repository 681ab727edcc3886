#include "AnsiStringList.h"

#include "dcutils.h"

#include <algorithm>
#include <cstring>

namespace tvk {

namespace {

constexpr int kMaxListSize = 134217727;  // 0x7FFFFFF
constexpr const wchar_t* kIndexError = L"List index out of bounds (%d)";
constexpr const wchar_t* kSortedListError = L"Operation not allowed on sorted list";

// A double-byte character of the ANSI code page is one character.
std::size_t NextAnsiChar(std::string_view text, std::size_t pos) {
  return IsDBCSLeadByte(BYTE(text[pos])) && pos + 1 < text.size() ? pos + 2 : pos + 1;
}

int CompareAnsi(std::string_view a, std::string_view b, bool ignoreCase) {
  return CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.data(), int(a.size()), b.data(),
                        int(b.size())) -
         CSTR_EQUAL;
}

// Closes an update bracket however the work inside ends.
struct TUpdateBracket {
  explicit TUpdateBracket(TAnsiStrings& strings) : Strings(strings) { Strings.BeginUpdate(); }
  ~TUpdateBracket() { Strings.EndUpdate(); }
  TAnsiStrings& Strings;
};

}  // namespace

// ---- TAnsiStringsEnumerator

AnsiString TAnsiStringsEnumerator::Current() const { return FStrings.Get(FIndex); }

bool TAnsiStringsEnumerator::MoveNext() {
  if (FIndex >= FStrings.Count() - 1) return false;
  ++FIndex;
  return true;
}

// ---- TAnsiStrings

void TAnsiStrings::Error(const wchar_t* message, int index) const {
  throw EStringListError(FormatString(message, {index}));
}

void TAnsiStrings::Put(int index, const AnsiString& s) {
  TUpdateBracket update(*this);
  TObject* object = Objects(index);
  PutObject(index, nullptr);  // a list that owns it must not free it on the way
  Delete(index);
  InsertObject(index, s, object);
}

void TAnsiStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
  TUpdateBracket update(*this);
  Insert(index, s);
  PutObject(index, object);
}

int TAnsiStrings::AddObject(const AnsiString& s, TObject* object) {
  int index = Count();
  InsertObject(index, s, object);
  return index;
}

void TAnsiStrings::AddStrings(const TAnsiStrings& strings) {
  TUpdateBracket update(*this);
  for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.Objects(i));
}

int TAnsiStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TAnsiStrings::IndexOf(std::wstring_view s) const {
  AnsiString ansi;
  if (!s.empty()) {
    int size = WideCharToMultiByte(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
    ansi.resize(std::size_t(size));
    WideCharToMultiByte(CP_ACP, 0, s.data(), int(s.size()), ansi.data(), size, nullptr, nullptr);
  }
  return IndexOf(std::string_view(ansi));
}

int TAnsiStrings::IndexOfName(std::string_view name) const {
  char separator = NameValueSeparator();
  for (int i = 0; i < Count(); ++i) {
    AnsiString s = Get(i);
    std::string_view view(s);
    for (std::size_t pos = 0; pos < view.size(); pos = NextAnsiChar(view, pos))
      if (view[pos] == separator) {
        if (CompareStrings(view.substr(0, pos), name) == 0) return i;
        break;
      }
  }
  return -1;
}

int TAnsiStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == object) return i;
  return -1;
}

void TAnsiStrings::Exchange(int index1, int index2) {
  TUpdateBracket update(*this);
  AnsiString s = Get(index1);
  TObject* object = Objects(index1);
  Put(index1, Get(index2));
  PutObject(index1, Objects(index2));
  Put(index2, s);
  PutObject(index2, object);
}

void TAnsiStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  AnsiString s = Get(curIndex);  // checks CurIndex
  // Checked before anything changes: a failed insert must not lose the item.
  if (newIndex < 0 || newIndex >= Count()) Error(kIndexError, newIndex);
  TUpdateBracket update(*this);
  TObject* object = Objects(curIndex);
  PutObject(curIndex, nullptr);  // moved, not freed by a list that owns it
  Delete(curIndex);
  InsertObject(newIndex, s, object);
}

bool TAnsiStrings::Equals(const TAnsiStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

AnsiString TAnsiStrings::GetTextStr() const {
  AnsiString lineBreak = LineBreak();
  AnsiString text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + lineBreak;
  return text;
}

void TAnsiStrings::SetTextStr(const AnsiString& text) {
  TUpdateBracket update(*this);
  Clear();
  AnsiString lineBreak = LineBreak();
  std::size_t pos = 0;
  const std::size_t n = text.size();
  if (lineBreak == "\r\n") {
    while (pos < n) {
      std::size_t start = pos;
      while (pos < n && text[pos] != '\r' && text[pos] != '\n') ++pos;
      Add(text.substr(start, pos - start));
      if (pos < n && text[pos] == '\r') ++pos;
      if (pos < n && text[pos] == '\n') ++pos;
    }
  } else if (lineBreak.empty()) {
    if (n) Add(text);  // nothing breaks the text
  } else {
    while (pos < n) {
      std::size_t end = text.find(lineBreak, pos);
      if (end == AnsiString::npos) end = n;
      Add(text.substr(pos, end - pos));
      pos = end == n ? n : end + lineBreak.size();
    }
  }
}

std::unique_ptr<char[]> TAnsiStrings::GetText() const {
  AnsiString text = GetTextStr();
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

void TAnsiStrings::SetText(const char* text) { SetTextStr(text ? AnsiString(text) : AnsiString()); }

AnsiString TAnsiStrings::DelimitedText() const {
  return JoinDelimitedText(
      Count(), [this](int i) { return Get(i); }, Delimiter(), QuoteChar(), StrictDelimiter(), NextAnsiChar);
}

void TAnsiStrings::SetDelimitedText(const AnsiString& text) {
  auto items = SplitDelimitedText(std::string_view(text), Delimiter(), QuoteChar(), StrictDelimiter(), NextAnsiChar);
  TUpdateBracket update(*this);
  Clear();
  for (const AnsiString& item : items) Add(item);
}

AnsiString TAnsiStrings::CommaText() const {
  // "," and the double quote for this call only: the list's own settings come back.
  struct TRestore {
    const TAnsiStrings& Strings;
    unsigned Defined;
    char Delimiter, Quote;
    ~TRestore() { Strings.FDefined = Defined, Strings.FDelimiter = Delimiter, Strings.FQuoteChar = Quote; }
  } restore{*this, FDefined, FDelimiter, FQuoteChar};
  FDelimiter = ',', FQuoteChar = '"', FDefined |= sdDelimiter | sdQuoteChar;
  return DelimitedText();
}

void TAnsiStrings::SetCommaText(const AnsiString& text) {
  SetDelimiter(',');
  SetQuoteChar('"');
  SetDelimitedText(text);
}

// A property's value; an unset one takes its default when first read.
template <class T>
const T& TAnsiStrings::Defined(T& field, unsigned flag, const T& byDefault) const {
  if (!(FDefined & flag)) field = byDefault, FDefined |= flag;
  return field;
}

template <class T>
void TAnsiStrings::Define(T& field, unsigned flag, const T& value) {
  field = value;
  FDefined |= flag;
}

char TAnsiStrings::Delimiter() const { return Defined(FDelimiter, sdDelimiter, ','); }
void TAnsiStrings::SetDelimiter(char value) { Define(FDelimiter, sdDelimiter, value); }
char TAnsiStrings::QuoteChar() const { return Defined(FQuoteChar, sdQuoteChar, '"'); }
void TAnsiStrings::SetQuoteChar(char value) { Define(FQuoteChar, sdQuoteChar, value); }
char TAnsiStrings::NameValueSeparator() const { return Defined(FNameValueSeparator, sdNameValueSeparator, '='); }
void TAnsiStrings::SetNameValueSeparator(char value) { Define(FNameValueSeparator, sdNameValueSeparator, value); }
AnsiString TAnsiStrings::LineBreak() const { return Defined(FLineBreak, sdLineBreak, AnsiString("\r\n")); }
void TAnsiStrings::SetLineBreak(const AnsiString& value) { Define(FLineBreak, sdLineBreak, value); }
bool TAnsiStrings::StrictDelimiter() const { return Defined(FStrictDelimiter, sdStrictDelimiter, false); }
void TAnsiStrings::SetStrictDelimiter(bool value) { Define(FStrictDelimiter, sdStrictDelimiter, value); }

void TAnsiStrings::LoadFromFile(std::wstring_view fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TAnsiStrings::LoadFromFile(std::wstring_view fileName, const TEncoding*) { LoadFromFile(fileName); }

void TAnsiStrings::LoadFromStream(TStream& stream) {
  std::int64_t size = stream.Size() - stream.Position();
  AnsiString text(std::size_t(std::max<std::int64_t>(size, 0)), '\0');
  if (!text.empty()) stream.ReadBuffer(text.data(), text.size());
  SetTextStr(text);
}

void TAnsiStrings::LoadFromStream(TStream& stream, const TEncoding*) { LoadFromStream(stream); }

void TAnsiStrings::SaveToFile(std::wstring_view fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

void TAnsiStrings::SaveToFile(std::wstring_view fileName, const TEncoding*) { SaveToFile(fileName); }

void TAnsiStrings::SaveToStream(TStream& stream) const {
  AnsiString text = GetTextStr();
  stream.WriteBuffer(text.data(), text.size());
}

void TAnsiStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TAnsiStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TAnsiStrings::Assign(const TPersistent& source) {
  const auto* strings = dynamic_cast<const TAnsiStrings*>(&source);
  if (!strings) {
    TPersistent::Assign(source);
    return;
  }
  TUpdateBracket update(*this);
  Clear();
  FDefined = strings->FDefined;
  FNameValueSeparator = strings->FNameValueSeparator;
  FQuoteChar = strings->FQuoteChar;
  FDelimiter = strings->FDelimiter;
  FLineBreak = strings->FLineBreak;
  FStrictDelimiter = strings->FStrictDelimiter;
  AddStrings(*strings);
}

int TAnsiStrings::CompareStrings(std::string_view a, std::string_view b) const { return CompareAnsi(a, b, true); }

// ---- TAnsiStringList

TAnsiStringList::~TAnsiStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObject)
    for (auto& item : FList) delete item.FObject;
}

void TAnsiStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error(kIndexError, index);
}

AnsiString TAnsiStringList::Get(int index) const {
  CheckIndex(index);
  return FList[std::size_t(index)].FString;
}

void TAnsiStringList::Put(int index, const AnsiString& s) {
  if (FSorted) Error(kSortedListError, index);
  CheckIndex(index);
  Changing();
  FList[std::size_t(index)].FString = s;
  Changed();
}

TObject* TAnsiStringList::Objects(int index) const {
  CheckIndex(index);
  return FList[std::size_t(index)].FObject;
}

void TAnsiStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  FList[std::size_t(index)].FObject = object;
  Changed();
}

void TAnsiStringList::SetCapacity(int value) {
  if (value < Count() || value > kMaxListSize) Error(L"List capacity out of bounds (%d)", value);
  // The number is the list's; the storage grows as items come (a large
  // capacity costs nothing until it is filled).
  FCapacity = value;
}

void TAnsiStringList::Grow() {
  int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
  SetCapacity(FCapacity + delta);
}

void TAnsiStringList::InsertObject(int index, const AnsiString& s, TObject* object) {
  if (FSorted) Error(kSortedListError, index);
  if (index < 0 || index > Count()) Error(kIndexError, index);
  InsertItem(index, s, object);
}

void TAnsiStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
  if (Count() == FCapacity) Grow();
  Changing();
  FList.insert(FList.begin() + index, TAnsiStringItem{s, object});
  Changed();
}

void TAnsiStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* object = FList[std::size_t(index)].FObject;
  FList.erase(FList.begin() + index);
  if (FOwnsObject) delete object;
  Changed();
}

void TAnsiStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TAnsiStringItem> old;
  old.swap(FList);
  FCapacity = 0;
  if (FOwnsObject)
    for (auto& item : old) delete item.FObject;
  Changed();
}

int TAnsiStringList::AddObject(const AnsiString& s, TObject* object) {
  int index = Count();
  if (FSorted && Find(s, index)) {
    switch (FDuplicates) {
      case TDuplicates::dupIgnore: return index;
      case TDuplicates::dupError: throw EStringListError(L"String list does not allow duplicates");
      case TDuplicates::dupAccept: break;
    }
  }
  InsertItem(index, s, object);
  return index;
}

int TAnsiStringList::IndexOf(std::string_view s) const {
  if (!FSorted) return TAnsiStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

void TAnsiStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(FList[std::size_t(index1)], FList[std::size_t(index2)]);
  Changed();
}

void TAnsiStringList::Move(int curIndex, int newIndex) {
  if (FSorted && curIndex != newIndex) Error(kSortedListError, curIndex);
  TAnsiStrings::Move(curIndex, newIndex);
}

bool TAnsiStringList::Find(std::string_view s, int& index) const {
  bool found = false;
  int low = 0, high = Count() - 1;
  while (low <= high) {
    int mid = (low + high) >> 1;
    int c = CompareStrings(FList[std::size_t(mid)].FString, s);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != TDuplicates::dupAccept) low = mid;  // the search ends here
      }
    }
  }
  index = low;
  return found;
}

void TAnsiStringList::QuickSort(int left, int right, TAnsiStringListSortCompare compare) {
  int i;
  do {
    i = left;
    int j = right;
    int pivot = (left + right) >> 1;
    do {
      // The bounds only matter to a comparison that is not an order.
      while (i < right && compare(*this, i, pivot) < 0) ++i;
      while (j > left && compare(*this, j, pivot) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(FList[std::size_t(i)], FList[std::size_t(j)]);
        if (pivot == i) pivot = j;
        else if (pivot == j) pivot = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (left < j) QuickSort(left, j, compare);
    left = i;
  } while (i < right);
}

void TAnsiStringList::SortItems(TAnsiStringListSortCompare compare) {
  if (Count() < 2) return;
  Changing();
  QuickSort(0, Count() - 1, compare);
  Changed();
}

int TAnsiStringList::CompareItems(TAnsiStringList& list, int index1, int index2) {
  return list.CompareStrings(list.FList[std::size_t(index1)].FString, list.FList[std::size_t(index2)].FString);
}

void TAnsiStringList::Sort() { CustomSort(&CompareItems); }

void TAnsiStringList::CustomSort(TAnsiStringListSortCompare compare) {
  if (!FSorted) SortItems(compare);
}

void TAnsiStringList::SetSorted(bool value) {
  if (value == FSorted) return;
  if (value) Sort();
  FSorted = value;
}

void TAnsiStringList::SetCaseSensitive(bool value) {
  if (value == FCaseSensitive) return;
  FCaseSensitive = value;
  // A sorted list is put in the new order (Sort itself leaves sorted lists alone).
  if (FSorted) SortItems(&CompareItems);
}

void TAnsiStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  else Changed();
}

void TAnsiStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TAnsiStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

int TAnsiStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return CompareAnsi(a, b, !FCaseSensitive);
}

}  // namespace tvk
