#include "toolkit/window.h"

#include "support/wide_text.h"
#include "toolkit/dispatch.h"
#include "toolkit/geometry.h"
#include "toolkit/loop.h"
#include "toolkit/scale.h"
#include "toolkit/surface.h"

const char kSelfProperty[] = "SELF_";
const char kClassPrefix[] = "obj_";
const char kMainIconName[] = "MAINICON";

Control* ControlBeingCreated = nullptr;
static const Control* windowInCreation = nullptr;

bool IsWindowBeingCreated(const Control* ctl) { return ctl == windowInCreation; }

HINSTANCE ToolkitInstance() { return GetModuleHandleA(nullptr); }

Control* BindCreatedControl(HWND hwnd) {
  Control* ctl = ControlBeingCreated;
  ctl->Handle = hwnd;
  SetPropA(hwnd, kSelfProperty, ctl);
  ControlBeingCreated = nullptr;
  return ctl;
}

// "obj_" + the class name in a 64-byte buffer; longer names are cut.
static void BuildClassName(char (&name)[64], const char* base) {
  int i = 0;
  for (const char* p = kClassPrefix; *p; ++p) name[i++] = *p;
  if (base)
    for (const char* p = base; *p && i < 63; ++p) name[i++] = *p;
  name[i] = 0;
}

bool ControlCreateWindow(Control* ctl) {
  if (ctl->Parent && !EnsureHandle(ctl->Parent)) return false;
  if (ctl->Handle) {
    if (ctl->ShowPending) {
      CreateChildWindows(ctl);
      ApplyVisible(ctl, true);
      ctl->ShowPending = 0;
    } else {
      CreateChildWindows(ctl);
    }
    return true;
  }

  // Classes, superclasses and windows are all wide: a window whose procedure
  // is ANSI gets every text through the system's code page, which garbles the
  // program's code page 932 texts everywhere but on a code page 932 system.
  HINSTANCE instance = ToolkitInstance();
  WNDCLASSW wc = {};
  wc.style = ctl->ClassStyle;
  wc.lpfnWndProc = ctl->BaseWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(0, IDC_ARROW);

  char classBytes[64];
  BuildClassName(classBytes, ctl->WndClassName);
  WideText className(classBytes);

  if (ctl->WndClassName) {
    // For a system class this copies its procedure, extra bytes and style, so
    // the superclass behaves like the original; an unknown name changes nothing.
    GetClassInfoW(instance, WideText(ctl->WndClassName).c_str(), &wc);
    wc.hInstance = instance;
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS | CS_OWNDC | CS_CLASSDC | CS_PARENTDC);
  }
  if (!ctl->BaseWndProc) ctl->BaseWndProc = wc.lpfnWndProc;

  HWND parentWnd = ParentWindowHandle(ctl, true);
  if (!parentWnd && (ctl->Style & WS_CHILD)) return false;

  WNDCLASSW probe;
  if (!GetClassInfoW(instance, className.c_str(), &probe)) {
    wc.lpszClassName = className.c_str();
    wc.lpfnWndProc = CommonWindowProc;
    if (!RegisterClassW(&wc)) return false;
  }

  ctl->Dpi = ctl->IsChild ? ControlDpi(ctl->Parent) : ScreenDpi();
  RECT device = ToDeviceRect(ctl->Bounds, ctl->Dpi);
  int x = device.left;
  int y = device.top;
  int width = device.right - device.left;
  int height = device.bottom - device.top;
  if (width == 0) width = CW_USEDEFAULT;
  if (height == 0) height = CW_USEDEFAULT;
  if (!ctl->IsChild && !(ctl->MovedFlags & 3)) {
    x = CW_USEDEFAULT;
    y = CW_USEDEFAULT;
  }

  ControlBeingCreated = ctl;
  const Control* outer = windowInCreation;
  windowInCreation = ctl;
  HWND hwnd = CreateWindowExW(ctl->ExStyle, className.c_str(), WideText(ctl->Caption).c_str(),
                              ctl->Style, x, y, width, height, parentWnd,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ctl->CtlId)), instance,
                              nullptr);
  windowInCreation = outer;
  if (!hwnd) {
    // A failed creation may not have sent a single message; the next window
    // must not be bound to this control. If it did, binding left the handle of
    // the window that the failure destroyed.
    if (ControlBeingCreated == ctl) ControlBeingCreated = nullptr;
    ctl->Handle = 0;
    return false;
  }
  ctl->Handle = hwnd;

  // Focus rectangles are shown from the start, not only after a keyboard action.
  SendMessageA(hwnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);

  if (!GetPropA(hwnd, kSelfProperty)) {
    ControlBeingCreated = nullptr;
    SetPropA(hwnd, kSelfProperty, ctl);
  }
  if (!ctl->IsChild) HandBigIcon(ctl);
  // A window made on a monitor of another scale than the screen's main one.
  if (!ctl->IsChild) ChangeDpi(ctl, WindowDpi(hwnd), nullptr);
  if (ctl->Font) SetToolDpi(ctl->Font, ctl->Dpi);
  ApplyFont(ctl);
  CreateChildWindows(ctl);
  return true;
}

HWND EnsureHandle(Control* ctl) {
  if (ctl->Handle) return ctl->Handle;
  if (!ctl->VisibleSet) {
    // Made early on demand: stays hidden until the loop creates the tree.
    ApplyVisible(ctl, false);
    // Set first: what the new window is handed waits for its show.
    ctl->ShowPending = 1;
    CreateControlWindow(ctl);
  } else {
    CreateControlWindow(ctl);
  }
  return ctl->Handle;
}

LRESULT SendToControl(Control* ctl, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = EnsureHandle(ctl);
  if (!hwnd) return 0;
  return SendMessageA(hwnd, message, wParam, lParam);
}

HWND ParentWindowHandle(Control* ctl, bool create) {
  if (!ctl->Parent) return 0;
  if (create) EnsureHandle(ctl->Parent);
  return ctl->Parent->Handle;
}

void CreateChildWindows(Control* ctl) {
  // Count is read each time: creating a window may run code that adds children.
  for (int32_t i = 0; i < ctl->Children->Count; ++i) CreateControlWindow(ChildAt(ctl, i));
}

HICON GetControlIcon(Control* ctl) {
  if (ctl->Icon == kNoIcon) return 0;
  if (ctl->Icon) return ctl->Icon;
  if (MainControl && MainControl != ctl) {
    HICON mainIcon = GetControlIcon(MainControl);
    if (!mainIcon) return 0;
    // A copy of its own, since every form destroys its big icon.
    ctl->Icon = static_cast<HICON>(CopyImage(mainIcon, IMAGE_ICON, 0, 0, 0));
    return ctl->Icon;
  }
  // A copy of its own as well: LoadIconA's shared icon must never reach DestroyIcon.
  ctl->Icon = static_cast<HICON>(
      LoadImageA(ToolkitInstance(), kMainIconName, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  return ctl->Icon;
}

void ApplyFont(Control* ctl) {
  if (!ctl->Font) return;
  if (ctl->Handle) {
    ctl->FontColor = ctl->Font->Color;
    SendToControl(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(ToolHandle(ctl->Font)), 0xFFFF);
  }
  // A surface measures with the font it was made with; the next one uses the new font.
  DisposeIfAny(ctl->Canvas);
  ctl->Canvas = nullptr;
  if (ctl->TextChanged) ctl->TextChanged(ctl);
}
