#include "classlib/ole/ShockwaveFlashObjects.h"

#include <functional>
#include <vector>

#include "classlib/graphics/GdiHandles.h"
#include "classlib/ole/FlashCommandQueue.h"
#include "classlib/ole/FlashCopyData.h"

const CLSID CLASS_ShockwaveFlash = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

KV_BEGIN_PUBLISHED(TShockwaveFlash, TOleControl)
    B.Str(L"Movie", &C::Movie, &C::SetMovie);
    B.Str(L"WMode", &C::WMode, &C::SetWMode, L"Window");
    B.Str(L"Quality", &C::Quality, &C::SetQuality, L"High");
    B.Str(L"Scale", &C::Scale, &C::SetScale, L"ShowAll");
    B.Event(L"OnFSCommand", &C::OnFSCommand);
KV_END_PUBLISHED

void RegisterFlashClasses()
{
    RegisterClass<TShockwaveFlash>();
}

namespace {
// Form resources may name the control as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterFlashClasses(), true);
} // namespace

TShockwaveFlash::TShockwaveFlash(TComponent* AOwner)
    : TOleControl(AOwner), FScale(L"ShowAll"), FWMode(L"Window"), FQuality(L"High")
{
    SetBounds(0, 0, 192, 192);
    SetTabStop(true);
}

TShockwaveFlash::~TShockwaveFlash()
{
    // Events of a control that is gone are never raised.
    TFlashCommandQueue::Instance().Drop(this);
}

void TShockwaveFlash::CreateParams(TCreateParams& Params)
{
    TOleControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    Params.WindowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
}

namespace {
// The names the control knows its stored settings by; it takes the quality
// as text under the second.
const wchar_t* const WModeName = L"WMode";
const wchar_t* const QualityName = L"Quality2";
} // namespace

void TShockwaveFlash::SetMovie(const UnicodeString& Value)
{
    FMovie = Value;
    if (Hosted())
        SetProperty(DISPID_FlashMovie, Value);
    else if (HandleAllocated())
        Invalidate();
}

void TShockwaveFlash::SetScale(const UnicodeString& Value)
{
    FScale = Value;
    if (Hosted())
        SetProperty(DISPID_FlashScale, Value);
}

void TShockwaveFlash::SetWMode(const UnicodeString& Value)
{
    FWMode = Value;
    if (Hosted())
        SetProperty(WModeName, Value);
}

void TShockwaveFlash::SetQuality(const UnicodeString& Value)
{
    FQuality = Value;
    if (Hosted())
        SetProperty(QualityName, Value);
}

void TShockwaveFlash::SetVariable(const UnicodeString& name, const UnicodeString& value)
{
    if (Hosted()) {
        InvokeMethod(L"SetVariable", {name, value});
        return;
    }
    FVariables[name] = value;
}

UnicodeString TShockwaveFlash::GetVariable(const UnicodeString& name)
{
    if (Hosted())
        return InvokeMethod(L"GetVariable", {name}).AsString();
    auto it = FVariables.find(name);
    return it == FVariables.end() ? UnicodeString() : it->second;
}

void TShockwaveFlash::InitControlData()
{
    // Each setting on its own: one the control refuses does not keep the
    // others (the movie among them) from it.  The refusals are raised
    // together at the end, for the caller to report.
    UnicodeString refused;
    auto apply = [&refused](const std::function<void()>& Set) {
        try {
            Set();
        } catch (const Exception& e) {
            refused += (refused.empty() ? UnicodeString() : UnicodeString(L"\r\n")) + e.Message();
        }
    };
    // The window mode counts only before the control makes its window; the
    // movie comes after the settings it is to be played with.
    apply([this] { SetProperty(WModeName, FWMode); });
    apply([this] { SetProperty(QualityName, FQuality); });
    apply([this] { SetProperty(DISPID_FlashScale, FScale); });
    if (!FMovie.empty())
        apply([this] { SetProperty(DISPID_FlashMovie, FMovie); });
    for (const auto& [name, value] : FVariables)
        apply([this, &name, &value] { InvokeMethod(L"SetVariable", {name, value}); });
    if (!refused.empty())
        throw EOleException(refused, E_FAIL);
}

void TShockwaveFlash::InvokeEvent(DISPID DispID, std::vector<TOleVariant>& Args)
{
    if (DispID == DISPID_FlashFSCommand && Args.size() == 2)
        DoFSCommand(Args[0].AsString(), Args[1].AsString());
}

bool TShockwaveFlash::DoFSCommand(const UnicodeString& command, const UnicodeString& args)
{
    return TFlashCommandQueue::Instance().Raise(this, command, args);
}

void TShockwaveFlash::FireFSCommand(const UnicodeString& command, const UnicodeString& args)
{
    if (OnFSCommand)
        OnFSCommand(this, command, args);
}

void TShockwaveFlash::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COPYDATA:
        WMCopyData(Message);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    default:
        TOleControl::WndProc(Message);
    }
}

void TShockwaveFlash::WMCopyData(TMessage& Message)
{
    // Commands from a driving program stand in for the movie's FSCommand;
    // a real movie speaks for itself.
    Message.Result = 0;
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam);
    if (!data || Hosted())
        return;
    std::vector<UnicodeString> texts;
    if (data->dwData == FlashCopyDataCommand) {
        if (!UnpackFlashTexts(data, 2, texts))
            return;
        // The driver can tell a command that ran (also one whose handler
        // failed) from one that waits.
        Message.Result = FlashCommandRan;
        if (!DoFSCommand(texts[0], texts[1]))
            Message.Result = FlashCommandWaits;
    } else if (data->dwData == FlashCopyDataGetVariable) {
        HWND replyTo = reinterpret_cast<HWND>(Message.WParam);
        if (!UnpackFlashTexts(data, 1, texts) || !IsWindow(replyTo))
            return;
        SendFlashCopyData(replyTo, Handle(), FlashCopyDataVariable, {texts[0], GetVariable(texts[0])}, 5000);
        Message.Result = 1;
    }
}

void TShockwaveFlash::WMEraseBkgnd(TMessage& Message)
{
    Message.Result = 1; // PaintWindow covers the whole client area
}

void TShockwaveFlash::PaintWindow(HDC DC)
{
    RECT rc;
    ::GetClientRect(Handle(), &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return;
    // Drawn off screen and copied in one go, so the name never flickers.
    MemoryDC mem(DC);
    GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(DC, w, h));
    SelectedObject bmpSel(mem, bmp.Get());
    {
        GdiObject<HBRUSH> back(CreateSolidBrush(RGB(0x20, 0x20, 0x28)));
        FillRect(mem, &rc, back.Get());
    }
    if (Hosted()) {
        // The control's window covers ours; only a moment's gap shows this.
        BitBlt(DC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
        return;
    }

    // The movie's file name, centred.
    UnicodeString name = FMovie;
    size_t slash = name.find_last_of(L"\\/");
    if (slash != UnicodeString::npos)
        name.erase(0, slash + 1);
    if (name.empty())
        name = L"(no movie)";
    GdiObject<HFONT> font(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    {
        SelectedObject fontSel(mem, font.Get());
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, RGB(0xE0, 0xE0, 0xE0));
        DrawTextW(mem, name.c_str(), int(name.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    BitBlt(DC, 0, 0, w, h, mem, 0, 0, SRCCOPY);
}
