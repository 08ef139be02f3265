// Dispatch, a refused window, the end of the loop and of the session.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "test_support.h"
#include "toolkit/toolkit.h"

const UINT kMsg = WM_USER + 7;
std::string trail;
UINT watched;
char stopAt;

// Each step notes its tag; the one named stopAt handles the message, and only
// then may its result count.
bool Step(char tag, WindowMessage* m, LRESULT* result) {
  if (m->Msg != watched) return false;
  trail += tag;
  *result = 0x77;
  return tag == stopAt;
}
bool MainHook(void*, WindowMessage* m, LRESULT* r) { return Step('M', m, r); }
bool OwnHook(void*, WindowMessage* m, LRESULT* r) { return Step('O', m, r); }
bool First(Control*, WindowMessage* m, LRESULT* r) { return Step('1', m, r); }
bool Second(Control*, WindowMessage* m, LRESULT* r) { return Step('2', m, r); }

// Notes default processing.
std::map<HWND, WNDPROC> realProc;
LRESULT CALLBACK RecordingDefault(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == watched) trail += 'D';
  return CallWindowProcA(realProc[w], w, msg, wp, lp);
}
void RecordDefault(Control* c) {
  realProc[c->Handle] = c->BaseWndProc ? c->BaseWndProc : DefWindowProcA;
  c->BaseWndProc = RecordingDefault;
}

struct Dispatch : testing::Test {
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "F");
  Control* button = NewButton(form, "B");
  Control* label = NewLabel(form, "L");
  void SetUp() override {
    trail.clear();
    watched = kMsg;
    CreateControlWindow(form);
    MainControl = form;
    LoopActive = 1;
  }
  void TearDown() override {
    MainControl = nullptr;
    LoopActive = 0;
    QuitRequested = 0;
    DisposeIfAny(form);
  }
};

TEST_F(Dispatch, StepsRunInOrderUntilOneHandlesTheMessage) {
  form->MessageHook = {MainHook, form};
  button->MessageHook = {OwnHook, button};
  AddMessageHandler(button, First);
  AddMessageHandler(button, Second);
  AddMessageHandler(button, First);  // attached twice: runs once
  button->Handlers->Items[3] = 1;    // First is kept after the quit
  for (Control* c : {form, button, label}) RecordDefault(c);
  ASSERT_TRUE(BringToFront(form->Handle));
  SetFocus(button->Handle);
  const struct { Control* to; UINT msg; WPARAM wp; LPARAM lp; char stop;
                 uint8_t loop, quit; const char* trail; LRESULT result; } rows[] = {
      {button, kMsg, 0, 0, 0, 1, 0, "MO21D", 0},
      {button, kMsg, 0, 0, '2', 1, 0, "MO2", 0x77},
      {button, kMsg, 0, 0, 0, 0, 0, "O21D", 0},  // the main hook only while the loop runs
      {button, kMsg, 0, 0, 0, 1, 1, "MO1D", 0},  // after the quit, only handlers kept for it
      {form, kMsg, 0, 0, 0, 1, 0, "MD", 0},
      {button, WM_CHAR, '\t', 0, 0, 1, 0, "MO21", 0},  // a button would only beep
      {label, WM_CHAR, 'a', 0, 0, 1, 0, "M", 0},       // not focused
      {form, WM_CTLCOLORSTATIC, 0, LPARAM(label->Handle), 0, 1, 0, "M", LRESULT(ControlBrush(label))},
  };
  for (const auto& row : rows) {
    trail.clear();
    watched = row.msg;
    stopAt = row.stop;
    LoopActive = row.loop;
    QuitRequested = row.quit;
    EXPECT_EQ(SendMessageA(row.to->Handle, row.msg, row.wp, row.lp), row.result);
    EXPECT_EQ(trail, row.trail);
  }
}

bool DisposeSelf(Control* ctl, WindowMessage* m, LRESULT*) {
  if (m->Msg != kMsg) return false;
  Dispose(ctl);
  // The dispatcher's reference keeps it, window and all.
  trail += ctl->RefState == 1 && IsWindow(ctl->Handle) ? "alive " : "gone ";
  return false;
}

TEST_F(Dispatch, HandlerMayDisposeItsOwnControl) {
  RecordDefault(label);
  AddMessageHandler(label, DisposeSelf);
  label->DestroyNotify.Code = [](void*, ToolkitObject*) { trail += 'x'; };
  HWND handle = label->Handle;
  EXPECT_EQ(SendMessageA(handle, kMsg, 0, 0), 0);
  EXPECT_EQ(trail, "alive x");  // and no default processing after
  EXPECT_FALSE(IsWindow(handle));
}

bool NoteEvent(void* data, WindowMessage* m, LRESULT*) {
  if (m->Msg == kMsg || m->Msg == WM_DESTROY) trail += static_cast<Control*>(data)->Caption;
  return false;
}

TEST_F(Dispatch, QuitDispatchesWhatIsQueuedThenChildrenGoFirst) {
  HICON icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
  SetIcon(form, icon);
  for (Control* c : {form, button, label}) c->MessageHook = {NoteEvent, c};
  AddMessageHandler(form, First);  // not run after the quit
  PostMessageA(form->Handle, WM_QUIT, 0, 0);
  PostMessageA(form->Handle, kMsg, 0, 0);
  RunMainLoop(&form);
  EXPECT_EQ(form, nullptr);
  EXPECT_EQ(trail, "FLBF");
  ICONINFO info;
  EXPECT_FALSE(GetIconInfo(icon, &info));
  EXPECT_EQ(LiveObjectCount, live);
}

bool RefuseCreation(Control*, WindowMessage* m, LRESULT* result) {
  if (m->Msg != WM_CREATE) return false;
  *result = -1;
  return true;
}

// The system destroys the half-made window; the form outlives it.
TEST(Creation, RefusedWindowLeavesTheFormAliveAndTheLoopReturns) {
  Control* form = NewForm(nullptr, "refused");
  form->DestroyNotify.Code = [](void*, ToolkitObject*) { trail = "gone"; };
  AddMessageHandler(form, RefuseCreation);
  trail.clear();
  EXPECT_EQ(SetClientSize(form, 220, 108)->Handle, nullptr);
  EXPECT_EQ(trail, "");
  EXPECT_EQ(ControlBeingCreated, nullptr);
  PostQuitMessage(0);  // a loop that waits would take it
  RunMainLoop(&form);
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(trail, "gone");
  QuitRequested = 0;
}

bool disposed = false;
// Exit code 7: the loop returned; 3: the form was never disposed.
void RunSession(WPARAM ending) {
  atexit([] {
    if (!disposed) _exit(3);
  });
  Control* form = NewForm(nullptr, "session");
  form->DestroyNotify.Code = [](void*, ToolkitObject*) { disposed = true; };
  CreateControlWindow(form);
  PostMessageA(form->Handle, WM_ENDSESSION, ending, 0);
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  exit(7);
}

TEST(Loop, EndOfSessionDisposesAndExitsAtOnce) {
  EXPECT_EXIT(RunSession(1), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(RunSession(0), testing::ExitedWithCode(7), "");
}

