// Timer and notification handlers against the simulated host, which holds
// counted references to them: their owner's end detaches them, so a host
// call that comes later finds nothing to call.
#include "FormsFixture.h"

using namespace tvk;
using namespace testsupport;

namespace {

using Handlers = forms_test::FormsFixture;

class TTickingPanel : public TServerPanelForm {
public:
  TVK_CLASS(TTickingPanel, TServerPanelForm)
  TTickingPanel(std::vector<uint32_t>& ticks) : TServerPanelForm(nullptr, kCreateNew), Ticks(ticks) {}
  void TimerTick(uint32_t id) override { Ticks.push_back(id); }
  std::vector<uint32_t>& Ticks;
};

TEST_F(Handlers, APanelFormKeepsADisabledHalfSecondHostTimerForItsWholeLife) {
  std::vector<uint32_t> ticks;
  auto* panel = CreateComponent<TTickingPanel>(ticks);
  ASSERT_EQ(1u, Host.Timers().size());
  const auto timer = Host.Timers()[0];
  EXPECT_EQ(500, timer.Interval);
  EXPECT_FALSE(timer.Enabled);
  EXPECT_EQ(uint32_t(timer.Id), panel->TimerHandler()->TimerID());
  EXPECT_TRUE(Supports(timer.Handler, L"TimerHandler"));
  EXPECT_EQ(S_OK, Host.FireTimer(timer.Id));
  EXPECT_EQ(std::vector<uint32_t>{uint32_t(timer.Id)}, ticks);

  // The host keeps its own reference, as a host that still has a tick queued would.
  IDispatch* held = timer.Handler;
  held->AddRef();
  delete panel;
  EXPECT_TRUE(Host.Timers().empty());  // killed by the form's end
  EXPECT_EQ(1u, Host.TimerManager().CallCount(hostsim::disp::TimerManager_KillTimer));
  EXPECT_EQ(S_OK, Call(held, 267, {I4(timer.Id)}).Hr);  // the late tick does nothing
  EXPECT_EQ(1u, ticks.size());
  held->Release();
}

TEST_F(Handlers, ATimerHandlerOnItsOwnKillsItsTimerAtItsEnd) {
  int calls = 0;
  auto* handler = New<TTimerHandler>(250u, true, [&](uint32_t) { ++calls; });
  handler->AddRef();
  ASSERT_EQ(1u, Host.Timers().size());
  EXPECT_TRUE(Host.Timers()[0].Enabled);
  EXPECT_EQ(250, Host.Timers()[0].Interval);
  Host.FireTimer(Host.Timers()[0].Id);
  EXPECT_EQ(1, calls);
  handler->Release();  // the host's reference still holds it
  EXPECT_EQ(1u, Host.Timers().size());
  handler->Detach();  // the host lets go: this frees it
  EXPECT_TRUE(Host.Timers().empty());
}

TEST_F(Handlers, WithoutAClientATimerHandlerHasNoTimer) {
  NoClient();
  auto handler = forms_test::Serve(New<TTimerHandler>(500u, false, [](uint32_t) {}));
  EXPECT_EQ(0u, static_cast<TTimerHandler*>(static_cast<TAbstractTimerHandler*>(handler.Get()))->TimerID());
}

TEST_F(Handlers, NotificationsReachTheCallbackUntilItIsDetached) {
  std::vector<std::wstring> kinds;
  HRESULT answer = S_OK;
  auto* handler = New<TNotificationHandler>([&](const INotification& n) {
    kinds.push_back(n.GetKind());
    return answer;
  });
  handler->AddRef();  // the owner's reference
  EXPECT_EQ(1u, Host.NotificationHandlerCount());
  Fake notification = MakeFake();
  notification->ReturnString(723, L"quelby.zul.document");
  EXPECT_EQ(S_OK, Host.Notify(AsDispatch(notification)));
  EXPECT_EQ(std::vector<std::wstring>{L"quelby.zul.document"}, kinds);
  answer = E_FAIL;  // a failed callback is the operation's failure
  EXPECT_EQ(kE_UNEXPECTED, Host.Notify(AsDispatch(notification)));

  // The owner goes: detach, then its reference. The host held one more
  // while registered, handed back by unregistration.
  handler->Detach();
  EXPECT_EQ(0u, Host.NotificationHandlerCount());
  EXPECT_EQ(1u, Host.Client().CallCount(hostsim::disp::Client_UnregisterNotificationHandler));
  Host.Client().ClearCalls();  // the call log holds copies of the arguments
  EXPECT_EQ(1, handler->RefCount());
  handler->Release();
}

TEST_F(Handlers, AHandlerFreedWhileRegisteredUnregistersWithoutEndingTwice) {
  // A host that counts no reference while a handler is registered, and takes
  // and drops one while it unregisters it.
  int unregistered = 0;
  long remaining = 0;
  Host.Client().SetLogging(false);  // a logged argument would keep a reference
  Host.Client().Serve(hostsim::disp::Client_RegisterNotificationHandler, "o",
                      [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
  Host.Client().Serve(hostsim::disp::Client_UnregisterNotificationHandler, "o",
                      [&](std::vector<VARIANT*>& a, VARIANT*) {
                        a[0]->pdispVal->AddRef();
                        // What stays once the host lets go: more than the
                        // caller's temporary reference, or its release would end
                        // the object a second time.
                        remaining = long(a[0]->pdispVal->Release());
                        ++unregistered;
                        return S_OK;
                      });
  auto* handler = New<TNotificationHandler>([](const INotification&) { return S_OK; });
  handler->AddRef();
  handler->Release();  // the end comes while it is registered
  EXPECT_EQ(1, unregistered);
  EXPECT_GE(remaining, 2);
}

}  // namespace
