#include "skin/core/sCommonData.h"

#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"

// RestrictDrawing is defined with the broadcast globals (sStyleSimply).

KV_BEGIN_PUBLISHED(TsCommonData, TPersistent)
    B.Bool(L"CustomColor", &C::CustomColor, &C::SetCustomColor, false);
    B.Bool(L"CustomFont", &C::CustomFont, &C::SetCustomFont, false);
    // Read through the field, so that a control using the default manager
    // stores no manager of its own.
    B.Ref(L"SkinManager", &C::FSkinManager, &C::SetSkinManager);
    B.Str(L"SkinSection", &C::SkinSection, &C::SetSkinSection);
KV_END_PUBLISHED

bool InheritsFromClass(TObject* Object, const wchar_t* ClassName)
{
    auto* p = dynamic_cast<TPersistent*>(Object);
    return p && p->ClassInfo() && p->ClassInfo()->InheritsFrom(ClassName);
}

TCustomForm* ProviderForm(TsProviderSeam* Provider)
{
    TComponent* c = Provider ? Provider->ProviderComponent() : nullptr;
    return c ? dynamic_cast<TCustomForm*>(c->Owner()) : nullptr;
}

TsCommonData* SkinDataOf(TObject* Control)
{
    return Control ? dynamic_cast<TsCommonData*>(kvntUtils::GetObjProp(Control, L"SkinData")) : nullptr;
}

// Hears the free notification of a control's own manager.
class TsManagerWatch : public TComponent {
public:
    explicit TsManagerWatch(TsCommonData* Data) : TComponent(nullptr), FData(Data) {}
    void Watch(TComponent* Manager)
    {
        if (FWatched)
            FWatched->RemoveFreeNotification(this);
        FWatched = Manager;
        if (FWatched)
            FWatched->FreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FWatched) {
            FWatched = nullptr;
            FData->ManagerFreed();
        }
    }

private:
    TsCommonData* FData;
    TComponent* FWatched = nullptr;
};

void TsCommonData::StoreManager(TsSkinManager* Value)
{
    FSkinManager = Value;
    if (!FManagerWatch && Value)
        FManagerWatch = std::make_unique<TsManagerWatch>(this);
    if (FManagerWatch)
        FManagerWatch->Watch(Value);
}

void TsCommonData::ManagerFreed()
{
    FSkinManager = nullptr;
    BorderIndex = SkinIndex = Texture = HotTexture = -1;
}

TsCommonData::TsCommonData(TObject* AOwner, bool CreateCacheBmp)
    : FOwnerControl(dynamic_cast<TControl*>(AOwner)), FOwnerObject(AOwner)
{
    if (CreateCacheBmp) {
        FCacheBmp = new TBitmap();
        FCacheBmp->SetPixelFormat(pf24bit);
    }
}

TsCommonData::~TsCommonData()
{
    SkinIndex = Texture = HotTexture = -1;
    FOwnerControl = nullptr;
    FOwnerObject = nullptr;
    StoreManager(nullptr);
    FreeAndNil(FCacheBmp);
    if (GlowID != -1) {
        HideGlow(GlowID);
        GlowID = -1;
    }
    if (FRegion) {
        DeleteObject(FRegion);
        FRegion = nullptr;
    }
}

TsProviderSeam* TsCommonData::OwnerProvider() const
{
    return FOwnerControl ? nullptr : dynamic_cast<TsProviderSeam*>(FOwnerObject);
}

bool TsCommonData::OwnerDestroying() const
{
    auto* c = dynamic_cast<TComponent*>(FOwnerObject);
    return c && c->ComponentState().Contains(csDestroying);
}

bool TsCommonData::OwnerLoading() const
{
    return FOwnerControl && FOwnerControl->ComponentState().Contains(csLoading);
}

TsSkinManager* TsCommonData::GetSkinManager() const
{
    return FSkinManager ? FSkinManager : DefaultManager;
}

bool TsCommonData::Skinned(bool CheckSkinActive) const
{
    TsSkinManager* m = GetSkinManager();
    if (!m || SkinIndex < 0 || OwnerDestroying() || m->ComponentState().Contains(csDestroying))
        return false;
    if (CheckSkinActive && !(m->SkinData && m->SkinData->Active))
        return false;
    return m->IsValidSkinIndex(SkinIndex);
}

// ---------------------------------------------------------------------------
// Indexes, section and manager.

