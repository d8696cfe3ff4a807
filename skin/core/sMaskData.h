// Records of a loaded skin: one TsGeneralData per skin section (table gd),
// one TsMaskData per skin image (table ma), one TsPatternData per JPEG
// pattern (table pa).  In every table and index -1 means "the skin lacks it".
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "skin/core/sConst.h"

class TBitmap;
class TJPEGImage;

// A number of a skin as a field of type T: beyond T's range it becomes the
// nearest limit instead of wrapping (an image count of 40000 stays large).
template <class T>
T ClampTo(int64_t Value)
{
    return static_cast<T>(std::clamp<int64_t>(Value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// The largest sizes a skin may give, whatever its description says: a frame
// band or title never wider than a screen could use, glows and blurs whose
// cost stays near the usual, fades of a bounded number of steps.  A skin's
// value beyond them takes the bound.
inline constexpr int kvMaxSkinBorder = 256;     // border widths, offsets, button spacing
inline constexpr int kvMaxSkinTitle = 512;      // title heights
inline constexpr int kvMaxSkinGlow = 64;        // glow and blur sizes and their margins
inline constexpr int kvMaxFadeIterations = 50;  // steps of a fade

// Value within [Low, High].
inline int BoundTo(int64_t Value, int Low, int High)
{
    return int(std::clamp<int64_t>(Value, Low, High));
}

// Font colours of a section, entries 1 to 5: the text colour, then the
// contour colours left, top, right, bottom (-1 = no contour).
struct TsFontColors {
    TColor Items[5] = {};
    // Entry 1..5; any other index reads and writes entry 1.
    TColor& operator[](int i) { return Items[i >= 1 && i <= 5 ? i - 1 : 0]; }
    const TColor& operator[](int i) const { return Items[i >= 1 && i <= 5 ? i - 1 : 0]; }
};

struct TsGeneralData {
    UnicodeString ParentClass;
    UnicodeString ClassName;
    TColor Color = 0;
    TsFontColors FontColor;
    TsFontColors HotFontColor;
    bool GiveOwnFont = false;
    int GlowCount = 0;
    int GlowMargin = 0;
    bool ReservedBoolean = false;
    int Transparency = 0;
    int GradientPercent = 0;
    UnicodeString GradientData;
    TsGradArray GradientArray;
    int ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int FadingIterations = 0;
    TColor HotColor = 0;
    int HotTransparency = 0;
    int HotGradientPercent = 0;
    UnicodeString HotGradientData;
    TsGradArray HotGradientArray;
    int HotImagePercent = 0;
    TColor HotGlowColor = 0;
    TColor GlowColor = 0;
    uint8_t HotGlowSize = 0;
    uint8_t GlowSize = 0;
    int BorderIndex = -1;
    int ImgTL = -1;
    int ImgTR = -1;
    int ImgBL = -1;
    int ImgBR = -1;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

struct TsMaskData {
    TBitmap* Bmp = nullptr;      // own image (owned by the manager); nil: rectangle R of MasterBitmap
    UnicodeString ClassName;     // section
    UnicodeString PropertyName;  // key of the image in the section
    TRect R;
    int16_t ImageCount = 0;      // state frames side by side
    int16_t MaskType = 0;        // 0 key colour, 1 mask in the lower half, -1 none
    int16_t BorderWidth = 0;
    int16_t DrawMode = 0;
    TkvImgType ImgType = itisaBorder;
    TObject* Manager = nullptr;
    int16_t WL = 0;
    int16_t WT = 0;
    int16_t WR = 0;
    int16_t WB = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

struct TsPatternData {
    TJPEGImage* Img = nullptr;   // owned by the manager
    UnicodeString ClassName;
    UnicodeString PropertyName;
};
using TsPatternArray = std::vector<TsPatternData>;

// Width of one state frame of an image (0 when it has no frames).
int WidthOfImage(const TsMaskData& MaskData);
// Height of the picture part of an image (the upper half of a masked one;
// 0 for MaskType -1).
int HeightOfImage(const TsMaskData& MaskData);
