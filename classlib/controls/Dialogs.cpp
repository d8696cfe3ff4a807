#include "classlib/controls/Dialogs.h"

#include "classlib/graphics/GdiHandles.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

TDialogSeamHandler& SeamHandler()
{
    static TDialogSeamHandler handler;
    return handler;
}

// The application's title (the executable's name unless set).
UnicodeString AppTitle()
{
    return Application ? Application->Title() : UnicodeString();
}

} // namespace

// ---------------------------------------------------------------------------
// Seam

TDialogSeamHandler SetDialogSeam(TDialogSeamHandler handler)
{
    return std::exchange(SeamHandler(), std::move(handler));
}

bool DialogSeamInstalled()
{
    return static_cast<bool>(SeamHandler());
}

bool AskDialogSeam(TDialogRequest& req, int& result)
{
    // A copy, so that a handler may replace the seam while it answers.
    TDialogSeamHandler handler = SeamHandler();
    if (!handler)
        return false;
    result = handler(req);
    return true;
}

TDialogSeamScope::TDialogSeamScope()
{
    FPrevious = SetDialogSeam([this](TDialogRequest& req) { return Handle(req); });
}

TDialogSeamScope::TDialogSeamScope(TDialogSeamHandler handler) : FHandler(std::move(handler))
{
    FPrevious = SetDialogSeam([this](TDialogRequest& req) { return Handle(req); });
}

TDialogSeamScope::~TDialogSeamScope()
{
    SetDialogSeam(std::move(FPrevious));
}

TDialogSeamScope& TDialogSeamScope::Answer(int result, const UnicodeString& fileName)
{
    FAnswers.push_back({result, fileName});
    return *this;
}

