// A skinned parentless dialog on a real screen (Xvfb, Wine's X11 driver):
// a dialog from a template with standard children is shown, the screen is
// taken into KV_ARTIFACTS/dialog-screen.png, and the skin's title and close
// button are checked to have reached the screen.
#include <gtest/gtest.h>

#include <memory>

#include "../skin/dialogs/DialogTemplate.h"
#include "../skin/manager/ManagerFixture.h"
#include "../skin/paint/sections/PngFile.h"
#include "classlib/controls/Forms.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/kvDials_Dialog.h"
#include "skin/paint/sGraphUtils.h"

using namespace managertest;
using namespace dlgtest;

TEST(DialogScreens, SkinnedParentlessDialogOnTheScreen)
{
    RegisterSkinFormsServices();
    std::unique_ptr<TsSkinManager> manager(NewManager());
    TDialogTemplate t(kBoxStyle, L"A skinned dialog", 20, 20, 220, 120);
    t.Add({kStatic, SS_LEFT | WS_VISIBLE, 8, 8, 200, 10, 100, L"A parentless dialog with standard children"})
        .Add({kButton, BS_AUTOCHECKBOX | WS_VISIBLE, 8, 24, 90, 10, 101, L"Check box"})
        .Add({kButton, BS_AUTORADIOBUTTON | WS_VISIBLE, 110, 24, 90, 10, 102, L"Radio button"})
        .Add({kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE, 8, 40, 120, 12, 103, L"Edit"})
        .Add({kButton, BS_AUTO3STATE | WS_VISIBLE, 8, 58, 90, 10, 104, L"Three states"})
        .Add({kButton, BS_DEFPUSHBUTTON | WS_VISIBLE, 110, 96, 50, 14, IDOK, L"OK"})
        .Add({kButton, BS_PUSHBUTTON | WS_VISIBLE, 164, 96, 50, 14, IDCANCEL, L"Cancel"});
    HWND d = CreateParentless(t);
    ASSERT_NE(d, nullptr);
    ::CheckDlgButton(d, 104, BST_INDETERMINATE);
    ::ShowWindow(d, SW_SHOW);
    ::SetForegroundWindow(d);
    for (int i = 0; i < 20; ++i)
        Application->ProcessMessages();
    ::RedrawWindow(d, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    ::GdiFlush();

    TkvProvider* entry = FindFormInList(d);
    ASSERT_NE(entry, nullptr);
    TkvDialogWnd* dw = entry->ListSW;
    ASSERT_NE(dw, nullptr);
    RECT w;
    ::GetWindowRect(d, &w);
    const int width = w.right + 20, height = w.bottom + 20;
    std::unique_ptr<TBitmap> shot(CreateBmp24(width, height));
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shot->Canvas()->Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/dialog-screen.png";
    EXPECT_TRUE(pngfile::Write(shot.get(), path)) << path;

    TBitmap* img = dw->SkinData->FCacheBmp;
    ASSERT_NE(img, nullptr);
    auto imagePixel = [img](int X, int Y) {
        const uint8_t* p = img->Rows().Pixel(X, Y);
        return uint32_t(RGB(p[2], p[1], p[0]));
    };
    const TsFrameMetrics m = dw->Metrics();
    const TPoint title(img->Width() / 2, m.SysBorderHeight(false) + m.CaptionHeight(true) / 2 + 6);
    EXPECT_EQ(::GetPixel(screen, w.left + title.x, w.top + title.y) & 0xFFFFFF, imagePixel(title.x, title.y))
        << "the title on the screen";
    const TRect close = dw->ButtonClose.Rect;
    ASSERT_FALSE(close.IsEmpty());
    const TPoint c((close.left + close.right) / 2, (close.top + close.bottom) / 2);
    EXPECT_EQ(::GetPixel(screen, w.left + c.x, w.top + c.y) & 0xFFFFFF, imagePixel(c.x, c.y))
        << "the close button on the screen";
    ::ReleaseDC(nullptr, screen);
    ::DestroyWindow(d);
}
