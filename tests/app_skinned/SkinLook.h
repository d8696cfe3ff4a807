// What the built-in skin must show on screen, read from the skin's own
// images and sections (never written down by hand): the colours of a form's
// outer border, of the title band, of a push button's outer border, of a
// popup menu's background, and the close button's picture.  The pixel
// checks of the skinned viewer's pictures compare against these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Picture.h"

// A picture of a skin image's state: its colours and how opaque each pixel is
// (255 opaque, 0 transparent).
struct TSkinGlyph {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Colour;   // 0xRRGGBB, row by row
    std::vector<uint8_t> Opacity;
    uint32_t At(int X, int Y) const { return Colour[std::size_t(Y * Width + X)]; }
    uint8_t OpacityAt(int X, int Y) const { return Opacity[std::size_t(Y * Width + X)]; }
};

// The smallest box of colours holding every colour given, by component.
struct TColourBox {
    uint8_t Lo[3] = {255, 255, 255}, Hi[3] = {0, 0, 0};
    void Add(uint32_t Rgb);
    // Inside the box, each component within Slack of it.
    bool Holds(uint32_t Rgb, int Slack) const;
    std::string Describe() const;
};

struct TSkinLook {
    // The form border's outermost column, every state (inactive, active).
    std::vector<uint32_t> FrameEdge;
    // The title band's fill: its gradients and colours, inactive and active.
    TColourBox TitleFill;
    // The title band's outer border, every state.
    std::vector<uint32_t> TitleEdge;
    // The title's close button, normal state, in each of the skin's
    // pictures for it: beside other buttons, alone (a dialog's), small (a
    // tool window's).
    std::vector<TSkinGlyph> Closes;
    // A push button's outermost column, every state.
    std::vector<uint32_t> ButtonEdge;
    // A popup menu's background: the menu sections' colours.
    std::vector<uint32_t> MenuBack;
};

// Reads the built-in skin the build packed; false (with Error set) when it
// cannot be read or lacks one of the pieces.
bool LoadSkinLook(TSkinLook& Look, std::string& Error);

// Whether Rgb is one of Colours, each component within Slack.
bool OneOf(uint32_t Rgb, const std::vector<uint32_t>& Colours, int Slack);
std::string Hex(uint32_t Rgb);
std::string Hexes(const std::vector<uint32_t>& Colours);

// Where the glyph's opaque pixels all show in the picture within Area (and
// a few of its transparent pixels do not show the glyph's colour): the
// top-left corner of the first such place, or {-1, -1}.
TPoint FindGlyph(const TScreenPicture& Picture, const TRect& Area, const TSkinGlyph& Glyph, int Slack);
