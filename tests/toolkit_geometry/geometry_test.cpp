#include <gtest/gtest.h>

#include <functional>

#include "toolkit_support/toolkit_test_support.h"

namespace {

// Messages through which a setter would reach the window.
int windowCalls;
UINT lastHitTest;
bool CountWindowCalls(Control*, WindowMessage* m, LRESULT*) {
  if (m->Msg == WM_WINDOWPOSCHANGING || m->Msg == WM_STYLECHANGING || m->Msg == WM_SETICON)
    ++windowCalls;
  if (m->Msg == WM_SETCURSOR) lastHitTest = LOWORD(m->LParam);
  return false;
}

struct FormFixture : ::testing::Test {
  Control* form = nullptr;
  void SetUp() override {
    ResetToolkitState();
    form = NewForm(nullptr, "geometry");
    SetPosition(form, 100, 100);
  }
  void TearDown() override {
    Dispose(form);
    ResetToolkitState();
  }
};

void MoveMouse(int x, int y) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
  in.mi.dy = (y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

}  // namespace

TEST_F(FormFixture, SettersTouchTheWindowOnlyWhenTheValueChanges) {
  SetClientSize(form, 200, 100);
  SetIcon(form, kNoIcon);
  AddMessageHandler(form, CountWindowCalls);
  struct Row {
    const char* what;
    std::function<void(Control*)> act;
    bool reachesWindow;
  } rows[] = {
      {"SetSize 0 0", [](Control* c) { SetSize(c, 0, 0); }, false},
      {"SetBoundsRect current", [](Control* c) { SetBoundsRect(c, GetBoundsRect(c)); }, false},
      {"SetPosition current", [](Control* c) { SetPosition(c, 100, 100); }, false},
      {"SetClientSize 0 -5", [](Control* c) { SetClientSize(c, 0, -5); }, false},
      {"SetStyle same", [](Control* c) { SetStyle(c, c->Style); }, false},
      {"SetExStyle same", [](Control* c) { SetExStyle(c, c->ExStyle); }, false},
      {"SetEdgeStyle applied", [](Control* c) { SetEdgeStyle(c, c->EdgeStyle.Applied); }, false},
      {"SetResizable current", [](Control* c) { SetResizable(c, true); }, false},
      {"SetIcon same", [](Control* c) { SetIcon(c, kNoIcon); }, false},
      {"SetSize 150 0", [](Control* c) { SetSize(c, 150, 0); }, true},
      {"SetStyle other", [](Control* c) { SetStyle(c, c->Style & ~WS_MAXIMIZEBOX); }, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RECT before = GetBoundsRect(form);
    windowCalls = 0;
    row.act(form);
    EXPECT_EQ(windowCalls > 0, row.reachesWindow);
    if (!row.reachesWindow) {
      EXPECT_TRUE(EqualRect(&before, &form->Bounds));
    }
  }
  RECT r;
  GetWindowRect(form->Handle, &r);
  EXPECT_EQ(r.right - r.left, 150);  // "SetSize 150 0" kept the height
  EXPECT_EQ(r.bottom - r.top, form->Bounds.bottom - form->Bounds.top);
}

TEST_F(FormFixture, WithoutWindowSettersOnlyRecord) {
  Control* other = NewForm(nullptr, "record");
  EXPECT_EQ(SetPosition(other, 0, 30), other);
  EXPECT_EQ(other->MovedFlags, 2);  // only the top moved
  EXPECT_EQ(SetSize(other, 89, 40), other);
  Hide(other);
  SetCaption(other, nullptr);
  EXPECT_EQ(other->Handle, nullptr);
  EXPECT_EQ(other->Bounds.right, 89);
  EXPECT_EQ(other->Bounds.bottom, 70);
  EXPECT_EQ(other->Visible, 0);
  EXPECT_EQ(other->VisibleSet, 1);
  EXPECT_EQ(other->Style & WS_VISIBLE, 0u);
  ASSERT_NE(other->Caption, nullptr);
  EXPECT_STREQ(other->Caption, "");
  Dispose(other);
}

TEST_F(FormFixture, ClientSizeIsExactWithTheSettingsWindowStyles) {
  SetExStyle(form, form->ExStyle | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
  SetStyle(form, form->Style & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  SetResizable(form, false);
  EXPECT_EQ(form->Style & WS_THICKFRAME, 0u);
  EXPECT_EQ(SetClientSize(form, 220, 108), form);
  RECT client;
  GetClientRect(form->Handle, &client);
  EXPECT_EQ(client.right, 220);
  EXPECT_EQ(client.bottom, 108);
  // The fixed size followed the program's own resize and is what the system may use.
  MINMAXINFO info = {};
  SendMessageA(form->Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, GetWidth(form));
  EXPECT_EQ(info.ptMaxTrackSize.y, GetHeight(form));
  SetWindowPos(form->Handle, 0, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(form->Handle, &client);
  EXPECT_EQ(client.right, 220);
}

TEST_F(FormFixture, CenterOnParentHalvesTheFreeSpaceWithAnArithmeticShift) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  struct Row {
    int width, left;
  } rows[] = {{225, 399}, {1024 + 5, -3}, {1024, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.width);
    EXPECT_EQ(CenterOnParent(SetSize(form, row.width, 101)), form);
    RECT r;
    GetWindowRect(form->Handle, &r);
    EXPECT_EQ(r.left, row.left);
    EXPECT_EQ(r.top, (768 - 101) >> 1);
  }
  SetClientSize(form, 220, 108);
  Control* child = SetSize(NewLabel(form, ""), 51, 20);
  CenterOnParent(child);
  EXPECT_EQ(GetBoundsRect(child).left, (220 - 51) >> 1);
  EXPECT_EQ(GetBoundsRect(child).top, (108 - 20) >> 1);
}

TEST_F(FormFixture, FixedBorderHitsAsBorderUnderTheRealMouse) {
  SetClientSize(form, 200, 100);
  SetVisible(form, true);
  AddMessageHandler(form, CountWindowCalls);
  RECT r;
  GetWindowRect(form->Handle, &r);
  int y = (r.top + r.bottom) / 2;
  struct Row {
    bool resizable;
    UINT hit;
    LPCSTR cursor;
  } rows[] = {{true, HTRIGHT, IDC_SIZEWE}, {false, HTBORDER, IDC_ARROW}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.resizable);
    SetResizable(form, row.resizable);
    // Put the sizing frame back: only the fixed size may stop the sizing now.
    SetStyle(form, form->Style | WS_THICKFRAME);
    MoveMouse((r.left + r.right) / 2, y);
    ASSERT_TRUE(PumpUntil([] { return lastHitTest == HTCLIENT; }));
    MoveMouse(r.right - 2, y);
    ASSERT_TRUE(PumpUntil([] { return lastHitTest != HTCLIENT; }));
    EXPECT_EQ(lastHitTest, row.hit);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, row.cursor));
  }
}

TEST_F(FormFixture, BoundsOfAChildAreRelativeToTheParentClient) {
  Control* button = SetPosition(NewButton(form, "b"), 10, 20);
  EnsureHandle(button);
  RECT r = GetBoundsRect(button);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.bottom, 42);  // a button is 22 high
  RECT screen;
  GetWindowRect(button->Handle, &screen);
  EXPECT_NE(screen.left, 10);
}

TEST_F(FormFixture, IconReplacedByNoIconIsDestroyed) {
  EnsureHandle(form);
  BYTE andMask[128], xorMask[128] = {};
  memset(andMask, 0xFF, sizeof andMask);
  HICON icon = CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask);
  SetIcon(form, icon);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0)), icon);
  SetIcon(form, kNoIcon);
  EXPECT_EQ(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0), 0);
  ICONINFO info;
  EXPECT_FALSE(GetIconInfo(icon, &info));
  SetCaption(form, "Tarvo");
  char text[16] = {};
  GetWindowTextA(form->Handle, text, sizeof text);
  EXPECT_STREQ(text, "Tarvo");
}
