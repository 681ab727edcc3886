// The start-up frame: ordered steps, unwinding of a failed start-up in reverse
// order, and shut-down in reverse.
#include <gtest/gtest.h>

#include "ModuleInit.h"

#include <stdexcept>
#include <string>

namespace {

std::string gTrace;

template <char C>
bool Up() { gTrace += C; return true; }
template <char C>
void Down() { gTrace += char(C - 'A' + 'a'); }
bool Refuses() { gTrace += '!'; return false; }
bool Throws() { gTrace += '!'; throw std::runtime_error("step failed"); }

TEST(StartupFrame, RunsInOrderAndShutsDownInReverse) {
  const tvk::TInitStep steps[] = {{"a", &Up<'A'>, &Down<'A'>}, {"b", &Up<'B'>, nullptr}, {"c", &Up<'C'>, &Down<'C'>}};
  gTrace.clear();
  ASSERT_TRUE(tvk::RunStartup(steps));
  EXPECT_EQ(3u, tvk::StartedSteps());
  tvk::RunShutdown(steps);
  EXPECT_EQ("ABCca", gTrace);
}

TEST(StartupFrame, AFailedStepUnwindsTheStartedOnesInReverse) {
  for (bool (*failing)() : {&Refuses, &Throws}) {
    const tvk::TInitStep steps[] = {
        {"a", &Up<'A'>, &Down<'A'>}, {"b", &Up<'B'>, &Down<'B'>}, {"x", failing, &Down<'X'>}, {"c", &Up<'C'>, &Down<'C'>}};
    gTrace.clear();
    EXPECT_FALSE(tvk::RunStartup(steps));
    EXPECT_EQ("AB!ba", gTrace);  // the failed step itself is not shut down; later ones never start
    EXPECT_EQ(0u, tvk::StartedSteps());
  }
}

}  // namespace
