// The entry point of every test program: selects the tests and environments
// of the folder a run names.
#include "support/FolderTests.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {
namespace {

std::string_view FolderOf(std::string_view file) {
  const std::size_t slash = file.find_last_of("/\\");
  return slash == std::string_view::npos ? std::string_view() : file.substr(0, slash);
}

struct FolderEnvironment {
  std::string Folder;
  std::function<::testing::Environment*()> Make;
};

// Filled by static initialisers, so made on first use.
std::vector<FolderEnvironment>& FolderEnvironments() {
  static std::vector<FolderEnvironment> environments;
  return environments;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*')
    return MatchesPattern(name, pattern.substr(1)) || (!name.empty() && MatchesPattern(name.substr(1), pattern));
  return !name.empty() && (pattern[0] == '?' || pattern[0] == name[0]) &&
         MatchesPattern(name.substr(1), pattern.substr(1));
}

bool MatchesAnyPattern(std::string_view name, std::string_view patterns) {
  while (true) {
    const std::size_t colon = patterns.find(':');
    if (MatchesPattern(name, patterns.substr(0, colon))) return true;
    if (colon == std::string_view::npos) return false;
    patterns.remove_prefix(colon + 1);
  }
}

// A test filter as the test framework reads it: positive patterns, then after
// a '-' the negative ones.
bool PassesFilter(std::string_view name, std::string_view filter) {
  const std::size_t dash = filter.find('-');
  const std::string_view positive = filter.substr(0, dash);
  if (!MatchesAnyPattern(name, positive.empty() ? std::string_view("*") : positive)) return false;
  return dash == std::string_view::npos || !MatchesAnyPattern(name, filter.substr(dash + 1));
}

// The tests of `folder` that the run's own filter lets through, as a filter;
// empty when there are none. A name that two folders both define could not be
// told apart by a filter: it stops the run.
std::string FolderFilter(const std::string& folder, const std::string& runFilter) {
  std::string filter;
  std::map<std::string, std::string> folderOfTest;
  const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
  for (int s = 0; s < unit.total_test_suite_count(); ++s) {
    const ::testing::TestSuite& suite = *unit.GetTestSuite(s);
    for (int t = 0; t < suite.total_test_count(); ++t) {
      const ::testing::TestInfo& info = *suite.GetTestInfo(t);
      const std::string name = std::string(info.test_suite_name()) + '.' + info.name();
      const std::string testFolder = FolderNameOf(info.file());
      const auto [known, added] = folderOfTest.emplace(name, testFolder);
      if (!added && known->second != testFolder)
        throw std::runtime_error("test " + name + " is defined in folders " + known->second + " and " + testFolder);
      if (testFolder != folder || !PassesFilter(name, runFilter)) continue;
      if (!filter.empty()) filter += ':';
      filter += name;
    }
  }
  return filter;
}

}  // namespace

std::string FolderNameOf(const char* file) {
  const std::string_view folder = FolderOf(file);
  const std::size_t slash = folder.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? folder : folder.substr(slash + 1));
}

std::wstring FolderPathOf(const char* file) {
  const std::string_view folder = FolderOf(file);
  std::wstring path(folder.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, folder.data(), static_cast<int>(folder.size()), path.data(),
                                         static_cast<int>(path.size()));
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

bool AddFolderEnvironment(const char* file, std::function<::testing::Environment*()> make) {
  FolderEnvironments().push_back({FolderNameOf(file), std::move(make)});
  return true;
}

}  // namespace testsupport

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::string folder;
  constexpr std::string_view kFolderFlag = "--tvk_folder=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with(kFolderFlag)) {
      folder = argument.substr(kFolderFlag.size());
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
  // Without a folder the program runs every folder's tests at once.
  if (!folder.empty()) {
    // A filter given on the command line picks among the folder's tests.
    std::string filter;
    try {
      filter = testsupport::FolderFilter(folder, GTEST_FLAG_GET(filter));
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return 2;
    }
    if (filter.empty()) {
      std::fprintf(stderr, "no tests of folder %s to run\n", folder.c_str());
      return 2;
    }
    GTEST_FLAG_SET(filter, filter);
  }
  for (const auto& environment : testsupport::FolderEnvironments())
    if (folder.empty() || environment.Folder == folder) ::testing::AddGlobalTestEnvironment(environment.Make());
  return RUN_ALL_TESTS();
}
