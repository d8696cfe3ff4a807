#include "skin/core/sVclUtils.h"

#include <algorithm>
#include <vector>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/rtl/SysUtils.h"

#include "skin/core/kvntUtils.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sInputSource.h"

const UINT AlignToInt[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};

UINT GetStringFlags(TControl* Control, TAlignment Alignment)
{
    const UINT flags = AlignToInt[Alignment] | DT_EXPANDTABS | DT_VCENTER;
    return Control ? Control->DrawTextBiDiModeFlags(flags) : flags;
}

bool InAnimationProcess = false;
HDC kvPrintDC = nullptr;

namespace {

// The visual-style library stays loaded for the life of the process.
struct TUxTheme {
    TUxTheme()
    {
        uxthemeLib = ::LoadLibraryW(L"UXTHEME");
        if (uxthemeLib)
            Kv_SetWindowTheme =
                reinterpret_cast<TSetWindowTheme>(::GetProcAddress(uxthemeLib, "SetWindowTheme"));
    }
    ~TUxTheme()
    {
        if (uxthemeLib)
            ::FreeLibrary(uxthemeLib);
        uxthemeLib = nullptr;
        Kv_SetWindowTheme = nullptr;
    }
};

bool Destroying(const TComponent* Component)
{
    return Component->ComponentState().Contains(csDestroying);
}

// Children are sent messages one by one and a handler may free or move a
// sibling meanwhile: the loops walk a copy and ask again before each step.
std::vector<TControl*> ChildrenOf(TWinControl* Parent)
{
    std::vector<TControl*> list;
    list.reserve(static_cast<size_t>(Parent->ControlCount()));
    for (int i = 0; i < Parent->ControlCount(); ++i)
        list.push_back(Parent->Controls(i));
    return list;
}

bool StillChildOf(TWinControl* Parent, TControl* Child)
{
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (Parent->Controls(i) == Child)
            return true;
    return false;
}

} // namespace

bool OldWindows()
{
    return LOBYTE(LOWORD(::GetVersion())) < 6;
}

HMODULE uxthemeLib = nullptr;
TSetWindowTheme Kv_SetWindowTheme = nullptr;
static TUxTheme UxTheme;

// ---------------------------------------------------------------------------
LRESULT SendAMessage(HWND Handle, int Cmd, LPARAM LParam)
{
    return ::SendMessageW(Handle, SM_KORVEXCMD, MakeKorvexWParam(Cmd), LParam);
}

LRESULT SendAMessage(TControl* Control, int Cmd, LPARAM LParam)
{
    if (!Control)
        return 0;
    auto* win = dynamic_cast<TWinControl*>(Control);
    if (!win)
        return Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(Cmd), LParam);
    if (Destroying(win) || !win->HandleAllocated())
        return 0;
    return ::SendMessageW(win->Handle(), SM_KORVEXCMD, MakeKorvexWParam(Cmd), LParam);
}

void SetBoolMsg(HWND Handle, int Cmd, bool Value)
{
    ::SendMessageW(Handle, SM_KORVEXCMD, MakeKorvexWParam(Cmd, Value ? 1 : 0), 0);
}

bool GetBoolMsg(TWinControl* Control, int Cmd)
{
    return (SendAMessage(Control, Cmd, 0) & 0xFF) != 0;
}

bool GetBoolMsg(HWND Handle, int Cmd)
{
    return SendAMessage(Handle, Cmd, 0) == 1;
}

void AddToAdapter(TWinControl* Control)
{
    if (!Control)
        return;
    const TComponentState state = Control->ComponentState();
    if (state.Contains(csDesigning) || state.Contains(csLoading))
        return;
    SendAMessage(GetParentForm(Control), SMC_ADD_TO_ADAPTER, reinterpret_cast<LPARAM>(Control));
}

void SetParentUpdated(TWinControl* Parent)
{
    if (InAnimationProcess || !Parent)
        return;
    for (TControl* child : ChildrenOf(Parent)) {
        if (!StillChildOf(Parent, child) || Destroying(child) || dynamic_cast<TGraphicControl*>(child))
            continue;
        if (auto* win = dynamic_cast<TWinControl*>(child)) {
            if (win->HandleAllocated() && win->Showing())
                SendAMessage(win->Handle(), SMC_PARENT_UPDATED, 0);
        } else {
            SendAMessage(child, SMC_PARENT_UPDATED, 0);
        }
    }
}

