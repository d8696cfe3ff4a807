#include "skin/core/sSkinManager_Anim.h"

#define KV_ANIM_TYPES {L"atFading", L"atAero"}, L"TkvAnimType"

KV_BEGIN_PUBLISHED(TkvBtnEffects, TPersistent)
    B.Set(L"Events", &C::Events, &C::Events, 0xF, {L"beMouseEnter", L"beMouseLeave", L"beMouseDown", L"beMouseUp"},
          L"TkvBtnEvents");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvFormAnimation, TPersistent)
    B.Bool(L"Active", &C::Active, &C::SetActive, true);
    B.Int(L"Time", &C::Time, &C::SetTime, 0, L"Word");
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvFormShow, TkvFormAnimation)
    B.Enum(L"Mode", &C::Mode, &C::SetMode, atAero, KV_ANIM_TYPES);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvPageChange, TkvFormAnimation)
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvDialogShow, TkvFormAnimation)
    B.Int(L"Time", &C::Time, &C::SetTime, 0, L"Word");
    B.Enum(L"Mode", &C::Mode, &C::SetMode, atAero, KV_ANIM_TYPES);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvSkinChanging, TkvFormAnimation)
    B.Int(L"Time", &C::Time, &C::SetTime, 100, L"Word");
    B.Enum(L"Mode", &C::Mode, &C::SetMode, atFading, KV_ANIM_TYPES);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TkvAnimEffects, TPersistent)
    B.Object(L"Buttons", &C::Buttons);
    B.Object(L"DialogShow", &C::DialogShow);
    B.Object(L"FormShow", &C::FormShow);
    B.Object(L"PageChange", &C::PageChange);
    B.Object(L"SkinChanging", &C::SkinChanging);
KV_END_PUBLISHED

#undef KV_ANIM_TYPES

TkvSkinChanging::TkvSkinChanging()
{
    FTime = 100;
    FMode = atFading;
}

TkvAnimEffects::TkvAnimEffects()
    : FButtons(new TkvBtnEffects),
      FDialogShow(new TkvDialogShow),
      FFormShow(new TkvFormShow),
      FSkinChanging(new TkvSkinChanging),
      FPageChange(new TkvPageChange)
{
    FButtons->Manager = Manager;
}

TkvAnimEffects::~TkvAnimEffects()
{
    FreeAndNil(FButtons);
    FreeAndNil(FDialogShow);
    FreeAndNil(FFormShow);
    FreeAndNil(FSkinChanging);
    FreeAndNil(FPageChange);
}
