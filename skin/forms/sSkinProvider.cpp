// The provider's life: construction (taking over the form's WindowProc),
// the lazy start of run-time providers, applying the current skin to the
// form, and destruction (giving the form back).
#include "skin/forms/sSkinProvider.h"

#include <algorithm>
#include <utility>

#include "skin/core/kvWndMethodHook.h"
#include "skin/core/sConst.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider_Adapter.h"

bool bBtnPressed = false;
TsSkinProvider* MaxChildProvider = nullptr;
bool MDICreating = false;
bool bInWheel = false;
bool kvTaskBarChanging = false;

namespace {

// The providers that exist now.
std::vector<const TsSkinProvider*>& Providers()
{
    static std::vector<const TsSkinProvider*> list;
    return list;
}

// The provider the form answers SMC_GET_PROVIDER with, when it is one that exists.
TsSkinProvider* ProviderOnForm(TCustomForm* Form)
{
    const LRESULT answer = Form->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_PROVIDER), 0);
    for (const TsSkinProvider* p : Providers())
        if (reinterpret_cast<LRESULT>(static_cast<const TComponent*>(p)) == answer)
            return const_cast<TsSkinProvider*>(p);
    return nullptr;
}

bool Designing(const TComponent* C)
{
    return C->ComponentState().Contains(csDesigning);
}

} // namespace

bool TsSkinProvider::Alive(const TsSkinProvider* Provider)
{
    const auto& list = Providers();
    return Provider && std::find(list.begin(), list.end(), Provider) != list.end();
}

TsSkinProvider::TsSkinProvider(TComponent* AOwner) : TComponent(AOwner)
{
    auto* form = dynamic_cast<TForm*>(AOwner);
    // Said plainly: a provider put anywhere else is a programming error
    // the developer must see.
    if (!form)
        throw Exception(L"TsSkinProvider component may be used with forms only!");
    Form = form;
    if (Designing(this)) {
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (form->Components(i) != this && dynamic_cast<TsSkinProvider*>(form->Components(i))) {
                Form = nullptr;
                throw Exception(L"Only one instance of the TsSkinProvider component is allowed!");
            }
    } else if (TsSkinProvider* other = ProviderOnForm(form)) {
        // A run-time provider that never started gives way; a started one
        // keeps the form, and this one stays inert.
        if (other->RTInit)
            FreeAndNil(other);
        else
            RTEmpty = true;
    }
    Providers().push_back(this);
    Form = dynamic_cast<TForm*>(GetOwnerForm(this));
    FCommonData = new TsCommonData(this, false);
    FCommonData->COC = COC_TsSkinProvider;
    FCommonData->SetSkinSection(s_Form);
    if (Form && !Form->ControlState().Empty())
        FCommonData->SetUpdating(true);
    FAddedTitle = new TkvAddedTitle(this);
    FTitleIcon = new TsTitleIcon;
    FTitleButtons = new TsTitleButtons(this);
    if (!Designing(this) && Form && !RTEmpty)
        TakeOverForm();
}

TsSkinProvider* TsSkinProvider::CreateRT(TComponent* AOwner, bool InitRT)
{
    (void)InitRT;
    auto* p = new TsSkinProvider(AOwner);
    p->RTInit = true;
    try {
        p->AfterConstruction();
    } catch (...) {
        TObject* o = p;
        FreeAndNil(o);
        throw;
    }
    return p;
}

void TsSkinProvider::TakeOverForm()
{
    Form->SetDoubleBuffered(false);
    TempBmp = new TBitmap;
    TempBmp->Canvas()->Lock();
    MenuLineBmp = new TBitmap;
    MenuLineBmp->SetPixelFormat(pf24bit);
    ClearButtons = true;
    FFormHook = new TkvWndMethodHook(Form, TWndMethod(this, &TsSkinProvider::NewWndProc));
    OldWndProc = FFormHook->Old();
    FHooked = true;
    IntSkinForm(Form);
    FormActive = true;
}

TsSkinProvider::~TsSkinProvider()
{
    FDestroying = true;
    CancelOutline();
    std::erase(Providers(), this);
    FreeMDIIcons();
    // The wrappers go first: the form's scroll wrapper sits in its
    // WindowProc in front of this provider.
    ReleaseWrappers();
    if (FAddedTitle) {
        InitExBorders(false);
        FreeAndNil(FAddedTitle);
        if (!Designing(this)) {
            KillAnimations();
            GiveBackForm();
            FreeAndNil(SystemMenu);
            if (TempBmp)
                TempBmp->Canvas()->Unlock();
            FreeAndNil(TempBmp);
            FreeAndNil(MenuLineBmp);
            FreeAndNil(TitleBG);
        }
    }
    if (MaxChildProvider == this)
        MaxChildProvider = nullptr;
    FreeOwned();
}

