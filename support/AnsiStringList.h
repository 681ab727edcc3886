#pragma once
// A list of 8-bit strings in the system's ANSI code page, each with an object:
// the class library's string-list model kept apart so that 8-bit text is never
// widened. Strings compare by the user's locale (CompareStringA), without
// regard to case unless a list is case-sensitive.
#include "Lists.h"
#include "Streams.h"

#include <memory>
#include <string>
#include <string_view>

namespace tvk {

using AnsiString = std::string;

// The encoding forms of loading and saving take one and ignore it: bytes are
// read and written as they are, without byte-order mark.
class TEncoding;

class TAnsiStrings;

class TAnsiStringsEnumerator {
public:
  explicit TAnsiStringsEnumerator(const TAnsiStrings& strings) : FStrings(strings) {}
  AnsiString Current() const;
  bool MoveNext();

private:
  const TAnsiStrings& FStrings;
  int FIndex = -1;
};

class TAnsiStrings : public TPersistent {
public:
  TVK_CLASS(TAnsiStrings, TPersistent)

  // ---- Storage: the descendant's
  virtual int Count() const = 0;
  // "List index out of bounds (%d)" outside the list.
  virtual AnsiString Get(int index) const = 0;
  // Keeps the object: the item goes and the new string comes at the same place.
  virtual void Put(int index, const AnsiString& s);
  virtual TObject* Objects(int) const { return nullptr; }
  virtual void PutObject(int, TObject*) {}
  virtual int Capacity() const { return Count(); }
  virtual void SetCapacity(int) {}
  virtual void Insert(int index, const AnsiString& s) = 0;
  virtual void InsertObject(int index, const AnsiString& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  AnsiString operator[](int index) const { return Get(index); }

  // ---- Adding and finding
  int Add(const AnsiString& s) { return AddObject(s, nullptr); }
  void Append(const AnsiString& s) { Add(s); }
  virtual int AddObject(const AnsiString& s, TObject* object);
  // Every item of Strings, in one update bracket.
  virtual void AddStrings(const TAnsiStrings& strings);
  virtual int IndexOf(std::string_view s) const;
  // A 16-bit string, converted to the ANSI code page first.
  int IndexOf(std::wstring_view s) const;
  // The first item whose text before its first name-value separator is Name.
  virtual int IndexOfName(std::string_view name) const;
  virtual int IndexOfObject(const TObject* object) const;
  virtual void Exchange(int index1, int index2);
  // The string and its object go from Cur to New. Both indexes are checked
  // first; the object moves and is never freed on the way.
  virtual void Move(int curIndex, int newIndex);
  // The same count and every string byte for byte equal.
  bool Equals(const TAnsiStrings& other) const;
  TAnsiStringsEnumerator GetEnumerator() const { return TAnsiStringsEnumerator(*this); }

  // ---- Texts
  // Every string followed by LineBreak.
  AnsiString Text() const { return GetTextStr(); }
  void SetText(const AnsiString& text) { SetTextStr(text); }
  virtual AnsiString GetTextStr() const;
  // Replaces the list by the lines of Text: with the CR LF line break a line
  // ends at CR, LF, CR LF or the end; with another, at that exact text.
  virtual void SetTextStr(const AnsiString& text);
  // A new zero-terminated copy of Text.
  virtual std::unique_ptr<char[]> GetText() const;
  // Text from a zero-terminated buffer (null: empty).
  virtual void SetText(const char* text);
  AnsiString DelimitedText() const;
  void SetDelimitedText(const AnsiString& text);
  // DelimitedText with "," and the double quote; writing sets them for good.
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& text);

  // ---- Properties with defaults, applied when first read unset
  char Delimiter() const;
  void SetDelimiter(char value);
  char QuoteChar() const;
  void SetQuoteChar(char value);
  char NameValueSeparator() const;
  void SetNameValueSeparator(char value);
  AnsiString LineBreak() const;
  void SetLineBreak(const AnsiString& value);
  bool StrictDelimiter() const;
  void SetStrictDelimiter(bool value);

