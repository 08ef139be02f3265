#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/control.h"

// One letter per ChangeNotify: A while the font the tool held is still alive,
// d once it is deleted.
HGDIOBJ gHeld;
std::string gNotes;
void Note(void*, GraphicTool*) { gNotes += GetObjectType(gHeld) ? 'A' : 'd'; }
GraphicTool* Watched() {
  GraphicTool* tool = NewFontTool();
  tool->ChangeNotify = {Note, nullptr};
  return gHeld = ToolHandle(tool), gNotes.clear(), tool;
}
LOGFONTA FontOf(HGDIOBJ font) { LOGFONTA lf = {}; return GetObjectA(font, sizeof lf, &lf), lf; }

TEST(ColorTest, ResolvesSystemColoursByTheLowByte) {
  const struct { ColorValue value; COLORREF expected; } cases[] = {
      {0x00FF0000, 0x00FF0000}, {0, 0}, {0x8000010F, GetSysColor(COLOR_BTNFACE)},
      {clWindowText, GetSysColor(COLOR_WINDOWTEXT)}, {0xFF000005, GetSysColor(COLOR_WINDOW)}};
  for (const auto& c : cases) EXPECT_EQ(ResolveColor(c.value), c.expected) << std::hex << c.value;
}

TEST(FontToolTest, EachChangeIsToldAroundTheDeletionAndOnlyOnce) {
  const struct { const char* what; void (*change)(GraphicTool*); } cases[] = {
      {"height", [](GraphicTool* t) { SetToolField(t, ToolHeight, -12); }},
      {"weight", [](GraphicTool* t) { SetToolField(t, ToolWeight, FW_BOLD); }},
      {"colour", [](GraphicTool* t) { SetToolField(t, ToolColor, 0x000000FF); }},
      {"face, compared case-sensitively", [](GraphicTool* t) { SetFaceName(t, "ms sans serif"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GraphicTool* tool = Watched();
    c.change(tool);
    c.change(tool);
    EXPECT_EQ(gNotes, "Ad");
    Dispose(tool);
  }
  GraphicTool* tool = Watched();
  EXPECT_STREQ(FontOf(gHeld).lfFaceName, "MS Sans Serif");
  EXPECT_EQ(ToolHandle(tool), gHeld) << "made once";
  SetFaceName(tool, std::string(40, 'F').c_str());
  EXPECT_EQ(std::string(tool->Descriptor.lfFaceName, LF_FACESIZE), std::string(31, 'F') + '\0');
  SetFaceName(tool, "A");
  EXPECT_EQ(std::string(tool->Descriptor.lfFaceName, LF_FACESIZE), "A" + std::string(31, '\0'));
  EXPECT_EQ(gNotes, "Add") << "no font held after the first change: told once";
  Dispose(tool);
  EXPECT_EQ(GetObjectType(gHeld), 0u);
}

TEST(FontToolTest, CopySharesItsDirectParentsFontWhileIdentical) {
  GraphicTool* parent = NewFontTool();
  GraphicTool* child = AssignTool(nullptr, parent);
  GraphicTool* grandchild = AssignTool(nullptr, child);
  child->ParentTool = parent, grandchild->ParentTool = child;
  HGDIOBJ shared = ToolHandle(grandchild);
  EXPECT_EQ(ToolHandle(parent), shared);
  // The child changes: the grandchild, compared with its direct parent only, makes its own.
  SetToolField(child, ToolHeight, -12);
  HGDIOBJ own = ToolHandle(child), grand = ToolHandle(grandchild);
  EXPECT_EQ((std::vector<LONG>{FontOf(own).lfHeight, FontOf(grand).lfHeight}), (std::vector<LONG>{-12, 0}));
  EXPECT_NE(grand, shared);
  SetToolField(child, ToolHeight, 0);
  EXPECT_EQ(GetObjectType(own), 0u);
  EXPECT_EQ(ToolHandle(child), shared) << "identical again: shares again";
  Dispose(grandchild), Dispose(child);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT)) << "a sharing tool owns nothing";
  Dispose(parent);
}

void RemakeWhileTold(void* made, GraphicTool* tool) { *static_cast<HGDIOBJ*>(made) = ToolHandle(tool); }

TEST(FontToolTest, SystemColourChangeRemakesTheFont) {
  INT index = COLOR_WINDOWTEXT;
  COLORREF saved = GetSysColor(index), other = saved ^ 0x00FFFFFF;
  GraphicTool* tool = Watched();
  ASSERT_TRUE(SetSysColors(1, &index, &other));
  HGDIOBJ fresh = ToolHandle(tool);
  // An owner that makes the new font while being told keeps that one.
  HGDIOBJ made = nullptr;
  tool->ChangeNotify = {RemakeWhileTold, &made};
  SetSysColors(1, &index, &saved);
  HGDIOBJ kept = ToolHandle(tool);
  EXPECT_EQ(gNotes, "Ad");
  EXPECT_EQ(GetObjectType(fresh), 0u);
  EXPECT_EQ(kept, made);
  EXPECT_EQ(ToolHandle(tool), kept) << "not stale any more";
  Dispose(tool);
}

const ObjectKind kBareControlKind = {sizeof(Control), BaseInitObject, BaseDestroyObject};
std::vector<Control*> gBare;
Control* Bare(Control* parent, ColorValue color) {
  Control* c = NewObjectOf<Control>(&kBareControlKind);
  c->Parent = parent, c->Color = color;
  return gBare.push_back(c), c;
}
COLORREF BrushColor(HBRUSH brush) { LOGBRUSH lb = {}; return GetObjectA(brush, sizeof lb, &lb), lb.lbColor; }

TEST(ControlBrushTest, TopmostOfARunOfEqualColoursHoldsTheBrush) {
  Control* root = Bare(nullptr, clBtnFace);
  Control* mid = Bare(root, clBtnFace);
  Control* leaf = Bare(mid, clBtnFace);
  Control* odd = Bare(root, 0x000000FF);
  Control* under = Bare(odd, clBtnFace);  // the root's colour, but the run is broken
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const struct { Control* asked; Control* holder; COLORREF color; } cases[] = {
      {leaf, root, face}, {mid, root, face}, {leaf, root, face}, {odd, odd, 0x000000FF}, {under, under, face}};
  std::set<HBRUSH> made;
  for (const auto& c : cases) {
    HBRUSH brush = ControlBrush(c.asked);
    EXPECT_EQ(brush, c.holder->BrushHandle);
    EXPECT_EQ(BrushColor(brush), c.color);
    made.insert(brush);
  }
  EXPECT_EQ(made.size(), 3u) << "one brush per holder, made once";
  // The holder's colour changes: its stale brush is replaced.
  HBRUSH stale = root->BrushHandle;
  root->Color = mid->Color = 0x00404040;
  EXPECT_EQ(ControlBrush(mid), root->BrushHandle);
  EXPECT_EQ(BrushColor(root->BrushHandle), 0x00404040u);
  EXPECT_EQ(GetObjectType(stale), 0u);
  for (Control* c : gBare) DeleteObject(c->BrushHandle), Dispose(c);
}
