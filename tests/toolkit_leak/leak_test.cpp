// Builds and destroys a form with a dozen children a thousand times through the
// real loop: no toolkit object may stay alive, and no GDI or USER object.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const int kRounds = 1000;

struct Made {
  std::vector<HWND> windows;
  std::vector<HGDIOBJ> gdi;  // fonts and brushes the toolkit made
};
Made made;

// Brushes are made while painting and given back after the window is gone, so
// they are collected while the form's window is being destroyed.
bool CollectBrushes(void* data, WindowMessage* m, LRESULT*) {
  Control* form = static_cast<Control*>(data);
  if (m->Msg == WM_DESTROY && form->BrushHandle) made.gdi.push_back(form->BrushHandle);
  return false;
}

void OneRound(bool withFont, bool shown) {
  Control* form = NewForm(nullptr, "leak");
  // Showing a window costs Wine most of the time; one round in ten is enough to
  // paint with the form's brush.
  if (!shown) SetVisible(form, false);
  if (withFont) {
    GraphicTool* font = GetFontTool(form);
    SetToolField(font, ToolHeight, -12);
    SetFaceName(font, "MS UI Gothic");
  }
  for (int i = 0; i < 4; ++i) {
    NewButton(form, "button");
    NewCheckBox(form, "check box");
    NewLabel(form, "label");
  }
  if (withFont) {
    // One child with a font of its own, so the children's copies make objects too.
    Control* bold = ChildAt(form, 0);
    SetToolField(bold->Font, ToolWeight, FW_BOLD);
  }
  form->MessageHook = {CollectBrushes, form};
  ASSERT_TRUE(CreateControlWindow(form));
  made.windows.push_back(form->Handle);
  for (int32_t i = 0; i < form->Children->Count; ++i) {
    Control* child = ChildAt(form, i);
    made.windows.push_back(child->Handle);
    if (child->Font && child->Font->Handle) made.gdi.push_back(child->Font->Handle);
  }
  if (form->Font) made.gdi.push_back(ToolHandle(form->Font));
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  ResetToolkitState();
}

TEST(Leak, ThousandFormsLeaveNothingBehind) {
  // The first round registers the classes and fetches shared system objects.
  OneRound(true, true);
  made = Made();
  int32_t liveStart = LiveObjectCount;
  DWORD gdiStart = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  DWORD userStart = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  DWORD started = GetTickCount();

  for (int round = 0; round < kRounds; ++round) {
    OneRound(round % 2 == 0, round % 10 == 0);
    if (HasFatalFailure()) return;
    ASSERT_EQ(LiveObjectCount, liveStart) << "round " << round;
  }
  DWORD elapsed = GetTickCount() - started;
  DWORD gdiEnd = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  DWORD userEnd = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);

  size_t windowsLeft = 0, gdiLeft = 0;
  for (HWND w : made.windows) windowsLeft += IsWindow(w) ? 1 : 0;
  for (HGDIOBJ o : made.gdi) gdiLeft += GetObjectType(o) ? 1 : 0;
  std::printf(
      "rounds %d in %lu ms; live objects %ld -> %ld; GetGuiResources GDI %lu -> %lu, USER %lu -> "
      "%lu; windows made %zu, left %zu; fonts and brushes made %zu, left %zu\n",
      kRounds, elapsed, static_cast<long>(liveStart), static_cast<long>(LiveObjectCount),
      gdiStart, gdiEnd, userStart, userEnd, made.windows.size(), windowsLeft, made.gdi.size(),
      gdiLeft);

  EXPECT_EQ(LiveObjectCount, liveStart);
  EXPECT_EQ(made.windows.size(), static_cast<size_t>(kRounds) * 13);
  EXPECT_EQ(windowsLeft, 0u);
  // Every round with a font makes the form's font and the bold child's; every
  // shown form paints its background with a brush of its own.
  EXPECT_GE(made.gdi.size(), static_cast<size_t>(kRounds + kRounds / 10));
  EXPECT_EQ(gdiLeft, 0u);
  // Wine answers 0 for both counts; on Windows they must not grow.
  EXPECT_LE(gdiEnd, gdiStart);
  EXPECT_LE(userEnd, userStart);
}

}  // namespace
