// Tool bars painted from the skin: the wrapper of a standard tool-bar
// window, the wrapper of a class-library tool bar and the skinned tool bar,
// printed into bitmaps and checked by pixels against the built-in skin's
// "TOOLBUTTON" and "DIVIDER" sections; the application's custom-draw
// handlers and image lists as they were once the wrappers are gone.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "StdWrapFixture.h"
#include "classlib/controls/Menus.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sThirdParty.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvAlphaImageList.h"
#include "skin/wrappers/kvSBUtils_ToolBar.h"
#include "skin/wrappers/sToolBar.h"
#include "support/FakeInput.h"
#include "tests/skin/load/LoadTestUtil.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

const TColor kRed = RGB(220, 30, 30);

TColor DividerDark()
{
    return RGB(0xB4, 0xBE, 0xC9);
}

// A 16 x 16 image list of one red square, its background colour set to Back.
HIMAGELIST RedList(COLORREF Back)
{
    HIMAGELIST list = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    HDC screen = ::GetDC(nullptr);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, 16, 16);
    HDC mem = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    FillDC(mem, TRect(0, 0, 16, 16), kRed);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    ::ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
    ::DeleteObject(bmp);
    ::ImageList_SetBkColor(list, Back);
    return list;
}

TRect ItemRect(HWND Bar, int Index)
{
    TRect r;
    ::SendMessageW(Bar, TB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

// Pixels of R in A equal to those of Want (Want at R's origin).
int DiffAt(TBitmap* A, const TRect& R, TBitmap* Want)
{
    int n = 0;
    for (int y = 0; y < R.Height(); ++y)
        for (int x = 0; x < R.Width(); ++x)
            n += Px(A, R.left + x, R.top + y) != Px(Want, x, y);
    return n;
}

// Section painted in State over a plain Back colour, Width x Height.
TOwned<TBitmap> SectionOver(TsSkinManager* Manager, const wchar_t* Name, int State, const TRect& R, TColor Back)
{
    TOwned<TBitmap> b(New<TBitmap>(R.Width(), R.Height(), pf24bit));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(Manager);
    data.SetSkinSection(Name);
    TCacheInfo ci;
    ci.FillColor = Back;
    FillDC(b->Canvas()->Handle(), TRect(0, 0, R.Width(), R.Height()), Back);
    PaintItem(&data, ci, true, State, TRect(0, 0, R.Width(), R.Height()), TPoint(0, 0), b.get(), true);
    return b;
}

TColor BarColor(TsSkinManager* Manager)
{
    return ColorToRGB(Manager->gd[size_t(Manager->GetSkinIndex(L"TOOLBAR"))].Color);
}

struct TRawButton {
    int Image;
    BYTE State;
    BYTE Style;
    const wchar_t* Text;
};

// A standard tool bar window of the test form with the given buttons.
HWND RawToolBar(HWND Host, HIMAGELIST List, std::initializer_list<TRawButton> Buttons)
{
    HWND h = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, 0, 360,
                               50, Host, nullptr, nullptr, nullptr);
    ::SendMessageW(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(h, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(List));
    std::vector<TBBUTTON> bs;
    int id = 100;
    for (const TRawButton& b : Buttons) {
        TBBUTTON tb{};
        tb.iBitmap = b.Image;
        tb.idCommand = id++;
        tb.fsState = b.State;
        tb.fsStyle = b.Style;
        tb.iString = b.Text ? reinterpret_cast<INT_PTR>(b.Text) : -1;
        bs.push_back(tb);
    }
    ::SendMessageW(h, TB_ADDBUTTONSW, bs.size(), reinterpret_cast<LPARAM>(bs.data()));
    ::SendMessageW(h, TB_SETBUTTONSIZE, 0, MAKELONG(56, 36));
    return h;
}

} // namespace

// ---------------------------------------------------------------------------
// A standard tool bar window.

TEST_F(WrapperTest, RawToolBarButtonsInTheirStates)
{
    TFakeInput input;
    HIMAGELIST list = RedList(RGB(1, 2, 3));
    HWND h = RawToolBar(Host(), list,
                        {{-1, TBSTATE_ENABLED, BTNS_BUTTON, nullptr},
                         {-1, TBSTATE_ENABLED | TBSTATE_PRESSED, BTNS_BUTTON, nullptr},
                         {-1, TBSTATE_ENABLED, BTNS_BUTTON, nullptr},
                         {0, TBSTATE_ENABLED, BTNS_BUTTON, nullptr},
                         {8, TBSTATE_ENABLED, BTNS_SEP, nullptr},
                         {0, 0, BTNS_BUTTON, nullptr}});
    TOwned<TkvToolBarWnd> w(CreateWnd<TkvToolBarWnd>(h, nullptr, Manager, L"CHECKBOX", false));
    TRect screen;
    ::GetWindowRect(h, &screen);
    const TRect hot = ItemRect(h, 2);
    input.Cursor = TPoint(screen.left + hot.left + 5, screen.top + hot.top + 5);
    TOwned<TBitmap> got = Printed(h);
    SaveArtifact(got.get(), "toolbar-raw.png");

    const TRect normal = ItemRect(h, 0), pressed = ItemRect(h, 1);
    const TPoint pos(0, 0);
    EXPECT_EQ(DiffAt(got.get(), normal, Section(Manager, L"TOOLBUTTON", 0, normal.Width(), normal.Height(), pos).get()),
              0);
    EXPECT_EQ(DiffAt(got.get(), pressed,
                     Section(Manager, L"TOOLBUTTON", 2, pressed.Width(), pressed.Height(), pos).get()),
              0);
    EXPECT_EQ(DiffAt(got.get(), hot, Section(Manager, L"TOOLBUTTON", 1, hot.Width(), hot.Height(), pos).get()), 0);

    // Image 0 of the list shows, centred, 4 pixels from the top.
    const TRect image = ItemRect(h, 3);
    EXPECT_EQ(Px(got.get(), image.left + (image.Width() - 16) / 2 + 8, image.top + 4 + 8), kRed);
    // The separator: the divider's dark line near its middle.
    const TRect sep = ItemRect(h, 4);
    EXPECT_GT(CountColor(got.get(), sep, DividerDark()), 0);
    // A disabled button: 40 % of its look over 60 % of the bar.
    const TRect off = ItemRect(h, 5);
    const TColor mixed = Px(got.get(), off.left + (off.Width() - 16) / 2 + 8, off.top + 4 + 8);
    EXPECT_TRUE(Near(mixed, Mix(FormBack(Manager), kRed, 0.4), 2)) << std::hex << mixed;

    // The dialog's image list keeps its own background colour.
    EXPECT_EQ(::ImageList_GetBkColor(list), RGB(1, 2, 3));
    w.reset();
    ::DestroyWindow(h);
    ::ImageList_Destroy(list);
}

// Three words or more: all but the last two on the first line, centred;
// the last two on the second, from the left.  Two words stay on one line.
TEST_F(WrapperTest, RawToolBarCaptionsOnOneOrTwoLines)
{
    TFakeInput input;
    input.Cursor = TPoint(-1000, -1000);
    HWND h = RawToolBar(Host(), nullptr,
                        {{-1, TBSTATE_ENABLED, BTNS_BUTTON, L"Aa Bb Cc Dd"}, {-1, TBSTATE_ENABLED, BTNS_BUTTON, L"Aa Bb"}});
    ::SendMessageW(h, TB_SETBUTTONSIZE, 0, MAKELONG(90, 40));
    TOwned<TkvToolBarWnd> w(CreateWnd<TkvToolBarWnd>(h, nullptr, Manager, L"CHECKBOX", false));
    TOwned<TBitmap> got = Printed(h);
    SaveArtifact(got.get(), "toolbar-raw-captions.png");
    auto box = [&](const TRect& R) {
        TOwned<TBitmap> plain = Section(Manager, L"TOOLBUTTON", 0, R.Width(), R.Height(), TPoint(0, 0));
        TRect b(R.right, R.bottom, R.left, R.top);
        int rows = 0, lastRow = -10;
        for (int y = R.top; y < R.bottom; ++y) {
            bool any = false;
            for (int x = R.left; x < R.right; ++x)
                if (Px(got.get(), x, y) != Px(plain.get(), x - R.left, y - R.top)) {
                    any = true;
                    b.left = std::min<LONG>(b.left, x);
                    b.right = std::max<LONG>(b.right, x + 1);
                    b.top = std::min<LONG>(b.top, y);
                    b.bottom = std::max<LONG>(b.bottom, y + 1);
                }
            if (any && y != lastRow + 1)
                ++rows;  // a new band of text

            if (any)
                lastRow = y;
        }
        return std::make_pair(b, rows);
    };
    const TRect four = ItemRect(h, 0), two = ItemRect(h, 1);

    const auto [fourBox, fourBands] = box(four);
    const auto [twoBox, twoBands] = box(two);
    EXPECT_EQ(fourBands, 2) << "two lines";
    EXPECT_EQ(twoBands, 1) << "one line";
    // The second line starts at the text rectangle's left.
    EXPECT_LE(fourBox.left - four.left, 3);
    EXPECT_GT(twoBox.left - two.left, 10) << "a short caption is centred";
    w.reset();
    ::DestroyWindow(h);
}

// ---------------------------------------------------------------------------
// A class-library tool bar.

namespace {

struct TAppHandlers {
    int Bars = 0;
    int Buttons = 0;
    void Bar(TToolBar*, TRect&, TCustomDrawStage, bool&) { ++Bars; }
    void Button(TToolBar*, TToolButton*, TCustomDrawState, TCustomDrawStage, TTBCustomDrawFlags&, bool&) { ++Buttons; }
};

TToolBar* NewToolBar(TForm* Form, bool Skinned, int Buttons, bool Flat = true)
{
    TToolBar* bar = Skinned ? static_cast<TToolBar*>(New<TsToolBar>(Form)) : New<TToolBar>(Form);
    bar->SetParent(Form);
    bar->SetFlat(Flat);
    bar->SetEdgeBorders(TEdgeBorders{});
    bar->SetBounds(0, 0, 300, 30);
    for (int i = 0; i < Buttons; ++i) {
        auto* b = New<TToolButton>(Form);
        b->SetParent(bar);
    }
    bar->HandleNeeded();
    return bar;
}

// The bar printed through WM_PRINT.
TOwned<TBitmap> PrintBar(TWinControl* Bar)
{
    return Printed(Bar->Handle(), 0x00FF00, PRF_CLIENT | PRF_NONCLIENT);
}

TRect ButtonRect(TToolBar* Bar, int Index)
{
    return ItemRect(Bar->Handle(), Index);
}

} // namespace

TEST_F(WrapperTest, ToolBarWrapperGivesTheApplicationsHandlersBack)
{
    TToolBar* bar = NewToolBar(Form.get(), false, 2);
    TAppHandlers app;
    bar->OnAdvancedCustomDraw = Bind(&app, &TAppHandlers::Bar);
    bar->OnAdvancedCustomDrawButton = Bind(&app, &TAppHandlers::Button);
    const auto ownDraw = bar->OnAdvancedCustomDraw;
    const auto ownButton = bar->OnAdvancedCustomDrawButton;

    TsCommonData data(bar, true);
    TkvToolBarVCLWnd* w = CreateWnd<TkvToolBarVCLWnd>(bar->Handle(), &data, Manager, L"", false);
    EXPECT_EQ(data.SkinSection(), L"TOOLBAR");
    EXPECT_FALSE(bar->OnAdvancedCustomDraw == ownDraw) << "the wrapper paints the bar";
    app = TAppHandlers();
    PrintBar(bar);
    EXPECT_EQ(app.Bars + app.Buttons, 0) << "skinned: the wrapper draws alone";
    FreeAndNil(w);

    EXPECT_TRUE(bar->OnAdvancedCustomDraw == ownDraw);
    EXPECT_TRUE(bar->OnAdvancedCustomDrawButton == ownButton);
    PrintBar(bar);
    EXPECT_GT(app.Bars, 0) << "the application's handler draws again, not a freed wrapper";
    EXPECT_GT(app.Buttons, 0);

    // A bar freed before its wrapper: the wrapper goes without touching it.
    TsCommonData data2(bar, true);
    TkvToolBarVCLWnd* w2 = CreateWnd<TkvToolBarVCLWnd>(bar->Handle(), &data2, Manager, L"", false);
    delete bar;
    EXPECT_EQ(w2->ToolBar, nullptr);
    FreeAndNil(w2);
}

TEST_F(WrapperTest, ToolBarWrapperPaintsHotCheckedAndDroppedButtons)
{
    TToolBar* bar = NewToolBar(Form.get(), false, 3, false);
    bar->Buttons(1)->SetStyle(tbsCheck);
    bar->Buttons(1)->SetDown(true);
    auto* menu = New<TPopupMenu>(Form.get());
    bar->Buttons(2)->SetStyle(tbsDropDown);
    bar->Buttons(2)->SetDropdownMenu(menu);
    TsCommonData data(bar, true);
    TOwned<TkvToolBarVCLWnd> w(CreateWnd<TkvToolBarVCLWnd>(bar->Handle(), &data, Manager, L"", false));

    // Hot tracking of a non-flat bar: the button under the mouse.
    const TRect b0 = ButtonRect(bar, 0);
    ::SendMessageW(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b0.left + 3, b0.top + 3));
    EXPECT_EQ(w->HotButtonIndex, 0);
    TOwned<TBitmap> got = PrintBar(bar);
    SaveArtifact(got.get(), "toolbar-wrapper.png");
    const TPoint off(0, 0);
    const TColor back = BarColor(Manager);
    EXPECT_EQ(DiffAt(got.get(), b0, SectionOver(Manager, L"TOOLBUTTON", 1, b0, back).get()), 0);
    const TRect b1 = ButtonRect(bar, 1);
    EXPECT_EQ(DiffAt(got.get(), b1, SectionOver(Manager, L"TOOLBUTTON", 2, b1, back).get()), 0);
    const TRect rest(ButtonRect(bar, 2).right, 0, bar->Width(), bar->Height());
    EXPECT_EQ(CountColor(got.get(), rest, back), rest.Width() * rest.Height()) << "the bar's section";

    // A drop-down button shows its arrow part pressed while its menu is open.
    const TRect b2 = ButtonRect(bar, 2);
    const int aw = ::GetSystemMetrics(SM_CXVSCROLL) - 2;
    const TRect arrowPart(b2.right - aw, b2.top, b2.right, b2.bottom);
    const TColor pressedEdge = Px(Section(Manager, L"TOOLBUTTON", 2, aw, b2.Height(), off).get(), 0, b2.Height() / 2);
    EXPECT_NE(Px(got.get(), arrowPart.left, arrowPart.top + b2.Height() / 2), pressedEdge);
    ::PostMessageW(PopupList->Window(), WM_CANCELMODE, 0, 0);
    NMTOOLBARW nt{};
    nt.hdr.hwndFrom = bar->Handle();
    nt.hdr.idFrom = UINT_PTR(::GetDlgCtrlID(bar->Handle()));
    nt.hdr.code = TBN_DROPDOWN;
    nt.iItem = bar->Buttons(2)->CommandId();
    ::SendMessageW(Form->Handle(), WM_NOTIFY, nt.hdr.idFrom, reinterpret_cast<LPARAM>(&nt));
    EXPECT_EQ(w->DroppedButton, bar->Buttons(2));
    got = PrintBar(bar);
    EXPECT_EQ(Px(got.get(), arrowPart.left, arrowPart.top + b2.Height() / 2), pressedEdge);
    // The closing arrives posted: the button is drawn as it is now.
    Application->ProcessMessages();
    EXPECT_EQ(w->DroppedButton, nullptr);
}

