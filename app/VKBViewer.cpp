// Entry point of the viewer: make sure the Flash control is there, then
// open the book's main window and run until it closes.
#include <windows.h>

#include <memory>

#include "app/VKBStartupUnit.h"
#include "app/VKBViewerMainFormUnit.h"
#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    UnicodeString exe = Application->ExeName();

    // Before any window: the message boxes of this step have the plain look.
    UnicodeString registered = ReadFlashRegistration();
    if (FlashProvisioningNeeded(registered))
        ProvisionFlash(exe, registered, FlashInstallerPath());

    try {
        {
            std::unique_ptr<TIcon> icon(ApplicationIconFor(exe));
            Application->SetIcon(icon.get());   // the application keeps a copy
        }

        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        Application->CreateForm(PlayerForm);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(&e);
    } catch (const std::exception&) {
        // Anything outside the class library's family shows as an empty message.
        Exception wrapped(L"");
        Application->ShowException(&wrapped);
    }
    return 0;
}
