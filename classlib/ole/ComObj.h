// COM helpers of the ActiveX hosting: an owning interface pointer, an owning
// VARIANT, the OLE exception and the per-control OLE initialisation.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <utility>

#include "classlib/rtl/System.h"

// One reference to a COM object, released when the pointer goes.
template <class T>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    // Adopts a reference the caller already holds.
    static TComPtr Attach(T* Raw)
    {
        TComPtr p;
        p.FRaw = Raw;
        return p;
    }
    // Takes a reference of its own.
    static TComPtr Share(T* Raw)
    {
        if (Raw)
            Raw->AddRef();
        return Attach(Raw);
    }
    TComPtr(const TComPtr& Other) : FRaw(Other.FRaw)
    {
        if (FRaw)
            FRaw->AddRef();
    }
    TComPtr(TComPtr&& Other) noexcept : FRaw(std::exchange(Other.FRaw, nullptr)) {}
    TComPtr& operator=(TComPtr Other) noexcept
    {
        std::swap(FRaw, Other.FRaw);
        return *this;
    }
    ~TComPtr() { Reset(); }

    void Reset()
    {
        if (T* raw = std::exchange(FRaw, nullptr))
            raw->Release();
    }
    T* Get() const { return FRaw; }
    T* operator->() const { return FRaw; }
    explicit operator bool() const { return FRaw != nullptr; }
    // For calls that hand out a new reference: the old one is released first.
    T** Out()
    {
        Reset();
        return &FRaw;
    }
    // Another interface of the same object, or empty.
    template <class U>
    TComPtr<U> As(REFIID Iid) const
    {
        TComPtr<U> other;
        if (FRaw)
            FRaw->QueryInterface(Iid, reinterpret_cast<void**>(other.Out()));
        return other;
    }

private:
    T* FRaw = nullptr;
};

// A VARIANT that clears what it holds.
class TOleVariant {
public:
    TOleVariant() { ::VariantInit(&FValue); }
    TOleVariant(const UnicodeString& Value);
    TOleVariant(const wchar_t* Value) : TOleVariant(UnicodeString(Value)) {}
    TOleVariant(int Value);
    TOleVariant(const TOleVariant& Other);
    TOleVariant& operator=(const TOleVariant& Other);
    ~TOleVariant() { ::VariantClear(&FValue); }

    VARIANT* Ptr() { return &FValue; }
    // The value as text (also through a reference); EOleException when it
    // cannot be converted.
    UnicodeString AsString() const;

private:
    VARIANT FValue;
};

// A failed COM call: its HRESULT and, for an exception raised by the
// object, its source and description.
class EOleException : public EOleError {
public:
    EOleException(const UnicodeString& Message, HRESULT Code, const UnicodeString& Source = UnicodeString());
    UnicodeString ClassName() const override { return L"EOleException"; }
    HRESULT ErrorCode() const { return FErrorCode; }
    const UnicodeString& Source() const { return FSource; }

private:
    HRESULT FErrorCode;
    UnicodeString FSource;
};

// The system's text for Code, or its number in hexadecimal.
UnicodeString OleErrorText(HRESULT Code);
// Raises EOleException for a failed Code; What says what was attempted.
void OleCheck(HRESULT Code, const UnicodeString& What);

// OLE initialised on the calling thread once, for the rest of the thread's
// life (undone when the thread ends).  Hosted controls never end it
// themselves: the last shutdown may unload a control's server, which must
// not happen while the control's own code is still on the stack (a handler
// that frees the last control during the control's event).  Answers the
// initialisation's result; a thread that already runs another COM model
// is left as it is and gets the failure.
HRESULT OleInitializeThread();
