#include "toolkit/scale.h"

#include "toolkit/geometry.h"
#include "toolkit/image_list.h"
#include "toolkit/window.h"

namespace {

// All arrived with Windows 10; looked up so that the program still starts before it.
struct DpiProcs {
  bool looked;
  UINT(WINAPI* forSystem)();
  UINT(WINAPI* forWindow)(HWND);
  int(WINAPI* metricForDpi)(int, UINT);
} procs;

const DpiProcs& Procs() {
  if (!procs.looked) {
    HMODULE user = GetModuleHandleA("user32.dll");
    procs.forSystem = reinterpret_cast<UINT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForSystem")));
    procs.forWindow = reinterpret_cast<UINT(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
    procs.metricForDpi = reinterpret_cast<int(WINAPI*)(int, UINT)>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetricsForDpi")));
    procs.looked = true;
  }
  return procs;
}

int32_t FromDevice(int32_t value, int32_t dpi) { return MulDiv(value, kBaseDpi, dpi); }

// Children first, so that each reads its 96-DPI place while the old DPI still holds.
void RecordPlaces(Control* ctl) {
  for (int32_t i = 0; i < ctl->Children->Count; ++i) {
    Control* child = ChildAt(ctl, i);
    if (!child->IsChild) continue;
    GetBoundsRect(child);
    RecordPlaces(child);
  }
}

void SetTreeDpi(Control* ctl, int32_t dpi) {
  ctl->Dpi = dpi;
  for (int32_t i = 0; i < ctl->Children->Count; ++i)
    if (ChildAt(ctl, i)->IsChild) SetTreeDpi(ChildAt(ctl, i), dpi);
}

void PlaceChildren(Control* ctl) {
  for (int32_t i = 0; i < ctl->Children->Count; ++i) {
    Control* child = ChildAt(ctl, i);
    if (!child->IsChild) continue;
    // The recorded place; reading the window now would convert at the new DPI.
    RECT place = child->Bounds;
    SetBoundsRect(child, place);
    PlaceChildren(child);
  }
}

// After every place: auto-size re-measures and reads the new places.
void RenewFontsAndImages(Control* ctl) {
  if (ctl->Font) SetToolDpi(ctl->Font, ctl->Dpi);
  for (ImageList* list = ctl->OwnedImageLists; list; list = list->Next) RefillImageList(list);
  Invalidate(ctl);
  for (int32_t i = 0; i < ctl->Children->Count; ++i)
    if (ChildAt(ctl, i)->IsChild) RenewFontsAndImages(ChildAt(ctl, i));
}

}  // namespace

int32_t ScreenDpi() {
  if (Procs().forSystem) return static_cast<int32_t>(procs.forSystem());
  HDC screen = GetDC(nullptr);
  int32_t dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

int32_t WindowDpi(HWND window) {
  if (Procs().forWindow) {
    int32_t dpi = static_cast<int32_t>(procs.forWindow(window));
    if (dpi > 0) return dpi;
  }
  return ScreenDpi();
}

int32_t ControlDpi(const Control* ctl) {
  for (; ctl; ctl = ctl->Parent)
    if (ctl->Dpi) return ctl->Dpi;
  return kBaseDpi;
}

int32_t ToDevice(int32_t value, int32_t dpi) { return MulDiv(value, dpi, kBaseDpi); }

int32_t FromDeviceCeil(int32_t value, int32_t dpi) {
  return (value * kBaseDpi + dpi - 1) / dpi;
}

RECT ToDeviceRect(const RECT& r, int32_t dpi) {
  LONG left = ToDevice(r.left, dpi);
  LONG top = ToDevice(r.top, dpi);
  return RECT{left, top, left + ToDevice(r.right - r.left, dpi),
              top + ToDevice(r.bottom - r.top, dpi)};
}

RECT FromDeviceRect(const RECT& r, int32_t dpi) {
  if (dpi == kBaseDpi) return r;
  LONG left = FromDevice(r.left, dpi);
  LONG top = FromDevice(r.top, dpi);
  return RECT{left, top, left + FromDevice(r.right - r.left, dpi),
              top + FromDevice(r.bottom - r.top, dpi)};
}

int32_t CheckMarkWidth(int32_t dpi) {
  if (Procs().metricForDpi) return procs.metricForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(SM_CXMENUCHECK), dpi, ScreenDpi());
}

void ChangeDpi(Control* form, int32_t dpi, const RECT* suggested) {
  int32_t old = ControlDpi(form);
  if (dpi <= 0 || (dpi == old && !suggested)) return;
  RecordPlaces(form);
  RECT window;
  GetWindowRect(form->Handle, &window);
  if (!suggested) {
    window.right = window.left + MulDiv(window.right - window.left, dpi, old);
    window.bottom = window.top + MulDiv(window.bottom - window.top, dpi, old);
    suggested = &window;
  }
  SetTreeDpi(form, dpi);
  SetDeviceBounds(form, *suggested);
  PlaceChildren(form);
  RenewFontsAndImages(form);
}
