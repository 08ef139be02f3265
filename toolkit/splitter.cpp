#include "toolkit/splitter.h"

#include "toolkit/buttons.h"
#include "toolkit/dispatch.h"
#include "toolkit/geometry.h"
#include "toolkit/layout.h"
#include "toolkit/scale.h"

namespace {

bool SplitsVertically(Alignment align) { return align == kAlignTop || align == kAlignBottom; }

// The sibling created just before the splitter; a first child splits itself.
Control* PreviousControl(Control* ctl) {
  if (!ctl->Parent) return ctl;
  int32_t index = IndexOfValue(ctl->Parent->Children, reinterpret_cast<intptr_t>(ctl));
  return index > 0 ? ChildAt(ctl->Parent, index - 1) : ctl;
}

void EndDrag(Control* ctl) {
  ctl->Dragging = 0;
  KillTimer(ctl->Handle, kSplitterTimerId);
  ReleaseCapture();
}

}  // namespace

Control* NewSplitter(Control* parent, int32_t minBefore, int32_t minAfter) {
  Control* ctl = NewPanel(parent, 1);
  ctl->MinBefore = minBefore;
  ctl->MinAfter = minAfter;
  ctl->Bounds.right = ctl->Bounds.left + 4;
  ctl->Bounds.bottom = ctl->Bounds.top + 4;
  if (parent && parent->Children->Count > 1) {
    Control* prev = ChildAt(parent, parent->Children->Count - 2);
    bool vertical = SplitsVertically(prev->Align);
    ctl->CursorHandle = LoadCursorA(nullptr, vertical ? IDC_SIZENS : IDC_SIZEWE);
    SetAlign(ctl, prev->Align);
  }
  AddMessageHandler(ctl, SplitterHandler);
  return ctl;
}

bool SplitterHandler(Control* ctl, WindowMessage* message, LRESULT* result) {
  switch (message->Msg) {
    case WM_NCHITTEST: {
      // The whole splitter must take the mouse, also its sunken edge. DefWindowProcA answers
      // that edge with HTNOWHERE, not HTBORDER, and a 2-pixel line is nothing but edge.
      LRESULT hit = DefWindowProcA(ctl->Handle, message->Msg, message->WParam, message->LParam);
      if (hit == HTNOWHERE) {
        RECT window;
        GetWindowRect(ctl->Handle, &window);
        POINT p = {static_cast<short>(LOWORD(message->LParam)),
                   static_cast<short>(HIWORD(message->LParam))};
        if (PtInRect(&window, p)) hit = HTCLIENT;
      }
      *result = hit > 0 ? HTCLIENT : hit;
      return true;
    }
    case WM_MOUSEMOVE:
      // A first child inherits no sizing cursor; SetCursor(0) would hide the pointer.
      if (ctl->CursorHandle) SetCursor(ctl->CursorHandle);
      SplitterTrack(ctl, false);
      return false;
    case WM_LBUTTONDOWN:
      if (ctl->Parent) {
        Control* prev = PreviousControl(ctl);
        ctl->StartSize = SplitsVertically(ctl->Align) ? GetHeight(prev) : GetWidth(prev);
        SetCapture(ctl->Handle);
        ctl->Dragging |= 1;
        // A static never has the key focus, so Escape is polled while the drag lasts.
        SetTimer(ctl->Handle, kSplitterTimerId, kSplitterTimerPeriod, nullptr);
        GetCursorPos(&ctl->DragStart);
      }
      return false;
    case WM_LBUTTONUP:
      SplitterTrack(ctl, false);
      EndDrag(ctl);
      return false;
    case WM_TIMER:
      if ((ctl->Dragging & 1) && (GetAsyncKeyState(VK_ESCAPE) & 0x8000)) {
        SplitterTrack(ctl, true);
        EndDrag(ctl);
      }
      return false;
    default:
      return false;
  }
}

void SplitterTrack(Control* ctl, bool cancel) {
  Control* parent = ctl->Parent;
  if (!(ctl->Dragging & 1) || !parent) return;
  POINT p;
  GetCursorPos(&p);
  if (cancel) p = ctl->DragStart;
  int32_t sign = (ctl->Align == kAlignRight || ctl->Align == kAlignBottom) ? -1 : 1;
  bool vertical = SplitsVertically(ctl->Align);
  int32_t size, rest;
  // The mouse moves in the window's pixels, sizes are in 96-DPI units.
  int32_t dpi = ControlDpi(ctl);
  p.x = MulDiv(p.x - ctl->DragStart.x, kBaseDpi, dpi);
  p.y = MulDiv(p.y - ctl->DragStart.y, kBaseDpi, dpi);
  if (vertical) {
    size = p.y * sign + ctl->StartSize;
    rest = GetClientHeight(parent) - size - (ctl->Bounds.bottom - ctl->Bounds.top);
  } else {
    size = p.x * sign + ctl->StartSize;
    rest = GetClientWidth(parent) - size - (ctl->Bounds.right - ctl->Bounds.left);
  }
  rest -= 4 * parent->AlignMargin;
  if (size < ctl->MinBefore) {
    rest -= ctl->MinBefore - size;
    size = ctl->MinBefore;
  }
  if (rest < ctl->MinAfter) {
    size -= ctl->MinAfter - rest;
    rest = ctl->MinAfter;
  }
  if (size < ctl->MinBefore || rest < ctl->MinAfter) return;

  Control* prev = PreviousControl(ctl);
  RECT r = GetBoundsRect(prev);
  switch (ctl->Align) {
    case kAlignTop: r.bottom = r.top + size; break;
    case kAlignRight: r.left = r.right - size; break;
    case kAlignBottom: r.top = r.bottom - size; break;
    default: r.right = r.left + size; break;
  }
  SetBoundsRect(prev, r);
  LayoutHook(parent);
}
