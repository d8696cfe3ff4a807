// The built-in skin painted through PaintItem: every section in the normal,
// hot and pressed states (active and inactive for titles) at two sizes,
// captioned in the section's own font colours over a checker that shows
// transparency.  The sheet is written to KV_ARTIFACTS/section-sheet.png.
#include <gtest/gtest.h>

#include <string>

#include "../PaintTestUtils.h"
#include "PngFile.h"
#include "classlib/controls/Dialogs.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/paint/sGraphUtils.h"

#ifndef KV_BUILT_SKIN
#error "KV_BUILT_SKIN names the skin folder of the build"
#endif
#ifndef KV_ARTIFACTS
#error "KV_ARTIFACTS names the folder of test pictures"
#endif

namespace {

// The loaded skin as a manager offers it to the painting routines.
class TBuiltinStore : public TObject, public TsSkinStore {
public:
    TsSkinData Data;
    TBuiltinStore()
    {
        SkinData = &Data;
        StoreOwner = this;
    }
};

std::wstring Wide(const std::string& S)
{
    return std::wstring(S.begin(), S.end());
}

constexpr int Gap = 6;
constexpr TSize Sizes[2] = {{76, 24}, {170, 44}};
constexpr int States = 3;

void PaintChecker(TBitmap* B)
{
    const TBitmapRows rows = B->Rows();
    for (int y = 0; y < rows.Height; ++y)
        for (int x = 0; x < rows.Width; ++x) {
            const uint8_t v = ((x / 8 + y / 8) & 1) ? 0xE8 : 0xC8;
            uint8_t* p = rows.Pixel(x, y);
            p[0] = p[1] = p[2] = v;
        }
}

// One cell: the section over the sheet's own pixels at (X, Y), its name in
// its font colours.
void PaintCell(TBuiltinStore& Skin, TBitmap* Sheet, int Index, int State, int X, int Y, TSize Size)
{
    TBitmapPtr cell(CreateBmp24(Size.cx, Size.cy));
    const TsGeneralData& gd = Skin.gd[std::size_t(Index)];
    PaintItem(Index, gd.ClassName, MakeCacheInfo(Sheet, X, Y), true, State, TRect(0, 0, Size.cx, Size.cy),
              TPoint(0, 0), cell.get(), &Skin);
    TRect r(2, 0, Size.cx - 2, Size.cy);
    static const wchar_t* const names[States] = {L"normal", L"hot", L"pressed"};
    const UnicodeString caption = gd.ClassName + L" " + names[State];
    cell->Canvas()->Font()->SetHeight(-11);
    WriteTextEx(cell->Canvas(), caption.c_str(), true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
                Index, State != 0, &Skin);
    ::BitBlt(Sheet->Canvas()->Handle(), X, Y, Size.cx, Size.cy, cell->Canvas()->Handle(), 0, 0, SRCCOPY);
}

uint32_t CellPixel(TBitmap* Sheet, int Row, int Column, int X, int Y)
{
    int cx = Gap;
    for (int c = 0; c < Column; ++c)
        cx += Sizes[c / States].cx + Gap;
    return PixelOf(Sheet, cx + X, Gap + Row * (Sizes[1].cy + Gap) + Y);
}

} // namespace

TEST(ContactSheet, EverySectionOfTheBuiltinSkin)
{
    TDialogSeamScope seam;
    TBuiltinStore skin;
    const std::wstring dir = Wide(KV_BUILT_SKIN);
    ASSERT_NO_THROW(skin.ReloadPackedSkin(dir + L"/internal.plz", dir, {}));
    const int sections = int(skin.gd.size());
    ASSERT_GT(sections, 10);

    int width = Gap;
    for (const TSize& s : Sizes)
        width += States * (s.cx + Gap);
    TBitmapPtr sheet(CreateBmp24(width, Gap + sections * (Sizes[1].cy + Gap)));
    PaintChecker(sheet.get());
    for (int i = 0; i < sections; ++i) {
        int x = Gap;
        const int y = Gap + i * (Sizes[1].cy + Gap);
        for (const TSize& size : Sizes)
            for (int state = 0; state < States; ++state) {
                PaintCell(skin, sheet.get(), i, state, x, y, size);
                x += size.cx + Gap;
            }
    }
    const std::string path = std::string(KV_ARTIFACTS) + "/section-sheet.png";
    ::CreateDirectoryW(Wide(KV_ARTIFACTS).c_str(), nullptr);
    EXPECT_TRUE(pngfile::Write(sheet.get(), path)) << path;
    EXPECT_EQ(seam.Count(), 0u);

    // The button's hot frame and the title's inactive frame differ from the normal ones.
    for (const wchar_t* name : {L"BUTTON", L"FORMTITLE"}) {
        const int row = skin.GetSkinIndex(name);
        ASSERT_GE(row, 0) << name;
        bool differs = false;
        for (int y = 0; y < Sizes[1].cy && !differs; ++y)
            differs = CellPixel(sheet.get(), row, 3, 1, y) != CellPixel(sheet.get(), row, 4, 1, y);
        EXPECT_TRUE(differs) << name;
    }
}
