// TsLabelFX: a label whose text stands over a blurred shadow of itself;
// TsShadow and TsKind, its settings.
#include <algorithm>

#include "classlib/graphics/GdiHandles.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sLabel_Private.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

using namespace slabel_detail;

// ---------------------------------------------------------------------------
// TsShadow, TsKind

TsShadow::TsShadow(TComponent*, TControl* Control) : ParentControl(Control) {}

void TsShadow::Changed()
{
    if (ParentControl)
        ParentControl->Invalidate();
}

void TsShadow::SetMode(TsShadowMode Value)
{
    if (Value != FMode) {
        FMode = Value;
        Changed();
    }
}

void TsShadow::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    const TColor rgb = ColorToRGB(Value);
    sr = GetRValue(rgb);
    sg = GetGValue(rgb);
    sb = GetBValue(rgb);
    Changed();
}

void TsShadow::SetBlurCount(int Value)
{
    if (Value != FBlurCount) {
        FBlurCount = Value;
        Changed();
    }
}

void TsShadow::SetDistance(int Value)
{
    if (Value != FDistance) {
        FDistance = Value;
        Changed();
    }
}

void TsKind::SetKindType(TsKindType Value)
{
    if (Value != FKindType) {
        FKindType = Value;
        if (FOwner)
            FOwner->Invalidate();
    }
}

void TsKind::SetColor(TColor Value)
{
    if (Value != FColor) {
        FColor = Value;
        if (FOwner)
            FOwner->Invalidate();
    }
}

// ---------------------------------------------------------------------------
// TsLabelFX

TsLabelFX::TsLabelFX(TComponent* AOwner)
    : TsCustomLabel(AOwner), FMask(CreateBmp32(0, 0)), FShadow(new TsShadow(AOwner, this)), FKind(new TsKind(this))
{
}

TsLabelFX::~TsLabelFX()
{
    delete FShadow;
    delete FMask;
    delete FKind;
}

TsLabelFX::TShadowParams TsLabelFX::ShadowParams() const
{
    if (FShadow->Mode() == smSkin1)
        if (TsSkinManager* m = ActiveManager(); m && m->SkinData->Shadow1Blur != -1)
            return {m->SkinData->Shadow1Color, m->SkinData->Shadow1Blur, m->SkinData->Shadow1Offset};
    return {FShadow->Color(), FShadow->BlurCount(), FShadow->Distance()};
}

TColor TsLabelFX::TextColor() const
{
    switch (FKind->KindType()) {
    // The font's colour: the label's Color is its background, and text in
    // it would not be seen on an opaque label nor on the usual form.
    case ktStandard: return ColorToRGB(Font()->Color());
    case ktCustom: return FKind->Color();
    case ktSkin: break;
    }
    TsSkinManager* m = ActiveManager();
    if (m && m->IsValidSkinIndex(m->ConstData.IndexGLobalInfo)) {
        const TColor c = m->gd[size_t(m->ConstData.IndexGLobalInfo)].FontColor[2];
        if (c != TColor(-1))
            return c;
    }
    return FKind->Color();
}

void TsLabelFX::DoDrawText(TRect& Rect, UINT Flags)
{
    if (FShadow->Mode() == smNone) {
        TsCustomLabel::DoDrawText(Rect, Flags);
        return;
    }
    const TShadowParams shadow = ShadowParams();
    const UnicodeString text = PrepareDrawText(Flags);
    HDC dc = Canvas()->Handle();
    SelectedObject font(dc, Font()->Handle());
    BkModeScope mode(dc, TRANSPARENT);
    if (!Enabled()) {
        // The class library's disabled look: a highlight copy under the text.
        TextColorScope colour(dc, ColorToRGB(clBtnHighlight));
        OffsetRect(&Rect, 1, 1);
        ::DrawTextW(dc, text.c_str(), int(text.size()), &Rect, Flags);
        OffsetRect(&Rect, -1, -1);
        colour.Set(ColorToRGB(clBtnShadow));
        ::DrawTextW(dc, text.c_str(), int(text.size()), &Rect, Flags);
        return;
    }
    const TColor textColor = ColorToRGB(TextColor());
    const bool blurred = shadow.Color != clNone && shadow.Blur > 0;
    if ((Flags & DT_CALCRECT) || !blurred) {
        TextColorScope colour(dc, textColor);
        ::DrawTextW(dc, text.c_str(), int(text.size()), &Rect, Flags);
        if ((Flags & DT_CALCRECT) && blurred) {
            // Room for the blur on both sides and for the distance.
            OffsTopLeft = std::min(shadow.Distance - shadow.Blur, 0);
            OffsRightBottom = std::max(shadow.Distance + shadow.Blur, 0);
            Rect.right += OffsRightBottom - OffsTopLeft;
            Rect.bottom += OffsRightBottom - OffsTopLeft;
        }
        return;
    }
    DrawShadowed(text, Rect, Flags, shadow, textColor);
}

