// Hosting of ActiveX controls in a window of their own.  A hosted control is
// named by its class id; where that class is not registered, the derived
// class provides a stand-in that keeps the same interface.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"

class TOleControl : public TWinControl {
    KV_CLASS(TOleControl)
    KV_PUBLISHED
public:
    explicit TOleControl(TComponent* AOwner);

    // The class id of the control this component hosts.
    virtual const CLSID& ControlClassID() const = 0;
    // True when the real control runs inside our window; false when the
    // derived class's stand-in answers instead.
    bool Hosted() const { return FHosted; }

    // Whether the class id has a registered in-process server.
    static bool ClassRegistered(const CLSID& ClassID);

protected:
    void CreateWnd() override;
    // Creates and in-place activates the real control in our window.
    // In-process hosting is not built yet: the stand-in always answers.
    virtual bool HostControl() { return false; }

private:
    bool FHosted = false;
};
