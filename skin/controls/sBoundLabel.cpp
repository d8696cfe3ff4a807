#include "skin/controls/sBoundLabel.h"

#include <algorithm>
#include <utility>

#include "skin/controls/sLabel.h"
#include "skin/core/sCommonData.h"

TsBoundLabel::TsBoundLabel(TObject*, TsCommonData* CommonData) : FFont(new TFont), FCommonData(CommonData) {}

TsBoundLabel::~TsBoundLabel()
{
    delete FFont;
    if (TsEditLabel* l = std::exchange(FTheLabel, nullptr)) {
        l->BoundLabel = nullptr;
        FreeAndNil(l);
    }
}

TControl* TsBoundLabel::Edit() const
{
    return FCommonData ? FCommonData->FOwnerControl : nullptr;
}

void TsBoundLabel::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    if (Value) {
        FActive = true;
        if (!FTheLabel)
            CreateLabel();
        return;
    }
    if (TsEditLabel* l = std::exchange(FTheLabel, nullptr)) {
        l->BoundLabel = nullptr;
        FreeAndNil(l);
    }
    FActive = false;
}

void TsBoundLabel::CreateLabel()
{
    TControl* edit = Edit();
    if (!edit)
        return;
    FTheLabel = TsEditLabel::InternalCreate(edit, this);
    FTheLabel->SetVisible(false);
    FTheLabel->SetParent(edit->Parent());
    FTheLabel->SetFocusControl(dynamic_cast<TWinControl*>(edit));
    UpdateAlignment();
    // A name the edit's components already use stays with that component.
    const UnicodeString name = edit->Name() + L"Label";
    if (!edit->FindComponent(name))
        FTheLabel->SetName(name);
    if (FText.empty())
        FText = edit->Name();
    FTheLabel->SetCaption(FText);
    // A font set before the label existed is the label's.
    if (FFontSet)
        FTheLabel->Font()->Assign(FFont);
    FTheLabel->SetVisible(edit->Visible() || edit->ComponentState().Contains(csDesigning));
    FTheLabel->SetEnabled(edit->Enabled());
    AlignLabel();
}

void TsBoundLabel::LabelGone(TsEditLabel* Label)
{
    if (Label != FTheLabel)
        return;
    FTheLabel = nullptr;
    FActive = false;
}

void TsBoundLabel::SetText(const UnicodeString& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    if (FTheLabel) {
        FTheLabel->SetCaption(Value);
        AlignLabel();
    }
}

void TsBoundLabel::SetIndent(int Value)
{
    if (Value != FIndent) {
        FIndent = Value;
        AlignLabel();
    }
}

void TsBoundLabel::SetMaxWidth(int Value)
{
    if (Value != FMaxWidth) {
        FMaxWidth = Value;
        AlignLabel();
    }
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        UpdateAlignment();
        AlignLabel();
    }
}

TFont* TsBoundLabel::GetFont() const
{
    return FTheLabel ? FTheLabel->Font() : FFont;
}

void TsBoundLabel::SetFont(TFont* Value)
{
    if (!FTheLabel) {
        FFont->Assign(Value);
        FFontSet = true;
        return;
    }
    FTheLabel->Font()->Assign(Value);
    if (TControl* edit = Edit())
        FTheLabel->SetParent(edit->Parent());
    AlignLabel();
}

bool TsBoundLabel::GetUseSkin() const
{
    return FTheLabel ? FTheLabel->UseSkinColor() : true;
}

void TsBoundLabel::SetUseSkin(bool Value)
{
    if (FTheLabel)
        FTheLabel->SetUseSkinColor(Value);
}

void TsBoundLabel::UpdateAlignment()
{
    if (!FTheLabel)
        return;
    static const TAlignment alignments[] = {taRightJustify, taLeftJustify, taCenter, taRightJustify};
    FTheLabel->SetAlignment(alignments[FLayout]);
}

void TsBoundLabel::AlignLabel()
{
    if (!FTheLabel || !FTheLabel->Visible())
        return;
    TWinControl* e = FTheLabel->FocusControl();
    if (!e)
        return;
    TsEditLabel* l = FTheLabel;
    l->SetAutoSize(true);
    int left = e->Left(), top = e->Top() - l->Height() - FIndent;
    switch (FLayout) {
    case sclLeft:
        left = e->Left() - l->Width() - 4 - FIndent;
        top = e->Top() + (e->Height() - l->Height()) / 2 - 1;
        break;
    case sclTopLeft: break;
    case sclTopCenter: left = e->Left() + (e->Width() - l->Width()) / 2; break;
    case sclTopRight: left = e->Left() + e->Width() - l->Width(); break;
    }
    l->SetBounds(left, top, l->Width(), l->Height());
    l->SetParent(e->Parent());
    if (FMaxWidth != 0) {
        l->SetAutoSize(false);
        l->SetWidth(FMaxWidth);
        l->SetWordWrap(true);
        l->SetHeight(std::max(e->Height(), l->Height()));
    }
}

KV_BEGIN_PUBLISHED(TsBoundLabel, TPersistent)
    B.Bool(L"Active", &C::Active, &C::SetActive, false);
    B.Str(L"Caption", &C::Caption, &C::SetText);
    B.Int(L"Indent", &C::Indent, &C::SetIndent, TPropInfo::NoDefault);
    B.Object(L"Font", &C::GetFont, &C::SetFont);
    B.Enum(L"Layout", &C::Layout, &C::SetLayout, TPropInfo::NoDefault,
           {L"sclLeft", L"sclTopLeft", L"sclTopCenter", L"sclTopRight"}, L"TsCaptionLayout");
    B.Int(L"MaxWidth", &C::MaxWidth, &C::SetMaxWidth, TPropInfo::NoDefault);
    B.Bool(L"UseSkinColor", &C::GetUseSkin, &C::SetUseSkin, true);
KV_END_PUBLISHED

void BoundLabelFollows(TsBoundLabel* Bound, TControl* Edit, TsDisabledKind DisabledKind, const TMessage& Message)
{
    TsEditLabel* l = Bound ? Bound->TheLabel() : nullptr;
    if (!l || !Edit)
        return;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        break;
    case CM_VISIBLECHANGED:
        l->SetVisible(Edit->Visible());
        break;
    case CM_ENABLEDCHANGED:
        l->SetEnabled(Edit->Enabled() || !DisabledKind.Contains(dkBlended));
        break;
    case CM_BIDIMODECHANGED:
        l->SetBiDiMode(Edit->BiDiMode());
        break;
    default:
        return;
    }
    Bound->AlignLabel();
}
