// An MDI main form with two children: its MDI client wrapped while the
// form is skinned, the wall painted from the form's window image, the
// children's system menus taken away when they are tiled, the maximised
// child's buttons in the main form's menu line, and the MDI support made
// once and freed without leaving anything behind.
#include "FrameFixture.h"
#include "skin/core/sMessages.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_MDI.h"

using namespace frametest;

class MDIWall : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(Application->MainForm(), nullptr);
        Application->CreateForm(Main);
        Main->SetFormStyle(fsMDIForm);
        Main->SetBounds(0, 0, 600, 450);
        AddMenu(Main, {L"File", L"Window"});
        Main->Show();
        for (TForm*& child : Children) {
            child = TForm::CreateNew(Main);
            child->SetFormStyle(fsMDIChild);
            child->SetBounds(10, 10, 200, 150);
            child->Show();
        }
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        MDISkinProvider = nullptr;
        TObject* o = Main;
        FreeAndNil(o);
        FrameTest::TearDown();
    }
    TsMDIForm* Support() { return dynamic_cast<TsMDIForm*>(ProviderOf(Main)->MDIForm); }
    TkvMDIWnd* ClientWrapper() { return dynamic_cast<TkvMDIWnd*>(Kv_GetScrollWndFromHwnd(Main->ClientHandle())); }

    TForm* Main = nullptr;
    TForm* Children[2] = {};
};

TEST_F(MDIWall, ClientWrappedAndPaintedFromTheFormsImage)
{
    ASSERT_NE(Support(), nullptr) << "the skinned MDI form has its MDI support";
    EXPECT_EQ(MDISkinProvider, ProviderOf(Main));
    TkvMDIWnd* w = ClientWrapper();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w, Support()->ListSW);
    EXPECT_EQ(w->MDISkinData, ProviderOf(Main)->SkinData());
    ASSERT_TRUE(w->WallEnabled());
    ASSERT_FALSE(w->MaximisedChild());

    RECT cr;
    ::GetClientRect(Main->ClientHandle(), &cr);
    TOwned<TBitmap> wall(New<TBitmap>(int(cr.right), int(cr.bottom), pf24bit));
    FillDC(wall->Canvas()->Handle(), TRect(0, 0, cr.right, cr.bottom), TColor(0x00FF00));
    EXPECT_EQ(::SendMessageW(Main->ClientHandle(), WM_ERASEBKGND, WPARAM(wall->Canvas()->Handle()), 0), 1);
    TsSkinProvider* sp = ProviderOf(Main);
    TBitmap* img = sp->SkinData()->FCacheBmp;
    ASSERT_NE(img, nullptr);
    const TRect r = w->MDIClientRect();
    const int edge = (::GetWindowLongW(Main->ClientHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0;
    for (const TPoint& p : {TPoint(5, 5), TPoint(cr.right / 2, cr.bottom / 2), TPoint(cr.right - 3, cr.bottom - 3)})
        EXPECT_EQ(PixelAt(wall.get(), p.x, p.y), PixelAt(img, r.left + edge + p.x, r.top + edge + p.y))
            << p.x << "," << p.y;
    EXPECT_NE(PixelAt(wall.get(), 5, 5), (TRgb{0, 255, 0})) << "the wall was painted";
}

TEST_F(MDIWall, TilingTakesTheSystemMenuFromTheActiveChild)
{
    TForm* active = Main->ActiveMDIChild();
    ASSERT_NE(active, nullptr);
    const LONG s = ::GetWindowLongW(active->Handle(), GWL_STYLE);
    ::SetWindowLongW(active->Handle(), GWL_STYLE, s | WS_SYSMENU);
    Main->Tile();
    EXPECT_FALSE(::GetWindowLongW(active->Handle(), GWL_STYLE) & WS_SYSMENU);
}

TEST_F(MDIWall, MaximisedChildsButtonsInTheMenuLineAndNoWall)
{
    Children[1]->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    TsSkinProvider* sp = ProviderOf(Main);
    ASSERT_TRUE(ClientWrapper()->MaximisedChild());
    ASSERT_TRUE(sp->MDIButtonsNeeded());
    Image(sp);
    EXPECT_FALSE(sp->MDIClose.Rect.IsEmpty());
    EXPECT_EQ(sp->Metrics().HitTest(CentreOf(sp->MDIClose.Rect)), HTMDICLOSE);
    // The maximised child covers the wall: nothing is painted into the context.
    TOwned<TBitmap> wall(New<TBitmap>(20, 20, pf24bit));
    FillDC(wall->Canvas()->Handle(), TRect(0, 0, 20, 20), TColor(0x00FF00));
    ::SendMessageW(Main->ClientHandle(), WM_ERASEBKGND, WPARAM(wall->Canvas()->Handle()), 0);
    EXPECT_EQ(PixelAt(wall.get(), 5, 5), (TRgb{0, 255, 0}));
}

TEST_F(MDIWall, SupportMadeOnceAndFreedWithoutLeaks)
{
    TsSkinProvider* sp = ProviderOf(Main);
    TObject* first = sp->MDIForm;
    ASSERT_NE(first, nullptr);
    sp->HookMDI(true);
    EXPECT_EQ(sp->MDIForm, first) << "a second hook keeps the first support";
    const TResourceCount before = CountResources();
    for (int i = 0; i < 20; ++i) {
        sp->HookMDI(false);
        EXPECT_EQ(sp->MDIForm, nullptr);
        EXPECT_EQ(MDISkinProvider, sp) << "unhooking leaves MDISkinProvider";
        EXPECT_EQ(Kv_GetScrollWndFromHwnd(Main->ClientHandle()), nullptr);
        sp->HookMDI(true);
        ASSERT_NE(ClientWrapper(), nullptr);
    }
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    // The skin's removal takes the support and the client's wrapper away.
    Manager->SetActive(false);
    EXPECT_EQ(sp->MDIForm, nullptr);
    EXPECT_EQ(Kv_GetScrollWndFromHwnd(Main->ClientHandle()), nullptr);
}

TEST_F(MDIWall, NewMDIMenuMarksTheMenuLineForRebuilding)
{
    TsSkinProvider* sp = ProviderOf(Main);
    Image(sp);
    sp->MenuChanged = false;
    sp->FLinesCount = 1;
    ASSERT_FALSE(sp->SkinData()->BGChanged);
    const HMENU menu = ::GetMenu(Main->Handle());
    ::SendMessageW(Main->ClientHandle(), WM_MDISETMENU, WPARAM(menu), 0);
    EXPECT_TRUE(sp->SkinData()->BGChanged);
    EXPECT_TRUE(sp->MenuChanged);
    EXPECT_EQ(sp->FLinesCount, -1);
    EXPECT_EQ(::GetMenu(Main->Handle()), menu) << "the message still reaches the client";
}

namespace {

// WM_ERASEBKGND and WM_NCPAINT that reach one window.
HWND Watched = nullptr;
int Paints = 0;
LRESULT CALLBACK CountPaints(int Code, WPARAM WParam, LPARAM LParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code == HC_ACTION && m->hwnd == Watched && (m->message == WM_ERASEBKGND || m->message == WM_NCPAINT))
        ++Paints;
    return ::CallNextHookEx(nullptr, Code, WParam, LParam);
}

} // namespace

