#include <windows.h>

#include <algorithm>
#include <memory>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/sVclUtils_Anim.h"

std::vector<TCustomForm*> HookedComponents;
UnicodeString GlobalSectionName;
bool RestrictDrawing = false;
TIcon* AppIcon = nullptr;
TIcon* AppIconLarge = nullptr;

namespace {

// Frees the program's icons when the process ends.
struct TAppIconsOwner {
    ~TAppIconsOwner()
    {
        FreeAndNil(AppIcon);
        FreeAndNil(AppIconLarge);
    }
} AppIconsOwner;

bool Gone(const TComponent* Component)
{
    return Component->ComponentState().Contains(csDestroying);
}

// The components Application owns now; a broadcast checks each again before
// it sends, since receivers may free forms meanwhile.
std::vector<TComponent*> ApplicationComponents()
{
    std::vector<TComponent*> list;
    for (int i = 0; i < Application->ComponentCount(); ++i)
        list.push_back(Application->Components(i));
    return list;
}

bool StillOwnedByApplication(TComponent* Component)
{
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (Application->Components(i) == Component)
            return true;
    return false;
}

void SendToForm(TCustomForm* Form, TMessage& Message)
{
    ::SendMessageW(Form->Handle(), Message.Msg, Message.WParam, Message.LParam);
    KorvexBroadCast(Form, Message);
}

// A top-level, visible, not minimised skinned form whose provider serves
// Manager: the provider, else nullptr.
TsProviderSeam* LockableProvider(TCustomForm* Form, TComponent* Manager)
{
    if (!Form || Gone(Form) || Form->FormStyle() == fsMDIChild || Form->Parent() || !Form->Visible() ||
        !Form->HandleAllocated() || ::IsIconic(Form->Handle()))
        return nullptr;
    TsProviderSeam* provider = ProviderOf(Form->Handle());
    return provider && provider->ProviderManager() == Manager ? provider : nullptr;
}

bool StillHooked(TCustomForm* Form)
{
    return std::find(HookedComponents.begin(), HookedComponents.end(), Form) != HookedComponents.end();
}

// The forms LockForms froze, by the manager that froze them, until UnLockForms.
struct TFrozenForm {
    TComponent* Manager;
    TCustomForm* Form;
};
std::vector<TFrozenForm> FrozenForms;

bool IsFrozen(TComponent* Manager, TCustomForm* Form)
{
    return std::any_of(FrozenForms.begin(), FrozenForms.end(),
                       [&](const TFrozenForm& f) { return f.Manager == Manager && f.Form == Form; });
}

bool ApplicationMinimized()
{
    return ::IsIconic(Application->Handle()) != FALSE;
}

void ShowMaximizedAgain(HWND Wnd)
{
    const LONG style = ::GetWindowLongW(Wnd, GWL_STYLE);
    ::SetWindowLongW(Wnd, GWL_STYLE, style & ~WS_VISIBLE);
    const HWND active = ::GetActiveWindow();
    ::ShowWindow(Wnd, SW_SHOWMAXIMIZED);
    ::SetWindowLongW(Wnd, GWL_STYLE, ::GetWindowLongW(Wnd, GWL_STYLE) | WS_VISIBLE);
    if (active)
        ::SetActiveWindow(active);
}

// Fades the form into its new look when the manager animates skin changes.
void AnimateNewLook(TCustomForm* Form, TsProviderSeam* Provider, TComponent* Manager)
{
    auto* sm = dynamic_cast<TsSkinManager*>(Manager);
    if (!sm || !sm->AnimEffects()->SkinChanging()->Active())
        return;
    const TkvSkinChanging* anim = sm->AnimEffects()->SkinChanging();
    if (Provider->DrawsNonClientArea())
        AnimShowControl(Form, anim->Time(), 255, anim->Mode());
    else
        AnimShowControl(Form, 0, 255, atFading);
}

void ShowNewLook(TCustomForm* Form, TsProviderSeam* Provider, TComponent* Manager)
{
    AnimateNewLook(Form, Provider, Manager);
    const HWND wnd = Form->Handle();
    if (Provider->HasBorderForm() && ::IsZoomed(wnd))
        ShowMaximizedAgain(wnd);
    ::SendMessageW(wnd, WM_SETREDRAW, 1, 0);
    Provider->SetInAnimation(false);
    if (Provider->DrawsNonClientArea()) {
        if (OldWindows())
            ::SetWindowRgn(wnd, nullptr, FALSE);
        Provider->UpdateRegion();
        ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (Provider->HasBorderForm())
            Provider->UpdateBorderPos();
    } else {
        ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

} // namespace

void IntSkinForm(TCustomForm* Form)
{
    HookedComponents.push_back(Form);
}

void IntUnSkinForm(TCustomForm* Form)
{
    std::erase_if(FrozenForms, [Form](const TFrozenForm& f) { return f.Form == Form; });
    auto it = std::find(HookedComponents.begin(), HookedComponents.end(), Form);
    if (it == HookedComponents.end())
        return;
    *it = HookedComponents.back();
    HookedComponents.pop_back();
}

void AppBroadCastS(TMessage& Message)
{
    if (!Application)
        return;
    const std::vector<TComponent*> components = ApplicationComponents();
    for (auto it = components.rbegin(); it != components.rend(); ++it) {
        // A form freed by an earlier receiver is skipped; the rest still hear.
        if (!StillOwnedByApplication(*it))
            continue;
        auto* form = dynamic_cast<TForm*>(*it);
        if (!form || form->FormStyle() == fsMDIChild || Gone(form) || form->ComponentState().Contains(csLoading))
            continue;
        if (GetBoolMsg(form->Handle(), SMC_IS_SKINNED))
            continue;  // reached once, through SendToHooked
        SendToForm(form, Message);
    }
    SendToHooked(Message);
}

void SendToHooked(TMessage& Message)
{
    // A copy: a receiver that unskins a form reorders the list, and every
    // form still skinned must hear the message once.
    const std::vector<TCustomForm*> forms = HookedComponents;
    for (TCustomForm* form : forms) {
        if (!StillHooked(form) || Gone(form))
            continue;
        SendToForm(form, Message);
    }
    if (const auto visible = FormsServices().VisibleSkinnedDialogs)
        for (HWND dlg : visible())
            ::SendMessageW(dlg, Message.Msg, Message.WParam, Message.LParam);
}

void LockForms(TComponent* Manager)
{
    if (!Application || ApplicationMinimized())
        return;
    auto* sm = dynamic_cast<TsSkinManager*>(Manager);
    if (sm && sm == DefaultManager && sm->AnimEffects()->SkinChanging()->Active())
        InAnimationProcess = true;
    const std::vector<TCustomForm*> forms = HookedComponents;
    for (TCustomForm* form : forms) {
        TsProviderSeam* provider = LockableProvider(form, Manager);
        if (!provider)
            continue;
        if (!IsFrozen(Manager, form))
            FrozenForms.push_back({Manager, form});
        provider->SetInAnimation(true);
        if (provider->HasBorderForm())
            provider->FreezeBorderForm();
        ::SendMessageW(form->Handle(), WM_SETREDRAW, 0, 0);
    }
}

void UnLockForms(TComponent* Manager, bool Repaint)
{
    if (!Application)
        return;
    if (Manager && Manager == DefaultManager)
        InAnimationProcess = false;
    // The forms this manager froze, whatever became of them since: a form
    // hidden meanwhile must lose its frozen mark too.
    std::vector<TCustomForm*> frozen;
    std::erase_if(FrozenForms, [&](const TFrozenForm& f) {
        if (f.Manager != Manager)
            return false;
        frozen.push_back(f.Form);
        return true;
    });
    const bool minimized = ApplicationMinimized();
    for (TCustomForm* form : frozen) {
        // A form unskinned meanwhile is no longer ours to touch (it may be freed).
        if (!StillHooked(form) || Gone(form) || !form->HandleAllocated())
            continue;
        TsProviderSeam* provider = ProviderOf(form->Handle());
        if (!provider)
            continue;
        if (!form->Visible()) {
            // Hidden: redraw comes back with showing (turning it on here
            // would mark the window visible); only the mark goes.
            provider->SetInAnimation(false);
        } else if (Repaint && !minimized && LockableProvider(form, Manager)) {
            ShowNewLook(form, provider, Manager);
        } else {
            ::SendMessageW(form->Handle(), WM_SETREDRAW, 1, 0);
            // A form left marked as frozen would skip its painting for good.
            provider->SetInAnimation(false);
        }
    }
}
