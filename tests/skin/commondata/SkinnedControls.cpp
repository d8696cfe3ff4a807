#include "SkinnedControls.h"

#include "skin/core/sMessages.h"

#define KV_TEST_PUBLISH(Class, Base)                       \
    KV_BEGIN_PUBLISHED(Class, Base)                        \
        B.Object(L"SkinData", &C::SkinData);               \
    KV_END_PUBLISHED

KV_TEST_PUBLISH(TTestPanel, TPanel)
KV_TEST_PUBLISH(TTestControl, TCustomControl)
KV_TEST_PUBLISH(TTestGraphic, TGraphicControl)
KV_TEST_PUBLISH(TTestEdit, TEdit)

TSkinnedPart::TSkinnedPart(TControl* Owner, int COC)
{
    SkinData = new TsCommonData(Owner, true);
    SkinData->COC = COC;
}

TSkinnedPart::~TSkinnedPart()
{
    FreeAndNil(SkinData);
}

bool TSkinnedPart::Handle(TControl* Self, TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD) {
        int cmd = HIWORD(Message.WParam);
        Commands.push_back(cmd);
        if (cmd == SMC_PARENT_UPDATED) {
            if (!SkinData->GetUpdating())
                Self->Repaint();
            return true;
        }
    }
    return CommonWndProc(Message, SkinData);
}

void TSkinnedPart::Paint()
{
    if (SkinData->GetUpdating()) {
        ++Skipped;
        return;
    }
    ++Paints;
    SkinData->BGChanged = false;
}

TTestSkin::TTestSkin()
{
    Manager = New<TsSkinManager>(nullptr);
}

TTestSkin::~TTestSkin()
{
    FreeAndNil(Manager);
}

int TTestSkin::AddSection(const TSection& S)
{
    TsGeneralData g;
    g.ClassName = S.Name;
    g.Transparency = g.HotTransparency = S.Transparency;
    g.Color = g.HotColor = S.Color;
    g.GradientPercent = g.HotGradientPercent = S.GradientPercent;
    g.ImagePercent = g.HotImagePercent = S.ImagePercent;
    g.GiveOwnFont = S.GiveOwnFont;
    g.FontColor[1] = g.HotFontColor[1] = S.FontColor;
    Manager->gd.push_back(g);
    return static_cast<int>(Manager->gd.size()) - 1;
}

int TTestSkin::AddBorder(const wchar_t* Section, int WL, int WT, int WR, int WB)
{
    TsMaskData md;
    md.ClassName = Section;
    md.PropertyName = L"BORDERSMASK";
    md.ImgType = itisaBorder;
    md.ImageCount = 3;
    md.R = TRect(0, 0, 3 * (WL + WR + 2), WT + WB + 2);
    md.WL = static_cast<int16_t>(WL);
    md.WT = static_cast<int16_t>(WT);
    md.WR = static_cast<int16_t>(WR);
    md.WB = static_cast<int16_t>(WB);
    Manager->ma.push_back(md);
    int index = static_cast<int>(Manager->ma.size()) - 1;
    int s = Manager->GetSkinIndex(Section);
    if (s >= 0)
        Manager->gd[s].BorderIndex = index;
    return index;
}

int TTestSkin::AddTexture(const wchar_t* Section, const wchar_t* Name)
{
    TsMaskData md;
    md.ClassName = Section;
    md.PropertyName = Name;
    md.ImgType = itisaTexture;
    md.R = TRect(0, 0, 8, 8);
    Manager->ma.push_back(md);
    return static_cast<int>(Manager->ma.size()) - 1;
}

void TTestSkin::Clear()
{
    Manager->gd.clear();
    Manager->ma.clear();
}

LRESULT Command(TControl* Control, int Cmd, int Arg, LPARAM LParam)
{
    return Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(Cmd, Arg), LParam);
}