// The arrow of a drop-down button is drawn whatever its place in the skin's
// image table, the last place included.
TEST_F(WrapperTest, ToolBarDropDownArrowFromTheLastImageOfTheTable)
{
    TToolBar* bar = NewToolBar(Form.get(), false, 1);
    bar->Buttons(0)->SetStyle(tbsDropDown);
    TsCommonData data(bar, true);
    TOwned<TkvToolBarVCLWnd> w(CreateWnd<TkvToolBarVCLWnd>(bar->Handle(), &data, Manager, L"", false));
    const int aw = ::GetSystemMetrics(SM_CXVSCROLL) - 2;
    const TRect b = ButtonRect(bar, 0);
    const TRect arrowPart(b.right - aw, b.top, b.right, b.bottom);
    const TColor arrow = RGB(0x5E, 0x6C, 0x7A); // the arrow glyph's normal frame
    ASSERT_GT(CountColor(PrintBar(bar).get(), arrowPart, arrow), 0);
    Manager->ma.push_back(Manager->ma[size_t(Manager->ConstData.MaskArrowBottom)]);
    Manager->ConstData.MaskArrowBottom = int16_t(Manager->ma.size() - 1);
    EXPECT_GT(CountColor(PrintBar(bar).get(), arrowPart, arrow), 0);
    Manager->ma.pop_back();
}

