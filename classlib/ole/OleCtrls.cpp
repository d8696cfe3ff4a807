#include "classlib/ole/OleCtrls.h"

#include <objbase.h>

#include "classlib/controls/Forms.h"
#include "classlib/ole/OleCtrlsSite.h"

KV_BEGIN_PUBLISHED(TOleControl, TWinControl)
KV_END_PUBLISHED

TOleControl::TOleControl(TComponent* AOwner) : TWinControl(AOwner)
{
}

TOleControl::~TOleControl()
{
    // Freed without BeforeDestruction: the window is still there.
    DestroyControl();
}

void TOleControl::BeforeDestruction()
{
    // The window goes first (deactivating the control in it), then the control.
    TWinControl::BeforeDestruction();
    DestroyControl();
}

bool TOleControl::ClassRegistered(const CLSID& ClassID)
{
    wchar_t guid[64] = {};
    if (!StringFromGUID2(ClassID, guid, 64))
        return false;
    UnicodeString path = UnicodeString(L"CLSID\\") + guid + L"\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

HWND TOleControl::ControlWindow() const
{
    HWND wnd = nullptr;
    if (FInPlaceObject && FAILED(FInPlaceObject->GetWindow(&wnd)))
        wnd = nullptr;
    return wnd;
}

// ---------------------------------------------------------------------------
// Life of the control.

void TOleControl::CreateWnd()
{
    TWinControl::CreateWnd();
    if (!FOleObject && !FCreateFailed) {
        if (!ClassRegistered(ControlClassID()) || !CreateControl()) {
            FCreateFailed = true;
            return;
        }
    }
    if (FOleObject && !ActivateControl())
        ControlFailed();
}

bool TOleControl::CreateControl()
{
    try {
        CreateControlObject();
    } catch (...) {
        // Whatever was acquired goes; the stand-in answers.
        DestroyControl();
        return false;
    }
    // A setting the control refuses is reported; the control still runs.
    try {
        InitControlData();
    } catch (...) {
        if (Application)
            Application->HandleException(this);
    }
    return true;
}

void TOleControl::CreateControlObject()
{
    OleCheck(OleInitializeThread(), L"OLE initialisation");
    OleCheck(::CoCreateInstance(ControlClassID(), nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(FOleObject.Out())),
             L"Creating the control");
    FSite = TComPtr<TOleControlSite>::Attach(new TOleControlSite(this));

    DWORD misc = 0;
    if (FAILED(FOleObject->GetMiscStatus(DVASPECT_CONTENT, &misc)))
        misc = 0;
    bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        OleCheck(FOleObject->SetClientSite(FSite.Get()), L"Siting the control");
    // A new control with default settings, where it keeps settings at all.
    if (auto persist = FOleObject.As<IPersistStreamInit>(IID_IPersistStreamInit))
        OleCheck(persist->InitNew(), L"Initialising the control");
    if (!siteFirst)
        OleCheck(FOleObject->SetClientSite(FSite.Get()), L"Siting the control");

    FDispatch = FOleObject.As<IDispatch>(IID_IDispatch);
    if (!FDispatch)
        throw EOleException(L"The control has no dispatch interface", E_NOINTERFACE);
    ConnectEvents();
}

void TOleControl::ConnectEvents()
{
    // A control without events is hosted all the same.
    IID eventIID = IID_NULL;
    TComPtr<IConnectionPoint> point = FindEventPoint(eventIID);
    if (!point)
        return;
    FSink = TComPtr<TOleEventSink>::Attach(new TOleEventSink(this, eventIID));
    OleCheck(point->Advise(static_cast<IDispatch*>(FSink.Get()), &FEventCookie), L"Connecting to the control's events");
    FEventPoint = point;
}

TComPtr<IConnectionPoint> TOleControl::FindEventPoint(IID& EventIID) const
{
    // The control's default source interface; a control that does not say
    // which one that is gets its first connection point but the
    // property-change one.
    TComPtr<IConnectionPoint> point;
    auto container = FOleObject.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container)
        return point;
    if (auto info = FOleObject.As<IProvideClassInfo2>(IID_IProvideClassInfo2))
        if (SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &EventIID))) {
            if (FAILED(container->FindConnectionPoint(EventIID, point.Out())))
                point.Reset();
            return point;
        }
    TComPtr<IEnumConnectionPoints> points;
    if (FAILED(container->EnumConnectionPoints(points.Out())) || !points)
        return point;
    while (points->Next(1, point.Out(), nullptr) == S_OK)
        if (SUCCEEDED(point->GetConnectionInterface(&EventIID)) && EventIID != IID_IPropertyNotifySink)
            return point;
    point.Reset();
    return point;
}

