// Shared routines of the painting engine on the class library's bitmaps,
// canvases and device contexts: colours and colour models, device-context
// fills and frames, whole-bitmap grey and channel copies, nine-piece
// templates and glyph strips; the composition loops and bitmap creation;
// the resampler and button layout; textures.  The pixel loops are the
// Windows-free kernels of sGraphUtils_*.h, bound to bitmaps here.
#pragma once

#include "classlib/controls/Buttons.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"
#include "skin/core/sMaskData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils_Colors.h"
#include "skin/paint/sGraphUtils_Compose.h"
#include "skin/paint/sGraphUtils_Stretch.h"

class TCustomImageList;
class TWinControl;

// ---------------------------------------------------------------------------
// Colours (the rest are in sGraphUtils_Colors.h).

// True when the layered-window entry point was found at start-up.
bool kvLayered();
TsColor ColorToSColor(TColor Color);
TsColor AverageColor(TsColor C1, TsColor C2);
// Hue turned by Delta degrees (system colours taken as their RGB value).
TColor ChangeHue(int Delta, TColor Color);

// ---------------------------------------------------------------------------
// Device contexts.  Each routine saves the context and restores it, also
// when an exception passes.

void FillDC(HDC DC, const TRect& R, TColor Color);
// Strips WT high at the top, WL wide at the left, WB at the bottom, WR at the right.
void FillDCBorder(HDC DC, const TRect& R, int WL, int WT, int WR, int WB, TColor Color);
// The BorderWidth-wide frame of a Width x Height rectangle, as four strips.
void BitBltBorder(HDC DestDC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, int BorderWidth);
// Clips out the visible graphic children of Ctrl (unless StdTransparency).
void ExcludeControls(HDC DC, TWinControl* Ctrl, TkvCtrlType CtrlType, int OffsetX, int OffsetY);
// Width rings of a 3D frame; R comes back shrunk by the rings, Width as 0.
void DrawRectangleOnDC(HDC DC, TRect& R, TColor ColorTop, TColor ColorBottom, int& Width);

// ---------------------------------------------------------------------------
// Whole bitmaps.

void GrayScale(TBitmap* Bmp);
void GrayScaleTrans(TBitmap* Bmp, TsColor TransColor);
void CopyChannel32(TBitmap* Dst, TBitmap* Src, int Channel);
void CopyChannel(TBitmap* Bmp32, TBitmap* Bmp8, int Channel, bool From32To8);
// Bmp becomes image Index of the list on the list's background colour
// (the key colour when it has none).
void CopyImage(TBitmap* Bmp, TCustomImageList* ImageList, int Index);
// DstRect of DstBmp from SrcRect of a template as nine pieces: corners as
// given, sides tiled (0) or stretched (1) by SideModes, the centre on request.
void PaintControlByTemplate(TBitmap* DstBmp, TBitmap* SrcBmp, const TRect& DstRect, const TRect& SrcRect,
                            const TRect& CornerRect, const TRect& BorderRect, const TRect& SideModes,
                            bool StretchCenter, bool DrawCenter);
// A glyph strip of NumGlyphs frames drawn at R's top-left in its enabled,
// hot (State 1), pressed (2) or disabled look.
void DrawGlyphEx(TBitmap* Glyph, TBitmap* DstBmp, const TRect& R, int NumGlyphs, bool Enabled,
                 TsDisabledGlyphKind DisabledGlyphKind, int State, int Blend, bool Down, bool Reflected);

// ---------------------------------------------------------------------------
// Bitmap creation.  The caller owns what these return.

TBitmap* CreateBmp24(int Width, int Height);
TBitmap* CreateBmp32(int Width, int Height);
TBitmap* CreateBmpLike(TBitmap* Bmp);
// Bmp turned by 90 degrees (nil for formats other than 24- and 32-bit);
// KillSource frees Bmp and sets it to nil.
TBitmap* MakeRotated90(TBitmap*& Bmp, bool CW, bool KillSource);
void InitCI(TCacheInfo& CI, TBitmap* Bmp, int X, int Y);

// ---------------------------------------------------------------------------
// Composition loops (rules in sGraphUtils_Compose.h).  Colours given as
// TsColor blend factors use their red byte.

