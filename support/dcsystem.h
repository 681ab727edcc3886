#pragma once
// The parser library's system services: listener lists, the component base
// of every colouring parser, list helpers, file systems (ordinary files, and
// resources of a module file standing for files), writing a resource into a
// module file, and the design-time registries of component classes.
#include "ClassRegistry.h"
#include "Collections.h"
#include "Lists.h"
#include "Streams.h"
#include "dcmemhook.h"
#include "dcutils.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// DeleteFile, GetTempFileName and UpdateResource are also the system's macros:
// the members carry the W names in every unit alike (the SDK's GetTempFileName
// does the same), so no unit may undefine them.

namespace tvk {

// The colouring interface names the graphics types without needing them
// (driver code that parses text has no use for the graphics unit).
class TFont;
using TColor = std::int32_t;

// ---- Listener lists

using TNotifierProc = TMethod<void(TObject* Sender, std::int32_t WParam, std::int32_t LParam)>;

class TNotifierListItem : public TCollectionItem {
public:
  TVK_CLASS(TNotifierListItem, TCollectionItem)
  using TCollectionItem::TCollectionItem;
  TNotifierProc Method;
};

// Listeners in the order of their (latest) registration, each held once.
class TNotifierList : public TObject, public TReleaseNotified {
public:
  TVK_CLASS(TNotifierList, TObject)
  TNotifierList();
  ~TNotifierList() override;

  // Appends Method, first removing an equal one (same code and object).
  void AddMethod(const TNotifierProc& method);
  // Removes the first item equal to Method.
  void DeleteMethod(const TNotifierProc& method);
  // Removes every item whose method runs on Data.
  void DeleteWithData(const TObject* data);
  // Calls every listener, last to first. Listeners may remove themselves or
  // others meanwhile: none is called twice, none after its removal, and
  // listeners added meanwhile wait for the next notification.
  void NotifyEvents(TObject* sender, std::int32_t wParam, std::int32_t lParam);

  int Count() const { return FCollection->Count(); }
  const TNotifierProc& Methods(int index) const;

private:
  bool Contains(const TNotifierProc& method) const;
  std::unique_ptr<TCollection> FCollection;
};

// ---- The component base of colouring parsers

// One element per character of a text: the kind of the token covering it.
using TColorData = std::string;

class TSimpleParser : public TComponent, public TReleaseNotified {
public:
  TVK_CLASS(TSimpleParser, TComponent)
  explicit TSimpleParser(TComponent* owner);
  // A listener component hears of the parser's going through the free
  // notification that RegisterNotifier set up.
  ~TSimpleParser() override;

  TNotifierList* Notifiers() const { return FNotifiers.get(); }
  // Adds Method; when its object is a component, each hears when the other goes.
  void RegisterNotifier(const TNotifierProc& method);
  void UnRegisterNotifier(const TNotifierProc& method);

  // The editor interface: colours of a text line by line.
  virtual void SetCurrentLine(int value) { FCurrentLine = value; }
  int CurrentLine() const { return FCurrentLine; }
  virtual TFont* GetFont(int state);                            // no font
  virtual bool GetBackColor(int state, TColor& color);          // no colour
  // Colours StrData starting in parser state InitState; answers the state at its end.
  virtual int ColorString(const WideString& strData, int initState, TColorData& colorData) = 0;
  virtual bool StoreColorData() { return false; }
  // ColorData as long as S, every element 0.
  virtual void PrepareColorData(int linePos, const WideString& s, TColorData& colorData);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::unique_ptr<TNotifierList> FNotifiers;
  int FCurrentLine = 0;
};

// ---- List helpers

// An identifier carried as a string list entry's associated object.
inline TObject* IntToObject(std::intptr_t value) { return reinterpret_cast<TObject*>(value); }
inline int ObjectToInt(const TObject* object) { return int(reinterpret_cast<std::intptr_t>(object)); }

// Clears Strings and adds each word with its index (from 0) as the associated
// object, in one update bracket: the owner of Strings sees one change.
void FillStringsFromArray(TStrings& strings, std::span<const wchar_t* const> words);
// A new string list with sorting on.
std::unique_ptr<TStringList> CreateSortedList();
// Frees every associated object of Strings, then the list, and clears the variable.
void FreeStringsWithObjects(TStrings*& strings);

// ---- File systems

enum class TFileSystemLevel { flFullSupport, flOnlyGetStream };
using TDateTime = double;  // days since 30 December 1899, the fraction the time of day

// The base answers for a file system that holds nothing.
class TFileSystem : public TComponent, public TReleaseNotified {
public:
  TVK_CLASS(TFileSystem, TComponent)
  using TComponent::TComponent;

