#include "Lists.h"

#include <windows.h>

#include <algorithm>

#include "Streams.h"

namespace tvk {

namespace {

WideString IndexText(const wchar_t* text, int index) {
  WideString s(text);
  std::size_t p = s.find(L"%d");
  if (p != WideString::npos) s.replace(p, 2, std::to_wstring(index));
  return s;
}

constexpr const wchar_t* kListIndexError = L"List index out of bounds (%d)";

}  // namespace

int CompareTextOrdinal(std::wstring_view a, std::wstring_view b, bool ignoreCase) {
  int r = CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), ignoreCase ? TRUE : FALSE);
  return r - CSTR_EQUAL;  // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN are 1, 2, 3
}

// ---- TList

TList::~TList() { Clear(); }

void TList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError(IndexText(kListIndexError, index));
}

void* TList::Items(int index) const {
  CheckIndex(index, Count());
  return FItems[std::size_t(index)];
}

void TList::SetItem(int index, void* item) {
  CheckIndex(index, Count());
  void* old = FItems[std::size_t(index)];
  if (old == item) return;
  FItems[std::size_t(index)] = item;
  if (old) Notify(old, TListNotification::lnDeleted);
  if (item) Notify(item, TListNotification::lnAdded);
}

int TList::Add(void* item) {
  FItems.push_back(item);
  if (item) Notify(item, TListNotification::lnAdded);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  CheckIndex(index, Count() + 1);
  FItems.insert(FItems.begin() + index, item);
  if (item) Notify(item, TListNotification::lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index, Count());
  void* item = FItems[std::size_t(index)];
  FItems.erase(FItems.begin() + index);
  if (item) Notify(item, TListNotification::lnDeleted);
}

int TList::Remove(void* item) {
  int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  int index = IndexOf(item);
  if (index < 0) return nullptr;
  FItems.erase(FItems.begin() + index);
  if (item) Notify(item, TListNotification::lnExtracted);
  return item;
}

int TList::IndexOf(const void* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Exchange(int a, int b) {
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  std::swap(FItems[std::size_t(a)], FItems[std::size_t(b)]);
}

void TList::Move(int from, int to) {
  if (from == to) return;
  CheckIndex(from, Count());
  CheckIndex(to, Count());
  void* item = FItems[std::size_t(from)];
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, item);
}

void TList::Clear() {
  // Last first, so that a Notify that looks at the list sees it consistent.
  while (!FItems.empty()) Delete(Count() - 1);
}

void TList::Sort(int (*compare)(const void*, const void*)) {
  std::stable_sort(FItems.begin(), FItems.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Notify(void*, TListNotification) {}

// ---- TObjectList

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* item, TListNotification action) {
  if (FOwnsObjects && action == TListNotification::lnDeleted) delete static_cast<TObject*>(item);
}

// ---- TStrings

void TStrings::Error(const wchar_t* text, int index) const { throw EStringListError(IndexText(text, index)); }

void TStrings::Put(int index, const WideString& s) {
  TObject* object = Objects(index);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::Objects(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, const WideString& s, TObject* object) {
  BeginUpdate();
  Insert(index, s);
  PutObject(index, object);
  EndUpdate();
}

int TStrings::Add(const WideString& s) { return AddObject(s, nullptr); }

int TStrings::AddObject(const WideString& s, TObject* object) {
  int index = Count();
  InsertObject(index, s, object);
  return index;
}

void TStrings::AddStrings(const TStrings& strings) {
  BeginUpdate();
  for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.Objects(i));
  EndUpdate();
}

int TStrings::IndexOf(std::wstring_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == object) return i;
  return -1;
}

void TStrings::Exchange(int a, int b) {
  BeginUpdate();
  WideString sa = Get(a);
  TObject* oa = Objects(a);
  Put(a, Get(b));
  PutObject(a, Objects(b));
  Put(b, sa);
  PutObject(b, oa);
  EndUpdate();
}

void TStrings::Move(int from, int to) {
  if (from == to) return;
  BeginUpdate();
  WideString s = Get(from);
  TObject* object = Objects(from);
  Delete(from);
  InsertObject(to, s, object);
  EndUpdate();
}

WideString TStrings::Names(int index) const {
  WideString s = Get(index);
  std::size_t p = s.find(L'=');
  return p == WideString::npos ? WideString() : s.substr(0, p);
}

int TStrings::IndexOfName(std::wstring_view name) const {
  for (int i = 0; i < Count(); ++i) {
    WideString s = Get(i);
    std::size_t p = s.find(L'=');
    if (p != WideString::npos && CompareStrings(std::wstring_view(s).substr(0, p), name) == 0) return i;
  }
  return -1;
}

WideString TStrings::Values(std::wstring_view name) const {
  int i = IndexOfName(name);
  if (i < 0) return {};
  WideString s = Get(i);
  return s.substr(s.find(L'=') + 1);
}

WideString TStrings::Text() const {
  WideString text;
  for (int i = 0; i < Count(); ++i) text += Get(i) + L"\r\n";
  return text;
}

void TStrings::SaveToFile(std::wstring_view fileName) const {
  WideString text = Text();
  std::string bytes;
  if (!text.empty()) {
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    bytes.resize(std::size_t(size));
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
  }
  TFileStream stream(fileName, fmCreate);
  stream.WriteBuffer(bytes.data(), bytes.size());
}

