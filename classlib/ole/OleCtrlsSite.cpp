#include "classlib/ole/OleCtrlsSite.h"

#include <olectl.h>

#include "classlib/controls/Forms.h"
#include "classlib/ole/OleCtrls.h"

namespace {

// Answers an interface request with Object, one reference added.
template <class I>
HRESULT Hand(I* Object, void** Out)
{
    Object->AddRef();
    *Out = Object;
    return S_OK;
}

} // namespace

// ---------------------------------------------------------------------------
// TOleControlSite

HRESULT TOleControlSite::QueryInterface(REFIID Iid, void** Object)
{
    if (!Object)
        return E_POINTER;
    *Object = nullptr;
    if (Iid == IID_IUnknown || Iid == IID_IOleClientSite)
        return Hand(static_cast<IOleClientSite*>(this), Object);
    if (Iid == IID_IOleWindow || Iid == IID_IOleInPlaceSite)
        return Hand(static_cast<IOleInPlaceSite*>(this), Object);
    if (Iid == IID_IOleControlSite)
        return Hand(static_cast<IOleControlSite*>(this), Object);
    if (Iid == IID_IDispatch)
        return Hand(static_cast<IDispatch*>(this), Object);
    return E_NOINTERFACE;
}

HRESULT TOleControlSite::GetMoniker(DWORD, DWORD, IMoniker** Moniker)
{
    if (Moniker)
        *Moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT TOleControlSite::GetContainer(IOleContainer** Container)
{
    if (Container)
        *Container = nullptr;
    return E_NOINTERFACE;
}

HRESULT TOleControlSite::GetWindow(HWND* Wnd)
{
    if (!Wnd)
        return E_POINTER;
    *Wnd = FOwner ? FOwner->FHandle : nullptr;
    return *Wnd ? S_OK : E_FAIL;
}

HRESULT TOleControlSite::OnInPlaceActivate()
{
    FInPlaceActive = true;
    if (FOwner)
        FOwner->SiteActivated();
    return S_OK;
}

HRESULT TOleControlSite::OnInPlaceDeactivate()
{
    FInPlaceActive = false;
    return S_OK;
}

HRESULT TOleControlSite::GetWindowContext(IOleInPlaceFrame** Frame, IOleInPlaceUIWindow** Doc, LPRECT PosRect,
                                          LPRECT ClipRect, LPOLEINPLACEFRAMEINFO FrameInfo)
{
    if (!Frame || !Doc || !PosRect || !ClipRect || !FrameInfo)
        return E_POINTER;
    *Frame = nullptr;
    *Doc = nullptr;
    HWND host = FOwner ? FOwner->FHandle : nullptr;
    if (!host)
        return E_FAIL;
    HWND top = ::GetAncestor(host, GA_ROOT);
    *Frame = new TOleInPlaceFrame(top);   // its first reference goes to the caller
    ::GetClientRect(host, PosRect);
    *ClipRect = *PosRect;
    FrameInfo->fMDIApp = FALSE;
    FrameInfo->hwndFrame = top;
    FrameInfo->haccel = nullptr;
    FrameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT TOleControlSite::OnPosRectChange(LPCRECT)
{
    // The control fills our window whatever size it asks for; our window's
    // size changes reach it as they come.
    return S_OK;
}

HRESULT TOleControlSite::GetExtendedControl(IDispatch** Disp)
{
    if (Disp)
        *Disp = nullptr;
    return E_NOTIMPL;
}

HRESULT TOleIdDispatch::GetTypeInfoCount(UINT* Count)
{
    if (!Count)
        return E_POINTER;
    *Count = 0;
    return S_OK;
}

HRESULT TOleIdDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** Info)
{
    if (Info)
        *Info = nullptr;
    return E_NOTIMPL;
}

HRESULT TOleIdDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return DISP_E_UNKNOWNNAME;
}

