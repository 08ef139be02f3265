#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_log.h"
#include "toolkit/control.h"
#include "toolkit/surface.h"

namespace {

using Events = std::vector<std::string>;

// Events without the stock-object fetches, which happen only once per run.
Events Calls() {
  Events out;
  for (const std::string& e : gGdi.events) {
    if (e != "GetStock") out.push_back(e);
  }
  return out;
}

// A plain window without CS_OWNDC, so every GetDC takes a DC from the cache
// and a missing ReleaseDC would really leak one.
HWND PlainWindow() {
  static ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SurfaceTestWindow";
    return RegisterClassA(&wc);
  }();
  EXPECT_NE(atom, 0);
  return CreateWindowA("SurfaceTestWindow", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                       GetModuleHandleA(nullptr), nullptr);
}

// Mirrors the control's provider without painting: the held DC, else a new one.
struct ProviderState {
  HWND window = nullptr;
  bool failGetDC = false;
  int asked = 0;
};
HDC HeldOrWindowDC(void* context, DrawingSurface* surface) {
  ProviderState* state = static_cast<ProviderState*>(context);
  ++state->asked;
  if (surface->DC) return surface->DC;
  return state->failGetDC ? nullptr : GetDC(state->window);
}

const ObjectKind kBareControlKind = {sizeof(Control), BaseInitObject, BaseDestroyObject};

struct SurfaceFixture : ::testing::Test {
  HWND window = nullptr;
  Control* owner = nullptr;
  ProviderState provider;
  DrawingSurface* surface = nullptr;

  void SetUp() override {
    InstallGdiLog();
    window = PlainWindow();
    ASSERT_NE(window, nullptr);
    owner = NewObjectOf<Control>(&kBareControlKind);
    owner->Handle = window;
    owner->FontColor = clWindowText;
    provider.window = window;
    surface = NewDrawingSurface();
    surface->OwnerControl = owner;
    surface->DCProvider = {HeldOrWindowDC, &provider};
    surface->Font = NewFontTool();
    SetToolField(surface->Font, ToolHeight, -20);
  }
  void TearDown() override {
    gGdi.Stop();
    if (surface) Dispose(surface);
    Dispose(owner);
    DestroyWindow(window);
  }
};

SIZE ReferenceExtent(const LOGFONTA& lf, const char* text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return size;
}

TEST_F(SurfaceFixture, MeasureTextGivesTheWindowDCBack) {
  gGdi.Start();
  SIZE size = MeasureText(surface, "Hello");
  gGdi.Stop();
  EXPECT_EQ(Calls(), (Events{"GetDC", "CreateFont", "Select:font", "Select:stockfont",
                             "Select:stockbrush", "Select:stockpen", "ReleaseDC"}));
  EXPECT_EQ(surface->DC, nullptr);
  EXPECT_EQ(surface->Selected, 0);
  SIZE expected = ReferenceExtent(surface->Font->Descriptor, "Hello");
  EXPECT_EQ(size.cx, expected.cx);
  EXPECT_EQ(size.cy, expected.cy);
  EXPECT_GE(size.cy, 18);
  EXPECT_GT(MeasureText(surface, "HelloHello").cx, size.cx);
  SIZE empty = MeasureText(surface, nullptr);
  EXPECT_EQ(empty.cx, 0);

  // Many measurements: every DC taken is given back, the font is made once.
  const int kRounds = 1000;
  gGdi.Start();
  for (int i = 0; i < kRounds; ++i) MeasureText(surface, "Balance");
  gGdi.Stop();
  std::printf("%d measurements: GetDC %d, ReleaseDC %d, fonts made %d, objects deleted %d\n",
              kRounds, gGdi.Count("GetDC"), gGdi.Count("ReleaseDC"), gGdi.Count("CreateFont"),
              gGdi.Count("Delete:font") + gGdi.Count("Delete:other"));
  EXPECT_EQ(gGdi.Count("GetDC"), kRounds);
  EXPECT_EQ(gGdi.Count("ReleaseDC"), kRounds);
  EXPECT_EQ(gGdi.Count("CreateFont"), 0);
  EXPECT_EQ(gGdi.Count("CreateCompatibleDC"), 0);

  HGDIOBJ font = surface->Font->Handle;
  gGdi.Start();
  Dispose(surface);
  surface = nullptr;
  gGdi.Stop();
  EXPECT_EQ(Calls(), (Events{"Delete:font"}));
  EXPECT_EQ(GetObjectType(font), 0u);
}

