// The command message (SM_KORVEXCMD) as every skinned control answers it
// for its skin data: skin changes from above, state questions from itself
// and its children.
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"

namespace {

bool FromOwnManager(TsCommonData* SkinData, const TMessage& Message)
{
    return reinterpret_cast<TsSkinManager*>(Message.LParam) == SkinData->GetSkinManager();
}

void RedrawEdit(TControl* Edit)
{
    auto* w = dynamic_cast<TWinControl*>(Edit);
    if (w && w->HandleAllocated())
        RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void OnSkinSet(TsCommonData* SkinData, const TMessage& Message)
{
    if (!FromOwnManager(SkinData, Message))
        return;
    SkinData->UpdateIndexes();
    UpdateSkinState(SkinData, false);
    RestrictDrawing = false;
}

// The owner gets its standard colours back.
void RestoreStandardColors(TsCommonData* SkinData)
{
    TControl* c = SkinData->FOwnerControl;
    if (dynamic_cast<TCustomEdit*>(c)) {
        if (!SkinData->FCustomColor)
            c->SetColor(clWindow);
        if (!SkinData->FCustomFont)
            c->Font()->SetColor(clWindowText);
        RedrawEdit(c);
    } else if (auto* w = dynamic_cast<TWinControl*>(c)) {
        for (int i = 0; i < w->ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(w->Controls(i)))
                label->Font()->SetColor(clWindowText);
    }
}

void OnSkinRemove(TsCommonData* SkinData, const TMessage& Message)
{
    if (!FromOwnManager(SkinData, Message))
        return;
    TsSkinManager* m = SkinData->GetSkinManager();
    if (m && m->ComponentState().Contains(csDestroying))
        SkinData->StoreManager(nullptr);
    SkinData->BorderIndex = SkinData->SkinIndex = SkinData->Texture = SkinData->HotTexture = -1;
    SkinData->FUpdating = true;
    if (SkinData->FCacheBmp)
        SkinData->FCacheBmp->SetSize(0, 0);
    RestoreStandardColors(SkinData);
}

void OnSkinRefresh(TsCommonData* SkinData, const TMessage& Message)
{
    if (!FromOwnManager(SkinData, Message))
        return;
    SkinData->BGChanged = true;
    SkinData->FUpdating = false;
    TControl* c = SkinData->FOwnerControl;
    if (dynamic_cast<TCustomEdit*>(c) && SkinData->Skinned()) {
        SkinData->ApplySectionColors();
        RedrawEdit(c);
    }
    UpdateSkinState(SkinData, false);
}

void OnSectionUpdate(TsCommonData* SkinData)
{
    if (AnsiUpperCase(SkinData->FSkinSection) != GlobalSectionName)
        return;
    RestrictDrawing = false;
    SkinData->Invalidate();
}

// 1 when what a child sees here depends on where it stands, else 0; -1
// when the control is not skinned (no answer).
int Textured(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSkinIndex(SkinData->SkinIndex))
        return -1;
    const TsGeneralData& g = m->gd[SkinData->SkinIndex];
    TControl* c = SkinData->FOwnerControl;
    if (g.Transparency == 100 && c && c->Parent())
        return SkinData->ParentTextured();
    if (g.GradientPercent + g.ImagePercent > 0)
        return 1;
    return SkinData->RepaintIfMoved();
}

void OnRepaintIfMoved(TsCommonData* SkinData, int Arg)
{
    bool b = SkinData->RepaintIfMoved();
    SkinData->BGChanged = SkinData->BGChanged || b;
    auto* w = dynamic_cast<TWinControl*>(SkinData->FOwnerControl);
    if (!w)
        return;
    if (Arg == 1 && w->HandleAllocated())
        RedrawWindow(w->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE | RDW_NOINTERNALPAINT);
    if (!b)
        return;
    for (int i = 0; i < w->ControlCount(); ++i) {
        TControl* child = w->Controls(i);
        if (!child->ComponentState().Contains(csDestroying))
            SendAMessage(child, SMC_REPAINT_IF_MOVED, 0);
    }
}

// The answer and "handled".
bool Answer(TMessage& Message, LRESULT Value)
{
    Message.Result = Value;
    return true;
}

} // namespace

bool CommonMessage(TMessage& Message, TsCommonData* SkinData)
{
    if (!SkinData || Message.Msg != SM_KORVEXCMD)
        return false;
    int arg = LOWORD(Message.WParam);
    switch (HIWORD(Message.WParam)) {
    case SMC_SKIN_SET:
        OnSkinSet(SkinData, Message);
        return false;
    case SMC_SKIN_REMOVE:
        OnSkinRemove(SkinData, Message);
        return false;
    case SMC_SKIN_REFRESH:
        OnSkinRefresh(SkinData, Message);
        return false;
    case SMC_IS_SKINNED:
        return Answer(Message, 1);
    case SMC_SET_UPDATING:
        SkinData->FUpdating = arg == 1;
        return false;
    case SMC_SET_URGENT:
        SkinData->UrgentPainting = arg == 1;
        return false;
    case SMC_GET_UPDATING:
        return Answer(Message, SkinData->BGChanged || SkinData->FUpdating);
    case SMC_GET_HALFVISIBLE:
        return Answer(Message, SkinData->HalfVisible);
    case SMC_BG_MAY_CHANGE:
        if (arg == 1 && BgIsTransparent(SkinData))
            SkinData->BGChanged = true;
        return false;
    case SMC_SECTION_UPDATE:
        OnSectionUpdate(SkinData);
        return false;
    case SMC_BG_CHANGED:
        SkinData->BGChanged = true;
        return false;
    case SMC_GET_TEXTURED: {
        int t = Textured(SkinData);
        if (t < 0)
            return false;
        Message.LParam = t;
        return Answer(Message, t);
    }
    case SMC_REPAINT_IF_MOVED:
        OnRepaintIfMoved(SkinData, arg);
        return false;
    case SMC_GET_BG_COLOR:
        // The same colour GetBGColor gives the control's children.
        if (!SkinData->FOwnerControl)
            return false;
        return Answer(Message, ColorToRGB(GetBGColor(SkinData, 0)));
    case SMC_SET_HALFVISIBLE:
        SkinData->HalfVisible = true;
        return false;
    case SMC_GET_SKIN_INDEX:
        return Answer(Message, SkinData->SkinIndex + 1);
    case SMC_GET_BG_INFO:
        if (Message.LParam)
            InitBGInfo(SkinData, reinterpret_cast<PkvBGInfo>(Message.LParam), 0);
        return false;
    case SMC_CTRL_STATE:
        if (Message.LParam == 1)
            UpdateSkinState(SkinData, true);
        else
            Message.Result = SkinData->CtrlSkinState;
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return false;
    default:
        return false;
    }
}