void SetParentUpdated(HWND Handle)
{
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_PARENT_UPDATED), 0);
    BroadCastMsg(Handle, m);
}

void SendToProvider(TCustomForm* Form, TMessage& Message)
{
    if (!Form)
        return;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        TComponent* c = Form->Components(i);
        if (auto* provider = dynamic_cast<TsProviderSeam*>(c); provider && !Destroying(c)) {
            provider->DsgnWndProc(Message);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
void KorvexBroadCast(TWinControl* Control, TMessage& Message)
{
    if (!Control)
        return;
    for (TControl* child : ChildrenOf(Control)) {
        if (!StillChildOf(Control, child) || Destroying(child))
            continue;
        auto* win = dynamic_cast<TWinControl*>(child);
        if (!win || !win->HandleAllocated())
            child->Perform(Message.Msg, Message.WParam, Message.LParam);
        else if (GetBoolMsg(win, SMC_IS_SKINNED))
            ::SendMessageW(win->Handle(), Message.Msg, Message.WParam, Message.LParam);
        else
            KorvexBroadCast(win, Message);
    }
}

namespace {
struct TDirectChildren {
    HWND Parent;
    std::vector<HWND> List;
};

BOOL CALLBACK CollectDirectChild(HWND Wnd, LPARAM Data)
{
    auto* found = reinterpret_cast<TDirectChildren*>(Data);
    if (::GetParent(Wnd) == found->Parent)
        found->List.push_back(Wnd);
    return TRUE;
}

void SendToWindows(const std::vector<HWND>& Windows, const TMessage& Message)
{
    for (HWND w : Windows)
        if (::IsWindow(w))
            ::SendMessageW(w, Message.Msg, Message.WParam, Message.LParam);
}
} // namespace

void KorvexBroadCast(HWND Handle, TMessage& Message)
{
    TDirectChildren children{Handle, {}};
    ::EnumChildWindows(Handle, CollectDirectChild, reinterpret_cast<LPARAM>(&children));
    SendToWindows(children.List, Message);
}

void BroadCastMsg(HWND Handle, TMessage& Message)
{
    std::vector<HWND> list;
    for (HWND w = ::GetTopWindow(Handle); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (::GetWindowLongW(w, GWL_STYLE) & WS_CHILD)
            list.push_back(w);
    SendToWindows(list, Message);
}

// ---------------------------------------------------------------------------
TColor GetControlColor(TControl* Control)
{
    if (!Control)
        return 0xFF00FF;
    if (SendAMessage(Control, SMC_IS_SKINNED, 0) == 1)
        return ColorToRGB(static_cast<TColor>(
            Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_COLOR), 0xFF00FF)));
    return ColorToRGB(Control->Color());
}

TColor GetControlColor(HWND Handle)
{
    if (!Handle)
        return 0xFF00FF;
    return ColorToRGB(static_cast<TColor>(SendAMessage(Handle, SMC_GET_BG_COLOR, 0xFF00FF)));
}

bool ControlIsReady(TControl* Control)
{
    if (!Control)
        return false;
    if (auto* win = dynamic_cast<TWinControl*>(Control); win && !win->HandleAllocated())
        return false;
    const TControlState cs = Control->ControlState();
    if (cs.Contains(csCreating) || cs.Contains(csReadingState))
        return false;
    const TComponentState state = Control->ComponentState();
    if (state.Contains(csLoading) || state.Contains(csDestroying))
        return false;
    return Control->Parent() != nullptr;
}

TCustomForm* GetOwnerForm(TComponent* Component)
{
    for (TComponent* c = Component; c; c = c->Owner())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}

TCustomFrame* GetOwnerFrame(TComponent* Component)
{
    for (TComponent* c = Component; c; c = c->Owner())
        if (auto* frame = dynamic_cast<TCustomFrame*>(c))
            return frame;
    return nullptr;
}

bool AllEditSelected(TCustomEdit* Edit)
{
    return Edit && Edit->SelStart() == 0 && Edit->SelLength() == int(Edit->Text().size());
}

HWND GetParentFormHandle(HWND Handle)
{
    HWND result = Handle;
    for (HWND p = ::GetParent(Handle); p; p = ::GetParent(p))
        result = p;
    return result;
}

namespace {
TComponent* OwnedByName(TComponent* Owner, const UnicodeString& Name)
{
    const UnicodeString wanted = UpperCase(Name);
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        if (UpperCase(Owner->Components(i)->Name()) == wanted)
            return Owner->Components(i);
    return nullptr;
}
} // namespace

TComponent* GetControlByName(TWinControl* Parent, const UnicodeString& Name)
{
    if (!Parent)
        return nullptr;
    if (Name.find(L'.') == UnicodeString::npos)
        return OwnedByName(Parent, Name);
    const UnicodeString frameName = ExtractWord(1, Name, L".");
    const UnicodeString ctrlName = ExtractWord(2, Name, L".");
    if (frameName.empty() || ctrlName.empty())
        return nullptr;
    TComponent* frame = OwnedByName(Parent, frameName);
    return frame && frame->ClassInfo()->InheritsFrom(L"TCustomFrame") ? OwnedByName(frame, ctrlName) : nullptr;
}

int GetCtrlRange(TWinControl* Parent, int Dimension)
{
    if (!Parent || (Dimension != 0 && Dimension != 1))
        return 0;
    int lo = Dimension == 0 ? Parent->Width() : Parent->Height();
    int hi = 0;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        const TControl* c = Parent->Controls(i);
        const int start = Dimension == 0 ? c->Left() : c->Top();
        const int end = start + (Dimension == 0 ? c->Width() : c->Height());
        lo = std::min(lo, start);
        hi = std::max(hi, end);
    }
    return lo < hi ? hi - lo : 0;
}

