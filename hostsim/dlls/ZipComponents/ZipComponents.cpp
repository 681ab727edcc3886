// Stand-in for the outside zip library "ZipComponents.DLL": zip objects with
// small integer handles, bound to one archive each; listing, testing and
// unpacking of stored and deflated entries (through zlib) into a folder, flat
// or with the stored paths; the callback kinds of the listed names, the
// overall status, the completion and the warnings. Every entry point call is
// logged by name, for the tests (HostSim_Zip_*).
#include "support/XceedZipLibrary.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// Result codes of the stand-in.
enum : int32_t {
  kOk = 0,
  kArchiveMissing = 1,
  kArchiveDamaged = 2,
  kMethodUnsupported = 3,
  kWriteFailed = 4,
  kCrcMismatch = 5,
  kNothingToDo = 6,
  kZipUnsupported = 7,
  kBadHandle = 8,
  kNotInitialised = 9,
};

const char* Description(int32_t code) {
  switch (code) {
    case kOk: return "Success";
    case kArchiveMissing: return "The zip file cannot be opened";
    case kArchiveDamaged: return "The zip file is damaged";
    case kMethodUnsupported: return "An entry uses an unsupported compression method";
    case kWriteFailed: return "A file cannot be written";
    case kCrcMismatch: return "An entry's data does not match its checksum";
    case kNothingToDo: return "No file matches the files to process";
    case kZipUnsupported: return "Zipping is not supported";
    case kBadHandle: return "No such zip object";
    case kNotInitialised: return "The library is not initialised";
    default: return "Unknown error";
  }
}

struct ZipObject {
  std::string Archive, UnzipFolder, TempFolder, BasePath;
  std::vector<std::string> Process, Exclude;
  bool PreservePaths = true, SkipIfExisting = false;
  xzip::TCallback Callback = nullptr;
};

std::map<int32_t, ZipObject> gObjects;
int32_t gNextHandle = 1;
int gInitialised = 0;
std::vector<std::string> gCalls;

ZipObject* Find(int32_t h) {
  auto it = gObjects.find(h);
  return it == gObjects.end() ? nullptr : &it->second;
}

struct Entry {
  std::string Name;
  uint16_t Method = 0;
  uint32_t Crc = 0, Compressed = 0, Size = 0, LocalOffset = 0;
};

uint16_t U16(const std::string& d, std::size_t at) {
  return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}
uint32_t U32(const std::string& d, std::size_t at) { return uint32_t(U16(d, at)) | uint32_t(U16(d, at + 2)) << 16; }

// The entries of the central directory; false when the file is no zip file.
bool ReadDirectory(const std::string& data, std::vector<Entry>& entries) {
  if (data.size() < 22) return false;
  std::size_t end = std::string::npos;
  // The end record lies within the last 22 bytes plus its comment's 65535.
  const std::size_t lowest = data.size() > 22 + 65535 ? data.size() - 22 - 65535 : 0;
  for (std::size_t at = data.size() - 22 + 1; at-- > lowest;)
    if (U32(data, at) == 0x06054B50) {
      end = at;
      break;
    }
  if (end == std::string::npos) return false;
  const uint16_t count = U16(data, end + 10);
  std::size_t at = U32(data, end + 16);
  for (uint16_t i = 0; i < count; ++i) {
    if (at + 46 > data.size() || U32(data, at) != 0x02014B50) return false;
    Entry e;
    e.Method = U16(data, at + 10);
    e.Crc = U32(data, at + 16);
    e.Compressed = U32(data, at + 20);
    e.Size = U32(data, at + 24);
    const uint16_t nameLength = U16(data, at + 28), extra = U16(data, at + 30), comment = U16(data, at + 32);
    e.LocalOffset = U32(data, at + 42);
    if (at + 46 + nameLength > data.size()) return false;
    e.Name = data.substr(at + 46, nameLength);
    entries.push_back(e);
    at += 46 + nameLength + extra + comment;
  }
  return true;
}

