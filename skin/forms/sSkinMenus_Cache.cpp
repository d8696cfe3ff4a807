// The popup backgrounds kept while popups are open, and the popup windows'
// subclassing and skinned shape.
#include <memory>

#include "classlib/controls/Forms.h"
#include "classlib/controls/SubclassWindow.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSkinMenus.h"

namespace {

const wchar_t* const PopupKind = L"kvPopupMenu";

// Paints no frame or background of its own (the items and the menu
// wrapper do) and empties the cache when a popup goes.
class TPopupMenuWindow {
public:
    TPopupMenuWindow() : FWindow(TWndMethod(this, &TPopupMenuWindow::PopupMenuWndProc)) {}
    bool Subclass(HWND Wnd) { return FWindow.Subclass(Wnd, PopupKind); }
    bool Active() const { return FWindow.Active(); }

private:
    void PopupMenuWndProc(TMessage& Message)
    {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            Message.Result = 1;
            return;
        case WM_DESTROY:
            ClearCache();
            break;
        }
        FWindow.CallPrevious(Message);
    }
    TSubclassedWindow FWindow;
};

// The subclassers of popup windows; one whose window is gone is freed at
// the next subclassing (never from inside its own window procedure).
std::vector<std::unique_ptr<TPopupMenuWindow>>& PopupWindows()
{
    static std::vector<std::unique_ptr<TPopupMenuWindow>> windows;
    return windows;
}

void SubclassPopup(HWND Wnd)
{
    auto& windows = PopupWindows();
    std::erase_if(windows, [](const auto& w) { return !w->Active(); });
    if (TSubclassedWindow::Find(Wnd, PopupKind))
        return;
    auto w = std::make_unique<TPopupMenuWindow>();
    if (w->Subclass(Wnd))
        windows.push_back(std::move(w));
}

TkvMenuInfo FindInfo(TMenuItem* Key, HWND Wnd)
{
    for (const TkvMenuInfo& mi : MenuInfoArray)
        if (Key ? mi.FirstItem == Key : mi.Wnd == Wnd)
            return mi;
    return {};
}

} // namespace

TkvMenuInfo TsSkinableMenus::GetMenuInfo(TMenuItem* Item, int aWidth, int aHeight, HWND aWnd)
{
    if (!Item)
        return aWnd ? FindInfo(nullptr, aWnd) : TkvMenuInfo{};
    TMenuItem* key = GetFirstItem(Item);
    if (!key)
        return {};
    TkvMenuInfo mi = FindInfo(key, nullptr);
    if (mi.FirstItem || aWidth == 0)
        return mi;
    PrepareMenuBG(key, aWidth, aHeight, aWnd);
    return FindInfo(key, nullptr);
}

void TsSkinableMenus::PrepareMenuBG(TMenuItem* Item, int Width, int Height, HWND Wnd)
{
    bool extraLine = false;
    if (!Designing() && Item->Name() != L"SkinSelectItem")
        extraLine = QueryExtraLine(Item);
    auto bg = std::make_unique<TBitmap>(std::max(Width, 1), std::max(Height, 1), pf24bit);
    GlyphColumnWidth = FMargin + GlyphSize(Item, false).cx + FSpacing;
    ArOR.clear();
    TsSkinManager* sm = Manager();
    const int section = sm ? sm->GetSkinIndex(L"MAINMENU") : -1;
    if (sm && sm->IsValidSkinIndex(section)) {
        // The section's colour; the skin's images are not laid over it here.
        TCanvas* c = bg->Canvas();
        c->Brush()->SetColor(sm->gd[section].Color);
        c->FillRect(TRect(0, 0, bg->Width(), bg->Height()));
    }
    FreeAndNil(ExtraLineGlyph);
    if (Wnd)
        DrawWndBorder(Wnd, bg.get());
    MenuInfoArray.push_back(TkvMenuInfo{Item, bg.release(), Wnd, extraLine});
}

void TsSkinableMenus::DrawWndBorder(HWND Wnd, TBitmap* MenuBmp)
{
    if (BorderDrawing || !Wnd)
        return;
    SubclassPopup(Wnd);
    if (IsNT && MenuBmp &&
        ::SendMessageW(Wnd, SM_KORVEXCMD, MakeKorvexWParam(SMC_SET_UPDATING), 0) == 0) {
        ::SendMessageW(Wnd, SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_DROPPED), 0);
        TFlagScope drawing(BorderDrawing, true);  // pumping messages below may draw items
        HRGN rgn = ::CreateRectRgn(0, 0, MenuBmp->Width(), MenuBmp->Height());
        std::vector<TRect> cut = ArOR.empty() ? std::vector<TRect>{TRect(0, 0, 1, 1)} : ArOR;
        for (const TRect& r : cut) {
            GdiObject<HRGN> part(::CreateRectRgn(r.left, r.top, r.right, r.bottom));
            ::CombineRgn(rgn, rgn, part.Get(), RGN_DIFF);
        }
        // The window owns the region once it is set.
        if (!::SetWindowRgn(Wnd, rgn, TRUE))
            ::DeleteObject(rgn);
        Application->ProcessMessages();
    }
}

void DeleteUnusedBmps()
{
    // Taken out first: freeing a picture never sees a half-emptied cache.
    std::vector<TkvMenuInfo> old;
    old.swap(MenuInfoArray);
    for (TkvMenuInfo& mi : old)
        FreeAndNil(mi.Bmp);
}

void ClearCache()
{
    DeleteUnusedBmps();
}
