// Message dispatch and the loop: the order of hooks, handlers, built-in table
// and default procedure, reflection to children, closing, disposal during
// dispatch, the loop's end, destruction order and the end of the session.
#include <gtest/gtest.h>
#include <process.h>

#include <map>
#include <tuple>
#include <string>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const UINT kMsg = WM_USER + 7;
std::string trail;
UINT watched;
char stopAt;

// Each step notes its tag for the watched message; the one named stopAt handles it.
bool Step(char tag, WindowMessage* m, LRESULT* result) {
  if (m->Msg != watched) return false;
  trail += tag;
  return tag == stopAt && (*result = 0x77, true);
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
  return real ? CallWindowProcA(real, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}
void RecordDefault(Control* c) { realProc[c->Handle] = c->BaseWndProc, c->BaseWndProc = RecordingDefault; }

struct Fx : ::testing::Test {
  void SetUp() override {
    ResetToolkitState(), trail.clear(), watched = kMsg, stopAt = 0, live = LiveObjectCount;
    form = NewForm(nullptr, "dispatch"), button = NewButton(form, "B"), label = NewLabel(form, "L");
    ASSERT_TRUE(CreateControlWindow(form));
    MainControl = form, LoopActive = 1;
  }
  void TearDown() override { ResetToolkitState(), DisposeIfAny(form), PumpQueued(), realProc.clear(); }
  Control *form, *button, *label;
  int32_t live;
};

TEST_F(Fx, StepsRunInOrderUntilOneHandlesAndTheTableDecidesTheRest) {
  form->MessageHook = {MainHook, form};
  button->MessageHook = {OwnHook, button};
  for (MessageStep s : {First, Second, First}) AddMessageHandler(button, s);  // twice: runs once
  button->Handlers->Items[3] = 1;  // First is kept after the quit
  for (Control* c : {form, button, label}) RecordDefault(c);
  button->CursorHandle = LoadCursorA(nullptr, IDC_HAND);
  SetForegroundWindow(form->Handle);
  SetFocus(button->Handle);
  ASSERT_EQ(GetFocus(), button->Handle);
  struct Row { Control* to; UINT msg; WPARAM wp; LPARAM lp; char stop; uint8_t loop, quit; const char* trail; LRESULT result; } rows[] = {
      {button, kMsg, 0, 0, 0, 1, 0, "MO21D", 0},
      {button, kMsg, 0, 0, 'M', 1, 0, "M", 0x77},
      {button, kMsg, 0, 0, 'O', 1, 0, "MO", 0x77},
      {button, kMsg, 0, 0, '2', 1, 0, "MO2", 0x77},
      {button, kMsg, 0, 0, '1', 1, 0, "MO21", 0x77},
      {button, kMsg, 0, 0, 0, 0, 0, "O21D", 0},  // outside the loop the main control's hook is not asked
      {button, kMsg, 0, 0, 0, 1, 1, "MO1D", 0},
      {form, kMsg, 0, 0, 0, 1, 0, "MD", 0},  // the main control sees its hook once, as its own
      {button, 0x8FFF, 0, 0, 0, 1, 0, "MO21", 0},
      {button, 0x03B9, 0, 0, 0, 1, 0, "MO21", 0},  // MM_MCINOTIFY
      {button, WM_SETCURSOR, 0, MAKELPARAM(HTBORDER, WM_MOUSEMOVE), 0, 1, 0, "MO21DMD", 0},  // asks the parent too
      {button, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 0, 1, 0, "MO21", 1},
      {button, WM_SHOWWINDOW, 0, SW_PARENTCLOSING, 0, 1, 0, "MO21D", 0},
      {button, WM_SHOWWINDOW, 1, SW_PARENTOPENING, 0, 1, 0, "MO21", 0},
      {button, WM_CHAR, '\t', 0, 0, 1, 0, "MO21", 0},  // no dialog manager: a button would only beep
      {button, WM_CHAR, 'a', 0, 0, 1, 0, "MO21D", 0},
      {label, WM_CHAR, 'a', 0, 0, 1, 0, "M", 0},  // a key for a window without the focus is dropped
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.msg) + " " + row.trail);
    trail.clear(), watched = row.msg, stopAt = row.stop, LoopActive = row.loop, QuitRequested = row.quit;
    EXPECT_EQ(SendMessageA(row.to->Handle, row.msg, row.wp, row.lp), row.result);
    EXPECT_EQ(trail, row.trail);
  }
  EXPECT_EQ(GetCursor(), button->CursorHandle);
}