  // ---- Files and streams (bytes as they are)
  virtual void LoadFromFile(std::wstring_view fileName);
  virtual void LoadFromFile(std::wstring_view fileName, const TEncoding* encoding);
  // Everything from the stream's position to its end.
  virtual void LoadFromStream(TStream& stream);
  virtual void LoadFromStream(TStream& stream, const TEncoding* encoding);
  virtual void SaveToFile(std::wstring_view fileName);
  virtual void SaveToFile(std::wstring_view fileName, const TEncoding* encoding);
  virtual void SaveToStream(TStream& stream) const;

  // Updates nest; the outermost opens and closes the update state.
  void BeginUpdate();
  void EndUpdate();

  void Assign(const TPersistent& source) override;

protected:
  virtual void SetUpdateState(bool) {}
  // The user's locale, without regard to case.
  virtual int CompareStrings(std::string_view a, std::string_view b) const;
  int UpdateCount() const { return FUpdateCount; }
  [[noreturn]] void Error(const wchar_t* message, int index) const;

private:
  enum TDefinedFlag : unsigned { sdDelimiter = 1, sdQuoteChar = 2, sdNameValueSeparator = 4, sdLineBreak = 8,
                                 sdStrictDelimiter = 16 };
  template <class T>
  const T& Defined(T& field, unsigned flag, const T& byDefault) const;
  template <class T>
  void Define(T& field, unsigned flag, const T& value);

  mutable unsigned FDefined = 0;
  mutable char FDelimiter = 0;
  mutable AnsiString FLineBreak;
  mutable char FQuoteChar = 0;
  mutable char FNameValueSeparator = 0;
  mutable bool FStrictDelimiter = false;
  int FUpdateCount = 0;
};

struct TAnsiStringItem {
  AnsiString FString;
  TObject* FObject;
};

class TAnsiStringList;
using TAnsiStringListSortCompare = int (*)(TAnsiStringList& list, int index1, int index2);

class TAnsiStringList : public TAnsiStrings {
public:
  TVK_CLASS(TAnsiStringList, TAnsiStrings)
  TAnsiStringList() = default;
  explicit TAnsiStringList(bool ownsObjects) : FOwnsObject(ownsObjects) {}
  // Tells nobody; frees the objects it owns.
  ~TAnsiStringList() override;

  int Count() const override { return int(FList.size()); }
  AnsiString Get(int index) const override;
  // "Operation not allowed on sorted list" when sorted.
  void Put(int index, const AnsiString& s) override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  int Capacity() const override { return FCapacity; }
  // "List capacity out of bounds (%d)" below Count or above 134217727.
  void SetCapacity(int value) override;
  void Insert(int index, const AnsiString& s) override { InsertObject(index, s, nullptr); }
  void InsertObject(int index, const AnsiString& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  // Sorted: at its place; an equal string is ignored (its index answered),
  // accepted, or refused ("String list does not allow duplicates").
  int AddObject(const AnsiString& s, TObject* object) override;
  int IndexOf(std::string_view s) const override;
  using TAnsiStrings::IndexOf;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;

  // Binary search; with duplicates accepted the first of several equal ones.
  // Not found: Index is where S would go.
  virtual bool Find(std::string_view s, int& index) const;
  // An unstable quicksort, only of an unsorted list of two or more.
  virtual void Sort();
  virtual void CustomSort(TAnsiStringListSortCompare compare);

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  bool OwnsObjects() const { return FOwnsObject; }
  void SetOwnsObjects(bool value) { FOwnsObject = value; }

  // Raised around every change while no update is open.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(int index, const AnsiString& s, TObject* object);
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;

private:
  void CheckIndex(int index) const;
  void Grow();
  static int CompareItems(TAnsiStringList& list, int index1, int index2);
  void SortItems(TAnsiStringListSortCompare compare);
  void QuickSort(int left, int right, TAnsiStringListSortCompare compare);

  std::vector<TAnsiStringItem> FList;
  int FCapacity = 0;
  bool FSorted = false;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObject = false;
};

}  // namespace tvk