// A component at design time that a frame (or the frame itself) owns.
static bool DesignedInFrame(TObject* Owner)
{
    auto* c = dynamic_cast<TComponent*>(Owner);
    if (!c || !c->ComponentState().Contains(csDesigning))
        return false;
    for (; c; c = c->Owner())
        if (InheritsFromClass(c, L"TCustomFrame"))
            return true;
    return false;
}

static WORD BackgroundKind(const TsGeneralData& g)
{
    WORD kind = 0;
    if (g.ImagePercent > 0)
        kind |= BGT_TEXTURE;
    if (g.GradientPercent > 0)
        kind |= BGT_GRADIENT;
    return kind;
}

void TsCommonData::UpdateIndexes()
{
    if (DesignedInFrame(FOwnerObject)) {
        SkinIndex = -1;
        return;
    }
    BGChanged = true;
    TsSkinManager* m = GetSkinManager();
    SkinIndex = m ? m->GetSkinIndex(FSkinSection) : -1;
    BGType = SkinIndex >= 0 ? BackgroundKind(m->gd[SkinIndex]) : 0;
    CtrlSkinState = 0;
    if (SkinIndex >= 0) {
        BorderIndex = m->gd[SkinIndex].BorderIndex;
        Texture = m->GetTextureIndex(SkinIndex, FSkinSection, s_Pattern);
        HotTexture = m->GetTextureIndex(SkinIndex, FSkinSection, s_HotPattern);
        UpdateSkinState(this, false);
    } else {
        // A skin without the section must not leave the old skin's border behind.
        BorderIndex = Texture = HotTexture = -1;
    }
}

WPARAM TsCommonData::RefreshOrRemove(TsSkinManager* Manager) const
{
    bool has = Manager && !Manager->gd.empty() && Manager->IsValidSkinIndex(SkinIndex);
    return MakeKorvexWParam(has ? SMC_SKIN_REFRESH : SMC_SKIN_REMOVE);
}

void TsCommonData::SetSkinSection(const UnicodeString& Value)
{
    if (Value == FSkinSection)
        return;
    FSkinSection = Value.empty() ? UnicodeString(s_Unknown) : AnsiUpperCase(Value);
    TsSkinManager* m = GetSkinManager();
    if (!m || m->gd.empty())
        SkinIndex = -1;
    else
        UpdateIndexes();
    if (FOwnerControl) {
        TComponentState s = FOwnerControl->ComponentState();
        if (!s.Contains(csLoading) && !s.Contains(csReading) && !s.Contains(csDestroying) && FOwnerControl->Parent())
            FOwnerControl->Perform(SM_KORVEXCMD, RefreshOrRemove(m), reinterpret_cast<LPARAM>(m));
    } else if (TsProviderSeam* p = OwnerProvider()) {
        BGChanged = true;
        p->FreeTitleBG();
    }
}

void TsCommonData::SetSkinManager(TsSkinManager* Value)
{
    if (FSkinManager == Value)
        return;
    StoreManager(Value == DefaultManager ? nullptr : Value);
    if (OwnerLoading())
        return;
    if (Value && !Value->gd.empty())
        UpdateIndexes();
    else
        SkinIndex = -1;
    TMessage msg = MakeMessage(SM_KORVEXCMD, RefreshOrRemove(Value), reinterpret_cast<LPARAM>(Value), 0);
    if (TsProviderSeam* p = OwnerProvider()) {
        p->DsgnWndProc(msg);
    } else if (FOwnerControl && FOwnerControl->Parent() && !OwnerDestroying()) {
        FOwnerControl->Perform(msg.Msg, msg.WParam, msg.LParam);
    }
}

void TsCommonData::ApplySectionColors()
{
    if (!FOwnerControl || !Skinned())
        return;
    const TsGeneralData& g = GetSkinManager()->gd[SkinIndex];
    if (!FCustomColor && FOwnerControl->Color() != g.Color)
        FOwnerControl->SetColor(g.Color);
    if (!FCustomFont && FOwnerControl->Font()->Color() != g.FontColor[1])
        FOwnerControl->Font()->SetColor(g.FontColor[1]);
}

void TsCommonData::SetCustomColor(bool Value)
{
    if (FCustomColor == Value)
        return;
    FCustomColor = Value;
    if (Skinned() && dynamic_cast<TCustomEdit*>(FOwnerControl) && !OwnerLoading())
        ApplySectionColors();
    Invalidate();
}

void TsCommonData::SetCustomFont(bool Value)
{
    if (FCustomFont == Value)
        return;
    FCustomFont = Value;
    Invalidate();
}

