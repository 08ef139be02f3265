#include <gtest/gtest.h>

#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

enum { kOk, kCancel, kCheck, kLabel };

void Count(void* counter, Control*) { ++*static_cast<int*>(counter); }

// Installed before the dialog keys, so the Enter/Escape hook must chain to it.
bool CountKeyUps(void* counter, WindowMessage* m, LRESULT*) {
  *static_cast<int*>(counter) += m->Msg == WM_KEYUP;
  return false;
}

// The settings window's arrangement: OK is the default button, Cancel the cancel button.
struct Dialog {
  Control* form = SetClientSize(SetPosition(NewForm(nullptr, "dialog"), 300, 300), 220, 108);
  Control* at[4] = {SetSize(SetPosition(NewButton(form, "OK"), 13, 78), 89, 0),
                    SetSize(SetPosition(NewButton(form, "Cancel"), 117, 78), 89, 0),
                    SetPosition(NewCheckBox(form, "check"), 58, 8),
                    SetPosition(NewLabel(form, "Ver0.40"), 12, 48)};
  std::vector<int> clicks = {0, 0, 0};  // of OK, Cancel and the check box
  int keyUps = 0;

  Dialog() {
    for (int i : {kOk, kCancel, kCheck}) at[i]->OnClick = {Count, &clicks[i]};
    MainControl = form;
    LoopActive = 1;
    form->MessageHook = {CountKeyUps, &keyUps};
    SetDialogButton(at[kOk], VK_RETURN, true);
    SetDialogButton(at[kCancel], VK_ESCAPE, true);
    CreateControlWindow(form);
    SetForegroundWindow(form->Handle);
  }
  ~Dialog() { Dispose(form), ResetToolkitState(); }
  // Answers once the key's release has been handled.
  bool Press(WORD vk) {
    int before = keyUps;
    SendKey(vk), SendKey(vk, true);
    return PumpUntil([&] { return keyUps > before; });
  }
};

}  // namespace

TEST(DialogKeys, EnterEscapeAndTabRouting) {
  const struct { const char* what; int from; WORD key; bool hideOk, disableOk; int ok, cancel;
                 int focusAfter; } rows[] = {
      {"Enter on the default button", kOk, VK_RETURN, false, false, 1, 0, kOk},
      {"Enter on a label", kLabel, VK_RETURN, false, false, 1, 0, kOk},
      {"Enter on a check box", kCheck, VK_RETURN, false, false, 0, 0, kCheck},
      {"Enter on another button", kCancel, VK_RETURN, false, false, 0, 0, kCancel},
      {"Escape on the default button", kOk, VK_ESCAPE, false, false, 0, 1, kCancel},
      {"Escape on a check box", kCheck, VK_ESCAPE, false, false, 0, 1, kCancel},
      {"Enter with the default button hidden", kLabel, VK_RETURN, true, false, 0, 0, kLabel},
      {"Enter with the default button disabled", kLabel, VK_RETURN, false, true, 0, 0, kLabel},
      {"Escape with the default button hidden", kLabel, VK_ESCAPE, true, false, 0, 1, kCancel},
      {"Tab on the default button", kOk, VK_TAB, false, false, 0, 0, kOk},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Dialog d;
    SetVisible(d.at[kOk], !row.hideOk);
    EnableWindow(d.at[kOk]->Handle, !row.disableOk);
    FocusControl(d.at[row.from], true);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == d.at[row.from]->Handle; }));
    ASSERT_TRUE(d.Press(row.key));
    EXPECT_EQ(d.clicks, (std::vector<int>{row.ok, row.cancel, 0}));
    EXPECT_EQ(std::make_pair(GetFocus(), GetChecked(d.at[kCheck])),
              std::make_pair(d.at[row.focusAfter]->Handle, 0));
  }
}

TEST(Buttons, RealClicksFireOnClickExceptUnderFocusGuard) {
  Dialog d;
  // The box checks itself either way; only the event is held back under the guard.
  const struct { int target; uint8_t guard; std::vector<int> clicks; int checked; } rows[] = {
      {kOk, 0, {1, 0, 0}, 0}, {kCheck, 1, {1, 0, 0}, 1}, {kCheck, 0, {1, 0, 1}, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    Control* c = d.at[row.target];
    c->FocusGuard = row.guard;
    for (DWORD b : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) SendMouse(CentreOf(c->Handle), b);
    EXPECT_TRUE(PumpUntil([&] { return d.clicks == row.clicks && GetChecked(c) == row.checked; }));
  }
}

TEST(Buttons, CheckStateCreatesTheWindowAndColourQuestionsAreAnsweredInTheChildsColours) {
  Control* form = NewForm(nullptr, "checks");
  Control* two = NewCheckBox(form, "two");
  EXPECT_EQ(GetChecked(two), 0);
  Control* three = NewCheckBox(form, "three");
  SetStyle(three, (three->Style & ~0xFu) | BS_AUTO3STATE);
  ASSERT_EQ(std::make_pair(two->Handle != nullptr, three->Handle), std::make_pair(true, HWND()));
  SetChecked(three, true);
  EXPECT_EQ(SendMessageA(three->Handle, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(three->Handle, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(GetChecked(three), 2);
  SetColor(two, RGB(255, 0, 0));
  HDC dc = GetDC(form->Handle);
  LRESULT brush = SendMessageA(form->Handle, WM_CTLCOLORBTN, WPARAM(dc), LPARAM(two->Handle));
  EXPECT_EQ(std::make_tuple(HBRUSH(brush), GetBkColor(dc), GetTextColor(dc)),
            std::make_tuple(ControlBrush(two), RGB(255, 0, 0), GetSysColor(COLOR_WINDOWTEXT)));
  ReleaseDC(form->Handle, dc);
  Dispose(form);
}
