#include <gtest/gtest.h>

#include "toolkit_support/toolkit_test_support.h"

namespace {

// Keys and clicks go through the system's input queue (SendInput), which
// reaches the focused window of the foreground form under Wine on Xvfb.
void Key(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

void Click(Control* c) {
  RECT r;
  GetWindowRect(c->Handle, &r);
  INPUT in[3] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dx = ((r.left + r.right) / 2 * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
  in[0].mi.dy = ((r.top + r.bottom) / 2 * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, in, sizeof(INPUT));
}

// The settings window's arrangement: OK is the default, Cancel the cancel button.
struct Dialog {
  Control* form;
  Control *ok, *cancel, *check, *label;
  int okClicks = 0, cancelClicks = 0, checkClicks = 0;
  int markers = 0, enterDowns = 0, spaceDownsToOk = 0;

  static void Count(void* counter, Control*) { ++*static_cast<int*>(counter); }
  // Installed before the dialog keys, so the Enter/Escape hook must chain to it.
  static bool Record(void* data, WindowMessage* m, LRESULT*) {
    Dialog* d = static_cast<Dialog*>(data);
    if (m->Msg == WM_KEYUP && m->WParam == VK_F13) ++d->markers;
    if (m->Msg == WM_KEYDOWN && m->WParam == VK_RETURN) ++d->enterDowns;
    if (m->Msg == WM_KEYDOWN && m->WParam == VK_SPACE && m->Window == d->ok->Handle)
      ++d->spaceDownsToOk;
    return false;
  }

  Dialog() {
    ResetToolkitState();
    form = NewForm(nullptr, "dialog");
    SetPosition(form, 300, 300);
    SetClientSize(form, 220, 108);
    label = SetPosition(NewLabel(form, "Ver0.40"), 12, 48);
    ok = SetSize(SetPosition(NewButton(form, "OK"), 13, 78), 89, 0);
    cancel = SetSize(SetPosition(NewButton(form, "Cancel"), 117, 78), 89, 0);
    check = SetPosition(NewCheckBox(form, "check"), 58, 8);
    ok->OnClick = ClickMethod{Count, &okClicks};
    cancel->OnClick = ClickMethod{Count, &cancelClicks};
    check->OnClick = ClickMethod{Count, &checkClicks};
    MainControl = form;
    LoopActive = 1;
    form->MessageHook = MessageHookMethod{Record, this};
    SetDialogButton(ok, VK_RETURN, true);
    SetDialogButton(cancel, VK_ESCAPE, true);
    CreateControlWindow(form);
    SetForegroundWindow(form->Handle);
    PumpQueued();
  }
  ~Dialog() {
    Dispose(form);
    ResetToolkitState();
  }
  void Focus(Control* c) {
    FocusControl(c, true);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == c->Handle; }));
  }
  // Input is handled in order: once a marker key has come through, so has all before it.
  void Settle() {
    int before = markers;
    Key(VK_F13, false);
    Key(VK_F13, true);
    ASSERT_TRUE(PumpUntil([&] { return markers > before; }));
  }
  void Press(WORD vk) {
    Key(vk, false);
    Key(vk, true);
    Settle();
  }
};

}  // namespace