// The engine's painting of graphic children leaves a bar's buttons to the
// bar and paints its separators and dividers.
TEST_F(WrapperTest, ToolBarChildrenPaintedByTheEngineAreItsDividersOnly)
{
    TToolBar* bar = NewToolBar(Form.get(), false, 3);
    bar->Buttons(1)->SetStyle(tbsDivider);
    bar->Buttons(2)->SetStyle(tbsCheck);
    TOwned<TBitmap> b(New<TBitmap>(bar->Width(), bar->Height(), pf24bit));
    FillDC(b->Canvas()->Handle(), TRect(0, 0, bar->Width(), bar->Height()), 0x00FF00);
    PaintControls(b->Canvas()->Handle(), bar, false, TPoint(0, 0));
    const TRect button = bar->Buttons(0)->BoundsRect(), divider = bar->Buttons(1)->BoundsRect(),
                check = bar->Buttons(2)->BoundsRect();
    EXPECT_EQ(CountColor(b.get(), button, 0x00FF00), button.Width() * button.Height());
    EXPECT_EQ(CountColor(b.get(), check, 0x00FF00), check.Width() * check.Height());
    EXPECT_EQ(CountColor(b.get(), divider, 0x00FF00), 0);
}

// ---------------------------------------------------------------------------
// The skinned tool bar.

