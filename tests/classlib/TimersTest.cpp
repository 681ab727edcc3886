// The timer component: it runs only while enabled with an interval and a
// handler, fires through its hidden window, and an error in its handler
// stops at that window's boundary.
#include <gtest/gtest.h>

#include "ClassLibTest.h"
#include "Timers.h"

using namespace tvk;
using classlib_test::ExceptionRecorder;
using classlib_test::PumpUntil;

namespace {

TEST(Timer, RunsOnlyWithHandlerIntervalAndEnabled) {
  TTimer timer(nullptr);
  EXPECT_FALSE(timer.Running());  // no handler yet
  int ticks = 0;
  timer.SetInterval(10);
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(&timer, sender);
    ++ticks;
  });
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  int stopped = ticks;
  SendMessageW(timer.WindowHandle(), WM_TIMER, 1, 0);  // a late tick does nothing
  EXPECT_EQ(stopped, ticks);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
}

TEST(Timer, AnErrorInTheHandlerReachesTheApplicationNotWindows) {
  ExceptionRecorder recorder;
  TTimer timer(nullptr);
  timer.SetOnTimer([](TObject*) { throw Exception(L"tick failed"); });
  SendMessageW(timer.WindowHandle(), WM_TIMER, 1, 0);
  ASSERT_EQ(1u, recorder.Messages.size());
  EXPECT_EQ(L"tick failed", recorder.Messages[0]);
  EXPECT_EQ(&timer, recorder.Senders[0]);
}

}  // namespace