bool TOleControl::ActivateControl()
{
    if (FSink)
        FSink->SetWindow(FHandle);
    RECT rc;
    ::GetClientRect(FHandle, &rc);
    // The control's natural size, in the units it wants (0.01 mm).
    HDC dc = ::GetDC(FHandle);
    SIZEL extent = {::MulDiv(rc.right, 2540, ::GetDeviceCaps(dc, LOGPIXELSX)),
                    ::MulDiv(rc.bottom, 2540, ::GetDeviceCaps(dc, LOGPIXELSY))};
    ::ReleaseDC(FHandle, dc);
    FOleObject->SetExtent(DVASPECT_CONTENT, &extent);
    if (FAILED(FOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, FSite.Get(), 0, FHandle, &rc)) ||
        !FSite->InPlaceActive())
        return false;
    if (!FInPlaceObject)
        FInPlaceObject = FOleObject.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    FActive = true;
    PlaceControl();
    return true;
}

void TOleControl::SiteActivated()
{
    FInPlaceObject = FOleObject.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
}

void TOleControl::DeactivateControl()
{
    FActive = false;
    if (FInPlaceObject && FSite && FSite->InPlaceActive())
        FInPlaceObject->InPlaceDeactivate();
    FInPlaceObject.Reset();
    if (FSink)
        FSink->SetWindow(nullptr);
}

void TOleControl::ControlFailed()
{
    DestroyControl();
    FCreateFailed = true;
    Invalidate();
}

void TOleControl::DestroyControl()
{
    DeactivateControl();
    if (FEventPoint && FEventCookie)
        FEventPoint->Unadvise(FEventCookie);
    FEventCookie = 0;
    FEventPoint.Reset();
    FDispatch.Reset();
    if (FOleObject) {
        FOleObject->Close(OLECLOSE_NOSAVE);
        FOleObject->SetClientSite(nullptr);
        FOleObject.Reset();
    }
    if (FSink) {
        FSink->Detach();
        FSink.Reset();
    }
    if (FSite) {
        FSite->Detach();
        FSite.Reset();
    }
    FDispIDs.clear();
}

// ---------------------------------------------------------------------------
// Window.

void TOleControl::PlaceControl()
{
    if (!FInPlaceObject || !FHandle)
        return;
    RECT rc;
    ::GetClientRect(FHandle, &rc);
    FInPlaceObject->SetObjectRects(&rc, &rc);
}

void TOleControl::WMSize(TMessage& Message)
{
    TWinControl::WMSize(Message);
    PlaceControl();
}

void TOleControl::WMSetFocus(TMessage& Message)
{
    TWinControl::WMSetFocus(Message);
    // The focus belongs to the control's own window.
    if (Hosted()) {
        RECT rc;
        ::GetClientRect(FHandle, &rc);
        if (FAILED(FOleObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, FSite.Get(), 0, FHandle, &rc)))
            if (HWND control = ControlWindow())
                ::SetFocus(control);
    }
}

void TOleControl::WMDestroy(TMessage& Message)
{
    // The control leaves while its window still stands inside ours.
    DeactivateControl();
    TWinControl::WMDestroy(Message);
}

