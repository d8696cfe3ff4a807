// The built viewer, skinned by its built-in skin, on a real (virtual) X
// screen: books of the tests' own are played through the stand-in control
// and through the test ActiveX control, every window of the viewer is
// opened through the movie's commands (or as a reader opens it) and
// photographed into the artifacts folder; then the pictures are checked by
// pixels against the skin's own images.
//
// The sessions (suite SkinnedViewer) take the pictures; the checks (suite
// SkinnedLook) read them, so they run after the sessions in this program.
#include <gtest/gtest.h>

#include "SkinLook.h"
#include "ViewerSession.h"
#include "servers/TestFlash/TestFlashRegistration.h"

namespace {

// Opens a pop-up through the movie's command and photographs it; it is
// closed again through its own control's command.
void PopUpAndPhotograph(TBookRun& Run, HWND MovieWindow, const std::string& Name)
{
    ASSERT_TRUE(Run.Driver.Command(MovieWindow, L"function", L"PopUpForm@@@intro.swf@@@3"));
    HWND popUp = Run.WaitWindow(L"TChildForm");
    ASSERT_NE(popUp, nullptr) << Name;
    const TShot& shot = Photograph(popUp, Name);
    EXPECT_TRUE(shot.Zoomed) << Name << ": the pop-up is designed maximised";
    EXPECT_FALSE(shot.Movie.IsEmpty()) << Name;
    HWND popUpMovie = FlashOf(popUp);
    if (HWND hosted = popUpMovie ? FindWindowExW(popUpMovie, nullptr, L"KvTestFlashMovie", nullptr) : nullptr)
        popUpMovie = hosted;
    ASSERT_NE(popUpMovie, nullptr);
    EXPECT_EQ(Run.Driver.Variable(popUpMovie, L"_root.BOOKLOAD_FIRSTPAGE"), L"3");
    ASSERT_TRUE(Run.Driver.Command(popUpMovie, L"formcontrol", L"Close"));
    EXPECT_TRUE(WaitGone(popUp)) << Name;
}

// The two start-page messages of "-p<page>": the first is photographed.
void AnswerStartPage(TBookRun& Run, const std::string& Name)
{
    for (int i = 0; i < 2; ++i) {
        HWND message = Run.WaitWindow(L"TMessageForm", 60000);
        ASSERT_NE(message, nullptr) << "start-page message " << i + 1;
        if (i == 0)
            Photograph(message, Name);
        ASSERT_TRUE(PressButton(message, L"OK"));
        ASSERT_TRUE(WaitGone(message));
    }
}

// The Open/Save/Cancel prompt, Save, the standard save dialog (owned by the
// main window), and the saved message.
void SaveThroughThePrompt(TBookRun& Run, HWND Player, HWND Flash)
{
    TPendingCommand command(Run.Viewer, Flash, L"exec", L"function_copyfileModal@@@E2EBook_Page_Img/contents@@@Sample.PDF");
    HWND prompt = Run.WaitWindow(L"TFileDownloadForm");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(TextOf(prompt), L"파일 다운로드");
    Photograph(prompt, "download-prompt");
    ASSERT_TRUE(PressButton(prompt, L"저장"));

    HWND dialog = Run.WaitWindow(L"#32770");
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), Player) << "the save dialog has the main window as owner";
    Photograph(dialog, "save-dialog");
    const UnicodeString target = Run.Dir / L"saved.pdf";
    // The name box of the dialog (an edit in a combo box in the explorer
    // style, a plain edit in the old one).
    ASSERT_TRUE(SetDlgItemTextW(dialog, 0x47C, target.c_str()) || SetDlgItemTextW(dialog, 0x480, target.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);

    HWND message = Run.WaitWindow(L"TMessageForm");
    ASSERT_NE(message, nullptr) << "no message after the copy";
    Photograph(message, "message-saved");
    ASSERT_TRUE(PressButton(message, L"OK"));
    ASSERT_TRUE(command.Finished(20000));
    EXPECT_EQ(command.Result(), FlashCommandRan);
    EXPECT_EQ(ReadBytes(target), "%PDF-1.4 sample");
}

