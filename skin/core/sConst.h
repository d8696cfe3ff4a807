// Process-wide records, enumerations, sets, tables and flags of the skin
// library.  No behaviour lives here beyond the start-up values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/System.h"
#include "classlib/controls/Controls.h"
#include "classlib/graphics/Graphics.h"

class TBitmap;
class TCanvas;
class TForm;
class TCustomImageList;

// ---------------------------------------------------------------------------
// A set of class-of-control codes (256 members; other codes are in none).
class TsCodeSet {
    uint32_t FBits[8] = {};

public:
    constexpr TsCodeSet() = default;
    // Pairs of (first, last) code ranges.
    constexpr TsCodeSet(std::initializer_list<std::pair<int, int>> ranges)
    {
        for (auto r : ranges)
            for (int c = r.first; c <= r.second; ++c)
                if (c >= 0 && c < 256)
                    FBits[c >> 5] |= 1u << (c & 31);
    }
    constexpr bool Contains(int code) const
    {
        return code >= 0 && code < 256 && ((FBits[code >> 5] >> (code & 31)) & 1u);
    }
};

// ---------------------------------------------------------------------------
// What lies behind an area that is being painted: a piece of the parent's
// cache bitmap when Ready, otherwise the plain FillColor (0xFF00FF: none).
struct TCacheInfo {
    TBitmap* Bmp = nullptr;
    int X = 0;
    int Y = 0;
    TColor FillColor = 0;
    bool Ready = false;
};

// No parent background.
extern TCacheInfo EmptyCI;

enum TkvBGType { btUnknown, btFill, btCache };

// A parent's answer when a child asks what lies behind it.
struct TkvBGInfo {
    TBitmap* Bmp = nullptr;
    TColor Color = 0;
    TPoint Offset{};
    TRect R{};
    TkvBGType BgType = btUnknown;
    bool PleaseDraw = false;
    HDC DrawDC = nullptr;
};
using PkvBGInfo = TkvBGInfo*;

// ---------------------------------------------------------------------------
// Colour records.  A TColor holds R in its lowest byte, a pixel B.
#pragma pack(push, 1)
struct TsRGB {
    uint8_t B, G, R;
};
struct TsRGBA {
    uint8_t B, G, R, A;
};
#pragma pack(pop)

// Four bytes in TColor order.
union TsColor {
    TColor C;
    int32_t I;
    struct { uint8_t R, G, B, A; };
    TsRGB sBGR;
    TsRGBA sBGRA;
    struct { uint8_t Pad_[3], T; };
};

// Four bytes in pixel order.
union TsColor_ {
    TColor C;
    int32_t I;
    struct { uint8_t B, G, R, A; };
    TsRGB sBGR;
    TsRGBA sBGRA;
    struct { uint8_t Pad_[3], T; };
};
static_assert(sizeof(TsColor) == 4 && sizeof(TsColor_) == 4 && sizeof(TsRGB) == 3);

using TRGBArray = TsRGB[1];
using PRGBArray = TsRGB*;
using TRGBAArray = TsColor_[1];
using PRGBAArray = TsColor_*;

// The key colour: a hole in skin images, "no colour" in fills and answers.
extern TsColor sFuchsia;

// One piece of a gradient and a parsed gradient.
struct TsGradPie {
    TColor Color1 = 0;
    TColor Color2 = 0;
    int32_t Percent = 0;
    int32_t Mode1 = 0;
    int32_t Mode2 = 0;
};
using TsGradArray = std::vector<TsGradPie>;

// ---------------------------------------------------------------------------
// Enumerations and sets.
enum TkvAnimType { atFading, atAero };
enum TkvImgType { itisaBorder, itisaTexture, itisaGlyph, itisaGlow, itisaPngGlyph };
enum TkvFillMode {
    fmTiled, fmStretched, fmTiledHorz, fmTiledVert, fmStretchHorz, fmStretchVert, fmTileHorBtm,
    fmTileVertRight, fmStretchHorBtm, fmStretchVertRight, fmDisTiled, fmDiscHorTop, fmDiscVertLeft,
    fmDiscHorBottom, fmDiscVertRight
};
enum TkvBtnEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TkvBtnEvents = TSet<TkvBtnEvent>;
enum TkvAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TkvAnimatEvents = TSet<TkvAnimatEvent>;
enum TkvCtrlType { kvtGraphic };
enum TFadeDirection { fdNone, fdUp, fdDown };
using TPercent = int;   // 0..100
enum TsHintStyle { hsSimply, hsComics, hsEllipse, hsBalloon, hsStandard, hsNone };
enum TsHintsPredefinitions {
    shSimply, shGradient, shTransparent, shEllipse, shBalloon, shComicsGradient, shComicsTransparent,
    shStandard, shNone, shCustom
};
enum TGradientTypes { gtTopBottom, gtLeftRight, gtAsBorder };
enum TsShadowingShape { ssRectangle, ssEllipse };
enum TsWindowShowMode {
    soHide, soNormal, soShowMinimized, soMaximize, soShowNoActivate, soShow, soMinimize,
    soShowMinNoActive, soShowNA, soRestore, soDefault
};
enum TsDisabledKindItem { dkBlended, dkGrayed };
using TsDisabledKind = TSet<TsDisabledKindItem>;
enum TsDisabledGlyphKindItem { dgBlended, dgGrayed };
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;
enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };
enum TDateOrder { doMDY, doDMY, doYMD };
enum TPopupWindowAlign { pwaRight, pwaLeft };
enum TCalDayOfWeek { dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday, dowLocaleDefault };
using TDaysOfWeek = TSet<TCalDayOfWeek>;

