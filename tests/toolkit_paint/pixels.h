// A test picture with white corners, and a memory DC whose pixels can be read back exactly.
#pragma once
#include <windows.h>

const COLORREF kImageRGB = RGB(200, 40, 30);
const COLORREF kPrefillRGB = RGB(0, 128, 64);
const int kCorner = 4;  // white square in each corner of the picture

// size x size, 24 bits per pixel, kImageRGB with white kCorner x kCorner corners.
inline HBITMAP MakeTestBitmap(int size) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = size;
  bi.bmiHeader.biHeight = -size;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  int stride = (size * 3 + 3) & ~3;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      bool corner = (x < kCorner || x >= size - kCorner) && (y < kCorner || y >= size - kCorner);
      COLORREF c = corner ? RGB(255, 255, 255) : kImageRGB;
      BYTE* p = static_cast<BYTE*>(bits) + y * stride + x * 3;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  }
  return bmp;
}

struct PixelSurface {
  HDC dc;
  HBITMAP bmp;
  HGDIOBJ old;
  PixelSurface(int w, int h, COLORREF fill) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bmp);
    RECT r = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  ~PixelSurface() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};