void TsCommonData::Loaded()
{
    UpdateData(this);
    if (!Skinned() || !FOwnerControl || !FOwnerControl->Parent() || OwnerLoading())
        return;
    if (auto* w = dynamic_cast<TWinControl*>(FOwnerControl))
        AddToAdapter(w);
    if (dynamic_cast<TCustomEdit*>(FOwnerControl) || COC == 97)
        ApplySectionColors();
}

// ---------------------------------------------------------------------------
// Updating and repainting.

bool TsCommonData::GetUpdating()
{
    TsSkinManager* m = GetSkinManager();
    if (!m || m->ComponentState().Contains(csDesigning))
        return false;
    if (!IsCached(this))
        return FUpdating;
    if (!FOwnerControl || OwnerDestroying())
        return FUpdating;
    if (FUpdating)
        return true;
    TWinControl* parent = FOwnerControl->Parent();
    return !parent || GetBoolMsg(parent, SMC_GET_UPDATING);
}

// The provider's form window, made when needed.
static HWND ProviderFormHandle(TsProviderSeam* Provider)
{
    TCustomForm* f = ProviderForm(Provider);
    return f ? f->Handle() : nullptr;
}

void TsCommonData::BeginUpdate()
{
    FUpdating = true;
    CtrlSkinState |= CSS_INUPDATE;
    if (FOwnerControl)
        FOwnerControl->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_BEGIN_UPDATE), 0);
    else if (HWND h = ProviderFormHandle(OwnerProvider()))
        SendMessageW(h, SM_KORVEXCMD, MakeKorvexWParam(SMC_BEGIN_UPDATE), 0);
}

void TsCommonData::EndUpdate(bool Repaint)
{
    FUpdating = false;
    CtrlSkinState &= ~CSS_INUPDATE;
    if (FOwnerControl)
        FOwnerControl->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_END_UPDATE), 0);
    else if (HWND h = ProviderFormHandle(OwnerProvider()))
        SendMessageW(h, SM_KORVEXCMD, MakeKorvexWParam(SMC_END_UPDATE), 0);
    if (Repaint)
        Invalidate();
}

void TsCommonData::Invalidate()
{
    if (FOwnerControl) {
        TComponentState s = FOwnerControl->ComponentState();
        if (s.Contains(csDestroying) || s.Contains(csLoading))
            return;
        BGChanged = true;
        if (ControlIsReady(FOwnerControl))
            FOwnerControl->Invalidate();
    } else if (TsProviderSeam* p = OwnerProvider()) {
        BGChanged = true;
        TCustomForm* f = ProviderForm(p);
        if (f && f->HandleAllocated())
            RedrawWindow(f->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void TsCommonData::InitCacheBmp()
{
    if (!FCacheBmp)
        FCacheBmp = new TBitmap();
    FCacheBmp->SetPixelFormat(pf24bit);
    FCacheBmp->SetHandleType(bmDIB);
    if (FOwnerControl)
        FCacheBmp->SetSize(FOwnerControl->Width(), FOwnerControl->Height());
}

void InitCacheBmp(TsCommonData* SkinData)
{
    if (!SkinData->FCacheBmp) {
        SkinData->FCacheBmp = new TBitmap();
        SkinData->FCacheBmp->SetPixelFormat(pf24bit);
    }
    SkinData->FCacheBmp->SetHandleType(bmDIB);
    if (SkinData->FOwnerControl)
        SkinData->FCacheBmp->SetSize(SkinData->FOwnerControl->Width(), SkinData->FOwnerControl->Height());
}

bool TsCommonData::ParentTextured()
{
    TWinControl* parent = FOwnerControl ? FOwnerControl->Parent() : nullptr;
    return parent && parent->HandleAllocated() && GetBoolMsg(parent, SMC_GET_TEXTURED);
}

bool TsCommonData::RepaintIfMoved()
{
    if (UrgentPainting || !Skinned() || InheritsFromClass(FOwnerObject, L"TsTabSheet") || !FOwnerControl ||
        FOwnerControl->ControlState().Contains(csCreating) || !FOwnerControl->Visible())
        return true;
    TsSkinManager* m = GetSkinManager();
    if (SkinIndex < 0 || SkinIndex >= static_cast<int>(m->gd.size()))
        return false;
    bool dependsOnBackground = !FOwnerControl->Enabled() || m->gd[SkinIndex].Transparency > 0;
    if (!dependsOnBackground)
        return false;
    TWinControl* parent = FOwnerControl->Parent();
    return parent && parent->HandleAllocated() ? GetBoolMsg(parent, SMC_GET_TEXTURED) : true;
}
