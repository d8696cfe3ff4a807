#include "skin/forms/sSkinProvider_SysMenu.h"

#include <memory>

#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStrings.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"

namespace {

const wchar_t* const SkinItemName = L"SkinSelectItem";

// One entry of the window's system menu: its caption and shortcut text
// (split at the tab); False when its text cannot be read.
bool ReadEntry(HMENU Menu, UINT Id, UINT Flags, UnicodeString& Caption, UnicodeString& ShortCutText)
{
    wchar_t buf[256] = {};
    if (::GetMenuStringW(Menu, Id, buf, 255, Flags) <= 0)
        return false;
    const UnicodeString text(buf);
    const size_t tab = text.find(L'\t');
    Caption = tab == UnicodeString::npos ? text : text.substr(0, tab);
    ShortCutText = tab == UnicodeString::npos ? UnicodeString() : text.substr(tab + 1);
    return true;
}

struct TStandardItem {
    UINT Command;
    const wchar_t* Name;
    UnicodeString* Fallback;
    void (TsSystemMenu::*Click)(TObject*);
    TMenuItem* TsSystemMenu::*Field;
};

const TStandardItem& StandardItem(UINT Command)
{
    static const TStandardItem items[] = {
        {SC_RESTORE, L"kvIR", &kvs_RestoreStr, &TsSystemMenu::RestoreClick, &TsSystemMenu::ItemRestore},
        {SC_MOVE, L"kvIM", &kvs_MoveStr, &TsSystemMenu::MoveClick, &TsSystemMenu::ItemMove},
        {SC_SIZE, L"kvIS", &kvs_SizeStr, &TsSystemMenu::SizeClick, &TsSystemMenu::ItemSize},
        {SC_MINIMIZE, L"kvIN", &kvs_MinimizeStr, &TsSystemMenu::MinClick, &TsSystemMenu::ItemMinimize},
        {SC_MAXIMIZE, L"kvIX", &kvs_MaximizeStr, &TsSystemMenu::MaxClick, &TsSystemMenu::ItemMaximize},
        {SC_CLOSE, L"kvIC", &kvs_CloseStr, &TsSystemMenu::CloseClick, &TsSystemMenu::ItemClose},
    };
    for (const TStandardItem& i : items)
        if (i.Command == Command)
            return i;
    return items[0];
}

void SetState(TMenuItem* Item, bool Visible, bool Enabled)
{
    if (!Item)
        return;
    Item->SetVisible(Visible);
    Item->SetEnabled(Enabled);
}

} // namespace

TsSystemMenu::TsSystemMenu(TsSkinProvider* AOwner) : TsCustomSysMenu(AOwner), FOwner(AOwner), FForm(AOwner->Form)
{
    SetName(L"SysMenu");
    Generate();
}

void TsSystemMenu::ForgetItems()
{
    ItemRestore = ItemMove = ItemSize = ItemMinimize = ItemMaximize = ItemClose = nullptr;
}

TMenuItem* TsSystemMenu::AddStandardItem(HMENU SysMenu, UINT Command)
{
    const TStandardItem& s = StandardItem(Command);
    UnicodeString caption, shortcut;
    if (!ReadEntry(SysMenu, Command, MF_BYCOMMAND, caption, shortcut)) {
        caption = *s.Fallback;
        shortcut.clear();
    }
    auto* item = New<TMenuItem>(this);
    item->SetCaption(caption);
    item->SetName(s.Name);
    item->OnClick = Bind(this, s.Click);
    item->SetTag(intptr_t(Command));
    if (Command == SC_CLOSE && !shortcut.empty())
        item->SetShortCut(TextToShortCut(shortcut));
    Items()->Add(item);
    this->*s.Field = item;
    return item;
}

void TsSystemMenu::AddSeparator()
{
    auto* line = New<TMenuItem>(this);
    line->SetCaption(L"-");
    Items()->Add(line);
}