bool DisposeSelf(Control* ctl, WindowMessage* m, LRESULT*) {
  if (m->Msg != watched) return false;
  Dispose(ctl);
  trail += ctl->RefState == 1 && IsWindow(ctl->Handle) ? "alive " : "gone ";  // the dispatcher's reference is left
  return false;
}

TEST_F(Fx, HandlerDisposingItsControlLeavesItAliveUntilItReturns) {
  for (Control* main : {form, static_cast<Control*>(nullptr)}) {  // the window goes by different roads
    MainControl = main;
    Control* victim = NewLabel(form, "victim");
    ASSERT_TRUE(CreateControlWindow(victim));
    AddMessageHandler(victim, DisposeSelf);
    victim->DestroyNotify.Code = [](void*, ToolkitObject*) { trail += 'x'; };
    RecordDefault(victim);
    HWND handle = victim->Handle;
    int32_t live = LiveObjectCount;
    trail.clear();
    EXPECT_EQ(SendMessageA(handle, kMsg, 0, 0), 0);
    EXPECT_EQ(trail, "alive x");  // handled: no default processing touched the dead control
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(LiveObjectCount, live - 3);  // the control and its two lists
  }
}

std::vector<std::string> reflected;
bool NoteReflected(Control*, WindowMessage* m, LRESULT* result) {
  reflected.push_back(std::to_string(m->Msg) + ":" + std::to_string(m->WParam));
  return *result = 0x1234, true;
}

TEST_F(Fx, CommandsAndColourQuestionsGoBackToTheChild) {
  AddMessageHandler(label, NoteReflected);
  for (UINT msg : {UINT(WM_COMMAND), UINT(WM_CTLCOLORMSGBOX), UINT(WM_CTLCOLOREDIT), UINT(WM_CTLCOLORSTATIC)}) {
    reflected.clear();
    EXPECT_EQ(SendMessageA(form->Handle, msg, 0x5A, reinterpret_cast<LPARAM>(label->Handle)), 0x1234);
    EXPECT_EQ(reflected, std::vector<std::string>{std::to_string(msg == WM_COMMAND ? 0xB005 : msg + 0xBC00) + ":90"});
  }
}

