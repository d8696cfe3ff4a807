// The Flash player control.  Where the control is registered it is hosted
// in our window and every property, variable and event goes through it.
// Where it is not (or it fails to start), a stand-in takes its place: it
// keeps the movie, the scale and the movie variables, paints the movie's
// file name, and raises FSCommand when another program sends it a command
// (see FlashCopyData.h).
#pragma once

#include <windows.h>

#include <map>

#include "classlib/ole/OleCtrls.h"

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
extern const CLSID CLASS_ShockwaveFlash;

// Dispatch ids of IShockwaveFlash and its event interface.
constexpr LONG DISPID_FlashMovie = 102;
constexpr LONG DISPID_FlashScale = 137;
constexpr LONG DISPID_FlashFSCommand = 150;

using TShockwaveFlashFSCommand =
    TMethod<void(TObject* Sender, const UnicodeString& command, const UnicodeString& args)>;

class TShockwaveFlash : public TOleControl {
    KV_CLASS(TShockwaveFlash)
    KV_PUBLISHED
public:
    explicit TShockwaveFlash(TComponent* AOwner);
    ~TShockwaveFlash() override;

    const CLSID& ControlClassID() const override { return CLASS_ShockwaveFlash; }

    // Movie (dispatch id 102): a movie file's path, or "about:blank".
    const UnicodeString& Movie() const { return FMovie; }
    void SetMovie(const UnicodeString& Value);
    // Scale (dispatch id 137): "ShowAll", "NoBorder", "ExactFit", "NoScale"...
    const UnicodeString& Scale() const { return FScale; }
    void SetScale(const UnicodeString& Value);
    // Stored settings: "Window", "Opaque", "Transparent"...; "High", "Low"...
    const UnicodeString& WMode() const { return FWMode; }
    void SetWMode(const UnicodeString& Value);
    const UnicodeString& Quality() const { return FQuality; }
    void SetQuality(const UnicodeString& Value);

    void SetVariable(const UnicodeString& name, const UnicodeString& value);
    // The variable's current value; empty text for one never set.
    UnicodeString GetVariable(const UnicodeString& name);

    // FSCommand (dispatch id 150), raised on the GUI thread, one event of
    // the process at a time (see FlashCommandQueue.h).
    TShockwaveFlashFSCommand OnFSCommand;
    // Raises OnFSCommand: true once the handler has returned; false when
    // the event waits for a running handler or an open modal window.
    bool DoFSCommand(const UnicodeString& command, const UnicodeString& args);

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    void InitControlData() override;
    void InvokeEvent(DISPID DispID, std::vector<TOleVariant>& Args) override;

private:
    friend class TFlashCommandQueue;
    // Calls the handler, when there is one.
    void FireFSCommand(const UnicodeString& command, const UnicodeString& args);
    void WMCopyData(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message) override;

    UnicodeString FMovie;
    UnicodeString FScale;
    UnicodeString FWMode;
    UnicodeString FQuality;
    std::map<UnicodeString, UnicodeString> FVariables;
};

// Makes the control known to form resources.
void RegisterFlashClasses();
