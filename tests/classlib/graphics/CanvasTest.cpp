#include <gtest/gtest.h>

#include "classlib/graphics/Graphics.h"

#include <memory>

namespace {

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h)
{
    std::unique_ptr<TBitmap> b(New<TBitmap>());
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

int CountPixels(TBitmap* b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            n += b->Canvas()->Pixels(x, y) == c;
    return n;
}

LOGFONTW FontOf(HFONT h)
{
    LOGFONTW lf{};
    ::GetObjectW(h, sizeof(lf), &lf);
    return lf;
}

} // namespace

TEST(TCanvasText, TextLandsInThePixelsInTheFontColour)
{
    auto b = WhiteBitmap(60, 20);
    TCanvas* c = b->Canvas();
    c->Font()->SetColor(clRed);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(2, 2, L"Hello 한글");
    EXPECT_GT(CountPixels(b.get(), clRed), 10);
    EXPECT_GT(CountPixels(b.get(), clWhite), 100); // clear brush: no background box
    EXPECT_GT(c->TextWidth(L"Hello"), c->TextWidth(L"H"));
    EXPECT_GT(c->TextHeight(L"H"), 0);
}

TEST(TCanvasText, TextRectClipsAndFillsWithAnOpaqueBrush)
{
    auto b = WhiteBitmap(60, 20);
    TCanvas* c = b->Canvas();
    c->Font()->SetColor(clBlack);
    c->Brush()->SetColor(clBlue);
    c->TextRect(Rect(0, 0, 10, 20), 0, 0, L"WWWWWWWW");
    EXPECT_EQ(clBlue, c->Pixels(9, 19)); // the whole rectangle is filled
    EXPECT_EQ(clWhite, c->Pixels(12, 5)); // nothing drawn past it
}

