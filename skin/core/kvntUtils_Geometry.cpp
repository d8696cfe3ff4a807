// Rectangles, points and cache records.
#include "skin/core/kvntUtils.h"

int WidthOf(const TRect& R, bool CheckNegative)
{
    int w = R.right - R.left;
    return CheckNegative && w < 0 ? 0 : w;
}

int HeightOf(const TRect& R, bool CheckNegative)
{
    int h = R.bottom - R.top;
    return CheckNegative && h < 0 ? 0 : h;
}

bool RectIsVisible(const TRect& ParentRect, const TRect& R)
{
    return ParentRect.top < R.bottom && ParentRect.left < R.right && R.left < ParentRect.right &&
           R.top < ParentRect.bottom && !R.IsEmpty();
}

bool RectInRect(const TRect& BigRect, const TRect& SmallRect)
{
    auto inside = [&BigRect](LONG x, LONG y) {
        return x >= BigRect.left && x <= BigRect.right && y >= BigRect.top && y <= BigRect.bottom;
    };
    return inside(SmallRect.left, SmallRect.top) && inside(SmallRect.right, SmallRect.bottom);
}

TRect RotateRect(const TRect& R)
{
    return TRect(R.top, R.left, R.bottom, R.right);
}

TRect RectsAnd(const TRect& R1, const TRect& R2)
{
    return TRect(R1.left > R2.left ? R1.left : R2.left, R1.top > R2.top ? R1.top : R2.top,
                 R1.right < R2.right ? R1.right : R2.right, R1.bottom < R2.bottom ? R1.bottom : R2.bottom);
}

TPoint OffsetPoint(const TPoint& P, int DX, int DY)
{
    return TPoint(P.x + DX, P.y + DY);
}

TCacheInfo MakeCacheInfo(TBitmap* Bmp, int X, int Y)
{
    TCacheInfo ci;
    ci.Bmp = Bmp;
    ci.X = X;
    ci.Y = Y;
    ci.FillColor = clFuchsia;
    ci.Ready = true;
    return ci;
}
