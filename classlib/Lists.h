#pragma once
// Lists of the class library: pointer lists, object lists that own their
// items, and string lists (each string with an object; sorted or not; compared
// without regard to case unless asked otherwise, by the platform's ordinal
// case mapping, never the user's locale).
#include "Classes.h"

#include <string_view>
#include <vector>

namespace tvk {

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };

// A list of untyped pointers; an index outside the list raises EListError.
class TList : public TObject {
public:
  TVK_CLASS(TList, TObject)
  TList() = default;
  ~TList() override;

  int Count() const { return int(FItems.size()); }
  void* Items(int index) const;
  void SetItem(int index, void* item);
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  int Remove(void* item);     // the index it had, or -1
  void* Extract(void* item);  // removed without being freed; null when absent
  int IndexOf(const void* item) const;
  void Exchange(int a, int b);
  void Move(int from, int to);
  void Clear();
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  // Stable sort by Compare (negative, zero, positive).
  void Sort(int (*compare)(const void* a, const void* b));

protected:
  // Told of every item that enters or leaves the list.
  virtual void Notify(void* item, TListNotification action);
  void CheckIndex(int index, int limit) const;

private:
  std::vector<void*> FItems;
};

// A list of objects that, while OwnsObjects, frees the items it deletes.
class TObjectList : public TList {
public:
  TVK_CLASS(TObjectList, TList)
  explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
  ~TObjectList() override;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool owns) { FOwnsObjects = owns; }
  TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
  int Add(TObject* item) { return TList::Add(item); }
  void Insert(int index, TObject* item) { TList::Insert(index, item); }
  int Remove(TObject* item) { return TList::Remove(item); }
  int IndexOf(const TObject* item) const { return TList::IndexOf(item); }
  TObject* Extract(TObject* item) { return static_cast<TObject*>(TList::Extract(item)); }

protected:
  void Notify(void* item, TListNotification action) override;

private:
  bool FOwnsObjects;
};

// Strings, each with an object. The abstract list: storage is the descendant's.
class TStrings : public TPersistent {
public:
  TVK_CLASS(TStrings, TPersistent)

  virtual int Count() const = 0;
  virtual WideString Get(int index) const = 0;
  virtual void Put(int index, const WideString& s);
  virtual TObject* Objects(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const WideString& s) = 0;
  void InsertObject(int index, const WideString& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  WideString operator[](int index) const { return Get(index); }
  // Appends (or, in a sorted list, inserts in order); answers the index.
  virtual int Add(const WideString& s);
  virtual int AddObject(const WideString& s, TObject* object);
  void AddStrings(const TStrings& strings);
  // The index of the first string equal to S (without regard to case unless
  // the list is case-sensitive), or -1.
  virtual int IndexOf(std::wstring_view s) const;
  int IndexOfObject(const TObject* object) const;
  virtual void Exchange(int a, int b);
  virtual void Move(int from, int to);

  // "Name=Value" entries: the part before the first "=".
  WideString Names(int index) const;
  int IndexOfName(std::wstring_view name) const;
  WideString Values(std::wstring_view name) const;

  // The strings joined by CR LF, each ended by one; setting splits at CR LF, LF or CR.
  WideString Text() const;
  void SetText(std::wstring_view text);
  // Items separated by commas or blanks; double quotes group an item (a
  // doubled quote inside stands for one). Reading quotes the items that need it.
  WideString CommaText() const;
  void SetCommaText(std::wstring_view text);
  // Writes the strings joined by CR LF in the system's ANSI code page (what
  // LoadTextLines reads without a byte-order mark); raises the stream errors.
  void SaveToFile(std::wstring_view fileName) const;

  // While an update is open, OnChange waits for EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  TNotifyEvent OnChange;

  void Assign(const TPersistent& source) override;

  bool CaseSensitive() const { return FCaseSensitive; }
  virtual void SetCaseSensitive(bool value) { FCaseSensitive = value; }

protected:
  // Compares two strings as this list does (case per CaseSensitive).
  virtual int CompareStrings(std::wstring_view a, std::wstring_view b) const;
  virtual void Changed();
  // Told when the first update opens (true) and the last one closes (false),
  // before OnChange: a list shown in a window stops and resumes drawing.
  virtual void SetUpdateState(bool updating) { (void)updating; }
  int UpdateCount() const { return FUpdateCount; }
  void Error(const wchar_t* text, int index) const;

private:
  int FUpdateCount = 0;
  bool FCaseSensitive = false;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// The string list: sorted or not; duplicates of a sorted list ignored, kept or refused.
class TStringList : public TStrings {
public:
  TVK_CLASS(TStringList, TStrings)
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return int(FList.size()); }
  WideString Get(int index) const override;
  void Put(int index, const WideString& s) override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;
  int AddObject(const WideString& s, TObject* object) override;
  int IndexOf(std::wstring_view s) const override;
  void Exchange(int a, int b) override;

  // Binary search of a sorted list: true when found; Index is where S is or would go.
  bool Find(std::wstring_view s, int& index) const;
  void Sort();
  void CustomSort(int (*compare)(const TStringList& list, int a, int b));

  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  void SetCaseSensitive(bool value) override;
  // Whether the list frees the objects of the entries it deletes.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool value) { FOwnsObjects = value; }

protected:
  // Every new entry passes here (Insert, Add, a sorted insert): a list that
  // keeps records beside its strings makes them here.
  virtual void InsertItem(int index, const WideString& s, TObject* object);

private:
  struct TEntry {
    WideString String;
    TObject* Object;
  };
  void CheckIndex(int index, int limit) const;

  std::vector<TEntry> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
  bool FOwnsObjects = false;
};

// Ordinal comparison, case-blind (upper-case mapping) or exact.
int CompareTextOrdinal(std::wstring_view a, std::wstring_view b, bool ignoreCase);

}  // namespace tvk
