// Edits, memos, list boxes, combo boxes, check boxes, radio buttons and
// group boxes, checked through their windows' own messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/streaming/FormReader.h"
#include "tests/support/ResourceCount.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

template <class T>
T* Place(TWinControl* Parent, int Left = 0, int Top = 0)
{
    T* c = New<T>(Parent->Owner() ? Parent->Owner() : Parent);
    c->SetParent(Parent);
    c->SetLeft(Left);
    c->SetTop(Top);
    return c;
}

UnicodeString WindowClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

LONG StyleOf(TWinControl* c) { return GetWindowLongW(c->Handle(), GWL_STYLE); }

struct TEvents : TObject {
    std::vector<UnicodeString> Log;
    void Click(TObject*) { Log.push_back(L"click"); }
    void Change(TObject*) { Log.push_back(L"change"); }
    void Select(TObject*) { Log.push_back(L"select"); }
    void DropDown(TObject*) { Log.push_back(L"dropdown"); }
    void CloseUp(TObject*) { Log.push_back(L"closeup"); }
    void Measure(TWinControl*, int Index, int& Height) { Height = 20 + Index; }
};

} // namespace

TEST(Edit, SelectionLivesInTheWindowAndSurvivesANewWindow)
{
    TOwned<TForm> form = NewForm();
    auto* edit = Place<TEdit>(form.get());
    edit->SetText(L"Hello world");
    // Before the window: kept by the object, applied when it is made.
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    EXPECT_EQ(edit->SelText(), L"world");
    DWORD start = 0, end = 0;
    SendMessageW(edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 6u);
    EXPECT_EQ(end, 11u);

    edit->SetSelText(L"there");
    EXPECT_EQ(edit->Text(), L"Hello there");
    EXPECT_EQ(edit->SelStart(), 11);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_TRUE(edit->Modified());

    SendMessageW(edit->Handle(), EM_SETSEL, 0, 5);
    EXPECT_EQ(edit->SelText(), L"Hello");
    edit->SetAlignment(taRightJustify); // makes the window anew
    EXPECT_TRUE(StyleOf(edit) & ES_RIGHT);
    EXPECT_EQ(edit->Text(), L"Hello there");
    EXPECT_EQ(edit->SelText(), L"Hello");
    EXPECT_TRUE(edit->Modified());
}

TEST(Edit, ReadOnlyPasswordAndChangeEvents)
{
    TOwned<TForm> form = NewForm();
    TEvents events;
    auto* edit = Place<TEdit>(form.get());
    edit->OnChange = Bind(&events, &TEvents::Change);
    edit->SetReadOnly(true);
    edit->SetPasswordChar(L'*');
    EXPECT_EQ(WindowClassOf(edit->Handle()), L"TEdit");
    EXPECT_TRUE(StyleOf(edit) & ES_READONLY);
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'*');

    edit->SetReadOnly(false);
    EXPECT_FALSE(StyleOf(edit) & ES_READONLY);
    edit->SetPasswordChar(0);
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), 0);

    events.Log.clear();
    edit->SetText(L"abc");
    SendMessageW(edit->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L"d"));
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"change", L"change"}));
}

TEST(Memo, LinesBeforeAndAfterTheWindow)
{
    TOwned<TForm> form = NewForm();
    auto* memo = Place<TMemo>(form.get());
    TStrings* lines = memo->Lines();
    lines->Add(L"one");
    lines->Add(L"three");
    lines->Insert(1, L"two");
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(memo->Text(), L"one\r\ntwo\r\nthree\r\n");

    HWND wnd = memo->Handle();
    EXPECT_TRUE(GetWindowLongW(wnd, GWL_STYLE) & ES_MULTILINE);
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(lines->Strings(2), L"three");
    lines->Add(L"four");
    lines->Delete(0);
    EXPECT_EQ(SendMessageW(wnd, EM_GETLINECOUNT, 0, 0), 4); // three lines and the empty one
    EXPECT_EQ(lines->Text(), L"two\r\nthree\r\nfour\r\n");
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
}