void TsSystemMenu::Generate()
{
    Items()->Clear();
    ForgetItems();
    ExtItemsCount = 0;
    if (!FForm || !FForm->HandleAllocated())
        return;
    HMENU sys = ::GetSystemMenu(FForm->Handle(), FALSE);
    if (!sys)
        return;
    for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE})
        AddStandardItem(sys, command);
    AddSeparator();
    const int n = ::GetMenuItemCount(sys);
    for (int pos = 0; pos < n; ++pos) {
        const UINT id = ::GetMenuItemID(sys, pos);
        // Commands of the application only: the system's lie at 0xF000 and
        // above, a submenu answers -1 and carries no command to post.
        if (id == UINT(-1) || int(id) >= 0xF000)
            continue;
        UnicodeString caption, shortcut;
        if (!ReadEntry(sys, UINT(pos), MF_BYPOSITION, caption, shortcut))
            continue;
        auto* item = New<TMenuItem>(this);
        item->SetCaption(caption);
        item->SetTag(intptr_t(id));
        if (!shortcut.empty())
            item->SetShortCut(TextToShortCut(shortcut));
        item->OnClick = Bind(this, &TsSystemMenu::ExtClick);
        Items()->Add(item);
        ++ExtItemsCount;
    }
    if (ExtItemsCount > 0)
        AddSeparator();
    AddStandardItem(sys, SC_CLOSE);
}

void TsSystemMenu::UpdateItems(bool Full)
{
    if (Full || !ItemClose)
        Generate();
    if (!FForm)
        return;
    SetState(ItemRestore, VisibleRestore(), EnabledRestore());
    SetState(ItemMove, true, EnabledMove());
    SetState(ItemSize, VisibleSize(), EnabledSize());
    SetState(ItemMinimize, VisibleMin(), EnabledMin());
    SetState(ItemMaximize, VisibleMax(), EnabledMax());
    SetState(ItemClose, VisibleClose(), true);
}

void TsSystemMenu::MakeSkinItems()
{
    TsSkinManager* sm = FOwner->SkinData()->GetSkinManager();
    if (!sm)
        return;
    TStringList names;
    sm->GetSkinNames(&names, stAllSkins);
    if (names.Count() == 0)
        return;
    auto* parent = New<TMenuItem>(this);
    parent->SetCaption(kvs_AvailSkins);
    parent->SetName(SkinItemName);
    Items()->Insert(0, parent);
    auto* line = New<TMenuItem>(this);
    line->SetCaption(L"-");
    Items()->Insert(1, line);
    for (int i = 0; i < names.Count(); ++i) {
        auto* item = New<TMenuItem>(this);
        item->SetCaption(names[i]);
        item->OnClick = Bind(this, &TsSystemMenu::SkinSelect);
        item->SetName(UnicodeString(SkinItemName) + IntToStr(i));
        item->SetRadioItem(true);
        item->SetChecked(names[i] == sm->SkinName());
        if (i > 0 && i % 20 == 0)
            item->SetBreak(mbBreak);
        parent->Add(item);
    }
}

bool TsSystemMenu::Iconic()
{
    return FForm && FForm->HandleAllocated() && ::IsIconic(FForm->Handle());
}

bool TsSystemMenu::MDIChild()
{
    return FForm && FForm->FormStyle() == fsMDIChild;
}

bool TsSystemMenu::BigBorder()
{
    return FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
}

bool TsSystemMenu::VisibleClose()
{
    return FOwner->HaveSysMenu;
}

bool TsSystemMenu::VisibleMax()
{
    return VisibleClose() && (Iconic() || MDIChild() || (BigBorder() && FForm->BorderIcons().Contains(biMaximize)));
}

bool TsSystemMenu::VisibleMin()
{
    return VisibleClose() && (Iconic() || MDIChild() || (BigBorder() && FForm->BorderIcons().Contains(biMinimize)));
}

bool TsSystemMenu::VisibleRestore()
{
    return VisibleClose() && (MDIChild() || BigBorder());
}

bool TsSystemMenu::VisibleSize()
{
    if (MDIChild())
        return true;
    const TFormBorderStyle bs = FForm->BorderStyle();
    return bs != bsNone && bs != bsDialog && bs != bsToolWindow;
}

bool TsSystemMenu::EnabledMax()
{
    return FForm->BorderIcons().Contains(biMaximize) &&
           (MDIChild() || (FForm->WindowState() != wsMaximized && BigBorder()));
}

bool TsSystemMenu::EnabledMin()
{
    return FForm->BorderIcons().Contains(biMinimize) && FForm->WindowState() != wsMinimized;
}

bool TsSystemMenu::EnabledRestore()
{
    const TWindowState ws = FForm->WindowState();
    return (FForm->BorderIcons().Contains(biMaximize) && ws != wsNormal) || ws == wsMinimized;
}

bool TsSystemMenu::EnabledMove()
{
    return FForm->WindowState() != wsMaximized;
}

bool TsSystemMenu::EnabledSize()
{
    return FForm->BorderStyle() != bsSingle && !Iconic();
}

// ---------------------------------------------------------------------------
// Clicks

