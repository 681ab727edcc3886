// The zip wrapper over the stand-in library: the calls in their order, real
// unpacking of deflated and stored entries, the callback routed to the wrapper
// constructed last, and a library that is missing.
#include "BSDLFixture.h"
#include "Extension.XCeedApi.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

using namespace tvk;
using namespace testsupport;
namespace bsdl_test {

namespace {

TEST(ZipWrapper, AMissingLibraryFailsTheConstruction) {
  ZipLibraryCopy library;
  library.Unload();
  DeleteFileW(library.Path().c_str());
  EXPECT_THROW(TXCeedZip(Fixture(L"archive\\Stored.Zip")), EZipLibraryError);
  // A library of that name without the entry points: nothing of it is called.
  ASSERT_TRUE(CopyFileW(HOSTSIM_SYSTEM_DIR L"\\HostWorkspace.dll", library.Path().c_str(), FALSE));
  try {
    TXCeedZip zip(Fixture(L"archive\\Stored.Zip"));
    ADD_FAILURE() << "constructed without the entry points";
  } catch (const EZipLibraryError& e) {
    EXPECT_EQ(L"The zip library lacks the entry point XceedZipInitDLL", e.Message());
  }
  library.Unload();
}

TEST(ZipWrapper, UnpackingCallsTheLibraryInItsOrderAndWritesTheFilesFlat) {
  ZipLibraryCopy library;
  ASSERT_TRUE(library.Copied);
  TestFolder target;
  const std::string original = ReadAll(Fixture(L"STM32F103_LQFP48.bsd"));
  for (const wchar_t* archive : {L"archive\\STM32F103_LQFP48.Zip", L"archive\\Stored.Zip"}) {
    SCOPED_TRACE(std::string(archive, archive + wcslen(archive)));
    WriteBytes(target / L"STM32F103_LQFP48.bsd", "older");  // replaced
    {
      TXCeedZip zip(Fixture(archive));
      library.ClearCalls();
      EXPECT_GT(zip.Handle(), 0);
      zip.SetPreservePaths(false);
      zip.SetSkipIfExisting(false);
      zip.SetUnzipToFolder(target.Path());
      zip.AddFilesToProcess(L"*.*");
      EXPECT_EQ(0, zip.UnZip());
    }
    EXPECT_EQ(original, ReadAll(target / L"STM32F103_LQFP48.bsd"));
    EXPECT_EQ("XzSetPreservePaths XzSetSkipIfExisting XzSetUnzipToFolderA XzAddFilesToProcessA XzUnzip "
              "XceedZipShutdownDLL XzDestroyXceedZip ",
              library.Calls());
    EXPECT_EQ(0, library.Objects());  // destroyed after the shut-down call
  }
  EXPECT_TRUE(Exists(target / L"MakeArchives.sh"));  // every file of the archive, flat
}

TEST(ZipWrapper, ConstructionInitialisesCreatesNamesAndRegistersTheCallback) {
  ZipLibraryCopy library;
  TXCeedZip first(Fixture(L"archive\\Stored.Zip"));
  EXPECT_EQ("XceedZipInitDLL XzCreateXceedZipA XzSetZipFilenameA XzSetXceedZipCallback ", library.Calls());
  EXPECT_TRUE(first.TestZip());
  EXPECT_EQ(L"The zip file is damaged", first.GetErrorMessage(2));
}

TEST(ZipWrapper, ListingGoesToTheWrapperConstructedLast) {
  ZipLibraryCopy library;
  TXCeedZip first(Fixture(L"archive\\STM32F103_LQFP48.Zip"));
  EXPECT_EQ(0, first.List());
  ASSERT_EQ(2, first.ListResults().Count());
  EXPECT_EQ(L"STM32F103_LQFP48.bsd", first.ListResults()[0]);
  EXPECT_EQ(L"MakeArchives.sh", first.ListResults()[1]);
  EXPECT_EQ(0, first.List());  // the earlier names are cleared first
  EXPECT_EQ(2, first.ListResults().Count());
  {
    TXCeedZip second(Fixture(L"archive\\Stored.Zip"));
    EXPECT_EQ(0, first.List());  // the first's names arrive at the second
    EXPECT_EQ(0, first.ListResults().Count());
    EXPECT_EQ(2, second.ListResults().Count());
  }
  // The second is gone: nobody is current, and nothing is routed.
  EXPECT_EQ(0, first.List());
  EXPECT_EQ(0, first.ListResults().Count());
}

TEST(ZipWrapper, ANameWithoutAZeroInItsFieldIsTakenWhole) {
  ZipLibraryCopy library;
  TXCeedZip zip(Fixture(L"archive\\LongName.Zip"));
  EXPECT_EQ(0, zip.List());
  ASSERT_GE(zip.ListResults().Count(), 1);
  const WideString last = zip.ListResults()[zip.ListResults().Count() - 1];
  EXPECT_EQ(260u, last.size());
  EXPECT_EQ(WideString(100, L'a') + L"/" + WideString(100, L'b') + L"/" + WideString(58, L'c'), last);
}

TEST(ZipWrapper, EventsReachTheirHandlersWithTheLibrarysRecords) {
  ZipLibraryCopy library;
  TestFolder target;
  TXCeedZip zip(Fixture(L"archive\\STM32F103_LQFP48.Zip"));
  std::vector<int32_t> processed;
  int32_t completed = -1, completedSize = 0, skipped = 0;
  std::string warned;
  zip.EventGlobalStatus = [&](const xzip::TGlobalStatusRec* r) {
    EXPECT_EQ(64, r->wStructSize);
    EXPECT_EQ(zip.Handle(), r->hZip);
    processed.push_back(r->lFilesProcessed);
  };
  zip.EventProcessCompleted = [&](const xzip::TProcessCompletedRec* r) {
    completed = r->xResult;
    completedSize = r->wStructSize;
    skipped = r->lFilesSkipped;
  };
  zip.EventWarning = [&](const xzip::TWarningRec* r) { warned = r->szFilename; };
  WriteBytes(target / L"MakeArchives.sh", "kept");
  zip.SetPreservePaths(false);
  zip.SetSkipIfExisting(true);
  zip.SetUnzipToFolder(target.Path());
  zip.AddFilesToProcess(L"*.*");
  EXPECT_EQ(0, zip.UnZip());
  EXPECT_EQ(std::vector<int32_t>{1}, processed);
  EXPECT_EQ(0, completed);
  EXPECT_EQ(60, completedSize);
  EXPECT_EQ(1, skipped);
  EXPECT_EQ("MakeArchives.sh", warned);
  EXPECT_EQ("kept", ReadAll(target / L"MakeArchives.sh"));
}

}  // namespace

}  // namespace bsdl_test
