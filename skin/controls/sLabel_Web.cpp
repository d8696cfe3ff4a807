// TsWebLabel: a label that opens its URL with a click and shows its hover
// font while the mouse is over it.
#include <windows.h>

#include <shellapi.h>

#include "classlib/controls/Forms.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sLabel_Private.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"

using namespace slabel_detail;

TsShellExecuteW sShellExecuteW = ::ShellExecuteW;

TsWebLabel::TsWebLabel(TComponent* AOwner) : TsLabel(AOwner), FNormalFont(new TFont), FHoverFont(new TFont)
{
    FNormalFont->Assign(Font());
    FHoverFont->Assign(Font());
    SetCursor(crHandPoint);
    SetControlStyle(ControlStyle() + csOpaque);
    SetTransparent(true);
}

TsWebLabel::~TsWebLabel()
{
    delete FHoverFont;
    delete FNormalFont;
}

void TsWebLabel::Loaded()
{
    TsLabel::Loaded();
    Font()->Assign(FNormalFont);
}

void TsWebLabel::SetFont(TFont* Value)
{
    Font()->Assign(Value);
    FNormalFont->Assign(Value);
    Invalidate();
}

TFont* TsWebLabel::GetCurrentFont()
{
    const bool hover = MouseAbove && !ComponentState().Contains(csDesigning);
    TFont* font = hover ? FHoverFont : FNormalFont;
    TColor colour = font->Color();
    TsSkinManager* m = ActiveManager();
    if (FUseSkinColor && m && m->IsValidSkinIndex(m->ConstData.IndexGLobalInfo))
        colour = m->gd[size_t(m->ConstData.IndexGLobalInfo)].FontColor[hover ? 3 : 5];
    // A link without a colour of its own: red under the mouse, else blue.
    if (colour == TColor(-1))
        colour = hover ? TColor(0x0000FF) : TColor(0xFF0000);
    font->SetColor(colour);
    return font;
}

void TsWebLabel::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
    case WM_ERASEBKGND: break;
    case CM_MOUSEENTER: MouseChanged(Message, true); break;
    case CM_MOUSELEAVE: MouseChanged(Message, false); break;
    default: TsLabel::WndProc(Message); break;
    }
}

void TsWebLabel::WMLButtonDown(TMessage& Message)
{
    TsLabel::WndProc(Message);
    if (!FURL.empty())
        sShellExecuteW(Application ? Application->Handle() : nullptr, L"open", FURL.c_str(), nullptr, nullptr,
                       static_cast<INT>(FShowMode));
}

void TsWebLabel::MouseChanged(TMessage& Message, bool Above)
{
    TsLabel::WndProc(Message);
    MouseAbove = Above;
    if (AutoSize()) {
        // Sized in the font the label shows now.
        {
            TFlagScope guard(PaintGuard, true);
            Font()->Assign(GetCurrentFont());
        }
        Invalidate();
        AdjustBounds();
    }
    if (Parent() && Parent()->HandleAllocated()) {
        const TRect r = BoundsRect();
        ::InvalidateRect(Parent()->Handle(), &r, TRUE);
    }
}

KV_BEGIN_PUBLISHED(TsWebLabel, TsLabel)
    B.Object(L"Font", &C::NormalFont, &C::SetFont);
    B.Int(L"Cursor", &C::Cursor, &C::SetCursor, crHandPoint, L"TCursor");
    B.Object(L"HoverFont", &C::HoverFont, &C::SetHoverFont);
    B.Enum(L"ShowMode", &C::ShowMode, &C::SetShowMode, soDefault,
           {L"soHide", L"soNormal", L"soShowMinimized", L"soMaximize", L"soShowNoActivate", L"soShow",
            L"soMinimize", L"soShowMinNoActive", L"soShowNA", L"soRestore", L"soDefault"},
           L"TsWindowShowMode");
    B.Str(L"URL", &C::URL, &C::SetURL);
KV_END_PUBLISHED