void TOleControl::WndProc(TMessage& Message)
{
    if (Message.Msg == TOleEventSink::DeliverMessage()) {
        if (FSink)
            FSink->DeliverQueued();
        return;
    }
    TWinControl::WndProc(Message);
}

void TOleControl::EventReceived(DISPID DispID, std::vector<TOleVariant>& Args)
{
    InvokeEvent(DispID, Args);
}

// ---------------------------------------------------------------------------
// Dispatch calls.

namespace {

// The exception the control raised during a call, as ours.
[[noreturn]] void RaiseControlException(EXCEPINFO& Info)
{
    if (Info.pfnDeferredFillIn)
        Info.pfnDeferredFillIn(&Info);
    UnicodeString source = Info.bstrSource ? Info.bstrSource : L"";
    UnicodeString text = Info.bstrDescription ? Info.bstrDescription : L"";
    HRESULT code = Info.scode ? Info.scode : DISP_E_EXCEPTION;
    ::SysFreeString(Info.bstrSource);
    ::SysFreeString(Info.bstrDescription);
    ::SysFreeString(Info.bstrHelpFile);
    throw EOleException(text.empty() ? OleErrorText(code) : text, code, source);
}

} // namespace

DISPID TOleControl::DispIDOfName(const UnicodeString& Name)
{
    if (!FDispatch)
        throw EOleError(L"No control is hosted");
    auto it = FDispIDs.find(Name);
    if (it != FDispIDs.end())
        return it->second;
    UnicodeString name = Name;
    LPOLESTR names[1] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    OleCheck(FDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), L"Looking up " + Name);
    FDispIDs[Name] = id;
    return id;
}

void TOleControl::Invoke(DISPID DispID, WORD Flags, std::vector<TOleVariant>& Args, bool PropertyPut,
                         VARIANT* Result)
{
    if (!FDispatch)
        throw EOleError(L"No control is hosted");
    // DISPPARAMS takes the arguments last first.
    std::vector<VARIANTARG> reversed;
    for (auto it = Args.rbegin(); it != Args.rend(); ++it)
        reversed.push_back(*it->Ptr());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.data(), PropertyPut ? &putId : nullptr, UINT(reversed.size()),
                         PropertyPut ? 1u : 0u};
    EXCEPINFO info = {};
    UINT argError = 0;
    // The control may end up freeing us (its call runs our handlers): keep
    // the interface for the length of the call.
    TComPtr<IDispatch> dispatch = FDispatch;
    HRESULT hr = dispatch->Invoke(DispID, IID_NULL, LOCALE_USER_DEFAULT, Flags, &params, Result, &info, &argError);
    if (hr == DISP_E_EXCEPTION)
        RaiseControlException(info);
    OleCheck(hr, L"Calling the control");
}

void TOleControl::SetProperty(DISPID DispID, const TOleVariant& Value)
{
    std::vector<TOleVariant> args{Value};
    Invoke(DispID, DISPATCH_PROPERTYPUT, args, true, nullptr);
}

void TOleControl::SetProperty(const UnicodeString& Name, const TOleVariant& Value)
{
    SetProperty(DispIDOfName(Name), Value);
}

TOleVariant TOleControl::GetProperty(DISPID DispID)
{
    std::vector<TOleVariant> args;
    TOleVariant result;
    Invoke(DispID, DISPATCH_PROPERTYGET, args, false, result.Ptr());
    return result;
}

TOleVariant TOleControl::GetProperty(const UnicodeString& Name)
{
    return GetProperty(DispIDOfName(Name));
}

TOleVariant TOleControl::InvokeMethod(DISPID DispID, std::initializer_list<TOleVariant> Args)
{
    std::vector<TOleVariant> args(Args);
    TOleVariant result;
    Invoke(DispID, DISPATCH_METHOD, args, false, result.Ptr());
    return result;
}

TOleVariant TOleControl::InvokeMethod(const UnicodeString& Name, std::initializer_list<TOleVariant> Args)
{
    return InvokeMethod(DispIDOfName(Name), Args);
}
