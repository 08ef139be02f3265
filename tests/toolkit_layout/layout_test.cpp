#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "toolkit_support/toolkit_test_support.h"

namespace {

struct LayoutFixture : ::testing::Test {
  Control* form = nullptr;
  void SetUp() override {
    ResetToolkitState();
    form = NewForm(nullptr, "layout");
    SetPosition(form, 50, 50);
  }
  void TearDown() override {
    Dispose(form);
    ResetToolkitState();
  }
  Control* Docked(uint8_t align, int w, int h) {
    Control* c = SetSize(NewLabel(form, ""), w, h);
    SetAlign(c, align);
    return c;
  }
};

RECT Placed(Control* c) {
  RECT r = GetBoundsRect(c);
  return r;
}

// What the caption measures in the control's own font, found independently.
SIZE Measure(Control* c, const char* text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToolHandle(c->Font));
  SIZE s = {};
  GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return s;
}

#define EXPECT_RECT(r, l, t, rr, b)                               \
  do {                                                            \
    RECT got_ = (r);                                              \
    EXPECT_EQ(got_.left, l);                                      \
    EXPECT_EQ(got_.top, t);                                       \
    EXPECT_EQ(got_.right, rr);                                    \
    EXPECT_EQ(got_.bottom, b);                                    \
  } while (0)

}  // namespace

// Runs first in this program: nothing before it may have called SetAlign.
TEST_F(LayoutFixture, LayoutHookDoesNothingUntilTheFirstSetAlign) {
  SetClientSize(form, 200, 100);
  Control* top = SetSize(NewLabel(form, ""), 30, 20);
  top->Align = 2;
  Control* other = NewLabel(form, "");
  CreateControlWindow(form);
  SetClientSize(form, 300, 100);  // WM_SIZE runs LayoutHook
  EXPECT_EQ(GetWidth(top), 30);
  SetAlign(other, 0);  // unchanged value: nothing placed yet, but the layout is on
  EXPECT_EQ(GetWidth(top), 30);
  SetClientSize(form, 250, 100);
  EXPECT_RECT(Placed(top), 2, 2, 248, 22);
}

TEST_F(LayoutFixture, DockedChildrenArePlacedInThreePasses) {
  SetClientSize(form, 300, 200);
  Control* top1 = Docked(2, 10, 20);
  Control* hidden = SetSize(NewLabel(form, ""), 10, 10);
  SetVisible(hidden, false);
  SetAlign(hidden, 2);
  Control* client = Docked(5, 10, 10);
  Control* left = Docked(1, 40, 10);
  Control* top2 = Docked(2, 10, 30);
  Control* bottom = Docked(4, 10, 15);
  CreateControlWindow(form);
  EXPECT_RECT(Placed(top1), 2, 2, 298, 22);
  EXPECT_RECT(Placed(top2), 2, 24, 298, 54);
  EXPECT_RECT(Placed(bottom), 2, 183, 298, 198);
  EXPECT_RECT(Placed(left), 2, 56, 42, 181);
  EXPECT_RECT(Placed(client), 44, 56, 298, 181);
  EXPECT_EQ(GetWidth(hidden), 10);
  // A real resize of the parent re-lays the children through WM_SIZE.
  SetClientSize(form, 200, 200);
  EXPECT_RECT(Placed(top2), 2, 24, 198, 54);
  EXPECT_RECT(Placed(client), 44, 56, 198, 181);
}

TEST_F(LayoutFixture, UsedUpAreaLeavesLaterChildrenEmptyNotNegative) {
  SetClientSize(form, 100, 60);
  Docked(2, 10, 56);
  Control* left = Docked(1, 200, 10);
  Control* client = Docked(5, 10, 10);
  EXPECT_RECT(Placed(left), 2, 60, 202, 60);
  EXPECT_EQ(GetWidth(client), 0);
  EXPECT_EQ(GetHeight(client), 0);
}

TEST_F(LayoutFixture, AutoSizeAddsTheKindsPaddingToTheCaptionInItsOwnFont) {
  GraphicTool* font = GetFontTool(form);
  SetToolField(font, ToolHeight, -12);
  SetFaceName(font, "MS UI Gothic");
  SetClientSize(form, 300, 200);
  const char* open = "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";  // リンク先を開く
  enum Kind { kCheck, kLabel, kButton };
  struct Row {
    Kind kind;
    const char* caption;
    bool italic;
    uint8_t align;
    int padX, padY;  // -1: that dimension keeps its value
  } rows[] = {
      {kCheck, open, false, 0, 24, -1},   {kLabel, "Ver0.40", false, 0, 1, 1},
      {kButton, "OK", false, 0, 14, -1},  {kLabel, "", false, 0, 1, 1},
      {kButton, "", false, 0, 14, -1},    {kLabel, "Ver0.40", true, 0, 1, 1},
      {kLabel, "Ver0.40", false, 2, -1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.kind << " '" << row.caption << "' " << row.italic
                                    << " " << int(row.align));
    Control* c = row.kind == kCheck   ? NewCheckBox(form, row.caption)
                 : row.kind == kLabel ? NewLabel(form, row.caption)
                                      : NewButton(form, row.caption);
    c->Align = row.align;
    if (row.italic) {
      c->Font->Descriptor.lfItalic = 1;
      ToolChanged(c->Font);
    }
    RECT before = GetBoundsRect(c);
    EXPECT_EQ(SetAutoSize(c, true), c);
    std::string text = row.caption;
    if (row.italic) text += ' ';
    SIZE s = *row.caption ? Measure(c, text.c_str()) : SIZE{0, 0};
    RECT r;
    GetWindowRect(c->Handle, &r);
    if (row.padX >= 0) {
      EXPECT_EQ(r.right - r.left, s.cx + row.padX);
    }
    EXPECT_EQ(r.bottom - r.top, row.padY >= 0 ? s.cy + row.padY : before.bottom - before.top);
  }
  // A later caption change sizes again through the window's text.
  Control* check = SetAutoSize(NewCheckBox(form, open), true);
  SetCaption(check, "x");
  EXPECT_EQ(GetWidth(check), Measure(check, "x").cx + 24);
  SetAutoSize(check, false);
  SetCaption(check, open);
  EXPECT_EQ(GetWidth(check), Measure(check, "x").cx + 24);
}