TEST_F(MDIWall, ScrollingFreezesTheClientUntilItEnds)
{
    const HWND client = Main->ClientHandle();
    ASSERT_NE(ClientWrapper(), nullptr);
    Application->ProcessMessages();
    Watched = client;
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountPaints, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    struct TStep {
        const char* Name;
        int Cmd;
        WORD Code;
        bool Visible;  // WS_VISIBLE: cleared while redrawing is off
        bool Repaint;  // the client was redrawn at once
    };
    const TStep steps[] = {{"begin", SMC_SCROLL_BEGIN, SB_LINEDOWN, false, false},
                           {"thumb drag ends", SMC_SCROLL_END, SB_THUMBTRACK, true, false},
                           {"begin again", SMC_SCROLL_BEGIN, SB_LINEDOWN, false, false},
                           {"line scroll ends", SMC_SCROLL_END, SB_LINEDOWN, true, true}};
    for (const TStep& s : steps) {
        Paints = 0;
        ::SendMessageW(client, SM_KORVEXCMD, MakeKorvexWParam(s.Cmd), MAKELPARAM(s.Code, 0));
        EXPECT_EQ((::GetWindowLongW(client, GWL_STYLE) & WS_VISIBLE) != 0, s.Visible) << s.Name;
        EXPECT_EQ(Paints > 0, s.Repaint) << s.Name;
    }
    ::UnhookWindowsHookEx(hook);
    Watched = nullptr;
}
