#include "SkinHolder.h"

KV_BEGIN_PUBLISHED(TSkinHolder, TComponent)
    B.Object(L"AnimEffects", &C::AnimEffects);
    B.Object(L"InternalSkins", &C::InternalSkins);
    B.Object(L"ThirdParty", &C::ThirdParty);
KV_END_PUBLISHED

TSkinHolder::TSkinHolder(TComponent* AOwner)
    : TComponent(AOwner), FSkins(new TsStoredSkins(this)), FAnim(new TkvAnimEffects), FThird(new ThirdPartyList)
{
}

TSkinHolder::~TSkinHolder()
{
    FreeAndNil(FThird);
    FreeAndNil(FAnim);
    FreeAndNil(FSkins);
}