TEST_F(SurfaceFixture, FontChangeWhileSelectedPutsTheStockObjectsBackFirst) {
  HDC dc = PrepareDC(surface, NeedDC | NeedFont);
  ASSERT_NE(dc, nullptr);
  HGDIOBJ oldFont = surface->Font->Handle;
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), oldFont);
  EXPECT_EQ(surface->Selected, NeedDC | NeedFont);
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));

  gGdi.Start();
  SetToolField(surface->Font, ToolHeight, -30);
  gGdi.Stop();
  EXPECT_EQ(Calls(), (Events{"Select:stockfont", "Select:stockbrush", "Select:stockpen", "Delete:font"}));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(surface->Selected, NeedDC);
  EXPECT_EQ(surface->DC, dc);

  SetToolField(surface->Font, ToolColor, 0x000000FF);
  EXPECT_EQ(PrepareDC(surface, NeedDC | NeedFont), dc);
  HGDIOBJ newFont = GetCurrentObject(dc, OBJ_FONT);
  EXPECT_EQ(newFont, surface->Font->Handle);
  LOGFONTA lf = {};
  GetObjectA(newFont, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -30);
  EXPECT_EQ(GetTextColor(dc), 0x000000FFu);

  // Nothing changed: no GDI work beyond asking the provider.
  int asked = provider.asked;
  gGdi.Start();
  PrepareDC(surface, NeedDC | NeedFont);
  PrepareDC(surface, NeedDC);
  gGdi.Stop();
  EXPECT_EQ(Calls(), Events{});
  EXPECT_EQ(provider.asked, asked + 2);

  gGdi.Start();
  SetSurfaceDC(surface, nullptr);
  gGdi.Stop();
  EXPECT_EQ(Calls(), (Events{"Select:stockfont", "Select:stockbrush", "Select:stockpen", "ReleaseDC"}));
  EXPECT_EQ(surface->Selected, 0);
}

TEST_F(SurfaceFixture, MemoryDCWhenNoWindowDCIsToBeHad) {
  // A provider whose GetDC fails, and no provider at all.
  for (bool withProvider : {true, false}) {
    provider.failGetDC = true;
    if (!withProvider) surface->DCProvider = {};
    gGdi.Start();
    SIZE size = MeasureText(surface, "Hello");
    gGdi.Stop();
    EXPECT_GT(size.cx, 0) << withProvider;
    EXPECT_EQ(size.cy, ReferenceExtent(surface->Font->Descriptor, "Hello").cy) << withProvider;
    EXPECT_EQ(gGdi.Count("CreateCompatibleDC"), 1) << withProvider;
    EXPECT_EQ(gGdi.Count("DeleteDC"), 1) << withProvider;
    EXPECT_EQ(gGdi.Count("ReleaseDC"), 0) << withProvider;
    EXPECT_LT(gGdi.Find("Select:stockfont"), gGdi.Find("DeleteDC")) << withProvider;
    EXPECT_EQ(surface->DC, nullptr) << withProvider;
  }
}

TEST_F(SurfaceFixture, RestoreAndReadoptDoNothingWhenNothingIsSelected) {
  gGdi.Start();
  RestoreStockObjects(surface);  // no DC
  SetSurfaceDC(surface, nullptr);
  gGdi.Stop();
  EXPECT_EQ(Calls(), Events{});

  surface->DCProvider = {};
  HDC memory = CreateCompatibleDC(nullptr);
  SetSurfaceDC(surface, memory);
  EXPECT_EQ(surface->Selected, NeedDC);
  POINT pos = {5, 5};
  GetCurrentPositionEx(memory, &pos);
  EXPECT_EQ(pos.x, 0);
  EXPECT_EQ(pos.y, 0);
  gGdi.Start();
  RestoreStockObjects(surface);  // only NeedDC
  SetSurfaceDC(surface, memory);
  gGdi.Stop();
  EXPECT_EQ(Calls(), Events{});

  gGdi.Start();
  SetSurfaceDC(surface, nullptr);
  gGdi.Stop();
  EXPECT_EQ(Calls(), Events{"DeleteDC"}) << "a memory DC is deleted, never released";
}

TEST_F(SurfaceFixture, StockObjectsAreFetchedOnce) {
  StockObjects = {};
  gGdi.Start();
  for (int i = 0; i < 20; ++i) MeasureText(surface, "stock");
  gGdi.Stop();
  EXPECT_EQ(gGdi.Count("GetStock"), 3);
  EXPECT_EQ(StockObjects.Pen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(StockObjects.Brush, GetStockObject(NULL_BRUSH));
  EXPECT_EQ(StockObjects.Font, GetStockObject(SYSTEM_FONT));
}

}  // namespace