TEST_F(WrapperTest, SkinnedToolBarButtonsAndDividersOverItsSection)
{
    auto* bar = static_cast<TsToolBar*>(NewToolBar(Form.get(), true, 2));
    ASSERT_TRUE(bar->SkinData()->Skinned());
    EXPECT_TRUE(bar->Flat());
    bar->Buttons(1)->SetStyle(tbsDivider);
    TOwned<TBitmap> got = PrintBar(bar);
    SaveArtifact(got.get(), "toolbar-skinned.png");
    TBitmap* cache = bar->SkinData()->FCacheBmp;
    ASSERT_NE(cache, nullptr);
    // A plain button of a flat bar shows the bar itself.
    const TRect b0 = ButtonRect(bar, 0);
    EXPECT_EQ(DiffCount(got.get(), cache, b0), 0);
    // The divider's line in its middle.
    const TRect d = ButtonRect(bar, 1);
    EXPECT_GT(CountColor(got.get(), d, DividerDark()), 0);

    // A skin refresh makes the bar's window anew; it paints as before.
    const HWND before = bar->Handle();
    Command(before, SMC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager));
    EXPECT_NE(bar->Handle(), before);
    EXPECT_EQ(DiffCount(PrintBar(bar).get(), got.get()), 0);
}

// Disabled buttons are mixed with the bar, or grey when the bar asks for it.
TEST_F(WrapperTest, SkinnedToolBarDisabledLook)
{
    auto* bar = static_cast<TsToolBar*>(NewToolBar(Form.get(), true, 1));
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    TOwned<TBitmap> red(New<TBitmap>(16, 16, pf24bit));
    FillDC(red->Canvas()->Handle(), TRect(0, 0, 16, 16), kRed);
    images.Add(red.get(), nullptr);
    bar->SetImages(&images);
    TToolButton* b = bar->Buttons(0);
    b->SetImageIndex(0);
    b->SetEnabled(false);
    auto centre = [&] {
        TOwned<TBitmap> got = PrintBar(bar);
        const TRect r = ButtonRect(bar, 0);
        return Px(got.get(), r.left + r.Width() / 2, r.top + r.Height() / 2);
    };
    const TColor blended = centre();
    EXPECT_GT(GetRValue(blended), GetGValue(blended) + 40) << "still reddish";
    bar->SetDisabledKind(TsDisabledKind{dkGrayed});
    bar->SkinData()->BGChanged = true;
    const TColor grey = centre();
    EXPECT_LE(std::abs(int(GetRValue(grey)) - int(GetGValue(grey))), 12) << std::hex << grey;
    bar->SetImages(nullptr);
}

