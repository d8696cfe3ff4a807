#include "classlib/streaming/FormReader.h"

#include <windows.h>

#include <algorithm>

#include "classlib/rtl/Streams.h"
#include "classlib/rtl/SysUtils.h"
#include "classlib/rtl/TypInfo.h"

namespace {

const wchar_t* KindText(TFormValueKind k)
{
    switch (k) {
    case TFormValueKind::Integer: return L"an integer";
    case TFormValueKind::Float: return L"a number";
    case TFormValueKind::String: return L"a string";
    case TFormValueKind::Ident: return L"an identifier";
    case TFormValueKind::Set: return L"a set";
    case TFormValueKind::List: return L"a list";
    case TFormValueKind::Collection: return L"a collection";
    case TFormValueKind::Binary: return L"binary data";
    }
    return L"a value";
}

UnicodeString NodeName(const TFormObject& Node)
{
    return Node.Name.empty() ? Node.ClassName : Node.Name;
}

} // namespace

TFormReader::TFormReader(TComponent* Root)
{
    FRoot = Root;
    FLookupRoot = Root;
    FOwner = Root;
}

TFormReader::~TFormReader() = default;

void TFormReader::Error(const UnicodeString& Where, const UnicodeString& Msg, int Line) const
{
    throw EReadError(L"Error reading " + Where + L": " + Msg + L" (line " + std::to_wstring(Line) + L")");
}

void TFormReader::AddLoaded(TComponent* Component)
{
    if (std::find(FLoaded.begin(), FLoaded.end(), Component) == FLoaded.end())
        FLoaded.push_back(Component);
}

// ---------------------------------------------------------------------------
// Components

void TFormReader::ReadRoot(const TFormObject& Form)
{
    FOwner = FRoot;
    FParent = nullptr;
    FRoot->IncludeState(csLoading);
    FRoot->IncludeState(csReading);
    AddLoaded(FRoot);
    if (!Form.Name.empty()) {
        FRootNames.push_back(Form.Name);
        // Several forms of one class may share an owner: later ones take
        // Name_1, Name_2... as the stored name is already in use.
        UnicodeString name = Form.Name;
        if (TComponent* owner = FRoot->Owner()) {
            TComponent* other = owner->FindComponent(name);
            for (int i = 1; other && other != FRoot; ++i) {
                name = Form.Name + L"_" + std::to_wstring(i);
                other = owner->FindComponent(name);
            }
        }
        try {
            FRoot->SetName(name);
        } catch (const EComponentError& e) {
            Error(NodeName(Form), e.Message(), Form.Line);
        }
    }
    const TFormObject* saved = FNode;
    FNode = &Form;
    FRoot->ReadState(this);
    FNode = saved;
}

void TFormReader::ReadData(TComponent* Instance)
{
    if (!FNode)
        return;
    const TFormObject& node = *FNode;
    ReadProperties(Instance, node.Props, NodeName(node));
    TComponent* savedParent = FParent;
    FParent = Instance;
    for (const TFormObject& child : node.Children)
        ReadComponent(child);
    FParent = savedParent;
}

void TFormReader::ReadComponent(const TFormObject& Node)
{
    TComponent* comp = nullptr;
    bool created = false;
    if (Node.Kind == TFormObject::okInherited) {
        comp = FLookupRoot->FindComponent(Node.Name);
        if (!comp)
            Error(NodeName(Node), L"no inherited component named " + Node.Name, Node.Line);
    } else {
        TComponentClass cls = GetClass(Node.ClassName);
        if (!cls.Assigned())
            throw EClassNotFound(L"Error reading " + NodeName(Node) + L": Class " + Node.ClassName + L" not found (line " +
                                 std::to_wstring(Node.Line) + L")");
        comp = cls.Create(FOwner);
        created = true;
    }
    try {
        comp->IncludeState(csLoading);
        if (Node.Kind == TFormObject::okInline)
            comp->SetInline(true);
        if (created && !Node.Name.empty()) {
            try {
                comp->SetName(Node.Name);
            } catch (const EComponentError& e) {
                Error(NodeName(Node), e.Message(), Node.Line);
            }
        }
        comp->IncludeState(csReading);
        comp->SetParentComponent(FParent);
        AddLoaded(comp);
        const TFormObject* saved = FNode;
        FNode = &Node;
        // Inside an inline frame, "inherited" names the frame's own
        // components and new ones belong to the frame.
        TComponent* savedOwner = FOwner;
        TComponent* savedLookup = FLookupRoot;
        if (Node.Kind == TFormObject::okInline) {
            FOwner = comp;
            FLookupRoot = comp;
        }
        try {
            comp->ReadState(this);
        } catch (...) {
            FOwner = savedOwner;
            FLookupRoot = savedLookup;
            throw;
        }
        FOwner = savedOwner;
        FLookupRoot = savedLookup;
        FNode = saved;
    } catch (...) {
        if (created) {
            FLoaded.erase(std::remove(FLoaded.begin(), FLoaded.end(), comp), FLoaded.end());
            TObject* obj = comp;
            FreeAndNil(obj);
        }
        throw;
    }
}

