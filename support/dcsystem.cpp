#include "dcsystem.h"

#include "Application.h"
#include "Files.h"
#include "XPTypes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace tvk {

// ---- TNotifierList

TNotifierList::TNotifierList() : FCollection(std::make_unique<TCollection>(CollectionItemClassOf<TNotifierListItem>())) {}

TNotifierList::~TNotifierList() = default;

const TNotifierProc& TNotifierList::Methods(int index) const {
  return static_cast<TNotifierListItem*>(FCollection->Items(index))->Method;
}

void TNotifierList::AddMethod(const TNotifierProc& method) {
  DeleteMethod(method);
  static_cast<TNotifierListItem*>(FCollection->Add())->Method = method;
}

void TNotifierList::DeleteMethod(const TNotifierProc& method) {
  for (int i = 0; i < Count(); ++i)
    if (Methods(i) == method) {
      FCollection->Delete(i);
      return;
    }
}

void TNotifierList::DeleteWithData(const TObject* data) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Methods(i).Data() == data) FCollection->Delete(i);
}

bool TNotifierList::Contains(const TNotifierProc& method) const {
  for (int i = 0; i < Count(); ++i)
    if (Methods(i) == method) return true;
  return false;
}

void TNotifierList::NotifyEvents(TObject* sender, std::int32_t wParam, std::int32_t lParam) {
  // The listeners of the moment, each called once unless it has been removed
  // by the time its turn comes. (Following an index alone would call a
  // listener twice once one below it is removed.)
  std::vector<TNotifierProc> methods;
  for (int i = 0; i < Count(); ++i) methods.push_back(Methods(i));
  for (auto it = methods.rbegin(); it != methods.rend(); ++it)
    if (Contains(*it)) (*it)(sender, wParam, lParam);
}

// ---- TSimpleParser

TSimpleParser::TSimpleParser(TComponent* owner) : TComponent(owner), FNotifiers(std::make_unique<TNotifierList>()) {}

TSimpleParser::~TSimpleParser() {
  // Listener components hear while the parser is still whole (and may still
  // unregister); the links end, so the component part tells nobody again.
  RemoveFreeNotifications();
  FNotifiers.reset();
}

void TSimpleParser::RegisterNotifier(const TNotifierProc& method) {
  FNotifiers->AddMethod(method);
  if (auto* component = dynamic_cast<TComponent*>(method.Data())) component->FreeNotification(this);
}

void TSimpleParser::UnRegisterNotifier(const TNotifierProc& method) {
  if (FNotifiers) FNotifiers->DeleteMethod(method);
}

void TSimpleParser::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && FNotifiers) FNotifiers->DeleteWithData(component);
}

TFont* TSimpleParser::GetFont(int) { return nullptr; }

bool TSimpleParser::GetBackColor(int, TColor&) { return false; }

void TSimpleParser::PrepareColorData(int, const WideString& s, TColorData& colorData) {
  colorData.assign(s.size(), '\0');
}

// ---- List helpers

void FillStringsFromArray(TStrings& strings, std::span<const wchar_t* const> words) {
  strings.BeginUpdate();
  try {
    strings.Clear();
    for (std::size_t i = 0; i < words.size(); ++i) strings.AddObject(words[i], IntToObject(std::intptr_t(i)));
  } catch (...) {
    strings.EndUpdate();
    throw;
  }
  strings.EndUpdate();
}

std::unique_ptr<TStringList> CreateSortedList() {
  auto list = std::make_unique<TStringList>();
  list->SetSorted(true);
  return list;
}

void FreeStringsWithObjects(TStrings*& strings) {
  if (!strings) return;
  for (int i = 0; i < strings->Count(); ++i) {
    TObject* object = strings->Objects(i);
    strings->PutObject(i, nullptr);  // a list that owns its objects must not free it again
    delete object;
  }
  FreeAndNil(strings);
}

// ---- TFileSystem

