// Where forms end up, and what the user's keys and mouse do to controls.
#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"
#include "toolkit/toolkit.h"

int moves;
bool CountMoves(Control*, WindowMessage* m, LRESULT*) {
  moves += m->Msg == WM_WINDOWPOSCHANGING;
  return false;
}

// The settings window's frame: a caption, a dialog frame, no sizing.
TEST(Geometry, ClientSizeIsExactAndAFixedSizeHolds) {
  Control* form = SetPosition(NewForm(nullptr, "fixed"), 100, 100);
  SetExStyle(form, form->ExStyle | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
  SetStyle(form, form->Style & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  SetResizable(form, false);
  SetClientSize(form, 220, 108);
  EXPECT_EQ(Edges(GetClientArea(form)), Edges({0, 0, 220, 108}));
  RECT fixed = WindowRect(form->Handle);
  // Setters that change nothing leave the window alone.
  AddMessageHandler(form, CountMoves);
  SetClientSize(form, 0, -5);
  SetSize(form, 0, 0);
  SetPosition(form, 100, 100);
  EXPECT_EQ(moves, 0);
  // The program's resize moved the fixed size along; the system's may not.
  SetWindowPos(form->Handle, 0, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges(fixed));
  // Even with a sizing frame the border does not size.
  SetStyle(form, form->Style | WS_THICKFRAME);
  LPARAM border = MAKELPARAM(fixed.right - 2, (fixed.top + fixed.bottom) / 2);
  EXPECT_EQ(SendMessageA(form->Handle, WM_NCHITTEST, 0, border), HTBORDER);
  Dispose(form);
}

TEST(Geometry, CentringGivesTheOddPixelToTheLeft) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  Control* form = NewForm(nullptr, "centre");
  for (LONG width : {225, 1024 + 5}) {
    LONG left = width == 225 ? 399 : -3;
    CenterOnParent(SetSize(form, width, 101));
    EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges({left, 333, left + width, 434}));
  }
  Dispose(form);
}

enum { kOk, kCancel, kCheck, kLabel };

void Count(void* counter, Control*) { ++*static_cast<int*>(counter); }

// Installed before the dialog keys: their hook must chain to it.
bool CountKeyUps(void* counter, WindowMessage* m, LRESULT*) {
  *static_cast<int*>(counter) += m->Msg == WM_KEYUP;
  return false;
}

int passed;
bool CountPassed(Control*, WindowMessage* m, LRESULT*) {
  passed += m->Msg == WM_KEYUP && (m->WParam == VK_RETURN || m->WParam == VK_ESCAPE);
  return false;
}

// As in the settings window: OK is the default button, Cancel the cancel button.
TEST(DialogKeys, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  const struct { int from; WORD key; bool hideOk, disableOk; int ok, cancel, focusAfter; } rows[] = {
      {kOk, VK_RETURN, 0, 0, 1, 0, kOk},
      {kLabel, VK_RETURN, 0, 0, 1, 0, kOk},
      {kCheck, VK_RETURN, 0, 0, 0, 0, kCheck},
      {kOk, VK_ESCAPE, 0, 0, 0, 1, kCancel},
      {kLabel, VK_RETURN, 1, 0, 0, 0, kLabel},
      {kLabel, VK_RETURN, 0, 1, 0, 0, kLabel},
      {kLabel, VK_ESCAPE, 1, 0, 0, 1, kCancel},
  };
  LoopActive = 1;
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    Control* form = NewForm(nullptr, "dialog");
    Control* at[] = {NewButton(form, "OK"), NewButton(form, "Cancel"), NewCheckBox(form, "C"), NewLabel(form, "L")};
    std::vector<int> clicks(3);
    for (int i : {kOk, kCancel, kCheck}) at[i]->OnClick = {Count, &clicks[i]};
    for (Control* c : at) AddMessageHandler(c, CountPassed);
    passed = 0;
    int keyUps = 0;
    form->MessageHook = {CountKeyUps, &keyUps};
    MainControl = form;
    SetDialogButton(at[kOk], VK_RETURN, true);
    SetDialogButton(at[kCancel], VK_ESCAPE, true);
    SetVisible(at[kOk], !row.hideOk);
    EnableWindow(EnsureHandle(at[kOk]), !row.disableOk);
    CreateControlWindow(form);
    EXPECT_TRUE(BringToFront(form->Handle));
    FocusControl(at[row.from], true);
    PressKey(row.key);
    EXPECT_TRUE(WaitUntil([&] { return keyUps > 0; }));
    EXPECT_EQ(clicks, (std::vector<int>{row.ok, row.cancel, 0}));
    EXPECT_EQ(GetFocus(), at[row.focusAfter]->Handle);
    EXPECT_EQ(passed, row.ok + row.cancel == 0);  // a key that presses no button passes on
    Dispose(form);
  }
  MainControl = nullptr;
  LoopActive = 0;
}

TEST(Splitter, DragStaysWithinBothLimitsAndEscapeUndoesIt) {
  // 300 client - 4 splitter - 4 x 2 margin - 200 kept for the rest = 88
  const struct { Alignment align; int dx, dy, minBefore, minAfter, dragged; bool escape; } rows[] = {
      {kAlignTop, 0, 10, 0, 0, 60, 0},
      {kAlignBottom, 0, 10, 0, 0, 40, 0},
      {kAlignLeft, -50, 0, 20, 0, 20, 0},
      {kAlignTop, 0, 60, 0, 200, 88, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    Control* form = SetClientSize(NewForm(nullptr, "split"), 300, 300);
    Control* prev = SetAlign(SetSize(NewPanel(form, 2), 60, 50), row.align);
    Control* splitter = NewSplitter(form, row.minBefore, row.minAfter);
    auto along = [&] { return row.dy ? GetHeight(prev) : GetWidth(prev); };
    CreateControlWindow(form);
    ASSERT_TRUE(BringToFront(form->Handle));
    POINT from = CentreOf(splitter->Handle);
    POINT to = {from.x + row.dx, from.y + row.dy};
    SendMouse(from);
    SendMouse(from, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(WaitUntil([&] { return GetCapture() == splitter->Handle; }));
    SendMouse(to);
    EXPECT_TRUE(WaitUntil([&] { return along() == row.dragged; }));
    if (row.escape) {
      // Polled: only input through the system's queue sets it.
      SendKey(VK_ESCAPE);
      EXPECT_TRUE(WaitUntil([&] { return along() == 50 && !GetCapture(); }));
      SendKey(VK_ESCAPE, true);
    }
    SendMouse(to, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([] { return !GetCapture(); }));
    EXPECT_EQ(along(), row.escape ? 50 : row.dragged);
    Dispose(form);
  }
}

