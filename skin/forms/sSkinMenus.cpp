// The menu skinner's object and the hooking of the application's menus.
#include "skin/forms/sSkinMenus.h"

#include "classlib/controls/Forms.h"
#include "skin/core/sSkinManager.h"

KV_BEGIN_PUBLISHED(TkvMenuSupport, TPersistent)
    B.Str(L"IcoLineSkin", &C::IcoLineSkin, &C::SetIcoLineSkin);
    B.Bool(L"UseExtraLine", &C::UseExtraLine, &C::SetUseExtraLine, false);
    B.Int(L"ExtraLineWidth", &C::ExtraLineWidth, &C::SetExtraLineWidth, 32);
    B.Object(L"ExtraLineFont", &C::ExtraLineFont, &C::SetExtraLineFont);
KV_END_PUBLISHED

std::vector<TkvMenuInfo> MenuInfoArray;
bool kvCanHookMenu = false;
TFont* CustomMenuFont = nullptr;
TsSkinProvider* MDISkinProvider = nullptr;
TsMenuItemType CurrentItemType = smNormal;
int GlyphColumnWidth = 0;
UnicodeString ExtraLineSection, ExtraLineCaption;
TBitmap* ExtraLineGlyph = nullptr;
bool InExtraLineQuery = false;

namespace {

// The cached pictures and the extra line's glyph go with the program.
struct TMenusUnitEnd {
    ~TMenusUnitEnd()
    {
        ClearCache();
        FreeAndNil(ExtraLineGlyph);
        ExtraLineCaption.clear();
        ExtraLineSection.clear();
    }
} MenusUnitEnd;

using TMeasure = TMenuMeasureItemEvent;
using TDraw = TAdvancedMenuDrawItemEvent;

// An event bound to one of our routines, whatever object it is bound to.
template <class Sig, class Fn>
bool IsOurs(const TMethod<Sig>& Event, Fn Routine)
{
    return Event.Assigned() && Event == TMethod<Sig>(static_cast<TsSkinableMenus*>(Event.Data()), Routine);
}

void SetPopupHandlers(TsSkinableMenus* Menus, TMenuItem* Item)
{
    if (!Item->OnAdvancedDrawItem.Assigned())
        Item->OnAdvancedDrawItem = TDraw(Menus, &TsSkinableMenus::sAdvancedDrawItem);
    if (!Item->OnMeasureItem.Assigned())
        Item->OnMeasureItem = TMeasure(Menus, &TsSkinableMenus::sMeasureItem);
}

void ClearPopupHandlers(TMenuItem* Item)
{
    if (IsOurs(Item->OnAdvancedDrawItem, &TsSkinableMenus::sAdvancedDrawItem))
        Item->OnAdvancedDrawItem = nullptr;
    if (IsOurs(Item->OnMeasureItem, &TsSkinableMenus::sMeasureItem))
        Item->OnMeasureItem = nullptr;
}

void SetLineHandlers(TsSkinableMenus* Menus, TMenuItem* Item)
{
    Item->OnAdvancedDrawItem = TDraw(Menus, &TsSkinableMenus::sAdvancedDrawLineItem);
    Item->OnMeasureItem = TMeasure(Menus, &TsSkinableMenus::sMeasureLineItem);
}

void ClearLineHandlers(TMenuItem* Item)
{
    if (IsOurs(Item->OnAdvancedDrawItem, &TsSkinableMenus::sAdvancedDrawLineItem))
        Item->OnAdvancedDrawItem = nullptr;
    if (IsOurs(Item->OnMeasureItem, &TsSkinableMenus::sMeasureLineItem))
        Item->OnMeasureItem = nullptr;
}

// Clears Item's handlers bound to Menus; true when it had any.
bool ClearHandlersOf(TsSkinableMenus* Menus, TMenuItem* Item)
{
    bool had = false;
    if (Item->OnAdvancedDrawItem.Assigned() && Item->OnAdvancedDrawItem.Data() == Menus) {
        Item->OnAdvancedDrawItem = nullptr;
        had = true;
    }
    if (Item->OnMeasureItem.Assigned() && Item->OnMeasureItem.Data() == Menus) {
        Item->OnMeasureItem = nullptr;
        had = true;
    }
    return had;
}

// Every item below Item, depth first.
template <class F>
void ForEachDescendant(TMenuItem* Item, F f)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* child = Item->Items(i);
        f(child);
        ForEachDescendant(child, f);
    }
}

} // namespace

