// Painting: control canvases, invalidation, painting a window with its
// graphic children, double buffering, and the painting control classes.
#include "classlib/controls/Controls.h"

#include <algorithm>
#include <optional>

#include "classlib/controls/ControlsPrivate.h"
#include "classlib/graphics/GdiHandles.h"

using namespace controls_detail;

// ---------------------------------------------------------------------------
// TControlCanvas
namespace {
// The canvases that hold a context of their own, so that a window going
// away takes them back before the context dies with it.  Never freed, like
// the window classes' default procedures.
std::vector<TControlCanvas*>& CanvasesWithContext()
{
    static auto* list = new std::vector<TControlCanvas*>();
    return *list;
}
} // namespace

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::FreeWindowContexts(HWND Wnd)
{
    std::vector<TControlCanvas*> list = CanvasesWithContext();
    for (TControlCanvas* c : list)
        if (c->FWindowHandle == Wnd)
            c->FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value)
{
    if (FControl == Value)
        return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::FreeHandle()
{
    if (!FDeviceContext)
        return;
    if (HandleAllocated() && Handle() == FDeviceContext)
        SetHandle(nullptr);
    ::ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    auto& list = CanvasesWithContext();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::CreateHandle()
{
    // A context of ours set aside by a paint is not taken up again: give it
    // back before asking for a new one.
    FreeHandle();
    if (!FControl)
        return;
    auto* win = dynamic_cast<TWinControl*>(FControl);
    HWND wnd = nullptr;
    int dx = 0, dy = 0;
    if (win) {
        wnd = win->Handle();
    } else if (FControl->Parent()) {
        wnd = FControl->Parent()->Handle();
        dx = FControl->Left();
        dy = FControl->Top();
    }
    if (!wnd)
        return;
    HDC dc = ::GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc)
        throw EOutOfResources(L"Out of system resources");
    if (!win) {
        ::SetViewportOrgEx(dc, dx, dy, nullptr);
        ::IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
    }
    FDeviceContext = dc;
    FWindowHandle = wnd;
    CanvasesWithContext().push_back(this);
    SetHandle(dc);
}

TCanvasPaintScope::TCanvasPaintScope(TControlCanvas* Canvas, HDC DC) : FCanvas(Canvas), FOld(nullptr)
{
    FCanvas->Lock();
    // A context of the canvas's own is not needed while it paints; one left
    // is a paint further out, which gets its context back.
    FCanvas->FreeHandle();
    if (FCanvas->HandleAllocated())
        FOld = FCanvas->Handle();
    FCanvas->SetHandle(DC);
}

TCanvasPaintScope::~TCanvasPaintScope()
{
    FCanvas->SetHandle(FOld);
    FCanvas->Unlock();
}

void TWinControl::SetParentBackground(bool Value)
{
    if (Value)
        FControlStyle += csParentBackground;
    else
        FControlStyle -= csParentBackground;
    Invalidate();
}

// Through WindowProc, so that a skinner painting the window itself can
// take the request.
void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage&)
{
    if (FHandle)
        ::InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::Update()
{
    if (FHandle)
        ::UpdateWindow(FHandle);
}

namespace {
// Moves DC's origin to (X, Y) and clips it to a W x H area there: where a
// child paints.
void EnterChildArea(HDC DC, int X, int Y, int W, int H)
{
    POINT org;
    ::GetWindowOrgEx(DC, &org);
    ::SetWindowOrgEx(DC, org.x - X, org.y - Y, nullptr);
    ::IntersectClipRect(DC, 0, 0, W, H);
}
} // namespace

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    TStateScope state(FControlState, csPaintCopy);
    SavedDC saved(DC);
    EnterChildArea(DC, X, Y, FWidth, FHeight);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FVisible)
            w->PaintTo(DC, w->FLeft, w->FTop);
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage m = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    auto it = FControls.begin();
    if (First)
        it = std::find(FControls.begin(), FControls.end(), First);
    for (; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (IsWinControl(c) || !c->FVisible)
            continue;
        RECT clip, r = c->BoundsRect(), tmp;
        if (::GetClipBox(DC, &clip) != NULLREGION && !::IntersectRect(&tmp, &clip, &r))
            continue;
        SavedDC saved(DC);
        EnterChildArea(DC, c->FLeft, c->FTop, c->FWidth, c->FHeight);
        std::optional<TStateScope<TControlStateItem>> copy;
        if (FControlState.Contains(csPaintCopy))
            copy.emplace(c->FControlState, csPaintCopy);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) {
        WindowPaint paint(FHandle);
        if (paint.DC) {
            TMessage m = Message;
            m.WParam = reinterpret_cast<WPARAM>(paint.DC);
            PaintHandler(m);
        }
        return;
    }
    SavedDC saved(dc);
    PaintWindow(dc);
    PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TMessage& Message)
{
    if (Message.WParam || !FDoubleBuffered || !FHandle) {
        PaintHandler(Message);
        return;
    }
    // Double-buffered: erase and paint into memory, then copy.
    WindowPaint paint(FHandle);
    if (!paint.DC)
        return;
    TRect r;
    ::GetClientRect(FHandle, &r);
    MemoryDC mem(paint.DC);
    GdiObject<HBITMAP> bmp(
        ::CreateCompatibleBitmap(paint.DC, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1)));
    SelectedObject sel(mem.Get(), bmp.Get());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
    TMessage m = Message;
    m.WParam = reinterpret_cast<WPARAM>(mem.Get());
    PaintHandler(m);
    ::BitBlt(paint.DC, 0, 0, r.right, r.bottom, mem.Get(), 0, 0, SRCCOPY);
}

void TWinControl::WMPrintClient(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    TStateScope state(FControlState, csPrintClient);
    Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
    Perform(WM_PAINT, Message.WParam, 0);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc) {
        TRect r = GetClientRect();
        ::FillRect(dc, &r, FBrush->Handle());
    }
    Message.Result = 1;
}

// ---------------------------------------------------------------------------
// TGraphicControl
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner)
{
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { delete FCanvas; }

void TGraphicControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT) {
        WMPaint(Message);
        return;
    }
    TControl::WndProc(Message);
}

void TGraphicControl::WMPaint(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    TCanvasPaintScope scope(FCanvas, dc);
    Paint();
}

// ---------------------------------------------------------------------------
// TCustomControl
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner)
{
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() { delete FCanvas; }

void TCustomControl::PaintWindow(HDC DC)
{
    TCanvasPaintScope scope(FCanvas, DC);
    Paint();
}

void TCustomControl::WMPaint(TMessage& Message)
{
    TStateScope state(FControlState, csCustomPaint);
    TWinControl::WMPaint(Message);
}
