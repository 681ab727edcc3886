#include <gtest/gtest.h>
#include <windows.h>

TEST(Exports, Placeholder) { EXPECT_TRUE(true); }
