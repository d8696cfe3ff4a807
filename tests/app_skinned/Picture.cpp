#include "Picture.h"

#include <algorithm>

#include "../skin/paint/sections/PngFile.h"
#include "classlib/graphics/GdiHandles.h"
#include "classlib/graphics/Graphics.h"
#include "support/WineHost.h"

#ifndef KV_ARTIFACTS
#error "KV_ARTIFACTS names the folder of test pictures"
#endif

TRect ScreenArea()
{
    return TRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

TRect WindowArea(HWND Wnd)
{
    RECT r{};
    ::GetWindowRect(Wnd, &r);
    return r;
}

std::wstring ArtifactsFolder()
{
    // The host's folder, reached through the drive that maps the host's root.
    std::wstring path = RunningUnderWine() ? L"Z:" : L"";
    for (char c : std::string(KV_ARTIFACTS))
        path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

TScreenPicture TScreenPicture::OfScreen(const TRect& Area)
{
    TScreenPicture p;
    const TRect screen = ScreenArea();
    p.FArea = TRect(std::max(Area.left, screen.left), std::max(Area.top, screen.top),
                    std::min(Area.right, screen.right), std::min(Area.bottom, screen.bottom));
    if (p.FArea.IsEmpty()) {
        p.FArea = TRect();
        return p;
    }
    const int w = p.FArea.Width(), h = p.FArea.Height();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScreenDC screenDC;
    GdiObject<HBITMAP> dib(::CreateDIBSection(screenDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC mem(screenDC);
    if (!dib || !bits)
        return TScreenPicture();
    {
        SelectedObject sel(mem, dib.Get());
        ::BitBlt(mem, 0, 0, w, h, screenDC, p.FArea.left, p.FArea.top, SRCCOPY);
    }
    ::GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    p.FPixels.assign(px, px + std::size_t(w) * std::size_t(h));
    for (uint32_t& v : p.FPixels)
        v &= 0xFFFFFF;  // BGRA in memory reads as 0xAARRGGBB
    return p;
}

uint32_t TScreenPicture::At(int X, int Y) const
{
    if (!Holds(X, Y))
        return 0;
    return FPixels[std::size_t(Y - FArea.top) * std::size_t(FArea.Width()) + std::size_t(X - FArea.left)];
}

bool TScreenPicture::Save(const std::string& Name) const
{
    if (Empty())
        return false;
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(FArea.Width(), FArea.Height());
    const TBitmapRows rows = bmp.Rows();
    for (int y = 0; y < rows.Height; ++y)
        for (int x = 0; x < rows.Width; ++x) {
            const uint32_t v = At(FArea.left + x, FArea.top + y);
            uint8_t* p = rows.Pixel(x, y);
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
            p[2] = uint8_t(v >> 16);
        }
    const std::wstring dir = ArtifactsFolder();
    ::CreateDirectoryW(dir.c_str(), nullptr);
    std::string path;
    for (wchar_t c : dir + L"\\")
        path += char(c);
    return pngfile::Write(&bmp, path + Name + ".png");
}

TScreenPicture SteadyPicture(const TRect& Area, DWORD TimeoutMs)
{
    const DWORD start = ::GetTickCount();
    TScreenPicture last = TScreenPicture::OfScreen(Area);
    for (;;) {
        ::Sleep(400);
        TScreenPicture next = TScreenPicture::OfScreen(Area);
        if (next == last || ::GetTickCount() - start >= TimeoutMs)
            return next;
        last = std::move(next);
    }
}
