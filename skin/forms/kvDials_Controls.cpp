// The dialog half of TkvProvider: the dialog skinner made for a parentless
// standard dialog, and the wrappers its child controls get, picked by
// window class and by the type field of the window's style.
#include <algorithm>

#include "skin/core/sMessages.h"
#include "skin/core/sMsgDlg.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/kvDials_Dialog.h"
#include "skin/wrappers/kvSBUtils_Buttons.h"
#include "skin/wrappers/kvSBUtils_Combo.h"
#include "skin/wrappers/kvSBUtils_Edits.h"
#include "skin/wrappers/kvSBUtils_Panels.h"
#include "skin/wrappers/kvSBUtils_Statics.h"
#include "skin/wrappers/kvSBUtils_Tabs.h"
#include "skin/wrappers/kvSBUtils_ToolBar.h"

namespace {

// What a child window gets: its wrapper class and section, and what the
// dialog and the wrapper are told.
struct TkvWrapperChoice {
    TkvWndClass Class;
    const wchar_t* Section = L"";
    bool AllowsPaint = false; // the dialog's own WM_PAINT is let through again
    bool DialogLook = false;  // the wrapper keeps DlgMode
    bool Panel = false;       // no geometry step
    int LeftOffset = -1;      // an up-down's painted part (-1: untouched)
};

DWORD StyleOf(HWND Wnd)
{
    return DWORD(::GetWindowLongW(Wnd, GWL_STYLE));
}

// Statics showing a picture of their own.
bool IsPictureStatic(DWORD Type)
{
    return Type == SS_ICON || Type == SS_BITMAP || Type == SS_ENHMETAFILE;
}

// Statics that draw themselves or are plain fills: left alone.
bool IsUnwrappedStatic(DWORD Type)
{
    return Type == SS_OWNERDRAW || Type == SS_GRAYRECT || Type == SS_WHITERECT || Type == SS_SIMPLE;
}

bool IsCheckType(DWORD Type)
{
    switch (Type) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

template <class T>
TkvWrapperChoice Choice(const wchar_t* Section)
{
    TkvWrapperChoice c;
    c.Class = TkvWndClass::Of<T>();
    c.Section = Section;
    return c;
}

TkvWrapperChoice StaticChoice(DWORD Style)
{
    const DWORD type = Style & SS_TYPEMASK;
    if (IsPictureStatic(type))
        return Choice<TkvIconWnd>(s_CheckBox);
    if (IsUnwrappedStatic(type))
        return {};
    return Choice<TkvStaticWnd>(s_CheckBox);
}

TkvWrapperChoice ButtonChoice(DWORD Style)
{
    const DWORD type = Style & BS_TYPEMASK;
    if (type == BS_GROUPBOX)
        return Choice<TkvGroupBoxWnd>(s_GroupBox);
    if (IsCheckType(type))
        return Choice<TkvCheckBoxWnd>(s_CheckBox);
    return Choice<TkvBtnWnd>(L"BUTTON");
}

// The wrapper of a child window of lower-cased class Name and style S;
// an empty class for a window that keeps its standard look.
TkvWrapperChoice ChooseWrapper(const UnicodeString& Name, DWORD S, HWND Wnd)
{
    TkvWrapperChoice c;
    if (Name == L"static")
        return StaticChoice(S);
    if (Name == L"#32770" || Name == L"shbrowseforfolder")
        return Choice<TkvTransPanelWnd>(s_CheckBox);
    if (Name == L"tpanel" || Name == L"tsilentpaintpanel") {
        c = Choice<TkvDlgPanelWnd>(L"PANEL");
        c.Panel = true;
        return c;
    }
    if (Name == L"edit") {
        if (::IsWindowVisible(Wnd))
            c = Choice<TkvEditWnd>(L"EDIT");
        c.AllowsPaint = c.DialogLook = true;
        return c;
    }
    if (Name == L"button")
        return ButtonChoice(S);
    if (Name == L"combobox" || Name == L"comboboxex32") {
        c = Choice<TkvComboBoxWnd>(L"COMBOBOX");
        c.AllowsPaint = true;
        c.DialogLook = Name == L"combobox";
        return c;
    }
    if (Name == L"combolbox") {
        c = Choice<TkvEditWnd>(L"COMBOBOX");
        c.AllowsPaint = true;
        return c;
    }
    if (Name == L"scrollbar")
        return Choice<TkvSizerWnd>(s_CheckBox);
    if (Name == L"systabcontrol32")
        return (S & TCS_OWNERDRAWFIXED) ? c : Choice<TkvTabControlWnd>(L"PAGECONTROL");
    // List views have no wrapper of their own: the edit wrapper gives them
    // the skin's frame and scroll bars.
    if (Name == L"listbox" || Name == L"syslistview32") {
        c = Choice<TkvEditWnd>(L"EDIT");
        c.DialogLook = true;
        return c;
    }
    if (Name == L"systreeview32") {
        c = Choice<TkvTreeViewWnd>(L"EDIT");
        c.DialogLook = true;
        return c;
    }
    if (Name == L"msctls_updown32") {
        c = Choice<TkvSpinWnd>(L"SPEEDBUTTON_SMALL");
        c.LeftOffset = 2;
        return c;
    }
    if (Name == L"link window" || Name == L"syslink")
        return Choice<TkvLinkWnd>(s_CheckBox);
    if (Name == L"toolbarwindow32")
        return Choice<TkvToolBarWnd>((S & 0x200) ? L"BAR" : s_CheckBox);
    return c;
}

UnicodeString LowerClassName(HWND Wnd)
{
    UnicodeString name = GetWndClassName(Wnd);
    std::transform(name.begin(), name.end(), name.begin(), ::towlower);
    return name;
}

bool ManagerActive()
{
    return DefaultManager && DefaultManager->Active();
}

} // namespace

bool TkvProvider::InitSkin(HWND aHandle)
{
    CtrlHandle = aHandle;
    if (ListSW)
        return true;
    // Without a skin nothing is made, and the entry must not stay listed.
    if (!ManagerActive())
        return false;
    BiDiLeft = (::GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    InitDialog(CtrlHandle, ListSW);
    if (!ListSW)
        return false;
    ListSW->Provider = this;
    ListSW->PlaceAt(DlgLeft, DlgTop);
    if (!InitHwndControls(CtrlHandle))
        return false;
    ListSW->InitParams();
    ::SendMessageW(CtrlHandle, SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_SET), reinterpret_cast<LPARAM>(DefaultManager));
    return true;
}

bool TkvProvider::InitHwndControls(HWND hWnd)
{
    for (HWND child = ::GetTopWindow(hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!InitHwndControls(child))
            return false;
        if ((StyleOf(child) & WS_CHILD) && !AddControl(child))
            return false;
    }
    return true;
}

bool TkvProvider::AddControl(HWND aHwnd)
{
    if (!aHwnd || GetBoolMsg(aHwnd, SMC_IS_SKINNED) || !ListSW)
        return true;
    const TkvWrapperChoice c = ChooseWrapper(LowerClassName(aHwnd), StyleOf(aHwnd), aHwnd);
    if (c.AllowsPaint)
        ListSW->FWMPaintForbidden = false;
    if (!c.Class.Assigned())
        return true;
    TFlagScope dialogMode(kvDlgMode, true);
    TkvMainWnd* w = c.Class.Create(aHwnd, nullptr, ListSW->SkinData->GetSkinManager(), c.Section, true);
    if (!w)
        return true;
    // A window that could not be taken over keeps its look.
    if (w->Destroyed) {
        FreeAndNil(w);
        return true;
    }
    if (c.DialogLook)
        w->DlgMode = true;
    if (c.LeftOffset >= 0)
        if (auto* spin = dynamic_cast<TkvSpinWnd*>(w))
            spin->lOffset = c.LeftOffset;
    kvSkinnedCtrls.push_back(w);
    if (!c.Panel)
        InitCtrlData(w);
    return true;
}

TkvMainWnd* TkvProvider::FindCtrlInList(HWND hwnd) const
{
    for (TkvMainWnd* w : kvSkinnedCtrls)
        if (w && w->CtrlHandle == hwnd)
            return w;
    return nullptr;
}

void InitDialog(HWND AHandle, TkvDialogWnd*& Wnd)
{
    if (ManagerActive()) {
        if (Kv_UninitializeFlatSB)
            Kv_UninitializeFlatSB(AHandle);
        if (Wnd && Wnd->Destroyed)
            FreeAndNil(Wnd);
        if (!Wnd) {
            Wnd = CreateWnd<TkvDialogWnd>(AHandle, nullptr, DefaultManager, s_Dialog, false);
            if (Wnd->Destroyed)
                FreeAndNil(Wnd);
        }
        return;
    }
    FreeAndNil(Wnd);
    if (Kv_InitializeFlatSB)
        Kv_InitializeFlatSB(AHandle);
}

UnicodeString GetWndText(HWND hwnd)
{
    const int n = ::GetWindowTextLengthW(hwnd);
    if (n <= 0)
        return {};
    std::wstring s(std::size_t(n) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(got > 0 ? std::size_t(got) : 0);
    return UnicodeString(s);
}

void PrintHwndControls(HWND hWnd, HDC DC)
{
    for (HWND child = ::GetTopWindow(hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int saved = ::SaveDC(DC);
        RECT r;
        ::GetWindowRect(child, &r);
        POINT p{r.left, r.top};
        ::ScreenToClient(::GetParent(child), &p);
        POINT org;
        ::GetWindowOrgEx(DC, &org);
        ::SetWindowOrgEx(DC, org.x - p.x, org.y - p.y, nullptr);
        const DWORD s = StyleOf(child);
        if ((s & WS_CHILD) && (s & WS_VISIBLE))
            ::SendMessageW(child, WM_PRINT, WPARAM(DC), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
        PrintHwndControls(child, DC);
        ::RestoreDC(DC, saved);
    }
}
