// The real module carries the skins and starts and stops with the styled
// controls' steps, leaving the system's code as it found it.
#include <gtest/gtest.h>

#include "StyledTest.h"

#include <windows.h>

#include <cstring>

namespace {


TEST(Module, CarriesTheSkinsAndStartsAndStopsTwice) {
  const auto entry = styled_test::EntryBytes();
  for (int round = 0; round < 2; ++round) {
    HMODULE module = LoadLibraryW(TVK_MODULE_PATH);
    ASSERT_NE(nullptr, module) << "round " << round;
    EXPECT_NE(nullptr, FindResourceW(module, L"SCROLLARROWS", RT_BITMAP));
    HRSRC data = FindResourceW(module, L"TABPANEEDGE", RT_RCDATA);
    ASSERT_NE(nullptr, data);
    auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, data)));
    EXPECT_EQ(0x78, bytes[0]);  // alpha-image data at the highest zlib level
    EXPECT_EQ(0xDA, bytes[1]);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(entry, styled_test::EntryBytes());
  }
}

}  // namespace
