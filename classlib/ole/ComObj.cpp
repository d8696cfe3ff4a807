#include "classlib/ole/ComObj.h"

#include <cwchar>

TOleVariant::TOleVariant(const UnicodeString& Value)
{
    ::VariantInit(&FValue);
    FValue.bstrVal = ::SysAllocStringLen(Value.data(), UINT(Value.size()));
    if (!FValue.bstrVal)
        throw EOutOfResources(L"Out of memory for a string variant");
    FValue.vt = VT_BSTR;
}

TOleVariant::TOleVariant(int Value)
{
    ::VariantInit(&FValue);
    FValue.vt = VT_I4;
    FValue.lVal = Value;
}

TOleVariant::TOleVariant(const TOleVariant& Other)
{
    ::VariantInit(&FValue);
    OleCheck(::VariantCopy(&FValue, const_cast<VARIANT*>(&Other.FValue)), L"Copying a variant");
}

TOleVariant& TOleVariant::operator=(const TOleVariant& Other)
{
    if (this != &Other)
        OleCheck(::VariantCopy(&FValue, const_cast<VARIANT*>(&Other.FValue)), L"Copying a variant");
    return *this;
}

// The system's variant routines take no const source, though they leave it as it is.
UnicodeString TOleVariant::AsString() const
{
    if (FValue.vt == VT_EMPTY || FValue.vt == VT_NULL)
        return UnicodeString();
    VARIANT text;
    ::VariantInit(&text);
    // VariantChangeType follows a reference (VT_BYREF) by itself.
    OleCheck(::VariantChangeType(&text, const_cast<VARIANT*>(&FValue), 0, VT_BSTR), L"Converting a variant to text");
    UnicodeString result(text.bstrVal ? text.bstrVal : L"", text.bstrVal ? ::SysStringLen(text.bstrVal) : 0);
    ::VariantClear(&text);
    return result;
}

EOleException::EOleException(const UnicodeString& Message, HRESULT Code, const UnicodeString& Source)
    : EOleError(Message), FErrorCode(Code), FSource(Source)
{
}

UnicodeString OleErrorText(HRESULT Code)
{
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, DWORD(Code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    UnicodeString text;
    if (n > 0 && buffer)
        text.assign(buffer, n);
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) {
        wchar_t number[16];
        std::swprintf(number, 16, L"0x%08lX", static_cast<unsigned long>(Code));
        text = L"OLE error ";
        text += number;
    }
    return text;
}

void OleCheck(HRESULT Code, const UnicodeString& What)
{
    if (FAILED(Code))
        throw EOleException(What + L": " + OleErrorText(Code), Code);
}

namespace {

struct TThreadOle {
    HRESULT Result = ::OleInitialize(nullptr);
    ~TThreadOle()
    {
        if (SUCCEEDED(Result))
            ::OleUninitialize();
    }
};

} // namespace

HRESULT OleInitializeThread()
{
    thread_local TThreadOle ole;
    return ole.Result;
}