int32_t Inflate(const std::string& data, const Entry& e, std::string& out) {
  const std::size_t local = e.LocalOffset;
  if (local + 30 > data.size() || U32(data, local) != 0x04034B50) return kArchiveDamaged;
  const std::size_t start = local + 30 + U16(data, local + 26) + U16(data, local + 28);
  if (start + e.Compressed > data.size()) return kArchiveDamaged;
  out.assign(e.Size, '\0');
  if (e.Method == 0) {
    if (e.Compressed != e.Size) return kArchiveDamaged;
    std::memcpy(out.data(), data.data() + start, e.Size);
  } else if (e.Method == 8) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return kArchiveDamaged;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + start));
    z.avail_in = e.Compressed;
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = e.Size;
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (rc != Z_STREAM_END || z.total_out != e.Size) return kArchiveDamaged;
  } else {
    return kMethodUnsupported;
  }
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(out.data()), uInt(out.size()));
  return crc == e.Crc ? kOk : kCrcMismatch;
}

std::string BaseName(const std::string& path) {
  std::size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

// "*" any run, "?" one character, without regard to ASCII case; "*.*" matches every name.
bool Matches(const char* mask, const char* name) {
  if (std::strcmp(mask, "*.*") == 0) return true;
  if (!*mask) return !*name;
  if (*mask == '*') return Matches(mask + 1, name) || (*name && Matches(mask, name + 1));
  return *name && (*mask == '?' || Lower(*mask) == Lower(*name)) && Matches(mask + 1, name + 1);
}

bool Selected(const ZipObject& o, const std::string& name) {
  const std::string base = BaseName(name);
  bool in = o.Process.empty();
  for (const auto& m : o.Process) in = in || Matches(m.c_str(), base.c_str()) || Matches(m.c_str(), name.c_str());
  for (const auto& m : o.Exclude) in = in && !Matches(m.c_str(), base.c_str());
  return in;
}

bool Load(const ZipObject& o, std::string& data, std::vector<Entry>& entries, int32_t& result) {
  std::ifstream in(o.Archive, std::ios::binary);
  if (!in) {
    result = kArchiveMissing;
    return false;
  }
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!ReadDirectory(data, entries)) {
    result = kArchiveDamaged;
    return false;
  }
  return true;
}

// Into a zeroed record field; a name of 260 characters or more fills it without a zero.
void CopyName(char (&field)[xzip::kMaxName], const std::string& name) {
  std::memcpy(field, name.data(), std::min(name.size(), sizeof field));
}

void Fire(const ZipObject& o, int32_t kind, void* record) {
  if (o.Callback) o.Callback(kind, record);
}

void Warn(const ZipObject& o, int32_t h, const std::string& name, int32_t warning) {
  xzip::TWarningRec w{};
  w.wStructSize = sizeof w;
  w.hZip = h;
  CopyName(w.szFilename, name);
  w.xWarning = warning;
  Fire(o, xzip::kWarning, &w);
}

void MakeFolders(const std::string& file) {
  for (std::size_t at = file.find('\\', 3); at != std::string::npos; at = file.find('\\', at + 1))
    CreateDirectoryA(file.substr(0, at).c_str(), nullptr);
}