TEST(ListBox, ItemsAndIndexThroughTheWindow)
{
    TOwned<TForm> form = NewForm();
    TEvents events;
    auto* list = Place<TListBox>(form.get());
    list->SetBounds(10, 10, 120, 120);
    list->OnClick = Bind(&events, &TEvents::Click);
    TObject marker;
    list->Items()->Add(L"cherry");
    list->Items()->AddObject(L"apple", &marker);
    list->SetItemIndex(1);

    HWND wnd = list->Handle();
    EXPECT_EQ(WindowClassOf(wnd), L"TListBox");
    EXPECT_EQ(SendMessageW(wnd, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(wnd, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(list->Items()->Objects(1), &marker);

    // Sorted remakes the window: items, objects and selection stay.
    list->SetSorted(true);
    EXPECT_TRUE(StyleOf(list) & LBS_SORT);
    EXPECT_EQ(list->Items()->Strings(0), L"apple");
    EXPECT_EQ(list->Items()->Objects(0), &marker);
    EXPECT_EQ(list->Items()->IndexOf(L"CHERRY"), 1);

    // A click on the first item selects it and tells OnClick.
    form->Show();
    TRect r = list->ItemRect(0);
    LPARAM at = MAKELPARAM(r.left + 5, r.top + 2);
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(events.Log, std::vector<UnicodeString>{L"click"});
    EXPECT_THROW(list->Items()->Strings(5), EStringListError);
}

TEST(ListBox, OwnerDrawnItemsAreMeasuredThroughTheirParent)
{
    TOwned<TForm> form = NewForm();
    TEvents events;
    auto* other = Place<TListBox>(form.get(), 200, 0);
    other->Items()->Add(L"x");
    auto* list = Place<TListBox>(form.get());
    list->SetStyle(lbOwnerDrawVariable);
    list->OnMeasureItem = Bind(&events, &TEvents::Measure);
    list->Items()->Add(L"a");
    list->Items()->Add(L"b");
    list->HandleNeeded();
    other->HandleNeeded();
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 1, 0), 21);
    list->Items()->Add(L"c");
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 2, 0), 22);
}

TEST(ComboBox, StylesMapToTheWindowsStyles)
{
    TOwned<TForm> form = NewForm();
    struct Case {
        TComboBoxStyle Style;
        DWORD Expected;
    } cases[] = {
        {csDropDown, CBS_DROPDOWN},
        {csSimple, CBS_SIMPLE},
        {csDropDownList, CBS_DROPDOWNLIST},
        {csOwnerDrawFixed, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED},
        {csOwnerDrawVariable, CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE},
    };
    for (const Case& c : cases) {
        auto* combo = Place<TComboBox>(form.get());
        combo->SetStyle(c.Style);
        LONG style = StyleOf(combo);
        EXPECT_EQ(style & (CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE), LONG(c.Expected))
            << int(c.Style);
        EXPECT_EQ(combo->EditHandle() != nullptr, c.Style == csDropDown || c.Style == csSimple) << int(c.Style);
        EXPECT_EQ(WindowClassOf(combo->Handle()), L"TComboBox");
    }
}

TEST(ComboBox, ItemsIndexDropDownAndSelectionEvents)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TEvents events;
    auto* combo = Place<TComboBox>(form.get(), 10, 10);
    combo->SetStyle(csDropDownList);
    combo->OnSelect = Bind(&events, &TEvents::Select);
    combo->OnClick = Bind(&events, &TEvents::Click);
    combo->OnDropDown = Bind(&events, &TEvents::DropDown);
    combo->OnCloseUp = Bind(&events, &TEvents::CloseUp);
    combo->Items()->Add(L"red");
    combo->Items()->Add(L"green");
    combo->Items()->Add(L"blue");
    combo->SetItemIndex(0);
    HWND wnd = combo->Handle();
    EXPECT_EQ(SendMessageW(wnd, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(wnd, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(combo->Text(), L"red");

    // The keyboard moves the selection: the window tells of it.
    SendMessageW(wnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"click", L"select"}));

    events.Log.clear();
    combo->SetDroppedDown(true);
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_NE(combo->ListHandle(), nullptr);
    combo->SetDroppedDown(false);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(events.Log, (std::vector<UnicodeString>{L"dropdown", L"closeup"}));
}