// ---------------------------------------------------------------------------
TkvMenuSupport::TkvMenuSupport() : FExtraLineFont(new TFont) {}

TkvMenuSupport::~TkvMenuSupport()
{
    FreeAndNil(FExtraLineFont);
}

void TkvMenuSupport::SetExtraLineFont(TFont* Value)
{
    FExtraLineFont->Assign(Value);
}

// ---------------------------------------------------------------------------
TsSkinableMenus::TsSkinableMenus(TComponent* AOwner) : FCaptionFont(new TFont), FOwner(AOwner) {}

TsSkinableMenus::~TsSkinableMenus()
{
    UnhookOwnItems();
    FOwner = nullptr;
    FreeAndNil(FCaptionFont);
}

void TsSkinableMenus::SetCaptionFont(TFont* Value)
{
    FCaptionFont->Assign(Value);
}

TsSkinManager* TsSkinableMenus::Manager() const
{
    return static_cast<TsSkinManager*>(FOwner);
}

bool TsSkinableMenus::Designing() const
{
    return FOwner && FOwner->ComponentState().Contains(csDesigning);
}

void TsSkinableMenus::SetActive(bool Value)
{
    if (Value != FActive)
        InitItems(Value);
}

void TsSkinableMenus::UpdateMenus()
{
    if (Manager())
        SetActive(Manager()->SkinData->Active);
}

void TsSkinableMenus::InitItems(bool A)
{
    FActive = A;
    if (Designing() || !Application || !Manager())
        return;
    const bool popups = A && Manager()->SkinnedPopups();
    // Depth first through the application's components and what they own.
    auto visit = [&](auto&& self, TComponent* Owner) -> void {
        for (int i = 0; i < Owner->ComponentCount(); ++i) {
            TComponent* c = Owner->Components(i);
            if (auto* mm = dynamic_cast<TMainMenu*>(c)) {
                InitMenuLine(mm, A);
                for (int j = 0; j < mm->Items()->Count(); ++j)
                    HookItem(mm->Items()->Items(j), popups);
            } else if (auto* pm = dynamic_cast<TPopupMenu*>(c)) {
                HookPopupMenu(pm, popups);
            } else if (auto* mi = dynamic_cast<TMenuItem*>(c)) {
                if (!dynamic_cast<TMainMenu*>(mi->GetParentMenu()))
                    HookItem(mi, popups);
            }
            self(self, c);
        }
    };
    visit(visit, Application);
}

void TsSkinableMenus::UnhookOwnItems()
{
    if (!Application)
        return;
    auto clearBelow = [this](TMenuItem* Item) {
        bool had = ClearHandlersOf(this, Item);
        ForEachDescendant(Item, [&](TMenuItem* child) { had |= ClearHandlersOf(this, child); });
        return had;
    };
    auto visit = [&](auto&& self, TComponent* Owner) -> void {
        for (int i = 0; i < Owner->ComponentCount(); ++i) {
            TComponent* c = Owner->Components(i);
            if (auto* menu = dynamic_cast<TMenu*>(c)) {
                // A menu drawn by us goes back to the system's drawing.
                if (clearBelow(menu->Items()) && !menu->ComponentState().Contains(csDestroying)) {
                    menu->SetOwnerDraw(false);
                    if (auto* popup = dynamic_cast<TPopupMenu*>(menu)) {
                        TMenuAnimation anim = popup->MenuAnimation();
                        anim.Exclude(maNone);
                        popup->SetMenuAnimation(anim);
                    }
                }
            } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                clearBelow(item);
            }
            self(self, c);
        }
    };
    visit(visit, Application);
    FActive = false;
}

void TsSkinableMenus::HookItem(TMenuItem* MenuItem, bool FActive)
{
    ForEachDescendant(MenuItem, [&](TMenuItem* child) {
        if (!FActive)
            ClearPopupHandlers(child);
        else if (!IsTopLine(child))
            SetPopupHandlers(this, child);
    });
}

