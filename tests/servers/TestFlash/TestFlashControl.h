// The test control object and the state the test exports read.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "TestFlashApi.h"

// {D27CDB6E-AE6D-11CF-96B8-444553540000}: the class the viewer asks for.
extern const CLSID CLSID_TestFlash;

namespace testflash {

// Process-wide bookkeeping of the server.
struct TState {
    TTestFlashFaults Faults = {};
    std::wstring Log;
    LONG LiveObjects = 0;
    LONG HeldReferences = 0;   // references held on the container's objects
    LONG ServerLocks = 0;
    HMODULE Module = nullptr;
};
TState& State();
void Log(const std::wstring& Entry);

// Takes or drops a reference on one of the container's objects.
template <class I>
void Hold(I*& Slot, I* Object)
{
    if (Object) {
        Object->AddRef();
        ++State().HeldReferences;
    }
    if (Slot) {
        Slot->Release();
        --State().HeldReferences;
    }
    Slot = Object;
}

class TControl;

// The one connection point: FSCommand's event interface.
class TEventPoint final : public IConnectionPoint {
public:
    explicit TEventPoint(TControl* Control) : FControl(Control) {}
    ~TEventPoint();
    void Fire(const std::wstring& Command, const std::wstring& Args);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* Iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** Container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* Sink, DWORD* Cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD Cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** Enum) override;

private:
    TControl* FControl;
    std::map<DWORD, IDispatch*> FSinks;
    DWORD FNextCookie = 1;
};

class TControl final : public IOleObject,
                       public IOleInPlaceObject,
                       public IPersistStreamInit,
                       public IDispatch,
                       public IConnectionPointContainer,
                       public IProvideClassInfo2 {
public:
    TControl();
    ~TControl();
    // The control the exports talk to: the one made last and still alive.
    static TControl* Last();
    void Fire(const std::wstring& Command, const std::wstring& Args) { FEvents.Fire(Command, Args); }
    HWND Window() const { return FWindow; }
    std::wstring Get(const std::wstring& Name) const;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* Site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** Site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG Verb, LPMSG, IOleClientSite* Site, LONG, HWND Parent, LPCRECT Rect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* Clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL* Size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* Size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* Status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT Pos, LPCRECT Clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersist, IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* Clsid) override { return GetUserClassID(Clsid); }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* Names, UINT Count, LCID, DISPID* Ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID DispID, REFIID, LCID, WORD Flags, DISPPARAMS* Params, VARIANT* Result,
                                     EXCEPINFO* Info, UINT*) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** Enum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID Iid, IConnectionPoint** Point) override;

    // IProvideClassInfo, IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD Kind, GUID* Guid) override;

private:
    HRESULT InPlaceActivate(HWND Parent);
    HRESULT UIActivate();
    void MakeWindow(HWND Parent, const RECT& Rect);
    HRESULT PutProperty(DISPID DispID, DISPPARAMS* Params);
    HRESULT GetPropertyValue(DISPID DispID, VARIANT* Result);
    HRESULT CallMethod(DISPID DispID, DISPPARAMS* Params, VARIANT* Result);
    static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT CopyData(HWND Wnd, WPARAM WParam, const COPYDATASTRUCT* Data);

    LONG FRefs = 1;
    TEventPoint FEvents;
    IOleClientSite* FSite = nullptr;
    IOleInPlaceSite* FInPlaceSite = nullptr;
    IOleInPlaceFrame* FFrame = nullptr;
    IOleInPlaceUIWindow* FDocument = nullptr;
    HWND FWindow = nullptr;
    SIZEL FExtent = {2540, 2540};
    std::map<std::wstring, std::wstring> FProperties;
    std::map<std::wstring, std::wstring> FVariables;
    bool FFailActivate;
    bool FFailCalls;
    bool FRefuseWMode;
    bool FNoClassInfo;
};

} // namespace testflash