  // The CurrentDir property: GetCurrentDir / SetCurrentDir.
  WideString CurrentDir() { return GetCurrentDir(); }

  // RenameFile; "Can't rename file %s to file %s" when it fails.
  virtual void RenameFileExcept(const WideString& oldName, const WideString& newName);
  // When the file exists and DeleteFile fails: "Can't delete file %S".
  virtual void DeleteFileExcept(const WideString& fileName);
  virtual WideString GetCurrentDir() { return {}; }
  virtual void SetCurrentDir(const WideString&) {}
  // The caller owns the stream.
  virtual std::unique_ptr<TStream> GetFileStream(const WideString& fileName, std::uint16_t mode) = 0;
  virtual bool FileAge(const WideString& fileName, TDateTime& dateTime);
  virtual bool RenameFile(const WideString& oldName, const WideString& newName);
  virtual bool IsReadonly(const WideString& fileName);
  virtual bool DeleteFile(const WideString& fileName);
  virtual bool FileExists(const WideString& fileName) = 0;
  virtual WideString GetTempFileName(const WideString& fileName);
  // The name with its extension's first letters after "~": unit.pas -> unit.~pa, readme -> readme.~
  virtual WideString GetBackupFileName(const WideString& fileName);
  virtual TFileSystemLevel GetFileSystemLevel() { return TFileSystemLevel::flFullSupport; }
  virtual WideString ChangeFileExt(const WideString& fileName, const WideString& extension);
  virtual WideString ExtractFileExt(const WideString& fileName);
};

// Ordinary files of the system.
class TWin32FileSystem : public TFileSystem {
public:
  TVK_CLASS(TWin32FileSystem, TFileSystem)
  using TFileSystem::TFileSystem;

  std::unique_ptr<TStream> GetFileStream(const WideString& fileName, std::uint16_t mode) override;
  bool FileExists(const WideString& fileName) override;
  bool FileAge(const WideString& fileName, TDateTime& dateTime) override;
  bool RenameFile(const WideString& oldName, const WideString& newName) override;
  // A file that does not exist counts as read-only.
  bool IsReadonly(const WideString& fileName) override;
  bool DeleteFile(const WideString& fileName) override;
  WideString GetCurrentDir() override;
  void SetCurrentDir(const WideString& dir) override;
  // A new empty file in FileName's folder whose name begins with FileName's
  // name; "Can't create temporary filename" when the system makes none.
  WideString GetTempFileName(const WideString& fileName) override;
};

// A resource's type: a standard type number, or a type name; neither: no type.
struct TResType {
  std::uint16_t Number = 0;
  WideString Name;
  bool Empty() const { return Number == 0 && Name.empty(); }
  // The form the system's resource functions take (valid while this lives).
  const wchar_t* Id() const { return Number ? MAKEINTRESOURCEW(Number) : Name.c_str(); }
};

// "TYPE\NAME": the type as a standard number when "RT_" + TYPE names one
// (without regard to case), else as a name; without a backslash no type and
// an empty name.
void SplitResName(std::wstring_view fileName, TResType& type, WideString& name);

// Resources of a module file standing for files named "TYPE\NAME.ext".
class TResFileSystem : public TFileSystem {
public:
  TVK_CLASS(TResFileSystem, TFileSystem)
  using TFileSystem::TFileSystem;
  ~TResFileSystem() override;

