#pragma once
// The test folders are compiled into a few programs (tests/CMakeLists.txt),
// and every run of a program serves one folder (--tvk_folder=<name>): that
// folder's tests and its environments only, in a process of their own, as if
// the folder were a program by itself.
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace testsupport {

// The folder a source file lies in (from its __FILE__): its name, and its
// whole path as a wide string.
std::string FolderNameOf(const char* file);
std::wstring FolderPathOf(const char* file);

// An environment set up for the runs of the folder that holds `file`.
bool AddFolderEnvironment(const char* file, std::function<::testing::Environment*()> make);

}  // namespace testsupport

#define TVK_FOLDER_ENVIRONMENT(Type) \
  [[maybe_unused]] const bool Type##Added = testsupport::AddFolderEnvironment(__FILE__, [] { return new Type; })

// The folder of the source that uses it: tests read their committed files
// from beside them.
#define TVK_TEST_GROUP_DIR (testsupport::FolderPathOf(__FILE__))
