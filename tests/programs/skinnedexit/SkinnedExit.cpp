// A skinned program's end, as the viewer's: the application started, then a
// main form that owns its skin manager (the packed skin and its name on the
// command line), skinned by the creation hook, closed through the message
// loop; main returns and the forms go while the program ends.
// Exit codes: 0 ended whole; 2 a form went after a static made with the
// forms was destroyed; 3 a fault or an exception; 4 the form was not skinned.
#include <windows.h>

#include <exception>

#include "classlib/controls/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"

namespace {

// Made with the forms, after the application started, as the skin
// library's list of providers is; its destruction is noted in a flag that
// outlives it.
bool WitnessGone = false;
struct TWitness {
    ~TWitness() { WitnessGone = true; }
};
void MakeWitness()
{
    static TWitness witness;
}

[[noreturn]] void Fail(UINT Code)
{
    ::TerminateProcess(::GetCurrentProcess(), Code);
    for (;;) {
    }
}

LONG WINAPI FaultFilter(EXCEPTION_POINTERS*)
{
    Fail(3);
}

struct TEvents {
    void Close(TObject*, TCloseAction& Action) { Action = caFree; }
    void Destroy(TObject*)
    {
        if (WitnessGone)
            Fail(2);
    }
    void Error(TObject*, Exception*) { Fail(3); }
} Events;

} // namespace

int main()
{
    ::SetUnhandledExceptionFilter(FaultFilter);
    std::set_terminate([] { Fail(3); });
    RegisterSkinFormsServices();
    Application->OnException = Bind(&Events, &TEvents::Error);
    Application->Initialize();

    TForm* form = nullptr;
    Application->CreateForm(form);
    form->OnClose = Bind(&Events, &TEvents::Close);
    form->OnDestroy = Bind(&Events, &TEvents::Destroy);
    auto* manager = New<TsSkinManager>(form);
    auto* skin = static_cast<TsStoredSkin*>(manager->InternalSkins()->Add());
    skin->SetName(ParamStr(2));
    skin->PackedData->LoadFromFile(ParamStr(1));
    manager->SetSkinName(ParamStr(2));
    MakeWitness();

    form->Show();
    Application->ProcessMessages();
    TsSkinProvider* provider = GetSkinProvider(form);
    if (!provider || provider->RTInit || !provider->SkinData()->Skinned())
        return 4;
    ::PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    return 0;
}
