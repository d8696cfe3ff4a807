// The rules of TsCommonData: default sections by class-of-control code,
// the cache rules, the active (hot or focused) state, the font section and
// the glow trigger.
#include "skin/core/sCommonData.h"

#include <algorithm>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"

namespace {

struct TCodeSection {
    int First, Last;
    const wchar_t* Section;
};

// Codes not listed take the owner's class name.
constexpr TCodeSection CodeSections[] = {
    {2, 8, s_Edit},           {10, 10, s_Edit},          {11, 18, s_ComboBox},     {19, 19, s_Bar},
    {20, 20, s_BarTitle},     {32, 32, s_CheckBox},      {33, 33, s_RadioButton},  {41, 41, s_Edit},
    {51, 51, s_Panel},        {52, 52, s_PanelLow},      {53, 54, s_ToolBar},      {56, 56, s_DragBar},
    {57, 57, s_TabSheet},     {58, 58, s_PanelLow},      {59, 59, s_Panel},        {60, 60, s_ToolBar},
    {68, 68, s_Panel},        {73, 73, s_Panel},         {74, 74, s_GroupBox},     {75, 75, s_Splitter},
    {76, 76, s_Edit},         {78, 78, s_Edit},          {81, 82, s_ComboBox},     {83, 84, s_Edit},
    {92, 92, s_SpeedButton},  {93, 94, s_Button},        {95, 95, s_SpeedButton},  {96, 97, s_Edit},
    {98, 98, s_ToolButton},   {131, 131, s_Edit},        {140, 140, s_Edit},       {141, 141, s_PageControl},
    {143, 143, s_PageControl}, {151, 151, s_StatusBar},  {152, 152, s_CheckBox},   {161, 161, s_Gauge},
    {165, 165, s_TrackBar},   {226, 226, s_GroupBox},    {227, 227, s_Edit},
};

const TsGeneralData* SectionOf(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    return m && m->IsValidSkinIndex(SkinData->SkinIndex) ? &m->gd[SkinData->SkinIndex] : nullptr;
}

const TsMaskData* BorderOf(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    return m && m->IsValidImgIndex(SkinData->BorderIndex) ? &m->ma[SkinData->BorderIndex] : nullptr;
}

// Plain containers may paint straight from their parent's cache.
bool MayGoWithoutCache(TControl* Control)
{
    // Frames are scrolling controls too.
    return dynamic_cast<TScrollingWinControl*>(Control) || dynamic_cast<TPanel*>(Control) ||
           dynamic_cast<TPageControl*>(Control);
}

} // namespace

UnicodeString ControlClassCode(int COC)
{
    for (const TCodeSection& c : CodeSections)
        if (COC >= c.First && COC <= c.Last)
            return c.Section;
    return UnicodeString();
}

void UpdateData(TsCommonData* SkinData)
{
    if (!SkinData->FSkinSection.empty()) {
        SkinData->UpdateIndexes();
        return;
    }
    UnicodeString section = ControlClassCode(SkinData->COC);
    if (section.empty() && SkinData->FOwnerObject)
        section = SkinData->FOwnerObject->ClassName();
    SkinData->SetSkinSection(section);
}

int SkinBorderMaxWidth(TsCommonData* SkinData)
{
    const TsMaskData* md = BorderOf(SkinData);
    if (!md || (md->DrawMode & 2))
        return 0;
    return std::max({md->WL, md->WT, md->WR, md->WB});
}

bool BgIsTransparent(TsCommonData* SkinData)
{
    const TsGeneralData* g = SectionOf(SkinData);
    return g && g->Transparency > 0;
}

bool ControlIsActive(TsCommonData* SkinData)
{
    TControl* c = SkinData->FOwnerControl;
    if (!c || !c->Enabled())
        return false;
    TComponentState s = c->ComponentState();
    if (s.Contains(csDestroying) || s.Contains(csDesigning))
        return false;
    if (SkinData->FFocused)
        return true;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleAllocated() && w->Focused())
        return true;
    return SkinData->FMouseAbove && !sForbidMouse.Contains(SkinData->COC);
}

bool IsCached(TsCommonData* SkinData)
{
    if (InAnimationProcess || kv_v5PaintMode)
        return true;
    return !(SkinData->CtrlSkinState & CSS_NOCACHE) || ControlIsActive(SkinData);
}

bool IsCacheRequired(TsCommonData* SkinData)
{
    if (kv_v5PaintMode) {
        if (!SkinData->FCacheBmp) {
            SkinData->FCacheBmp = new TBitmap();
            SkinData->FCacheBmp->SetPixelFormat(pf24bit);
        }
        return true;
    }
    const TsGeneralData* g = SectionOf(SkinData);
    if (!g)
        return false;
    if (const TsMaskData* md = BorderOf(SkinData); md && (md->WL + md->WR > 30 || md->WT + md->WB > 30))
        return true;
    if (g->Transparency == 100) {
        TControl* c = SkinData->FOwnerControl;
        if (!c || !c->Parent())
            return true;
        // Only a parent that keeps a cache of its own has one to read from.
        return (SendAMessage(c->Parent(), SMC_CTRL_STATE, 0) & CSS_NOCACHE) == 0;
    }
    if (g->Transparency > 0)
        return true;
    return g->ImagePercent != 0 || g->GradientPercent != 0;
}

