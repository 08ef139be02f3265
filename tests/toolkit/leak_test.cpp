// Forms made and closed through the real loop leave no object, window, font or brush.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "test_support.h"
#include "toolkit/toolkit.h"

const int kRounds = 300;
std::vector<HWND> windows;
std::vector<HGDIOBJ> gdi;

void OneRound(bool shown) {
  Control* form = NewForm(nullptr, "leak");
  if (!shown) SetVisible(form, false);  // showing costs Wine most of the time
  SetToolField(GetFontTool(form), ToolHeight, -12);
  for (int i = 0; i < 4; ++i) {
    NewButton(form, "button");
    NewCheckBox(form, "check box");
    NewLabel(form, "label");
  }
  // A child's copy of the font makes its own once it differs.
  SetToolField(ChildAt(form, 0)->Font, ToolWeight, FW_BOLD);
  ASSERT_TRUE(CreateControlWindow(form));
  UpdateWindow(form->Handle);  // erasing makes the brush
  windows.push_back(form->Handle);
  for (int32_t i = 0; i < form->Children->Count; ++i) windows.push_back(ChildAt(form, i)->Handle);
  gdi.push_back(ToolHandle(form->Font));
  gdi.push_back(ToolHandle(ChildAt(form, 0)->Font));
  if (form->BrushHandle) gdi.push_back(form->BrushHandle);
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  QuitRequested = 0;  // meant to run once per process
}

TEST(Leak, ManyFormsThroughTheLoopLeaveNothingBehind) {
  int32_t live = LiveObjectCount;
  for (int round = 0; round < kRounds; ++round) {
    OneRound(round % 10 == 0);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(LiveObjectCount, live);
  }
  EXPECT_EQ(gdi.size(), kRounds * 2 + kRounds / 10u);
  EXPECT_EQ(std::count_if(windows.begin(), windows.end(), IsWindow), 0);
  EXPECT_EQ(std::count_if(gdi.begin(), gdi.end(), GetObjectType), 0);
}

