// Push buttons clicked through their window: clicks the button itself
// makes are not taken for the user's, and a button freed by its own OnClick
// leaves nothing that touches it afterwards.
#include <gtest/gtest.h>

#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

class TQuietButton : public TButton {
    KV_CLASS(TQuietButton)
public:
    explicit TQuietButton(TComponent* AOwner) : TButton(AOwner) {}
    using TButton::SetClicksDisabled;
};

struct TFreeOnClick : TObject {
    int Clicks = 0;
    int MouseUps = 0;
    void Click(TObject* Sender)
    {
        ++Clicks;
        TObject* o = Sender;
        FreeAndNil(o);
    }
    void MouseUp(TObject*, TMouseButton, TShiftState, int, int) { ++MouseUps; }
};

struct TCounter : TObject {
    int Count = 0;
    void Hit(TObject*) { ++Count; }
};

void ClickWithTheMouse(HWND Wnd)
{
    SendMessageW(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

} // namespace

TEST(ButtonClick, ClicksTheButtonMakesItselfAreNotTheUsers)
{
    TOwned<TForm> form = NewForm();
    TCounter clicks;
    auto* btn = New<TQuietButton>(form.get());
    btn->SetParent(form.get());
    btn->OnClick = Bind(&clicks, &TCounter::Hit);
    form->Show();

    btn->SetClicksDisabled(true);
    SendMessageW(btn->Handle(), BM_CLICK, 0, 0);
    ClickWithTheMouse(btn->Handle());
    EXPECT_EQ(clicks.Count, 0);
    btn->SetClicksDisabled(false);
    ClickWithTheMouse(btn->Handle());
    EXPECT_EQ(clicks.Count, 1);

    // The left button is known held from the press to the release.
    SendMessageW(btn->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(btn->ControlState().Contains(csLButtonDown));
    SendMessageW(btn->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(btn->ControlState().Contains(csLButtonDown));
    EXPECT_EQ(clicks.Count, 2);
}

TEST(ButtonClick, AButtonFreedByItsOwnOnClickIsNotTouchedAfterwards)
{
    TOwned<TForm> form = NewForm();
    TFreeOnClick handler;
    auto* btn = New<TButton>(form.get());
    btn->SetParent(form.get());
    btn->OnClick = Bind(&handler, &TFreeOnClick::Click);
    btn->OnMouseUp = Bind(&handler, &TFreeOnClick::MouseUp);
    form->Show();
    HWND wnd = btn->Handle();

    ClickWithTheMouse(wnd);
    EXPECT_EQ(handler.Clicks, 1);
    EXPECT_EQ(handler.MouseUps, 0) << "the freed button reports no release";
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(form->ControlCount(), 0);
}
