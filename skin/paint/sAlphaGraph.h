// The lowest layer of the painting engine on the class library's bitmaps:
// pixel accessors (sAlphaGraph_Fast.h), rectangle fills and blends, alpha
// bytes, key-pixel replacement in 32-bit window images, the disabled look of
// glyphs and masked copies out of the skin's master image.  The pixel work
// itself lives in the Windows-free kernels; these routines bind bitmaps.
#pragma once

#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"
#include "skin/core/sMaskData.h"
#include "skin/paint/sAlphaGraph_Fast.h"
#include "skin/paint/sAlphaGraph_Pixels.h"

class TControl;

// ---------------------------------------------------------------------------
// Between the class library's records and the kernels' own.
inline TkvRect KvRect(const TRect& R) { return {int(R.left), int(R.top), int(R.right), int(R.bottom)}; }
inline TkvPoint KvPoint(const TPoint& P) { return {int(P.x), int(P.y)}; }
// The rows of a bitmap (empty for nil or an empty bitmap).
TBitmapRows RowsOf(TBitmap* Bmp);
// The background a TCacheInfo describes.
TkvBack BackOf(const TCacheInfo& CI);

// The skin manager's master image.  The manager unit installs the lookup;
// until then every image without its own bitmap counts as missing.
using TMasterBitmapOf = TBitmap* (*)(TObject* Manager);
extern TMasterBitmapOf MasterBitmapOf;
// The image table of a skin manager (nil when it has none).
TsMaskArray* MaskTableOf(TObject* Manager);

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
// A glyph's disabled look: greyed, then mixed with what lies behind it.
void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind DisabledKind, TControl* Parent, const TCacheInfo& CI,
                     const TPoint& Offset);

// R2 of the master image onto R1 of the 24-bit Bmp through the mask that
// lies HeightOf(MaskData.R) div 2 rows below; key pixels show CI.
void CopyMasterRect(const TRect& R1, const TRect& R2, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& MaskData);
