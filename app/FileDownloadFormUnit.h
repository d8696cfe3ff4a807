// The Open/Save/Cancel prompt shown before an attachment of the book is
// opened or saved.  Its modal result tells the caller what the reader chose.
#pragma once

#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"

class TFileDownloadForm : public TForm {
    KV_CLASS(TFileDownloadForm)
    KV_PUBLISHED
public:
    // The modal results of the three buttons (closing the window cancels).
    static constexpr TModalResult OpenResult = mrOk;       // 1
    static constexpr TModalResult SaveResult = mrYes;      // 6
    static constexpr TModalResult AbortResult = mrCancel;  // 2

    explicit TFileDownloadForm(TComponent* AOwner);

    // Components of the form resource.
    TLabel* Label1 = nullptr;
    TButton* OpenButton = nullptr;
    TButton* SaveButton = nullptr;
    TButton* AbortButton = nullptr;

    void OpenButtonClick(TObject* Sender);
    void SaveButtonClick(TObject* Sender);
    void AbortButtonClick(TObject* Sender);

protected:
    void Loaded() override;
};
