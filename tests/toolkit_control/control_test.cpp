// Controls and their windows: start values, the kinds' styles and bounds,
// tab-stop bookkeeping, creation order, classes, the "SELF_" binding and icons.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const uint16_t kIdAtStart = NextControlId;  // read before any test made a child

struct Fx : ::testing::Test {
  void SetUp() override { ResetToolkitState(), form = Form("F"); }
  void TearDown() override {
    ResetToolkitState();  // MainControl must not outlive the form it names
    for (Control* c : owned) DisposeIfAny(c);
  }
  Control* Form(const char* caption) { return owned.push_back(NewForm(nullptr, caption)), owned.back(); }
  Control* form;
  std::vector<Control*> owned;
};

uint16_t idBase;
// Everything a constructor decides, on one line, so that a row compares it whole.
std::string Facts(const Control* c) {
  char b[200];
  snprintf(b, sizeof b, "%s cs%x s%lx x%lx [%ld %ld %ld %ld] c%lx/%lx m%d tab%d btn%d redraw%d%d pad%d,%d edge%d%d vis%d cur%d h%d id%d '%s'",
           c->WndClassName, c->ClassStyle, c->Style, c->ExStyle, c->Bounds.left, c->Bounds.top, c->Bounds.right,
           c->Bounds.bottom, static_cast<unsigned long>(c->Color), static_cast<unsigned long>(c->FontColor), c->AlignMargin,
           c->TabStop, c->IsButton, c->RedrawOnCaption, c->RedrawOnResize, c->Template.TextPadX, c->Template.TextPadY,
           c->EdgeStyle.Requested, c->EdgeStyle.Applied, c->Visible, c->CursorHandle != nullptr, c->Handlers->Count / 2,
           c->CtlId ? static_cast<int>(c->CtlId) - idBase : -1, c->Caption ? c->Caption : "");
  return b;
}

TEST_F(Fx, ConstructorsFillTheirKindsValuesAndTheFormsTabStop) {
  Control* custom = Form("custom");  // a parent whose values differ from every default
  SetToolField(GetFontTool(custom), ToolColor, 0xFF);
  custom->Color = 0x123456, custom->AlignMargin = 5, custom->ClientMargins.Top = 10, custom->EdgeStyle.Requested = 0;
  custom->CursorHandle = LoadCursorA(nullptr, IDC_HAND);
  idBase = NextControlId;
  Control* panel = NewPanel(form, 0);
  Control* inner = NewButton(panel, "I");  // the first tab stop, found through the panel
  struct Row { Control* ctl; const char* facts; } rows[] = {
      {form, "Form cs28 s16cf0000 x10000 [0 0 0 0] c8000000f/80000008 m2 tab0 btn0 redraw00 pad0,0 edge11 vis1 cur0 h2 id-1 'F'"},
      {panel, "STATIC cs20 s5640018c x10000 [2 2 102 102] c8000000f/80000008 m2 tab0 btn0 redraw00 pad1,1 edge10 vis1 cur0 h1 id0 ''"},
      {inner, "BUTTON cs20 s56011000 x10000 [2 2 66 24] c8000000f/80000008 m2 tab1 btn1 redraw00 pad14,0 edge10 vis1 cur0 h1 id1 'I'"},
      // The check box's style replaces the button's whole, clip bits included.
      {NewCheckBox(form, "C"), "BUTTON cs20 s50010003 x10000 [2 2 74 24] c8000000f/80000008 m2 tab1 btn1 redraw00 pad24,0 edge10 vis1 cur0 h1 id2 'C'"},
      {NewLabel(form, "L"), "STATIC cs20 s5600018c x10000 [2 2 66 24] c8000000f/80000008 m2 tab0 btn0 redraw11 pad1,1 edge10 vis1 cur0 h1 id3 'L'"},
      {NewPanel(form, 1), "STATIC cs20 s5600118c x10000 [2 2 102 102] c8000000f/80000008 m2 tab0 btn0 redraw00 pad1,1 edge10 vis1 cur0 h1 id4 ''"},
      {NewPanel(form, 2), "STATIC cs20 s5600018c x10000 [2 2 102 102] c8000000f/80000008 m2 tab0 btn0 redraw00 pad1,1 edge10 vis1 cur0 h1 id5 ''"},
      {NewForm(form, "O"), "Form cs28 s16cf0000 x10000 [2 2 66 66] c8000000f/80000008 m2 tab0 btn0 redraw00 pad0,0 edge11 vis1 cur0 h2 id-1 'O'"},
      // A kind that wishes for the sunken look trades WS_BORDER for the client edge, if the parent offers it.
      {NewChildControl(form, "STATIC", WS_CHILD | WS_BORDER, nullptr, 1), "STATIC cs20 s46000000 x10200 [2 2 66 66] c8000000f/80000008 m2 tab0 btn0 redraw00 pad0,0 edge11 vis0 cur0 h1 id6 ''"},
      {NewChildControl(custom, "STATIC", WS_CHILD | WS_BORDER, nullptr, 1), "STATIC cs20 s46800000 x10000 [5 15 69 69] c123456/ff m5 tab0 btn0 redraw00 pad0,0 edge00 vis0 cur1 h1 id7 ''"},
  };
  for (const Row& row : rows) EXPECT_EQ(Facts(row.ctl), row.facts);
  EXPECT_EQ(kIdAtStart, 0x8000);
  EXPECT_EQ(form->CurrentControl, inner);
  Dispose(inner);
  EXPECT_EQ(form->CurrentControl, nullptr);
}

