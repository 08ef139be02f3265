// A second start while the settings window is open: it only brings that window
// to the front, whatever its arguments ask for.
#include <gtest/gtest.h>

#include "tarvo_harness.h"

namespace {

TEST(SingleInstance, ASecondStartActivatesTheFirstAndEndsWithoutAWindow) {
  ClearTarvoRegistry();
  std::string link = TheBench().root + "single.lnk";
  ASSERT_TRUE(MakeShortcut(link, TheBench().exe));
  StoreOptions("111");
  // A window of the test's own takes the foreground before each second start.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED | WS_VISIBLE, 10, 10, 120, 60, nullptr,
                               nullptr, nullptr, nullptr);
  TarvoRun first("");
  HWND form = first.WaitForWindow(nullptr, kCaption);
  ASSERT_NE(form, nullptr);
  for (const std::string& arguments : {std::string(), "\"" + link + "\" \"1\""}) {
    SCOPED_TRACE(arguments);
    ASSERT_TRUE(BringToFront(other));
    TarvoRun second(arguments);
    EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == form; }));
    EXPECT_EQ(second.WindowClasses(false), std::set<std::string>());
    EXPECT_EQ(second.Launches(), std::vector<std::string>());
    EXPECT_TRUE(IsWindowVisible(form));
  }
  ASSERT_TRUE(BringToFront(form));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(first.WaitExit(), std::optional<DWORD>(0));
  DestroyWindow(other);
  ClearTarvoRegistry();
}

}  // namespace
