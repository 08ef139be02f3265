// The splitter under the real mouse and keys.
#include <gtest/gtest.h>

#include "test_support.h"
#include "toolkit/toolkit.h"

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