// ---------------------------------------------------------------------------
// Properties

void TFormReader::ReadProperties(TObject* Instance, const std::vector<TFormProperty>& Props,
                                 const UnicodeString& Where)
{
    for (const TFormProperty& prop : Props)
        ReadProperty(Instance, prop, Where);
}

void TFormReader::ReadProperty(TObject* Instance, const TFormProperty& Prop, const UnicodeString& Where)
{
    UnicodeString full = Where + L"." + Prop.Name;
    TObject* obj = Instance;
    size_t start = 0;
    for (;;) {
        size_t dot = Prop.Name.find(L'.', start);
        if (dot == UnicodeString::npos)
            break;
        UnicodeString part = Prop.Name.substr(start, dot - start);
        const TPropInfo* p = GetPropInfo(obj, part);
        if (!p)
            Error(full, L"Property " + part + L" does not exist", Prop.Line);
        if (p->Kind != tkClass || p->IsReference)
            Error(full, L"Property " + part + L" has no sub-properties", Prop.Line);
        obj = p->GetObj(obj);
        if (!obj)
            Error(full, L"Property " + part + L" is not assigned", Prop.Line);
        start = dot + 1;
    }
    SetValue(obj, Prop.Name.substr(start), Prop.Value, full);
}

// One property assignment being read: the object, its property and the
// stored value, with the checks that every kind of property shares.
struct TFormReader::PropWrite {
    const TFormReader& Reader;
    TObject* Instance;
    const TPropInfo* Prop;
    const TFormValue& Value;
    const UnicodeString& Where;

    [[noreturn]] void Fail(const UnicodeString& Msg) const { Reader.Error(Where, Msg, Value.Line); }

    [[noreturn]] void BadValue() const
    {
        Fail(UnicodeString(L"Invalid property value: ") + KindText(Value.Kind) + L" for a property of type " +
             (Prop->TypeName.empty() ? UnicodeString(L"?") : Prop->TypeName));
    }

    void NeedWritable(bool Writable) const
    {
        if (!Writable)
            Fail(L"Property " + Prop->Name + L" is read-only");
    }

    void SetOrd(int64_t V) const
    {
        NeedWritable(bool(Prop->SetOrd));
        Prop->SetOrd(Instance, V);
    }

    void SetInteger() const;
    void SetChar() const;
    void SetEnum() const;
    void SetSet() const;
    void SetFloat() const;
    void SetString() const;
};

// An integer, or an identifier the property's type names (clRed, crHandPoint).
void TFormReader::PropWrite::SetInteger() const
{
    int64_t v = 0;
    if (Value.Kind == TFormValueKind::Integer)
        v = Value.Int;
    else if (Value.Kind != TFormValueKind::Ident || !IdentToIntOfType(Prop->TypeName, Value.Str, v))
        BadValue();
    if (Prop->Kind == tkInteger && (v < INT32_MIN || v > int64_t(UINT32_MAX)))
        Fail(L"Value " + std::to_wstring(v) + L" out of range");
    SetOrd(v);
}

// A one-character string or a character code.
void TFormReader::PropWrite::SetChar() const
{
    int64_t v = 0;
    if (Value.Kind == TFormValueKind::String && Value.Str.size() == 1)
        v = Value.Str[0];
    else if (Value.Kind == TFormValueKind::Integer && Value.Int >= 0 && Value.Int <= 0xFFFF)
        v = Value.Int;
    else
        BadValue();
    SetOrd(v);
}

