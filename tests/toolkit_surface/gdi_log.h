// Records this program's device-context and GDI calls, one letter each, by
// redirecting its import slots at start-up (GetGuiResources answers 0 under
// Wine, so the balance is counted here): G GetDC, R ReleaseDC, C CreateCompatibleDC,
// D DeleteDC, F CreateFontIndirectA, X DeleteObject, S SelectObject of an own
// object, s of one of the stock objects the surface puts back.
#pragma once
#include <windows.h>

#include <string>

inline std::string gGdiCalls;
inline bool gGdiRecording = false;
template <class F>
std::string GdiCalls(F work) {
  gGdiRecording = true, gGdiCalls.clear(), work(), gGdiRecording = false;
  return gGdiCalls;
}
inline bool IsStock(HGDIOBJ obj) {
  return obj == GetStockObject(SYSTEM_FONT) || obj == GetStockObject(NULL_BRUSH) || obj == GetStockObject(BLACK_PEN);
}

// The import section of a mingw program is writable, so the slots are simply replaced.
#define GDI_HOOK(R, fn, argBytes, params, args, letter)                                          \
  extern "C" decltype(&::fn) imp_##fn __asm__("__imp__" #fn "@" #argBytes);                     \
  inline decltype(&::fn) real_##fn = imp_##fn;                                                   \
  inline R WINAPI hook_##fn params { if (gGdiRecording) gGdiCalls += letter; return real_##fn args; } \
  inline const bool hooked_##fn = (imp_##fn = hook_##fn, true);
GDI_HOOK(HDC, GetDC, 4, (HWND w), (w), 'G')
GDI_HOOK(int, ReleaseDC, 8, (HWND w, HDC dc), (w, dc), 'R')
GDI_HOOK(HDC, CreateCompatibleDC, 4, (HDC dc), (dc), 'C')
GDI_HOOK(BOOL, DeleteDC, 4, (HDC dc), (dc), 'D')
GDI_HOOK(HFONT, CreateFontIndirectA, 4, (const LOGFONTA* lf), (lf), 'F')
GDI_HOOK(BOOL, DeleteObject, 4, (HGDIOBJ obj), (obj), 'X')
GDI_HOOK(HGDIOBJ, SelectObject, 8, (HDC dc, HGDIOBJ obj), (dc, obj), IsStock(obj) ? 's' : 'S')
