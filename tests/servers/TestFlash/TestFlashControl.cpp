#include "TestFlashControl.h"

#include <vector>

#include "classlib/ole/FlashCopyData.h"

const CLSID CLSID_TestFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace testflash {

namespace {

// The event interface; the container learns it from IProvideClassInfo2 or,
// without that, from the connection point itself.
const IID DIID_TestFlashEvents = {0x4B565446, 0x0001, 0x4B56, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x50}};

constexpr DISPID DispFSCommand = 150;
// Movie and Scale have the ids the viewer uses; the others are found by name.
const struct {
    const wchar_t* Name;
    DISPID Id;
    bool Property;
} Members[] = {
    {L"Movie", 102, true},  {L"Scale", 137, true},        {L"WMode", 300, true},
    {L"Quality2", 301, true}, {L"SetVariable", 302, false}, {L"GetVariable", 303, false},
};

const wchar_t* NameOf(DISPID Id)
{
    for (const auto& m : Members)
        if (m.Id == Id)
            return m.Name;
    return nullptr;
}

std::wstring Text(VARIANT* Value)
{
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, Value, 0, VT_BSTR)))
        return L"?";
    std::wstring s(text.bstrVal ? text.bstrVal : L"", text.bstrVal ? SysStringLen(text.bstrVal) : 0);
    VariantClear(&text);
    return s;
}

void ReturnText(VARIANT* Result, const std::wstring& Value)
{
    if (!Result)
        return;
    VariantInit(Result);
    Result->vt = VT_BSTR;
    Result->bstrVal = SysAllocStringLen(Value.data(), UINT(Value.size()));
}

TControl* LastControl = nullptr;

