// The viewer's message form on a real screen (Xvfb, Wine's X11 driver):
// its push buttons, wrapped by the form's control adapter, show the skin's
// BUTTON section.  Writes KV_ARTIFACTS/message-form-screen.png.
#include <gtest/gtest.h>

#include <memory>

#include "../skin/manager/ManagerFixture.h"
#include "../skin/paint/sections/PngFile.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/core/sCommonData.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/wrappers/kvSBUtils.h"

using namespace managertest;

namespace {

// The skin's BUTTON section in State at Width x Height over the form's colour.
std::unique_ptr<TBitmap> ButtonSection(TsSkinManager* Manager, int State, int Width, int Height)
{
    std::unique_ptr<TBitmap> b(CreateBmp24(Width, Height));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(L"BUTTON");
    TCacheInfo ci;
    ci.FillColor = ColorToRGB(Manager->GetGlobalColor());
    FillDC(b->Canvas()->Handle(), TRect(0, 0, Width, Height), ci.FillColor);
    PaintItem(&data, ci, true, State, TRect(0, 0, Width, Height), TPoint(10, 10), b.get(), true);
    return b;
}

uint32_t ScreenPixel(HDC Screen, int X, int Y)
{
    return ::GetPixel(Screen, X, Y) & 0xFFFFFF;
}

} // namespace

TEST(MessageFormScreens, WrappedPushButtonsOnTheScreen)
{
    RegisterSkinFormsServices();
    std::unique_ptr<TsSkinManager> manager(NewManager());
    TForm* form = CreateMessageDialog(L"Save the changes to the book?", mtConfirmation,
                                      TMsgDlgButtons{mbYes, mbNo, mbCancel});
    auto* mf = dynamic_cast<TMessageForm*>(form);
    ASSERT_NE(mf, nullptr);
    form->SetLeft(40);
    form->SetTop(40);
    form->Show();
    ::SetForegroundWindow(form->Handle());
    for (int i = 0; i < 20; ++i)
        Application->ProcessMessages();
    ::RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    ::GdiFlush();

    RECT w;
    ::GetWindowRect(form->Handle(), &w);
    const int width = int(w.right) + 40, height = int(w.bottom) + 40;
    std::unique_ptr<TBitmap> shot(CreateBmp24(width, height));
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shot->Canvas()->Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/message-form-screen.png";
    EXPECT_TRUE(pngfile::Write(shot.get(), path)) << path;

    // A button's top edge on the screen is the skin's BUTTON section (the
    // default button shows its focused state).
    for (TMsgDlgBtn b : {mbYes, mbNo, mbCancel}) {
        TButton* button = mf->Button(b);
        ASSERT_NE(button, nullptr);
        ASSERT_NE(Kv_GetScrollWndFromHwnd(button->Handle()), nullptr) << "wrapped: " << int(b);
        RECT r;
        ::GetWindowRect(button->Handle(), &r);
        const int bw = int(r.right - r.left), bh = int(r.bottom - r.top);
        std::unique_ptr<TBitmap> want = ButtonSection(manager.get(), button->Default() ? 1 : 0, bw, bh);
        int differ = 0;
        for (int y = 0; y < 2; ++y)
            for (int x = 4; x < bw - 4; ++x)
                differ += ScreenPixel(screen, r.left + x, r.top + y) !=
                          (::GetPixel(want->Canvas()->Handle(), x, y) & 0xFFFFFF);
        EXPECT_EQ(differ, 0) << "the button's top edge on the screen: " << int(b);
    }
    ::ReleaseDC(nullptr, screen);
    TObject* o = form;
    FreeAndNil(o);
}
