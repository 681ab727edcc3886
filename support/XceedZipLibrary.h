#pragma once
// The entry points and callback records of the outside zip library
// "ZipComponents.DLL", declared once for the wrapper and the simulated host's
// stand-in alike. Texts are 8-bit strings in the system's default code page;
// booleans 32-bit, 0 false and -1 true; results 32-bit, 0 for success.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#define XZIP_CALL __stdcall

namespace xzip {

inline constexpr const wchar_t* kLibraryName = L"ZipComponents.DLL";

// Callback kinds the wrapper handles.
inline constexpr int32_t kListedFile = 1;
inline constexpr int32_t kGlobalStatus = 10;
inline constexpr int32_t kProcessCompleted = 12;
inline constexpr int32_t kWarning = 17;

inline constexpr std::size_t kMaxName = 260;

struct TGlobalStatusRec {
  uint16_t wStructSize;
  int32_t hZip;
  int32_t lFilesTotal, lFilesProcessed, lFilesSkipped;
  int8_t nFilesPercent;
  int32_t lBytesTotal, lBytesProcessed, lBytesSkipped;
  int8_t nBytesPercent;
  int32_t lBytesOutput;
  int8_t nCompressionRatio;
  int32_t lBytesTotalHigh, lBytesProcessedHigh, lBytesSkippedHigh, lBytesOutputHigh;
};
static_assert(sizeof(TGlobalStatusRec) == 64);
static_assert(offsetof(TGlobalStatusRec, nFilesPercent) == 20 && offsetof(TGlobalStatusRec, nBytesPercent) == 36);
static_assert(offsetof(TGlobalStatusRec, nCompressionRatio) == 44 && offsetof(TGlobalStatusRec, lBytesOutputHigh) == 60);

struct TProcessCompletedRec {
  uint16_t wStructSize;
  int32_t hZip;
  int32_t lFilesTotal, lFilesProcessed, lFilesSkipped;
  int32_t lBytesTotal, lBytesProcessed, lBytesSkipped, lBytesOutput;
  int8_t nCompressionRatio;
  int32_t xResult;
  int32_t lBytesTotalHigh, lBytesProcessedHigh, lBytesSkippedHigh, lBytesOutputHigh;
};
static_assert(sizeof(TProcessCompletedRec) == 60);
static_assert(offsetof(TProcessCompletedRec, nCompressionRatio) == 36 && offsetof(TProcessCompletedRec, xResult) == 40);

struct TWarningRec {
  uint16_t wStructSize;
  int32_t hZip;
  char szFilename[kMaxName];
  int32_t xWarning;
};
static_assert(sizeof(TWarningRec) == 272 && offsetof(TWarningRec, szFilename) == 8 &&
              offsetof(TWarningRec, xWarning) == 268);

// A listed file: its name where the warning record has it.
struct TListingRec {
  uint16_t wStructSize;
  int32_t hZip;
  char szFilename[kMaxName];
};
static_assert(offsetof(TListingRec, szFilename) == 8);

using TCallback = void(XZIP_CALL*)(int32_t Kind, void* Record);

// The entry points: X(name, result, (parameters)).
#define XZIP_ENTRY_POINTS(X)                                                       \
  X(XceedZipInitDLL, int32_t, ())                                                  \
  X(XceedZipShutdownDLL, int32_t, ())                                              \
  X(XzCreateXceedZipA, int32_t, (const char* RegistrationKey))                     \
  X(XzDestroyXceedZip, void, (int32_t hZip))                                       \
  X(XzSetZipFilenameA, void, (int32_t hZip, const char* Name))                     \
  X(XzSetXceedZipCallback, void, (int32_t hZip, ::xzip::TCallback Callback))       \
  X(XzUnzip, int32_t, (int32_t hZip))                                              \
  X(XzZip, int32_t, (int32_t hZip))                                                \
  X(XzListZipContents, int32_t, (int32_t hZip))                                    \
  X(XzTestZipFile, int32_t, (int32_t hZip, int32_t CheckCompressedData))           \
  X(XzSetAbort, void, (int32_t hZip, int32_t Value))                               \
  X(XzAddFilesToProcessA, void, (int32_t hZip, const char* Mask))                  \
  X(XzAddFilesToExcludeA, void, (int32_t hZip, const char* Mask))                  \
  X(XzGetErrorDescriptionA, int32_t,                                               \
    (int32_t hZip, int32_t Kind, int32_t Code, char* Buffer, int32_t BufferSize))  \
  X(XzSetUnzipToFolderA, void, (int32_t hZip, const char* Folder))                 \
  X(XzSetTempFolderA, void, (int32_t hZip, const char* Folder))                    \
  X(XzSetBasePathA, void, (int32_t hZip, const char* Path))                        \
  X(XzSetEncryptionPasswordA, void, (int32_t hZip, const char* Text))              \
  X(XzSetCompressionMethod, void, (int32_t hZip, int32_t Value))                   \
  X(XzSetPreservePaths, void, (int32_t hZip, int32_t Value))                       \
  X(XzSetProcessSubfolders, void, (int32_t hZip, int32_t Value))                   \
  X(XzSetSkipIfExisting, void, (int32_t hZip, int32_t Value))                      \
  X(XzSetSkipIfNotExisting, void, (int32_t hZip, int32_t Value))                   \
  X(XzSetUseTempFile, void, (int32_t hZip, int32_t Value))

#define XZIP_DECLARE_TYPE(Name, Result, Params) using T##Name = Result(XZIP_CALL*) Params;
XZIP_ENTRY_POINTS(XZIP_DECLARE_TYPE)
#undef XZIP_DECLARE_TYPE

}  // namespace xzip
