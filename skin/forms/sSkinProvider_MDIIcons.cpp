// The MDI icon form: while the menu loop of an MDI main form with a
// maximised child runs, a small borderless form over the caption buttons of
// the child (drawn in the main form's menu line) shows them from the
// window image, so that the menu loop's own painting cannot wipe them.
#include "skin/forms/sSkinProvider.h"

#include "classlib/controls/Forms.h"
#include "skin/core/sCommonData.h"

namespace {

constexpr int kIconsWidth = 60;

// One icon form for the process: only one menu loop runs at a time.
TForm* MDIIconsForm = nullptr;

int IconsHeight()
{
    return ::GetSystemMetrics(SM_CYMENU) + 3;
}

} // namespace

bool TsSkinProvider::ShowsMDIIcons() const
{
    return MDIIconsForm && MDIIconsForm->OnPaint == TNotifyEvent(const_cast<TsSkinProvider*>(this),
                                                                  &TsSkinProvider::MdiIcoFormPaint);
}

void TsSkinProvider::WMEnterMenuLoop(TMessage& Message)
{
    TForm* child = Form && Form->FormStyle() == fsMDIForm ? Form->ActiveMDIChild() : nullptr;
    if (!InMenu && child && child->HandleAllocated() && ::IsZoomed(child->Handle())) {
        InMenu = true;
        if (!MDIIconsForm) {
            MDIIconsForm = TForm::CreateNew(Application);
            MDIIconsForm->SetTag(-98);
            MDIIconsForm->SetName(L"kvMDIIcons");
            MDIIconsForm->SetBorderStyle(bsNone);
            MDIIconsForm->OnPaint = TNotifyEvent(this, &TsSkinProvider::MdiIcoFormPaint);
        }
        const int border = SysBorderWidth(false);
        ::SetWindowPos(MDIIconsForm->Handle(), nullptr, Form->BoundsRect().right - border - kIconsWidth,
                       border + CaptionHeight(false) + Form->Top(), kIconsWidth, IconsHeight(),
                       SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER);
    }
    OldWndProc(Message);
}

void TsSkinProvider::WMExitMenuLoop(TMessage& Message)
{
    InMenu = false;
    FreeMDIIcons();
    OldWndProc(Message);
}

void TsSkinProvider::FreeMDIIcons()
{
    if (ShowsMDIIcons())
        FreeAndNil(MDIIconsForm);
}

void TsSkinProvider::MdiIcoFormPaint(TObject* Sender)
{
    auto* icons = dynamic_cast<TForm*>(Sender);
    TBitmap* image = FCommonData ? FCommonData->FCacheBmp : nullptr;
    if (!icons || !image || !Form)
        return;
    const TRect shadow = ShadowSize();
    const int x = SysBorderWidth(true) + Form->Width() - shadow.right - kIconsWidth;
    const int y = CaptionHeight(true) + shadow.top;
    ::BitBlt(icons->Canvas()->Handle(), 0, 0, kIconsWidth, IconsHeight(), image->Canvas()->Handle(), x, y, SRCCOPY);
}

TForm* CurrentMDIIconsForm()
{
    return MDIIconsForm;
}
