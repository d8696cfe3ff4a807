// What the dialog skinner's tests share: a manager with the built-in skin
// (whose creation hook takes parentless dialogs), parentless dialogs from
// templates, their skinner and the wrappers of their children.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../frame/FrameFixture.h"
#include "DialogTemplate.h"
#include "skin/core/sMsgDlg.h"
#include "skin/forms/kvDials.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials_Dialog.h"
#include "skin/wrappers/kvSBUtils.h"

namespace dlgtest {

using namespace frametest;

class DialogTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        CurrentLog = &Log;
        DlgLeft = DlgTop = -1;
    }
    void TearDown() override
    {
        for (HWND d : Dialogs)
            if (::IsWindow(d))
                ::DestroyWindow(d);
        CurrentLog = nullptr;
        DlgLeft = DlgTop = -1;
        FrameTest::TearDown();
    }
    // A parentless dialog, shown and painted once unless Show is false.
    HWND NewDialog(const TDialogTemplate& T, bool Show = true)
    {
        HWND d = CreateParentless(T);
        EXPECT_NE(d, nullptr);
        Dialogs.push_back(d);
        if (Show) {
            ::ShowWindow(d, SW_SHOW);
            ::UpdateWindow(d);
            Application->ProcessMessages();
        }
        return d;
    }
    static TkvDialogWnd* SkinnerOf(HWND D)
    {
        TkvProvider* entry = FindFormInList(D);
        return entry ? entry->ListSW : nullptr;
    }
    static HWND Item(HWND D, int Id) { return ::GetDlgItem(D, Id); }
    static std::string WrapperName(HWND Wnd)
    {
        TkvMainWnd* w = Kv_GetScrollWndFromHwnd(Wnd);
        if (!w)
            return "";
        const UnicodeString n = w->ClassName();
        return std::string(n.begin(), n.end());
    }
    static int HitAt(HWND D, const TPoint& P)
    {
        RECT r;
        ::GetWindowRect(D, &r);
        return int(::SendMessageW(D, WM_NCHITTEST, 0, MAKELPARAM(r.left + P.x, r.top + P.y)));
    }
    static LPARAM ScreenAt(HWND D, const TPoint& P)
    {
        RECT r;
        ::GetWindowRect(D, &r);
        return MAKELPARAM(r.left + P.x, r.top + P.y);
    }

    TDialogLog Log;
    std::vector<HWND> Dialogs;
};

} // namespace dlgtest
