#include "Extension.XCeedApi.h"

#include "ZUL.Util.h"

#include <string>

namespace tvk {

namespace {

// The bound entry points, kept module-wide: bound again at every construction.
struct TZipLibrary {
#define XZIP_FIELD(Name, Result, Params) xzip::T##Name Name = nullptr;
  XZIP_ENTRY_POINTS(XZIP_FIELD)
#undef XZIP_FIELD
};
TZipLibrary gZip;
// The wrapper constructed last; the library's callback goes to it.
TXCeedZip* gCurrent = nullptr;

// Loads the library from the host's System folder and binds every entry point;
// it stays loaded. Nothing is bound unless everything is.
void LoadZipLibrary() {
  const WideString path = GetSystemFolder() + xzip::kLibraryName;
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) throw EZipLibraryError(L"The zip library " + path + L" cannot be loaded");
  TZipLibrary bound;
#define XZIP_BIND(Name, Result, Params)                                                                  \
  bound.Name = reinterpret_cast<xzip::T##Name>(reinterpret_cast<void*>(GetProcAddress(module, #Name))); \
  if (!bound.Name) throw EZipLibraryError(L"The zip library lacks the entry point " #Name);
  XZIP_ENTRY_POINTS(XZIP_BIND)
#undef XZIP_BIND
  gZip = bound;
}

// 8-bit text in the system's default code page, zero-terminated.
std::string Ansi(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

WideString Wide(const char* text, std::size_t length) {
  if (length == 0) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text, int(length), nullptr, 0);
  WideString out(std::size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, int(length), out.data(), n);
  return out;
}

int32_t Flag(bool value) { return value ? -1 : 0; }

}  // namespace

TXCeedZip::TXCeedZip(std::wstring_view ZipFileName) {
  LoadZipLibrary();
  gZip.XceedZipInitDLL();
  hZip = gZip.XzCreateXceedZipA("");
  gZip.XzSetZipFilenameA(hZip, Ansi(ZipFileName).c_str());
  gZip.XzSetXceedZipCallback(hZip, &TXCeedZip::Callback);
  FListResults = std::make_unique<TStringList>();
  gCurrent = this;
}

TXCeedZip::~TXCeedZip() {
  FListResults.reset();
  gZip.XceedZipShutdownDLL();
  gZip.XzDestroyXceedZip(hZip);
  if (gCurrent == this) gCurrent = nullptr;
}

// Called by the library: nothing may leave it.
void XZIP_CALL TXCeedZip::Callback(int32_t Kind, void* Record) {
  TXCeedZip* self = gCurrent;
  if (!self || !Record) return;
  try {
    switch (Kind) {
      case xzip::kListedFile: {
        const char* name = static_cast<const xzip::TListingRec*>(Record)->szFilename;
        std::size_t length = 0;
        while (length < xzip::kMaxName && name[length]) ++length;  // a name without a zero is taken whole
        self->FListResults->Add(Wide(name, length));
        break;
      }
      case xzip::kGlobalStatus:
        if (self->EventGlobalStatus) self->EventGlobalStatus(static_cast<const xzip::TGlobalStatusRec*>(Record));
        break;
      case xzip::kProcessCompleted:
        if (self->EventProcessCompleted)
          self->EventProcessCompleted(static_cast<const xzip::TProcessCompletedRec*>(Record));
        break;
      case xzip::kWarning:
        if (self->EventWarning) self->EventWarning(static_cast<const xzip::TWarningRec*>(Record));
        break;
      default: break;
    }
  } catch (...) {
  }
}

int32_t TXCeedZip::UnZip() { return gZip.XzUnzip(hZip); }
int32_t TXCeedZip::Zip() { return gZip.XzZip(hZip); }

int32_t TXCeedZip::List() {
  FListResults->Clear();
  return gZip.XzListZipContents(hZip);
}

bool TXCeedZip::TestZip() { return gZip.XzTestZipFile(hZip, -1) == 0; }
void TXCeedZip::Abort() { gZip.XzSetAbort(hZip, -1); }
void TXCeedZip::AddFilesToProcess(std::wstring_view Mask) { gZip.XzAddFilesToProcessA(hZip, Ansi(Mask).c_str()); }
void TXCeedZip::AddFilesToExclude(std::wstring_view Mask) { gZip.XzAddFilesToExcludeA(hZip, Ansi(Mask).c_str()); }

WideString TXCeedZip::GetErrorMessage(int32_t Code) {
  char buffer[1025] = {};
  gZip.XzGetErrorDescriptionA(hZip, 0, Code, buffer, 1024);
  std::size_t length = 0;
  while (length < 1024 && buffer[length]) ++length;
  return Wide(buffer, length);
}

void TXCeedZip::SetUnzipToFolder(std::wstring_view Folder) { gZip.XzSetUnzipToFolderA(hZip, Ansi(Folder).c_str()); }
void TXCeedZip::SetTempFolder(std::wstring_view Folder) { gZip.XzSetTempFolderA(hZip, Ansi(Folder).c_str()); }
void TXCeedZip::SetBasePath(std::wstring_view Path) { gZip.XzSetBasePathA(hZip, Ansi(Path).c_str()); }
void TXCeedZip::SetEncryptionPassword(std::wstring_view Text) {
  gZip.XzSetEncryptionPasswordA(hZip, Ansi(Text).c_str());
}
void TXCeedZip::SetCompressionLevel(int32_t Value) { gZip.XzSetCompressionMethod(hZip, Value); }
void TXCeedZip::SetPreservePaths(bool Value) { gZip.XzSetPreservePaths(hZip, Flag(Value)); }
void TXCeedZip::SetProcessSubfolders(bool Value) { gZip.XzSetProcessSubfolders(hZip, Flag(Value)); }
void TXCeedZip::SetSkipIfExisting(bool Value) { gZip.XzSetSkipIfExisting(hZip, Flag(Value)); }
void TXCeedZip::SetSkipIfNotExisting(bool Value) { gZip.XzSetSkipIfNotExisting(hZip, Flag(Value)); }
void TXCeedZip::SetUseTempFile(bool Value) { gZip.XzSetUseTempFile(hZip, Flag(Value)); }

}  // namespace tvk
