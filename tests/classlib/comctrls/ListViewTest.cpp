// The list view over its "SysListView32" window: columns in the header,
// items with their sub-items, selection, colours and custom drawing.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Forms.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

UnicodeString ItemText(HWND Wnd, int Item, int SubItem)
{
    wchar_t buffer[64] = {};
    LVITEMW lv{};
    lv.iSubItem = SubItem;
    lv.pszText = buffer;
    lv.cchTextMax = 64;
    SendMessageW(Wnd, LVM_GETITEMTEXTW, Item, reinterpret_cast<LPARAM>(&lv));
    return buffer;
}

struct THeaderItem {
    UnicodeString Text;
    int Width;
    int Format;
};

THeaderItem HeaderItem(HWND Header, int Index)
{
    wchar_t buffer[64] = {};
    HDITEMW hd{};
    hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    hd.pszText = buffer;
    hd.cchTextMax = 64;
    SendMessageW(Header, HDM_GETITEMW, Index, reinterpret_cast<LPARAM>(&hd));
    return {buffer, hd.cxy, hd.fmt};
}

// A report view with three columns and two rows.
TListView* NewReport(TForm* Form)
{
    auto* lv = New<TListView>(Form);
    lv->SetParent(Form);
    lv->SetBounds(10, 10, 300, 200);
    lv->SetViewStyle(vsReport);
    const struct {
        const wchar_t* Caption;
        int Width;
        TAlignment Alignment;
    } columns[] = {{L"Name", 100, taLeftJustify}, {L"Size", 60, taRightJustify}, {L"Kind", 80, taCenter}};
    for (const auto& c : columns) {
        TListColumn* col = lv->Columns()->Add();
        col->SetCaption(c.Caption);
        col->SetWidth(c.Width);
        col->SetAlignment(c.Alignment);
    }
    for (const wchar_t* name : {L"alpha", L"beta"}) {
        TListItem* item = lv->Items()->Add();
        item->SetCaption(name);
        item->SubItems()->Add(UnicodeString(name) + L"-size");
        item->SubItems()->Add(UnicodeString(name) + L"-kind");
    }
    return lv;
}

struct TDrawLog : TObject {
    std::vector<TCustomDrawStage> Stages;
    bool Default = true;
    void Draw(TCustomListView* Sender, const TRect& R, TCustomDrawStage Stage, bool& DefaultDraw)
    {
        Stages.push_back(Stage);
        if (Stage == cdPrePaint) {
            Sender->Canvas()->Brush()->SetColor(clRed);
            Sender->Canvas()->FillRect(R);
            DefaultDraw = Default;
        }
    }
};

} // namespace

TEST(ListView, AReportViewShowsTheColumnsInItsHeaderAndTheItemsInItsRows)
{
    TOwned<TForm> form = NewForm();
    TListView* lv = NewReport(form.get());
    HWND wnd = lv->Handle();
    HWND header = FindWindowExW(wnd, nullptr, L"SysHeader32", nullptr);
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
    THeaderItem size = HeaderItem(header, 1);
    EXPECT_EQ(size.Text, L"Size");
    EXPECT_EQ(size.Width, 60);
    EXPECT_EQ(size.Format & HDF_JUSTIFYMASK, HDF_RIGHT);
    EXPECT_EQ(HeaderItem(header, 2).Format & HDF_JUSTIFYMASK, HDF_CENTER);
    EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ItemText(wnd, 1, 0), L"beta");
    EXPECT_EQ(ItemText(wnd, 1, 2), L"beta-kind");

    // Changes reach the window: a column's caption, an inserted item, a
    // sub-item, a deleted item and column.
    lv->Columns()->Items(0)->SetCaption(L"File");
    EXPECT_EQ(HeaderItem(header, 0).Text, L"File");
    TListItem* first = lv->Items()->Insert(0);
    first->SetCaption(L"zero");
    first->SubItems()->Add(L"0 KB");
    EXPECT_EQ(ItemText(wnd, 0, 0), L"zero");
    EXPECT_EQ(ItemText(wnd, 0, 1), L"0 KB");
    EXPECT_EQ(ItemText(wnd, 1, 0), L"alpha");
    lv->Items()->Item(1)->SubItems()->SetStrings(0, L"1 KB");
    EXPECT_EQ(ItemText(wnd, 1, 1), L"1 KB");
    lv->Items()->Delete(2);
    EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 2);
    lv->Columns()->Delete(2);
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_THROW(lv->Items()->Item(5), EListError);
}

