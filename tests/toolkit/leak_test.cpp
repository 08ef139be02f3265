// Forms closed through the real loop leave no object, window, font, brush or icon.
#include <gtest/gtest.h>

#include "toolkit/toolkit.h"

TEST(Leak, FormsThroughTheLoopLeaveNothing) {
  int32_t live = LiveObjectCount;
  for (int round = 0; round < 100; ++round) {
    Control* form = NewForm(nullptr, "leak");
    if (round % 10) SetVisible(form, false);  // showing is slow under Wine
    if (round % 20 == 0) GetClientArea(form);  // made early: the icon waits
    SetToolField(GetFontTool(form), ToolHeight, -12);
    NewButton(form, "B");
    NewCheckBox(form, "C");
    NewLabel(form, "L");
    SetToolField(ChildAt(form, 0)->Font, ToolWeight, FW_BOLD);  // makes the child a font of its own
    ASSERT_TRUE(CreateControlWindow(form));
    UpdateWindow(form->Handle);
    HWND window = form->Handle;
    HICON icon = form->Icon;  // the program's
    ASSERT_TRUE(icon);
    ASSERT_EQ(HICON(SendMessageA(window, WM_GETICON, ICON_BIG, 0)), icon);
    HGDIOBJ gdi[] = {ToolHandle(form->Font), ToolHandle(ChildAt(form, 0)->Font), form->BrushHandle};
    EXPECT_TRUE(round % 10 || gdi[2]);  // erasing a shown form made a brush
    PostMessageA(window, WM_CLOSE, 0, 0);
    RunMainLoop(&form);
    QuitRequested = 0;
    ASSERT_EQ(LiveObjectCount, live);
    ASSERT_FALSE(IsWindow(window));
    for (HGDIOBJ h : gdi) ASSERT_EQ(GetObjectType(h), 0);
    ICONINFO info;
    ASSERT_FALSE(GetIconInfo(icon, &info));
  }
}