TEST(TFontHandle, MadeAgainAfterEveryChangeAndUsedByTheCanvas)
{
    std::unique_ptr<TFont> f(new TFont);
    EXPECT_EQ(L"Tahoma", f->Name());
    EXPECT_EQ(8, f->Size());
    EXPECT_EQ(clWindowText, f->Color());
    EXPECT_EQ(DEFAULT_CHARSET, f->Charset());

    LOGFONTW lf = FontOf(f->Handle());
    EXPECT_EQ(f->Height(), lf.lfHeight);
    f->SetSize(20);
    f->SetStyle({fsBold, fsItalic});
    lf = FontOf(f->Handle());
    EXPECT_EQ(-::MulDiv(20, f->PixelsPerInch(), 72), lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(20, f->Size());

    // A canvas picks the changed font up at its next use.
    auto b = WhiteBitmap(10, 10);
    TCanvas* c = b->Canvas();
    c->Font()->SetHeight(-8);
    const int small = c->TextHeight(L"Xy");
    c->Font()->SetHeight(-30);
    EXPECT_GT(c->TextHeight(L"Xy"), small + 10);
    EXPECT_EQ(c->Font()->Handle(), ::GetCurrentObject(c->Handle(), OBJ_FONT));
}

TEST(TFontAssign, CopiesAttributesAndTellsOnChange)
{
    struct Listener : TObject {
        int Calls = 0;
        void Changed(TObject*) { ++Calls; }
    } listener;
    std::unique_ptr<TFont> a(new TFont), b(new TFont);
    b->OnChange = Bind(&listener, &Listener::Changed);
    a->SetName(L"Arial");
    a->SetHeight(-13);
    a->SetColor(clRed);
    a->SetStyle({fsUnderline});
    a->SetCharset(HANGUL_CHARSET);
    b->Assign(a.get());
    EXPECT_EQ(1, listener.Calls);
    EXPECT_EQ(L"Arial", b->Name());
    EXPECT_EQ(-13, b->Height());
    EXPECT_EQ(clRed, b->Color());
    EXPECT_TRUE(b->Style() == TFontStyles({fsUnderline}));
    EXPECT_EQ(HANGUL_CHARSET, b->Charset());
    std::unique_ptr<TBrush> brush(new TBrush);
    EXPECT_THROW(b->Assign(brush.get()), EConvertError);

    // An adopted handle gives its attributes and is owned from then on.
    LOGFONTW lf{};
    lf.lfHeight = -21;
    lf.lfWeight = FW_BOLD;
    lstrcpyW(lf.lfFaceName, L"Courier New");
    b->SetHandle(::CreateFontIndirectW(&lf));
    EXPECT_EQ(L"Courier New", b->Name());
    EXPECT_EQ(-21, b->Height());
    EXPECT_TRUE(b->Style().Contains(fsBold));
}

// An OnChange observer (a control's CM_FONTCHANGED among them) already gets
// a handle made from the new values; the old handle is deleted once the
// observers are done.
TEST(TGraphicsObjectChange, OnChangeSeesTheNewHandle)
{
    struct Listener : TObject {
        LOGFONTW Font{};
        LOGPEN Pen{};
        LOGBRUSH Brush{};
        HGDIOBJ Seen = nullptr;
        void FontChanged(TObject* s)
        {
            Seen = static_cast<TFont*>(s)->Handle();
            Font = FontOf(static_cast<HFONT>(Seen));
        }
        void PenChanged(TObject* s) { ::GetObjectW(static_cast<TPen*>(s)->Handle(), sizeof(Pen), &Pen); }
        void BrushChanged(TObject* s) { ::GetObjectW(static_cast<TBrush*>(s)->Handle(), sizeof(Brush), &Brush); }
    } l;
    std::unique_ptr<TFont> font(new TFont);
    std::unique_ptr<TPen> pen(new TPen);
    std::unique_ptr<TBrush> brush(new TBrush);
    font->OnChange = Bind(&l, &Listener::FontChanged);
    pen->OnChange = Bind(&l, &Listener::PenChanged);
    brush->OnChange = Bind(&l, &Listener::BrushChanged);

    HGDIOBJ old = font->Handle();
    font->SetHeight(-30);
    EXPECT_EQ(-30, l.Font.lfHeight);
    EXPECT_EQ(0u, ::GetObjectType(old));
    EXPECT_EQ(l.Seen, font->Handle());

    font->SetStyle({fsItalic});
    EXPECT_TRUE(l.Font.lfItalic);

    old = font->Handle();
    LOGFONTW lf{};
    lf.lfHeight = -17;
    lstrcpyW(lf.lfFaceName, L"Courier New");
    HFONT adopted = ::CreateFontIndirectW(&lf);
    font->SetHandle(adopted);
    EXPECT_EQ(adopted, l.Seen);
    EXPECT_EQ(-17, font->Height());
    EXPECT_EQ(0u, ::GetObjectType(old));

    old = pen->Handle();
    pen->SetWidth(5);
    EXPECT_EQ(5, l.Pen.lopnWidth.x);
    EXPECT_EQ(0u, ::GetObjectType(old));
    brush->SetColor(clRed);
    EXPECT_EQ(RGB(255, 0, 0), l.Brush.lbColor);
}

TEST(TCanvasShapes, PenBrushAndModes)
{
    auto b = WhiteBitmap(20, 20);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clRed);
    c->Brush()->SetColor(clLime);
    c->Rectangle(0, 0, 10, 10);
    EXPECT_EQ(clRed, c->Pixels(0, 5));
    EXPECT_EQ(clLime, c->Pixels(5, 5));

    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetStyle(psClear);
    c->Rectangle(10, 10, 20, 20);
    EXPECT_EQ(clWhite, c->Pixels(10, 15));

    // XOR twice restores the picture.
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetMode(pmXor);
    c->MoveTo(0, 15);
    c->LineTo(20, 15);
    EXPECT_EQ(clBlack, c->Pixels(5, 15));
    c->MoveTo(0, 15);
    c->LineTo(20, 15);
    EXPECT_EQ(clWhite, c->Pixels(5, 15));
    EXPECT_EQ(Point(20, 15), c->PenPos());

    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetColor(clBlue);
    c->Brush()->SetColor(clBlue);
    c->Polygon({Point(12, 0), Point(19, 0), Point(19, 7)});
    EXPECT_EQ(clBlue, c->Pixels(18, 2));
}

