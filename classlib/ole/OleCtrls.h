// Hosting of ActiveX controls.  A hosted control is named by its class id;
// when its window is first made, the component creates the control from its
// registered in-process server, sites it and activates it in place inside
// that window, where it follows the window's size until the window goes.
// Where the class is not registered, or the control fails to be created or
// activated, nothing is hosted and the derived class's stand-in answers.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/ole/ComObj.h"

class TOleControlSite;
class TOleEventSink;

class TOleControl : public TWinControl {
    KV_CLASS(TOleControl)
    KV_PUBLISHED
public:
    explicit TOleControl(TComponent* AOwner);
    ~TOleControl() override;
    void BeforeDestruction() override;

    // The class id of the control this component hosts.
    virtual const CLSID& ControlClassID() const = 0;
    // True while the real control runs inside our window; false when the
    // derived class's stand-in answers instead.
    bool Hosted() const { return FOleObject && FActive; }
    // The control's own window inside ours (nullptr when none).
    HWND ControlWindow() const;

    // Whether the class id has a registered in-process server.
    static bool ClassRegistered(const CLSID& ClassID);

    // Properties and methods of the hosted control through its dispatch
    // interface, by dispatch id or by name; method arguments in call order.
    // EOleError when no control is hosted, EOleException when it fails.
    void SetProperty(DISPID DispID, const TOleVariant& Value);
    void SetProperty(const UnicodeString& Name, const TOleVariant& Value);
    TOleVariant GetProperty(DISPID DispID);
    TOleVariant GetProperty(const UnicodeString& Name);
    TOleVariant InvokeMethod(DISPID DispID, std::initializer_list<TOleVariant> Args = {});
    TOleVariant InvokeMethod(const UnicodeString& Name, std::initializer_list<TOleVariant> Args = {});
    DISPID DispIDOfName(const UnicodeString& Name);

    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void WMSize(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMDestroy(TMessage& Message) override;

    // The control exists and is not active yet: hand it the stored settings.
    virtual void InitControlData() {}
    // An event of the control, on the GUI thread; its arguments in call order.
    virtual void InvokeEvent(DISPID DispID, std::vector<TOleVariant>& Args) {}

private:
    friend class TOleControlSite;
    friend class TOleEventSink;

    // Creates, sites and initialises the control; false (with nothing kept)
    // when any step fails.
    bool CreateControl();
    void CreateControlObject();
    void ConnectEvents();
    // The connection point of the control's events and their interface.
    TComPtr<IConnectionPoint> FindEventPoint(IID& EventIID) const;
    // In-place activation in our window; false when the control refuses.
    bool ActivateControl();
    void DeactivateControl();
    // Lets go of the control and of every object of ours it knew.
    void DestroyControl();
    // After a step of creation or activation failed.
    void ControlFailed();
    void Invoke(DISPID DispID, WORD Flags, std::vector<TOleVariant>& Args, bool PropertyPut, VARIANT* Result);
    void PlaceControl();
    // Called by the site and the sink.
    void SiteActivated();
    void EventReceived(DISPID DispID, std::vector<TOleVariant>& Args);

    TComPtr<IOleObject> FOleObject;
    TComPtr<IOleInPlaceObject> FInPlaceObject;
    TComPtr<IDispatch> FDispatch;
    TComPtr<IConnectionPoint> FEventPoint;
    DWORD FEventCookie = 0;
    TComPtr<TOleControlSite> FSite;
    TComPtr<TOleEventSink> FSink;
    std::map<UnicodeString, DISPID> FDispIDs;
    bool FActive = false;
    bool FCreateFailed = false;
};
