// Builds and destroys a form with a dozen children a thousand times through the
// real loop: no toolkit object may stay alive, and no window, font or brush.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const int kRounds = 1000;
std::vector<HWND> windows;
std::vector<HGDIOBJ> gdi;  // fonts and brushes the toolkit made

// A brush is made while painting and given back after the window is gone, so it
// is collected while the form's window is being destroyed.
bool CollectBrush(void* data, WindowMessage* m, LRESULT*) {
  Control* form = static_cast<Control*>(data);
  if (m->Msg == WM_DESTROY && form->BrushHandle) gdi.push_back(form->BrushHandle);
  return false;
}

void OneRound(bool withFont, bool shown) {
  Control* form = NewForm(nullptr, "leak");
  if (!shown) SetVisible(form, false);  // showing costs Wine most of the time
  if (withFont) SetToolField(GetFontTool(form), ToolHeight, -12);
  for (int i = 0; i < 4; ++i) NewButton(form, "button"), NewCheckBox(form, "check box"), NewLabel(form, "label");
  if (withFont) SetToolField(ChildAt(form, 0)->Font, ToolWeight, FW_BOLD);  // the children's copies make fonts too
  form->MessageHook = {CollectBrush, form};
  ASSERT_TRUE(CreateControlWindow(form));
  windows.push_back(form->Handle);
  for (int32_t i = 0; i < form->Children->Count; ++i) windows.push_back(ChildAt(form, i)->Handle);
  if (withFont) gdi.push_back(ToolHandle(form->Font)), gdi.push_back(ToolHandle(ChildAt(form, 0)->Font));
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  ResetToolkitState();
}

TEST(Leak, ThousandFormsLeaveNothingBehind) {
  OneRound(true, true);  // registers the classes and fetches the shared system objects
  windows.clear(), gdi.clear();
  int32_t liveStart = LiveObjectCount;
  DWORD gdiStart = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), userStart = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int round = 0; round < kRounds; ++round) {
    OneRound(round % 2 == 0, round % 10 == 0);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(LiveObjectCount, liveStart) << "round " << round;
  }
  DWORD gdiEnd = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), userEnd = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  size_t windowsLeft = 0, gdiLeft = 0;
  for (HWND w : windows) windowsLeft += IsWindow(w) ? 1 : 0;
  for (HGDIOBJ o : gdi) gdiLeft += GetObjectType(o) ? 1 : 0;
  std::printf("rounds %d; live objects %ld -> %ld; GetGuiResources GDI %lu -> %lu, USER %lu -> %lu; "
              "windows made %zu, left %zu; fonts and brushes made %zu, left %zu\n",
              kRounds, static_cast<long>(liveStart), static_cast<long>(LiveObjectCount), gdiStart, gdiEnd,
              userStart, userEnd, windows.size(), windowsLeft, gdi.size(), gdiLeft);
  EXPECT_EQ(windows.size(), kRounds * 13u);
  EXPECT_EQ(windowsLeft + gdiLeft, 0u);
  EXPECT_EQ(gdi.size(), kRounds + kRounds / 10u);  // two fonts in every other round, a brush in every shown one
  EXPECT_LE(gdiEnd, gdiStart);  // Wine answers 0 for both counts; on Windows they must not grow
  EXPECT_LE(userEnd, userStart);
}

}  // namespace
