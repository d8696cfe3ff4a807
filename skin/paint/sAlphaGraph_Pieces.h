// Geometry of the skin-mask renderer, free of Windows headers: where the
// nine pieces of a border image go when it frames a rectangle, and which
// piece of the image each one copies.  The bound routines (sAlphaGraph,
// sBorders) carry the copies out with the blend that suits the image.
#pragma once

#include "skin/paint/sAlphaGraph_Fast.h"

namespace kvPaint {

// Two corner sizes along one side of Length pixels: when they do not fit,
// both give up about half the excess (the far one the odd pixel), so that
// they meet exactly; a corner that would go negative hands its deficit to
// the other.  Unchanged when they fit.
void ShrinkCorners(int Length, int& Near, int& Far);

// A border image as the renderer reads it: its rectangle in the source
// bitmap, the number of state frames, the height of the picture part and the
// widths of the border pieces.
struct TNineImage {
    TkvRect R;
    int ImageCount = 0;
    int PictureHeight = 0;
    int WL = 0, WT = 0, WR = 0, WB = 0;
};

enum class TPiece { TopLeft, Left, Top, BottomLeft, Bottom, BottomRight, TopRight, Right, Center };

inline bool IsCorner(TPiece P)
{
    return P == TPiece::TopLeft || P == TPiece::TopRight || P == TPiece::BottomLeft || P == TPiece::BottomRight;
}

// Receives the copies of a plan: Src (in the source bitmap) onto Dst.  The
// two have one size, except for a stretched piece, whose Src is the whole
// source piece and Dst the whole area it covers.
class TPieceSink {
public:
    virtual void Copy(TPiece Piece, const TkvRect& Dst, const TkvRect& Src, bool Stretch) = 0;
    // Tiles Area with the W x H piece at Origin in one pass when the sink
    // can give exactly the result of the single copies; false leaves it to them.
    virtual bool Tile(TPiece /*Piece*/, const TkvRect& /*Area*/, TkvPoint /*Origin*/, int /*W*/, int /*H*/)
    {
        return false;
    }

protected:
    ~TPieceSink() = default;
};

struct TNineOptions {
    int Frame = 0;               // state frame, already limited to the image's frames
    bool StretchSides = false;   // one stretched copy per side instead of tiles
    bool StretchCenter = false;  // the same for the centre
    bool Center = false;         // draw the centre piece
};

// Frames R with the image: corners at R's corners, sides tiled (or
// stretched) between them, then the centre on request.  Pieces come in the
// order top-left, left, top, bottom-left, bottom, bottom-right, top-right,
// right, centre.  Nothing for R under 2 x 2 or an image without frames.
void PlanNinePieces(const TkvRect& R, const TNineImage& Image, const TNineOptions& Options, TPieceSink& Sink);

// Tiles Area with whole copies of a W x H piece from its near corner and
// cuts the last column and row at Area's far edges; Src of each copy starts
// at Origin.  Nothing when W or H is not above 0.
void TileArea(TPiece Piece, const TkvRect& Area, TkvPoint Origin, int W, int H, TPieceSink& Sink);

} // namespace kvPaint
