// The filtered two-pass resampler of sGraphUtils on bitmaps' row views,
// free of Windows headers.
#pragma once

#include "skin/paint/sAlphaGraph_Fast.h"

enum TFilterType { ftBox, ftTriangle, ftHermite, ftBell, ftSpline, ftLanczos3, ftMitchell };

// Support radius of each filter.
extern const float kvFilterRadius[ftMitchell + 1];

// The filter's weight at distance H (0 <= H < radius).  SignedH is the
// signed distance; the box gives a tie at -0.5 to the other side.
double FilterWeight(TFilterType Filter, double H, double SignedH);

namespace kvPaint {

// Resamples all of Src into all of Dst (same pixel size, 3 or 4 bytes; every
// byte of a pixel, alpha included) in 16.16 fixed point, first along the
// rows, then along the columns.  A source under 2 x 2 raises Exception
// "Source bitmap is too small"; other mismatches do nothing.
void StretchRows(const TBitmapRows& Src, const TBitmapRows& Dst, TFilterType Filter);

} // namespace kvPaint