void TsSkinProvider::GiveBackForm()
{
    FreeCaptionCover(this);
    if (!Form)
        return;
    if (FHooked) {
        IntUnSkinForm(Form);
        // Only what was taken is given back: an inert provider never took
        // the form's WindowProc.
        // A method put in front of the provider since keeps its place: the
        // hook passes its messages on to OldWndProc until it is on top.
        TkvWndMethodHook::Release(FFormHook);
        FHooked = false;
        // The caption buttons and corners the skin took go back to the
        // system's frame.
        if (Form->HandleAllocated() && !Form->ComponentState().Contains(csDestroying)) {
            CheckSysMenu(false);
            ::SetWindowRgn(Form->Handle(), nullptr, TRUE);
        }
    }
    if (MDIForm)
        HookMDI(false);
    if (MDISkinProvider == this)
        MDISkinProvider = nullptr;
}

void TsSkinProvider::FreeOwned()
{
    FreeAndNil(FGlow1);
    FreeAndNil(FGlow2);
    FreeAndNil(FTitleIcon);
    FreeAndNil(FTitleButtons);
    FreeAndNil(FCommonData);
}

void TsSkinProvider::AfterConstruction()
{
    TComponent::AfterConstruction();
    if (RTEmpty || RTInit || Designing(this))
        return;
    TsSkinManager* sm = Manager();
    if (sm && sm->Active())
        PrepareForm();
}

void TsSkinProvider::Loaded()
{
    TComponent::Loaded();
    if (RTEmpty || RTInit || Designing(this) || !Manager())
        return;
    if (FCommonData->Skinned(true))
        LoadInit();
}

void TsSkinProvider::StartRT()
{
    RTInit = false;
    LoadInit();
}

void TsSkinProvider::LoadInit()
{
    if (Form && Form->HandleAllocated())
        InitDwm(Form->Handle(), true);
    PrepareForm();
    if (!Adapter)
        AdapterCreate();
    if (SystemMenu)
        SystemMenu->UpdateItems(false);
    TsSkinManager* sm = Manager();
    const int titleButton = sm ? sm->GetMaskIndex(s_GlobalInfo, s_TitleButtonMask) : -1;
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* b = FTitleButtons->Items(i);
        b->BtnData.ImageIndex = b->UseSkinData() ? titleButton : -1;
    }
}

void TsSkinProvider::PrepareForm()
{
    TsSkinManager* sm = Manager();
    if (RTInit || RTEmpty || !sm || !Form || !Form->HandleAllocated())
        return;
    FCommonData->Loaded();
    if (!SystemMenu) {
        SystemMenu = New<TsSystemMenu>(this);
        SystemMenu->UpdateItems(false);
    }
    CheckSysMenu(sm->Active());
    if (ClearButtons && sm->Active()) {
        ClearButtons = false;
        if (Form->FormStyle() == fsMDIForm && !Designing(this))
            HookMDI(true);
    }
    FCommonData->UpdateIndexes();
    FTitleSkinIndex = TitleSkinIndex();
    FCaptionSkinIndex = sm->GetSkinIndex(s_Caption);
    UpdateIconsIndexes();
    RegionChanged = CaptChanged = CaptRgnChanged = true;
    if (Form->FormStyle() == fsMDIChild && Alive(MDISkinProvider) && !MDISkinProvider->FDestroying &&
        FCommonData->Skinned()) {
        MDISkinProvider->BackgroundChanged();
        MDISkinProvider->FLinesCount = -1;
    }
    const TControlState cs = Form->ControlState();
    if (!cs.Contains(csCreating) && !cs.Contains(csReadingState) && !ComponentState().Contains(csLoading))
        ApplyGlobalColor();
    InitMenuItems(FCommonData->Skinned());
    if (!MenusInitialized && UpdateMenu())
        MenusInitialized = true;
    SystemMenu->UpdateGlyphs();
    if (!Form->ComponentState().Contains(csLoading) && Form->Showing())
        InitExBorders(sm->ExtendedBorders());
}

void TsSkinProvider::ApplyGlobalColor()
{
    TsSkinManager* sm = Manager();
    if (FUseGlobalColor && !FCommonData->CustomColor() && sm)
        Form->SetColor(sm->GetGlobalColor());
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (!FCommonData)
        return;
    if (auto* sm = dynamic_cast<TsSkinManager*>(AComponent)) {
        if (Operation == opInsert && !FCommonData->FSkinManager)
            FCommonData->SetSkinManager(sm);
        else if (Operation == opRemove && FCommonData->FSkinManager == sm)
            FCommonData->SetSkinManager(nullptr);
        return;
    }
    if (Operation == opInsert && Adapter)
        if (auto* w = dynamic_cast<TWinControl*>(AComponent))
            AddNewItem(w);
}

