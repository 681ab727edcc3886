// The client and its platform services, forms, views, documents and
// notifications through their records: what the host receives, and what
// comes back.
#include "WireCheck.h"
#include "ZUL.RecordInterfaces.h"

using namespace tvk;
namespace records2_test {

namespace {

// ---- Client and platform services

using ClientRecords = RecordFamily;

TEST_F(ClientRecords, ReadersCallTheirGetOperations) {
  Fake client = MakeFake(), registry = MakeFake(), target = MakeFake();
  for (DISPID id : {490, 494, 531, 496, 533, 795, 2027}) client->ReturnObject(id, AsDispatch(target));
  registry->ReturnObject(2018, AsDispatch(target));
  const IClient c(AsDispatch(client));

  const IDispatch* got[] = {c.CurrentView().ToPointer(),     c.GUIManager().ToPointer(),
                            c.TimerManager().ToPointer(),    c.ServerModuleByName(L"PCB").ToPointer(),
                            c.OptionsManager().ToPointer(),  c.ClientAPI().ToPointer(),
                            c.PluginsRegistry().ToPointer(), IPluginsRegistry(AsDispatch(registry)).Items(3).ToPointer()};
  for (const IDispatch* p : got) EXPECT_EQ(AsDispatch(target), p);
  ExpectCalls({{490, {}}, {494, {}}, {531, {}}, {496, {Str(L"PCB")}}, {533, {}}, {795, {}}, {2027, {}}}, client);
  ExpectCalls({{2018, {I4(3)}}}, registry);
  client->ClearCalls();
  registry->ClearCalls();
  EXPECT_EQ(1, target->RefCount());  // every reader's result was released
}

TEST_F(ClientRecords, ErrorLineOfTheDescriptionParser) {
  Fake messages = MakeFake();
  messages->Accept(439);
  // Class, text, source, document, no callback process, no parameters, the
  // picture index, the flag, two empty texts.
  IZULMessagesManager(AsDispatch(messages))
      .AddMessage(L"[Error]", L"Syntax error: \";\" expected", L"Compiler", L"C:\\Designs\\top.vhd", L"", L"", 12, false,
                  L"", L"");
  ExpectCalls({{439,
                {Str(L"[Error]"), Str(L"Syntax error: \";\" expected"), Str(L"Compiler"), Str(L"C:\\Designs\\top.vhd"),
                 Str(L""), Str(L""), I4(12), Bool(false), Str(L""), Str(L"")}}},
              messages);
}

TEST_F(ClientRecords, KeyStrokeSendsItsModifiersAsBooleans) {
  Fake gui = MakeFake();
  gui->ReturnBool(158, true);
  for (DISPID id : {167, 171}) gui->Accept(id);
  const IGUIManager manager(AsDispatch(gui));
  // Ctrl+S: the key code, then Alt, Shift and Control.
  EXPECT_TRUE(manager.ProcessKeyStroke('S', false, false, true));
  manager.SetPanelVisible(L"JTAG Pins", true);
  manager.SetPanelSize(L"JTAG Pins", 320, 240);
  ExpectCalls({{158, {I4('S'), Bool(false), Bool(false), Bool(true)}},
               {167, {Str(L"JTAG Pins"), Bool(true)}},
               {171, {Str(L"JTAG Pins"), I4(320), I4(240)}}},
              gui);
}

TEST_F(ClientRecords, TimersAndOptions) {
  Fake timers = MakeFake(), handler = MakeFake(), options = MakeFake(), reader = MakeFake(), writer = MakeFake();
  timers->ReturnInt(268, 7);
  for (DISPID id : {269, 271}) timers->Accept(id);
  options->ReturnObject(285, AsDispatch(reader));
  options->ReturnObject(286, AsDispatch(writer));
  reader->ReturnBool(273, false);
  writer->Accept(281);
  const ITimerManager manager(AsDispatch(timers));

  // The pin-state panel's scan timer: 100 ms, created switched off.
  const int32_t id = manager.CreateTimer(ITimerHandler(AsDispatch(handler)), 100, false);
  EXPECT_EQ(7, id);
  manager.SetTimerEnabled(id, true);
  manager.KillTimer(id);
  const IOptionsManager store(AsDispatch(options));
  EXPECT_FALSE(store.GetOptionsReader(L"TovikServer", L"").ReadBoolean(L"PinsPanel", L"LiveUpdate", true));
  store.GetOptionsWriter(L"TovikServer").WriteBoolean(L"PinsPanel", L"LiveUpdate", false);

  ExpectCalls({{268, {Obj(AsDispatch(handler)), I4(100), Bool(false)}}, {271, {I4(7), Bool(true)}}, {269, {I4(7)}}},
              timers);
  ExpectCalls({{285, {Str(L"TovikServer"), Str(L"")}}, {286, {Str(L"TovikServer")}}}, options);
  ExpectCalls({{273, {Str(L"PinsPanel"), Str(L"LiveUpdate"), Bool(true)}}}, reader);
  ExpectCalls({{281, {Str(L"PinsPanel"), Str(L"LiveUpdate"), Bool(false)}}}, writer);
}

TEST_F(ClientRecords, PluginDisabledFlagIsAnInteger) {
  Fake item = MakeFake();
  const IPluginsRegistryItem plugin(AsDispatch(item));
  item->ReturnInt(2010, 0);
  EXPECT_EQ(0, plugin.GetIsDisabled());
  item->ReturnInt(2010, 2);  // any non-zero value: disabled
  EXPECT_EQ(2, plugin.GetIsDisabled());  // the value itself, not a boolean
}

TEST_F(ClientRecords, ProcessLauncherLendsAnEmptyViewAndTakesBackTheParameters) {
  Fake launcher = MakeFake();
  launcher->On(625, [](std::vector<VARIANT*>& args, VARIANT*) {
    if (args.size() != 3 || args[1]->vt != (VT_BSTR | VT_BYREF)) return E_INVALIDARG;
    SysFreeString(*args[1]->pbstrVal);
    *args[1]->pbstrVal = SysAllocString(L"Result=Done");
    return S_OK;
  });
  WideString parameters = L"FileName=C:\\Designs\\Board.PcbDoc";
  IProcessLauncher(AsDispatch(launcher)).RunProcess(L"WorkspaceManager:OpenObject", parameters, IServerDocumentView());
  EXPECT_EQ(L"Result=Done", parameters);
  ExpectCalls({{625, {Str(L"WorkspaceManager:OpenObject"), Ref(VT_BSTR), Obj(nullptr)}}}, launcher);
}

// ---- Forms, views, documents and notifications

using ViewRecords = RecordFamily;

TEST_F(ViewRecords, ExternalFormIsPlacedAndDetached) {
  Fake form = MakeFake(), holder = MakeFake();
  for (DISPID id : {49, 50, 56, 51}) form->Accept(id);
  const IExternalForm external(AsDispatch(form));

  external.SetParentWindow(IExternalFormHolder(AsDispatch(holder)));
  external.AttachToParent();
  external.SetBounds(10, 20, 300, 200);  // left, top, width, height
  external.DetachFromParent();
  external.SetParentWindow(IExternalFormHolder());  // an empty holder detaches

  ExpectCalls({{49, {Obj(AsDispatch(holder))}},
               {50, {}},
               {56, {I4(10), I4(20), I4(300), I4(200)}},
               {51, {}},
               {49, {Obj(nullptr)}}},
              form);
}

TEST_F(ViewRecords, DocumentNotificationLeadsToItsDocument) {
  Fake notification = MakeFake(), data = MakeFake(), document = MakeFake();
  notification->ReturnString(723, L"quelby.zul.document");
  notification->ReturnInt(1851, 4);
  notification->ReturnObject(734, AsDispatch(data));
  data->ReturnObject(735, AsDispatch(document));
  document->ReturnString(82, L"C:\\Designs\\Board.PrjPcb");
  document->ReturnString(84, L"PCBPROJECT");
  const INotification received(AsDispatch(notification));

  EXPECT_EQ(AsDispatch(notification), received.ToPointer());  // its identity, kept to recognise it again
  EXPECT_EQ(L"quelby.zul.document", received.GetKind());
  EXPECT_EQ(4, received.GetCode());
  const IServerDocument about = received.NotificationData().ServerDocument();
  EXPECT_EQ(L"PCBPROJECT", about.GetKind());
  EXPECT_EQ(L"C:\\Designs\\Board.PrjPcb", about.GetFileName());
  ExpectCalls({{723, {}}, {1851, {}}, {734, {}}}, notification);
  ExpectCalls({{735, {}}}, data);
}

TEST_F(ViewRecords, ClientLooksUpDocumentsAndViews) {
  Fake client = MakeFake(), view = MakeFake(), kind = MakeFake();
  client->ReturnObject(491, nullptr);
  client->ReturnObject(499, AsDispatch(kind));
  client->ReturnObject(514, nullptr);
  for (DISPID id : {513, 532}) client->Accept(id);
  kind->ReturnString(226, L"JTAGViewer");
  const IClient c(AsDispatch(client));

  const IServerDocument document = c.GetDocumentByPath(L"C:\\Designs\\Closed.SchDoc");
  EXPECT_FALSE(document);  // not open: an empty record
  EXPECT_THROW(document.GetKind(), EEmptyRecord);
  EXPECT_EQ(L"JTAGViewer", c.GetWindowKindByName(L"JTAGPinsView").GetIconName());
  const IServerView panel(AsDispatch(view));
  c.AddServerView(panel);
  EXPECT_FALSE(c.GetServerViewByName(L"JTAGPinsView"));
  c.RemoveServerView(panel);

  ExpectCalls({{491, {Str(L"C:\\Designs\\Closed.SchDoc")}},
               {499, {Str(L"JTAGPinsView")}},
               {513, {Obj(AsDispatch(view))}},
               {514, {Str(L"JTAGPinsView")}},
               {532, {Obj(AsDispatch(view))}}},
              client);
}

}  // namespace

}  // namespace records2_test
