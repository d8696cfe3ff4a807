#include "skin/forms/sMDIForm.h"

#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"

TsMDIForm::TsMDIForm(TsSkinProvider* AOwner) : SkinProvider(AOwner)
{
    if (SkinProvider && SkinProvider->Form) {
        FForm = SkinProvider->Form;
        FForm->HandleNeeded();
    }
}

TsMDIForm::~TsMDIForm()
{
    DestroyScrolls();
}

void TsMDIForm::ConnectToClient()
{
    if (!FForm || FForm->ComponentState().Contains(csDesigning) || ListSW)
        return;
    RefreshMDIScrolls();
}

void TsMDIForm::RefreshMDIScrolls()
{
    DestroyScrolls();
    TsCommonData* sd = SkinProvider ? SkinProvider->SkinData() : nullptr;
    if (!sd || !sd->Skinned() || !FForm || !FForm->ClientHandle())
        return;
    ListSW = CreateWnd<TkvMDIWnd>(FForm->ClientHandle(), nullptr, sd->GetSkinManager(), s_CheckBox, true);
    if (ListSW->Destroyed) {
        FreeAndNil(ListSW);
        return;
    }
    ListSW->FForm = FForm;
    ListSW->MDISkinData = sd;
    ListSW->SkinProvider = this;
}

// The wrapper owns the skin data it made for itself and frees it with
// itself: freeing it here too would free it twice.
void TsMDIForm::DestroyScrolls()
{
    FreeAndNil(ListSW);
}

void TsMDIForm::UpdateMDIIconItem()
{
    if (SkinProvider)
        SkinProvider->RepaintMenu();
}

void TsMDIForm::ChildCommand(WPARAM Command)
{
    TForm* child = FForm ? FForm->ActiveMDIChild() : nullptr;
    if (child && child->HandleAllocated())
        ::SendMessageW(child->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsMDIForm::CloseClick(TObject*)
{
    ChildCommand(SC_CLOSE);
}

void TsMDIForm::MinClick(TObject*)
{
    ChildCommand(SC_MINIMIZE);
}

void TsMDIForm::RestoreClick(TObject*)
{
    ChildCommand(SC_RESTORE);
}

bool TsMDIForm::Animating()
{
    return SkinProvider->fAnimating || InAnimation(SkinProvider);
}

TsCommonData* TsMDIForm::FormSkinData()
{
    return SkinProvider->SkinData();
}

TColor TsMDIForm::FormColor()
{
    return SkinProvider->FormColor();
}

void TsMDIForm::PaintAll()
{
    SkinProvider->PaintAll();
}

TPoint TsMDIForm::ImageOrigin()
{
    const TsFrameMetrics m = SkinProvider->Metrics();
    return TPoint(m.Facts().Shadow.left + m.DiffBorder(), m.Facts().Shadow.top + m.DiffTitle());
}

bool TsMDIForm::HasBorderWindow()
{
    return SkinProvider->BorderForm != nullptr;
}

void TsMDIForm::ChildrenArranged()
{
    SkinProvider->SkinData()->BGChanged = true;
    SkinProvider->FLinesCount = -1;
    UpdateMDIIconItem();
    if (SkinProvider->SystemMenu)
        SkinProvider->SystemMenu->UpdateItems(false);
}

void TsMDIForm::MenuReplaced()
{
    if (!TsSkinProvider::Alive(MDISkinProvider))
        return;
    MDISkinProvider->SkinData()->BGChanged = true;
    MDISkinProvider->MenuChanged = true;
    MDISkinProvider->FLinesCount = -1;
}

void TsMDIForm::MenuRefreshed()
{
    UpdateSkinCaption(SkinProvider);
}
