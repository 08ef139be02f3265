#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

struct Layout : ::testing::Test {
  Control* form = SetPosition(NewForm(nullptr, "layout"), 50, 50);
  ~Layout() override { Dispose(form); }
  Control* Docked(uint8_t align, int w, int h) {
    return SetAlign(SetSize(NewLabel(form, ""), w, h), align);
  }
};

using Rects = std::vector<std::array<LONG, 4>>;
Rects Placed(std::initializer_list<Control*> controls) {
  Rects placed;
  for (Control* c : controls) placed.push_back(Edges(GetBoundsRect(c)));
  return placed;
}

// The text's extent in the control's own font, measured without the toolkit; none for no text.
SIZE Measured(Control* c, const std::string& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, ToolHandle(c->Font));
  SIZE s = {};
  if (!text.empty()) GetTextExtentPoint32A(dc, text.data(), int(text.size()), &s);
  DeleteDC(dc);
  return s;
}

}  // namespace

// Runs first in this program: nothing before it may have called SetAlign.
TEST_F(Layout, LayoutHookDoesNothingUntilTheFirstSetAlign) {
  Control* top = SetSize(NewLabel(SetClientSize(form, 200, 100), ""), 30, 20);
  top->Align = 2;
  Control* other = NewLabel(form, "");
  CreateControlWindow(form);
  SetClientSize(form, 300, 100);  // WM_SIZE runs LayoutHook
  SetAlign(other, 0);  // unchanged value: nothing placed yet, but the layout is on
  EXPECT_EQ(GetWidth(top), 30);
  SetClientSize(form, 250, 100);
  EXPECT_EQ(Edges(GetBoundsRect(top)), Edges({2, 2, 248, 22}));
}

TEST_F(Layout, DockedChildrenArePlacedInThreePassesAndFollowTheParent) {
  SetClientSize(form, 300, 200);
  Control* top1 = Docked(2, 10, 20);
  Control* hidden = SetSize(NewLabel(form, ""), 10, 10);
  SetVisible(hidden, false);
  RECT hiddenAt = GetBoundsRect(SetAlign(hidden, 2));
  Control* client = Docked(5, 10, 10);
  Control* left = Docked(1, 40, 10);
  Control* top2 = Docked(2, 10, 30);
  Control* bottom = Docked(4, 10, 15);
  CreateControlWindow(form);
  EXPECT_EQ(Placed({top1, top2, bottom, left, client, hidden}),
            (Rects{{2, 2, 298, 22}, {2, 24, 298, 54}, {2, 183, 298, 198}, {2, 56, 42, 181},
                   {44, 56, 298, 181}, Edges(hiddenAt)}));
  // The parent's real resize lays them out again; a used-up area leaves later children empty.
  SetWidth(left, 250);
  SetClientSize(form, 200, 60);
  EXPECT_EQ(Placed({top1, top2, bottom, left, client}),
            (Rects{{2, 2, 198, 22}, {2, 24, 198, 54}, {2, 43, 198, 58}, {2, 56, 252, 56},
                   {254, 56, 254, 56}}));
}

TEST_F(Layout, AutoSizeAddsTheKindsPaddingToTheCaptionInItsOwnFont) {
  GraphicTool* font = GetFontTool(SetClientSize(form, 300, 200));
  SetToolField(font, ToolHeight, -12);
  SetFaceName(font, "MS UI Gothic");
  const char* open = "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";  // リンク先を開く
  // A label also takes its text's height, one pixel more; the others keep theirs.
  const struct { Control* (*make)(Control*, const char*); std::string text; bool italic; int pad; }
      rows[] = {{NewCheckBox, open, false, 24}, {NewButton, "OK", false, 14},
                {NewButton, "", false, 14},     {NewLabel, "Ver0.40", false, 1},
                {NewLabel, "", false, 1},       {NewLabel, "Ver0.40", true, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    Control* c = row.make(form, row.text.c_str());
    c->Font->Descriptor.lfItalic = row.italic;
    ToolChanged(c->Font);
    LONG height = GetHeight(c);
    EXPECT_EQ(SetAutoSize(c, true), c);
    // Italic glyphs lean out of their advance: one space more is measured.
    SIZE text = Measured(c, row.text + (row.italic ? " " : ""));
    EXPECT_EQ(std::make_pair(LONG(GetWidth(c)), LONG(GetHeight(c))),
              std::make_pair(text.cx + row.pad, row.make == NewLabel ? text.cy + 1 : height));
  }
  // A later caption sizes the control again, until auto-size is off.
  Control* check = SetAutoSize(NewCheckBox(form, open), true);
  SetCaption(check, "x");
  EXPECT_EQ(GetWidth(check), Measured(check, "x").cx + 24);
  SetAutoSize(check, false);
  SetCaption(check, open);
  EXPECT_EQ(GetWidth(check), Measured(check, "x").cx + 24);
}
