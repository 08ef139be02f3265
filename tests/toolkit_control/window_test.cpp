// Window creation: creation order, classes, the binding through "SELF_",
// windows made early on demand, icons and fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

struct Seen {
  Control* ctl;
  UINT msg;
  HWND window;        // the message's window
  HWND handleThen;    // the control's Handle when the message arrived
  HANDLE propThen;    // "SELF_" of the window when the message arrived
  Control* beingCreated;
  WPARAM wParam;
};
std::vector<Seen> seen;

bool RecordHook(void* data, WindowMessage* m, LRESULT*) {
  Control* ctl = static_cast<Control*>(data);
  seen.push_back({ctl, m->Msg, m->Window, ctl->Handle, GetPropA(m->Window, "SELF_"),
                  ControlBeingCreated, m->WParam});
  return false;
}

void Watch(Control* ctl) {
  ctl->MessageHook.Code = RecordHook;
  ctl->MessageHook.Data = ctl;
}

std::string ClassOf(HWND hwnd) {
  char name[80] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

HICON MakeIcon() {
  BYTE andBits[32 * 4];
  BYTE xorBits[32 * 4];
  memset(andBits, 0x00, sizeof andBits);
  memset(xorBits, 0xAA, sizeof xorBits);
  return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
}

struct WindowFixture : ::testing::Test {
  void SetUp() override {
    ResetToolkitState();
    seen.clear();
  }
  void TearDown() override {
    ResetToolkitState();  // MainControl must not outlive the form it names
    for (Control* c : owned) DisposeIfAny(c);
    PumpQueued();
  }
  Control* Form(const char* caption) {
    owned.push_back(NewForm(nullptr, caption));
    return owned.back();
  }
  std::vector<Control*> owned;
};

TEST_F(WindowFixture, TreeIsCreatedInChildOrderAndBoundOnTheFirstMessage) {
  Control* form = Form("tree");
  Control* button = NewButton(form, "B");
  Control* check = NewCheckBox(form, "C");
  Control* label = NewLabel(form, "L");
  for (Control* c : {form, button, check, label}) Watch(c);

  ASSERT_TRUE(CreateControlWindow(form));
  EXPECT_EQ(ControlBeingCreated, nullptr);

  // The very first message of each window already reaches its control, bound.
  std::vector<Control*> firsts;
  for (const Seen& s : seen) {
    bool first = true;
    for (Control* f : firsts) first = first && f != s.ctl;
    if (!first) continue;
    firsts.push_back(s.ctl);
    EXPECT_EQ(s.msg, static_cast<UINT>(s.ctl == form ? WM_GETMINMAXINFO : WM_NCCREATE));
    EXPECT_EQ(s.handleThen, s.window);
    EXPECT_EQ(s.propThen, static_cast<HANDLE>(s.ctl));
    EXPECT_EQ(s.beingCreated, nullptr);
  }
  EXPECT_EQ(firsts, (std::vector<Control*>{form, button, check, label}));

  // Siblings stack in creation order.
  EXPECT_EQ(GetWindow(form->Handle, GW_CHILD), button->Handle);
  EXPECT_EQ(GetWindow(button->Handle, GW_HWNDNEXT), check->Handle);
  EXPECT_EQ(GetWindow(check->Handle, GW_HWNDNEXT), label->Handle);
  EXPECT_EQ(GetWindow(label->Handle, GW_HWNDNEXT), nullptr);

  EXPECT_EQ(ClassOf(form->Handle), "obj_Form");
  EXPECT_EQ(ClassOf(button->Handle), "obj_BUTTON");
  EXPECT_EQ(ClassOf(label->Handle), "obj_STATIC");
  EXPECT_EQ(GetDlgCtrlID(button->Handle), static_cast<int>(button->CtlId));

  // A child sits at its Bounds in the parent's client area.
  RECT r;
  GetWindowRect(check->Handle, &r);
  MapWindowPoints(HWND_DESKTOP, form->Handle, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right - r.left, 72);
  EXPECT_EQ(r.bottom - r.top, 22);
  // A form with empty Bounds gets the system's default size.
  GetWindowRect(form->Handle, &r);
  EXPECT_GT(r.right - r.left, 0);

  // Focus rectangles are not hidden.
  EXPECT_EQ(SendMessageA(button->Handle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
  // A second creation only walks the children.
  size_t before = seen.size();
  HWND handle = form->Handle;
  EXPECT_TRUE(CreateControlWindow(form));
  EXPECT_EQ(form->Handle, handle);
  EXPECT_EQ(seen.size(), before);
}

TEST_F(WindowFixture, OneSuperclassPerKindKeepsTheSystemProcedure) {
  Control* form = Form("classes");
  Control* a = NewButton(form, "A");
  Control* b = NewButton(form, "B");
  ASSERT_TRUE(CreateControlWindow(form));

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA system = {}, super = {}, formClass = {};
  ASSERT_TRUE(GetClassInfoA(instance, "BUTTON", &system));
  ASSERT_TRUE(GetClassInfoA(instance, "obj_BUTTON", &super));
  ASSERT_TRUE(GetClassInfoA(instance, "obj_Form", &formClass));

  EXPECT_EQ(GetClassLongPtrA(a->Handle, GCW_ATOM), GetClassLongPtrA(b->Handle, GCW_ATOM));
  EXPECT_EQ(super.lpfnWndProc, CommonWindowProc);
  EXPECT_EQ(a->BaseWndProc, system.lpfnWndProc);
  EXPECT_EQ(b->BaseWndProc, system.lpfnWndProc);
  EXPECT_EQ(super.cbWndExtra, system.cbWndExtra);
  EXPECT_EQ(super.style, system.style & 0xFFFFBF1Fu);
  EXPECT_EQ(super.hInstance, instance);

  EXPECT_EQ(formClass.lpfnWndProc, CommonWindowProc);
  EXPECT_EQ(formClass.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(formClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(form->BaseWndProc, nullptr);
}

TEST_F(WindowFixture, WindowMadeEarlyStaysHiddenUntilTheTreeIsCreated) {
  Control* form = Form("early");
  Control* button = NewButton(form, "B");
  HWND handle = EnsureHandle(button);
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(form->Handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(form->Handle));
  EXPECT_FALSE(IsWindowVisible(button->Handle));
  EXPECT_EQ(form->ShowPending, 1);
  EXPECT_EQ(button->ShowPending, 1);
  EXPECT_EQ(EnsureHandle(button), handle);

  ASSERT_TRUE(CreateControlWindow(form));
  EXPECT_TRUE(IsWindowVisible(form->Handle));
  EXPECT_TRUE(IsWindowVisible(button->Handle));
  EXPECT_EQ(form->ShowPending, 0);
  EXPECT_EQ(button->ShowPending, 0);

  // A control whose visibility was set keeps it.
  Control* hidden = NewLabel(form, "H");
  SetVisible(hidden, false);
  EnsureHandle(hidden);
  EXPECT_EQ(hidden->ShowPending, 0);
  EXPECT_FALSE(IsWindowVisible(hidden->Handle));
}

TEST_F(WindowFixture, ChildWithoutParentWindowIsNotCreated) {
  Control* orphan = NewChildControl(nullptr, "BUTTON", WS_CHILD | WS_VISIBLE, nullptr, 0);
  owned.push_back(orphan);
  EXPECT_FALSE(CreateControlWindow(orphan));
  EXPECT_EQ(orphan->Handle, nullptr);
  EXPECT_EQ(ControlBeingCreated, nullptr);
  EXPECT_EQ(EnsureHandle(orphan), nullptr);
}

TEST_F(WindowFixture, FormsGetTheMainIconOrACopyOfIt) {
  Control* none = Form("no icon");
  none->Icon = kNoIcon;
  ASSERT_TRUE(CreateControlWindow(none));
  EXPECT_EQ(SendMessageA(none->Handle, WM_GETICON, ICON_BIG, 0), 0);

  Control* main = Form("main");
  main->Icon = MakeIcon();
  ASSERT_NE(main->Icon, nullptr);
  MainControl = main;
  Control* second = Form("second");
  ASSERT_TRUE(CreateControlWindow(main));
  ASSERT_TRUE(CreateControlWindow(second));
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(main->Handle, WM_GETICON, ICON_BIG, 0)),
            main->Icon);
  ASSERT_NE(second->Icon, nullptr);
  EXPECT_NE(second->Icon, main->Icon);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(second->Handle, WM_GETICON, ICON_BIG, 0)),
            second->Icon);

  // Without a main icon there is nothing to copy, and nothing is stored.
  main->Icon = kNoIcon;
  Control* third = Form("third");
  EXPECT_EQ(GetControlIcon(third), nullptr);
  EXPECT_EQ(third->Icon, nullptr);
}

int textChangedCalls = 0;
void CountTextChanged(Control*) { ++textChangedCalls; }

TEST_F(WindowFixture, FontReachesTheWindowAndRenewsTheSurface) {
  Control* form = Form("font");
  GraphicTool* font = GetFontTool(form);
  SetToolField(font, ToolHeight, -12);
  Control* button = NewButton(form, "B");
  Watch(form);
  ASSERT_TRUE(CreateControlWindow(form));
  // DefWindowProcA keeps no font, so the form's is seen on its way in.
  HFONT formFont = static_cast<HFONT>(ToolHandle(font));
  ASSERT_NE(formFont, nullptr);
  bool setFont = false;
  for (const Seen& s : seen)
    setFont = setFont || (s.ctl == form && s.msg == WM_SETFONT &&
                          s.wParam == reinterpret_cast<WPARAM>(formFont));
  EXPECT_TRUE(setFont);
  // The child's copy is still identical, so it shares the form's font object.
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(button->Handle, WM_GETFONT, 0, 0)), formFont);

  DrawingSurface* canvas = GetCanvas(button);
  ASSERT_NE(canvas, nullptr);
  button->TextChanged = CountTextChanged;
  textChangedCalls = 0;
  SetToolField(button->Font, ToolHeight, -20);
  HFONT own = reinterpret_cast<HFONT>(SendMessageA(button->Handle, WM_GETFONT, 0, 0));
  EXPECT_NE(own, formFont);
  EXPECT_EQ(own, ToolHandle(button->Font));
  EXPECT_EQ(button->Canvas, nullptr);
  EXPECT_GE(textChangedCalls, 1);
}

}  // namespace
