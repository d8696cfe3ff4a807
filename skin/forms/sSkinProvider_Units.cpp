// The unit routines of the providers: desktop composition, finding a
// component's provider, holding back a form's drawing, repainting the
// caption, the caption cover form and the layered hiding of a form.
#include "skin/forms/sSkinProvider.h"

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sGraphUtils.h"

namespace {

HMODULE hDWMAPI = nullptr;
using TDwmSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
TDwmSetWindowAttribute DwmSetWindowAttributeProc = nullptr;

// The module goes with the program.
struct TDwmUnitEnd {
    ~TDwmUnitEnd()
    {
        if (hDWMAPI)
            ::FreeLibrary(hDWMAPI);
    }
} DwmUnitEnd;

constexpr DWORD DWMWA_TRANSITIONS_FORCEDISABLED_ = 3;

} // namespace

void InitDwmApi()
{
    if (!hDWMAPI)
        hDWMAPI = ::LoadLibraryW(L"DWMAPI.DLL");
}

HRESULT CallDwmSetWindowAttribute(HWND Handle, DWORD Attribute, const void* Value, DWORD Size)
{
    if (!DwmSetWindowAttributeProc) {
        InitDwmApi();
        if (hDWMAPI)
            DwmSetWindowAttributeProc = reinterpret_cast<TDwmSetWindowAttribute>(
                reinterpret_cast<void*>(::GetProcAddress(hDWMAPI, "DwmSetWindowAttribute")));
    }
    return DwmSetWindowAttributeProc ? DwmSetWindowAttributeProc(Handle, Attribute, Value, Size) : E_NOTIMPL;
}

void InitDwm(HWND Handle, bool Enable, bool Refresh)
{
    (void)Refresh;
    if (!AeroIsEnabled())
        return;
    const DWORD value = Enable ? 1 : 0;
    CallDwmSetWindowAttribute(Handle, DWMWA_TRANSITIONS_FORCEDISABLED_, &value, sizeof(value));
}

TsSkinProvider* GetSkinProvider(TComponent* Component)
{
    TCustomForm* form = Component ? GetOwnerForm(Component) : nullptr;
    if (auto* f = dynamic_cast<TCustomForm*>(Component))
        form = f;
    if (!form || !form->HandleAllocated())
        return nullptr;
    auto* provider = dynamic_cast<TsSkinProvider*>(ProviderOf(form->Handle()));
    return TsSkinProvider::Alive(provider) ? provider : nullptr;
}

bool CtrlIsReadyForHook(TWinControl* Control)
{
    return Control && Control->HandleAllocated();
}

void ForbidDrawing(TsSkinProvider* Provider, bool MDIAlso)
{
    Provider->SkinData()->BeginUpdate();
    ::SendMessageW(Provider->Form->Handle(), WM_SETREDRAW, 0, 0);
    if (MDIAlso && Provider->Form->FormStyle() == fsMDIChild && TsSkinProvider::Alive(MDISkinProvider))
        ForbidDrawing(MDISkinProvider, false);
}

void PermitDrawing(TsSkinProvider* Provider, bool MDIAlso)
{
    Provider->SkinData()->EndUpdate(false);
    ::SendMessageW(Provider->Form->Handle(), WM_SETREDRAW, 1, 0);
    if (MDIAlso && Provider->Form->FormStyle() == fsMDIChild && TsSkinProvider::Alive(MDISkinProvider))
        PermitDrawing(MDISkinProvider, false);
}

void UpdateSkinCaption(TsSkinProvider* Provider)
{
    TForm* form = Provider ? Provider->Form : nullptr;
    if (!form || InAnimation(Provider) || !form->Visible() || !Provider->FDrawNonClientArea ||
        !form->HandleAllocated() || form->ControlState().Contains(csDestroyingHandle))
        return;
    Provider->SkinData()->BGChanged = true;
    if (Provider->BorderForm) {
        Provider->UpdateExBordersPos(true, 255);
        return;
    }
    if (!Provider->SkinData()->FCacheBmp && Provider->SkinData()->GetSkinManager())
        Provider->InitExBorders(Provider->SkinData()->GetSkinManager()->ExtendedBorders());
    HDC dc = ::GetWindowDC(form->Handle());
    const int saved = ::SaveDC(dc);
    Provider->PaintCaption(dc);
    ::RestoreDC(dc, saved);
    ::ReleaseDC(form->Handle(), dc);
}