int32_t Unzip(int32_t h, ZipObject& o) {
  std::string data;
  std::vector<Entry> entries;
  int32_t result = kOk;
  xzip::TGlobalStatusRec status{};
  status.wStructSize = sizeof status;
  status.hZip = h;
  if (Load(o, data, entries, result)) {
    std::string folder = o.UnzipFolder;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    bool any = false;
    for (const Entry& e : entries) {
      if (e.Name.empty() || e.Name.back() == '/' || !Selected(o, e.Name)) continue;
      any = true;
      ++status.lFilesTotal;
      status.lBytesTotal += int32_t(e.Size);
      std::string relative = o.PreservePaths ? e.Name : BaseName(e.Name);
      for (char& c : relative)
        if (c == '/') c = '\\';
      const std::string target = folder + relative;
      if (o.SkipIfExisting && GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ++status.lFilesSkipped;
        Warn(o, h, e.Name, 1);
        continue;
      }
      std::string content;
      result = Inflate(data, e, content);
      if (result != kOk) break;
      if (o.PreservePaths) MakeFolders(target);
      std::ofstream out(target, std::ios::binary | std::ios::trunc);
      if (!out.write(content.data(), std::streamsize(content.size()))) {
        result = kWriteFailed;
        break;
      }
      ++status.lFilesProcessed;
      status.lBytesProcessed += int32_t(e.Size);
      status.lBytesOutput += int32_t(e.Size);
      status.nFilesPercent = int8_t(status.lFilesProcessed * 100 / status.lFilesTotal);
      Fire(o, xzip::kGlobalStatus, &status);
    }
    if (result == kOk && !any) result = kNothingToDo;
  }
  xzip::TProcessCompletedRec done{};
  done.wStructSize = sizeof done;
  done.hZip = h;
  done.lFilesTotal = status.lFilesTotal;
  done.lFilesProcessed = status.lFilesProcessed;
  done.lFilesSkipped = status.lFilesSkipped;
  done.lBytesTotal = status.lBytesTotal;
  done.lBytesProcessed = status.lBytesProcessed;
  done.lBytesOutput = status.lBytesOutput;
  done.xResult = result;
  Fire(o, xzip::kProcessCompleted, &done);
  return result;
}

void Log(const char* name) { gCalls.push_back(name); }

// Finds the object or returns Fail from the entry point.
#define XZIP_OBJECT(h, Fail)    \
  ZipObject* o = Find(h);       \
  if (!o) return Fail;

void SetText(int32_t h, std::string ZipObject::*field, const char* text) {
  if (ZipObject* o = Find(h)) o->*field = text ? text : "";
}

}  // namespace

#define XZIP_EXPORT extern "C" __declspec(dllexport)

XZIP_EXPORT int32_t XZIP_CALL XceedZipInitDLL() {
  Log("XceedZipInitDLL");
  ++gInitialised;
  return kOk;
}

XZIP_EXPORT int32_t XZIP_CALL XceedZipShutdownDLL() {
  Log("XceedZipShutdownDLL");
  if (gInitialised > 0) --gInitialised;
  return kOk;
}

XZIP_EXPORT int32_t XZIP_CALL XzCreateXceedZipA(const char*) {
  Log("XzCreateXceedZipA");
  if (gInitialised == 0) return 0;
  const int32_t h = gNextHandle++;
  gObjects[h] = ZipObject();
  return h;
}

// The zip object goes whether or not the library is still initialised.
XZIP_EXPORT void XZIP_CALL XzDestroyXceedZip(int32_t h) {
  Log("XzDestroyXceedZip");
  gObjects.erase(h);
}

XZIP_EXPORT void XZIP_CALL XzSetZipFilenameA(int32_t h, const char* name) {
  Log("XzSetZipFilenameA");
  SetText(h, &ZipObject::Archive, name);
}

XZIP_EXPORT void XZIP_CALL XzSetXceedZipCallback(int32_t h, xzip::TCallback callback) {
  Log("XzSetXceedZipCallback");
  if (ZipObject* o = Find(h)) o->Callback = callback;
}

XZIP_EXPORT int32_t XZIP_CALL XzUnzip(int32_t h) {
  Log("XzUnzip");
  XZIP_OBJECT(h, kBadHandle)
  return Unzip(h, *o);
}

XZIP_EXPORT int32_t XZIP_CALL XzZip(int32_t h) {
  Log("XzZip");
  XZIP_OBJECT(h, kBadHandle)
  return kZipUnsupported;
}

XZIP_EXPORT int32_t XZIP_CALL XzListZipContents(int32_t h) {
  Log("XzListZipContents");
  XZIP_OBJECT(h, kBadHandle)
  std::string data;
  std::vector<Entry> entries;
  int32_t result = kOk;
  if (!Load(*o, data, entries, result)) return result;
  for (const Entry& e : entries) {
    xzip::TListingRec listed{};
    listed.wStructSize = sizeof listed;
    listed.hZip = h;
    CopyName(listed.szFilename, e.Name);
    Fire(*o, xzip::kListedFile, &listed);
  }
  return kOk;
}