TEST(TCanvasHandle, ForeignContextIsUsedAndGivenBackClean)
{
    auto b = WhiteBitmap(8, 8);
    MemoryDC dc(nullptr);
    HGDIOBJ before = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    SelectedObject sel(dc.Get(), b->ReleaseHandle());
    {
        std::unique_ptr<TCanvas> c(new TCanvas);
        c->SetHandle(dc.Get());
        c->Brush()->SetColor(clRed);
        c->FillRect(Rect(0, 0, 4, 4));
        c->TextOut(0, 0, L"x");
        EXPECT_EQ(clRed, ::GetPixel(dc.Get(), 3, 3));
        c->SetHandle(nullptr);
        EXPECT_EQ(before, ::GetCurrentObject(dc.Get(), OBJ_FONT));
        EXPECT_FALSE(c->HandleAllocated());
        EXPECT_THROW(c->FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    }
    HBITMAP bmp = static_cast<HBITMAP>(::GetCurrentObject(dc.Get(), OBJ_BITMAP));
    sel.Restore();
    ::DeleteObject(bmp);
}

// Code that draws on Canvas->Handle() itself gets the canvas's current font,
// pen, brush, text colour and background, including changes made after the
// context was first handed out.
TEST(TCanvasHandle, DirectDrawingUsesTheCanvasObjects)
{
    auto b = WhiteBitmap(200, 80);
    TCanvas* c = b->Canvas();
    const int smallHeight = c->TextHeight(L"Wg");
    c->Handle();
    c->Font()->SetHeight(-40);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clRed);
    c->Brush()->SetStyle(bsClear);

    HDC dc = c->Handle();
    EXPECT_EQ(c->Font()->Handle(), ::GetCurrentObject(dc, OBJ_FONT));
    EXPECT_EQ(c->Pen()->Handle(), ::GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(c->Brush()->Handle(), ::GetCurrentObject(dc, OBJ_BRUSH));
    RECT r{};
    ::DrawTextW(dc, L"Wg", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(c->TextExtent(L"Wg"), TSize(r.right, r.bottom));
    EXPECT_GE(r.bottom, 40);
    EXPECT_GT(r.bottom, smallHeight * 2);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    EXPECT_GT(tm.tmWeight, FW_NORMAL);   // the face found may only come semi-bold

    RECT all = {0, 0, 200, 80};
    ::DrawTextW(c->Handle(), L"W", -1, &all, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_GT(CountPixels(b.get(), clRed), 200);   // far more than an 8-point W covers
    EXPECT_EQ(clWhite, c->Pixels(199, 79));          // clear brush: no background box

    // A solid brush gives the text an opaque background in its colour.
    c->Brush()->SetColor(clYellow);
    all = {0, 0, 200, 80};
    ::DrawTextW(c->Handle(), L"W", -1, &all, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_GT(CountPixels(b.get(), clYellow), 20);
}

// Handing out the context any number of times selects each object once, and
// letting the context go puts its own objects back.
TEST(TCanvasHandle, SelectionsAreGivenBackWithTheContext)
{
    MemoryDC dc(nullptr);
    const HGDIOBJ font = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    const HGDIOBJ pen = ::GetCurrentObject(dc.Get(), OBJ_PEN);
    const HGDIOBJ brush = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
    HFONT ours = nullptr;
    {
        std::unique_ptr<TCanvas> c(new TCanvas);
        c->SetHandle(dc.Get());
        c->Handle();
        c->Handle();
        c->Pen()->SetWidth(3);   // pen selected out and in again
        EXPECT_EQ(c->Pen()->Handle(), ::GetCurrentObject(c->Handle(), OBJ_PEN));
        ours = c->Font()->Handle();
        c->SetHandle(nullptr);
        EXPECT_EQ(font, ::GetCurrentObject(dc.Get(), OBJ_FONT));
        EXPECT_EQ(pen, ::GetCurrentObject(dc.Get(), OBJ_PEN));
        EXPECT_EQ(brush, ::GetCurrentObject(dc.Get(), OBJ_BRUSH));
        c->SetHandle(dc.Get());
        c->Handle();
    }
    // The canvas went while its font was in the context: the font is out of
    // it and freed.
    EXPECT_EQ(font, ::GetCurrentObject(dc.Get(), OBJ_FONT));
    EXPECT_EQ(0u, ::GetObjectType(ours));
}

TEST(TCanvasCopy, CopyRectAndStretchDraw)
{
    auto src = WhiteBitmap(4, 4);
    src->Canvas()->SetPixels(0, 0, clRed);
    auto dst = WhiteBitmap(8, 8);
    dst->Canvas()->CopyRect(Rect(0, 0, 8, 8), src->Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(clRed, dst->Canvas()->Pixels(1, 1));
    EXPECT_EQ(clWhite, dst->Canvas()->Pixels(2, 2));
    dst->Canvas()->SetCopyMode(cmNotSrcCopy);
    dst->Canvas()->StretchDraw(Rect(4, 4, 8, 8), src.get());
    EXPECT_EQ(clAqua, dst->Canvas()->Pixels(4, 4)); // red inverted
}

TEST(TCanvasLock, CountsNestedLocks)
{
    std::unique_ptr<TCanvas> c(new TCanvas);
    c->Lock();
    c->Lock();
    EXPECT_EQ(2, c->LockCount());
    c->Unlock();
    c->Unlock();
    EXPECT_EQ(0, c->LockCount());
    c->Unlock(); // one too many does no harm
    EXPECT_EQ(0, c->LockCount());
}

TEST(Colors, SystemColoursAndNames)
{
    EXPECT_EQ(TColor(::GetSysColor(COLOR_BTNFACE)), ColorToRGB(clBtnFace));
    EXPECT_EQ(TColor(::GetSysColor(COLOR_WINDOWTEXT)), ColorToRGB(clWindowText));
    EXPECT_EQ(clNone, ColorToRGB(clNone));
    EXPECT_EQ(clDefault, ColorToRGB(clDefault));
    EXPECT_EQ(0x123456, ColorToRGB(0x123456));

    struct Case {
        const wchar_t* Text;
        TColor Value;
        const wchar_t* Back;
    };
    for (Case c : {Case{L"clRed", 0x0000FF, L"clRed"}, Case{L"CLBTNFACE", clBtnFace, L"clBtnFace"},
                   Case{L"clLtGray", clSilver, L"clSilver"}, Case{L"$00123456", 0x123456, L"$00123456"},
                   Case{L"16711935", clFuchsia, L"clFuchsia"}, Case{L"clNone", 0x1FFFFFFF, L"clNone"},
                   Case{L"$FF000030", TColor(0xFF000030), L"$FF000030"}}) {
        EXPECT_EQ(c.Value, StringToColor(c.Text)) << c.Text;
        EXPECT_EQ(UnicodeString(c.Back), ColorToString(c.Value)) << c.Text;
    }
    EXPECT_THROW(StringToColor(L"clNoSuchColour"), EConvertError);
}

TEST(Colors, ColourTableOrder)
{
    struct Collector : TObject {
        std::vector<UnicodeString> Names;
        void Add(const UnicodeString& s) { Names.push_back(s); }
    } names;
    GetColorValues(Bind(&names, &Collector::Add));
    ASSERT_EQ(52u, names.Names.size());
    EXPECT_EQ(L"clBlack", names.Names[0]);
    EXPECT_EQ(L"clWhite", names.Names[15]);
    EXPECT_EQ(L"clMedGray", names.Names[19]);
    EXPECT_EQ(L"clActiveBorder", names.Names[20]);
    EXPECT_EQ(L"clDefault", names.Names[29]);
    EXPECT_EQ(L"clNone", names.Names[45]);
    EXPECT_EQ(L"clWindowText", names.Names[51]);
}

// Form resources set font, brush and pen properties by name, with the
// colour and charset identifiers.
TEST(GraphicsObjectsPublished, PropertiesByName)
{
    std::unique_ptr<TFont> f(new TFont);
    SetStrProp(f.get(), L"Name", L"Arial");
    SetOrdProp(f.get(), L"Height", -11);
    SetSetProp(f.get(), L"Style", L"[fsBold,fsUnderline]");
    int64_t v = 0;
    ASSERT_TRUE(IdentToIntOfType(L"TColor", L"clBtnFace", v));
    SetOrdProp(f.get(), L"Color", v);
    ASSERT_TRUE(IdentToIntOfType(L"TFontCharset", L"HANGEUL_CHARSET", v));
    SetOrdProp(f.get(), L"Charset", v);
    EXPECT_EQ(L"Arial", f->Name());
    EXPECT_EQ(-11, f->Height());
    EXPECT_TRUE(f->Style() == TFontStyles({fsBold, fsUnderline}));
    EXPECT_EQ(clBtnFace, f->Color());
    EXPECT_EQ(HANGUL_CHARSET, f->Charset());
    UnicodeString ident;
    EXPECT_TRUE(IntToIdentOfType(L"TFontCharset", DEFAULT_CHARSET, ident));
    EXPECT_EQ(L"DEFAULT_CHARSET", ident);

    std::unique_ptr<TPen> p(new TPen);
    SetEnumProp(p.get(), L"Mode", L"pmXor");
    EXPECT_EQ(pmXor, p->Mode());
    std::unique_ptr<TBrush> b(new TBrush);
    SetEnumProp(b.get(), L"Style", L"bsClear");
    EXPECT_EQ(bsClear, b->Style());
}