TEST(ComboBox, TextSetBeforeTheWindowShowsWhenItIsMade)
{
    TOwned<TForm> form = NewForm();
    struct Case {
        const char* Name;
        TComboBoxStyle Style;
        int Index;        // given before the window (-1: none)
        bool IndexFirst;  // the index given before the text
        const wchar_t* Shown;
    } cases[] = {
        {"drop-down, text alone", csDropDown, -1, false, L"typed"},
        {"simple, text alone", csSimple, -1, false, L"typed"},
        {"drop-down, index after the text", csDropDown, 1, false, L"green"},
        {"drop-down, index before the text", csDropDown, 1, true, L"green"},
        {"drop-down list, text alone", csDropDownList, -1, false, L""},
        {"drop-down list, index", csDropDownList, 2, false, L"blue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TEvents events;
        auto* combo = Place<TComboBox>(form.get(), 10, 10);
        combo->SetStyle(c.Style);
        combo->OnChange = Bind(&events, &TEvents::Change);
        for (const wchar_t* s : {L"red", L"green", L"blue"})
            combo->Items()->Add(s);
        if (c.IndexFirst)
            combo->SetItemIndex(c.Index);
        combo->SetText(L"typed");
        if (!c.IndexFirst && c.Index >= 0)
            combo->SetItemIndex(c.Index);
        ASSERT_FALSE(combo->HandleAllocated());
        form->Show();
        ASSERT_TRUE(combo->HandleAllocated());
        EXPECT_EQ(combo->Text(), c.Shown);
        EXPECT_EQ(combo->ItemIndex(), c.Index);
        if (HWND edit = combo->EditHandle()) {
            wchar_t buf[32] = {};
            GetWindowTextW(edit, buf, 32);
            EXPECT_EQ(UnicodeString(buf), c.Shown) << "the edit part";
        }
        EXPECT_TRUE(events.Log.empty()) << "making the window is no change";
        form->Hide();
    }

    // Typed text, nothing selected, outlives a new window.
    auto* combo = Place<TComboBox>(form.get(), 10, 10);
    combo->Items()->Add(L"b");
    combo->Items()->Add(L"a");
    form->Show();
    combo->SetText(L"own words");
    combo->SetSorted(true); // makes the window anew
    EXPECT_EQ(combo->Text(), L"own words");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST(ComboBox, OwnerDrawnVariableItemsAskForTheirHeight)
{
    TOwned<TForm> form = NewForm();
    TEvents events;
    auto* combo = Place<TComboBox>(form.get());
    combo->SetStyle(csOwnerDrawVariable);
    combo->OnMeasureItem = Bind(&events, &TEvents::Measure);
    combo->Items()->Add(L"a");
    combo->Items()->Add(L"b");
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETITEMHEIGHT, 1, 0), 21);
}

// What a window paints of itself through WM_PRINTCLIENT, read back by pixel.
struct TPrinted {
    int Width, Height;
    std::vector<COLORREF> Pixels;
    COLORREF At(int X, int Y) const { return Pixels[size_t(Y * Width + X)]; }
    // Text is smoothed: its strokes come near its colour without always reaching it.
    bool HasNear(COLORREF C) const
    {
        auto close = [C](COLORREF P) {
            return std::abs(GetRValue(P) - GetRValue(C)) <= 0x40 && std::abs(GetGValue(P) - GetGValue(C)) <= 0x40 &&
                   std::abs(GetBValue(P) - GetBValue(C)) <= 0x40;
        };
        return std::any_of(Pixels.begin(), Pixels.end(), close);
    }
};

