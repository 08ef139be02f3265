// Message dispatch: the order of hooks, handlers, built-in table and default
// procedure, reflection to children, keys, closing and disposal during dispatch.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const UINT kWatched = WM_USER + 7;

std::string trail;
UINT watched = kWatched;
char stopAt = 0;
const LRESULT kStopResult = 0x77;

bool Step(char tag, WindowMessage* m, LRESULT* result) {
  if (m->Msg != watched) return false;
  trail += tag;
  if (tag != stopAt) return false;
  *result = kStopResult;
  return true;
}
bool MainHook(void*, WindowMessage* m, LRESULT* r) { return Step('M', m, r); }
bool OwnHook(void*, WindowMessage* m, LRESULT* r) { return Step('O', m, r); }
bool First(Control*, WindowMessage* m, LRESULT* r) { return Step('1', m, r); }
bool Second(Control*, WindowMessage* m, LRESULT* r) { return Step('2', m, r); }

// Stands in for the class's own procedure, to see whether default processing ran.
std::map<HWND, WNDPROC> realProc;
LRESULT CALLBACK RecordingDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == watched) trail += 'D';
  WNDPROC real = realProc[hwnd];
  return real ? CallWindowProcA(real, hwnd, msg, wParam, lParam)
              : DefWindowProcA(hwnd, msg, wParam, lParam);
}
void RecordDefault(Control* ctl) {
  realProc[ctl->Handle] = ctl->BaseWndProc;
  ctl->BaseWndProc = RecordingDefault;
}

struct DispatchFixture : ::testing::Test {
  void SetUp() override {
    ResetToolkitState();
    trail.clear();
    watched = kWatched;
    stopAt = 0;
    form = NewForm(nullptr, "dispatch");
    button = NewButton(form, "B");
    label = NewLabel(form, "L");
    ASSERT_TRUE(CreateControlWindow(form));
    PumpQueued();
    MainControl = form;
    LoopActive = 1;
  }
  void TearDown() override {
    ResetToolkitState();
    DisposeIfAny(form);
    PumpQueued();
    realProc.clear();
  }
  Control* form = nullptr;
  Control* button = nullptr;
  Control* label = nullptr;
};