// The bar's background reaches its children (dividers) and its buttons
// from one offset: where the client area lies inside the window, frame
// edges and border included.
TEST_F(WrapperTest, SkinnedToolBarBackgroundLinesUpUnderButtonsAndDividers)
{
    auto* bar = static_cast<TsToolBar*>(NewToolBar(Form.get(), true, 3, false));
    bar->SetEdgeBorders(TEdgeBorders{ebLeft, ebTop});
    bar->SetBorderWidth(2);
    bar->Buttons(1)->SetStyle(tbsSeparator);
    // A section with a gradient, so that an offset shows.
    bar->SkinData()->SetSkinSection(L"BUTTON");
    bar->SetBounds(0, 0, 300, 40);
    const TRect client = KVClientRect(bar->Handle());
    EXPECT_EQ(TPoint(bar->OffsetX(), bar->OffsetY()), client.TopLeft());
    TkvBGInfo bg{};
    ::SendMessageW(bar->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(&bg));
    EXPECT_EQ(bg.Offset, client.TopLeft());

    TOwned<TBitmap> got = PrintBar(bar);
    TBitmap* cache = bar->SkinData()->FCacheBmp;
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        TRect r = ButtonRect(bar, i);
        ::OffsetRect(&r, client.left, client.top);
        ::InflateRect(&r, 0, -4); // the button frame's rows aside
        if (i == 0)
            ::InflateRect(&r, -5, 0);
        EXPECT_EQ(DiffCount(got.get(), cache, r), 0);
    }
}

