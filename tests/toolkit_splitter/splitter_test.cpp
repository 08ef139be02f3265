#include <gtest/gtest.h>

#include "toolkit_support/toolkit_test_support.h"

namespace {

// Wine maps absolute coordinates back by truncation, so round the normalised value up.
void SendMouse(POINT p, DWORD buttons) {
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (p.x * 65536 + w - 1) / w;
  in.mi.dy = (p.y * 65536 + h - 1) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &in, sizeof(in));
  ASSERT_TRUE(PumpUntil([&] {
    POINT q;
    GetCursorPos(&q);
    return q.x == p.x && q.y == p.y;
  }));
  PumpQueued();
}

void SendKey(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof(in));
}

POINT CentreOf(Control* ctl) {
  RECT r;
  GetWindowRect(ctl->Handle, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT Offset(POINT p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

struct Layout {
  Control* form;
  Control* prev;  // 60 x 50, the control the splitter resizes
  Control* splitter;
};

// A shown 300 x 300 form with prev docked by align (undocked prev and splitter are placed
// apart), then the splitter.
Layout MakeLayout(uint8_t align, int32_t minBefore, int32_t minAfter) {
  Layout l;
  l.form = NewForm(nullptr, "split");
  SetPosition(l.form, 100, 100);
  SetClientSize(l.form, 300, 300);
  l.prev = NewPanel(l.form, 2);
  SetSize(l.prev, 60, 50);
  SetAlign(l.prev, align);
  l.splitter = NewSplitter(l.form, minBefore, minAfter);
  if (align == 0) SetSize(SetPosition(l.splitter, 2, 100), 155, 2);  // the separator line
  CreateControlWindow(l.form);
  PumpQueued();
  return l;
}

int32_t SizeAlong(Control* ctl, uint8_t align) {
  return align == 2 || align == 4 ? GetHeight(ctl) : GetWidth(ctl);
}

}  // namespace

TEST(Splitter, DragResizesThePreviousControlWithinBothMinimumSizes) {
  const struct { uint8_t align; int dx, dy; int32_t minBefore, minAfter, expected; } cases[] = {
      {2, 0, 10, 0, 0, 60},   {2, 0, -10, 0, 0, 40},  {4, 0, 10, 0, 0, 40},
      {4, 0, -10, 0, 0, 60},  {1, 10, 0, 0, 0, 70},   {3, 10, 0, 0, 0, 50},
      {0, 10, 0, 0, 0, 70},   {0, -10, 0, 0, 0, 50},  {2, 0, -40, 20, 0, 20},
      // 300 client - 4 splitter - 4 x 2 margin - 200 left for the rest = 88
      {2, 0, 60, 0, 200, 88},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "align " << int(c.align) << " by " << c.dx << "," << c.dy);
    Layout l = MakeLayout(c.align, c.minBefore, c.minAfter);
    ASSERT_EQ(l.splitter->Align, c.align);
    ASSERT_EQ(SizeAlong(l.prev, c.align), c.align == 2 || c.align == 4 ? 50 : 60);
    POINT start = CentreOf(l.splitter);
    SendMouse(start, 0);
    SendMouse(start, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return l.splitter->Dragging != 0; }));
    EXPECT_EQ(GetCapture(), l.splitter->Handle);
    SendMouse(Offset(start, c.dx, c.dy), 0);
    bool vertical = c.align == 2 || c.align == 4;
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, vertical ? IDC_SIZENS : IDC_SIZEWE));
    SendMouse(Offset(start, c.dx, c.dy), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return l.splitter->Dragging == 0; }));
    EXPECT_EQ(SizeAlong(l.prev, c.align), c.expected);
    if (c.align == 2) {
      EXPECT_EQ(GetBoundsRect(l.splitter).top, GetBoundsRect(l.prev).bottom + 2);
    }
    EXPECT_EQ(GetCapture(), nullptr);
    Dispose(l.form);
  }
}

TEST(Splitter, EscapeDuringADragRestoresTheStartSizeAndEndsTheDrag) {
  Layout l = MakeLayout(2, 0, 0);
  POINT start = CentreOf(l.splitter);
  SendMouse(start, 0);
  SendMouse(start, MOUSEEVENTF_LEFTDOWN);
  SendMouse(Offset(start, 0, 10), 0);
  ASSERT_EQ(GetHeight(l.prev), 60);
  // GetAsyncKeyState sees only input that went through the system's queue.
  SendKey(VK_ESCAPE, false);
  bool restored = PumpUntil([&] { return GetHeight(l.prev) == 50 && !l.splitter->Dragging; });
  SendKey(VK_ESCAPE, true);
  ASSERT_TRUE(restored);
  EXPECT_EQ(GetCapture(), nullptr);
  SendMouse(Offset(start, 0, 30), 0);
  SendMouse(Offset(start, 0, 30), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(GetHeight(l.prev), 50);
  Dispose(l.form);
}

TEST(Splitter, FirstChildKeepsTheInheritedCursorResizesItselfAndTakesTheMouseOnItsEdge) {
  Control* form = NewForm(nullptr, "split");
  HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  form->CursorHandle = hand;
  SetPosition(form, 100, 100);
  SetClientSize(form, 300, 300);
  Control* splitter = NewSplitter(form, 0, 0);
  EXPECT_EQ(splitter->Align, 0);
  EXPECT_EQ(splitter->CursorHandle, hand);
  SetSize(SetPosition(splitter, 20, 20), 4, 40);
  CreateControlWindow(form);
  PumpQueued();

  RECT r;
  GetWindowRect(splitter->Handle, &r);
  LPARAM edge = MAKELPARAM(r.left, r.top), outside = MAKELPARAM(r.right + 5, r.top);
  ASSERT_NE(DefWindowProcA(splitter->Handle, WM_NCHITTEST, 0, edge), HTCLIENT);
  EXPECT_EQ(SendMessageA(splitter->Handle, WM_NCHITTEST, 0, edge), HTCLIENT);
  EXPECT_EQ(SendMessageA(splitter->Handle, WM_NCHITTEST, 0, outside), HTNOWHERE);

  POINT start = CentreOf(splitter);
  SendMouse(start, 0);
  SendMouse(start, MOUSEEVENTF_LEFTDOWN);
  SendMouse(Offset(start, 10, 0), 0);
  SendMouse(Offset(start, 10, 0), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(GetWidth(splitter), 14);
  Dispose(form);
}