TEST(DialogKeys, EnterAndEscapeRouting) {
  enum Where { kOk, kCancel, kCheck, kLabel };
  struct Row {
    const char* what;
    Where focus;
    WORD key;
    bool hideOk, disableOk;
    int okClicks, cancelClicks;
  } rows[] = {
      {"Enter on the default button", kOk, VK_RETURN, false, false, 1, 0},
      {"Enter on a label", kLabel, VK_RETURN, false, false, 1, 0},
      {"Enter on a check box", kCheck, VK_RETURN, false, false, 0, 0},
      {"Enter on another button", kCancel, VK_RETURN, false, false, 0, 0},
      {"Escape on the default button", kOk, VK_ESCAPE, false, false, 0, 1},
      {"Escape on a check box", kCheck, VK_ESCAPE, false, false, 0, 1},
      {"Enter with the default button hidden", kLabel, VK_RETURN, true, false, 0, 0},
      {"Enter with the default button disabled", kLabel, VK_RETURN, false, true, 0, 0},
      {"Escape with the default button hidden", kLabel, VK_ESCAPE, true, false, 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Dialog d;
    Control* focus[] = {d.ok, d.cancel, d.check, d.label};
    if (row.hideOk) SetVisible(d.ok, false);
    if (row.disableOk) EnableWindow(d.ok->Handle, FALSE);
    d.Focus(focus[row.focus]);
    d.Press(row.key);
    EXPECT_EQ(d.okClicks, row.okClicks);
    EXPECT_EQ(d.cancelClicks, row.cancelClicks);
    EXPECT_EQ(GetChecked(d.check), 0);
    EXPECT_EQ(d.checkClicks, 0);
  }
}

TEST(DialogKeys, TabNeverMovesTheFocus) {
  Dialog d;
  d.Focus(d.ok);
  d.Press(VK_TAB);
  EXPECT_EQ(GetFocus(), d.ok->Handle);
}

TEST(DialogKeys, HeldEnterRefocusesTheDefaultButtonEachRepeat) {
  Dialog d;
  d.Focus(d.ok);
  Key(VK_RETURN, false);
  ASSERT_TRUE(PumpUntil([&] { return d.enterDowns == 1; }));
  d.Focus(d.label);
  Key(VK_RETURN, false);  // the key is still down: a repetition
  ASSERT_TRUE(PumpUntil([&] { return d.enterDowns == 2; }));
  EXPECT_EQ(GetFocus(), d.ok->Handle);
  EXPECT_EQ(d.okClicks, 0);
  Key(VK_RETURN, true);
  d.Settle();
  EXPECT_EQ(d.spaceDownsToOk, 2);
  EXPECT_EQ(d.okClicks, 1);
}

TEST(Buttons, RealClicksFireOnClickExceptUnderFocusGuard) {
  Dialog d;
  Click(d.ok);
  EXPECT_TRUE(PumpUntil([&] { return d.okClicks == 1; }));
  d.check->FocusGuard = 1;
  Click(d.check);
  // The box still checks itself; only the event is held back.
  ASSERT_TRUE(PumpUntil([&] { return GetChecked(d.check) == 1; }));
  EXPECT_EQ(d.checkClicks, 0);
  d.check->FocusGuard = 0;
  Click(d.check);
  ASSERT_TRUE(PumpUntil([&] { return GetChecked(d.check) == 0; }));
  EXPECT_EQ(d.checkClicks, 1);
}

TEST(Buttons, CheckStateCreatesTheWindowAndPassesRepliesThrough) {
  ResetToolkitState();
  Control* form = NewForm(nullptr, "checks");
  Control* two = NewCheckBox(form, "two");
  EXPECT_EQ(GetChecked(two), 0);
  EXPECT_NE(two->Handle, nullptr);
  SetChecked(two, true);
  EXPECT_EQ(SendMessageA(two->Handle, BM_GETCHECK, 0, 0), BST_CHECKED);
  SetChecked(two, false);
  EXPECT_EQ(GetChecked(two), 0);
  Control* three = NewCheckBox(form, "three");
  SetStyle(three, (three->Style & ~0xFu) | BS_AUTO3STATE);
  EXPECT_EQ(three->Handle, nullptr);
  SetChecked(three, true);
  EXPECT_NE(three->Handle, nullptr);
  SendMessageA(three->Handle, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(GetChecked(three), 2);
  Dispose(form);
}

TEST(Buttons, ColourQuestionsAreAnsweredByTheChildInItsColours) {
  Dialog d;
  Control* red = NewLabel(d.form, "red");
  SetColor(d.label, d.label->Color);  // unchanged, but the window exists now
  SetColor(red, RGB(255, 0, 0));
  HDC dc = GetDC(d.form->Handle);
  LRESULT plain = SendMessageA(d.form->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(d.label->Handle));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(plain), ControlBrush(d.form));
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  LRESULT own = SendMessageA(d.form->Handle, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(red->Handle));
  EXPECT_NE(own, plain);
  EXPECT_EQ(GetBkColor(dc), RGB(255, 0, 0));
  ReleaseDC(d.form->Handle, dc);
}