  const WideString& FileName() const { return fFileName; }
  void SetFileName(const WideString& fileName);

  // A TResWriteStream on the resource.
  std::unique_ptr<TStream> GetFileStream(const WideString& fileName, std::uint16_t mode) override;
  // The module holds the resource (the module is open only during the call).
  bool FileExists(const WideString& fileName) override;
  TFileSystemLevel GetFileSystemLevel() override { return TFileSystemLevel::flOnlyGetStream; }

private:
  void CloseModule();
  WideString fFileName;
  HMODULE fModuleHandle = nullptr;
};

// A resource of a module file read into memory; what is written goes back
// into the module file (UpdateResourceFile) when the stream is flushed or,
// at the latest, freed.
class TResWriteStream : public TMemoryStream {
public:
  TVK_CLASS(TResWriteStream, TMemoryStream)
  // Reads the resource unless Mode is fmCreate.
  TResWriteStream(const WideString& fileName, std::uint16_t mode, TResType resType, const WideString& resName);
  // Writes back what Flush has not; a failure there goes to the application's
  // exception handler, since a destructor cannot raise.
  ~TResWriteStream() override;

  std::size_t Write(const void* buffer, std::size_t count) override;
  // When modified or resized since it was read: writes the content back;
  // "Error updating resource" when that fails.
  void Flush();

private:
  bool fModified = false;
  std::int32_t fInitSize = 0;
  WideString fResName;
  TResType fResType;
  WideString fFileName;
};

// Replaces a resource of a module file; true when it is done. On the NT family
// the system's resource update does it (a failed update leaves its handle
// open); elsewhere a TResourceWriter, whose failures raise.
bool UpdateResourceFile(const WideString& fileName, const TResType& resType, const WideString& resName,
                        std::uint32_t dataLength, const void* data, std::uint16_t language);

// ---- The 32-bit module file layout that the resource writer edits

#pragma pack(push, 1)
struct TPeFileHeader {
  std::uint16_t Machine;
  std::uint16_t NumberOfSections;
  std::uint32_t TimeDateStamp;
  std::uint32_t PointerToSymbolTable;
  std::uint32_t NumberOfSymbols;
  std::uint16_t SizeOfOptionalHeader;
  std::uint16_t Characteristics;
};
struct TPeDataDirectory {
  std::uint32_t VirtualAddress;
  std::uint32_t Size;
};
struct TPeOptionalHeader32 {
  std::uint16_t Magic;  // 0x10B
  std::uint8_t MajorLinkerVersion, MinorLinkerVersion;
  std::uint32_t SizeOfCode, SizeOfInitializedData, SizeOfUninitializedData;
  std::uint32_t AddressOfEntryPoint, BaseOfCode, BaseOfData, ImageBase;
  std::uint32_t SectionAlignment, FileAlignment;
  std::uint16_t MajorOperatingSystemVersion, MinorOperatingSystemVersion;
  std::uint16_t MajorImageVersion, MinorImageVersion;
  std::uint16_t MajorSubsystemVersion, MinorSubsystemVersion;
  std::uint32_t Win32VersionValue, SizeOfImage, SizeOfHeaders, CheckSum;
  std::uint16_t Subsystem, DllCharacteristics;
  std::uint32_t SizeOfStackReserve, SizeOfStackCommit, SizeOfHeapReserve, SizeOfHeapCommit;
  std::uint32_t LoaderFlags, NumberOfRvaAndSizes;
  TPeDataDirectory DataDirectory[16];
};
struct TPeHeaders32 {
  std::uint32_t Signature;  // "PE\0\0"
  TPeFileHeader FileHeader;
  TPeOptionalHeader32 OptionalHeader;
};
struct TPeSectionHeader {
  std::uint8_t Name[8];
  std::uint32_t VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData;
  std::uint32_t PointerToRelocations, PointerToLinenumbers;
  std::uint16_t NumberOfRelocations, NumberOfLinenumbers;
  std::uint32_t Characteristics;
};
struct TResDirectory {
  std::uint32_t Characteristics, TimeDateStamp;
  std::uint16_t MajorVersion, MinorVersion;
  std::uint16_t NumberOfNamedEntries, NumberOfIdEntries;
};
struct TResDirectoryEntry {
  std::uint32_t Name;          // high bit: offset of a counted UTF-16 name, else a number
  std::uint32_t OffsetToData;  // high bit: offset of a subdirectory, else of a data entry
};
struct TResDataEntry {
  std::uint32_t OffsetToData;  // an address in the loaded image
  std::uint32_t Size, CodePage, Reserved;
};
#pragma pack(pop)
static_assert(sizeof(TPeHeaders32) == 248 && sizeof(TPeSectionHeader) == 40);
static_assert(sizeof(TResDirectory) == 16 && sizeof(TResDirectoryEntry) == 8 && sizeof(TResDataEntry) == 16);

constexpr std::uint16_t kPeOptionalMagic32 = 0x10B;
constexpr int kResourceDirectoryIndex = 2;

// Replaces a named resource of a 32-bit module file in place: the new data go
// to the end of the file, which must end with the resource section.
class TResourceWriter : public TObject, public TReleaseNotified {
public:
  TVK_CLASS(TResourceWriter, TObject)
  // Opens and maps the file; raises the opening errors (each followed by CR LF
  // and "Error code : %d").
  explicit TResourceWriter(const WideString& fileName);
  ~TResourceWriter() override;

