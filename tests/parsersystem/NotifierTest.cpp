// Listener lists and the parser base that owns one: order of calls, one entry
// per method, removal while listeners are called, and listener components
// that go before or after the parser.
#include <gtest/gtest.h>

#include "dcsystem.h"

using namespace tvk;

namespace {

std::vector<std::string> gCalls;

class TNotifierListener : public TComponent {
public:
  TVK_CLASS(TNotifierListener, TComponent)
  TNotifierListener(std::string name, TNotifierList* list = nullptr) : TComponent(nullptr), FName(std::move(name)), FList(list) {}

  void Heard(TObject*, std::int32_t w, std::int32_t l) {
    gCalls.push_back(FName + ":" + std::to_string(w) + "," + std::to_string(l));
    for (TNotifierListener* other : Removes) FList->DeleteMethod(other->Method());
  }
  void Other(TObject*, std::int32_t, std::int32_t) { gCalls.push_back(FName + ":other"); }
  TNotifierProc Method() { return TNotifierProc::Bind<&TNotifierListener::Heard>(this); }

  std::vector<TNotifierListener*> Removes;  // listeners (itself too) this one removes when called
  std::vector<TComponent*> Gone;    // components it heard going

protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove) Gone.push_back(c);
  }

private:
  std::string FName;
  TNotifierList* FList;
};

TEST(NotifierList, AMethodIsHeldOnceAtItsLatestPosition) {
  TNotifierList list;
  TNotifierListener a("a"), b("b");
  list.AddMethod(a.Method());
  list.AddMethod(b.Method());
  list.AddMethod(TNotifierProc::Bind<&TNotifierListener::Other>(&a));  // same object, other code: another method
  list.AddMethod(a.Method());
  ASSERT_EQ(3, list.Count());
  gCalls.clear();
  list.NotifyEvents(nullptr, 1, 2);  // last first
  EXPECT_EQ((std::vector<std::string>{"a:1,2", "a:other", "b:1,2"}), gCalls);

  list.DeleteWithData(&a);
  EXPECT_EQ(1, list.Count());
  EXPECT_TRUE(list.Methods(0) == b.Method());
  EXPECT_TRUE(MethodsEqual(b.Method(), TNotifierProc::Bind<&TNotifierListener::Heard>(&b)));
}

TEST(NotifierList, ListenersMayRemoveListenersWhileTheyAreCalled) {
  struct Row {
    const char* Case;
    int Remover;                  // index of the listener that removes
    std::vector<int> Removed;     // the listeners it removes
    std::vector<std::string> Calls;
    int Left;
  };
  // Registered a, b, c: called c, b, a.
  const Row rows[] = {
      {"one removes itself", 1, {1}, {"c", "b", "a"}, 2},
      {"the first called removes itself", 2, {2}, {"c", "b", "a"}, 2},
      {"one removes one not yet called", 2, {1}, {"c", "a"}, 2},
      {"one removes one already called", 0, {2}, {"c", "b", "a"}, 2},
      {"one removes itself and all before it", 1, {0, 1, 2}, {"c", "b"}, 0},
      {"the last called removes everything", 0, {0, 1, 2}, {"c", "b", "a"}, 0},
  };
  for (const Row& row : rows) {
    TNotifierList list;
    TNotifierListener a("a", &list), b("b", &list), c("c", &list);
    TNotifierListener* all[] = {&a, &b, &c};
    for (TNotifierListener* l : all) list.AddMethod(l->Method());
    for (int r : row.Removed) all[row.Remover]->Removes.push_back(all[r]);
    gCalls.clear();
    list.NotifyEvents(nullptr, 0, 0);
    std::vector<std::string> names;
    for (const auto& call : gCalls) names.push_back(call.substr(0, 1));
    EXPECT_EQ(row.Calls, names) << row.Case;
    EXPECT_EQ(row.Left, list.Count()) << row.Case;
  }
}

class TTestParser : public TSimpleParser {
public:
  TVK_CLASS(TTestParser, TSimpleParser)
  using TSimpleParser::TSimpleParser;
  int ColorString(const WideString&, int initState, TColorData&) override { return initState; }
};

TEST(SimpleParser, AListenerComponentThatGoesIsForgotten) {
  TTestParser parser(nullptr);
  auto* a = new TNotifierListener("a");
  TNotifierListener b("b");
  parser.RegisterNotifier(a->Method());
  parser.RegisterNotifier(TNotifierProc::Bind<&TNotifierListener::Other>(a));
  parser.RegisterNotifier(b.Method());
  ASSERT_EQ(3, parser.Notifiers()->Count());
  delete a;
  ASSERT_EQ(1, parser.Notifiers()->Count());
  gCalls.clear();
  parser.Notifiers()->NotifyEvents(&parser, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"b:0,0"}), gCalls);
  parser.UnRegisterNotifier(b.Method());
  EXPECT_EQ(0, parser.Notifiers()->Count());
}

TEST(SimpleParser, ListenerComponentsHearOnceWhenTheParserGoes) {
  TNotifierListener a("a"), b("b");
  auto* parser = new TTestParser(nullptr);
  parser->RegisterNotifier(a.Method());
  parser->RegisterNotifier(TNotifierProc::Bind<&TNotifierListener::Other>(&a));
  parser->RegisterNotifier(b.Method());
  std::vector<TComponent*> expected{parser};
  delete parser;
  EXPECT_EQ(expected, a.Gone);
  EXPECT_EQ(expected, b.Gone);
}

TEST(SimpleParser, ColourDataDefaults) {
  TTestParser parser(nullptr);
  TColorData data = "xy";
  parser.PrepareColorData(0, L"abcd", data);
  EXPECT_EQ(std::string(4, '\0'), data);
  TColor color = 7;
  EXPECT_FALSE(parser.GetBackColor(0, color));
  EXPECT_EQ(nullptr, parser.GetFont(0));
  EXPECT_FALSE(parser.StoreColorData());
  parser.SetCurrentLine(12);
  EXPECT_EQ(12, parser.CurrentLine());
}

}  // namespace