// The system menu as the reader opens it from the keyboard (Alt+Space): the
// skinned frame drops its own; closed again with Escape.
void SystemMenu(TBookRun& Run, HWND Player)
{
    SetForegroundWindow(Player);
    PostMessageW(Player, WM_SYSCOMMAND, SC_KEYMENU, L' ');
    HWND menu = WaitMenuWindow(Run.Pid());
    ASSERT_NE(menu, nullptr) << "Alt+Space on the skinned main window brought up no system menu";
    Photograph(menu, "system-menu");
    for (int i = 0; i < 3 && !WaitGone(menu, i ? 3000 : 0); ++i) {
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0);
    }
    if (!WaitGone(menu, 3000))
        PostMessageW(Player, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitGone(menu));
}

TEST(SkinnedViewer, SizeableMainWindowAndEveryDialogThroughTheStandIn)
{
    Server().Unregister();  // the stand-in plays here (a run cut short may have left it)
    TBookSetup book;
    book.Ini = "[MainForm]\r\nBorderStyle=bsSizeable\r\n";
    book.Args = L"-p첫쪽";
    TBookRun run(book);
    ASSERT_TRUE(run.Start());
    AnswerStartPage(run, "message-start-page");

    HWND player = run.WaitPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(TextOf(player), L"E2E 책 & 그림");
    HWND flash = FlashOf(player);
    ASSERT_NE(flash, nullptr);
    // The command channel answers under the skin.
    EXPECT_EQ(run.Driver.Variable(flash, L"_root.BOOKLOAD_FIRSTPAGE"), L"첫쪽");
    const TShot& main = Photograph(player, "main-sizeable");
    EXPECT_FALSE(main.Zoomed);
    EXPECT_EQ(main.Window.Width(), 800);

    PopUpAndPhotograph(run, flash, "popup-sizeable");
    SaveThroughThePrompt(run, player, flash);
    SystemMenu(run, player);

    // The quit question: No keeps the window.
    PostMessageW(player, WM_CLOSE, 0, 0);
    HWND question = run.WaitWindow(L"TMessageForm");
    ASSERT_NE(question, nullptr);
    Photograph(question, "quit-question");
    ASSERT_TRUE(PressButton(question, L"No"));
    ASSERT_TRUE(WaitGone(question));
    EXPECT_TRUE(IsWindowVisible(player));
    EXPECT_EQ(run.Quit(player), 0u);
}

TEST(SkinnedViewer, BorderlessMainWindowAndPopUp)
{
    Server().Unregister();
    TBookSetup book;
    book.Ini = "[MainForm]\r\nBorderStyle=bsNone\r\n[ChildForm]\r\nBorderStyle=bsNone\r\n";
    TBookRun run(book);
    ASSERT_TRUE(run.Start());
    HWND player = run.WaitPlayer();
    ASSERT_NE(player, nullptr);
    const TShot& main = Photograph(player, "main-bsnone");
    EXPECT_FALSE(main.HasBorder());
    EXPECT_EQ(main.Window, main.Client) << "no frame, no caption";
    PopUpAndPhotograph(run, FlashOf(player), "popup-bsnone");
    EXPECT_EQ(run.Quit(player), 0u);
}

TEST(SkinnedViewer, FullScreenMainWindowAndDialogPopUp)
{
    Server().Unregister();
    TBookSetup book;
    book.Ini = "[MainForm]\r\nBorderStyle=bsNone\r\n[ChildForm]\r\nBorderStyle=bsDialog\r\n";
    book.PageSettings = "&title=Full&&width=800&&height=600&&fullscreen=true&";
    TBookRun run(book);
    ASSERT_TRUE(run.Start());
    HWND player = run.WaitPlayer();
    ASSERT_NE(player, nullptr);
    const TShot& main = Photograph(player, "main-bsnone-fullscreen");
    EXPECT_TRUE(main.Zoomed);
    EXPECT_EQ(main.Window, ScreenArea());
    PopUpAndPhotograph(run, FlashOf(player), "popup-bsdialog");
    EXPECT_EQ(run.Quit(player), 0u);
}

