#pragma once
// The CFI query: its report over answers made up by the tests, the flash
// dialog's Query button over a writer that answers as told, and the whole
// road over the module's code and the simulated chip's CFI flash.
#include <gtest/gtest.h>

#include "TreeListPublished.h"

#include <windows.h>

#include <string>
#include <vector>

namespace cfiquery_test {

// The report's lines, one a top-level node.
std::vector<std::wstring> Lines(const tvk::TdxTreeList& tree);
// The lines of the tree list whose window is Window (a script's reader).
std::vector<std::wstring> ReadTreeLines(HWND window);

}  // namespace cfiquery_test