void TFileSystem::RenameFileExcept(const WideString& oldName, const WideString& newName) {
  if (!RenameFile(oldName, newName)) RaiseErrorFmt(L"Can't rename file %s to file %s", {oldName, newName});
}

void TFileSystem::DeleteFileExcept(const WideString& fileName) {
  if (FileExists(fileName) && !DeleteFile(fileName)) RaiseErrorFmt(L"Can't delete file %S", {fileName});
}

bool TFileSystem::FileAge(const WideString&, TDateTime&) { return false; }
bool TFileSystem::RenameFile(const WideString&, const WideString&) { return true; }
bool TFileSystem::IsReadonly(const WideString&) { return false; }
bool TFileSystem::DeleteFile(const WideString&) { return true; }
WideString TFileSystem::GetTempFileName(const WideString& fileName) { return fileName; }

WideString TFileSystem::GetBackupFileName(const WideString& fileName) {
  WideString extension = ExtractFileExt(fileName);
  extension = extension.empty() ? WideString(L".~") : (L".~" + extension.substr(1)).substr(0, 4);
  return AddTrailingBackslash(ExtractFilePath(fileName)) + ChangeFileExt(ExtractFileName(fileName), extension);
}

WideString TFileSystem::ChangeFileExt(const WideString& fileName, const WideString& extension) {
  return ::tvk::ChangeFileExt(fileName, extension);
}

WideString TFileSystem::ExtractFileExt(const WideString& fileName) { return ::tvk::ExtractFileExt(fileName); }

// ---- TWin32FileSystem

std::unique_ptr<TStream> TWin32FileSystem::GetFileStream(const WideString& fileName, std::uint16_t mode) {
  return std::make_unique<TFileStream>(fileName, mode);
}

bool TWin32FileSystem::FileExists(const WideString& fileName) { return ::tvk::FileExists(fileName); }

