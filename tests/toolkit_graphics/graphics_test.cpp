#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/control.h"
#include "toolkit/graphics.h"

namespace {

// Counts the fonts a tool makes, by wrapping its own maker.
struct MakeCounter {
  static int made;
  static void (*original)(GraphicTool*);
  static void Make(GraphicTool* tool) {
    ++made;
    original(tool);
  }
  static void Attach(GraphicTool* tool) {
    original = tool->MakeHandle;
    tool->MakeHandle = Make;
  }
};
int MakeCounter::made = 0;
void (*MakeCounter::original)(GraphicTool*) = nullptr;

// One entry per ChangeNotify: the handle the tool held (0 expected) and whether
// the previous object was still alive when the owner was told.
struct NotifyLog {
  HGDIOBJ previous = nullptr;
  std::vector<bool> previousAlive;
  int count() const { return static_cast<int>(previousAlive.size()); }
};
void LogChange(void* context, GraphicTool* tool) {
  NotifyLog* log = static_cast<NotifyLog*>(context);
  EXPECT_EQ(tool->Handle, nullptr);
  log->previousAlive.push_back(log->previous && GetObjectType(log->previous) == OBJ_FONT);
}

LOGFONTA FontOf(HGDIOBJ font) {
  LOGFONTA lf = {};
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

TEST(ColorTest, ResolvesSystemColoursByTheLowByte) {
  struct Case {
    ColorValue value;
    COLORREF expected;
  } cases[] = {
      {0x00FF0000, 0x00FF0000},
      {0x00000000, 0x00000000},
      {0x8000010F, GetSysColor(15)},
      {0x80000008, GetSysColor(COLOR_WINDOWTEXT)},
      {0xFF000005, GetSysColor(COLOR_WINDOW)},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveColor(c.value), c.expected) << std::hex << c.value;
}

TEST(FontToolTest, DefaultFontIsMadeOnceOnDemand) {
  GraphicTool* tool = NewFontTool();
  EXPECT_EQ(tool->ToolKind, kToolFont);
  EXPECT_EQ(tool->Color, 0x80000008u);
  EXPECT_STREQ(tool->Descriptor.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(tool->Descriptor.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(tool->Descriptor.lfHeight, 0);
  EXPECT_EQ(tool->Handle, nullptr);

  MakeCounter::made = 0;
  MakeCounter::Attach(tool);
  HGDIOBJ first = ToolHandle(tool);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ToolHandle(tool), first);
  EXPECT_EQ(MakeCounter::made, 1);
  EXPECT_EQ(tool->HandleRGB, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_STREQ(FontOf(first).lfFaceName, "MS Sans Serif");

  Dispose(tool);
  EXPECT_EQ(GetObjectType(first), 0u) << "disposing the tool deletes its font";
}

TEST(FontToolTest, ChangesNotifyAroundTheDeletion) {
  // Each change is made twice on a tool that holds a font: the first time the
  // owner hears of it twice (old font alive, then deleted), the repeat is silent.
  struct Case {
    const char* what;
    void (*change)(GraphicTool*);
  } cases[] = {
      {"height", [](GraphicTool* t) { SetToolField(t, ToolHeight, -12); }},
      {"width", [](GraphicTool* t) { SetToolField(t, ToolWidth, 7); }},
      {"escapement", [](GraphicTool* t) { SetToolField(t, ToolEscapement, 900); }},
      {"orientation", [](GraphicTool* t) { SetToolField(t, ToolOrientation, 900); }},
      {"weight", [](GraphicTool* t) { SetToolField(t, ToolWeight, FW_BOLD); }},
      {"colour", [](GraphicTool* t) { SetToolField(t, ToolColor, 0x000000FF); }},
      {"face", [](GraphicTool* t) { SetFaceName(t, "MS UI Gothic"); }},
  };
  for (const auto& c : cases) {
    GraphicTool* tool = NewFontTool();
    NotifyLog log;
    tool->ChangeNotify = {LogChange, &log};
    log.previous = ToolHandle(tool);
    c.change(tool);
    EXPECT_EQ(log.previousAlive, (std::vector<bool>{true, false})) << c.what;
    EXPECT_EQ(tool->Handle, nullptr) << c.what;
    c.change(tool);
    EXPECT_EQ(log.count(), 2) << c.what << ": the same value again changes nothing";

    // Without a font only one notification.
    log.previous = nullptr;
    log.previousAlive.clear();
    SetToolField(tool, ToolHeight, -20);
    EXPECT_EQ(log.count(), 1) << c.what;
    Dispose(tool);
  }
}

TEST(FontToolTest, FaceNameIsCutToThirtyOneBytes) {
  GraphicTool* tool = NewFontTool();
  NotifyLog log;
  tool->ChangeNotify = {LogChange, &log};
  SetFaceName(tool, "MS Sans Serif");
  EXPECT_EQ(log.count(), 0);
  SetFaceName(tool, "ms sans serif");
  EXPECT_EQ(log.count(), 1) << "compared case-sensitively";

  const std::string longName(40, 'F');
  memset(tool->Descriptor.lfFaceName, 'x', sizeof tool->Descriptor.lfFaceName);
  SetFaceName(tool, longName.c_str());
  EXPECT_EQ(std::string(tool->Descriptor.lfFaceName), longName.substr(0, 31));
  EXPECT_EQ(tool->Descriptor.lfFaceName[31], 0);

  SetFaceName(tool, "A");
  for (int i = 1; i < 32; ++i) ASSERT_EQ(tool->Descriptor.lfFaceName[i], 0) << "field cleared at " << i;
  Dispose(tool);
}

TEST(FontToolTest, ChildSharesTheParentsFontWhileIdentical) {
  GraphicTool* parent = NewFontTool();
  GraphicTool* child = AssignTool(nullptr, parent);
  ASSERT_NE(child, nullptr);
  ASSERT_NE(child, parent);
  EXPECT_EQ(child->ParentTool, nullptr) << "AssignTool leaves ParentTool to the caller";
  child->ParentTool = parent;
  GraphicTool* grandchild = AssignTool(nullptr, child);
  grandchild->ParentTool = child;
  MakeCounter::made = 0;
  MakeCounter::Attach(child);
  MakeCounter::Attach(grandchild);

  HGDIOBJ shared = ToolHandle(grandchild);
  EXPECT_EQ(shared, ToolHandle(parent));
  EXPECT_EQ(ToolHandle(child), shared);
  EXPECT_EQ(child->Handle, nullptr);
  EXPECT_EQ(grandchild->Handle, nullptr);
  EXPECT_EQ(MakeCounter::made, 0);

  SetToolField(child, ToolHeight, -12);
  HGDIOBJ own = ToolHandle(child);
  EXPECT_NE(own, shared);
  EXPECT_EQ(child->Handle, own);
  EXPECT_EQ(FontOf(own).lfHeight, -12);
  EXPECT_EQ(MakeCounter::made, 1);
  HGDIOBJ grand = ToolHandle(grandchild);
  EXPECT_NE(grand, shared) << "only the direct parent is compared; the grandchild now differs";
  EXPECT_EQ(grandchild->Handle, grand);
  EXPECT_EQ(FontOf(grand).lfHeight, 0);
  EXPECT_EQ(MakeCounter::made, 2);

  SetToolField(child, ToolHeight, 0);
  EXPECT_EQ(GetObjectType(own), 0u);
  EXPECT_EQ(ToolHandle(child), shared) << "identical again: shares again";

  Dispose(grandchild);
  Dispose(child);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT)) << "a sharing tool owns nothing";
  Dispose(parent);
}

// Puts the window-text colour back whatever happens in the test.
struct SysColorGuard {
  COLORREF saved = GetSysColor(COLOR_WINDOWTEXT);
  void Set(COLORREF c) {
    INT index = COLOR_WINDOWTEXT;
    ASSERT_TRUE(SetSysColors(1, &index, &c));
  }
  ~SysColorGuard() {
    INT index = COLOR_WINDOWTEXT;
    SetSysColors(1, &index, &saved);
  }
};

struct Remaker {
  int calls = 0;
  HGDIOBJ made = nullptr;
};
void RemakeInNotify(void* context, GraphicTool* tool) {
  Remaker* r = static_cast<Remaker*>(context);
  ++r->calls;
  r->made = ToolHandle(tool);
}

TEST(FontToolTest, SystemColourChangeRemakesTheFont) {
  SysColorGuard guard;
  GraphicTool* tool = NewFontTool();
  NotifyLog log;
  tool->ChangeNotify = {LogChange, &log};
  log.previous = ToolHandle(tool);
  EXPECT_EQ(ToolHandle(tool), log.previous);
  EXPECT_EQ(log.count(), 0);

  COLORREF other = guard.saved ^ 0x00FFFFFF;
  guard.Set(other);
  ASSERT_EQ(GetSysColor(COLOR_WINDOWTEXT), other);
  HGDIOBJ fresh = ToolHandle(tool);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(log.previousAlive, (std::vector<bool>{true, false}));
  EXPECT_EQ(tool->HandleRGB, other);

  // An owner that makes the new object while being told keeps it.
  Remaker remaker;
  tool->ChangeNotify = {RemakeInNotify, &remaker};
  MakeCounter::made = 0;
  MakeCounter::Attach(tool);
  guard.Set(guard.saved);
  HGDIOBJ kept = ToolHandle(tool);
  EXPECT_EQ(remaker.calls, 2);
  EXPECT_EQ(kept, remaker.made);
  EXPECT_EQ(tool->HandleRGB, guard.saved);
  EXPECT_EQ(MakeCounter::made, 1);
  Dispose(tool);
}

int gDisposed = 0;
void CountDispose(void*, ToolkitObject*) { ++gDisposed; }

TEST(FontToolTest, AssignToolCases) {
  gDisposed = 0;
  GraphicTool* x = NewFontTool();
  x->DestroyNotify = {CountDispose, nullptr};
  EXPECT_EQ(AssignTool(x, nullptr), nullptr);
  EXPECT_EQ(gDisposed, 1) << "assigning null disposes the destination";
  EXPECT_EQ(AssignTool(nullptr, nullptr), nullptr);

  GraphicTool* src = NewFontTool();
  SetToolField(src, ToolHeight, -15);
  SetToolField(src, ToolColor, 0x00123456);
  SetFaceName(src, "Tahoma");
  GraphicTool* copy = AssignTool(nullptr, src);
  EXPECT_EQ(memcmp(ToolBlock(copy), ToolBlock(src), kToolBlockSize), 0);
  EXPECT_EQ(copy->ToolKind, kToolFont);
  EXPECT_EQ(copy->ChangeNotify.Code, nullptr);

  NotifyLog log;
  EXPECT_EQ(AssignTool(src, src), src);

  // A destination with a font of its own: dropped (twice notified), copied, notified again.
  GraphicTool* dest = NewFontTool();
  GraphicTool* marker = reinterpret_cast<GraphicTool*>(0x1234);
  dest->ChangeNotify = {LogChange, &log};
  log.previous = ToolHandle(dest);
  dest->ParentTool = marker;
  EXPECT_EQ(AssignTool(dest, src), dest);
  EXPECT_EQ(log.previousAlive, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(memcmp(ToolBlock(dest), ToolBlock(src), kToolBlockSize), 0);
  EXPECT_EQ(dest->ParentTool, marker);
  EXPECT_EQ(dest->ChangeNotify.Context, &log);

  // Holding the very handle of the source: nothing is copied.
  SetToolField(src, ToolHeight, -30);
  log.previousAlive.clear();
  dest->Handle = ToolHandle(src);
  AssignTool(dest, src);
  EXPECT_EQ(dest->Descriptor.lfHeight, -15);
  EXPECT_EQ(log.count(), 0);
  dest->Handle = nullptr;
  dest->ParentTool = nullptr;

  Dispose(dest);
  Dispose(copy);
  Dispose(src);
}

// Zero-filled Control records; only Parent, Color and the brush fields matter.
const ObjectKind kBareControlKind = {sizeof(Control), BaseInitObject, BaseDestroyObject};
Control* BareControl(Control* parent, ColorValue color) {
  Control* c = NewObjectOf<Control>(&kBareControlKind);
  c->Parent = parent;
  c->Color = color;
  return c;
}
COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH lb = {};
  EXPECT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  return lb.lbColor;
}

TEST(ControlBrushTest, TopmostOfARunOfEqualColoursHoldsTheBrush) {
  EXPECT_EQ(ControlBrush, SolidControlBrush);
  Control* root = BareControl(nullptr, clBtnFace);
  Control* mid = BareControl(root, clBtnFace);
  Control* leaf = BareControl(mid, clBtnFace);
  Control* odd = BareControl(root, 0x000000FF);
  Control* under = BareControl(odd, clBtnFace);  // same as root, but the run is broken

  HBRUSH shared = ControlBrush(leaf);
  EXPECT_EQ(root->BrushHandle, shared);
  EXPECT_EQ(root->BrushRGB, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(BrushColor(shared), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ControlBrush(mid), shared);
  EXPECT_EQ(mid->BrushHandle, nullptr);
  EXPECT_EQ(leaf->BrushHandle, nullptr);

  HBRUSH red = ControlBrush(odd);
  EXPECT_EQ(BrushColor(red), 0x000000FFu);
  HBRUSH own = ControlBrush(under);
  EXPECT_EQ(under->BrushHandle, own);
  EXPECT_NE(own, shared);

  // A child that changes its colour gets a brush of its own.
  leaf->Color = 0x0000FF00;
  HBRUSH green = ControlBrush(leaf);
  EXPECT_EQ(leaf->BrushHandle, green);
  EXPECT_EQ(BrushColor(green), 0x0000FF00u);
  EXPECT_EQ(ControlBrush(mid), shared);

  // The holder's colour changes: its stale brush is replaced.
  root->Color = 0x00404040;
  mid->Color = 0x00404040;
  HBRUSH grey = ControlBrush(mid);
  EXPECT_EQ(root->BrushHandle, grey);
  EXPECT_EQ(root->BrushRGB, 0x00404040u);
  EXPECT_EQ(BrushColor(grey), 0x00404040u);

  for (Control* c : {under, odd, leaf, mid, root}) {
    if (c->BrushHandle) {
      EXPECT_TRUE(DeleteObject(c->BrushHandle));
    }
    Dispose(c);
  }
}

}  // namespace
