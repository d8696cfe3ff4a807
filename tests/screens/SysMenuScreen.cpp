// The skinned system menu open on a real screen (Xvfb, Wine's X11 driver):
// dropped from the caption's icon of a skinned form, drawn by the skinned
// menus; the screen is written to KV_ARTIFACTS/sysmenu-screen.png while the
// menu shows.  A smoke run: the popup shows its background picture from
// the skin.
#include <gtest/gtest.h>

#include <memory>

#include "../skin/frame/MenuWatch.h"
#include "../skin/manager/ManagerFixture.h"
#include "../skin/paint/sections/PngFile.h"
#include "classlib/controls/Forms.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sGraphUtils.h"

using namespace managertest;

TEST(SysMenuScreen, TheOpenSystemMenuOnTheScreen)
{
    RegisterSkinFormsServices();
    std::unique_ptr<TsSkinManager> manager(NewManager());
    TForm* form = TForm::CreateNew(Application);
    form->SetCaption(L"System menu");
    form->SetBounds(30, 30, 360, 240);
    form->Show();
    ::SetForegroundWindow(form->Handle());
    for (int i = 0; i < 20; ++i)
        Application->ProcessMessages();
    TsSkinProvider* sp = GetSkinProvider(form);
    ASSERT_NE(sp, nullptr);

    const int width = 480, height = 360;
    std::unique_ptr<TBitmap> shot(CreateBmp24(width, height));
    RECT popupRect{};
    // The popup's picture goes with its window: read while the menu shows.
    bool havePicture = false;
    COLORREF pictured = 0;
    TMenuWatch watch([&](HWND Popup) {
        ::RedrawWindow(Popup, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ::GdiFlush();
        ::GetWindowRect(Popup, &popupRect);
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(shot->Canvas()->Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
        // The popup's right frame, half-way down, in its picture.
        TBitmap* picture = MenuInfoArray.empty() ? nullptr : MenuInfoArray[0].Bmp;
        const int px = popupRect.right - 2 - popupRect.left, py = (popupRect.bottom - popupRect.top) / 2;
        if (picture && px >= 0 && px < picture->Width() && py >= 0 && py < picture->Height()) {
            const uint8_t* p = picture->Rows().Pixel(px, py);
            pictured = RGB(p[2], p[1], p[0]);
            havePicture = true;
        }
    });
    RECT w;
    ::GetWindowRect(form->Handle(), &w);
    const TRect icon = sp->IconRect();
    const LPARAM at = MAKELPARAM(w.left + (icon.left + icon.right) / 2, w.top + (icon.top + icon.bottom) / 2);
    ::SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTSYSMENU, at);
    ASSERT_EQ(watch.Opened, 1);

    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/sysmenu-screen.png";
    EXPECT_TRUE(pngfile::Write(shot.get(), path)) << path;

    ASSERT_TRUE(havePicture) << "the popup's picture from the skin, of the popup's size";
    EXPECT_GT(popupRect.right - popupRect.left, 40);
    EXPECT_GE(popupRect.top, w.top) << "dropped below the icon";
    // The popup's right frame on the screen is the picture's.
    const int py = (popupRect.bottom - popupRect.top) / 2;
    const COLORREF onScreen = ::GetPixel(shot->Canvas()->Handle(), popupRect.right - 2, popupRect.top + py);
    EXPECT_EQ(onScreen & 0xFFFFFF, pictured);
    TObject* o = form;
    FreeAndNil(o);
}
