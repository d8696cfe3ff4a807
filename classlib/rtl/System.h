// Core types of the class-library layer: strings, the root object, bound
// methods (events and window-procedure methods) and the exception family.
// Portable: no <windows.h> here.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>
#include <exception>
#include <memory>
#include <string>
#include <typeinfo>

// UTF-16 text everywhere inside the program; ANSI text (the system code page)
// only at the edges: file names, file contents, shell calls.
using UnicodeString = std::wstring;
using AnsiString = std::string;

// ---------------------------------------------------------------------------
// TObject: the root of every class of the layer.  ClassName answers the
// class's own name ("TButton"); classes declare it with KV_CLASS.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const wchar_t* StaticClassName() { return L"TObject"; }
    virtual UnicodeString ClassName() const { return StaticClassName(); }
    bool ClassNameIs(const UnicodeString& name) const;

    // Runs after the constructor of the most derived class (two-phase
    // construction: overrides are reachable here, unlike in a constructor).
    virtual void AfterConstruction() {}
    // Runs before the destructor chain starts.
    virtual void BeforeDestruction() {}
};

// Declares a class's name for ClassName and for the class registry.
#define KV_CLASS(Name)                                              \
public:                                                             \
    static const wchar_t* StaticClassName() { return L## #Name; }    \
    UnicodeString ClassName() const override { return StaticClassName(); } \
private:

// Frees an object the way the class library does: BeforeDestruction, then delete.
void FreeAndNil(TObject*& obj);
template <class T>
void FreeAndNil(T*& obj)
{
    TObject* o = obj;
    obj = nullptr;
    FreeAndNil(o);
}

// Owns an object and frees it the class library's way when the owner goes:
// TOwned<TForm> form(New<TForm>(nullptr));
struct TFreeObject {
    void operator()(TObject* Object) const { FreeAndNil(Object); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeObject>;

// Creates an object and runs AfterConstruction, so that virtual calls made
// there reach the most derived class.
template <class T, class... Args>
T* New(Args&&... args)
{
    T* obj = new T(std::forward<Args>(args)...);
    try {
        obj->AfterConstruction();
    } catch (...) {
        // A failed construction leaves nothing behind.
        TObject* o = obj;
        FreeAndNil(o);
        throw;
    }
    return obj;
}

// ---------------------------------------------------------------------------
// TMethod: a bound method, an object plus one of its member functions.
// Copyable, comparable (same object and same function) and testable for
// empty; this is what events and WindowProc are made of.
template <class Sig>
class TMethod;

template <class R, class... A>
class TMethod<R(A...)> {
    // Member-function pointers of different classes are stored through a
    // trampoline plus the raw pointer bytes, so that equality compares both.
    using Tramp = R (*)(void* obj, const void* fn, A... args);
    struct Fn {
        alignas(void*) unsigned char bytes[3 * sizeof(void*)] = {};
    };
    void* FObj = nullptr;
    Fn FFn;
    Tramp FTramp = nullptr;

public:
    TMethod() = default;
    TMethod(std::nullptr_t) {}

    template <class C, class MR, class... MA>
    TMethod(C* obj, MR (C::*fn)(MA...))
    {
        static_assert(sizeof(fn) <= sizeof(FFn.bytes));
        FObj = static_cast<void*>(obj);
        std::memcpy(FFn.bytes, &fn, sizeof(fn));
        FTramp = [](void* o, const void* f, A... args) -> R {
            MR (C::*mf)(MA...);
            std::memcpy(&mf, f, sizeof(mf));
            return (static_cast<C*>(o)->*mf)(std::forward<A>(args)...);
        };
    }

    R operator()(A... args) const { return FTramp(FObj, FFn.bytes, std::forward<A>(args)...); }
    explicit operator bool() const { return FTramp != nullptr; }
    bool Assigned() const { return FTramp != nullptr; }
    void* Data() const { return FObj; }

    bool operator==(const TMethod& o) const
    {
        return FObj == o.FObj && FTramp == o.FTramp && std::memcmp(FFn.bytes, o.FFn.bytes, sizeof(FFn.bytes)) == 0;
    }
    bool operator==(std::nullptr_t) const { return !FTramp; }
};

// Binds obj->fn; short form for events: OnClick = Bind(this, &TForm1::Button1Click).
template <class C, class R, class... A>
TMethod<R(A...)> Bind(C* obj, R (C::*fn)(A...))
{
    return TMethod<R(A...)>(obj, fn);
}

using TNotifyEvent = TMethod<void(TObject* Sender)>;

// ---------------------------------------------------------------------------
// Exceptions.  Every exception of the layer and of the program derives from
// Exception, which carries a UTF-16 message.
class Exception : public std::exception {
    UnicodeString FMessage;
    mutable std::string FWhat;

public:
    explicit Exception(const UnicodeString& msg) : FMessage(msg) {}
    virtual ~Exception() = default;
    const UnicodeString& Message() const { return FMessage; }
    void SetMessage(const UnicodeString& msg) { FMessage = msg; }
    const char* what() const noexcept override;
    virtual UnicodeString ClassName() const { return L"Exception"; }
};

#define KV_EXCEPTION(Name, Base)                                        \
    class Name : public Base {                                          \
    public:                                                             \
        using Base::Base;                                               \
        UnicodeString ClassName() const override { return L## #Name; }   \
    };

KV_EXCEPTION(EAbort, Exception)          // silent: the application shows nothing
KV_EXCEPTION(EConvertError, Exception)
KV_EXCEPTION(EStreamError, Exception)
KV_EXCEPTION(EReadError, EStreamError)
KV_EXCEPTION(EWriteError, EStreamError)
KV_EXCEPTION(EFCreateError, EStreamError)
KV_EXCEPTION(EFOpenError, EStreamError)
KV_EXCEPTION(EFilerError, EStreamError)
KV_EXCEPTION(EClassNotFound, EFilerError)
KV_EXCEPTION(EInvalidGraphic, Exception)
KV_EXCEPTION(EInvalidGraphicOperation, Exception)
KV_EXCEPTION(EInvalidOperation, Exception)
KV_EXCEPTION(EOutOfResources, Exception)
KV_EXCEPTION(EListError, Exception)
KV_EXCEPTION(EStringListError, Exception)
KV_EXCEPTION(EConvertAssignError, EConvertError)
KV_EXCEPTION(EAssertionFailed, Exception)
KV_EXCEPTION(EOleError, Exception)
KV_EXCEPTION(EInOutError, Exception)
KV_EXCEPTION(EIniFileException, Exception)
KV_EXCEPTION(ERegistryException, Exception)
KV_EXCEPTION(EComponentError, Exception)
KV_EXCEPTION(EPropertyError, Exception)

// ---------------------------------------------------------------------------
// Pseudo-random numbers: one process-wide linear congruential generator.
// Setting RandSeed repeats a sequence; Randomize seeds it from the clock.
extern uint32_t RandSeed;
void Randomize();
int Random(int Range);   // 0 <= result < Range; 0 when Range <= 0
double Random();         // 0 <= result < 1
