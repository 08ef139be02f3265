#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "toolkit/toolkit.h"

const UINT kMsg = WM_USER + 7;
std::string trail;
UINT watched;
char stopAt;

// A hook or handler; only the one named stopAt handles the message.
template <char tag, class C>
bool Step(C, WindowMessage* m, LRESULT* result) {
  if (m->Msg != watched) return false;
  trail += tag;
  *result = 0x77;
  return tag == stopAt;
}

LRESULT CALLBACK RecordingDefault(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == watched) trail += 'D';
  return DefWindowProcA(w, msg, wp, lp);
}

bool DisposeSelf(Control* ctl, WindowMessage* m, LRESULT*) {
  if (m->Msg != kMsg) return false;
  Dispose(ctl);
  trail += ctl->RefState == 1 && IsWindow(ctl->Handle) ? "alive " : "gone ";
  return false;
}

bool NoteEvent(void* data, WindowMessage* m, LRESULT*) {
  if (m->Msg == kMsg || m->Msg == WM_DESTROY) trail += static_cast<Control*>(data)->Caption;
  return false;
}

TEST(Dispatch, StepOrderAndTheLoopsEnd) {
  Control* form = NewForm(nullptr, "F");
  Control* button = NewButton(form, "B");
  Control* label = NewLabel(form, "L");
  Control* self = NewLabel(form, "S");
  CreateControlWindow(form);
  for (Control* c : {form, button, label, self}) c->BaseWndProc = RecordingDefault;
  MainControl = form;
  watched = kMsg;
  AddMessageHandler(self, DisposeSelf);
  self->DestroyNotify.Code = [](void*, ToolkitObject*) { trail += 'x'; };
  HWND handle = self->Handle;
  SendMessageA(handle, kMsg, 0, 0);
  EXPECT_EQ(trail, "alive x");
  EXPECT_FALSE(IsWindow(handle));

  form->MessageHook = {Step<'M', void*>, nullptr};
  button->MessageHook = {Step<'O', void*>, nullptr};
  AddMessageHandler(button, Step<'1', Control*>);
  AddMessageHandler(button, Step<'2', Control*>);
  AddMessageHandler(button, Step<'1', Control*>);
  button->Handlers->Items[3] = 1;  // '1' is kept after the quit
  EXPECT_TRUE(BringToFront(form->Handle));
  SetFocus(button->Handle);
  const struct {
    Control* to;
    UINT msg;
    char stop;
    uint8_t loop;
    uint8_t quit;
    const char* trail;
    LRESULT result;
  } rows[] = {
      {button, kMsg, 0, 1, 0, "MO21D", 0},
      {button, kMsg, '2', 1, 0, "MO2", 0x77},
      {button, kMsg, 0, 0, 0, "O21D", 0},
      {button, kMsg, 0, 1, 1, "MO1D", 0},
      {form, kMsg, 0, 1, 0, "MD", 0},
      {button, WM_CHAR, 0, 1, 0, "MO21", 0},
      {label, WM_KEYDOWN, 0, 1, 0, "M", 0},
      {form, WM_CTLCOLORSTATIC, 0, 1, 0, "M", LRESULT(ControlBrush(label))},
  };
  for (const auto& row : rows) {
    trail.clear();
    watched = row.msg;
    stopAt = row.stop;
    LoopActive = row.loop;
    QuitRequested = row.quit;
    EXPECT_EQ(SendMessageA(row.to->Handle, row.msg, '\t', LPARAM(label->Handle)), row.result);
    EXPECT_EQ(trail, row.trail);
  }

  // Queued behind the quit still runs; the newest child goes first.
  for (Control* c : {form, button, label}) c->MessageHook = {NoteEvent, c};
  trail.clear();
  watched = WM_APP;
  PostMessageA(form->Handle, WM_QUIT, 0, 0);
  PostMessageA(form->Handle, kMsg, 0, 0);
  RunMainLoop(&form);
  QuitRequested = 0;
  EXPECT_EQ(trail, "FLBF");
}

bool disposed;
void NoteDisposed(void*, ToolkitObject*) { disposed = true; }

// Exit code 7: the loop returned; 3: the form was never disposed.
void RunSession(WPARAM ending) {
  atexit([] {
    if (!disposed) _exit(3);
  });
  Control* form = NewForm(nullptr, "session");
  form->DestroyNotify.Code = NoteDisposed;
  CreateControlWindow(form);
  PostMessageA(form->Handle, WM_ENDSESSION, ending, 0);
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  exit(7);
}

TEST(Loop, EndOfSessionExitsAtOnce) {
  EXPECT_EXIT(RunSession(1), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(RunSession(0), testing::ExitedWithCode(7), "");
}

int moves;
bool CountMoves(Control*, WindowMessage* m, LRESULT*) {
  if (m->Msg == WM_WINDOWPOSCHANGED)
    moves += !(reinterpret_cast<WINDOWPOS*>(m->LParam)->flags & SWP_SHOWWINDOW);
  return false;
}

// Made early, sized, restyled and centred while hidden: one move each when shown.
// Showing is not counted.
TEST(Geometry, AHiddenFormMovesOnceWhenShown) {
  Control* form = NewForm(nullptr, "G");
  SetClientSize(SetPosition(form, 5, 7), 200, 100);
  AddMessageHandler(form, CountMoves);
  Control* label = SetPosition(NewLabel(form, "L"), 3, 4);
  AddMessageHandler(label, CountMoves);
  SetAutoSize(label, true);  // made early
  SetExStyle(form, form->ExStyle | WS_EX_DLGMODALFRAME);
  SetResizable(form, false);
  SetClientSize(form, 230, 90);
  CenterOnParent(form);
  EXPECT_EQ(GetClientWidth(form), 230);
  EXPECT_EQ(moves, 0);
  CreateControlWindow(form);
  EXPECT_EQ(moves, 2);
  RECT client, window;
  GetClientRect(form->Handle, &client);
  GetWindowRect(form->Handle, &window);
  EXPECT_EQ(client.right * 1000 + client.bottom, 230090);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - window.right + window.left) >> 1);
  Dispose(form);
}
