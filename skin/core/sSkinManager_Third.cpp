#include "skin/core/sSkinManager_Third.h"

#include "classlib/rtl/Lists.h"

KV_BEGIN_PUBLISHED(ThirdPartyList, TPersistent)
    B.Str(L"ThirdEdits", &C::Get<tpEdit>, &C::Set<tpEdit>);
    B.Str(L"ThirdButtons", &C::Get<tpButton>, &C::Set<tpButton>);
    B.Str(L"ThirdBitBtns", &C::Get<tpBitBtn>, &C::Set<tpBitBtn>);
    B.Str(L"ThirdCheckBoxes", &C::Get<tpCheckBox>, &C::Set<tpCheckBox>);
    B.Str(L"ThirdGroupBoxes", &C::Get<tpGroupBox>, &C::Set<tpGroupBox>);
    B.Str(L"ThirdListViews", &C::Get<tpListView>, &C::Set<tpListView>);
    B.Str(L"ThirdPanels", &C::Get<tpPanel>, &C::Set<tpPanel>);
    B.Str(L"ThirdGrids", &C::Get<tpGrid>, &C::Set<tpGrid>);
    B.Str(L"ThirdTreeViews", &C::Get<tpTreeView>, &C::Set<tpTreeView>);
    B.Str(L"ThirdComboBoxes", &C::Get<tpComboBox>, &C::Set<tpComboBox>);
    B.Str(L"ThirdWWEdits", &C::Get<tpwwEdit>, &C::Set<tpwwEdit>);
    B.Str(L"ThirdVirtualTrees", &C::Get<tpVirtualTree>, &C::Set<tpVirtualTree>);
    B.Str(L"ThirdGridEh", &C::Get<tpGridEh>, &C::Set<tpGridEh>);
    B.Str(L"ThirdPageControl", &C::Get<tpPageControl>, &C::Set<tpPageControl>);
    B.Str(L"ThirdTabControl", &C::Get<tpTabControl>, &C::Set<tpTabControl>);
    B.Str(L"ThirdToolBar", &C::Get<tpToolBar>, &C::Set<tpToolBar>);
    B.Str(L"ThirdStatusBar", &C::Get<tpStatusBar>, &C::Set<tpStatusBar>);
    B.Str(L"ThirdSpeedButton", &C::Get<tpSpeedButton>, &C::Set<tpSpeedButton>);
KV_END_PUBLISHED

UnicodeString ThirdPartyList::GetString(int Index) const
{
    return Index >= 0 && Index < kvThirdPartyCount ? FLists[Index] : UnicodeString();
}

void ThirdPartyList::SetString(int Index, const UnicodeString& Value)
{
    if (Index >= 0 && Index < kvThirdPartyCount)
        FLists[Index] = Value;
}

void LoadThirdNames(ThirdPartyList* ThirdParty, TsThirdLists& Lists, bool Reset)
{
    if (Lists.size() < size_t(kvThirdPartyCount))
        Lists.resize(size_t(kvThirdPartyCount), nullptr);
    for (int i = 0; i < kvThirdPartyCount; ++i) {
        if (Reset || ThirdParty->GetString(i).empty())
            ThirdParty->SetString(i, kvThirdNames[i]);
        if (!Lists[size_t(i)])
            Lists[size_t(i)] = New<TStringList>();
        Lists[size_t(i)]->SetText(ThirdParty->GetString(i));
    }
}

void UpdateThirdNames(ThirdPartyList* ThirdParty, const TsThirdLists& Lists)
{
    for (int i = 0; i < kvThirdPartyCount && size_t(i) < Lists.size(); ++i)
        if (Lists[size_t(i)])
            ThirdParty->SetString(i, Lists[size_t(i)]->Text());
}