void SumBitmaps(TBitmap* Dst, TBitmap* Src, TsColor Color);
void SumBmpRect(TBitmap* Dst, TBitmap* Src, TsColor Color, const TRect& SrcRect, const TPoint& DstPoint);
void SumBitmapsByMask(TBitmap*& Out, TBitmap*& Src1, TBitmap*& Src2, TBitmap* Msk, uint16_t Percent);
void SumByMask(TBitmap*& Bmp1, TBitmap*& Bmp2, TBitmap*& Msk, const TRect& R);
void SumByMaskWith32(TBitmap* Bmp1, TBitmap* Bmp2, TBitmap* Msk, const TRect& R);
void BlendBmpByMask(TBitmap* Bmp, TBitmap* Msk, TsColor BlendColor);
void CopyTransBitmaps(TBitmap* Dst, TBitmap* Src, int X, int Y, TsColor TransColor);
void CopyTransRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor,
                   const TCacheInfo& CI, bool UpdateTrans);
void CopyTransRectA(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor,
                    const TCacheInfo& CI);
void CopyRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor);
void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Dst, TBitmap* Src, const TCacheInfo& CI, bool UpdateTrans);
void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Dst, TBitmap* Src, const TCacheInfo& CI, bool UpdateTrans,
                const TsMaskData& MaskData);
// Src is made 32-bit first (a 24-bit image becomes opaque).
void CopyBmp32(const TRect& R1, const TRect& R2, TBitmap* Dst, TBitmap* Src, const TCacheInfo& CI, bool UpdateTrans,
               TColor GrayedColor, int Blend, bool Reflected);
void BlendTransRectangle(TBitmap* Dst, int X, int Y, TBitmap* Src, const TRect& SrcRect, double Blend,
                         TsColor TransColor);
void BlendTransBitmap(TBitmap* Bmp, double Blend, TsColor Color, TsColor TransColor);
// A soft-edged colour over R: its image stays at the edges, Color grows
// toward the middle, where Transparency % of the image is left.
void FadeBmp(TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius);
void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape, int Radius);
void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape);
void GradientBmp(TBitmap* Bmp, const TRect& R, TsColor Color1, TsColor Color2, TGradientTypes GradType,
                 uint8_t Percent1, uint8_t Percent2, int Size);

// ---------------------------------------------------------------------------
// Resampling and layout.

// Dst becomes Src resampled to Width x Height (Param is not consulted).
void Stretch(TBitmap* Src, TBitmap* Dst, int Width, int Height, TFilterType Filter, int Param);
void CalcButtonLayout(const TRect& Client, const TPoint& GlyphSize, const TSize& TextSize, TButtonLayout Layout,
                      TAlignment Alignment, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                      int BiDiFlags);
int GetFontHeight(HFONT Font);
TSize GetStringSize(HFONT Font, const UnicodeString& Text);
void LoadJpegOrBmp(TPicture* Image, const UnicodeString& FileName, bool Gray);
// The dotted focus frame of skinned buttons and check boxes.
void FocusRect(TCanvas* Canvas, const TRect& R);

// The layered-window entry point (nil when the system has none) and the
// accessor the background reads share.
using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
extern HMODULE User32Lib;
extern TUpdateLayeredWindow kvUpdateLayeredWindow;
extern TkvFast32* SharedFast32;

// ---------------------------------------------------------------------------
// Textures.  R comes back as the part left for the caller to fill with the
// section colour, or (-1, -1, -1, -1) when nothing is left.

void TileBitmap(TCanvas* Canvas, TRect& R, TGraphic* Graphic, const TsMaskData& MaskData, TkvFillMode FillMode);
void TileBitmap(TCanvas* Canvas, const TRect& R, TGraphic* Graphic);
void TileMasked(TBitmap* Bmp, TRect& R, const TCacheInfo& CI, const TsMaskData& MaskData, TkvFillMode FillMode);
void TileBitmapFromOther(TCanvas* Canvas, const TRect& R, const TsMaskData& MaskData);

// Text with contours and glow, blur, text measuring.
#include "skin/paint/sGraphUtils_Text.h"
// Painting skin sections and window regions.
#include "skin/paint/sGraphUtils_Sections.h"
