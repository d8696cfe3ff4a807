// The viewer's entry function as the shipped viewer has it (app/VKBViewer.cpp),
// for the start-up benchmark, with two things the benchmark asks through the
// environment:
//   KV_STARTUP_UNSKINNED=1   the main form's skin manager comes up inactive:
//                            its Active is off before its form resource is
//                            read, so it loads no skin and skins no window
//   KV_STARTUP_PAINTED=name  the named event is set once the main window and
//                            its movie's window are shown and painted
#include <windows.h>

#include <memory>

#include "app/VKBStartupUnit.h"
#include "app/VKBViewerMainFormUnit.h"
#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/ole/ShockwaveFlashObjects.h"
#include "skin/core/sSkinManager.h"

namespace {

std::wstring Env(const wchar_t* Name)
{
    wchar_t buf[256] = {};
    const DWORD n = ::GetEnvironmentVariableW(Name, buf, 256);
    return n && n < 256 ? std::wstring(buf, n) : std::wstring();
}

// The skin manager of the form resource, made inactive before it reads its
// properties (the name of its skin among them).
TComponent* InactiveManager(TComponent* Owner)
{
    TsSkinManager* manager = New<TsSkinManager>(Owner);
    manager->SetActive(false);
    return manager;
}

// Sets the named event the first time the application goes idle with the
// main window shown and nothing of it (frame, client, movie) left to paint:
// the system sends WM_PAINT only when the queue is otherwise empty, so by
// then every first paint has run.  Watching the windows' procedures would
// not do: the skin takes them over and hands them round while it starts.
class TPaintSignal : public TObject {
public:
    TPaintSignal(const std::wstring& EventName, TPlayerForm* Form)
        : FEvent(::OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName.c_str())), FForm(Form)
    {
        Application->OnIdle = TNotifyEvent(this, &TPaintSignal::Idle);
    }
    ~TPaintSignal() override
    {
        if (FEvent)
            ::CloseHandle(FEvent);
    }

private:
    static bool Painted(HWND Wnd)
    {
        return Wnd && ::IsWindowVisible(Wnd) && !::GetUpdateRect(Wnd, nullptr, FALSE);
    }
    void Idle(TObject*)
    {
        if (!FEvent || !FForm->HandleAllocated() || !FForm->FlashPlayer->HandleAllocated())
            return;
        if (Painted(FForm->Handle()) && Painted(FForm->FlashPlayer->Handle())) {
            ::SetEvent(FEvent);
            ::CloseHandle(FEvent);
            FEvent = nullptr;
        }
    }
    HANDLE FEvent;
    TPlayerForm* FForm;
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    UnicodeString exe = Application->ExeName();

    UnicodeString registered = ReadFlashRegistration();
    if (FlashProvisioningNeeded(registered))
        ProvisionFlash(exe, registered, FlashInstallerPath());

    if (Env(L"KV_STARTUP_UNSKINNED") == L"1")
        RegisterClass(TComponentClass(TsSkinManager::StaticClassName(), InactiveManager,
                                      &TsSkinManager::StaticClassInfo));
    std::unique_ptr<TPaintSignal> signal;
    const std::wstring eventName = Env(L"KV_STARTUP_PAINTED");

    try {
        {
            std::unique_ptr<TIcon> icon(ApplicationIconFor(exe));
            Application->SetIcon(icon.get());
        }
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->CreateForm(PlayerForm);
        if (!eventName.empty() && PlayerForm) {
            signal.reset(new TPaintSignal(eventName, PlayerForm));
        }
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(&e);
    } catch (const std::exception&) {
        Exception wrapped(L"");
        Application->ShowException(&wrapped);
    }
    return 0;
}
