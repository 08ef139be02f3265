#include "toolkit/geometry.h"

#include <stdlib.h>
#include <string.h>

#include "support/strings.h"
#include "support/wide_text.h"
#include "toolkit/dispatch.h"
#include "toolkit/loop.h"
#include "toolkit/scale.h"
#include "toolkit/window.h"

static void NoLayout(Control*) {}
void (*LayoutHook)(Control* ctl) = NoLayout;

// The frame must be recomputed after a style change; nothing else may move.
const UINT kFrameChangedFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// A window made early waits hidden for its first show while the program
// sizes, restyles, centres and re-icons it step by step (a form), or measures
// and fits it to its text (a child). For a window nobody sees, each step would
// still be a round trip to the display; so the moves, the frame change and the
// big icon are recorded, and the window takes them in one go when it is shown.
static bool placingNow = false;

static bool DefersPlacement(const Control* ctl) {
  return ctl->Handle && ctl->ShowPending && !placingNow;
}

static void SendBigIcon(Control* ctl, HICON icon) {
  LPARAM handed = icon == kNoIcon ? 0 : reinterpret_cast<LPARAM>(icon);
  HICON previous = reinterpret_cast<HICON>(SendToControl(ctl, WM_SETICON, ICON_BIG, handed));
  if (previous) DestroyIcon(previous);
}

void HandBigIcon(Control* ctl) {
  if (DefersPlacement(ctl))
    ctl->IconPending = 1;
  else
    SendBigIcon(ctl, GetControlIcon(ctl));
}

static void ApplyPendingIcon(Control* ctl) {
  if (!ctl->IconPending) return;
  ctl->IconPending = 0;
  // The window has had no big icon yet: having none takes no message.
  if (HICON icon = GetControlIcon(ctl)) SendBigIcon(ctl, icon);
}