TEST_F(DispatchFixture, StepsRunInOrderAndTheFirstThatHandlesEndsIt) {
  form->MessageHook = {MainHook, form};
  button->MessageHook = {OwnHook, button};
  AddMessageHandler(button, First);
  AddMessageHandler(button, Second);
  RecordDefault(button);

  struct Row {
    char stop;
    uint8_t loopActive;
    const char* expected;
    LRESULT result;
  } rows[] = {
      {0, 1, "MO21D", 0},
      {'M', 1, "M", kStopResult},
      {'O', 1, "MO", kStopResult},
      {'2', 1, "MO2", kStopResult},
      {'1', 1, "MO21", kStopResult},
      // Outside the loop the main control's hook is not asked.
      {0, 0, "O21D", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    trail.clear();
    stopAt = row.stop;
    LoopActive = row.loopActive;
    EXPECT_EQ(SendMessageA(button->Handle, kWatched, 0, 0), row.result);
    EXPECT_EQ(trail, row.expected);
  }

  // The main control's own messages see its hook once, as its own.
  LoopActive = 1;
  stopAt = 0;
  trail.clear();
  RecordDefault(form);
  SendMessageA(form->Handle, kWatched, 0, 0);
  EXPECT_EQ(trail, "MD");
}

TEST_F(DispatchFixture, HandlerAttachedTwiceRunsOnceAndNoneRunAfterQuit) {
  AddMessageHandler(button, First);
  AddMessageHandler(button, First);
  AddMessageHandler(button, Second);
  EXPECT_EQ(button->Handlers->Count, 6);  // ChildColorHandler, First, Second
  button->MessageHook = {OwnHook, button};
  RecordDefault(button);
  SendMessageA(button->Handle, kWatched, 0, 0);
  EXPECT_EQ(trail, "O21D");

  trail.clear();
  QuitRequested = 1;
  SendMessageA(button->Handle, kWatched, 0, 0);
  EXPECT_EQ(trail, "OD");

  // A handler that asked to be kept still runs.
  button->Handlers->Items[3] = 1;
  trail.clear();
  SendMessageA(button->Handle, kWatched, 0, 0);
  EXPECT_EQ(trail, "O1D");
}

void NoteDestroyed(void*, ToolkitObject*) { trail += 'x'; }

bool DisposeSelf(Control* ctl, WindowMessage* m, LRESULT*) {
  if (m->Msg != watched) return false;
  trail += 'h';
  Dispose(ctl);
  // Still alive, with the dispatcher's reference the only one left.
  if (ctl->RefState == 1 && IsWindow(ctl->Handle)) trail += 'p';
  return false;
}

TEST_F(DispatchFixture, HandlerDisposingItsControlLeavesItAliveUntilItReturns) {
  for (bool childOfMain : {true, false}) {
    SCOPED_TRACE(childOfMain);
    trail.clear();
    MainControl = childOfMain ? form : nullptr;
    Control* victim = NewLabel(form, "victim");
    ASSERT_TRUE(CreateControlWindow(victim));
    AddMessageHandler(victim, DisposeSelf);
    victim->DestroyNotify.Code = NoteDestroyed;
    RecordDefault(victim);
    HWND handle = victim->Handle;
    int32_t live = LiveObjectCount;
    int32_t children = form->Children->Count;

    // Handled: no default processing touches the dead control.
    EXPECT_EQ(SendMessageA(handle, kWatched, 0, 0), 0);
    EXPECT_EQ(trail, "hpx");
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(form->Children->Count, children - 1);
    EXPECT_EQ(LiveObjectCount, live - 3);  // the control and its two lists
  }
}

TEST_F(DispatchFixture, TabCharIsSwallowedUnlessCtrlIsHeld) {
  watched = WM_CHAR;
  RecordDefault(button);
  RecordDefault(label);
  SetForegroundWindow(form->Handle);
  SetFocus(button->Handle);
  PumpQueued();
  ASSERT_EQ(GetFocus(), button->Handle);

  BYTE keys[256];
  GetKeyboardState(keys);
  struct Row {
    const char* name;
    Control* target;
    bool ctrl;
    WPARAM ch;
    const char* expected;
  } rows[] = {
      {"tab", button, false, '\t', ""},
      {"ctrl tab", button, true, '\t', "D"},
      {"letter", button, false, 'a', "D"},
      {"letter to a window without the focus", label, false, 'a', ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    trail.clear();
    keys[VK_CONTROL] = row.ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(row.target->Handle, WM_CHAR, row.ch, 0);
    PumpQueued();
    EXPECT_EQ(trail, row.expected);
  }
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

int clicks = 0;
void CountClick(void*, Control*) { ++clicks; }

std::vector<WindowMessage> reflected;
bool answerReflected = true;
bool RecordReflected(Control*, WindowMessage* m, LRESULT* result) {
  if (m->Msg != ReflectedCommand && (m->Msg < 0xBD32 || m->Msg > 0xBD38)) return false;
  reflected.push_back(*m);
  if (!answerReflected) return false;
  *result = 0x1234;
  return true;
}

TEST_F(DispatchFixture, CommandsAndColourQuestionsGoBackToTheChild) {
  AddMessageHandler(button, RecordReflected);
  AddMessageHandler(label, RecordReflected);
  reflected.clear();
  answerReflected = true;

  WPARAM command = MAKEWPARAM(button->CtlId, BN_CLICKED);
  EXPECT_EQ(SendMessageA(form->Handle, WM_COMMAND, command,
                         reinterpret_cast<LPARAM>(button->Handle)),
            0x1234);
  ASSERT_EQ(reflected.size(), 1u);
  EXPECT_EQ(reflected[0].Msg, ReflectedCommand);
  EXPECT_EQ(reflected[0].WParam, command);
  EXPECT_EQ(reflected[0].Window, button->Handle);

  // A window that is not the toolkit's gets default processing only.
  HWND plain = CreateWindowExA(0, "BUTTON", "plain", WS_CHILD, 0, 0, 10, 10, form->Handle,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  reflected.clear();
  EXPECT_EQ(SendMessageA(form->Handle, WM_COMMAND, command, reinterpret_cast<LPARAM>(plain)), 0);
  EXPECT_TRUE(reflected.empty());
  DestroyWindow(plain);

  HDC dc = GetDC(label->Handle);
  for (UINT msg = WM_CTLCOLORMSGBOX; msg <= WM_CTLCOLORSTATIC; ++msg) {
    SCOPED_TRACE(msg);
    reflected.clear();
    EXPECT_EQ(SendMessageA(form->Handle, msg, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(label->Handle)),
              0x1234);
    ASSERT_EQ(reflected.size(), 1u);
    EXPECT_EQ(reflected[0].Msg, msg + 0xBC00);
    EXPECT_EQ(reflected[0].WParam, reinterpret_cast<WPARAM>(dc));
  }
  ReleaseDC(label->Handle, dc);

  // The system's own notifications take the same road.
  answerReflected = false;
  reflected.clear();
  button->OnClick = {CountClick, nullptr};
  clicks = 0;
  SendMessageA(button->Handle, BM_CLICK, 0, 0);
  RedrawWindow(label->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  bool click = false, staticColour = false;
  for (const WindowMessage& m : reflected) {
    click = click || (m.Msg == ReflectedCommand && HIWORD(m.WParam) == BN_CLICKED &&
                      m.Window == button->Handle);
    staticColour = staticColour || (m.Msg == 0xBD38 && m.Window == label->Handle);
  }
  EXPECT_TRUE(click);
  EXPECT_TRUE(staticColour);
  EXPECT_EQ(clicks, 1);
}

bool PeekQuit() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

TEST_F(DispatchFixture, CloseOfAMainFormQuitsAndCloseOfAChildDestroysIt) {
  watched = WM_CLOSE;
  form->MessageHook = {MainHook, form};
  EXPECT_EQ(SendMessageA(form->Handle, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(form->Handle));
  EXPECT_TRUE(PeekQuit());
  EXPECT_EQ(trail, "M");

  // Another top-level form passes the close on to the main control.
  Control* other = NewForm(nullptr, "other");
  ASSERT_TRUE(CreateControlWindow(other));
  trail.clear();
  EXPECT_EQ(SendMessageA(other->Handle, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(trail, "MM");  // the main control's hook sees the other form's close first
  EXPECT_TRUE(IsWindow(other->Handle));
  EXPECT_TRUE(PeekQuit());
  // Activated, the other form became the main control's current control; gone,
  // it must not stay there.
  EXPECT_EQ(form->CurrentControl, other);
  Dispose(other);
  EXPECT_EQ(form->CurrentControl, nullptr);

  // A child's close is the system's: its window goes, and with it the control.
  form->CurrentControl = button;
  HWND handle = button->Handle;
  int32_t live = LiveObjectCount;
  SendMessageA(handle, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(LiveObjectCount, live - 3);
  EXPECT_EQ(form->Children->Count, 1);
  EXPECT_EQ(form->CurrentControl, nullptr);
  EXPECT_FALSE(PeekQuit());
}

TEST_F(DispatchFixture, TopLevelFormDestroyedByTheSystemIsDisposed) {
  MainControl = nullptr;
  Control* other = NewForm(nullptr, "other");
  NewButton(other, "B");
  ASSERT_TRUE(CreateControlWindow(other));
  int32_t live = LiveObjectCount;
  DestroyWindow(other->Handle);
  PumpQueued();
  EXPECT_EQ(LiveObjectCount, live - 6);
}

std::vector<Control*> laidOut;
void RecordLayout(Control* ctl) { laidOut.push_back(ctl); }

TEST_F(DispatchFixture, BuiltInTreatmentOfSmallerMessages) {
  RecordDefault(button);

  // Sizing re-lays out the parent, then the control.
  void (*savedHook)(Control*) = LayoutHook;
  LayoutHook = RecordLayout;
  laidOut.clear();
  SetWindowPos(button->Handle, nullptr, 0, 0, 90, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayoutHook = savedHook;
  EXPECT_EQ(laidOut, (std::vector<Control*>{form, button}));

  struct Row {
    const char* name;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    const char* expected;
  } rows[] = {
      {"no-op message", 0x8FFF, 0, 0, 0, ""},
      {"mci notify", 0x03B9, 0, 0, 0, ""},
      {"cursor over the border", WM_SETCURSOR, 0, MAKELPARAM(HTBORDER, WM_MOUSEMOVE), 0, "D"},
      {"cursor over the client area", WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 1,
       ""},
      {"owner closing", WM_SHOWWINDOW, 0, SW_PARENTCLOSING, 0, "D"},
      {"owner opening", WM_SHOWWINDOW, 1, SW_PARENTOPENING, 0, ""},
  };
  HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  button->CursorHandle = hand;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    watched = row.msg;
    trail.clear();
    EXPECT_EQ(SendMessageA(button->Handle, row.msg, row.wParam, row.lParam), row.result);
    EXPECT_EQ(trail, row.expected);
  }
  // SW_PARENTCLOSING stored the command to reapply; SW_PARENTOPENING used it up.
  EXPECT_EQ(button->RestoreShowCmd, 0);
  EXPECT_EQ(GetCursor(), hand);
  SendMessageA(button->Handle, WM_SHOWWINDOW, 0, SW_PARENTCLOSING);
  EXPECT_EQ(button->RestoreShowCmd, SW_SHOWNOACTIVATE);
}

TEST_F(DispatchFixture, FocusOnAFormGoesToItsCurrentControl) {
  Control* main = NewForm(nullptr, "main");
  ASSERT_TRUE(CreateControlWindow(main));
  MainControl = main;
  form->CurrentControl = label;  // not a tab stop, but the form's choice
  SetFocus(form->Handle);
  PumpQueued();
  EXPECT_EQ(GetFocus(), label->Handle);
  EXPECT_EQ(main->CurrentControl, form);

  // Without a current control the form keeps the focus itself.
  form->CurrentControl = nullptr;
  SetFocus(form->Handle);
  EXPECT_EQ(GetFocus(), form->Handle);
  MainControl = nullptr;
  Dispose(main);
}

TEST_F(DispatchFixture, MainFormEnabledAndFocusQuestions) {
  Control* owned = NewForm(form, "owned first");
  Control* later = NewForm(form, "owned second");
  Control* grand = NewForm(owned, "grandchild");
  struct Row {
    const char* name;
    Control* ctl;
    bool main;
  } rows[] = {
      {"parentless", form, true},
      {"child control", button, false},
      {"form behind the parent's first child", later, false},
      {"form under a child form", grand, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsMainForm(row.ctl), row.main);
  }
  Control* loneParent = NewForm(nullptr, "lone");
  Control* first = NewForm(loneParent, "first");
  EXPECT_TRUE(IsMainForm(first));
  Dispose(loneParent);

  EXPECT_TRUE(IsControlEnabled(owned));
  owned->Style |= WS_DISABLED;
  EXPECT_FALSE(IsControlEnabled(owned));
  EnableWindow(button->Handle, FALSE);
  EXPECT_FALSE(IsControlEnabled(button));
  EXPECT_FALSE(TakeFocus(button));
  EnableWindow(button->Handle, TRUE);
  EXPECT_FALSE(TakeFocus(label));  // no tab stop
  EXPECT_TRUE(TakeFocus(button));
  EXPECT_EQ(GetFocus(), button->Handle);
}

}  // namespace