XZIP_EXPORT int32_t XZIP_CALL XzTestZipFile(int32_t h, int32_t) {
  Log("XzTestZipFile");
  XZIP_OBJECT(h, kBadHandle)
  std::string data, content;
  std::vector<Entry> entries;
  int32_t result = kOk;
  if (!Load(*o, data, entries, result)) return result;
  for (const Entry& e : entries)
    if (!e.Name.empty() && e.Name.back() != '/' && (result = Inflate(data, e, content)) != kOk) return result;
  return kOk;
}

XZIP_EXPORT void XZIP_CALL XzSetAbort(int32_t, int32_t) { Log("XzSetAbort"); }

XZIP_EXPORT void XZIP_CALL XzAddFilesToProcessA(int32_t h, const char* mask) {
  Log("XzAddFilesToProcessA");
  if (ZipObject* o = Find(h)) o->Process.push_back(mask ? mask : "");
}

XZIP_EXPORT void XZIP_CALL XzAddFilesToExcludeA(int32_t h, const char* mask) {
  Log("XzAddFilesToExcludeA");
  if (ZipObject* o = Find(h)) o->Exclude.push_back(mask ? mask : "");
}

XZIP_EXPORT int32_t XZIP_CALL XzGetErrorDescriptionA(int32_t, int32_t, int32_t code, char* buffer, int32_t size) {
  Log("XzGetErrorDescriptionA");
  if (!buffer || size <= 0) return 0;
  const std::string text = Description(code);
  const std::size_t n = std::min<std::size_t>(text.size(), std::size_t(size) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return int32_t(n);
}

XZIP_EXPORT void XZIP_CALL XzSetUnzipToFolderA(int32_t h, const char* folder) {
  Log("XzSetUnzipToFolderA");
  SetText(h, &ZipObject::UnzipFolder, folder);
}

XZIP_EXPORT void XZIP_CALL XzSetTempFolderA(int32_t h, const char* folder) {
  Log("XzSetTempFolderA");
  SetText(h, &ZipObject::TempFolder, folder);
}

XZIP_EXPORT void XZIP_CALL XzSetBasePathA(int32_t h, const char* path) {
  Log("XzSetBasePathA");
  SetText(h, &ZipObject::BasePath, path);
}

XZIP_EXPORT void XZIP_CALL XzSetEncryptionPasswordA(int32_t, const char*) { Log("XzSetEncryptionPasswordA"); }
XZIP_EXPORT void XZIP_CALL XzSetCompressionMethod(int32_t, int32_t) { Log("XzSetCompressionMethod"); }

XZIP_EXPORT void XZIP_CALL XzSetPreservePaths(int32_t h, int32_t value) {
  Log("XzSetPreservePaths");
  if (ZipObject* o = Find(h)) o->PreservePaths = value != 0;
}

XZIP_EXPORT void XZIP_CALL XzSetProcessSubfolders(int32_t, int32_t) { Log("XzSetProcessSubfolders"); }

XZIP_EXPORT void XZIP_CALL XzSetSkipIfExisting(int32_t h, int32_t value) {
  Log("XzSetSkipIfExisting");
  if (ZipObject* o = Find(h)) o->SkipIfExisting = value != 0;
}

XZIP_EXPORT void XZIP_CALL XzSetSkipIfNotExisting(int32_t, int32_t) { Log("XzSetSkipIfNotExisting"); }
XZIP_EXPORT void XZIP_CALL XzSetUseTempFile(int32_t, int32_t) { Log("XzSetUseTempFile"); }

// ---- Controls for the tests

// The entry points called since the last clearing, each followed by a blank.
XZIP_EXPORT int32_t XZIP_CALL HostSim_Zip_Calls(char* buffer, int32_t size) {
  std::string text;
  for (const auto& c : gCalls) text += c + " ";
  if (buffer && size > 0) {
    const std::size_t n = std::min<std::size_t>(text.size(), std::size_t(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
  }
  return int32_t(text.size());
}

XZIP_EXPORT void XZIP_CALL HostSim_Zip_ClearCalls() { gCalls.clear(); }

// The number of zip objects alive.
XZIP_EXPORT int32_t XZIP_CALL HostSim_Zip_ObjectCount() { return int32_t(gObjects.size()); }
