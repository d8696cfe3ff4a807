#include <gtest/gtest.h>

#include <memory>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/ExtCtrls.h"

namespace {

TMessageForm* AsMessageForm(const TOwned<TForm>& f)
{
    return dynamic_cast<TMessageForm*>(f.get());
}

// Buttons of a form, left to right.
std::vector<TButton*> ButtonsOf(TWinControl* form)
{
    std::vector<TButton*> result;
    for (int i = 0; i < form->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(form->Controls(i)))
            result.push_back(b);
    std::sort(result.begin(), result.end(), [](TButton* a, TButton* b) { return a->Left() < b->Left(); });
    return result;
}

} // namespace

TEST(MessageForm, ButtonsFollowTheSetInOrderWithResultsDefaultAndCancel)
{
    struct Expect {
        const wchar_t* name;
        const wchar_t* caption;
        int result;
        bool isDefault;
        bool isCancel;
    };
    struct Case {
        TMsgDlgButtons buttons;
        std::vector<Expect> expect;
    } cases[] = {
        {{mbYes, mbNo}, {{L"Yes", L"&Yes", mrYes, true, false}, {L"No", L"&No", mrNo, false, true}}},
        {{mbCancel, mbOK}, {{L"OK", L"OK", mrOk, true, false}, {L"Cancel", L"Cancel", mrCancel, false, true}}},
        {{mbAbort, mbRetry, mbIgnore},
         {{L"Abort", L"&Abort", mrAbort, false, false},
          {L"Retry", L"&Retry", mrRetry, true, false},
          {L"Ignore", L"&Ignore", mrIgnore, false, false}}},
        {{mbHelp, mbCancel, mbNo, mbYes},
         {{L"Yes", L"&Yes", mrYes, true, false},
          {L"No", L"&No", mrNo, false, false},
          {L"Cancel", L"Cancel", mrCancel, false, true},
          {L"Help", L"&Help", mrNone, false, false}}},
        {{mbYesToAll, mbNoToAll, mbAll},
         {{L"All", L"&All", mrAll, false, false},
          {L"NoToAll", L"N&o to All", mrNoToAll, false, false},
          {L"YesToAll", L"Yes to &All", mrYesToAll, false, false}}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        TOwned<TForm> form(CreateMessageDialog(L"Text", mtConfirmation, c.buttons));
        ASSERT_TRUE(AsMessageForm(form));
        EXPECT_EQ(form->ClassName(), L"TMessageForm");
        std::vector<TButton*> buttons = ButtonsOf(form.get());
        ASSERT_EQ(buttons.size(), c.expect.size()) << c.buttons.Ord();
        for (size_t i = 0; i < buttons.size(); ++i) {
            const Expect& e = c.expect[i];
            EXPECT_EQ(buttons[i]->Name(), e.name);
            EXPECT_EQ(buttons[i]->Caption(), e.caption);
            EXPECT_EQ(buttons[i]->ModalResult(), e.result) << e.name;
            EXPECT_EQ(buttons[i]->Default(), e.isDefault) << e.name;
            EXPECT_EQ(buttons[i]->Cancel(), e.isCancel) << e.name;
            EXPECT_EQ(buttons[i]->Top(), buttons[0]->Top());
            EXPECT_LE(buttons[i]->BoundsRect().right, form->ClientWidth());
            EXPECT_LE(buttons[i]->BoundsRect().bottom, form->ClientHeight());
        }
    }
}

TEST(MessageForm, CaptionAndIconByType)
{
    struct Case {
        TMsgDlgType type;
        UnicodeString caption;
        bool icon;
    } cases[] = {
        {mtWarning, L"Warning", true},
        {mtError, L"Error", true},
        {mtInformation, L"Information", true},
        {mtConfirmation, L"Confirm", true},
        {mtCustom, Application->Title(), false},
    };
    for (const Case& c : cases) {
        TOwned<TForm> form(CreateMessageDialog(L"종료하시겠습니까?", c.type, {mbOK}));
        EXPECT_EQ(form->Caption(), c.caption);
        EXPECT_EQ(form->FindComponent(L"Image") != nullptr, c.icon) << c.caption;
        EXPECT_EQ(form->BorderStyle(), bsDialog);
        TLabel* message = AsMessageForm(form)->Message();
        ASSERT_TRUE(message);
        EXPECT_EQ(message->Name(), L"Message");
        EXPECT_EQ(message->Caption(), L"종료하시겠습니까?");
        if (auto* image = dynamic_cast<TControl*>(form->FindComponent(L"Image"))) {
            EXPECT_EQ(image->Width(), 32);
            EXPECT_GT(message->Left(), image->BoundsRect().right) << "the text beside the icon";
            EXPECT_LE(image->BoundsRect().bottom, AsMessageForm(form)->Button(mbOK)->Top());
        }
    }
}

TEST(MessageForm, SizedToTheText)
{
    TOwned<TForm> small(CreateMessageDialog(L"Hi", mtCustom, {mbOK}));
    TOwned<TForm> wide(CreateMessageDialog(UnicodeString(60, L'W'), mtCustom, {mbOK}));
    TOwned<TForm> tall(CreateMessageDialog(L"one\ntwo\nthree\nfour", mtCustom, {mbOK}));
    UnicodeString many;
    for (int i = 0; i < 200; ++i)
        many += L"word ";
    TOwned<TForm> words(CreateMessageDialog(many, mtCustom, {mbOK}));
    EXPECT_GT(wide->ClientWidth(), small->ClientWidth());
    EXPECT_GT(tall->ClientHeight(), small->ClientHeight());
    // Lines wrap at half the screen's width.
    EXPECT_LE(words->Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(words->ClientHeight(), tall->ClientHeight());
    TLabel* m = AsMessageForm(tall)->Message();
    EXPECT_GE(m->Height(), 4 * AsMessageForm(small)->Message()->Height());
    EXPECT_LE(m->BoundsRect().bottom, AsMessageForm(tall)->Button(mbOK)->Top());
}

TEST(MessageForm, AmpersandsOfTheTextAreShownAsTheyAre)
{
    // A file name such as "Q&A.pdf" in a message keeps its '&'.
    TOwned<TForm> amp(CreateMessageDialog(L"Q&A.pdf 파일이 저장되었습니다.", mtCustom, {mbOK}));
    TOwned<TForm> plain(CreateMessageDialog(L"QA.pdf 파일이 저장되었습니다.", mtCustom, {mbOK}));
    TLabel* m = AsMessageForm(amp)->Message();
    EXPECT_GT(m->Width(), AsMessageForm(plain)->Message()->Width());
    // The label draws the text as the form measured it.
    TRect laidOut = m->BoundsRect();
    m->AdjustBounds();
    EXPECT_EQ(m->BoundsRect(), laidOut);
}

namespace {

// Clicks a button of the active message form from a timer tick.
struct TClicker : TObject {
    TMsgDlgBtn Target = mbNo;
    WPARAM Key = 0;   // when set, a key press on the focused control instead
    int Ticks = 0;
    void Tick(TObject* Sender)
    {
        // Until the form is up, the next tick tries again.
        auto* form = dynamic_cast<TMessageForm*>(FindControl(GetActiveWindow()));
        if (!form)
            return;
        ++Ticks;
        static_cast<TTimer*>(Sender)->SetEnabled(false);
        if (Key) {
            HWND focus = GetFocus();
            PostMessageW(focus, WM_KEYDOWN, Key, 1);
            PostMessageW(focus, WM_KEYUP, Key, 0xC0000001);
        } else if (TButton* b = form->Button(Target)) {
            PostMessageW(b->Handle(), BM_CLICK, 0, 0);
        }
    }
};

int RunWithClicker(TClicker& clicker, const std::function<int()>& show)
{
    TTimer* timer = New<TTimer>(nullptr);
    timer->SetInterval(30);
    timer->SetOnTimer(Bind(&clicker, &TClicker::Tick));
    int result = show();
    FreeAndNil(timer);
    return result;
}

} // namespace

TEST(MessageForm, ModalFormEndsWithTheClickedButtonsResult)
{
    TOwned<TForm> form(CreateMessageDialog(L"종료하시겠습니까?", mtInformation, {mbYes, mbNo}));
    TClicker clicker;
    int result = RunWithClicker(clicker, [&] { return form->ShowModal(); });
    EXPECT_EQ(clicker.Ticks, 1);
    EXPECT_EQ(result, mrNo);
    EXPECT_FALSE(form->Showing());
}

TEST(MessageForm, MessageDlgShowsOurFormWithTheLibrarysCaptions)
{
    ASSERT_FALSE(DialogSeamInstalled());
    bool saved = UseLatestCommonDialogs;
    struct Case {
        bool latest;
        TMsgDlgBtn target;
        WPARAM key;
        int result;
    } cases[] = {
        {false, mbNo, 0, mrNo},
        {false, mbCancel, 0, mrCancel},
        {false, mbYes, VK_RETURN, mrYes},    // the default button
        {false, mbYes, VK_ESCAPE, mrCancel}, // the cancel button
        {true, mbNo, 0, mrNo},               // not the system's localized box
    };
    for (const Case& c : cases) {
        UseLatestCommonDialogs = c.latest;
        TClicker clicker;
        clicker.Target = c.target;
        clicker.Key = c.key;
        int result = RunWithClicker(
            clicker, [] { return MessageDlg(L"Save?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0); });
        EXPECT_EQ(result, c.result) << c.target << " key " << c.key;
    }
    UseLatestCommonDialogs = saved;
}

TEST(MessageForm, SeamAnswersModalForms)
{
    TOwned<TForm> form(CreateMessageDialog(L"x", mtCustom, {mbYes, mbNo}));
    TDialogSeamScope seam;
    seam.Answer(mrYes);
    EXPECT_EQ(ShowModalThroughSeam(form.get()), mrYes);
    EXPECT_EQ(form->ModalResult(), mrYes);
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Last().Kind, TDialogKind::ModalForm);
    EXPECT_EQ(seam.Last().Dialog, form.get());
    EXPECT_EQ(seam.Last().Caption, Application->Title());
}

TEST(MessageForm, SeamSeesMessageDlgWithTypeCaptionAndButtons)
{
    TDialogSeamScope seam;
    seam.Answer(mrNo);
    EXPECT_EQ(MessageDlg(L"종료하시겠습니까?", mtInformation, {mbYes, mbNo}, 0), mrNo);
    EXPECT_EQ(MessageDlg(L"again", mtWarning, {mbOK}, 7), mrCancel);   // nothing queued
    ASSERT_EQ(seam.Count(), 2u);
    const TDialogRequest& r = seam.Requests[0];
    EXPECT_EQ(r.Kind, TDialogKind::MessageDlg);
    EXPECT_EQ(r.Text, L"종료하시겠습니까?");
    EXPECT_EQ(r.Caption, L"Information");
    EXPECT_EQ(r.DlgType, mtInformation);
    EXPECT_EQ(r.Buttons, (TMsgDlgButtons{mbYes, mbNo}));
    EXPECT_EQ(seam.Requests[1].HelpCtx, 7);
    EXPECT_EQ(seam.Requests[1].Caption, L"Warning");
}

namespace {

// Types into the edit of the active dialog and presses one of its buttons.
struct TTypist : TObject {
    UnicodeString Text;
    TModalResult Press = mrOk;
    void Tick(TObject* Sender)
    {
        auto* form = dynamic_cast<TCustomForm*>(FindControl(GetActiveWindow()));
        if (!form)
            return;
        static_cast<TTimer*>(Sender)->SetEnabled(false);
        for (int i = 0; i < form->ControlCount(); ++i) {
            if (auto* edit = dynamic_cast<TEdit*>(form->Controls(i)))
                SetWindowTextW(edit->Handle(), Text.c_str());
            if (auto* b = dynamic_cast<TButton*>(form->Controls(i)); b && b->ModalResult() == Press)
                PostMessageW(b->Handle(), BM_CLICK, 0, 0);
        }
    }
};

bool RunInputQuery(TTypist& typist, UnicodeString& value)
{
    TTimer* timer = New<TTimer>(nullptr);
    timer->SetInterval(30);
    timer->SetOnTimer(Bind(&typist, &TTypist::Tick));
    bool result = InputQuery(L"입력", L"이름:", value);
    FreeAndNil(timer);
    return result;
}

} // namespace

TEST(InputQuery, OkTakesTheTextCancelKeepsTheValue)
{
    ASSERT_FALSE(DialogSeamInstalled());
    UnicodeString value = L"old";
    TTypist typist;
    typist.Text = L"새 이름";
    EXPECT_TRUE(RunInputQuery(typist, value));
    EXPECT_EQ(value, L"새 이름");

    typist.Text = L"ignored";
    typist.Press = mrCancel;
    EXPECT_FALSE(RunInputQuery(typist, value));
    EXPECT_EQ(value, L"새 이름");
}

TEST(InputQuery, SeamSeesCaptionPromptAndValue)
{
    TDialogSeamScope seam;
    seam.Answer(IDOK, L"typed");
    UnicodeString value = L"default";
    EXPECT_TRUE(InputQuery(L"Caption", L"Prompt", value));
    EXPECT_EQ(value, L"typed");
    EXPECT_FALSE(InputQuery(L"Caption", L"Prompt", value));
    EXPECT_EQ(value, L"typed");
    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_EQ(seam.Requests[0].Kind, TDialogKind::InputQuery);
    EXPECT_EQ(seam.Requests[0].Caption, L"Caption");
    EXPECT_EQ(seam.Requests[0].Text, L"Prompt");
    EXPECT_EQ(seam.Requests[0].FileName, L"default");
}
