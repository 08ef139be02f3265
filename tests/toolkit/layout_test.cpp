#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "toolkit/toolkit.h"

enum { kOk, kCancel, kCheck, kLabel };

std::string pressed;
void Press(void*, Control* sender) { pressed += sender->Caption; }

// Installed before the dialog keys, whose hook must chain to it.
int keyUps;
bool CountKeyUps(void*, WindowMessage* m, LRESULT*) {
  keyUps += m->Msg == WM_KEYUP;
  return false;
}

// A key that presses no button passes on to the focused control.
bool NotePassed(Control*, WindowMessage* m, LRESULT*) {
  if (m->Msg == WM_KEYUP && m->WParam != VK_SPACE) pressed += '-';
  return false;
}

TEST(DialogKeys, TabMovesTheFocusEnterAndEscapePress) {
  Control* form = NewForm(nullptr, "dialog");
  Control* at[] = {NewButton(form, "OK"), NewButton(form, "Cancel"), NewCheckBox(form, "C"), NewLabel(form, "L")};
  for (Control* c : at) c->OnClick = {Press, nullptr};
  for (Control* c : at) AddMessageHandler(c, NotePassed);
  form->MessageHook = {CountKeyUps, nullptr};
  MainControl = form;
  LoopActive = 1;
  SetDialogButton(at[kOk], VK_RETURN, true);
  SetDialogButton(at[kCancel], VK_ESCAPE, true);
  CreateControlWindow(form);
  EXPECT_TRUE(BringToFront(form->Handle));
  const struct {
    int from;
    WORD key;
    bool hideOk;
    bool disableOk;
    const char* pressed;
    int focusAfter;
  } rows[] = {
      {kOk, VK_RETURN, 0, 0, "OK", kOk},
      {kCheck, VK_ESCAPE, 0, 0, "Cancel", kCancel},
      {kLabel, VK_RETURN, 1, 0, "-", kLabel},
      {kLabel, VK_RETURN, 0, 1, "-", kLabel},
      {kCheck, VK_TAB, 1, 0, "-", kCancel},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    pressed.clear();
    keyUps = 0;
    SetVisible(at[kOk], !row.hideOk);
    EnableWindow(at[kOk]->Handle, !row.disableOk);
    FocusControl(at[row.from], true);
    PressKey(row.key);
    EXPECT_TRUE(WaitUntil([] { return keyUps > 0; }));
    EXPECT_EQ(pressed, row.pressed);
    EXPECT_EQ(GetFocus(), at[row.focusAfter]->Handle);
    EXPECT_EQ((GetWindowLongA(at[kOk]->Handle, GWL_STYLE) & BS_DEFPUSHBUTTON) != 0, row.focusAfter == kOk);
  }
  MainControl = nullptr;
  LoopActive = 0;
  Dispose(form);
}

TEST(Splitter, DragStaysWithinLimitsEscapeUndoes) {
  // 88 = 300 client - 4 splitter - 4 x 2 margin - 200 kept for the rest
  const struct {
    Alignment align;
    int dx;
    int dy;
    int minBefore;
    int minAfter;
    int dragged;
    bool escape;
  } rows[] = {
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
    SendMouse(to);
    EXPECT_TRUE(WaitUntil([&] { return along() == row.dragged; }));
    if (row.escape) {
      // Polled; a late focus event syncs keys with X, which never saw it.
      EXPECT_TRUE(WaitUntil([&] {
        SendKey(VK_ESCAPE);
        return along() == 50 && !GetCapture();
      }));
      SendKey(VK_ESCAPE, true);
    }
    SendMouse(to, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([] { return !GetCapture(); }));
    EXPECT_EQ(along(), row.escape ? 50 : row.dragged);
    Dispose(form);
  }
}