void TsSkinableMenus::HookPopupMenu(TPopupMenu* Menu, bool Active)
{
    if (!Menu)
        return;
    Menu->SetOwnerDraw(Active && Manager() && Manager()->SkinnedPopups());
    TMenuAnimation anim = Menu->MenuAnimation();
    if (Active)
        anim.Include(maNone);
    else
        anim.Exclude(maNone);
    Menu->SetMenuAnimation(anim);
    ForEachDescendant(Menu->Items(), [&](TMenuItem* item) {
        if (Active)
            SetPopupHandlers(this, item);
        else
            ClearPopupHandlers(item);
    });
}

void TsSkinableMenus::InitMenuLine(TMainMenu* Menu, bool A)
{
    if (!Menu || !Manager())
        return;
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
        TMenuItem* item = Menu->Items()->Items(i);
        if (!A) {
            ClearLineHandlers(item);
            continue;
        }
        if (!Manager()->SkinData->Active)
            continue;
        // The system keeps drawing a main menu while popups are not skinned.
        if (!Manager()->SkinnedPopups())
            return;
        SetLineHandlers(this, item);
    }
    if (!Menu->ComponentState().Contains(csDestroying))
        Menu->SetOwnerDraw(A);
}

void TsSkinableMenus::InitItem(TMenuItem* Item, bool A)
{
    if (!Item)
        return;
    if (TMenu* menu = Item->GetParentMenu())
        menu->SetOwnerDraw(A);
    if (!A)
        ClearPopupHandlers(Item);
    else if (IsTopLine(Item))
        SetLineHandlers(this, Item);
    else if (Manager() && Manager()->SkinnedPopups())
        SetPopupHandlers(this, Item);
}

bool TsSkinableMenus::IsDivText(TMenuItem* Item) const
{
    const UnicodeString& c = Item->Caption();
    return !c.empty() && c.front() == L'-' && c.back() == L'-';
}

bool TsSkinableMenus::IsTopLine(TMenuItem* Item) const
{
    auto* mm = dynamic_cast<TMainMenu*>(Item->GetParentMenu());
    return mm && Item->Parent() == mm->Items();
}

bool TsSkinableMenus::IsPopupItem(TMenuItem* Item) const
{
    return dynamic_cast<TPopupMenu*>(Item->GetParentMenu()) != nullptr;
}

TRect TsSkinableMenus::ItemRect(TMenuItem*, TRect R) const
{
    R.left += FBorderWidth;
    R.right -= FBorderWidth;
    return R;
}

int TsSkinableMenus::GetSkinBorderWidth()
{
    if (FSkinBorderWidth < 0 && Manager()) {
        TsSkinManager* sm = Manager();
        const int mask = sm->GetMaskIndex(sm->GetSkinIndex(L"MAINMENU"), L"MAINMENU", L"BORDERSMASK");
        if (!sm->IsValidImgIndex(mask))
            FSkinBorderWidth = 0;
        else
            FSkinBorderWidth = sm->ma[mask].BorderWidth > 0 ? sm->ma[mask].BorderWidth : 3;
    }
    return FSkinBorderWidth;
}

int TsSkinableMenus::ExtraWidth(const TkvMenuInfo& mi) const
{
    auto* support = Manager() ? dynamic_cast<TkvMenuSupport*>(Manager()->MenuSupport()) : nullptr;
    return support && support->UseExtraLine() && mi.HaveExtraLine ? support->ExtraLineWidth() : 0;
}

// ---------------------------------------------------------------------------
TMenuItem* GetFirstItem(TMenuItem* Item)
{
    TMenuItem* parent = Item ? Item->Parent() : nullptr;
    return parent && parent->Count() > 0 ? parent->Items(0) : nullptr;
}

bool Breaked(TMenuItem* Item)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return Item->Break() != mbNone;
    for (int i = 0; i <= parent->IndexOf(Item); ++i)
        if (parent->Items(i)->Break() != mbNone)
            return true;
    return false;
}

TSize GlyphSize(TMenuItem* Item, bool Flag)
{
    if (Item->HasBitmap())
        return {Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    if (Flag)
        return {0, 0};
    TMenuItem* parent = Item->Parent();
    if (parent && parent->SubMenuImages())
        return {parent->SubMenuImages()->Width(), parent->SubMenuImages()->Height()};
    TMenu* menu = Item->GetParentMenu();
    if (menu && menu->Images())
        return {menu->Images()->Width(), menu->Images()->Height()};
    return {16, 16};
}