void TFormReader::PropWrite::SetEnum() const
{
    if (Value.Kind != TFormValueKind::Ident)
        BadValue();
    int v = GetEnumValue(Prop, Value.Str);
    if (v < 0)
        Fail(L"Invalid property value " + Value.Str);
    SetOrd(v);
}

void TFormReader::PropWrite::SetSet() const
{
    if (Value.Kind != TFormValueKind::Set)
        BadValue();
    uint32_t bits = 0;
    for (const UnicodeString& e : Value.Set) {
        int bit = GetEnumValue(Prop, e);
        if (bit < 0 || bit >= 32)
            Fail(L"Invalid set element " + e);
        bits |= uint32_t(1) << bit;
    }
    SetOrd(bits);
}

void TFormReader::PropWrite::SetFloat() const
{
    double v = 0;
    if (Value.Kind == TFormValueKind::Float)
        v = Value.Float;
    else if (Value.Kind == TFormValueKind::Integer)
        v = static_cast<double>(Value.Int);
    else
        BadValue();
    NeedWritable(bool(Prop->SetFloat));
    Prop->SetFloat(Instance, v);
}

void TFormReader::PropWrite::SetString() const
{
    if (Value.Kind != TFormValueKind::String)
        BadValue();
    NeedWritable(bool(Prop->SetStr));
    Prop->SetStr(Instance, Value.Str);
}

void TFormReader::SetValue(TObject* Instance, const UnicodeString& Name, const TFormValue& Value,
                           const UnicodeString& Where)
{
    const TPropInfo* p = GetPropInfo(Instance, Name);
    if (!p) {
        if (ReadDefined(Instance, Name, Value, Where))
            return;
        Error(Where, L"Property " + Name + L" does not exist", Value.Line);
    }
    const PropWrite w{*this, Instance, p, Value, Where};
    switch (p->Kind) {
    case tkInteger: case tkInt64: w.SetInteger(); return;
    case tkChar: w.SetChar(); return;
    case tkEnumeration: w.SetEnum(); return;
    case tkSet: w.SetSet(); return;
    case tkFloat: w.SetFloat(); return;
    case tkString: w.SetString(); return;
    case tkClass: SetObjectValue(w); return;
    case tkMethod: SetMethodValue(w); return;
    default: w.Fail(L"Property " + p->Name + L" cannot be read");
    }
}

// A reference by name (resolved when the reading ends), a collection, or a
// string list's items.
void TFormReader::SetObjectValue(const PropWrite& W)
{
    const TFormValue& value = W.Value;
    if (value.Kind == TFormValueKind::Ident) {
        W.NeedWritable(bool(W.Prop->SetObj));
        if (SameText(value.Str, L"nil"))
            W.Prop->SetObj(W.Instance, nullptr);
        else
            FFixups.push_back(Fixup{W.Instance, W.Prop, value.Str, W.Where, value.Line, FItems});
        return;
    }
    if (W.Prop->IsReference)
        W.BadValue();
    if (value.Kind == TFormValueKind::Collection) {
        TCollection* c = dynamic_cast<TCollection*>(W.Prop->GetObj(W.Instance));
        if (!c)
            W.Fail(L"Property " + W.Prop->Name + L" is not a collection");
        ReadCollection(c, value, W.Where);
        return;
    }
    if (value.Kind == TFormValueKind::List) {
        TObject* target = W.Prop->GetObj(W.Instance);
        if (target && ReadDefined(target, L"Strings", value, W.Where + L".Strings"))
            return;
        W.Fail(L"Property " + W.Prop->Name + L" is not a string list");
    }
    W.BadValue();
}