void TsSystemMenu::SendCommand(WPARAM Command)
{
    if (FForm && FForm->HandleAllocated())
        ::SendMessageW(FForm->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsSystemMenu::RestoreClick(TObject*)
{
    SendCommand(SC_RESTORE);
    UpdateItems(false);
}

void TsSystemMenu::MoveClick(TObject*)
{
    SendCommand(SC_MOVE);
}

void TsSystemMenu::SizeClick(TObject*)
{
    SendCommand(SC_SIZE);
}

void TsSystemMenu::MinClick(TObject*)
{
    if (Application && FForm == Application->MainForm()) {
        Application->Minimize();
        UpdateItems(false);
    } else {
        SendCommand(SC_MINIMIZE);
    }
}

void TsSystemMenu::MaxClick(TObject*)
{
    SendCommand(SC_MAXIMIZE);
    UpdateItems(false);
}

void TsSystemMenu::CloseClick(TObject*)
{
    SendCommand(SC_CLOSE);
}

void TsSystemMenu::ExtClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item && FForm && FForm->HandleAllocated())
        ::PostMessageW(FForm->Handle(), WM_SYSCOMMAND, WPARAM(item->Tag()), 0);
}

void TsSystemMenu::SkinSelect(TObject* Sender)
{
    TsSkinManager* sm = FOwner->SkinData()->GetSkinManager();
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!sm || !item)
        return;
    UnicodeString name = item->Caption();
    std::erase(name, L'&');
    const size_t internal = kvs_InternalSkin.empty() ? UnicodeString::npos : name.find(kvs_InternalSkin);
    if (internal != UnicodeString::npos)
        name.resize(internal + kvs_InternalSkin.size());
    sm->SetSkinName(name);
}

// ---------------------------------------------------------------------------
// Dropping the menu

namespace {

void EnableSysMenuItem(HMENU Menu, UINT Command, bool Enabled)
{
    ::EnableMenuItem(Menu, Command, MF_BYCOMMAND | (Enabled ? 0 : MF_GRAYED | MF_DISABLED));
}

} // namespace

void TsSkinProvider::DropSysMenu(int X, int Y)
{
    TsSkinManager* sm = Manager();
    if (!SystemMenu || !Form || !Form->HandleAllocated())
        return;
    TsSkinableMenus* menus = sm ? dynamic_cast<TsSkinableMenus*>(sm->SkinableMenus()) : nullptr;
    if (sm && sm->SkinnedPopups() && menus) {
        // A menu with commands of the application is read again each time.
        SystemMenu->UpdateItems(SystemMenu->ExtItemsCount > 0);
        if (FMakeSkinMenu) {
            TMenuItem* root = SystemMenu->Items();
            if (root->Count() > 0 && root->Items(0)->Name() == SkinItemName) {
                TMenuItem* old = root->Items(0);
                old->Clear();
                delete old;
                if (root->Count() > 0 && root->Items(0)->IsLine())
                    delete root->Items(0);
            }
            SystemMenu->MakeSkinItems();
        }
        menus->HookPopupMenu(SystemMenu, true);
        SystemMenu->SetWindowHandle(Form->Handle());
        SystemMenu->Popup(X, Y);
        return;
    }
    const HWND wnd = Form->Handle();
    const LONG style = ::GetWindowLongW(wnd, GWL_STYLE);
    ::SetWindowLongW(wnd, GWL_STYLE, style & ~WS_VISIBLE);
    HMENU sys = ::GetSystemMenu(wnd, FALSE);
    TsSystemMenu* m = SystemMenu;
    const bool iconic = ::IsIconic(wnd);
    EnableSysMenuItem(sys, SC_RESTORE, m->VisibleRestore() && m->EnabledRestore());
    EnableSysMenuItem(sys, SC_MOVE, m->EnabledMove() && !iconic);
    EnableSysMenuItem(sys, SC_SIZE, m->VisibleSize() && m->EnabledSize() && Form->WindowState() == wsNormal);
    EnableSysMenuItem(sys, SC_MINIMIZE, m->VisibleMin() && m->EnabledMin());
    EnableSysMenuItem(sys, SC_MAXIMIZE, m->VisibleMax() && m->EnabledMax());
    EnableSysMenuItem(sys, SC_CLOSE, m->VisibleClose());
    ::SetWindowLongW(wnd, GWL_STYLE, ::GetWindowLongW(wnd, GWL_STYLE) | WS_VISIBLE);
    const int command = int(::TrackPopupMenu(sys, TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, wnd, nullptr));
    if (command != 0 && ::IsWindow(wnd))
        ::PostMessageW(wnd, WM_SYSCOMMAND, WPARAM(command), 0);
}