  // A name-level entry (its subdirectory holds the language entries); true stops the walk.
  using TResourceProc = bool (TResourceWriter::*)(const TResDirectoryEntry& entry);
  // Walks Directory (named entries, then numbered ones), recursing through
  // directories of directories; true when Proc stopped the walk.
  bool ProcessAllResources(const TResDirectory& directory, TResourceProc proc);
  // Replaces the first resource named ResName (of any type): "Resource not
  // found", "Resource section is not the last section".
  void UpdateResource(const TResType& resType, const WideString& resName, std::uint32_t dataLength, const void* data);

  const TResDirectory& RootDirectory() const;
  std::uint32_t FileSize() const { return fFilesize; }

private:
  void Open(std::uint32_t mappingSize);
  void Close();
  [[noreturn]] void OpenError(const wchar_t* text);
  // Bounds-checked views into the resource section.
  template <class T>
  T& ResourceAt(std::uint32_t offset) const;
  WideString ResourceName(const TResDirectoryEntry& entry) const;
  TResDataEntry& FirstLanguageData(const TResDirectoryEntry& entry) const;
  bool IsResourceSectionLast() const;
  bool FindProc(const TResDirectoryEntry& entry);
  bool ReplaceProc(const TResDirectoryEntry& entry);

  HANDLE FFileHandle = INVALID_HANDLE_VALUE;
  HANDLE FFileMapping = nullptr;
  std::uint8_t* FFileBase = nullptr;
  std::uint32_t fOldFileSize = 0;
  TPeHeaders32* FNTHeader = nullptr;
  TPeSectionHeader* FResSectHdr = nullptr;
  TPeSectionHeader* FSections = nullptr;
  std::uint8_t* FResourceBase = nullptr;
  std::uint32_t FResourceRVA = 0;
  std::uint32_t FResourceSize = 0;  // bytes of the section in the file
  WideString fResName;
  const void* fData = nullptr;
  std::uint32_t fDataLength = 0;
  std::int64_t fDelta = 0;
  std::int64_t fOldSize = -1;
  std::uint32_t fFilesize = 0;
  int FDepth = 0;  // of the walk: a loop in the tree ends it
  WideString FFileName;
};

// ---- Component-class registries

// Items stamped with the package and the design group they were added in.
class TPackagedCollectionItem : public TCollectionItem {
public:
  TVK_CLASS(TPackagedCollectionItem, TCollectionItem)
  using TCollectionItem::TCollectionItem;
  std::int32_t PackageHandle = 0;
  std::int32_t DesignGroup = 0;
};

// Message that frees the items of a design group (WParam) of every packaged collection.
constexpr UINT kMsgDeleteDesignGroup = 2058;
// Message broadcast once classes have been registered with categories.
constexpr UINT kMsgClassesRegistered = 2069;

// A collection in the module-wide list of packaged collections while it lives.
class TPackagedCollection : public TCollection, public TReleaseNotified {
public:
  TVK_CLASS(TPackagedCollection, TCollection)
  explicit TPackagedCollection(TCollectionItemClass itemClass);
  ~TPackagedCollection() override;