TEST(ListView, ItemsColumnsAndSelectionSurviveANewWindow)
{
    TOwned<TForm> form = NewForm();
    TListView* lv = NewReport(form.get());
    HWND wnd = lv->Handle();
    lv->SetSelected(lv->Items()->Item(1));
    EXPECT_EQ(lv->ItemIndex(), 1);
    EXPECT_EQ(lv->SelCount(), 1);
    // The user drags a column wider.
    SendMessageW(wnd, LVM_SETCOLUMNWIDTH, 0, 140);
    EXPECT_EQ(lv->Columns()->Items(0)->Width(), 140);

    lv->SetReadOnly(true);
    HWND again = lv->Handle();
    EXPECT_NE(again, wnd);
    EXPECT_FALSE(GetWindowLongW(again, GWL_STYLE) & LVS_EDITLABELS);
    EXPECT_EQ(SendMessageW(again, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ItemText(again, 0, 2), L"alpha-kind");
    EXPECT_EQ(SendMessageW(again, LVM_GETCOLUMNWIDTH, 0, 0), 140);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
    EXPECT_TRUE(lv->Items()->Item(1)->Selected());
    EXPECT_FALSE(lv->Items()->Item(0)->Selected());

    // The view changes in place.
    lv->SetViewStyle(vsList);
    EXPECT_EQ(lv->Handle(), again);
    EXPECT_EQ(GetWindowLongW(again, GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
}

TEST(ListView, ColourAndFontColourReachTheWindow)
{
    TOwned<TForm> form = NewForm();
    TListView* lv = NewReport(form.get());
    lv->SetColor(TColor(0x102030));
    lv->Font()->SetColor(TColor(0x405060));
    HWND wnd = lv->Handle();
    EXPECT_EQ(SendMessageW(wnd, LVM_GETBKCOLOR, 0, 0), 0x102030);
    EXPECT_EQ(SendMessageW(wnd, LVM_GETTEXTBKCOLOR, 0, 0), 0x102030);
    EXPECT_EQ(SendMessageW(wnd, LVM_GETTEXTCOLOR, 0, 0), 0x405060);
    // A system colour is given as its value.
    lv->SetColor(clBtnFace);
    EXPECT_EQ(COLORREF(SendMessageW(wnd, LVM_GETBKCOLOR, 0, 0)), GetSysColor(COLOR_BTNFACE));
}

TEST(ListView, AdvancedCustomDrawPaintsTheControlOrLetsTheWindowDraw)
{
    TOwned<TForm> form = NewForm();
    TListView* lv = NewReport(form.get());
    TDrawLog log;
    lv->OnAdvancedCustomDraw = Bind(&log, &TDrawLog::Draw);
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(300, 200);
    HDC dc = bmp.Canvas()->Handle();

    log.Default = false;
    SendMessageW(lv->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(log.Stages, std::vector<TCustomDrawStage>{cdPrePaint});
    EXPECT_EQ(GetPixel(dc, 150, 150), RGB(255, 0, 0));

    // Drawing on: the window paints its rows over it and the post-paint
    // stage follows.
    log.Stages.clear();
    log.Default = true;
    SendMessageW(lv->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(log.Stages, (std::vector<TCustomDrawStage>{cdPrePaint, cdPostPaint}));
}
