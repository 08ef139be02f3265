#include <gtest/gtest.h>

#include "toolkit_support/toolkit_test_support.h"

namespace {

Control* NewSplitForm() {
  return SetClientSize(SetPosition(NewForm(nullptr, "split"), 100, 100), 300, 300);
}

// Shows the splitter's form, presses on its centre and moves by (dx, dy); answers the end point.
POINT Drag(Control* splitter, int dx, int dy) {
  CreateControlWindow(splitter->Parent);
  POINT p = CentreOf(splitter->Handle);
  SendMouse(p);
  SendMouse(p, MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(PumpUntil([&] { return splitter->Dragging && GetCapture() == splitter->Handle; }));
  SendMouse({p.x + dx, p.y + dy});
  return {p.x + dx, p.y + dy};
}

}  // namespace

TEST(Splitter, DragResizesThePreviousControlWithinBothMinimumSizesAndEscapeRestoresIt) {
  const struct { uint8_t align; int dx, dy, minBefore, minAfter, expected; bool escape; } rows[] = {
      {2, 0, 10, 0, 0, 60, false},  {2, 0, -10, 0, 0, 40, false}, {4, 0, 10, 0, 0, 40, false},
      {4, 0, -10, 0, 0, 60, false}, {1, 10, 0, 0, 0, 70, false},  {3, 10, 0, 0, 0, 50, false},
      {0, 10, 0, 0, 0, 70, false},  {0, -10, 0, 0, 0, 50, false}, {2, 0, -40, 20, 0, 20, false},
      // 300 client - 4 splitter - 4 x 2 margin - 200 left for the rest = 88
      {2, 0, 60, 0, 200, 88, false}, {2, 0, 10, 0, 0, 60, true}
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    Control* form = NewSplitForm();
    Control* prev = SetAlign(SetSize(NewPanel(form, 2), 60, 50), row.align);
    Control* splitter = NewSplitter(form, row.minBefore, row.minAfter);
    // Undocked, prev and a separator line below it stand apart; the line is all sunken edge.
    if (row.align == 0) SetSize(SetPosition(splitter, 2, 100), 155, 2);
    bool vertical = row.align == 2 || row.align == 4;
    auto along = [&] { return vertical ? GetHeight(prev) : GetWidth(prev); };
    POINT end = Drag(splitter, row.dx, row.dy);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, vertical ? IDC_SIZENS : IDC_SIZEWE));
    EXPECT_TRUE(PumpUntil([&] { return along() == row.expected; })) << "while dragged";
    if (row.escape) {
      // The splitter polls the key's state, which only input through the system's queue sets.
      SendKey(VK_ESCAPE);
      EXPECT_TRUE(PumpUntil([&] { return !splitter->Dragging && along() == 50; }));
      SendKey(VK_ESCAPE, true);
    }
    SendMouse(end, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return !splitter->Dragging && !GetCapture(); }));
    EXPECT_EQ(along(), row.escape ? 50 : row.expected);
    if (row.align == 2) {
      EXPECT_EQ(GetBoundsRect(splitter).top, GetBoundsRect(prev).bottom + 2);
    }
    Dispose(form);
  }
}

// A first child has no neighbour before it: it sizes itself, with the cursor it inherited.
TEST(Splitter, FirstChildKeepsTheInheritedCursorAndResizesItself) {
  Control* form = NewSplitForm();
  form->CursorHandle = LoadCursorA(nullptr, IDC_HAND);
  Control* splitter = SetSize(SetPosition(NewSplitter(form, 0, 0), 20, 20), 4, 40);
  EXPECT_EQ(std::make_pair(splitter->Align, splitter->CursorHandle),
            std::make_pair(uint8_t(0), form->CursorHandle));
  SendMouse(Drag(splitter, 10, 0), MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(GetWidth(splitter), 14);
  Dispose(form);
}