using TAOR = std::vector<TRect>;
using TPoints = std::vector<TPoint>;
using PPoints = TPoints*;
using TPaintEvent = TMethod<void(TObject* Sender, TCanvas* Canvas)>;
using TBmpPaintEvent = TMethod<void(TObject* Sender, TBitmap* Bmp)>;
using TkvRoot = UnicodeString;

// Any control seen as this class, to reach what the class library keeps
// protected; it adds nothing.
class TsHackedControl : public TControl {
    KV_CLASS(TsHackedControl)
public:
    using TControl::TControl;
};
using TsCtrlClass = TComponentClass;
using PKVString = UnicodeString*;

// ---------------------------------------------------------------------------
// Kind-code sets: how a control with a given class-of-control code reacts to
// the mouse and to focus.
inline constexpr TsCodeSet sForbidMouse{{19, 19}, {51, 74}, {110, 110}, {141, 161}};
inline constexpr TsCodeSet sCanNotBeHot{{51, 52}, {54, 54}, {56, 60}, {68, 68}, {73, 74}, {110, 110},
                                       {141, 141}, {143, 143}, {151, 151}, {161, 161}, {226, 226}};
inline constexpr TsCodeSet sEditCtrls{{2, 18}, {41, 41}, {76, 84}, {96, 97}, {131, 140}};

// ---------------------------------------------------------------------------
// Index tables.
inline constexpr TkvImgType kvImgTypes[5] = {itisaBorder, itisaTexture, itisaGlyph, itisaGlow, itisaPngGlyph};
inline constexpr TkvFillMode kvFillModes[15] = {
    fmTiled, fmStretched, fmTiledHorz, fmTiledVert, fmStretchHorz, fmStretchVert, fmTileHorBtm,
    fmTileVertRight, fmStretchHorBtm, fmStretchVertRight, fmDisTiled, fmDiscHorTop, fmDiscVertLeft,
    fmDiscHorBottom, fmDiscVertRight};
// The scroll codes of scroll-bar notifications (SB_LINEUP .. SB_ENDSCROLL).
inline constexpr int aScrollCodes[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
inline constexpr TsHintStyle aHintStyles[6] = {hsSimply, hsComics, hsEllipse, hsBalloon, hsStandard, hsNone};
inline constexpr TkvBtnEvent kvBtnEvents[5] = {beMouseEnter, beMouseLeave, beMouseDown, beMouseUp, beMouseUp};
inline constexpr TsHintsPredefinitions asHintsPredefinitions[9] = {
    shSimply, shGradient, shTransparent, shEllipse, shBalloon, shComicsGradient, shComicsTransparent,
    shStandard, shNone};
inline constexpr const wchar_t* sBoolArray[2] = {L"FALSE", L"TRUE"};

// ---------------------------------------------------------------------------
// Global flags and values.
extern bool kv_v5PaintMode;
extern bool kvOldGlyphsOrder;
extern int kvScrollBtnLength;
extern bool ShowHintStored;
extern bool AppShowHint;
extern bool FadingForbidden;
extern bool StdTransparency;
extern bool MouseForbidden;
extern bool fGlobalFlag;
extern bool DrawSkinnedMDIWall;
extern bool DrawSkinnedMDIScrolls;
extern TControl* TempControl;
extern TForm* kvMagnForm;
extern TsDisabledKind kvGlobalDisabledKind;
extern PAINTSTRUCT kvGlobalPS;
extern HDC kvGlobalDC;
extern TCustomImageList* LargeShellImages;
extern TCustomImageList* SmallShellImages;

// Makes LargeShellImages and SmallShellImages when missing: lists that share
// the system's large and small file-icon lists.  Both are made whatever the
// arguments say.
void InitShellImageLists(bool Large, bool Small);
