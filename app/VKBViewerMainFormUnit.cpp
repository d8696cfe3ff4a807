#include "app/VKBViewerMainFormUnit.h"

#include <memory>

#include "app/INIController.h"
#include "app/VKBTxtParser.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"

TPlayerForm* PlayerForm = nullptr;

namespace {

// Form resources name their component classes.  Calling each unit's
// registration also links that unit in.
const bool ClassesRegistered = [] {
    RegisterFlashClasses();
    RegisterDialogsClasses();
    RegisterSkinManagerClasses();
    RegisterSkinFormsServices();
    RegisterClass<TPlayerForm>();
    return true;
}();

} // namespace

KV_BEGIN_PUBLISHED(TPlayerForm, TForm)
    B.Method(L"FormCreate", &C::FormCreate);
    B.Method(L"FormShow", &C::FormShow);
    B.Method(L"FormClose", &C::FormClose);
    B.Method(L"FlashPlayerFSCommand", &C::FlashPlayerFSCommand);
KV_END_PUBLISHED

TViewerCommandLine& ViewerCommandLine()
{
    static TViewerCommandLine* line = [] {
        auto* l = new TViewerCommandLine;
        l->ExeName = ParamStr(0);
        for (int i = 1; i <= ParamCount(); ++i)
            l->Args.push_back(ParamStr(i));
        return l;
    }();
    return *line;
}

UnicodeString BookPath(const TViewerCommandLine& CommandLine)
{
    if (!CommandLine.Args.empty() && Pos(L"-p", CommandLine.Args[0]) == 0)
        return CommandLine.Args[0];
    return CommandLine.ExeName;
}

bool StartPage(const TViewerCommandLine& CommandLine, UnicodeString& Page)
{
    if (CommandLine.Args.empty() || Pos(L"-p", CommandLine.Args[0]) == 0)
        return false;
    Page = Copy(CommandLine.Args[0], 3, int(CommandLine.Args[0].size()));
    return true;
}

TPlayerForm::TPlayerForm(TComponent* AOwner) : TForm(AOwner)
{
}

TPlayerForm::~TPlayerForm()
{
    // A later caption must not reach a destroyed window.
    if (PlayerForm == this)
        PlayerForm = nullptr;
}

namespace {

template <class T>
T* Owned(TComponent* Owner, const wchar_t* Name)
{
    return dynamic_cast<T*>(Owner->FindComponent(Name));
}

} // namespace

void TPlayerForm::Loaded()
{
    // The form's fields name the components its resource made.
    FlashPlayer = Owned<TShockwaveFlash>(this, L"FlashPlayer");
    imgSaveDialog = Owned<TSaveDialog>(this, L"imgSaveDialog");
    fileSaveDialog = Owned<TSaveDialog>(this, L"fileSaveDialog");
    FileOpenDialog = Owned<TOpenDialog>(this, L"FileOpenDialog");
    sSkinManager1 = Owned<TsSkinManager>(this, L"sSkinManager1");
    TForm::Loaded();
}

void TPlayerForm::SetName(const UnicodeString& Value)
{
    // The main window is the one form of this class; before the application
    // object has stored it, the caption goes to this window.
    TPlayerForm* target = PlayerForm ? PlayerForm : this;
    target->SetCaption(Value);
}

void TPlayerForm::FormCreate(TObject* Sender)
{
    INIController* ini = INIController::GetInstance();
    ini->Load();
    if (ini->GetMainFormBorderStyle() == L"bsNone")
        SetBorderStyle(bsNone);

    const TViewerCommandLine& line = ViewerCommandLine();
    UnicodeString book = BookPath(line);
    UnicodeString settings =
        ExtractFilePath(book) + ChangeFileExt(ExtractFileName(book), L"") + L"_Page_Img\\Page_var.txt";

    {
        std::unique_ptr<VKBTxtParser> parser(new VKBTxtParser);
        if (parser->Load(settings) == -1) {
            UnicodeString name = ChangeFileExt(ExtractFileName(book), L"");
            SetName(name == L"launcher" ? UnicodeString(L"VKB EBook Viewer") : name);
            SetWindowState(wsMaximized);
        } else {
            SetName(StringReplace(parser->Get(L"title"), L"%26", L"&", {rfReplaceAll}));
            // Strict conversions: a bad number ends the handler here.
            int width = StrToInt(parser->Get(L"width"));
            int height = width >= 1 ? StrToInt(parser->Get(L"height")) : 0;
            if (width >= 1 && height >= 1) {
                int w = Screen->Width() < width ? Screen->Width() : width;
                int h = Screen->Height() < height ? Screen->Height() : height;
                SetWidth(w);
                SetHeight(h);
                SetTop((Screen->Height() - Height()) / 2);
                SetLeft((Screen->Width() - Width()) / 2);
            } else {
                SetWindowState(wsMaximized);
            }
            if (parser->Get(L"fullscreen") == L"true")
                SetWindowState(wsMaximized);
        }
    }

    FlashPlayer->SetMovie(ChangeFileExt(book, L".swf"));
}

void TPlayerForm::FormShow(TObject* Sender)
{
    UnicodeString page;
    if (!StartPage(ViewerCommandLine(), page))
        return;
    ShowMessage(page);
    FlashPlayer->SetVariable(L"_root.BOOKLOAD_FIRSTPAGE", page);
    ShowMessage(FlashPlayer->GetVariable(L"_root.BOOKLOAD_FIRSTPAGE"));
}

void TPlayerForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    if (MessageDlg(L"종료하시겠습니까?", mtInformation, {mbYes, mbNo}, 0) == mrNo)
        Action = caNone;
    else
        Action = caFree;
}
