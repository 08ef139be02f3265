#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "toolkit/toolkit.h"

// The user may not resize a fixed size; the program may.
TEST(Geometry, ExactClientSizeFixedSizeAndCentring) {
  Control* form = NewForm(nullptr, "fixed");
  SetResizable(form, false);
  SetClientSize(form, 220, 108);
  EXPECT_EQ(Edges(GetClientArea(form)), Edges({0, 0, 220, 108}));
  RECT fixed = WindowRect(form->Handle);
  SetWindowPos(form->Handle, 0, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges(fixed));
  // 1024 x 768 screen: (1024 - 1029) >> 1 = -3, the odd pixel left.
  CenterOnParent(SetSize(form, 1029, 101));
  EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges({-3, 333, 1026, 434}));
  Dispose(form);
}

enum { kOk, kCancel, kCheck, kLabel };

std::string pressed;
void Press(void*, Control* sender) { pressed += sender->Caption; }

// Installed before the dialog keys, whose hook must chain to it.
int keyUps;
bool CountKeyUps(void*, WindowMessage* m, LRESULT*) {
  keyUps += m->Msg == WM_KEYUP;
  return false;
}

int passed;
bool CountPassed(Control*, WindowMessage* m, LRESULT*) {
  passed += m->Msg == WM_KEYUP && m->WParam != VK_SPACE;  // not a press
  return false;
}

TEST(DialogKeys, EnterAndEscapePressTheirButtons) {
  Control* form = NewForm(nullptr, "dialog");
  Control* at[] = {NewButton(form, "OK"), NewButton(form, "Cancel"), NewCheckBox(form, "C"), NewLabel(form, "L")};
  for (Control* c : at) c->OnClick = {Press, nullptr};
  for (Control* c : at) AddMessageHandler(c, CountPassed);
  form->MessageHook = {CountKeyUps, nullptr};
  MainControl = form;
  LoopActive = 1;
  SetDialogButton(at[kOk], VK_RETURN, true);
  SetDialogButton(at[kCancel], VK_ESCAPE, true);
  CreateControlWindow(form);
  EXPECT_TRUE(BringToFront(form->Handle));
  const struct { int from; WORD key; bool hideOk, disableOk; const char* pressed; int focusAfter; } rows[] = {
      {kOk, VK_RETURN, 0, 0, "OK", kOk},
      {kLabel, VK_RETURN, 0, 0, "OK", kOk},
      {kCheck, VK_RETURN, 0, 0, "", kCheck},
      {kCheck, VK_ESCAPE, 0, 0, "Cancel", kCancel},
      {kLabel, VK_RETURN, 1, 0, "", kLabel},
      {kLabel, VK_RETURN, 0, 1, "", kLabel},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    pressed.clear();
    passed = 0;
    keyUps = 0;
    SetVisible(at[kOk], !row.hideOk);
    EnableWindow(at[kOk]->Handle, !row.disableOk);
    FocusControl(at[row.from], true);
    PressKey(row.key);
    EXPECT_TRUE(WaitUntil([] { return keyUps > 0; }));
    EXPECT_EQ(pressed, row.pressed);
    EXPECT_EQ(GetFocus(), at[row.focusAfter]->Handle);
    EXPECT_EQ(passed, !*row.pressed);  // a key that presses no button passes on
  }
  MainControl = nullptr;
  LoopActive = 0;
  Dispose(form);
}

TEST(Splitter, DragStaysWithinLimitsEscapeUndoes) {
  // 88 = 300 client - 4 splitter - 4 x 2 margin - 200 kept for the rest
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
