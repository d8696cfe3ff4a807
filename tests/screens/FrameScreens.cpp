// Skinned forms of the viewer's four border styles on a real screen: this
// program runs under Xvfb in a Wine prefix of its own with Wine's X11
// driver (tests/screens/x11run), shows the forms, takes the screen and
// writes it to KV_ARTIFACTS/frame-screens.png.  A smoke run: it checks that
// the skin's title and buttons reached the screen and that the rounded
// corners let the screen behind show through.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "../skin/manager/ManagerFixture.h"
#include "../skin/paint/sections/PngFile.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sGraphUtils.h"

using namespace managertest;

namespace {

struct TShown {
    const wchar_t* Caption;
    TFormBorderStyle Style;
    TPoint At;
    TForm* Form = nullptr;
};

uint32_t ScreenPixel(HDC Screen, int X, int Y)
{
    return ::GetPixel(Screen, X, Y) & 0xFFFFFF;
}

uint32_t ImagePixel(TBitmap* Bmp, int X, int Y)
{
    const uint8_t* p = Bmp->Rows().Pixel(X, Y);
    return RGB(p[2], p[1], p[0]);
}

} // namespace

TEST(FrameScreens, SkinnedFormsOfEachStyleOnTheScreen)
{
    RegisterSkinFormsServices();
    std::unique_ptr<TsSkinManager> manager(NewManager());
    std::vector<TShown> shown = {{L"Sizeable", bsSizeable, {30, 30}},
                                 {L"None", bsNone, {390, 30}},
                                 {L"Dialog", bsDialog, {30, 270}},
                                 {L"Size tool window", bsSizeToolWin, {390, 270}}};
    for (TShown& s : shown) {
        s.Form = TForm::CreateNew(Application);
        s.Form->SetBorderStyle(s.Style);
        s.Form->SetCaption(s.Caption);
        s.Form->SetBounds(s.At.x, s.At.y, 320, 200);
        auto* label = New<TLabel>(s.Form);
        label->SetParent(s.Form);
        label->SetBounds(16, 16, 280, 20);
        label->SetCaption(UnicodeString(L"A skinned form: ") + s.Caption);
        s.Form->Show();
    }
    ::SetForegroundWindow(shown[0].Form->Handle());
    for (int i = 0; i < 20; ++i)
        Application->ProcessMessages();
    for (TShown& s : shown)
        ::RedrawWindow(s.Form->Handle(), nullptr, nullptr,
                       RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    ::GdiFlush();

    const int width = 740, height = 500;
    std::unique_ptr<TBitmap> shot(CreateBmp24(width, height));
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shot->Canvas()->Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/frame-screens.png";
    EXPECT_TRUE(pngfile::Write(shot.get(), path)) << path;

    const uint32_t behind = ScreenPixel(screen, width - 5, height - 5);
    for (TShown& s : shown) {
        SCOPED_TRACE(std::string(s.Caption, s.Caption + wcslen(s.Caption)));
        TsSkinProvider* sp = GetSkinProvider(s.Form);
        ASSERT_NE(sp, nullptr);
        RECT w;
        ::GetWindowRect(s.Form->Handle(), &w);
        TBitmap* img = sp->SkinData()->FCacheBmp;
        ASSERT_NE(img, nullptr);
        if (s.Style == bsNone)
            continue;
        const TsFrameMetrics m = sp->Metrics();
        const TPoint title(m.IconRect().right + 60, m.SysBorderHeight(false) + m.CaptionHeight(true) / 2);
        EXPECT_EQ(ScreenPixel(screen, w.left + title.x, w.top + title.y), ImagePixel(img, title.x, title.y))
            << "the title on the screen";
        const TRect close = sp->ButtonClose.Rect;
        const TPoint c((close.left + close.right) / 2, (close.top + close.bottom) / 2);
        EXPECT_EQ(ScreenPixel(screen, w.left + c.x, w.top + c.y), ImagePixel(img, c.x, c.y))
            << "the close button on the screen";
        EXPECT_EQ(ScreenPixel(screen, w.left, w.top), behind) << "the corner cut away";
    }
    ::ReleaseDC(nullptr, screen);
    for (TShown& s : shown) {
        TObject* o = s.Form;
        FreeAndNil(o);
    }
}