int TDialogSeamScope::Handle(TDialogRequest& req)
{
    Requests.push_back(req);
    int result = DefaultAnswer;
    if (FHandler) {
        result = FHandler(req);
    } else if (!FAnswers.empty()) {
        TAnswer a = std::move(FAnswers.front());
        FAnswers.pop_front();
        result = a.Result;
        if (!a.FileName.empty()) {
            req.FileName = a.FileName;
            req.Files.assign(1, a.FileName);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Message boxes

int KvMessageBox(HWND owner, const UnicodeString& text, const UnicodeString& caption, UINT flags)
{
    TDialogRequest req;
    req.Kind = TDialogKind::MessageBox;
    req.Caption = caption;
    req.Text = text;
    req.Flags = flags;
    req.Owner = owner;
    int result = 0;
    if (AskDialogSeam(req, result))
        return result;
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

UnicodeString MsgDlgCaption(TMsgDlgType type)
{
    static const wchar_t* const captions[] = {L"Warning", L"Error", L"Information", L"Confirm", L""};
    return (type >= mtWarning && type <= mtCustom) ? captions[type] : L"";
}

UnicodeString MsgDlgButtonCaption(TMsgDlgBtn button)
{
    static const wchar_t* const captions[] = {
        L"&Yes", L"&No", L"OK", L"Cancel", L"&Abort", L"&Retry", L"&Ignore",
        L"&All", L"N&o to All", L"Yes to &All", L"&Help", L"&Close"};
    return (button >= mbYes && button <= mbClose) ? captions[button] : L"";
}

int MsgDlgButtonResult(TMsgDlgBtn button)
{
    static const int results[] = {
        mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore,
        mrAll, mrNoToAll, mrYesToAll, mrNone, mrClose};
    return (button >= mbYes && button <= mbClose) ? results[button] : mrNone;
}

namespace {

// A message dialog as our own form, shown modally and freed.
int ShowMessageForm(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    TOwned<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
    form->SetPosition(poScreenCenter);
    return form->ShowModal();
}

int AskMessageDlg(TDialogKind Kind, const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                  int HelpCtx)
{
    TDialogRequest req;
    req.Kind = Kind;
    req.Caption = DlgType == mtCustom ? AppTitle() : MsgDlgCaption(DlgType);
    req.Text = Msg;
    req.DlgType = DlgType;
    req.Buttons = Buttons;
    req.HelpCtx = HelpCtx;
    req.Owner = GetActiveWindow();
    int result = 0;
    if (AskDialogSeam(req, result))
        return result;
    // Always our own form: the system's box would label its buttons in the
    // system's language instead of the captions above.
    return ShowMessageForm(Msg, DlgType, Buttons);
}

} // namespace

int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    return AskMessageDlg(TDialogKind::MessageDlg, Msg, DlgType, Buttons, HelpCtx);
}

void ShowMessage(const UnicodeString& Msg)
{
    AskMessageDlg(TDialogKind::ShowMessage, Msg, mtCustom, {mbOK}, 0);
}

// ---------------------------------------------------------------------------
// The message form

namespace {

// The dialog type's icon, painted at its place on the form.
class TMessageIcon : public TGraphicControl {
    KV_CLASS(TMessageIcon)
public:
    TMessageIcon(TComponent* AOwner, HICON Icon) : TGraphicControl(AOwner), FIcon(Icon) {}

protected:
    void Paint() override { DrawIconEx(Canvas()->Handle(), 0, 0, FIcon, 32, 32, 0, nullptr, DI_NORMAL); }

private:
    HICON FIcon;
};

const wchar_t* const kButtonNames[] = {
    L"Yes", L"No", L"OK", L"Cancel", L"Abort", L"Retry", L"Ignore",
    L"All", L"NoToAll", L"YesToAll", L"Help", L"Close"};

// Average character size of Font, the unit of dialog layouts.
TSize AverageCharSize(TFont* Font)
{
    ScreenDC dc;
    SelectedObject font(dc, Font->Handle());
    static const wchar_t sample[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32W(dc, sample, 52, &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return TSize((size.cx / 26 + 1) / 2, tm.tmHeight);
}

TRect MeasureText(TFont* Font, const UnicodeString& Text, TRect Rect, UINT Flags)
{
    ScreenDC dc;
    SelectedObject font(dc, Font->Handle());
    DrawTextW(dc, Text.c_str(), int(Text.size()), &Rect, Flags | DT_CALCRECT);
    return Rect;
}

// Where the parts of a message form go, in pixels of its font.
struct TMessageLayout {
    int HorzMargin = 0, VertMargin = 0, HorzSpacing = 0, VertSpacing = 0;
    int ButtonWidth = 0, ButtonHeight = 0, ButtonSpacing = 0, ButtonCount = 0;
    TRect Text;            // the text's extent from the origin
    int IconTextWidth = 0; // the icon and the text side by side
    int IconTextHeight = 0;
    int ButtonGroupWidth = 0;
};

// Dialog units: 4 per average character width, 8 per character height.
void SetDialogUnits(TMessageLayout& L, TFont* Font)
{
    TSize units = AverageCharSize(Font);
    L.HorzMargin = MulDiv(8, units.cx, 4);
    L.VertMargin = MulDiv(8, units.cy, 8);
    L.HorzSpacing = MulDiv(10, units.cx, 4);
    L.VertSpacing = MulDiv(10, units.cy, 8);
    L.ButtonWidth = MulDiv(50, units.cx, 4);
    L.ButtonHeight = MulDiv(14, units.cy, 8);
    L.ButtonSpacing = MulDiv(4, units.cx, 4);
}

// Every button is as wide as the widest caption needs.
void MeasureButtons(TMessageLayout& L, TFont* Font, TMsgDlgButtons Buttons)
{
    for (int b = mbYes; b <= mbClose; ++b) {
        if (!Buttons.Contains(TMsgDlgBtn(b)))
            continue;
        ++L.ButtonCount;
        TRect r = MeasureText(Font, MsgDlgButtonCaption(TMsgDlgBtn(b)), TRect(), DT_LEFT | DT_SINGLELINE);
        L.ButtonWidth = std::max<int>(L.ButtonWidth, r.Width() + 8);
    }
    L.ButtonGroupWidth = L.ButtonCount ? L.ButtonWidth * L.ButtonCount + L.ButtonSpacing * (L.ButtonCount - 1) : 0;
}

void MeasureIconAndText(TMessageLayout& L, TFont* Font, const UnicodeString& Msg, bool HasIcon)
{
    // The text is shown as given: an '&' (in a file name, say) is no accelerator.
    L.Text = MeasureText(Font, Msg, TRect(0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0),
                         DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX);
    L.IconTextWidth = L.Text.right;
    L.IconTextHeight = L.Text.bottom;
    if (HasIcon) {
        L.IconTextWidth += 32 + L.HorzSpacing;
        L.IconTextHeight = std::max(L.IconTextHeight, 32);
    }
}

TMessageLayout LayOutMessage(TFont* Font, const UnicodeString& Msg, bool HasIcon, TMsgDlgButtons Buttons)
{
    TMessageLayout layout;
    SetDialogUnits(layout, Font);
    MeasureButtons(layout, Font, Buttons);
    MeasureIconAndText(layout, Font, Msg, HasIcon);
    return layout;
}

// Sizes the form to its contents, centred on the screen, and gives it its caption.
void PlaceMessageForm(TMessageForm* Form, const TMessageLayout& L, TMsgDlgType DlgType)
{
    Form->SetClientWidth(std::max(L.IconTextWidth, L.ButtonGroupWidth) + L.HorzMargin * 2);
    Form->SetClientHeight(L.IconTextHeight + L.ButtonHeight + L.VertSpacing + L.VertMargin * 2);
    Form->SetLeft(GetSystemMetrics(SM_CXSCREEN) / 2 - Form->Width() / 2);
    Form->SetTop(GetSystemMetrics(SM_CYSCREEN) / 2 - Form->Height() / 2);
    Form->SetCaption(DlgType == mtCustom ? AppTitle() : MsgDlgCaption(DlgType));
}

void AddMessageIcon(TMessageForm* Form, LPCWSTR IconId, const TMessageLayout& L)
{
    TMessageIcon* icon = New<TMessageIcon>(Form, LoadIconW(nullptr, IconId));
    icon->SetName(L"Image");
    icon->SetParent(Form);
    icon->SetBounds(L.HorzMargin, L.VertMargin, 32, 32);
}

TLabel* AddMessageText(TMessageForm* Form, const UnicodeString& Msg, const TMessageLayout& L)
{
    TLabel* message = New<TLabel>(Form);
    message->SetName(L"Message");
    message->SetParent(Form);
    message->SetWordWrap(true);
    message->SetShowAccelChar(false);
    message->SetCaption(Msg);
    message->SetBounds(L.IconTextWidth - L.Text.right + L.HorzMargin, L.VertMargin, L.Text.right, L.Text.bottom);
    return message;
}

// One button per button asked for, in enumeration order, centred in a row
// under the text; Made receives each.
void AddMessageButtons(TMessageForm* Form, TMsgDlgButtons Buttons, const TMessageLayout& L,
                       TButton* (&Made)[mbClose + 1])
{
    TMsgDlgBtn defaultButton = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
    TMsgDlgBtn cancelButton = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
    int x = (Form->ClientWidth() - L.ButtonGroupWidth) / 2;
    for (int i = mbYes; i <= mbClose; ++i) {
        TMsgDlgBtn b = TMsgDlgBtn(i);
        if (!Buttons.Contains(b))
            continue;
        TButton* button = New<TButton>(Form);
        button->SetName(kButtonNames[b]);
        button->SetParent(Form);
        button->SetCaption(MsgDlgButtonCaption(b));
        button->SetModalResult(MsgDlgButtonResult(b));
        if (b == defaultButton) {
            button->SetDefault(true);
            Form->SetActiveControl(button);
        }
        if (b == cancelButton)
            button->SetCancel(true);
        button->SetBounds(x, L.IconTextHeight + L.VertMargin + L.VertSpacing, L.ButtonWidth, L.ButtonHeight);
        x += L.ButtonWidth + L.ButtonSpacing;
        Made[b] = button;
    }
}

} // namespace

TButton* TMessageForm::Button(TMsgDlgBtn B) const
{
    return (B >= mbYes && B <= mbClose) ? FButtons[B] : nullptr;
}

TForm* CreateMessageDialog(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    static const LPCWSTR iconIds[] = {IDI_WARNING, IDI_ERROR, IDI_INFORMATION, IDI_QUESTION, nullptr};
    if (DlgType < mtWarning || DlgType > mtCustom)
        DlgType = mtCustom;

    TOwned<TMessageForm> owned(New<TMessageForm>(Application));
    TMessageForm* form = owned.get();
    form->SetBorderStyle(bsDialog);
    form->SetKeyPreview(true);
    form->SetPosition(poDesigned);

    const LPCWSTR iconId = iconIds[DlgType];
    const TMessageLayout layout = LayOutMessage(form->Font(), Msg, iconId != nullptr, Buttons);
    PlaceMessageForm(form, layout, DlgType);
    if (iconId)
        AddMessageIcon(form, iconId, layout);
    form->FMessage = AddMessageText(form, Msg, layout);
    AddMessageButtons(form, Buttons, layout, form->FButtons);
    return owned.release();
}

bool InputQuery(const UnicodeString& ACaption, const UnicodeString& APrompt, UnicodeString& Value)
{
    TDialogRequest req;
    req.Kind = TDialogKind::InputQuery;
    req.Caption = ACaption;
    req.Text = APrompt;
    req.FileName = Value;
    req.Owner = GetActiveWindow();
    int answer = 0;
    if (AskDialogSeam(req, answer)) {
        if (answer != IDOK)
            return false;
        Value = req.FileName;
        return true;
    }

    TOwned<TForm> owned(TForm::CreateNew(Application));
    TForm* form = owned.get();
    form->SetBorderStyle(bsDialog);
    form->SetCaption(ACaption);
    form->SetPosition(poScreenCenter);
    TSize units = AverageCharSize(form->Font());
    form->SetClientWidth(MulDiv(180, units.cx, 4));

    TLabel* prompt = New<TLabel>(form);
    prompt->SetParent(form);
    prompt->SetLeft(MulDiv(8, units.cx, 4));
    prompt->SetTop(MulDiv(8, units.cy, 8));
    prompt->SetCaption(APrompt);
    if (prompt->Width() > MulDiv(164, units.cx, 4)) {
        prompt->SetWidth(MulDiv(164, units.cx, 4));
        prompt->SetWordWrap(true);
    }

    TEdit* edit = New<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(prompt->Left(), prompt->Top() + prompt->Height() + 5, MulDiv(164, units.cx, 4), edit->Height());
    edit->SetMaxLength(255);
    edit->SetText(Value);
    form->SetActiveControl(edit);

    int buttonTop = edit->Top() + edit->Height() + 15;
    int buttonWidth = MulDiv(50, units.cx, 4);
    int buttonHeight = MulDiv(14, units.cy, 8);
    auto addButton = [&](TMsgDlgBtn b, int left) {
        TButton* button = New<TButton>(form);
        button->SetParent(form);
        button->SetCaption(MsgDlgButtonCaption(b));
        button->SetModalResult(MsgDlgButtonResult(b));
        button->SetBounds(MulDiv(left, units.cx, 4), buttonTop, buttonWidth, buttonHeight);
        return button;
    };
    addButton(mbOK, 38)->SetDefault(true);
    addButton(mbCancel, 92)->SetCancel(true);
    form->SetClientHeight(buttonTop + buttonHeight + 13);

    edit->SelectAll();
    if (form->ShowModal() != mrOk)
        return false;
    Value = edit->Text();
    return true;
}

TModalResult ShowModalThroughSeam(TCustomForm* Form)
{
    TDialogRequest req;
    req.Kind = TDialogKind::ModalForm;
    req.Caption = Form->Caption();
    req.Dialog = Form;
    req.Owner = GetActiveWindow();
    int result = 0;
    if (AskDialogSeam(req, result)) {
        Form->SetModalResult(result);
        return result;
    }
    return Form->ShowModal();
}

// ---------------------------------------------------------------------------
// Common dialogs

bool UseLatestCommonDialogs = true;

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TCommonDialog::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCommonDialog::DoClose()
{
    if (OnClose)
        OnClose(this);
}

std::vector<std::pair<UnicodeString, UnicodeString>> ParseDialogFilter(const UnicodeString& Filter)
{
    std::vector<UnicodeString> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = Filter.find(L'|', start);
        parts.push_back(Filter.substr(start, bar == UnicodeString::npos ? UnicodeString::npos : bar - start));
        if (bar == UnicodeString::npos)
            break;
        start = bar + 1;
    }
    std::vector<std::pair<UnicodeString, UnicodeString>> pairs;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

namespace {

// The system's form of a filter: "desc\0patterns\0...\0\0".
std::vector<wchar_t> FilterBuffer(const UnicodeString& filter)
{
    std::vector<wchar_t> buf;
    for (const auto& [desc, patterns] : ParseDialogFilter(filter)) {
        buf.insert(buf.end(), desc.begin(), desc.end());
        buf.push_back(0);
        buf.insert(buf.end(), patterns.begin(), patterns.end());
        buf.push_back(0);
    }
    buf.push_back(0);
    buf.push_back(0);
    return buf;
}

DWORD OpenOptionFlags(TOpenOptions options)
{
    // Bit i of the set is option i; the system's flags in the same order,
    // with the few holes the options skip.
    static const DWORD flags[] = {
        OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR, OFN_SHOWHELP,
        OFN_NOVALIDATE, OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST,
        OFN_FILEMUSTEXIST, OFN_CREATEPROMPT, OFN_SHAREAWARE, OFN_NOREADONLYRETURN,
        OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON, OFN_NOLONGNAMES, 0 /* ofOldStyleDialog */,
        OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING,
        OFN_DONTADDTORECENT, OFN_FORCESHOWHIDDEN};
    DWORD result = 0;
    for (unsigned i = 0; i < sizeof(flags) / sizeof(flags[0]); ++i)
        if (options.Contains(static_cast<TOpenOption>(i)))
            result |= flags[i];
    return result;
}

// Room for a long multi-selection.
constexpr size_t kFileBufferChars = 32 * 1024;

// The chosen names from the dialog's buffer: one full path, or (several
// names of a multi-selection) the folder, then each name, each ending in a
// null.  Only the name offset tells them apart (it points past the folder's
// null): what follows a single path may still be text of the proposed name.
std::vector<UnicodeString> ChosenFiles(const std::vector<wchar_t>& buf, WORD nameOffset)
{
    UnicodeString first = buf.data();
    if (nameOffset != first.size() + 1)
        return {first};
    if (!first.empty() && first.back() != L'\\')
        first += L'\\';
    std::vector<UnicodeString> files;
    for (const wchar_t* p = buf.data() + nameOffset; *p; p += wcslen(p) + 1)
        files.push_back(first + p);
    return files;
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TOpenDialog::ExecuteThroughSeam(bool& confirmed)
{
    TDialogRequest req;
    req.Kind = SeamKind();
    req.Caption = FTitle;
    req.Dialog = this;
    req.Owner = GetActiveWindow();
    req.FileName = FFileName;
    req.Filter = FFilter;
    req.FilterIndex = FFilterIndex;
    req.DefaultExt = FDefaultExt;
    req.InitialDir = FInitialDir;
    int result = 0;
    if (!AskDialogSeam(req, result))
        return false;
    confirmed = result == IDOK;
    if (confirmed) {
        FFileName = req.FileName;
        FFiles = req.Files.empty() ? std::vector<UnicodeString>{req.FileName} : req.Files;
        FFilterIndex = req.FilterIndex;
    }
    return true;
}

UINT_PTR CALLBACK TOpenDialog::HookProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    // wnd is the (empty) child template; the dialog window is its parent.
    switch (msg) {
    case WM_INITDIALOG: {
        auto* dlg = reinterpret_cast<TOpenDialog*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
        SetPropW(wnd, L"KvCommonDialog", dlg);
        dlg->FHandle = GetParent(wnd);
        // An event must not unwind through the system dialog.
        try {
            dlg->DoShow();
        } catch (...) {
            if (Application)
                Application->HandleException(dlg);
        }
        return 0;
    }
    case WM_DESTROY:
        if (auto* dlg = static_cast<TOpenDialog*>(RemovePropW(wnd, L"KvCommonDialog"))) {
            try {
                dlg->DoClose();
            } catch (...) {
                if (Application)
                    Application->HandleException(dlg);
            }
            dlg->FHandle = nullptr;
        }
        return 0;
    }
    return 0;
}

bool TOpenDialog::Execute()
{
    bool confirmed = false;
    if (ExecuteThroughSeam(confirmed))
        return confirmed;

    std::vector<wchar_t> filter = FilterBuffer(FFilter);
    std::vector<wchar_t> file(kFileBufferChars, 0);
    FFileName.copy(file.data(), std::min(FFileName.size(), kFileBufferChars - 2));
    UnicodeString defExt = FDefaultExt;
    if (!defExt.empty() && defExt[0] == L'.')
        defExt.erase(0, 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetActiveWindow();
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.data();
    ofn.nFilterIndex = FFilterIndex < 0 ? 0 : DWORD(FFilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
    ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = OpenOptionFlags(FOptions) | OFN_EXPLORER | OFN_ENABLEHOOK;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    ofn.lpfnHook = &TOpenDialog::HookProc;

    if (Application)
        Application->ModalStarted();
    bool ok = RunDialog(ofn);
    if (Application)
        Application->ModalFinished();
    FHandle = nullptr;
    if (!ok)
        return false;
    FFiles = ChosenFiles(file, ofn.nFileOffset);
    FFileName = FFiles.empty() ? UnicodeString() : FFiles.front();
    FFilterIndex = int(ofn.nFilterIndex);
    if (ofn.Flags & OFN_READONLY)
        FOptions.Include(ofReadOnly);
    else
        FOptions.Exclude(ofReadOnly);
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT)
        FOptions.Include(ofExtensionDifferent);
    else
        FOptions.Exclude(ofExtensionDifferent);
    return true;
}

bool TOpenDialog::RunDialog(OPENFILENAMEW& ofn)
{
    return GetOpenFileNameW(&ofn) != FALSE;
}

bool TSaveDialog::RunDialog(OPENFILENAMEW& ofn)
{
    return GetSaveFileNameW(&ofn) != FALSE;
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCommonDialog, TComponent)
    B.Int(L"HelpContext", &C::HelpContext, &C::SetHelpContext, 0, L"THelpContext");
    B.Event(L"OnClose", &C::OnClose);
    B.Event(L"OnShow", &C::OnShow);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TOpenDialog, TCommonDialog)
    B.Str(L"DefaultExt", &C::DefaultExt, &C::SetDefaultExt);
    B.Str(L"FileName", &C::FileName, &C::SetFileName);
    B.Str(L"Filter", &C::Filter, &C::SetFilter);
    B.Int(L"FilterIndex", &C::FilterIndex, &C::SetFilterIndex, 1);
    B.Str(L"InitialDir", &C::InitialDir, &C::SetInitialDir);
    B.Set(L"Options", &C::Options, &C::SetOptions, TOpenOptions{ofHideReadOnly, ofEnableSizing}.Ord(),
          {L"ofReadOnly", L"ofOverwritePrompt", L"ofHideReadOnly", L"ofNoChangeDir", L"ofShowHelp",
           L"ofNoValidate", L"ofAllowMultiSelect", L"ofExtensionDifferent", L"ofPathMustExist",
           L"ofFileMustExist", L"ofCreatePrompt", L"ofShareAware", L"ofNoReadOnlyReturn",
           L"ofNoTestFileCreate", L"ofNoNetworkButton", L"ofNoLongNames", L"ofOldStyleDialog",
           L"ofNoDereferenceLinks", L"ofEnableIncludeNotify", L"ofEnableSizing",
           L"ofDontAddToRecent", L"ofForceShowHidden"},
          L"TOpenOptions");
    B.Str(L"Title", &C::Title, &C::SetTitle);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TSaveDialog, TOpenDialog)
    static_assert(sizeof(C) > 0); // nothing of its own
KV_END_PUBLISHED

void RegisterDialogsClasses()
{
    RegisterClasses<TOpenDialog, TSaveDialog>();
}

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterDialogsClasses(), true);
} // namespace