  // A new item of the current package (none: 0) and design group.
  TPackagedCollectionItem* Add();
  TPackagedCollectionItem* Last() const;
  // Frees the items of DesignGroup, last first.
  void DeleteItems(std::int32_t designGroup);

protected:
  TVK_MESSAGES();
  void WMDeleteDesignGroup(TMessage& message);
};

// Sends Msg to every packaged collection, the last made first. With
// StopOnHandled a non-zero result stops it and the answer is false.
bool BroadcastToPackagedCollections(UINT msg, WPARAM wParam, LPARAM lParam, bool stopOnHandled);

enum TClassItemCat : unsigned {
  icNonActiveX = 1u << 0,
  icField = 1u << 1,
  icNoIcon = 1u << 2,
  icShowinPalette = 1u << 3,
};
using TClassItemCats = unsigned;

class TClassItem : public TPackagedCollectionItem {
public:
  TVK_CLASS(TClassItem, TPackagedCollectionItem)
  using TPackagedCollectionItem::TPackagedCollectionItem;
  TClass ClassPtr = nullptr;
  TClassItemCats Categories = 0;
  WideString PalettePage;
  WideString Areas;  // a comma list
};

class TClassItems : public TPackagedCollection {
public:
  TVK_CLASS(TClassItems, TPackagedCollection)
  TClassItems();

  TClassItem* Items(int index) const { return static_cast<TClassItem*>(TCollection::Items(index)); }
  // The class's item (made when it has none); its categories gain Categories.
  TClassItem* RegisterClass(TClass c, TClassItemCats categories);
  TClassItem* FindItem(TClass c) const;
  // Categories := (categories + Add) - Remove, for the classes that have items.
  void UpdateClassCategory(TClass c, TClassItemCats addCats, TClassItemCats removeCats);
  void UpdateClassesCategory(std::span<const TClass> classes, TClassItemCats addCats, TClassItemCats removeCats);
  void UpdateAllClassesCategories(TClassItemCats addCats, TClassItemCats removeCats);
  // Clears List, then adds the class of every item with icField.
  void ListFieldClasses(std::vector<TClass>& list) const;
  // The first item of Class or an ancestor decides: true unless it has icNoIcon.
  bool IsIconClass(TClass c) const;
};

// The module-wide registry, made on first use and freed when the unit stops.
TClassItems& ClassItems();

// The comma list A with every item of B that A lacks (without regard to case) appended.
WideString MergeCommaLists(std::wstring_view a, std::wstring_view b);

// What the design-time hooks run: each class into the class registry (when no
// class of its name is there) and into the class items with Categories, its
// page and the current areas; then kMsgClassesRegistered to the collections.
void RegisterClassesWithCategories(const WideString& page, std::span<const TClass> classes,
                                   TClassItemCats categories);

// The unit's start-up and shut-down steps (counted: the work runs once).
bool SystemUnitStartup();
void SystemUnitShutdown();

}  // namespace tvk
