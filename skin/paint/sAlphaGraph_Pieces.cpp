#include "skin/paint/sAlphaGraph_Pieces.h"

#include <algorithm>

namespace kvPaint {

void ShrinkCorners(int Length, int& Near, int& Far)
{
    Near = std::max(Near, 0);
    Far = std::max(Far, 0);
    // In 64 bits: two corners near the int limit would overflow the sum.
    const int64_t excess = int64_t(Near) + Far - std::max(Length, 0);
    if (excess <= 0)
        return;
    // Cutting by the excess itself (not by the length's parity) keeps the
    // two corners meeting exactly when their widths differ.
    // Both are at most the length now (at most an int apart from the corners).
    const int half = int(excess / 2);
    Near -= half;
    Far -= int(excess - half);
    if (Far < 0) {
        Near += Far;
        Far = 0;
    }
    if (Near < 0) {
        Far += Near;
        Near = 0;
    }
}

void TileArea(TPiece Piece, const TkvRect& Area, TkvPoint Origin, int W, int H, TPieceSink& Sink)
{
    if (W <= 0 || H <= 0 || Sink.Tile(Piece, Area, Origin, W, H))
        return;
    auto place = [&](int x, int y, int w, int h) {
        Sink.Copy(Piece, {x, y, x + w, y + h}, {Origin.X, Origin.Y, Origin.X + w, Origin.Y + h}, false);
    };
    auto row = [&](int y, int h) {
        int x = Area.Left;
        for (; x < Area.Right - W; x += W)
            place(x, y, W, h);
        if (x < Area.Right)
            place(x, y, Area.Right - x, h);
    };
    int y = Area.Top;
    for (; y < Area.Bottom - H; y += H)
        row(y, H);
    if (y < Area.Bottom)
        row(y, Area.Bottom - y);
}

namespace {

struct TNineGeometry {
    int L, T, Rw, B;   // corner sizes after shrinking
    int SW, SH;        // middle sizes of the source frame
    int IX, IY, FH;    // frame origin in the source and picture height
};

TNineGeometry Measure(const TkvRect& R, const TNineImage& Image, int Frame)
{
    TNineGeometry g{Image.WL, Image.WT, Image.WR, Image.WB, 0, 0, 0, 0, 0};
    ShrinkCorners(R.Width(), g.L, g.Rw);
    ShrinkCorners(R.Height(), g.T, g.B);
    const int fw = Image.ImageCount > 0 ? Image.R.Width() / Image.ImageCount : 0;
    g.FH = Image.PictureHeight;
    g.SW = std::max(0, fw - g.L - g.Rw);
    g.SH = std::max(0, g.FH - g.T - g.B);
    g.IX = Image.R.Left + Frame * fw;
    g.IY = Image.R.Top;
    return g;
}

void Side(TPiece Piece, const TkvRect& Area, const TkvRect& Src, bool Stretch, TPieceSink& Sink)
{
    if (Area.Width() <= 0 || Area.Height() <= 0)
        return;
    if (Stretch) {
        if (Src.Width() > 0 && Src.Height() > 0)
            Sink.Copy(Piece, Area, Src, true);
        return;
    }
    TileArea(Piece, Area, {Src.Left, Src.Top}, Src.Width(), Src.Height(), Sink);
}

void Corner(TPiece Piece, int X, int Y, const TkvRect& Src, TPieceSink& Sink)
{
    if (Src.Width() > 0 && Src.Height() > 0)
        Sink.Copy(Piece, {X, Y, X + Src.Width(), Y + Src.Height()}, Src, false);
}

} // namespace

void PlanNinePieces(const TkvRect& R, const TNineImage& Image, const TNineOptions& Options, TPieceSink& Sink)
{
    if (R.Width() < 2 || R.Height() < 2 || Image.ImageCount <= 0)
        return;
    const TNineGeometry g = Measure(R, Image, Options.Frame);
    // Source pieces: columns IX, IX + L, IX + L + SW; rows IY, IY + T, IY + FH - B.
    const int cx[3] = {g.IX, g.IX + g.L, g.IX + g.L + g.SW};
    const int cw[3] = {g.L, g.SW, g.Rw};
    const int ry[3] = {g.IY, g.IY + g.T, g.IY + g.FH - g.B};
    const int rh[3] = {g.T, g.SH, g.B};
    auto src = [&](int col, int row) {
        return TkvRect{cx[col], ry[row], cx[col] + cw[col], ry[row] + rh[row]};
    };
    const int left = R.Left + g.L, right = R.Right - g.Rw, top = R.Top + g.T, bottom = R.Bottom - g.B;
    const bool st = Options.StretchSides;

    Corner(TPiece::TopLeft, R.Left, R.Top, src(0, 0), Sink);
    Side(TPiece::Left, {R.Left, top, left, bottom}, src(0, 1), st, Sink);
    Side(TPiece::Top, {left, R.Top, right, top}, src(1, 0), st, Sink);
    Corner(TPiece::BottomLeft, R.Left, bottom, src(0, 2), Sink);
    Side(TPiece::Bottom, {left, bottom, right, R.Bottom}, src(1, 2), st, Sink);
    Corner(TPiece::BottomRight, right, bottom, src(2, 2), Sink);
    Corner(TPiece::TopRight, right, R.Top, src(2, 0), Sink);
    Side(TPiece::Right, {right, top, R.Right, bottom}, src(2, 1), st, Sink);
    if (Options.Center)
        Side(TPiece::Center, {left, top, right, bottom}, src(1, 1), Options.StretchCenter, Sink);
}

} // namespace kvPaint