// Enumerates the one connection point.
class TPointEnum final : public IEnumConnectionPoints {
public:
    explicit TPointEnum(IConnectionPoint* Point) : FPoint(Point) { FPoint->AddRef(); }
    ~TPointEnum() { FPoint->Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override
    {
        if (Iid != IID_IUnknown && Iid != IID_IEnumConnectionPoints) {
            *Object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *Object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = InterlockedDecrement(&FRefs);
        if (n == 0)
            delete this;
        return ULONG(n);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG Count, IConnectionPoint** Points, ULONG* Fetched) override
    {
        ULONG n = 0;
        if (Count > 0 && !FDone) {
            FPoint->AddRef();
            Points[0] = FPoint;
            FDone = true;
            n = 1;
        }
        if (Fetched)
            *Fetched = n;
        return n == Count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override
    {
        if (Count > 0)
            FDone = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        FDone = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints**) override { return E_NOTIMPL; }

private:
    LONG FRefs = 1;
    IConnectionPoint* FPoint;
    bool FDone = false;
};

} // namespace

TState& State()
{
    static TState state;
    return state;
}

void Log(const std::wstring& Entry)
{
    std::wstring& log = State().Log;
    if (!log.empty())
        log += TestFlashLogSeparator;
    log += Entry;
}

// ---------------------------------------------------------------------------
// TEventPoint

TEventPoint::~TEventPoint()
{
    for (auto& [cookie, sink] : FSinks) {
        sink->Release();
        --State().HeldReferences;
    }
}

HRESULT TEventPoint::QueryInterface(REFIID Iid, void** Object)
{
    if (Iid != IID_IUnknown && Iid != IID_IConnectionPoint) {
        *Object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    *Object = static_cast<IConnectionPoint*>(this);
    return S_OK;
}

ULONG TEventPoint::AddRef() { return FControl->AddRef(); }
ULONG TEventPoint::Release() { return FControl->Release(); }

HRESULT TEventPoint::GetConnectionInterface(IID* Iid)
{
    *Iid = DIID_TestFlashEvents;
    return S_OK;
}

HRESULT TEventPoint::GetConnectionPointContainer(IConnectionPointContainer** Container)
{
    return FControl->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(Container));
}

HRESULT TEventPoint::Advise(IUnknown* Sink, DWORD* Cookie)
{
    if (!Sink || !Cookie)
        return E_POINTER;
    IDispatch* dispatch = nullptr;
    if (FAILED(Sink->QueryInterface(DIID_TestFlashEvents, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    ++State().HeldReferences;
    *Cookie = FNextCookie++;
    FSinks[*Cookie] = dispatch;
    Log(L"Advise");
    return S_OK;
}

HRESULT TEventPoint::Unadvise(DWORD Cookie)
{
    auto it = FSinks.find(Cookie);
    if (it == FSinks.end())
        return CONNECT_E_NOCONNECTION;
    it->second->Release();
    --State().HeldReferences;
    FSinks.erase(it);
    Log(L"Unadvise");
    return S_OK;
}

HRESULT TEventPoint::EnumConnections(IEnumConnections** Enum)
{
    *Enum = nullptr;
    return E_NOTIMPL;
}

void TEventPoint::Fire(const std::wstring& Command, const std::wstring& Args)
{
    // A sink may disconnect while it handles the event: call a copy.
    std::vector<IDispatch*> sinks;
    for (auto& [cookie, sink] : FSinks) {
        sink->AddRef();
        sinks.push_back(sink);
    }
    FControl->AddRef();
    for (IDispatch* sink : sinks) {
        VARIANTARG args[2];
        // Last argument first.
        VariantInit(&args[0]);
        args[0].vt = VT_BSTR;
        args[0].bstrVal = SysAllocStringLen(Args.data(), UINT(Args.size()));
        VariantInit(&args[1]);
        args[1].vt = VT_BSTR;
        args[1].bstrVal = SysAllocStringLen(Command.data(), UINT(Command.size()));
        DISPPARAMS params = {args, nullptr, 2, 0};
        sink->Invoke(DispFSCommand, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                     nullptr);
        VariantClear(&args[0]);
        VariantClear(&args[1]);
        sink->Release();
    }
    FControl->Release();
}

// ---------------------------------------------------------------------------
// TControl: life and IUnknown

TControl::TControl()
    : FEvents(this), FFailActivate(State().Faults.FailActivate), FFailCalls(State().Faults.FailCalls),
      FRefuseWMode(State().Faults.RefuseWMode), FNoClassInfo(State().Faults.NoClassInfo)
{
    ++State().LiveObjects;
    LastControl = this;
    Log(L"Created");
}

TControl::~TControl()
{
    if (FWindow)
        DestroyWindow(FWindow);
    Hold<IOleInPlaceUIWindow>(FDocument, nullptr);
    Hold<IOleInPlaceFrame>(FFrame, nullptr);
    Hold<IOleInPlaceSite>(FInPlaceSite, nullptr);
    Hold<IOleClientSite>(FSite, nullptr);
    if (LastControl == this)
        LastControl = nullptr;
    --State().LiveObjects;
    Log(L"Destroyed");
}

TControl* TControl::Last() { return LastControl; }

HRESULT TControl::QueryInterface(REFIID Iid, void** Object)
{
    if (!Object)
        return E_POINTER;
    *Object = nullptr;
    IUnknown* found = nullptr;
    if (Iid == IID_IUnknown || Iid == IID_IOleObject)
        found = static_cast<IOleObject*>(this);
    else if (Iid == IID_IOleWindow || Iid == IID_IOleInPlaceObject)
        found = static_cast<IOleInPlaceObject*>(this);
    else if (Iid == IID_IPersist || Iid == IID_IPersistStreamInit)
        found = static_cast<IPersistStreamInit*>(this);
    else if (Iid == IID_IDispatch)
        found = static_cast<IDispatch*>(this);
    else if (Iid == IID_IConnectionPointContainer)
        found = static_cast<IConnectionPointContainer*>(this);
    else if ((Iid == IID_IProvideClassInfo || Iid == IID_IProvideClassInfo2) && !FNoClassInfo)
        found = static_cast<IProvideClassInfo2*>(this);
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    *Object = found;
    return S_OK;
}

ULONG TControl::AddRef() { return ULONG(InterlockedIncrement(&FRefs)); }

ULONG TControl::Release()
{
    LONG n = InterlockedDecrement(&FRefs);
    if (n == 0)
        delete this;
    return ULONG(n);
}

// ---------------------------------------------------------------------------
// IOleObject

HRESULT TControl::SetClientSite(IOleClientSite* Site)
{
    Log(Site ? L"SetClientSite" : L"SetClientSite=null");
    Hold(FSite, Site);
    return S_OK;
}

HRESULT TControl::GetClientSite(IOleClientSite** Site)
{
    if (!Site)
        return E_POINTER;
    *Site = FSite;
    if (FSite)
        FSite->AddRef();
    return S_OK;
}

HRESULT TControl::Close(DWORD)
{
    Log(L"Close");
    InPlaceDeactivate();
    return S_OK;
}

HRESULT TControl::DoVerb(LONG Verb, LPMSG, IOleClientSite* Site, LONG, HWND Parent, LPCRECT)
{
    Log(L"DoVerb=" + std::to_wstring(Verb));
    if (Site && Site != FSite)
        Hold(FSite, Site);
    switch (Verb) {
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_SHOW: {
        HRESULT hr = InPlaceActivate(Parent);
        // Half-way in: the container must still take it down properly.
        return FFailActivate ? E_FAIL : hr;
    }
    case OLEIVERB_UIACTIVATE:
        return UIActivate();
    default:
        return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT TControl::InPlaceActivate(HWND Parent)
{
    if (FWindow)
        return S_OK;
    if (!FSite)
        return E_UNEXPECTED;
    IOleInPlaceSite* site = nullptr;
    if (FAILED(FSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&site))))
        return E_NOINTERFACE;
    Hold(FInPlaceSite, site);
    site->Release();
    if (FInPlaceSite->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    FInPlaceSite->OnInPlaceActivate();
    HWND parent = nullptr;
    if (FAILED(FInPlaceSite->GetWindow(&parent)))
        parent = Parent;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    if (FAILED(FInPlaceSite->GetWindowContext(&frame, &document, &pos, &clip, &info)))
        return E_FAIL;
    // The references handed over become ours.
    if (frame)
        ++State().HeldReferences;
    if (document)
        ++State().HeldReferences;
    Hold<IOleInPlaceFrame>(FFrame, nullptr);
    Hold<IOleInPlaceUIWindow>(FDocument, nullptr);
    FFrame = frame;
    FDocument = document;
    MakeWindow(parent, pos);
    return FWindow ? S_OK : E_FAIL;
}

HRESULT TControl::UIActivate()
{
    if (!FWindow)
        return E_UNEXPECTED;
    FInPlaceSite->OnUIActivate();
    if (FFrame)
        FFrame->SetActiveObject(nullptr, nullptr);
    SetFocus(FWindow);
    return S_OK;
}

HRESULT TControl::GetUserClassID(CLSID* Clsid)
{
    if (!Clsid)
        return E_POINTER;
    *Clsid = CLSID_TestFlash;
    return S_OK;
}

HRESULT TControl::SetExtent(DWORD, SIZEL* Size)
{
    if (!Size)
        return E_POINTER;
    FExtent = *Size;
    return S_OK;
}

HRESULT TControl::GetExtent(DWORD, SIZEL* Size)
{
    if (!Size)
        return E_POINTER;
    *Size = FExtent;
    return S_OK;
}

HRESULT TControl::GetMiscStatus(DWORD, DWORD* Status)
{
    if (!Status)
        return E_POINTER;
    *Status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

// ---------------------------------------------------------------------------
// IOleInPlaceObject

HRESULT TControl::GetWindow(HWND* Wnd)
{
    if (!Wnd)
        return E_POINTER;
    *Wnd = FWindow;
    return FWindow ? S_OK : E_FAIL;
}

HRESULT TControl::InPlaceDeactivate()
{
    if (!FInPlaceSite)
        return S_OK;
    Log(L"InPlaceDeactivate");
    if (FWindow) {
        HWND w = FWindow;
        FWindow = nullptr;
        DestroyWindow(w);
    }
    FInPlaceSite->OnInPlaceDeactivate();
    Hold<IOleInPlaceUIWindow>(FDocument, nullptr);
    Hold<IOleInPlaceFrame>(FFrame, nullptr);
    Hold<IOleInPlaceSite>(FInPlaceSite, nullptr);
    return S_OK;
}

HRESULT TControl::SetObjectRects(LPCRECT Pos, LPCRECT)
{
    if (!Pos)
        return E_POINTER;
    Log(L"SetObjectRects=" + std::to_wstring(Pos->right - Pos->left) + L"x" + std::to_wstring(Pos->bottom - Pos->top));
    if (FWindow)
        MoveWindow(FWindow, Pos->left, Pos->top, Pos->right - Pos->left, Pos->bottom - Pos->top, TRUE);
    return S_OK;
}

// ---------------------------------------------------------------------------
// IPersistStreamInit

HRESULT TControl::InitNew()
{
    Log(L"InitNew");
    return S_OK;
}

// ---------------------------------------------------------------------------
// IDispatch

HRESULT TControl::GetTypeInfoCount(UINT* Count)
{
    *Count = 0;
    return S_OK;
}

HRESULT TControl::GetIDsOfNames(REFIID, LPOLESTR* Names, UINT Count, LCID, DISPID* Ids)
{
    HRESULT hr = S_OK;
    for (UINT i = 0; i < Count; ++i) {
        Ids[i] = DISPID_UNKNOWN;
        for (const auto& m : Members)
            if (_wcsicmp(m.Name, Names[i]) == 0)
                Ids[i] = m.Id;
        if (Ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT TControl::Invoke(DISPID DispID, REFIID, LCID, WORD Flags, DISPPARAMS* Params, VARIANT* Result,
                         EXCEPINFO* Info, UINT*)
{
    const wchar_t* name = NameOf(DispID);
    if (!name)
        return DISP_E_MEMBERNOTFOUND;
    if (FFailCalls || (FRefuseWMode && _wcsicmp(name, L"WMode") == 0)) {
        Log(std::wstring(L"refused=") + name);
        if (Info) {
            *Info = {};
            Info->bstrSource = SysAllocString(L"TestFlash");
            Info->bstrDescription = SysAllocString((std::wstring(L"The test control refuses ") + name).c_str());
            Info->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    }
    if (Flags & DISPATCH_PROPERTYPUT)
        return PutProperty(DispID, Params);
    bool property = false;
    for (const auto& m : Members)
        if (m.Id == DispID)
            property = m.Property;
    if (property && (Flags & DISPATCH_PROPERTYGET))
        return GetPropertyValue(DispID, Result);
    if (!property && (Flags & DISPATCH_METHOD))
        return CallMethod(DispID, Params, Result);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT TControl::PutProperty(DISPID DispID, DISPPARAMS* Params)
{
    if (!Params || Params->cArgs != 1 || Params->cNamedArgs != 1 || Params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_BADPARAMCOUNT;
    std::wstring name = NameOf(DispID);
    std::wstring value = Text(&Params->rgvarg[0]);
    FProperties[name] = value;
    Log(name + L"=" + value);
    if (name == L"Movie" && FWindow)
        SetWindowTextW(FWindow, value.c_str());
    return S_OK;
}

HRESULT TControl::GetPropertyValue(DISPID DispID, VARIANT* Result)
{
    ReturnText(Result, FProperties[NameOf(DispID)]);
    return S_OK;
}

HRESULT TControl::CallMethod(DISPID DispID, DISPPARAMS* Params, VARIANT* Result)
{
    std::wstring name = NameOf(DispID);
    if (name == L"SetVariable") {
        if (!Params || Params->cArgs != 2)
            return DISP_E_BADPARAMCOUNT;
        std::wstring variable = Text(&Params->rgvarg[1]);
        std::wstring value = Text(&Params->rgvarg[0]);
        FVariables[variable] = value;
        Log(L"SetVariable=" + variable + L"," + value);
        return S_OK;
    }
    if (!Params || Params->cArgs != 1)
        return DISP_E_BADPARAMCOUNT;
    std::wstring variable = Text(&Params->rgvarg[0]);
    Log(L"GetVariable=" + variable);
    ReturnText(Result, FVariables[variable]);
    return S_OK;
}

std::wstring TControl::Get(const std::wstring& Name) const
{
    const std::wstring prefix = TEST_FLASH_PROPERTY_PREFIX;
    bool property = Name.compare(0, prefix.size(), prefix) == 0;
    const auto& values = property ? FProperties : FVariables;
    auto it = values.find(property ? Name.substr(prefix.size()) : Name);
    return it == values.end() ? std::wstring() : it->second;
}

// ---------------------------------------------------------------------------
// Events

HRESULT TControl::EnumConnectionPoints(IEnumConnectionPoints** Enum)
{
    if (!Enum)
        return E_POINTER;
    *Enum = new TPointEnum(&FEvents);
    return S_OK;
}

HRESULT TControl::FindConnectionPoint(REFIID Iid, IConnectionPoint** Point)
{
    if (!Point)
        return E_POINTER;
    *Point = nullptr;
    if (Iid != DIID_TestFlashEvents)
        return CONNECT_E_NOCONNECTION;
    FEvents.AddRef();
    *Point = &FEvents;
    return S_OK;
}

HRESULT TControl::GetGUID(DWORD Kind, GUID* Guid)
{
    if (!Guid)
        return E_POINTER;
    if (Kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    *Guid = DIID_TestFlashEvents;
    return S_OK;
}

// ---------------------------------------------------------------------------
// The movie's window: it shows the movie's path, and a driving program
// plays the movie's part through it (the viewer's stand-in channel).

void TControl::MakeWindow(HWND Parent, const RECT& Rect)
{
    static const ATOM cls = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = State().Module;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"KvTestFlashMovie";
        return RegisterClassW(&wc);
    }();
    std::wstring movie = FProperties[L"Movie"];
    FWindow = CreateWindowExW(0, MAKEINTATOM(cls), movie.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Rect.left,
                              Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, Parent, nullptr,
                              State().Module, nullptr);
    if (FWindow)
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK TControl::WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (Msg == WM_COPYDATA && control)
        return control->CopyData(Wnd, WParam, reinterpret_cast<const COPYDATASTRUCT*>(LParam));
    return DefWindowProcW(Wnd, Msg, WParam, LParam);
}

LRESULT TControl::CopyData(HWND Wnd, WPARAM WParam, const COPYDATASTRUCT* Data)
{
    std::vector<std::wstring> texts;
    if (Data && Data->dwData == FlashCopyDataCommand && UnpackFlashTexts(Data, 2, texts)) {
        Fire(texts[0], texts[1]);
        return FlashCommandRan;
    }
    HWND reply = reinterpret_cast<HWND>(WParam);
    if (Data && Data->dwData == FlashCopyDataGetVariable && UnpackFlashTexts(Data, 1, texts) && IsWindow(reply)) {
        SendFlashCopyData(reply, Wnd, FlashCopyDataVariable, {texts[0], Get(texts[0])}, 5000);
        return 1;
    }
    return 0;
}

} // namespace testflash
