// The server's exports: COM's entry points, registration, and the plain
// exports the tests use (see TestFlashApi.h).
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "TestFlashControl.h"

using namespace testflash;

namespace {

const wchar_t* const ClassKey = L"CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

class TFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override
    {
        if (Iid != IID_IUnknown && Iid != IID_IClassFactory) {
            *Object = nullptr;
            return E_NOINTERFACE;
        }
        *Object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // One static factory: its life is the module's.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID Iid, void** Object) override
    {
        if (!Object)
            return E_POINTER;
        *Object = nullptr;
        if (Outer)
            return CLASS_E_NOAGGREGATION;
        if (State().Faults.FailCreate) {
            Log(L"CreateRefused");
            return E_OUTOFMEMORY;
        }
        auto* control = new TControl();
        HRESULT hr = control->QueryInterface(Iid, Object);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL Lock) override
    {
        State().ServerLocks += Lock ? 1 : -1;
        return S_OK;
    }
};

TFactory Factory;

int CopyOut(const std::wstring& Text, wchar_t* Buffer, int Size)
{
    if (Buffer && Size > 0) {
        size_t n = std::min(Text.size(), size_t(Size - 1));
        std::memcpy(Buffer, Text.data(), n * sizeof(wchar_t));
        Buffer[n] = L'\0';
    }
    return int(Text.size());
}

LONG SetText(HKEY Key, const wchar_t* Name, const std::wstring& Value)
{
    return RegSetValueExW(Key, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                          DWORD((Value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID)
{
    if (Reason == DLL_PROCESS_ATTACH)
        State().Module = Instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID Clsid, REFIID Iid, LPVOID* Object)
{
    if (!Object)
        return E_POINTER;
    *Object = nullptr;
    if (Clsid != CLSID_TestFlash)
        return CLASS_E_CLASSNOTAVAILABLE;
    return Factory.QueryInterface(Iid, Object);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return State().LiveObjects == 0 && State().ServerLocks == 0 ? S_OK : S_FALSE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(State().Module, path, MAX_PATH);
    HKEY key = nullptr;
    std::wstring name = std::wstring(ClassKey) + L"\\InprocServer32";
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    LONG r = SetText(key, nullptr, path);
    if (r == ERROR_SUCCESS)
        r = SetText(key, L"ThreadingModel", L"Apartment");
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    LONG r = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey);
    if (r == ERROR_SUCCESS)
        r = RegDeleteKeyW(HKEY_CLASSES_ROOT, ClassKey);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

extern "C" {

__declspec(dllexport) void KvTestFlashReset(const TTestFlashFaults* Faults)
{
    State().Faults = Faults ? *Faults : TTestFlashFaults{};
    State().Log.clear();
}

__declspec(dllexport) LONG KvTestFlashLiveObjects() { return State().LiveObjects; }

__declspec(dllexport) LONG KvTestFlashHeldReferences() { return State().HeldReferences; }

__declspec(dllexport) int KvTestFlashLog(wchar_t* Buffer, int Size) { return CopyOut(State().Log, Buffer, Size); }

__declspec(dllexport) int KvTestFlashGet(const wchar_t* Name, wchar_t* Buffer, int Size)
{
    TControl* control = TControl::Last();
    return CopyOut(control && Name ? control->Get(Name) : std::wstring(), Buffer, Size);
}

__declspec(dllexport) HWND KvTestFlashWindow()
{
    TControl* control = TControl::Last();
    return control ? control->Window() : nullptr;
}

__declspec(dllexport) HRESULT KvTestFlashFire(const wchar_t* Command, const wchar_t* Args, BOOL FromOtherThread)
{
    TControl* control = TControl::Last();
    if (!control || !Command || !Args)
        return E_UNEXPECTED;
    if (!FromOtherThread) {
        control->Fire(Command, Args);
        return S_OK;
    }
    // Against the rules of its apartment, as a careless control might.
    std::thread worker([&] { control->Fire(Command, Args); });
    worker.join();
    return S_OK;
}

} // extern "C"
