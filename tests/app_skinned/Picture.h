// Photographs of the screen as the reader sees it: the pixels of a part of
// the screen, read back from the X server through Wine's screen device
// context, and written as PNG files under the artifacts folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/graphics/Types.h"

class TScreenPicture {
public:
    TScreenPicture() = default;
    // The screen's pixels in Area (screen coordinates), cut to the screen.
    static TScreenPicture OfScreen(const TRect& Area);

    // Screen coordinates of the picture.
    const TRect& Area() const { return FArea; }
    bool Empty() const { return FArea.IsEmpty(); }
    bool Holds(int X, int Y) const { return FArea.Contains(TPoint(X, Y)); }
    // The pixel at screen point (X, Y) as 0xRRGGBB; 0 outside the picture.
    uint32_t At(int X, int Y) const;
    bool operator==(const TScreenPicture& Other) const { return FArea == Other.FArea && FPixels == Other.FPixels; }

    // Writes KV_ARTIFACTS/<Name>.png; false when it cannot be written.
    bool Save(const std::string& Name) const;

private:
    TRect FArea;
    std::vector<uint32_t> FPixels;  // row by row from the top
};

// The screen within Area once it has stopped changing (two photographs a
// moment apart alike), or the last photograph when TimeoutMs has passed.
TScreenPicture SteadyPicture(const TRect& Area, DWORD TimeoutMs = 8000);

// A window's rectangle on the screen.
TRect WindowArea(HWND Wnd);
// The screen's rectangle.
TRect ScreenArea();
// The artifacts folder as this process names it.
std::wstring ArtifactsFolder();