bool TWin32FileSystem::FileAge(const WideString& fileName, TDateTime& dateTime) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  FILETIME local;
  if (!GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local))
    return false;
  // File times count 100 ns from 1 January 1601, which is 109205 days before day 0.
  constexpr double kTicksPerDay = 864000000000.0;
  constexpr double kDaysFrom1601 = 109205.0;
  std::uint64_t ticks = (std::uint64_t(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  dateTime = double(ticks) / kTicksPerDay - kDaysFrom1601;
  return true;
}

bool TWin32FileSystem::RenameFile(const WideString& oldName, const WideString& newName) {
  return MoveFileW(oldName.c_str(), newName.c_str()) != 0;
}

bool TWin32FileSystem::IsReadonly(const WideString& fileName) {
  // A missing file's attributes read as all bits set.
  return (GetFileAttributesW(fileName.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
}

bool TWin32FileSystem::DeleteFile(const WideString& fileName) { return ::DeleteFileW(fileName.c_str()) != 0; }

WideString TWin32FileSystem::GetCurrentDir() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  WideString dir(size, L'\0');
  dir.resize(GetCurrentDirectoryW(size, dir.data()));
  return dir;
}

void TWin32FileSystem::SetCurrentDir(const WideString& dir) { SetCurrentDirectoryW(dir.c_str()); }

WideString TWin32FileSystem::GetTempFileName(const WideString& fileName) {
  wchar_t buffer[MAX_PATH] = {};
  if (!::GetTempFileNameW(ExtractFilePath(fileName).c_str(), ExtractFileName(fileName).c_str(), 0, buffer))
    RaiseError(L"Can't create temporary filename");
  return buffer;
}

// ---- Resource names

namespace {

struct TStandardResType {
  const wchar_t* Name;
  std::uint16_t Number;
};

// The system's resource types by number (13, 15 and 18 have no name).
constexpr std::array<TStandardResType, 19> kStandardResTypes = {{
    {L"RT_CURSOR", 1},        {L"RT_BITMAP", 2},        {L"RT_ICON", 3},         {L"RT_MENU", 4},
    {L"RT_DIALOG", 5},        {L"RT_STRING", 6},        {L"RT_FONTDIR", 7},      {L"RT_FONT", 8},
    {L"RT_ACCELERATOR", 9},   {L"RT_RCDATA", 10},       {L"RT_MESSAGETABLE", 11}, {L"RT_GROUP_CURSOR", 12},
    {L"RT_GROUP_ICON", 14},   {L"RT_VERSION", 16},      {L"RT_DLGINCLUDE", 17},  {L"RT_PLUGPLAY", 19},
    {L"RT_VXD", 20},          {L"RT_ANICURSOR", 21},    {L"RT_ANIICON", 22},
}};

// A module opened for resource access only; freed with this object.
class TResourceModule {
public:
  explicit TResourceModule(const WideString& fileName)
      : FHandle(LoadLibraryExW(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~TResourceModule() {
    if (FHandle) FreeLibrary(FHandle);
  }
  TResourceModule(const TResourceModule&) = delete;
  TResourceModule& operator=(const TResourceModule&) = delete;
  HMODULE Handle() const { return FHandle; }

private:
  HMODULE FHandle;
};

}  // namespace

void SplitResName(std::wstring_view fileName, TResType& type, WideString& name) {
  type = TResType();
  name.clear();
  std::size_t slash = fileName.find(L'\\');
  if (slash == std::wstring_view::npos) return;
  name = fileName.substr(slash + 1);
  WideString typeText(fileName.substr(0, slash));
  for (const auto& standard : kStandardResTypes)
    if (SameTextIgnoringCase(standard.Name, L"RT_" + typeText)) {
      type.Number = standard.Number;
      return;
    }
  type.Name = typeText;
}

// ---- TResFileSystem

TResFileSystem::~TResFileSystem() { CloseModule(); }

void TResFileSystem::CloseModule() {
  if (fModuleHandle) FreeLibrary(fModuleHandle);
  fModuleHandle = nullptr;
}

void TResFileSystem::SetFileName(const WideString& fileName) {
  if (fileName == fFileName) return;
  CloseModule();
  fFileName = fileName;
}

bool TResFileSystem::FileExists(const WideString& fileName) {
  TResType type;
  WideString name;
  SplitResName(ChangeFileExt(fileName, L""), type, name);
  // Without a type there is nothing to find (and the system is not asked with none).
  if (type.Empty() || name.empty()) return false;
  fModuleHandle = LoadLibraryExW(fFileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  bool found = fModuleHandle && FindResourceW(fModuleHandle, name.c_str(), type.Id());
  CloseModule();
  return found;
}

std::unique_ptr<TStream> TResFileSystem::GetFileStream(const WideString& fileName, std::uint16_t mode) {
  TResType type;
  WideString name;
  SplitResName(ChangeFileExt(fileName, L""), type, name);
  return std::make_unique<TResWriteStream>(fFileName, mode, type, name);
}

// ---- TResWriteStream

TResWriteStream::TResWriteStream(const WideString& fileName, std::uint16_t mode, TResType resType,
                                 const WideString& resName)
    : fResName(resName), fResType(std::move(resType)), fFileName(fileName) {
  if (mode == fmCreate) return;
  TResourceModule module(fFileName);
  // Without the module nothing is read: a null module would mean this process's own.
  if (!module.Handle() || fResType.Empty()) return;
  HRSRC info = FindResourceW(module.Handle(), fResName.c_str(), fResType.Id());
  if (!info) return;
  fInitSize = std::int32_t(SizeofResource(module.Handle(), info));
  HGLOBAL loaded = fInitSize > 0 ? LoadResource(module.Handle(), info) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes) TMemoryStream::Write(bytes, std::size_t(fInitSize));
  SetPosition(0);
}

TResWriteStream::~TResWriteStream() {
  try {
    Flush();
  } catch (...) {
    Application().HandleException(this);
  }
}

std::size_t TResWriteStream::Write(const void* buffer, std::size_t count) {
  std::size_t written = TMemoryStream::Write(buffer, count);
  fModified = true;
  return written;
}

void TResWriteStream::Flush() {
  if (!fModified && Size() == fInitSize) return;
  if (!UpdateResourceFile(fFileName, fResType, fResName, std::uint32_t(Size()), Memory(), 0))
    RaiseError(L"Error updating resource");
  fModified = false;
  fInitSize = std::int32_t(Size());
}

// ---- UpdateResourceFile

namespace {

bool IsNTPlatform() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

bool UpdateResourceFile(const WideString& fileName, const TResType& resType, const WideString& resName,
                        std::uint32_t dataLength, const void* data, std::uint16_t language) {
  if (IsNTPlatform()) {
    HANDLE update = BeginUpdateResourceW(fileName.c_str(), FALSE);
    if (!update) return false;
    if (!::UpdateResourceW(update, resType.Id(), resName.c_str(), language, const_cast<void*>(data), dataLength))
      return false;
    return EndUpdateResourceW(update, FALSE) != 0;
  }
  TResourceWriter writer(fileName);
  writer.UpdateResource(resType, resName, dataLength, data);
  return true;
}

// ---- TResourceWriter

namespace {

constexpr std::uint32_t kDirectoryBit = 0x80000000u;
constexpr std::uint32_t kNameBit = 0x80000000u;
constexpr std::uint32_t kPeSignature = 0x00004550u;  // "PE\0\0"
constexpr std::uint16_t kDosSignature = 0x5A4D;      // "MZ"
constexpr std::uint32_t kDosNewHeaderOffset = 0x3C;  // where the DOS header keeps the PE header's offset
constexpr std::uint32_t kGrowthUnit = 4096;
constexpr int kMaxDirectoryDepth = 8;  // a resource tree has three levels; more means a loop

[[noreturn]] void InvalidFormat() { RaiseError(L"Invalid file format"); }

}  // namespace

TResourceWriter::TResourceWriter(const WideString& fileName) : FFileName(fileName) { Open(0); }

TResourceWriter::~TResourceWriter() { Close(); }

void TResourceWriter::OpenError(const wchar_t* text) {
  std::int64_t code = GetLastError();
  Close();  // a constructor that raises leaves nothing open
  RaiseErrorFmt(WideString(text) + L"\r\nError code : %d", {code});
}

void TResourceWriter::Open(std::uint32_t mappingSize) {
  FFileHandle = CreateFileW(FFileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FFileHandle == INVALID_HANDLE_VALUE) OpenError(L"Can't open file for writing");
  fFilesize = GetFileSize(FFileHandle, nullptr);
  FFileMapping = CreateFileMappingW(FFileHandle, nullptr, PAGE_READWRITE, 0, mappingSize, nullptr);
  if (!FFileMapping) OpenError(L"Can't map file");
  FFileBase = static_cast<std::uint8_t*>(MapViewOfFile(FFileMapping, FILE_MAP_WRITE, 0, 0, 0));
  if (!FFileBase) OpenError(L"Can't perform MapViewOfFile");
  std::uint32_t viewSize = mappingSize ? mappingSize : fFilesize;

  std::uint16_t dosSignature = 0;
  std::uint32_t peOffset = 0;
  if (viewSize >= kDosNewHeaderOffset + 4) {
    std::memcpy(&dosSignature, FFileBase, 2);
    std::memcpy(&peOffset, FFileBase + kDosNewHeaderOffset, 4);
  }
  if (dosSignature != kDosSignature || peOffset > viewSize || viewSize - peOffset < sizeof(TPeHeaders32))
    OpenError(L"Invalid file format");
  FNTHeader = reinterpret_cast<TPeHeaders32*>(FFileBase + peOffset);
  // Only the 32-bit layout is known here: another would be edited at the wrong places.
  if (FNTHeader->Signature != kPeSignature || FNTHeader->OptionalHeader.Magic != kPeOptionalMagic32 ||
      FNTHeader->FileHeader.SizeOfOptionalHeader != sizeof(TPeOptionalHeader32))
    OpenError(L"Invalid file format");
  std::uint32_t sectionsOffset = peOffset + sizeof(TPeHeaders32);
  std::uint32_t sectionCount = FNTHeader->FileHeader.NumberOfSections;
  if (std::uint64_t(sectionsOffset) + std::uint64_t(sectionCount) * sizeof(TPeSectionHeader) > viewSize)
    OpenError(L"Invalid file format");
  FSections = reinterpret_cast<TPeSectionHeader*>(FFileBase + sectionsOffset);
  FResSectHdr = nullptr;
  for (std::uint32_t i = 0; i < sectionCount && !FResSectHdr; ++i) {
    static constexpr char kName[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    bool same = true;
    for (int k = 0; k < 8 && same; ++k) {
      char c = char(FSections[i].Name[k]);
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
      same = c == kName[k];
    }
    if (same) FResSectHdr = &FSections[i];
  }
  if (!FResSectHdr) OpenError(L"This file doesn't contain resources");
  if (FResSectHdr->PointerToRawData > viewSize) OpenError(L"Invalid file format");
  FResourceBase = FFileBase + FResSectHdr->PointerToRawData;
  FResourceRVA = FResSectHdr->VirtualAddress;
  FResourceSize = std::min(FResSectHdr->SizeOfRawData, viewSize - FResSectHdr->PointerToRawData);
}

void TResourceWriter::Close() {
  if (FFileBase) UnmapViewOfFile(FFileBase);
  if (FFileMapping) CloseHandle(FFileMapping);
  if (FFileHandle != INVALID_HANDLE_VALUE) CloseHandle(FFileHandle);
  FFileBase = nullptr;
  FFileMapping = nullptr;
  FFileHandle = INVALID_HANDLE_VALUE;
  FNTHeader = nullptr;
  FResSectHdr = nullptr;
  FSections = nullptr;
  FResourceBase = nullptr;
}

template <class T>
T& TResourceWriter::ResourceAt(std::uint32_t offset) const {
  if (!FResourceBase || offset > FResourceSize || FResourceSize - offset < sizeof(T)) InvalidFormat();
  return *reinterpret_cast<T*>(FResourceBase + offset);
}

const TResDirectory& TResourceWriter::RootDirectory() const { return ResourceAt<TResDirectory>(0); }

bool TResourceWriter::ProcessAllResources(const TResDirectory& directory, TResourceProc proc) {
  auto directoryOffset = std::uint32_t(reinterpret_cast<const std::uint8_t*>(&directory) - FResourceBase);
  if (FDepth >= kMaxDirectoryDepth) InvalidFormat();
  ++FDepth;
  struct DepthGuard {
    int& Depth;
    ~DepthGuard() { --Depth; }
  } guard{FDepth};
  std::uint32_t count = std::uint32_t(directory.NumberOfNamedEntries) + directory.NumberOfIdEntries;
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto& entry =
        ResourceAt<TResDirectoryEntry>(directoryOffset + std::uint32_t(sizeof(TResDirectory) + i * sizeof(TResDirectoryEntry)));
    if (!(entry.OffsetToData & kDirectoryBit)) continue;  // data at this level: no named resource
    const auto& sub = ResourceAt<TResDirectory>(entry.OffsetToData & ~kDirectoryBit);
    bool subHoldsDirectories = false;
    if (sub.NumberOfNamedEntries + sub.NumberOfIdEntries > 0) {
      auto subOffset = std::uint32_t(reinterpret_cast<const std::uint8_t*>(&sub) - FResourceBase);
      subHoldsDirectories = (ResourceAt<TResDirectoryEntry>(subOffset + std::uint32_t(sizeof(TResDirectory))).OffsetToData &
                             kDirectoryBit) != 0;
    }
    if (subHoldsDirectories ? ProcessAllResources(sub, proc) : (this->*proc)(entry)) return true;
  }
  return false;
}

WideString TResourceWriter::ResourceName(const TResDirectoryEntry& entry) const {
  std::uint32_t offset = entry.Name & ~kNameBit;
  std::uint16_t length = ResourceAt<std::uint16_t>(offset);
  if (length) ResourceAt<std::uint16_t>(offset + 2u * length);  // the last character lies in the section
  WideString name(length, L'\0');
  std::memcpy(name.data(), FResourceBase + offset + 2, 2u * length);
  return name;
}

TResDataEntry& TResourceWriter::FirstLanguageData(const TResDirectoryEntry& entry) const {
  std::uint32_t offset = entry.OffsetToData & ~kDirectoryBit;
  const auto& languages = ResourceAt<TResDirectory>(offset);
  if (languages.NumberOfNamedEntries + languages.NumberOfIdEntries == 0) InvalidFormat();
  const auto& first = ResourceAt<TResDirectoryEntry>(offset + std::uint32_t(sizeof(TResDirectory)));
  if (first.OffsetToData & kDirectoryBit) InvalidFormat();
  return ResourceAt<TResDataEntry>(first.OffsetToData);
}

bool TResourceWriter::FindProc(const TResDirectoryEntry& entry) {
  if (!(entry.Name & kNameBit) || ResourceName(entry) != fResName) return false;
  fOldSize = FirstLanguageData(entry).Size;
  return true;
}

bool TResourceWriter::ReplaceProc(const TResDirectoryEntry& entry) {
  if (!(entry.Name & kNameBit) || ResourceName(entry) != fResName) return false;
  TResDataEntry& data = FirstLanguageData(entry);
  std::uint32_t oldPlace = FResSectHdr->PointerToRawData + (data.OffsetToData - FResourceRVA);
  std::uint32_t newPlace = fOldFileSize;
  if (fDataLength) std::memcpy(FFileBase + newPlace, fData, fDataLength);
  data.Size = fDataLength;
  data.OffsetToData = data.OffsetToData + (newPlace - oldPlace);
  return true;
}

bool TResourceWriter::IsResourceSectionLast() const {
  // The new data go to the end of the file and the section grows over them:
  // no other section may follow it, in the file or in memory.
  for (std::uint32_t i = 0; i < FNTHeader->FileHeader.NumberOfSections; ++i) {
    const TPeSectionHeader& s = FSections[i];
    if (&s == FResSectHdr) continue;
    if (s.VirtualAddress > FResourceRVA || (s.SizeOfRawData && s.PointerToRawData > FResSectHdr->PointerToRawData))
      return false;
  }
  return std::uint64_t(FResSectHdr->PointerToRawData) + FResSectHdr->SizeOfRawData == fFilesize;
}

void TResourceWriter::UpdateResource(const TResType&, const WideString& resName, std::uint32_t dataLength,
                                     const void* data) {
  fResName = resName;
  fData = data;
  fDataLength = dataLength;
  fOldSize = -1;
  ProcessAllResources(RootDirectory(), &TResourceWriter::FindProc);
  if (fOldSize == -1) RaiseError(L"Resource not found");
  if (!IsResourceSectionLast()) RaiseError(L"Resource section is not the last section");
  fDelta = (std::int64_t(dataLength) / kGrowthUnit + 1) * kGrowthUnit;
  fOldFileSize = fFilesize;
  if (std::int64_t(fOldFileSize) + fDelta > std::numeric_limits<std::uint32_t>::max())
    RaiseError(L"Resource too large");
  auto delta = std::uint32_t(fDelta);
  Close();
  Open(fOldFileSize + delta);  // the larger mapping grows the file
  ProcessAllResources(RootDirectory(), &TResourceWriter::ReplaceProc);
  TPeOptionalHeader32& optional = FNTHeader->OptionalHeader;
  optional.SizeOfInitializedData += delta;
  optional.SizeOfImage += delta;
  optional.DataDirectory[kResourceDirectoryIndex].Size += delta;
  FResSectHdr->VirtualSize += delta;
  FResSectHdr->SizeOfRawData += delta;
}

// ---- Packaged collections

namespace {

std::vector<TPackagedCollection*>& PackagedCollections() {
  static std::vector<TPackagedCollection*> collections;  // made on first use
  return collections;
}

// The package that new items belong to; no package is ever loaded here.
constexpr std::int32_t kCurrentPackage = 0;

}  // namespace

TPackagedCollection::TPackagedCollection(TCollectionItemClass itemClass) : TCollection(itemClass) {
  if (!itemClass.Class->InheritsFrom(&TPackagedCollectionItem::StaticClassInfo()))
    throw EInvalidOperation(L"A packaged collection holds packaged items");
  PackagedCollections().push_back(this);
}

TPackagedCollection::~TPackagedCollection() { std::erase(PackagedCollections(), this); }

TPackagedCollectionItem* TPackagedCollection::Add() {
  auto* item = static_cast<TPackagedCollectionItem*>(TCollection::Add());
  item->PackageHandle = kCurrentPackage;
  item->DesignGroup = CurrentGroup;
  return item;
}

TPackagedCollectionItem* TPackagedCollection::Last() const {
  return Count() ? static_cast<TPackagedCollectionItem*>(Items(Count() - 1)) : nullptr;
}

void TPackagedCollection::DeleteItems(std::int32_t designGroup) {
  for (int i = Count() - 1; i >= 0; --i)
    if (static_cast<TPackagedCollectionItem*>(Items(i))->DesignGroup == designGroup) Delete(i);
}

TVK_MESSAGE_MAP(TPackagedCollection, {kMsgDeleteDesignGroup, &TPackagedCollection::WMDeleteDesignGroup})

void TPackagedCollection::WMDeleteDesignGroup(TMessage& message) { DeleteItems(std::int32_t(message.WParam)); }

bool BroadcastToPackagedCollections(UINT msg, WPARAM wParam, LPARAM lParam, bool stopOnHandled) {
  // As listeners are notified: the collections of the moment, each once
  // unless it is gone by its turn.
  std::vector<TPackagedCollection*> collections = PackagedCollections();
  for (auto it = collections.rbegin(); it != collections.rend(); ++it) {
    const auto& current = PackagedCollections();
    if (std::find(current.begin(), current.end(), *it) == current.end()) continue;
    TMessage message{msg, wParam, lParam, 0};
    (*it)->Dispatch(message);
    if (stopOnHandled && message.Result != 0) return false;
  }
  return true;
}

// ---- TClassItems

TClassItems::TClassItems() : TPackagedCollection(CollectionItemClassOf<TClassItem>()) {}

TClassItem* TClassItems::RegisterClass(TClass c, TClassItemCats categories) {
  TClassItem* item = FindItem(c);
  if (!item) {
    item = static_cast<TClassItem*>(Add());
    item->ClassPtr = c;
  }
  item->Categories |= categories;
  return item;
}

TClassItem* TClassItems::FindItem(TClass c) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->ClassPtr == c) return Items(i);
  return nullptr;
}

void TClassItems::UpdateClassCategory(TClass c, TClassItemCats addCats, TClassItemCats removeCats) {
  if (TClassItem* item = FindItem(c)) item->Categories = (item->Categories | addCats) & ~removeCats;
}

void TClassItems::UpdateClassesCategory(std::span<const TClass> classes, TClassItemCats addCats,
                                        TClassItemCats removeCats) {
  for (TClass c : classes) UpdateClassCategory(c, addCats, removeCats);
}

void TClassItems::UpdateAllClassesCategories(TClassItemCats addCats, TClassItemCats removeCats) {
  for (int i = 0; i < Count(); ++i) Items(i)->Categories = (Items(i)->Categories | addCats) & ~removeCats;
}

void TClassItems::ListFieldClasses(std::vector<TClass>& list) const {
  list.clear();
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Categories & icField) list.push_back(Items(i)->ClassPtr);
}

bool TClassItems::IsIconClass(TClass c) const {
  for (int i = 0; i < Count(); ++i)
    if (c->InheritsFrom(Items(i)->ClassPtr)) return !(Items(i)->Categories & icNoIcon);
  return true;
}

namespace {

std::unique_ptr<TClassItems> gClassItems;
// The areas that registrations made now belong to; nothing fills it here.
WideString gCurrentAreas;
TStartupCounter gSystemCounter;

void RegisterComponentsHook(const WideString& page, std::span<const TClass> classes) {
  RegisterClassesWithCategories(page, classes, icShowinPalette);
}

void RegisterNoIconHook(std::span<const TClass> classes) { RegisterClassesWithCategories(L"", classes, icNoIcon); }

void RegisterNonActiveXHook(std::span<const TClass> classes, int) {
  RegisterClassesWithCategories(L"", classes, icNonActiveX);
}

std::vector<WideString> CommaItems(std::wstring_view list) {
  return SplitDelimitedText(list, L',', L'"', false, NextWideChar);
}

}  // namespace

TClassItems& ClassItems() {
  if (!gClassItems) gClassItems = std::make_unique<TClassItems>();
  return *gClassItems;
}

WideString MergeCommaLists(std::wstring_view a, std::wstring_view b) {
  std::vector<WideString> items = CommaItems(a);
  for (WideString& item : CommaItems(b))
    if (std::none_of(items.begin(), items.end(), [&](const WideString& x) { return SameTextIgnoringCase(x, item); }))
      items.push_back(std::move(item));
  return JoinDelimitedText(
      int(items.size()), [&](int i) -> const WideString& { return items[std::size_t(i)]; }, L',', L'"', false,
      NextWideChar);
}

void RegisterClassesWithCategories(const WideString& page, std::span<const TClass> classes,
                                   TClassItemCats categories) {
  for (TClass c : classes) {
    try {
      if (!GetClass(c->Name)) RegisterClass(c);
    } catch (...) {
      // A clash in the class registry does not stop the design-time registration.
    }
    TClassItem* item = ClassItems().RegisterClass(c, categories);
    if (item->PalettePage.empty()) item->PalettePage = page;
    item->Areas = MergeCommaLists(item->Areas, gCurrentAreas);
  }
  BroadcastToPackagedCollections(kMsgClassesRegistered, 0, 0, false);
}

bool SystemUnitStartup() {
  return gSystemCounter.Start([] {
    if (!RegisterComponentsProc) RegisterComponentsProc = &RegisterComponentsHook;
    if (!RegisterNoIconProc) RegisterNoIconProc = &RegisterNoIconHook;
    if (!RegisterNonActiveXProc) RegisterNonActiveXProc = &RegisterNonActiveXHook;
    for (TClass c : {&TWin32FileSystem::StaticClassInfo(), &TResFileSystem::StaticClassInfo()}) {
      try {
        if (!GetClass(c->Name)) RegisterClass(c);
      } catch (...) {
        // Another class of that name keeps its place.
      }
    }
    return true;
  });
}

void SystemUnitShutdown() {
  gSystemCounter.Stop([] {
    if (RegisterComponentsProc == &RegisterComponentsHook) RegisterComponentsProc = nullptr;
    if (RegisterNoIconProc == &RegisterNoIconHook) RegisterNoIconProc = nullptr;
    if (RegisterNonActiveXProc == &RegisterNonActiveXHook) RegisterNonActiveXProc = nullptr;
    gClassItems.reset();
  });
}

}  // namespace tvk