int GetAlignShift(TWinControl* Parent, TAlign Align, bool GraphCtrlsToo)
{
    if (!Parent)
        return 0;
    const bool vertical = Align == alTop || Align == alBottom;
    if (!vertical && Align != alLeft && Align != alRight)
        return 0;
    int sum = 0;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        const TControl* c = Parent->Controls(i);
        if (!c->Visible() || c->Align() != Align)
            continue;
        if (!GraphCtrlsToo && !dynamic_cast<const TWinControl*>(c))
            continue;
        sum += vertical ? c->Height() : c->Width();
    }
    return sum;
}


TRect KVClientRect(HWND Handle)
{
    TRect client{};
    ::GetClientRect(Handle, &client);
    TRect window{};
    ::GetWindowRect(Handle, &window);
    ::MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&window), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    return client;
}


TRect WorkRect()
{
    TRect r{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

TPoint kvMousePos()
{
    return kvCursorPos();
}


// ---------------------------------------------------------------------------
void RepaintsControls(TWinControl* Parent, bool)
{
    for (TControl* child : ChildrenOf(Parent))
        if (StillChildOf(Parent, child) && ControlIsReady(child) && !dynamic_cast<TGraphicControl*>(child))
            child->Invalidate();
}

void RepaintsGraphicControls(TWinControl* Parent)
{
    for (TControl* child : ChildrenOf(Parent))
        if (StillChildOf(Parent, child) && ControlIsReady(child) && dynamic_cast<TGraphicControl*>(child))
            child->Repaint();
}

void SetControlsEnabled(TWinControl* Parent, bool Value)
{
    for (TControl* child : ChildrenOf(Parent))
        if (StillChildOf(Parent, child) && !dynamic_cast<TCustomPanel*>(child))
            child->SetEnabled(Value);
}

void SetPanelFocus(TWinControl* Parent)
{
    std::vector<TWinControl*> order;
    Parent->GetTabOrderList(order);
    for (TWinControl* c : order)
        if (c->Enabled() && c->TabStop()) {
            c->SetFocus();
            return;
        }
}

bool CheckPanelFilled(TCustomPanel* Panel)
{
    for (int i = 0; i < Panel->ControlCount(); ++i) {
        TControl* c = Panel->Controls(i);
        if ((dynamic_cast<TEdit*>(c) || c->ClassInfo()->InheritsFrom(L"TComboBox")) && c->Text().empty())
            return false;
    }
    return true;
}