void TsLabelFX::DrawShadowed(const UnicodeString& Text, TRect& Rect, UINT Flags, const TShadowParams& Shadow,
                             TColor TextColor)
{
    const int w = std::max<int>(Rect.Width(), 0), h = std::max<int>(Rect.Height(), 0);
    // The text's place without the room kept for the shadow.
    const TRect textRect(Rect.left - OffsTopLeft, Rect.top - OffsTopLeft, Rect.right - OffsRightBottom,
                         Rect.bottom - OffsRightBottom);
    FMask->SetSize(w, h);
    HDC mask = FMask->Canvas()->Handle();
    {
        const TRect all(0, 0, w, h);
        ::FillRect(mask, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        SelectedObject font(mask, Font()->Handle());
        BkModeScope mode(mask, TRANSPARENT);
        TextColorScope colour(mask, RGB(255, 255, 255));
        TRect r = textRect;
        OffsetRect(&r, Shadow.Distance, Shadow.Distance);
        ::DrawTextW(mask, Text.c_str(), int(Text.size()), &r, Flags);
    }
    ::GdiFlush();
    BlurMask(w, h, Shadow.Blur);
    HDC dc = Canvas()->Handle();
    if (Transparent())
        ::BitBlt(mask, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    else
        FillDC(mask, TRect(0, 0, w, h), ColorToRGB(Color()));
    ::GdiFlush();
    BlendShadow(w, h, ColorToRGB(Shadow.Color));
    ::BitBlt(dc, 0, 0, w, h, mask, 0, 0, SRCCOPY);
    TextColorScope colour(dc, TextColor);
    TRect r = textRect;
    ::DrawTextW(dc, Text.c_str(), int(Text.size()), &r, Flags);
}

void TsLabelFX::BlurMask(int W, int H, int Passes)
{
    const int stride = W + 2;
    const size_t size = size_t(stride) * size_t(H + 2);
    if (FMaskBits.size() < size)
        FMaskBits.resize(size);
    std::fill_n(FMaskBits.begin(), size, uint8_t(0));
    // The text's pixels, found once: each pass stamps them in again.
    std::vector<size_t> text;
    const TBitmapRows rows = RowsOf(FMask);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (rows.Pixel(x, y)[0] != 0)
                text.push_back(size_t(y + 1) * size_t(stride) + size_t(x + 1));
    uint8_t* b = FMaskBits.data();
    for (int pass = 0; pass < Passes; ++pass) {
        for (size_t i : text)
            b[i] = 255;
        // In place, row by row: the left and upper neighbours already hold
        // this pass's values.  The border stays 0.
        for (int y = 1; y <= H; ++y) {
            uint8_t* row = b + size_t(y) * size_t(stride);
            for (int x = 1; x <= W; ++x)
                row[x] = uint8_t((row[x - stride] + row[x + stride] + row[x - 1] + row[x + 1]) >> 2);
        }
    }
}

void TsLabelFX::BlendShadow(int W, int H, TColor Shadow)
{
    const int stride = W + 2;
    const uint8_t s[3] = {GetBValue(Shadow), GetGValue(Shadow), GetRValue(Shadow)};
    const TBitmapRows rows = RowsOf(FMask);
    for (int y = 0; y < H; ++y) {
        const uint8_t* e = FMaskBits.data() + size_t(y + 1) * size_t(stride) + 1;
        for (int x = 0; x < W; ++x) {
            uint8_t* p = rows.Pixel(x, y);
            const int k = e[x];
            // Rounded by 255, not shifted by 8: where no shadow falls (k 0)
            // the background stays exactly as it was.
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t((p[c] * (255 - k) + s[c] * k + 127) / 255);
        }
    }
}

KV_BEGIN_PUBLISHED(TsShadow, TPersistent)
    B.Enum(L"Mode", &C::Mode, &C::SetMode, smSkin1, {L"smNone", L"smCustom", L"smSkin1"}, L"TsShadowMode");
    B.Int(L"Color", &C::Color, &C::SetColor, 0, L"TColor");
    B.Int(L"BlurCount", &C::BlurCount, &C::SetBlurCount, 4);
    B.Int(L"Distance", &C::Distance, &C::SetDistance, 1);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsKind, TPersistent)
    B.Enum(L"KindType", &C::KindType, &C::SetKindType, ktSkin, {L"ktStandard", L"ktCustom", L"ktSkin"}, L"TsKindType");
    B.Int(L"Color", &C::Color, &C::SetColor, 0xFFFFFF, L"TColor");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsLabelFX, TsCustomLabel)
    B.Object(L"Kind", &C::Kind);
    B.Object(L"Shadow", &C::Shadow);
KV_END_PUBLISHED