void UpdateSkinState(TsCommonData* SkinData, bool UpdateChildren)
{
    SkinData->CtrlSkinState &= ~CSS_NOCACHE;
    if (TControl* c = SkinData->FOwnerControl) {
        if (MayGoWithoutCache(c) && !IsCacheRequired(SkinData))
            SkinData->CtrlSkinState |= CSS_NOCACHE;
        auto* w = dynamic_cast<TWinControl*>(c);
        if (UpdateChildren && w)
            for (int i = 0; i < w->ControlCount(); ++i)
                SendAMessage(w->Controls(i), SMC_CTRL_STATE, 1);
    } else if (TsProviderSeam* p = SkinData->OwnerProvider()) {
        auto* form = dynamic_cast<TForm*>(ProviderForm(p));
        bool mdiParent = form && form->FormStyle() == fsMDIForm;
        if (!IsCacheRequired(SkinData) && !mdiParent)
            SkinData->CtrlSkinState |= CSS_NOCACHE;
    }
}

int GetFontIndex(TControl* Control, int DefaultIndex, TsSkinManager* Manager)
{
    TWinControl* parent = Control ? Control->Parent() : nullptr;
    if (!parent)
        return DefaultIndex;
    LRESULT answer = SendAMessage(parent, SMC_GET_SKIN_INDEX, 0);
    TsSkinManager* m = Manager ? Manager : DefaultManager;
    int i = static_cast<int>(answer) - 1;
    if (answer == 0 || !m || !m->IsValidSkinIndex(i))
        return DefaultIndex;
    if (m->gd[i].Transparency > 50)
        return GetFontIndex(parent, DefaultIndex, Manager);
    return m->gd[i].GiveOwnFont ? i : DefaultIndex;
}

// ---------------------------------------------------------------------------
// Glow.

namespace {

void HideOwnGlow(TsCommonData* SkinData)
{
    if (SkinData->GlowID != -1)
        HideGlow(SkinData->GlowID);
    SkinData->GlowID = -1;
}

// The window a control's glow belongs to: the form's parent control, the
// MDI main form for an MDI child, else the form.
HWND GlowHost(TControl* Control)
{
    TCustomForm* form = GetParentForm(Control);
    if (!form)
        return nullptr;
    if (form->Parent())
        return form->Parent()->Handle();
    auto* f = dynamic_cast<TForm*>(form);
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (f && f->FormStyle() == fsMDIChild && main && main->HandleAllocated() && ProviderOf(main->Handle()))
        return main->Handle();
    return form->Handle();
}

TRect WindowClip(HWND Wnd)
{
    TRect r;
    HDC dc = GetWindowDC(Wnd);
    GetClipBox(dc, &r);
    ReleaseDC(Wnd, dc);
    return r;
}

// The visible part of a graphic control in its own coordinates, from the
// clip box of its parent's device context.
TRect GraphicRealRect(TControl* Control)
{
    TRect c;
    HWND parent = Control->Parent()->Handle();
    HDC dc = GetDC(parent);
    GetClipBox(dc, &c);
    ReleaseDC(parent, dc);
    int l = Control->Left(), t = Control->Top(), w = Control->Width(), h = Control->Height();
    return TRect(l < 0 ? -l : 0, t < 0 ? -t : 0, l + w > c.right ? c.right - l : w, t + h > c.bottom ? c.bottom - t : h);
}

} // namespace

void ShowGlowingIfNeeded(TsCommonData* SkinData, bool Clicked, HWND Handle)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    const TsGeneralData* g = SectionOf(SkinData);
    if (!m || !m->AllowGlowing() || !g || g->GlowCount < 1)
        return;
    TRect R, RealRect;
    HWND host = nullptr;
    if (TControl* c = SkinData->FOwnerControl) {
        if (!SkinData->FMouseAbove || c->ControlState().Contains(csLButtonDown) || (Clicked && SkinData->GlowID != -1)) {
            HideOwnGlow(SkinData);
            return;
        }
        host = GlowHost(c);
        if (!host)
            return;
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            GetWindowRect(w->Handle(), &R);
            RealRect = WindowClip(w->Handle());
        } else {
            if (!c->Parent())
                return;
            TPoint p = c->Parent()->ClientToScreen(TPoint(c->Left(), c->Top()));
            R = Bounds(p.x, p.y, c->Width(), c->Height());
            RealRect = GraphicRealRect(c);
        }
    } else if (Handle) {
        GetWindowRect(Handle, &R);
        RealRect = WindowClip(Handle);
        host = GetParentFormHandle(Handle);
    } else {
        return;
    }
    // A glow shown before would otherwise stay on the screen with no owner.
    HideOwnGlow(SkinData);
    SkinData->GlowID = ShowGlow(R, RealRect, SkinData->FSkinSection, s_Glow, g->GlowMargin, 255, host, m);
}

void AlignShadow(TsCommonData*) {}
