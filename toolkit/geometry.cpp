#include "toolkit/geometry.h"

#include <stdlib.h>
#include <string.h>

#include "support/strings.h"
#include "support/wide_text.h"
#include "toolkit/dispatch.h"
#include "toolkit/loop.h"
#include "toolkit/window.h"

static void NoLayout(Control*) {}
void (*LayoutHook)(Control* ctl) = NoLayout;

// The frame must be recomputed after a style change; nothing else may move.
const UINT kFrameChangedFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

static void ApplyStyleLong(Control* ctl, int index, DWORD value) {
  if (!ctl->Handle) return;
  SetWindowLongA(ctl->Handle, index, static_cast<LONG>(value));
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
  ctl->FixedWidth = GetWidth(ctl);
  ctl->FixedHeight = GetHeight(ctl);
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
  ctl->Icon = icon;
  LPARAM handed = icon == kNoIcon ? 0 : reinterpret_cast<LPARAM>(icon);
  HICON previous = reinterpret_cast<HICON>(SendToControl(ctl, WM_SETICON, ICON_BIG, handed));
  if (previous) DestroyIcon(previous);
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
  if (ctl->Handle) ShowWindow(ctl->Handle, visible ? SW_SHOW : SW_HIDE);
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
  RECT r = ctl->Bounds;
  if (!ctl->Handle) return r;
  GetWindowRect(ctl->Handle, &r);
  if (ctl->IsChild) {
    // A child without a parent control has no client origin to be relative to.
    if (!ctl->Parent) return r;
    POINT origin = ClientToScreenPoint(ctl->Parent, POINT{0, 0});
    OffsetRect(&r, -origin.x, -origin.y);
  }
  ctl->Bounds = r;
  return r;
}

void SetBoundsRect(Control* ctl, const RECT& r) {
  RECT current = GetBoundsRect(ctl);
  if (EqualRect(&r, &current)) return;
  if (r.left != current.left) ctl->MovedFlags |= 1;
  if (r.top != current.top) ctl->MovedFlags |= 2;
  ctl->Bounds = r;
  // A fixed size holds against the user, not against the program: without this
  // the default WM_WINDOWPOSCHANGING would clamp the new size to the old one.
  if (ctl->FixedSize) {
    ctl->FixedWidth = r.right - r.left;
    ctl->FixedHeight = r.bottom - r.top;
  }
  if (!ctl->Handle) return;
  SetWindowPos(ctl->Handle, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (ctl->RedrawOnResize) Invalidate(ctl);
}

POINT ClientToScreenPoint(Control* ctl, POINT in) {
  if (ctl->Handle) ClientToScreen(ctl->Handle, &in);
  return in;
}

RECT GetClientArea(Control* ctl) {
  HWND handle = EnsureHandle(ctl);
  if (!handle) return ctl->Bounds;
  RECT r;
  GetClientRect(handle, &r);
  return r;
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
// the outer size include the real frame.
void SetClientWidth(Control* ctl, int32_t cw) {
  int32_t client = GetClientWidth(ctl);
  SetWidth(ctl, cw + (GetWidth(ctl) - client));
}

void SetClientHeight(Control* ctl, int32_t ch) {
  int32_t client = GetClientHeight(ctl);
  SetHeight(ctl, ch + (GetHeight(ctl) - client));
}

Control* SetClientSize(Control* ctl, int32_t cw, int32_t ch) {
  if (cw > 0) SetClientWidth(ctl, cw);
  if (ch > 0) SetClientHeight(ctl, ch);
  return ctl;
}

Control* CenterOnParent(Control* ctl) {
  RECT area;
  if (ctl->Parent && ctl->IsChild) {
    area = GetClientArea(ctl->Parent);
  } else {
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  EnsureHandle(ctl);
  // An arithmetic shift, not a division: a window larger than the area gets
  // the odd pixel on the left (-5 >> 1 is -3).
  SetLeft(ctl, (area.right - area.left - GetWidth(ctl)) >> 1);
  SetTop(ctl, (area.bottom - area.top - GetHeight(ctl)) >> 1);
  return ctl;
}