void UpdateMainForm(bool Repaint)
{
    TsSkinProvider* p = MDISkinProvider;
    if (!TsSkinProvider::Alive(p) || !p->Form)
        return;
    p->SkinData()->BeginUpdate();
    p->SkinData()->BGChanged = true;
    p->MenuChanged = true;
    p->FLinesCount = -1;
    p->SkinData()->EndUpdate(false);
    ::RedrawWindow(p->Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    if (Repaint && p->BorderForm)
        p->UpdateExBordersPos(true, 255);
}

void ShowCaptionCover(TsSkinProvider* Provider, bool FullHeight)
{
    TForm* form = Provider->Form;
    if (!Provider->FDrawNonClientArea || InAnimation(Provider) || Provider->LockCount > 0 || !form ||
        !form->HandleAllocated())
        return;
    if (form->FormStyle() == fsMDIChild && TsSkinProvider::Alive(MDISkinProvider) && MDISkinProvider->LockCount > 0)
        return;
    if (!Provider->CaptForm) {
        TForm* cover = TForm::CreateNew(Application);
        cover->SetTag(-98);
        cover->SetBorderStyle(bsNone);
        Provider->OldCaptFormProc = cover->WindowProc;
        cover->WindowProc = TWndMethod(Provider, &TsSkinProvider::NewCaptFormProc);
        Provider->CaptForm = cover;
    }
    TForm* cover = Provider->CaptForm;
    ::ShowWindow(cover->Handle(), SW_HIDE);
    RECT r;
    ::GetWindowRect(form->Handle(), &r);
    const int height = FullHeight ? r.bottom - r.top : Provider->HeaderHeight();
    HWND after = nullptr;
    if (::GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST)
        after = HWND_TOPMOST;
    else
        after = ::GetWindow(form->Handle(), GW_HWNDPREV);
    ::SetWindowPos(cover->Handle(), after ? after : HWND_TOP, r.left, r.top, r.right - r.left, height, 0x658);
}

void FreeCaptionCover(TsSkinProvider* Provider)
{
    TForm* cover = std::exchange(Provider->CaptForm, nullptr);
    if (!cover)
        return;
    cover->WindowProc = Provider->OldCaptFormProc;
    Provider->OldCaptFormProc = TWndMethod();
    FreeAndNil(cover);
}

void TsSkinProvider::NewCaptFormProc(TMessage& Message)
{
    // The cover shows what lay beneath it: it never erases.
    if (Message.Msg != WM_ERASEBKGND)
        OldCaptFormProc(Message);
}

bool HaveBorder(TsSkinProvider* Provider)
{
    TForm* f = Provider->Form;
    return f && (f->BorderStyle() != bsNone || f->FormStyle() == fsMDIChild);
}

bool InAnimation(TsSkinProvider* Provider)
{
    return Provider->FInAnimation;
}

bool BigButtons(TsSkinProvider* Provider)
{
    TForm* f = Provider->Form;
    return f && (f->BorderStyle() == bsSingle || f->BorderStyle() == bsSizeable);
}

bool IsBorderUnchanged(int MaskIndex, TsSkinManager* Manager)
{
    return MaskIndex < 0 || (Manager && Manager->IsValidImgIndex(MaskIndex) && Manager->ma[MaskIndex].ImageCount == 1);
}

bool HideByLayering(TWinControl* Control, bool Hide)
{
    const HWND wnd = Control->Handle();
    if (Hide && kvLayered()) {
        const LONG ex = ::GetWindowLongW(wnd, GWL_EXSTYLE);
        if (ex & WS_EX_LAYERED)
            return false;
        ::SetWindowLongW(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        TBitmap empty;
        empty.SetPixelFormat(pf32bit);
        empty.SetSize(1, 1);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 10, AC_SRC_ALPHA};
        SIZE size{0, 0};
        POINT src{0, 0};
        ScreenDC screen;
        if (kvUpdateLayeredWindow)
            kvUpdateLayeredWindow(wnd, screen, nullptr, &size, empty.Canvas()->Handle(), &src, 0x1FFFFFFF, &blend,
                                  ULW_ALPHA);
        return true;
    }
    ::SetWindowLongW(wnd, GWL_STYLE, ::GetWindowLongW(wnd, GWL_STYLE) & ~WS_VISIBLE);
    ::SetWindowLongW(wnd, GWL_EXSTYLE, ::GetWindowLongW(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    return false;
}
