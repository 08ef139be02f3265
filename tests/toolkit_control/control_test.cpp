// Construction of controls: start values, the kinds' styles and bounds, the
// tab-stop bookkeeping, child identifiers and the tree.
#include <gtest/gtest.h>

#include <string>

#include "toolkit_support/toolkit_test_support.h"

namespace {

// Read before any test has made a child.
const uint16_t kIdAtStart = NextControlId;

struct FormFixture : ::testing::Test {
  void SetUp() override {
    ResetToolkitState();
    form = NewForm(nullptr, "F");
  }
  void TearDown() override {
    DisposeIfAny(form);
    ResetToolkitState();
  }
  Control* form = nullptr;
};

bool SameRect(const RECT& r, LONG l, LONG t, LONG rt, LONG b) {
  return r.left == l && r.top == t && r.right == rt && r.bottom == b;
}

TEST(ControlDefaults, ParentlessFormKeepsTheTable) {
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "Caption");
  EXPECT_TRUE(SameRect(form->Bounds, 0, 0, 0, 0));
  EXPECT_EQ(form->EdgeStyle.Requested, 1);
  EXPECT_EQ(form->EdgeStyle.Applied, 1);
  EXPECT_EQ(form->FontColor, 0x80000008u);
  EXPECT_EQ(form->Color, 0x8000000Fu);
  EXPECT_EQ(form->ClassStyle, static_cast<UINT>(CS_OWNDC | CS_DBLCLKS));
  EXPECT_EQ(form->Style, 0x16CF0000u);
  EXPECT_EQ(form->ExStyle, static_cast<DWORD>(WS_EX_CONTROLPARENT));
  EXPECT_EQ(form->Visible, 1);
  EXPECT_EQ(form->AlignMargin, 2);
  EXPECT_EQ(form->IsForm, 1);
  EXPECT_EQ(form->IsChild, 0);
  EXPECT_EQ(form->CtlId, 0u);
  EXPECT_EQ(form->Font, nullptr);
  EXPECT_STREQ(form->WndClassName, "Form");
  EXPECT_STREQ(form->Caption, "Caption");
  EXPECT_EQ(form->Children->Count, 0);
  // The form handler and the background eraser, two values each.
  ASSERT_EQ(form->Handlers->Count, 4);
  EXPECT_EQ(form->Handlers->Items[0], reinterpret_cast<intptr_t>(FormMessageHandler));
  EXPECT_EQ(form->Handlers->Items[2], reinterpret_cast<intptr_t>(EraseBackgroundHandler));
  EXPECT_EQ(form->PreHandler, RunMessageHandlers);

  // The record, its two lists and nothing else.
  EXPECT_EQ(LiveObjectCount, live + 3);
  Dispose(form);
  EXPECT_EQ(LiveObjectCount, live);
}