void TsSkinProvider::CheckSysMenu(bool Skinned)
{
    if (!Form || !Form->HandleAllocated())
        return;
    const HWND wnd = Form->Handle();
    const LONG style = ::GetWindowLongW(wnd, GWL_STYLE);
    if (Skinned && ((style & WS_SYSMENU) || HaveSysMenu)) {
        // The system's caption buttons go while the skin draws its own.
        const bool hide = FDrawNonClientArea && PaintsCaptionButtons();
        const LONG wanted = hide ? (style & ~WS_SYSMENU) : (style | WS_SYSMENU);
        if (wanted != style)
            ::SetWindowLongW(wnd, GWL_STYLE, wanted);
        HaveSysMenu = true;
        return;
    }
    if (HaveSysMenu && !Skinned && !(style & WS_SYSMENU))
        ::SetWindowLongW(wnd, GWL_STYLE, style | WS_SYSMENU);
    HaveSysMenu = false;
}

namespace {

void InitComponentMenus(TComponent* Owner, TsSkinableMenus* Menus, bool Active, bool LineActive, bool Popups)
{
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        TComponent* c = Owner->Components(i);
        if (auto* main = dynamic_cast<TMainMenu*>(c)) {
            Menus->InitMenuLine(main, LineActive);
            for (int k = 0; k < main->Items()->Count(); ++k)
                Menus->HookItem(main->Items()->Items(k), Active && Popups);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            Menus->HookPopupMenu(popup, Active && Popups);
        } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            if (dynamic_cast<TMainMenu*>(item->GetParentMenu()))
                InitComponentMenus(item, Menus, Active, LineActive, Popups);
            else
                Menus->HookItem(item, Active && Popups);
        }
    }
}

} // namespace

void TsSkinProvider::InitMenuItems(bool Active)
{
    TsSkinManager* sm = Manager();
    if (!sm || Designing(this) || !sm->IsDefault() || !Form)
        return;
    auto* menus = dynamic_cast<TsSkinableMenus*>(sm->SkinableMenus());
    if (!menus)
        return;
    InitComponentMenus(Form, menus, Active, Active && FDrawNonClientArea, sm->SkinnedPopups());
}

bool TsSkinProvider::UpdateMenu()
{
    if (fGlobalFlag)
        return false;
    TFlagScope guard(fGlobalFlag, true);
    TMainMenu* menu = Form ? Form->Menu() : nullptr;
    if (!menu || menu->Items()->Count() == 0)
        return false;
    menu->Items()->Items(0)->MenuChanged(true);
    return true;
}

void TsSkinProvider::RepaintMenu()
{
    BackgroundChanged();
    MenuChanged = true;
    FLinesCount = -1;
    if (Form && Form->HandleAllocated())
        ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::RepaintMenuItem(TMenuItem* Item, const TRect& R, TOwnerDrawState State)
{
    TMainMenu* menu = Form ? Form->Menu() : nullptr;
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!MenuPresent() || !menu || !Item || !cache || Item->GetParentMenu() != menu || !Item->OnAdvancedDrawItem)
        return;
    Item->OnAdvancedDrawItem(Item, cache->Canvas(), R, State);
    HDC dc = ::GetWindowDC(Form->Handle());
    ::BitBlt(dc, R.left, R.top, R.Width(), R.Height(), cache->Canvas()->Handle(), R.left, R.top, SRCCOPY);
    ::ReleaseDC(Form->Handle(), dc);
}

UnicodeString TsSkinProvider::TitleSkinSection() const
{
    return FTitleSkin.empty() ? UnicodeString(s_FormTitle) : FTitleSkin;
}

int TsSkinProvider::TitleSkinIndex()
{
    if (FTitleSkinIndex != -1)
        return FTitleSkinIndex;
    TsSkinManager* sm = Manager();
    return sm ? sm->GetSkinIndex(TitleSkinSection()) : -1;
}

TsSkinManager* TsSkinProvider::Manager() const
{
    return FCommonData ? FCommonData->GetSkinManager() : nullptr;
}

bool TsSkinProvider::ManagerOf(LPARAM LParam)
{
    return reinterpret_cast<LPARAM>(Manager()) == LParam;
}

bool TsSkinProvider::FormGoing() const
{
    return !Form || Form->ComponentState().Contains(csDestroying);
}

void TsSkinProvider::AdapterRemove()
{
    if (Designing(this) || !Adapter)
        return;
    // The wrapped controls hear that the skin goes (their own colours come
    // back), then the adapter lets go of them and of the labels.  Controls
    // of a form being destroyed only lose their wrappers.
    if (!FormGoing()) {
        TMessage m{SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REMOVE), reinterpret_cast<LPARAM>(Manager()), 0};
        SendToAdapter(m);
    }
    TkvCtrlAdapter* adapter = std::exchange(Adapter, nullptr);
    FreeAndNil(adapter);
}

// The MDI support object wraps the MDI client while the form is skinned.
void TsSkinProvider::HookMDI(bool Active)
{
    if (Active) {
        if (MDIForm)
            return;
        MDISkinProvider = this;
        auto* support = new TsMDIForm(this);
        MDIForm = support;
        support->ConnectToClient();
        return;
    }
    // MDISkinProvider keeps pointing at this provider.
    FreeAndNil(MDIForm);
}
