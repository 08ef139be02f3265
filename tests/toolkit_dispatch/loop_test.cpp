// The message loop's end, the order of destruction, and the end of the session
// (in a child process: this program started again with an argument).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const char kEndSessionArg[] = "--end-session";
const int kLoopReturned = 7;

struct Seen {
  Control* ctl;
  UINT msg;
  bool formWindowAlive;
  uint8_t quitRequested;
};
std::vector<Seen> seen;
HWND formWindow = nullptr;

bool RecordHook(void* data, WindowMessage* m, LRESULT*) {
  seen.push_back({static_cast<Control*>(data), m->Msg, IsWindow(formWindow) != 0, QuitRequested});
  return false;
}
void Watch(Control* ctl) { ctl->MessageHook = {RecordHook, ctl}; }

std::vector<UINT> handled;
bool RecordHandler(Control*, WindowMessage* m, LRESULT*) {
  handled.push_back(m->Msg);
  return false;
}

bool Saw(Control* ctl, UINT msg) {
  for (const Seen& s : seen)
    if (s.ctl == ctl && s.msg == msg) return true;
  return false;
}

HICON MakeIcon() {
  BYTE andBits[32 * 4];
  BYTE xorBits[32 * 4];
  memset(andBits, 0x00, sizeof andBits);
  memset(xorBits, 0x55, sizeof xorBits);
  return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
}

bool IconAlive(HICON icon) {
  ICONINFO info;
  if (!GetIconInfo(icon, &info)) return false;
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return true;
}

struct LoopFixture : ::testing::Test {
  void SetUp() override {
    ResetToolkitState();
    seen.clear();
    handled.clear();
    PumpQueued();
  }
  void TearDown() override { ResetToolkitState(); }
};

TEST_F(LoopFixture, MessagesBehindQuitAreStillDispatched) {
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "loop");
  Control* button = NewButton(form, "B");
  Watch(form);
  AddMessageHandler(form, RecordHandler);
  ASSERT_TRUE(CreateControlWindow(form));
  formWindow = form->Handle;
  PostMessageA(form->Handle, WM_QUIT, 0, 0);
  PostMessageA(form->Handle, WM_USER + 3, 0, 0);
  Control* mainVar = form;
  RunMainLoop(&mainVar);

  EXPECT_EQ(mainVar, nullptr);
  EXPECT_EQ(MainControl, nullptr);
  EXPECT_EQ(LoopActive, 0);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_TRUE(Saw(form, WM_USER + 3));
  // The hook saw it after the quit; attached handlers no longer run then.
  for (UINT msg : handled) EXPECT_NE(msg, static_cast<UINT>(WM_USER + 3));
  EXPECT_FALSE(IsWindow(formWindow));
  EXPECT_EQ(LiveObjectCount, live);
  (void)button;
}

TEST_F(LoopFixture, CloseEndsTheLoopAndShutdownDestroysChildrenFirst) {
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "close");
  Control* button = NewButton(form, "B");
  Control* label = NewLabel(form, "L");
  for (Control* c : {form, button, label}) Watch(c);
  HICON icon = MakeIcon();
  ASSERT_TRUE(IconAlive(icon));
  form->Icon = icon;
  ASSERT_TRUE(CreateControlWindow(form));
  formWindow = form->Handle;
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  Control* mainVar = form;
  RunMainLoop(&mainVar);
  EXPECT_EQ(mainVar, nullptr);

  std::vector<Control*> destroyed;
  for (const Seen& s : seen) {
    if (s.msg == WM_CLOSE) {
      EXPECT_EQ(s.quitRequested, 0);
    }
    if (s.msg != WM_DESTROY) continue;
    destroyed.push_back(s.ctl);
    // The close only asked to quit: every window goes at shutdown, each child
    // while its parent's window still stands.
    EXPECT_EQ(s.quitRequested, 1);
    EXPECT_TRUE(s.formWindowAlive);
  }
  EXPECT_EQ(destroyed, (std::vector<Control*>{label, button, form}));
  EXPECT_FALSE(IconAlive(icon));
  EXPECT_EQ(LiveObjectCount, live);
}

void WriteMarker(void* path, ToolkitObject*) {
  HANDLE file = CreateFileA(static_cast<const char*>(path), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
}

// Child process: runs a form whose queue holds WM_ENDSESSION and then WM_CLOSE.
int RunEndSessionChild(WPARAM ending, const char* marker) {
  Control* form = NewForm(nullptr, "session");
  NewButton(form, "B");
  form->DestroyNotify.Code = WriteMarker;
  form->DestroyNotify.Context = const_cast<char*>(marker);
  if (!CreateControlWindow(form)) return 2;
  PostMessageA(form->Handle, WM_ENDSESSION, ending, 0);
  PostMessageA(form->Handle, WM_CLOSE, 0, 0);
  RunMainLoop(&form);
  return kLoopReturned;
}

TEST_F(LoopFixture, EndOfSessionEndsTheProcessAtOnce) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  struct Row {
    int ending;
    DWORD exitCode;
  } rows[] = {{1, 0}, {0, kLoopReturned}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ending);
    std::string marker = std::string(temp) + "tarvo_end_session_" + std::to_string(row.ending);
    DeleteFileA(marker.c_str());
    std::string command = std::string("\"") + self + "\" " + kEndSessionArg + " " +
                          std::to_string(row.ending) + " \"" + marker + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, row.exitCode);
    // Either way the form was disposed before the process ended.
    EXPECT_NE(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(marker.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == kEndSessionArg)
    return RunEndSessionChild(static_cast<WPARAM>(atoi(argv[2])), argv[3]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
