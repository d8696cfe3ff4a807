// A skinned dialog shown with the manager's dialog-show effect: the fade
// runs on a picture of the window image with the dialog's controls printed
// over it, captured before the dialog shows, and the dialog ends visible
// with its skinned region.
#include <algorithm>
#include <vector>

#include "DialogFixture.h"
#include "skin/core/sSkinManager_Anim.h"
#include "skin/core/sVclUtils_Anim.h"

using namespace dlgtest;

namespace {

int Pauses = 0;
TBitmap* Captured = nullptr;
void CapturePause(DWORD)
{
    if (Pauses++ == 0 && kvDstBmp) {
        Captured = new TBitmap(kvDstBmp->Width(), kvDstBmp->Height(), pf24bit);
        ::BitBlt(Captured->Canvas()->Handle(), 0, 0, kvDstBmp->Width(), kvDstBmp->Height(),
                 kvDstBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
}

} // namespace

class DialogAnimShow : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        Pauses = 0;
        Captured = nullptr;
        kvAnimPause = &CapturePause;
    }
    void TearDown() override
    {
        kvAnimPause = OldPause;
        FreeAndNil(Captured);
        DialogTest::TearDown();
    }
    void (*OldPause)(DWORD) = kvAnimPause;
};

TEST_F(DialogAnimShow, FadesInFromTheImageWithItsControls)
{
    TkvDialogShow* show = Manager->AnimEffects()->DialogShow();
    show->SetActive(true);
    show->SetTime(100);
    show->SetMode(atFading);
    TDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, L"Shown", 10, 10, 200, 100);
    t.Add({kButton, BS_PUSHBUTTON | WS_VISIBLE, 20, 20, 60, 20, 1, L"OK"});
    HWND d = NewDialog(t);
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    EXPECT_GT(Pauses, 0) << "the show was animated";
    ASSERT_NE(Captured, nullptr);
    RECT wr;
    ::GetWindowRect(d, &wr);
    ASSERT_EQ(Captured->Width(), wr.right - wr.left);
    ASSERT_EQ(Captured->Height(), wr.bottom - wr.top);
    EXPECT_TRUE(::IsWindowVisible(d));
    // The frame and client from the window image, the button printed on it.
    dw->SkinData->BGChanged = true;
    dw->PaintAll();
    TBitmap* img = dw->SkinData->FCacheBmp;
    const TsFrameMetrics m = dw->Metrics();
    const TPoint bg(m.OffsetX() + 3, m.OffsetY() + 3);
    EXPECT_EQ(PixelAt(Captured, bg.x, bg.y), PixelAt(img, bg.x, bg.y)) << "client background";
    EXPECT_EQ(PixelAt(Captured, 2, 2), PixelAt(img, 2, 2)) << "frame";
    RECT br;
    ::GetWindowRect(Item(d, 1), &br);
    POINT p{br.left, br.top};
    ::ScreenToClient(d, &p);
    bool printed = false;
    for (int x = 0; x < br.right - br.left && !printed; ++x)
        printed = PixelAt(Captured, m.OffsetX() + p.x + x, m.OffsetY() + p.y + (br.bottom - br.top) / 2) !=
                  PixelAt(img, m.OffsetX() + p.x + x, m.OffsetY() + p.y + (br.bottom - br.top) / 2);
    EXPECT_TRUE(printed) << "the button was printed over the image";
    // The animation's window took no region of the dialog's: the skinned one is back.
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(::GetWindowRgn(d, rgn), ERROR);
    ::DeleteObject(rgn);
}

TEST_F(DialogAnimShow, NoAnimationWithoutTimeOrWhenSwitchedOff)
{
    TkvDialogShow* show = Manager->AnimEffects()->DialogShow();
    for (const auto& [active, time] : {std::pair{true, 0}, std::pair{false, 100}}) {
        show->SetActive(active);
        show->SetTime(uint16_t(time));
        Pauses = 0;
        HWND d = NewDialog(TDialogTemplate(WS_POPUP | WS_CAPTION | DS_MODALFRAME, L"Plain", 10, 10, 100, 60));
        EXPECT_EQ(Pauses, 0) << active << " " << time;
        EXPECT_TRUE(::IsWindowVisible(d));
    }
}

// A hot caption button fades in over the dialog (25, rising a step a tick to
// 255), stepped by hand, and the
// fade goes with its dialog.
TEST_F(DialogAnimShow, CaptionButtonFadesInStepByStep)
{
    ASSERT_TRUE(Manager->AllowGlowing());
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Fade", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    dw->SkinData->BGChanged = true;
    dw->PaintAll();
    ASSERT_FALSE(dw->ButtonClose.Rect.IsEmpty());
    dw->SetHotHT(HTCLOSE, true);
    auto* fade = dynamic_cast<TkvSBAnimation*>(dw->ButtonClose.Timer);
    ASSERT_NE(fade, nullptr);
    ASSERT_NE(fade->AForm, nullptr);
    std::vector<int> shown{fade->ShownBlend};
    for (int i = 0; i < 12 && shown.back() < 255; ++i) {
        fade->OnAnimTimer(nullptr);
        shown.push_back(fade->ShownBlend);
    }
    EXPECT_EQ(shown.front(), 25);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << "rising";
    EXPECT_EQ(shown.back(), 255);
    RECT fw, w;
    ::GetWindowRect(fade->AForm->Handle(), &fw);
    ::GetWindowRect(d, &w);
    EXPECT_EQ(fw.left - w.left, dw->ButtonClose.Rect.left) << "over the button";
    const HWND fadeWnd = fade->AForm->Handle();
    ::DestroyWindow(d);
    Application->ProcessMessages();
    EXPECT_FALSE(::IsWindow(fadeWnd)) << "the fade window went with its dialog";
}
