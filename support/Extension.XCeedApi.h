#pragma once
// A thin wrapper over the outside zip library "ZipComponents.DLL", loaded from
// the host's System folder. Each wrapper holds one zip object of the library,
// bound to one archive. The library's callback carries no context, so it goes
// to the wrapper constructed last: one wrapper at a time.
#include "Exception.h"
#include "Lists.h"
#include "XceedZipLibrary.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace tvk {

using TEventGlobalStatus = std::function<void(const xzip::TGlobalStatusRec*)>;
using TEventProcessCompleted = std::function<void(const xzip::TProcessCompletedRec*)>;
using TEventWarning = std::function<void(const xzip::TWarningRec*)>;

// The library cannot be loaded or lacks an entry point.
class EZipLibraryError : public Exception {
public:
  using Exception::Exception;
};

class TXCeedZip {
public:
  // Loads and binds the library (every time), creates the zip object for the
  // archive and becomes the current wrapper; raises EZipLibraryError.
  explicit TXCeedZip(std::wstring_view ZipFileName);
  // The library's shut-down call, then the zip object's destruction.
  ~TXCeedZip();
  TXCeedZip(const TXCeedZip&) = delete;
  TXCeedZip& operator=(const TXCeedZip&) = delete;

  // The library's result codes, 0 for success.
  int32_t UnZip();
  int32_t Zip();
  // Clears ListResults; the names arrive through the callback.
  int32_t List();
  bool TestZip();
  void Abort();
  void AddFilesToProcess(std::wstring_view Mask);
  void AddFilesToExclude(std::wstring_view Mask);
  // The library's description of a result code.
  WideString GetErrorMessage(int32_t Code);

  // Write-only properties: the library keeps the settings.
  void SetUnzipToFolder(std::wstring_view Folder);
  void SetTempFolder(std::wstring_view Folder);
  void SetBasePath(std::wstring_view Path);
  void SetEncryptionPassword(std::wstring_view Text);
  void SetCompressionLevel(int32_t Value);
  void SetPreservePaths(bool Value);
  void SetProcessSubfolders(bool Value);
  void SetSkipIfExisting(bool Value);
  void SetSkipIfNotExisting(bool Value);
  void SetUseTempFile(bool Value);

  TEventGlobalStatus EventGlobalStatus;
  TEventProcessCompleted EventProcessCompleted;
  TEventWarning EventWarning;
  TStringList& ListResults() { return *FListResults; }
  int32_t Handle() const { return hZip; }

private:
  static void XZIP_CALL Callback(int32_t Kind, void* Record);

  int32_t hZip = 0;
  std::unique_ptr<TStringList> FListResults;
};

}  // namespace tvk
