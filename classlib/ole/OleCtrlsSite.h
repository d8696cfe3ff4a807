// The container's COM objects for one hosted control (internal to OleCtrls):
// the site the control talks to, the frame it is told about, and the sink
// its events arrive at.  Each is reference counted, since the control may
// keep a reference for a while after we let go; Detach cuts the way back to
// the component, after which calls are answered without reaching it.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <deque>
#include <mutex>
#include <vector>

#include "classlib/ole/ComObj.h"

class TOleControl;

// Shared reference counting of the container's objects.
class TOleRefCounted {
public:
    virtual ~TOleRefCounted() = default;

protected:
    ULONG AddRefImpl() { return ULONG(::InterlockedIncrement(&FRefs)); }
    ULONG ReleaseImpl()
    {
        LONG n = ::InterlockedDecrement(&FRefs);
        if (n == 0)
            delete this;
        return ULONG(n);
    }

private:
    LONG FRefs = 1;   // the creator's reference
};

// A dispatch interface without type information: names are not looked up,
// callers use the dispatch ids they know.
class TOleIdDispatch : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** Info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
};

// Client site, in-place site, control site and ambient properties.
class TOleControlSite final : public TOleRefCounted,
                              public IOleClientSite,
                              public IOleInPlaceSite,
                              public IOleControlSite,
                              public TOleIdDispatch {
public:
    explicit TOleControlSite(TOleControl* Owner) : FOwner(Owner) {}
    void Detach() { FOwner = nullptr; }
    bool InPlaceActive() const { return FInPlaceActive; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** Moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** Container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow and IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return FOwner ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** Frame, IOleInPlaceUIWindow** Doc, LPRECT PosRect,
                                               LPRECT ClipRect, LPOLEINPLACEFRAMEINFO FrameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT PosRect) override;

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** Disp) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID DispID, REFIID, LCID, WORD Flags, DISPPARAMS*, VARIANT* Result,
                                     EXCEPINFO*, UINT*) override;

private:
    TOleControl* FOwner;
    bool FInPlaceActive = false;
};

// The frame window the control is told about: the top-level window around
// its container.  It has no menus or tool space to share.
class TOleInPlaceFrame final : public TOleRefCounted, public IOleInPlaceFrame {
public:
    explicit TOleInPlaceFrame(HWND Frame) : FFrame(Frame) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND FFrame;
};

// Where the control's events arrive.  Events raised on the thread that
// hosts the control are handed on at once; one raised on another thread is
// copied, queued and delivered from the host window's message loop.
class TOleEventSink final : public TOleRefCounted, public TOleIdDispatch {
public:
    TOleEventSink(TOleControl* Owner, REFIID EventIID);
    void Detach();
    // The window that receives the request to deliver queued events
    // (nullptr while the control has none).
    void SetWindow(HWND Wnd);
    // Delivers the events raised on other threads; on the host's thread.
    void DeliverQueued();
    // The message that asks the host window to call DeliverQueued.
    static UINT DeliverMessage();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID DispID, REFIID, LCID, WORD Flags, DISPPARAMS* Params, VARIANT* Result,
                                     EXCEPINFO*, UINT*) override;

private:
    struct TQueuedEvent {
        DISPID DispID;
        std::vector<TOleVariant> Args;
    };
    // The arguments in call order (DISPPARAMS holds them last first).
    static std::vector<TOleVariant> CopyArgs(const DISPPARAMS* Params);
    void Deliver(DISPID DispID, std::vector<TOleVariant>& Args);
    void PostDeliverRequest();

    TOleControl* FOwner;   // touched on the owner's thread only
    IID FEventIID;
    DWORD FThreadId;
    std::mutex FLock;      // guards what other threads reach: the queue and the window
    std::deque<TQueuedEvent> FQueue;
    HWND FWindow = nullptr;
    bool FPosted = false;
};