std::vector<std::string> firsts;
// Notes a control's first message and whether the control was bound by then.
bool NoteFirst(void* data, WindowMessage* m, LRESULT*) {
  Control* c = static_cast<Control*>(data);
  bool bound = c->Handle == m->Window && GetPropA(m->Window, "SELF_") == c && !ControlBeingCreated;
  firsts.push_back(std::string(c->Caption) + (bound ? " " : " unbound ") + std::to_string(m->Msg));
  c->MessageHook.Code = nullptr;
  return false;
}

std::string ClassOf(HWND hwnd) {
  char name[80] = {};
  return std::string(name, GetClassNameA(hwnd, name, sizeof name));
}

TEST_F(Fx, TreeIsMadeInChildOrderBoundFromTheFirstMessageOneClassPerKind) {
  Control *button = NewButton(form, "B"), *check = NewCheckBox(form, "C"), *label = NewLabel(form, "L");
  firsts.clear();
  for (Control* c : {form, button, check, label}) c->MessageHook = {NoteFirst, c};
  ASSERT_TRUE(CreateControlWindow(form));
  EXPECT_EQ(firsts, (std::vector<std::string>{"F 36", "B 129", "C 129", "L 129"}));  // WM_GETMINMAXINFO, WM_NCCREATE
  std::vector<HWND> stack;
  for (HWND w = GetWindow(form->Handle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) stack.push_back(w);
  EXPECT_EQ(stack, (std::vector<HWND>{button->Handle, check->Handle, label->Handle}));
  EXPECT_EQ(ClassOf(form->Handle) + ClassOf(check->Handle) + ClassOf(label->Handle), "obj_Formobj_BUTTONobj_STATIC");
  EXPECT_EQ(GetDlgCtrlID(check->Handle), static_cast<int>(check->CtlId));
  EXPECT_EQ(SendMessageA(button->Handle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);

  // Two buttons, one superclass that keeps the system class's procedure, extra bytes and style.
  WNDCLASSA system = {}, super = {};
  GetClassInfoA(GetModuleHandleA(nullptr), "BUTTON", &system), GetClassInfoA(GetModuleHandleA(nullptr), "obj_BUTTON", &super);
  EXPECT_EQ(GetClassLongPtrA(button->Handle, GCW_ATOM), GetClassLongPtrA(check->Handle, GCW_ATOM));
  EXPECT_EQ(super.lpfnWndProc, CommonWindowProc);
  EXPECT_EQ(check->BaseWndProc, system.lpfnWndProc);
  EXPECT_EQ(super.cbWndExtra, system.cbWndExtra);
  EXPECT_EQ(super.style, system.style & 0xFFFFBF1Fu);

  HWND handle = form->Handle;
  EXPECT_TRUE(CreateControlWindow(form));  // a second time only walks the children
  EXPECT_EQ(form->Handle, handle);
}

TEST_F(Fx, WindowMadeEarlyStaysHiddenUntilTheTreeIsMade) {
  Control *button = NewButton(form, "B"), *hidden = NewLabel(form, "H");
  HWND handle = EnsureHandle(button);
  EXPECT_EQ(EnsureHandle(button), handle);
  EXPECT_FALSE(form->Handle == nullptr || IsWindowVisible(form->Handle));
  SetVisible(hidden, false);
  ASSERT_TRUE(CreateControlWindow(form));
  EXPECT_TRUE(IsWindowVisible(button->Handle) && !IsWindowVisible(hidden->Handle));
  // A child with no parent has no window to live in, and no form to be the tab stop of.
  Control* orphan = NewChildControl(nullptr, "BUTTON", WS_CHILD | WS_TABSTOP, nullptr, 0);
  EXPECT_FALSE(CreateControlWindow(orphan) || ControlBeingCreated);
  Dispose(orphan);
}

TEST_F(Fx, FormsShowTheMainIconOrACopyOfTheirOwnAndChildrenTheFormsFont) {
  BYTE andBits[128] = {}, xorBits[128] = {0x5A};
  Control* main = Form("main");
  main->Icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
  form->Icon = kNoIcon;
  MainControl = main;
  Control* second = Form("second");
  SetToolField(GetFontTool(second), ToolHeight, -12);
  Control* button = NewButton(second, "B");
  for (Control* f : {form, main, second}) ASSERT_TRUE(CreateControlWindow(f));
  auto big = [](Control* f) { return reinterpret_cast<HICON>(SendMessageA(f->Handle, WM_GETICON, ICON_BIG, 0)); };
  EXPECT_EQ(big(form), nullptr);
  EXPECT_EQ(big(main), main->Icon);
  EXPECT_EQ(big(second), second->Icon);
  EXPECT_NE(second->Icon, main->Icon);  // each form destroys its big icon
  main->Icon = kNoIcon;
  EXPECT_EQ(GetControlIcon(Form("third")), nullptr);

  auto font = [](Control* c) { return reinterpret_cast<HGDIOBJ>(SendMessageA(c->Handle, WM_GETFONT, 0, 0)); };
  EXPECT_EQ(font(button), ToolHandle(second->Font));  // identical: the form's own font object
  SetToolField(button->Font, ToolHeight, -20);
  EXPECT_NE(font(button), ToolHandle(second->Font));
  EXPECT_EQ(font(button), ToolHandle(button->Font));
}

}  // namespace
