// A recording window with both bars, wrapped by a scroll wrapper, with the
// cursor steered by the test: what the scroll-bar tests share.
#pragma once

#include <memory>

#include "WrapperFixture.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"
#include "support/FakeInput.h"

namespace wraptest {

inline SCROLLINFO Range(int Min, int Max, UINT Page, int Pos)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMin = Min;
    si.nMax = Max;
    si.nPage = Page;
    si.nPos = Pos;
    return si;
}

inline const int Thick = ::GetSystemMetrics(SM_CXVSCROLL);

// A recording window with both bars on the hidden form, wrapped.
class ScrollTest : public WrapperTest {
protected:
    TFakeInput Input;
    std::unique_ptr<TTarget> T;
    TkvScrollWnd* W = nullptr;

    void Make(DWORD ExStyle = 0, int Width = 160, int Height = 120, DWORD Style = WS_HSCROLL | WS_VSCROLL)
    {
        T = std::make_unique<TTarget>(Host(), WS_CHILD | WS_VISIBLE | Style, Width, Height);
        if (ExStyle)
            ::SetWindowLongW(T->Handle, GWL_EXSTYLE, LONG(ExStyle));
        // (setting a range shows a hidden bar)
        if (Style & WS_VSCROLL)
            SetRange(SB_VERT, Range(0, 99, 10, 0));
        if (Style & WS_HSCROLL)
            SetRange(SB_HORZ, Range(0, 99, 10, 0));
        W = CreateWnd<TkvScrollWnd>(T->Handle, nullptr, Manager, L"COMBOBOX", true);
        ASSERT_TRUE(W->Hooked());
        T->Clear();
    }
    void SetRange(int Bar, SCROLLINFO SI) { ::SetScrollInfo(T->Handle, Bar, &SI, FALSE); }
    void TearDown() override
    {
        if (W)
            UninitializeKVScroll(T->Handle, true, false, W);
        T.reset();
        WrapperTest::TearDown();
    }
    TRect VBar()
    {
        TRect r;
        KV_GetVScrollRect(W, T->Handle, r);
        return r;
    }
    TRect HBar()
    {
        TRect r;
        KV_GetHScrollRect(W, T->Handle, r);
        return r;
    }
    TRect Client()
    {
        TRect c;
        ::GetClientRect(T->Handle, &c);
        ::MapWindowPoints(T->Handle, nullptr, reinterpret_cast<POINT*>(&c), 2);
        TRect w;
        ::GetWindowRect(T->Handle, &w);
        ::OffsetRect(&c, -w.left, -w.top);
        return c;
    }
    LRESULT HitTest(const TPoint& P) { return ::SendMessageW(T->Handle, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y)); }
    void Press(UINT Hit, const TPoint& P)
    {
        Input.Cursor = P;
        ::SendMessageW(T->Handle, WM_NCLBUTTONDOWN, Hit, MAKELPARAM(P.x, P.y));
    }
    void MoveTo(const TPoint& P)
    {
        Input.Cursor = P;
        ::SendMessageW(T->Handle, WM_MOUSEMOVE, MK_LBUTTON, 0);
    }
    void Tick(UINT_PTR Id) { ::SendMessageW(T->Handle, WM_TIMER, Id, 0); }
    void Release() { ::SendMessageW(T->Handle, WM_LBUTTONUP, 0, 0); }
    // A point on the vertical bar, At pixels from its top.
    TPoint OnV(int At) { return TPoint(VBar().left + Thick / 2, VBar().top + At); }
    TPoint OnH(int At) { return TPoint(HBar().left + At, HBar().top + Thick / 2); }
    std::vector<TReceived> Scrolls(UINT Msg) { return T->All(Msg); }
};

inline int Arrow()
{
    return kvScrollBtnLength;
}


} // namespace wraptest
