#include "gdi_log.h"

GdiLog gGdi;

// The import slots every call of this program goes through.
extern "C" {
extern decltype(&::GetDC) imp_GetDC __asm__("__imp__GetDC@4");
extern decltype(&::ReleaseDC) imp_ReleaseDC __asm__("__imp__ReleaseDC@8");
extern decltype(&::CreateCompatibleDC) imp_CreateCompatibleDC __asm__("__imp__CreateCompatibleDC@4");
extern decltype(&::DeleteDC) imp_DeleteDC __asm__("__imp__DeleteDC@4");
extern decltype(&::CreateFontIndirectA) imp_CreateFontIndirectA __asm__("__imp__CreateFontIndirectA@4");
extern decltype(&::DeleteObject) imp_DeleteObject __asm__("__imp__DeleteObject@4");
extern decltype(&::GetStockObject) imp_GetStockObject __asm__("__imp__GetStockObject@4");
extern decltype(&::SelectObject) imp_SelectObject __asm__("__imp__SelectObject@8");
}

namespace {

decltype(&::GetDC) realGetDC;
decltype(&::ReleaseDC) realReleaseDC;
decltype(&::CreateCompatibleDC) realCreateCompatibleDC;
decltype(&::DeleteDC) realDeleteDC;
decltype(&::CreateFontIndirectA) realCreateFontIndirectA;
decltype(&::DeleteObject) realDeleteObject;
decltype(&::GetStockObject) realGetStockObject;
decltype(&::SelectObject) realSelectObject;

void Note(const std::string& event) {
  if (gGdi.recording) gGdi.events.push_back(event);
}

std::string What(HGDIOBJ obj) {
  if (obj == realGetStockObject(SYSTEM_FONT)) return "stockfont";
  if (obj == realGetStockObject(NULL_BRUSH)) return "stockbrush";
  if (obj == realGetStockObject(BLACK_PEN)) return "stockpen";
  switch (GetObjectType(obj)) {
    case OBJ_FONT: return "font";
    case OBJ_BRUSH: return "brush";
    case OBJ_PEN: return "pen";
    default: return "other";
  }
}

HDC WINAPI HookGetDC(HWND hwnd) {
  Note("GetDC");
  return realGetDC(hwnd);
}
int WINAPI HookReleaseDC(HWND hwnd, HDC dc) {
  Note("ReleaseDC");
  return realReleaseDC(hwnd, dc);
}
HDC WINAPI HookCreateCompatibleDC(HDC dc) {
  Note("CreateCompatibleDC");
  return realCreateCompatibleDC(dc);
}
BOOL WINAPI HookDeleteDC(HDC dc) {
  Note("DeleteDC");
  return realDeleteDC(dc);
}
HFONT WINAPI HookCreateFontIndirectA(const LOGFONTA* lf) {
  Note("CreateFont");
  return realCreateFontIndirectA(lf);
}
BOOL WINAPI HookDeleteObject(HGDIOBJ obj) {
  if (gGdi.recording) Note("Delete:" + What(obj));
  return realDeleteObject(obj);
}
HGDIOBJ WINAPI HookGetStockObject(int index) {
  Note("GetStock");
  return realGetStockObject(index);
}
HGDIOBJ WINAPI HookSelectObject(HDC dc, HGDIOBJ obj) {
  if (gGdi.recording) Note("Select:" + What(obj));
  return realSelectObject(dc, obj);
}

template <class F>
void Redirect(F* slot, F hook, F* real) {
  DWORD old;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
  *real = *slot;
  *slot = hook;
  VirtualProtect(slot, sizeof *slot, old, &old);
}

}  // namespace

void GdiLog::Start() {
  events.clear();
  recording = true;
}

int GdiLog::Count(const std::string& event) const {
  int n = 0;
  for (const std::string& e : events) n += e == event ? 1 : 0;
  return n;
}

int GdiLog::Find(const std::string& event, int from) const {
  for (size_t i = from; i < events.size(); ++i) {
    if (events[i] == event) return static_cast<int>(i);
  }
  return -1;
}

std::string GdiLog::Joined() const {
  std::string all;
  for (const std::string& e : events) all += e + " ";
  return all;
}

void InstallGdiLog() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Redirect(&imp_GetDC, HookGetDC, &realGetDC);
  Redirect(&imp_ReleaseDC, HookReleaseDC, &realReleaseDC);
  Redirect(&imp_CreateCompatibleDC, HookCreateCompatibleDC, &realCreateCompatibleDC);
  Redirect(&imp_DeleteDC, HookDeleteDC, &realDeleteDC);
  Redirect(&imp_CreateFontIndirectA, HookCreateFontIndirectA, &realCreateFontIndirectA);
  Redirect(&imp_DeleteObject, HookDeleteObject, &realDeleteObject);
  Redirect(&imp_GetStockObject, HookGetStockObject, &realGetStockObject);
  Redirect(&imp_SelectObject, HookSelectObject, &realSelectObject);
}
