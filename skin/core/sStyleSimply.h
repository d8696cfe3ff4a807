// The global values of a loaded skin (TsSkinData) and the indexes of the
// sections and images that the most frequent painting paths use
// (TConstantSkinData), so that those paths need no string search; the list
// of skinned forms and the broadcasts that announce a skin change.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/controls/Messages.h"
#include "skin/core/sConst.h"

class TIcon;

// Raised while a skin is loaded and announced, and while it is removed;
// painting and animation code read them to skip work.
extern bool aSkinChanging;
extern bool aSkinRemoving;

struct TConstantSkinData {
    int16_t IndexGLobalInfo = -1;
    int16_t ExBorder = -1;
    int16_t IndexTabTop = -1, IndexTabBottom = -1, IndexTabLeft = -1, IndexTabRight = -1;
    int16_t MaskTabTop = -1, MaskTabBottom = -1, MaskTabLeft = -1, MaskTabRight = -1;
    int16_t IndexScrollTop = -1, IndexScrollBottom = -1, IndexScrollLeft = -1, IndexScrollRight = -1;
    int16_t MaskScrollTop = -1, MaskScrollBottom = -1, MaskScrollLeft = -1, MaskScrollRight = -1;
    int16_t IndexBGScrollTop = -1, IndexBGScrollBottom = -1, IndexBGScrollLeft = -1, IndexBGScrollRight = -1;
    int16_t IndexBGHotScrollTop = -1, IndexBGHotScrollBottom = -1, IndexBGHotScrollLeft = -1, IndexBGHotScrollRight = -1;
    int16_t MaskArrowTop = -1, MaskArrowBottom = -1, MaskArrowLeft = -1, MaskArrowRight = -1;
    int16_t IndexSliderVert = -1, IndexSliderHorz = -1;
    int16_t MaskSliderVert = -1, MaskSliderHorz = -1;
    int16_t MaskSliderGlyphVert = -1, MaskSliderGlyphHorz = -1;
    int16_t ScrollSliderBGHorz = -1, ScrollSliderBGHotHorz = -1;
    int16_t ScrollSliderBGVert = -1, ScrollSliderBGHotVert = -1;
    int16_t IndexScrollBar1H = -1, IndexScrollBar1V = -1, IndexScrollBar2H = -1, IndexScrollBar2V = -1;
    int16_t MaskScrollBar1H = -1, MaskScrollBar1V = -1, MaskScrollBar2H = -1, MaskScrollBar2V = -1;
    int16_t BGScrollBar1H = -1, BGScrollBar1V = -1, BGScrollBar2H = -1, BGScrollBar2V = -1;
    int16_t BGHotScrollBar1H = -1, BGHotScrollBar1V = -1, BGHotScrollBar2H = -1, BGHotScrollBar2V = -1;
    int16_t CheckBoxChecked = -1, CheckBoxUnChecked = -1, CheckBoxGrayed = -1;
    int16_t RadioButtonChecked = -1, RadioButtonUnChecked = -1, RadioButtonGrayed = -1;
    int16_t SmallCheckBoxChecked = -1, SmallCheckBoxUnChecked = -1, SmallCheckBoxGrayed = -1;
    int32_t ComboBtnIndex = -1;
    int32_t ComboBtnBorder = -1;
    int32_t ComboBtnBG = -1;
    int32_t ComboBtnBGHot = -1;
    int32_t ComboGlyph = -1;
};
static_assert(sizeof(TConstantSkinData) == 65 * 2 + 2 + 5 * 4, "65 small fields, then 5 integers");

// Global values of the loaded skin, filled by the skin loader.
class TsSkinData : public TObject {
    KV_CLASS(TsSkinData)
public:
    UnicodeString SkinPath;      // folder of the image files with "\"; empty for internal skins
    bool Active = false;         // a skin is loaded and announced
    double Version = 0;
    UnicodeString Author;
    UnicodeString Description;
    TColor Shadow1Color = 0;
    int16_t Shadow1Offset = 0;
    int16_t Shadow1Blur = 0;
    int16_t Shadow1Transparency = 0;
    int16_t ExBorderWidth = 0;
    int16_t ExTitleHeight = 0;
    int16_t ExMaxHeight = 0;
    int16_t ExContentOffs = 0;
    int16_t ExCenterOffs = 0;
    int16_t ExDrawMode = 0;
    TColor FXColor = 0;
    TColor BorderColor = 0;
    int16_t BISpacing = 0;
    int16_t BIVAlign = 0;
    int16_t BIRightMargin = 0;
    int16_t BILeftMargin = 0;
    int16_t BIKeepHUE = 0;
    int16_t BICloseGlow = 0;
    int16_t BICloseGlowMargin = 0;
    int16_t BIMaxGlow = 0;
    int16_t BIMaxGlowMargin = 0;
    int16_t BIMinGlow = 0;
    int16_t BIMinGlowMargin = 0;
};

// ---------------------------------------------------------------------------
// The skinned forms and the skin-change broadcast.
class TCustomForm;

// The forms that have a form skinner, in order of arrival; the skinner adds
// its form when it starts and removes it when it stops.
extern std::vector<TCustomForm*> HookedComponents;
// The upper-cased section of the last UpdateSkinSection.
extern UnicodeString GlobalSectionName;
// Raised while a new skin is announced: skinned controls do not paint.
extern bool RestrictDrawing;

// Sets a flag for a scope and puts the old value back however it is left.
class TFlagScope {
    bool& FFlag;
    bool FOld;

public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { FFlag = Value; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};

// The program file's small and large icons, read when the first skin
// manager is made; freed at shutdown.
extern TIcon* AppIcon;
extern TIcon* AppIconLarge;

void IntSkinForm(TCustomForm* Form);
void IntUnSkinForm(TCustomForm* Form);

// Message to every ordinary form of the application and its controls (a
// form with a skinner is reached once, through SendToHooked), then
// SendToHooked.  A form that goes away meanwhile is skipped; the others
// still get the message.
void AppBroadCastS(TMessage& Message);
// Message to every skinned form and its controls, and to every visible
// skinned system dialog.
void SendToHooked(TMessage& Message);
// Freezes the drawing of the visible top-level skinned forms of Manager
// while a skin changes (nothing while the application is minimised), and
// remembers which it froze.
void LockForms(TComponent* Manager);
// Unfreezes the forms Manager froze that are still skinned; with Repaint
// the visible ones show the new look at once.  A form hidden meanwhile only
// loses its frozen mark: its drawing comes back when it is shown.
void UnLockForms(TComponent* Manager, bool Repaint = true);
