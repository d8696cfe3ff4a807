// A component that publishes the skin manager's stored skins, animation
// settings and class-name lists the way the manager does, so that form
// resources can be read into them.
#pragma once

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/sSkinManager_Anim.h"
#include "skin/core/sSkinManager_Stored.h"
#include "skin/core/sSkinManager_Third.h"

class TSkinHolder : public TComponent {
    KV_CLASS(TSkinHolder)
    KV_PUBLISHED
public:
    explicit TSkinHolder(TComponent* AOwner);
    ~TSkinHolder() override;
    TsStoredSkins* InternalSkins() const { return FSkins; }
    TkvAnimEffects* AnimEffects() const { return FAnim; }
    ThirdPartyList* ThirdParty() const { return FThird; }

private:
    TsStoredSkins* FSkins;
    TkvAnimEffects* FAnim;
    ThirdPartyList* FThird;
};