TEST(SkinnedViewer, HostedControlPlaysAndItsPopUpIsAToolWindow)
{
    ASSERT_TRUE(Server().Loaded()) << "kvtestflash.dll not built beside the test";
    ASSERT_EQ(Server().Register(), S_OK);
    struct TUnregister {
        ~TUnregister() { Server().Unregister(); }
    } unregister;
    TBookSetup book;
    book.Ini = "[ChildForm]\r\nBorderStyle=bsSizeToolWin\r\n";
    TBookRun run(book);
    ASSERT_TRUE(run.Start());
    HWND player = run.WaitPlayer();
    ASSERT_NE(player, nullptr);
    HWND flash = FlashOf(player);
    HWND movie = flash ? FindWindowExW(flash, nullptr, L"KvTestFlashMovie", nullptr) : nullptr;
    ASSERT_NE(movie, nullptr) << "the control is not hosted";
    // The stand-in's channel is not there; the control's FSCommand is.
    EXPECT_EQ(run.Driver.Send(flash, L"formcontrol", L"wsMinimized"), 0);
    Photograph(player, "hosted-main");
    PopUpAndPhotograph(run, movie, "hosted-popup-bssizetoolwin");
    ASSERT_TRUE(run.Driver.Command(movie, L"formcontrol", L"wsMinimized"));
    EXPECT_TRUE(IsIconic(player));
    ASSERT_TRUE(run.Driver.Command(movie, L"formcontrol", L"wsNormal"));
    EXPECT_FALSE(IsIconic(player));
    EXPECT_EQ(run.Quit(player), 0u);
}

// ---------------------------------------------------------------------------
// The pictures against the skin.

const TSkinLook& Look()
{
    static TSkinLook look;
    static std::string error = [] {
        std::string e;
        LoadSkinLook(look, e);
        return e;
    }();
    EXPECT_EQ(error, "");
    return look;
}

std::vector<const TShot*> ShotsWhere(bool (*Wanted)(const TShot&))
{
    std::vector<const TShot*> out;
    for (const TShot& s : Shots())
        if (Wanted(s))
            out.push_back(&s);
    return out;
}

void ExpectShots(const std::vector<const TShot*>& Found)
{
    ASSERT_FALSE(Found.empty()) << "no pictures: the sessions of this program take them first";
}

TEST(SkinnedLook, EveryWindowWasPhotographed)
{
    for (const char* name :
         {"message-start-page", "main-sizeable", "popup-sizeable", "download-prompt", "save-dialog", "message-saved",
          "quit-question", "main-bsnone", "popup-bsnone", "main-bsnone-fullscreen", "popup-bsdialog",
          "hosted-main", "hosted-popup-bssizetoolwin", "system-menu"})
        EXPECT_NE(FindShot(name), nullptr) << name;
}

TEST(SkinnedLook, TheMoviesClientAreaIsNotPaintedOver)
{
    const auto shots = ShotsWhere([](const TShot& s) { return !s.Movie.IsEmpty(); });
    ExpectShots(shots);
    for (const TShot* s : shots) {
        const TRect m = s->Movie;
        const int midY = (m.top + m.bottom) / 2;
        int wrong = 0;
        std::string first;
        for (int y = m.top + 2; y < m.bottom - 2; y += 7)
            for (int x = m.left + 2; x < m.right - 2; x += 7) {
                if (s->MovieText && std::abs(y - midY) < 24)
                    continue;  // the stand-in's line of text
                if (!s->Picture.Holds(x, y))
                    continue;
                const uint32_t c = s->Picture.At(x, y);
                if (!OneOf(c, {s->MovieBack}, 2) && wrong++ == 0)
                    first = Hex(c) + " at (" + std::to_string(x - m.left) + ", " + std::to_string(y - m.top) + ")";
            }
        EXPECT_EQ(wrong, 0) << s->Name << ": the movie's window should show " << Hex(s->MovieBack) << ", first other "
                            << first;
    }
}

// The frame, the title band and the caption buttons are the skinned
// frame's; the push buttons the control adapter's wrappers'; the system
// menu the skinned menus'.  Each check is written against what the skin
// must show.

bool Framed(const TShot& S)
{
    return !S.Menu && S.HasBorder() && !S.Zoomed && S.Name != "save-dialog";
}

bool Captioned(const TShot& S)
{
    return !S.Menu && S.HasCaption() && S.Name != "save-dialog";
}

