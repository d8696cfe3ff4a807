#include "skin/controls/sLabel.h"

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLabel_Private.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Colors.h"
#include "skin/paint/sGraphUtils_Sections.h"

namespace slabel_detail {

bool PaintGuard = false;

TsSkinManager* ActiveManager()
{
    TsSkinManager* m = DefaultManager;
    if (!m || !m->SkinData || !m->SkinData->Active || m->ComponentState().Contains(csDestroying))
        return nullptr;
    return m;
}

int KorvexCommand(const TMessage& Message)
{
    return Message.Msg == SM_KORVEXCMD ? HIWORD(Message.WParam) : 0;
}

} // namespace slabel_detail

using namespace slabel_detail;

TCacheInfo GetParentCache(TControl* Control)
{
    TkvBGInfo info{};
    info.BgType = btUnknown;
    info.PleaseDraw = false;
    if (Control && Control->Parent())
        GetBGInfo(&info, Control->Parent(), false);
    return BGInfoToCI(&info);
}

// ---------------------------------------------------------------------------
// TsCustomLabel

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner)
{
    SetTransparent(true);
}

void TsCustomLabel::SetSkinSection(const UnicodeString& Value)
{
    if (FSkinSection != Value) {
        FSkinSection = Value;
        Repaint();
    }
}

bool TsCustomLabel::DesignedInFrame() const
{
    if (!ComponentState().Contains(csDesigning))
        return false;
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (dynamic_cast<TCustomFrame*>(o))
            return true;
    return false;
}

TFont* TsCustomLabel::GetCurrentFont()
{
    TFont* font = Font();
    if (TsSkinManager* m = ActiveManager()) {
        const int i = GetFontIndex(this, -1, m);
        const TColor c = i >= 0 ? m->gd[size_t(i)].FontColor[1] : m->GetGlobalFontColor();
        if (c != TColor(kvKeyColor) && c != font->Color())
            font->SetColor(c);
    }
    return font;
}

void TsCustomLabel::Paint()
{
    if (!Destroying()) {
        if (!PaintGuard) {
            // The font changes made here are the skin's, not the
            // application's: the label neither resizes nor repaints for them.
            TFlagScope guard(PaintGuard, true);
            TFont* f = GetCurrentFont();
            if (f != Font())
                Font()->Assign(f);
            TsSkinManager* m = ActiveManager();
            const int i = m && !FSkinSection.empty() ? m->GetSkinIndex(FSkinSection) : -1;
            if (i >= 0 && m->gd[size_t(i)].FontColor[1] != Font()->Color())
                Font()->SetColor(m->gd[size_t(i)].FontColor[1]);
        }
        PaintSection();
    }
    TCustomLabel::Paint();
}

void TsCustomLabel::PaintSection()
{
    TsSkinManager* m = ActiveManager();
    if (!m || FSkinSection.empty())
        return;
    const int i = m->GetSkinIndex(FSkinSection);
    if (i < 0)
        return;
    PaintItem(i, FSkinSection, GetParentCache(this), true, 0, TRect(0, 0, Width(), Height()), TPoint(Left(), Top()),
              Canvas()->Handle(), m);
}

void TsCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    if (Enabled() || !ActiveManager()) {
        TCustomLabel::DoDrawText(Rect, Flags);
        return;
    }
    // Disabled under a skin: one draw in 40 % font colour and 60 % what
    // the parent shows.
    const UnicodeString text = PrepareDrawText(Flags);
    const TColor back = Parent() ? GetControlColor(Parent()) : ColorToRGB(Color());
    HDC dc = Canvas()->Handle();
    SelectedObject font(dc, Font()->Handle());
    BkModeScope mode(dc, TRANSPARENT);
    TextColorScope colour(dc, ColorToRGB(MixColors(ColorToRGB(Font()->Color()), back, 0.4)));
    ::DrawTextW(dc, text.c_str(), int(text.size()), &Rect, Flags);
}

void TsCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_FONTCHANGED && !Destroying()) {
        // The skin's own colour changes during a paint go no further.
        if (!PaintGuard) {
            if (AutoSize())
                AdjustBounds();
            Invalidate();
        }
        return;
    }
    TCustomLabel::WndProc(Message);
    switch (KorvexCommand(Message)) {
    case SMC_SKIN_REMOVE:
        if (!Destroying() && Message.LParam == reinterpret_cast<LPARAM>(DefaultManager))
            Font()->SetColor(clWindowText);
        break;
    case SMC_SKIN_REFRESH:
        if (ComponentState().Contains(csDesigning))
            Invalidate();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// TsLabel

TFont* TsLabel::GetCurrentFont()
{
    if (Destroying() || !ActiveManager() || !FUseSkinColor || DesignedInFrame())
        return Font();
    return TsCustomLabel::GetCurrentFont();
}

void TsLabel::WndProc(TMessage& Message)
{
    if (KorvexCommand(Message) == SMC_SKIN_REMOVE) {
        if (!Destroying() && Message.LParam == reinterpret_cast<LPARAM>(DefaultManager) && FUseSkinColor &&
            !DesignedInFrame())
            Font()->SetColor(clWindowText);
        return;
    }
    TsCustomLabel::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TsEditLabel

TsEditLabel::TsEditLabel(TComponent* AOwner, TsBoundLabel* BoundStruct) : TsLabel(AOwner), BoundLabel(BoundStruct) {}

TsEditLabel* TsEditLabel::InternalCreate(TComponent* AOwner, TsBoundLabel* BoundStruct)
{
    return New<TsEditLabel>(AOwner, BoundStruct);
}

TsEditLabel::~TsEditLabel()
{
    if (TsBoundLabel* b = std::exchange(BoundLabel, nullptr))
        b->LabelGone(this);
}

void TsEditLabel::BeforeDestruction()
{
    if (TsBoundLabel* b = std::exchange(BoundLabel, nullptr))
        b->LabelGone(this);
    TsLabel::BeforeDestruction();
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TsCustomLabel, TCustomLabel)
    B.Bool(L"Transparent", &C::Transparent, &C::SetTransparent, true);
    B.Str(L"SkinSection", &C::SkinSection, &C::SetSkinSection);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsLabel, TsCustomLabel)
    B.Bool(L"UseSkinColor", &C::UseSkinColor, &C::SetUseSkinColor, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsEditLabel, TsLabel)
KV_END_PUBLISHED

void RegisterLabelClasses()
{
    RegisterClasses<TsLabel, TsWebLabel, TsStickyLabel, TsLabelFX>();
}

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterLabelClasses(), true);
} // namespace