// An event handler: a method of the root by name, or nil.
void TFormReader::SetMethodValue(const PropWrite& W)
{
    const TFormValue& value = W.Value;
    if (value.Kind != TFormValueKind::Ident)
        W.BadValue();
    W.NeedWritable(bool(W.Prop->SetMethod));
    if (SameText(value.Str, L"nil")) {
        W.Prop->SetMethod(W.Instance, TMethodValue());
        return;
    }
    TMethodValue m = MethodAddress(FRoot, value.Str);
    if (!m.HasType())
        W.Fail(L"Method " + value.Str + L" not found in " + FRoot->ClassName());
    try {
        W.Prop->SetMethod(W.Instance, m);
    } catch (const EPropertyError&) {
        W.Fail(L"Method " + value.Str + L" does not match the event type of " + W.Prop->Name);
    }
}

bool TFormReader::ReadDefined(TObject* Instance, const UnicodeString& Name, const TFormValue& Value,
                              const UnicodeString& Where)
{
    TPersistent* per = dynamic_cast<TPersistent*>(Instance);
    if (!per)
        return false;
    // A read procedure may read objects that define properties of their
    // own; the match being read comes back afterwards, also on errors.
    const DefMatch saved = FDef;
    FDef = DefMatch{Name, Where, &Value, false};
    bool found;
    try {
        per->DefineProperties(this);
        found = FDef.Found;
    } catch (...) {
        FDef = saved;
        throw;
    }
    FDef = saved;
    return found;
}

void TFormReader::DefineProperty(const UnicodeString& Name, TReaderProc ReadData, TWriterProc, bool)
{
    if (FDef.Found || !FDef.Value || !SameText(Name, FDef.Name))
        return;
    FDef.Found = true;
    if (!ReadData)
        return;
    const TFormValue* value = FDef.Value;
    FDef.Value = nullptr; // nested DefineProperties calls must not match again
    // A read procedure that leaves a list open leaves no cursor behind.
    const size_t depth = FCursors.size();
    FCursors.push_back(Cursor{value, 0, false, false});
    try {
        ReadData(this);
    } catch (...) {
        FCursors.resize(depth);
        throw;
    }
    FCursors.resize(depth);
}

void TFormReader::DefineBinaryProperty(const UnicodeString& Name, TStreamProc ReadData, TStreamProc, bool)
{
    if (FDef.Found || !FDef.Value || !SameText(Name, FDef.Name))
        return;
    FDef.Found = true;
    const TFormValue* value = FDef.Value;
    FDef.Value = nullptr;
    if (value->Kind != TFormValueKind::Binary)
        Error(FDef.Where, L"binary data expected", value->Line);
    if (!ReadData)
        return;
    TMemoryStream stream;
    if (!value->Bytes.empty())
        stream.WriteBuffer(value->Bytes.data(), static_cast<int32_t>(value->Bytes.size()));
    stream.SetPosition(0);
    ReadData(&stream);
}

void TFormReader::ReadCollection(TCollection* Collection, const TFormValue& Value, const UnicodeString& Where)
{
    const size_t depth = FItems.size();
    Collection->BeginUpdate();
    try {
        DropFixupsIn(Collection);
        Collection->Clear();
        for (size_t i = 0; i < Value.Items.size(); ++i) {
            TCollectionItem* item = Collection->Add();
            FItems.push_back(item);
            ReadProperties(item, Value.Items[i].Props, Where + L"[" + std::to_wstring(i) + L"]");
            FItems.pop_back();
        }
    } catch (...) {
        FItems.resize(depth);
        Collection->EndUpdate();
        throw;
    }
    Collection->EndUpdate();
}

// Forgets the references met inside the items of Collection, which is about
// to free them.  Every item a pending reference names is still alive: the
// references of freed items went with them.
void TFormReader::DropFixupsIn(TCollection* Collection)
{
    auto inCollection = [Collection](const Fixup& f) {
        return std::any_of(f.Items.begin(), f.Items.end(),
                           [Collection](TCollectionItem* i) { return i->Collection() == Collection; });
    };
    FFixups.erase(std::remove_if(FFixups.begin(), FFixups.end(), inCollection), FFixups.end());
}

// ---------------------------------------------------------------------------
// Values for DefineProperty read procedures

