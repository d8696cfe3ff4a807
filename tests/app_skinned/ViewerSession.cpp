#include "ViewerSession.h"

#include <algorithm>

namespace {

std::string BigEndian(uint32_t n)
{
    return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
}

// The Korean code page's bytes of a UTF-8 text (the book's files are
// written in it).
std::string Cp949(const std::string& Utf8)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), int(Utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), int(Utf8.size()), wide.data(), n);
    const int m = ::WideCharToMultiByte(949, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(m), '\0');
    ::WideCharToMultiByte(949, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}

UnicodeString Plain(UnicodeString Text)
{
    std::erase(Text, L'&');
    return Text;
}

struct TButtonSearch {
    UnicodeString Caption;  // empty: every button
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectButton(HWND W, LPARAM P)
{
    auto* s = reinterpret_cast<TButtonSearch*>(P);
    if (IsWindowVisible(W) && ClassOf(W).find(L"utton") != UnicodeString::npos &&
        (s->Caption.empty() || Plain(TextOf(W)) == s->Caption))
        s->Found.push_back(W);
    return TRUE;
}

std::vector<HWND> ButtonsOf(HWND Window, const UnicodeString& Caption = UnicodeString())
{
    TButtonSearch s{Caption, {}};
    EnumChildWindows(Window, CollectButton, LPARAM(&s));
    return s.Found;
}

uint32_t SysColourRgb(int Index)
{
    const COLORREF c = ::GetSysColor(Index);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// The movie's window of a player window: the hosted control's, else the
// stand-in, which paints the movie's name on its own dark ground.
void NoteMovie(HWND Window, TShot& Shot)
{
    HWND flash = FlashOf(Window);
    if (!flash)
        return;
    if (HWND hosted = FindWindowExW(flash, nullptr, L"KvTestFlashMovie", nullptr)) {
        Shot.Movie = WindowArea(hosted);
        Shot.MovieBack = SysColourRgb(COLOR_WINDOW);
        Shot.MovieText = false;
    } else {
        Shot.Movie = WindowArea(flash);
        Shot.MovieBack = 0x202028;
        Shot.MovieText = true;
    }
}

struct TMenuSearch {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK MatchMenu(HWND W, LPARAM P)
{
    auto* s = reinterpret_cast<TMenuSearch*>(P);
    DWORD owner = 0;
    GetWindowThreadProcessId(W, &owner);
    if (owner == s->Pid && IsWindowVisible(W) && ClassOf(W) == L"#32768") {
        s->Found = W;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK NotePaintPending(HWND W, LPARAM P)
{
    if (IsWindowVisible(W) && GetUpdateRect(W, nullptr, FALSE))
        *reinterpret_cast<bool*>(P) = true;
    return TRUE;
}

// The window or one of its shown children still has something to paint.
bool HasPaintPending(HWND Window)
{
    bool pending = GetUpdateRect(Window, nullptr, FALSE) != FALSE;
    EnumChildWindows(Window, NotePaintPending, LPARAM(&pending));
    return pending;
}

} // namespace

std::vector<TShot>& Shots()
{
    static std::vector<TShot> shots;
    return shots;
}

const TShot* FindShot(const std::string& Name)
{
    for (const TShot& s : Shots())
        if (s.Name == Name)
            return &s;
    return nullptr;
}

TBookRun::TBookRun(const TBookSetup& Setup) : FSetup(Setup)
{
    const std::string image = ReadBytes(TestExeDir() + L"\\..\\app\\viewer.exe");
    // The viewer under the book's name; a zero-length trailer: no installer.
    if (!image.empty())
        WriteBytes(Dir / L"E2EBook.exe", image + BigEndian(0));
    WriteBytes(Dir / L"E2EBook.swf", "FWS\x08\x0f\0\0\0");
    WriteBytes(Dir / L"intro.swf", "FWS\x08\x0f\0\0\0");
    WriteBytes(Dir / L"E2EBook_Page_Img\\Page_var.txt", Cp949(FSetup.PageSettings));
    WriteBytes(Dir / L"E2EBook_Page_Img\\contents\\Sample.PDF", "%PDF-1.4 sample");
    if (!FSetup.Ini.empty())
        WriteBytes(Dir / L"E2EBook.ini", FSetup.Ini);
}

TBookRun::~TBookRun()
{
    Viewer.Kill();
}

bool TBookRun::Start()
{
    return FileThere(Dir / L"E2EBook.exe") && Viewer.Start(Dir / L"E2EBook.exe", FSetup.Args, Dir.Path());
}

HWND TBookRun::WaitPlayer(DWORD TimeoutMs)
{
    return WaitWindow(L"TPlayerForm", TimeoutMs);
}

HWND TBookRun::WaitWindow(const UnicodeString& Class, DWORD TimeoutMs)
{
    HWND found = nullptr;
    WaitFor(TimeoutMs, [&] {
        const std::vector<HWND> windows = TopWindows(Pid(), Class);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    });
    return found;
}

DWORD TBookRun::Quit(HWND Player)
{
    PostMessageW(Player, WM_CLOSE, 0, 0);
    HWND question = WaitWindow(L"TMessageForm");
    if (!question || !PressButton(question, L"Yes"))
        return STILL_ACTIVE;
    return Viewer.WaitExit(20000);
}

bool PressButton(HWND Window, const UnicodeString& Caption)
{
    // A form shows before its buttons do while the machine is busy.
    std::vector<HWND> found;
    WaitFor(10000, [&] {
        found = ButtonsOf(Window, Caption);
        return !found.empty();
    });
    if (found.empty())
        return false;
    PostMessageW(Window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(found[0]), BN_CLICKED), LPARAM(found[0]));
    return true;
}

bool WaitGone(HWND Window, DWORD TimeoutMs)
{
    return WaitFor(TimeoutMs, [&] { return !IsWindow(Window) || !IsWindowVisible(Window); });
}

TShot& Photograph(HWND Window, const std::string& Name)
{
    // Shown and painted, frame and children, before the screen is read.
    WaitFor(10000, [&] { return IsWindowVisible(Window) && !HasPaintPending(Window); });
    TShot shot;
    shot.Name = Name;
    shot.Picture = SteadyPicture(WindowArea(Window));
    shot.Window = WindowArea(Window);
    RECT c{};
    GetClientRect(Window, &c);
    POINT origin{0, 0};
    ClientToScreen(Window, &origin);
    shot.Client = TRect(origin.x, origin.y, origin.x + c.right, origin.y + c.bottom);
    shot.Style = GetWindowLongW(Window, GWL_STYLE);
    shot.Zoomed = IsZoomed(Window);
    shot.Menu = ClassOf(Window) == L"#32768";
    NoteMovie(Window, shot);
    for (HWND b : ButtonsOf(Window))
        shot.Buttons.push_back(WindowArea(b));
    shot.Picture.Save(Name);
    Shots().push_back(std::move(shot));
    return Shots().back();
}

HWND WaitMenuWindow(DWORD Pid, DWORD TimeoutMs)
{
    TMenuSearch s{Pid, nullptr};
    WaitFor(TimeoutMs, [&] {
        s.Found = nullptr;
        EnumWindows(MatchMenu, LPARAM(&s));
        return s.Found != nullptr;
    });
    return s.Found;
}
