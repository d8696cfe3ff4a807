// Skinned combo boxes on a real screen (Xvfb, Wine's X11 driver): a skinned
// form with a drop-down combo, a drop-down list and a simple combo, and a
// parentless dialog with a drop-down list, shown and taken into
// KV_ARTIFACTS/combo-screen.png.  A smoke run: each combo's field shows its
// text in the skin's frame, the drop-down ones their skinned button, and the
// strip below a simple combo's list what lies behind it.
#include <gtest/gtest.h>

#include <memory>

#include "../skin/dialogs/DialogTemplate.h"
#include "../skin/manager/ManagerFixture.h"
#include "../skin/paint/sections/PngFile.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Combo.h"

using namespace managertest;
using namespace dlgtest;

namespace {

// Pixels of R on the screen dark enough for text: the skin's text colour
// and the system's are both near black, the field white.
int TextPixels(HDC Screen, const RECT& R)
{
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x) {
            const COLORREF c = ::GetPixel(Screen, x, y);
            n += GetRValue(c) < 0x50 && GetGValue(c) < 0x50 && GetBValue(c) < 0x50;
        }
    return n;
}

} // namespace

TEST(ComboScreens, SkinnedCombosOnTheScreen)
{
    RegisterSkinFormsServices();
    std::unique_ptr<TsSkinManager> manager(NewManager());
    // The application names the class-library combo boxes it wants skinned.
    manager->ThirdLists[tpComboBox]->SetText(L"TComboBox");
    TForm* form = TForm::CreateNew(Application);
    form->SetCaption(L"Combo boxes");
    form->SetBounds(30, 30, 360, 260);
    struct TCombo {
        TComboBoxStyle Style;
        const wchar_t* Text;
        TComboBox* Box = nullptr;
    } combos[] = {{csDropDown, L"Typed text"}, {csDropDownList, L"Second"}, {csSimple, L"Simple"}};
    int top = 16;
    for (TCombo& c : combos) {
        c.Box = New<TComboBox>(form);
        c.Box->SetStyle(c.Style);
        c.Box->SetParent(form);
        c.Box->SetBounds(16, top, 200, c.Style == csSimple ? 110 : 24);
        for (const wchar_t* s : {L"First", L"Second", L"Third"})
            c.Box->Items()->Add(s);
        // Given before the window is made: kept and shown once it is.
        if (c.Style == csDropDownList)
            c.Box->SetItemIndex(1);
        else
            c.Box->SetText(c.Text);
        top += 40;
    }

    TDialogTemplate t(kBoxStyle, L"A dialog with a combo", 260, 20, 160, 80);
    t.Add({kComboBox, CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP, 8, 8, 120, 60, 100, L""})
        .Add({kButton, BS_DEFPUSHBUTTON | WS_VISIBLE, 100, 56, 50, 14, IDOK, L"OK"});
    HWND d = CreateParentless(t);
    ASSERT_NE(d, nullptr);
    HWND dlgCombo = ::GetDlgItem(d, 100);
    for (const wchar_t* s : {L"Alpha", L"Beta"})
        ::SendMessageW(dlgCombo, CB_ADDSTRING, 0, LPARAM(s));
    ::SendMessageW(dlgCombo, CB_SETCURSEL, 0, 0);

    form->Show();
    for (const TCombo& c : combos)
        EXPECT_EQ(c.Box->Text(), UnicodeString(c.Text));
    ::ShowWindow(d, SW_SHOW);
    ::SetForegroundWindow(d);
    ::SetFocus(::GetDlgItem(d, IDOK)); // the combo shows its text unselected
    for (int i = 0; i < 20; ++i)
        Application->ProcessMessages();
    for (HWND h : {form->Handle(), d})
        ::RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
    ::GdiFlush();

    const int width = 1024, height = 400;
    std::unique_ptr<TBitmap> shot(CreateBmp24(width, height));
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shot->Canvas()->Handle(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/combo-screen.png";
    EXPECT_TRUE(pngfile::Write(shot.get(), path)) << path;

    auto check = [&](HWND Combo, const char* Name) {
        SCOPED_TRACE(Name);
        auto* w = dynamic_cast<TkvComboBoxWnd*>(Kv_GetScrollWndFromHwnd(Combo));
        ASSERT_NE(w, nullptr) << "wrapped";
        RECT r;
        ::GetWindowRect(Combo, &r);
        const TRect b = w->ButtonRect();
        // The field: its first rows, short of the button.
        RECT field{r.left + 3, r.top + 3, r.left + (b.IsEmpty() ? r.right - r.left : b.left) - 1, r.top + 18};
        EXPECT_GT(TextPixels(screen, field), 10) << "the field shows its text";
        // The frame's top edge is the wrapper's picture of the skin's section.
        TBitmap* img = w->SkinData->FCacheBmp;
        ASSERT_NE(img, nullptr);
        const uint8_t* p = img->Rows().Pixel(20, 0);
        EXPECT_EQ(::GetPixel(screen, r.left + 20, r.top) & 0xFFFFFF, COLORREF(RGB(p[2], p[1], p[0])))
            << "the skin's frame";
        if (!b.IsEmpty()) {
            // The skinned button, not the system's: its middle as painted.
            std::unique_ptr<TBitmap> printed(CreateBmp24(r.right - r.left, r.bottom - r.top));
            w->PaintButton(printed->Canvas()->Handle());
            const TPoint c((b.left + b.right) / 2, b.top + 2);
            EXPECT_EQ(::GetPixel(screen, r.left + c.x, r.top + c.y) & 0xFFFFFF,
                      ::GetPixel(printed->Canvas()->Handle(), c.x, c.y) & 0xFFFFFF)
                << "the skinned button";
        }
    };
    check(combos[0].Box->Handle(), "drop-down");
    check(combos[1].Box->Handle(), "drop-down list");
    check(combos[2].Box->Handle(), "simple");
    check(dlgCombo, "dialog's drop-down list");
    {
        // Below the simple combo box's list: the form, as beside the combo.
        RECT r;
        ::GetWindowRect(combos[2].Box->Handle(), &r);
        EXPECT_EQ(::GetPixel(screen, (r.left + r.right) / 2, r.bottom - 2) & 0xFFFFFF,
                  ::GetPixel(screen, r.left - 3, r.bottom - 2) & 0xFFFFFF)
            << "the strip below the simple combo's list";
    }

    ::ReleaseDC(nullptr, screen);
    ::DestroyWindow(d);
    TObject* o = form;
    FreeAndNil(o);
}