TPrinted PrintClient(HWND Wnd)
{
    RECT r{};
    GetClientRect(Wnd, &r);
    TPrinted p{r.right, r.bottom, {}};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, p.Width, p.Height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageW(Wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            p.Pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return p;
}

COLORREF BrushColor(HBRUSH Brush)
{
    LOGBRUSH lb{};
    return GetObjectW(Brush, sizeof(lb), &lb) == sizeof(lb) ? lb.lbColor : CLR_INVALID;
}

TEST(ComboBox, EditPartAndListTakeTheControlsColours)
{
    const COLORREF back = RGB(0x20, 0x80, 0x40), text = RGB(0xC0, 0x10, 0x30);
    TOwned<TForm> form = NewForm();
    form->Show();
    for (TComboBoxStyle style : {csDropDown, csSimple, csDropDownList}) {
        SCOPED_TRACE(int(style));
        auto* combo = Place<TComboBox>(form.get(), 10, 10);
        combo->SetStyle(style);
        if (style == csSimple)
            combo->SetHeight(120);
        combo->SetColor(TColor(back));
        combo->Font()->SetColor(TColor(text));
        for (const wchar_t* s : {L"WWWW", L"MMMM"})
            combo->Items()->Add(s);
        combo->SetItemIndex(0);
        const HWND wnd = combo->Handle(), edit = combo->EditHandle(), list = combo->ListHandle();
        ASSERT_TRUE(list);
        const HBRUSH own = combo->Brush()->Handle();

        // The list asks its combo box: Font colour on Color, with the control's brush.
        HDC dc = CreateCompatibleDC(nullptr);
        auto answer = [&](UINT msg, HWND part) {
            SetTextColor(dc, RGB(1, 2, 3));
            SetBkColor(dc, RGB(4, 5, 6));
            return reinterpret_cast<HBRUSH>(SendMessageW(wnd, msg, reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(part)));
        };
        EXPECT_EQ(answer(WM_CTLCOLORLISTBOX, list), own);
        EXPECT_EQ(GetTextColor(dc), text);
        EXPECT_EQ(GetBkColor(dc), back);
        EXPECT_EQ(BrushColor(own), back);
        EXPECT_EQ(answer(WM_CTLCOLORLISTBOX, list), own) << "one brush for every paint";

        if (edit) {
            // The edit part paints its field and text in them.
            const TPrinted field = PrintClient(edit);
            ASSERT_GT(field.Width, 4);
            EXPECT_EQ(field.At(field.Width - 2, field.Height / 2), back);
            EXPECT_TRUE(field.HasNear(text));
            // A new Font colour is the next answer.
            combo->Font()->SetColor(clBlue);
            EXPECT_EQ(answer(WM_CTLCOLOREDIT, edit), combo->Brush()->Handle());
            EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0xFF));
            combo->Font()->SetColor(TColor(text));

            // Disabled, the edit part keeps the system's look.
            combo->SetEnabled(false);
            const TPrinted off = PrintClient(edit);
            EXPECT_NE(off.At(off.Width - 2, off.Height / 2), back);
            EXPECT_FALSE(off.HasNear(text));
            EXPECT_NE(answer(WM_CTLCOLORSTATIC, edit), own);
            combo->SetEnabled(true);
        }
        // A window that is neither part is not coloured by the combo box.
        EXPECT_NE(answer(WM_CTLCOLOREDIT, form->Handle()), own);

        // Answering leaks nothing.
        answer(WM_CTLCOLORLISTBOX, list);
        const TResourceCount before = CountResources();
        for (int i = 0; i < 500; ++i) {
            answer(WM_CTLCOLORLISTBOX, list);
            answer(edit ? WM_CTLCOLOREDIT : WM_CTLCOLORLISTBOX, edit ? edit : list);
        }
        EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
        DeleteDC(dc);
        delete combo;
    }
}

TEST(CheckBox, ClicksStepThroughTheStates)
{
    TOwned<TForm> form = NewForm();
    struct Case {
        bool AllowGrayed;
        std::vector<int> States; // BM_GETCHECK after each click
    } cases[] = {
        {false, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
        {true, {BST_INDETERMINATE, BST_CHECKED, BST_UNCHECKED}},
    };
    for (const Case& c : cases) {
        TEvents events;
        auto* box = Place<TCheckBox>(form.get());
        box->SetAllowGrayed(c.AllowGrayed);
        box->OnClick = Bind(&events, &TEvents::Click);
        EXPECT_EQ(StyleOf(box) & BS_TYPEMASK, BS_3STATE);
        std::vector<int> seen;
        for (size_t i = 0; i < c.States.size(); ++i) {
            SendMessageW(box->Handle(), BM_CLICK, 0, 0);
            seen.push_back(int(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0)));
        }
        EXPECT_EQ(seen, c.States);
        EXPECT_EQ(events.Log.size(), c.States.size());
        EXPECT_EQ(box->Checked(), c.States.back() == BST_CHECKED);
    }
}