void TStrings::SetText(std::wstring_view text) {
  BeginUpdate();
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = text.size();
    Add(WideString(text.substr(start, end - start)));
    start = end;
    if (start < text.size() && text[start] == L'\r') ++start;
    if (start < text.size() && text[start] == L'\n') ++start;
  }
  EndUpdate();
}

WideString TStrings::CommaText() const {
  WideString text;
  for (int i = 0; i < Count(); ++i) {
    const WideString item = Get(i);
    const bool quote = item.empty() || item.find_first_of(L"\", ") != WideString::npos ||
                       std::any_of(item.begin(), item.end(), [](wchar_t c) { return c <= L' '; });
    if (i > 0) text += L',';
    if (!quote) {
      text += item;
      continue;
    }
    text += L'"';
    for (wchar_t c : item) {
      if (c == L'"') text += L'"';
      text += c;
    }
    text += L'"';
  }
  return text;
}

void TStrings::SetCommaText(std::wstring_view text) {
  const auto blank = [](wchar_t c) { return c != 0 && c <= L' '; };
  BeginUpdate();
  Clear();
  std::size_t p = 0;
  const std::size_t n = text.size();
  while (p < n && blank(text[p])) ++p;
  while (p < n) {
    WideString item;
    if (text[p] == L'"') {
      ++p;
      while (p < n) {
        if (text[p] == L'"') {
          if (p + 1 < n && text[p + 1] == L'"') {
            item += L'"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      const std::size_t start = p;
      while (p < n && text[p] > L' ' && text[p] != L',') ++p;
      item.assign(text.substr(start, p - start));
    }
    Add(item);
    while (p < n && blank(text[p])) ++p;
    if (p < n && text[p] == L',') {
      if (p + 1 == n) Add(WideString());  // a trailing comma ends with an empty item
      do ++p;
      while (p < n && blank(text[p]));
    }
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) {
    SetUpdateState(false);
    Changed();
  }
}

void TStrings::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TStrings::Assign(const TPersistent& source) {
  if (const auto* strings = dynamic_cast<const TStrings*>(&source)) {
    BeginUpdate();
    Clear();
    AddStrings(*strings);
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

int TStrings::CompareStrings(std::wstring_view a, std::wstring_view b) const {
  return CompareTextOrdinal(a, b, !FCaseSensitive);
}

// ---- TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  Clear();
}

void TStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) Error(kListIndexError, index);
}

WideString TStringList::Get(int index) const {
  CheckIndex(index, Count());
  return FList[std::size_t(index)].String;
}

void TStringList::Put(int index, const WideString& s) {
  if (FSorted) Error(L"Operation not allowed on sorted list", index);
  CheckIndex(index, Count());
  FList[std::size_t(index)].String = s;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index, Count());
  return FList[std::size_t(index)].Object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index, Count());
  FList[std::size_t(index)].Object = object;
  Changed();
}

void TStringList::Insert(int index, const WideString& s) {
  if (FSorted) Error(L"Operation not allowed on sorted list", index);
  CheckIndex(index, Count() + 1);
  InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const WideString& s, TObject* object) {
  FList.insert(FList.begin() + index, TEntry{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  TObject* object = FList[std::size_t(index)].Object;
  FList.erase(FList.begin() + index);
  if (FOwnsObjects) delete object;
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  std::vector<TEntry> old;
  old.swap(FList);
  if (FOwnsObjects)
    for (auto& e : old) delete e.Object;
  Changed();
}

int TStringList::AddObject(const WideString& s, TObject* object) {
  int index = Count();
  if (FSorted && Find(s, index)) {
    switch (FDuplicates) {
      case TDuplicates::dupIgnore: return index;
      case TDuplicates::dupError: Error(L"String list does not allow duplicates", index); break;
      case TDuplicates::dupAccept: break;
    }
  }
  InsertItem(index, s, object);
  return index;
}

bool TStringList::Find(std::wstring_view s, int& index) const {
  // Lower bound: the first entry not below S.
  int low = 0, high = Count();
  while (low < high) {
    int mid = (low + high) / 2;
    if (CompareStrings(FList[std::size_t(mid)].String, s) < 0) low = mid + 1;
    else high = mid;
  }
  index = low;
  return low < Count() && CompareStrings(FList[std::size_t(low)].String, s) == 0;
}

int TStringList::IndexOf(std::wstring_view s) const {
  if (!FSorted) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int a, int b) {
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  std::swap(FList[std::size_t(a)], FList[std::size_t(b)]);
  Changed();
}

void TStringList::Sort() {
  std::stable_sort(FList.begin(), FList.end(),
                   [&](const TEntry& a, const TEntry& b) { return CompareStrings(a.String, b.String) < 0; });
  Changed();
}

void TStringList::CustomSort(int (*compare)(const TStringList& list, int a, int b)) {
  if (FSorted) Error(L"Operation not allowed on sorted list", 0);
  // Sorts a permutation so that Compare sees the list as it is.
  std::vector<int> order(FList.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<TEntry> sorted;
  sorted.reserve(FList.size());
  for (int i : order) sorted.push_back(FList[std::size_t(i)]);
  FList.swap(sorted);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (value == FSorted) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == CaseSensitive()) return;
  TStrings::SetCaseSensitive(value);
  if (FSorted) Sort();
}

}  // namespace tvk
