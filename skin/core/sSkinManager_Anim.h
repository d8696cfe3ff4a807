// The skin manager's animation settings (its published AnimEffects): which
// skin animations run and for how long.  An animation of Time milliseconds
// runs Time shr 3 steps; Time 0 shows the result at once.
#pragma once

#include <cstdint>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/sConst.h"

class TsSkinManager;

// The mouse events on which skinned buttons fade.
class TkvBtnEffects : public TPersistent {
    KV_CLASS(TkvBtnEffects)
    KV_PUBLISHED
public:
    TkvBtnEvents Events{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
    TsSkinManager* Manager = nullptr;
};

// Base of the window animations.
class TkvFormAnimation : public TPersistent {
    KV_CLASS(TkvFormAnimation)
    KV_PUBLISHED
public:
    TkvFormAnimation() = default;
    uint16_t FTime = 0;           // milliseconds
    bool FActive = true;
    TkvAnimType FMode = atAero;

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    uint16_t Time() const { return FTime; }
    void SetTime(uint16_t Value) { FTime = Value; }
    TkvAnimType Mode() const { return FMode; }
    void SetMode(TkvAnimType Value) { FMode = Value; }
};

class TkvFormShow : public TkvFormAnimation {
    KV_CLASS(TkvFormShow)
    KV_PUBLISHED
};

class TkvPageChange : public TkvFormAnimation {
    KV_CLASS(TkvPageChange)
    KV_PUBLISHED
};

class TkvDialogShow : public TkvFormAnimation {
    KV_CLASS(TkvDialogShow)
    KV_PUBLISHED
};

// The animation that shows a new skin: a 100 ms fade.
class TkvSkinChanging : public TkvFormAnimation {
    KV_CLASS(TkvSkinChanging)
    KV_PUBLISHED
public:
    TkvSkinChanging();
};

class TkvAnimEffects : public TPersistent {
    KV_CLASS(TkvAnimEffects)
    KV_PUBLISHED
public:
    TkvAnimEffects();
    ~TkvAnimEffects() override;

    TkvBtnEffects* Buttons() const { return FButtons; }
    TkvDialogShow* DialogShow() const { return FDialogShow; }
    TkvFormShow* FormShow() const { return FFormShow; }
    TkvPageChange* PageChange() const { return FPageChange; }
    TkvSkinChanging* SkinChanging() const { return FSkinChanging; }

    TkvBtnEffects* FButtons;
    TkvDialogShow* FDialogShow;
    TkvFormShow* FFormShow;
    TkvSkinChanging* FSkinChanging;
    TkvPageChange* FPageChange;
    TsSkinManager* Manager = nullptr;  // set by the manager's constructor, with Buttons->Manager
};