const TFormValue& TFormReader::NextValue()
{
    if (FCursors.empty())
        throw EReadError(L"Error reading " + FDef.Where + L": no value to read");
    Cursor& c = FCursors.back();
    if (c.InList) {
        if (c.Index >= c.Value->List.size())
            throw EReadError(L"Error reading " + FDef.Where + L": end of list (line " + std::to_wstring(c.Value->Line) + L")");
        return c.Value->List[c.Index++];
    }
    if (c.Consumed)
        throw EReadError(L"Error reading " + FDef.Where + L": value already read (line " + std::to_wstring(c.Value->Line) +
                         L")");
    c.Consumed = true;
    return *c.Value;
}

void TFormReader::WrongValue(const TFormValue& v, const wchar_t* Expected) const
{
    Error(FDef.Where, UnicodeString(L"Invalid property value: ") + Expected + L" expected, found " + KindText(v.Kind),
          v.Line);
}

int32_t TFormReader::ReadInteger()
{
    const TFormValue& v = NextValue();
    if (v.Kind != TFormValueKind::Integer || v.Int < INT32_MIN || v.Int > INT32_MAX)
        WrongValue(v, L"an integer");
    return static_cast<int32_t>(v.Int);
}

int64_t TFormReader::ReadInt64()
{
    const TFormValue& v = NextValue();
    if (v.Kind != TFormValueKind::Integer)
        WrongValue(v, L"an integer");
    return v.Int;
}

bool TFormReader::ReadBoolean()
{
    const TFormValue& v = NextValue();
    if (v.Kind == TFormValueKind::Ident && SameText(v.Str, L"True"))
        return true;
    if (v.Kind == TFormValueKind::Ident && SameText(v.Str, L"False"))
        return false;
    WrongValue(v, L"True or False");
}

double TFormReader::ReadFloat()
{
    const TFormValue& v = NextValue();
    if (v.Kind == TFormValueKind::Float)
        return v.Float;
    if (v.Kind == TFormValueKind::Integer)
        return static_cast<double>(v.Int);
    WrongValue(v, L"a number");
}

UnicodeString TFormReader::ReadString()
{
    const TFormValue& v = NextValue();
    if (v.Kind != TFormValueKind::String)
        WrongValue(v, L"a string");
    return v.Str;
}

UnicodeString TFormReader::ReadIdent()
{
    const TFormValue& v = NextValue();
    if (v.Kind != TFormValueKind::Ident)
        WrongValue(v, L"an identifier");
    return v.Str;
}

void TFormReader::ReadListBegin()
{
    const TFormValue& v = NextValue();
    if (v.Kind != TFormValueKind::List)
        WrongValue(v, L"a list");
    FCursors.push_back(Cursor{&v, 0, true, false});
}

void TFormReader::ReadListEnd()
{
    if (FCursors.empty() || !FCursors.back().InList)
        throw EReadError(L"Error reading " + FDef.Where + L": not in a list");
    const Cursor& c = FCursors.back();
    if (c.Index < c.Value->List.size())
        throw EReadError(L"Error reading " + FDef.Where + L": unread values in the list (line " +
                         std::to_wstring(c.Value->Line) + L")");
    FCursors.pop_back();
}

bool TFormReader::EndOfList()
{
    if (FCursors.empty() || !FCursors.back().InList)
        return true;
    const Cursor& c = FCursors.back();
    return c.Index >= c.Value->List.size();
}

// ---------------------------------------------------------------------------
// End of reading

void TFormReader::Finish()
{
    for (const Fixup& f : FFixups) {
        bool isRoot = SameText(f.Target, FRoot->Name()) ||
                      std::any_of(FRootNames.begin(), FRootNames.end(),
                                  [&](const UnicodeString& n) { return SameText(n, f.Target); });
        TComponent* target = isRoot ? FRoot : FRoot->FindComponent(f.Target);
        if (!target)
            Error(f.Where, L"Component " + f.Target + L" not found", f.Line);
        if (f.Prop->AcceptsObject && !f.Prop->AcceptsObject(target))
            Error(f.Where, L"Component " + f.Target + L" is not a " + f.Prop->TypeName, f.Line);
        f.Prop->SetObj(f.Instance, target);
    }
    FFixups.clear();
    for (TComponent* c : FLoaded)
        c->ExcludeState(csReading);
    // Should a Loaded fail, Abandon takes the failed component and those
    // not loaded yet out of the loading state.
    size_t done = 0;
    try {
        for (; done < FLoaded.size(); ++done)
            FLoaded[done]->Loaded();
    } catch (...) {
        FLoaded.erase(FLoaded.begin(), FLoaded.begin() + static_cast<std::ptrdiff_t>(done));
        throw;
    }
    FLoaded.clear();
}

