#include "app/FileDownloadFormUnit.h"

namespace {

// Calling the unit's registration also links that unit in.
const bool ClassesRegistered = [] {
    RegisterStdCtrlsClasses();
    RegisterClass<TFileDownloadForm>();
    return true;
}();

} // namespace

KV_BEGIN_PUBLISHED(TFileDownloadForm, TForm)
    B.Method(L"OpenButtonClick", &C::OpenButtonClick);
    B.Method(L"SaveButtonClick", &C::SaveButtonClick);
    B.Method(L"AbortButtonClick", &C::AbortButtonClick);
KV_END_PUBLISHED

TFileDownloadForm::TFileDownloadForm(TComponent* AOwner) : TForm(AOwner)
{
}

void TFileDownloadForm::Loaded()
{
    Label1 = dynamic_cast<TLabel*>(FindComponent(L"Label1"));
    OpenButton = dynamic_cast<TButton*>(FindComponent(L"OpenButton"));
    SaveButton = dynamic_cast<TButton*>(FindComponent(L"SaveButton"));
    AbortButton = dynamic_cast<TButton*>(FindComponent(L"AbortButton"));
    TForm::Loaded();
}

void TFileDownloadForm::OpenButtonClick(TObject* Sender)
{
    SetModalResult(OpenResult);
}

void TFileDownloadForm::SaveButtonClick(TObject* Sender)
{
    SetModalResult(SaveResult);
}

void TFileDownloadForm::AbortButtonClick(TObject* Sender)
{
    SetModalResult(AbortResult);
}
