// Captions of skinned controls: plain and embossed text, the contour copies
// in a section's font colours, the glow blurred out of a text mask, the
// Gaussian blur of bitmaps, text measuring and the ellipsis cutter.
#pragma once

#include <windows.h>

#include "classlib/graphics/Graphics.h"

class TsCommonData;

// DrawTextW of the whole Text with Flags; Enabled is not consulted.
void kvWriteText(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags);
// DrawTextW of Text with its length; DrawTextW's result.
int kvDrawText(HDC DC, const UnicodeString& Text, TRect& R, unsigned Flags);
int kvTextWidth(TCanvas* Canvas, const UnicodeString& Text);
int kvTextHeight(TCanvas* Canvas, const UnicodeString& Text);
TSize kvTextExtent(TCanvas* Canvas, const UnicodeString& Text);
void kvTextRect(TCanvas* Canvas, const TRect& R, int X, int Y, const UnicodeString& Text);
// Text shortened with "..." to fit MaxWidth pixels: unchanged when it fits,
// empty when not even one character fits with the ellipsis.
UnicodeString CutText(TCanvas* Canvas, const UnicodeString& Text, int MaxWidth);

// Embossed text for unskinned use.  Without DT_WORDBREAK the text box is
// fitted to the text inside R (centred with DT_CENTER, else centred
// vertically at R's left, or right with DT_RIGHT); R comes back as that box
// grown by one pixel.  Disabled text is a highlight copy one pixel down and
// right under the text in the shadow colour.
void WriteText(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags);
// The same on a device context in its current colours (the copy too).
void WriteTextOnDC(HDC DC, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags);

// Section text: the four one-pixel contour copies in the section's contour
// colours (-1 skips one), then the text in its font colour (HotFontColor
// when Hot).  Disabled text is one draw in 40 % font colour and 60 % the
// section's colour.  SkinManager nil means the default manager; nothing for
// an index it does not know or an empty text.
void WriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags, int SkinIndex,
                 bool Hot, TObject* SkinManager = nullptr);
void kvWriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags, int SkinIndex,
                   bool Hot, TObject* SkinManager = nullptr);

// A control's caption in its section's colours: the owner's font (underlined
// when hot in a "WEBBUTTON"), clipped to R, first the section's glow into
// the control's cache, then the contour copies and the text.  Check boxes,
// radio buttons, group boxes and graphic controls with ParentFont on a
// see-through section take the colours their parent gives.  Disabled text
// mixes 40 % font colour with 60 % the skin's global colour.
void WriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags, TsCommonData* SkinData,
                 bool Hot);
// The same; SkinManager is not read.
void kvWriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags,
                   TsCommonData* SkinData, bool Hot, TObject* SkinManager = nullptr);

// The glow around a text: a white 8-bit mask BlurSize + 4 pixels larger than
// R on every side gets the text in black (shifted once for each Side bit:
// 1 left, 2 up, 4 right, 8 down, then unshifted) and is blurred by
// BlurSize; its dark parts pull DstBmp's pixels toward Color.  The mask
// lives in MaskBmp (made when nil; the caller frees it) and is rebuilt only
// when its size no longer fits, so a caller keeping it frees it when the
// text or font changes.
void kvDrawGlowForText(TBitmap* DstBmp, const wchar_t* Text, const TRect& R, unsigned Flags, unsigned Side,
                       int BlurSize, TColor Color, TBitmap*& MaskBmp);
// The same glow for a painter of SkinManager's skin (nil: the default
// manager) with no mask of its own to keep.
void DrawTextGlow(TObject* SkinManager, TBitmap* DstBmp, const wchar_t* Text, const TRect& R, unsigned Flags,
                  unsigned Side, int BlurSize, TColor Color);
// Gaussian blur in place of an 8-bit (Blur8) or 24-bit (Blur24) DIB; other
// bitmaps are left alone.
void Blur8(TBitmap* Bmp, double Radius);
void Blur24(TBitmap* Bmp, double Radius);