TEST(SkinnedLook, TheFrameIsTheSkinsBorder)
{
    const TSkinLook& look = Look();
    const auto shots = ShotsWhere(Framed);
    ExpectShots(shots);
    for (const TShot* s : shots) {
        const TRect w = s->Window;
        const int midY = int(s->Client.top + w.bottom) / 2;  // beside the client area
        const int midX = (w.left + w.right) / 2;
        struct {
            const char* Edge;
            int X, Y;
        } edges[] = {{"left", int(w.left), midY}, {"right", int(w.right) - 1, midY}, {"bottom", midX, int(w.bottom) - 1}};
        for (const auto& e : edges) {
            const uint32_t c = s->Picture.At(e.X, e.Y);
            EXPECT_TRUE(OneOf(c, look.FrameEdge, 3))
                << s->Name << ", " << e.Edge << " edge: " << Hex(c) << ", the skin's border " << Hexes(look.FrameEdge);
        }
    }
}

TEST(SkinnedLook, TheTitleBandIsTheSkinsTitle)
{
    const TSkinLook& look = Look();
    const auto shots = ShotsWhere(Captioned);
    ExpectShots(shots);
    for (const TShot* s : shots) {
        // The band between the window's borders and above the client area:
        // most of it is the title's fill, the rest the caption's letters and
        // the buttons.
        const int border = std::max(0, int(s->Client.left - s->Window.left));
        const TRect band(s->Window.left + border, std::max(int(s->Window.top) + border, 0),
                         s->Window.right - border, s->Client.top);
        int fill = 0, all = 0;
        for (int y = band.top; y < band.bottom; ++y)
            for (int x = band.left; x < band.right; ++x, ++all)
                fill += look.TitleFill.Holds(s->Picture.At(x, y), 3);
        EXPECT_GE(fill * 10, all * 6) << s->Name << ": " << fill << " of the title band's " << all
                                      << " pixels have the skin's title colours " << look.TitleFill.Describe()
                                      << "; the band's middle shows "
                                      << Hex(s->Picture.At((band.left + band.right) / 2, (band.top + band.bottom) / 2));
        if (!s->Zoomed) {
            const int x = (band.left + band.right) / 2;
            const uint32_t edge = s->Picture.At(x, s->Window.top);
            EXPECT_TRUE(OneOf(edge, look.TitleEdge, 3) || OneOf(edge, look.FrameEdge, 3))
                << s->Name << ": top edge " << Hex(edge) << ", the skin's title border " << Hexes(look.TitleEdge);
        }
    }
}

TEST(SkinnedLook, TheCloseButtonIsTheSkinsPicture)
{
    const TSkinLook& look = Look();
    // Every captioned window of the viewer has a close button (the skinned
    // frame takes WS_SYSMENU away while it paints the buttons itself).
    const auto shots = ShotsWhere(Captioned);
    ExpectShots(shots);
    for (const TShot* s : shots) {
        // The caption band's right end.
        const TRect band(std::max(s->Window.left, s->Window.right - 160), std::max(0L, s->Window.top),
                         s->Window.right, s->Client.top);
        bool found = false;
        for (const TSkinGlyph& close : look.Closes)
            found = found || FindGlyph(s->Picture, band, close, 6).x >= 0;
        EXPECT_TRUE(found) << s->Name << ": none of the skin's close buttons is in the caption's right end";
    }
}

TEST(SkinnedLook, PushButtonsAreTheSkinsButtons)
{
    const TSkinLook& look = Look();
    const auto shots = ShotsWhere([](const TShot& s) { return !s.Buttons.empty() && s.Name != "save-dialog"; });
    ExpectShots(shots);
    for (const TShot* s : shots)
        for (const TRect& b : s->Buttons) {
            const uint32_t c = s->Picture.At(b.left, (b.top + b.bottom) / 2);
            EXPECT_TRUE(OneOf(c, look.ButtonEdge, 3))
                << s->Name << ": button at (" << b.left - s->Window.left << ", " << b.top - s->Window.top
                << ") has the edge " << Hex(c) << ", the skin's button " << Hexes(look.ButtonEdge);
        }
}

TEST(SkinnedLook, TheSystemMenuIsTheSkinsMenu)
{
    const TSkinLook& look = Look();
    const TShot* menu = FindShot("system-menu");
    ASSERT_NE(menu, nullptr);
    // Inside the right border, half-way down: past every item's text.
    const uint32_t c = menu->Picture.At(menu->Window.right - 6, (menu->Window.top + menu->Window.bottom) / 2);
    EXPECT_TRUE(OneOf(c, look.MenuBack, 2)) << Hex(c) << ", the skin's menu " << Hexes(look.MenuBack);
}

} // namespace