TEST_F(WrapperTest, SkinnedToolBarHotButtonOfANonFlatBar)
{
    auto* bar = static_cast<TsToolBar*>(NewToolBar(Form.get(), true, 2, false));
    const TRect b1 = ButtonRect(bar, 1);
    ::SendMessageW(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b1.left + 2, b1.top + 2));
    EXPECT_EQ(bar->HotButtonIndex, 1);
    TOwned<TBitmap> got = PrintBar(bar);
    EXPECT_EQ(DiffAt(got.get(), b1, SectionOver(Manager, L"TOOLBUTTON", 1, b1, BarColor(Manager)).get()), 0);
    bar->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar->HotButtonIndex, -1);
}

// The tool-button painter reaches the library's own tool bar: an alpha
// image list draws itself on it.
TEST_F(WrapperTest, SkinnedToolBarLetsAnAlphaListDrawItsGlyph)
{
    auto* bar = static_cast<TsToolBar*>(NewToolBar(Form.get(), true, 1));
    EXPECT_NE(dynamic_cast<TsToolBarGlyphSeam*>(static_cast<TToolBar*>(bar)), nullptr);
    EXPECT_TRUE(bar->BarSkinned());
    TTempDir dir;
    const std::wstring path = dir.Path() + L"\\half.png";
    loadtest::WriteBytes(path, loadtest::PngBytes(4, 4, [](int, int) { return loadtest::Rgb(255, 0, 0, 128); }));
    TsAlphaImageList images(nullptr);
    images.AfterConstruction();
    images.SetWidth(4);
    images.SetHeight(4);
    images.Handle();
    ASSERT_TRUE(images.TryLoadFromFile(path));
    bar->SetList(true);
    bar->SetImages(&images);
    TToolButton* b = bar->Buttons(0);
    b->SetImageIndex(0);
    TOwned<TBitmap> bg(New<TBitmap>(b->Width(), b->Height(), pf24bit));
    FillDC(bg->Canvas()->Handle(), TRect(0, 0, b->Width(), b->Height()), 0);
    CopyToolBtnGlyph(bar, b, TCustomDrawState{}, cdPrePaint, TTBCustomDrawFlags{}, bg.get());
    const int top = (b->Height() - 4) / 2;
    EXPECT_NEAR(GetRValue(Px(bg.get(), 6, top + 1)), 128, 3) << "half-transparent red over black";
    bar->SetImages(nullptr);
}

TEST_F(WrapperTest, ToolBarsLeakNothing)
{
    auto cycle = [&] {
        auto* bar = static_cast<TsToolBar*>(NewToolBar(Form.get(), true, 3));
        PrintBar(bar);
        delete bar;
        TToolBar* plain = NewToolBar(Form.get(), false, 2);
        TsCommonData data(plain, true);
        TOwned<TkvToolBarVCLWnd> w(CreateWnd<TkvToolBarVCLWnd>(plain->Handle(), &data, Manager, L"", false));
        PrintBar(plain);
        w.reset();
        delete plain;
        HWND raw = RawToolBar(Host(), nullptr, {{-1, TBSTATE_ENABLED, BTNS_BUTTON, L"One"}, {8, 0, BTNS_SEP, nullptr}});
        TOwned<TkvToolBarWnd> rw(CreateWnd<TkvToolBarWnd>(raw, nullptr, Manager, L"CHECKBOX", false));
        Printed(raw);
        rw.reset();
        ::DestroyWindow(raw);
    };
    cycle();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 4; ++i)
        cycle();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
