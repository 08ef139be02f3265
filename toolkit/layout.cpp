#include "toolkit/layout.h"

#include <stdlib.h>
#include <string.h>

#include "support/strings.h"
#include "toolkit/canvas.h"
#include "toolkit/geometry.h"
#include "toolkit/scale.h"
#include "toolkit/window.h"

static bool HasCheckMark(const Control* ctl) {
  if (!ctl->IsButton) return false;
  switch (ctl->Style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return true;
    default: return false;
  }
}

Control* SetAlign(Control* ctl, Alignment align) {
  LayoutHook = Realign;
  if (align != ctl->Align) {
    ctl->Align = align;
    Realign(ctl->Parent);
  }
  return ctl;
}

// Places one docked child in the free area and takes its room out of the area.
static void PlaceChild(Control* child, RECT* area, int32_t m) {
  RECT r = GetBoundsRect(child);
  RECT old = r;
  int32_t w = r.right - r.left;
  int32_t h = r.bottom - r.top;
  switch (child->Align) {
    case kAlignTop:
      OffsetRect(&r, 0, area->top + m - r.top);
      area->top += m + h;
      r.left = area->left + m;
      r.right = area->right - m;
      break;
    case kAlignBottom:
      OffsetRect(&r, 0, area->bottom - m - r.bottom);
      area->bottom -= m + h;
      r.left = area->left + m;
      r.right = area->right - m;
      break;
    case kAlignLeft:
      OffsetRect(&r, area->left + m - r.left, 0);
      area->left += m + w;
      r.top = area->top + m;
      r.bottom = area->bottom - m;
      break;
    case kAlignRight:
      OffsetRect(&r, area->right - m - r.right, 0);
      area->right -= m + w;
      r.top = area->top + m;
      r.bottom = area->bottom - m;
      break;
    default:
      r = RECT{area->left + m, area->top + m, area->right - m, area->bottom - m};
      break;
  }
  // Children beyond a used-up area get nothing, not a negative size.
  if (r.left > r.right) r.right = r.left;
  if (r.top > r.bottom) r.bottom = r.top;
  bool moved = r.left != old.left || r.top != old.top;
  bool resized = r.right - r.left != w || r.bottom - r.top != h;
  if (moved || resized) SetBoundsRect(child, r);
  if (resized) Realign(child);
}

static bool InPass(Alignment align, int pass) {
  switch (pass) {
    case 0: return align == kAlignTop || align == kAlignBottom;
    case 1: return align == kAlignLeft || align == kAlignRight;
    default: return align == kAlignClient;
  }
}

void Realign(Control* ctl) {
  if (!ctl) return;
  RECT area = GetClientArea(ctl);
  PointerList* children = ctl->Children;
  if (!children) return;
  for (int pass = 0; pass < 3; ++pass) {
    for (int32_t i = 0; i < children->Count; ++i) {
      Control* child = ChildAt(ctl, i);
      if (InPass(child->Align, pass) && IsShowing(child))
        PlaceChild(child, &area, ctl->AlignMargin);
    }
  }
}

bool IsShowing(Control* ctl) {
  bool own = ctl->Visible || ctl->ShowPending;
  if (ctl->IsChild && ctl->Parent) {
    GetVisible(ctl->Parent);
    return own && IsShowing(ctl->Parent);
  }
  return own;
}

Control* SetAutoSize(Control* ctl, bool autoSize) {
  if (autoSize) {
    ctl->TextChanged = AutoSizeToText;
    AutoSizeToText(ctl);
  } else {
    ctl->TextChanged = nullptr;
  }
  return ctl;
}

void AutoSizeToText(Control* ctl) {
  const char* caption = ctl->Caption ? ctl->Caption : "";
  SIZE size = {0, 0};
  if (*caption) {
    char* padded = nullptr;
    const char* text = caption;
    // Italic glyphs lean past their advance width; one space keeps the last one whole.
    if (ctl->Font && ctl->Font->Descriptor.lfItalic) {
      size_t length = strlen(caption);
      padded = static_cast<char*>(AllocZeroed(length + 2));
      memcpy(padded, caption, length);
      padded[length] = ' ';
      padded[length + 1] = 0;
      text = padded;
    }
    EnsureHandle(ctl);
    size = MeasureText(GetCanvas(ctl), text);
    free(padded);
  }
  // The text is measured in the window's pixels; the padding is in 96-DPI
  // units, except a check mark, which the system draws at the window's DPI.
  int32_t dpi = ControlDpi(ctl);
  int32_t markGrowth = 0;
  if (HasCheckMark(ctl)) markGrowth = CheckMarkWidth(dpi) - ToDevice(CheckMarkWidth(kBaseDpi), dpi);
  bool changed = false;
  Alignment align = ctl->Align;
  if ((align == kAlignNone || align == kAlignLeft || align == kAlignRight) &&
      ctl->Template.TextPadX > 0) {
    int32_t width = size.cx + ToDevice(ctl->Template.TextPadX, dpi) + markGrowth;
    SetWidth(ctl, FromDeviceCeil(width, dpi));
    changed = true;
  }
  if ((align == kAlignNone || align == kAlignTop || align == kAlignBottom) &&
      ctl->Template.TextPadY > 0) {
    SetHeight(ctl, FromDeviceCeil(size.cy + ToDevice(ctl->Template.TextPadY, dpi), dpi));
    changed = true;
  }
  if (!changed) return;
  if (ctl->Parent) LayoutHook(ctl->Parent);
  LayoutHook(ctl);
}