static void ApplyPendingPlacement(Control* ctl) {
  if (!ctl->PlacementPending && !ctl->FramePending) return;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (ctl->FramePending) flags |= SWP_FRAMECHANGED;
  if (!ctl->PlacementPending) flags |= SWP_NOMOVE | SWP_NOSIZE;
  const RECT& r = ctl->PendingPlace;
  ctl->PlacementPending = ctl->FramePending = 0;
  // A move the window asks for meanwhile (a new monitor's DPI) is made at once.
  placingNow = true;
  SetWindowPos(ctl->Handle, 0, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
  placingNow = false;
}

// The window's rectangle in its own pixels, relative to the parent's client area.
static RECT DeviceBounds(Control* ctl) {
  if (!ctl->Handle) return ToDeviceRect(ctl->Bounds, ControlDpi(ctl));
  if (ctl->PlacementPending) return ctl->PendingPlace;
  RECT r;
  GetWindowRect(ctl->Handle, &r);
  if (ctl->IsChild && ctl->Parent) {
    POINT origin = ClientToScreenPoint(ctl->Parent, POINT{0, 0});
    OffsetRect(&r, -origin.x, -origin.y);
  }
  return r;
}

static void ApplyStyleLong(Control* ctl, int index, DWORD value) {
  if (!ctl->Handle) return;
  SetWindowLongA(ctl->Handle, index, static_cast<LONG>(value));
  if (DefersPlacement(ctl))
    ctl->FramePending = 1;
  else
    SetWindowPos(ctl->Handle, 0, 0, 0, 0, 0, kFrameChangedFlags);
  Invalidate(ctl);
}

void SetStyle(Control* ctl, DWORD style) {
  if (ctl->Style == style) return;
  ctl->Style = style;
  ApplyStyleLong(ctl, GWL_STYLE, style);
}

void SetExStyle(Control* ctl, DWORD exStyle) {
  if (ctl->ExStyle == exStyle) return;
  ctl->ExStyle = exStyle;
  ApplyStyleLong(ctl, GWL_EXSTYLE, exStyle);
}

void RefreshStyles(Control* ctl) {
  if (!ctl->Handle) return;
  ctl->Style = static_cast<DWORD>(GetWindowLongA(ctl->Handle, GWL_STYLE));
  ctl->ExStyle = static_cast<DWORD>(GetWindowLongA(ctl->Handle, GWL_EXSTYLE));
  ctl->ClassStyle = static_cast<UINT>(GetClassLongA(ctl->Handle, GCL_STYLE));
}

void SetEdgeStyle(Control* ctl, uint8_t value) {
  ctl->EdgeStyle.Requested = value;
  if (ctl->EdgeStyle.Applied == value) return;
  ctl->EdgeStyle.Applied = value;
  RefreshStyles(ctl);
  DWORD style = ctl->Style;
  DWORD exStyle = ctl->ExStyle;
  if (value == 1) {
    style &= ~WS_BORDER;
    exStyle |= WS_EX_CLIENTEDGE;
  } else {
    style |= WS_BORDER;
    exStyle &= ~WS_EX_CLIENTEDGE;
  }
  SetStyle(ctl, style);
  SetExStyle(ctl, exStyle);
}

bool IsResizable(Control* ctl) { return !ctl->FixedSize; }

void SetResizable(Control* ctl, bool resizable) {
  if (IsResizable(ctl) == resizable) return;
  ctl->FixedSize = !resizable;
  SetStyle(ctl, resizable ? (ctl->Style | WS_THICKFRAME) : (ctl->Style & ~WS_THICKFRAME));
  EnsureHandle(ctl);
  RECT r = DeviceBounds(ctl);
  ctl->FixedWidth = r.right - r.left;
  ctl->FixedHeight = r.bottom - r.top;
  AddMessageHandler(ctl, FixedSizeHandler);
}

bool FixedSizeHandler(Control* ctl, WindowMessage* message, LRESULT* result) {
  if (IsResizable(ctl)) return false;
  if (message->Msg == WM_GETMINMAXINFO) {
    *result = CallDefaultProcedure(ctl, message);
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(message->LParam);
    info->ptMinTrackSize.x = info->ptMaxTrackSize.x = ctl->FixedWidth;
    info->ptMinTrackSize.y = info->ptMaxTrackSize.y = ctl->FixedHeight;
    return true;
  }
  if (message->Msg == WM_NCHITTEST) {
    *result = CallDefaultProcedure(ctl, message);
    // A border that cannot size must not show the sizing cursor either.
    if (*result >= HTLEFT && *result <= HTBOTTOMRIGHT) {
      *result = HTBORDER;
      return true;
    }
  }
  return false;
}

void SetCaption(Control* ctl, const char* text) {
  if (!text) text = "";
  size_t length = strlen(text);
  char* copy = static_cast<char*>(AllocZeroed(length + 1));
  memcpy(copy, text, length + 1);
  free(ctl->Caption);
  ctl->Caption = copy;
  if (!ctl->Handle) return;
  SetWindowTextW(ctl->Handle, WideText(copy).c_str());
  if (ctl->RedrawOnCaption) Invalidate(ctl);
  if (ctl->TextChanged) ctl->TextChanged(ctl);
}

void SetIcon(Control* ctl, HICON icon) {
  if (ctl->Icon == icon) return;
  HICON recorded = ctl->Icon;
  ctl->Icon = icon;
  if (EnsureHandle(ctl) && ctl->IconPending) {
    // Never handed to the window, so still the control's to destroy.
    if (recorded && recorded != kNoIcon) DestroyIcon(recorded);
    return;
  }
  SendBigIcon(ctl, icon);
}

bool GetVisible(Control* ctl) {
  if (ctl->Handle && !ctl->IsChild) ctl->Visible = IsWindowVisible(ctl->Handle) ? 1 : 0;
  return ctl->Visible != 0;
}

void ApplyVisible(Control* ctl, bool visible) {
  if (visible)
    ctl->Style |= WS_VISIBLE;
  else
    ctl->Style &= ~WS_VISIBLE;
  ctl->Visible = visible;
  if (ctl->Handle) {
    ApplyPendingPlacement(ctl);
    ApplyPendingIcon(ctl);
    ShowWindow(ctl->Handle, visible ? SW_SHOW : SW_HIDE);
  }
  if (ctl->Parent) LayoutHook(ctl->Parent);
  if (visible) LayoutHook(ctl);
  if (ctl->Handle && !visible) ctl->ShowPending = 0;
}

void SetVisible(Control* ctl, bool visible) {
  ctl->VisibleSet = 1;
  ApplyVisible(ctl, visible);
}

void Hide(Control* ctl) { SetVisible(ctl, false); }

void Invalidate(Control* ctl) {
  // Once the loop is quitting, windows are about to go; painting them is wasted.
  if (!QuitRequested && ctl->Handle) InvalidateRect(ctl->Handle, nullptr, TRUE);
}

void Close(Control* ctl) { PostMessageA(ctl->Handle, WM_CLOSE, 0, 0); }

RECT GetBoundsRect(Control* ctl) {
  if (!ctl->Handle) return ctl->Bounds;
  RECT r = FromDeviceRect(DeviceBounds(ctl), ControlDpi(ctl));
  // A child without a parent control has no client origin to be relative to.
  if (ctl->IsChild && !ctl->Parent) return r;
  ctl->Bounds = r;
  return r;
}

// r in 96-DPI units; device the same rectangle in the window's pixels.
static void PlaceControl(Control* ctl, const RECT& r, const RECT& device) {
  RECT currentDevice = DeviceBounds(ctl);
  RECT current = ctl->Bounds;
  if (ctl->Handle) current = FromDeviceRect(currentDevice, ControlDpi(ctl));
  if (EqualRect(&device, &currentDevice)) return;
  if (r.left != current.left) ctl->MovedFlags |= 1;
  if (r.top != current.top) ctl->MovedFlags |= 2;
  ctl->Bounds = r;
  // A fixed size holds against the user, not against the program: without this
  // the default WM_WINDOWPOSCHANGING would clamp the new size to the old one.
  if (ctl->FixedSize) {
    ctl->FixedWidth = device.right - device.left;
    ctl->FixedHeight = device.bottom - device.top;
  }
  if (!ctl->Handle) return;
  if (DefersPlacement(ctl)) {
    ctl->PendingPlace = device;
    ctl->PlacementPending = 1;
    return;
  }
  SetWindowPos(ctl->Handle, 0, device.left, device.top, device.right - device.left,
               device.bottom - device.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (ctl->RedrawOnResize) Invalidate(ctl);
}

void SetBoundsRect(Control* ctl, const RECT& r) {
  PlaceControl(ctl, r, ToDeviceRect(r, ControlDpi(ctl)));
}

void SetDeviceBounds(Control* ctl, const RECT& device) {
  PlaceControl(ctl, FromDeviceRect(device, ControlDpi(ctl)), device);
}

POINT ClientToScreenPoint(Control* ctl, POINT in) {
  if (ctl->Handle) ClientToScreen(ctl->Handle, &in);
  return in;
}

static RECT DeviceClientArea(Control* ctl) {
  HWND handle = EnsureHandle(ctl);
  if (!handle) return ctl->Bounds;
  RECT r;
  if (ctl->PlacementPending || ctl->FramePending) {
    // What the client area will be: the window works it out from its styles
    // as they stand, the very answer the pending move will get.
    r = DeviceBounds(ctl);
    SendMessageW(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    return RECT{0, 0, r.right - r.left, r.bottom - r.top};
  }
  GetClientRect(handle, &r);
  return r;
}

RECT GetClientArea(Control* ctl) {
  RECT r = DeviceClientArea(ctl);
  return ctl->Handle ? FromDeviceRect(r, ControlDpi(ctl)) : r;
}

int32_t GetWidth(Control* ctl) {
  RECT r = GetBoundsRect(ctl);
  return r.right - r.left;
}

int32_t GetHeight(Control* ctl) {
  RECT r = GetBoundsRect(ctl);
  return r.bottom - r.top;
}

void SetLeft(Control* ctl, int32_t x) {
  RECT r = GetBoundsRect(ctl);
  r.right = x + (r.right - r.left);
  r.left = x;
  SetBoundsRect(ctl, r);
}

void SetTop(Control* ctl, int32_t y) {
  RECT r = GetBoundsRect(ctl);
  r.bottom = y + (r.bottom - r.top);
  r.top = y;
  SetBoundsRect(ctl, r);
}

void SetWidth(Control* ctl, int32_t w) {
  RECT r = GetBoundsRect(ctl);
  r.right = r.left + w;
  SetBoundsRect(ctl, r);
}

void SetHeight(Control* ctl, int32_t h) {
  RECT r = GetBoundsRect(ctl);
  r.bottom = r.top + h;
  SetBoundsRect(ctl, r);
}

Control* SetSize(Control* ctl, int32_t w, int32_t h) {
  RECT r = GetBoundsRect(ctl);
  if (w) r.right = r.left + w;
  if (h) r.bottom = r.top + h;
  SetBoundsRect(ctl, r);
  return ctl;
}

Control* SetPosition(Control* ctl, int32_t x, int32_t y) {
  SetLeft(ctl, x);
  SetTop(ctl, y);
  return ctl;
}

int32_t GetClientWidth(Control* ctl) {
  RECT r = GetClientArea(ctl);
  return r.right - r.left;
}

int32_t GetClientHeight(Control* ctl) {
  RECT r = GetClientArea(ctl);
  return r.bottom - r.top;
}

// The client size is read first: it may create the window, and only then does
// the outer size include the real frame. The frame is the system's, in the
// window's own pixels: only the client size is scaled.
static void SetClientExtent(Control* ctl, int32_t extent, bool vertical) {
  RECT client = DeviceClientArea(ctl);
  RECT r = DeviceBounds(ctl);
  LONG& end = vertical ? r.bottom : r.right;
  LONG frame = vertical ? r.bottom - r.top - client.bottom : r.right - r.left - client.right;
  end = (vertical ? r.top : r.left) + ToDevice(extent, ControlDpi(ctl)) + frame;
  SetDeviceBounds(ctl, r);
}

void SetClientWidth(Control* ctl, int32_t cw) { SetClientExtent(ctl, cw, false); }

void SetClientHeight(Control* ctl, int32_t ch) { SetClientExtent(ctl, ch, true); }

Control* SetClientSize(Control* ctl, int32_t cw, int32_t ch) {
  if (cw > 0) SetClientWidth(ctl, cw);
  if (ch > 0) SetClientHeight(ctl, ch);
  return ctl;
}

Control* CenterOnParent(Control* ctl) {
  RECT area;
  if (ctl->Parent && ctl->IsChild) {
    area = DeviceClientArea(ctl->Parent);
  } else {
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  EnsureHandle(ctl);
  // In the window's pixels, where the centre is exact. An arithmetic shift, not
  // a division: a window larger than the area gets the odd pixel on the left
  // (-5 >> 1 is -3). Left first, then top, each a move of its own.
  RECT r = DeviceBounds(ctl);
  OffsetRect(&r, ((area.right - area.left - (r.right - r.left)) >> 1) - r.left, 0);
  SetDeviceBounds(ctl, r);
  r = DeviceBounds(ctl);
  OffsetRect(&r, 0, ((area.bottom - area.top - (r.bottom - r.top)) >> 1) - r.top);
  SetDeviceBounds(ctl, r);
  return ctl;
}
