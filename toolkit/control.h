// The control record: the toolkit object that stands for one window, its table
// of virtual operations, its start values and the construction steps that every
// kind shares. A constructor only fills the record; the window is made later
// (window.h). The kinds' own constructors stand beside their handlers: form.h,
// buttons.h, paint.h, splitter.h.
#pragma once
#include <windows.h>
#include "toolkit/graphics.h"
#include "toolkit/object.h"

struct Control;
struct DrawingSurface;
struct ImageList;

// Where a child docks in its parent's client area.
enum Alignment : uint8_t {
  kAlignNone,
  kAlignLeft,
  kAlignTop,
  kAlignRight,
  kAlignBottom,
  kAlignClient,
};

// The four values of a window message; message steps may change WParam.
struct WindowMessage {
  HWND Window;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// A message step answers whether it handled the message; *result starts at 0
// and is the window procedure's return value when the step handled it.
typedef bool (*MessageStep)(Control* ctl, WindowMessage* message, LRESULT* result);

typedef bool (*MessageHookProc)(void* data, WindowMessage* message, LRESULT* result);
struct MessageHookMethod {
  MessageHookProc Code;
  void* Data;
};

typedef void (*ClickProc)(void* context, Control* sender);
struct ClickMethod {
  ClickProc Code;
  void* Context;
};

// Copied whole from a kind's constant when a child kind is constructed.
struct KindTemplate {
  uint16_t ClickCode;          // notification code that means "clicked"
  uint16_t OtherCodes[4];      // nothing acts on these
  uint16_t ImageListMessage;   // 0: no message attaches image lists
  uint16_t TextPadX;           // added to the text extent by auto-size; 0 = not sized
  uint16_t TextPadY;
  uint16_t ColorMessage;       // sent with the new colour by SetColor; 0 = none
};

struct EdgeStyleFlags {
  uint8_t Requested;  // children created under this control may take the sunken look
  uint8_t Applied;    // this control's WS_BORDER is shown as a sunken client edge
};

struct ClientMarginSet {
  int32_t Top, Bottom, Left, Right;
};

struct Control : ToolkitObject {
  HWND Handle;
  UINT ClassStyle;
  DWORD Style;
  DWORD ExStyle;
  HCURSOR CursorHandle;
  HICON Icon;  // 0: chosen when the window is made; kNoIcon: none
  char* Caption;
  int32_t RestoreShowCmd;
  DrawingSurface* Canvas;
  WNDPROC BaseWndProc;
  uint8_t WndGone;
  Control* Parent;
  uint8_t Visible;
  uint8_t TabStop;
  PointerList* Children;
  HBRUSH BrushHandle;
  COLORREF BrushRGB;
  uint8_t Destroying;
  UINT CtlId;
  ImageList* OwnedImageLists;
  ImageList* SmallImages;
  ImageList* LargeImages;
  ImageList* StateImages;
  uint8_t IsForm;
  uint8_t IsChild;
  uint8_t RedrawOnCaption;
  uint8_t MovedFlags;  // bit 0: left set explicitly, bit 1: top set explicitly
  HDC PaintDC;
  PointerList* Handlers;  // two values per handler: the step, keep-after-quit
  MessageStep PreHandler;
  const char* WndClassName;  // static string, not owned
  EdgeStyleFlags EdgeStyle;
  ColorValue FontColor;
  GraphicTool* Font;  // owned
  ColorValue Color;
  GraphicTool* Brush;  // owned
  int32_t AlignMargin;
  RECT Bounds;
  ClientMarginSet ClientMargins;
  MessageHookMethod MessageHook;
  MessageHookMethod ChainedMessageHook;
  ClickMethod OnClick;
  Control* CurrentControl;
  uint8_t VisibleSet;
  uint8_t ShowPending;
  uint8_t FocusGuard;
  uint8_t IsCancel;
  Control* DefaultButton;
  Control* CancelButton;
  uint8_t IsButton;
  KindTemplate Template;
  Alignment Align;
  uint8_t Dragging;
  POINT DragStart;
  int32_t StartSize;
  int32_t MinBefore;
  int32_t MinAfter;
  uint8_t RedrawOnResize;
  uint8_t FixedSize;
  int32_t FixedWidth;
  int32_t FixedHeight;
  void (*TextChanged)(Control* ctl);
  int32_t Dpi;  // of the window, set when it is made; 0 before (scale.h)
  // A window made early: its move, frame change and big icon wait for its show (geometry.cpp).
  uint8_t PlacementPending;
  uint8_t FramePending;
  uint8_t IconPending;
  RECT PendingPlace;  // in the window's pixels
};

const HICON kNoIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(-1));

// Virtual operations of Control, after those of every object.
struct ControlKind : ObjectKind {
  void (*BindToParent)(Control* ctl, Control* parent);
  bool (*CreateControlWindow)(Control* ctl);
  LRESULT (*HandleMessage)(Control* ctl, WindowMessage* message);
};
extern const ControlKind kControlKind;

inline const ControlKind* KindOf(const Control* ctl) {
  return static_cast<const ControlKind*>(ctl->Kind);
}
inline void BindToParent(Control* ctl, Control* parent) { KindOf(ctl)->BindToParent(ctl, parent); }
inline bool CreateControlWindow(Control* ctl) { return KindOf(ctl)->CreateControlWindow(ctl); }
inline LRESULT HandleMessage(Control* ctl, WindowMessage* message) {
  return KindOf(ctl)->HandleMessage(ctl, message);
}

// The Control versions of the virtual operations. ControlDestroyObject is in
// loop.cpp, ControlCreateWindow in window.cpp, ControlHandleMessage in dispatch.cpp.
void ControlInitObject(ToolkitObject* obj);
void ControlDestroyObject(ToolkitObject* obj);
void ControlBindToParent(Control* ctl, Control* parent);
bool ControlCreateWindow(Control* ctl);
LRESULT ControlHandleMessage(Control* ctl, WindowMessage* message);

// Gives each child control its CtlId; starts at 0x8000.
extern uint16_t NextControlId;

Control* NewControlObject(Control* parent);
// The first step of every constructor: class name, edge, inherited colours,
// font and margin, and the first place under the parent.
Control* NewControlOfClass(Control* parent, const char* className, uint8_t edgeWish);

void SetParentControl(Control* ctl, Control* parent);

// The nearest of ctl and its ancestors that is not a child; null when none.
Control* FindForm(Control* ctl);

// The i-th child of ctl.
inline Control* ChildAt(const Control* ctl, int32_t i) {
  return reinterpret_cast<Control*>(ctl->Children->Items[i]);
}
