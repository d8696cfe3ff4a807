// What the tests of the skinned controls share: the built-in skin on the
// default manager, a hidden form, the form painted into a bitmap, and pixel
// counts.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sSkinManager.h"
#include "skin/manager/ManagerFixture.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sections/PngFile.h"

#ifndef KV_ARTIFACTS
#error "KV_ARTIFACTS names the folder of test pictures"
#endif

namespace ctltest {

inline TColor Px(TBitmap* Bmp, int X, int Y)
{
    return ::GetPixel(Bmp->Canvas()->Handle(), X, Y);
}

// How often each colour occurs in R.
inline std::map<TColor, int> Colours(TBitmap* Bmp, const TRect& R)
{
    std::map<TColor, int> m;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            ++m[Px(Bmp, x, y)];
    return m;
}

// The commonest colour of R other than Except (clNone when R has no other).
inline TColor Commonest(TBitmap* Bmp, const TRect& R, TColor Except)
{
    TColor best = clNone;
    int n = 0;
    for (auto [c, count] : Colours(Bmp, R))
        if (c != Except && count > n) {
            best = c;
            n = count;
        }
    return best;
}

inline int CountColor(TBitmap* Bmp, const TRect& R, TColor Color)
{
    auto m = Colours(Bmp, R);
    auto it = m.find(Color);
    return it == m.end() ? 0 : it->second;
}

// Writes Bmp under KV_ARTIFACTS for a reader to look at.
inline void SaveArtifact(TBitmap* Bmp, const std::string& Name)
{
    const std::string dir = KV_ARTIFACTS;
    ::CreateDirectoryA(dir.c_str(), nullptr);
    pngfile::Write(Bmp, dir + "/" + Name);
}

// The built-in skin on the default manager and a hidden form.
class ControlsTest : public ::testing::Test {
protected:
    TsSkinManager* Manager = nullptr;
    // Owned by the application, so that the manager's broadcasts reach it.
    TOwned<TForm> Form{TForm::CreateNew(Application)};

    void SetUp() override
    {
        Manager = managertest::NewManager();
        ASSERT_EQ(DefaultManager, Manager);
        Form->SetBounds(0, 0, 320, 240);
        Form->HandleNeeded();
    }
    void TearDown() override
    {
        Form.reset();
        FreeAndNil(Manager);
    }
    // The form's client area as it paints, controls included.
    TOwned<TBitmap> Painted()
    {
        const TRect r = Form->ClientRect();
        TOwned<TBitmap> b(New<TBitmap>(r.Width(), r.Height(), pf24bit));
        Form->PaintTo(b->Canvas()->Handle(), 0, 0);
        ::GdiFlush();
        return b;
    }
    // The colour the unskinned form paints behind its controls.
    TColor FormColour() { return ColorToRGB(Form->Color()); }
};

} // namespace ctltest
