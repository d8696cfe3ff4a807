// Helpers of the effects tests: PNG files of RGB or RGBA pixels, bitmaps
// of known pixels.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

#include "classlib/rtl/Streams.h"
#include "skin/paint/kvPNG.h"
#include "tests/support/ResourceCount.h"
#include "tests/skin/load/LoadTestUtil.h"

namespace fxtest {

using loadtest::PixelOf;
using loadtest::Px;
using loadtest::Rgb;

// An RGB PNG (colour type 2): Fill's alpha is dropped.
inline std::string RgbPngBytes(int W, int H, const std::function<Px(int, int)>& Fill)
{
    return loadtest::PngBytes(W, H, Fill, false);
}

inline std::unique_ptr<TPNGGraphic> LoadPng(const std::string& Bytes)
{
    auto png = std::make_unique<TPNGGraphic>();
    TMemoryStream s;
    s.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
    s.SetPosition(0);
    png->LoadFromStream(&s);
    return png;
}

// The pixel an icon leaves on a background of Bg at (X, Y).
inline Px IconPixel(HICON Icon, int W, int H, int X, int Y, Px Bg)
{
    auto bmp = loadtest::Solid(W, H, Bg, pf24bit);
    ::DrawIconEx(bmp->Canvas()->Handle(), 0, 0, Icon, W, H, 0, nullptr, DI_NORMAL);
    return PixelOf(bmp.get(), X, Y);
}

// Colour bytes within Tol of each other (alpha not compared).
inline bool Near(Px A, Px B, int Tol = 2)
{
    return std::abs(A.R - B.R) <= Tol && std::abs(A.G - B.G) <= Tol && std::abs(A.B - B.B) <= Tol;
}

} // namespace fxtest