TEST_F(Fx, CloseOfTheMainFormQuitsAndCloseOfAChildDestroysIt) {
  auto quit = [] { MSG m; return PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0; };
  watched = WM_CLOSE;
  form->MessageHook = {MainHook, form};
  Control* other = NewForm(nullptr, "other");  // another top-level form passes its close on
  ASSERT_TRUE(CreateControlWindow(other));
  for (Control* f : {form, other}) {
    EXPECT_EQ(SendMessageA(f->Handle, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(f->Handle) && quit());
  }
  EXPECT_EQ(trail, "MMM");  // the main control's hook sees the other form's close first
  EXPECT_EQ(form->CurrentControl, other);  // activated; gone, it must not stay there
  Dispose(other);
  EXPECT_EQ(form->CurrentControl, nullptr);

  form->CurrentControl = button;
  HWND handle = button->Handle;
  int32_t live = LiveObjectCount;
  SendMessageA(handle, WM_CLOSE, 0, 0);  // the system's close: the window goes, and the control
  EXPECT_FALSE(IsWindow(handle) || quit() || form->CurrentControl);
  EXPECT_EQ(LiveObjectCount, live - 3);
  MainControl = nullptr;  // a top-level form the system destroys is disposed at once
  other = NewForm(nullptr, "other");
  NewButton(other, "B");
  ASSERT_TRUE(CreateControlWindow(other));
  DestroyWindow(other->Handle);
  EXPECT_EQ(LiveObjectCount, live - 3);
}

TEST_F(Fx, MainFormsAndTheFocusOfAForm) {
  Control* lone = NewForm(nullptr, "lone");  // a parentless parent: its first child form is a main form
  Control *first = NewForm(lone, "first"), *later = NewForm(lone, "later"), *grand = NewForm(first, "grand");
  EXPECT_EQ((std::vector<bool>{IsMainForm(form), IsMainForm(button), IsMainForm(first), IsMainForm(later), IsMainForm(grand)}),
            (std::vector<bool>{true, false, true, false, false}));
  ASSERT_TRUE(CreateControlWindow(lone));
  MainControl = lone;
  form->CurrentControl = label;  // no tab stop, but the form's choice
  SetFocus(form->Handle);
  EXPECT_EQ(GetFocus(), label->Handle);
  EXPECT_EQ(lone->CurrentControl, form);
  MainControl = nullptr;
  Dispose(lone);
}

std::vector<std::string> events;
// Hooks still see what follows the quit; attached handlers no longer do.
bool NoteEvent(void* data, WindowMessage* m, LRESULT*) {
  Control* c = static_cast<Control*>(data);
  if (m->Msg == kMsg || m->Msg == WM_DESTROY)
    events.push_back(std::string(c->Caption) + (m->Msg == kMsg ? " msg" : " destroy") +
                     (IsWindow(FindForm(c)->Handle) ? "" : " orphaned") + (QuitRequested ? "" : " early"));
  return false;
}

TEST_F(Fx, MessagesBehindQuitAreDispatchedThenChildrenGoBeforeTheirForm) {
  BYTE andBits[128] = {}, xorBits[128] = {0x5A};
  HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
  SetIcon(form, icon);
  for (Control* c : {form, button, label}) c->MessageHook = {NoteEvent, c};
  AddMessageHandler(form, First);
  PostMessageA(form->Handle, WM_QUIT, 0, 0);
  PostMessageA(form->Handle, kMsg, 0, 0);
  RunMainLoop(&form);
  EXPECT_TRUE(form == nullptr && MainControl == nullptr && !LoopActive);
  EXPECT_EQ(events, (std::vector<std::string>{"dispatch msg", "L destroy", "B destroy", "dispatch destroy"}));
  EXPECT_EQ(trail, "");
  ICONINFO info;
  EXPECT_FALSE(GetIconInfo(icon, &info));  // the big icon went with the form
  EXPECT_EQ(LiveObjectCount, live);
}

bool disposed = false;
// Child process: a form whose queue holds WM_ENDSESSION and then WM_CLOSE. Exit code
// 0: the session's end ended it, 7: the loop returned, 3: the form was never disposed.
int EndSessionChild(WPARAM ending) {
  atexit([] { disposed ? void() : _exit(3); });
  Control* form = NewForm(nullptr, "session");
  NewButton(form, "B");
  form->DestroyNotify.Code = [](void*, ToolkitObject*) { disposed = true; };
  CreateControlWindow(form);
  PostMessageA(form->Handle, WM_ENDSESSION, ending, 0);
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  return 7;
}

bool RefuseCreation(Control*, WindowMessage* m, LRESULT* r) { return m->Msg == WM_CREATE && (*r = -1, true); }
void NoteDestroyed(void* destroyed, ToolkitObject*) { *static_cast<bool*>(destroyed) = true; }

// The system destroys the half-made window of a refused creation; the form
// must outlive that, without a window, until its owner disposes it.
TEST(Creation, ARefusedWindowLeavesTheFormAliveWithoutAWindow) {
  ResetToolkitState();
  int32_t live = LiveObjectCount;
  bool destroyed = false;
  Control* form = NewForm(nullptr, "refused");
  form->DestroyNotify = {NoteDestroyed, &destroyed};
  AddMessageHandler(form, RefuseCreation);
  EXPECT_EQ(nullptr, SetClientSize(form, 220, 108)->Handle);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(nullptr, ControlBeingCreated);
  RunMainLoop(&form);  // nothing to wait for: returns and disposes the form
  EXPECT_EQ(std::make_tuple(destroyed, form, LiveObjectCount), std::make_tuple(true, nullptr, live));
  ResetToolkitState();
}

TEST(Loop, EndOfSessionDisposesTheFormAndEndsTheProcessAtOnce) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  EXPECT_EQ(_spawnl(_P_WAIT, self, "self", "--end-session", "1", nullptr), 0);
  EXPECT_EQ(_spawnl(_P_WAIT, self, "self", "--end-session", "0", nullptr), 7);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--end-session") return EndSessionChild(atoi(argv[2]));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
