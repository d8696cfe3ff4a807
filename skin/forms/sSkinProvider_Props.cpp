// A provider's published properties and their setters.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"

KV_BEGIN_PUBLISHED(TsSkinProvider, TComponent)
    B.Object(L"AddedTitle", &C::AddedTitle);
    B.Bool(L"AllowExtBorders", &C::AllowExtBorders, &C::SetAllowExtBorders, true);
    B.Enum(L"CaptionAlignment", &C::CaptionAlignment, &C::SetCaptionAlignment, taLeftJustify,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Bool(L"DrawNonClientArea", &C::DrawNonClientArea, &C::SetDrawNonClientArea, true);
    B.Object(L"SkinData", &C::SkinData);
    B.Enum(L"GripMode", &C::GripMode, &C::SetGripMode, gmNone, {L"gmNone", L"gmRightBottom"}, L"TsGripMode");
    B.Bool(L"MakeSkinMenu", &C::MakeSkinMenu, &C::SetMakeSkinMenu, false);
    B.Str(L"MenuLineSkin", &C::MenuLineSkin, &C::SetMenuLineSkin);
    B.Enum(L"ResizeMode", &C::ResizeMode, &C::SetResizeMode, rmStandard, {L"rmStandard", L"rmBorder"},
           L"TsResizeMode");
    B.Bool(L"ScreenSnap", &C::ScreenSnap, &C::SetScreenSnap, false);
    B.Int(L"SnapBuffer", &C::SnapBuffer, &C::SetSnapBuffer, 10);
    B.Bool(L"ShowAppIcon", &C::ShowAppIcon, &C::SetShowAppIcon, true);
    B.Object(L"TitleButtons", &C::TitleButtons, &C::SetTitleButtons);
    B.Object(L"TitleIcon", &C::TitleIcon);
    B.Str(L"TitleSkin", &C::TitleSkin, &C::SetTitleSkin);
    B.Bool(L"UseGlobalColor", &C::UseGlobalColor, &C::SetUseGlobalColor, true);
KV_END_PUBLISHED

namespace {

bool Loading(const TComponent* C)
{
    return C->ComponentState().Contains(csLoading);
}

bool VisibleForm(TForm* Form)
{
    return Form && Form->HandleAllocated() && Form->Visible();
}

} // namespace

void TsSkinProvider::SetAllowExtBorders(bool Value)
{
    if (FAllowExtBorders == Value)
        return;
    FAllowExtBorders = Value;
    if (Loading(this) || !Form || !Form->HandleAllocated())
        return;
    InitExBorders(true);
    BackgroundChanged();
    ::RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment Value)
{
    if (FCaptionAlignment == Value)
        return;
    FCaptionAlignment = Value;
    BackgroundChanged();
    if (VisibleForm(Form))
        UpdateSkinCaption(this);
}

void TsSkinProvider::SetShowAppIcon(bool Value)
{
    if (FShowAppIcon == Value)
        return;
    FShowAppIcon = Value;
    BackgroundChanged();
    if (VisibleForm(Form))
        ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetTitleSkin(const UnicodeString& Value)
{
    if (FTitleSkin == Value)
        return;
    FTitleSkin = Value;
    FTitleSkinIndex = -1;
    BackgroundChanged();
    if (!VisibleForm(Form))
        return;
    if (BorderForm)
        UpdateExBordersPos(true, 255);
    else
        ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetMenuLineSkin(const UnicodeString& Value)
{
    if (FMenuLineSkin == Value)
        return;
    FMenuLineSkin = Value;
    if (ComponentState().Contains(csDesigning))
        FCommonData->Invalidate();
}

void TsSkinProvider::SetUseGlobalColor(bool Value)
{
    if (FUseGlobalColor == Value)
        return;
    FUseGlobalColor = Value;
    if (!Form)
        return;
    TsSkinManager* sm = Manager();
    if (FCommonData->Skinned() && Value && !FCommonData->CustomColor() && sm)
        Form->SetColor(sm->GetGlobalColor());
    else
        Form->SetColor(clBtnFace);
}

void TsSkinProvider::SetTitleButtons(TsTitleButtons* Value)
{
    FTitleButtons->Assign(Value);
}

void TsSkinProvider::SetDrawNonClientArea(bool Value)
{
    if (FDrawNonClientArea == Value)
        return;
    FDrawNonClientArea = Value;
    if (ComponentState().Contains(csDesigning) || !Form)
        return;
    TsSkinManager* sm = Manager();
    auto* menus = sm ? dynamic_cast<TsSkinableMenus*>(sm->SkinableMenus()) : nullptr;
    if (Value) {
        CheckSysMenu(true);
        if (!Form->Showing() || !FCommonData->Skinned())
            return;
        BackgroundChanged();
        FreeAndNil(TitleBG);
        if (menus)
            menus->InitMenuLine(Form->Menu(), true);
        InitExBorders(sm->ExtendedBorders());
        ::RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
        UpdateScrollWrapper(this, ListSW);
        return;
    }
    InitExBorders(false);
    if (menus)
        menus->InitMenuLine(Form->Menu(), false);
    if (!Form->HandleAllocated())
        return;
    if (uxthemeLib && Kv_SetWindowTheme)
        Kv_SetWindowTheme(Form->Handle(), nullptr, nullptr);
    UpdateScrollWrapper(this, ListSW);
    if (HaveSysMenu)
        ::SetWindowLongW(Form->Handle(), GWL_STYLE, ::GetWindowLongW(Form->Handle(), GWL_STYLE) | WS_SYSMENU);
    if (Form->Showing())
        ::SetWindowRgn(Form->Handle(), nullptr, TRUE);
}
