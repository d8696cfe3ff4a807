// The lowest layer of the painting engine on the class library's bitmaps:
// pixel accessors (sAlphaGraph_Fast.h), rectangle fills and blends, alpha
// bytes, key-pixel replacement in 32-bit window images, the disabled look of
// glyphs and masked copies out of the skin's master image.  The pixel work
// itself lives in the Windows-free kernels; these routines bind bitmaps.
#pragma once

#include <vector>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"
#include "skin/core/sMaskData.h"
#include "skin/paint/sAlphaGraph_Fast.h"
#include "skin/paint/sAlphaGraph_Pieces.h"
#include "skin/paint/sAlphaGraph_Pixels.h"

class TControl;
class TsSkinTables;
class TsCommonData;

// ---------------------------------------------------------------------------
// Between the class library's records and the kernels' own.
inline TkvRect KvRect(const TRect& R) { return {int(R.left), int(R.top), int(R.right), int(R.bottom)}; }
inline TkvPoint KvPoint(const TPoint& P) { return {int(P.x), int(P.y)}; }
// The rows of a bitmap (empty for nil or an empty bitmap).
TBitmapRows RowsOf(TBitmap* Bmp);
// The background a TCacheInfo describes.
TkvBack BackOf(const TCacheInfo& CI);

// The skin manager's master image.  The default reads the loaded skin's
// store; a manager that keeps it elsewhere installs its own lookup.
using TMasterBitmapOf = TBitmap* (*)(TObject* Manager);
extern TMasterBitmapOf MasterBitmapOf;
// The image table of a skin manager (nil when it has none).
TsMaskArray* MaskTableOf(TObject* Manager);

// Manager, or DefaultManager when it is nil.
TObject* ManagerOrDefault(TObject* Manager);
// The skin tables of Manager (the default one for nil); nil when it has none.
TsSkinTables* SkinTablesOf(TObject* Manager);

// ---------------------------------------------------------------------------
// The opaque 32-bit pixel of a colour (R and B exchanged, top byte 0xFF).
uint32_t SwapColor(TColor Color);

// In the 32-bit DstBmp, pixels of R whose key test passes take SrcBmp's
// pixel at Offset + (x, y): MaskIndex -1 tests the destination pixel for the
// key colour, any other index the corner (hit-test code 13, 14, 16 or 17)
// of that skin image of SkinManager.
void FillTransPixels32(TBitmap* DstBmp, TBitmap* SrcBmp, const TRect& R, const TPoint& Offset, int MaskIndex,
                       TObject* SkinManager, unsigned Corner);
// Percent % of each pixel of R stays, the rest becomes Color (Right and
// Bottom excluded; the usual (0, 0, Width, Height) covers the bitmap).
void BlendColorRect(TBitmap* Bmp, const TRect& R, uint8_t Percent, TColor Color);
// R of a 32-bit bitmap filled opaque with Color; another format raises
// "Bitmap format is not supported".
void FillRect32(TBitmap* Bmp, const TRect& R, TColor Color);
// The alpha byte of each pixel of R of a 32-bit bitmap.
void FillAlphaRect(TBitmap* Bmp, const TRect& R, uint8_t Value);
// The colour bytes of the pixels of R of a 32-bit bitmap weighted by their
// alpha (straight alpha made premultiplied, as a layered window takes it).
void WeightByAlpha(TBitmap* Bmp, const TRect& R);
// A glyph's disabled look: greyed, then mixed with what lies behind it.
void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind DisabledKind, TControl* Parent, const TCacheInfo& CI,
                     const TPoint& Offset);

// R2 of the master image onto R1 of the 24-bit Bmp through the mask that
// lies HeightOf(MaskData.R) div 2 rows below; key pixels show CI.
void CopyMasterRect(const TRect& R1, const TRect& R2, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& MaskData);

// Key-colour pixels leave the destination as it is, whatever CI holds.
void CopyMasterRectA(const TRect& R1, const TRect& R2, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& MaskData);

// ---------------------------------------------------------------------------
// Skin images.  State is the painting state (0 normal, 1 hot, 2 pressed); the
// frame drawn is min(State, ImageCount - 1).

// The bitmap an image lives in: its own, else its manager's master image.
TBitmap* ImageBitmapOf(const TsMaskData& MaskData);
int FrameOf(const TsMaskData& MaskData, int State);
kvPaint::TNineImage NineImageOf(const TsMaskData& MaskData);

// Frame State of a border image as nine pieces over R of Bmp (Right and
// Bottom excluded).  Corners let CI show through their transparent pixels
// when UpdateCorners; the centre is drawn when Filling and the image's
// DrawMode has 4; DrawMode 1 stretches the sides of key-colour images, and
// DrawMode 2 draws nothing in state 0.  SkinManager is not read.
void DrawSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& MaskData,
                  int State, bool UpdateCorners, TObject* SkinManager);
// A corner piece of a border: D in the painted bitmap, S in Src.
struct TsCornerCopy {
    TkvRect D, S;
    TBitmap* Src;
};
// DrawSkinRect over a background not known yet: the key-colour pixels of
// the corners are left as they are, and the corner copies are listed.
// Giving those pixels what lies behind afterwards (kvPaint::RepairCorner,
// Bmp's 24-bit rows) completes DrawSkinRect with UpdateCorners for a 24-bit
// Bmp and a 24-bit image.
void DrawSkinRectCorners(TBitmap* Bmp, const TRect& R, bool Filling, const TsMaskData& MaskData, int State,
                         std::vector<TsCornerCopy>& Corners);
// The same for a master-image border drawn in thirds of a frame (its border
// widths are not used).
void DrawSmallSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& MaskData,
                       int State);
// Frame State of a glyph image with its top-left at P; a negative P cuts the
// frame's first columns or rows.  Mode 1 draws normally, any other value a
// fainter (masked) or half-transparent (key-colour) glyph.
void DrawSkinGlyph(TBitmap* Bmp, const TPoint& P, int State, int Mode, const TsMaskData& MaskData,
                   const TCacheInfo& CI);
// The inclusive R2 of Bmp2 laid over the inclusive R1 of Bmp1 through the
// image's mask (key-colour images: a key-colour copy).  TransColor is not
// read: the key is always sFuchsia.
void BlendGlyphByMask(const TRect& R1, const TRect& R2, TBitmap* Bmp1, TBitmap* Bmp2, TColor TransColor, int Mode,
                      const TsMaskData& MaskData);

enum TsCorner { scLeftTop, scLeftBottom, scRightTop, scRightBottom };
using TsCorners = TSet<TsCorner>;
inline constexpr TsCorners AllCorners{scLeftTop, scLeftBottom, scRightTop, scRightBottom};

// Gives the key-colour pixels of the corners of the control's border image
// (frame State) in its cache bitmap what lies behind the control: the
// parent's cached image or its colour.
void UpdateCorners(TsCommonData* SkinData, int State, TsCorners Corners = AllCorners);