TEST(CheckBox, StateAndAlignmentBeforeTheWindow)
{
    TOwned<TForm> form = NewForm();
    auto* box = Place<TCheckBox>(form.get());
    box->SetState(cbGrayed);
    box->SetAlignment(taLeftJustify);
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_TRUE(StyleOf(box) & BS_LEFTTEXT);
    box->SetAlignment(taRightJustify);
    EXPECT_FALSE(StyleOf(box) & BS_LEFTTEXT);
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

TEST(RadioButton, CheckingOneUnchecksItsSiblingsOnly)
{
    TOwned<TForm> form = NewForm();
    auto* a = Place<TRadioButton>(form.get(), 0, 0);
    auto* b = Place<TRadioButton>(form.get(), 0, 20);
    auto* group = Place<TGroupBox>(form.get(), 150, 0);
    auto* inner = Place<TRadioButton>(group, 10, 20);
    inner->SetChecked(true);
    a->SetChecked(true);
    EXPECT_EQ(StyleOf(a) & BS_TYPEMASK, BS_RADIOBUTTON);

    SendMessageW(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(SendMessageW(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(b->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(inner->Checked());
    // The checked button of a group is the one Tab stops at.
    EXPECT_TRUE(b->TabStop());
    EXPECT_FALSE(a->TabStop());
}

TEST(GroupBox, ChildrenAlignBelowTheCaptionInsideTheFrame)
{
    TOwned<TForm> form = NewForm();
    auto* group = Place<TGroupBox>(form.get(), 10, 10);
    group->SetBounds(10, 10, 200, 120);
    group->SetCaption(L"Options");
    auto* panel = Place<TPanel>(group);
    panel->SetAlign(alClient);

    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, group->Font()->Handle());
    TEXTMETRICW tm{};
    SIZE size{};
    GetTextExtentPoint32W(dc, L"0", 1, &size);
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(panel->BoundsRect(), TRect(2, size.cy + 2, 198, 118));
    EXPECT_EQ(WindowClassOf(group->Handle()), L"TGroupBox");
}

TEST(StdCtrlsResource, ControlsReadTheirPublishedProperties)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    ReadComponentFromText(LR"(object Form1: TForm
  object Edit1: TEdit
    PasswordChar = '#'
    ReadOnly = True
    Text = 'secret'
  end
  object List1: TListBox
    Items.Strings = ('b' 'a')
    Sorted = True
  end
  object Combo1: TComboBox
    Style = csDropDownList
    Items.Strings = ('x' 'y' 'z')
    ItemIndex = 2
  end
  object Check1: TCheckBox
    State = cbChecked
  end
  object Group1: TGroupBox
    Caption = 'G'
    object Radio1: TRadioButton
      Checked = True
    end
  end
  object Memo1: TMemo
    Lines.Strings = ('first' 'second')
    ScrollBars = ssVertical
  end
end)",
                          form.get());
    auto* edit = static_cast<TEdit*>(form->FindComponent(L"Edit1"));
    auto* list = static_cast<TListBox*>(form->FindComponent(L"List1"));
    auto* combo = static_cast<TComboBox*>(form->FindComponent(L"Combo1"));
    auto* check = static_cast<TCheckBox*>(form->FindComponent(L"Check1"));
    auto* radio = static_cast<TRadioButton*>(form->FindComponent(L"Radio1"));
    auto* memo = static_cast<TMemo*>(form->FindComponent(L"Memo1"));
    EXPECT_EQ(SendMessageW(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'#');
    EXPECT_TRUE(StyleOf(edit) & ES_READONLY);
    EXPECT_EQ(edit->Text(), L"secret");
    EXPECT_EQ(list->Items()->Strings(0), L"a");
    EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(radio->Parent()->Name(), L"Group1");
    EXPECT_EQ(SendMessageW(radio->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(memo->Lines()->Count(), 2);
    EXPECT_TRUE(StyleOf(memo) & WS_VSCROLL);
}