TEST_F(FormFixture, ChildKindsGetTheirStylesBoundsAndTemplates) {
  struct Row {
    const char* name;
    Control* ctl;
    DWORD style;
    DWORD exStyle;
    RECT bounds;
    const char* className;
    uint8_t tabStop, isButton, redrawOnCaption;
    uint16_t textPadX, textPadY;
  };
  const DWORD clip = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Row rows[] = {
      {"button", NewButton(form, "B"), 0x50011000 | clip, WS_EX_CONTROLPARENT, {2, 2, 66, 24},
       "BUTTON", 1, 1, 0, 14, 0},
      // The check box's style replaces the button's whole, clip bits included.
      {"check box", NewCheckBox(form, "C"), 0x50010003, WS_EX_CONTROLPARENT, {2, 2, 74, 24},
       "BUTTON", 1, 1, 0, 24, 0},
      {"label", NewLabel(form, "L"), 0x5000018C | clip, WS_EX_CONTROLPARENT, {2, 2, 66, 24},
       "STATIC", 0, 0, 1, 1, 1},
      {"panel 0", NewPanel(form, 0), 0x5000018C | clip | WS_DLGFRAME, WS_EX_CONTROLPARENT,
       {2, 2, 102, 102}, "STATIC", 0, 0, 0, 1, 1},
      {"panel 1", NewPanel(form, 1), 0x5000018C | clip | SS_SUNKEN, WS_EX_CONTROLPARENT,
       {2, 2, 102, 102}, "STATIC", 0, 0, 0, 1, 1},
      {"panel 2", NewPanel(form, 2), 0x5000018C | clip, WS_EX_CONTROLPARENT, {2, 2, 102, 102},
       "STATIC", 0, 0, 0, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Control* c = row.ctl;
    EXPECT_EQ(c->Style, row.style);
    EXPECT_EQ(c->ExStyle, row.exStyle);
    EXPECT_TRUE(SameRect(c->Bounds, row.bounds.left, row.bounds.top, row.bounds.right,
                         row.bounds.bottom))
        << c->Bounds.left << "," << c->Bounds.top << "," << c->Bounds.right << ","
        << c->Bounds.bottom;
    EXPECT_STREQ(c->WndClassName, row.className);
    EXPECT_EQ(c->TabStop, row.tabStop);
    EXPECT_EQ(c->IsButton, row.isButton);
    EXPECT_EQ(c->RedrawOnCaption, row.redrawOnCaption);
    EXPECT_EQ(c->RedrawOnResize, row.redrawOnCaption);
    EXPECT_EQ(c->Template.TextPadX, row.textPadX);
    EXPECT_EQ(c->Template.TextPadY, row.textPadY);
    EXPECT_EQ(c->IsChild, 1);
    EXPECT_EQ(c->Visible, 1);
    EXPECT_EQ(c->Parent, form);
    // The parent asks for the sunken look, the kinds wish for none.
    EXPECT_EQ(c->EdgeStyle.Requested, 1);
    EXPECT_EQ(c->EdgeStyle.Applied, 0);
    // ChildColorHandler is attached to every child.
    ASSERT_EQ(c->Handlers->Count, 2);
    EXPECT_EQ(c->Handlers->Items[0], reinterpret_cast<intptr_t>(ChildColorHandler));
  }
  EXPECT_EQ(rows[0].ctl->Template.ClickCode, BN_CLICKED);
  EXPECT_EQ(rows[0].ctl->Template.OtherCodes[0], BN_SETFOCUS);
  EXPECT_EQ(rows[0].ctl->Template.OtherCodes[1], BN_KILLFOCUS);
  EXPECT_STREQ(rows[0].ctl->Caption, "B");
  EXPECT_STREQ(rows[1].ctl->Caption, "C");
  EXPECT_STREQ(rows[2].ctl->Caption, "L");
  EXPECT_EQ(form->Children->Count, 6);
}

TEST_F(FormFixture, ChildrenInheritFromTheirParent) {
  form->Color = 0x00123456;
  form->FontColor = 0x000000FF;
  form->CursorHandle = LoadCursorA(nullptr, IDC_HAND);
  form->AlignMargin = 5;
  form->ClientMargins.Top = 10;
  form->EdgeStyle.Requested = 0;
  Control* button = NewButton(form, "B");
  EXPECT_EQ(button->Color, 0x00123456u);
  EXPECT_EQ(button->FontColor, 0x000000FFu);
  EXPECT_EQ(button->CursorHandle, form->CursorHandle);
  EXPECT_EQ(button->AlignMargin, 5);
  EXPECT_TRUE(SameRect(button->Bounds, 5, 15, 69, 37));
  EXPECT_EQ(button->EdgeStyle.Requested, 0);
  EXPECT_EQ(button->EdgeStyle.Applied, 0);

  // A child form asks for the sunken look and gets it under a parent that offers it;
  // a child kind wishing for it loses WS_BORDER for the client edge.
  form->EdgeStyle.Requested = 1;
  Control* sunken = NewChildControl(form, "STATIC", WS_CHILD | WS_BORDER, nullptr, 1);
  EXPECT_EQ(sunken->EdgeStyle.Applied, 1);
  EXPECT_EQ(sunken->Style & WS_BORDER, 0u);
  EXPECT_NE(sunken->ExStyle & WS_EX_CLIENTEDGE, 0u);
  EXPECT_EQ(sunken->Visible, 0);
}

TEST_F(FormFixture, ChildFontsFollowTheFormsFont) {
  GraphicTool* font = GetFontTool(form);
  SetToolField(font, ToolColor, 0x000000FF);
  Control* label = NewLabel(form, "L");
  ASSERT_NE(label->Font, nullptr);
  EXPECT_NE(label->Font, font);
  EXPECT_EQ(label->Font->ParentTool, font);
  EXPECT_EQ(label->FontColor, 0x000000FFu);
  EXPECT_EQ(label->Font->ChangeNotify.Context, label);
  // Identical to its parent's, the copy hands out the parent's font object.
  EXPECT_EQ(ToolHandle(label->Font), ToolHandle(font));
  EXPECT_EQ(label->Font->Handle, nullptr);
}

TEST_F(FormFixture, FirstTabStopChildBecomesCurrentControl) {
  Control* label = NewLabel(form, "L");
  EXPECT_EQ(form->CurrentControl, nullptr);
  Control* panel = NewPanel(form, 2);
  Control* inner = NewButton(panel, "inner");  // finds the form through the panel
  Control* second = NewCheckBox(form, "C");
  EXPECT_EQ(form->CurrentControl, inner);
  EXPECT_EQ(FindForm(inner), form);
  EXPECT_EQ(FindForm(label), form);
  EXPECT_EQ(FindForm(form), form);
  EXPECT_EQ(second->TabStop, 1);

  // A child without a form has nothing to register with.
  Control* orphan = NewChildControl(nullptr, "BUTTON", WS_CHILD | WS_TABSTOP, nullptr, 0);
  EXPECT_EQ(FindForm(orphan), nullptr);
  EXPECT_EQ(orphan->TabStop, 1);
  Dispose(orphan);

  // Disposing the current control clears the form's reference.
  Dispose(inner);
  EXPECT_EQ(form->CurrentControl, nullptr);
  EXPECT_EQ(panel->Children->Count, 0);
}

TEST_F(FormFixture, ChildIdsCountUpFrom0x8000) {
  EXPECT_EQ(kIdAtStart, 0x8000);
  uint16_t next = NextControlId;
  Control* a = NewButton(form, "A");
  Control* b = NewLabel(form, "B");
  EXPECT_EQ(a->CtlId, next);
  EXPECT_EQ(b->CtlId, static_cast<UINT>(next + 1));
  EXPECT_EQ(NextControlId, static_cast<uint16_t>(next + 2));
  Control* other = NewForm(form, "child form");
  EXPECT_EQ(other->CtlId, 0u);  // forms take no identifier
}

TEST_F(FormFixture, SetParentControlMovesBetweenLists) {
  Control* a = NewPanel(form, 2);
  Control* b = NewPanel(form, 2);
  Control* child = NewButton(a, "X");
  SetParentControl(child, a);  // same parent: nothing
  EXPECT_EQ(a->Children->Count, 1);
  SetParentControl(child, b);
  EXPECT_EQ(a->Children->Count, 0);
  ASSERT_EQ(b->Children->Count, 1);
  EXPECT_EQ(ChildAt(b, 0), child);
  EXPECT_EQ(child->Parent, b);

  // With a window the system's parent changes too; the new parent's window is made first.
  ASSERT_TRUE(CreateControlWindow(b));
  ASSERT_NE(child->Handle, nullptr);
  Control* c = NewPanel(form, 2);
  EXPECT_EQ(c->Handle, nullptr);
  SetParentControl(child, c);
  ASSERT_NE(c->Handle, nullptr);
  EXPECT_EQ(GetParent(child->Handle), c->Handle);
}

}  // namespace
