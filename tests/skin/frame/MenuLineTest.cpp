// The items of a form's menu bar drawn on the skin's menu line: into the
// window image while the provider paints it, and onto the window where the
// system draws an item; hot items on the hot "MENUITEM", disabled ones
// faded into the line.
#include <memory>

#include "FrameFixture.h"
#include "skin/forms/sSkinMenus.h"

using namespace frametest;

namespace {

std::unique_ptr<TBitmap> CopyOf(TBitmap* Src, const TRect& R)
{
    auto b = std::make_unique<TBitmap>(R.Width(), R.Height(), pf24bit);
    ::BitBlt(b->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Src->Canvas()->Handle(), R.left, R.top, SRCCOPY);
    return b;
}

bool Same(TBitmap* A, TBitmap* B)
{
    for (int y = 0; y < A->Height(); ++y)
        for (int x = 0; x < A->Width(); ++x)
            if (!(PixelAt(A, x, y) == PixelAt(B, x, y)))
                return false;
    return true;
}

} // namespace

class MenuLine : public FrameTest {};

TEST_F(MenuLine, BarItemsAreDrawnOnTheSkinsMenuLine)
{
    TMainMenu* menu = nullptr;
    TOwned<TForm> form(NewForm(bsSizeable, L"Menu", [&](TForm* f) { menu = AddMenu(f, {L"File", L"Edit"}); }));
    TsSkinProvider* sp = ProviderOf(form.get());
    TBitmap* img = Image(sp);
    RECT w, item;
    ::GetWindowRect(form->Handle(), &w);
    ASSERT_TRUE(::GetMenuItemRect(form->Handle(), menu->Handle(), 1, &item));
    ::OffsetRect(&item, -w.left, -w.top);
    const TPoint origin = sp->FrameImageOrigin();
    const TRect inImage(item.left + origin.x, item.top + origin.y, item.right + origin.x, item.bottom + origin.y);
    TMenuItem* edit = menu->Items()->Items(1);
    ASSERT_TRUE(edit->OnAdvancedDrawItem.Assigned());
    const auto normal = CopyOf(img, inImage);

    // The system draws the item on the window (window coordinates): the same picture.
    TBitmap window(w.right - w.left, w.bottom - w.top, pf24bit);
    edit->OnAdvancedDrawItem(edit, window.Canvas(), TRect(item), TOwnerDrawState{odNoAccel});
    EXPECT_TRUE(Same(CopyOf(&window, TRect(item)).get(), normal.get()));

    edit->OnAdvancedDrawItem(edit, window.Canvas(), TRect(item), TOwnerDrawState{odSelected});
    EXPECT_FALSE(Same(CopyOf(&window, TRect(item)).get(), normal.get())) << "hot";

    edit->SetEnabled(false);
    img = Image(sp);
    EXPECT_FALSE(Same(CopyOf(img, inImage).get(), normal.get())) << "disabled, faded into the line";
}