HRESULT TOleControlSite::Invoke(DISPID DispID, REFIID, LCID, WORD Flags, DISPPARAMS*, VARIANT* Result, EXCEPINFO*,
                                UINT*)
{
    if (!(Flags & DISPATCH_PROPERTYGET) || !Result)
        return DISP_E_MEMBERNOTFOUND;
    // The control runs for a user, not in a designer; we draw no hatching
    // or handles around it.  Other ambient properties take their defaults.
    bool value;
    switch (DispID) {
    case DISPID_AMBIENT_USERMODE: value = true; break;
    case DISPID_AMBIENT_UIDEAD: value = false; break;
    case DISPID_AMBIENT_SHOWHATCHING: value = false; break;
    case DISPID_AMBIENT_SHOWGRABHANDLES: value = false; break;
    default: return DISP_E_MEMBERNOTFOUND;
    }
    ::VariantInit(Result);
    Result->vt = VT_BOOL;
    Result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// ---------------------------------------------------------------------------
// TOleInPlaceFrame

HRESULT TOleInPlaceFrame::QueryInterface(REFIID Iid, void** Object)
{
    if (!Object)
        return E_POINTER;
    *Object = nullptr;
    if (Iid == IID_IUnknown || Iid == IID_IOleWindow || Iid == IID_IOleInPlaceUIWindow || Iid == IID_IOleInPlaceFrame)
        return Hand(static_cast<IOleInPlaceFrame*>(this), Object);
    return E_NOINTERFACE;
}

HRESULT TOleInPlaceFrame::GetWindow(HWND* Wnd)
{
    if (!Wnd)
        return E_POINTER;
    *Wnd = FFrame;
    return S_OK;
}

// ---------------------------------------------------------------------------
// TOleEventSink

TOleEventSink::TOleEventSink(TOleControl* Owner, REFIID EventIID)
    : FOwner(Owner), FEventIID(EventIID), FThreadId(::GetCurrentThreadId())
{
}

UINT TOleEventSink::DeliverMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"KvOleControlDeliverEvents");
    return message;
}

void TOleEventSink::Detach()
{
    FOwner = nullptr;
    std::lock_guard<std::mutex> lock(FLock);
    FQueue.clear();
    FWindow = nullptr;
}

void TOleEventSink::SetWindow(HWND Wnd)
{
    std::lock_guard<std::mutex> lock(FLock);
    FWindow = Wnd;
    // A request posted to a window that went is lost with it.
    FPosted = false;
    PostDeliverRequest();
}

void TOleEventSink::PostDeliverRequest()
{
    if (FWindow && !FPosted && !FQueue.empty())
        FPosted = ::PostMessageW(FWindow, DeliverMessage(), 0, 0) != FALSE;
}

HRESULT TOleEventSink::QueryInterface(REFIID Iid, void** Object)
{
    if (!Object)
        return E_POINTER;
    *Object = nullptr;
    if (Iid == IID_IUnknown || Iid == IID_IDispatch || Iid == FEventIID)
        return Hand(static_cast<IDispatch*>(this), Object);
    return E_NOINTERFACE;
}

std::vector<TOleVariant> TOleEventSink::CopyArgs(const DISPPARAMS* Params)
{
    std::vector<TOleVariant> args;
    if (!Params)
        return args;
    for (UINT i = Params->cArgs; i-- > 0;) {
        TOleVariant v;
        // Values, not references: the caller's storage ends with its call.
        OleCheck(::VariantCopyInd(v.Ptr(), &Params->rgvarg[i]), L"Copying an event argument");
        args.push_back(v);
    }
    return args;
}

HRESULT TOleEventSink::Invoke(DISPID DispID, REFIID, LCID, WORD, DISPPARAMS* Params, VARIANT* Result, EXCEPINFO*,
                              UINT*)
{
    if (Result)
        ::VariantInit(Result);
    std::vector<TOleVariant> args;
    try {
        args = CopyArgs(Params);
    } catch (const EOleException& e) {
        return e.ErrorCode();
    }
    if (::GetCurrentThreadId() == FThreadId) {
        Deliver(DispID, args);
        return S_OK;
    }
    // Our handlers run on the host's thread only.
    std::lock_guard<std::mutex> lock(FLock);
    FQueue.push_back({DispID, std::move(args)});
    PostDeliverRequest();
    return S_OK;
}

void TOleEventSink::Deliver(DISPID DispID, std::vector<TOleVariant>& Args)
{
    if (!FOwner)
        return;
    // A handler may free the component: the sink stays until it returns.
    TComPtr<TOleEventSink> self = TComPtr<TOleEventSink>::Share(this);
    try {
        FOwner->EventReceived(DispID, Args);
    } catch (...) {
        // Nothing unwinds into the control's code.
        if (Application)
            Application->HandleException(FOwner ? static_cast<TObject*>(FOwner) : Application);
    }
}

void TOleEventSink::DeliverQueued()
{
    std::deque<TQueuedEvent> events;
    {
        std::lock_guard<std::mutex> lock(FLock);
        FPosted = false;
        events.swap(FQueue);
    }
    TComPtr<TOleEventSink> self = TComPtr<TOleEventSink>::Share(this);
    for (TQueuedEvent& e : events) {
        if (!FOwner)
            break;
        Deliver(e.DispID, e.Args);
    }
}
