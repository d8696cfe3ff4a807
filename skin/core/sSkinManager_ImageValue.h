// The image references of a skin description.  A value is read by its
// first character:
//   !name!count!masktype!imgtype[!WL!WT!WR!WB]   an image file of its own (.bmp/.png)
//   @LLLL TTTT RRRR BBBB c m                    a glyph in the master image
//   ^LLLL TTTT RRRR BBBB WLWL WTWT WRWR WBWB c m d b   a border in it
//   ~LLLL TTTT RRRR BBBB dd m                   a texture in it
//   anything containing "#": "#MASTER (L,T,R,B) count,mask[,bw[,dm]]"
//   a file name containing ".BMP", or ".JPG"/".JPEG" (a pattern)
// Fixed-column fields are 1-based character positions; a column that lies
// beyond the end of a short value reads as empty text, which no number is.
#pragma once

#include <string_view>

#include "classlib/graphics/Types.h"
#include "classlib/rtl/System.h"
#include "skin/core/sMaskData.h"

enum TsImageForm {
    ifNone,     // not an image value
    ifFile,     // "!"
    ifGlyph,    // "@"
    ifBorder,   // "^"
    ifTexture,  // "~"
    ifRegion,   // "#"
    ifPlainBmp, // a plain ".BMP" file name
    ifJpeg      // a plain ".JPG"/".JPEG" file name
};

struct TsImageValue {
    TsImageForm Form = ifNone;
    UnicodeString FileName;  // ifFile: as written; plain forms: upper-cased
    TRect R{};               // regions of the master image
    int ImageCount = 0;
    int MaskType = 0;
    int BorderWidth = 0;
    int DrawMode = 0;
    int ImgType = 0;         // ifFile: the fourth field
    int WL = 0, WT = 0, WR = 0, WB = 0;
    bool HasWidths = false;  // ifFile: the four widths were given
    bool HasBorderWidth = false; // ifRegion: the third number of word 3 was given
    bool HasDrawMode = false;    // ifRegion: the fourth one
};

// Keys whose values are texts, never images, whatever they start with:
// VERSION, AUTHOR and DESCRIPTION.
bool IsTextKey(std::wstring_view Key);

// Value as an error message quotes it: at most 64 characters, then the
// length of the whole.
UnicodeString QuotedValue(const UnicodeString& Value);

// Which form Value has, without reading its numbers.  A "!" value names an
// image only when its file name has an image file's extension (".bmp",
// ".png", any case); any other "!" text is no image.
TsImageForm ImageFormOf(const UnicodeString& Value);

// Reads every field of Value.  An unreadable or missing number raises
// EConvertError; a value of no image form gives Form ifNone.
TsImageValue ParseImageValue(const UnicodeString& Value);

// The border widths of a nine-piece image that gives none: BorderWidth on
// all four sides when it is set, else a third of one frame each way.  An
// image count below 1 or a mask type below 0 gives no frame to divide, and
// raises EConvertError naming the entry.
void DeriveBorderWidths(TsMaskData& Mask);

// The image type a number of a "!" value names (above 4 counts as 4, below
// 0 as 0).
TkvImgType ImgTypeOf(int Value);