void TFormReader::Abandon()
{
    // Components read so far may have been freed by the failure (a control
    // frees its children), so only those still held by the root are touched.
    for (TComponent* c : FLoaded) {
        bool alive = c == FRoot;
        for (int i = 0; !alive && i < FRoot->ComponentCount(); ++i)
            alive = FRoot->Components(i) == c;
        if (alive) {
            c->ExcludeState(csReading);
            c->ExcludeState(csLoading);
        }
    }
    FLoaded.clear();
    FFixups.clear();
}

// ---------------------------------------------------------------------------
// Entry points

namespace {

void ReadForms(TComponent* Root, const std::vector<const TFormObject*>& Forms)
{
    TFormReader reader(Root);
    try {
        for (const TFormObject* f : Forms)
            reader.ReadRoot(*f);
        reader.Finish();
    } catch (...) {
        reader.Abandon();
        throw;
    }
}

TComponent* ReadParsed(const TFormObject& Form, TComponent* Root)
{
    bool created = false;
    if (!Root) {
        Root = FindClass(Form.ClassName).Create(nullptr);
        created = true;
    }
    try {
        ReadForms(Root, {&Form});
    } catch (...) {
        if (created) {
            TObject* obj = Root;
            FreeAndNil(obj);
        }
        throw;
    }
    return Root;
}

TFormObject ParseResource(const UnicodeString& ResName)
{
    TResourceStream stream(GetModuleHandleW(nullptr), ResName, rtRCData);
    try {
        return ParseFormStream(&stream);
    } catch (const EReadError& e) {
        throw EReadError(L"Form resource " + ResName + L": " + e.Message());
    }
}

} // namespace

bool FormResourceExists(const UnicodeString& ResName)
{
    return FindResourceW(GetModuleHandleW(nullptr), ResName.c_str(), reinterpret_cast<LPCWSTR>(RT_RCDATA)) != nullptr;
}

TComponent* ReadComponentFromText(const UnicodeString& Text, TComponent* Root)
{
    TFormObject form = ParseFormText(Text);
    return ReadParsed(form, Root);
}

TComponent* ReadComponentFromUtf8(const std::string& Utf8, TComponent* Root)
{
    TFormObject form = ParseFormUtf8(Utf8);
    return ReadParsed(form, Root);
}

TComponent* ReadComponentResFromStream(TStream* Stream, TComponent* Instance)
{
    TFormObject form = ParseFormStream(Stream);
    return ReadParsed(form, Instance);
}

TComponent* ReadComponentRes(const UnicodeString& ResName, TComponent* Instance)
{
    if (!FormResourceExists(ResName))
        throw EReadError(L"Resource " + ResName + L" not found");
    TFormObject form = ParseResource(ResName);
    return ReadParsed(form, Instance);
}

bool InitInheritedComponent(TComponent* Instance, const UnicodeString& RootAncestor)
{
    // Class names from the instance's class up to (not including) the root
    // ancestor; a class without a table of its own still has its ClassName.
    std::vector<UnicodeString> chain;
    if (!SameText(Instance->ClassName(), RootAncestor))
        chain.push_back(Instance->ClassName());
    for (const TClassInfo* ci = Instance->ClassInfo(); ci; ci = ci->Parent) {
        if (SameText(ci->Name, RootAncestor) || SameText(ci->Name, L"TComponent"))
            break;
        if (std::none_of(chain.begin(), chain.end(), [&](const UnicodeString& n) { return SameText(n, ci->Name); }))
            chain.push_back(ci->Name);
    }
    std::vector<TFormObject> forms;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        UnicodeString resName = UpperCase(*it);
        if (FormResourceExists(resName))
            forms.push_back(ParseResource(resName));
    }
    if (forms.empty())
        return false;
    std::vector<const TFormObject*> list;
    for (const TFormObject& f : forms)
        list.push_back(&f);
    ReadForms(Instance, list);
    return true;
}
