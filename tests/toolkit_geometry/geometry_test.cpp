#include <gtest/gtest.h>

#include "toolkit_support/toolkit_test_support.h"

namespace {

// Counts the messages through which a setter reaches the window; keeps the real mouse's hit-test.
int windowCalls;
UINT lastHit;
bool Watch(Control*, WindowMessage* m, LRESULT*) {
  UINT msg = m->Msg;
  windowCalls += msg == WM_WINDOWPOSCHANGING || msg == WM_STYLECHANGING || msg == WM_SETICON;
  if (msg == WM_SETCURSOR) lastHit = LOWORD(m->LParam);
  return false;
}

struct Geometry : ::testing::Test {
  Control* form = SetPosition(NewForm(nullptr, "geometry"), 100, 100);
  ~Geometry() override { Dispose(form); }
};

}  // namespace

TEST_F(Geometry, SettersTouchTheWindowOnlyWhenTheValueChangesAndAReplacedIconIsDestroyed) {
  HICON icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
  SetIcon(SetClientSize(form, 200, 100), icon);
  SetIcon(form, kNoIcon);
  ICONINFO info;
  EXPECT_FALSE(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0) || GetIconInfo(icon, &info));
  AddMessageHandler(form, Watch);
  const LONG height = GetHeight(form);
  const struct { const char* what; void (*act)(Control*); bool reaches; } rows[] = {
      {"SetSize 0 0", [](Control* c) { SetSize(c, 0, 0); }, false},
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
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    windowCalls = 0;
    row.act(form);
    EXPECT_EQ(windowCalls > 0, row.reaches);
  }
  EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges({100, 100, 250, 100 + height}));
}

TEST_F(Geometry, WithoutAWindowSettersOnlyRecordAndChain) {
  Control* other = NewForm(nullptr, "record");
  EXPECT_EQ(SetSize(SetPosition(other, 0, 30), 89, 40), other);
  Hide(other);
  SetCaption(other, nullptr);
  EXPECT_EQ(std::make_tuple(other->Handle, Edges(other->Bounds), std::string(other->Caption)),
            std::make_tuple(HWND(), Edges({0, 30, 89, 70}), std::string()));
  // Only the top moved; hidden by the program, the flags say so.
  EXPECT_EQ(std::vector<int>({other->MovedFlags, other->Visible, other->VisibleSet,
                              int(other->Style & WS_VISIBLE)}), std::vector<int>({2, 0, 1, 0}));
  Dispose(other);
}

TEST_F(Geometry, ClientSizeIsExactWithTheSettingsWindowStylesAndStaysFixedUnderTheMouse) {
  SetExStyle(form, form->ExStyle | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
  SetStyle(form, form->Style & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  SetResizable(form, false);
  EXPECT_EQ(form->Style & WS_THICKFRAME, 0u);
  EXPECT_EQ(SetClientSize(form, 220, 108), form);
  EXPECT_EQ(Edges(GetClientArea(form)), Edges({0, 0, 220, 108}));
  // The fixed size followed the program's own resize and is all the system may use.
  RECT fixed = WindowRect(form->Handle);
  MINMAXINFO info = {};
  SendMessageA(form->Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::make_pair(info.ptMinTrackSize.x, info.ptMaxTrackSize.y),
            std::make_pair(fixed.right - fixed.left, fixed.bottom - fixed.top));
  SetWindowPos(form->Handle, 0, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges(fixed));
  // With the sizing frame back, only the fixed size keeps the border from sizing.
  SetStyle(form, form->Style | WS_THICKFRAME);
  SetVisible(form, true);
  AddMessageHandler(form, Watch);
  ASSERT_TRUE(SendMouse(CentreOf(form->Handle)));
  ASSERT_TRUE(PumpUntil([] { return lastHit == HTCLIENT; }));
  ASSERT_TRUE(SendMouse({fixed.right - 2, (fixed.top + fixed.bottom) / 2}));
  ASSERT_TRUE(PumpUntil([] { return lastHit != HTCLIENT; }));
  EXPECT_EQ(lastHit, UINT(HTBORDER));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(Geometry, CenterOnParentHalvesTheFreeSpaceWithAnArithmeticShift) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  const struct { LONG width, left; } rows[] = {{225, 399}, {1024 + 5, -3}, {1024, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width);
    EXPECT_EQ(CenterOnParent(SetSize(form, row.width, 101)), form);
    EXPECT_EQ(Edges(WindowRect(form->Handle)), Edges({row.left, 333, row.left + row.width, 434}));
  }
  // A child centres in its parent's client area, and its bounds are relative to that.
  Control* child = SetSize(NewLabel(SetClientSize(form, 220, 108), ""), 51, 20);
  EXPECT_EQ(Edges(GetBoundsRect(CenterOnParent(child))), Edges({84, 44, 135, 64}));
}
